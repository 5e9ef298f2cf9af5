// Shapes painted by the library where GDI is not handed them: stepped thin lines and triangle
// edges, wide strokes built as GDI builds them, rectangle pieces and the rows of very large
// ovals. Every piece is a PatBlt with a solid brush of the command's colour.
#include "korva/draw/own_painting.h"

#include "korva/draw/color_values.h"
#include "korva/draw/colors.h"
#include "korva/draw/exact_pixels.h"

static HGDIOBJ select_own_brush(HDC dc, const DrawCommand& c) {
    return SelectObject(dc, CreateSolidBrush(color_ref(c.color)));
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
// canvas when the dot holds it, GDI's own dot where GDI takes it, otherwise the rows of the
// same elliptic box. The command's brush is selected for the fills.
static void paint_pen_dot(HDC dc, const DrawCommand& c, WidePoint corner) {
    const WideBox box = pen_dot_box(corner, c.width);
    if (!box_meets_canvas(box, 0)) return;
    if (pen_dot_covers_canvas(corner, c.width)) {
        PatBlt(dc, 0, 0, KORVA_CANVAS_WIDTH, KORVA_CANVAS_HEIGHT, PATCOPY);
        return;
    }
    if (pen_dot_for_gdi(corner, c.width)) {
        HPEN pen = CreatePen(PS_SOLID, c.width, color_ref(c.color));
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

// A wide stroke through the corners in order (closed when a triangle): the body of each
// segment and the dot at each corner, as GDI builds it.
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

// A line (two corners) or a triangle (three, closed). A wide one is painted as GDI builds it,
// segment by segment; a thin one is stepped edge by edge, and a filled triangle's inside is
// filled row by row first.
void paint_own_path(HDC dc, const DrawCommand& c, const WidePoint* corners, int32_t count) {
    if (c.width > 1) {
        paint_wide_strokes(dc, c, corners, count);
        return;
    }
    HGDIOBJ previous = select_own_brush(dc, c);
    if (c.width == 0 && count == 3) {
        for (int32_t row = 0; row < KORVA_CANVAS_HEIGHT; ++row) {
            int32_t first, last;
            if (triangle_row_interior(corners, row, &first, &last)) fill_row(dc, row, first, last);
        }
    }
    const int32_t edges = count == 2 ? 1 : count;
    for (int32_t i = 0; i < edges; ++i) fill_stepped_line(dc, corners[i], corners[(i + 1) % count]);
    release_own_brush(dc, previous);
}

// The filled box, or the outer box less the hole that the pen leaves.
void paint_own_rectangle(HDC dc, const DrawCommand& c, const WideBox& box) {
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
}

void paint_own_oval(HDC dc, const DrawCommand& c, const WideBox& box) {
    if (!box_meets_canvas(box, c.width)) return;
    HGDIOBJ previous = select_own_brush(dc, c);
    for (int32_t row = 0; row < KORVA_CANVAS_HEIGHT; ++row) {
        RowSpans spans = ellipse_row_spans(box, c.width, c.width == 0, row);
        for (int32_t i = 0; i < spans.count; ++i) fill_row(dc, row, spans.first[i], spans.last[i]);
    }
    release_own_brush(dc, previous);
}
