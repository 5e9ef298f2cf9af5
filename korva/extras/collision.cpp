// Points, rectangles and circles meeting, pixel by pixel as they are painted. Discs are
// compared in 64-bit integers; only the choice of the rows worth looking at uses doubles.
#include "korva/extras/collision.h"

#include <math.h>

static int64_t min64(int64_t a, int64_t b) { return a < b ? a : b; }
static int64_t max64(int64_t a, int64_t b) { return a > b ? a : b; }

bool point_in_box(Point p, Point corner1, Point corner2) {
    return p.x >= min64(corner1.x, corner2.x) && p.x <= max64(corner1.x, corner2.x) &&
           p.y >= min64(corner1.y, corner2.y) && p.y <= max64(corner1.y, corner2.y);
}

bool boxes_overlap(Point a1, Point a2, Point b1, Point b2) {
    return max64(min64(a1.x, a2.x), min64(b1.x, b2.x)) <= min64(max64(a1.x, a2.x), max64(b1.x, b2.x)) &&
           max64(min64(a1.y, a2.y), min64(b1.y, b2.y)) <= min64(max64(a1.y, a2.y), max64(b1.y, b2.y));
}

// r * r + r: the squared reach of a disc's pixels, below 2^63 for every 32-bit radius.
static int64_t reach_squared(int32_t radius) {
    return static_cast<int64_t>(radius) * radius + radius;
}

bool point_in_disc(Point p, Point centre, int32_t radius) {
    if (radius < 0) return false;
    int64_t dx = static_cast<int64_t>(p.x) - centre.x;
    int64_t dy = static_cast<int64_t>(p.y) - centre.y;
    // Beyond r + 1 on either axis the square alone exceeds the reach; within it each square is
    // at most 2^62, and their sum fits unsigned.
    if (dx > radius + 1LL || dx < -1LL - radius || dy > radius + 1LL || dy < -1LL - radius) return false;
    uint64_t sum = static_cast<uint64_t>(dx * dx) + static_cast<uint64_t>(dy * dy);
    return sum <= static_cast<uint64_t>(reach_squared(radius));
}

bool disc_meets_box(Point centre, int32_t radius, Point corner1, Point corner2) {
    // The box's pixel nearest the centre's is the centre clamped to the box; the disc is round
    // about its centre, so it holds a pixel of the box exactly when it holds that one.
    Point nearest{static_cast<int32_t>(max64(min64(corner1.x, corner2.x), min64(centre.x, max64(corner1.x, corner2.x)))),
                  static_cast<int32_t>(max64(min64(corner1.y, corner2.y), min64(centre.y, max64(corner1.y, corner2.y))))};
    return point_in_disc(nearest, centre, radius);
}

// The largest w with w * w <= n (n >= 0).
static int64_t integer_sqrt(int64_t n) {
    int64_t w = static_cast<int64_t>(sqrt(static_cast<double>(n)));
    while (w > 0 && w * w > n) --w;
    while ((w + 1) * (w + 1) <= n) ++w;
    return w;
}

// The columns a disc covers in one row; false when it covers none there.
static bool disc_row(Point centre, int32_t radius, int64_t row, int64_t* first, int64_t* last) {
    int64_t dy = row - centre.y;
    if (dy > radius || dy < -static_cast<int64_t>(radius)) return false;
    int64_t half = integer_sqrt(reach_squared(radius) - dy * dy);
    *first = centre.x - half;
    *last = centre.x + half;
    return true;
}

bool discs_overlap(Point c1, int32_t r1, Point c2, int32_t r2) {
    if (r1 < 0 || r2 < 0) return false;
    // Either centre's pixel is covered by the other disc: they share it.
    if (point_in_disc(c1, c2, r2) || point_in_disc(c2, c1, r1)) return true;
    const double reach1 = sqrt(static_cast<double>(reach_squared(r1)));
    const double reach2 = sqrt(static_cast<double>(reach_squared(r2)));
    const double dx = static_cast<double>(c2.x) - c1.x;
    const double dy = static_cast<double>(c2.y) - c1.y;
    const double d = sqrt(dx * dx + dy * dy);
    // Farther apart than their reaches (with room for rounding): no pixel centre lies in both.
    if (d > reach1 + reach2 + 1) return false;
    // A lens that thick holds a disc 1.5 across, and every such disc holds a pixel centre.
    if (reach1 + reach2 - d >= 1.5) return true;
    // Neither centre lies in the other disc, so the shared part is a thin lens across the line of
    // centres. Its two arcs end where the circles cross, and neither bulges farther from that
    // chord than the lens is thick, so the rows worth looking at are the chord's, widened by
    // the thickness and a little for rounding.
    double along = (d * d + reach1 * reach1 - reach2 * reach2) / (2 * d);
    double half_chord = sqrt(fmax(0.0, reach1 * reach1 - along * along));
    double mid_y = c1.y + along * dy / d;
    double spread = half_chord * fabs(dx) / d;
    double thickness = fmax(0.0, reach1 + reach2 - d);
    int64_t top = static_cast<int64_t>(floor(mid_y - spread - thickness)) - 2;
    int64_t bottom = static_cast<int64_t>(ceil(mid_y + spread + thickness)) + 2;
    top = max64(top, max64(static_cast<int64_t>(c1.y) - r1, static_cast<int64_t>(c2.y) - r2));
    bottom = min64(bottom, min64(static_cast<int64_t>(c1.y) + r1, static_cast<int64_t>(c2.y) + r2));
    for (int64_t row = top; row <= bottom; ++row) {
        int64_t first1, last1, first2, last2;
        if (!disc_row(c1, r1, row, &first1, &last1) || !disc_row(c2, r2, row, &first2, &last2)) continue;
        if (max64(first1, first2) <= min64(last1, last2)) return true;
    }
    return false;
}
