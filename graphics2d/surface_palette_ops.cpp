// The 8-bit palette operations shared by every implementation with
// addressable pixels.
#include <cstring>

#include "graphics2d/colour_match.h"
#include "graphics2d/row_routines.h"
#include "graphics2d/surface.h"

void CSurfaceImpl::ApplyColorMap(const uint8_t* map) {
    if (!map || !Lock()) return;
    MapIndices(this, rowStep, width, height, map);
    Unlock();
}

void CSurfaceImpl::RemapFromPalette(CSharedPalette* from) {
    if (!palette || !from || from == palette) return;
    uint8_t map[256];
    for (int i = 0; i < 256; ++i) map[i] = static_cast<uint8_t>(i);
    if (BuildPaletteMap(map, palette, from, true)) ApplyColorMap(map);
}

int CSurfaceImpl::SetPalette(CSharedPalette* newPalette, int32_t remap) {
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
