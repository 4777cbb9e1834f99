#include "runtime/interp/os_clock.h"

#include <time.h>

uint32_t OsTimeMs() {
    struct timespec ts;
    clock_gettime(CLOCK_MONOTONIC, &ts);
    uint64_t ms = static_cast<uint64_t>(ts.tv_sec) * 1000u + static_cast<uint64_t>(ts.tv_nsec) / 1000000u;
    return static_cast<uint32_t>(ms);
}

uint32_t OsCoarseTimeMs() {
    struct timespec ts;
    clock_gettime(CLOCK_MONOTONIC_COARSE, &ts);
    uint64_t ms = static_cast<uint64_t>(ts.tv_sec) * 1000u + static_cast<uint64_t>(ts.tv_nsec) / 1000000u;
    return static_cast<uint32_t>(ms);
}

uint32_t OsCoarseClockStepMs() {
    static const uint32_t step = [] {
        struct timespec res;
        if (clock_getres(CLOCK_MONOTONIC_COARSE, &res) != 0 || res.tv_sec != 0)
            return 0u;
        // Whole milliseconds, rounded up, plus the truncation of the reading.
        return static_cast<uint32_t>((res.tv_nsec + 999999) / 1000000) + 1u;
    }();
    return step;
}

uint32_t OsTimeStepMs() {
    return 1;  // nanosecond clock read in whole milliseconds
}
