// The benchmarks' clock: the performance counter, in seconds.
#ifndef KORVA_BENCH_BENCH_CLOCK_H
#define KORVA_BENCH_BENCH_CLOCK_H

#include <windows.h>

inline double now_seconds() {
    static const LARGE_INTEGER frequency = [] {
        LARGE_INTEGER f;
        QueryPerformanceFrequency(&f);
        return f;
    }();
    LARGE_INTEGER t;
    QueryPerformanceCounter(&t);
    return static_cast<double>(t.QuadPart) / static_cast<double>(frequency.QuadPart);
}

#endif
