#include "runtime/base/number_literal.h"

#include <cstdlib>

namespace {

int DigitValue(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return 99;
}

// Accumulates in double so long literals lose precision instead of overflowing.
double ReadDigits(const char* p, int base) {
    double value = 0.0;
    for (int d; (d = DigitValue(*p)) < base; ++p) value = value * base + d;
    return value;
}

}  // namespace

double ParseNumberLiteral(const char* text) {
    if (!text) return 0.0;
    if (text[0] == '0' && (text[1] == 'b' || text[1] == 'B')) return ReadDigits(text + 2, 2);
    if (text[0] == '0' && (text[1] == 'x' || text[1] == 'X')) return ReadDigits(text + 2, 16);
    return std::strtod(text, nullptr);
}
