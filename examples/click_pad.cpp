// Click pad: asks for a title, then puts a dot wherever you click, in turn red, blue and green.
// Quit with Ctrl+Q, "&Quit" in the "&Run" menu, or the window's close box; the drawing is then
// saved as click_pad.bmp.
#include <korva/korva.h>

#include <string.h>

static const int32_t MAX_DOTS = 500;
static const int32_t DOT_RADIUS = 6;
static const int32_t DOT_COLORS[] = {KORVA_RED, KORVA_BLUE, KORVA_GREEN};
static const int32_t DOT_COLOR_COUNT = sizeof DOT_COLORS / sizeof DOT_COLORS[0];

static void draw_pad(const char* title, const Point* dots, int32_t count) {
    KORVA_clear();
    // KORVA_draw_text, not KORVA_printf_at: a title may hold a '%', which printf would read.
    KORVA_draw_text(KORVA_NAVY_BLUE, -280, 215, 20, title);
    KORVA_printf_at(KORVA_GRAY_50, -280, -225, 12, "%d dots. Click anywhere.", count);
    for (int32_t i = 0; i < count; i++) {
        KORVA_draw_circle(DOT_COLORS[i % DOT_COLOR_COUNT], dots[i], DOT_RADIUS);
    }
}

int room_main() {
    KORVA_open();
    KORVA_logging(0);  // no console line for every drawing call

    // KORVA_gets waits until the user presses Okay (or Enter) and may write 256 bytes.
    char title[256];
    if (KORVA_gets("Give your drawing a title:", title) != 1 || title[0] == '\0') {
        strcpy(title, "Untitled");
    }

    Point dots[MAX_DOTS];
    int32_t count = 0;
    draw_pad(title, dots, count);

    for (;;) {
        int32_t x, y, region;
        char key;
        CharacterRecord hero;
        int32_t kind = KORVA_wait_event(&x, &y, &key, &region, &hero);
        if (kind == KORVA_EXIT) break;
        if (kind == KORVA_MOUSE) {
            if (count < MAX_DOTS) {
                dots[count] = Point{x, y};
                count++;
                KORVA_printf("dot %d at (%d, %d)\n", count, x, y);
            } else {
                KORVA_printf("The pad is full: %d dots.\n", MAX_DOTS);
            }
        }
        draw_pad(title, dots, count);
    }

    // Keep the drawing: the whole canvas as a picture beside the program.
    if (KORVA_save_canvas("click_pad.bmp") == 1) KORVA_printf("Your drawing is saved as click_pad.bmp\n");
    KORVA_close();
    return 0;
}
