#pragma once
// Format-independent row engines over pixel descriptors: nearest-neighbour
// stretching, top-to-bottom mirroring, overlap-safe moves, plain row copies,
// the blank test, the content-bounds scan and the 8-bit index map. Like the
// routine tables they trust their (already clipped) arguments.
#include <cstdint>

#include "graphics2d/pixel_format.h"
#include "runtime/base/rect.h"

// Nearest-neighbour scaling of the source area (sx, sy, sw × sh) into the
// destination area (dx, dy, dw × dh) by 16.16 accumulation: a source row is
// written once for every whole step the vertical accumulator holds and skipped
// when it holds less; columns likewise. Both descriptors have the same format.
// Nothing happens when a size is 0.
void StretchRows(PixelDescriptor* d, int32_t dx, int32_t dy, const PixelDescriptor* s, int32_t sx, int32_t sy,
                 int32_t destWidth, int32_t destHeight, int32_t sourceWidth, int32_t sourceHeight);

// Mirrors the area top to bottom: rowBytes bytes of row y + j swap with those
// of row y + height - 1 - j, for j below height / 2.
void SwapRows(PixelDescriptor* d, int32_t x, int32_t y, int32_t rowStep, int32_t width, int32_t height,
              int32_t rowBytes);

// Copies an area to another place of the same surface, correct when the two
// overlap.
void MoveArea(PixelDescriptor* d, int32_t dx, int32_t dy, int32_t sx, int32_t sy, int32_t width, int32_t height);

// Copies width × bytes per pixel bytes of each of height rows (entry 5 of
// every routine table).
void CopyRows(PixelDescriptor* d, int32_t dx, int32_t dy, const PixelDescriptor* s, int32_t sx, int32_t sy,
              int32_t width, int32_t height);

// 1 when the first width × ((depth + 1) / 8) bytes of every row are 0.
int IsAllZero(const PixelDescriptor* d);

// Bounding box of the non-zero pixels (32-bit pixels with all four bytes):
// (left, top, right + 1, bottom + 1), starting from left = width - 1,
// top = height - 1 and right = bottom = 0, so a blank surface gives
// (width - 1, height - 1, 1, 1). Returns 0 when the width or height is not
// positive, else 1.
int ScanContentBounds(const PixelDescriptor* d, CRect* bounds);

// Every 8-bit pixel p of the width × height area from the top-left corner
// becomes map[p]; nothing with a null map.
void MapIndices(PixelDescriptor* d, int32_t rowStep, int32_t width, int32_t height, const uint8_t* map);

// Debug builds check that the routines' areas lie inside their descriptors.
#ifdef NDEBUG
#define TW_ASSERT_AREA(d, x, y, w, h) ((void)0)
#else
#include <cassert>
#define TW_ASSERT_AREA(d, x, y, w, h)                                                                   \
    assert((w) >= 0 && (h) >= 0 && ((w) == 0 || (h) == 0 ||                                            \
           ((x) >= 0 && (y) >= 0 && (x) + (w) <= (d)->width && (y) + (h) <= (d)->height)))
#endif
