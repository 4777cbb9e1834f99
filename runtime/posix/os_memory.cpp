#include "runtime/base/os_memory.h"

// glibc's allocator gives memory back on its own; nothing to compact.
void OsCompactHeap() {}
