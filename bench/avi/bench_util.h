// Timing and peak memory of work done in a child process, so that each
// measurement starts from a clean process and its peak memory is its own.
#pragma once

#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <functional>
#include <string>
#include <vector>

#include "bench/bench_timing.h"

namespace avibench {

struct Measure {
    double seconds = 0;
    long peak_kb = 0;
    bool ok = false;
};

inline Measure finish(pid_t pid, bench::Clock::time_point start) {
    Measure m;
    int status = 0;
    struct rusage ru {};
    if (wait4(pid, &status, 0, &ru) != pid) return m;
    m.seconds = bench::seconds_since(start);
    m.peak_kb = ru.ru_maxrss;
    m.ok = WIFEXITED(status) && WEXITSTATUS(status) == 0;
    return m;
}

// Runs fn in a forked child; the child's exit code is fn's result (0 = fine).
inline Measure in_child(const std::function<int()>& fn) {
    auto start = bench::Clock::now();
    pid_t pid = fork();
    if (pid == 0) _exit(fn());
    return finish(pid, start);
}

inline Measure command(const std::vector<std::string>& argv) {
    auto start = bench::Clock::now();
    pid_t pid = fork();
    if (pid == 0) {
        std::vector<char*> args;
        for (const std::string& a : argv) args.push_back(const_cast<char*>(a.c_str()));
        args.push_back(nullptr);
        // Contenders print nothing worth keeping; a warm-up cat prints the file.
        freopen("/dev/null", "w", stdout);
        execvp(args[0], args.data());
        _exit(127);
    }
    return finish(pid, start);
}

// Reads a file once so that every contender starts from the page cache.
inline void warm(const std::string& path) { (void)command({"cat", path}); }

inline Measure best_of(int runs, const std::function<Measure()>& fn) {
    Measure best;
    for (int i = 0; i < runs; ++i) {
        Measure m = fn();
        if (!m.ok) return m;
        if (!best.ok || m.seconds < best.seconds) best = m;
    }
    return best;
}

inline std::string folder_arg(int argc, char** argv, const std::string& fallback) {
    for (int i = 1; i + 1 < argc; ++i)
        if (std::string(argv[i]) == "--dir") return argv[i + 1];
    return fallback;
}

inline bool flag(int argc, char** argv, const char* name) {
    for (int i = 1; i < argc; ++i)
        if (std::string(argv[i]) == name) return true;
    return false;
}

}  // namespace avibench
