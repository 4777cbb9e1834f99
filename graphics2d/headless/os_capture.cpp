// No window system: nothing to capture from.
#include "graphics2d/os_capture.h"

void* OsGetCaptureDC(void*, int32_t*, int32_t*) { return nullptr; }
void OsReleaseCaptureDC(void*, void*) {}
