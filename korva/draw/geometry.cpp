// Overflow-safe transform, boxes against limits and the canvas, and the rows of very large ellipses.
#include "korva/draw/geometry.h"

#include <limits.h>
#include <math.h>

static int64_t clamp64(int64_t v, int64_t low, int64_t high) {
    return v < low ? low : (v > high ? high : v);
}

WideBox inclusive_device_box(int32_t origin_x, int32_t origin_y, Point upper_left, Point lower_right) {
    WidePoint a = to_device(origin_x, origin_y, upper_left);
    WidePoint b = to_device(origin_x, origin_y, lower_right);
    return {a.x, a.y, b.x + 1, b.y + 1};
}

bool box_within(const WideBox& box, int64_t limit) {
    return box.left >= -limit && box.right <= limit && box.top >= -limit && box.bottom <= limit;
}

static bool all_within(const WidePoint* points, int32_t count, int64_t limit) {
    for (int32_t i = 0; i < count; ++i) {
        if (!point_within(points[i], limit)) return false;
    }
    return true;
}

bool line_for_gdi(const WidePoint ends[2], int32_t pen_width) {
    if (pen_width <= 1) return all_within(ends, 2, THIN_LINE_LIMIT);
    return pen_width <= PEN_WIDTH_LIMIT && all_within(ends, 2, DEVICE_LIMIT);
}

bool triangle_for_gdi(const WidePoint corners[3], int32_t pen_width) {
    if (pen_width == 0) return all_within(corners, 3, FILL_LIMIT);
    if (pen_width == 1) return all_within(corners, 3, THIN_LINE_LIMIT);
    return pen_width <= PEN_WIDTH_LIMIT && all_within(corners, 3, DEVICE_LIMIT);
}

// The whole stroke, the pen's reach outside the box included, must lie where GDI steps exactly.
bool rectangle_for_gdi(const WideBox& box, int32_t pen_width) {
    const int64_t reach = pen_width / 2 + 1;
    const WideBox stroke{box.left - reach, box.top - reach, box.right + reach, box.bottom + reach};
    return pen_width <= PEN_WIDTH_LIMIT && box_within(stroke, THIN_LINE_LIMIT);
}

bool oval_for_gdi(const WideBox& box, int32_t pen_width) {
    return pen_width <= PEN_WIDTH_LIMIT && box_within(box, OVAL_LIMIT);
}

bool pen_dot_for_gdi(WidePoint centre, int32_t pen_width) {
    return pen_width <= DOT_PEN_LIMIT && point_within(centre, DEVICE_LIMIT);
}

WideBox pen_dot_box(WidePoint c, int32_t pen_width) {
    const int64_t before = pen_width / 2, after = (int64_t{pen_width} + 1) / 2 + 1;
    return {c.x - before, c.y - before, c.x + after, c.y + after};
}

bool pen_dot_covers_canvas(WidePoint c, int32_t pen_width) {
    const double radius = pen_width / 2.0 - 2;
    if (radius <= 0) return false;
    const double corners_x[2] = {0, KORVA_CANVAS_WIDTH - 1}, corners_y[2] = {0, KORVA_CANVAS_HEIGHT - 1};
    for (double x : corners_x) {
        for (double y : corners_y) {
            const double dx = x - static_cast<double>(c.x), dy = y - static_cast<double>(c.y);
            if (dx * dx + dy * dy > radius * radius) return false;
        }
    }
    return true;
}

bool point_within(WidePoint p, int64_t limit) {
    return p.x >= -limit && p.x <= limit && p.y >= -limit && p.y <= limit;
}

bool box_meets_canvas(const WideBox& box, int32_t reach) {
    return box.left - reach < KORVA_CANVAS_WIDTH && box.right + reach > 0 &&
           box.top - reach < KORVA_CANVAS_HEIGHT && box.bottom + reach > 0;
}

static int32_t clamp_to_int32(int64_t v) {
    return static_cast<int32_t>(clamp64(v, INT_MIN, INT_MAX));
}

Corners circle_corners(Point c, int32_t r) {
    return {{clamp_to_int32(int64_t{c.x} - r), clamp_to_int32(int64_t{c.y} + r)},
            {clamp_to_int32(int64_t{c.x} + r), clamp_to_int32(int64_t{c.y} - r)}};
}

// Pixels of a row whose centres lie within the ellipse (cx, cy, a, b): false when none.
static bool ellipse_span(double cx, double cy, double a, double b, int32_t row, int64_t* first,
                         int64_t* last) {
    if (a <= 0 || b <= 0) return false;
    double dy = (row + 0.5 - cy) / b;
    if (dy <= -1 || dy >= 1) return false;
    double half = a * sqrt(1 - dy * dy);
    double lo = ceil(cx - half - 0.5), hi = floor(cx + half - 0.5);
    if (lo > hi) return false;
    // Only the canvas matters. The clamp keeps order, so a span off one side stays off it.
    const double low = -2, high = KORVA_CANVAS_WIDTH + 1;
    *first = static_cast<int64_t>(fmin(fmax(lo, low), high));
    *last = static_cast<int64_t>(fmin(fmax(hi, low), high));
    return true;
}

static void add_span(RowSpans* spans, int64_t first, int64_t last) {
    if (first > last || first >= KORVA_CANVAS_WIDTH || last < 0) return;
    first = clamp64(first, 0, KORVA_CANVAS_WIDTH - 1);
    last = clamp64(last, 0, KORVA_CANVAS_WIDTH - 1);
    spans->first[spans->count] = static_cast<int32_t>(first);
    spans->last[spans->count] = static_cast<int32_t>(last);
    ++spans->count;
}

RowSpans ellipse_row_spans(const WideBox& box, int32_t pen_width, bool filled, int32_t row) {
    RowSpans spans{};
    double cx = (static_cast<double>(box.left) + static_cast<double>(box.right)) / 2;
    double cy = (static_cast<double>(box.top) + static_cast<double>(box.bottom)) / 2;
    double a = (static_cast<double>(box.right) - static_cast<double>(box.left)) / 2;
    double b = (static_cast<double>(box.bottom) - static_cast<double>(box.top)) / 2;
    int64_t outer_first, outer_last;
    if (filled) {
        if (ellipse_span(cx, cy, a, b, row, &outer_first, &outer_last)) add_span(&spans, outer_first, outer_last);
        return spans;
    }
    // The pen is centred on the curve through the outermost pixel centres.
    double half_pen = pen_width / 2.0;
    if (!ellipse_span(cx, cy, a - 0.5 + half_pen, b - 0.5 + half_pen, row, &outer_first, &outer_last)) {
        return spans;
    }
    int64_t inner_first, inner_last;
    if (ellipse_span(cx, cy, a - 0.5 - half_pen, b - 0.5 - half_pen, row, &inner_first, &inner_last)) {
        add_span(&spans, outer_first, inner_first - 1);
        add_span(&spans, inner_last + 1, outer_last);
    } else {
        add_span(&spans, outer_first, outer_last);
    }
    return spans;
}

int64_t text_line_top(int32_t origin_y, int32_t y, int64_t line, int32_t line_height) {
    return int64_t{origin_y} - y + (line - 1) * line_height;
}

bool text_line_may_show(int64_t left, int64_t top, int32_t line_height, int32_t overhang, int64_t width) {
    if (left - overhang >= KORVA_CANVAS_WIDTH || top >= KORVA_CANVAS_HEIGHT || top + line_height <= 0) return false;
    return width < 0 || left + width + line_height > 0;
}
