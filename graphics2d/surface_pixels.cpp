// The shared bodies of the pixel and area operations: capability, clip
// rectangle, single pixels, fills, mirrors, content queries and colour
// replacement. Each works on locked pixel memory through the depth's routine
// table and writes only inside WritableArea (surface_clip.h).
#include <algorithm>

#include "graphics2d/colour_match.h"
#include "graphics2d/row_routines.h"
#include "graphics2d/surface.h"
#include "graphics2d/surface_clip.h"

CRect WritableArea(const PixelDescriptor* d) {
    return CRect(std::max(d->clipLeft, 0), std::max(d->clipTop, 0), std::min(d->clipRight, d->width),
                 std::min(d->clipBottom, d->height));
}

bool ClipToSurface(const PixelDescriptor* d, int32_t* x, int32_t* y, int32_t* w, int32_t* h) {
    const CRect area = WritableArea(d);
    const int64_t left = std::max<int64_t>(area.left, *x);
    const int64_t top = std::max<int64_t>(area.top, *y);
    const int64_t right = std::min<int64_t>(area.right, int64_t(*x) + *w);
    const int64_t bottom = std::min<int64_t>(area.bottom, int64_t(*y) + *h);
    if (right <= left || bottom <= top) return false;
    *x = static_cast<int32_t>(left);
    *y = static_cast<int32_t>(top);
    *w = static_cast<int32_t>(right - left);
    *h = static_cast<int32_t>(bottom - top);
    return true;
}

namespace {

bool InsideClip(const PixelDescriptor* d, int32_t x, int32_t y) {
    int32_t w = 1, h = 1;
    return ClipToSurface(d, &x, &y, &w, &h);
}

// Runs body on addressable pixels: at once when the row base is already
// there (a caller holds the lock), else between Lock and Unlock. False when
// the lock failed.
template <class Body>
bool WithPixels(CSurfaceImpl* s, Body&& body) {
    if (s->rowBase) {
        body();
        return true;
    }
    if (!s->Lock()) return false;
    body();
    s->Unlock();
    return true;
}

}  // namespace

int CSurfaceImpl::HasCapability(int32_t number) { return number >= 0 && number <= 5; }

void CSurfaceImpl::GetClipRect(int32_t* x, int32_t* y, int32_t* w, int32_t* h) {
    *x = clipLeft;
    *y = clipTop;
    *w = clipRight - clipLeft;
    *h = clipBottom - clipTop;
}

void CSurfaceImpl::SetClipRect(int32_t x, int32_t y, int32_t w, int32_t h) {
    const int64_t right = int64_t(x) + w, bottom = int64_t(y) + h;
    clipLeft = x;
    clipTop = y;
    clipRight = static_cast<int32_t>(right < width ? right : width);
    clipBottom = static_cast<int32_t>(bottom < height ? bottom : height);
}

// The value's low byte at byte x of row y, whatever the depth.
int CSurfaceImpl::SetPixelIndex(int32_t x, int32_t y, uint8_t value) {
    if (!InsideClip(this, x, y)) return 0;
    return WithPixels(this, [&] { rowBase[static_cast<ptrdiff_t>(y) * rowStep + x] = value; });
}

int CSurfaceImpl::SetPixel(int32_t x, int32_t y, uint32_t colour) {
    if (!InsideClip(this, x, y)) return 0;
    if (depth <= 8 && !(colour & kColourIsIndex) && !palette) return 0;
    return WithPixels(this, [&] { routines->putPixel(this, x, y, colour); });
}

// 8 bits the index; deeper the low byte of the library colour.
int CSurfaceImpl::GetPixelIndex(int32_t x, int32_t y, uint8_t* value) {
    if (!InsideClip(this, x, y) || !Lock()) return 0;
    *value = static_cast<uint8_t>(routines->getPixel(this, x, y));
    Unlock();
    return 1;
}

int CSurfaceImpl::GetPixel(int32_t x, int32_t y, uint32_t* colour) {
    if (!InsideClip(this, x, y) || !Lock()) return 0;
    uint32_t value = routines->getPixel(this, x, y);
    if (depth <= 8) {
        const PaletteEntry* e = palette && value < palette->count ? &palette->entries[value] : nullptr;
        value = e ? (e->red | e->green << 8 | e->blue << 16) : 0;
    }
    *colour = value;
    Unlock();
    return 1;
}

namespace {

// The mirrors' shared frame: the Part's early refusals, the clip, the
// one-line shortcut, then the routine under the lock.
template <class Body>
int Mirror(CSurfaceImpl* s, int32_t x, int32_t y, int32_t w, int32_t h, bool acrossRows, Body&& body) {
    if (x >= s->width || int64_t(x) + w < 1 || y >= s->height || int64_t(y) + h < 1) return 0;
    if (!ClipToSurface(s, &x, &y, &w, &h)) return 0;
    if ((acrossRows ? h : w) == 1) return 1;
    if (!s->Lock()) return 0;
    body(x, y, w, h);
    s->Unlock();
    return 1;
}

}  // namespace

int CSurfaceImpl::ReverseX(int32_t x, int32_t y, int32_t w, int32_t h) {
    return Mirror(this, x, y, w, h, false, [this](int32_t cx, int32_t cy, int32_t cw, int32_t ch) {
        routines->mirrorRows(this, cx, cy, rowStep, cw, ch);
    });
}

int CSurfaceImpl::ReverseY(int32_t x, int32_t y, int32_t w, int32_t h) {
    return Mirror(this, x, y, w, h, true, [this](int32_t cx, int32_t cy, int32_t cw, int32_t ch) {
        SwapRows(this, cx, cy, rowStep, cw, ch, cw * bytesPerPixel);
    });
}

int CSurfaceImpl::GetContentRect(CRect* rect) {
    if (!rect || (width <= 2 && height <= 2)) return 0;
    if (!Lock()) return 0;
    const int result = ScanContentBounds(this, rect);
    Unlock();
    return result;
}

// Bytes through the 8-bit fill routine, whatever the depth (deeper surfaces
// get width bytes per row from byte x, which the clip keeps inside the row).
int CSurfaceImpl::FillRectRaw(int32_t x, int32_t y, int32_t w, int32_t h, uint32_t value) {
    if (!Lock()) return 0;
    if (!ClipToSurface(this, &x, &y, &w, &h)) {
        Unlock();
        return 0;
    }
    PixelDescriptor bytes = *this;
    bytes.bytesPerPixel = 1;
    GetPixelRoutines(0).fill(&bytes, x, y, rowStep, w, h, value);
    Unlock();
    return 1;
}

int CSurfaceImpl::FillRect(int32_t x, int32_t y, int32_t w, int32_t h, uint32_t colour) {
    if (!Lock()) return 0;
    if (!ClipToSurface(this, &x, &y, &w, &h)) {
        Unlock();
        return 0;
    }
    uint32_t value = colour;
    if (depth <= 8) value = palette ? GetNearestPaletteIndex(palette, colour) : 0;
    routines->fill(this, x, y, rowStep, w, h, value);
    Unlock();
    return 1;
}

int CSurfaceImpl::IsBlank() {
    if (!Lock()) return 0;
    const int result = IsAllZero(this);
    Unlock();
    return result;
}

// Inside the writable area only; 8 bits compare and write nearest indices.
int CSurfaceImpl::ReplaceColor(uint32_t newColour, uint32_t oldColour) {
    int32_t x = 0, y = 0, w = width, h = height;
    if (!Lock()) return 0;
    if (ClipToSurface(this, &x, &y, &w, &h)) {
        if (depth <= 8) {
            newColour = GetNearestIndex(newColour);
            oldColour = GetNearestIndex(oldColour);
        }
        routines->replaceColour(this, x, y, w, h, bytesPerPixel * w, newColour, oldColour);
    }
    Unlock();
    return 1;
}
