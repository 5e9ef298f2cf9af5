// A click on the hero under control, and the hero's leaving through a doorway.
#ifndef KORVA_ROOM_HERO_MOVES_H
#define KORVA_ROOM_HERO_MOVES_H

#include <stdint.h>

#include "korva/korva.h"

// Moves the hero to (x, y); a point inside a doorway also makes the hero leave through it.
void move_hero(int32_t x, int32_t y, const CharacterRecord& hero, Point* position);

// Hands the next wait a KORVA_LEAVE for this hero and takes the hero out of control.
void leave_room(CharacterRecord hero, int32_t doorway);

#endif
