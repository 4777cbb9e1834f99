#pragma once
// The span tables: one per target depth (8, 15, 16, 24, 32), eleven entries,
// indexed by the polygon's drawing mode. A span routine takes the polygon,
// runs its edge set-up and fills the current software renderer's frame and
// depth buffer; it keeps no state. The 8-bit table serves
// each pair 1/2, 3/4 ... with one routine (no translucency on palettes).
//
// Rules shared by every routine: rows from the set-up's top row for its
// count (the bottom row is never drawn); per row the record with the smaller
// x starts and n = |x_right - x_left| pixels are covered (the end column is
// never drawn); values step by (end - start) / n, integers truncating;
// a pixel is drawn when the depth buffer holds a value <= its own (lines:
// <), and drawing stores its depth. Spans are cut to the target's columns
// with their values stepped past the cut, so nothing outside is written.
#include <cstdint>

class LPolygon_Software;
class LMaterial;

using SpanRoutine = void (*)(LPolygon_Software* polygon);

enum : int32_t {
    kSpanOutline = 0,
    kSpanSolid = 1,
    kSpanSolidTranslucent = 2,
    kSpanTexturedFirst = 3,
    kSpanEntries = 11,
};

struct SpanTableEntries {
    SpanRoutine entries[kSpanEntries];
};

namespace spans {
// The textured filler of one entry (3 to 10) at one depth (span_fillers.h);
// the 8-bit table uses entries 3, 5, 7 and 9 for their pairs.
template <int Depth, int Entry>
void FillTexturedEntry(LPolygon_Software* polygon);
}  // namespace spans

// The table of a depth, or null for a depth that has none.
const SpanRoutine* SpanTableFor(int32_t depth);
// The routine that draws nothing (hidden materials); one entry.
extern const SpanRoutine kEmptySpan[1];

// The outline of the polygon's drawn vertices, with the depth's line routine.
void DrawOutlineForDepth(LPolygon_Software* polygon, int32_t depth);

// The depth-tested line of the outlines: end points clamped into the
// target, colour white over filled or textured materials (palette index 255
// on 8 bits), else the material colour.
void DrawDepthLine(LPolygon_Software* polygon, int32_t depth, int32_t x0, int32_t y0, float q0, int32_t x1,
                   int32_t y1, float q1);

// Colour packing of the 15- and 16-bit targets (8 bits per channel in).
inline uint16_t Pack16(int32_t r, int32_t g, int32_t b) {
    return uint16_t(((r & 0xF8) << 8) | ((g & 0xFC) << 3) | ((b & 0xFF) >> 3));
}
inline uint16_t Pack15(int32_t r, int32_t g, int32_t b) {
    return uint16_t(((r & 0xF8) << 7) | ((g & 0xF8) << 2) | ((b & 0xFF) >> 3));
}
