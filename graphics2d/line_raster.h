#pragma once
// One-pixel lines: Cohen-Sutherland clipping and Bresenham stepping.
//
// The points of a line are those of Bresenham's algorithm over the whole
// segment (both end points included; the minor coordinate rounds half
// down). Clipping only chooses which of those points are visited, so a
// clipped line keeps exactly the pixels the unclipped line has inside the
// clip rectangle.
#include <cstdint>
#include <cstdlib>

#include "runtime/base/rect.h"

// Cohen-Sutherland outcodes.
enum : uint32_t { kOutBelow = 1, kOutAbove = 2, kOutRight = 4, kOutLeft = 8 };

// Clips the segment to the inclusive box (left, top)-(right, bottom) with
// integer intersection arithmetic; false when it lies wholly outside.
// (Coordinates up to 2^32 apart: the products stay within 64 bits.)
bool ClipSegment(int64_t* x1, int64_t* y1, int64_t* x2, int64_t* y2, int64_t left, int64_t top, int64_t right,
                 int64_t bottom);

// Calls plot(x, y) for every Bresenham point of (x1, y1)-(x2, y2) inside
// `clip` (right and bottom exclusive), in order from the start.
template <class Plot>
void RasterLine(int32_t x1, int32_t y1, int32_t x2, int32_t y2, const CRect& clip, Plot&& plot);

// ---- implementation ----

namespace line_raster_detail {
// The steps along the major axis whose points lie inside the clip.
bool StepRange(int32_t x1, int32_t y1, int32_t x2, int32_t y2, const CRect& clip, int64_t* first, int64_t* last);
}  // namespace line_raster_detail

template <class Plot>
void RasterLine(int32_t x1, int32_t y1, int32_t x2, int32_t y2, const CRect& clip, Plot&& plot) {
    // Segments longer than 2^30 on an axis are first cut to the clip
    // rectangle widened by 2^20 (Cohen-Sutherland), so that the step
    // arithmetic stays within 64 bits; their far parts cannot be seen.
    const int64_t far = int64_t(1) << 30, margin = int64_t(1) << 20;
    if (std::llabs(int64_t(x2) - x1) > far || std::llabs(int64_t(y2) - y1) > far) {
        int64_t a = x1, b = y1, c = x2, d = y2;
        if (!ClipSegment(&a, &b, &c, &d, clip.left - margin, clip.top - margin, clip.right + margin,
                         clip.bottom + margin))
            return;
        x1 = static_cast<int32_t>(a), y1 = static_cast<int32_t>(b), x2 = static_cast<int32_t>(c),
        y2 = static_cast<int32_t>(d);
    }
    int64_t first, last;
    if (!line_raster_detail::StepRange(x1, y1, x2, y2, clip, &first, &last)) return;
    const int64_t dx = int64_t(x2) - x1, dy = int64_t(y2) - y1;
    const int64_t adx = dx < 0 ? -dx : dx, ady = dy < 0 ? -dy : dy;
    const int64_t sx = dx < 0 ? -1 : 1, sy = dy < 0 ? -1 : 1;
    const bool xMajor = adx >= ady;
    const int64_t major = xMajor ? adx : ady, minor = xMajor ? ady : adx;
    // Doubled deltas: the error starts at 2 minor - major; the minor
    // coordinate of step k is floor((2 k minor + major - 1) / (2 major)).
    int64_t m = major == 0 ? 0 : (2 * first * minor + major - 1) / (2 * major);
    int64_t error = 2 * minor * (first + 1) - major - 2 * major * m;
    for (int64_t k = first; k <= last; ++k) {
        const int64_t px = x1 + sx * (xMajor ? k : m), py = y1 + sy * (xMajor ? m : k);
        if (px >= clip.left && px < clip.right && py >= clip.top && py < clip.bottom)
            plot(static_cast<int32_t>(px), static_cast<int32_t>(py));
        if (error > 0) {
            ++m;
            error -= 2 * major;
        }
        error += 2 * minor;
    }
}
