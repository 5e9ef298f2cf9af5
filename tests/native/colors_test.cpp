// The colour table, the argument corrections, the corner normalisation and the
// overflow-safe transform and clipping of the drawing primitives.
#include <gtest/gtest.h>

#include <limits.h>
#include <stdio.h>

#include <string>
#include <vector>

#include "korva/draw/colors.h"
#include "korva/draw/geometry.h"

static std::string format2(const char* format, int32_t a, int32_t b) {
    char buffer[128];
    snprintf(buffer, sizeof buffer, format, a, b);
    return buffer;
}

// The messages a correction would write, in order.
static std::vector<std::string> messages_of(SizeKind kind, const SizeCorrection& c) {
    std::vector<std::string> lines;
    for (int32_t i = 0; i < c.count; ++i) lines.push_back(format2(size_message(kind), c.fixes[i].given, c.fixes[i].used));
    return lines;
}

TEST(Colors, TableHoldsNamesAndBgrValues) {
    struct Case { int32_t index; const char* name; uint32_t red, green, blue; };
    const Case cases[] = {
        {0, "black", 0, 0, 0},          {1, "white", 255, 255, 255},   {2, "red", 255, 0, 0},
        {4, "blue", 0, 0, 255},         {8, "purple", 153, 0, 204},    {9, "navy blue", 0, 51, 153},
        {13, "orange", 255, 102, 0},    {19, "forest green", 0, 102, 51}, {22, "50% gray", 128, 128, 128},
        {23, "20% gray", 204, 204, 204},
    };
    for (const Case& c : cases) {
        EXPECT_STREQ(c.name, COLOR_TABLE[c.index].name) << "index " << c.index;
        EXPECT_EQ(c.red | c.green << 8 | c.blue << 16, COLOR_TABLE[c.index].rgb) << "index " << c.index;
    }
}

TEST(Colors, IllegalIndicesBecomeRed) {
    struct Case { int32_t given; int32_t used; bool illegal; };
    const Case cases[] = {{0, 0, false}, {23, 23, false}, {24, 2, true},        {-1, 2, true},
                          {99, 2, true}, {INT_MIN, 2, true}, {INT_MAX, 2, true}};
    for (const Case& c : cases) {
        ColorCheck check = check_color(c.given);
        EXPECT_EQ(c.used, check.color) << "colour " << c.given;
        EXPECT_EQ(c.illegal, check.illegal) << "colour " << c.given;
    }
    EXPECT_EQ("Illegal color 24; using RED.\n", format2(ILLEGAL_COLOR_MESSAGE, 24, 0));
}

TEST(Colors, SizeCorrectionsAndTheirMessages) {
    struct Case { SizeKind kind; int32_t given; int32_t used; std::vector<std::string> messages; };
    const std::vector<Case> cases = {
        {CORRECT_RADIUS, 0, 0, {}},
        {CORRECT_RADIUS, 5, 5, {}},
        {CORRECT_RADIUS, -5, 5, {"Radius of -5 not possible, using radius 5\n"}},
        {CORRECT_RADIUS, INT_MIN, INT_MAX, {"Radius of -2147483648 not possible, using radius 2147483647\n"}},
        {CORRECT_RADIUS, INT_MAX, INT_MAX, {}},
        {CORRECT_WIDTH, -3, 3, {"Width of -3 not possible, using width 3\n"}},
        {CORRECT_WIDTH, INT_MIN, INT_MAX, {"Width of -2147483648 not possible, using width 2147483647\n"}},
        {CORRECT_WIDTH, 500, 500, {}},
        {CORRECT_PTSIZE, 0, 0, {}},
        {CORRECT_PTSIZE, 127, 127, {}},
        {CORRECT_PTSIZE, 128, 127, {"ptsize of 128 not possible, using ptsize 127\n"}},
        {CORRECT_PTSIZE, -12, 12, {"ptsize of -12 not possible, using ptsize 12\n"}},
        {CORRECT_PTSIZE, -200, 127,
         {"ptsize of -200 not possible, using ptsize 200\n", "ptsize of 200 not possible, using ptsize 127\n"}},
        {CORRECT_PTSIZE, INT_MIN, 127,
         {"ptsize of -2147483648 not possible, using ptsize 2147483647\n",
          "ptsize of 2147483647 not possible, using ptsize 127\n"}},
        {CORRECT_PTSIZE, INT_MAX, 127, {"ptsize of 2147483647 not possible, using ptsize 127\n"}},
    };
    for (const Case& c : cases) {
        SizeCorrection correction = correct_size(c.kind, c.given);
        EXPECT_EQ(c.used, correction.value) << "kind " << c.kind << ", given " << c.given;
        EXPECT_EQ(c.messages, messages_of(c.kind, correction)) << "kind " << c.kind << ", given " << c.given;
    }
}

TEST(Colors, CornersAreNormalisedToUpperLeftAndLowerRight) {
    struct Case { Point p1, p2, upper_left, lower_right; };
    const Case cases[] = {
        {{10, -10}, {-10, 10}, {-10, 10}, {10, -10}},
        {{-10, 10}, {10, -10}, {-10, 10}, {10, -10}},
        {{-10, -10}, {10, 10}, {-10, 10}, {10, -10}},
        {{INT_MAX, INT_MIN}, {INT_MIN, INT_MAX}, {INT_MIN, INT_MAX}, {INT_MAX, INT_MIN}},
        {{3, 3}, {3, 3}, {3, 3}, {3, 3}},
    };
    for (const Case& c : cases) {
        Corners corners = normalise_corners(c.p1, c.p2);
        EXPECT_EQ(c.upper_left.x, corners.upper_left.x);
        EXPECT_EQ(c.upper_left.y, corners.upper_left.y);
        EXPECT_EQ(c.lower_right.x, corners.lower_right.x);
        EXPECT_EQ(c.lower_right.y, corners.lower_right.y);
    }
}

TEST(Geometry, TransformAndBoxesDoNotOverflow) {
    WidePoint p = to_device(300, 250, Point{INT_MIN, INT_MIN});
    EXPECT_EQ(300 + int64_t{INT_MIN}, p.x);
    EXPECT_EQ(250 - int64_t{INT_MIN}, p.y);
    WideBox box = inclusive_device_box(300, 250, Point{-10, 10}, Point{10, -10});
    EXPECT_EQ(290, box.left);
    EXPECT_EQ(240, box.top);
    EXPECT_EQ(311, box.right) << "the right column is part of the box";
    EXPECT_EQ(261, box.bottom) << "the bottom row is part of the box";
    WideBox huge = inclusive_device_box(300, 250, Point{INT_MIN, INT_MAX}, Point{INT_MAX, INT_MIN});
    EXPECT_FALSE(box_within(huge, DEVICE_LIMIT));
    EXPECT_EQ(-DEVICE_LIMIT, clamp_to_device(huge.left));
    EXPECT_EQ(DEVICE_LIMIT, clamp_to_device(huge.bottom));
    EXPECT_FALSE(box_within(huge, THIN_LINE_LIMIT));
    EXPECT_TRUE(point_within({THIN_LINE_LIMIT, -THIN_LINE_LIMIT}, THIN_LINE_LIMIT));
    EXPECT_FALSE(point_within({THIN_LINE_LIMIT + 1, 0}, THIN_LINE_LIMIT));
}

TEST(Geometry, CircleCornersStayWithin32Bits) {
    struct Case { Point centre; int32_t radius; Point upper_left, lower_right; };
    const Case cases[] = {
        {{0, 0}, 5, {-5, 5}, {5, -5}},
        {{0, 0}, 0, {0, 0}, {0, 0}},
        {{INT_MAX, INT_MIN}, 5, {INT_MAX - 5, INT_MIN + 5}, {INT_MAX, INT_MIN}},
        {{0, 0}, INT_MAX, {-INT_MAX, INT_MAX}, {INT_MAX, -INT_MAX}},
        {{-100, 100}, INT_MAX, {INT_MIN, INT_MAX}, {INT_MAX - 100, 100 - INT_MAX}},
    };
    for (const Case& c : cases) {
        Corners box = circle_corners(c.centre, c.radius);
        EXPECT_EQ(c.upper_left.x, box.upper_left.x) << "radius " << c.radius;
        EXPECT_EQ(c.upper_left.y, box.upper_left.y) << "radius " << c.radius;
        EXPECT_EQ(c.lower_right.x, box.lower_right.x) << "radius " << c.radius;
        EXPECT_EQ(c.lower_right.y, box.lower_right.y) << "radius " << c.radius;
    }
}

// A filled ellipse far larger than the canvas covers it whole; its outline of width 1
// crosses a row in two thin spans; one far away touches no row.
TEST(Geometry, LargeEllipseRowsLieOnTheCanvas) {
    const WideBox covering{-(int64_t{1} << 32), -(int64_t{1} << 32), int64_t{1} << 32, int64_t{1} << 32};
    RowSpans filled = ellipse_row_spans(covering, 0, true, 270);
    ASSERT_EQ(1, filled.count);
    EXPECT_EQ(0, filled.first[0]);
    EXPECT_EQ(KORVA_CANVAS_WIDTH - 1, filled.last[0]);
    EXPECT_EQ(0, ellipse_row_spans(covering, 1, false, 270).count) << "the outline is far outside the canvas";

    // Centred on the canvas's column 300, 100000 wide: at its middle row the outline is
    // off the canvas; near its top row it crosses the canvas.
    const WideBox tall{300 - 50000, 0, 300 + 50001, 100000};
    RowSpans top = ellipse_row_spans(tall, 1, false, 0);
    ASSERT_GE(top.count, 1);
    for (int32_t i = 0; i < top.count; ++i) {
        EXPECT_GE(top.first[i], 0);
        EXPECT_LE(top.last[i], KORVA_CANVAS_WIDTH - 1);
    }
    const WideBox far{int64_t{1} << 33, 0, (int64_t{1} << 33) + 100000, 100};
    EXPECT_EQ(0, ellipse_row_spans(far, 0, true, 50).count);
    EXPECT_EQ(0, ellipse_row_spans(far, PEN_WIDTH_LIMIT, false, 50).count);
}

TEST(Geometry, TextLinesGoDownByTheirHeight) {
    EXPECT_EQ(250 - 16, text_line_top(250, 0, 0, 16)) << "first line's cell stands above the point";
    EXPECT_EQ(250, text_line_top(250, 0, 1, 16));
    EXPECT_EQ(250 - int64_t{INT_MIN} + 16, text_line_top(250, INT_MIN, 2, 16));
    struct Case {
        int64_t left, top;
        int32_t overhang;
        int64_t width;
        bool shows;
        const char* why;
    };
    const int64_t far = (int64_t{1} << 20) + 10;
    const Case cases[] = {
        {-100000, 100, 0, 100000 - 15, true, "a long line reaches the canvas from far left"},
        {-100000, 100, 0, 100000 - 16, false, "a line ending a line height left of the canvas"},
        {-far, 100, 0, 12000 * 101, true, "12,000 wide glyphs from beyond 2^20"},
        {-far, 100, 0, -1, true, "an unmeasured line is never ruled out by its width"},
        {INT32_MIN, 100, 0, 0, false, "an empty line far left"},
        {KORVA_CANVAS_WIDTH, 100, 0, 0, false, "right of the canvas"},
        {KORVA_CANVAS_WIDTH + 9, 100, 10, 0, true, "a glyph reaching left of its cell"},
        {KORVA_CANVAS_WIDTH + 10, 100, 10, 0, false, "its reach ends just short"},
        {0, -16, 0, 0, false, "above the canvas"},
        {0, -15, 0, 0, true, "its last row on the canvas"},
        {0, KORVA_CANVAS_HEIGHT, 0, 0, false, "below the canvas"},
    };
    for (const Case& c : cases) EXPECT_EQ(c.shows, text_line_may_show(c.left, c.top, 16, c.overhang, c.width)) << c.why;
}

namespace {

// Which ovals go to the platform's Ellipse: its pen up to 8192 and its box within +/-16384, each
// limit from both sides (past them Ellipse takes seconds, and the library paints them itself).
TEST(Geometry, OvalsGoToThePlatformExactlyWithinTheirLimits) {
    const WideBox inside{-16384, -16384, 16384, 16384};
    const struct {
        const char* what;
        WideBox box;
        int32_t pen;
        bool for_gdi;
    } cases[] = {
        {"box and pen at their limits", inside, 8192, true},
        {"pen one past", inside, 8193, false},
        {"a small oval with a huge pen", {-10, -10, 10, 10}, 20000, false},
        {"left one past", {-16385, 0, 10, 10}, 1, false},
        {"top one past", {0, -16385, 10, 10}, 1, false},
        {"right one past", {0, 0, 16385, 10}, 1, false},
        {"bottom one past", {0, 0, 10, 16385}, 0, false},
        {"filled at the limit", inside, 0, true},
    };
    for (const auto& c : cases) EXPECT_EQ(c.for_gdi, oval_for_gdi(c.box, c.pen)) << c.what;
}

}  // namespace
