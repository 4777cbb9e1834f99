#pragma once
// Timing shared by the benchmarks.
#include <algorithm>
#include <chrono>
#include <functional>

namespace bench {
using Clock = std::chrono::steady_clock;

inline double Seconds(Clock::time_point since) {
    return std::chrono::duration<double>(Clock::now() - since).count();
}

// Best of three runs in seconds, so page faults of first writes and a busy
// moment on the machine do not decide the figure.
template <typename F>
double Best(F&& run) {
    double best = 1e30;
    for (int i = 0; i < 3; ++i) {
        const auto t0 = Clock::now();
        run();
        const double t = Seconds(t0);
        if (t < best) best = t;
    }
    return best;
}

// Best time of one call in milliseconds: one warming call (caches, lazily
// made tables), then `runs` runs of repeated calls of at least 20 ms each.
inline double BestMillisecondsPerCall(const std::function<void()>& f, int runs = 7) {
    f();
    double best = 1e30;
    for (int run = 0; run < runs; ++run) {
        int reps = 0;
        const auto start = Clock::now();
        double elapsed;
        do {
            f();
            ++reps;
            elapsed = std::chrono::duration<double, std::milli>(Clock::now() - start).count();
        } while (elapsed < 20);
        best = std::min(best, elapsed / reps);
    }
    return best;
}
}  // namespace bench
