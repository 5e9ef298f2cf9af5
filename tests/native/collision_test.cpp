// The game helpers' geometry: edges as painted, corner order, 32-bit extremes, and circles
// overlapping exactly when some pixel lies in both (checked against a brute-force count).
#include <gtest/gtest.h>

#include <limits.h>
#include <math.h>
#include <stdlib.h>

#include <algorithm>

#include "korva/extras/collision.h"

TEST(Collision, PointInBoxCountsItsEdgesInAnyCornerOrder) {
    struct Case {
        Point p;
        bool inside;
    };
    const Case cases[] = {
        {{-10, 5}, true},  {{10, -5}, true},  {{0, 0}, true},   {{-11, 0}, false},
        {{11, 0}, false},  {{0, 6}, false},   {{0, -6}, false}, {{10, 5}, true},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(c.inside, point_in_box(c.p, {-10, 5}, {10, -5})) << c.p.x << "," << c.p.y;
        EXPECT_EQ(c.inside, point_in_box(c.p, {10, -5}, {-10, 5})) << c.p.x << "," << c.p.y;
        EXPECT_EQ(c.inside, point_in_box(c.p, {-10, -5}, {10, 5})) << c.p.x << "," << c.p.y;
    }
    EXPECT_TRUE(point_in_box({INT_MIN, INT_MAX}, {INT_MIN, INT_MIN}, {INT_MAX, INT_MAX}));
    EXPECT_TRUE(point_in_box({3, 3}, {3, 3}, {3, 3}));
}

TEST(Collision, BoxesOverlapWhenTheyShareAnEdgeRowOrColumn) {
    struct Case {
        Point a1, a2, b1, b2;
        bool overlap;
    };
    const Case cases[] = {
        {{0, 0}, {10, 10}, {10, 10}, {20, 20}, true},    // one shared corner pixel
        {{0, 0}, {10, 10}, {11, 0}, {20, 10}, false},    // side by side, no shared column
        {{0, 0}, {10, 10}, {2, 2}, {3, 3}, true},        // one inside the other
        {{0, 0}, {10, 10}, {-5, 4}, {15, 6}, true},      // a cross
        {{0, 10}, {10, 0}, {5, -1}, {6, -20}, false},    // just below
        {{INT_MIN, INT_MIN}, {INT_MAX, INT_MAX}, {0, 0}, {0, 0}, true},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(c.overlap, boxes_overlap(c.a1, c.a2, c.b1, c.b2));
        EXPECT_EQ(c.overlap, boxes_overlap(c.b2, c.b1, c.a2, c.a1));
    }
}

TEST(Collision, PointInDiscReachesHalfAPixelBeyondTheRadius) {
    // r = 3: r * r + r = 12, so (3, 1) (10) and (2, 2) (8) are in, (3, 2) (13) is out.
    EXPECT_TRUE(point_in_disc({3, 0}, {0, 0}, 3));
    EXPECT_TRUE(point_in_disc({3, 1}, {0, 0}, 3));
    EXPECT_TRUE(point_in_disc({2, 2}, {0, 0}, 3));
    EXPECT_FALSE(point_in_disc({3, 2}, {0, 0}, 3));
    EXPECT_FALSE(point_in_disc({4, 0}, {0, 0}, 3));
    EXPECT_TRUE(point_in_disc({7, 7}, {7, 7}, 0));
    EXPECT_FALSE(point_in_disc({8, 7}, {7, 7}, 0));
    EXPECT_FALSE(point_in_disc({0, 0}, {0, 0}, -1));
    // Far points at the 32-bit extremes neither overflow nor wrap into the disc.
    EXPECT_FALSE(point_in_disc({INT_MIN, INT_MIN}, {INT_MAX, INT_MAX}, 5));
    EXPECT_TRUE(point_in_disc({INT_MIN + 1, 0}, {0, 0}, INT_MAX));
    EXPECT_FALSE(point_in_disc({INT_MIN, 0}, {0, 0}, INT_MAX));
    EXPECT_FALSE(point_in_disc({INT_MIN, INT_MIN}, {0, 0}, INT_MAX));
}

static bool brute_force_overlap(Point c1, int32_t r1, Point c2, int32_t r2) {
    for (int32_t y = c1.y - r1; y <= c1.y + r1; ++y)
        for (int32_t x = c1.x - r1; x <= c1.x + r1; ++x)
            if (point_in_disc({x, y}, c1, r1) && point_in_disc({x, y}, c2, r2)) return true;
    return false;
}

TEST(Collision, DiscsOverlapExactlyWhenSomePixelIsInBoth) {
    srand(12345);
    int32_t touching = 0;
    for (int32_t i = 0; i < 20000; ++i) {
        int32_t r1 = rand() % 12, r2 = rand() % 12;
        Point c1{rand() % 7 - 3, rand() % 7 - 3};
        Point c2{rand() % 41 - 20, rand() % 41 - 20};
        bool expected = brute_force_overlap(c1, r1, c2, r2);
        ASSERT_EQ(expected, discs_overlap(c1, r1, c2, r2))
            << "(" << c1.x << "," << c1.y << ") r" << r1 << " and (" << c2.x << "," << c2.y << ") r" << r2;
        ASSERT_EQ(expected, discs_overlap(c2, r2, c1, r1));
        if (expected && !point_in_disc(c1, c2, r2) && !point_in_disc(c2, c1, r1)) ++touching;
    }
    // The table must have reached the lens cases, not only centres inside each other.
    EXPECT_GT(touching, 1000);
}

// Every row of the first disc, each with its columns found from point_in_disc alone.
static bool row_scan_overlap(Point c1, int32_t r1, Point c2, int32_t r2) {
    for (int32_t y = c1.y - r1; y <= c1.y + r1; ++y) {
        if (!point_in_disc({c2.x, y}, c2, r2) && (y < c2.y - r2 || y > c2.y + r2)) continue;
        int32_t half1 = static_cast<int32_t>(sqrt(double(r1) * r1 + r1 - double(y - c1.y) * (y - c1.y)));
        while (!point_in_disc({c1.x + half1, y}, c1, r1)) --half1;
        while (point_in_disc({c1.x + half1 + 1, y}, c1, r1)) ++half1;
        int32_t half2 = static_cast<int32_t>(sqrt(double(r2) * r2 + r2 - double(y - c2.y) * (y - c2.y)));
        while (!point_in_disc({c2.x + half2, y}, c2, r2)) --half2;
        while (point_in_disc({c2.x + half2 + 1, y}, c2, r2)) ++half2;
        if (std::max(c1.x - half1, c2.x - half2) <= std::min(c1.x + half1, c2.x + half2)) return true;
    }
    return false;
}

TEST(Collision, ThinLensesInEveryDirectionAreFound) {
    // Large discs placed so that their reaches overlap by less than a pixel and a half, in
    // every direction: the shared pixels (if any) lie in a long sliver far from the centres.
    srand(777);
    int32_t shared = 0, apart = 0;
    for (int32_t i = 0; i < 400; ++i) {
        int32_t r1 = 500 + rand() % 2500, r2 = 500 + rand() % 2500;
        double angle = (rand() % 3600) * 3.14159265358979 / 1800;
        double d = sqrt(double(r1) * r1 + r1) + sqrt(double(r2) * r2 + r2) - (rand() % 300) / 200.0;
        Point c1{0, 0};
        Point c2{static_cast<int32_t>(lround(d * cos(angle))), static_cast<int32_t>(lround(d * sin(angle)))};
        bool expected = row_scan_overlap(c1, r1, c2, r2);
        ASSERT_EQ(expected, discs_overlap(c1, r1, c2, r2)) << "r" << r1 << " r" << r2 << " at (" << c2.x << "," << c2.y << ")";
        ++(expected ? shared : apart);
    }
    EXPECT_GT(shared, 50);
    EXPECT_GT(apart, 20);
}

TEST(Collision, DiscMeetsBoxExactlyWhenSomePixelIsInBoth) {
    srand(4242);
    for (int32_t i = 0; i < 20000; ++i) {
        int32_t r = rand() % 10;
        Point centre{rand() % 41 - 20, rand() % 41 - 20};
        Point a{rand() % 21 - 10, rand() % 21 - 10}, b{rand() % 21 - 10, rand() % 21 - 10};
        bool expected = false;
        for (int32_t y = centre.y - r; y <= centre.y + r && !expected; ++y)
            for (int32_t x = centre.x - r; x <= centre.x + r && !expected; ++x)
                expected = point_in_disc({x, y}, centre, r) && point_in_box({x, y}, a, b);
        ASSERT_EQ(expected, disc_meets_box(centre, r, a, b)) << "r" << r << " at (" << centre.x << "," << centre.y << ")";
    }
    EXPECT_TRUE(disc_meets_box({INT_MAX, INT_MAX}, INT_MAX, {INT_MIN, INT_MIN}, {0, 0}) == false);
    EXPECT_TRUE(disc_meets_box({INT_MIN, 0}, 0, {INT_MIN, INT_MIN}, {INT_MIN, INT_MAX}));
}

TEST(Collision, HugeDiscsAreDecidedByTheirEdgesToo) {
    const int32_t r = 1000000000;
    // Side by side along x, each reaching r pixels from its centre's: centres 2r apart share
    // the middle pixel; 2r + 1 apart share nothing, though their reaches (just under r + 1/2)
    // overlap by almost a pixel.
    EXPECT_TRUE(discs_overlap({-r, 0}, r, {r, 0}, r));
    EXPECT_FALSE(discs_overlap({-r, 0}, r, {r + 1, 0}, r));
    // A long thin lens: one row of shared pixels far from the line of centres cannot be missed.
    EXPECT_TRUE(discs_overlap({0, 0}, r, {0, 2 * r}, r));
    EXPECT_FALSE(discs_overlap({0, 0}, r, {0, 2 * r + 1}, r));
    // Deep overlap and a diagonal near miss, both answered without walking the rows.
    EXPECT_TRUE(discs_overlap({0, 0}, r, {r, r}, r));
    EXPECT_FALSE(discs_overlap({INT_MIN, INT_MIN}, 5, {INT_MAX, INT_MAX}, 5));
    EXPECT_FALSE(discs_overlap({0, 0}, -1, {0, 0}, 5));
}
