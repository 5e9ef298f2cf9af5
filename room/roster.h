// The roster of the heroes in the room: who entered, in order, and where each stands.
// The roster logic is platform-free; apply_room_event (room_events.cpp) drives it from events.
#ifndef KORVA_ROOM_ROSTER_H
#define KORVA_ROOM_ROSTER_H

#include <stdint.h>

#include "korva/korva.h"

constexpr int32_t ROSTER_CAPACITY = 50;

struct Roster {
    CharacterRecord roster[ROSTER_CAPACITY];  // whole copies of the entering heroes, in entry order
    Point positions[ROSTER_CAPACITY];         // positions[i] is where roster[i] stands
    int32_t hero_count;                       // entries 0 .. hero_count - 1 are in use
};

// Index of the first of entries 0 .. count - 1 whose id is id; -1 when none does, or id is 0.
int find_hero(const CharacterRecord* roster, int32_t count, int32_t id);

// Appends the hero at the centre of the room (region -1) or of the doorway region.
// Returns 0, changing nothing, when the roster is already full.
int roster_enter(Roster* r, const CharacterRecord& hero, int32_t region);

// Removes the first entry with this id, keeping the order of the others. Returns 0 when
// there is none.
int roster_leave(Roster* r, int32_t id);

#endif
