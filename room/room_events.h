// What one event does to the room: the roster update of the room loop, shared with the tests.
#ifndef KORVA_ROOM_ROOM_EVENTS_H
#define KORVA_ROOM_ROOM_EVENTS_H

#include <stdint.h>

#include "korva/korva.h"
#include "room/roster.h"

// Acts on an event as KORVA_wait_event returned it: ENTER appends, LEAVE removes the first
// entry of the hero, MOUSE moves the first entry of the hero. Returns 1 for KORVA_EXIT.
int apply_room_event(Roster* r, int32_t kind, int32_t x, int32_t y, int32_t region,
                     const CharacterRecord& hero);

#endif
