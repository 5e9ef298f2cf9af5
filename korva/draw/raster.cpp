// The raster executor: paints one DrawCommand onto the canvas with GDI, making and deleting
// the pen, brush and font of that one command. Coordinates go through the overflow-safe
// transform; GDI is handed them only within the limits where it paints them exactly and
// quickly, and the library paints the same pixels beyond.
#include "korva/draw/raster.h"

#include "korva/core/state.h"
#include "korva/draw/colors.h"
#include "korva/draw/draw_internal.h"
#include "korva/draw/exact_pixels.h"
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
    return CreatePen(PS_SOLID, c.width, color_value(c.color));
}

// The library's own painting, for shapes handed to GDI no further: a solid brush of the
// command's colour is selected around it and every piece is a PatBlt.
static HGDIOBJ select_own_brush(HDC dc, const DrawCommand& c) {
    return SelectObject(dc, CreateSolidBrush(color_value(c.color)));
}
static void release_own_brush(HDC dc, HGDIOBJ previous) {
    DeleteObject(SelectObject(dc, previous));
}
static void fill_rect(HDC dc, const CanvasRect& r) {
    PatBlt(dc, r.left, r.top, r.right - r.left + 1, r.bottom - r.top + 1, PATCOPY);
}
static void fill_row(HDC dc, int32_t row, int32_t first, int32_t last) {
    PatBlt(dc, first, row, last - first + 1, 1, PATCOPY);
}
static void fill_stepped_line(HDC dc, WidePoint from, WidePoint to) {
    PixelRun runs[MAX_LINE_RUNS];
    int32_t count = line_canvas_runs(from, to, runs);
    for (int32_t i = 0; i < count; ++i) {
        const PixelRun& r = runs[i];
        PatBlt(dc, r.x, r.y, r.vertical ? 1 : r.length, r.vertical ? r.length : 1, PATCOPY);
    }
}
// The pen's round dot at one corner of a wide stroke (its round end or join): the whole
// canvas when the dot holds it, GDI's own dot where that is quick, otherwise the rows of the
// same elliptic box. The command's brush is selected for the fills.
static void paint_pen_dot(HDC dc, const DrawCommand& c, WidePoint corner) {
    const WideBox box = pen_dot_box(corner, c.width);
    if (!box_meets_canvas(box, 0)) return;
    if (pen_dot_covers_canvas(corner, c.width)) {
        PatBlt(dc, 0, 0, KORVA_CANVAS_WIDTH, KORVA_CANVAS_HEIGHT, PATCOPY);
        return;
    }
    if (c.width <= DOT_PEN_LIMIT && point_within(corner, DEVICE_LIMIT)) {
        HPEN pen = shape_pen(c);
        HGDIOBJ previous = SelectObject(dc, pen);
        MoveToEx(dc, static_cast<int>(corner.x), static_cast<int>(corner.y), nullptr);
        LineTo(dc, static_cast<int>(corner.x), static_cast<int>(corner.y));
        SelectObject(dc, previous);
        DeleteObject(pen);
        return;
    }
    for (int32_t row = 0; row < KORVA_CANVAS_HEIGHT; ++row) {
        const RowSpans spans = ellipse_row_spans(box, 0, true, row);
        for (int32_t i = 0; i < spans.count; ++i) fill_row(dc, row, spans.first[i], spans.last[i]);
    }
}

// A wide stroke that GDI is not handed, through the corners in order (closed when a
// triangle): what GDI paints for it, the body of each segment and the dot at each corner.
static void paint_wide_strokes(HDC dc, const DrawCommand& c, const WidePoint* corners, int32_t count) {
    const int32_t segments = count == 2 ? 1 : count;
    StrokeBody bodies[3];
    bool has_body[3] = {};
    for (int32_t i = 0; i < segments; ++i) {
        const WidePoint a = corners[i], b = corners[(i + 1) % count];
        has_body[i] = a.x != b.x || a.y != b.y;
        if (has_body[i]) bodies[i] = stroke_body(a, b, c.width);
    }
    HGDIOBJ previous = select_own_brush(dc, c);
    for (int32_t row = 0; row < KORVA_CANVAS_HEIGHT; ++row) {
        for (int32_t i = 0; i < segments; ++i) {
            int32_t first, last;
            if (has_body[i] && body_row_span(bodies[i], row, &first, &last)) fill_row(dc, row, first, last);
        }
    }
    for (int32_t i = 0; i < count; ++i) paint_pen_dot(dc, c, corners[i]);
    release_own_brush(dc, previous);
}

static bool all_within(const WidePoint* points, int32_t count, int64_t limit) {
    for (int32_t i = 0; i < count; ++i) {
        if (!point_within(points[i], limit)) return false;
    }
    return true;
}

// GDI paints every triangle that it paints exactly and quickly; beyond that, a filled or thin
// triangle is stepped edge by edge (and filled row by row) and a wide one is painted as GDI
// builds it, segment by segment.
static void paint_triangle(HDC dc, const DrawCommand& c) {
    const LibraryState& s = korva_state;
    WidePoint corners[3] = {to_device(s.origin_x, s.origin_y, c.p1), to_device(s.origin_x, s.origin_y, c.p2),
                            to_device(s.origin_x, s.origin_y, c.p3)};
    bool thin = c.width <= 1;
    if (!thin && (c.width > PEN_WIDTH_LIMIT || !all_within(corners, 3, DEVICE_LIMIT))) {
        paint_wide_strokes(dc, c, corners, 3);
        return;
    }
    if (thin && !all_within(corners, 3, c.width == 0 ? FILL_LIMIT : THIN_LINE_LIMIT)) {
        HGDIOBJ previous = select_own_brush(dc, c);
        if (c.width == 0) {
            for (int32_t row = 0; row < KORVA_CANVAS_HEIGHT; ++row) {
                int32_t first, last;
                if (triangle_row_interior(corners, row, &first, &last)) fill_row(dc, row, first, last);
            }
        }
        for (int32_t i = 0; i < 3; ++i) fill_stepped_line(dc, corners[i], corners[(i + 1) % 3]);
        release_own_brush(dc, previous);
        return;
    }
    POINT points[3];
    for (int32_t i = 0; i < 3; ++i) points[i] = {static_cast<LONG>(corners[i].x), static_cast<LONG>(corners[i].y)};
    Polygon(dc, points, 3);
}

// Rectangles go to GDI with their real corners while the pen is one GDI takes and the whole
// stroke lies within the range it steps exactly; otherwise the library paints the same
// pieces: the filled box, or the outer box less the hole that the pen leaves.
static bool paint_own_rectangle(HDC dc, const DrawCommand& c, const WideBox& box) {
    int64_t reach = c.width / 2 + 1;
    WideBox stroke{box.left - reach, box.top - reach, box.right + reach, box.bottom + reach};
    if (c.width <= PEN_WIDTH_LIMIT && box_within(stroke, THIN_LINE_LIMIT)) return false;
    CanvasRect pieces[4];
    int32_t count = 0;
    if (c.width == 0) {
        count = box_on_canvas(box, &pieces[0]) ? 1 : 0;
    } else {
        count = rectangle_outline_pieces(box, c.width, pieces);
    }
    HGDIOBJ previous = select_own_brush(dc, c);
    for (int32_t i = 0; i < count; ++i) fill_rect(dc, pieces[i]);
    release_own_brush(dc, previous);
    return true;
}

static void paint_box(HDC dc, const DrawCommand& c, bool oval) {
    const LibraryState& s = korva_state;
    WideBox box = inclusive_device_box(s.origin_x, s.origin_y, c.p1, c.p2);
    if (!oval) {
        if (!paint_own_rectangle(dc, c, box)) {
            Rectangle(dc, static_cast<int>(box.left), static_cast<int>(box.top), static_cast<int>(box.right),
                      static_cast<int>(box.bottom));
        }
        return;
    }
    if (oval_for_gdi(box, c.width)) {
        Ellipse(dc, static_cast<int>(box.left), static_cast<int>(box.top), static_cast<int>(box.right),
                static_cast<int>(box.bottom));
        return;
    }
    // An ellipse this large, or with a pen this wide, would keep Wine busy for tens of
    // milliseconds or more, so its canvas rows are filled span by span.
    int32_t pen_width = c.width;
    if (!box_meets_canvas(box, pen_width)) return;
    HGDIOBJ previous = select_own_brush(dc, c);
    for (int32_t row = 0; row < KORVA_CANVAS_HEIGHT; ++row) {
        RowSpans spans = ellipse_row_spans(box, pen_width, c.width == 0, row);
        for (int32_t i = 0; i < spans.count; ++i) fill_row(dc, row, spans.first[i], spans.last[i]);
    }
    release_own_brush(dc, previous);
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

// A line goes to GDI with its real end points wherever GDI paints it exactly and quickly; a
// thin one is stepped by the library beyond that, and a wide one painted as GDI builds it.
static void paint_line(HDC dc, const DrawCommand& c) {
    const LibraryState& s = korva_state;
    WidePoint ends[2] = {to_device(s.origin_x, s.origin_y, c.p1), to_device(s.origin_x, s.origin_y, c.p2)};
    if (c.width <= 1 && !all_within(ends, 2, THIN_LINE_LIMIT)) {
        HGDIOBJ previous = select_own_brush(dc, c);
        fill_stepped_line(dc, ends[0], ends[1]);
        release_own_brush(dc, previous);
        return;
    }
    if (c.width > 1 && (c.width > PEN_WIDTH_LIMIT || !all_within(ends, 2, DEVICE_LIMIT))) {
        paint_wide_strokes(dc, c, ends, 2);
        return;
    }
    HPEN pen = shape_pen(c);
    HGDIOBJ previous = SelectObject(dc, pen);
    MoveToEx(dc, static_cast<int>(ends[0].x), static_cast<int>(ends[0].y), nullptr);
    LineTo(dc, static_cast<int>(ends[1].x), static_cast<int>(ends[1].y));
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
            int32_t overhang = left >= KORVA_CANVAS_WIDTH ? left_overhang(dc, piece, end, extent.cy) : 0;
            if (text_line_may_show(left, top, extent.cy, overhang)) {
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
        case DRAW_RECTANGLE:
        case DRAW_OVAL:
            paint_shape(dc, command);
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
