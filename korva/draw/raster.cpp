// The raster executor: paints one DrawCommand onto the canvas with GDI, making and deleting
// the pen, brush and font of that one command. Coordinates go through the overflow-safe
// transform and are clipped to the device limit before any GDI call sees them.
#include "korva/draw/raster.h"

#include "korva/core/state.h"
#include "korva/draw/colors.h"
#include "korva/draw/draw_internal.h"
#include "korva/draw/geometry.h"

static COLORREF color_value(int32_t color) {
    return COLOR_TABLE[color].rgb;
}

HFONT create_korva_font(int32_t ptsize) {
    return CreateFontA(-ptsize, 0, 0, 0, 400, FALSE, FALSE, FALSE, 0, 0, 0, 0, 0, "KORVA-font");
}

// A filled shape gets a solid brush of its colour; an outlined one the stock null brush,
// which is not ours to delete.
static HBRUSH shape_brush(const DrawCommand& c) {
    return c.width == 0 ? CreateSolidBrush(color_value(c.color))
                        : static_cast<HBRUSH>(GetStockObject(NULL_BRUSH));
}

static HPEN shape_pen(const DrawCommand& c) {
    return CreatePen(PS_SOLID, limit_pen_width(c.width), color_value(c.color));
}

static void paint_triangle(HDC dc, const DrawCommand& c) {
    const LibraryState& s = korva_state;
    WidePoint corners[3] = {to_device(s.origin_x, s.origin_y, c.p1), to_device(s.origin_x, s.origin_y, c.p2),
                            to_device(s.origin_x, s.origin_y, c.p3)};
    Point clipped[MAX_CLIPPED_CORNERS];
    int32_t count = clip_triangle(corners, clipped);
    POINT points[MAX_CLIPPED_CORNERS];
    for (int32_t i = 0; i < count; ++i) points[i] = {clipped[i].x, clipped[i].y};
    if (count > 0) Polygon(dc, points, count);
}

static void paint_box(HDC dc, const DrawCommand& c, bool oval) {
    const LibraryState& s = korva_state;
    WideBox box = inclusive_device_box(s.origin_x, s.origin_y, c.p1, c.p2);
    if (!oval || box_within_device_limit(box)) {
        int32_t left = clamp_to_device(box.left), top = clamp_to_device(box.top);
        int32_t right = clamp_to_device(box.right), bottom = clamp_to_device(box.bottom);
        if (oval) {
            Ellipse(dc, left, top, right, bottom);
        } else {
            Rectangle(dc, left, top, right, bottom);
        }
        return;
    }
    // An ellipse this large would keep Wine busy for seconds or more, so its canvas rows
    // are filled span by span with a brush of the shape's colour.
    int32_t pen_width = limit_pen_width(c.width);
    if (!box_meets_canvas(box, pen_width)) return;
    HBRUSH brush = CreateSolidBrush(color_value(c.color));
    HGDIOBJ previous = SelectObject(dc, brush);
    for (int32_t row = 0; row < KORVA_CANVAS_HEIGHT; ++row) {
        RowSpans spans = ellipse_row_spans(box, pen_width, c.width == 0, row);
        for (int32_t i = 0; i < spans.count; ++i) {
            PatBlt(dc, spans.first[i], row, spans.last[i] - spans.first[i] + 1, 1, PATCOPY);
        }
    }
    SelectObject(dc, previous);
    DeleteObject(brush);
}

static void paint_shape(HDC dc, const DrawCommand& c) {
    HPEN pen = shape_pen(c);
    HGDIOBJ previous_pen = SelectObject(dc, pen);
    HBRUSH brush = shape_brush(c);
    HGDIOBJ previous_brush = SelectObject(dc, brush);
    if (c.kind == DRAW_TRIANGLE) {
        paint_triangle(dc, c);
    } else {
        paint_box(dc, c, c.kind == DRAW_OVAL);
    }
    SelectObject(dc, previous_pen);
    SelectObject(dc, previous_brush);
    DeleteObject(pen);
    if (c.width == 0) DeleteObject(brush);
}

static void paint_line(HDC dc, const DrawCommand& c) {
    const LibraryState& s = korva_state;
    HPEN pen = shape_pen(c);
    HGDIOBJ previous = SelectObject(dc, pen);
    DeviceSegment segment;
    if (clip_segment(to_device(s.origin_x, s.origin_y, c.p1), to_device(s.origin_x, s.origin_y, c.p2),
                     &segment)) {
        MoveToEx(dc, segment.from.x, segment.from.y, nullptr);
        LineTo(dc, segment.to.x, segment.to.y);
    }
    SelectObject(dc, previous);
    DeleteObject(pen);
}

static void paint_pixel(HDC dc, const DrawCommand& c) {
    const LibraryState& s = korva_state;
    WidePoint p = to_device(s.origin_x, s.origin_y, c.p1);
    SetPixel(dc, clamp_to_device(p.x), clamp_to_device(p.y), color_value(c.color));
}

// Each line's cell has its top-left corner at the device point; the first line stands
// above the text point, the others follow one measured line height lower each.
static void paint_text(HDC dc, const DrawCommand& c) {
    const LibraryState& s = korva_state;
    SetTextColor(dc, color_value(c.color));
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
            if (text_line_may_show(left, top, extent.cy)) {
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

void execute_draw_command(const DrawCommand& command) {
    HDC dc = korva_state.canvas_dc;
    switch (command.kind) {
        case DRAW_TRIANGLE:
        case DRAW_RECTANGLE:
        case DRAW_OVAL:
            paint_shape(dc, command);
            break;
        case DRAW_LINE:
            paint_line(dc, command);
            break;
        case DRAW_PIXEL:
            paint_pixel(dc, command);
            break;
        case DRAW_TEXT:
            paint_text(dc, command);
            break;
        default:
            break;
    }
    korva_state.canvas_dirty = 1;
}
