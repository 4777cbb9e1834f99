#pragma once
// Millisecond clock of the operation loop, the tickers and the message pump.
#include <cstdint>

// A 32-bit millisecond counter that wraps around after about 49.7 days; compare
// times only through unsigned differences.
uint32_t OsTimeMs();
