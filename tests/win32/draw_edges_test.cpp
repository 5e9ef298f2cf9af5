// Corrected arguments and formatted text paint exactly what the corrected call paints, read
// back from the canvas and compared with the raw GDI drawing of the same shape; and the
// console frees the block of the line it drops.
#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "korva/korva.h"
#include "support/korva_session.h"

namespace {

constexpr int W = KORVA_CANVAS_WIDTH;
constexpr int H = KORVA_CANVAS_HEIGHT;

int count_not_white(const std::vector<uint32_t>& pixels) {
    int n = 0;
    for (uint32_t p : pixels) n += p != 0xFFFFFF;
    return n;
}

class DrawEdges : public ::testing::Test {
protected:
    void SetUp() override {
        open_korva_once();
        drain_messages();
        KORVA_logging(0);
        clear_console();
    }
    void TearDown() override { KORVA_logging(1); }

    // The canvas after `draw` on a cleared canvas.
    static std::vector<uint32_t> after(const std::function<void()>& draw) {
        KORVA_clear();
        draw();
        return canvas_pixels();
    }
};

// Raw GDI calls on the canvas, at the device point of (x, y).
void raw_text(int32_t x, int32_t y, int32_t ptsize, const char* text, int line) {
    HDC dc = korva_state.canvas_dc;
    SetTextColor(dc, RGB(0, 0, 0));
    int mode = SetBkMode(dc, TRANSPARENT);
    HFONT font = CreateFontA(-ptsize, 0, 0, 0, 400, FALSE, FALSE, FALSE, 0, 0, 0, 0, 0, "KORVA-font");
    HGDIOBJ old = SelectObject(dc, font);
    SIZE extent{};
    GetTextExtentPointA(dc, "A\n", 2, &extent);
    TextOutA(dc, korva_state.origin_x + x, korva_state.origin_y - y + (line - 1) * extent.cy, text, lstrlenA(text));
    SetBkMode(dc, mode);
    DeleteObject(SelectObject(dc, old));
}

TEST_F(DrawEdges, CorrectedArgumentsPaintLikeTheCorrectedCall) {
    const int ox = korva_state.origin_x, oy = korva_state.origin_y;
    struct Case {
        const char* name;
        std::function<void()> korva;
        std::function<void()> raw;
        std::vector<std::string> console;
    };
    const std::vector<Case> cases = {
        {"line of width -3 is 3 pixels wide", [] { KORVA_draw_line(0, -40, -25, 50, 30, -3); },
         [=] {
             HPEN pen = CreatePen(PS_SOLID, 3, RGB(0, 0, 0));
             HGDIOBJ old = SelectObject(korva_state.canvas_dc, pen);
             MoveToEx(korva_state.canvas_dc, ox - 40, oy + 25, nullptr);
             LineTo(korva_state.canvas_dc, ox + 50, oy - 30);
             DeleteObject(SelectObject(korva_state.canvas_dc, old));
         },
         {"Width of -3 not possible, using width 3\n"}},
        {"circle of radius -5 has radius 5", [] { KORVA_draw_circle(0, 7, -4, -5); },
         [=] {
             HDC dc = korva_state.canvas_dc;
             HGDIOBJ old_brush = SelectObject(dc, GetStockObject(BLACK_BRUSH));
             HGDIOBJ old_pen = SelectObject(dc, GetStockObject(BLACK_PEN));
             Ellipse(dc, ox + 7 - 5, oy + 4 - 5, ox + 7 + 6, oy + 4 + 6);
             SelectObject(dc, old_brush);
             SelectObject(dc, old_pen);
         },
         {"Radius of -5 not possible, using radius 5\n"}},
        {"printf_at with %d and 42 paints 42", [] { EXPECT_EQ(2, KORVA_printf_at(0, -30, 10, 24, "%d", 42)); },
         [] { raw_text(-30, 10, 24, "42", 0); }, {}},
        {"A and a line break paints A and an empty line", [] { KORVA_draw_text(0, -30, 10, 24, "A\n"); },
         [] {
             raw_text(-30, 10, 24, "A", 0);
             raw_text(-30, 10, 24, "", 1);
         },
         {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        clear_console();
        std::vector<uint32_t> korva = after(c.korva);
        EXPECT_EQ(c.console, console_lines());
        std::vector<uint32_t> raw = after(c.raw);
        EXPECT_GT(count_not_white(korva), 4 + 2 * (W + H - 2)) << "something beyond the frame is painted";
        int differing = 0;
        for (size_t i = 0; i < raw.size(); ++i) differing += raw[i] != korva[i];
        EXPECT_EQ(0, differing) << "pixels that differ from the raw drawing";
    }
    // The empty line's text is neither the line break's glyph nor anything else: "A\n" paints
    // exactly what "A" alone paints.
    EXPECT_EQ(after([] { KORVA_draw_text(0, -30, 10, 24, "A"); }), after([] { KORVA_draw_text(0, -30, 10, 24, "A\n"); }));
}

// After 26 lines the first line's movable block has been given back to the system.
TEST_F(DrawEdges, TheDroppedConsoleLineIsFreed) {
    KORVA_printf("line 1\n");
    ASSERT_GE(korva_state.console_first, 0);
    HGLOBAL first = korva_state.console_lines[korva_state.console_first];
    ASSERT_NE(nullptr, first);
    EXPECT_EQ(0u, GlobalFlags(first) & GMEM_INVALID_HANDLE);
    EXPECT_GT(GlobalSize(first), 0u);
    for (int i = 2; i <= 25; ++i) KORVA_printf("line %d\n", i);
    EXPECT_EQ(first, korva_state.console_lines[korva_state.console_first]) << "25 lines keep the first";
    KORVA_printf("line 26\n");
    EXPECT_EQ("line 2\n", console_lines().front());
    EXPECT_EQ(static_cast<UINT>(GMEM_INVALID_HANDLE), GlobalFlags(first)) << "the block of line 1 is freed";
    EXPECT_EQ(0u, GlobalSize(first));
}

}  // namespace
