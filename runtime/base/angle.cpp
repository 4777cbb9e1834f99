#include "runtime/base/angle.h"

#include <cmath>

namespace {
const double kTwoPi = 6.283185307178;
const double kNearZero = 0.001;
}  // namespace

float NormalizeAngle(float radians) {
    // fmod keeps the cost constant for huge angles; NaN and infinity would make
    // any reduction meaningless, so they become the neutral angle.
    if (!std::isfinite(radians)) return 0.0f;
    double a = radians;
    double r = std::fmod(std::fabs(a), kTwoPi);
    if (r < kNearZero) return 0.0f;
    if (a < 0) r = kTwoPi - r;
    if (r < kNearZero) return 0.0f;
    float result = static_cast<float>(r);
    // Rounding to float can land on 2*pi itself, which is a full turn.
    if (static_cast<double>(result) >= kTwoPi) return 0.0f;
    return result;
}
