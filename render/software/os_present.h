#pragma once
// The device-context calls of the GDI presenter. The Windows build calls
// GDI; the native build has no window system: no DC, so no frame is shown.
#include <cstdint>

// GetDC of the window; null when none can be had.
void* OsPresentGetDC(void* window);
void OsPresentReleaseDC(void* window, void* dc);
// SelectPalette (dc, palette, background): the previous palette.
void* OsPresentSelectPalette(void* dc, void* palette, int32_t background);
// A line of text at (x, y) in the colour (0x00BBGGRR), over a transparent
// or an opaque background.
void OsPresentText(void* dc, int32_t x, int32_t y, uint32_t colour, int32_t transparent, const char* text,
                   int32_t length);
