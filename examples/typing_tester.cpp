// Typing tester: type the sentence shown. Each right letter grows the green bar; a wrong one
// shows in red until Backspace takes it back. Enter or Escape starts over. The cursor blinks
// twice a second with a timed frame rate. Quit with Ctrl+Q.
#include <korva/korva.h>

static const char TARGET[] = "the quick brown fox jumps over the lazy dog";
static const int32_t TARGET_LENGTH = sizeof TARGET - 1;
static const int32_t MAX_TYPED = 80;
static const int32_t LEFT = -280;
static const int32_t BAR_PIXELS_PER_LETTER = 12;

struct Typing {
    char text[MAX_TYPED + 1];  // what has been typed, zero-terminated
    int32_t length;
    bool cursor_shown;
};

// How many letters from the start match the sentence.
static int32_t right_letters(const Typing& t) {
    int32_t n = 0;
    while (n < t.length && n < TARGET_LENGTH && t.text[n] == TARGET[n]) n++;
    return n;
}

// A typed character is added, Backspace takes the last one back, Enter and Escape start over.
static void take_key(Typing& t, char key) {
    if (key == KORVA_KEY_BACKSPACE) {
        if (t.length > 0) t.text[--t.length] = '\0';
    } else if (key == KORVA_KEY_ENTER || key == KORVA_KEY_ESCAPE) {
        t.length = 0;
        t.text[0] = '\0';
    } else if (key >= ' ' && key <= '~' && t.length < MAX_TYPED) {
        t.text[t.length++] = key;
        t.text[t.length] = '\0';
    }
    t.cursor_shown = true;  // the cursor shows at once after a key, as in any text box
}

static void draw_typing(const Typing& t) {
    KORVA_clear();
    KORVA_printf_at(KORVA_GRAY_50, LEFT, 200, 14, "Type this sentence:");
    KORVA_draw_text(KORVA_NAVY_BLUE, LEFT, 160, 18, TARGET);
    // KORVA_draw_text, not KORVA_printf_at: a typed '%' must show as itself.
    KORVA_draw_text(KORVA_BLACK, LEFT, 100, 18, t.text);
    if (t.cursor_shown) {
        int32_t height, width;
        KORVA_text_extent(18, &height, &width, t.text);
        KORVA_draw_rectangle(KORVA_BLACK, LEFT + width + 1, 98, LEFT + width + 10, 96, 0);
    }

    int32_t right = right_letters(t);
    int32_t wrong = t.length - right;
    int32_t green_end = LEFT + right * BAR_PIXELS_PER_LETTER;
    if (right > 0) KORVA_draw_rectangle(KORVA_GREEN, LEFT, 40, green_end - 1, 20, 0);
    if (wrong > 0) KORVA_draw_rectangle(KORVA_RED, green_end, 40, green_end + wrong * BAR_PIXELS_PER_LETTER - 1, 20, 0);

    if (right == TARGET_LENGTH && wrong == 0) {
        KORVA_printf_at(KORVA_FOREST_GREEN, LEFT, -40, 24, "Well done!");
    } else {
        KORVA_printf_at(KORVA_GRAY_50, LEFT, -40, 14, "%d of %d letters right", right, TARGET_LENGTH);
    }
    KORVA_printf_at(KORVA_GRAY_50, LEFT, -220, 12, "Backspace: undo a letter   Enter: start over   Ctrl+Q: quit");
}

int room_main() {
    KORVA_open();
    KORVA_logging(0);            // no console line for every drawing call
    KORVA_keyboard(1);           // typed characters come as KORVA_KBD events
    KORVA_frame_rate(2);         // two periodic events a second blink the cursor
    KORVA_animate(ANIMATE_RUN);

    Typing typing = {};
    typing.cursor_shown = true;
    draw_typing(typing);

    for (;;) {
        int32_t x, y, region;
        char key;
        CharacterRecord hero;
        int32_t kind = KORVA_wait_event(&x, &y, &key, &region, &hero);
        if (kind == KORVA_EXIT) break;
        if (kind == KORVA_KBD) take_key(typing, key);
        if (kind == KORVA_PERIODIC) typing.cursor_shown = !typing.cursor_shown;
        draw_typing(typing);
    }

    KORVA_close();
    return 0;
}
