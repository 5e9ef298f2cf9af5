// The console window's procedure: a double-buffered paint of the whole ring of lines,
// newest at the bottom, and key messages passed on to the graphics window so that its
// Ctrl shortcuts work while the console has the focus.
#include <string.h>

#include "korva/base/state.h"
#include "korva/console/console_paint.h"
#include "korva/console/console_ring.h"
#include "korva/console/console_window.h"

constexpr int LEFT_MARGIN = 5;

// What one paint makes and must give back.
struct PaintSurface {
    HDC window_dc;
    HDC memory_dc;
    HBITMAP bitmap;
    HBRUSH brush;
    HGDIOBJ old_bitmap;
    HGDIOBJ old_brush;
    HGDIOBJ old_font;
    RECT client;
    int line_height;
};

static void open_surface(HWND window, PaintSurface& p) {
    GetClientRect(window, &p.client);
    p.window_dc = GetDC(window);
    p.memory_dc = CreateCompatibleDC(p.window_dc);
    p.bitmap = CreateCompatibleBitmap(p.window_dc, p.client.right - p.client.left,
                                      p.client.bottom - p.client.top);
    p.old_bitmap = SelectObject(p.memory_dc, p.bitmap);
}

// The memory context's own background colour (white by default) fills the image.
static void clear_background(PaintSurface& p) {
    p.brush = CreateSolidBrush(GetBkColor(p.memory_dc));
    p.old_brush = SelectObject(p.memory_dc, p.brush);
    FillRect(p.memory_dc, &p.client, p.brush);
}

static void select_font(PaintSurface& p) {
    p.old_font = SelectObject(p.memory_dc, GetStockObject(ANSI_FIXED_FONT));
    TEXTMETRICA metrics{};
    GetTextMetricsA(p.memory_dc, &metrics);
    p.line_height = metrics.tmHeight + metrics.tmExternalLeading;
}

// Scrolls what is drawn up by one line and writes this line into the freed bottom strip.
// One trailing newline is left out of the drawing; the stored line itself is not changed,
// so every repaint draws the same text (a line ending in two newlines keeps one of them).
static void draw_line(PaintSurface& p, HGLOBAL block) {
    const char* text = block != nullptr ? static_cast<const char*>(GlobalLock(block)) : nullptr;
    ScrollDC(p.memory_dc, 0, -p.line_height, nullptr, nullptr, nullptr, nullptr);
    RECT strip = {p.client.left, p.client.bottom - p.line_height, p.client.right, p.client.bottom + 1};
    FillRect(p.memory_dc, &strip, p.brush);
    if (text == nullptr) return;
    size_t length = strnlen(text, static_cast<size_t>(CONSOLE_LINE_MAX));
    if (length > 0 && text[length - 1] == '\n') --length;
    TextOutA(p.memory_dc, p.client.left + LEFT_MARGIN, p.client.bottom - p.line_height, text,
             static_cast<int>(length));
    GlobalUnlock(block);
}

// Oldest first, so the newest line ends at the bottom and older ones scroll up out of view.
static void draw_ring(PaintSurface& p) {
    const LibraryState& s = korva_state;
    int32_t count = ring_count(s.console_first, s.console_next);
    for (int32_t k = 0; k < count; ++k) draw_line(p, s.console_lines[ring_slot(s.console_first, k)]);
}

static void close_surface(HWND window, PaintSurface& p) {
    SelectObject(p.memory_dc, p.old_brush);
    SelectObject(p.memory_dc, p.old_bitmap);
    SelectObject(p.memory_dc, p.old_font);
    DeleteObject(p.brush);
    DeleteObject(p.bitmap);
    DeleteDC(p.memory_dc);
    ReleaseDC(window, p.window_dc);
}

static void paint_console(HWND window) {
    console_painted();
    PAINTSTRUCT ps;
    BeginPaint(window, &ps);
    PaintSurface p{};
    open_surface(window, p);
    clear_background(p);
    select_font(p);
    draw_ring(p);
    BitBlt(p.window_dc, 0, 0, p.client.right - p.client.left, p.client.bottom - p.client.top, p.memory_dc, 0,
           0, SRCCOPY);
    EndPaint(window, &ps);
    close_surface(window, p);
}

LRESULT CALLBACK text_window_proc(HWND window, UINT message, WPARAM wparam, LPARAM lparam) {
    switch (message) {
    case WM_PAINT:
        paint_console(window);
        return 0;
    case WM_KEYDOWN:
    case WM_KEYUP:
        PostMessageA(korva_state.graphics_window, message, wparam, lparam);
        return 0;
    default:
        return DefWindowProcA(window, message, wparam, lparam);
    }
}
