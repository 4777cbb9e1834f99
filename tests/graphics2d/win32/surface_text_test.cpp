// Text on DIB-section surfaces through GDI: black text, the scratch path with
// a mode, measuring only, the alignment kept, and both paths drawing the same
// pixels. Assertions are relations between drawings, never glyph sizes.
#include <windows.h>
#undef TextOut
#undef DrawText

#include <gtest/gtest.h>

#include <cstring>
#include <vector>

#include "graphics2d/surface_registry.h"

namespace {

class SurfaceTextTest : public ::testing::Test {
protected:
    void SetUp() override {
        RegisterSurfaceClient();
        font_ = CreateFontA(20, 0, 0, 0, FW_BOLD, 0, 0, 0, ANSI_CHARSET, 0, 0, NONANTIALIASED_QUALITY, 0, "Arial");
        ASSERT_NE(font_, nullptr);
    }
    void TearDown() override {
        DeleteObject(font_);
        UnregisterSurfaceClient();
    }
    static bool MakeDIB(CSurface* s, int depth, int w, int h, SurfacePlacement placement = kPlaceDIB) {
        const CSurface* holder = nullptr;
        SelectPixelFormat(&holder, depth, placement, 0);
        return s->Create(w, h, holder);
    }
    static std::vector<uint32_t> Pixels(CSurface* s) {
        std::vector<uint32_t> all;
        for (int y = 0; y < s->GetHeight(); ++y)
            for (int x = 0; x < s->GetWidth(); ++x) {
                uint32_t c = 0;
                s->PixelAt(x, y, &c);
                all.push_back(c);
            }
        return all;
    }
    HFONT font_ = nullptr;
};

const char kText[] = "Hg#W";

int Count(const std::vector<uint32_t>& pixels, uint32_t colour) {
    int n = 0;
    for (uint32_t p : pixels) n += p == colour;
    return n;
}

}  // namespace

TEST_F(SurfaceTextTest, BlackTextIsDrawnNearBlackAndBlendedWithAMode) {
    CSurface s;
    ASSERT_TRUE(MakeDIB(&s, 32, 80, 30));
    s.Clear(0xFFFFFF);
    const CRect clip(0, 0, 80, 30);
    ASSERT_NE(s.TextOut(kText, 4, 2, 2, TA_TOP | TA_LEFT, &clip, 0, font_, 0, 0, 0, 0), 0);
    const std::vector<uint32_t> direct = Pixels(&s);
    EXPECT_GT(Count(direct, 8), 0) << "colour 8 in place of black";
    EXPECT_EQ(Count(direct, 0), 0);

    // Mode 1 at half weight: black text blended with white, not dropped.
    s.Clear(0xFFFFFF);
    ASSERT_NE(s.TextOut(kText, 4, 2, 2, TA_TOP | TA_LEFT, &clip, 0, font_, 0, 1, 64, 0), 0);
    const std::vector<uint32_t> blended = Pixels(&s);
    const uint32_t half = ((8 * 64 + 255 * 64) >> 7) | (((255 * 64) >> 7) << 8) | (((255 * 64) >> 7) << 16);
    EXPECT_EQ(Count(blended, half), Count(direct, 8)) << "every glyph pixel blended";
}

// XOR onto a black surface copies: the scratch path must then give exactly
// the direct path's pixels, at an offset area and with an origin set.
TEST_F(SurfaceTextTest, ScratchPathOntoBlackEqualsTheDirectPath) {
    for (int depth : {8, 16, 32}) {
        CSurface direct, scratch;
        ASSERT_TRUE(MakeDIB(&direct, depth, 90, 40));
        ASSERT_TRUE(MakeDIB(&scratch, depth, 90, 40));
        CRect a(5, 3, 85, 37), b = a;
        ASSERT_NE(direct.DrawText(kText, 4, &a, DT_LEFT, 0x00FFFF, font_, 0, 0, 0, 0, 0, 0, 0), 0);
        ASSERT_NE(scratch.DrawText(kText, 4, &b, DT_LEFT, 0x00FFFF, font_, 0, 3, 0, 0, 0, 0, 0), 0);
        const std::vector<uint32_t> pixels = Pixels(&direct);
        EXPECT_EQ(Pixels(&scratch), pixels) << depth;
        EXPECT_GT(Count(pixels, 0), 0) << "background left";
        EXPECT_LT(Count(pixels, 0), int(pixels.size())) << "text drawn";

        // With an origin on both, the same again.
        CSurface o1, o2;
        ASSERT_TRUE(MakeDIB(&o1, depth, 90, 40));
        ASSERT_TRUE(MakeDIB(&o2, depth, 90, 40));
        o1.GetImpl()->SetOrigin(4, 2);
        o2.GetImpl()->SetOrigin(4, 2);
        a = b = CRect(9, 5, 89, 39);
        ASSERT_NE(o1.DrawText(kText, 4, &a, DT_LEFT, 0x00FFFF, font_, 0, 0, 0, 0, 0, 0, 0), 0);
        ASSERT_NE(o2.DrawText(kText, 4, &b, DT_LEFT, 0x00FFFF, font_, 0, 3, 0, 0, 0, 0, 0), 0);
        EXPECT_EQ(Pixels(&o2), Pixels(&o1)) << depth << " with origin";
        EXPECT_EQ(Pixels(&o1), pixels) << depth << " origin shifts the drawing back";
    }
}

TEST_F(SurfaceTextTest, CalcRectOnlyMeasuresAndAlignmentIsRestored) {
    CSurface s;
    ASSERT_TRUE(MakeDIB(&s, 32, 80, 30, kPlaceKeptDC));
    s.Clear(0xFFFFFF);
    const std::vector<uint32_t> before = Pixels(&s);
    CRect measure(0, 0, 80, 30);
    const int height = s.DrawText(kText, 4, &measure, DT_CALCRECT | DT_SINGLELINE, 0x0000FF, font_, 0, 1, 64, 0, 0,
                                  0, 0);
    EXPECT_GT(height, 0);
    EXPECT_GT(measure.right, measure.left) << "glyph box not empty";
    EXPECT_EQ(Pixels(&s), before) << "nothing drawn";

    HDC dc = static_cast<HDC>(s.GetDC());
    SetTextAlign(dc, TA_BASELINE | TA_RIGHT);
    const CRect clip(0, 0, 80, 30);
    ASSERT_NE(s.TextOut(kText, 4, 40, 2, TA_CENTER | TA_TOP, &clip, 0x0000FF, font_, 0, 0, 0, 0), 0);
    EXPECT_EQ(GetTextAlign(dc), static_cast<UINT>(TA_BASELINE | TA_RIGHT));
    EXPECT_EQ(GetBkMode(dc), OPAQUE) << "background mode restored";
    EXPECT_NE(Pixels(&s), before);
}

TEST_F(SurfaceTextTest, NoDCNoText) {
    CSurface memory;
    const CSurface* holder = nullptr;
    SelectPixelFormat(&holder, 32, kPlaceMemory, 0);
    ASSERT_TRUE(memory.Create(20, 20, holder));
    const CRect clip(0, 0, 20, 20);
    EXPECT_EQ(memory.TextOut(kText, 4, 0, 0, 0, &clip, 0xFF, font_, 0, 0, 0, 0), 0);
    CRect r = clip;
    EXPECT_EQ(memory.DrawText(kText, 4, &r, 0, 0xFF, font_, 0, 1, 64, 0, 0, 0, 0), 0);
}
