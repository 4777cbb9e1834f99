// A script surface bound to a plain Win32 window: the redraw pass presents
// the listed rectangles, the paint path paints the paint rectangle, and an
// 8-bit surface presents through its palette. The window is read back
// through its DC.
#include <windows.h>
#undef TextOut
#undef DrawText

#include "gdi_test_support.h"
#include "graphics2d/ci_surface.h"
#include "tests/graphics2d/loaded_interpreter.h"

namespace {

class SurfacePresentTest : public LoadedInterpreterTest {
protected:
    void SetUp() override {
        LoadedInterpreterTest::SetUp();
        m_window = CreateWindowExA(WS_EX_TOPMOST, "STATIC", "", WS_POPUP | WS_VISIBLE, 0, 0, kW, kH, nullptr,
                                   nullptr, nullptr, nullptr);
        ASSERT_NE(m_window, nullptr);
        UpdateWindow(m_window);
    }
    void TearDown() override {
        m_interp.Unload();
        if (m_window) DestroyWindow(m_window);
        LoadedInterpreterTest::TearDown();
    }
    // The window's client area as library colours.
    std::vector<uint32_t> Window() {
        GdiFlush();
        HDC dc = GetDC(m_window);
        CSurface onWindow, captured;
        EXPECT_TRUE(onWindow.CreateForDC(dc));
        const CSurface* holder = nullptr;
        SelectPixelFormat(&holder, 32, kPlaceDIB, 0);
        EXPECT_TRUE(captured.Create(kW, kH, holder));
        onWindow.Blit(&captured, 0, 0, 0, 0, kW, kH, 0, 0, 0, 0);
        std::vector<uint32_t> pixels;
        for (int y = 0; y < kH; ++y)
            for (int x = 0; x < kW; ++x) {
                uint32_t c = 0;
                captured.PixelAt(x, y, &c);
                pixels.push_back(c & 0xFFFFFF);
            }
        onWindow.Release();
        ReleaseDC(m_window, dc);
        return pixels;
    }
    static std::vector<uint32_t> Picture(CISurface* s) {
        std::vector<uint32_t> pixels;
        for (int y = 0; y < kH; ++y)
            for (int x = 0; x < kW; ++x) {
                uint32_t c = 0;
                s->GetPicture()->PixelAt(x, y, &c);
                pixels.push_back(c & 0xFFFFFF);
            }
        return pixels;
    }
    static void Pattern(CISurface* s, uint32_t salt) {
        for (int y = 0; y < kH; ++y)
            for (int x = 0; x < kW; ++x)
                s->GetPicture()->GetImpl()->SetPixel(x, y, (uint32_t(x * 9 + salt) & 0xFF) | (uint32_t(y * 21) << 8) |
                                                               ((x ^ y) & 1 ? 0xA00000u : 0));
    }
    static constexpr int kW = 20, kH = 12;
    HWND m_window = nullptr;
};

TEST_F(SurfacePresentTest, RedrawPassPresentsTheSurfaceExactly) {
    for (int depth : {32, 16, 8}) {
        CISurface* s = dynamic_cast<CISurface*>(New(kClassSurface, {kW, kH, depth}));
        ASSERT_NE(s, nullptr);
        s->SetOwnerWindow(nullptr, m_window);
        Pattern(s, static_cast<uint32_t>(depth));
        s->MarkDrawn(CRect(0, 0, kW, kH));
        ASSERT_EQ(s->IsDirty(), 1);
        m_interp.RefreshAll();
        EXPECT_EQ(s->GetDirtyRects().GetCount(), 0) << depth;
        EXPECT_EQ(s->IsDirty(), 0);
        const std::vector<uint32_t> shown = Window(), drawn = Picture(s);
        for (size_t i = 0; i < shown.size(); ++i)
            ASSERT_EQ(shown[i] & StoredBits(depth), drawn[i]) << depth << " pixel " << i;
        m_interp.DeleteObject(s);
    }
}

TEST_F(SurfacePresentTest, PaintPathPaintsOnlyThePaintRectangle) {
    CISurface* s = dynamic_cast<CISurface*>(New(kClassSurface, {kW, kH, 32}));
    s->SetOwnerWindow(nullptr, m_window);
    s->MarkDrawn(CRect(0, 0, kW, kH));
    m_interp.RefreshAll();  // white everywhere
    Pattern(s, 3);          // drawn, not listed
    s->PaintToWindow(CRect(2, 3, 7, 5));
    const std::vector<uint32_t> shown = Window(), drawn = Picture(s);
    for (int y = 0; y < kH; ++y)
        for (int x = 0; x < kW; ++x) {
            const bool inside = x >= 2 && x < 7 && y >= 3 && y < 5;
            EXPECT_EQ(shown[y * kW + x], inside ? drawn[y * kW + x] : 0xFFFFFFu) << x << "," << y;
        }
}

}  // namespace
