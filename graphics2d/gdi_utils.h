#pragma once
// GDI work on surfaces and palettes: a palette's GDI handle, an icon or cursor
// made from a surface, and a device-context copy through a DIB. Handles are
// opaque (null without a window system).
#include <cstdint>

#include "graphics2d/surface.h"

// The palette's GDI palette, made on first use from its entries with
// PC_NOCOLLAPSE on entries 10 to 245; null when it cannot be made.
void* GetHPalette(CSharedPalette* palette);

// An icon (hotSpot null) or a cursor with that hot spot (x, y) of width ×
// height (0: the system's icon size): the surface centred on the mask colour,
// or stretched with its aspect kept when it does not fit; the mask marks the
// pixels of the mask colour. Null when no bitmap can be made.
void* CreateIconFromSurface(CSurface* surface, int32_t width, int32_t height, uint32_t maskColour,
                            const int32_t* hotSpot);
// Builds the 1-bit mask of a 24-bit bottom-up DIB's pixels (rows of
// ((width + 15) / 16) × 2 bytes, top row first, most significant bit first):
// 1 where the pixel is the mask colour.
void BuildIconMask(const uint8_t* pixels, int32_t width, int32_t height, uint32_t maskColour, uint8_t* mask);

// Copies the source DC's area to the destination DC through a DIB: the area
// from (sx, sy) of width × height, drawn at (dx, dy) as dw × dh, or with keep
// aspect at the largest size of the area's shape that fits. With pump
// messages, waiting window messages are handled first. True when drawn.
bool CopyDCToDC(void* source, void* destination, int32_t sx, int32_t sy, int32_t dx, int32_t dy, int32_t width,
                int32_t height, int32_t dw, int32_t dh, bool pumpMessages, bool keepAspect);
