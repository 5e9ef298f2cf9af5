// Bouncing ball: the ball takes one step on every periodic event and bounces off the walls.
// It runs at a real frame rate, 30 steps a second; the Up and Down arrow keys (or + and -)
// change the rate, shown by the green bar. The "&Run" menu and its Ctrl shortcuts drive it
// too: Animate (Ctrl+A), Halt animation (Ctrl+H), Advance one frame (Ctrl+F), Quit (Ctrl+Q).
#include <korva/korva.h>

// The walls; (0, 0) is the middle of the window and y grows upward.
static const int32_t WALL_LEFT = -250;
static const int32_t WALL_RIGHT = 250;
static const int32_t WALL_TOP = 200;
static const int32_t WALL_BOTTOM = -200;
static const int32_t RADIUS = 15;

// Frame rates the keys choose from, and how many pixels of the bar stand for one frame a second.
static const int32_t SLOWEST = 10;
static const int32_t FASTEST = 120;
static const int32_t RATE_STEP = 10;
static const int32_t BAR_PIXELS_PER_FRAME = 2;

struct Ball {
    Point centre;
    Point step;  // how far it moves per frame, in x and in y
};

// Moves the ball one step; a ball that would go through a wall is put against it and turned back.
static void move_ball(Ball& ball) {
    ball.centre.x += ball.step.x;
    ball.centre.y += ball.step.y;
    if (ball.centre.x + RADIUS > WALL_RIGHT || ball.centre.x - RADIUS < WALL_LEFT) {
        ball.centre.x = ball.step.x > 0 ? WALL_RIGHT - RADIUS : WALL_LEFT + RADIUS;
        ball.step.x = -ball.step.x;
    }
    if (ball.centre.y + RADIUS > WALL_TOP || ball.centre.y - RADIUS < WALL_BOTTOM) {
        ball.centre.y = ball.step.y > 0 ? WALL_TOP - RADIUS : WALL_BOTTOM + RADIUS;
        ball.step.y = -ball.step.y;
    }
}

// Up or + makes it faster, Down or - slower, within SLOWEST and FASTEST.
static int32_t rate_after_key(int32_t rate, char key) {
    if (key == KORVA_KEY_UP || key == '+') rate += RATE_STEP;
    if (key == KORVA_KEY_DOWN || key == '-') rate -= RATE_STEP;
    if (rate < SLOWEST) rate = SLOWEST;
    if (rate > FASTEST) rate = FASTEST;
    return rate;
}

// Draws the whole scene afresh: clearing first means the ball's old position disappears.
static void draw_scene(const Ball& ball, int32_t frames, int32_t rate) {
    KORVA_clear();
    KORVA_draw_rectangle(KORVA_NAVY_BLUE, WALL_LEFT, WALL_TOP, WALL_RIGHT, WALL_BOTTOM, 3);
    KORVA_draw_circle(KORVA_ORANGE, ball.centre, RADIUS);
    KORVA_printf_at(KORVA_BLACK, WALL_LEFT, WALL_TOP + 8, 12,
                    "frame %d   %d per second   Up/Down faster/slower   Ctrl+H halt   Ctrl+F one frame",
                    frames, rate);
    KORVA_draw_rectangle(KORVA_GREEN, WALL_LEFT, WALL_BOTTOM - 8, WALL_LEFT + rate * BAR_PIXELS_PER_FRAME - 1,
                         WALL_BOTTOM - 14, 0);
}

int room_main() {
    KORVA_open();
    KORVA_logging(0);            // no console line for every drawing call
    int32_t rate = 30;
    KORVA_frame_rate(rate);      // periodic events come 30 times a second, input or not
    KORVA_keyboard(1);           // and keys come as KORVA_KBD events
    KORVA_animate(ANIMATE_RUN);  // from now on the wait also delivers periodic events

    Ball ball = {{0, 0}, {12, 8}};
    int32_t frames = 0;
    draw_scene(ball, frames, rate);

    for (;;) {
        int32_t x, y, region;
        char key;
        CharacterRecord hero;
        int32_t kind = KORVA_wait_event(&x, &y, &key, &region, &hero);
        if (kind == KORVA_EXIT) break;
        // Update: a periodic event moves the ball; a key may change the frame rate.
        if (kind == KORVA_PERIODIC) {
            move_ball(ball);
            frames++;
        }
        if (kind == KORVA_KBD) {
            rate = rate_after_key(rate, key);
            KORVA_frame_rate(rate);
        }
        draw_scene(ball, frames, rate);
    }

    KORVA_close();
    return 0;
}
