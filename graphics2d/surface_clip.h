#pragma once
// Clipping shared by the surface bodies. A surface's clip rectangle may reach
// past its edges (SetClipRect keeps what scripts set, for reading back), so
// every writer clips against the clip rectangle intersected with the surface.
// Sums are taken in 64 bits: scripts may pass any position and size.
#include <cstdint>

#include "graphics2d/pixel_format.h"
#include "runtime/base/rect.h"

// The clip rectangle intersected with the surface (possibly empty).
CRect WritableArea(const PixelDescriptor* d);

// The area cut to WritableArea; false when nothing is left.
bool ClipToSurface(const PixelDescriptor* d, int32_t* x, int32_t* y, int32_t* w, int32_t* h);
