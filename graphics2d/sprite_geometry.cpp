#include "graphics2d/sprite_geometry.h"

#include "graphics2d/surface.h"

#include <algorithm>
#include <climits>
#include <cmath>

int32_t ScaledLength(int32_t length, float scale) {
    if (scale == 1.0f)
        return std::min(length, kMaxSpriteExtent);
    const double scaled = std::round(static_cast<double>(length) * scale);
    if (!(scaled > 0))
        return 0;  // also NaN
    return scaled >= kMaxSpriteExtent ? kMaxSpriteExtent : static_cast<int32_t>(scaled);
}

namespace {

int32_t Clamped(int64_t v) { return static_cast<int32_t>(std::max<int64_t>(INT32_MIN / 2, std::min<int64_t>(v, INT32_MAX / 2))); }

}  // namespace

CRect SpriteBox(int32_t x, int32_t y, int32_t w, int32_t h, int32_t hotX, int32_t hotY, float scaleX, float scaleY,
                int32_t angle) {
    const int32_t sw = ScaledLength(w, scaleX), sh = ScaledLength(h, scaleY);
    const int32_t hx = hotX < 0 ? -ScaledLength(-hotX, scaleX) : ScaledLength(hotX, scaleX);
    const int32_t hy = hotY < 0 ? -ScaledLength(-hotY, scaleY) : ScaledLength(hotY, scaleY);
    if (angle == 0) {
        const int64_t left = int64_t(x) - hx, top = int64_t(y) - hy;
        return CRect(Clamped(left), Clamped(top), Clamped(left + sw), Clamped(top + sh));
    }
    double c, s;
    if (angle == 90)
        c = 0, s = 1;
    else if (angle == 270)
        c = 0, s = -1;
    else
        c = std::cos(angle * 0.01745329251993889), s = std::sin(angle * 0.01745329251993889);
    // Pixel centres of the scaled image's corners, from the hot spot.
    const double xs[2] = {double(-hx), double(sw - 1 - hx)};
    const double ys[2] = {double(-hy), double(sh - 1 - hy)};
    double minX = 0, minY = 0;
    bool first = true;
    for (double px : xs)
        for (double py : ys) {
            const double tx = px * c + py * s, ty = py * c - px * s;
            minX = first ? tx : std::min(minX, tx);
            minY = first ? ty : std::min(minY, ty);
            first = false;
        }
    int32_t rw = 0, rh = 0;
    if (sw > 0 && sh > 0)
        GetRotatedSize(sw, sh, angle, &rw, &rh);
    const int64_t left = int64_t(x) + static_cast<int64_t>(std::floor(minX + 0.5));
    const int64_t top = int64_t(y) + static_cast<int64_t>(std::floor(minY + 0.5));
    return CRect(Clamped(left), Clamped(top), Clamped(left + rw), Clamped(top + rh));
}

bool TransformedSize(int32_t w, int32_t h, float scaleX, float scaleY, int32_t angle, int32_t* outW, int32_t* outH) {
    int32_t sw = ScaledLength(w, scaleX), sh = ScaledLength(h, scaleY);
    if (sw < 1 || sh < 1 || int64_t(sw) * sh > kMaxTransformedPixels)
        return false;
    if (angle != 0)
        GetRotatedSize(sw, sh, angle, &sw, &sh);
    if (sw < 1 || sh < 1 || int64_t(sw) * sh > kMaxTransformedPixels)
        return false;
    *outW = sw;
    *outH = sh;
    return true;
}

int32_t StoredSemiLevel(int32_t level, bool given) {
    if (!given)
        level = 0;
    else if (level < 0 || level > 255)
        level = 255;
    return (level + 1) / 2;
}

int32_t SpeedScaledDelay(int32_t time, int32_t factor) {
    if (factor == 100 || factor < 1)
        return std::max(time, 1);
    const int64_t scaled = int64_t(time) * 100 / factor;
    return static_cast<int32_t>(std::max<int64_t>(1, std::min<int64_t>(scaled, INT32_MAX)));
}
