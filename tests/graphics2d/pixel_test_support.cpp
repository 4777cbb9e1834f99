#include "pixel_test_support.h"

namespace pixeltest {

Surface::Surface(int format, int width, int height, bool bottomUp, CSharedPalette* palette, std::mt19937& rng,
                 int zeroPercent) {
    const int bpp = kBytes[format];
    const int pitch = width * bpp + kPad;
    memory.resize(2 * kGuard + static_cast<size_t>(pitch) * height);
    for (uint8_t& b : memory) b = static_cast<uint8_t>(rng());
    InitPixelDescriptor(&d, kDepths[format], width, height, memory.data() + kGuard, pitch, bottomUp, palette);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            if (static_cast<int>(rng() % 100) < zeroPercent) Set(x, y, 0);
}

void Surface::Rebase(const Surface& other) {
    d.lockedBits = memory.data() + (other.d.lockedBits - other.memory.data());
    d.rowBase = memory.data() + (other.d.rowBase - other.memory.data());
}

uint32_t Surface::Get(int x, int y) const {
    const uint8_t* p = PixelAddress(&d, x, y);
    uint32_t v = 0;
    for (int b = 0; b < d.bytesPerPixel; ++b) v |= static_cast<uint32_t>(p[b]) << (8 * b);
    return v;
}

void Surface::Set(int x, int y, uint32_t v) {
    uint8_t* p = At(x, y);
    for (int b = 0; b < d.bytesPerPixel; ++b) p[b] = static_cast<uint8_t>(v >> (8 * b));
}

CSharedPalette* RandomPalette(std::mt19937& rng) {
    LogPalette256 data;
    data.version = kPaletteVersion;
    data.count = 256;
    for (PaletteEntry& e : data.entries)
        e = {static_cast<uint8_t>(rng()), static_cast<uint8_t>(rng()), static_cast<uint8_t>(rng()), 0};
    data.entries[0] = {0, 0, 0, 0};
    return AcquireSharedPalette(data);
}

uint32_t RefColour(int depth, uint32_t p, const CSharedPalette* palette) {
    uint32_t r, g, b;
    switch (depth) {
        case 8: {
            const PaletteEntry& e = palette->entries[p];
            r = e.red, g = e.green, b = e.blue;
            break;
        }
        case 15: r = ((p >> 10) & 31) << 3, g = ((p >> 5) & 31) << 3, b = (p & 31) << 3; break;
        case 16: r = ((p >> 11) & 31) << 3, g = ((p >> 5) & 63) << 2, b = (p & 31) << 3; break;
        default: r = (p >> 16) & 255, g = (p >> 8) & 255, b = p & 255; break;
    }
    return r | g << 8 | b << 16;
}

uint32_t RefPixel(int depth, uint32_t c) {
    const uint32_t r = c & 255, g = (c >> 8) & 255, b = (c >> 16) & 255;
    switch (depth) {
        case 15: return (r >> 3) << 10 | (g >> 3) << 5 | b >> 3;
        case 16: return (r >> 3) << 11 | (g >> 2) << 5 | b >> 3;
        default: return b | g << 8 | r << 16;
    }
}

int RefNearest(const PaletteEntry* entries, int count, uint32_t colour) {
    const int r = colour & 255, g = (colour >> 8) & 255, b = (colour >> 16) & 255;
    int first = 0;
    if (count == 256) {
        if (r == 0 && g == 0 && b == 0) return 0;
        first = 1;
    }
    int best = -1, bestDistance = 0;
    for (int i = first; i < count; ++i) {
        const int dr = entries[i].red - r, dg = entries[i].green - g, db = entries[i].blue - b;
        const int distance = dr * dr + dg * dg + db * db;
        if (distance == 0) return i;
        if (best < 0 || distance <= bestDistance) best = i, bestDistance = distance;
    }
    return best < 0 ? 0 : best;
}

uint32_t RefBlend(uint32_t s, uint32_t d, int a) {
    uint32_t out = 0;
    for (int k = 0; k < 3; ++k) {
        const uint32_t sc = (s >> (8 * k)) & 255, dc = (d >> (8 * k)) & 255;
        out |= ((sc * (128 - a) + dc * a) >> 7) << (8 * k);
    }
    return out;
}

static uint32_t Key(uint32_t c) { return ((c & 255) >> 3) << 10 | (((c >> 8) & 255) >> 3) << 5 | ((c >> 16) & 255) >> 3; }

RefInverse::RefInverse(const CSharedPalette* p, bool withTable) : palette(p), table(withTable), cells(32768, 0) {
    for (int i = 0; i < 256; ++i) {
        const PaletteEntry& e = p->entries[i];
        cells[Key(e.red | e.green << 8 | e.blue << 16)] = static_cast<uint8_t>(i);
    }
}

uint8_t RefInverse::Cell(uint32_t colour) {
    if (!table) return static_cast<uint8_t>(RefNearest(palette->entries, palette->count, colour));
    uint8_t& cell = cells[Key(colour)];
    if (cell == 0) cell = static_cast<uint8_t>(RefNearest(palette->entries, palette->count, colour));
    return cell;
}

uint8_t RefInverse::Nearest(uint32_t colour) { return (colour & 0xFFFFFF) == 0 ? 0 : Cell(colour); }

}  // namespace pixeltest
