// Cost of the drawing primitives against the raw GDI calls that paint the same shapes on
// the same canvas, the cost of logging, and how many canvas copies a scene makes.
#include <windows.h>
// GDI+'s header wants the COM property types declared first.
#include <objidl.h>
#include <gdiplus.h>

#include <limits.h>
#include <math.h>
#include <stdio.h>
#include <string.h>

#include <algorithm>
#include <functional>

#include "bench_clock.h"
#include "korva/base/state.h"
#include "korva/korva.h"

static double now_us() {
    return now_seconds() * 1e6;
}

// Microseconds per call: the best of several rounds, so that a busy moment of the machine
// does not decide the figure.
static double per_call(const std::function<void(int)>& body, int calls, int rounds = 7) {
    double best = 1e300;
    for (int round = 0; round < rounds; ++round) {
        double start = now_us();
        for (int i = 0; i < calls; ++i) body(i);
        double t = (now_us() - start) / calls;
        if (t < best) best = t;
    }
    return best;
}

// KORVA against raw GDI in many short pairs of rounds, a millisecond or so each, the side
// that goes first taking turns. A pair sees the machine in one state, so the median of the
// pairs' ratios is steady even when a whole run is slowed down (the best of long rounds
// moved the pixel between 1.07 and 1.25 from one run to the next on a busy machine).
struct Comparison {
    double korva_us;
    double raw_us;
    double ratio;
};
static Comparison compare(const std::function<void(int)>& korva, const std::function<void(int)>& raw, int calls) {
    constexpr int PAIRS = 101;
    double ratios[PAIRS];
    Comparison c{1e300, 1e300, 0};
    for (int pair = 0; pair < PAIRS; ++pair) {
        double k, r;
        if (pair % 2 == 0) {
            k = per_call(korva, calls, 1);
            r = per_call(raw, calls, 1);
        } else {
            r = per_call(raw, calls, 1);
            k = per_call(korva, calls, 1);
        }
        c.korva_us = std::min(c.korva_us, k);
        c.raw_us = std::min(c.raw_us, r);
        ratios[pair] = k / r;
    }
    std::nth_element(ratios, ratios + PAIRS / 2, ratios + PAIRS);
    c.ratio = ratios[PAIRS / 2];
    return c;
}

static HDC dc() {
    return korva_state.canvas_dc;
}
static int ox() {
    return korva_state.origin_x;
}
static int oy() {
    return korva_state.origin_y;
}

static void raw_shape(int kind, COLORREF colour, int width, int i) {
    HPEN pen = CreatePen(PS_SOLID, width, colour);
    HGDIOBJ old_pen = SelectObject(dc(), pen);
    HBRUSH brush = width == 0 ? CreateSolidBrush(colour) : static_cast<HBRUSH>(GetStockObject(NULL_BRUSH));
    HGDIOBJ old_brush = SelectObject(dc(), brush);
    int x = ox() + i % 50, y = oy() - i % 40;
    if (kind == 0) {
        POINT p[3] = {{x, y}, {x + 40, y}, {x, y - 40}};
        Polygon(dc(), p, 3);
    } else if (kind == 1) {
        Rectangle(dc(), x, y - 30, x + 41, y + 1);
    } else if (kind == 2) {
        Ellipse(dc(), x, y - 30, x + 41, y + 1);
    } else {
        Ellipse(dc(), x - 15, y - 15, x + 16, y + 16);  // the circle of radius 15 at (x, y)
    }
    SelectObject(dc(), old_pen);
    SelectObject(dc(), old_brush);
    DeleteObject(pen);
    if (width == 0) DeleteObject(brush);
}

// An outlined oval of a box that fills much of the canvas, as a program calling Ellipse writes it.
static void raw_oval_outline(COLORREF colour, int width, int i) {
    HPEN pen = CreatePen(PS_SOLID, width, colour);
    HGDIOBJ old_pen = SelectObject(dc(), pen);
    HGDIOBJ old_brush = SelectObject(dc(), GetStockObject(NULL_BRUSH));
    int x = ox() + i % 50, y = oy() - i % 40;
    Ellipse(dc(), x - 200, y - 150, x + 201, y + 151);
    SelectObject(dc(), old_pen);
    SelectObject(dc(), old_brush);
    DeleteObject(pen);
}

static void raw_line(COLORREF colour, int i) {
    HPEN pen = CreatePen(PS_SOLID, 1, colour);
    HGDIOBJ old = SelectObject(dc(), pen);
    MoveToEx(dc(), ox() + i % 50, oy(), nullptr);
    LineTo(dc(), ox() + 40 + i % 50, oy() - 40);
    SelectObject(dc(), old);
    DeleteObject(pen);
}

static void raw_text(COLORREF colour, int i) {
    SetTextColor(dc(), colour);
    int mode = GetBkMode(dc());
    SetBkMode(dc(), TRANSPARENT);
    HFONT font = CreateFontA(-14, 0, 0, 0, 400, FALSE, FALSE, FALSE, 0, 0, 0, 0, 0, "KORVA-font");
    HGDIOBJ old = SelectObject(dc(), font);
    const char* text = "Besouru the Fighter";
    HGLOBAL block = GlobalAlloc(GMEM_MOVEABLE, 20);
    char* p = static_cast<char*>(GlobalLock(block));
    memcpy(p, text, 20);
    GlobalUnlock(block);
    p = static_cast<char*>(GlobalLock(block));
    SIZE extent;
    GetTextExtentPointA(dc(), p, 19, &extent);
    TextOutA(dc(), ox() + i % 50, oy() - extent.cy, p, 19);
    GlobalUnlock(block);
    GlobalFree(block);
    SetBkMode(dc(), mode);
    SelectObject(dc(), old);
    DeleteObject(font);
}

// The platform's imaging drawing a 64 x 64 picture turned `degrees` counter-clockwise and scaled
// about a device point, as a program would call it itself.
static void raw_turned(void* bits, int x, int y, double degrees, double scale) {
    if (korva_state.imaging_token == 0) return;  // started by the library's first turned draw
    Gdiplus::GpGraphics* graphics = nullptr;
    Gdiplus::DllExports::GdipCreateFromHDC(dc(), &graphics);
    Gdiplus::GpBitmap* image = nullptr;
    Gdiplus::DllExports::GdipCreateBitmapFromScan0(64, 64, 256, PixelFormat32bppPARGB, static_cast<BYTE*>(bits), &image);
    Gdiplus::DllExports::GdipSetInterpolationMode(graphics, Gdiplus::InterpolationModeNearestNeighbor);
    Gdiplus::DllExports::GdipSetPixelOffsetMode(graphics, Gdiplus::PixelOffsetModeHalf);
    const double radians = degrees * 3.14159265358979323846 / 180, c = cos(radians), s = sin(radians);
    const double u[3] = {-32 * scale, 32 * scale, -32 * scale}, v[3] = {-32 * scale, -32 * scale, 32 * scale};
    Gdiplus::PointF corners[3];
    for (int k = 0; k < 3; ++k) {
        corners[k] = Gdiplus::PointF(static_cast<Gdiplus::REAL>(x + u[k] * c + v[k] * s),
                                     static_cast<Gdiplus::REAL>(y - u[k] * s + v[k] * c));
    }
    Gdiplus::DllExports::GdipDrawImagePointsRect(graphics, image, corners, 3, 0, 0, 64, 64, Gdiplus::UnitPixel, nullptr,
                                                 nullptr, nullptr);
    Gdiplus::DllExports::GdipDisposeImage(image);
    Gdiplus::DllExports::GdipDeleteGraphics(graphics);
}

int main() {
    korva_state.instance = GetModuleHandleA(nullptr);
    korva_state.show_command = SW_SHOWNORMAL;
    KORVA_open();
    KORVA_logging(0);
    KORVA_clear();
    const COLORREF blue = RGB(0, 0, 255);
    // The examples' sprite, copied beside this program by the build.
    const int sprite = KORVA_load_picture("sprite.png");
    HDC sprite_dc = CreateCompatibleDC(dc());
    HGDIOBJ sprite_old = nullptr;
    void* sprite_bits = nullptr;
    if (sprite != 0) {
        BITMAPINFO info{};
        info.bmiHeader = {sizeof info.bmiHeader, 64, -64, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
        HBITMAP copy = CreateDIBSection(dc(), &info, DIB_RGB_COLORS, &sprite_bits, nullptr, 0);
        sprite_old = SelectObject(sprite_dc, copy);
        BitBlt(sprite_dc, 0, 0, 64, 64, korva_state.pictures[sprite - 1].dc, 0, 0, SRCCOPY);
    } else {
        printf("sprite.png was not found beside the benchmark: the picture figure is meaningless\n");
    }

    // The platform's imaging starts with the first turned picture.
    KORVA_draw_picture_turned(sprite, 0, 0, 30, 1.5);
    KORVA_clear();

    struct Pair {
        const char* name;
        std::function<void(int)> korva;
        std::function<void(int)> raw;
    };
    const Pair pairs[] = {
        {"pixel", [](int i) { KORVA_draw_pixel(4, i % 50, i % 40); },
         [&](int i) { SetPixel(dc(), ox() + i % 50, oy() - i % 40, blue); }},
        {"circle", [](int i) { KORVA_draw_circle(4, i % 50, i % 40, 15); },
         [&](int i) { raw_shape(3, blue, 0, i); }},
        {"triangle filled", [](int i) { KORVA_draw_triangle(4, i % 50, i % 40, 40 + i % 50, i % 40, i % 50, 40 + i % 40, 0); },
         [&](int i) { raw_shape(0, blue, 0, i); }},
        {"rectangle filled", [](int i) { KORVA_draw_rectangle(4, i % 50, 30 + i % 40, 40 + i % 50, i % 40, 0); },
         [&](int i) { raw_shape(1, blue, 0, i); }},
        {"rectangle outline", [](int i) { KORVA_draw_rectangle(4, i % 50, 30 + i % 40, 40 + i % 50, i % 40, 2); },
         [&](int i) { raw_shape(1, blue, 2, i); }},
        {"oval filled", [](int i) { KORVA_draw_oval(4, i % 50, 30 + i % 40, 40 + i % 50, i % 40, 0); },
         [&](int i) { raw_shape(2, blue, 0, i); }},
        {"oval outline pen 2", [](int i) { KORVA_draw_oval(4, i % 50 - 200, 150 + i % 40, i % 50 + 200, i % 40 - 150, 2); },
         [&](int i) { raw_oval_outline(blue, 2, i); }},
        {"oval outline pen 20", [](int i) { KORVA_draw_oval(4, i % 50 - 200, 150 + i % 40, i % 50 + 200, i % 40 - 150, 20); },
         [&](int i) { raw_oval_outline(blue, 20, i); }},
        {"line", [](int i) { KORVA_draw_line(4, i % 50, 0, 40 + i % 50, 40, 1); }, [&](int i) { raw_line(blue, i); }},
        {"text", [](int i) { KORVA_draw_text(4, i % 50, 0, 14, "Besouru the Fighter"); },
         [&](int i) { raw_text(blue, i); }},
        // A 64 x 64 PNG with transparency, against AlphaBlend from a prepared memory context
        // holding the same premultiplied pixels.
        {"picture 64 x 64 PNG", [&](int i) { KORVA_draw_picture(sprite, i % 50, i % 40); },
         [&](int i) {
             const BLENDFUNCTION blend{AC_SRC_OVER, 0, 255, AC_SRC_ALPHA};
             AlphaBlend(dc(), ox() + i % 50 - 32, oy() - i % 40 - 32, 64, 64, sprite_dc, 0, 0, 64, 64, blend);
         }},
        // A cell of it stretched to twice its size, against the platform's blend stretching it.
        {"picture part x2", [&](int i) { KORVA_draw_picture_part(sprite, PicturePart{8, 8, 48, 40}, Point{i % 50, i % 40}, 0, 2, 0); },
         [&](int i) {
             const BLENDFUNCTION blend{AC_SRC_OVER, 0, 255, AC_SRC_ALPHA};
             AlphaBlend(dc(), ox() + i % 50 - 48, oy() - i % 40 - 40, 96, 80, sprite_dc, 8, 8, 48, 40, blend);
         }},
        // Turned by 30 degrees and scaled by 1.5, against the platform's imaging called raw with
        // the same corners (a drawing surface on the canvas, the picture's pixels, nearest pixel).
        {"picture turned 30", [&](int i) { KORVA_draw_picture_turned(sprite, i % 50, i % 40, 30, 1.5); },
         [&](int i) { raw_turned(sprite_bits, ox() + i % 50, oy() - i % 40, 30, 1.5); }},
    };

    printf("%-20s %12s %12s %8s   (logging off; best round of each side, and the median ratio of 101 "
           "pairs of rounds)\n",
           "primitive", "KORVA us", "raw GDI us", "ratio");
    for (const Pair& p : pairs) {
        // About a millisecond of calls per round.
        int calls = std::max(20, static_cast<int>(1000 / std::max(0.01, per_call(p.raw, 200, 3))));
        Comparison c = compare(p.korva, p.raw, calls);
        printf("%-20s %12.3f %12.3f %8.3f %s\n", p.name, c.korva_us, c.raw_us, c.ratio, c.ratio <= 1.10 ? "" : "  over 1.10");
    }

    // Logging on: the primitive also formats and stores a console line (the console window is
    // invalidated once and painted at the next message). Both sides take turns, as above.
    double logged = 1e300, unlogged = 1e300;
    for (int turn = 0; turn < 5; ++turn) {
        KORVA_logging(1);
        logged = std::min(logged, per_call([](int i) { KORVA_draw_rectangle(4, i % 50, 30, 40, 0, 0); }, 5000));
        KORVA_logging(0);
        unlogged = std::min(unlogged, per_call([](int i) { KORVA_draw_rectangle(4, i % 50, 30, 40, 0, 0); }, 5000));
    }
    printf("logged rectangle call: %.3f us, unlogged %.3f us, ratio %.2f%s\n", logged, unlogged, logged / unlogged,
           logged / unlogged <= 2.0 ? "" : "  over 2");

    // The slowest single call of each kind over a table of extreme arguments (logging off):
    // coordinates to the 32-bit limits, pens to 2^31 - 1, sizes where Wine's GDI is slow.
    struct Extreme {
        const char* name;
        std::function<void(int)> call;
    };
    const int widths[] = {0, 1, 2, 50, 500, 2048, 5000, 8192, 8193, 16384, 30000, 100000, 1 << 20, INT_MAX};
    const int places[] = {0, 1200, 16384, 20000, 100000, 1 << 18, 1 << 22, 1 << 27, 1 << 28, INT_MAX};
    const int n_widths = sizeof widths / sizeof widths[0], n_places = sizeof places / sizeof places[0];
    const Extreme extremes[] = {
        {"line", [&](int i) {
             int w = widths[i % n_widths], p = places[(i / n_widths) % n_places];
             KORVA_draw_line(4, -p, -p / 3, p, p / 2 + 1, w);
         }},
        {"line from near", [&](int i) {
             int w = widths[i % n_widths], p = places[(i / n_widths) % n_places];
             KORVA_draw_line(4, 3, -7, p, -p, w);
         }},
        {"triangle", [&](int i) {
             int w = widths[i % n_widths], p = places[(i / n_widths) % n_places];
             KORVA_draw_triangle(4, -p, -p / 2, p, -p / 3, p / 5, p, w);
         }},
        {"rectangle", [&](int i) {
             int w = widths[i % n_widths], p = places[(i / n_widths) % n_places];
             KORVA_draw_rectangle(4, -p, p, p, -p, w);
         }},
        {"oval", [&](int i) {
             int w = widths[i % n_widths], p = places[(i / n_widths) % n_places];
             KORVA_draw_oval(4, -p, p, p, -p, w);
         }},
        {"oval on the canvas", [&](int i) {
             int w = widths[i % n_widths], p = 20 + 40 * ((i / n_widths) % 8);
             KORVA_draw_oval(4, -p, p, p, -p, w);
         }},
        {"circle", [&](int i) { KORVA_draw_circle(4, (i % 3) * 300, 0, places[(i / 3) % n_places]); }},
        {"text", [&](int i) { KORVA_draw_text(4, places[i % n_places] / 4 - 300, 0, 127, "j\x83 text\nat the edge"); }},
    };
    printf("%-20s %12s   (slowest single call over %d cases, each the best of 3; logging off)\n", "kind", "slowest ms", n_widths * n_places);
    for (const Extreme& e : extremes) {
        double slowest = 0;
        int slowest_case = 0;
        for (int i = 0; i < n_widths * n_places; ++i) {
            // Each case's best of three, so that a busy moment of the machine is not taken
            // for a slow call.
            double t = 1e300;
            for (int round = 0; round < 3; ++round) {
                double start = now_us();
                e.call(i);
                t = std::min(t, (now_us() - start) / 1000);
            }
            if (t > slowest) {
                slowest = t;
                slowest_case = i;
            }
        }
        // Ovals within the limits are GDI's own Ellipse: a slow one is the platform's time.
        const bool ellipse = strncmp(e.name, "oval", 4) == 0;
        printf("%-20s %12.3f   (case %d)%s\n", e.name, slowest, slowest_case,
               slowest <= 5.0 ? "" : ellipse ? "  over 5 ms: Ellipse's own time for this box and pen" : "  over 5 ms");
    }
    KORVA_clear();

    for (int i = 0; i < 25; ++i) KORVA_printf("console line %d of the benchmark, long enough to be realistic\n", i);
    double paint = per_call(
        [](int) {
            InvalidateRect(korva_state.text_window, nullptr, TRUE);
            UpdateWindow(korva_state.text_window);
        },
        500);
    printf("console paint of 25 lines: %.3f us\n", paint);

    // A scene of 1,000 mixed primitives and one flush. Copies are counted from outside: a
    // sentinel painted straight onto the window survives every primitive (no copy while
    // drawing) and is overwritten by the flush; the dirty flag goes from 1 to 0 exactly
    // when the flush copies.
    KORVA_clear();
    KORVA_flush();
    HDC window = korva_state.window_dc;
    const int sx = korva_state.origin_x, sy = korva_state.origin_y;
    const COLORREF sentinel = RGB(1, 2, 3);
    SetPixel(window, sx, sy, sentinel);
    double start = now_us();
    for (int i = 0; i < 1000; ++i) {
        switch (i % 6) {
            case 0: KORVA_draw_rectangle(i % 24, -100, 100, 100, -100, i % 3); break;
            case 1: KORVA_draw_circle(i % 24, 0, 0, 50); break;
            case 2: KORVA_draw_line(i % 24, -200, -200, 200, 200, 1); break;
            case 3: KORVA_draw_triangle(i % 24, 0, 0, 80, 0, 0, 80, 0); break;
            case 4: KORVA_draw_pixel(i % 24, i % 100, 0); break;
            default: KORVA_printf_at(i % 24, -50, 0, 14, "hero %d", i); break;
        }
    }
    double drawn = now_us();
    int copies_while_drawing = GetPixel(window, sx, sy) == sentinel ? 0 : 1;
    int dirty_before = korva_state.canvas_dirty;
    KORVA_flush();
    double flushed = now_us();
    int copies_by_flush = (dirty_before == 1 && korva_state.canvas_dirty == 0 && GetPixel(window, sx, sy) != sentinel) ? 1 : 0;
    SetPixel(window, sx, sy, sentinel);
    KORVA_flush();
    int copies_by_second_flush = GetPixel(window, sx, sy) == sentinel ? 0 : 1;
    printf("scene of 1000 primitives: %.3f us per primitive, flush %.1f us; canvas copies: %d while drawing, "
           "%d at the flush, %d at a second flush\n",
           (drawn - start) / 1000, flushed - drawn, copies_while_drawing, copies_by_flush, copies_by_second_flush);
    DeleteObject(SelectObject(sprite_dc, sprite_old));
    DeleteDC(sprite_dc);
    KORVA_close();
    return 0;
}
