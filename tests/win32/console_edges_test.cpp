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
    RECT client;
    GetClientRect(window, &client);
    *width = client.right;
    *height = client.bottom;
    std::vector<uint32_t> pixels(static_cast<size_t>(*width) * *height);
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = *width;
    info.bmiHeader.biHeight = -*height;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    void* bits = nullptr;
    HDC window_dc = GetDC(window);
    HDC memory_dc = CreateCompatibleDC(window_dc);
    HBITMAP dib = CreateDIBSection(window_dc, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    HGDIOBJ old = SelectObject(memory_dc, dib);
    BitBlt(memory_dc, 0, 0, *width, *height, window_dc, 0, 0, SRCCOPY);
    GdiFlush();
    memcpy(pixels.data(), bits, pixels.size() * sizeof(uint32_t));
    SelectObject(memory_dc, old);
    DeleteObject(dib);
    DeleteDC(memory_dc);
    ReleaseDC(window, window_dc);
    for (uint32_t& p : pixels) p &= 0xFFFFFF;
    return pixels;
}

// The same area with only `text` drawn raw where the console draws its newest line.
std::vector<uint32_t> drawn_raw(const char* text, int width, int height) {
    HDC screen = GetDC(nullptr);
    HDC dc = CreateCompatibleDC(screen);
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = -height;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
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
