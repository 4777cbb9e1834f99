#pragma once
// Numeric helpers of the math class that are more than one library call.
#include <cstdint>

namespace tw::math {

constexpr double kPi = 3.141592653589793;

// The integer part, plus 1 when the value is positive and its fractional part
// is at least 0.5; a negative value keeps its integer part (-2.5 gives -2).
double RoundHalfUpTowardZero(double value);
double DegreesToRadians(double degrees);
double RadiansToDegrees(double radians);

}  // namespace tw::math
