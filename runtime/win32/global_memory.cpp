#include "runtime/win32/global_memory.h"

bool GlobalAllocLocked(SIZE_T size, void** place) {
    *place = nullptr;
    HGLOBAL block = GlobalAlloc(GMEM_MOVEABLE | GMEM_ZEROINIT, size);
    if (!block) return false;
    void* p = GlobalLock(block);
    if (!p) {
        GlobalFree(block);
        return false;
    }
    *place = p;
    return true;
}

void GlobalFreeLocked(void** place) {
    if (!*place) return;
    HGLOBAL block = GlobalHandle(*place);
    if (block) {
        GlobalUnlock(block);
        GlobalFree(block);
    }
    *place = nullptr;
}
