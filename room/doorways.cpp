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

// The cross product is computed exactly in 128 bits: each difference of two 32-bit values
// needs 33 bits and each product 65, which overflows even 64-bit arithmetic. The result is
// the exact value where it fits in 32 bits, otherwise INT32_MIN or INT32_MAX, so its sign is
// always right and it equals the plain 32-bit formula wherever that formula does not overflow.
int edge_side(int32_t x1, int32_t y1, int32_t x2, int32_t y2, int32_t px, int32_t py) {
    using Wide = __int128;
    const Wide side = (Wide(px) - x2) * (Wide(y1) - y2) - (Wide(x1) - x2) * (Wide(py) - y2);
    if (side > INT32_MAX) return INT32_MAX;
    if (side < INT32_MIN) return INT32_MIN;
    return static_cast<int>(side);
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
