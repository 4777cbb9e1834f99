#include "graphics2d/line_raster.h"

#include <algorithm>

namespace {

uint32_t OutCode(int64_t x, int64_t y, int64_t left, int64_t top, int64_t right, int64_t bottom) {
    uint32_t code = 0;
    if (y > bottom) code |= kOutBelow;
    else if (y < top) code |= kOutAbove;
    if (x > right) code |= kOutRight;
    else if (x < left) code |= kOutLeft;
    return code;
}

}  // namespace

bool ClipSegment(int64_t* x1, int64_t* y1, int64_t* x2, int64_t* y2, int64_t left, int64_t top, int64_t right,
                 int64_t bottom) {
    uint32_t c1 = OutCode(*x1, *y1, left, top, right, bottom);
    uint32_t c2 = OutCode(*x2, *y2, left, top, right, bottom);
    for (;;) {
        if ((c1 | c2) == 0) return true;
        if (c1 & c2) return false;
        const uint32_t out = c1 ? c1 : c2;
        const int64_t dx = *x2 - *x1, dy = *y2 - *y1;
        int64_t x, y;
        if (out & kOutBelow) {
            y = bottom;
            x = *x1 + dx * (bottom - *y1) / dy;
        } else if (out & kOutAbove) {
            y = top;
            x = *x1 + dx * (top - *y1) / dy;
        } else if (out & kOutRight) {
            x = right;
            y = *y1 + dy * (right - *x1) / dx;
        } else {
            x = left;
            y = *y1 + dy * (left - *x1) / dx;
        }
        if (out == c1) {
            *x1 = x, *y1 = y;
            c1 = OutCode(x, y, left, top, right, bottom);
        } else {
            *x2 = x, *y2 = y;
            c2 = OutCode(x, y, left, top, right, bottom);
        }
    }
}

namespace line_raster_detail {

bool StepRange(int32_t x1, int32_t y1, int32_t x2, int32_t y2, const CRect& clip, int64_t* first, int64_t* last) {
    if (clip.right <= clip.left || clip.bottom <= clip.top) return false;
    int64_t cx1 = x1, cy1 = y1, cx2 = x2, cy2 = y2;
    if (!ClipSegment(&cx1, &cy1, &cx2, &cy2, clip.left, clip.top, int64_t(clip.right) - 1, int64_t(clip.bottom) - 1))
        return false;
    const int64_t dx = int64_t(x2) - x1, dy = int64_t(y2) - y1;
    const bool xMajor = (dx < 0 ? -dx : dx) >= (dy < 0 ? -dy : dy);
    // Steps of the clipped end points along the major axis; the integer
    // intersections may be off by one, so one step more on each side (the
    // rasteriser skips points outside the clip).
    const int64_t s1 = xMajor ? (dx < 0 ? x1 - cx1 : cx1 - x1) : (dy < 0 ? y1 - cy1 : cy1 - y1);
    const int64_t s2 = xMajor ? (dx < 0 ? x1 - cx2 : cx2 - x1) : (dy < 0 ? y1 - cy2 : cy2 - y1);
    const int64_t major = xMajor ? (dx < 0 ? -dx : dx) : (dy < 0 ? -dy : dy);
    *first = std::max<int64_t>(0, std::min(s1, s2) - 1);
    *last = std::min<int64_t>(major, std::max(s1, s2) + 1);
    return *first <= *last;
}

}  // namespace line_raster_detail
