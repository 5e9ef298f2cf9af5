// The four doorways of the room and the hit tests of a point against them. Platform-free.
// The one assertion of the program lives here, and it stays active in release builds too.
#undef NDEBUG
#include <assert.h>

#include "room/doorways.h"

#include <stdint.h>

static constexpr int32_t DOORWAY_HALF_SIDE = 20;

struct DoorwaySpec {
    Point centre;
    int32_t colour;
};

// Indexed by direction: NORTH, EAST, SOUTH, WEST.
static const DoorwaySpec DOORWAYS[4] = {
    {{60, 60}, KORVA_RED},
    {{60, -60}, KORVA_BLUE},
    {{-60, -60}, KORVA_GREEN},
    {{-60, 60}, KORVA_YELLOW},
};

// The order in which the hit test tries the doorways.
static const int32_t HIT_TEST_ORDER[4] = {SOUTH, NORTH, EAST, WEST};

void doorway_geometry(int32_t region, Point* centre, int32_t* colour, Point corners[4]) {
    assert(region == NORTH || region == SOUTH || region == EAST || region == WEST);
    // Should a build ever disable the assertion, a bad region still must not index the table.
    if (!(region == NORTH || region == SOUTH || region == EAST || region == WEST)) return;

    const DoorwaySpec& d = DOORWAYS[region];
    const int32_t cx = d.centre.x;
    const int32_t cy = d.centre.y;
    *centre = d.centre;
    *colour = d.colour;
    corners[0] = {cx - DOORWAY_HALF_SIDE, cy - DOORWAY_HALF_SIDE};
    corners[1] = {cx + DOORWAY_HALF_SIDE, cy - DOORWAY_HALF_SIDE};
    corners[2] = {cx + DOORWAY_HALF_SIDE, cy + DOORWAY_HALF_SIDE};
    corners[3] = {cx - DOORWAY_HALF_SIDE, cy + DOORWAY_HALF_SIDE};
}

// Each difference of two 32-bit values needs 33 bits, and each product 65, more than 64-bit
// arithmetic holds. A product's magnitude, though, is below 2^64, so it is kept exactly as a
// sign and an unsigned 64-bit magnitude; only standard integer arithmetic is used.
struct SignedMagnitude {
    bool negative;
    uint64_t magnitude;
};

static uint64_t magnitude_of(int64_t value) {
    // Unsigned negation is defined for every value, where signed negation is not.
    return value < 0 ? uint64_t(0) - uint64_t(value) : uint64_t(value);
}

static SignedMagnitude exact_product(int64_t a, int64_t b) {
    // |a|, |b| <= 2^32 - 1, so |a| * |b| <= 2^64 - 2^33 + 1 fits an unsigned 64-bit value.
    const uint64_t magnitude = magnitude_of(a) * magnitude_of(b);
    return {magnitude != 0 && ((a < 0) != (b < 0)), magnitude};
}

// p - q, saturated to the 32-bit range. For edge_side's products a sum of magnitudes stays
// below 2^64; should it ever leave 64 bits, it is far beyond that range and saturates too.
static int32_t saturated_difference(SignedMagnitude p, SignedMagnitude q) {
    q.negative = q.magnitude != 0 && !q.negative;
    SignedMagnitude d;
    if (p.negative == q.negative) {
        d.negative = p.negative;
        d.magnitude = p.magnitude + q.magnitude;
        if (d.magnitude < p.magnitude) d.magnitude = UINT64_MAX;
    } else if (p.magnitude >= q.magnitude) {
        d.negative = p.negative;
        d.magnitude = p.magnitude - q.magnitude;
    } else {
        d.negative = q.negative;
        d.magnitude = q.magnitude - p.magnitude;
    }
    if (d.negative) {
        const uint64_t lowest = uint64_t(INT32_MAX) + 1;  // |INT32_MIN|
        return d.magnitude >= lowest ? INT32_MIN : int32_t(-int64_t(d.magnitude));
    }
    return d.magnitude > uint64_t(INT32_MAX) ? INT32_MAX : int32_t(d.magnitude);
}

// The result is the exact value where it fits in 32 bits, otherwise INT32_MIN or INT32_MAX, so
// its sign is always right and it equals the plain 32-bit formula wherever that formula does
// not overflow.
int edge_side(int32_t x1, int32_t y1, int32_t x2, int32_t y2, int32_t px, int32_t py) {
    const SignedMagnitude left = exact_product(int64_t(px) - x2, int64_t(y1) - y2);
    const SignedMagnitude right = exact_product(int64_t(x1) - x2, int64_t(py) - y2);
    return saturated_difference(left, right);
}

// Winding number with half-open crossings: a vertex at the point's height counts as below
// it, so a horizontal edge never counts and a point on an edge's line is not counted by it.
int point_in_polygon(int32_t px, int32_t py, const Point* vertices, int32_t n) {
    if (vertices == nullptr || n <= 0) return 0;
    int64_t winding = 0;
    for (int32_t i = 0; i < n; ++i) {
        const Point& a = vertices[i];
        const Point& b = vertices[(i + 1) % n];
        if (a.y <= py) {
            if (b.y > py && edge_side(a.x, a.y, b.x, b.y, px, py) > 0) ++winding;
        } else {
            if (b.y <= py && edge_side(a.x, a.y, b.x, b.y, px, py) < 0) --winding;
        }
    }
    return winding != 0 ? 1 : 0;
}

int doorway_at(int32_t px, int32_t py) {
    for (int32_t region : HIT_TEST_ORDER) {
        Point centre;
        int32_t colour;
        Point corners[4];
        doorway_geometry(region, &centre, &colour, corners);
        if (point_in_polygon(px, py, corners, 4)) return region;
    }
    return -1;
}
