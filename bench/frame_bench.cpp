// Figures of timed animation and keyboard events: periodic events at 60 per second for 10 s
// with no input (how many, how late against the ideal schedule, CPU used); frame counts at 60,
// 120 and 240 per second beside a bare Win32 pacer, idle and with a program busy for most of
// each frame; and the cost of a key press taken by KORVA_wait_event against a bare message
// loop. Prints; asserts nothing.
#include <windows.h>

#include <stdio.h>

#include <algorithm>

#include "bench_clock.h"
#include "korva/base/state.h"
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
        double late = returned - counter_seconds(korva_state.frame.last_due);
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

#ifndef CREATE_WAITABLE_TIMER_HIGH_RESOLUTION
#define CREATE_WAITABLE_TIMER_HIGH_RESOLUTION 0x00000002
#endif

// The program's own work for one frame: the processor kept busy for that long.
static void busy_for(double seconds) {
    const double until = now_seconds() + seconds;
    while (now_seconds() < until) {
    }
}

// Frames KORVA delivers in one slice, the program working `work` seconds on each.
static int korva_slice(int rate, double seconds, double work) {
    KORVA_frame_rate(rate);
    KORVA_animate(ANIMATE_RUN);
    int32_t x, y, region;
    char key;
    CharacterRecord hero;
    int frames = 0;
    const double start = now_seconds();
    while (now_seconds() - start < seconds) {
        if (KORVA_wait_event(&x, &y, &key, &region, &hero) != KORVA_PERIODIC) continue;
        ++frames;
        busy_for(work);
    }
    KORVA_animate(ANIMATE_HALT);
    return frames;
}

// The same schedule as a program would write it on bare Win32: a high-resolution waitable
// timer set for each frame's absolute time, messages taken while waiting, and when a frame is
// taken late the frames missed meanwhile skipped with the phase kept (at most one is pending).
static int bare_pacer_slice(int rate, double seconds, double work) {
    HANDLE timer = CreateWaitableTimerExW(nullptr, nullptr, CREATE_WAITABLE_TIMER_HIGH_RESOLUTION, TIMER_ALL_ACCESS);
    if (timer == nullptr) timer = CreateWaitableTimerW(nullptr, FALSE, nullptr);
    const double period = 1.0 / rate, start = now_seconds();
    double due = start + period;
    int frames = 0;
    while (now_seconds() - start < seconds) {
        double left = due - now_seconds();
        if (left > 0) {
            LARGE_INTEGER when;
            when.QuadPart = -static_cast<LONGLONG>(left * 1e7 + 0.999);
            SetWaitableTimer(timer, &when, 0, nullptr, nullptr, FALSE);
            if (MsgWaitForMultipleObjectsEx(1, &timer, INFINITE, QS_ALLINPUT, MWMO_INPUTAVAILABLE) == WAIT_OBJECT_0 + 1) {
                MSG m;
                while (PeekMessageA(&m, nullptr, 0, 0, PM_REMOVE)) DispatchMessageA(&m);
                continue;
            }
        }
        // The frame is taken: the next one is due a period later, or when that has passed
        // already, the first one still to come.
        ++frames;
        due += period;
        const double now = now_seconds();
        if (due <= now) due += period * (static_cast<int>((now - due) / period) + 1);
        busy_for(work);
    }
    CloseHandle(timer);
    return frames;
}

// Alternating one-second slices of each, so both see the machine in the same states.
static void frames_beside_bare_pacer() {
    constexpr int SLICES = 6;
    printf("frames beside a bare Win32 pacer (%d alternating slices of 1 s each; goal: within 2%% of the pacer):\n",
           SLICES);
    for (double busy : {0.0, 0.9}) {
        for (int rate : {60, 120, 240}) {
            const double work = busy / rate;
            int korva = 0, bare = 0;
            for (int slice = 0; slice < SLICES; ++slice) {
                if (slice % 2 == 0) {
                    korva += korva_slice(rate, 1.0, work);
                    bare += bare_pacer_slice(rate, 1.0, work);
                } else {
                    bare += bare_pacer_slice(rate, 1.0, work);
                    korva += korva_slice(rate, 1.0, work);
                }
            }
            const double ideal = static_cast<double>(rate) * SLICES;
            const double ratio = static_cast<double>(korva) / std::max(bare, 1);
            printf("  %3d/s, program busy %2.0f%% of a frame: KORVA %6d (%.3f of ideal), pacer %6d (%.3f), ratio %.3f%s\n",
                   rate, busy * 100, korva, korva / ideal, bare, bare / ideal, ratio, ratio >= 0.98 ? "" : "  below 0.98");
        }
    }
    KORVA_frame_rate(0);
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
    frames_beside_bare_pacer();
    key_cost();
    KORVA_close();
    return 0;
}
