// A program for the replay harness's own tests. Each played click leaves a dot, periodic events
// are counted on the canvas, and keys ask for the endings the harness must tell apart:
// 'c' crashes, 'x' exits with code 3, 'h' never returns, 'n' ends without KORVA_close, 's' starts
// a copy of itself that lingers for two minutes (run with "--linger", it does only that), 'p'
// loads "fixture_picture.png" from the folder it runs in and draws it at every redraw, 't' asks
// for the event's time and a random number at every event from then on (a recording made
// without them plays on all the same).
// After KORVA_EXIT it asks for three more events and marks whether each was KORVA_EXIT too.
#include <korva/korva.h>

#include <windows.h>

#include <string.h>

static const int32_t MAX_DOTS = 64;
static const int32_t LATER_WAITS = 3;

struct Run {
    Point dots[MAX_DOTS];
    int32_t dot_count;
    int32_t periodic_count;
    int32_t later_exits;  // -1 until the run has ended
};

static void draw(const Run& run) {
    KORVA_clear();
    for (int32_t i = 0; i < run.dot_count; ++i) KORVA_draw_circle(KORVA_BLUE + i % 3, run.dots[i], 6);
    // Bars rather than text for the count: they do not depend on the machine's fonts.
    for (int32_t i = 0; i < run.periodic_count && i < 250; ++i)
        KORVA_draw_line(KORVA_GREEN, -250 + 2 * i, -200, -250 + 2 * i, -180, 1);
    if (run.later_exits >= 0)
        KORVA_draw_rectangle(run.later_exits == LATER_WAITS ? KORVA_GREEN : KORVA_RED, 200, 200, 240, 160, 0);
}

static int32_t next_event(int32_t* x, int32_t* y, char* key) {
    int32_t region;
    CharacterRecord hero;
    return KORVA_wait_event(x, y, key, &region, &hero);
}

static void crash() {
    // Not null: Wine may map the page at address 0 when run as root. No process can map an
    // address outside the canonical range, so this store faults everywhere. Volatile, so the
    // compiler cannot see the address and replace the store by something else.
    int* volatile nowhere = reinterpret_cast<int*>(static_cast<uintptr_t>(0x8000000000000000ull));
    *nowhere = 1;
}

static void start_lingering_copy() {
    char path[MAX_PATH];
    GetModuleFileNameA(nullptr, path, sizeof path);
    char command[MAX_PATH + 32] = "\"";
    lstrcatA(command, path);
    lstrcatA(command, "\" --linger");
    STARTUPINFOA startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process{};
    if (CreateProcessA(path, command, nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &process)) {
        CloseHandle(process.hThread);
        CloseHandle(process.hProcess);
    }
}

int room_main() {
    if (strstr(GetCommandLineA(), "--linger") != nullptr) {
        Sleep(120000);
        return 0;
    }
    KORVA_open();
    KORVA_logging(0);
    KORVA_animate(ANIMATE_RUN);  // replay mode must keep live periodic events out all the same
    Run run{};
    run.later_exits = -1;
    int picture = 0;
    bool asks_time = false;
    draw(run);
    for (;;) {
        int32_t x = 0, y = 0;
        char key = 0;
        int32_t kind = next_event(&x, &y, &key);
        if (kind == KORVA_EXIT) break;
        if (asks_time) {
            KORVA_time();
            KORVA_random(1, 6);
        }
        if (kind == KORVA_MOUSE && run.dot_count < MAX_DOTS) run.dots[run.dot_count++] = Point{x, y};
        if (kind == KORVA_PERIODIC) ++run.periodic_count;
        if (kind == KORVA_KBD) {
            if (key == 'c') crash();
            if (key == 'x') {
                KORVA_close();
                return 3;
            }
            if (key == 'h')
                for (;;) Sleep(50);
            if (key == 'n') return 0;
            if (key == 's') start_lingering_copy();
            if (key == 'p') picture = KORVA_load_picture("fixture_picture.png");
            if (key == 't') asks_time = true;
        }
        draw(run);
        if (picture > 0) KORVA_draw_picture(picture, 0, 0);
    }
    run.later_exits = 0;
    for (int32_t i = 0; i < LATER_WAITS; ++i) {
        int32_t x, y;
        char key;
        if (next_event(&x, &y, &key) == KORVA_EXIT) ++run.later_exits;
    }
    draw(run);
    if (picture > 0) KORVA_draw_picture(picture, 0, 0);
    KORVA_close();
    return 0;
}
