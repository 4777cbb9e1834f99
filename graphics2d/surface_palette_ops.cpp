// The 8-bit palette operations shared by every implementation with
// addressable pixels (other depths refuse them or do nothing), and the
// pixel-exact overlap test.
#include <algorithm>
#include <cstring>

#include "graphics2d/colour_match.h"
#include "graphics2d/pixel_access.h"
#include "graphics2d/row_routines.h"
#include "graphics2d/surface.h"

void CSurfaceImpl::ApplyColorMap(const uint8_t* map) {
    if (depth != 8 || !map || !Lock()) return;
    MapIndices(this, rowStep, width, height, map);
    Unlock();
}

void CSurfaceImpl::RemapFromPalette(CSharedPalette* from) {
    if (depth != 8 || !palette || !from || from == palette) return;
    uint8_t map[256];
    for (int i = 0; i < 256; ++i) map[i] = static_cast<uint8_t>(i);
    if (BuildPaletteMap(map, palette, from, true)) ApplyColorMap(map);
}

int CSurfaceImpl::SetPalette(CSharedPalette* newPalette, int32_t remap) {
    if (depth != 8) return 0;
    if (newPalette == palette) return 1;
    if (remap == 1 && width > 0 && height > 0) {
        if (!palette) return 0;
        if (newPalette) {
            uint8_t map[256];
            for (int i = 0; i < 256; ++i) map[i] = static_cast<uint8_t>(i);
            if (BuildPaletteMap(map, newPalette, palette, true)) ApplyColorMap(map);
        }
    }
    CSharedPalette::AddRef(newPalette);
    CSharedPalette::Release(palette);
    palette = newPalette;
    return 1;
}

int CSurfaceImpl::SetPaletteEntries(const LogPalette256* data, int32_t remap) {
    if (!data) return 0;
    CSharedPalette* made = AcquireSharedPalette(*data);
    if (!made) return 0;
    const int result = SetPalette(made, remap);
    CSharedPalette::Release(made);
    return result;
}

int CSurfaceImpl::CopyPaletteFrom(CSurfaceImpl* other, int32_t remap) {
    if (!other || other->depth != 8 || !other->palette) return 0;
    return SetPalette(other->palette, remap);
}

int32_t CSurfaceImpl::GetPaletteEntries(PaletteEntry* destination, int32_t first, int32_t count) {
    if (!palette) return 0;
    if (!destination) return palette->count;
    if (first < 0 || first >= palette->count) return 0;
    const int32_t copied = count < palette->count - first ? count : palette->count - first;
    if (copied > 0) std::memcpy(destination, palette->entries + first, sizeof(PaletteEntry) * copied);
    return count;
}

int32_t CSurfaceImpl::GetLogPalette(LogPalette256* destination) {
    if (!palette || !destination) return 0;
    destination->version = palette->version;
    destination->count = palette->count;
    return GetPaletteEntries(destination->entries, 0, palette->count);
}

uint32_t CSurfaceImpl::GetNearestIndex(uint32_t colour) {
    return palette ? GetNearestPaletteIndex(palette, colour) : 0;
}

uint32_t CSurfaceImpl::GetPaletteColor(int32_t index) {
    if (!palette || index < 0 || index >= palette->count) return 0;
    const PaletteEntry& e = palette->entries[index];
    return e.red | e.green << 8 | e.blue << 16;
}

uint32_t CSurfaceImpl::GetBlackIndex() { return palette ? palette->blackIndex : 4; }

namespace {

// First offset i in 0..w - 1 at which both rows hold a non-zero pixel, or -1.
template <int B>
int32_t FirstCommonPixel(const uint8_t* a, const uint8_t* b, int32_t w) {
    for (int32_t i = 0; i < w; ++i, a += B, b += B) {
        // Runs of zero pixels on either side fall through quickly.
        if (LoadPixel<B>(a) != 0 && LoadPixel<B>(b) != 0) return i;
    }
    return -1;
}

typedef int32_t (*RowScanner)(const uint8_t*, const uint8_t*, int32_t);

}  // namespace

int PixelsOverlap(CSurfaceImpl* a, CSurfaceImpl* b, int32_t bx, int32_t by, int32_t x, int32_t y, int32_t w,
                  int32_t h) {
    if (!a || !b) return 0;
    if (a->bytesPerPixel != b->bytesPerPixel) return 1;
    if (!a->Lock()) return 1;
    if (!b->Lock()) {
        a->Unlock();
        return 1;
    }
    int found = 0;
    if (a->depth >= 8 && a->depth <= 32) {
        // Offsets (i, j) of the area that lie inside both surfaces.
        const int64_t i0 = std::max<int64_t>({0, -int64_t(x), -int64_t(bx)});
        const int64_t i1 = std::min<int64_t>({w, int64_t(a->width) - x, int64_t(b->width) - bx});
        const int64_t j0 = std::max<int64_t>({0, -int64_t(y), -int64_t(by)});
        const int64_t j1 = std::min<int64_t>({h, int64_t(a->height) - y, int64_t(b->height) - by});
        static const RowScanner kScanners[4] = {FirstCommonPixel<1>, FirstCommonPixel<2>, FirstCommonPixel<3>,
                                                FirstCommonPixel<4>};
        const RowScanner scan = kScanners[a->bytesPerPixel - 1];
        for (int64_t j = j0; j < j1 && i0 < i1 && !found; ++j) {
            const uint8_t* rowA = PixelAddress(a, int32_t(x + i0), int32_t(y + j));
            const uint8_t* rowB = PixelAddress(b, int32_t(bx + i0), int32_t(by + j));
            found = scan(rowA, rowB, int32_t(i1 - i0)) >= 0;
        }
    }
    b->Unlock();
    a->Unlock();
    return found;
}
