// The roster logic: lookup, entering and leaving. Platform-free.
#include "room/roster.h"

#include "room/doorways.h"

int find_hero(const CharacterRecord* roster, int32_t count, int32_t id) {
    if (id == HERO_NOBODY_ID) return -1;
    for (int32_t i = 0; i < count; ++i)
        if (roster[i].id == id) return i;
    return -1;
}

static bool is_direction(int32_t region) {
    return region == NORTH || region == EAST || region == SOUTH || region == WEST;
}

int roster_enter(Roster* r, const CharacterRecord& hero, int32_t region) {
    if (r->hero_count >= ROSTER_CAPACITY) return 0;
    Point position = {0, 0};
    // Only a real direction reaches the doorway table; anything else enters at the centre.
    if (is_direction(region)) {
        int32_t colour;
        Point corners[4];
        doorway_geometry(region, &position, &colour, corners);
    }
    r->roster[r->hero_count] = hero;
    r->positions[r->hero_count] = position;
    r->hero_count += 1;
    return 1;
}

int roster_leave(Roster* r, int32_t id) {
    const int found = find_hero(r->roster, r->hero_count, id);
    if (found < 0) return 0;
    r->hero_count -= 1;
    for (int32_t i = found; i < r->hero_count; ++i) {
        r->roster[i] = r->roster[i + 1];
        r->positions[i] = r->positions[i + 1];
    }
    return 1;
}
