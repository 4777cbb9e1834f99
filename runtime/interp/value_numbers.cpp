#include "runtime/interp/value_numbers.h"

#include <cctype>
#include <cstdlib>
#include <string>

namespace tw {

int32_t TruncateToInt(double d) {
    if (!(d > -2147483649.0 && d < 2147483648.0))
        return INT32_MIN;
    return static_cast<int32_t>(d);
}

int32_t ParseIntPrefix(const char* text) {
    if (text == nullptr)
        return 0;
    const unsigned char* p = reinterpret_cast<const unsigned char*>(text);
    while (std::isspace(*p))
        ++p;
    bool negative = false;
    if (*p == '+' || *p == '-')
        negative = *p++ == '-';
    int64_t value = 0;
    for (; *p >= '0' && *p <= '9'; ++p)
        if (value <= INT64_C(0x80000000))
            value = value * 10 + (*p - '0');
    if (negative)
        value = -value;
    if (value > INT32_MAX)
        return INT32_MAX;
    if (value < INT32_MIN)
        return INT32_MIN;
    return static_cast<int32_t>(value);
}

double ParseDoublePrefix(const char* text) {
    if (text == nullptr)
        return 0.0;
    const char* p = text;
    while (std::isspace(static_cast<unsigned char>(*p)))
        ++p;
    const char* start = p;
    if (*p == '+' || *p == '-')
        ++p;
    bool digits = false;
    while (*p >= '0' && *p <= '9') {
        ++p;
        digits = true;
    }
    if (*p == '.') {
        ++p;
        while (*p >= '0' && *p <= '9') {
            ++p;
            digits = true;
        }
    }
    if (!digits)
        return 0.0;
    if (*p == 'e' || *p == 'E') {
        const char* e = p + 1;
        if (*e == '+' || *e == '-')
            ++e;
        if (*e >= '0' && *e <= '9') {
            while (*e >= '0' && *e <= '9')
                ++e;
            p = e;
        }
    }
    // Only the checked prefix goes to the C library, so that forms it would
    // also accept ("0x1A", "inf") read as their decimal start.
    std::string prefix(start, p);
    return std::strtod(prefix.c_str(), nullptr);
}

}  // namespace tw
