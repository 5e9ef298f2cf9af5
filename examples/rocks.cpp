// Rocks: a small game of chance and time that replays exactly. Press Enter to start; Left and
// Right turn the ship, Up pushes it, Space fires. Rocks come at random places and speeds; a shot
// that meets a rock scores, a rock that meets the ship costs a life. A round lasts 20 seconds.
// Everything moves by the time KORVA_time gives and every rock comes from KORVA_random, so a run
// recorded with Ctrl+R replays to the same canvas (rand() and the system's clock would not).
// Each rock has a shade of brown of its own (KORVA_rgb). The ship is a picture (ship.png,
// pointing right) turned to where it heads; a hit bursts in the four cells of explosion.png, a
// sprite sheet, scaled to the rock. A shot sounds (shot.wav), a rock bursts with boom.wav, and
// music.wav loops through the round, quieter. After the round, S saves the canvas as rocks.png.
#include <korva/korva.h>

#include <math.h>

static const int32_t ROUND_MS = 20000;
static const int32_t MAX_ROCKS = 8;
static const int32_t MAX_SHOTS = 16;
static const int32_t SHOT_RADIUS = 2;
static const int32_t SHIP_RADIUS = 12;
static const int32_t SHOT_EVERY_MS = 200;
static const int32_t MAX_BURSTS = 8;
static const int32_t BURST_CELL_MS = 90;  // each of the sheet's four cells shows this long
static const double PI = 3.14159265358979323846;

struct Body {
    double x, y;    // drawing coordinates
    double vx, vy;  // pixels per second
    int32_t radius;
    int32_t alive;
    int32_t color;
};

struct Burst {
    Point at;
    int32_t radius;
    int32_t since;  // KORVA_time when it began; -1: none
};

struct Game {
    Body ship;
    double angle;  // degrees, 90 is up
    Body rocks[MAX_ROCKS];
    Body shots[MAX_SHOTS];
    Burst bursts[MAX_BURSTS];
    int32_t ship_picture, burst_sheet;
    int32_t shot_sound, boom_sound, music;
    int32_t score, lives;
    int32_t started_at, last_time, last_shot;
    int32_t playing, over;
};

// A rock at a random place on the edge, heading across at a random speed.
static Body new_rock() {
    Body r{};
    r.radius = KORVA_random(12, 30);
    r.x = KORVA_random(0, 1) ? -300 + r.radius : 300 - r.radius;
    r.y = KORVA_random(-240, 240);
    r.vx = KORVA_random(-90, 90);
    r.vy = KORVA_random(-90, 90);
    r.alive = 1;
    // A shade of its own, beyond the 24 named colours.
    r.color = KORVA_rgb(110 + KORVA_random(0, 60), 75 + KORVA_random(0, 40), 40 + KORVA_random(0, 30));
    return r;
}

// Across one edge, in at the other.
static void wrap(Body* b) {
    if (b->x < -300) b->x += 600;
    if (b->x > 300) b->x -= 600;
    if (b->y < -250) b->y += 500;
    if (b->y > 250) b->y -= 500;
}

static void move(Body* b, double seconds) {
    b->x += b->vx * seconds;
    b->y += b->vy * seconds;
    wrap(b);
}

static Point at(const Body& b) {
    return Point{static_cast<int32_t>(lround(b.x)), static_cast<int32_t>(lround(b.y))};
}

static void fire(Game* g) {
    for (Body& s : g->shots) {
        if (s.alive) continue;
        double r = g->angle * PI / 180;
        s = Body{g->ship.x, g->ship.y, g->ship.vx + 320 * cos(r), g->ship.vy + 320 * sin(r), SHOT_RADIUS, 1, KORVA_RED};
        KORVA_play_sound(g->shot_sound);
        return;
    }
}

// A burst where a rock was; the oldest makes way when all are showing.
static void burst(Game* g, const Body& rock, int32_t now) {
    Burst* slot = &g->bursts[0];
    for (Burst& b : g->bursts) {
        if (b.since < slot->since) slot = &b;
    }
    *slot = Burst{at(rock), rock.radius, now};
    KORVA_play_sound(g->boom_sound);
}

static void step(Game* g, int32_t now) {
    double seconds = (now - g->last_time) / 1000.0;
    g->last_time = now;
    if (KORVA_key_held(KORVA_KEY_LEFT)) g->angle += 180 * seconds;
    if (KORVA_key_held(KORVA_KEY_RIGHT)) g->angle -= 180 * seconds;
    if (KORVA_key_held(KORVA_KEY_UP)) {
        g->ship.vx += 150 * seconds * cos(g->angle * PI / 180);
        g->ship.vy += 150 * seconds * sin(g->angle * PI / 180);
    }
    if (KORVA_key_held(KORVA_KEY_SPACE) && now - g->last_shot >= SHOT_EVERY_MS) {
        fire(g);
        g->last_shot = now;
    }
    move(&g->ship, seconds);
    for (Body& s : g->shots) {
        if (!s.alive) continue;
        move(&s, seconds);
        if (fabs(s.x - g->ship.x) > 280 || fabs(s.y - g->ship.y) > 230) s.alive = 0;  // out of range
    }
    for (Body& r : g->rocks) {
        move(&r, seconds);
        for (Body& s : g->shots) {
            if (s.alive && KORVA_circles_overlap(at(s), s.radius, at(r), r.radius)) {
                s.alive = 0;
                ++g->score;
                burst(g, r, now);
                r = new_rock();
            }
        }
        if (KORVA_circles_overlap(at(g->ship), SHIP_RADIUS, at(r), r.radius)) {
            --g->lives;
            burst(g, r, now);
            r = new_rock();
        }
    }
    if (now - g->started_at >= ROUND_MS || g->lives == 0) {
        g->over = 1;
        KORVA_stop_sound(g->music);
    }
}

static void draw(const Game& g, int32_t now) {
    KORVA_clear();
    for (const Body& r : g.rocks) KORVA_draw_circle(r.color, at(r), r.radius);
    for (const Body& s : g.shots)
        if (s.alive) KORVA_draw_circle(KORVA_RED, at(s), s.radius);
    // Cell k of the sheet for the burst's k-th stretch of time, as large as the rock was.
    for (const Burst& b : g.bursts) {
        int32_t cell = (now - b.since) / BURST_CELL_MS;
        if (b.since < 0 || cell > 3) continue;
        KORVA_draw_picture_part(g.burst_sheet, PicturePart{32 * cell, 0, 32, 32}, b.at, 0, b.radius / 12.0,
                                KORVA_FLIP_NONE);
    }
    // The ship's picture points right, at 0 degrees: turned by the ship's heading.
    if (g.ship_picture != 0) {
        KORVA_draw_picture_turned(g.ship_picture, at(g.ship), g.angle, 1);
    } else {
        double a = g.angle * PI / 180;
        Point nose{static_cast<int32_t>(lround(g.ship.x + 16 * cos(a))), static_cast<int32_t>(lround(g.ship.y + 16 * sin(a)))};
        Point left{static_cast<int32_t>(lround(g.ship.x + 12 * cos(a + 2.5))), static_cast<int32_t>(lround(g.ship.y + 12 * sin(a + 2.5)))};
        Point right{static_cast<int32_t>(lround(g.ship.x + 12 * cos(a - 2.5))), static_cast<int32_t>(lround(g.ship.y + 12 * sin(a - 2.5)))};
        KORVA_draw_triangle(g.ship.color, nose, left, right, 0);
    }
    int32_t left_ms = g.playing ? ROUND_MS - (now - g.started_at) : ROUND_MS;
    if (left_ms < 0 || g.over) left_ms = 0;
    KORVA_printf_at(KORVA_BLACK, -280, 215, 18, "Score %d   Lives %d   Time %d.%d s", g.score, g.lives, left_ms / 1000,
                    left_ms % 1000 / 100);
    if (!g.playing) KORVA_printf_at(KORVA_FOREST_GREEN, -120, 20, 24, "Press Enter to start");
    if (g.over) KORVA_printf_at(KORVA_RED, -70, 20, 28, "Game over");
    KORVA_flush();
}

int room_main() {
    KORVA_open();
    KORVA_logging(0);
    KORVA_held_keys(1);
    KORVA_frame_rate(60);
    KORVA_animate(ANIMATE_RUN);
    Game g{};
    g.ship = Body{0, 0, 0, 0, SHIP_RADIUS, 1, KORVA_rgb(30, 60, 170)};
    g.angle = 90;
    g.lives = 3;
    // Beside the program; without the ship's picture the ship is a triangle.
    g.ship_picture = KORVA_load_picture("ship.png");
    g.burst_sheet = KORVA_load_picture("explosion.png");
    for (Burst& b : g.bursts) b.since = -1;
    // Sounds lie beside the program too; a machine without sound plays none and goes on.
    g.shot_sound = KORVA_load_sound("shot.wav");
    g.boom_sound = KORVA_load_sound("boom.wav");
    g.music = KORVA_load_sound("music.wav");
    KORVA_sound_volume(g.music, 40);
    for (Body& r : g.rocks) r = new_rock();
    int32_t kind, x, y, region;
    char key;
    CharacterRecord hero;
    while ((kind = KORVA_wait_event(&x, &y, &key, &region, &hero)) != KORVA_EXIT) {
        if (kind == KORVA_KEY_PRESS && key == KORVA_KEY_ENTER && !g.playing) {
            g.playing = 1;
            g.started_at = g.last_time = KORVA_time();
            g.last_shot = g.started_at - SHOT_EVERY_MS;
            KORVA_loop_sound(g.music);
        }
        if (kind == KORVA_KEY_PRESS && key == 'S' && g.over) KORVA_save_canvas("rocks.png");
        if (kind != KORVA_PERIODIC) continue;
        int32_t now = g.playing && !g.over ? KORVA_time() : g.last_time;
        if (g.playing && !g.over) step(&g, now);
        draw(g, now);
    }
    KORVA_close();
    return 0;
}
