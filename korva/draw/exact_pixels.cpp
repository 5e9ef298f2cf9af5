// Exact canvas pixels of lines, triangle interiors and rectangle outlines. Device coordinates
// need up to 34 bits, so their products need up to 68: those are kept as an unsigned 128-bit
// magnitude of two 64-bit halves, in standard C++ (no compiler extension), and every quotient
// that leaves here is saturated far outside the canvas, so nothing can overflow.
#include "korva/draw/exact_pixels.h"

#include <math.h>

static int64_t abs64(int64_t v) {
    return v < 0 ? -v : v;
}

static uint64_t magnitude_of(int64_t v) {
    return v < 0 ? 0 - static_cast<uint64_t>(v) : static_cast<uint64_t>(v);
}

struct U128 {
    uint64_t hi;
    uint64_t lo;
};

static U128 multiply(uint64_t a, uint64_t b) {
    const uint64_t a0 = a & 0xFFFFFFFFu, a1 = a >> 32, b0 = b & 0xFFFFFFFFu, b1 = b >> 32;
    const uint64_t p00 = a0 * b0, p01 = a0 * b1, p10 = a1 * b0, p11 = a1 * b1;
    const uint64_t middle = (p00 >> 32) + (p01 & 0xFFFFFFFFu) + (p10 & 0xFFFFFFFFu);
    return {p11 + (p01 >> 32) + (p10 >> 32) + (middle >> 32), (p00 & 0xFFFFFFFFu) | (middle << 32)};
}

static U128 add(U128 a, uint64_t b) {
    const uint64_t lo = a.lo + b;
    return {a.hi + (lo < a.lo ? 1 : 0), lo};
}

// n / d and its remainder, for n.hi < d (so the quotient fits in 64 bits): long division.
static uint64_t divide(U128 n, uint64_t d, uint64_t* remainder) {
    uint64_t r = n.hi, q = 0;
    for (int bit = 63; bit >= 0; --bit) {
        const bool carry = (r >> 63) != 0;  // r has 65 bits after the shift: it exceeds d
        r = (r << 1) | ((n.lo >> bit) & 1);
        q <<= 1;
        if (carry || r >= d) {
            r -= d;
            q |= 1;
        }
    }
    *remainder = r;
    return q;
}

// Quotients beyond this are far off the canvas; saturating there keeps later sums in range.
static constexpr int64_t QUOTIENT_LIMIT = int64_t{1} << 62;

// floor(p * q / d), or its ceiling, for d != 0, saturated to +/- QUOTIENT_LIMIT.
static int64_t product_quotient(int64_t p, int64_t q, int64_t d, bool ceiling) {
    const U128 product = multiply(magnitude_of(p), magnitude_of(q));
    const bool negative = (product.hi != 0 || product.lo != 0) && (((p < 0) != (q < 0)) != (d < 0));
    const uint64_t divisor = magnitude_of(d);
    if (product.hi >= divisor) return negative ? -QUOTIENT_LIMIT : QUOTIENT_LIMIT;
    uint64_t remainder = 0;
    const uint64_t quotient = divide(product, divisor, &remainder);
    if (quotient >= static_cast<uint64_t>(QUOTIENT_LIMIT)) return negative ? -QUOTIENT_LIMIT : QUOTIENT_LIMIT;
    int64_t value = negative ? -static_cast<int64_t>(quotient) : static_cast<int64_t>(quotient);
    if (remainder != 0) {
        if (!ceiling && negative) --value;
        if (ceiling && !negative) ++value;
    }
    return value;
}

// The sign of a * b - c * d.
static int compare_products(int64_t a, int64_t b, int64_t c, int64_t d) {
    const int sign_ab = (a == 0 || b == 0) ? 0 : ((a < 0) != (b < 0) ? -1 : 1);
    const int sign_cd = (c == 0 || d == 0) ? 0 : ((c < 0) != (d < 0) ? -1 : 1);
    if (sign_ab != sign_cd) return sign_ab > sign_cd ? 1 : -1;
    if (sign_ab == 0) return 0;
    const U128 ab = multiply(magnitude_of(a), magnitude_of(b));
    const U128 cd = multiply(magnitude_of(c), magnitude_of(d));
    const int magnitude_order = ab.hi != cd.hi ? (ab.hi > cd.hi ? 1 : -1) : (ab.lo != cd.lo ? (ab.lo > cd.lo ? 1 : -1) : 0);
    return sign_ab > 0 ? magnitude_order : -magnitude_order;
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
        // floor((2 i m + n - tie) / 2n): all terms are non-negative, and the quotient is at most i.
        uint64_t unused = 0;
        const U128 numerator = add(multiply(static_cast<uint64_t>(i), 2 * static_cast<uint64_t>(m)),
                                   static_cast<uint64_t>(n - tie));
        const int64_t q = static_cast<int64_t>(divide(numerator, 2 * static_cast<uint64_t>(n), &unused));
        const int64_t minor = minor_start + minor_sign * q;
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
    const int orientation = compare_products(c[1].x - c[0].x, c[2].y - c[0].y, c[1].y - c[0].y, c[2].x - c[0].x);
    if (orientation == 0) return false;
    int64_t low = 0, high = KORVA_CANVAS_WIDTH - 1;
    for (int32_t e = 0; e < 3; ++e) {
        const WidePoint& a = c[e];
        const WidePoint& b = c[(e + 1) % 3];
        const int64_t dx = b.x - a.x, dy = b.y - a.y;
        // (x, row) is strictly on the inner side of edge a-b when
        // orientation * (dx * (row - a.y) - dy * (x - a.x)) > 0: with dy != 0 that bounds x by
        // a.x + dx * (row - a.y) / dy, from below or above as the sign of orientation * dy says.
        if (dy == 0) {
            const int64_t rise = row - a.y;
            const int sign = (dx == 0 || rise == 0) ? 0 : ((dx < 0) != (rise < 0) ? -1 : 1);
            if (sign * orientation <= 0) return false;
        } else if ((orientation < 0) != (dy < 0)) {
            // orientation * dy < 0: x must lie above the edge's crossing.
            const int64_t bound = a.x + product_quotient(dx, row - a.y, dy, false) + 1;
            if (bound > low) low = bound;
        } else {
            const int64_t bound = a.x + product_quotient(dx, row - a.y, dy, true) - 1;
            if (bound < high) high = bound;
        }
    }
    if (low > high) return false;
    *first = static_cast<int32_t>(low);
    *last = static_cast<int32_t>(high);
    return true;
}

// GDI rounds a half-width to a whole pixel by adding one half and taking the floor.
static int64_t round_half_up(double v) {
    return static_cast<int64_t>(floor(v + 0.5));
}

StrokeBody stroke_body(WidePoint a, WidePoint b, int32_t width) {
    if (a.y > b.y) {
        const WidePoint t = a;
        a = b;
        b = t;
    }
    const int64_t dx = b.x - a.x, dy = b.y - a.y;
    if (dx == 0 || dy == 0) {
        const int64_t before = width / 2, after = width - width / 2;
        if (dy == 0) {
            const int64_t left = dx < 0 ? b.x : a.x, right = dx < 0 ? a.x : b.x;
            return {{{left, a.y - before}, {right, a.y - before}, {right, a.y + after}, {left, a.y + after}}};
        }
        return {{{a.x - before, a.y}, {a.x + after, a.y}, {a.x + after, b.y}, {a.x - before, b.y}}};
    }
    // The pen's width across the segment, as its extent along x and along y (in GDI's order of
    // operations, which decides the rounding); with a going down, the narrow half goes toward
    // smaller x and larger y, the wide half the other way, mirrored in y when going left.
    const double length = hypot(static_cast<double>(dx), static_cast<double>(dy));
    const double across_x = static_cast<double>(width) * static_cast<double>(dy) / length;
    const double across_y = static_cast<double>(width) * static_cast<double>(abs64(dx)) / length;
    const int64_t narrow_x = round_half_up(across_x / 2), wide_x = round_half_up((across_x + 1) / 2);
    int64_t narrow_y = round_half_up(across_y / 2), wide_y = round_half_up((across_y + 1) / 2);
    if (dx < 0) {
        narrow_y = -narrow_y;
        wide_y = -wide_y;
    }
    return {{{a.x - narrow_x, a.y + narrow_y},
             {a.x + wide_x, a.y - wide_y},
             {b.x + wide_x, b.y - wide_y},
             {b.x - narrow_x, b.y + narrow_y}}};
}

bool body_row_span(const StrokeBody& body, int32_t row, int32_t* first, int32_t* last) {
    int64_t crossings[4];
    int32_t count = 0;
    for (int32_t e = 0; e < 4; ++e) {
        WidePoint a = body.corners[e], b = body.corners[(e + 1) % 4];
        if (a.y == b.y) continue;
        if (a.y > b.y) {
            const WidePoint t = a;
            a = b;
            b = t;
        }
        // A row belongs to the edges that it meets at or below their top and above their bottom.
        if (row < a.y || row >= b.y) continue;
        crossings[count++] = a.x + product_quotient(b.x - a.x, row - a.y, b.y - a.y, true);
    }
    // The body is convex: a row meets its outline twice or not at all.
    if (count < 2) return false;
    int64_t low = crossings[0], high = crossings[0];
    for (int32_t i = 1; i < count; ++i) {
        if (crossings[i] < low) low = crossings[i];
        if (crossings[i] > high) high = crossings[i];
    }
    if (low < 0) low = 0;
    if (high > KORVA_CANVAS_WIDTH) high = KORVA_CANVAS_WIDTH;
    if (low >= high) return false;
    *first = static_cast<int32_t>(low);
    *last = static_cast<int32_t>(high - 1);
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
