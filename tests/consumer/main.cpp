// The smallest whole KORVA program, built from the installed package: it opens, draws, takes a
// few events and quits by itself. Its exit code says whether every call answered as documented.
#include <korva/korva.h>

int room_main() {
    int faults = 0;
    if (KORVA_open() != 1) faults++;
    KORVA_logging(0);
    KORVA_clear();
    KORVA_draw_rectangle(KORVA_BLUE, -50, 50, 50, -50, 0);
    KORVA_draw_circle(KORVA_YELLOW, 0, 0, 20);
    if (KORVA_printf_at(KORVA_BLACK, -60, 70, 12, "consumer %d", 1) != 10) faults++;
    KORVA_flush();

    // Periodic events keep coming while animation runs; after two of them ask to quit, and the
    // next wait reports KORVA_EXIT.
    if (KORVA_animate(ANIMATE_RUN) != 1) faults++;
    int periodic = 0;
    for (;;) {
        int32_t x, y, region;
        char key;
        CharacterRecord hero;
        int32_t kind = KORVA_wait_event(&x, &y, &key, &region, &hero);
        if (kind == KORVA_EXIT) break;
        if (kind == KORVA_NONE) faults++;
        if (kind == KORVA_PERIODIC && ++periodic == 2) KORVA_animate(ANIMATE_QUIT);
    }
    if (periodic < 2) faults++;
    KORVA_close();
    return faults;
}
