// Properties of the exact pixel arithmetic, under the sanitizers: a line cut to the canvas
// lights exactly the canvas pixels of the whole line stepped from its start, for random
// segments near and as far as 32-bit coordinates reach; triangle interiors and the bodies of
// wide strokes agree with a pixel-by-pixel test of each canvas pixel.
#include <gtest/gtest.h>

#include <limits.h>
#include <math.h>

#include <set>
#include <utility>
#include <vector>

#include "korva/draw/exact_pixels.h"

namespace {

constexpr int64_t W = KORVA_CANVAS_WIDTH;
constexpr int64_t H = KORVA_CANVAS_HEIGHT;
__extension__ typedef __int128 Big;  // the test's own reference only
typedef std::set<std::pair<int64_t, int64_t>> PixelSet;

uint64_t state = 0x243F6A8885A308D3ULL;
uint64_t next() {
    state ^= state << 13;
    state ^= state >> 7;
    state ^= state << 17;
    return state;
}
int64_t between(int64_t low, int64_t high) {
    return low + static_cast<int64_t>(next() % static_cast<uint64_t>(high - low + 1));
}

PixelSet pixels_of(const PixelRun* runs, int32_t count) {
    PixelSet set;
    for (int32_t i = 0; i < count; ++i) {
        EXPECT_GT(runs[i].length, 0);
        for (int32_t k = 0; k < runs[i].length; ++k) {
            int64_t x = runs[i].x + (runs[i].vertical ? 0 : k), y = runs[i].y + (runs[i].vertical ? k : 0);
            EXPECT_TRUE(x >= 0 && x < W && y >= 0 && y < H) << "run pixel off the canvas: " << x << "," << y;
            EXPECT_TRUE(set.insert({x, y}).second) << "pixel painted twice: " << x << "," << y;
        }
    }
    return set;
}

// The whole line with the classic error accumulator, from its start to just before its end,
// keeping the pixels that fall on the canvas.
PixelSet whole_line(WidePoint a, WidePoint b) {
    PixelSet set;
    int64_t dx = b.x - a.x, dy = b.y - a.y;
    bool x_major = llabs(dx) >= llabs(dy);
    int64_t n = x_major ? llabs(dx) : llabs(dy), m = x_major ? llabs(dy) : llabs(dx);
    int64_t s_major = (x_major ? dx : dy) < 0 ? -1 : 1, s_minor = (x_major ? dy : dx) < 0 ? -1 : 1;
    int64_t major = x_major ? a.x : a.y, minor = x_major ? a.y : a.x;
    // The minor coordinate moves when the accumulated 2m exceeds n (or reaches it, on the
    // side where a tie goes away from the start: a shrinking minor coordinate).
    Big error = 0;  // 2 * (i * m) - 2 * q * n, relative to the pixel centre, times 2n
    for (int64_t i = 0; i < n; ++i) {
        int64_t x = x_major ? major : minor, y = x_major ? minor : major;
        if (x >= 0 && x < W && y >= 0 && y < H) set.insert({x, y});
        major += s_major;
        error += 2 * m;
        bool move = s_minor > 0 ? error > n : error >= n;
        if (move) {
            minor += s_minor;
            error -= 2 * n;
        }
    }
    return set;
}

TEST(ExactPixels, CutLinesLightTheWholeLinesCanvasPixels) {
    for (int i = 0; i < 3000; ++i) {
        // Ends within a few thousand pixels of the canvas, so that the whole line can be walked.
        WidePoint a{between(-3000, W + 3000), between(-3000, H + 3000)};
        WidePoint b{between(-3000, W + 3000), between(-3000, H + 3000)};
        if (i % 5 == 0) b = {a.x + between(-3, 3), a.y + between(-3, 3)};
        PixelRun runs[MAX_LINE_RUNS];
        int32_t count = line_canvas_runs(a, b, runs);
        ASSERT_LE(count, MAX_LINE_RUNS);
        ASSERT_EQ(whole_line(a, b), pixels_of(runs, count))
            << "(" << a.x << "," << a.y << ")-(" << b.x << "," << b.y << ")";
    }
}

// Lines of any length: every canvas step's pixel is the rounded exact position (ties to the
// smaller coordinate), and no other pixel is lit.
TEST(ExactPixels, FarLinesAreSteppedExactlyOnTheCanvas) {
    const int64_t far = int64_t{1} << 32;
    for (int i = 0; i < 3000; ++i) {
        WidePoint a{between(-far, far), between(-far, far)};
        // Mostly through the canvas: the far end mirrors the first around a canvas point.
        WidePoint c{between(0, W - 1), between(0, H - 1)};
        WidePoint b = i % 3 ? WidePoint{2 * c.x - a.x, 2 * c.y - a.y} : WidePoint{between(-far, far), between(-far, far)};
        PixelRun runs[MAX_LINE_RUNS];
        int32_t count = line_canvas_runs(a, b, runs);
        PixelSet got = pixels_of(runs, count);
        PixelSet expected;
        bool x_major = llabs(b.x - a.x) >= llabs(b.y - a.y);
        int64_t a0 = x_major ? a.x : a.y, a1 = x_major ? b.x : b.y, b0 = x_major ? a.y : a.x, b1 = x_major ? b.y : b.x;
        for (int64_t v = 0; v < (x_major ? W : H) && a0 != a1; ++v) {
            if (a1 > a0 ? (v < a0 || v >= a1) : (v > a0 || v <= a1)) continue;
            Big num = Big{2} * b0 * (a1 - a0) + Big{2} * (v - a0) * (b1 - b0) - (a1 - a0);
            Big den = Big{2} * (a1 - a0);
            if (den < 0) {
                num = -num;
                den = -den;
            }
            Big q = num / den + ((num % den != 0 && num > 0) ? 1 : 0);
            int64_t x = x_major ? v : static_cast<int64_t>(q), y = x_major ? static_cast<int64_t>(q) : v;
            if (x >= 0 && x < W && y >= 0 && y < H) expected.insert({x, y});
        }
        ASSERT_EQ(expected, got) << "(" << a.x << "," << a.y << ")-(" << b.x << "," << b.y << ")";
    }
}

TEST(ExactPixels, TriangleInteriorsHoldThePixelsStrictlyInside) {
    const int64_t spans[] = {700, 5000, int64_t{1} << 32};
    for (int i = 0; i < 60; ++i) {
        int64_t r = spans[i % 3];
        WidePoint c[3];
        for (WidePoint& p : c) p = {between(-r, W + r), between(-r, H + r)};
        if (i % 10 == 0) c[2] = {2 * c[1].x - c[0].x, 2 * c[1].y - c[0].y};  // all three on one line
        Big area = Big{c[1].x - c[0].x} * (c[2].y - c[0].y) - Big{c[1].y - c[0].y} * (c[2].x - c[0].x);
        for (int32_t row = 0; row < H; row += 7) {
            int32_t first = -1, last = -2;
            bool any = triangle_row_interior(c, row, &first, &last);
            for (int32_t x = 0; x < W; ++x) {
                bool inside = area != 0;
                for (int e = 0; e < 3 && inside; ++e) {
                    const WidePoint& p = c[e];
                    const WidePoint& q = c[(e + 1) % 3];
                    Big cross = Big{q.x - p.x} * (row - p.y) - Big{q.y - p.y} * (x - p.x);
                    inside = area > 0 ? cross > 0 : cross < 0;
                }
                ASSERT_EQ(inside, any && x >= first && x <= last) << "triangle " << i << " row " << row << " x " << x;
            }
        }
    }
}

TEST(ExactPixels, RectangleOutlinesStayOnTheCanvasWithoutOverlap) {
    const WideBox boxes[] = {{100, 100, 200, 150}, {-(int64_t{1} << 32), 5, int64_t{1} << 32, 6},
                             {300, 200, 301, 201}, {-(int64_t{1} << 31), -(int64_t{1} << 31), 10, 10}};
    const int32_t widths[] = {1, 2, 3, 100, 1000, INT_MAX};
    for (const WideBox& box : boxes) {
        for (int32_t width : widths) {
            CanvasRect pieces[4];
            int32_t n = rectangle_outline_pieces(box, width, pieces);
            ASSERT_LE(n, 4);
            int64_t area = 0;
            PixelSet seen;
            for (int32_t i = 0; i < n; ++i) {
                EXPECT_TRUE(pieces[i].left >= 0 && pieces[i].right < W && pieces[i].top >= 0 && pieces[i].bottom < H);
                area += int64_t{pieces[i].right - pieces[i].left + 1} * (pieces[i].bottom - pieces[i].top + 1);
                for (int32_t y = pieces[i].top; y <= pieces[i].bottom; ++y)
                    for (int32_t x = pieces[i].left; x <= pieces[i].right; ++x) seen.insert({x, y});
            }
            EXPECT_EQ(area, static_cast<int64_t>(seen.size())) << "pieces overlap, width " << width;
        }
    }
}

// Whether (x, y) lies in the body by the region rule, tested on its own: a pixel belongs to a
// row's span when the crossings of that row with the edges that it meets (at or below an
// edge's top, above its bottom) lie one at or left of it and one right of it.
bool inside_body(const StrokeBody& body, int64_t x, int64_t y) {
    int left = 0, right = 0;
    for (int e = 0; e < 4; ++e) {
        WidePoint a = body.corners[e], b = body.corners[(e + 1) % 4];
        if (a.y == b.y) continue;
        if (a.y > b.y) std::swap(a, b);
        if (y < a.y || y >= b.y) continue;
        // The crossing, rounded up, is at or left of x when x * dy >= a.x dy + dx (y - a.y).
        Big lhs = Big{x} * (b.y - a.y), rhs = Big{a.x} * (b.y - a.y) + Big{b.x - a.x} * (y - a.y);
        // For a whole x, ceil(crossing) <= x exactly when crossing <= x.
        if (rhs <= lhs) {
            ++left;
        } else {
            ++right;
        }
    }
    return left == 1 && right == 1;
}

// The body's corners as measured under Wine for a few strokes, and the region rule applied
// to bodies near the canvas and as far as 32-bit coordinates reach.
TEST(ExactPixels, WideStrokeBodiesHaveGdisCornersAndRows) {
    struct Case { WidePoint a, b; int32_t width; WidePoint corners[4]; };
    const Case cases[] = {
        // Level and upright segments: the pen reaches width / 2 before the line, the rest after.
        {{-5000, 300}, {5000, 300}, 4, {{-5000, 298}, {5000, 298}, {5000, 302}, {-5000, 302}}},
        {{5000, 300}, {-5000, 300}, 5, {{-5000, 298}, {5000, 298}, {5000, 303}, {-5000, 303}}},
        {{100, -5000}, {100, 5000}, 4, {{98, -5000}, {102, -5000}, {102, 5000}, {98, 5000}}},
        // A diagonal: the narrow half rounds 3 / (2 sqrt 2) to 1, the wide half (3 / sqrt 2 + 1) / 2 to 2.
        {{-1000, -1000}, {1000, 1000}, 3, {{-1001, -999}, {-998, -1002}, {1002, 998}, {999, 1001}}},
        // The same stroke given from its other end is the same body.
        {{1000, 1000}, {-1000, -1000}, 3, {{-1001, -999}, {-998, -1002}, {1002, 998}, {999, 1001}}},
        // Going left: the halves are mirrored in y.
        {{3000, -700}, {-3000, 1300}, 2, {{3000, -701}, {3001, -699}, {-2999, 1301}, {-3000, 1299}}},
    };
    for (const Case& c : cases) {
        StrokeBody body = stroke_body(c.a, c.b, c.width);
        for (int i = 0; i < 4; ++i) {
            EXPECT_EQ(c.corners[i].x, body.corners[i].x) << "width " << c.width << " corner " << i;
            EXPECT_EQ(c.corners[i].y, body.corners[i].y) << "width " << c.width << " corner " << i;
        }
    }
    // The diagonal of width 3 covers columns 98 to 103 of row 100, as Wine paints it.
    int32_t first = -1, last = -1;
    ASSERT_TRUE(body_row_span(stroke_body({-1000, -1000}, {1000, 1000}, 3), 100, &first, &last));
    EXPECT_EQ(98, first);
    EXPECT_EQ(103, last);

    for (int i = 0; i < 300; ++i) {
        const int64_t reach = i % 3 == 0 ? 800 : (i % 3 == 1 ? int64_t{1} << 20 : int64_t{1} << 32);
        WidePoint a{between(-reach, W + reach), between(-reach, H + reach)};
        WidePoint b{between(-reach, W + reach), between(-reach, H + reach)};
        if (i % 7 == 0) b.y = a.y;
        if (a.x == b.x && a.y == b.y) continue;
        int32_t width = static_cast<int32_t>(i % 5 == 0 ? between(2, INT_MAX) : between(2, 400));
        StrokeBody body = stroke_body(a, b, width);
        for (int64_t row = 0; row < H; row += 7) {
            first = -1;
            last = -2;
            bool any = body_row_span(body, static_cast<int32_t>(row), &first, &last);
            for (int64_t x = 0; x < W; ++x) {
                ASSERT_EQ(inside_body(body, x, row), any && x >= first && x <= last)
                    << "stroke " << i << " row " << row << " x " << x;
            }
        }
    }
}

}  // namespace
