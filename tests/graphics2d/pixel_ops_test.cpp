// Pixel, area and palette operations: clip rectangles reaching past the
// surface, single pixels, fills, mirrors, content queries, colour
// replacement, the 8-bit palette operations and the overlap test.
#include "surface_cases.h"

#include <climits>

namespace {

std::vector<int32_t> Edges(const CRect& r) { return {r.left, r.top, r.right, r.bottom}; }

class PixelOpsTest : public SurfaceCaseTest {};

TEST_P(PixelOpsTest, ClipRectKeepsItsValuesButWritesStayInside) {
    CSurfaceImpl* s = Make(30, 30);
    s->SetClipRect(-10, -10, 50, 50);
    int32_t x, y, w, h;
    s->GetClipRect(&x, &y, &w, &h);
    EXPECT_EQ(Edges(CRect(x, y, x + w, y + h)), Edges(CRect(-10, -10, 30, 30)));
    // Writers reaching before the pixel memory: nothing outside is touched
    // (the sanitizers watch the memory), everything inside is.
    EXPECT_EQ(s->SetPixel(-1, -1, 0xFFFFFF), 0);
    EXPECT_EQ(s->SetPixelIndex(-5, 0, 7), 0);
    EXPECT_EQ(s->FillRect(-8, -8, 12, 12, 0x102030), 1);
    EXPECT_EQ(s->FillRectRaw(-3, -3, INT32_MAX, 5, 9), 1);
    EXPECT_EQ(s->ReverseX(-10, -10, 50, 50), 1);
    EXPECT_EQ(s->ReverseY(-10, -10, 50, 50), 1);
    EXPECT_EQ(s->FillRect(5, 5, INT32_MAX, INT32_MAX, 0x808080), 1);
    EXPECT_EQ(ColourOf(s, 29, 29), Stored(s, 0x808080));
    s->SetClipRect(5, 5, INT32_MAX, INT32_MAX);
    s->GetClipRect(&x, &y, &w, &h);
    EXPECT_EQ(Edges(CRect(x, y, x + w, y + h)), Edges(CRect(5, 5, 30, 30)));
    // Only the clipped area changes.
    s->ResetClipRect();
    s->FillRect(0, 0, 30, 30, 0);
    s->SetClipRect(10, 10, 5, 5);
    EXPECT_EQ(s->FillRect(0, 0, 30, 30, 0xFFFFFF), 1);
    EXPECT_EQ(s->SetPixel(9, 12, 0xFFFFFF), 0);
    for (int32_t j = 0; j < 30; ++j)
        for (int32_t i = 0; i < 30; ++i) ASSERT_EQ(Raw(s, i, j) != 0, i >= 10 && i < 15 && j >= 10 && j < 15);
}

TEST_P(PixelOpsTest, PixelsReadAndWriteLibraryColours) {
    CSurfaceImpl* s = Make(4, 3);
    ASSERT_EQ(s->SetPixel(1, 2, 0x00C08040), 1);
    uint32_t colour = 0;
    ASSERT_EQ(s->GetPixel(1, 2, &colour), 1);
    EXPECT_EQ(colour, Stored(s, 0x00C08040));
    EXPECT_EQ(s->GetPixel(4, 0, &colour), 0);
    if (Depth() == 8) {
        ASSERT_EQ(s->SetPixel(0, 0, 0x01000005), 1);
        EXPECT_EQ(Raw(s, 0, 0), 5u) << "bit 24 writes the raw index";
        EXPECT_EQ(ColourOf(s, 0, 0), s->GetPaletteColor(5));
        EXPECT_EQ(s->FillRect(0, 0, 4, 3, 0), 1);
        EXPECT_EQ(Raw(s, 3, 2), 0u) << "colour 0 fills index 0";
    }
    // The raw-byte writers address bytes whatever the depth.
    ASSERT_EQ(s->SetPixelIndex(3, 1, 0xAB), 1);
    EXPECT_EQ(PixelAddress(s, 0, 1)[3], 0xAB);
    ASSERT_EQ(s->FillRectRaw(1, 0, 2, 3, 0x5A), 1);
    EXPECT_EQ(PixelAddress(s, 0, 2)[1], 0x5A);
    EXPECT_EQ(PixelAddress(s, 0, 2)[2], 0x5A);
    for (int32_t n = -1; n <= 8; ++n) EXPECT_EQ(s->HasCapability(n), n >= 0 && n <= 5 ? 1 : 0) << n;
}

TEST_P(PixelOpsTest, MirrorsSwapPixelsAndRows) {
    CSurfaceImpl* s = Make(7, 5);
    Pattern(s, 31);
    const std::vector<uint32_t> before = RawPixels(s);
    EXPECT_EQ(s->ReverseX(3, 0, 1, 5), 1) << "width 1";
    EXPECT_EQ(s->ReverseY(0, 2, 7, 1), 1) << "height 1";
    EXPECT_EQ(RawPixels(s), before);
    EXPECT_EQ(s->ReverseX(7, 0, 3, 3), 0);
    EXPECT_EQ(s->ReverseX(-3, 0, 3, 3), 0);
    EXPECT_EQ(s->ReverseY(0, -4, 3, 4), 0);
    ASSERT_EQ(s->ReverseX(1, 1, 5, 3), 1);
    ASSERT_EQ(s->ReverseY(0, 0, 7, 4), 1);
    for (int32_t y = 0; y < 5; ++y)
        for (int32_t x = 0; x < 7; ++x) {
            const int32_t my = y < 4 ? 3 - y : y;                 // rows 0..3 turned over
            const bool area = my >= 1 && my < 4 && x >= 1 && x < 6;  // then the mirrored columns
            const int32_t mx = area ? 6 - x : x;
            ASSERT_EQ(Raw(s, x, y), before[size_t(my) * 7 + mx]) << x << "," << y;
        }
}

TEST_P(PixelOpsTest, ContentRectAndBlankness) {
    CSurfaceImpl* s = Make(10, 10);
    CRect r;
    EXPECT_EQ(s->IsBlank(), 1);
    ASSERT_EQ(s->GetContentRect(&r), 1);
    EXPECT_EQ(Edges(r), Edges(CRect(9, 9, 1, 1)));
    CSurfaceImpl* tiny = Make(2, 2);
    EXPECT_EQ(tiny->GetContentRect(&r), 0);
    SetRaw(s, 3, 4, 1);
    SetRaw(s, 6, 2, RawMask(Depth()));
    EXPECT_EQ(s->IsBlank(), 0);
    ASSERT_EQ(s->GetContentRect(&r), 1);
    EXPECT_EQ(Edges(r), Edges(CRect(3, 2, 7, 5)));
    if (Depth() == 32) {
        CSurfaceImpl* fourth = Make(5, 5);
        PixelAddress(fourth, 4, 1)[3] = 1;  // only the fourth byte
        EXPECT_EQ(fourth->IsBlank(), 0);
        ASSERT_EQ(fourth->GetContentRect(&r), 1);
        EXPECT_EQ(Edges(r), Edges(CRect(4, 1, 5, 2)));
    }
}

TEST_P(PixelOpsTest, ReplaceColorChangesExactMatchesInsideTheClip) {
    CSurfaceImpl* s = Make(6, 4);
    s->FillRect(0, 0, 6, 4, 0x302010);
    s->FillRect(1, 1, 3, 2, 0x80FF40);
    const uint32_t old = ColourOf(s, 1, 1);
    s->SetClipRect(0, 0, 3, 4);
    ASSERT_EQ(s->ReplaceColor(0x0000FF, old), 1);
    s->ResetClipRect();
    for (int32_t y = 0; y < 4; ++y)
        for (int32_t x = 0; x < 6; ++x) {
            const bool target = x >= 1 && x < 4 && y >= 1 && y < 3;
            const uint32_t expected = !target ? Stored(s, 0x302010) : x < 3 ? Stored(s, 0x0000FF) : old;
            EXPECT_EQ(ColourOf(s, x, y), expected) << x << "," << y;
        }
}

TEST_P(PixelOpsTest, PaletteOperations) {
    CSurfaceImpl* s = Make(5, 5);
    PaletteEntry entries[10] = {};
    if (Depth() != 8) {
        EXPECT_EQ(s->GetBlackIndex(), 4u);
        EXPECT_EQ(s->GetPaletteEntries(entries, 0, 10), 0);
        EXPECT_EQ(s->SetPalette(GetDefaultSharedPalette(), 0), HasDC(s) ? 1 : 0);
        EXPECT_EQ(s->GetPalette(), nullptr);
        return;
    }
    CSharedPalette* own = s->GetPalette();
    ASSERT_NE(own, nullptr);
    ASSERT_EQ(own->count, 256);
    for (PaletteEntry& e : entries) e.red = 0x77;
    EXPECT_EQ(s->GetPaletteEntries(entries, 250, 10), 10);
    EXPECT_EQ(std::memcmp(entries, own->entries + 250, 6 * sizeof(PaletteEntry)), 0);
    EXPECT_EQ(entries[6].red, 0x77) << "only six entries copied";
    EXPECT_EQ(s->GetPaletteEntries(nullptr, 0, 0), 256);
    EXPECT_EQ(s->GetPaletteEntries(entries, 256, 1), 0);
    EXPECT_EQ(s->GetPaletteColor(256), 0u);
    EXPECT_EQ(s->GetPaletteColor(-1), 0u);

    // Remapping to a reversed palette keeps every pixel's colour; index 0
    // stays 0.
    LogPalette256 reversed{};
    reversed.version = 0x300;
    reversed.count = 256;
    for (int i = 0; i < 256; ++i) reversed.entries[i] = own->entries[i == 0 ? 0 : 256 - i];
    Pattern(s, 32, true);
    std::vector<uint32_t> colours;
    for (int32_t y = 0; y < 5; ++y)
        for (int32_t x = 0; x < 5; ++x) colours.push_back(ColourOf(s, x, y));
    const std::vector<uint32_t> zeros = RawPixels(s);
    ASSERT_EQ(s->SetPaletteEntries(&reversed, 1), 1);
    ASSERT_NE(s->GetPalette(), own);
    for (int32_t y = 0; y < 5; ++y)
        for (int32_t x = 0; x < 5; ++x) {
            EXPECT_EQ(ColourOf(s, x, y), colours[size_t(y) * 5 + x]) << x << "," << y;
            if (zeros[size_t(y) * 5 + x] == 0) { EXPECT_EQ(Raw(s, x, y), 0u); }
        }
    EXPECT_EQ(s->SetPalette(s->GetPalette(), 1), 1) << "the same palette";

    // A surface without a palette cannot remap.
    CSurfaceImpl* bare = Make(3, 3);
    ASSERT_EQ(bare->SetPalette(nullptr, 0), 1);
    EXPECT_EQ(bare->SetPalette(own, 1), HasDC(bare) ? 1 : 0) << "refused, answered true with a DC";
    EXPECT_EQ(bare->GetPalette(), nullptr);
    EXPECT_EQ(bare->GetNearestIndex(0xFFFFFF), 0u);
    EXPECT_EQ(bare->CopyPaletteFrom(s, 0), 1);
    EXPECT_EQ(bare->GetPalette(), s->GetPalette());
    CSurfaceImpl* deep = Make(3, 3, 32);
    EXPECT_EQ(bare->CopyPaletteFrom(deep, 0), 0);
}

TEST_P(PixelOpsTest, OverlapComparesPixelsInsideBothSurfaces) {
    CSurfaceImpl* a = Make(8, 8);
    CSurfaceImpl* b = Make(6, 6);
    SetRaw(a, 5, 5, 1);
    SetRaw(b, 1, 2, 1);
    // a's (5, 5) meets b's (1, 2) when b lies at (4, 3) over a.
    EXPECT_EQ(PixelsOverlap(a, b, 0, 0, 4, 3, 4, 4), 1);
    EXPECT_EQ(PixelsOverlap(a, b, 1, 0, 4, 3, 4, 4), 0);
    // Areas reaching past either surface are cut, not read.
    EXPECT_EQ(PixelsOverlap(a, b, -4, -3, 0, 0, 100, 100), 1);
    EXPECT_EQ(PixelsOverlap(a, b, 0, 0, 4, 3, INT32_MAX, INT32_MAX), 1);
    EXPECT_EQ(PixelsOverlap(a, b, INT32_MIN, 0, 0, 0, 8, 8), 0);
    CSurfaceImpl* other = Make(6, 6, Depth() == 8 ? 16 : 8);
    EXPECT_EQ(PixelsOverlap(a, other, 0, 0, 0, 0, 1, 1), 1) << "different pixel sizes count as touching";
}

TW_SURFACE_CASES_ON_EVERY_FACTORY(PixelOpsTest);

}  // namespace
