#pragma once
// Numbers as script values read them from text and from doubles.
#include <cstdint>

namespace tw {
// Double to integer, truncated toward zero; NaN and values outside the 32-bit
// range give INT32_MIN, as the x86 conversion instruction does.
int32_t TruncateToInt(double d);
// Decimal integer prefix: leading white space, a sign, digits; 0 when there are
// none (or text is null). Values beyond 32 bits are clamped.
int32_t ParseIntPrefix(const char* text);
// Decimal floating-point prefix (white space, sign, digits, fraction, exponent);
// no hexadecimal, infinity or NaN forms. 0.0 when there is none.
double ParseDoublePrefix(const char* text);
}  // namespace tw
