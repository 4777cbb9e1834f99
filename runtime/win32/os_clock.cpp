#include "runtime/interp/os_clock.h"

#include <windows.h>
#include <mmsystem.h>

uint32_t OsTimeMs() {
    return static_cast<uint32_t>(timeGetTime());
}

uint32_t OsCoarseTimeMs() {
    return static_cast<uint32_t>(GetTickCount());
}

uint32_t OsCoarseClockStepMs() {
    static const uint32_t step = [] {
        DWORD adjustment = 0, increment = 0;
        BOOL disabled = FALSE;
        if (!GetSystemTimeAdjustment(&adjustment, &increment, &disabled) || increment == 0)
            return 0u;
        // 100 ns units to whole milliseconds, rounded up.
        return static_cast<uint32_t>((increment + 9999) / 10000);
    }();
    return step;
}

uint32_t OsTimeStepMs() {
    // timeGetTime advances in steps of the system timer unless a finer
    // period was asked for: as coarse as the tick count at worst.
    const uint32_t coarse = OsCoarseClockStepMs();
    return coarse != 0 ? coarse : 16;
}
