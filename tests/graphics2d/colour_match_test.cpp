// Nearest-colour search, palette maps, the processor test and the row engines.
#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <fstream>
#include <string>

#include "graphics2d/row_routines.h"
#include "pixel_test_support.h"

#if defined(__i386__) || defined(__x86_64__)
#include <cpuid.h>
#endif

using namespace pixeltest;

// Found by argument lookup: CRect lives in the global namespace.
static bool operator==(const CRect& a, const CRect& b) {
    return a.left == b.left && a.top == b.top && a.right == b.right && a.bottom == b.bottom;
}
static std::ostream& operator<<(std::ostream& o, const CRect& r) {
    return o << '(' << r.left << ", " << r.top << ", " << r.right << ", " << r.bottom << ')';
}

namespace {

void SetEntry(PaletteEntry* e, uint32_t colour) {
    *e = {static_cast<uint8_t>(colour), static_cast<uint8_t>(colour >> 8), static_cast<uint8_t>(colour >> 16), 0};
}

}  // namespace

TEST(ColourMatch, FindNearestColorAgreesWithThePlainSearch) {
    std::mt19937 rng(4);
    PaletteEntry entries[256];
    for (int count : {256, 255, 17, 1}) {
        for (int round = 0; round < 20; ++round) {
            // Few distinct values, so that ties and exact matches are common.
            for (PaletteEntry& e : entries)
                e = {static_cast<uint8_t>(rng() % 4 * 85), static_cast<uint8_t>(rng() % 4 * 85),
                     static_cast<uint8_t>(rng() % 4 * 85), static_cast<uint8_t>(rng())};
            for (int k = 0; k < 50; ++k) {
                const uint32_t colour = rng() % 2 ? rng() : (rng() % 4 * 85) | (rng() % 4 * 85) << 8 | 0xAA000000;
                ASSERT_EQ(FindNearestColor(entries, count, colour), RefNearest(entries, count, colour))
                    << "count " << count << ", colour " << std::hex << colour;
            }
        }
    }
}

TEST(ColourMatch, FindNearestColorRules) {
    PaletteEntry entries[256];
    for (int i = 0; i < 256; ++i) SetEntry(&entries[i], 0x808080);
    SetEntry(&entries[0], 0xFFFFFF);  // entry 0 not black
    // 256 entries: colour 0 gives 0 at once; any other colour never gives 0.
    EXPECT_EQ(FindNearestColor(entries, 256, 0xFF000000), 0);
    EXPECT_NE(FindNearestColor(entries, 256, 0xFFFFFF), 0);
    // Other counts search entry 0 too.
    EXPECT_EQ(FindNearestColor(entries, 255, 0xFFFFFF), 0);
    // Exact matches at 3 and 9: the first one stops the search.
    SetEntry(&entries[3], 0x102030);
    SetEntry(&entries[9], 0x102030);
    EXPECT_EQ(FindNearestColor(entries, 256, 0x102030), 3);
    // Two candidates at the same inexact distance: the later wins.
    SetEntry(&entries[40], 0x000010);
    SetEntry(&entries[41], 0x000030);
    EXPECT_EQ(FindNearestColor(entries, 256, 0x000020), 41);
}

TEST(ColourMatch, BuildPaletteMap) {
    std::mt19937 rng(8);
    CSharedPalette* a = RandomPalette(rng);
    CSharedPalette* b = RandomPalette(rng);
    uint8_t map[256];
    std::memset(map, 0xEE, sizeof map);
    EXPECT_EQ(BuildPaletteMap(map, a, a, true), 0);
    for (uint8_t m : map) ASSERT_EQ(m, 0xEE);

    // Keep zero: only source entry 0 may map to 0; the others search target
    // entries 1 and up. Without it every entry searches the whole target.
    CSharedPalette source = *b;
    SetEntry(&source.entries[5], 0);  // pure black past entry 0
    source.entries[7] = a->entries[0];
    for (bool keepZero : {true, false}) {
        EXPECT_EQ(BuildPaletteMap(map, a, &source, keepZero), 1);
        for (int i = 0; i < 256; ++i) {
            const PaletteEntry& e = source.entries[i];
            const uint32_t c = e.red | e.green << 8 | e.blue << 16;
            const int expected = keepZero && i > 0 ? 1 + RefNearest(a->entries + 1, 255, c) : RefNearest(a->entries, 256, c);
            ASSERT_EQ(map[i], expected) << "entry " << i << (keepZero ? " keeping zero" : "");
        }
        EXPECT_EQ(map[0], 0);
        EXPECT_EQ(map[5] == 0, !keepZero);
    }
    // A source of fewer entries maps only those.
    std::memset(map, 0xEE, sizeof map);
    source.count = 10;
    EXPECT_EQ(BuildPaletteMap(map, a, &source, true), 1);
    EXPECT_EQ(map[10], 0xEE);
    CSharedPalette::Release(a);
    CSharedPalette::Release(b);
}

TEST(ColourMatch, InverseTableHoldsTheLastEntryOfEachKey) {
    std::mt19937 rng(2);
    CSharedPalette* p = RandomPalette(rng);
    SetEntry(&p->entries[20], 0x102030);
    SetEntry(&p->entries[30], 0x132537);  // same 15-bit key as entry 20
    ASSERT_TRUE(CSharedPalette::BuildInverseTable(p));
    uint8_t* table = p->inverseTable;
    EXPECT_EQ(table[ColourKey15(0x102030)], 30);
    EXPECT_TRUE(CSharedPalette::BuildInverseTable(p));
    EXPECT_EQ(p->inverseTable, table);  // made once
    // The cached lookup: black gives 0; an empty cell is searched and filled.
    EXPECT_EQ(GetNearestPaletteIndex(p, 0xFF000000), 0);
    const uint32_t colour = 0x00FEFEFE;
    table[ColourKey15(colour)] = 0;
    const uint8_t found = GetNearestPaletteIndex(p, colour);
    EXPECT_EQ(found, RefNearest(p->entries, 256, colour));
    EXPECT_EQ(table[ColourKey15(colour)], found);
    CSharedPalette::Release(p);
}

TEST(ColourMatch, DetectMMX) {
    EXPECT_EQ(DetectMMX(0), 0);
#if defined(__i386__) || defined(__x86_64__)
    unsigned eax = 0, ebx = 0, ecx = 0, edx = 0;
    ASSERT_TRUE(__get_cpuid(1, &eax, &ebx, &ecx, &edx));
    EXPECT_EQ(DetectMMX(1), static_cast<int>((edx >> 23) & 1));
    EXPECT_EQ(DetectMMX(2), DetectMMX(1));
#endif
}

// ---- Row engines ----------------------------------------------------------------

// StretchRows against the 16.16 rule written out per pixel: destination row r
// takes the source row j for which r lies in [floor(j*step) .. floor((j+1)*step))
// counting whole steps, the same for columns.
TEST(RowRoutines, StretchRowsFollowsTheSixteenSixteenSteps) {
    struct Size {
        int sw, sh, dw, dh;
    };
    const Size sizes[] = {{2, 2, 5, 5}, {3, 2, 7, 3}, {5, 4, 2, 3}, {1, 1, 9, 4}, {9, 5, 9, 5}, {4, 3, 9, 1}, {40, 30, 50, 40}};
    for (int f = 0; f < 5; ++f) {
        for (const Size& z : sizes) {
            for (int bottomUp = 0; bottomUp < 2; ++bottomUp) {
                SCOPED_TRACE("depth " + std::to_string(kDepths[f]) + ", " + std::to_string(z.sw) + "x" +
                             std::to_string(z.sh) + " -> " + std::to_string(z.dw) + "x" + std::to_string(z.dh));
                std::mt19937 rng(f * 100 + z.sw * 10 + z.dw + bottomUp);
                const Surface src(f, z.sw + 1, z.sh + 2, bottomUp, nullptr, rng);
                Surface dst(f, z.dw + 2, z.dh + 1, !bottomUp, nullptr, rng);
                Surface expected = dst;
                auto spans = [](int from, int to) {
                    std::vector<int> source;  // source index of each destination index written
                    const uint32_t step = (static_cast<uint32_t>(to) << 16) / from;
                    uint32_t acc = step;
                    for (int j = 0; j < from; ++j, acc += step)
                        for (; acc >= 0x10000; acc -= 0x10000) source.push_back(j);
                    // The truncated step falls short of the last indices
                    // when the sizes do not divide: they repeat the last one.
                    source.resize(size_t(to), from - 1);
                    return source;
                };
                const std::vector<int> rows = spans(z.sh, z.dh), cols = spans(z.sw, z.dw);
                // A repeated row is a copy of the whole destination width of
                // the row above.
                for (size_t r = 0; r < rows.size(); ++r) {
                    if (r > 0 && rows[r] == rows[r - 1]) {
                        for (int c = 0; c < z.dw; ++c) expected.Set(2 + c, 1 + r, expected.Get(2 + c, r));
                        continue;
                    }
                    for (size_t c = 0; c < cols.size(); ++c)
                        expected.Set(2 + c, 1 + r, src.Get(1 + cols[c], 2 + rows[r]));
                }
                StretchRows(&dst.d, 2, 1, &src.d, 1, 2, z.dw, z.dh, z.sw, z.sh);
                EXPECT_TRUE(dst.memory == expected.memory);
            }
        }
    }
    // 2 x 2 -> 5 x 5: source row 0 covers rows 0 and 1, row 1 covers rows 2 to 4.
    std::mt19937 rng(1);
    Surface src(0, 2, 2, false, nullptr, rng), dst(0, 5, 5, false, nullptr, rng);
    src.Set(0, 0, 1), src.Set(1, 0, 2), src.Set(0, 1, 3), src.Set(1, 1, 4);
    StretchRows(&dst.d, 0, 0, &src.d, 0, 0, 5, 5, 2, 2);
    const int expected[5][5] = {{1, 1, 2, 2, 2}, {1, 1, 2, 2, 2}, {3, 3, 4, 4, 4}, {3, 3, 4, 4, 4}, {3, 3, 4, 4, 4}};
    for (int y = 0; y < 5; ++y)
        for (int x = 0; x < 5; ++x) EXPECT_EQ(dst.Get(x, y), static_cast<uint32_t>(expected[y][x])) << x << "," << y;
    // Any size 0: nothing.
    Surface untouched = dst;
    StretchRows(&dst.d, 0, 0, &src.d, 0, 0, 5, 0, 2, 2);
    StretchRows(&dst.d, 0, 0, &src.d, 0, 0, 5, 5, 0, 2);
    EXPECT_TRUE(dst.memory == untouched.memory);
}

TEST(RowRoutines, SwapMoveCopyAndMap) {
    for (int f = 0; f < 5; ++f) {
        for (int bottomUp = 0; bottomUp < 2; ++bottomUp) {
            SCOPED_TRACE("depth " + std::to_string(kDepths[f]) + (bottomUp ? ", bottom-up" : ", top-down"));
            std::mt19937 rng(f * 2 + bottomUp);
            const Surface original(f, 11, 8, bottomUp, nullptr, rng);
            const int bpp = kBytes[f];

            // SwapRows over rows 1 to 5 (odd height: row 3 stays).
            Surface s = original, e = original;
            SwapRows(&s.d, 2, 1, s.d.rowStep, 7, 5, 7 * bpp);
            for (int j = 0; j < 5; ++j)
                for (int i = 0; i < 7; ++i) e.Set(2 + i, 1 + j, original.Get(2 + i, 5 - j));
            EXPECT_TRUE(s.memory == e.memory) << "SwapRows";

            // MoveArea in every direction, overlapping, equals a copy through a
            // separate buffer.
            for (int ddx = -2; ddx <= 2; ++ddx)
                for (int ddy = -2; ddy <= 2; ++ddy) {
                    Surface m = original, me = original;
                    MoveArea(&m.d, 2 + ddx, 2 + ddy, 2, 2, 7, 4);
                    for (int j = 0; j < 4; ++j)
                        for (int i = 0; i < 7; ++i) me.Set(2 + ddx + i, 2 + ddy + j, original.Get(2 + i, 2 + j));
                    EXPECT_TRUE(m.memory == me.memory) << "MoveArea by " << ddx << "," << ddy;
                }

            // MapIndices over the top-left 9 x 6 pixels (bytes at deeper formats).
            uint8_t map[256];
            for (int i = 0; i < 256; ++i) map[i] = static_cast<uint8_t>(i * 7 + 1);
            Surface mi = original, mie = original;
            MapIndices(&mi.d, mi.d.rowStep, 9, 6, map);
            for (int j = 0; j < 6; ++j)
                for (int i = 0; i < 9; ++i) {
                    uint8_t* p = mie.d.rowBase + j * mie.d.rowStep + i;
                    *p = map[*p];
                }
            EXPECT_TRUE(mi.memory == mie.memory) << "MapIndices";
            MapIndices(&mi.d, mi.d.rowStep, 9, 6, nullptr);
            EXPECT_TRUE(mi.memory == mie.memory) << "MapIndices without a map";
        }
    }
}

TEST(RowRoutines, IsAllZeroAndContentBounds) {
    for (int f = 0; f < 5; ++f) {
        SCOPED_TRACE("depth " + std::to_string(kDepths[f]));
        std::mt19937 rng(f);
        Surface s(f, 10, 10, f % 2, nullptr, rng);
        for (int y = 0; y < 10; ++y)
            for (int x = 0; x < 10; ++x) s.Set(x, y, 0);
        EXPECT_EQ(IsAllZero(&s.d), 1);  // the random row padding does not count
        CRect r;
        ASSERT_EQ(ScanContentBounds(&s.d, &r), 1);
        EXPECT_EQ(r, CRect(9, 9, 1, 1));

        // One pixel whose only non-zero byte is its last: 32 bits its fourth byte.
        const uint32_t last = 0x80u << (8 * (kBytes[f] - 1));
        s.Set(3, 7, last);
        EXPECT_EQ(IsAllZero(&s.d), 0);
        s.Set(6, 2, 1);
        ASSERT_EQ(ScanContentBounds(&s.d, &r), 1);
        EXPECT_EQ(r, CRect(3, 2, 7, 8));
        s.d.height = 0;
        EXPECT_EQ(ScanContentBounds(&s.d, &r), 0);
    }
}

// Writes a row of colours through the 15- and 16-bit put routines into a
// bottom-up surface laid out as a BMP pixel array, saves it as a BI_RGB 5-5-5
// file and as BI_BITFIELDS 5-6-5 files (masks behind a 40-byte header, and
// inside a 108-byte version 4 header, the one form netpbm reads the masks of),
// and lists the colours the get routine reads back.
// tests/graphics2d/bmp_crosscheck.py decodes the files with outside decoders
// and compares (this test runs only when that script sets the folder).
TEST(PixelLayout, WritesBmpFilesForTheOutsideCheck) {
    const char* folder = std::getenv("TW_BMP_CROSSCHECK_DIR");
    if (!folder) GTEST_SKIP() << "run by bmp_crosscheck.py";
    const uint32_t colours[] = {0x000000, 0x0000FF, 0x00FF00, 0xFF0000, 0xFFFFFF, 0x000008, 0x000800, 0x080000,
                                0x000400, 0x102030, 0x808080, 0x7F7F7F, 0xF0E0D0, 0x123456, 0xFEDCBA, 0x00FFFF,
                                0xFF00FF, 0xFFFF00, 0x3C5A78, 0x010101, 0xC0C0C0};
    const int width = sizeof colours / sizeof colours[0], height = 2;
    struct File {
        const char* name;
        int format;
        uint32_t headerSize;
    };
    for (const File& file : {File{"rgb555", 1, 40}, File{"rgb565", 2, 40}, File{"rgb565v4", 2, 108}}) {
        std::mt19937 rng(file.format);
        Surface s(file.format, width, height, true, nullptr, rng);
        s.d.pitch = (width * 2 + 3) / 4 * 4;  // BMP rows: whole 32-bit words
        s.d.rowStep = -s.d.pitch;
        s.d.rowBase = s.d.lockedBits + (height - 1) * s.d.pitch;
        std::memset(s.d.lockedBits, 0, s.d.pitch * height);
        const std::string name = std::string(folder) + "/" + file.name;
        std::ofstream expected(name + ".txt");
        for (int y = 0; y < height; ++y)
            for (int x = 0; x < width; ++x) {
                s.d.routines->putPixel(&s.d, x, y, colours[y == 0 ? x : width - 1 - x]);
                const uint32_t c = s.d.routines->getPixel(&s.d, x, y);
                expected << (c & 255) << ' ' << ((c >> 8) & 255) << ' ' << ((c >> 16) & 255) << '\n';
            }
        // File header, info header, masks for BI_BITFIELDS, pixel rows.
        const bool bitfields = file.format == 2;
        const uint32_t masks = bitfields && file.headerSize == 40 ? 12 : 0;
        const uint32_t offset = 14 + file.headerSize + masks, size = offset + s.d.pitch * height;
        std::string b;
        auto u16 = [&](uint32_t v) { b += char(v & 255), b += char(v >> 8 & 255); };
        auto u32 = [&](uint32_t v) { u16(v & 0xFFFF), u16(v >> 16); };
        b += "BM", u32(size), u32(0), u32(offset);
        u32(file.headerSize), u32(width), u32(height), u16(1), u16(16), u32(bitfields ? 3 : 0), u32(s.d.pitch * height),
            u32(2835), u32(2835), u32(0), u32(0);
        if (bitfields) u32(0xF800), u32(0x07E0), u32(0x001F);
        if (file.headerSize == 108) {
            u32(0);                                  // alpha mask
            u32(0x73524742);                         // colour space "sRGB"
            for (int i = 0; i < 12; ++i) u32(0);     // end points and gammas
        }
        b.append(reinterpret_cast<const char*>(s.d.lockedBits), s.d.pitch * height);
        std::ofstream(name + ".bmp", std::ios::binary) << b;
    }
}

TEST(ColourMatch, FillValueOfColourPerDepth) {
    const struct {
        int depth;
        uint32_t colour, value;
    } cases[] = {
        {15, 0x0000FF, 0x7C00},   {16, 0x0000FF, 0xF800},   {24, 0x0000FF, 0xFF0000}, {32, 0x0000FF, 0xFF0000},
        {15, 0x00FF00, 0x03E0},   {16, 0x00FF00, 0x07E0},   {16, 0xFF0000, 0x001F},   {32, 0xFF0000, 0x0000FF},
        {15, 0x563412, 0x08CA},   {16, 0x563412, 0x11AA},   {24, 0x563412, 0x123456}, {32, 0x070707, 0x070707},
        {16, 0x030303, 0x0000}, {15, 0x070707, 0x0000},  // below every channel's step: 0, as the fill writes it
    };
    for (const auto& c : cases)
        EXPECT_EQ(FillValueOfColour(c.colour, c.depth, nullptr), c.value) << c.depth << " " << std::hex << c.colour;
    for (int depth : {8, 15, 16, 24, 32}) EXPECT_EQ(FillValueOfColour(0, depth, nullptr), 0u) << depth;

    // 8 bits: the palette's nearest index; none without a palette.
    CSharedPalette palette = {};
    palette.count = 4;
    SetEntry(&palette.entries[0], 0x000000);
    SetEntry(&palette.entries[1], 0x0000FF);
    SetEntry(&palette.entries[2], 0x00FF00);
    SetEntry(&palette.entries[3], 0xFF0000);
    EXPECT_EQ(FillValueOfColour(0x0000F0, 8, &palette), 1u);
    EXPECT_EQ(FillValueOfColour(0xF00000, 8, &palette), 3u);
    EXPECT_EQ(FillValueOfColour(0x0000F0, 8, nullptr), 0u);
}
