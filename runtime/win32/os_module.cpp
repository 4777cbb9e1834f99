#include "runtime/package/os_module.h"

#include <windows.h>

namespace {
void* g_instance = nullptr;
}

void OsSetModuleInstance(void* instance) { g_instance = instance; }

void* OsGetModuleInstance() { return g_instance ? g_instance : GetModuleHandleA(nullptr); }

int32_t OsGetProgramFileName(char* buffer, int32_t size) {
    if (!buffer || size < 1) return 0;
    buffer[0] = 0;
    DWORD n = GetModuleFileNameA(static_cast<HMODULE>(OsGetModuleInstance()), buffer, static_cast<DWORD>(size));
    // A name that does not fit is cut (and on older systems not terminated).
    if (n >= static_cast<DWORD>(size)) n = static_cast<DWORD>(size) - 1;
    buffer[n] = 0;
    return static_cast<int32_t>(n);
}
