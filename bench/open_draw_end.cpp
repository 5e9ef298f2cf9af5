// The smallest whole run, for the runner's figures: opens the library, draws a few shapes, and
// ends through its own code.
#include "korva/korva.h"

int room_main() {
    KORVA_open();
    KORVA_draw_rectangle(KORVA_BLUE, -200, 150, 200, -150, 0);
    KORVA_draw_circle(KORVA_YELLOW, 0, 0, 100);
    KORVA_draw_line(KORVA_RED, -250, -200, 250, 200, 3);
    KORVA_close();
    return 0;
}
