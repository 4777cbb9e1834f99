#pragma once
// The device-context calls of the GDI presenter. The Windows build calls
// GDI; the native build has no window system: no DC, so no frame is shown.
#include <cstdint>

// GetDC of the window; null when none can be had.
void* OsPresentGetDC(void* window);
void OsPresentReleaseDC(void* window, void* dc);
// SelectPalette (dc, palette, background): the previous palette.
void* OsPresentSelectPalette(void* dc, void* palette, int32_t background);
// The statistics line: transparent background, white text, at (0, 0).
void OsPresentStatistics(void* dc, const char* text, int32_t length);
