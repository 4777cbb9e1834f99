#pragma once
// The pixel descriptor and the per-format pixel routine tables.
//
// Five pixel formats, by format index:
//   0  8 bits, palette indices
//   1  15 bits, 5-5-5 in a 16-bit word (blue in bits 0-4, red in bits 10-14)
//   2  16 bits, 5-6-5 (blue in bits 0-4, green 5-10, red 11-15)
//   3  24 bits, bytes blue, green, red
//   4  32 bits, bytes blue, green, red and a fourth byte
// Library colours are 32-bit values with red in the low byte, then green and
// blue (the GDI colour order). Pixel value 0 is the transparent value of every
// format. Short channels widen to 8 bits by shifting up with low bits 0 and
// narrow by dropping low bits.
//
// Every loop over pixels runs through one table of twelve routines per format
// (GetPixelRoutines). The caller picks the routine once; the routines trust
// their arguments: the areas are already clipped, no argument is checked
// (debug builds assert that each area lies inside its descriptor).
//
// Addressing: pixel (x, y) of a descriptor lies at
//   rowBase + y * rowStep + x * bytesPerPixel
// with a negative rowStep for rows stored bottom-up.
//
// Mode routines (entries 4 and 6), s the source and d the destination pixel:
//   1  per channel (s * (128 - a) + d * a) >> 7 on widened channels; a is the
//      parameter, clamped to 0..128 (a larger weight would spill from one
//      channel into the next in the two-channels-at-once products)
//   2  d = s inverted: 8 bits index ^ 0xFF, 15/16 bits pixel ^ 0xFFFF,
//      24/32 bits the three colour bytes ^ 0xFF
//   3  s XOR d, 4 s AND d, 5 s OR d, 8 d AND NOT s, on the raw values
//   6  as 1 with a = parameter bits 24-31 (clamped to 128) and a destination
//      value 0 counting as the colour c = parameter bits 0-23
//   0  a plain copy; 7 and above 8 do nothing (no routine exists for them)
// At 8 bits both indices are read through the destination's palette and the
// blended colour is mapped back through the palette's 15-bit inverse table
// (an empty cell is filled with FindNearestColor on first use; without a table
// every pixel is searched). Blends write a 32-bit fourth byte of 0.
//
// Conversions (entry 11 of the source's table, into the destination's format):
//   any -> 8          nearest index of the destination palette (cached through
//                     the inverse table; black, and so pixel 0, gives index 0)
//   8 -> deeper       the palette entry's colour
//   any -> 15/16      narrowed; a non-zero source pixel whose result is 0
//                     becomes 1 so that it does not turn transparent
//   any -> 24/32      widened or copied; the 32-bit fourth byte is 0
//   same format       copied
#include <cstddef>
#include <cstdint>

#include "runtime/package/shared_palette.h"

// Callback routines use callee-cleanup in the 32-bit Windows build.
#if defined(_WIN32) && defined(__i386__)
#define TW_PIXEL_CALLBACK __attribute__((stdcall))
#else
#define TW_PIXEL_CALLBACK
#endif

// routine(destination colour, source colour, user value) -> new colour, all
// library colours.
typedef uint32_t(TW_PIXEL_CALLBACK* PixelCallback)(uint32_t destination, uint32_t source, uint32_t user);

struct PixelRoutineTable;

constexpr uint32_t kPixelFlagMMX = 1;      // flags bit 0: the fast forms may be used
constexpr uint32_t kColourIsIndex = 0x01000000;  // 8-bit put: the low byte is an index

// The leading fields of a surface implementation, from width through the
// routine table.
struct PixelDescriptor {
    int32_t width;
    int32_t height;
    int32_t clipLeft;
    int32_t clipTop;
    int32_t clipRight;   // exclusive
    int32_t clipBottom;  // exclusive
    int32_t depth;       // 8, 15, 16, 24 or 32
    int32_t formatIndex;
    uint32_t flags;
    CSharedPalette* palette;  // 8 bits only
    uint8_t* lockedBits;
    uint8_t* rowBase;         // top row's first pixel
    int32_t pitch;            // bytes per row, positive
    int32_t rowStep;          // bytes from one row to the next below it
    int32_t bytesPerPixel;
    int32_t bottomUp;
    const PixelRoutineTable* routines;
};

struct PixelRoutineTable {
    // 0: writes the colour converted to the format (8 bits: with kColourIsIndex
    // the low byte, else the palette's nearest index).
    void (*putPixel)(PixelDescriptor* d, int32_t x, int32_t y, uint32_t colour);
    // 1: 8 bits the index, else the library colour.
    uint32_t (*getPixel)(const PixelDescriptor* d, int32_t x, int32_t y);
    // 2: 8 bits the value's low byte as it is, else a library colour.
    void (*fill)(PixelDescriptor* d, int32_t x, int32_t y, int32_t rowStep, int32_t width, int32_t height,
                 uint32_t value);
    // 3: skips source pixels equal to 0.
    void (*copyTransparent)(PixelDescriptor* d, int32_t dx, int32_t dy, const PixelDescriptor* s, int32_t sx,
                            int32_t sy, int32_t width, int32_t height);
    // 4: skips source 0, combines the others by the mode.
    void (*copyTransparentMode)(PixelDescriptor* d, int32_t dx, int32_t dy, const PixelDescriptor* s, int32_t sx,
                                int32_t sy, int32_t width, int32_t height, int32_t mode, uint32_t parameter);
    // 5: CopyRows in every table.
    void (*copy)(PixelDescriptor* d, int32_t dx, int32_t dy, const PixelDescriptor* s, int32_t sx, int32_t sy,
                 int32_t width, int32_t height);
    // 6: every source pixel combined by the mode.
    void (*copyMode)(PixelDescriptor* d, int32_t dx, int32_t dy, const PixelDescriptor* s, int32_t sx, int32_t sy,
                     int32_t width, int32_t height, int32_t mode, uint32_t parameter);
    // 7: skips source 0; routine(destination, source, user) gives the new colour.
    void (*copyTransparentCallback)(PixelDescriptor* d, int32_t dx, int32_t dy, const PixelDescriptor* s,
                                    int32_t sx, int32_t sy, int32_t width, int32_t height, PixelCallback routine,
                                    uint32_t user);
    // 8: every pixel through the routine.
    void (*copyCallback)(PixelDescriptor* d, int32_t dx, int32_t dy, const PixelDescriptor* s, int32_t sx,
                         int32_t sy, int32_t width, int32_t height, PixelCallback routine, uint32_t user);
    // 9: swaps pixel i and width - 1 - i of each row.
    void (*mirrorRows)(PixelDescriptor* d, int32_t x, int32_t y, int32_t rowStep, int32_t width, int32_t height);
    // 10: pixels equal to oldValue become newValue; library colours (24/32 bits
    // compare the three colour bytes), 8 bits indices. rowBytes is
    // width * bytes per pixel; the 8-bit routine does not need it.
    void (*replaceColour)(PixelDescriptor* d, int32_t x, int32_t y, int32_t width, int32_t height, int32_t rowBytes,
                          uint32_t newValue, uint32_t oldValue);
    // 11: converts rows of this table's format (the source s) into d's format.
    void (*convertFrom)(PixelDescriptor* d, int32_t dx, int32_t dy, int32_t rowBytes, const PixelDescriptor* s,
                        int32_t sx, int32_t sy, int32_t width, int32_t height);
};

// The table of a format index 0 to 4.
const PixelRoutineTable& GetPixelRoutines(int formatIndex);

// Format index of a depth: 0-8 -> 0, 9-15 -> 1, 16 -> 2, 17-24 -> 3, 25-32 -> 4.
int FormatIndexOfDepth(int depth);
// Depth of a format index: 8, 15, 16, 24, 32.
int DepthOfFormatIndex(int formatIndex);

// Sets up a descriptor over pixel memory: size, whole-surface clip rectangle,
// depth with its format index, bytes per pixel and routine table; locked bits
// `bits`, rows of `pitch` bytes, top-down or bottom-up (row step -pitch, row
// base the last stored row). Flags 0.
void InitPixelDescriptor(PixelDescriptor* d, int depth, int32_t width, int32_t height, uint8_t* bits, int32_t pitch,
                         bool bottomUp, CSharedPalette* palette);

// Address of pixel (x, y).
inline uint8_t* PixelAddress(const PixelDescriptor* d, int32_t x, int32_t y) {
    return d->rowBase + static_cast<ptrdiff_t>(y) * d->rowStep + static_cast<ptrdiff_t>(x) * d->bytesPerPixel;
}
