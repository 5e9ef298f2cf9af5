// The performance counter that the timed extensions (frame pace, clock, chance's seed) read.
#ifndef KORVA_EXTRAS_PERFORMANCE_COUNTER_H
#define KORVA_EXTRAS_PERFORMANCE_COUNTER_H

#include <windows.h>

#include <stdint.h>

inline int64_t counter_now() {
    LARGE_INTEGER t;
    QueryPerformanceCounter(&t);
    return t.QuadPart;
}

// Counts per second; fixed at boot, so read once.
inline int64_t counter_frequency() {
    static const int64_t frequency = [] {
        LARGE_INTEGER f;
        QueryPerformanceFrequency(&f);
        return f.QuadPart;
    }();
    return frequency;
}

#endif
