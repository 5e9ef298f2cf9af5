// A KORVA program defines room_main (not main): the library's entry routine calls it.
#include <korva/korva.h>

int room_main() {
    KORVA_open();
    KORVA_clear();
    KORVA_draw_circle(KORVA_RED, 0, 0, 50);          // (0, 0) is the middle, y goes up
    int32_t kind, x, y, region; char key; CharacterRecord hero;
    while ((kind = KORVA_wait_event(&x, &y, &key, &region, &hero)) != KORVA_EXIT)
        if (kind == KORVA_MOUSE) KORVA_draw_circle(KORVA_BLUE, x, y, 5);
    KORVA_close();
    return 0;
}
