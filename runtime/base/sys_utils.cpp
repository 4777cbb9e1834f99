#include "runtime/base/sys_utils.h"

#include <atomic>
#include <cstdlib>
#include <cstring>

#include "runtime/base/alloc_fault_injection.h"
#include "runtime/base/os_memory.h"

namespace {

std::atomic<int> g_injectedFailures{0};
std::atomic<int> g_compactions{0};

// True when the test seam asks this attempt to fail.
bool InjectFailure() {
    int left = g_injectedFailures.load();
    while (left > 0) {
        if (g_injectedFailures.compare_exchange_weak(left, left - 1)) return true;
    }
    return false;
}

void CompactHeap() {
    g_compactions.fetch_add(1);
    OsCompactHeap();
}

void* TryMalloc(std::size_t size) { return InjectFailure() ? nullptr : std::malloc(size); }
void* TryCalloc(std::size_t size) { return InjectFailure() ? nullptr : std::calloc(size, 1); }
void* TryRealloc(void* block, std::size_t size) {
    return InjectFailure() ? nullptr : std::realloc(block, size);
}

bool IsTrimmed(char c) { return c == '\r' || c == '\n' || c == '\t' || c == ' '; }

}  // namespace

namespace tw {
namespace testing {
void SetAllocFailures(int count) { g_injectedFailures.store(count > 0 ? count : 0); }
int AllocFailuresLeft() { return g_injectedFailures.load(); }
int HeapCompactionCount() { return g_compactions.load(); }
}  // namespace testing
}  // namespace tw

bool AllocRetry(std::size_t size, void** place) {
    if (size == 0) size = 1;
    void* p = TryMalloc(size);
    if (!p) {
        CompactHeap();
        p = TryMalloc(size);
    }
    *place = p;
    return p != nullptr;
}

bool CallocRetry(std::size_t size, void** place) {
    if (size == 0) size = 1;
    void* p = TryCalloc(size);
    if (!p) {
        CompactHeap();
        p = TryCalloc(size);
    }
    *place = p;
    return p != nullptr;
}

bool ReallocRetry(std::size_t size, void** place) {
    // realloc(block, 0) may free the block and answer null, which would look like
    // a failure while the caller's pointer dangles: keep a minimal block instead.
    if (size == 0) size = 1;
    void* p = TryRealloc(*place, size);
    if (!p) {
        CompactHeap();
        p = TryRealloc(*place, size);
    }
    if (!p) return false;
    *place = p;
    return true;
}

void FreeAndNull(void** place) {
    if (*place) {
        std::free(*place);
        *place = nullptr;
    }
}

bool AssignStringBuffer(char** buffer, const char* text) {
    FreeAndNull(buffer);
    if (!text) return true;
    std::size_t len = std::strlen(text);
    if (!AllocRetry(len + 1, buffer)) return false;
    std::memcpy(*buffer, text, len + 1);
    return true;
}

char* TrimWhitespaceInPlace(char* text) {
    if (!text) return nullptr;
    char* start = text;
    while (IsTrimmed(*start)) ++start;
    std::size_t len = std::strlen(start);
    while (len > 0 && IsTrimmed(start[len - 1])) --len;
    if (start != text) std::memmove(text, start, len);
    text[len] = '\0';
    return text;
}
