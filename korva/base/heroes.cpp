// The hero identity table. Platform-free.
#include "korva/base/heroes.h"

#include <string.h>

const HeroIdentity HEROES[HERO_COUNT] = {
    {"Besouru the Fighter", "Magic Medalion", HERO_BESOURU_ID, 10, 13, 16},
    {"Blazrack the Wizard", "Magical Staff", HERO_BLAZRACK_ID, 11, 14, 17},
    {"Mushi the Thief", "Ninja Sword", HERO_MUSHI_ID, 12, 15, 18},
};

const HeroIdentity HERO_NOBODY = {"Nobody", "", HERO_NOBODY_ID, 0, 0, 0};

const HeroIdentity* hero_by_id(int32_t id) {
    for (const HeroIdentity& h : HEROES)
        if (h.id == id) return &h;
    return nullptr;
}

static void copy_field(char* dst, size_t size, const char* src) {
    size_t n = strlen(src);
    if (n >= size) n = size - 1;
    memcpy(dst, src, n);
    dst[n] = '\0';
}

void set_character(CharacterRecord* record, const HeroIdentity& hero) {
    copy_field(record->name, sizeof record->name, hero.name);
    copy_field(record->item, sizeof record->item, hero.item);
    record->id = hero.id;
}
