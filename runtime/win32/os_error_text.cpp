#include "runtime/base/os_error_text.h"

#include <windows.h>

int OsSystemErrorText(uint32_t code, char* buf, int size) {
    if (buf == nullptr || size < 1)
        return 0;
    DWORD n = FormatMessageA(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr, code,
                             MAKELANGID(LANG_NEUTRAL, SUBLANG_DEFAULT), buf, static_cast<DWORD>(size), nullptr);
    if (n == 0) {
        buf[0] = 0;
        return 0;
    }
    if (n >= static_cast<DWORD>(size))
        n = static_cast<DWORD>(size) - 1;
    buf[n] = 0;
    return static_cast<int>(n);
}

uint32_t OsLastError() {
    return static_cast<uint32_t>(GetLastError());
}
