#include "scriptsys/math_functions.h"

#include <cmath>

namespace tw::math {

double RoundHalfUpTowardZero(double value) {
    double whole = std::trunc(value);
    if (value > 0 && value - whole >= 0.5) whole += 1.0;
    return whole;
}

double DegreesToRadians(double degrees) { return degrees * kPi / 180.0; }

double RadiansToDegrees(double radians) { return radians * 180.0 / kPi; }

}  // namespace tw::math
