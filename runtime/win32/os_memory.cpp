#include "runtime/os_memory.h"

#include <malloc.h>

void OsCompactHeap() {
    _heapmin();
}
