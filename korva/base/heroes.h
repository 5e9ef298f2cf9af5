// The fixed hero identities that events carry, and their menu command ids.
// Platform-free.
#ifndef KORVA_BASE_HEROES_H
#define KORVA_BASE_HEROES_H

#include <stdint.h>

#include "korva/korva.h"

struct HeroIdentity {
    const char* name;
    const char* item;
    int32_t id;
    int32_t control_command;  // "&Control ..." item
    int32_t enters_command;   // "&... Enters" item
    int32_t leaves_command;   // "&... Leaves" item
};

// Besouru, Blazrack, Mushi, in the order of their command ids (10, 11, 12).
constexpr int32_t HERO_COUNT = 3;
extern const HeroIdentity HEROES[HERO_COUNT];
extern const HeroIdentity HERO_NOBODY;

// The hero with this id, or null.
const HeroIdentity* hero_by_id(int32_t id);

// Writes name, item (NUL-terminated, cut to fit) and id into a CharacterRecord.
void set_character(CharacterRecord* record, const HeroIdentity& hero);

#endif
