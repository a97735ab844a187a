// The clocks every benchmark reads, for itself and for the peer it is set
// against in the same run.
#pragma once

#include <time.h>

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <string>

namespace bench {

using Clock = std::chrono::steady_clock;

inline double seconds_between(Clock::time_point from, Clock::time_point to) {
    return std::chrono::duration<double>(to - from).count();
}

inline double seconds_since(Clock::time_point start) {
    return seconds_between(start, Clock::now());
}

// The wall time of one run of the work.
template <typename F>
double seconds_of(F&& work) {
    const auto start = Clock::now();
    work();
    return seconds_since(start);
}

// The wall time of a shell command; -1 when it fails.
inline double time_command(const std::string& command) {
    const auto start = Clock::now();
    if (std::system(command.c_str()) != 0) return -1;
    return seconds_since(start);
}

// The least of `runs` figures of f, so that other load on the machine
// disturbs both sides alike; a negative figure is a failed run and ends it.
template <typename F>
double best_of(int runs, F&& f) {
    double best = 1e30;
    for (int i = 0; i < runs; ++i) {
        const double t = f();
        if (t < 0) return t;
        best = std::min(best, t);
    }
    return best;
}

// CPU time of this thread: the machine may be busy with other work, and
// some figures are about what one core can do.
inline double thread_seconds() {
    timespec ts{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &ts);
    return double(ts.tv_sec) + double(ts.tv_nsec) * 1e-9;
}

}  // namespace bench
