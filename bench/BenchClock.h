#pragma once
// The clock the benchmarks time operations by.

#include <chrono>
#include <cstdlib>
#include <ctime>

namespace benchmap {

// The wall clock, or with TAVLO_BENCH_CPU=1 the benchmark thread's CPU clock,
// which on a machine shared with other work leaves out the time spent waiting
// for a core.
struct Clock {
    using time_point = double;
    static double now() {
        static const bool cpu = [] {
            const char* v = std::getenv("TAVLO_BENCH_CPU");
            return v && *v && *v != '0';
        }();
        if (cpu) {
            timespec t{};
            clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
            return static_cast<double>(t.tv_sec) + static_cast<double>(t.tv_nsec) * 1e-9;
        }
        return std::chrono::duration<double>(std::chrono::steady_clock::now().time_since_epoch())
            .count();
    }
};

} // namespace benchmap
