// The game helpers against the pixels the library paints: a point is inside a filled rectangle
// exactly when the pixel there is painted; inside a circle, the same but for a few pixels of the
// rim, where the platform's rasteriser rounds its own way; and a negative radius is corrected
// with the circle's own console line.
#include <gtest/gtest.h>

#include <math.h>

#include <string>
#include <vector>

#include "korva/korva.h"
#include "support/korva_session.h"

namespace {

constexpr uint32_t RED = 0xFF0000;  // the canvas is cleared to white

// Whether the canvas pixel at a drawing point is red.
bool painted(const std::vector<uint32_t>& pixels, Point p) {
    int32_t column = korva_state.origin_x + p.x;
    int32_t row = korva_state.origin_y - p.y;
    if (column < 0 || column >= KORVA_CANVAS_WIDTH || row < 0 || row >= KORVA_CANVAS_HEIGHT) {
        ADD_FAILURE() << "(" << p.x << "," << p.y << ") is off the canvas";
        return false;
    }
    return pixels[static_cast<size_t>(row) * KORVA_CANVAS_WIDTH + column] == RED;
}

TEST(GameHelpers, PointInCircleIsThePaintedDiscButForAFewRimPixels) {
    open_korva_once();
    KORVA_logging(0);
    // Radii whose discs fit on the canvas, small ones (where the edge rule shows most) and some
    // larger; centres on and off the canvas centre.
    const int32_t radii[] = {0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 17, 25, 31, 32, 33, 40, 49, 50, 99, 150, 200};
    const Point centres[] = {{0, 0}, {-37, 21}, {40, -13}};
    // (The largest disc, 200 about a centre 40 off, still lies on the canvas: 540 / 2 > 213 + 2.)
    for (Point centre : centres) {
        for (int32_t r : radii) {
            KORVA_clear();
            KORVA_draw_circle(KORVA_RED, centre, r);
            std::vector<uint32_t> pixels = canvas_pixels();
            // Measured under Wine: 0 to 56 differing pixels for these radii, every one on the rim
            // (a radius of 0 paints nothing there). A wrong rule (r * r, without the half pixel)
            // differs by about 3r.
            int32_t mismatches = 0;
            for (int32_t y = centre.y - r - 2; y <= centre.y + r + 2; ++y) {
                for (int32_t x = centre.x - r - 2; x <= centre.x + r + 2; ++x) {
                    bool inside = KORVA_point_in_circle(Point{x, y}, centre, r) == 1;
                    if (inside == painted(pixels, Point{x, y})) continue;
                    ++mismatches;
                    double dx = x - centre.x, dy = y - centre.y;
                    EXPECT_LT(fabs(sqrt(dx * dx + dy * dy) - (r + 0.5)), 1.0)
                        << "(" << x << "," << y << ") is not on the rim of radius " << r;
                }
            }
            EXPECT_LE(mismatches, r / 4 + 28) << "radius " << r << " at (" << centre.x << "," << centre.y << ")";
        }
    }
}

TEST(GameHelpers, PointInRectangleIsThePaintedBoxAndOverlapsShareAPaintedPixel) {
    open_korva_once();
    KORVA_logging(0);
    // (A box of a single pixel is left out: Wine's Rectangle paints nothing for it, as its
    // Ellipse paints nothing for a circle of radius 0; the helpers count that pixel.)
    const Point corners[][2] = {{{-10, 5}, {10, -5}}, {{7, -3}, {-2, 12}}, {{-50, 1}, {60, 1}}, {{3, -20}, {3, 20}}};
    for (const auto& box : corners) {
        KORVA_clear();
        KORVA_draw_rectangle(KORVA_RED, box[0], box[1], 0);
        std::vector<uint32_t> pixels = canvas_pixels();
        int32_t mismatches = 0;
        for (int32_t y = -20; y <= 20; ++y)
            for (int32_t x = -60; x <= 70; ++x)
                if ((KORVA_point_in_rectangle(Point{x, y}, box[0], box[1]) == 1) != painted(pixels, Point{x, y}))
                    ++mismatches;
        EXPECT_EQ(0, mismatches) << "box (" << box[0].x << "," << box[0].y << ") to (" << box[1].x << "," << box[1].y << ")";
    }
    // Two painted shapes overlap exactly when some pixel is painted by both.
    EXPECT_EQ(1, KORVA_rectangles_overlap(-10, 5, 10, -5, 10, -5, 20, -20));
    EXPECT_EQ(0, KORVA_rectangles_overlap(-10, 5, 10, -5, 11, -5, 20, -20));
    EXPECT_EQ(1, KORVA_circles_overlap(-10, 0, 10, 10, 0, 10));
    EXPECT_EQ(0, KORVA_circles_overlap(-10, 0, 10, 11, 0, 10));
}

TEST(GameHelpers, NegativeRadiusIsCorrectedWithTheCirclesLine) {
    open_korva_once();
    clear_console();
    EXPECT_EQ(1, KORVA_point_in_circle(3, 1, 0, 0, -3));
    EXPECT_EQ(0, KORVA_point_in_circle(3, 2, 0, 0, -3));
    EXPECT_EQ(1, KORVA_circles_overlap(0, 0, -2, 4, 0, 2));
    std::vector<std::string> lines = console_lines();
    ASSERT_EQ(3u, lines.size());
    EXPECT_EQ("Radius of -3 not possible, using radius 3", lines[0].substr(0, lines[0].find_last_not_of("\r\n") + 1));
    EXPECT_EQ("Radius of -2 not possible, using radius 2", lines[2].substr(0, lines[2].find_last_not_of("\r\n") + 1));
    // Rectangles and points have nothing to correct and say nothing.
    clear_console();
    EXPECT_EQ(1, KORVA_point_in_rectangle(INT32_MIN, INT32_MAX, INT32_MIN, INT32_MIN, INT32_MAX, INT32_MAX));
    EXPECT_TRUE(console_lines().empty());
}

}  // namespace
