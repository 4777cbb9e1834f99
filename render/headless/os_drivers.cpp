#include "render/os_drivers.h"

// No display system: no DirectDraw, no display settings.
void* OsCreateDirectDraw2() { return nullptr; }

void OsCreateDirect3D(void** directDraw4, void** direct3D3) {
    *directDraw4 = nullptr;
    *direct3D3 = nullptr;
}

void OsReleaseInterface(void*) {}

int32_t OsWaitVerticalBlank(void*) { return 0; }

void OsEnumerateDirectDrawModes(void*, LAPICLBK*, LDriverRecord*) {}

void OsEnumerateDisplaySettings(LAPICLBK*, LDriverRecord*) {}

void OsEnumerateDirect3D(LAPICLBK*, void*) {}
