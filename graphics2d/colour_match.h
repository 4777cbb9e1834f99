#pragma once
// Colour matching: the nearest palette entry of a colour, the index map from
// one palette to another, and the processor test that enables the fast pixel
// routines. Colours are library colours (red in the low byte); only the low
// 24 bits take part in any comparison.
#include <cstdint>

#include "runtime/package/shared_palette.h"

// FindNearestColor lives with the palette record (shared_palette.h), which
// needs it for the black index.

// map[i] = the target index nearest to source entry i, for every source entry.
// With keepZero, entries past 0 are matched against target entries 1 and up
// only, so that no colour but the first maps to the transparent index 0.
// Returns 0 and leaves the map untouched when both palettes have 256 entries
// with equal colours, else 1.
int BuildPaletteMap(uint8_t* map, const CSharedPalette* target, const CSharedPalette* source, bool keepZero);

// 1 when the MMX instructions may be used. Processor class 0 (386/486) answers
// 0 without executing CPUID; class 2 first checks that the CPUID flag of the
// flags register can change; classes 1 and 2 then read CPUID function 1.
int DetectMMX(int processorClass);

// The 15-bit key of a colour's cell in the inverse table.
inline uint32_t ColourKey15(uint32_t colour) {
    return ((colour & 0xF8) << 7) | ((colour & 0xF800) >> 6) | ((colour & 0xF80000) >> 19);
}

// The palette's nearest index through its inverse table: pure black gives 0;
// with a table, an empty cell is searched (FindNearestColor) and filled; without
// one, every call searches.
uint8_t GetNearestPaletteIndex(CSharedPalette* palette, uint32_t colour);

// The cell lookup of the 8-bit blends: the cell of the colour's key, searched
// and filled when 0; searched every time when the palette has no table.
inline uint8_t LookUpInverse(CSharedPalette* palette, uint32_t colour) {
    uint8_t* table = palette->inverseTable;
    if (table) {
        uint8_t& cell = table[ColourKey15(colour)];
        if (cell == 0) cell = static_cast<uint8_t>(FindNearestColor(palette->entries, palette->count, colour));
        return cell;
    }
    return static_cast<uint8_t>(FindNearestColor(palette->entries, palette->count, colour));
}

// The pixel value a colour fill writes for a library colour at a depth:
// 0 stays 0; 8 bits the palette's nearest index (0 without a palette);
// 15 bits 5-5-5, 16 bits 5-6-5 (high bits of each channel); 24 and 32 bits
// red << 16 | green << 8 | blue.
uint32_t FillValueOfColour(uint32_t colour, int32_t depth, CSharedPalette* palette);
