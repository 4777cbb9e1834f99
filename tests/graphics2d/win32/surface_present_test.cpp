// A script surface bound to a plain Win32 window: the redraw pass presents
// the listed rectangles, the paint path paints the paint rectangle, and an
// 8-bit surface presents through its palette. The window is read back
// through its DC.
#include <windows.h>
#undef TextOut
#undef DrawText

#include "gdi_test_support.h"
#include "graphics2d/ci_surface.h"
#include "graphics2d/ci_surface_members.h"
#include "tests/graphics2d/loaded_interpreter.h"

#include <string>
#include <vector>

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

// A picture larger than the window's surface, loaded without AUTOSIZE: it
// is centred at (-1, -1) and the whole surface is marked for the window.
TEST_F(SurfacePresentTest, LargerPictureIsCentredAndMarksTheWholeSurface) {
    CISurface* source = dynamic_cast<CISurface*>(New(kClassSurface, {kW + 2, kH + 2, 32}));
    ASSERT_NE(source, nullptr);
    auto colour = [](int32_t x, int32_t y) { return static_cast<int32_t>((x * 11) | (y * 17) << 8 | 0x400000); };
    for (int32_t y = 0; y < kH + 2; ++y)
        for (int32_t x = 0; x < kW + 2; ++x) Call(source, kSurfaceSetPixel, {x, y, colour(x, y)});
    char folder[MAX_PATH];
    ASSERT_NE(GetTempPathA(MAX_PATH, folder), 0u);
    const std::string path = std::string(folder) + "tw_larger_picture.bmp";
    ASSERT_EQ(Int(source, kSurfaceSaveImage, {path.c_str()}), 1);

    CISurface* s = dynamic_cast<CISurface*>(New(kClassSurface, {kW, kH, 32}));
    ASSERT_NE(s, nullptr);
    s->SetOwnerWindow(nullptr, m_window);
    const_cast<CDirtyRects&>(s->GetDirtyRects()).Clear();
    EXPECT_EQ(Int(s, kSurfaceLoadImage, {path.c_str()}), 1);
    EXPECT_EQ(Int(s, kSurfaceGetPixel, {0, 0}), colour(1, 1));
    EXPECT_EQ(Int(s, kSurfaceGetPixel, {kW - 1, kH - 1}), colour(kW, kH));
    ASSERT_EQ(s->GetDirtyRects().GetCount(), 1);
    const CRect marked = s->GetDirtyRects()[0];
    EXPECT_EQ(std::vector<int32_t>({marked.left, marked.top, marked.right, marked.bottom}),
              std::vector<int32_t>({0, 0, kW, kH}));
    m_interp.DeleteObject(s);
    DeleteFileA(path.c_str());
}

}  // namespace
