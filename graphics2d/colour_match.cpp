// Nearest-colour search, palette maps and the MMX processor test.
#include "graphics2d/colour_match.h"

#include <cstring>

#if defined(__i386__) || defined(__x86_64__)
#include <cpuid.h>
#endif

int FindNearestColor(const PaletteEntry* entries, int count, uint32_t colour) {
    const int r = colour & 0xFF, g = (colour >> 8) & 0xFF, b = (colour >> 16) & 0xFF;
    int first = 0;
    if (count == 256) {
        if ((colour & 0xFFFFFF) == 0) return 0;
        first = 1;
    }
    int best = first;
    int bestDistance = 0x7FFFFFFF;
    for (int i = first; i < count; ++i) {
        const PaletteEntry& e = entries[i];
        const int dr = e.red - r;
        int distance = dr * dr;
        if (distance > bestDistance) continue;
        const int dg = e.green - g;
        distance += dg * dg;
        if (distance > bestDistance) continue;
        const int db = e.blue - b;
        distance += db * db;
        if (distance == 0) return i;
        if (distance <= bestDistance) {
            bestDistance = distance;
            best = i;
        }
    }
    return best;
}

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
