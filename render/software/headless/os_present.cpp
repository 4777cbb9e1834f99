// No window system natively: no device context, so nothing is presented.
#include "render/software/os_present.h"

void* OsPresentGetDC(void*) { return nullptr; }
void OsPresentReleaseDC(void*, void*) {}
void* OsPresentSelectPalette(void*, void*, int32_t) { return nullptr; }
void OsPresentText(void*, int32_t, int32_t, uint32_t, int32_t, const char*, int32_t) {}
