#pragma once
// The surface library's start-up and its registry of client threads.
//
// A thread that makes surfaces registers first (the runtime does it for its
// GUI thread at ProcessStart). The first registration of a thread starts the
// library for it (processor check, static palettes, the thread's palette
// record and default palette); the first registered thread of the process
// makes the surface prototypes, and the last one to leave releases them.
// Registrations are counted per thread.
#include <cstdint>

#include "graphics2d/surface.h"

void RegisterSurfaceClient();
void UnregisterSurfaceClient();
// Start-up of one thread's use: returns the default shared palette with one
// reference (null when it cannot be made).
CSharedPalette* InitSurfaceLibrary();
// At program exit: frees the registry records left, once.
void ReleaseSurfaceRegistry();
// True when a 32 × 32 surface can be made from the DirectDraw prototype.
bool IsDirectDrawUsable();
// Releases the shared DirectDraw primary surface and object.
void ReleaseDirectDraw();

// Flags bit 0 of every new implementation: the fast pixel routines may run.
uint32_t GetSurfaceLibraryFlags();
// The 16-entry system palette (filled on 16-colour palette displays) and the
// default palette as start-up adjusted it (static colours from the system
// palette on 256-colour palette displays).
const PaletteEntry* GetSystemPalette16();
const LogPalette256& GetLibraryDefaultPalette();

// Registrations of the calling thread, registered threads, and whether the
// prototypes exist (for tests).
int GetSurfaceClientCount();
int GetRegisteredThreadCount();
bool SurfacePrototypesExist();
