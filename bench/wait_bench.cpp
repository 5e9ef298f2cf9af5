// Figures of the event wait: cost per event (clicks, and drags of the whole mouse) against a
// bare message loop, CPU use while idle and while animating, and the cost of recording. Prints figures; asserts nothing.
#include <windows.h>

#include <stdio.h>

#include <vector>

#include "bench_clock.h"
#include "korva/base/state.h"
#include "korva/script/script.h"
#include "wait_cost.h"

static constexpr int BATCH = 1000;   // clicks posted before they are taken
static constexpr int ROUNDS = 20;    // batches per figure; the median batch is reported

static void post_clicks(int n) {
    for (int i = 0; i < n; ++i)
        PostMessageA(korva_state.graphics_window, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(100 + i % 50, 80));
}

// Nanoseconds per event of BATCH posted clicks taken by KORVA_wait_event.
static double wait_batch_ns() {
    post_clicks(BATCH);
    return wait_ns_per_event(BATCH);
}

static void cost_per_event() {
    WaitCost cost = wait_against_raw_loop(post_clicks, BATCH, 1, ROUNDS);
    printf("cost per click event (median of %d batches of %d posted clicks):\n", ROUNDS, BATCH);
    print_wait_against_raw_loop(cost);
}

// Drags as the mouse posts them: moves with the left button held, each to a new place.
static void post_moves(int n) {
    static int step = 0;
    for (int i = 0; i < n; ++i, ++step)
        PostMessageA(korva_state.graphics_window, WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(100 + step % 97, 80 + step % 89));
}

static void motion_cost() {
    KORVA_mouse(KORVA_MOUSE_BUTTONS);
    WaitCost cost = wait_against_raw_loop(post_moves, BATCH, 1, ROUNDS);
    KORVA_mouse(0);
    printf("cost per motion event (median of %d batches of %d posted moves with a button held):\n", ROUNDS, BATCH);
    print_wait_against_raw_loop(cost);
}

static void recording_cost() {
    std::vector<double> off, on;
    for (int r = 0; r < ROUNDS; ++r) {
        korva_state.recording = 0;
        off.push_back(wait_batch_ns());
        korva_state.recording = 1;
        on.push_back(wait_batch_ns());
    }
    korva_state.recording = 0;
    close_script();
    double a = median(off), b = median(on);
    HANDLE f = CreateFileA(SCRIPT_FILE_NAME, GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
    LONGLONG size = 0;
    if (f != INVALID_HANDLE_VALUE) {
        LARGE_INTEGER s;
        if (GetFileSizeEx(f, &s)) size = s.QuadPart;
        CloseHandle(f);
    }
    printf("recording (median of %d batches of %d clicks):\n", ROUNDS, BATCH);
    printf("  recording off           %9.0f ns per event\n", a);
    printf("  recording on            %9.0f ns per event\n", b);
    printf("  ratio on/off            %9.2f   (%lld bytes of script written)\n", b / a, size);
}

// Ends a long wait from outside: after the delay, one click for the graphics window.
static DWORD WINAPI click_later(void* milliseconds) {
    Sleep(static_cast<DWORD>(reinterpret_cast<UINT_PTR>(milliseconds)));
    post_clicks(1);
    return 0;
}

// Waits for events for `milliseconds`, ended by a click from another thread.
static void timed_waits(const char* what, uint8_t animating, DWORD milliseconds) {
    korva_state.animating = animating;
    korva_state.single_step = 0;
    HANDLE thread = CreateThread(nullptr, 0, click_later,
                                 reinterpret_cast<void*>(static_cast<UINT_PTR>(milliseconds)), 0, nullptr);
    double cpu0 = cpu_seconds(), wall0 = now_seconds();
    int periodic = 0, others = 0;
    int32_t x, y, region;
    char key;
    CharacterRecord hero;
    for (;;) {
        int32_t kind = KORVA_wait_event(&x, &y, &key, &region, &hero);
        if (kind == KORVA_MOUSE) break;
        if (kind == KORVA_PERIODIC) ++periodic; else ++others;
    }
    double cpu = cpu_seconds() - cpu0, wall = now_seconds() - wall0;
    WaitForSingleObject(thread, INFINITE);
    CloseHandle(thread);
    printf("%s, %.1f s:\n", what, wall);
    printf("  process CPU time        %9.1f ms (%.2f%% of one core)\n", cpu * 1e3, 100.0 * cpu / wall);
    if (animating)
        printf("  periodic events         %9d (%.2f per s; each needs 101 messages and a tick)\n", periodic,
               periodic / wall);
    if (others) printf("  other events            %9d\n", others);
}

int main() {
    open_for_bench();

    // Posted clicks only: no ticks, and a clean canvas, so nothing but the click is measured.
    KillTimer(korva_state.graphics_window, TICK_TIMER_ID);
    korva_state.canvas_dirty = 0;
    korva_state.animating = 0;
    cost_per_event();
    motion_cost();
    recording_cost();

    SetTimer(korva_state.graphics_window, TICK_TIMER_ID, TICK_PERIOD_MS, nullptr);
    timed_waits("waiting with animation halted and no input", 0, 5000);
    timed_waits("waiting with animation running and no input", 1, 5000);
    timed_waits("waiting with animation running and no input (longer)", 1, 15000);
    KORVA_close();
    return 0;
}
