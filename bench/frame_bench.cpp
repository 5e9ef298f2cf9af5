// Figures of timed animation and keyboard events: periodic events at 60 per second for 10 s
// with no input (how many, how late against the ideal schedule, CPU used), and the cost of a
// key press taken by KORVA_wait_event against a bare message loop. Prints; asserts nothing.
#include <windows.h>

#include <stdio.h>

#include <algorithm>

#include "bench_clock.h"
#include "korva/core/state.h"
#include "wait_cost.h"

static constexpr int RATE = 60;
static constexpr double SECONDS = 10.0;
static constexpr int BATCH = 500;   // key presses posted before they are taken
static constexpr int ROUNDS = 20;   // batches per figure; the median batch is reported

static double counter_seconds(int64_t counts) {
    LARGE_INTEGER f;
    QueryPerformanceFrequency(&f);
    return static_cast<double>(counts) / static_cast<double>(f.QuadPart);
}

// The room's own setting: the 50 ms tick keeps running beside the frames.
static void timed_frames() {
    KORVA_frame_rate(RATE);
    KORVA_animate(ANIMATE_RUN);
    int32_t x, y, region;
    char key;
    CharacterRecord hero;
    int periodic = 0, others = 0;
    double lateness_sum = 0, lateness_worst = 0;
    double cpu0 = cpu_seconds(), start = now_seconds();
    while (now_seconds() - start < SECONDS) {
        int32_t kind = KORVA_wait_event(&x, &y, &key, &region, &hero);
        double returned = now_seconds();
        if (kind != KORVA_PERIODIC) {
            ++others;
            continue;
        }
        ++periodic;
        double late = returned - counter_seconds(korva_state.frame_last_due);
        lateness_sum += late;
        lateness_worst = std::max(lateness_worst, late);
    }
    double wall = now_seconds() - start, cpu = cpu_seconds() - cpu0;
    KORVA_animate(ANIMATE_HALT);
    KORVA_frame_rate(0);
    double expected = RATE * wall;
    printf("timed animation at %d per second, no input, %.2f s:\n", RATE, wall);
    printf("  periodic events         %9d (ideal %.0f, %+.2f%%; goal within 2%%)\n", periodic, expected,
           100.0 * (periodic - expected) / expected);
    printf("  lateness, mean          %9.3f ms (from the frame's ideal time to the wait's return)\n",
           1e3 * lateness_sum / std::max(periodic, 1));
    printf("  lateness, worst         %9.3f ms\n", 1e3 * lateness_worst);
    printf("  process CPU time        %9.1f ms (%.2f%% of one core; goal < 1%%)\n", cpu * 1e3, 100.0 * cpu / wall);
    if (others) printf("  other events            %9d\n", others);
}

// A key press as the keyboard posts it: the key-down, which the loop's translation turns into
// the character message (so both loops handle two messages per press).
static void post_presses(int n) {
    LPARAM scan = static_cast<LPARAM>(MapVirtualKeyA('K', MAPVK_VK_TO_VSC)) << 16;
    for (int i = 0; i < n; ++i) PostMessageA(korva_state.graphics_window, WM_KEYDOWN, 'K', scan | 1);
}

static void key_cost() {
    KillTimer(korva_state.graphics_window, TICK_TIMER_ID);
    KORVA_keyboard(1);
    korva_state.canvas_dirty = 0;
    WaitCost cost = wait_against_raw_loop(post_presses, BATCH, 2, ROUNDS);
    KORVA_keyboard(0);
    printf("cost per key event (median of %d batches of %d posted key presses):\n", ROUNDS, BATCH);
    print_wait_against_raw_loop(cost);
}

int main() {
    open_for_bench();
    timed_frames();
    key_cost();
    KORVA_close();
    return 0;
}
