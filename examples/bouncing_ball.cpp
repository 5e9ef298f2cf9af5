// Bouncing ball: the ball takes one step on every periodic event and bounces off the walls.
// The "&Run" menu and its Ctrl shortcuts drive it: Animate (Ctrl+A) runs it, Halt animation
// (Ctrl+H) stops it, Advance one frame (Ctrl+F) moves it one step. Quit with Ctrl+Q.
#include <korva/korva.h>

// The walls; (0, 0) is the middle of the window and y grows upward.
static const int32_t WALL_LEFT = -250;
static const int32_t WALL_RIGHT = 250;
static const int32_t WALL_TOP = 200;
static const int32_t WALL_BOTTOM = -200;
static const int32_t RADIUS = 15;

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

// Draws the whole scene afresh: clearing first means the ball's old position disappears.
static void draw_scene(const Ball& ball, int32_t frames) {
    KORVA_clear();
    KORVA_draw_rectangle(KORVA_NAVY_BLUE, WALL_LEFT, WALL_TOP, WALL_RIGHT, WALL_BOTTOM, 3);
    KORVA_draw_circle(KORVA_ORANGE, ball.centre, RADIUS);
    KORVA_printf_at(KORVA_BLACK, WALL_LEFT, WALL_TOP + 8, 12,
                    "frame %d    Ctrl+A animate   Ctrl+H halt   Ctrl+F one frame", frames);
}

int room_main() {
    KORVA_open();
    KORVA_logging(0);            // no console line for every drawing call
    KORVA_animate(ANIMATE_RUN);  // from now on the wait also delivers periodic events

    Ball ball = {{0, 0}, {12, 8}};
    int32_t frames = 0;
    draw_scene(ball, frames);

    for (;;) {
        int32_t x, y, region;
        char key;
        CharacterRecord hero;
        int32_t kind = KORVA_wait_event(&x, &y, &key, &region, &hero);
        if (kind == KORVA_EXIT) break;
        // Update: only the periodic event moves the ball. The library counts messages, not
        // milliseconds: a periodic event comes once about a hundred messages have been handled,
        // so the ball steps slowly while the mouse rests and quickly while it moves over the window.
        if (kind == KORVA_PERIODIC) {
            move_ball(ball);
            frames++;
        }
        draw_scene(ball, frames);
    }

    KORVA_close();
    return 0;
}
