// move_hero and leave_room: a click on the hero under control, and the synthetic LEAVE
// that a click inside a doorway hands to the next event wait.
#include "room/hero_moves.h"

#include <string.h>

#include "korva/base/heroes.h"
#include "korva/base/state.h"
#include "room/doorways.h"

// Copies a field that may come without its terminator, so the event's copy always has one.
static void copy_text(char (&destination)[30], const char (&source)[30]) {
    const size_t n = strnlen(source, sizeof source - 1);
    memcpy(destination, source, n);
    destination[n] = '\0';
}

void move_hero(int32_t x, int32_t y, const CharacterRecord& hero, Point* position) {
    const int doorway = doorway_at(x, y);
    if (doorway != -1) leave_room(hero, doorway);
    *position = {x, y};
}

void leave_room(CharacterRecord hero, int32_t doorway) {
    LibraryState& s = korva_state;
    s.injected_event_pending = 1;

    // Any other id changes no flag and no menu item.
    if (const HeroIdentity* identity = hero_by_id(hero.id)) {
        s.*HERO_CONTROL_FLAGS[identity - HEROES] = 0;
        EnableMenuItem(s.run_menu, static_cast<UINT>(identity->control_command), MF_GRAYED);
        CheckMenuItem(s.run_menu, static_cast<UINT>(identity->control_command), MF_UNCHECKED);
    }

    s.event.region = doorway;
    s.event_kind = KORVA_LEAVE;
    copy_text(s.event.hero.name, hero.name);
    copy_text(s.event.hero.item, hero.item);
    s.event.hero.id = hero.id;
}
