// Exact canvas pixels of lines, triangle interiors and rectangle outlines, in 128-bit
// integer arithmetic so that no coordinate of 32 bits (and no transform of one) can overflow.
#include "korva/draw/exact_pixels.h"

typedef __int128 Wide128;

static int64_t abs64(int64_t v) {
    return v < 0 ? -v : v;
}

// Floor and ceiling of num / den for den > 0.
static Wide128 floor_div(Wide128 num, Wide128 den) {
    Wide128 q = num / den;
    return (num % den != 0 && num < 0) ? q - 1 : q;
}
static Wide128 ceil_div(Wide128 num, Wide128 den) {
    Wide128 q = num / den;
    return (num % den != 0 && num > 0) ? q + 1 : q;
}

// Appends one pixel to the runs, extending the last run when the pixel continues it.
static void add_pixel(PixelRun runs[MAX_LINE_RUNS], int32_t* count, int32_t x, int32_t y, bool vertical) {
    if (*count > 0) {
        PixelRun& last = runs[*count - 1];
        if (!vertical && last.y == y && (x == last.x - 1 || x == last.x + last.length)) {
            if (x < last.x) last.x = x;
            ++last.length;
            return;
        }
        if (vertical && last.x == x && (y == last.y - 1 || y == last.y + last.length)) {
            if (y < last.y) last.y = y;
            ++last.length;
            return;
        }
    }
    if (*count >= MAX_LINE_RUNS) return;  // cannot happen: one run per column or row at most
    runs[(*count)++] = {x, y, 1, vertical ? 1 : 0};
}

int32_t line_canvas_runs(WidePoint from, WidePoint to, PixelRun runs[MAX_LINE_RUNS]) {
    const int64_t dx = to.x - from.x, dy = to.y - from.y;
    const bool x_major = abs64(dx) >= abs64(dy);
    const int64_t n = x_major ? abs64(dx) : abs64(dy);  // steps, one per pixel
    const int64_t m = x_major ? abs64(dy) : abs64(dx);
    const int64_t major_sign = (x_major ? dx : dy) < 0 ? -1 : 1;
    const int64_t minor_sign = (x_major ? dy : dx) < 0 ? -1 : 1;
    const int64_t major_start = x_major ? from.x : from.y;
    const int64_t minor_start = x_major ? from.y : from.x;
    const int64_t major_size = x_major ? KORVA_CANVAS_WIDTH : KORVA_CANVAS_HEIGHT;
    const int64_t minor_size = x_major ? KORVA_CANVAS_HEIGHT : KORVA_CANVAS_WIDTH;
    // A tie between two pixels goes to the smaller coordinate: toward the start when the
    // minor coordinate grows, away from it when it shrinks.
    const int64_t tie = minor_sign > 0 ? 1 : 0;

    int32_t count = 0;
    if (n == 0) return 0;
    // Only the steps whose major coordinate lies on the canvas.
    int64_t first = major_sign > 0 ? -major_start : major_start - (major_size - 1);
    int64_t last = major_sign > 0 ? major_size - 1 - major_start : major_start;
    if (first < 0) first = 0;
    if (last > n - 1) last = n - 1;
    for (int64_t i = first; i <= last; ++i) {
        Wide128 q = (Wide128{2} * i * m + n - tie) / (Wide128{2} * n);
        Wide128 minor = minor_start + minor_sign * q;
        if (minor < 0 || minor >= minor_size) continue;
        int32_t major = static_cast<int32_t>(major_start + major_sign * i);
        int32_t other = static_cast<int32_t>(minor);
        if (x_major) {
            add_pixel(runs, &count, major, other, false);
        } else {
            add_pixel(runs, &count, other, major, true);
        }
    }
    return count;
}

bool triangle_row_interior(const WidePoint c[3], int32_t row, int32_t* first, int32_t* last) {
    Wide128 area = Wide128{c[1].x - c[0].x} * (c[2].y - c[0].y) - Wide128{c[1].y - c[0].y} * (c[2].x - c[0].x);
    if (area == 0) return false;
    const int64_t orientation = area > 0 ? 1 : -1;
    Wide128 low = 0, high = KORVA_CANVAS_WIDTH - 1;
    for (int32_t e = 0; e < 3; ++e) {
        const WidePoint& a = c[e];
        const WidePoint& b = c[(e + 1) % 3];
        // The point (x, row) is strictly on the inner side of edge a-b when k * x + r > 0.
        Wide128 k = -orientation * Wide128{b.y - a.y};
        Wide128 r = orientation * (Wide128{b.x - a.x} * (row - a.y) + Wide128{b.y - a.y} * a.x);
        if (k == 0) {
            if (r <= 0) return false;
        } else if (k > 0) {
            Wide128 bound = floor_div(-r, k) + 1;
            if (bound > low) low = bound;
        } else {
            Wide128 bound = ceil_div(r, -k) - 1;
            if (bound < high) high = bound;
        }
    }
    if (low > high) return false;
    *first = static_cast<int32_t>(low);
    *last = static_cast<int32_t>(high);
    return true;
}

// Cuts an inclusive box to the canvas; false when nothing is left.
static bool cut_to_canvas(int64_t left, int64_t top, int64_t right, int64_t bottom, CanvasRect* out) {
    if (left < 0) left = 0;
    if (top < 0) top = 0;
    if (right > KORVA_CANVAS_WIDTH - 1) right = KORVA_CANVAS_WIDTH - 1;
    if (bottom > KORVA_CANVAS_HEIGHT - 1) bottom = KORVA_CANVAS_HEIGHT - 1;
    if (left > right || top > bottom) return false;
    *out = {static_cast<int32_t>(left), static_cast<int32_t>(top), static_cast<int32_t>(right),
            static_cast<int32_t>(bottom)};
    return true;
}

bool box_on_canvas(const WideBox& box, CanvasRect* out) {
    return cut_to_canvas(box.left, box.top, box.right - 1, box.bottom - 1, out);
}

int32_t rectangle_outline_pieces(const WideBox& box, int32_t width, CanvasRect pieces[4]) {
    const int64_t before = width / 2, after = (width - 1) / 2;
    const int64_t outer_left = box.left - before, outer_top = box.top - before;
    const int64_t outer_right = box.right - 1 + after, outer_bottom = box.bottom - 1 + after;
    const int64_t hole_left = box.left + after + 1, hole_top = box.top + after + 1;
    const int64_t hole_right = box.right - 2 - before, hole_bottom = box.bottom - 2 - before;
    int32_t n = 0;
    if (hole_left > hole_right || hole_top > hole_bottom) {
        n += cut_to_canvas(outer_left, outer_top, outer_right, outer_bottom, &pieces[n]);
        return n;
    }
    n += cut_to_canvas(outer_left, outer_top, outer_right, hole_top - 1, &pieces[n]);
    n += cut_to_canvas(outer_left, hole_bottom + 1, outer_right, outer_bottom, &pieces[n]);
    n += cut_to_canvas(outer_left, hole_top, hole_left - 1, hole_bottom, &pieces[n]);
    n += cut_to_canvas(hole_right + 1, hole_top, outer_right, hole_bottom, &pieces[n]);
    return n;
}
