// Pictures turned, scaled, flipped and in parts, through the real canvas: right-angle turns and
// flips against the picture's own pixels moved by hand; any angle, scale and part against the
// platform's imaging called raw with a world transform, and upright stretches against its raw
// blend, pixel for pixel, at points on and across the canvas's edges; bad input; the log line;
// freeing one picture.
#include <gtest/gtest.h>

#include <limits.h>
#include <math.h>

// GDI+'s header wants the COM property types declared first.
#include <windows.h>
#include <objidl.h>
#include <gdiplus.h>

#include <string>
#include <vector>

#include "korva/extras/pictures.h"
#include "support/korva_session.h"

namespace {

namespace gdip = Gdiplus::DllExports;

constexpr char SPRITE[] = "pictures\\sprite.png";    // 64 x 64, half-transparent red disc and more
constexpr char STRIPES[] = "pictures\\stripes.bmp";  // 31 x 17, opaque

class TurnedPicturesTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() { open_korva_once(); }
    void SetUp() override {
        drain_messages();
        KORVA_logging(0);
        KORVA_clear();
        clear_console();
    }
    void TearDown() override {
        free_pictures();
        KORVA_logging(1);
        clear_console();
    }
};

// The picture's pixel (column, row) as the canvas shows it over white.
uint32_t opaque_pixel(const Picture& p, int32_t column, int32_t row) {
    return static_cast<const uint32_t*>(p.bits)[row * p.width + column] & 0xFFFFFF;
}

// Where the part's middle lies on the device when its pixel (width / 2, height / 2) is put on
// the point, as an unturned draw puts it: half a pixel past the point along an odd side.
struct Middle {
    double x, y;
};
Middle middle_of(const PicturePart& part, Point at) {
    return {double(korva_state.origin_x) + at.x - part.width / 2 + part.width / 2.0,
            double(korva_state.origin_y) - at.y - part.height / 2 + part.height / 2.0};
}

int differing(const std::vector<uint32_t>& a, const std::vector<uint32_t>& b) {
    int n = 0;
    for (size_t i = 0; i < a.size(); ++i) n += (a[i] & 0xFFFFFF) != (b[i] & 0xFFFFFF);
    return n;
}

// A 31 x 17 picture whose every pixel has a colour of its own, so that any pixel out of place
// shows; written as a 24-bit BMP, bottom row first.
const char* write_cells_picture() {
    const int32_t w = 31, h = 17, row = (w * 3 + 3) / 4 * 4;
    std::string file(54 + size_t(row) * h, '\0');
    auto put32 = [&](size_t at, uint32_t v) { for (int i = 0; i < 4; ++i) file[at + i] = char(v >> (8 * i)); };
    file[0] = 'B', file[1] = 'M';
    put32(2, uint32_t(file.size()));
    put32(10, 54);
    put32(14, 40);
    put32(18, w);
    put32(22, h);
    file[26] = 1, file[28] = 24;
    for (int32_t y = 0; y < h; ++y) {
        for (int32_t x = 0; x < w; ++x) {
            const size_t at = 54 + size_t(h - 1 - y) * row + size_t(x) * 3;
            file[at] = char(x * 8), file[at + 1] = char(y * 15), file[at + 2] = char(255 - x * 4 - y * 3);
        }
    }
    write_file("cells.bmp", file);
    return "cells.bmp";
}

// A right-angle turn or a flip at a whole scale moves whole pixels: each canvas pixel's centre,
// taken back through the turn, lands inside one of the part's pixels or outside the part. The
// part's middle is where the unturned draw puts it: its pixel (width / 2, height / 2) on the point.
// The platform may sample a turned picture a pixel over and leave out an edge row (Wine's imaging
// takes pixel corners for centres), so each painted pixel must be the picture's pixel moved there
// by hand or to a neighbouring pixel, and all but the part's rim must be painted: a wrong way of
// turning, a wrong middle, scale or flip fails by far.
TEST_F(TurnedPicturesTest, RightAnglesAndFlipsMoveEveryPixelWhereItBelongs) {
    const int id = KORVA_load_picture(write_cells_picture());
    ASSERT_GE(id, 1);
    const Picture& p = korva_state.pictures[id - 1];
    const struct {
        PicturePart part;
        double degrees, scale;
        int32_t flip;
        Point at;
    } cases[] = {
        {{0, 0, 31, 17}, 90, 1, KORVA_FLIP_NONE, {0, 0}},
        {{0, 0, 31, 17}, 0, 1, KORVA_FLIP_NONE, {0, 0}},
        {{0, 0, 31, 17}, 180, 1, KORVA_FLIP_NONE, {-100, 50}},
        {{0, 0, 31, 17}, 270, 2, KORVA_FLIP_NONE, {40, -20}},
        {{0, 0, 31, 17}, -90, 1, KORVA_FLIP_NONE, {3, 4}},
        {{0, 0, 31, 17}, 450, 3, KORVA_FLIP_NONE, {-7, 9}},
        {{0, 0, 31, 17}, 0, 1, KORVA_FLIP_ACROSS, {10, 10}},
        {{0, 0, 31, 17}, 0, 2, KORVA_FLIP_UPSIDE_DOWN, {10, 10}},
        {{0, 0, 31, 17}, 90, 1, KORVA_FLIP_ACROSS | KORVA_FLIP_UPSIDE_DOWN, {10, 10}},
        {{4, 2, 10, 12}, 90, 2, KORVA_FLIP_ACROSS, {-290, 240}},  // a cell, across the top-left corner
        {{5, 3, 6, 6}, 270, 4, KORVA_FLIP_NONE, {300, -270}},     // across the bottom-right corner
    };
    for (const auto& c : cases) {
        KORVA_clear();
        const std::vector<uint32_t> before = canvas_pixels();
        ASSERT_EQ(1, KORVA_draw_picture_part(id, c.part, c.at, c.degrees, c.scale, c.flip)) << c.degrees;
        const std::vector<uint32_t> drawn = canvas_pixels();
        const Middle middle = middle_of(c.part, c.at);
        const double radians = c.degrees * 3.14159265358979323846 / 180;
        const double cosine = round(cos(radians)), sine = round(sin(radians));
        // The picture's pixels moved by hand; -1 where the part does not reach.
        const int32_t W = KORVA_CANVAS_WIDTH, H = KORVA_CANVAS_HEIGHT;
        std::vector<int64_t> moved(size_t(W) * H, -1);
        int inside = 0;
        for (int32_t y = 0; y < H; ++y) {
            for (int32_t x = 0; x < W; ++x) {
                // Back through the counter-clockwise turn (device rows run down), the flip, the scale.
                const double dx = x + 0.5 - middle.x, dy = y + 0.5 - middle.y;
                double u = dx * cosine - dy * sine, v = dx * sine + dy * cosine;
                if (c.flip & KORVA_FLIP_ACROSS) u = -u;
                if (c.flip & KORVA_FLIP_UPSIDE_DOWN) v = -v;
                const double column = c.part.width / 2.0 + u / c.scale, row = c.part.height / 2.0 + v / c.scale;
                if (column >= 0 && column < c.part.width && row >= 0 && row < c.part.height) {
                    moved[size_t(y) * W + x] =
                        opaque_pixel(p, c.part.left + int32_t(floor(column)), c.part.top + int32_t(floor(row)));
                    ++inside;
                }
            }
        }
        int painted = 0, misplaced = 0, rim = 0;
        for (int32_t y = 0; y < H; ++y) {
            for (int32_t x = 0; x < W; ++x) {
                const size_t i = size_t(y) * W + x;
                if (moved[i] >= 0 && (moved[size_t(y) * W + (x > 0 ? x - 1 : x)] < 0 || moved[size_t(y) * W + (x < W - 1 ? x + 1 : x)] < 0 ||
                                      moved[size_t(y > 0 ? y - 1 : y) * W + x] < 0 || moved[size_t(y < H - 1 ? y + 1 : y) * W + x] < 0)) {
                    ++rim;
                }
                if ((drawn[i] & 0xFFFFFF) == (before[i] & 0xFFFFFF) && moved[i] < 0) continue;
                ++painted;
                bool close_by = false;
                for (int32_t ny = y - 1; ny <= y + 1&& !close_by; ++ny) {
                    for (int32_t nx = x - 1; nx <= x + 1&& !close_by; ++nx) {
                        if (nx < 0 || ny < 0 || nx >= W || ny >= H) continue;
                        const int64_t m = moved[size_t(ny) * W + nx];
                        close_by = m >= 0 ? m == (drawn[i] & 0xFFFFFF) : (drawn[i] & 0xFFFFFF) == (before[i] & 0xFFFFFF);
                    }
                }
                misplaced += !close_by;
            }
        }
        const std::string what = "turned " + std::to_string(c.degrees) + " scaled " + std::to_string(c.scale) +
                                 " flipped " + std::to_string(c.flip) + " at (" + std::to_string(c.at.x) + "," +
                                 std::to_string(c.at.y) + ")";
        EXPECT_GT(inside, 0) << what;
        EXPECT_EQ(0, misplaced) << what;
        EXPECT_GE(painted, inside - rim) << what;
    }
}

// The reference for a turned or flipped part: the platform's imaging called raw, with the part's
// corners worked out here, about the part's middle.
void draw_raw_transformed(const Picture& p, const PicturePart& part, Point at, double degrees, double scale,
                          int32_t flip) {
    Gdiplus::GpGraphics* graphics = nullptr;
    ASSERT_EQ(Gdiplus::Ok, gdip::GdipCreateFromHDC(korva_state.canvas_dc, &graphics));
    Gdiplus::GpBitmap* image = nullptr;
    ASSERT_EQ(Gdiplus::Ok, gdip::GdipCreateBitmapFromScan0(p.width, p.height, p.width * 4, PixelFormat32bppPARGB,
                                                           static_cast<BYTE*>(p.bits), &image));
    gdip::GdipSetInterpolationMode(graphics, Gdiplus::InterpolationModeNearestNeighbor);
    gdip::GdipSetPixelOffsetMode(graphics, Gdiplus::PixelOffsetModeHalf);
    const Middle middle = middle_of(part, at);
    const double radians = fmod(degrees, 360.0) * 3.14159265358979323846 / 180;
    double cosine = cos(radians), sine = sin(radians);
    if (fmod(degrees, 90.0) == 0) cosine = round(cosine), sine = round(sine);
    const double sx = (flip & KORVA_FLIP_ACROSS) ? -scale : scale, sy = (flip & KORVA_FLIP_UPSIDE_DOWN) ? -scale : scale;
    const double corner_u[3] = {-part.width / 2.0, part.width / 2.0, -part.width / 2.0};
    const double corner_v[3] = {-part.height / 2.0, -part.height / 2.0, part.height / 2.0};
    Gdiplus::PointF corners[3];
    for (int i = 0; i < 3; ++i) {
        const double u = corner_u[i] * sx, v = corner_v[i] * sy;
        corners[i] = Gdiplus::PointF(Gdiplus::REAL(middle.x + u * cosine + v * sine),
                                     Gdiplus::REAL(middle.y - u * sine + v * cosine));
    }
    EXPECT_EQ(Gdiplus::Ok, gdip::GdipDrawImagePointsRect(graphics, image, corners, 3, Gdiplus::REAL(part.left),
                                                         Gdiplus::REAL(part.top), Gdiplus::REAL(part.width),
                                                         Gdiplus::REAL(part.height), Gdiplus::UnitPixel, nullptr,
                                                         nullptr, nullptr));
    gdip::GdipDisposeImage(image);
    gdip::GdipDeleteGraphics(graphics);
}

TEST_F(TurnedPicturesTest, AnyAngleScaleAndPartIsExactlyThePlatformsOwnDrawing) {
    const int sprite = KORVA_load_picture(SPRITE), stripes = KORVA_load_picture(STRIPES);
    ASSERT_GE(sprite, 1);
    ASSERT_GE(stripes, 1);
    const struct {
        int id;
        PicturePart part;
    } pictures[] = {{sprite, {0, 0, 64, 64}}, {sprite, {16, 8, 32, 40}}, {stripes, {0, 0, 31, 17}}, {stripes, {3, 1, 7, 9}}};
    const struct {
        double degrees, scale;
        int32_t flip;
    } turns[] = {{30, 1, 0}, {45, 2.5, 0}, {137.5, 0.5, 0}, {-12.25, 1.7, KORVA_FLIP_ACROSS}, {359.9, 3, 0},
                 {200, 1, KORVA_FLIP_UPSIDE_DOWN}, {90, 1.5, KORVA_FLIP_ACROSS | KORVA_FLIP_UPSIDE_DOWN}};
    const Point points[] = {{0, 0}, {-300, 270}, {300, -270}, {-320, 10}, {17, 285}, {250, 200}};
    int cases = 0, reference_drew = 0;
    for (const auto& picture : pictures) {
        const Picture& p = korva_state.pictures[picture.id - 1];
        for (const auto& t : turns) {
            for (const Point& at : points) {
                // A busy background, so that the blend shows.
                KORVA_clear();
                KORVA_draw_rectangle(KORVA_GREEN, at.x / 2 - 60, at.y / 2 + 60, at.x / 2 + 60, at.y / 2 - 60, 0);
                const std::vector<uint32_t> before = canvas_pixels();
                ++cases;
                ASSERT_EQ(1, KORVA_draw_picture_part(picture.id, picture.part, at, t.degrees, t.scale, t.flip));
                const std::vector<uint32_t> drawn = canvas_pixels();
                set_canvas_pixels(before);
                draw_raw_transformed(p, picture.part, at, t.degrees, t.scale, t.flip);
                const std::vector<uint32_t> expected = canvas_pixels();
                reference_drew += !(before == expected);
                EXPECT_EQ(0, differing(drawn, expected))
                    << "picture " << picture.id << " part " << picture.part.left << "," << picture.part.top << " "
                    << picture.part.width << " x " << picture.part.height << " turned " << t.degrees << " scaled "
                    << t.scale << " flipped " << t.flip << " at (" << at.x << "," << at.y << ")";
            }
        }
    }
    // Most of the points show the picture (a small part may lie wholly beyond an edge).
    EXPECT_GT(reference_drew, cases / 2);
}

// Upright and unflipped, a part is stretched by the platform's blend to its scaled size, with
// its middle where the unscaled draw puts it; at scale 1 it is the plain draw.
TEST_F(TurnedPicturesTest, UprightPartsAreThePlatformsBlendStretched) {
    const int sprite = KORVA_load_picture(SPRITE);
    ASSERT_GE(sprite, 1);
    const Picture& p = korva_state.pictures[sprite - 1];
    const struct {
        PicturePart part;
        double scale, degrees;
        Point at;
    } cases[] = {{{0, 0, 64, 64}, 1, 0, {0, 0}},      {{0, 0, 64, 64}, 2, 360, {-290, 250}}, {{8, 16, 17, 9}, 3.3, 0, {100, -260}},
                 {{0, 0, 64, 64}, 0.4, -720, {5, 5}}, {{63, 63, 1, 1}, 20, 0, {300, 0}},      {{0, 0, 64, 64}, 64, 0, {0, 0}}};
    for (const auto& c : cases) {
        KORVA_clear();
        KORVA_draw_circle(KORVA_BLUE, 0, 0, 200);
        const std::vector<uint32_t> before = canvas_pixels();
        ASSERT_EQ(1, KORVA_draw_picture_part(sprite, c.part, c.at, c.degrees, c.scale, KORVA_FLIP_NONE));
        const std::vector<uint32_t> drawn = canvas_pixels();
        set_canvas_pixels(before);
        const int w = int(llround(c.part.width * c.scale)), h = int(llround(c.part.height * c.scale));
        const BLENDFUNCTION blend{AC_SRC_OVER, 0, 255, AC_SRC_ALPHA};
        AlphaBlend(korva_state.canvas_dc, korva_state.origin_x + c.at.x - w / 2, korva_state.origin_y - c.at.y - h / 2,
                   w, h, p.dc, c.part.left, c.part.top, c.part.width, c.part.height, blend);
        EXPECT_EQ(0, differing(drawn, canvas_pixels())) << "scale " << c.scale << " at (" << c.at.x << "," << c.at.y << ")";
    }
    // At scale 1 the whole picture is the plain draw.
    KORVA_clear();
    KORVA_draw_picture(sprite, 33, -21);
    const std::vector<uint32_t> plain = canvas_pixels();
    KORVA_clear();
    KORVA_draw_picture_turned(sprite, 33, -21, 0, 1);
    EXPECT_EQ(0, differing(plain, canvas_pixels()));
}

TEST_F(TurnedPicturesTest, FarOffOrHugePicturesDrawWhatShowsAndNoMore) {
    const int sprite = KORVA_load_picture(SPRITE);
    ASSERT_GE(sprite, 1);
    const Point far_off[] = {{INT_MAX, INT_MAX}, {INT_MIN, 0}, {0, INT_MIN}, {3000, 0}};
    for (const Point& at : far_off) {
        KORVA_clear();
        const std::vector<uint32_t> before = canvas_pixels();
        EXPECT_EQ(1, KORVA_draw_picture_turned(sprite, at, 33, 2));
        EXPECT_EQ(1, KORVA_draw_picture_turned(sprite, at, 0, 2));
        EXPECT_TRUE(before == canvas_pixels()) << at.x << "," << at.y;
    }
    // The largest scale turned about a point beside the canvas covers it with one pixel's colour.
    KORVA_clear();
    EXPECT_EQ(1, KORVA_draw_picture_part(sprite, PicturePart{0, 0, 64, 64}, Point{-2000, 0}, 10, 64, 0));
    const std::vector<uint32_t> big = canvas_pixels();
    KORVA_clear();
    draw_raw_transformed(korva_state.pictures[sprite - 1], PicturePart{0, 0, 64, 64}, Point{-2000, 0}, 10, 64, 0);
    EXPECT_EQ(0, differing(big, canvas_pixels()));
    // Smaller than a pixel: nothing.
    KORVA_clear();
    const std::vector<uint32_t> white = canvas_pixels();
    EXPECT_EQ(1, KORVA_draw_picture_part(sprite, PicturePart{0, 0, 1, 1}, Point{0, 0}, 0, 0.2, 0));
    EXPECT_TRUE(white == canvas_pixels());
}

TEST_F(TurnedPicturesTest, BadInputIsAnsweredWithOneLineEachAndNothingOrTheCorrectedDrawing) {
    const int id = KORVA_load_picture(STRIPES);
    ASSERT_GE(id, 1);
    const PicturePart whole{0, 0, 31, 17};
    const std::string n = std::to_string(id);
    const struct {
        int32_t id;
        PicturePart part;
        double degrees, scale;
        int32_t flip;
        int result;
        std::string line;
    } cases[] = {
        {0, whole, 0, 1, 0, 0, "Picture 0 is not loaded; nothing drawn.\n"},
        {257, whole, 30, 1, 0, 0, "Picture 257 is not loaded; nothing drawn.\n"},
        {id, {-1, 0, 5, 5}, 0, 1, 0, 0, "Part (-1,0) 5 x 5 is not inside picture " + n + " (31 x 17); nothing drawn.\n"},
        {id, {27, 0, 5, 5}, 0, 1, 0, 0, "Part (27,0) 5 x 5 is not inside picture " + n + " (31 x 17); nothing drawn.\n"},
        {id, {0, 13, 5, 5}, 0, 1, 0, 0, "Part (0,13) 5 x 5 is not inside picture " + n + " (31 x 17); nothing drawn.\n"},
        {id, {0, 0, 0, 5}, 0, 1, 0, 0, "Part (0,0) 0 x 5 is not inside picture " + n + " (31 x 17); nothing drawn.\n"},
        {id, {INT_MAX, 0, INT_MAX, 5}, 0, 1, 0, 0,
         "Part (2147483647,0) 2147483647 x 5 is not inside picture " + n + " (31 x 17); nothing drawn.\n"},
        {id, whole, 0, 0, 0, 0, "Scale of 0 not possible; nothing drawn.\n"},
        {id, whole, 45, -2, 0, 0, "Scale of -2 not possible; nothing drawn.\n"},
        {id, whole, 45, NAN, 0, 0, "Scale of nan not possible; nothing drawn.\n"},
        {id, whole, 0, 65, 0, 1, "Scale of 65 not possible, using 64\n"},
        {id, whole, 0, INFINITY, 0, 1, "Scale of inf not possible, using 64\n"},
        {id, whole, 0, 64.0000001, 0, 1, "Scale of 64.0000001 not possible, using 64\n"},
        {id, whole, 0, -1e-300, 0, 0, "Scale of -1e-300 not possible; nothing drawn.\n"},
        {id, whole, NAN, 1, 0, 1, "Angle of nan not possible, using 0\n"},
        {id, whole, -INFINITY, 1, 0, 1, "Angle of -inf not possible, using 0\n"},
        {id, whole, 10, 1, 4, 1, "Flip of 4 not possible, using 0\n"},
        {id, whole, 10, 1, -1, 1, "Flip of -1 not possible, using 0\n"},
    };
    for (const auto& c : cases) {
        KORVA_clear();
        const std::vector<uint32_t> white = canvas_pixels();
        clear_console();
        EXPECT_EQ(c.result, KORVA_draw_picture_part(c.id, c.part, Point{0, 0}, c.degrees, c.scale, c.flip)) << c.line;
        EXPECT_EQ(std::vector<std::string>{c.line}, console_lines());
        EXPECT_EQ(c.result == 0, white == canvas_pixels()) << c.line;
    }
    // A corrected value draws as the value it was corrected to.
    const struct {
        double degrees, scale;
        int32_t flip;
        double good_degrees, good_scale;
        int32_t good_flip;
    } corrected[] = {{0, 1000, 0, 0, 64, 0}, {NAN, 1, 0, 0, 1, 0}, {37, 1, 9, 37, 1, 0}};
    for (const auto& c : corrected) {
        KORVA_clear();
        KORVA_draw_picture_part(id, whole, Point{-200, 100}, c.good_degrees, c.good_scale, c.good_flip);
        const std::vector<uint32_t> good = canvas_pixels();
        KORVA_clear();
        KORVA_draw_picture_part(id, whole, Point{-200, 100}, c.degrees, c.scale, c.flip);
        EXPECT_EQ(0, differing(good, canvas_pixels())) << c.degrees << " " << c.scale << " " << c.flip;
    }
}

TEST_F(TurnedPicturesTest, EachDrawIsLoggedWithItsCorrectedSettings) {
    const int id = KORVA_load_picture(SPRITE);
    KORVA_logging(1);
    clear_console();
    KORVA_draw_picture_turned(id, -5, 7, 22.5, 1.5);
    KORVA_draw_picture_part(id, PicturePart{16, 0, 16, 32}, Point{3, 4}, 720, 99, KORVA_FLIP_ACROSS);
    const std::string n = std::to_string(id);
    EXPECT_EQ((std::vector<std::string>{"Picture " + n + " part (0,0) 64 x 64 at (-5,7) turned 22.5 scaled 1.5 flipped 0\n",
                                        "Scale of 99 not possible, using 64\n",
                                        "Picture " + n + " part (16,0) 16 x 32 at (3,4) turned 720 scaled 64 flipped 1\n"}),
              console_lines());
}

TEST_F(TurnedPicturesTest, OnePictureIsFreedAndItsIdGivenAgain) {
    const int first = KORVA_load_picture(SPRITE), second = KORVA_load_picture(STRIPES);
    ASSERT_EQ(first + 1, second);
    const HGDIOBJ handles[] = {korva_state.pictures[first - 1].dc, korva_state.pictures[first - 1].bitmap};
    EXPECT_EQ(1, KORVA_free_picture(first));
    for (HGDIOBJ h : handles) EXPECT_EQ(0u, GetObjectType(h)) << "a freed picture's handle was kept";
    clear_console();
    EXPECT_EQ(0, KORVA_draw_picture(first, 0, 0));
    EXPECT_EQ(0, KORVA_draw_picture_turned(first, 0, 0, 10, 1));
    EXPECT_EQ(0, KORVA_free_picture(first));
    EXPECT_EQ((std::vector<std::string>{"Picture " + std::to_string(first) + " is not loaded; nothing drawn.\n",
                                        "Picture " + std::to_string(first) + " is not loaded; nothing drawn.\n",
                                        "Picture " + std::to_string(first) + " is not loaded; nothing freed.\n"}),
              console_lines());
    // The other picture is untouched, and the next load takes the freed id.
    int32_t w = 0, h = 0;
    EXPECT_EQ(1, KORVA_picture_size(second, &w, &h));
    EXPECT_EQ(31, w);
    EXPECT_EQ(first, KORVA_load_picture(STRIPES));
    for (int id : {0, -1, 257, INT_MIN}) {
        clear_console();
        EXPECT_EQ(0, KORVA_free_picture(id));
        EXPECT_EQ(std::vector<std::string>{"Picture " + std::to_string(id) + " is not loaded; nothing freed.\n"},
                  console_lines());
    }
}

// The process's GDI handle table holds at most 65,536 objects, and a draw that kept an imaging
// object would fill the memory: many turned draws later, a new object can still be made.
TEST_F(TurnedPicturesTest, ManyTurnedDrawsKeepNothing) {
    const int id = KORVA_load_picture(SPRITE);
    ASSERT_GE(id, 1);
    for (int i = 0; i < 20000; ++i) KORVA_draw_picture_turned(id, i % 601 - 300, i % 540 - 270, i, 0.25);
    HBRUSH brush = CreateSolidBrush(RGB(1, 2, 3));
    EXPECT_NE(nullptr, brush);
    DeleteObject(brush);
    clear_console();
    EXPECT_EQ(1, KORVA_draw_picture_turned(id, 0, 0, 45, 1));
    EXPECT_TRUE(console_lines().empty());
}

}  // namespace
