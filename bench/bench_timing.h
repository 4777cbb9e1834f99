#pragma once
// Timing shared by the benchmarks.
#include <chrono>

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
}  // namespace bench
