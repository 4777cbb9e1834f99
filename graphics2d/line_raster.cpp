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

namespace {

// Division rounding up, for a positive divisor.
int64_t CeilDiv(int64_t a, int64_t b) { return a >= 0 ? (a + b - 1) / b : -((-a) / b); }

// The steps k (0..major) whose coordinate start + sign * k lies in [lo, hi].
void AxisRange(int64_t start, int64_t sign, int64_t lo, int64_t hi, int64_t* first, int64_t* last) {
    *first = sign > 0 ? lo - start : start - hi;
    *last = sign > 0 ? hi - start : start - lo;
}

}  // namespace

bool StepRange(int32_t x1, int32_t y1, int32_t x2, int32_t y2, const CRect& clip, int64_t* first, int64_t* last) {
    if (clip.right <= clip.left || clip.bottom <= clip.top) return false;
    const int64_t dx = int64_t(x2) - x1, dy = int64_t(y2) - y1;
    const int64_t adx = dx < 0 ? -dx : dx, ady = dy < 0 ? -dy : dy;
    const bool xMajor = adx >= ady;
    const int64_t major = xMajor ? adx : ady, minor = xMajor ? ady : adx;
    const int64_t sMajor = (xMajor ? dx : dy) < 0 ? -1 : 1, sMinor = (xMajor ? dy : dx) < 0 ? -1 : 1;
    const int64_t aMajor = xMajor ? x1 : y1, aMinor = xMajor ? y1 : x1;
    const int64_t loMajor = xMajor ? clip.left : clip.top, hiMajor = int64_t(xMajor ? clip.right : clip.bottom) - 1;
    const int64_t loMinor = xMajor ? clip.top : clip.left, hiMinor = int64_t(xMajor ? clip.bottom : clip.right) - 1;
    int64_t k0, k1, m0, m1;
    AxisRange(aMajor, sMajor, loMajor, hiMajor, &k0, &k1);
    // The minor offsets inside, then the steps whose minor offset
    // floor((2 k minor + major - 1) / (2 major)) lies among them.
    AxisRange(aMinor, sMinor, loMinor, hiMinor, &m0, &m1);
    m0 = std::max<int64_t>(m0, 0);
    m1 = std::min(m1, minor);
    if (m0 > m1) return false;
    if (minor > 0) {
        k0 = std::max(k0, CeilDiv(2 * major * m0 - major + 1, 2 * minor));
        k1 = std::min(k1, CeilDiv(2 * major * (m1 + 1) - major + 1, 2 * minor) - 1);
    }
    *first = std::max<int64_t>(k0, 0);
    *last = std::min(k1, major);
    return *first <= *last;
}

}  // namespace line_raster_detail
