#pragma once
// Millisecond clock of the operation loop, the tickers and the message pump.
#include <cstdint>

// A 32-bit millisecond counter that wraps around after about 49.7 days; compare
// times only through unsigned differences.
uint32_t OsTimeMs();

// A cheaper clock of coarser steps (its own origin), read to tell that less
// time has passed than something waits for without reading OsTimeMs.
uint32_t OsCoarseTimeMs();
// The largest step, in ms, between two readings of the coarse clock, and of
// OsTimeMs; 0 when the coarse clock cannot be used so.
uint32_t OsCoarseClockStepMs();
uint32_t OsTimeStepMs();
