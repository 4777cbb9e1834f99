#include "runtime/base/number_text.h"

#include <cstdio>

namespace tw {
int FormatDouble(char* buf, std::size_t size, double d) {
    return std::snprintf(buf, size, "%g", d);
}

int FormatInt(char* buf, std::size_t size, int i) {
    return std::snprintf(buf, size, "%d", i);
}
}
