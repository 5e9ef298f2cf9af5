// KORVA: a small graphics-and-event library for the Windows desktop.
// The one public header: records, event kinds, animation codes, directions and every operation.
// An application defines room_main(); the library's entry routine calls it and exits with its result.
#ifndef KORVA_KORVA_H
#define KORVA_KORVA_H

#include <stdint.h>

// MinGW's GCC needs gnu_printf (plain printf there means the Microsoft runtime's dialect);
// clang, used for the native build, knows only printf.
#if defined(__clang__)
#define KORVA_PRINTF_LIKE(fmt, args) __attribute__((format(printf, fmt, args)))
#elif defined(__GNUC__)
#define KORVA_PRINTF_LIKE(fmt, args) __attribute__((format(gnu_printf, fmt, args)))
#else
#define KORVA_PRINTF_LIKE(fmt, args)
#endif

// A position in drawing coordinates: origin at the centre of the graphics window's
// client area, x to the right, y upward, one unit per pixel.
struct Point {
    int32_t x;
    int32_t y;
};

// Who an event concerns. id 0 is "Nobody".
struct CharacterRecord {
    char name[30];
    char item[30];
    int32_t id;
};

// The event handed out by KORVA_wait_event. Its kind is the wait's result.
struct EventRecord {
    int32_t x;
    int32_t y;
    char key;
    int32_t region;
    CharacterRecord hero;
};

// Event kinds.
constexpr int32_t KORVA_NONE = -1;
constexpr int32_t KORVA_MOUSE = 1;
constexpr int32_t KORVA_KBD = 2;
constexpr int32_t KORVA_PERIODIC = 3;
constexpr int32_t KORVA_EXIT = 4;
constexpr int32_t KORVA_ENTER = 5;
constexpr int32_t KORVA_LEAVE = 6;
// Event kinds a program gets only after switching them on (KORVA_mouse, KORVA_held_keys).
constexpr int32_t KORVA_BUTTON_DOWN = 7;   // a right or middle press; key names the button
constexpr int32_t KORVA_BUTTON_UP = 8;     // a release of any button; key names the button
constexpr int32_t KORVA_MOTION = 9;        // the pointer moved; key holds the buttons held
constexpr int32_t KORVA_KEY_PRESS = 10;    // a key went down (not its repeats); key is its code
constexpr int32_t KORVA_KEY_RELEASE = 11;  // a key came up; key is its code
constexpr int32_t KORVA_WHEEL = 12;        // the wheel turned; key holds the notches, + away

// Animation codes of KORVA_animate.
constexpr int32_t ANIMATE_HALT = 0;
constexpr int32_t ANIMATE_SINGLE_STEP = 1;
constexpr int32_t ANIMATE_RUN = 2;
constexpr int32_t ANIMATE_QUIT = 5;

// Directions: doorways, the chosen entry direction and an event's region. -1 is none.
constexpr int32_t NORTH = 0;
constexpr int32_t EAST = 1;
constexpr int32_t SOUTH = 2;
constexpr int32_t WEST = 3;

// Hero identities carried by events.
constexpr int32_t HERO_NOBODY_ID = 0;
constexpr int32_t HERO_BESOURU_ID = 241;
constexpr int32_t HERO_BLAZRACK_ID = 1346130;
constexpr int32_t HERO_MUSHI_ID = 691841341;

// The canvas and the graphics window are this size, in pixels.
constexpr int32_t KORVA_CANVAS_WIDTH = 601;
constexpr int32_t KORVA_CANVAS_HEIGHT = 540;

// Colour indices 0 to 23 (names as in the log lines).
enum KorvaColor : int32_t {
    KORVA_BLACK, KORVA_WHITE, KORVA_RED, KORVA_GREEN, KORVA_BLUE, KORVA_YELLOW,
    KORVA_MAGENTA, KORVA_CYAN, KORVA_PURPLE, KORVA_NAVY_BLUE, KORVA_DUSTY_PLUM,
    KORVA_ICE_BLUE, KORVA_TURQUOISE, KORVA_ORANGE, KORVA_BROWN, KORVA_PINK,
    KORVA_CHALK, KORVA_GOLD, KORVA_PEACH, KORVA_FOREST_GREEN, KORVA_SEA_GREEN,
    KORVA_OLIVE, KORVA_GRAY_50, KORVA_GRAY_20
};
constexpr int32_t KORVA_COLOR_COUNT = 24;

// Any colour: KORVA_rgb(red, green, blue), each 0 to 255, gives a colour index (24 or more) that
// every primitive takes like the named ones and paints exactly that mix; log lines name it
// "rgb(R, G, B)". The same mix gives the same index. A part outside 0 to 255 is corrected with a
// console line; after KORVA_MAX_RGB_COLORS different mixes (per open) the next is refused with a
// console line and KORVA_RED returned. An index no KORVA_rgb gave stays illegal.
constexpr int32_t KORVA_MAX_RGB_COLORS = 4096;
int KORVA_rgb(int32_t red, int32_t green, int32_t blue);

// The application's main routine, called once by the library's entry routine.
int room_main();

// Start-up and shut-down.
// KORVA_open returns 1; while the library is open a second call creates nothing and returns 0.
int KORVA_open();
int KORVA_close();

// Events and animation.
int KORVA_wait_event(int32_t* x, int32_t* y, char* key, int32_t* region, CharacterRecord* hero);
int KORVA_animate(int32_t code);

// Timed animation and keyboard events. Both are off until the program switches them on;
// until then periodic events follow the message-counted pace and keys make no events.
// KORVA_frame_rate(n): a running animation delivers n periodic events per second, in time,
// from 1 up to KORVA_MAX_FRAME_RATE; 0 brings back the message-counted pace.
// KORVA_keyboard(flag): while flag is non-zero, typed characters and the keys below become
// KORVA_KBD events with the code in key. Both return 1, or 0 before KORVA_open.
constexpr int32_t KORVA_MAX_FRAME_RATE = 240;
constexpr char KORVA_KEY_BACKSPACE = 8;
constexpr char KORVA_KEY_TAB = 9;
constexpr char KORVA_KEY_ENTER = 13;
constexpr char KORVA_KEY_ESCAPE = 27;
constexpr char KORVA_KEY_LEFT = 28;
constexpr char KORVA_KEY_RIGHT = 29;
constexpr char KORVA_KEY_UP = 30;
constexpr char KORVA_KEY_DOWN = 31;
constexpr char KORVA_KEY_SPACE = 32;
constexpr char KORVA_KEY_DELETE = 127;
int KORVA_frame_rate(int32_t per_second);
int KORVA_keyboard(int32_t flag);

// The whole mouse (off until switched on). KORVA_mouse(KORVA_MOUSE_BUTTONS): right and middle
// presses become KORVA_BUTTON_DOWN, releases of every button KORVA_BUTTON_UP, and moves while a
// button is held KORVA_MOTION, also outside the window until the last button is released; a
// left press stays the KORVA_MOUSE event it always is. KORVA_MOUSE_ALL_MOTION adds moves with no
// button held. Either mode makes each turn of the wheel a KORVA_WHEEL event at the pointer, with
// the notches turned in key (positive away from the user). 0 switches it off. Returns 1, or 0
// before KORVA_open.
constexpr int32_t KORVA_MOUSE_BUTTONS = 1;
constexpr int32_t KORVA_MOUSE_ALL_MOTION = 2;
constexpr char KORVA_BUTTON_LEFT = 1;
constexpr char KORVA_BUTTON_RIGHT = 2;
constexpr char KORVA_BUTTON_MIDDLE = 4;
int KORVA_mouse(int32_t mode);

// Held keys (off until switched on). KORVA_held_keys(1): each key of the table in docs/API.md
// makes KORVA_KEY_PRESS when it goes down and KORVA_KEY_RELEASE when it comes up, never for its
// repeats. KORVA_key_held(code) answers from the events the waits have returned (so a replay
// answers alike): 1 while that key is down, else 0. Letters are their capitals ('A'; 'a' is
// taken as 'A'), digits themselves, the arrows, Space, Enter, Escape, Backspace, Tab and Delete
// their KORVA_KEY_ codes, and Shift and Ctrl the two codes below. Returns 1, or 0 before open.
constexpr char KORVA_KEY_SHIFT = 16;
constexpr char KORVA_KEY_CONTROL = 17;
int KORVA_held_keys(int32_t flag);
int KORVA_key_held(char code);

// Drawing primitives, each in an integer form and a Point form.
int KORVA_draw_pixel(int32_t color, int32_t x, int32_t y);
int KORVA_draw_pixel(int32_t color, Point p);
int KORVA_draw_circle(int32_t color, int32_t x, int32_t y, int32_t radius);
int KORVA_draw_circle(int32_t color, Point centre, int32_t radius);
int KORVA_draw_triangle(int32_t color, int32_t x1, int32_t y1, int32_t x2, int32_t y2,
                        int32_t x3, int32_t y3, int32_t width);
int KORVA_draw_triangle(int32_t color, Point p1, Point p2, Point p3, int32_t width);
int KORVA_draw_rectangle(int32_t color, int32_t x1, int32_t y1, int32_t x2, int32_t y2, int32_t width);
int KORVA_draw_rectangle(int32_t color, Point p1, Point p2, int32_t width);
int KORVA_draw_oval(int32_t color, int32_t x1, int32_t y1, int32_t x2, int32_t y2, int32_t width);
int KORVA_draw_oval(int32_t color, Point p1, Point p2, int32_t width);
int KORVA_draw_line(int32_t color, int32_t x1, int32_t y1, int32_t x2, int32_t y2, int32_t width);
int KORVA_draw_line(int32_t color, Point start, Point end, int32_t width);
int KORVA_draw_text(int32_t color, int32_t x, int32_t y, int32_t ptsize, const char* text);
int KORVA_draw_text(int32_t color, Point p, int32_t ptsize, const char* text);
int KORVA_printf_at(int32_t color, int32_t x, int32_t y, int32_t ptsize, const char* format, ...)
    KORVA_PRINTF_LIKE(5, 6);
int KORVA_printf_at(int32_t color, Point p, int32_t ptsize, const char* format, ...)
    KORVA_PRINTF_LIKE(4, 5);
int KORVA_printf_extent(int32_t ptsize, int32_t* height, int32_t* width, const char* format, ...)
    KORVA_PRINTF_LIKE(4, 5);
int KORVA_undo();

// The canvas.
int KORVA_clear();
int KORVA_flush();
int KORVA_text_extent(int32_t ptsize, int32_t* height, int32_t* width, const char* text);

// A screenshot of the canvas: the whole 601 x 540 canvas as a 24-bit BMP file, written beside
// `path` and then put in its place, so an old file is replaced whole or not at all. Returns 1, or
// 0 with a console message when there is no file name, the library is not open, or the file
// cannot be written. In replay mode KORVA_close calls it for the file that KORVA_REPLAY_CANVAS
// names.
int KORVA_save_canvas(const char* path);

// The part of the canvas the graphics window shows, in drawing coordinates: the leftmost and
// rightmost visible columns and the top and bottom visible rows (inclusive; the window's frame
// hides the rest, and how much depends on the display). Returns 1, or 0 and zeros before open.
int KORVA_visible_area(int32_t* left, int32_t* top, int32_t* right, int32_t* bottom);

// Pictures. KORVA_load_picture reads a picture file once (PNG with transparency, BMP, JPEG, GIF:
// whatever the platform's imaging component reads, up to 4096 x 4096 pixels) and returns its id,
// 1 or more; 0 with a console line when it cannot. KORVA_draw_picture paints it with its centre
// on the point, blended by its transparency as the platform blends, clipped to the canvas, and
// logs the call; 0 with a console line for an id that is not loaded. KORVA_picture_size gives
// its size. KORVA_close frees every picture. KORVA_save_canvas writes PNG when the name ends in
// ".png".
constexpr int32_t KORVA_MAX_PICTURE_SIDE = 4096;
int KORVA_load_picture(const char* path);
int KORVA_draw_picture(int32_t id, int32_t x, int32_t y);
int KORVA_draw_picture(int32_t id, Point centre);
int KORVA_picture_size(int32_t id, int32_t* width, int32_t* height);

// Pictures turned, scaled, flipped, and parts of them (a cell of a sprite sheet).
// KORVA_draw_picture_turned paints the whole picture, KORVA_draw_picture_part a part of it (its
// left column and top row, 0 and 0 at the picture's top-left pixel, and its size), with the
// part's middle on the point as KORVA_draw_picture places it; `scale` times its own size (1: as
// it is; more than 0, up to 64), turned `degrees` counter-clockwise about its middle (any angle,
// whole turns ignored), and flipped first by `flip` (KORVA_FLIP_ values, added together). Each
// pixel is the part's nearest pixel, blended by its transparency: an unturned, unflipped part is
// stretched by the platform's blend (AlphaBlend), any other by its imaging (GDI+). Returns 1,
// or 0 with a console line when the id is not loaded, the part is not inside the picture or the
// scale is not above 0 (nothing drawn); a scale above 64, an angle that is no number and a flip
// that is no KORVA_FLIP_ value are corrected with a console line. KORVA_free_picture frees one
// picture, whose id a later load may give again; 0 with a console line when it is not loaded.
struct PicturePart {
    int32_t left;
    int32_t top;
    int32_t width;
    int32_t height;
};
constexpr int32_t KORVA_FLIP_NONE = 0;
constexpr int32_t KORVA_FLIP_ACROSS = 1;       // left and right swapped
constexpr int32_t KORVA_FLIP_UPSIDE_DOWN = 2;  // top and bottom swapped
int KORVA_draw_picture_turned(int32_t id, Point centre, double degrees, double scale);
int KORVA_draw_picture_turned(int32_t id, int32_t x, int32_t y, double degrees, double scale);
int KORVA_draw_picture_part(int32_t id, PicturePart part, Point centre, double degrees, double scale, int32_t flip);
int KORVA_draw_picture_part(int32_t id, PicturePart part, int32_t x, int32_t y, double degrees, double scale,
                            int32_t flip);
int KORVA_free_picture(int32_t id);

// Sounds. KORVA_load_sound reads a WAV file once (8- or 16-bit PCM, one or two channels, 8000 to
// 192000 frames a second, up to 64 MB of samples, up to 64 sounds) and returns its id, 1 or more;
// 0 with a console line when it cannot. KORVA_play_sound plays it once, KORVA_loop_sound over and
// over until it is stopped; every play sounds at once, mixed by the platform's audio engine
// (XAudio2) on the system's audio device. KORVA_sound_playing: 1 while a play of it sounds. KORVA_stop_sound stops every play of one sound,
// KORVA_stop_sounds every play. KORVA_sound_volume sets a sound's volume, 0 to 100 percent (100
// as it was recorded), for its plays now and later. Each returns 1, or 0 with a console line for
// an id that is not loaded; a play returns 0 too when the machine has no audio device, which the
// console is told once. A replay plays no sound. Logged like drawing calls. KORVA_free_sound
// stops and frees one sound, whose id a later load may give again; KORVA_close every sound.
int KORVA_load_sound(const char* path);
int KORVA_play_sound(int32_t id);
int KORVA_loop_sound(int32_t id);
int KORVA_sound_playing(int32_t id);
int KORVA_stop_sound(int32_t id);
int KORVA_stop_sounds();
int KORVA_sound_volume(int32_t id, int32_t percent);
int KORVA_free_sound(int32_t id);

// Time and chance that replay. KORVA_time: milliseconds since KORVA_open at which the wait
// returned the current event (0 before the first), the same until the next wait; KORVA_clock:
// milliseconds since KORVA_open now. KORVA_random(low, high): a number from low to high (either
// order), both included, all equally likely; KORVA_seed_random(seed) makes the numbers that
// follow the same on every run, else each run draws its own. While a script is recorded, every
// time and the generator's state the program is given are written into it; its replay answers
// with them, so a replayed game sees the same times and draws the same numbers. rand() and the
// system's clock are not recorded: a game that uses them does not replay. KORVA_time and
// KORVA_clock return 0 before KORVA_open.
int KORVA_time();
int KORVA_clock();
int KORVA_random(int32_t low, int32_t high);
int KORVA_seed_random(int32_t seed);

// Game helpers: whether points, rectangles and circles meet, in drawing coordinates, with the
// edges as the shapes are painted. A filled KORVA_draw_rectangle from corner to corner (in any
// order) covers both corners' rows and columns, so a point on its painted edge is inside; a
// KORVA_draw_circle of radius r is the pixels within r + 1/2 of its centre (dx * dx + dy * dy
// <= r * r + r; the platform rounds a few rim pixels its own way). Each returns 1 or 0; a negative
// radius is corrected as KORVA_draw_circle corrects it, with the same console line. They need no
// open library.
int KORVA_point_in_rectangle(Point p, Point corner1, Point corner2);
int KORVA_point_in_rectangle(int32_t x, int32_t y, int32_t x1, int32_t y1, int32_t x2, int32_t y2);
int KORVA_point_in_circle(Point p, Point centre, int32_t radius);
int KORVA_point_in_circle(int32_t x, int32_t y, int32_t centre_x, int32_t centre_y, int32_t radius);
int KORVA_rectangles_overlap(Point a1, Point a2, Point b1, Point b2);
int KORVA_rectangles_overlap(int32_t ax1, int32_t ay1, int32_t ax2, int32_t ay2, int32_t bx1, int32_t by1,
                             int32_t bx2, int32_t by2);
int KORVA_circles_overlap(Point centre1, int32_t radius1, Point centre2, int32_t radius2);
int KORVA_circles_overlap(int32_t x1, int32_t y1, int32_t radius1, int32_t x2, int32_t y2, int32_t radius2);
int KORVA_circle_rectangle_overlap(Point centre, int32_t radius, Point corner1, Point corner2);
int KORVA_circle_rectangle_overlap(int32_t x, int32_t y, int32_t radius, int32_t x1, int32_t y1, int32_t x2,
                                   int32_t y2);

// The text console. KORVA_printf stores one line of at most 1023 characters and returns the
// length of the whole formatted text (like snprintf), or -1 when nothing could be stored.
int KORVA_printf(const char* format, ...) KORVA_PRINTF_LIKE(1, 2);
int KORVA_logging(int32_t flag);
void KORVA_show_console(int32_t flag);

// The prompt dialog: destination must hold 256 bytes.
int KORVA_gets(const char* prompt, char* destination);

#endif
