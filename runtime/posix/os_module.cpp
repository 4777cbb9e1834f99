#include "runtime/package/os_module.h"

#include <unistd.h>

namespace {
void* g_instance = nullptr;
}

void OsSetModuleInstance(void* instance) { g_instance = instance; }

void* OsGetModuleInstance() { return g_instance; }

int32_t OsGetProgramFileName(char* buffer, int32_t size) {
    if (!buffer || size < 1) return 0;
    buffer[0] = 0;
    ssize_t n = readlink("/proc/self/exe", buffer, static_cast<size_t>(size) - 1);
    if (n < 0) n = 0;
    buffer[n] = 0;
    return static_cast<int32_t>(n);
}
