// Nearest-colour search, palette maps and the MMX processor test.
#include "graphics2d/colour_match.h"

#include <cstring>

#if defined(__i386__) || defined(__x86_64__)
#include <cpuid.h>
#endif

int BuildPaletteMap(uint8_t* map, const CSharedPalette* target, const CSharedPalette* source, bool keepZero) {
    if (source->count == 256 && target->count == 256) {
        bool same = true;
        for (int i = 0; i < 256 && same; ++i) {
            const PaletteEntry& a = source->entries[i];
            const PaletteEntry& b = target->entries[i];
            same = a.red == b.red && a.green == b.green && a.blue == b.blue;
        }
        if (same) return 0;
    }
    for (int i = 0; i < source->count; ++i) {
        const PaletteEntry& e = source->entries[i];
        const uint32_t colour = e.red | e.green << 8 | e.blue << 16;
        if (keepZero && i > 0)
            map[i] = static_cast<uint8_t>(1 + FindNearestColor(target->entries + 1, target->count - 1, colour));
        else
            map[i] = static_cast<uint8_t>(FindNearestColor(target->entries, target->count, colour));
    }
    return 1;
}

int DetectMMX(int processorClass) {
#if defined(__i386__) || defined(__x86_64__)
    if (processorClass == 0) return 0;
    // __get_cpuid checks the flags register's CPUID bit first where that can
    // fail (32-bit processors); on x86_64 CPUID always exists.
    unsigned eax, ebx, ecx, edx;
    if (!__get_cpuid(1, &eax, &ebx, &ecx, &edx)) return 0;
    return (edx >> 23) & 1;
#else
    (void)processorClass;
    return 0;
#endif
}

uint8_t GetNearestPaletteIndex(CSharedPalette* palette, uint32_t colour) {
    if ((colour & 0xFFFFFF) == 0) return 0;
    return LookUpInverse(palette, colour);
}

uint32_t FillValueOfColour(uint32_t colour, int32_t depth, CSharedPalette* palette) {
    if (colour == 0) return 0;
    const uint32_t red = colour & 0xFF, green = (colour >> 8) & 0xFF, blue = (colour >> 16) & 0xFF;
    switch (depth) {
    case 8: return palette ? GetNearestPaletteIndex(palette, colour) : 0;
    case 15: return (red >> 3) << 10 | (green >> 3) << 5 | (blue >> 3);
    case 16: return (red >> 3) << 11 | (green >> 2) << 5 | (blue >> 3);
    default: return red << 16 | green << 8 | blue;
    }
}
