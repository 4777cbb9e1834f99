#pragma once
// Text of numbers as scripts see it: "%d" for integers and "%g" for doubles, with
// the two-digit exponent of the C standard ("1e+20") on every build.
#include <cstddef>

namespace tw {
// Writes the "%g" text of d into buf (at least 32 bytes); returns the length.
int FormatDouble(char* buf, std::size_t size, double d);
// Writes the decimal text of i into buf (at least 12 bytes); returns the length.
int FormatInt(char* buf, std::size_t size, int i);
}
