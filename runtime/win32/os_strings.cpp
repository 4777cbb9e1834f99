#include "runtime/base/os_strings.h"

#include <windows.h>

int OsLoadString(unsigned id, char* buf, int size) {
    if (buf == nullptr || size < 1)
        return 0;
    buf[0] = 0;
    int n = LoadStringA(GetModuleHandleA(nullptr), id, buf, size);
    return n > 0 ? n : 0;
}
