// Colours beyond the 24: every primitive paints an rgb colour on exactly the pixels it paints in
// a named colour, in exactly that colour (as GDI paints it with that COLORREF); log lines name
// it; bad parts are corrected with a console line; and the palette holds 4096 mixes, not 4097.
#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "korva/korva.h"
#include "support/korva_session.h"

namespace {

std::string trimmed(const std::string& line) {
    return line.substr(0, line.find_last_not_of("\r\n") + 1);
}

class RgbColors : public ::testing::Test {
protected:
    void SetUp() override {
        open_korva_once();
        KORVA_logging(0);
        clear_console();
    }
    // The palette lives for one open; each test starts without asked-for colours.
    void TearDown() override { korva_state.rgb_colors.count = 0; }
};

TEST_F(RgbColors, EveryPrimitivePaintsTheMixWhereItPaintsANamedColour) {
    const int32_t mix = KORVA_rgb(12, 200, 77);
    ASSERT_EQ(KORVA_COLOR_COUNT, mix);  // the first mix asked for
    const uint32_t MIX = 0x0CC84D, BLUE = 0x0000FF;
    const std::vector<std::pair<const char*, std::function<void(int32_t)>>> shapes = {
        {"pixel", [](int32_t c) { KORVA_draw_pixel(c, 7, -3); }},
        {"circle", [](int32_t c) { KORVA_draw_circle(c, -40, 30, 25); }},
        {"filled rectangle", [](int32_t c) { KORVA_draw_rectangle(c, -100, 80, 20, 10, 0); }},
        {"wide rectangle", [](int32_t c) { KORVA_draw_rectangle(c, -100, 80, 20, 10, 5); }},
        {"oval outline", [](int32_t c) { KORVA_draw_oval(c, -150, 100, 150, -60, 3); }},
        {"wide line", [](int32_t c) { KORVA_draw_line(c, -200, -150, 180, 120, 7); }},
        {"filled triangle", [](int32_t c) { KORVA_draw_triangle(c, -50, -50, 60, -10, 0, 90, 0); }},
        {"text", [](int32_t c) { KORVA_draw_text(c, -120, -100, 24, "Any colour"); }},
        // Beyond what GDI is handed: the library's own painting.
        {"huge circle", [](int32_t c) { KORVA_draw_circle(c, 0, -30000, 30100); }},
        {"far line", [](int32_t c) { KORVA_draw_line(c, -50000000, -40, 50000000, 40, 1); }},
    };
    // The named blue and the same mix asked for: the very same canvas, text's blended edges and
    // all. Another mix: its colour on every pixel the named colour covers, and no pixel
    // elsewhere (text's edge pixels blend it with the background, and are passed over).
    const int32_t same_blue = KORVA_rgb(0, 0, 255);
    for (const auto& shape : shapes) {
        KORVA_clear();
        shape.second(KORVA_BLUE);
        std::vector<uint32_t> named = canvas_pixels();
        KORVA_clear();
        shape.second(same_blue);
        EXPECT_TRUE(named == canvas_pixels()) << shape.first;
        KORVA_clear();
        shape.second(mix);
        std::vector<uint32_t> mixed = canvas_pixels();
        size_t painted = 0, wrong = 0;
        for (size_t i = 0; i < named.size(); ++i) {
            if (named[i] == BLUE) ++painted;
            if ((named[i] == BLUE && mixed[i] != MIX) || (named[i] == 0xFFFFFF && mixed[i] != 0xFFFFFF)) ++wrong;
        }
        EXPECT_GT(painted, 0u) << shape.first;
        EXPECT_EQ(0u, wrong) << shape.first;
    }
    // The same as GDI's own brush and pen of that COLORREF on the canvas.
    KORVA_clear();
    KORVA_draw_circle(mix, 0, 0, 40);
    std::vector<uint32_t> library = canvas_pixels();
    KORVA_clear();
    HDC dc = korva_state.canvas_dc;
    HBRUSH brush = CreateSolidBrush(RGB(12, 200, 77));
    HPEN pen = CreatePen(PS_SOLID, 0, RGB(12, 200, 77));
    HGDIOBJ old_brush = SelectObject(dc, brush), old_pen = SelectObject(dc, pen);
    Ellipse(dc, korva_state.origin_x - 40, korva_state.origin_y - 40, korva_state.origin_x + 41,
            korva_state.origin_y + 41);
    SelectObject(dc, old_brush);
    SelectObject(dc, old_pen);
    DeleteObject(brush);
    DeleteObject(pen);
    EXPECT_TRUE(library == canvas_pixels());
}

TEST_F(RgbColors, LogLinesNameTheMixAndTheSameMixKeepsItsIndex) {
    const int32_t orange = KORVA_rgb(255, 140, 0);
    EXPECT_EQ(orange, KORVA_rgb(255, 140, 0));
    EXPECT_EQ(orange + 1, KORVA_rgb(255, 140, 1));
    KORVA_logging(1);
    KORVA_draw_circle(orange, 3, 4, 5);
    KORVA_draw_line(orange + 1, 0, 0, 10, 10, 1);
    KORVA_logging(0);
    std::vector<std::string> lines = console_lines();
    ASSERT_EQ(2u, lines.size());
    EXPECT_EQ("rgb(255, 140, 0) circle at (3,4), radius 5", trimmed(lines[0]));
    EXPECT_EQ("rgb(255, 140, 1) line from (0,0) to (10,10), width 1", trimmed(lines[1]));
}

TEST_F(RgbColors, BadPartsAreCorrectedAndUnaskedIndicesStayIllegal) {
    const int32_t c = KORVA_rgb(-5, 300, 128);
    EXPECT_EQ(c, KORVA_rgb(0, 255, 128));
    std::vector<std::string> lines = console_lines();
    ASSERT_EQ(2u, lines.size());
    EXPECT_EQ("Red of -5 not possible, using red 0", trimmed(lines[0]));
    EXPECT_EQ("Green of 300 not possible, using green 255", trimmed(lines[1]));
    clear_console();
    // One past the asked-for colours, and far beyond: as illegal as they always were.
    KORVA_draw_pixel(c + 1, 0, 0);
    KORVA_draw_circle(100000, 0, 0, 3);
    lines = console_lines();
    ASSERT_EQ(2u, lines.size());
    EXPECT_EQ("Illegal color " + std::to_string(c + 1) + "; using RED.", trimmed(lines[0]));
    EXPECT_EQ("Illegal color 100000; using RED.", trimmed(lines[1]));
}

TEST_F(RgbColors, ThePaletteHolds4096MixesAndRefusesThe4097th) {
    for (int32_t i = 0; i < KORVA_MAX_RGB_COLORS; ++i)
        ASSERT_EQ(KORVA_COLOR_COUNT + i, KORVA_rgb(i & 255, i >> 8, 7)) << "mix " << i;
    EXPECT_TRUE(console_lines().empty());
    EXPECT_EQ(KORVA_COLOR_COUNT + 5, KORVA_rgb(5, 0, 7));  // a known mix is still found
    EXPECT_EQ(KORVA_RED, KORVA_rgb(1, 2, 3));
    std::vector<std::string> lines = console_lines();
    ASSERT_EQ(1u, lines.size());
    EXPECT_EQ("No room for rgb(1, 2, 3): 4096 colours are in use; using RED.", trimmed(lines[0]));
}

}  // namespace
