#include "runtime/base/os_memory.h"

#include <malloc.h>

void OsCompactHeap() {
    _heapmin();
}
