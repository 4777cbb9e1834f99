#pragma once
// DDRAW.DLL, loaded at run time so that the executable never imports it and
// starts on a machine without it. The library stays loaded for the process
// once loaded (the drivers' interfaces live in it).
#include <windows.h>
#include <ddraw.h>

// The loaded library, or null when it cannot be loaded.
HMODULE DirectDrawLibrary();
// DirectDrawCreate(guid) through the library; null on any failure.
IDirectDraw* CreateDirectDrawObject(GUID* guid);
