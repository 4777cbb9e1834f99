// DIB-section surfaces against GDI: the sections' headers, pixels seen the
// same way by the library and by GDI, the memory DC's life, origins, GDI
// blits and the display-mode calls on Xvfb's single mode.
#include <windows.h>
#undef TextOut
#undef DrawText

#include <gtest/gtest.h>

#include <memory>
#include <vector>

#include "gdi_test_support.h"
#include "graphics2d/surface_registry.h"
#include "graphics2d/win32/dc_surfaces.h"
#include "runtime/package/shared_palette.h"

namespace {

class DIBSurfaceTest : public ::testing::Test {
protected:
    void SetUp() override { RegisterSurfaceClient(); }
    void TearDown() override { UnregisterSurfaceClient(); }

    static CSurfaceImpl* Prototype(int depth, SurfacePlacement placement) {
        const CSurface* holder = nullptr;
        SelectPixelFormat(&holder, depth, placement, 0);
        return holder ? holder->GetImpl() : nullptr;
    }
    static std::unique_ptr<CSurfaceImpl> Make(int depth, int w, int h, SurfacePlacement placement = kPlaceDIB) {
        CSurfaceImpl* prototype = Prototype(depth, placement);
        return std::unique_ptr<CSurfaceImpl>(prototype ? prototype->MakeInstance(w, h) : nullptr);
    }
};

HBITMAP SectionOf(CSurfaceImpl* s) { return static_cast<CDIBSurface*>(s)->Section(); }

// A library colour (red low) as GDI's 0x00RRGGBB.
uint32_t AsGdi(uint32_t colour) {
    return ((colour & 0xFF) << 16) | (colour & 0xFF00) | ((colour >> 16) & 0xFF);
}

const int kDepths[] = {8, 15, 16, 24, 32};

}  // namespace

TEST_F(DIBSurfaceTest, SectionHeadersPerDepth) {
    struct Case {
        int depth;
        WORD bitCount;
        DWORD compression;
        DWORD masks[3];
    };
    const Case cases[] = {{8, 8, BI_RGB, {0, 0, 0}},
                          {15, 16, BI_RGB, {0, 0, 0}},
                          {16, 16, BI_BITFIELDS, {0xF800, 0x07E0, 0x001F}},
                          {24, 24, BI_RGB, {0, 0, 0}},
                          {32, 32, BI_RGB, {0, 0, 0}}};
    for (const Case& c : cases) {
        auto s = Make(c.depth, 7, 5);
        ASSERT_NE(s, nullptr) << c.depth;
        EXPECT_EQ(s->GetKind(), 3);
        DIBSECTION section = {};
        ASSERT_EQ(GetObjectA(SectionOf(s.get()), sizeof section, &section), int(sizeof section)) << c.depth;
        EXPECT_EQ(section.dsBmih.biBitCount, c.bitCount) << c.depth;
        EXPECT_EQ(section.dsBmih.biWidth, 7);
        EXPECT_EQ(section.dsBmih.biHeight, 5) << "bottom-up";
        // Wine describes a 5-5-5 section as bit fields with the 5-5-5 masks.
        const bool wine555 = c.depth == 15 && section.dsBmih.biCompression == BI_BITFIELDS;
        if (wine555) {
            EXPECT_EQ(section.dsBitfields[0], 0x7C00u);
            EXPECT_EQ(section.dsBitfields[1], 0x03E0u);
            EXPECT_EQ(section.dsBitfields[2], 0x001Fu);
        } else {
            EXPECT_EQ(section.dsBmih.biCompression, c.compression) << c.depth;
        }
        EXPECT_EQ(static_cast<CDIBSurface*>(s.get())->Header().biCompression, c.compression) << "our header";
        if (c.compression == BI_BITFIELDS)
            for (int i = 0; i < 3; ++i) EXPECT_EQ(section.dsBitfields[i], c.masks[i]);
        // Row base at the last stored row, rows going up in memory.
        const int32_t pitch = ((c.bitCount * 7 + 31) & ~31) / 8;
        EXPECT_EQ(s->pitch, pitch);
        EXPECT_EQ(s->rowStep, -pitch);
        EXPECT_EQ(s->rowBase, static_cast<uint8_t*>(section.dsBm.bmBits) + 4 * pitch);
    }
}

TEST_F(DIBSurfaceTest, LibraryAndGdiSeeTheSamePixels) {
    for (int depth : kDepths) {
        auto s = Make(depth, 6, 4);
        ASSERT_NE(s, nullptr);
        // Library drawing, read by GDI.
        const uint32_t colours[] = {0x0000F8, 0x00F800, 0xF80000, 0x808080};
        for (int32_t y = 0; y < 4; ++y)
            for (int32_t x = 0; x < 6; ++x) ASSERT_EQ(s->SetPixel(x, y, colours[(x + y) % 4]), 1);
        const std::vector<uint32_t> seen = ReadBitmap(SectionOf(s.get()), 6, 4);
        for (int32_t y = 0; y < 4; ++y)
            for (int32_t x = 0; x < 6; ++x) {
                uint32_t mine = 0;
                ASSERT_EQ(s->GetPixel(x, y, &mine), 1);
                EXPECT_EQ(seen[size_t(y) * 6 + x] & StoredBits(depth), AsGdi(mine)) << depth << " " << x << "," << y;
            }
        // GDI drawing, read by the library.
        uint32_t outside = 0;
        ASSERT_EQ(s->GetPixel(0, 0, &outside), 1);
        HDC dc = static_cast<HDC>(s->GetDC());
        ASSERT_NE(dc, nullptr);
        HBRUSH brush = CreateSolidBrush(RGB(0xF8, 0, 0));
        RECT area = {1, 1, 3, 3};
        FillRect(dc, &area, brush);
        DeleteObject(brush);
        GdiFlush();
        s->ReleaseDC(dc);
        uint32_t c = 0;
        ASSERT_EQ(s->GetPixel(2, 2, &c), 1);
        if (depth != 8) EXPECT_EQ(c, 0x0000F8u) << depth;
        EXPECT_EQ(AsGdi(c), ReadBitmap(SectionOf(s.get()), 6, 4)[2 * 6 + 2] & StoredBits(depth)) << depth;
        ASSERT_EQ(s->GetPixel(0, 0, &c), 1);
        EXPECT_EQ(c, outside) << "outside the fill untouched";
    }
}

TEST_F(DIBSurfaceTest, OneMemoryDCUntilOneRelease) {
    auto s = Make(32, 4, 4);
    ASSERT_NE(s, nullptr);
    const int held = LiveDibGdiObjects();
    HDC first = static_cast<HDC>(s->GetDC());
    ASSERT_NE(first, nullptr);
    EXPECT_EQ(GetCurrentObject(first, OBJ_BITMAP), SectionOf(s.get()));
    EXPECT_EQ(s->GetDC(), first) << "no count: the same DC";
    // What a caller leaves on the DC does not reach the next one to take it.
    HFONT font = CreateFontA(-20, 0, 0, 0, FW_BOLD, 0, 0, 0, ANSI_CHARSET, 0, 0, 0, 0, "Arial");
    HGDIOBJ defaultFont = SelectObject(first, font);
    SetTextColor(first, RGB(1, 2, 3));
    SetBkMode(first, TRANSPARENT);
    IntersectClipRect(first, 1, 1, 2, 2);
    SetWindowOrgEx(first, 7, 7, nullptr);
    s->ReleaseDC(first);
    s->ReleaseDC(first);  // one release ended both GetDCs: harmless
    EXPECT_EQ(LiveDibGdiObjects(), held + 1) << "the memory DC is kept for the next GetDC";

    HDC again = static_cast<HDC>(s->GetDC());
    ASSERT_EQ(again, first);
    EXPECT_EQ(GetCurrentObject(again, OBJ_BITMAP), SectionOf(s.get()));
    EXPECT_EQ(GetCurrentObject(again, OBJ_FONT), defaultFont);
    EXPECT_EQ(GetTextColor(again), RGB(0, 0, 0));
    EXPECT_EQ(GetBkMode(again), OPAQUE);
    RECT clip = {};
    EXPECT_EQ(GetClipBox(again, &clip), SIMPLEREGION);
    EXPECT_EQ(clip.right - clip.left, 4) << "whole surface, no clip left over";
    POINT origin = {};
    ASSERT_TRUE(GetWindowOrgEx(again, &origin));
    EXPECT_EQ(origin.x, 0);
    s->ReleaseDC(again);
    DeleteObject(font);
    s.reset();
    EXPECT_EQ(LiveDibGdiObjects(), held - 1) << "deleting the surface frees the DC and the section";

    // The kept-DC class hands out its one DC and ignores releases.
    auto kept = Make(32, 4, 4, kPlaceKeptDC);
    ASSERT_NE(kept, nullptr);
    EXPECT_EQ(kept->GetKind(), 4);
    HDC keptDC = static_cast<HDC>(kept->GetDC());
    ASSERT_NE(keptDC, nullptr);
    kept->ReleaseDC(keptDC);
    EXPECT_EQ(GetObjectType(keptDC), static_cast<DWORD>(OBJ_MEMDC));
    EXPECT_EQ(kept->GetDC(), keptDC);
}

// At 8 bits GDI draws through the section's colour table: a palette set
// while the surface's memory DC is kept between uses must reach it.
TEST_F(DIBSurfaceTest, PaletteSetBetweenUsesReachesTheKeptDC) {
    auto s = Make(8, 4, 4);
    ASSERT_NE(s, nullptr);
    s->ReleaseDC(s->GetDC());  // the DC now exists and is kept
    LogPalette256 greys = {0x300, 256, {}};
    for (int i = 0; i < 256; ++i) greys.entries[i] = {uint8_t(i), uint8_t(i), uint8_t(i), 0};
    greys.entries[5] = {10, 20, 200, 0};
    ASSERT_EQ(s->SetPaletteEntries(&greys, 0), 1);
    HDC dc = static_cast<HDC>(s->GetDC());
    ASSERT_NE(dc, nullptr);
    RGBQUAD entry = {};
    ASSERT_EQ(GetDIBColorTable(dc, 5, 1, &entry), 1u);
    EXPECT_EQ(entry.rgbRed, 10);
    EXPECT_EQ(entry.rgbBlue, 200);
    SetPixelV(dc, 1, 1, RGB(10, 20, 200));
    s->ReleaseDC(dc);
    EXPECT_EQ(ReadBitmap(SectionOf(s.get()), 4, 4)[1 * 4 + 1], 0x0A14C8u) << "GDI matched the new entry";
}

TEST_F(DIBSurfaceTest, OriginReachesTheDC) {
    auto kept = Make(32, 8, 8, kPlaceKeptDC);
    auto plain = Make(32, 8, 8);
    ASSERT_TRUE(kept && plain);
    POINT p = {};
    kept->SetOrigin(3, -2);
    ASSERT_TRUE(GetWindowOrgEx(static_cast<HDC>(kept->GetDC()), &p));
    EXPECT_EQ(p.x, 3);
    EXPECT_EQ(p.y, -2) << "at once on the kept DC";
    EXPECT_EQ(kept->GetOrigin(), 0xFFFE0003u);

    HDC dc = static_cast<HDC>(plain->GetDC());
    plain->SetOrigin(5, 6);
    ASSERT_TRUE(GetWindowOrgEx(dc, &p));
    EXPECT_EQ(p.x, 0) << "a DC already made keeps its origin";
    plain->ReleaseDC(dc);
    dc = static_cast<HDC>(plain->GetDC());
    ASSERT_TRUE(GetWindowOrgEx(dc, &p));
    EXPECT_EQ(p.x, 5);
    EXPECT_EQ(p.y, 6) << "at the next GetDC";
    plain->ReleaseDC(dc);
}

TEST_F(DIBSurfaceTest, ModeSevenUsesTheRasterOperation) {
    for (int depth : {16, 24, 32}) {
        auto src = Make(depth, 4, 3);
        auto dst = Make(depth, 4, 3);
        ASSERT_TRUE(src && dst);
        for (int32_t y = 0; y < 3; ++y)
            for (int32_t x = 0; x < 4; ++x) {
                src->SetPixel(x, y, 0x0000F8u << (8 * ((x + y) % 3)));
                dst->SetPixel(x, y, 0x00F8F8u);
            }
        std::vector<uint32_t> expected;
        for (int32_t y = 0; y < 3; ++y)
            for (int32_t x = 0; x < 4; ++x) {
                uint32_t a = 0, b = 0;
                src->GetPixel(x, y, &a);
                dst->GetPixel(x, y, &b);
                expected.push_back(a ^ b);
            }
        ASSERT_NE(src->Blit(dst.get(), 0, 0, 0, 0, 4, 3, 0, 7, SRCINVERT, 0), 0) << depth;
        for (int32_t y = 0; y < 3; ++y)
            for (int32_t x = 0; x < 4; ++x) {
                uint32_t c = 0;
                dst->GetPixel(x, y, &c);
                EXPECT_EQ(c, expected[size_t(y) * 4 + x]) << depth << " " << x << "," << y;
            }
        // Onto itself: its DC taken twice and released twice.
        ASSERT_NE(dst->Blit(dst.get(), 1, 0, 0, 0, 2, 3, 0, 7, SRCCOPY, 0), 0);
        uint32_t a = 0, b = 0;
        dst->GetPixel(0, 1, &a);
        dst->GetPixel(1, 1, &b);
        EXPECT_EQ(a, b) << depth;
    }
}

TEST_F(DIBSurfaceTest, RefusedSizesMakeNoSection) {
    CSurfaceImpl* prototype = Prototype(32, kPlaceDIB);
    ASSERT_NE(prototype, nullptr);
    for (auto size : {std::pair<int32_t, int32_t>{0, 5}, {5, -1}, {-3, -3}, {0x7FFFFFFF, 2}, {65536, 65536}})
        EXPECT_EQ(prototype->MakeInstance(size.first, size.second), nullptr) << size.first << "x" << size.second;
    const CSurface* holder = nullptr;
    SelectPixelFormat(&holder, 32, kPlaceDIB, 0);
    CSurface front;
    EXPECT_FALSE(front.Create(100000, 100000, holder));
    EXPECT_EQ(front.GetStatus(), kSurfaceNoImpl);
}

TEST_F(DIBSurfaceTest, EightBitsWithoutPaletteUsesIndices) {
    CDIBSurface prototype;
    ASSERT_EQ(prototype.Init(8), 1);
    ASSERT_EQ(prototype.SetPalette(nullptr, 0), 1);
    std::unique_ptr<CSurfaceImpl> s(prototype.MakeInstance(4, 4));
    ASSERT_NE(s, nullptr);
    EXPECT_EQ(s->GetPalette(), nullptr);
    DIBSECTION section = {};
    ASSERT_EQ(GetObjectA(SectionOf(s.get()), sizeof section, &section), int(sizeof section));
    EXPECT_EQ(section.dsBmih.biBitCount, 8);
}

namespace {

int CountModes(const DisplayModeRecord* mode, void* context) {
    auto* seen = static_cast<std::vector<DisplayModeRecord>*>(context);
    seen->push_back(*mode);
    return 0;  // stop at once
}

}  // namespace

TEST_F(DIBSurfaceTest, DisplayModesOnTheSingleScreenMode) {
    auto s = Make(32, 4, 4);
    ASSERT_NE(s, nullptr);
    std::vector<DisplayModeRecord> seen;
    s->EnumDisplayModes(CountModes, &seen);
    ASSERT_EQ(seen.size(), 1u);
    EXPECT_GT(seen[0].width, 0);

    DEVMODEA current = {};
    current.dmSize = sizeof current;
    ASSERT_TRUE(EnumDisplaySettingsA(nullptr, ENUM_CURRENT_SETTINGS, &current));
    HWND window = CreateWindowExA(0, "STATIC", "mode", WS_OVERLAPPEDWINDOW, 10, 20, 200, 100, nullptr, nullptr,
                                  nullptr, nullptr);
    ASSERT_NE(window, nullptr);
    RECT before = {};
    GetWindowRect(window, &before);
    const LONG_PTR styleBefore = GetWindowLongPtrA(window, GWL_STYLE);

    // A mode the screen does not have is refused; the window stays as it was.
    EXPECT_EQ(s->SetDisplayMode(window, 123, 77, 32), 0);
    RECT r = {};
    GetWindowRect(window, &r);
    EXPECT_TRUE(EqualRect(&r, &before));
    EXPECT_EQ(GetWindowLongPtrA(window, GWL_STYLE), styleBefore);

    // The current mode is taken; twice keeps the first saved state.
    const int w = static_cast<int>(current.dmPelsWidth), h = static_cast<int>(current.dmPelsHeight);
    ASSERT_EQ(s->SetDisplayMode(window, w, h, static_cast<int>(current.dmBitsPerPel)), 1);
    EXPECT_EQ(static_cast<DWORD>(GetWindowLongPtrA(window, GWL_STYLE)) & ~DWORD(WS_VISIBLE), 0x86000000u)
        << "shown by SetWindowPos";
    GetWindowRect(window, &r);
    EXPECT_EQ(r.left, 0);
    EXPECT_EQ(r.top, 0);
    EXPECT_EQ(r.right, w);
    EXPECT_EQ(r.bottom, h);
    ASSERT_EQ(s->SetDisplayMode(window, w, h, static_cast<int>(current.dmBitsPerPel)), 1);

    // Another instance takes the state over and restores it.
    auto next = Make(32, 4, 4);
    ASSERT_NE(next, nullptr);
    next->CopyDisplayState(s.get());
    next->RestoreDisplayMode(window);
    GetWindowRect(window, &r);
    EXPECT_TRUE(EqualRect(&r, &before));
    EXPECT_EQ(GetWindowLongPtrA(window, GWL_STYLE) & ~LONG_PTR(WS_VISIBLE), styleBefore & ~LONG_PTR(WS_VISIBLE));
    DestroyWindow(window);
}

// Every GDI step of MakeInstance and GetDC made to fail once: the call
// answers null and holds no more GDI objects than before (counted by the
// seam: Wine's GetGuiResources answers 0).
TEST_F(DIBSurfaceTest, FailingGdiStepsReleaseWhatTheyMade) {
    const DibStep steps[] = {kDibStepReferenceDC, kDibStepMemoryDC, kDibStepSection, kDibStepSelect};
    for (SurfacePlacement placement : {kPlaceDIB, kPlaceKeptDC}) {
        for (int depth : {8, 16, 32}) {
            const int before = LiveDibGdiObjects();
            for (DibStep step : steps) {
                FailDibStep(step);
                EXPECT_EQ(Make(depth, 5, 3, placement), nullptr) << placement << " " << depth << " " << step;
                EXPECT_EQ(LiveDibGdiObjects(), before) << placement << " " << depth << " " << step;
            }
            FailDibStep(kDibStepNone);
            auto made = Make(depth, 5, 3, placement);
            ASSERT_NE(made, nullptr);
            EXPECT_EQ(LiveDibGdiObjects(), before + (placement == kPlaceKeptDC ? 2 : 1)) << "section, kept DC";
            made.reset();
            EXPECT_EQ(LiveDibGdiObjects(), before);
        }
    }
    auto s = Make(32, 5, 3);
    ASSERT_NE(s, nullptr);
    const int held = LiveDibGdiObjects();
    for (DibStep step : {kDibStepReferenceDC, kDibStepMemoryDC, kDibStepSelect}) {
        FailDibStep(step);
        EXPECT_EQ(s->GetDC(), nullptr) << step;
        EXPECT_EQ(LiveDibGdiObjects(), held) << step;
    }
    void* dc = s->GetDC();
    ASSERT_NE(dc, nullptr);
    EXPECT_EQ(LiveDibGdiObjects(), held + 1);
    s->ReleaseDC(dc);
    s->ReleaseDC(dc);  // a second release finds no DC taken
    EXPECT_EQ(LiveDibGdiObjects(), held + 1) << "kept for the next GetDC";
    EXPECT_EQ(s->GetDC(), dc);
    s->ReleaseDC(dc);
    s.reset();
    EXPECT_EQ(LiveDibGdiObjects(), held - 1);
}
