#include "runtime/base/number_text.h"

#include <cstdio>

namespace tw {
int FormatDouble(char* buf, std::size_t size, double d) {
    return std::snprintf(buf, size, "%g", d);
}

// By hand: the C library's formatter costs several times more, and numbers
// become texts in every "text" + n.
int FormatInt(char* buf, std::size_t size, int i) {
    char digits[12];
    int n = 0;
    unsigned u = i < 0 ? 0u - static_cast<unsigned>(i) : static_cast<unsigned>(i);
    do {
        digits[n++] = static_cast<char>('0' + u % 10);
        u /= 10;
    } while (u != 0);
    if (i < 0)
        digits[n++] = '-';
    if (size == 0)
        return n;
    const std::size_t written = static_cast<std::size_t>(n) < size ? static_cast<std::size_t>(n) : size - 1;
    for (std::size_t k = 0; k < written; ++k)
        buf[k] = digits[n - 1 - static_cast<int>(k)];
    buf[written] = 0;
    return n;
}
}
