#include "runtime/package/shared_palette.h"

#include <gtest/gtest.h>
#include <cstring>

namespace {

LogPalette256 Grey() {
    LogPalette256 p;
    p.version = kPaletteVersion;
    p.count = 256;
    for (int i = 0; i < 256; ++i) p.entries[i] = {uint8_t(i), uint8_t(i), uint8_t(i), 0};
    return p;
}

bool Is(const PaletteEntry& e, int r, int g, int b) { return e.red == r && e.green == g && e.blue == b; }

}  // namespace

TEST(SharedPalette, SameColoursShareOneReferenceCountedPalette) {
    const int before = GetSharedPaletteCount();
    LogPalette256 data = Grey();
    data.entries[5] = {0, 0, 0, 0};  // black past entry 0 is stored as (8,0,0)
    CSharedPalette* a = AcquireSharedPalette(data);
    ASSERT_NE(a, nullptr);
    EXPECT_TRUE(Is(a->entries[0], 0, 0, 0));
    EXPECT_TRUE(Is(a->entries[5], 8, 0, 0));
    EXPECT_EQ(a->referenceCount, 1u);
    EXPECT_EQ(a->blackIndex, 1u);  // (1,1,1) is nearer to black than (8,0,0)

    LogPalette256 same = data;
    same.entries[5] = {8, 0, 0, 0};
    same.entries[9].flags = 4;  // flags do not count
    CSharedPalette* b = AcquireSharedPalette(same);
    EXPECT_EQ(b, a);
    EXPECT_EQ(a->referenceCount, 2u);

    LogPalette256 other = data;
    other.entries[200].blue = 3;
    CSharedPalette* c = AcquireSharedPalette(other);
    ASSERT_NE(c, nullptr);
    EXPECT_NE(c, a);
    EXPECT_EQ(GetSharedPaletteCount(), before + 2);

    CSharedPalette::Release(b);
    CSharedPalette::Release(c);
    EXPECT_EQ(FindSharedPalette(data), a);
    CSharedPalette::Release(a);
    EXPECT_EQ(FindSharedPalette(data), nullptr);
    EXPECT_EQ(GetSharedPaletteCount(), before);
    CSharedPalette::Release(nullptr);
}

TEST(SharedPalette, DefaultPaletteHasTheStaticColoursAndRamps) {
    const LogPalette256& d = GetDefaultLogPalette();
    EXPECT_EQ(d.version, 0x300);
    EXPECT_EQ(d.count, 256);
    EXPECT_TRUE(Is(d.entries[0], 0, 0, 0));
    EXPECT_TRUE(Is(d.entries[9], 166, 202, 240));
    EXPECT_TRUE(Is(d.entries[246], 255, 251, 240));
    EXPECT_TRUE(Is(d.entries[255], 255, 255, 255));
    EXPECT_TRUE(Is(d.entries[10], 255, 167, 0));  // ramp ends
    EXPECT_TRUE(Is(d.entries[15], 67, 35, 7));
    EXPECT_TRUE(Is(d.entries[152], 254, 254, 254));
    EXPECT_TRUE(Is(d.entries[168], 8, 0, 0));  // spare place
    EXPECT_EQ(d.entries[9].flags, 0);
    EXPECT_EQ(d.entries[100].flags, kPaletteNoCollapse);
    CSharedPalette* a = GetDefaultSharedPalette();
    CSharedPalette* b = GetDefaultSharedPalette();
    EXPECT_EQ(a, b);
    CSharedPalette::Release(a);
    CSharedPalette::Release(b);
}

TEST(SharedPalette, RemapMovesTheNearestColoursToTheStaticPlaces) {
    LogPalette256 in = Grey();
    in.entries[60] = {128, 0, 0, 0};   // the static colour of place 1
    in.entries[100] = {250, 0, 0, 0};  // nearest to the static red at 249
    PaletteEntry out[256];
    uint8_t map[256];
    EXPECT_TRUE(RemapPalette(out, in.entries, map));
    EXPECT_EQ(map[1], 60);
    EXPECT_EQ(map[249], 100);
    EXPECT_TRUE(Is(out[249], 255, 0, 0));  // static places get their exact colours
    EXPECT_EQ(out[100].flags, kPaletteNoCollapse);
    EXPECT_TRUE(Is(out[7], 192, 192, 192));
    EXPECT_EQ(out[7].flags, 0);

    // An already arranged palette does not move; near-black middles become (8,0,0).
    LogPalette256 arranged = GetDefaultLogPalette();
    arranged.entries[50] = {3, 2, 1, 0};
    EXPECT_FALSE(RemapPalette(arranged.entries, arranged.entries, nullptr));
    EXPECT_TRUE(Is(arranged.entries[50], 8, 0, 0));
}
