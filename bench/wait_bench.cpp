// Figures of the event wait: cost per event against a bare message loop, CPU use while idle
// and while animating, and the cost of recording. Prints figures; asserts nothing.
#include <windows.h>

#include <stdio.h>

#include <algorithm>
#include <vector>

#include "bench_clock.h"
#include "korva/core/state.h"
#include "korva/script/script.h"

static constexpr int BATCH = 1000;   // clicks posted before they are taken
static constexpr int ROUNDS = 20;    // batches per figure; the median batch is reported

// User plus kernel time of this process, in seconds.
static double cpu_seconds() {
    FILETIME created, exited, kernel, user;
    GetProcessTimes(GetCurrentProcess(), &created, &exited, &kernel, &user);
    auto seconds = [](FILETIME f) {
        return (static_cast<double>(f.dwHighDateTime) * 4294967296.0 + f.dwLowDateTime) * 1e-7;
    };
    return seconds(kernel) + seconds(user);
}

static void post_clicks(int n) {
    for (int i = 0; i < n; ++i)
        PostMessageA(korva_state.graphics_window, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(100 + i % 50, 80));
}

static double median(std::vector<double> v) {
    std::sort(v.begin(), v.end());
    return v[v.size() / 2];
}

// Nanoseconds per event of BATCH posted clicks taken by KORVA_wait_event.
static double wait_batch_ns() {
    int32_t x, y, region;
    char key;
    CharacterRecord hero;
    post_clicks(BATCH);
    double start = now_seconds();
    for (int i = 0; i < BATCH; ++i) KORVA_wait_event(&x, &y, &key, &region, &hero);
    return (now_seconds() - start) * 1e9 / BATCH;
}

// The same clicks taken by a bare GetMessageA/TranslateMessage/DispatchMessageA loop.
static double raw_batch_ns() {
    post_clicks(BATCH);
    double start = now_seconds();
    for (int i = 0; i < BATCH; ++i) {
        MSG m;
        GetMessageA(&m, nullptr, 0, 0);
        TranslateMessage(&m);
        DispatchMessageA(&m);
    }
    return (now_seconds() - start) * 1e9 / BATCH;
}

static void cost_per_event() {
    std::vector<double> wait, raw;
    for (int r = 0; r < ROUNDS; ++r) {  // interleaved, so drift in the machine hits both alike
        wait.push_back(wait_batch_ns());
        raw.push_back(raw_batch_ns());
    }
    double w = median(wait), b = median(raw);
    printf("cost per click event (median of %d batches of %d posted clicks):\n", ROUNDS, BATCH);
    printf("  KORVA_wait_event        %9.0f ns\n", w);
    printf("  raw message loop        %9.0f ns\n", b);
    printf("  ratio wait/raw          %9.2f   (goal <= 1.3)\n", w / b);
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
    setvbuf(stdout, nullptr, _IONBF, 0);
    korva_state.instance = GetModuleHandleA(nullptr);
    korva_state.show_command = SW_SHOWNORMAL;
    KORVA_open();
    KORVA_logging(0);
    MSG m;
    while (PeekMessageA(&m, nullptr, 0, 0, PM_REMOVE)) DispatchMessageA(&m);

    // Posted clicks only: no ticks, and a clean canvas, so nothing but the click is measured.
    KillTimer(korva_state.graphics_window, TICK_TIMER_ID);
    korva_state.canvas_dirty = 0;
    korva_state.animating = 0;
    cost_per_event();
    recording_cost();

    SetTimer(korva_state.graphics_window, TICK_TIMER_ID, TICK_PERIOD_MS, nullptr);
    timed_waits("waiting with animation halted and no input", 0, 5000);
    timed_waits("waiting with animation running and no input", 1, 5000);
    timed_waits("waiting with animation running and no input (longer)", 1, 15000);
    KORVA_close();
    return 0;
}
