// The raster executor: paints one DrawCommand onto the canvas with GDI, making and deleting
// the pen, brush and font of that one command. Coordinates go through the overflow-safe
// transform; each kind is handed to GDI wherever geometry.h says GDI paints it, and to the
// library's own painting (own_painting.h) beyond.
#include "korva/draw/raster.h"

#include <limits.h>

#include "korva/base/state.h"
#include "korva/draw/colors.h"
#include "korva/draw/draw_internal.h"
#include "korva/draw/geometry.h"
#include "korva/draw/own_painting.h"

HFONT create_korva_font(int32_t ptsize) {
    return CreateFontA(-ptsize, 0, 0, 0, 400, FALSE, FALSE, FALSE, 0, 0, 0, 0, 0, "KORVA-font");
}

static int to_int(int64_t v) {
    return static_cast<int>(v);
}

// The pen of the command's width, and a solid brush of its colour for a filled shape or the
// stock null brush for an outlined one (which is not ours to delete).
struct ShapeTools {
    HPEN pen;
    HBRUSH brush;
    HGDIOBJ previous_pen;
    HGDIOBJ previous_brush;
};
static ShapeTools select_shape_tools(HDC dc, const DrawCommand& c) {
    ShapeTools t;
    t.pen = CreatePen(PS_SOLID, c.width, color_ref(c.color));
    t.brush = c.width == 0 ? CreateSolidBrush(color_ref(c.color)) : static_cast<HBRUSH>(GetStockObject(NULL_BRUSH));
    t.previous_pen = SelectObject(dc, t.pen);
    t.previous_brush = SelectObject(dc, t.brush);
    return t;
}
static void release_shape_tools(HDC dc, const DrawCommand& c, const ShapeTools& t) {
    SelectObject(dc, t.previous_pen);
    SelectObject(dc, t.previous_brush);
    DeleteObject(t.pen);
    if (c.width == 0) DeleteObject(t.brush);
}

static void paint_triangle(HDC dc, const DrawCommand& c) {
    const LibraryState& s = korva_state;
    const WidePoint corners[3] = {to_device(s.origin_x, s.origin_y, c.p1), to_device(s.origin_x, s.origin_y, c.p2),
                                  to_device(s.origin_x, s.origin_y, c.p3)};
    if (!triangle_for_gdi(corners, c.width)) {
        paint_own_path(dc, c, corners, 3);
        return;
    }
    POINT points[3];
    for (int32_t i = 0; i < 3; ++i) points[i] = {to_int(corners[i].x), to_int(corners[i].y)};
    ShapeTools tools = select_shape_tools(dc, c);
    Polygon(dc, points, 3);
    release_shape_tools(dc, c, tools);
}

// Rectangles and ovals: the box covers both corners inclusively.
static void paint_box(HDC dc, const DrawCommand& c) {
    const LibraryState& s = korva_state;
    const WideBox box = inclusive_device_box(s.origin_x, s.origin_y, c.p1, c.p2);
    const bool oval = c.kind == DRAW_OVAL;
    if (oval ? !oval_for_gdi(box, c.width) : !rectangle_for_gdi(box, c.width)) {
        if (oval) {
            paint_own_oval(dc, c, box);
        } else {
            paint_own_rectangle(dc, c, box);
        }
        return;
    }
    ShapeTools tools = select_shape_tools(dc, c);
    if (oval) {
        Ellipse(dc, to_int(box.left), to_int(box.top), to_int(box.right), to_int(box.bottom));
    } else {
        Rectangle(dc, to_int(box.left), to_int(box.top), to_int(box.right), to_int(box.bottom));
    }
    release_shape_tools(dc, c, tools);
}

static void paint_line(HDC dc, const DrawCommand& c) {
    const LibraryState& s = korva_state;
    const WidePoint ends[2] = {to_device(s.origin_x, s.origin_y, c.p1), to_device(s.origin_x, s.origin_y, c.p2)};
    if (!line_for_gdi(ends, c.width)) {
        paint_own_path(dc, c, ends, 2);
        return;
    }
    HPEN pen = CreatePen(PS_SOLID, c.width, color_ref(c.color));
    HGDIOBJ previous = SelectObject(dc, pen);
    MoveToEx(dc, to_int(ends[0].x), to_int(ends[0].y), nullptr);
    LineTo(dc, to_int(ends[1].x), to_int(ends[1].y));
    SelectObject(dc, previous);
    DeleteObject(pen);
}

// How far left of its cell a glyph of the line may paint: the largest negative left bearing
// among its characters ("j" at point size 127 reaches 10 px left of its cell). Measured only
// for lines that start right of the canvas; without the widths, a whole line height.
static int32_t left_overhang(HDC dc, const char* piece, const char* end, int32_t line_height) {
    ABC widths[256];
    if (!GetCharABCWidthsA(dc, 0, 255, widths)) return line_height;
    int32_t overhang = 0;
    for (const char* p = piece; p < end; ++p) {
        int a = widths[static_cast<unsigned char>(*p)].abcA;
        if (-a > overhang) overhang = -a;
    }
    return overhang;
}

// How wide a line's cells are, for a line that starts left of the canvas: a long line may
// reach it from any distance. -1 when it cannot be measured, so that the line is drawn.
static int64_t line_width(HDC dc, const char* piece, const char* end) {
    if (end - piece > INT_MAX) return -1;
    SIZE size{};
    if (!GetTextExtentPoint32A(dc, piece, static_cast<int>(end - piece), &size) || size.cx < 0) return -1;
    return size.cx;
}

// Each line's cell has its top-left corner at the device point; the first line stands
// above the text point, the others follow one measured line height lower each.
static void paint_text(HDC dc, const DrawCommand& c) {
    const LibraryState& s = korva_state;
    SetTextColor(dc, color_ref(c.color));
    int saved_mode = GetBkMode(dc);
    SetBkMode(dc, TRANSPARENT);
    HFONT font = create_korva_font(c.p2.x);
    HGDIOBJ previous_font = SelectObject(dc, font);

    HGLOBAL block = static_cast<HGLOBAL>(c.text);
    const char* text = block ? static_cast<const char*>(GlobalLock(block)) : nullptr;
    if (text != nullptr) {
        SIZE extent{};
        GetTextExtentPointA(dc, text, lstrlenA(text), &extent);
        int64_t left = to_device(s.origin_x, s.origin_y, c.p1).x;
        int64_t line = 0;
        const char* piece = text;
        for (;;) {
            const char* end = piece;
            while (*end != '\0' && *end != '\n') ++end;
            int64_t top = text_line_top(s.origin_y, c.p1.y, line, extent.cy);
            int32_t overhang = left >= KORVA_CANVAS_WIDTH ? left_overhang(dc, piece, end, extent.cy) : 0;
            int64_t width = left < 0 ? line_width(dc, piece, end) : 0;
            if (text_line_may_show(left, top, extent.cy, overhang, width)) {
                TextOutA(dc, static_cast<int>(left), static_cast<int>(top), piece, static_cast<int>(end - piece));
            }
            if (*end == '\0') break;
            piece = end + 1;
            ++line;
        }
        GlobalUnlock(block);
    }

    SetBkMode(dc, saved_mode);
    SelectObject(dc, previous_font);
    DeleteObject(font);
}

// Every kind but the pixel, whose painting is inline in the header.
void execute_shape_command(HDC dc, const DrawCommand& command) {
    switch (command.kind) {
        case DRAW_TRIANGLE:
            paint_triangle(dc, command);
            break;
        case DRAW_RECTANGLE:
        case DRAW_OVAL:
            paint_box(dc, command);
            break;
        case DRAW_LINE:
            paint_line(dc, command);
            break;
        case DRAW_TEXT:
            paint_text(dc, command);
            break;
        default:
            break;
    }
}
