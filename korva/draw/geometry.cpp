// Overflow-safe transform, clipping to the device limit, and the rows of very large ellipses.
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

bool oval_for_gdi(const WideBox& box, int32_t pen_width) {
    if (!box_within(box, OVAL_LIMIT)) return false;
    return pen_width <= 1 || (pen_width <= WIDE_OVAL_PEN_LIMIT && box.right - box.left <= WIDE_OVAL_SIDE_LIMIT &&
                              box.bottom - box.top <= WIDE_OVAL_SIDE_LIMIT);
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

static int32_t round_to_device(double v) {
    return clamp_to_device(llround(v));
}

// Liang-Barsky: narrows [t0, t1] to the part of from + t * (to - from) inside the limit.
static bool clip_edge(double p, double q, double* t0, double* t1) {
    if (p == 0) return q >= 0;
    double t = q / p;
    if (p < 0) {
        if (t > *t1) return false;
        if (t > *t0) *t0 = t;
    } else {
        if (t < *t0) return false;
        if (t < *t1) *t1 = t;
    }
    return true;
}

bool clip_segment(WidePoint from, WidePoint to, DeviceSegment* out) {
    const double limit = static_cast<double>(DEVICE_LIMIT);
    double x0 = static_cast<double>(from.x), y0 = static_cast<double>(from.y);
    double dx = static_cast<double>(to.x - from.x), dy = static_cast<double>(to.y - from.y);
    double t0 = 0, t1 = 1;
    if (!clip_edge(-dx, x0 + limit, &t0, &t1) || !clip_edge(dx, limit - x0, &t0, &t1) ||
        !clip_edge(-dy, y0 + limit, &t0, &t1) || !clip_edge(dy, limit - y0, &t0, &t1)) {
        return false;
    }
    out->from = t0 == 0 ? Point{clamp_to_device(from.x), clamp_to_device(from.y)}
                        : Point{round_to_device(x0 + t0 * dx), round_to_device(y0 + t0 * dy)};
    out->to = t1 == 1 ? Point{clamp_to_device(to.x), clamp_to_device(to.y)}
                      : Point{round_to_device(x0 + t1 * dx), round_to_device(y0 + t1 * dy)};
    return true;
}

struct RealPoint {
    double x;
    double y;
};

// One Sutherland-Hodgman pass: keeps the part of the polygon where axis * sign <= limit.
static int32_t clip_polygon_side(const RealPoint* in, int32_t count, bool vertical_axis, double sign,
                                 RealPoint* out) {
    const double limit = static_cast<double>(DEVICE_LIMIT);
    int32_t n = 0;
    for (int32_t i = 0; i < count; ++i) {
        RealPoint a = in[i], b = in[(i + 1) % count];
        double da = (vertical_axis ? a.y : a.x) * sign - limit;
        double db = (vertical_axis ? b.y : b.x) * sign - limit;
        if (da <= 0) out[n++] = a;
        if ((da < 0 && db > 0) || (da > 0 && db < 0)) {
            double t = da / (da - db);
            out[n++] = {a.x + t * (b.x - a.x), a.y + t * (b.y - a.y)};
        }
    }
    return n;
}

int32_t clip_triangle(const WidePoint corners[3], Point out[MAX_CLIPPED_CORNERS]) {
    // Each of the four passes adds at most one corner: 3 + 4 = 7 fit in the buffers.
    RealPoint a[MAX_CLIPPED_CORNERS], b[MAX_CLIPPED_CORNERS];
    for (int32_t i = 0; i < 3; ++i) {
        a[i] = {static_cast<double>(corners[i].x), static_cast<double>(corners[i].y)};
    }
    int32_t n = clip_polygon_side(a, 3, false, 1, b);
    n = clip_polygon_side(b, n, false, -1, a);
    n = clip_polygon_side(a, n, true, 1, b);
    n = clip_polygon_side(b, n, true, -1, a);
    for (int32_t i = 0; i < n; ++i) out[i] = {round_to_device(a[i].x), round_to_device(a[i].y)};
    return n;
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

bool text_line_may_show(int64_t left, int64_t top, int32_t line_height, int32_t overhang) {
    return left - overhang < KORVA_CANVAS_WIDTH && left > -TEXT_REACH && top < KORVA_CANVAS_HEIGHT &&
           top + line_height > 0;
}

// Narrows [*low, *high] to the x where k * x + r lies within [min, max].
static void narrow_linear(double k, double r, double min, double max, double* low, double* high) {
    if (k == 0) {
        if (r < min || r > max) {
            *low = 1;
            *high = 0;
        }
        return;
    }
    double a = (min - r) / k, b = (max - r) / k;
    if (a > b) {
        double t = a;
        a = b;
        b = t;
    }
    *low = fmax(*low, a);
    *high = fmin(*high, b);
}

bool stroke_row_span(WidePoint a, WidePoint b, int32_t pen_width, int32_t row, int32_t* first, int32_t* last) {
    const double radius = pen_width / 2.0;
    const double y = row;
    double low = INFINITY, high = -INFINITY;
    // The round ends.
    const WidePoint ends[2] = {a, b};
    for (const WidePoint& end : ends) {
        double dy = y - static_cast<double>(end.y);
        if (fabs(dy) > radius) continue;
        double half = sqrt(radius * radius - dy * dy);
        low = fmin(low, static_cast<double>(end.x) - half);
        high = fmax(high, static_cast<double>(end.x) + half);
    }
    // The band along the segment: 0 <= (p - a).d <= |d|^2 and |d x (p - a)| <= radius |d|.
    const double dx = static_cast<double>(b.x - a.x), dy = static_cast<double>(b.y - a.y);
    const double length_squared = dx * dx + dy * dy;
    if (length_squared > 0) {
        const double ay = y - static_cast<double>(a.y), ax = static_cast<double>(a.x);
        double band_low = -INFINITY, band_high = INFINITY;
        narrow_linear(dx, dy * ay - dx * ax, 0, length_squared, &band_low, &band_high);
        const double reach = radius * sqrt(length_squared);
        narrow_linear(-dy, dx * ay + dy * ax, -reach, reach, &band_low, &band_high);
        if (band_low <= band_high) {
            low = fmin(low, band_low);
            high = fmax(high, band_high);
        }
    }
    double lo = fmax(ceil(low), 0), hi = fmin(floor(high), KORVA_CANVAS_WIDTH - 1);
    if (!(lo <= hi)) return false;
    *first = static_cast<int32_t>(lo);
    *last = static_cast<int32_t>(hi);
    return true;
}
