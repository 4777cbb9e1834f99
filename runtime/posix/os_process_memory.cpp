// Native stand-in of the process-memory query: the resident set from /proc.
#include "runtime/interp/os_process_memory.h"

#include <unistd.h>

#include <cstdio>
#include <mutex>

namespace {
std::mutex g_lock;
int g_useCount = 0;
}  // namespace

void InitProcessMemoryLock() {}

int LoadProcessMemoryApi() {
    std::lock_guard<std::mutex> hold(g_lock);
    ++g_useCount;
    return 1;
}

int FreeProcessMemoryApi() {
    std::lock_guard<std::mutex> hold(g_lock);
    if (g_useCount > 0) --g_useCount;
    return 1;
}

std::size_t GetProcessUsedMemory() {
    {
        std::lock_guard<std::mutex> hold(g_lock);
        if (g_useCount == 0) return 0;
    }
    std::FILE* f = std::fopen("/proc/self/statm", "r");
    if (!f) return 0;
    unsigned long size = 0, resident = 0;
    int fields = std::fscanf(f, "%lu %lu", &size, &resident);
    std::fclose(f);
    if (fields != 2) return 0;
    long page = sysconf(_SC_PAGESIZE);
    return page > 0 ? static_cast<std::size_t>(resident) * static_cast<std::size_t>(page) : 0;
}
