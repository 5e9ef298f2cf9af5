// Paint: drag with the left button to draw, with the right button to erase. S saves the picture
// as paint.png, C clears it. The whole mouse (KORVA_mouse) gives the drags; a left press is the
// KORVA_MOUSE event it always is.
#include <korva/korva.h>

static void draw_help() {
    KORVA_draw_text(KORVA_GRAY_50, -285, 225, 14, "Left: draw   Right: erase   S: save paint.png   C: clear");
}

static void start_page() {
    KORVA_clear();
    draw_help();
}

int room_main() {
    KORVA_open();
    KORVA_logging(0);
    KORVA_mouse(KORVA_MOUSE_BUTTONS);  // right presses, releases and drags become events
    KORVA_keyboard(1);
    start_page();
    Point last{0, 0};
    int32_t kind, x, y, region;
    char key;
    CharacterRecord hero;
    while ((kind = KORVA_wait_event(&x, &y, &key, &region, &hero)) != KORVA_EXIT) {
        const Point here{x, y};
        if (kind == KORVA_MOUSE) {              // the left button went down: a dot to start with
            KORVA_draw_circle(KORVA_NAVY_BLUE, here, 3);
            last = here;
        } else if (kind == KORVA_BUTTON_DOWN && key == KORVA_BUTTON_RIGHT) {
            KORVA_draw_circle(KORVA_WHITE, here, 12);
            last = here;
        } else if (kind == KORVA_MOTION) {      // key holds the buttons held during the move
            if (key & KORVA_BUTTON_LEFT) {
                KORVA_draw_line(KORVA_NAVY_BLUE, last, here, 6);
            } else if (key & KORVA_BUTTON_RIGHT) {
                KORVA_draw_line(KORVA_WHITE, last, here, 24);
            }
            last = here;
        } else if (kind == KORVA_KBD && (key == 's' || key == 'S')) {
            if (KORVA_save_canvas("paint.png") == 1) KORVA_printf("Saved as paint.png\n");
        } else if (kind == KORVA_KBD && (key == 'c' || key == 'C')) {
            start_page();
        }
        draw_help();
    }
    KORVA_close();
    return 0;
}
