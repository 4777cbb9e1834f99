// Without a window system: a level-2 processor, a true-colour screen without
// palette, no GDI objects, no DirectDraw and no window DCs.
#include "graphics2d/os_gdi.h"
#include "graphics2d/surface.h"

int OsProcessorLevel() { return 2; }
OsScreenCaps OsGetScreenCaps() { return {32, 1, false}; }
bool OsGetSystemPaletteEntries(int, int, PaletteEntry*) { return false; }
void* OsCreatePalette(const PaletteEntry*, int) { return nullptr; }
void OsDeletePalette(void*) {}
void OsGetIconSize(int* width, int* height) { *width = *height = 32; }
void* OsCreateIconFromDIB(const void*, const uint8_t*, int, int, const int*) { return nullptr; }
bool OsCopyDCToDC(void*, void*, int, int, int, int, int, int, int, int, bool) { return false; }

void OsCreateSurfacePrototypes(const PlatformPrototypeHolders&) {}
void OsReleaseDirectDraw() {}
CSurfaceImpl* OsCreateWindowDCSurface(void*) { return nullptr; }
