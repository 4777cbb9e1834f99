// The surface library against the system's GDI: the static colours, icons
// and cursors made from surfaces, and device-context copies.
#include <windows.h>

#include <gtest/gtest.h>

#include <vector>

#include "gdi_test_support.h"
#include "graphics2d/gdi_utils.h"
#include "graphics2d/memory_surface.h"
#include "graphics2d/surface_registry.h"

namespace {

class SurfaceGdiTest : public ::testing::Test {
protected:
    void SetUp() override { RegisterSurfaceClient(); }
    void TearDown() override { UnregisterSurfaceClient(); }
};

}  // namespace

TEST_F(SurfaceGdiTest, StaticColoursEqualTheStockDefaultPalette) {
    HPALETTE stock = static_cast<HPALETTE>(GetStockObject(DEFAULT_PALETTE));
    PALETTEENTRY entries[20];
    ASSERT_EQ(GetPaletteEntries(stock, 0, 20, entries), 20u);
    const LogPalette256& ours = GetDefaultLogPalette();
    for (int i = 0; i < 20; ++i) {
        const PaletteEntry& e = ours.entries[i < 10 ? i : 236 + i];
        EXPECT_EQ(e.red, entries[i].peRed) << i;
        EXPECT_EQ(e.green, entries[i].peGreen) << i;
        EXPECT_EQ(e.blue, entries[i].peBlue) << i;
    }
}

TEST_F(SurfaceGdiTest, PaletteHandleHasTheEntriesAndNoCollapseFlags) {
    CSharedPalette* palette = GetDefaultSharedPalette();
    ASSERT_NE(palette, nullptr);
    HPALETTE handle = static_cast<HPALETTE>(GetHPalette(palette));
    ASSERT_NE(handle, nullptr);
    EXPECT_EQ(GetHPalette(palette), handle);  // made once
    PALETTEENTRY entries[256];
    ASSERT_EQ(GetPaletteEntries(handle, 0, 256, entries), 256u);
    EXPECT_EQ(entries[100].peRed, palette->entries[100].red);
    EXPECT_EQ(entries[100].peFlags, PC_NOCOLLAPSE);
    EXPECT_EQ(entries[5].peFlags, 0);
    CSharedPalette::Release(palette);
}

TEST_F(SurfaceGdiTest, IconCentresAWideSurface) {
    const CSurface* prototype = nullptr;
    SelectPixelFormat(&prototype, 24, kPlaceMemory, 0);
    const uint32_t mask = 0x00FF00;
    // A 32 x 16 picture (what a 64 x 32 surface stretches to once the
    // stretch blit exists) is centred at rows 8 to 23.
    CSurface half;
    ASSERT_TRUE(half.Create(32, 16, prototype));
    half.Clear(0x0000FF);
    HICON icon = static_cast<HICON>(CreateIconFromSurface(&half, 32, 32, mask, nullptr));
    ASSERT_NE(icon, nullptr);
    ICONINFO info = {};
    ASSERT_TRUE(GetIconInfo(icon, &info));
    EXPECT_TRUE(info.fIcon);
    const std::vector<uint32_t> colour = ReadBitmap(info.hbmColor, 32, 32);
    const std::vector<uint32_t> maskBits = ReadBitmap(info.hbmMask, 32, 32);
    for (int y = 0; y < 32; ++y) {
        const bool picture = y >= 8 && y < 24;
        for (int x = 0; x < 32; x += 7) {
            EXPECT_EQ(colour[y * 32 + x], picture ? 0xFF0000u : 0x00FF00u) << x << "," << y;
            EXPECT_EQ(maskBits[y * 32 + x] != 0, !picture) << x << "," << y;
        }
    }
    DeleteObject(info.hbmColor);
    DeleteObject(info.hbmMask);
    DestroyIcon(icon);
}

TEST_F(SurfaceGdiTest, CursorKeepsItsHotSpot) {
    const CSurface* prototype = nullptr;
    SelectPixelFormat(&prototype, 8, kPlaceMemory, 0);
    CSurface surface;
    ASSERT_TRUE(surface.Create(16, 16, prototype));
    surface.Clear(0xFFFFFF);
    const int32_t hotSpot[2] = {5, 9};
    HICON cursor = static_cast<HICON>(CreateIconFromSurface(&surface, 32, 32, 0, hotSpot));
    ASSERT_NE(cursor, nullptr);
    ICONINFO info = {};
    ASSERT_TRUE(GetIconInfo(cursor, &info));
    EXPECT_FALSE(info.fIcon);
    EXPECT_EQ(info.xHotspot, 5u);
    EXPECT_EQ(info.yHotspot, 9u);
    if (info.hbmColor) DeleteObject(info.hbmColor);
    DeleteObject(info.hbmMask);
    DestroyCursor(cursor);
}

TEST_F(SurfaceGdiTest, CopyDCToDCCopiesAPaintedWindow) {
    WNDCLASSA wc = {};
    wc.lpfnWndProc = DefWindowProcA;
    wc.hInstance = GetModuleHandleA(nullptr);
    wc.lpszClassName = "TwSurfaceGdiTest";
    RegisterClassA(&wc);
    HWND window = CreateWindowExA(WS_EX_TOPMOST, wc.lpszClassName, "", WS_POPUP | WS_VISIBLE, 0, 0, 40, 30, nullptr,
                                  nullptr, wc.hInstance, nullptr);
    ASSERT_NE(window, nullptr);
    UpdateWindow(window);
    HDC windowDC = GetDC(window);
    RECT whole = {0, 0, 40, 30}, box = {10, 5, 30, 20};
    HBRUSH blue = CreateSolidBrush(RGB(0, 0, 255)), yellow = CreateSolidBrush(RGB(255, 255, 0));
    FillRect(windowDC, &whole, blue);
    FillRect(windowDC, &box, yellow);
    GdiFlush();

    BITMAPINFO info = {};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = 40;
    info.bmiHeader.biHeight = -30;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    void* bits = nullptr;
    HBITMAP section = CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    ASSERT_NE(section, nullptr);
    HDC memory = CreateCompatibleDC(nullptr);
    HGDIOBJ old = SelectObject(memory, section);
    EXPECT_TRUE(CopyDCToDC(windowDC, memory, 0, 0, 0, 0, 40, 30, 40, 30, true, false));
    GdiFlush();
    const uint32_t* pixels = static_cast<const uint32_t*>(bits);
    for (int y = 0; y < 30; y += 3)
        for (int x = 0; x < 40; x += 3) {
            const bool inBox = x >= 10 && x < 30 && y >= 5 && y < 20;
            EXPECT_EQ(pixels[y * 40 + x] & 0xFFFFFF, inBox ? 0xFFFF00u : 0x0000FFu) << x << "," << y;
        }
    // A source position takes the area from there.
    EXPECT_TRUE(CopyDCToDC(windowDC, memory, 10, 5, 0, 0, 20, 15, 20, 15, false, false));
    GdiFlush();
    EXPECT_EQ(pixels[0] & 0xFFFFFF, 0xFFFF00u);
    EXPECT_EQ(pixels[14 * 40 + 19] & 0xFFFFFF, 0xFFFF00u);

    SelectObject(memory, old);
    DeleteDC(memory);
    DeleteObject(section);
    DeleteObject(blue);
    DeleteObject(yellow);
    ReleaseDC(window, windowDC);
    DestroyWindow(window);
}
