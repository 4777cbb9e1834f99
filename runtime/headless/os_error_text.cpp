#include "runtime/base/os_error_text.h"

#include <cerrno>
#include <cstdio>

// The native build has no table of Windows error texts: it names the code.
int OsSystemErrorText(uint32_t code, char* buf, int size) {
    if (buf == nullptr || size < 1)
        return 0;
    int n = std::snprintf(buf, static_cast<size_t>(size), "System error %u", static_cast<unsigned>(code));
    if (n < 0) {
        buf[0] = 0;
        return 0;
    }
    return n < size ? n : size - 1;
}

uint32_t OsLastError() {
    return static_cast<uint32_t>(errno);
}
