// The pixel rules of the drawing primitives, read back from the real canvas: inclusive
// boxes, unpainted line ends, circle spans, text cells, transparency, the cleared frame,
// illegal colours, extreme coordinates; and that nothing leaks per call.
#include <gtest/gtest.h>

#include <limits.h>
#include <stdio.h>

#include <functional>
#include <string>
#include <vector>

#include "korva/korva.h"
#include "support/korva_session.h"

namespace {

constexpr int W = KORVA_CANVAS_WIDTH;
constexpr int H = KORVA_CANVAS_HEIGHT;
constexpr COLORREF WHITE = RGB(255, 255, 255);
constexpr COLORREF BLACK = RGB(0, 0, 0);
constexpr COLORREF RED = RGB(255, 0, 0);
constexpr COLORREF GREEN = RGB(0, 255, 0);
constexpr COLORREF BLUE = RGB(0, 0, 255);
constexpr COLORREF YELLOW = RGB(255, 255, 0);
constexpr COLORREF MAGENTA = RGB(255, 0, 255);
constexpr COLORREF ORANGE = RGB(255, 102, 0);

// A copy of the whole canvas, read in one go.
class Snapshot {
public:
    Snapshot() {
        BITMAPINFO info = canvas_bitmap_info();
        void* bits = nullptr;
        HBITMAP dib = CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
        HDC dc = CreateCompatibleDC(korva_state.canvas_dc);
        HGDIOBJ previous = SelectObject(dc, dib);
        BitBlt(dc, 0, 0, W, H, korva_state.canvas_dc, 0, 0, SRCCOPY);
        GdiFlush();
        const uint32_t* p = static_cast<const uint32_t*>(bits);
        pixels_.assign(p, p + W * H);
        SelectObject(dc, previous);
        DeleteDC(dc);
        DeleteObject(dib);
    }
    // As a GDI colour value, 0x00BBGGRR.
    COLORREF at(int x, int y) const {
        uint32_t v = pixels_[y * W + x];
        return RGB((v >> 16) & 0xFF, (v >> 8) & 0xFF, v & 0xFF);
    }
    int count(int left, int top, int right, int bottom, COLORREF colour) const {
        int n = 0;
        for (int y = top < 0 ? 0 : top; y <= bottom && y < H; ++y)
            for (int x = left < 0 ? 0 : left; x <= right && x < W; ++x) n += at(x, y) == colour;
        return n;
    }

private:
    std::vector<uint32_t> pixels_;
};

// A check on the canvas after one case has drawn: the pixels of an inclusive device
// rectangle hold the colour everywhere, somewhere or nowhere.
enum Expect { ALL, SOME, NONE, AT_MOST_ONE };
struct Probe {
    int left, top, right, bottom;
    Expect expect;
    COLORREF colour;
};

struct PixelCase {
    const char* name;
    std::function<void()> draw;
    std::vector<Probe> probes;  // device coordinates; ox/oy are added by the case builder
};

std::string colour_text(COLORREF c) {
    char text[16];
    snprintf(text, sizeof text, "%06lX", static_cast<unsigned long>(c));
    return text;
}

void check(const PixelCase& c, const Snapshot& shot) {
    static const char* const expect_names[] = {"all", "some", "none", "at most one"};
    for (const Probe& p : c.probes) {
        int area = (p.right - p.left + 1) * (p.bottom - p.top + 1);
        int n = shot.count(p.left, p.top, p.right, p.bottom, p.colour);
        bool ok = p.expect == ALL    ? n == area
                  : p.expect == SOME ? n > 0
                  : p.expect == NONE ? n == 0
                                     : n <= 1;
        EXPECT_TRUE(ok) << c.name << ": expected " << expect_names[p.expect] << " of (" << p.left << "," << p.top
                        << ")-(" << p.right << "," << p.bottom << ") to be " << colour_text(p.colour) << ", got "
                        << n << " of " << area << " pixels; top-left pixel is "
                        << colour_text(shot.at(p.left < 0 ? 0 : p.left, p.top < 0 ? 0 : p.top));
    }
}

class DrawPixels : public ::testing::Test {
protected:
    void SetUp() override {
        open_korva_once();
        drain_messages();
        KORVA_logging(0);
        clear_console();
    }
};

// A probe of one pixel, relative to the origin.
Probe at(int dx, int dy, COLORREF colour) {
    int x = korva_state.origin_x + dx, y = korva_state.origin_y + dy;
    return {x, y, x, y, ALL, colour};
}
// A probe of a device rectangle relative to the origin.
Probe area(int dx0, int dy0, int dx1, int dy1, Expect expect, COLORREF colour) {
    int ox = korva_state.origin_x, oy = korva_state.origin_y;
    return {ox + dx0, oy + dy0, ox + dx1, oy + dy1, expect, colour};
}
Probe whole_canvas(Expect expect, COLORREF colour) {
    return {0, 0, W - 1, H - 1, expect, colour};
}

TEST_F(DrawPixels, PixelRules) {
    ASSERT_GT(korva_state.origin_x, 100) << "the origin comes from the graphics window's size";
    int32_t h = 0, w_a = 0;
    KORVA_text_extent(20, &h, &w_a, "A");
    ASSERT_GT(h, 0);
    const int ox = korva_state.origin_x, oy = korva_state.origin_y;

    const std::vector<PixelCase> cases = {
        {"filled rectangle is inclusive, 21 x 21", [] { KORVA_draw_rectangle(3, 10, -10, -10, 10, 0); },
         {area(-10, -10, 10, 10, ALL, GREEN), area(-11, -11, 11, -11, NONE, GREEN), area(-11, 11, 11, 11, NONE, GREEN),
          area(-11, -10, -11, 10, NONE, GREEN), area(11, -10, 11, 10, NONE, GREEN)}},
        {"outline of width 1 leaves the inside", [] { KORVA_draw_rectangle(4, -10, 10, 10, -10, 1); },
         {area(-10, -10, 10, -10, ALL, BLUE), area(-10, 10, 10, 10, ALL, BLUE), area(-10, -10, -10, 10, ALL, BLUE),
          area(10, -10, 10, 10, ALL, BLUE), area(-9, -9, 9, 9, ALL, WHITE), area(-11, -11, 11, -11, NONE, BLUE)}},
        {"line stops before its end point", [] { KORVA_draw_line(0, 0, 0, 10, 0, 1); },
         {area(0, 0, 9, 0, ALL, BLACK), at(10, 0, WHITE), at(-1, 0, WHITE), area(0, -1, 10, -1, NONE, BLACK),
          area(0, 1, 10, 1, NONE, BLACK)}},
        {"line of width 0 is one pixel wide", [] { KORVA_draw_line(0, 0, 0, 0, 10, 0); },
         {area(0, -9, 0, 0, ALL, BLACK), at(0, -10, WHITE), area(-1, -9, -1, 0, NONE, BLACK),
          area(1, -9, 1, 0, NONE, BLACK)}},
        {"circle of radius 5 spans 11 pixels", [] { KORVA_draw_circle(13, 0, 0, 5); },
         {area(-5, 0, 5, 0, ALL, ORANGE), area(0, -5, 0, 5, ALL, ORANGE), at(-6, 0, WHITE), at(6, 0, WHITE),
          at(0, -6, WHITE), at(0, 6, WHITE), at(-5, -5, WHITE)}},
        {"circle of radius 0 paints one pixel at most", [] { KORVA_draw_circle(13, 0, 0, 0); },
         {whole_canvas(AT_MOST_ONE, ORANGE), at(-1, 0, WHITE), at(1, 0, WHITE), at(0, -1, WHITE), at(0, 1, WHITE)}},
        {"filled oval is inclusive like the rectangle", [] { KORVA_draw_oval(13, -10, 10, 10, -10, 0); },
         {at(-10, 0, ORANGE), at(10, 0, ORANGE), at(0, -10, ORANGE), at(0, 10, ORANGE), at(-11, 0, WHITE),
          at(11, 0, WHITE), at(0, 11, WHITE), at(-10, -10, WHITE)}},
        {"filled triangle", [] { KORVA_draw_triangle(6, 0, 0, 20, 0, 0, 20, 0); },
         {at(1, -1, MAGENTA), at(0, 0, MAGENTA), at(15, -15, WHITE), at(-1, 1, WHITE)}},
        {"pixel", [] { KORVA_draw_pixel(6, 7, -3); },
         {at(7, 3, MAGENTA), area(6, 2, 8, 2, ALL, WHITE), at(6, 3, WHITE), at(8, 3, WHITE),
          area(6, 4, 8, 4, ALL, WHITE)}},
        {"illegal colours paint red", [] {
             KORVA_draw_rectangle(99, -5, 5, 5, -5, 0);
             KORVA_draw_pixel(-1, 20, 0);
         },
         {area(-5, -5, 5, 5, ALL, RED), at(20, 0, RED)}},
        {"text cells: first line above the point, next one h lower",
         [] { KORVA_draw_text(0, 0, 0, 20, "A\nB"); },
         {area(0, -h, 2 * w_a, -1, SOME, BLACK), area(0, 0, 2 * w_a, h - 1, SOME, BLACK),
          area(-20, -h - 10, 2 * w_a, -h - 1, NONE, BLACK), area(-20, h, 2 * w_a, h + 10, NONE, BLACK),
          area(-20, -h, -1, h, NONE, BLACK)}},
        {"text background is transparent; colours stay apart",
         [] {
             KORVA_draw_rectangle(5, -5, 60, 200, -60, 0);
             KORVA_draw_text(2, 0, 0, 20, "AAAA");
             KORVA_draw_text(4, 0, 0, 20, "\nBBBB");
         },
         {area(0, -h, 4 * w_a, -1, SOME, RED), area(0, -h, 4 * w_a, -1, NONE, BLUE), area(0, -h, 4 * w_a, -1, NONE, WHITE),
          area(0, -h, 4 * w_a, -1, SOME, YELLOW), area(0, 0, 4 * w_a, h - 1, SOME, BLUE),
          area(0, 0, 4 * w_a, h - 1, NONE, RED), area(0, 0, 4 * w_a, h - 1, NONE, WHITE)}},
        {"empty text paints nothing", [] { KORVA_draw_text(0, 0, 0, 20, ""); },
         {area(-ox + 1, -oy + 1, W - 2 - ox, H - 2 - oy, NONE, BLACK)}},
        {"extreme rectangle covers the canvas",
         [] { KORVA_draw_rectangle(4, INT_MIN, INT_MAX, INT_MAX, INT_MIN, 0); }, {whole_canvas(ALL, BLUE)}},
        {"extreme outlines far away paint nothing",
         [] {
             KORVA_draw_rectangle(4, INT_MIN, INT_MAX, INT_MAX, INT_MIN, INT_MAX);
             KORVA_draw_oval(4, INT_MIN, INT_MAX, INT_MAX, INT_MIN, INT_MIN);
             KORVA_draw_triangle(4, INT_MIN, INT_MIN, INT_MAX, INT_MIN, 0, INT_MAX, 1);
         },
         {area(-200, -200, 200, 200, NONE, BLUE)}},
        {"extreme circles: covering and far away",
         [] {
             KORVA_draw_circle(6, INT_MAX, 0, 5);
             KORVA_draw_circle(6, INT_MIN, INT_MIN, INT_MAX);
         },
         {whole_canvas(NONE, MAGENTA)}},
        {"huge circle around the origin covers the canvas", [] { KORVA_draw_circle(6, 0, 0, INT_MAX); },
         {whole_canvas(ALL, MAGENTA)}},
        {"huge filled oval whose left edge is the origin",
         [] { KORVA_draw_oval(3, 0, INT_MAX, INT_MAX, INT_MIN, 0); },
         {area(2, -100, 250, 100, ALL, GREEN), area(-250, -100, -2, 100, NONE, GREEN)}},
        {"extreme triangle covers the middle",
         [] { KORVA_draw_triangle(2, INT_MIN, INT_MIN, INT_MAX, INT_MIN, 0, INT_MAX, 0); },
         {area(-50, -50, 50, 50, ALL, RED)}},
        {"extreme line crosses the canvas; one far away paints nothing",
         [] {
             KORVA_draw_line(0, INT_MIN, 0, INT_MAX, 0, 1);
             KORVA_draw_line(2, INT_MAX, INT_MAX, INT_MAX, INT_MIN, INT_MIN);
         },
         {area(-ox, 0, W - 1 - ox, 0, ALL, BLACK), area(-ox + 1, -1, W - 2 - ox, -1, NONE, BLACK),
          whole_canvas(NONE, RED)}},
        {"extreme wide diagonal covers the canvas",
         [] { KORVA_draw_line(4, INT_MIN, INT_MIN, INT_MAX, INT_MAX, INT_MAX); }, {whole_canvas(ALL, BLUE)}},
        {"extreme pixels and texts paint nothing",
         [] {
             for (int32_t x : {INT_MIN, INT_MAX})
                 for (int32_t y : {INT_MIN, INT_MAX}) {
                     KORVA_draw_pixel(0, x, y);
                     KORVA_draw_text(0, x, y, INT_MAX, "Far\naway\n");
                 }
             KORVA_draw_text(0, INT_MIN, 0, 127, "left");
             KORVA_draw_text(0, 0, INT_MIN, 127, "below");
         },
         {area(-ox + 1, -oy + 1, W - 2 - ox, H - 2 - oy, NONE, BLACK)}},
    };

    for (const PixelCase& c : cases) {
        KORVA_clear();
        c.draw();
        EXPECT_EQ(1, korva_state.canvas_dirty) << c.name;
        check(c, Snapshot());
    }
}

TEST_F(DrawPixels, ClearedCanvasIsWhiteInABlackFrame) {
    KORVA_draw_rectangle(2, INT_MIN, INT_MAX, INT_MAX, INT_MIN, 0);
    korva_state.canvas_dirty = 0;
    EXPECT_EQ(1, KORVA_clear());
    EXPECT_EQ(1, korva_state.canvas_dirty);
    Snapshot shot;
    PixelCase c{"cleared canvas", [] {},
                {{0, 0, 0, H - 1, ALL, BLACK}, {W - 1, 0, W - 1, H - 1, ALL, BLACK}, {0, 0, W - 1, 0, ALL, BLACK},
                 {0, H - 1, W - 1, H - 1, ALL, BLACK}, {1, 1, W - 2, H - 2, ALL, WHITE}}};
    check(c, shot);
}

// The flush copies only a dirty canvas; the copy reaches the window's client area.
TEST_F(DrawPixels, FlushCopiesOnlyWhenDirty) {
    KORVA_clear();
    KORVA_draw_rectangle(4, -20, 20, 20, -20, 0);
    EXPECT_EQ(1, KORVA_flush());
    EXPECT_EQ(0, korva_state.canvas_dirty);
    EXPECT_EQ(BLUE, GetPixel(korva_state.window_dc, korva_state.origin_x, korva_state.origin_y));

    // Paint the window behind the canvas's back: a flush of a clean canvas must not copy.
    HBRUSH green = CreateSolidBrush(GREEN);
    RECT r{korva_state.origin_x - 5, korva_state.origin_y - 5, korva_state.origin_x + 5, korva_state.origin_y + 5};
    FillRect(korva_state.window_dc, &r, green);
    DeleteObject(green);
    KORVA_flush();
    EXPECT_EQ(GREEN, GetPixel(korva_state.window_dc, korva_state.origin_x, korva_state.origin_y));
    KORVA_draw_pixel(0, 100, 100);
    KORVA_flush();
    EXPECT_EQ(BLUE, GetPixel(korva_state.window_dc, korva_state.origin_x, korva_state.origin_y));
}

TEST_F(DrawPixels, TextExtentMeasuresOneRun) {
    int32_t h_ab = 0, w_ab = 0, h5 = 0, w5 = 0, h12 = 0, w12 = 0;
    KORVA_text_extent(20, &h_ab, &w_ab, "ab");
    EXPECT_EQ(1, KORVA_text_extent(20, &h5, &w5, "ab\ncd"));
    EXPECT_EQ(h_ab, h5) << "the height of one line";
    EXPECT_GT(w5, w_ab) << "all five characters measured as one run";
    korva_state.canvas_dirty = 0;
    KORVA_text_extent(-12, &h12, &w12, "ab");
    EXPECT_EQ(0, korva_state.canvas_dirty) << "measuring paints nothing";
    int32_t h_pos = 0, w_pos = 0;
    KORVA_text_extent(12, &h_pos, &w_pos, "ab");
    EXPECT_EQ(h_pos, h12);
    EXPECT_EQ(w_pos, w12);
}

// More shapes and texts than Wine's GDI handle table holds: if a call leaked its pen,
// brush, font or text block, creation would fail long before the end and painting after
// it would show the wrong colours.
TEST_F(DrawPixels, NothingLeaksPerCall) {
    constexpr int ROUNDS = 70000;
    for (int i = 0; i < ROUNDS; ++i) {
        KORVA_draw_triangle(i % 24, 0, 0, 2, 0, 0, 2, i & 1);
        KORVA_draw_rectangle(i % 24, 0, 0, 1, 1, i & 1);
        KORVA_draw_oval(i % 24, 0, 0, 2, 2, i & 1);
        KORVA_draw_circle(i % 24, 0, 0, 1);
        KORVA_draw_line(i % 24, 0, 0, 2, 2, 1 + (i & 1));
        KORVA_draw_text(i % 24, 0, 0, 8, "x");
        int32_t h = 0, w = 0;
        KORVA_text_extent(8, &h, &w, "x");
        // A leak exhausts the table after about 65,000 objects; stop at once instead of
        // letting every later call crawl.
        if (i % 4096 == 0) {
            HPEN probe = CreatePen(PS_SOLID, 1, 0);
            ASSERT_NE(nullptr, probe) << "GDI objects exhausted after " << i << " rounds";
            DeleteObject(probe);
        }
    }
    KORVA_clear();
    KORVA_draw_rectangle(3, -10, 10, 10, -10, 0);
    KORVA_draw_line(4, -30, 30, 30, 30, 3);
    KORVA_draw_text(2, -100, 100, 30, "Still here");
    Snapshot shot;
    PixelCase c{"after many calls", [] {},
                {area(-10, -10, 10, 10, ALL, GREEN), area(-29, -31, 29, -29, ALL, BLUE),
                 area(-100, -140, 100, -101, SOME, RED)}};
    check(c, shot);
    int32_t h = 0, w = 0;
    KORVA_text_extent(30, &h, &w, "Still here");
    EXPECT_GT(h, 0);
    EXPECT_GT(w, 0);
}
}  // namespace
