// Colour chart: KORVA's 24 named colours, each as a swatch with its index and its name.
// Quit with Ctrl+Q, "&Quit" in the "&Run" menu, or the window's close box.
#include <korva/korva.h>

// The colours' names, by index. The library writes the same names in its log lines.
static const char* const COLOR_NAMES[KORVA_COLOR_COUNT] = {
    "black",     "white",        "red",        "green",     "blue",         "yellow",
    "magenta",   "cyan",         "purple",     "navy blue", "dusty plum",   "ice blue",
    "turquoise", "orange",       "brown",      "pink",      "chalk",        "gold",
    "peach",     "forest green", "sea green",  "olive",     "50% gray",     "20% gray",
};

// Four columns of six; (0, 0) is the middle of the window and y grows upward.
static const int32_t COLUMNS = 4;
static const int32_t CELL_WIDTH = 145;
static const int32_t CELL_HEIGHT = 75;
static const int32_t SWATCH = 40;

static void draw_chart() {
    KORVA_clear();
    for (int32_t color = 0; color < KORVA_COLOR_COUNT; color++) {
        int32_t left = -290 + (color % COLUMNS) * CELL_WIDTH;
        int32_t top = 225 - (color / COLUMNS) * CELL_HEIGHT;
        // Width 0 fills the rectangle; a black outline on top keeps white and chalk visible.
        KORVA_draw_rectangle(color, left, top, left + SWATCH, top - SWATCH, 0);
        KORVA_draw_rectangle(KORVA_BLACK, left, top, left + SWATCH, top - SWATCH, 1);
        // "%s" rather than the name as the format: "50% gray" holds a '%'.
        KORVA_printf_at(KORVA_BLACK, left + SWATCH + 6, top - 20, 14, "%d\n%s", color,
                        COLOR_NAMES[color]);
    }
}

int room_main() {
    KORVA_open();
    KORVA_logging(0);  // no console line for every drawing call
    draw_chart();

    // The chart never changes, and the canvas keeps what was drawn on it, so the loop only
    // waits. The drawing reaches the window as the first messages are handled.
    int32_t x, y, region;
    char key;
    CharacterRecord hero;
    while (KORVA_wait_event(&x, &y, &key, &region, &hero) != KORVA_EXIT) {
    }

    KORVA_close();
    return 0;
}
