#pragma once
// Conversions of the rasteriser from float to integer, saturated so that no
// vertex value (huge, infinite or NaN after a degenerate projection) can
// overflow the integer stepping: rows, columns and depths stay within
// +-2^30, whose differences and steps fit 32 bits.
#include <cmath>
#include <cstdint>

constexpr int32_t kRasterLimit = (1 << 30) - 1;

// Truncation toward zero into [-limit, limit]; NaN gives 0.
inline int32_t SaturateToInt(float f, int32_t limit = kRasterLimit) {
    if (!(f == f)) return 0;
    if (f >= float(limit)) return limit;
    if (f <= -float(limit)) return -limit;
    return int32_t(f);
}

// Nearest integer, halves to even (the default rounding mode), saturated.
inline int32_t SaturateNearest(float f) {
    if (!(f == f)) return 0;
    if (f >= float(kRasterLimit)) return kRasterLimit;
    if (f <= -float(kRasterLimit)) return -kRasterLimit;
    return int32_t(std::nearbyint(f));
}

inline int32_t NearestRow(float y) { return SaturateNearest(y); }
inline int32_t NearestColumn(float x) { return SaturateNearest(x); }

// The depth-buffer value of q: q with 23 fraction bits, truncated.
inline int32_t DepthValue(float q) { return SaturateToInt(q * 8388608.0f); }
