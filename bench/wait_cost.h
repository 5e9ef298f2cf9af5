// Shared measuring of the event-wait benchmarks: opening the library for a benchmark, and the
// cost per event of KORVA_wait_event against a bare message loop over the same posted input.
#ifndef KORVA_BENCH_WAIT_COST_H
#define KORVA_BENCH_WAIT_COST_H

#include <windows.h>

#include <stdio.h>

#include <algorithm>
#include <vector>

#include "bench_clock.h"
#include "korva/base/state.h"

inline double median(std::vector<double> v) {
    std::sort(v.begin(), v.end());
    return v[v.size() / 2];
}

// Opens the library as a program's entry would, with logging off, unbuffered output and the
// messages of the opening already handled, so none of them is measured.
inline void open_for_bench() {
    setvbuf(stdout, nullptr, _IONBF, 0);
    korva_state.instance = GetModuleHandleA(nullptr);
    korva_state.show_command = SW_SHOWNORMAL;
    KORVA_open();
    KORVA_logging(0);
    MSG m;
    while (PeekMessageA(&m, nullptr, 0, 0, PM_REMOVE)) DispatchMessageA(&m);
}

// Nanoseconds per event of `events` posted events taken by KORVA_wait_event.
inline double wait_ns_per_event(int events) {
    int32_t x, y, region;
    char key;
    CharacterRecord hero;
    double start = now_seconds();
    for (int i = 0; i < events; ++i) KORVA_wait_event(&x, &y, &key, &region, &hero);
    return (now_seconds() - start) * 1e9 / events;
}

// Nanoseconds per event of a bare GetMessageA/TranslateMessage/DispatchMessageA loop taking
// the `messages` messages that `events` posted events make.
inline double raw_ns_per_event(int events, int messages) {
    double start = now_seconds();
    for (int i = 0; i < messages; ++i) {
        MSG m;
        GetMessageA(&m, nullptr, 0, 0);
        TranslateMessage(&m);
        DispatchMessageA(&m);
    }
    return (now_seconds() - start) * 1e9 / events;
}

struct WaitCost {
    double wait_ns;  // median per event, KORVA_wait_event
    double raw_ns;   // median per event, the bare loop
};

// `rounds` batches of `batch` events each way, posted by `post_events`; each event makes
// `messages_per_event` messages for the bare loop. The batches are interleaved, so drift in
// the machine hits both alike.
inline WaitCost wait_against_raw_loop(void (*post_events)(int), int batch, int messages_per_event, int rounds) {
    std::vector<double> wait, raw;
    for (int r = 0; r < rounds; ++r) {
        post_events(batch);
        wait.push_back(wait_ns_per_event(batch));
        post_events(batch);
        raw.push_back(raw_ns_per_event(batch, messages_per_event * batch));
    }
    return WaitCost{median(wait), median(raw)};
}

inline void print_wait_against_raw_loop(const WaitCost& cost) {
    printf("  KORVA_wait_event        %9.0f ns\n", cost.wait_ns);
    printf("  raw message loop        %9.0f ns\n", cost.raw_ns);
    printf("  ratio wait/raw          %9.2f   (goal <= 1.3)\n", cost.wait_ns / cost.raw_ns);
}

#endif
