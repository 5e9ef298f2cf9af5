// The room application: its event loop over the roster, and the drawing of the scene.
// Only room.exe holds this file; what the loop does per event lives in room_events.cpp.
#include "korva/korva.h"
#include "room/doorways.h"
#include "room/room_events.h"
#include "room/roster.h"

static constexpr int32_t NAME_POINT_SIZE = 10;

// The doorways in the order in which they are drawn.
static const int32_t DRAW_ORDER[4] = {NORTH, EAST, SOUTH, WEST};

void draw_doorway(int32_t region) {
    Point centre;
    int32_t colour;
    Point corners[4];
    doorway_geometry(region, &centre, &colour, corners);
    KORVA_draw_rectangle(colour, corners[0], corners[2], 0);
}

void draw_room(const CharacterRecord* roster, const Point* positions, int32_t hero_count) {
    KORVA_clear();
    for (int32_t region : DRAW_ORDER) draw_doorway(region);
    // The name is text, never a format: a '%' in it must not read arguments that are not there.
    for (int32_t i = 0; i < hero_count; ++i)
        KORVA_printf_at(KORVA_BLACK, positions[i], NAME_POINT_SIZE, "%s", roster[i].name);
}

int room_main() {
    Roster room;
    room.hero_count = 0;
    bool done = false;

    KORVA_open();
    KORVA_logging(0);
    KORVA_animate(ANIMATE_RUN);
    draw_room(room.roster, room.positions, room.hero_count);

    while (!done) {
        int32_t x = 0, y = 0, region = -1;
        char key = 0;
        CharacterRecord hero{};
        const int32_t kind = KORVA_wait_event(&x, &y, &key, &region, &hero);
        if (apply_room_event(&room, kind, x, y, region, hero)) done = true;
        draw_room(room.roster, room.positions, room.hero_count);
    }

    KORVA_close();
    return 0;
}
