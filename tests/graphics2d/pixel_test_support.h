#pragma once
// Test surfaces over plain memory with guard bands, and a reference model of
// pixels and colours written plainly from the format rules (one pixel at a
// time, byte by byte), for the routine-table and row-engine tests.
#include <cstdint>
#include <random>
#include <vector>

#include "graphics2d/colour_match.h"
#include "graphics2d/pixel_format.h"

namespace pixeltest {

constexpr int kDepths[5] = {8, 15, 16, 24, 32};
constexpr int kBytes[5] = {1, 2, 2, 3, 4};
constexpr int kGuard = 24;  // bytes before and after the rows
constexpr int kPad = 3;     // bytes between the end of a row and the next row

// A surface of random bytes. Rows are kPad bytes longer than the pixels need;
// the guard bands and the padding must never change.
struct Surface {
    std::vector<uint8_t> memory;
    PixelDescriptor d{};

    Surface(int format, int width, int height, bool bottomUp, CSharedPalette* palette, std::mt19937& rng,
            int zeroPercent = 25);
    Surface(const Surface& other) : memory(other.memory), d(other.d) { Rebase(other); }
    Surface& operator=(const Surface&) = delete;

    uint8_t* At(int x, int y) { return PixelAddress(&d, x, y); }
    uint32_t Get(int x, int y) const;  // the raw pixel value
    void Set(int x, int y, uint32_t v);

private:
    void Rebase(const Surface& other);
};

// A palette of random colours (entry 0 black), one reference for the caller.
CSharedPalette* RandomPalette(std::mt19937& rng);

// Reference colour rules.
uint32_t RefColour(int depth, uint32_t pixel, const CSharedPalette* palette);  // pixel -> library colour
uint32_t RefPixel(int depth, uint32_t colour);                                 // colour -> pixel (not 8 bits)
int RefNearest(const PaletteEntry* entries, int count, uint32_t colour);       // FindNearestColor's rule
uint32_t RefBlend(uint32_t s, uint32_t d, int a);                              // mode 1 on library colours

// The 15-bit inverse table as the palette fills it, kept on the side.
struct RefInverse {
    const CSharedPalette* palette;
    bool table;  // false: the table could not be made, every colour is searched
    std::vector<uint8_t> cells;
    RefInverse(const CSharedPalette* p, bool withTable);
    uint8_t Cell(uint32_t colour);     // the blends' lookup: cell, searched when 0
    uint8_t Nearest(uint32_t colour);  // black gives 0, else Cell
};

}  // namespace pixeltest
