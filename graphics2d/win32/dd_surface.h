#pragma once
// DirectDraw surfaces (kind 5) of the Windows build: the library-wide
// DirectDraw object and primary surface, the two DirectDraw prototypes, and
// the test seam of dd_surface.cpp.
//
// DDRAW.DLL is loaded at run time (LoadLibrary + GetProcAddress): the
// executables do not import it, and a system without it simply has no
// DirectDraw (IsDirectDrawUsable false).
#include <cstdint>

class CSurfaceImpl;

// A DirectDraw prototype at the screen's depth: off-screen surfaces where
// DirectDraw chooses (video memory), or in system memory. Null when out of
// memory.
CSurfaceImpl* MakeDirectDrawPrototype(bool systemMemory);

// The shared IDirectDraw2 object and primary surface (IDirectDrawSurface),
// null while none exists. Other components hand them on (e.g. to a movie
// player); they stay owned here.
void* GetDirectDrawObject();
void* GetDirectDrawPrimary();
// The IDirectDrawSurface of a DirectDraw implementation (kind 5), null for
// any other; owned by the implementation.
void* GetDirectDrawSurfaceOf(CSurfaceImpl* impl);

// The DirectDraw pixel-format table: format index 0-4 of a pixel format
// (bit count and red, green, blue masks); -1 for one the library cannot
// draw on (1 or 4 bits, 16, 24 or 32 bits with other masks), -2 for other
// bit counts.
int DirectDrawFormatIndex(uint32_t bitCount, uint32_t redMask, uint32_t greenMask, uint32_t blueMask);

// Test seam. Diagnostic lines go to OutputDebugStringA, or to the given sink
// (null puts OutputDebugStringA back).
typedef void (*DirectDrawDiagnosticSink)(const char* line);
void SetDirectDrawDiagnosticSink(DirectDrawDiagnosticSink sink);

// Forced failures: the next call of the named step fails as if DirectDraw
// had refused it (one shot; kDDStepNone disarms).
enum DirectDrawStep {
    kDDStepNone,
    kDDStepCreate,          // DirectDrawCreate (or DDRAW.DLL not loadable)
    kDDStepNormalLevel,     // SetCooperativeLevel(DDSCL_NORMAL) of a new object
    kDDStepQueryInterface,  // QueryInterface for IDirectDraw2
    kDDStepPrimary,         // CreateSurface of the primary
    kDDStepSurface,         // CreateSurface of an off-screen surface
    kDDStepGetDC,           // IDirectDrawSurface::GetDC
    kDDStepExclusiveLevel,  // SetCooperativeLevel(DDSCL_EXCLUSIVE ...) of SetDisplayMode
    kDDStepSetMode,         // IDirectDraw2::SetDisplayMode
    kDDStepPixelFormat,     // GetPixelFormat answers a 16-bit 4-4-4 format
};
void FailDirectDrawStep(DirectDrawStep step);
