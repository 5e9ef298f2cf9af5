// The benchmarks' clocks: the performance counter and the process's CPU time, in seconds.
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

// User plus kernel time of this process.
inline double cpu_seconds() {
    FILETIME created, exited, kernel, user;
    GetProcessTimes(GetCurrentProcess(), &created, &exited, &kernel, &user);
    auto seconds = [](FILETIME f) {
        return (static_cast<double>(f.dwHighDateTime) * 4294967296.0 + f.dwLowDateTime) * 1e-7;
    };
    return seconds(kernel) + seconds(user);
}

#endif
