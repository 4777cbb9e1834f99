// The shared blit bodies of every implementation with addressable pixels:
// Blit with its conversion and edge-softening passes, BlitCallback,
// BlitFilter, StretchBlit and MoveRect. This implementation is the source,
// the first argument the destination; locks are taken source then
// destination and released in reverse.
#include <algorithm>
#include <memory>
#include <new>
#include <vector>

#include "graphics2d/row_routines.h"
#include "graphics2d/surface.h"
#include "graphics2d/surface_clip.h"

namespace {

// A blit's areas: destination position, source position, size.
struct BlitArea {
    int32_t dx, dy, sx, sy, w, h;
};

// Cuts the source area to the source surface, then the destination area to
// the destination's writable area, moving the other position along. False
// when nothing is left.
bool ClipBlit(const PixelDescriptor* source, const PixelDescriptor* destination, BlitArea* a) {
    int64_t sx = a->sx, sy = a->sy, dx = a->dx, dy = a->dy, w = a->w, h = a->h;
    if (sx < 0) w += sx, dx -= sx, sx = 0;
    if (sy < 0) h += sy, dy -= sy, sy = 0;
    w = std::min<int64_t>(w, source->width - sx);
    h = std::min<int64_t>(h, source->height - sy);
    const CRect area = WritableArea(destination);
    if (dx < area.left) w -= area.left - dx, sx += area.left - dx, dx = area.left;
    if (dy < area.top) h -= area.top - dy, sy += area.top - dy, dy = area.top;
    w = std::min<int64_t>(w, area.right - dx);
    h = std::min<int64_t>(h, area.bottom - dy);
    if (w <= 0 || h <= 0) return false;
    *a = {int32_t(dx), int32_t(dy), int32_t(sx), int32_t(sy), int32_t(w), int32_t(h)};
    return true;
}

// Locks the source, then the destination; on failure nothing stays locked.
bool LockPair(CSurfaceImpl* source, CSurfaceImpl* destination) {
    if (!source->Lock()) return false;
    if (destination->Lock()) return true;
    source->Unlock();
    return false;
}

void UnlockPair(CSurfaceImpl* source, CSurfaceImpl* destination) {
    destination->Unlock();
    source->Unlock();
}

// A pixel as a library colour, as GetPixel gives it (8 bits: the palette
// entry's colour), read without clip test or lock.
uint32_t ReadColour(const PixelDescriptor* d, int32_t x, int32_t y) {
    const uint32_t v = d->routines->getPixel(d, x, y);
    if (d->depth > 8) return v;
    if (!d->palette || v >= d->palette->count) return 0;
    const PaletteEntry& e = d->palette->entries[v];
    return e.red | e.green << 8 | e.blue << 16;
}

// The edge softener over a 3 × 3 block (index 4 the centre). A destination
// pixel the source did not cover (centre source 0) that has covered
// neighbours both across and along its row is blended with them: per channel
// (12 × centre + 2 × each edge + 1 × each corner) / 24, a neighbour the source
// did not cover counting as the centre.
uint32_t SoftenBlock(const uint32_t* colours, const uint32_t* sources) {
    if (sources[4] != 0 || (sources[1] == 0 && sources[7] == 0) || (sources[3] == 0 && sources[5] == 0))
        return colours[4];
    static const int kWeights[9] = {1, 2, 1, 2, 12, 2, 1, 2, 1};
    uint32_t result = 0;
    for (int shift = 0; shift < 24; shift += 8) {
        const uint32_t centre = (colours[4] >> shift) & 0xFF;
        uint32_t sum = 0;
        for (int i = 0; i < 9; ++i)
            sum += kWeights[i] * (i == 4 || sources[i] == 0 ? centre : (colours[i] >> shift) & 0xFF);
        result |= (sum / 24) << shift;
    }
    return result;
}

uint32_t TW_PIXEL_CALLBACK PlainSoftener(const uint32_t* colours, const uint32_t* sources, uint32_t) {
    return SoftenBlock(colours, sources);
}

// Destination colours of 0 count as the key colour c first (mode 6).
uint32_t TW_PIXEL_CALLBACK KeyedSoftener(const uint32_t* colours, const uint32_t* sources, uint32_t key) {
    uint32_t keyed[9];
    for (int i = 0; i < 9; ++i) keyed[i] = colours[i] == 0 ? key : colours[i];
    return SoftenBlock(keyed, sources);
}

// Kernels beyond this many cells are refused as an allocation failure.
constexpr int64_t kMostKernelCells = 1 << 16;

}  // namespace

int CSurfaceImpl::Blit(CSurfaceImpl* destination, int32_t dx, int32_t dy, int32_t sx, int32_t sy, int32_t w,
                       int32_t h, int32_t transparent, int32_t mode, uint32_t parameter, int32_t soften) {
    if ((transparent != 0 && transparent != 1) || mode < 0 || mode > 8) return 0;
    if (!destination || destination->IsDeviceOnly()) return 0;
    // Raster operations (mode 7) are carried out by the device-context
    // implementations before they fall back here; pixel memory has none.
    if (mode == 7) return 0;
    const int32_t unclippedX = dx, unclippedY = dy;
    BlitArea a{dx, dy, sx, sy, w, h};
    if (!ClipBlit(this, destination, &a)) return 0;
    if (depth != destination->depth) return ConversionBlit(destination, a.dx, a.dy, a.sx, a.sy, a.w, a.h,
                                                           transparent, mode, parameter, soften);
    if (depth <= 8 && (mode == 1 || mode == 6) && !destination->palette) return 0;
    if (!LockPair(this, destination)) return 0;
    const PixelRoutineTable* t = routines;
    if (transparent) {
        if (mode == 0) t->copyTransparent(destination, a.dx, a.dy, this, a.sx, a.sy, a.w, a.h);
        else t->copyTransparentMode(destination, a.dx, a.dy, this, a.sx, a.sy, a.w, a.h, mode, parameter);
    } else {
        if (mode == 0 && destination == this) MoveArea(this, a.dx, a.dy, a.sx, a.sy, a.w, a.h);  // may overlap
        else if (mode == 0) t->copy(destination, a.dx, a.dy, this, a.sx, a.sy, a.w, a.h);
        else t->copyMode(destination, a.dx, a.dy, this, a.sx, a.sy, a.w, a.h, mode, parameter);
    }
    if (soften) {
        const uint32_t key = parameter & 0xFFFFFF;
        const bool keyed = mode == 6 && key != 0;
        BlitFilter(destination, unclippedX, unclippedY, 0, 0, width, height, 3, 3, 1, 1, 1, 1,
                   keyed ? KeyedSoftener : PlainSoftener, keyed ? key : 0);
    }
    UnlockPair(this, destination);
    return 1;
}

// Depths differ. Plain copies convert straight into the destination; with a
// transparent flag, a mode or softening the area is converted into a scratch
// surface of the destination's class and depth, which is then blitted.
int CSurfaceImpl::ConversionBlit(CSurfaceImpl* destination, int32_t dx, int32_t dy, int32_t sx, int32_t sy,
                                 int32_t w, int32_t h, int32_t transparent, int32_t mode, uint32_t parameter,
                                 int32_t soften) {
    if (!transparent && !mode && !soften) return ConvertInto(destination, dx, dy, sx, sy, w, h);
    std::unique_ptr<CSurfaceImpl> scratch(destination->MakeInstance(w, h));
    if (!scratch || !ConvertInto(scratch.get(), 0, 0, sx, sy, w, h)) return 0;
    return scratch->Blit(destination, dx, dy, 0, 0, w, h, transparent, mode, parameter, soften);
}

int CSurfaceImpl::ConvertInto(CSurfaceImpl* destination, int32_t dx, int32_t dy, int32_t sx, int32_t sy, int32_t w,
                              int32_t h) {
    if ((depth <= 8 && !palette) || (destination->depth <= 8 && !destination->palette)) return 0;
    if (!LockPair(this, destination)) return 0;
    routines->convertFrom(destination, dx, dy, destination->bytesPerPixel * w, this, sx, sy, w, h);
    UnlockPair(this, destination);
    return 1;
}

int CSurfaceImpl::BlitCallback(CSurfaceImpl* destination, int32_t dx, int32_t dy, int32_t sx, int32_t sy, int32_t w,
                               int32_t h, int32_t transparent, PixelCallback routine, uint32_t user) {
    if (!destination || !routine || destination->IsDeviceOnly() || destination->depth != depth) return 0;
    if (depth <= 8 && !destination->palette) return 0;
    BlitArea a{dx, dy, sx, sy, w, h};
    if (!ClipBlit(this, destination, &a)) return 0;
    if (!LockPair(this, destination)) return 0;
    if (transparent == 1)
        routines->copyTransparentCallback(destination, a.dx, a.dy, this, a.sx, a.sy, a.w, a.h, routine, user);
    else
        routines->copyCallback(destination, a.dx, a.dy, this, a.sx, a.sy, a.w, a.h, routine, user);
    UnlockPair(this, destination);
    return 1;
}

// Destination pixels are computed from the destination as it was before the
// pass (a snapshot in a scratch surface) and from the source. Only pixels
// that land inside the destination's writable area are computed: the others
// would be dropped by SetPixel anyway, and skipping them keeps huge margins
// from running without bound.
int CSurfaceImpl::BlitFilter(CSurfaceImpl* destination, int32_t dx, int32_t dy, int32_t sx, int32_t sy, int32_t w,
                             int32_t h, int32_t kernelWidth, int32_t kernelHeight, int32_t anchorX, int32_t anchorY,
                             int32_t marginX, int32_t marginY, PixelFilterCallback routine, uint32_t user) {
    if (!destination || !routine || destination->IsDeviceOnly() || destination->depth != depth) return 0;
    if (depth <= 8 && (!palette || !destination->palette)) return 0;
    BlitArea a{dx, dy, sx, sy, w, h};
    if (!ClipBlit(this, destination, &a) || kernelWidth <= 0 || kernelHeight <= 0) return 0;
    const int64_t cells = int64_t(kernelWidth) * kernelHeight;
    if (cells > kMostKernelCells) return 0;

    // The destination columns and rows the pass writes, cut to its writable
    // area (offsets c, r from the area's corner).
    const CRect out = WritableArea(destination);
    const int64_t c0 = std::max<int64_t>(-int64_t(marginX), out.left - int64_t(a.dx));
    const int64_t c1 = std::min<int64_t>(int64_t(a.w) + marginX, out.right - int64_t(a.dx));
    const int64_t r0 = std::max<int64_t>(-int64_t(marginY), out.top - int64_t(a.dy));
    const int64_t r1 = std::min<int64_t>(int64_t(a.h) + marginY, out.bottom - int64_t(a.dy));
    if (c1 <= c0 || r1 <= r0) return 0;

    if (!LockPair(this, destination)) return 0;
    // Colour blocks read clamped coordinates; the snapshot covers every
    // coordinate a clamp can give.
    auto clampX = [&](int64_t x) { return static_cast<int32_t>(std::clamp<int64_t>(x, out.left, out.right - 1)); };
    auto clampY = [&](int64_t y) { return static_cast<int32_t>(std::clamp<int64_t>(y, out.top, out.bottom - 1)); };
    const int32_t snapLeft = clampX(a.dx + c0 - anchorX), snapRight = clampX(a.dx + c1 - 1 - anchorX + kernelWidth - 1);
    const int32_t snapTop = clampY(a.dy + r0 - anchorY), snapBottom = clampY(a.dy + r1 - 1 - anchorY + kernelHeight - 1);
    std::unique_ptr<CSurfaceImpl> snapshot(
        destination->MakeInstance(snapRight - snapLeft + 1, snapBottom - snapTop + 1));
    std::vector<uint32_t> colours, sources;
    int result = 0;
    if (snapshot && snapshot->Lock()) {
        try {
            colours.resize(static_cast<size_t>(cells));
            sources.resize(static_cast<size_t>(cells));
            result = 1;
        } catch (const std::bad_alloc&) {
        }
        if (result) {
            CopyRows(snapshot.get(), 0, 0, destination, snapLeft, snapTop, snapshot->width, snapshot->height);
            const CRect in = WritableArea(this);
            for (int64_t r = r0; r < r1; ++r) {
                for (int64_t c = c0; c < c1; ++c) {
                    const int64_t bx = a.dx + c - anchorX, by = a.dy + r - anchorY;
                    const int64_t ux = a.sx + c - anchorX, uy = a.sy + r - anchorY;
                    size_t i = 0;
                    for (int32_t j = 0; j < kernelHeight; ++j) {
                        for (int32_t k = 0; k < kernelWidth; ++k, ++i) {
                            colours[i] = ReadColour(snapshot.get(), clampX(bx + k) - snapLeft,
                                                    clampY(by + j) - snapTop);
                            const int64_t x = ux + k, y = uy + j;
                            const bool inside = x >= in.left && x < in.right && y >= in.top && y < in.bottom;
                            sources[i] = inside ? ReadColour(this, int32_t(x), int32_t(y)) : 0;
                        }
                    }
                    destination->SetPixel(int32_t(a.dx + c), int32_t(a.dy + r),
                                          routine(colours.data(), sources.data(), user));
                }
            }
        }
        snapshot->Unlock();
    }
    UnlockPair(this, destination);
    return result;
}

int CSurfaceImpl::StretchBlit(CSurfaceImpl* destination, int32_t dx, int32_t dy, int32_t dw, int32_t dh, int32_t sx,
                              int32_t sy, int32_t sw, int32_t sh, int32_t transparent, int32_t mode,
                              uint32_t parameter) {
    if (dw == sw && dh == sh) return Blit(destination, dx, dy, sx, sy, sw, sh, transparent, mode, parameter, 0);
    if (!destination || destination->IsDeviceOnly()) return 0;
    if (sx < 0 || sy < 0 || sw < 1 || sh < 1 || int64_t(sx) + sw > width || int64_t(sy) + sh > height) return 0;
    const CRect out = WritableArea(destination);
    const int64_t right = int64_t(dx) + dw, bottom = int64_t(dy) + dh;
    if (std::min<int64_t>(right, out.right) - std::max<int64_t>(dx, out.left) < 1 ||
        std::min<int64_t>(bottom, out.bottom) - std::max<int64_t>(dy, out.top) < 1)
        return 0;
    const bool inside = dx >= out.left && dy >= out.top && right <= out.right && bottom <= out.bottom;
    if (depth == destination->depth && !transparent && !mode && inside) {
        if (!LockPair(this, destination)) return 0;
        StretchRows(destination, dx, dy, this, sx, sy, dw, dh, sw, sh);
        UnlockPair(this, destination);
        return 1;
    }
    // Scratch path: stretched at this depth into a cleared surface of the
    // destination area's size, then blitted with the flag and mode.
    std::unique_ptr<CSurfaceImpl> scratch(MakeInstance(dw, dh));
    if (!scratch) return 0;
    scratch->FillRect(0, 0, dw, dh, 0);
    if (!StretchBlit(scratch.get(), 0, 0, dw, dh, sx, sy, sw, sh, 0, 0, 0)) return 0;
    return scratch->Blit(destination, dx, dy, 0, 0, dw, dh, transparent, mode, parameter, 0);
}

// Both areas must lie inside the surface; the move is correct when they
// overlap. A failed lock answers 0 (nothing was moved).
int CSurfaceImpl::MoveRect(int32_t dx, int32_t dy, int32_t sx, int32_t sy, int32_t w, int32_t h) {
    if (w < 1 || h < 1 || dx < 0 || dy < 0 || sx < 0 || sy < 0) return 0;
    if (int64_t(dx) + w > width || int64_t(sx) + w > width || int64_t(dy) + h > height ||
        int64_t(sy) + h > height)
        return 0;
    if (!Lock()) return 0;
    MoveArea(this, dx, dy, sx, sy, w, h);
    Unlock();
    return 1;
}
