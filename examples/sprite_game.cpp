// Sprite game: hold the arrow keys to move the picture (sprite.png, beside the program) at 60
// frames a second and catch the yellow targets; the score is shown at the top. Held keys
// (KORVA_held_keys) say which arrows are down at each frame, in a replay as in the live run.
#include <korva/korva.h>

static const int32_t SPEED = 4;         // pixels a frame
static const int32_t CATCH_DISTANCE = 36;

// The targets follow a fixed sequence, so that a recorded game replays to the same picture.
static Point next_target(uint32_t* seed) {
    *seed = *seed * 1103515245u + 12345u;
    int32_t x = static_cast<int32_t>((*seed >> 8) % 500) - 250;
    *seed = *seed * 1103515245u + 12345u;
    int32_t y = static_cast<int32_t>((*seed >> 8) % 400) - 200;
    return Point{x, y};
}

static int32_t clamp(int32_t v, int32_t low, int32_t high) {
    return v < low ? low : (v > high ? high : v);
}

int room_main() {
    KORVA_open();
    KORVA_logging(0);
    KORVA_held_keys(1);
    KORVA_frame_rate(60);
    KORVA_animate(ANIMATE_RUN);
    const int sprite = KORVA_load_picture("sprite.png");  // 0 if missing: a circle stands in
    uint32_t seed = 2026;
    Point player{0, 0};
    Point target = next_target(&seed);
    int32_t score = 0;
    int32_t kind, x, y, region;
    char key;
    CharacterRecord hero;
    while ((kind = KORVA_wait_event(&x, &y, &key, &region, &hero)) != KORVA_EXIT) {
        if (kind != KORVA_PERIODIC) continue;
        if (KORVA_key_held(KORVA_KEY_LEFT)) player.x -= SPEED;
        if (KORVA_key_held(KORVA_KEY_RIGHT)) player.x += SPEED;
        if (KORVA_key_held(KORVA_KEY_UP)) player.y += SPEED;
        if (KORVA_key_held(KORVA_KEY_DOWN)) player.y -= SPEED;
        // The sprite stays where the window shows it, whatever frame the display gives the window.
        int32_t left, top, right, bottom;
        KORVA_visible_area(&left, &top, &right, &bottom);
        player.x = clamp(player.x, left + 20, right - 20);
        player.y = clamp(player.y, bottom + 20, top - 20);
        int32_t dx = player.x - target.x, dy = player.y - target.y;
        if (dx * dx + dy * dy <= CATCH_DISTANCE * CATCH_DISTANCE) {
            ++score;
            target = next_target(&seed);
        }
        KORVA_clear();
        KORVA_draw_circle(KORVA_GOLD, target, 14);
        if (sprite != 0)
            KORVA_draw_picture(sprite, player);
        else
            KORVA_draw_circle(KORVA_RED, player, 24);
        KORVA_printf_at(KORVA_NAVY_BLUE, -280, 215, 20, "Score: %d", score);
        KORVA_flush();
    }
    KORVA_close();
    return 0;
}
