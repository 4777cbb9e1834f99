#pragma once
// Test seam of the retrying allocators (runtime/base/sys_utils.h): makes the next
// allocation attempts fail as if the heap were exhausted, so the retry and
// failure paths can be exercised without exhausting real memory. Only tests
// include this header; the product never arms it.

namespace tw {
namespace testing {

// The next `count` attempts of malloc, calloc or realloc inside AllocRetry,
// CallocRetry and ReallocRetry fail (each retry is an attempt). 0 disarms.
void SetAllocFailures(int count);

// Injected failures not yet used up.
int AllocFailuresLeft();

// Number of heap compactions the allocators asked for since the process started.
int HeapCompactionCount();

}  // namespace testing
}  // namespace tw
