// Hits: click to drop a ball (a circle of radius 15). A ball that touches the box turns red, one
// that touches another ball turns orange, and a click inside the target circle scores. The
// game helpers answer with the edges as they are painted: what looks touching is touching.
#include <korva/korva.h>

static const int32_t BALL_RADIUS = 15;
static const int32_t MAX_BALLS = 64;
static const Point BOX_CORNER{-200, 60};
static const Point BOX_OPPOSITE{-80, -60};
static const Point TARGET{150, 0};
static const int32_t TARGET_RADIUS = 40;

static int32_t ball_color(const Point balls[], int32_t count, int32_t i) {
    if (KORVA_circle_rectangle_overlap(balls[i], BALL_RADIUS, BOX_CORNER, BOX_OPPOSITE)) return KORVA_RED;
    for (int32_t j = 0; j < count; ++j)
        if (j != i && KORVA_circles_overlap(balls[i], BALL_RADIUS, balls[j], BALL_RADIUS)) return KORVA_ORANGE;
    return KORVA_SEA_GREEN;
}

int room_main() {
    KORVA_open();
    KORVA_logging(0);
    Point balls[MAX_BALLS];
    int32_t count = 0;
    int32_t score = 0;
    int32_t kind, x, y, region;
    char key;
    CharacterRecord hero;
    do {
        KORVA_clear();
        KORVA_draw_rectangle(KORVA_NAVY_BLUE, BOX_CORNER, BOX_OPPOSITE, 0);
        KORVA_draw_circle(KORVA_GOLD, TARGET, TARGET_RADIUS);
        for (int32_t i = 0; i < count; ++i) KORVA_draw_circle(ball_color(balls, count, i), balls[i], BALL_RADIUS);
        KORVA_printf_at(KORVA_BLACK, -280, 215, 20, "Target hits: %d   Balls: %d", score, count);
        KORVA_flush();
        kind = KORVA_wait_event(&x, &y, &key, &region, &hero);
        if (kind == KORVA_MOUSE) {
            if (KORVA_point_in_circle(Point{x, y}, TARGET, TARGET_RADIUS)) ++score;
            if (count < MAX_BALLS) balls[count++] = Point{x, y};
        }
    } while (kind != KORVA_EXIT);
    KORVA_close();
    return 0;
}
