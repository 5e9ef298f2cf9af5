// The room loop's action on each event kind, over the roster that room_main keeps.
#include "room/room_events.h"

#include "room/hero_moves.h"

int apply_room_event(Roster* r, int32_t kind, int32_t x, int32_t y, int32_t region,
                     const CharacterRecord& hero) {
    switch (kind) {
        case KORVA_MOUSE: {
            const int found = find_hero(r->roster, r->hero_count, hero.id);
            if (found != -1) move_hero(x, y, r->roster[found], &r->positions[found]);
            return 0;
        }
        case KORVA_EXIT:
            return 1;
        case KORVA_ENTER:
            // The menu's Enters commands never gray, so a full room must refuse, not overrun.
            if (!roster_enter(r, hero, region))
                KORVA_printf("The room is full (%d heroes): %.30s stays outside\n", ROSTER_CAPACITY,
                             hero.name);
            return 0;
        case KORVA_LEAVE:
            roster_leave(r, hero.id);
            return 0;
        default:
            return 0;
    }
}
