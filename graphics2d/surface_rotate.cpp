// The shared rotated blit: this surface turned about its centre into the
// whole of a destination of the same depth. Every destination pixel is mapped
// back into the source by single-precision positions updated by addition;
// pixels falling outside the source get the background value. One loop per
// depth and sampler, so no depth test runs per pixel.
//
// Positions address pixel centres: destination pixel (0, 0) maps to
//   x0 = (H - 1) sin / 2 + ((w - 1) / 2 - (W - 1) cos / 2)
//   y0 = ((h - 1) / 2 - (W - 1) sin / 2) - (H - 1) cos / 2
// (w, h the source's and W, H the destination's size), so that at 90 degrees
// destination (c, r) reads source (w - 1 - r, c) and no source row or column
// is lost to the background.
#include <algorithm>
#include <cmath>

#include "graphics2d/colour_match.h"
#include "graphics2d/pixel_access.h"
#include "graphics2d/surface.h"

namespace {

// Library colour -> pixel of format F (8 bits: nearest index of the palette).
template <int F>
uint32_t PackColour(uint32_t colour, CSharedPalette* palette) {
    const uint32_t r = colour & 0xFF, g = (colour >> 8) & 0xFF, b = (colour >> 16) & 0xFF;
    if constexpr (F == 8)
        return palette ? GetNearestPaletteIndex(palette, colour) : 0;
    else if constexpr (F == 15)
        return ((r >> 3) << 10) | ((g >> 3) << 5) | (b >> 3);
    else if constexpr (F == 16)
        return ((r >> 3) << 11) | ((g >> 2) << 5) | (b >> 3);
    else
        return b | g << 8 | r << 16;
}

// Pixel -> library colour, as GetPixel gives it.
template <int F>
uint32_t ColourAt(const PixelDescriptor* s, int32_t x, int32_t y) {
    const uint32_t p = LoadPixel<kBytesOf<F>>(PixelAddress(s, x, y));
    if constexpr (F == 8) {
        if (!s->palette || p >= s->palette->count) return 0;
        const PaletteEntry& e = s->palette->entries[p];
        return e.red | e.green << 8 | e.blue << 16;
    } else {
        return SwapRedBlue(Widen<F>(p));
    }
}

// Rounds to the nearest integer, halves to even, for |v| below 2^22: adding
// and subtracting 1.5 × 2^23 leaves no fraction bits, so the addition rounds
// in the default mode (nearest, ties to even). Inline, unlike nearbyint;
// the build keeps strict IEEE single precision (SSE, no fast-math), so the
// sum is neither widened nor folded away.
inline float RoundHalfEven(float v) { return (v + 12582912.0f) - 12582912.0f; }

struct Walk {
    float x0, y0, cos, sin;
};

// Walks the destination row by row from the top, each row left to right:
// the source position advances by (cos, sin) per pixel and the row start by
// (-sin, cos) per row, by addition. pixel(x, y) gives the value stored.
template <int B, class Sampler>
void WalkDestination(PixelDescriptor* d, const Walk& walk, const Sampler& pixel) {
    float rowX = walk.x0, rowY = walk.y0;
    uint8_t* row = d->rowBase;
    for (int32_t j = 0; j < d->height; ++j, row += d->rowStep, rowX -= walk.sin, rowY += walk.cos) {
        float x = rowX, y = rowY;
        uint8_t* out = row;
        for (int32_t i = 0; i < d->width; ++i, out += B, x += walk.cos, y += walk.sin) StorePixel<B>(out, pixel(x, y));
    }
}

// Nearest sampler: the position rounded half to even; the source pixel's
// bytes are copied as they are.
template <int F>
void RotateNearest(PixelDescriptor* d, const PixelDescriptor* s, const Walk& walk, uint32_t background) {
    constexpr int B = kBytesOf<F>;
    const float w = static_cast<float>(s->width), h = static_cast<float>(s->height);
    WalkDestination<B>(d, walk, [&](float x, float y) {
        // Inside when the rounded position is: x from -0.5 (which rounds to
        // 0) up to w - 0.5 (which may round to w, tested after).
        if (!(x >= -0.5f && x <= w - 0.5f && y >= -0.5f && y <= h - 0.5f)) return background;
        const float rx = RoundHalfEven(x), ry = RoundHalfEven(y);
        if (!(rx < w && ry < h)) return background;
        return LoadPixel<B>(PixelAddress(s, static_cast<int32_t>(rx), static_cast<int32_t>(ry)));
    });
}

// Bilinear sampler: the four pixels around the position truncated toward
// zero, a neighbour past the right or bottom edge repeating the pixel at the
// truncated position; each channel accumulated in single precision with 0.5
// first, truncated, and clamped to 0..255 (a position just left of or above
// the source truncates to 0 and gives weights outside 0..1).
template <int F>
void RotateBilinear(PixelDescriptor* d, const PixelDescriptor* s, const Walk& walk, uint32_t background,
                    CSharedPalette* palette) {
    const int32_t sw = s->width, sh = s->height;
    const float w = static_cast<float>(sw), h = static_cast<float>(sh);
    WalkDestination<kBytesOf<F>>(d, walk, [&](float x, float y) {
        // Truncation toward zero keeps (-1, 0) at 0: test the float range first.
        if (!(x > -1.0f && x < w && y > -1.0f && y < h)) return background;
        const int32_t ix = static_cast<int32_t>(x), iy = static_cast<int32_t>(y);
        const float fx = x - static_cast<float>(ix), fy = y - static_cast<float>(iy);
        const float a = fx * fy;
        const float w00 = (1.0f - fy) - (fx - a), w01 = fy - a, w10 = fx - a;
        const bool right = ix + 1 < sw, below = iy + 1 < sh;
        const uint32_t c00 = ColourAt<F>(s, ix, iy);
        const uint32_t c11 = right && below ? ColourAt<F>(s, ix + 1, iy + 1) : c00;
        const uint32_t c01 = below ? ColourAt<F>(s, ix, iy + 1) : c00;
        const uint32_t c10 = right ? ColourAt<F>(s, ix + 1, iy) : c00;
        uint32_t colour = 0;
        for (int shift = 0; shift < 24; shift += 8) {
            float v = static_cast<float>((c00 >> shift) & 0xFF) * w00 + 0.5f;
            v += static_cast<float>((c11 >> shift) & 0xFF) * a;
            v += static_cast<float>((c01 >> shift) & 0xFF) * w01;
            v += static_cast<float>((c10 >> shift) & 0xFF) * w10;
            colour |= static_cast<uint32_t>(std::min(std::max(v, 0.0f), 255.0f)) << shift;
        }
        return PackColour<F>(colour, palette);
    });
}

template <int F>
void RotateFormat(PixelDescriptor* d, const PixelDescriptor* s, const Walk& walk, int32_t blend, uint32_t colour,
                  CSharedPalette* palette) {
    const uint32_t background = PackColour<F>(colour, palette);
    if (blend)
        RotateBilinear<F>(d, s, walk, background, palette);
    else
        RotateNearest<F>(d, s, walk, background);
}

}  // namespace

int CSurfaceImpl::RotateBlit(CSurfaceImpl* destination, int32_t angle, int32_t blend, uint32_t background) {
    if (angle == 0 || angle == 180) {
        const int result = Blit(destination, 0, 0, 0, 0, width, height, 0, 0, 0, 0);
        if (result && angle == 180) {
            destination->ReverseX(0, 0, width, height);
            destination->ReverseY(0, 0, width, height);
        }
        return result;
    }
    if (!destination || destination->IsDeviceOnly() || destination->depth != depth) return 0;
    if (!Lock()) return 0;
    if (!destination->Lock()) {
        Unlock();
        return 0;
    }
    Walk walk;
    if (angle == 90) {
        walk.cos = 0.0f, walk.sin = 1.0f;
    } else if (angle == 270) {
        walk.cos = 0.0f, walk.sin = -1.0f;
    } else {
        walk.cos = static_cast<float>(std::cos(angle * 0.01745329251993889));
        walk.sin = static_cast<float>(std::sin(angle * 0.01745329251993889));
    }
    const float w1 = static_cast<float>(width - 1), h1 = static_cast<float>(height - 1);
    const float dw1 = static_cast<float>(destination->width - 1), dh1 = static_cast<float>(destination->height - 1);
    walk.x0 = dh1 * walk.sin * 0.5f + (w1 * 0.5f - dw1 * walk.cos * 0.5f);
    walk.y0 = (h1 * 0.5f - dw1 * walk.sin * 0.5f) - dh1 * walk.cos * 0.5f;
    switch (formatIndex) {
        case 0: RotateFormat<8>(destination, this, walk, blend, background, palette); break;
        case 1: RotateFormat<15>(destination, this, walk, blend, background, palette); break;
        case 2: RotateFormat<16>(destination, this, walk, blend, background, palette); break;
        case 3: RotateFormat<24>(destination, this, walk, blend, background, palette); break;
        default: RotateFormat<32>(destination, this, walk, blend, background, palette); break;
    }
    destination->Unlock();
    Unlock();
    return 1;
}
