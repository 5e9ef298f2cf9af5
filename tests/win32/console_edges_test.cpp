// The console's drawing of a line that ends in two line breaks, pixel for pixel against the
// same line drawn raw: the first break is kept (the ANSI fixed font draws ink for it), only
// the last is left out.
#include <gtest/gtest.h>

#include <string.h>

#include <string>
#include <vector>

#include "korva/korva.h"
#include "support/korva_session.h"

namespace {

// The console client area after a paint, as 0x00RRGGBB pixels, top-down.
std::vector<uint32_t> paint_console(int* width, int* height) {
    HWND window = korva_state.text_window;
    KORVA_show_console(1);
    InvalidateRect(window, nullptr, TRUE);
    UpdateWindow(window);
    return window_client_pixels(window, width, height);
}

// The same area with only `text` drawn raw where the console draws its newest line.
std::vector<uint32_t> drawn_raw(const char* text, int width, int height) {
    HDC screen = GetDC(nullptr);
    HDC dc = CreateCompatibleDC(screen);
    BITMAPINFO info = top_down_dib_info(width, height);
    void* bits = nullptr;
    HBITMAP dib = CreateDIBSection(screen, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    HGDIOBJ old_bitmap = SelectObject(dc, dib);
    PatBlt(dc, 0, 0, width, height, WHITENESS);
    HGDIOBJ old_font = SelectObject(dc, GetStockObject(ANSI_FIXED_FONT));
    TEXTMETRICA metrics{};
    GetTextMetricsA(dc, &metrics);
    int line_height = metrics.tmHeight + metrics.tmExternalLeading;
    TextOutA(dc, 5, height - line_height, text, lstrlenA(text));
    GdiFlush();
    std::vector<uint32_t> pixels(static_cast<const uint32_t*>(bits), static_cast<const uint32_t*>(bits) + width * height);
    SelectObject(dc, old_font);
    SelectObject(dc, old_bitmap);
    DeleteObject(dib);
    DeleteDC(dc);
    ReleaseDC(nullptr, screen);
    for (uint32_t& p : pixels) p &= 0xFFFFFF;
    return pixels;
}

TEST(ConsoleEdges, ALineEndingInTwoBreaksKeepsTheFirstWhenDrawn) {
    open_korva_once();
    drain_messages();
    KORVA_logging(0);
    clear_console();
    KORVA_printf("abc\n\n");
    int width = 0, height = 0;
    std::vector<uint32_t> shown = paint_console(&width, &height);
    ASSERT_GT(height, 0);
    EXPECT_TRUE(shown == drawn_raw("abc\n", width, height)) << "drawn as \"abc\\n\"";
    ASSERT_FALSE(drawn_raw("abc\n", width, height) == drawn_raw("abc", width, height))
        << "the font draws no ink for a line break, so this case shows nothing";
    clear_console();
}

}  // namespace
