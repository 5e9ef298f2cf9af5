// Doorway geometry and the hit tests: which doorway holds a point, exactly at the edges,
// whatever the orientation of the square, and without overflow at the ends of the 32-bit range.
#include <gtest/gtest.h>

#include <limits.h>
#include <stdint.h>

#include "room/doorways.h"

namespace {

struct PointCase {
    int32_t x, y;
    int expected;
};

const PointCase DOORWAY_CASES[] = {
    {40, 40, NORTH},    {79, 79, NORTH},   {80, 80, -1},      {40, 80, -1},
    {-40, -40, -1},     {0, 0, -1},        {-80, -80, SOUTH}, {60, -60, EAST},
    {-60, 60, WEST},
    // Left and bottom edges belong to a doorway, right and top edges do not.
    {40, 60, NORTH},    {60, 40, NORTH},   {80, 60, -1},      {60, 80, -1},
    {39, 60, -1},       {60, 39, -1},
    // The same four edges of the other doorways.
    {-80, -60, SOUTH},  {-60, -80, SOUTH}, {-40, -60, -1},    {-60, -40, -1},
    {40, -80, EAST},    {79, -41, EAST},   {80, -60, -1},     {60, -40, -1},
    {-80, 40, WEST},    {-41, 79, WEST},   {-81, 60, -1},     {-60, 39, -1},
    // The far ends of the integer range are in no doorway.
    {INT32_MIN, INT32_MIN, -1}, {INT32_MAX, INT32_MAX, -1}, {INT32_MIN, INT32_MAX, -1},
};

TEST(Doorways, HitTestTable) {
    for (const PointCase& c : DOORWAY_CASES)
        EXPECT_EQ(c.expected, doorway_at(c.x, c.y)) << "point (" << c.x << ", " << c.y << ")";
}

// Every doorway holds exactly the 40 x 40 points cx-20 <= x < cx+20, cy-20 <= y < cy+20.
TEST(Doorways, GeometryAndHalfOpenSquares) {
    struct Expected {
        int32_t region, cx, cy, colour;
    };
    const Expected doorways[] = {
        {NORTH, 60, 60, 2}, {EAST, 60, -60, 4}, {SOUTH, -60, -60, 3}, {WEST, -60, 60, 5}};
    for (const Expected& d : doorways) {
        Point centre{}, corners[4]{};
        int32_t colour = -1;
        doorway_geometry(d.region, &centre, &colour, corners);
        EXPECT_EQ(d.cx, centre.x) << "region " << d.region;
        EXPECT_EQ(d.cy, centre.y) << "region " << d.region;
        EXPECT_EQ(d.colour, colour) << "region " << d.region;
        const Point expected_corners[4] = {
            {d.cx - 20, d.cy - 20}, {d.cx + 20, d.cy - 20}, {d.cx + 20, d.cy + 20}, {d.cx - 20, d.cy + 20}};
        for (int k = 0; k < 4; ++k) {
            EXPECT_EQ(expected_corners[k].x, corners[k].x) << "region " << d.region << " corner " << k;
            EXPECT_EQ(expected_corners[k].y, corners[k].y) << "region " << d.region << " corner " << k;
        }
    }
    int mismatches = 0;
    for (int32_t y = -100; y <= 100; ++y) {
        for (int32_t x = -100; x <= 100; ++x) {
            int expected = -1;
            for (const Expected& d : doorways)
                if (d.cx - 20 <= x && x < d.cx + 20 && d.cy - 20 <= y && y < d.cy + 20) expected = d.region;
            const int actual = doorway_at(x, y);
            if (actual != expected && ++mismatches <= 5)
                ADD_FAILURE() << "point (" << x << ", " << y << "): expected " << expected << ", got " << actual;
        }
    }
    EXPECT_EQ(0, mismatches);
}

// Clockwise or counter-clockwise, starting at any corner: the same points are inside.
TEST(Doorways, OrientationAndStartingCornerDoNotMatter) {
    for (int32_t region : {NORTH, EAST, SOUTH, WEST}) {
        Point centre{}, ccw[4]{};
        int32_t colour = 0;
        doorway_geometry(region, &centre, &colour, ccw);
        for (int start = 0; start < 4; ++start) {
            for (int clockwise = 0; clockwise < 2; ++clockwise) {
                Point square[4];
                for (int k = 0; k < 4; ++k) square[k] = ccw[(start + (clockwise ? 4 - k : k)) % 4];
                for (int32_t y = centre.y - 22; y <= centre.y + 22; ++y) {
                    for (int32_t x = centre.x - 22; x <= centre.x + 22; ++x) {
                        const int expected = point_in_polygon(x, y, ccw, 4);
                        ASSERT_EQ(expected, point_in_polygon(x, y, square, 4))
                            << "region " << region << ", start " << start << (clockwise ? ", clockwise" : "")
                            << ", point (" << x << ", " << y << ")";
                    }
                }
            }
        }
    }
}

TEST(Doorways, PointInPolygonDegenerateAndExtreme) {
    const Point square[4] = {{0, 0}, {10, 0}, {10, 10}, {0, 10}};
    EXPECT_EQ(0, point_in_polygon(5, 5, square, 0));
    EXPECT_EQ(0, point_in_polygon(5, 5, nullptr, 0));
    EXPECT_EQ(0, point_in_polygon(5, 5, square, -1));

    // The whole coordinate plane as one square: differences need 33 bits and products 65.
    const Point everything[4] = {
        {INT32_MIN, INT32_MIN}, {INT32_MAX, INT32_MIN}, {INT32_MAX, INT32_MAX}, {INT32_MIN, INT32_MAX}};
    const PointCase cases[] = {
        {0, 0, 1}, {INT32_MIN, 0, 1}, {INT32_MIN, INT32_MIN, 1}, {INT32_MAX - 1, INT32_MAX - 1, 1},
        {INT32_MAX, 0, 0}, {0, INT32_MAX, 0},
    };
    for (const PointCase& c : cases)
        EXPECT_EQ(c.expected, point_in_polygon(c.x, c.y, everything, 4)) << "point (" << c.x << ", " << c.y << ")";
}

TEST(Doorways, EdgeSide) {
    struct Case {
        int32_t x1, y1, x2, y2, px, py;
        int expected;
    };
    const Case cases[] = {
        {0, 0, 1, 0, 0, 1, 1},
        {0, 0, 1, 0, 0, -1, -1},
        {0, 0, 1, 0, 5, 0, 0},
        {0, 0, 0, 10, -3, 4, 30},  // the exact value, wherever it fits in 32 bits
        // Products overflow 32 (even 64) bits, yet the exact result is small.
        {0, 0, 100000, 100000, 200000, 200001, 100000},
        {0, 0, 100000, 100000, 200001, 200000, -100000},
        // Results beyond 32 bits saturate, keeping their sign.
        {INT32_MIN, INT32_MIN, INT32_MAX, INT32_MIN, INT32_MIN, INT32_MAX, INT32_MAX},
        {INT32_MAX, INT32_MIN, INT32_MIN, INT32_MIN, INT32_MIN, INT32_MAX, INT32_MIN},
        {INT32_MIN, INT32_MIN, INT32_MAX, INT32_MAX, 0, 0, 0},
        {INT32_MIN, INT32_MIN, INT32_MAX, INT32_MAX, INT32_MIN, INT32_MAX, INT32_MAX},
        {INT32_MIN, INT32_MIN, INT32_MAX, INT32_MAX, INT32_MAX, INT32_MIN, INT32_MIN},
        {INT32_MIN, INT32_MIN, INT32_MIN, INT32_MIN, INT32_MAX, INT32_MAX, 0},
    };
    for (const Case& c : cases)
        EXPECT_EQ(c.expected, edge_side(c.x1, c.y1, c.x2, c.y2, c.px, c.py))
            << "edge (" << c.x1 << ", " << c.y1 << ") -> (" << c.x2 << ", " << c.y2 << "), point (" << c.px
            << ", " << c.py << ")";
}

// The exact value, saturated to 32 bits. The reference multiplies in 128 bits, which this
// native test build's compilers have; the room's own code must stay standard C++.
#if defined(__SIZEOF_INT128__)
int reference_edge_side(int32_t x1, int32_t y1, int32_t x2, int32_t y2, int32_t px, int32_t py) {
    __extension__ typedef __int128 Wide;
    const Wide side = (Wide(px) - x2) * (Wide(y1) - y2) - (Wide(x1) - x2) * (Wide(py) - y2);
    if (side > INT32_MAX) return INT32_MAX;
    if (side < INT32_MIN) return INT32_MIN;
    return static_cast<int>(side);
}
#endif

TEST(Doorways, EdgeSideAtTheEndsOfTheRange) {
    struct Case {
        int32_t x1, y1, x2, y2, px, py;
        int expected;
    };
    // With the edge ending at the origin the value is px * y1 - x1 * py.
    const Case cases[] = {
        {0, 1, 0, 0, INT32_MAX, 0, INT32_MAX},            // exactly the largest value
        {-1, 1, 0, 0, INT32_MAX, 1, INT32_MAX},           // one past it saturates
        {0, 1, 0, 0, INT32_MIN, 0, INT32_MIN},            // exactly the smallest value
        {1, 1, 0, 0, INT32_MIN, 1, INT32_MIN},            // one below it saturates
        {0, -1, 0, 0, INT32_MAX, 0, -INT32_MAX},
        {0, -1, 0, 0, INT32_MIN, 0, INT32_MAX},           // -INT32_MIN does not fit
        // Both products at their largest, (2^32 - 1)^2, cancelling exactly or by a little.
        {INT32_MAX, INT32_MAX, INT32_MIN, INT32_MIN, INT32_MAX, INT32_MAX, 0},
        {INT32_MAX, INT32_MAX, INT32_MIN, INT32_MIN, INT32_MAX, INT32_MAX - 1, INT32_MAX},
        {INT32_MAX, INT32_MAX, INT32_MIN, INT32_MIN, INT32_MAX - 1, INT32_MAX, INT32_MIN},
        {INT32_MIN, INT32_MIN, INT32_MAX, INT32_MAX, INT32_MIN + 1, INT32_MIN, INT32_MIN},
        // Products of about 2^62 whose difference is small.
        {0, 0, 65536, 65536, INT32_MAX, INT32_MAX - 1, -65536},
        {INT32_MAX, INT32_MAX - 1, 0, 0, INT32_MAX - 1, INT32_MAX - 2, 1},
    };
    for (const Case& c : cases)
        EXPECT_EQ(c.expected, edge_side(c.x1, c.y1, c.x2, c.y2, c.px, c.py))
            << "edge (" << c.x1 << ", " << c.y1 << ") -> (" << c.x2 << ", " << c.y2 << "), point (" << c.px
            << ", " << c.py << ")";
}

TEST(Doorways, EdgeSideMatchesAnExactReferenceOnExtremeValues) {
#if defined(__SIZEOF_INT128__)
    const int32_t values[] = {INT32_MIN, INT32_MIN + 1, -46341, -1, 0, 1, INT32_MAX - 1, INT32_MAX};
    int mismatches = 0;
    for (int32_t x1 : values)
        for (int32_t y1 : values)
            for (int32_t x2 : values)
                for (int32_t y2 : values)
                    for (int32_t px : values)
                        for (int32_t py : values) {
                            const int expected = reference_edge_side(x1, y1, x2, y2, px, py);
                            const int actual = edge_side(x1, y1, x2, y2, px, py);
                            if (expected != actual && ++mismatches <= 10)
                                ADD_FAILURE() << "edge (" << x1 << ", " << y1 << ") -> (" << x2 << ", " << y2
                                              << "), point (" << px << ", " << py << "): expected " << expected
                                              << ", got " << actual;
                        }
    EXPECT_EQ(0, mismatches);
#else
    GTEST_SKIP() << "no 128-bit integers for the reference";
#endif
}

TEST(DoorwaysDeathTest, RegionOutsideTheFourDirectionsFailsTheAssertion) {
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    for (int32_t region : {-1, 4, INT32_MIN, INT32_MAX}) {
        Point centre{}, corners[4]{};
        int32_t colour = 0;
        EXPECT_DEATH(doorway_geometry(region, &centre, &colour, corners),
                     "region == NORTH \\|\\| region == SOUTH \\|\\| region == EAST \\|\\| region == WEST")
            << "region " << region;
    }
}

}  // namespace
