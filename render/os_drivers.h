#pragma once
// The system calls of the drivers' creation and catalogues. The Windows
// build loads DDRAW.DLL at run time (the executable never imports it); the
// native build has no display system: no interfaces, no catalogue entries.
//
// Interfaces are handed around as opaque COM pointers.
#include <cstdint>

class LAPICLBK;
struct LDriverRecord;

// DirectDrawCreate(null) asked for IDirectDraw2; null on any failure.
void* OsCreateDirectDraw2();
// DirectDrawCreate(null) asked for IDirectDraw4, and that for IDirect3D3;
// each null on failure.
void OsCreateDirect3D(void** directDraw4, void** direct3D3);
// IUnknown::Release of a non-null interface.
void OsReleaseInterface(void* object);
// WaitForVerticalBlank(DDWAITVB_BLOCKBEGIN) of an IDirectDraw2 or
// IDirectDraw4; 1 on success.
int32_t OsWaitVerticalBlank(void* directDraw);

// IDirectDraw2::EnumDisplayModes: every mode into the record, handle null.
void OsEnumerateDirectDrawModes(void* directDraw2, LAPICLBK* driver, LDriverRecord* record);
// EnumDisplaySettingsA(null, i) for i = 0, 1 ...: every mode above 8 bits
// into the record with a 148-byte copy of its DEVMODE as handle.
void OsEnumerateDisplaySettings(LAPICLBK* driver, LDriverRecord* record);
// The Direct3D catalogue: DirectDraw devices, their Direct3D drivers and the
// modes each can render to.
void OsEnumerateDirect3D(LAPICLBK* driver, void* directDraw4);
