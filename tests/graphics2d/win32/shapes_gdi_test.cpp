// Shapes on DIB-section surfaces through GDI at 8, 16, 24 and 32 bits: the
// pen kept inside the box, pen width 0, corner order; styled shapes with the
// copy, blend and AND modes and outside the clip; and rich text through the
// script surface with the real outline metrics.
#include <windows.h>
#undef TextOut
#undef DrawText

#include <gtest/gtest.h>

#include <set>
#include <string>
#include <utility>
#include <vector>

#include "graphics2d/ci_surface.h"
#include "graphics2d/ci_surface_members.h"
#include "graphics2d/fill_style.h"
#include "graphics2d/os_text_metrics.h"
#include "graphics2d/surface_registry.h"
#include "tests/graphics2d/loaded_interpreter.h"

namespace {

std::vector<int32_t> Edges(const CRect& r) { return {r.left, r.top, r.right, r.bottom}; }

using Points = std::set<std::pair<int32_t, int32_t>>;

class ShapesGdiTest : public ::testing::Test {
protected:
    void SetUp() override { RegisterSurfaceClient(); }
    void TearDown() override { UnregisterSurfaceClient(); }
    static bool MakeDIB(CSurface* s, int depth, int w, int h) {
        const CSurface* holder = nullptr;
        SelectPixelFormat(&holder, depth, kPlaceDIB, 0);
        if (!s->Create(w, h, holder)) return false;
        s->Clear(0xFFFFFF);
        return true;
    }
    // A colour as a surface of the depth stores it (5-6-5 at 16 bits).
    static uint32_t Stored(int depth, uint32_t c) { return depth == 16 ? c & 0xF8FCF8u : c; }
    static uint32_t At(CSurface* s, int32_t x, int32_t y) {
        uint32_t c = 0;
        s->PixelAt(x, y, &c);
        return c & 0xFFFFFF;
    }
    static Points Changed(CSurface* s, uint32_t background) {
        Points p;
        for (int32_t y = 0; y < s->GetHeight(); ++y)
            for (int32_t x = 0; x < s->GetWidth(); ++x)
                if (At(s, x, y) != background) p.insert({x, y});
        return p;
    }
    static CRect Bounds(const Points& p) {
        CRect r(INT32_MAX, INT32_MAX, INT32_MIN, INT32_MIN);
        for (const auto& q : p) {
            r.left = std::min(r.left, q.first), r.top = std::min(r.top, q.second);
            r.right = std::max(r.right, q.first + 1), r.bottom = std::max(r.bottom, q.second + 1);
        }
        return r;
    }
};

TEST_F(ShapesGdiTest, PenStaysInsideTheBoxAtEveryDepth) {
    for (int depth : {8, 16, 24, 32}) {
        for (int32_t pen : {1, 2, 5}) {
            SCOPED_TRACE(std::to_string(depth) + " bits, pen " + std::to_string(pen));
            const uint32_t white = Stored(depth, 0xFFFFFF);
            CSurface s;
            ASSERT_TRUE(MakeDIB(&s, depth, 40, 30));
            ASSERT_EQ(s.DrawRectangleOutline(30, 25, 5, 4, pen, 0x000000), 1);  // corners in any order
            // The pen's outer edge is the box (5, 4)-(30, 25), right and bottom exclusive.
            EXPECT_EQ(Edges(Bounds(Changed(&s, white))), Edges(CRect(5, 4, 30, 25)));
            CSurface e;
            ASSERT_TRUE(MakeDIB(&e, depth, 40, 30));
            ASSERT_EQ(e.DrawEllipse(5, 4, 30, 25, 0x0000FF, pen, 0x000000, 1), 1);
            const CRect b = Bounds(Changed(&e, white));
            EXPECT_GE(b.left, 5);
            EXPECT_GE(b.top, 4);
            EXPECT_LE(b.right, 30);
            EXPECT_LE(b.bottom, 25);
            CSurface r;
            ASSERT_TRUE(MakeDIB(&r, depth, 40, 30));
            ASSERT_EQ(r.DrawEllipse(30, 25, 5, 4, 0x0000FF, pen, 0x000000, 1), 1);
            EXPECT_EQ(Changed(&r, white), Changed(&e, white));
        }
    }
}

TEST_F(ShapesGdiTest, PenWidthZero) {
    CSurface s;
    ASSERT_TRUE(MakeDIB(&s, 32, 20, 20));
    EXPECT_EQ(s.DrawEllipseOutline(2, 2, 15, 15, 0, 0), 0);
    EXPECT_TRUE(Changed(&s, 0xFFFFFF).empty());
    // Filled without a pen: a rectangle is a plain fill of the half-open box.
    ASSERT_EQ(s.DrawRectangle(2, 3, 7, 9, 0xFF0000, 0, 0, 1), 1);
    EXPECT_EQ(Edges(Bounds(Changed(&s, 0xFFFFFF))), Edges(CRect(2, 3, 7, 9)));
    EXPECT_EQ(Changed(&s, 0xFFFFFF).size(), 30u);
    // A polygon with the pen's colour through GDI.
    CSurface p;
    ASSERT_TRUE(MakeDIB(&p, 16, 20, 20));
    const int32_t tri[] = {2, 2, 15, 2, 2, 15};
    ASSERT_EQ(p.DrawPolygon(tri, 3, 0x00FF00, 1, 0x0000FF, 1), 1);
    EXPECT_EQ(At(&p, 2, 2), 0x0000F8u);
    EXPECT_EQ(At(&p, 5, 5), 0x00FC00u);
}

TEST_F(ShapesGdiTest, StyledShapesWithModes) {
    for (int depth : {16, 32}) {
        SCOPED_TRACE(depth);
        const uint32_t white = Stored(depth, 0xFFFFFF);
        CSolidFillStyle red(0x0000FF), black(0);
        // Mode 0: the fill inside, the outline in the pen style.
        CSurface s;
        ASSERT_TRUE(MakeDIB(&s, depth, 30, 30));
        ASSERT_EQ(s.DrawRectangleStyled(5, 5, 25, 25, &red, 2, &black, 0, 0, 0, 1), 1);
        EXPECT_EQ(At(&s, 5, 5), 0x000008u);  // black drawn as 8
        EXPECT_EQ(At(&s, 15, 15), Stored(depth, 0x0000FF));
        EXPECT_EQ(At(&s, 4, 4), white);
        EXPECT_EQ(At(&s, 25, 25), white);
        // Mode 1 at level 64: half red over white.
        CSurface b;
        ASSERT_TRUE(MakeDIB(&b, depth, 30, 30));
        ASSERT_EQ(b.DrawEllipseStyledFilled(0, 0, 30, 30, &red, 0, 1, 64), 1);
        const uint32_t c = At(&b, 15, 15);
        EXPECT_GE(c & 0xFF, 0xF0u);
        EXPECT_NEAR(static_cast<int>((c >> 8) & 0xFF), 128, 12);
        EXPECT_EQ(At(&b, 0, 0), white);  // outside the ellipse: the mask's 0
        // Mode 4 (AND) with a green fill over yellow gives green.
        CSurface a;
        ASSERT_TRUE(MakeDIB(&a, depth, 10, 10));
        a.Clear(0x00FFFF);
        CSolidFillStyle green(0x00FF00);
        ASSERT_EQ(a.DrawRectangleStyledFilled(0, 0, 10, 10, &green, 0, 4, 0), 1);
        EXPECT_EQ(At(&a, 5, 5), Stored(depth, 0x00FF00));
        // Wholly outside the clip: 1 and untouched.
        CSurface o;
        ASSERT_TRUE(MakeDIB(&o, depth, 20, 20));
        o.SetClipRect(0, 0, 10, 10);
        EXPECT_EQ(o.DrawEllipseStyled(12, 12, 19, 19, &red, 2, &black, 0, 0, 0, 1), 1);
        o.SetClipRect(0, 0, 20, 20);  // pixels outside the clip do not read back
        EXPECT_TRUE(Changed(&o, white).empty());
    }
}

TEST_F(ShapesGdiTest, MaskedGradientShapesShowTheTargetsOneGradient) {
    // Every pixel a gradient-filled and gradient-outlined ellipse draws is
    // the pixel the styles' own FillSurface paints there over the whole
    // target: the shape shows its part of one gradient, not one of its own.
    CGradientFillStyle fill(0x2040F0, 0xF08020, 0), pen(0x30F030, 0x8020A0, 1);
    const int32_t w = 97, h = 61;
    for (int depth : {16, 32}) {
        SCOPED_TRACE(depth);
        CSurface shape, fillWhole, penWhole;
        ASSERT_TRUE(MakeDIB(&shape, depth, w, h));
        ASSERT_TRUE(MakeDIB(&fillWhole, depth, w, h));
        ASSERT_TRUE(MakeDIB(&penWhole, depth, w, h));
        fill.FillSurface(&fillWhole, w, h, 1);
        pen.FillSurface(&penWhole, w, h, 1);
        ASSERT_EQ(shape.DrawEllipseStyled(20, 8, 80, 55, &fill, 3, &pen, 0, 0, 0, 1), 1);
        const uint32_t white = Stored(depth, 0xFFFFFF);
        int32_t fillPixels = 0, penPixels = 0;
        for (int32_t y = 0; y < h; ++y)
            for (int32_t x = 0; x < w; ++x) {
                const uint32_t c = At(&shape, x, y);
                if (c == white) continue;
                const bool fromFill = c == At(&fillWhole, x, y), fromPen = c == At(&penWhole, x, y);
                ASSERT_TRUE(fromFill || fromPen) << x << "," << y << " " << std::hex << c;
                fillPixels += fromFill, penPixels += fromPen && !fromFill;
            }
        EXPECT_EQ(At(&shape, 50, 31), At(&fillWhole, 50, 31));  // the middle: filled
        EXPECT_EQ(At(&shape, 20, 31), At(&penWhole, 20, 31));   // the left edge: the pen
        EXPECT_GT(fillPixels, 1500);
        EXPECT_GT(penPixels, 300);
    }
}

class SurfaceRichTextTest : public LoadedInterpreterTest {};

TEST_F(SurfaceRichTextTest, FontColourPrintsRedAndKeepsThePen) {
    CISurface* s = dynamic_cast<CISurface*>(New(kClassSurface, {200, 60, 32}));
    ASSERT_NE(s, nullptr);
    Call(s, kSurfaceSetPenColor, {0x0000FF});
    Call(s, kSurfaceWrite, {"<FONT COLOR=#FF0000>HHHH</FONT>"});
    int red = 0, blue = 0;
    for (int32_t y = 0; y < 60; ++y)
        for (int32_t x = 0; x < 200; ++x) {
            const int32_t c = Int(s, kSurfaceGetPixel, {x, y});
            red += c == 0xFF0000;
            blue += c == 0x0000FF;
        }
    EXPECT_GT(red, 20);
    EXPECT_EQ(blue, 0);
    // The pen colour is what it was: plain text is blue.
    Call(s, kSurfaceWriteLn, {"HHHH"});
    blue = 0;
    for (int32_t y = 0; y < 60; ++y)
        for (int32_t x = 0; x < 200; ++x) blue += Int(s, kSurfaceGetPixel, {x, y}) == 0x0000FF;
    EXPECT_GT(blue, 20);
}

TEST_F(SurfaceRichTextTest, ScriptOffsetsFollowTheOutlineMetrics) {
    // A TrueType face: its outline metrics give the superscript's size and
    // offset; the text's top moves up by that offset.
    HFONT font = CreateFontA(-24, 0, 0, 0, FW_NORMAL, 0, 0, 0, ANSI_CHARSET, 0, 0, NONANTIALIASED_QUALITY, 0,
                             "Liberation Sans");
    ASSERT_NE(font, nullptr);
    OsScriptMetrics m{};
    ASSERT_TRUE(OsGetScriptMetrics(nullptr, font, &m));
    EXPECT_GT(m.superscriptSize, 0);
    EXPECT_GT(m.superscriptOffset, 0);
    DeleteObject(font);
    CISurface* s = dynamic_cast<CISurface*>(New(kClassSurface, {300, 80, 32}));
    ASSERT_NE(s, nullptr);
    // Without wrapping: the splitter measures the text character by
    // character, and a FONT tag cut before its ">" would wrap at its blanks.
    Call(s, kSurfaceSetWrapping, {0});
    auto top = [&](int32_t x0, int32_t x1) {
        for (int32_t y = 0; y < 80; ++y)
            for (int32_t x = x0; x < x1; ++x)
                if (Int(s, kSurfaceGetPixel, {x, y}) != 0xFFFFFF) return y;
        return -1;
    };
    auto bottom = [&](int32_t x0, int32_t x1) {
        for (int32_t y = 79; y >= 0; --y)
            for (int32_t x = x0; x < x1; ++x)
                if (Int(s, kSurfaceGetPixel, {x, y}) != 0xFFFFFF) return y;
        return -1;
    };
    const char* face = "<FONT FACE=\"Liberation Sans\" SIZE=24>";
    // The widths of the plain and the raised letter, from the cursor.
    auto width = [&](const std::string& text) {
        Call(s, kSurfaceMoveTo, {0, 0});
        Call(s, kSurfaceWrite, {text.c_str()});
        return Int(s, kSurfaceGetXPos);
    };
    const int32_t plainWidth = width(std::string(face) + "H</FONT>");
    const int32_t supWidth = width(std::string(face) + "<SUP>H</SUP></FONT>");
    ASSERT_GT(plainWidth, 0);
    Call(s, kSurfaceClear);
    Call(s, kSurfaceWrite, {(std::string(face) + "H<SUP>H</SUP><SUB>H</SUB></FONT>").c_str()});
    const int32_t plain = top(0, plainWidth), sup = top(plainWidth, plainWidth + supWidth),
                  sub = top(plainWidth + supWidth, 300);
    ASSERT_GE(plain, 0);
    EXPECT_LT(sup, plain);
    EXPECT_GT(sub, plain);
    // An "H" stands on its baseline: the raised and lowered ones stand the
    // outline metrics' offsets above and below the plain one.
    const int32_t base = bottom(0, plainWidth);
    EXPECT_EQ(bottom(plainWidth, plainWidth + supWidth), base - m.superscriptOffset);
    EXPECT_EQ(bottom(plainWidth + supWidth, 300), base + m.subscriptOffset);
}

}  // namespace
