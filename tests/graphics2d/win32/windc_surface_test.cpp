// Window-DC surfaces: the screen DC's life, clipping through the DC, and
// presentation of DIB sections of every depth into a real window, read back
// from the window exactly.
#include <windows.h>
#undef TextOut
#undef DrawText

#include <gtest/gtest.h>

#include <memory>

#include "gdi_test_support.h"
#include "graphics2d/surface_registry.h"

namespace {

class WinDCSurfaceTest : public ::testing::Test {
protected:
    void SetUp() override { RegisterSurfaceClient(); }
    void TearDown() override { UnregisterSurfaceClient(); }

    static bool MakeDIB(CSurface* s, int depth, int w, int h) {
        const CSurface* holder = nullptr;
        SelectPixelFormat(&holder, depth, kPlaceDIB, 0);
        return s->Create(w, h, holder);
    }
};

}  // namespace

// Wine counts no GDI objects (GetGuiResources answers 0), so the release is
// seen through the screen-DC cache: a DC still held is not handed out again,
// a released one is.
TEST_F(WinDCSurfaceTest, ScreenDCIsTakenAndReleasedWithTheSurface) {
    HDC taken = nullptr;
    {
        CSurface screen;
        ASSERT_TRUE(screen.CreateForDC(nullptr));
        EXPECT_EQ(screen.GetKind(), 2);
        EXPECT_EQ(screen.GetDepth(), 0);
        taken = static_cast<HDC>(screen.GetDC());
        ASSERT_NE(taken, nullptr);
        EXPECT_EQ(GetObjectType(taken), static_cast<DWORD>(OBJ_DC));
        EXPECT_EQ(screen.GetImpl()->IsDeviceOnly(), 1);
        uint32_t c = 0;
        EXPECT_EQ(screen.PixelAt(0, 0, &c), 0) << "no addressable pixels";
        EXPECT_EQ(screen.FillRect(0, 0, 2, 2, 0xFF), 0);
        HDC other = GetDC(nullptr);
        EXPECT_NE(other, taken) << "held by the surface";
        ReleaseDC(nullptr, other);
    }
    HDC again = GetDC(nullptr);
    HDC second = GetDC(nullptr);
    EXPECT_TRUE(again == taken || second == taken) << "released with the surface";
    ReleaseDC(nullptr, second);
    ReleaseDC(nullptr, again);
}

TEST_F(WinDCSurfaceTest, ClipRectComesFromTheDCAndOnlyNarrows) {
    HDC memory = CreateCompatibleDC(nullptr);
    ASSERT_NE(memory, nullptr);
    {
        CSurface s;
        ASSERT_TRUE(s.CreateForDC(memory));
        HRGN empty = CreateRectRgn(0, 0, 0, 0);
        SelectClipRgn(memory, empty);
        DeleteObject(empty);
        int32_t x, y, w, h;
        s.GetImpl()->GetClipRect(&x, &y, &w, &h);
        EXPECT_EQ(x, 0);
        EXPECT_EQ(y, 0);
        EXPECT_EQ(w, 32767);
        EXPECT_EQ(h, 32767) << "empty region";
    }
    DeleteDC(memory);

    CSurface bitmapSurface;
    ASSERT_TRUE(MakeDIB(&bitmapSurface, 32, 100, 100));
    HDC dc = static_cast<HDC>(bitmapSurface.GetDC());
    CSurface s;
    ASSERT_TRUE(s.CreateForDC(dc));
    CSurfaceImpl* impl = s.GetImpl();
    impl->SetClipRect(10, 10, 50, 50);
    impl->SetClipRect(30, 5, 50, 20);
    int32_t x, y, w, h;
    impl->GetClipRect(&x, &y, &w, &h);
    EXPECT_EQ(x, 30);
    EXPECT_EQ(y, 10);
    EXPECT_EQ(w, 30);
    EXPECT_EQ(h, 15) << "the intersection";
    EXPECT_EQ(impl->SetPixel(35, 12, 0x0000FF), 1);
    s.Release();
    bitmapSurface.ReleaseDC(dc);
    uint32_t c = 0;
    ASSERT_EQ(bitmapSurface.PixelAt(35, 12, &c), 1);
    EXPECT_EQ(c, 0x0000FFu);
}

TEST_F(WinDCSurfaceTest, PresentationIntoAWindowIsExact) {
    const int w = 24, h = 10;
    HWND window = CreateWindowExA(WS_EX_TOPMOST, "STATIC", "", WS_POPUP | WS_VISIBLE, 0, 0, w, h, nullptr, nullptr,
                                  nullptr, nullptr);
    ASSERT_NE(window, nullptr);
    UpdateWindow(window);
    HDC windowDC = GetDC(window);
    CSurface onWindow;
    ASSERT_TRUE(onWindow.CreateForDC(windowDC));
    CSurface captured;
    ASSERT_TRUE(MakeDIB(&captured, 32, w, h));

    for (int depth : {8, 15, 16, 24, 32}) {
        CSurface source;
        ASSERT_TRUE(MakeDIB(&source, depth, w, h));
        for (int y = 0; y < h; ++y)
            for (int x = 0; x < w; ++x) {
                const uint32_t colour = (uint32_t(x * 10) & 0xFF) | (uint32_t(y * 25) << 8) | ((x ^ y) & 1 ? 0xC00000u : 0);
                source.GetImpl()->SetPixel(x, y, colour);
            }
        ASSERT_NE(source.Blit(&onWindow, 0, 0, 0, 0, w, h, 0, 0, 0, 0), 0) << depth;
        GdiFlush();
        // Read the client area back into a 32-bit section.
        ASSERT_NE(onWindow.Blit(&captured, 0, 0, 0, 0, w, h, 0, 0, 0, 0), 0);
        for (int y = 0; y < h; ++y)
            for (int x = 0; x < w; ++x) {
                uint32_t want = 0, got = 0;
                source.PixelAt(x, y, &want);  // 8 bits: through the palette
                captured.PixelAt(x, y, &got);
                EXPECT_EQ(got & StoredBits(depth), want) << depth << " " << x << "," << y;
            }
    }
    onWindow.Release();
    ReleaseDC(window, windowDC);
    DestroyWindow(window);
}
