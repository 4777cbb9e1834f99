// The span rules on hand-made polygons, over every target depth: which rows
// and columns a fill covers, the depth test, outlines, lines, translucency
// and lighting, and the pixel formats written.
#include "software_fixture.h"

#include <gtest/gtest.h>

namespace {

// Whether a pixel differs from the fill byte.
bool Touched(const MemoryPresenter& r, int32_t x, int32_t y, uint8_t fill = 0x11) {
    const uint8_t* p = r.At(x, y);
    for (int i = 0; i < (r.depth + 1) / 8; ++i)
        if (p[i] != fill) return true;
    return false;
}

class SpanDepths : public ::testing::TestWithParam<int32_t> {};

// A rectangle from (2, 1) to (6, 5) covers columns 2..5 and rows 1..4: the
// right column and the bottom row are never drawn. A polygon whose top and
// bottom round to one row draws nothing.
TEST_P(SpanDepths, FillCoversHalfOpenRowsAndColumns) {
    const int32_t d = GetParam();
    MemoryPresenter r;
    r.Setup(8, 8, d);
    r.Begin();
    auto m = MakeMaterial(LMaterial::kFlat, 0x0000FF);
    HandPolygon p(m.get());
    p.Rect(2, 1, 6, 5).Draw(d, kSpanSolid);
    for (int32_t y = 0; y < 8; ++y)
        for (int32_t x = 0; x < 8; ++x) {
            const bool inside = x >= 2 && x < 6 && y >= 1 && y < 5;
            EXPECT_EQ(Touched(r, x, y), inside) << x << "," << y;
        }

    HandPolygon flat(m.get());
    flat.Add(0, 6.4f), flat.Add(7, 6.2f), flat.Add(3, 5.6f);
    int32_t top = -1;
    EXPECT_EQ(flat.polygon->SetupSolidEdges(&top), 0);
}

// Two triangles sharing a diagonal: with a translucent fill, a pixel drawn
// twice would be blended twice. Each pixel of the square is drawn once.
TEST_P(SpanDepths, SharedEdgeIsDrawnOnce) {
    const int32_t d = GetParam();
    MemoryPresenter r;
    r.Setup(8, 8, d, 0xFF);
    r.Begin();
    auto m = MakeMaterial(LMaterial::kFlat, 0x000000, 128);
    HandPolygon a(m.get()), b(m.get());
    a.Add(1, 1), a.Add(7, 1), a.Add(7, 7);
    b.Add(1, 1), b.Add(7, 7), b.Add(1, 7);
    a.Draw(d, kSpanSolidTranslucent);
    b.Draw(d, kSpanSolidTranslucent);
    MemoryPresenter once;
    once.Setup(8, 8, d, 0xFF);
    once.Begin();
    HandPolygon square(m.get());
    square.Rect(1, 1, 7, 7).Draw(d, kSpanSolidTranslucent);
    EXPECT_EQ(r.pixels, once.pixels);
}

// Depth ties: the later fill covers the earlier (<=); for outlines the
// earlier wins (<).
TEST_P(SpanDepths, FillsWinTiesOutlinesDoNot) {
    const int32_t d = GetParam();
    if (d == 8) return;  // one palette index for every material without a world palette
    MemoryPresenter r;
    r.Setup(8, 8, d);
    r.Begin();
    auto red = MakeMaterial(LMaterial::kFlat, 0x0000FF), green = MakeMaterial(LMaterial::kFlat, 0x00FF00);
    HandPolygon a(red.get()), b(green.get());
    a.Rect(0, 0, 8, 8).Draw(d, kSpanSolid);
    const uint32_t redPixel = r.Pixel(3, 3);
    b.Rect(0, 0, 8, 8).Draw(d, kSpanSolid);
    EXPECT_NE(r.Pixel(3, 3), redPixel);

    MemoryPresenter lines;
    lines.Setup(8, 8, d);
    lines.Begin();
    auto redLine = MakeMaterial(LMaterial::kWireFrame, 0x0000FF), greenLine = MakeMaterial(LMaterial::kWireFrame, 0x00FF00);
    HandPolygon c(redLine.get()), e(greenLine.get());
    c.Rect(1, 1, 6, 6).Draw(d, kSpanOutline);
    const uint32_t first = lines.Pixel(1, 1);
    e.Rect(1, 1, 6, 6).Draw(d, kSpanOutline);
    EXPECT_EQ(lines.Pixel(1, 1), first);
    EXPECT_EQ(lines.Depth(1, 1), int32_t(0.05f * 8388608.0f));
}

// An outline alone is in the material colour; over a fill it is white
// (palette index 255 on 8 bits).
TEST_P(SpanDepths, OutlineColours) {
    const int32_t d = GetParam();
    MemoryPresenter r;
    r.Setup(8, 8, d);
    r.Begin();
    auto lineOnly = MakeMaterial(LMaterial::kWireFrame, 0x0000FF);
    HandPolygon a(lineOnly.get());
    a.Rect(1, 1, 6, 6).Draw(d, kSpanOutline);
    MemoryPresenter red;
    red.Setup(8, 8, d);
    red.Begin();
    HandPolygon fill(lineOnly.get());
    fill.Rect(0, 0, 8, 8).Draw(d, kSpanSolid);
    EXPECT_EQ(r.Pixel(1, 1), red.Pixel(3, 3));
    EXPECT_EQ(r.Pixel(6, 6), red.Pixel(3, 3));  // the end points are drawn
    EXPECT_FALSE(Touched(r, 3, 3));

    MemoryPresenter both;
    both.Setup(8, 8, d);
    both.Begin();
    auto filled = MakeMaterial(LMaterial::kFlat | LMaterial::kWireFrame, 0x0000FF);
    HandPolygon b(filled.get());
    b.Rect(1, 1, 6, 6).Draw(d, kSpanSolid);
    const uint32_t white = d == 8 ? 255u : d == 15 ? 0x7FFFu : d == 16 ? 0xFFFFu : 0xFFFFFFu;
    EXPECT_EQ(both.Pixel(3, 3), red.Pixel(3, 3));
    // Ties are lost by lines: the fill stored the same depth on its pixels,
    // so the outline shows only where the fill did not reach.
    EXPECT_EQ(both.Pixel(6, 3), white);
    EXPECT_EQ(both.Pixel(3, 6), white);
}

// A target with more rows than bytes per row (8 bits, 100 x 200) and a
// vertex that rounds to the row below the target: every row of the target
// is filled, nothing past it.
TEST_P(SpanDepths, TallTargetsAndRoundingBelowTheLastRow) {
    const int32_t d = GetParam();
    MemoryPresenter r;
    r.Setup(100, 200, d);
    r.Begin();
    auto m = MakeMaterial(LMaterial::kFlat | LMaterial::kWireFrame, 0x00FFFF);
    HandPolygon p(m.get());
    p.Add(0, 0), p.Add(100.4f, 0), p.Add(100.6f, 200.6f), p.Add(0, 200.6f);
    p.Draw(d, kSpanSolid);
    EXPECT_TRUE(Touched(r, 0, 199));
    EXPECT_TRUE(Touched(r, 99, 0));
    int32_t top = -1;
    EXPECT_EQ(p.polygon->SetupSolidEdges(&top), 200);
    EXPECT_EQ(top, 0);
}

INSTANTIATE_TEST_SUITE_P(Depths, SpanDepths, ::testing::ValuesIn(kAllDepths));

// The line routine's steps: end points clamped into the target; x-major
// lines move one row each time the error passes dx, y-major lines move one
// column each time it passes 0.
TEST(DepthLine, ClampsAndSteps) {
    MemoryPresenter r;
    r.Setup(8, 8, 8, 0);
    r.Begin();
    auto m = MakeMaterial(LMaterial::kWireFrame, 0);
    HandPolygon p(m.get());
    p.Add(0, 0);
    const auto plotted = [&]() {
        std::vector<std::pair<int, int>> out;
        for (int32_t y = 0; y < 8; ++y)
            for (int32_t x = 0; x < 8; ++x)
                if (r.Depth(x, y) != 0) out.emplace_back(x, y);
        return out;
    };
    using Points = std::vector<std::pair<int, int>>;
    // x-major, dx 4, dy 2: the error reaches 4 after two points, passes it after three.
    DrawDepthLine(p.polygon.get(), 8, 0, 0, 0.05f, 4, 2, 0.05f);
    EXPECT_EQ(plotted(), (Points{{0, 0}, {1, 0}, {2, 0}, {3, 1}, {4, 1}}));
    // Clamped end points: (-5, 3) to (20, 3) draws the whole row 3.
    r.ClearDepthBuffer();
    DrawDepthLine(p.polygon.get(), 8, -5, 3, 0.05f, 20, 3, 0.05f);
    EXPECT_EQ(plotted().size(), 8u);
    // y-major, dx 1, dy 3: the error passes 0 at once, so the column moves
    // after the first point and the error stays below 1 after.
    r.ClearDepthBuffer();
    DrawDepthLine(p.polygon.get(), 8, 2, 0, 0.05f, 3, 3, 0.05f);
    EXPECT_EQ(plotted(), (Points{{2, 0}, {3, 1}, {3, 2}, {3, 3}}));
    // A single point is no line.
    r.ClearDepthBuffer();
    DrawDepthLine(p.polygon.get(), 8, 5, 5, 0.05f, 5, 5, 0.05f);
    EXPECT_TRUE(plotted().empty());
}

// Translucency: new = (old (255 - a) + c a) >> 8; a of 0 still darkens
// (old x 255 >> 8) and writes the depth. 8 bits ignore it.
TEST(SolidFill, TranslucentBlendAndDepth) {
    MemoryPresenter r;
    r.Setup(8, 8, 32, 200);
    r.Begin();
    auto clear = MakeMaterial(LMaterial::kFlat, 0x0000FF, 0);
    HandPolygon p(clear.get());
    p.Rect(0, 0, 4, 4).Draw(32, kSpanSolidTranslucent);
    EXPECT_EQ(r.At(1, 1)[0], 200 * 255 >> 8);
    EXPECT_EQ(r.At(1, 1)[2], 200 * 255 >> 8);
    EXPECT_EQ(r.At(1, 1)[3], 200);  // the fourth byte stays
    EXPECT_EQ(r.Depth(1, 1), int32_t(0.05f * 8388608.0f));

    auto half = MakeMaterial(LMaterial::kFlat, 0x0000FF, 100);
    HandPolygon q(half.get());
    q.Rect(4, 4, 8, 8).Draw(32, kSpanSolidTranslucent);
    EXPECT_EQ(r.At(5, 5)[2], (200 * 155 + 255 * 100) >> 8);
    EXPECT_EQ(r.At(5, 5)[0], (200 * 155) >> 8);

    // 16 bits: unpack, blend, pack.
    MemoryPresenter w;
    w.Setup(4, 4, 16, 0xFF);
    w.Begin();
    HandPolygon s(half.get());
    s.Rect(0, 0, 4, 4).Draw(16, kSpanSolidTranslucent);
    EXPECT_EQ(w.Pixel(1, 1), Pack16((248 * 155 + 255 * 100) >> 8, (252 * 155) >> 8, (248 * 155) >> 8));

    // 8 bits: the material's index, entries 1 and 2 alike.
    EXPECT_EQ(SpanTableFor(8)[kSpanSolid], SpanTableFor(8)[kSpanSolidTranslucent]);
}

// Flat lighting (modulate and mix) and Gouraud colours combined with the
// material colour in the set-up.
TEST(SolidFill, LightingModes) {
    auto m = MakeMaterial(LMaterial::kFlat, 0x204080);  // red 0x80, green 0x40, blue 0x20
    MemoryPresenter r;
    r.Setup(8, 8, 32);
    r.Begin();
    HandPolygon flat(m.get(), LPolygon_Software::kOwnerFlat);
    flat.polygon->litColour[0] = 200, flat.polygon->litColour[1] = 100, flat.polygon->litColour[2] = 50;
    flat.polygon->litColour[3] = 0;
    flat.Rect(0, 0, 8, 4);
    r.states = LRenderAPICLBK::kStateModulate;
    flat.Draw(32, kSpanSolid);
    EXPECT_EQ(r.Pixel(1, 1), uint32_t((0x80 * 200 >> 8) << 16 | (0x40 * 100 >> 8) << 8 | (0x20 * 50 >> 8)));
    r.states = 0;  // mix: k = |0 - 128| = 128 gives the light colour
    r.ClearDepthBuffer();
    flat.Draw(32, kSpanSolid);
    EXPECT_EQ(r.Pixel(1, 1), uint32_t(200 << 16 | 100 << 8 | 50));
    flat.polygon->litColour[3] = 128;  // k = 0: the material colour
    r.ClearDepthBuffer();
    flat.Draw(32, kSpanSolid);
    EXPECT_EQ(r.Pixel(1, 1), 0x804020u);

    // Gouraud: one colour at every vertex, so every pixel has it exactly.
    MemoryPresenter g;
    g.Setup(8, 8, 32, 0x77);
    g.Begin();
    HandPolygon shaded(m.get(), LPolygon_Software::kOwnerGouraud);
    for (auto xy : {std::pair<float, float>{0, 0}, {8, 0}, {8, 8}, {0, 8}}) shaded.Add(xy.first, xy.second, 0.05f, 255, 128, 64, 64);
    g.states = LRenderAPICLBK::kStateModulate;
    shaded.Draw(32, kSpanSolid);
    EXPECT_EQ(g.At(3, 3)[2], (255 * 0x80) >> 8);
    EXPECT_EQ(g.At(3, 3)[1], (128 * 0x40) >> 8);
    EXPECT_EQ(g.At(3, 3)[0], (64 * 0x20) >> 8);
    EXPECT_EQ(g.At(3, 3)[3], 0x77);  // Gouraud keeps the fourth byte
    g.states = 0;  // mix with k = |64 - 128| = 64
    g.ClearDepthBuffer();
    shaded.Draw(32, kSpanSolid);
    EXPECT_EQ(g.At(3, 3)[2], (255 * 64 + 0x80 * 64) >> 7);
    EXPECT_EQ(g.At(3, 3)[0], (64 * 64 + 0x20 * 64) >> 7);

    // A flat 32-bit fill writes the fourth byte 0.
    MemoryPresenter f;
    f.Setup(8, 8, 32, 0x77);
    f.Begin();
    HandPolygon plain(m.get());
    plain.Rect(0, 0, 4, 4).Draw(32, kSpanSolid);
    EXPECT_EQ(f.At(1, 1)[3], 0);

    // 8 bits: no lighting, the palette index.
    MemoryPresenter e;
    e.Setup(8, 8, 8, 0x11);
    e.Begin();
    HandPolygon lit(m.get(), LPolygon_Software::kOwnerGouraud);
    lit.Rect(0, 0, 4, 4).Draw(8, kSpanSolidTranslucent);
    EXPECT_EQ(*e.At(1, 1), m->GetPaletteIndex());
}

// 15 and 16 bits pack differently: the 15-bit table writes 5:5:5.
TEST(SolidFill, FifteenAndSixteenBitPacking) {
    auto m = MakeMaterial(LMaterial::kFlat, 0xFFFFFF);
    for (int32_t d : {15, 16}) {
        MemoryPresenter r;
        r.Setup(4, 4, d);
        r.Begin();
        HandPolygon p(m.get());
        p.Rect(0, 0, 4, 4).Draw(d, kSpanSolid);
        EXPECT_EQ(r.Pixel(1, 1), d == 15 ? 0x7FFFu : 0xFFFFu);
    }
}

// Bad input never writes outside the frame, depth buffer or tables: ASan
// watches these.
TEST(SolidFill, DegenerateAndOutOfRangePolygons) {
    auto m = MakeMaterial(LMaterial::kFlat | LMaterial::kWireFrame, 0xFF);
    const float inf = 1.0f / 0.0f, nan = 0.0f / 0.0f;
    const float cases[][4][3] = {
        {{-1e9f, -5, 0.05f}, {1e9f, 3, 0.05f}, {5, 1e9f, 0.05f}, {0, 7.4f, 2.0f}},
        {{inf, 0, 0.05f}, {nan, 5, 0.05f}, {4, nan, inf}, {3, 3, -1.0f}},
        {{0, 0, 0}, {8, 0, 100.0f}, {8, 8.6f, 1e30f}, {0, 8.6f, 0.05f}},
        {{3, 3, 0.05f}, {3, 3, 0.05f}, {3, 3, 0.05f}, {3, 3, 0.05f}},
        {{0.4f, 0.4f, 0.05f}, {0.6f, 0.4f, 0.05f}, {0.6f, 0.6f, 0.05f}, {0.4f, 0.6f, 0.05f}},
    };
    for (int32_t d : kAllDepths) {
        MemoryPresenter r;
        r.Setup(8, 8, d);
        r.Begin();
        for (const auto& c : cases) {
            HandPolygon p(m.get(), LPolygon_Software::kOwnerGouraud);
            for (const auto& v : c) p.Add(v[0], v[1], v[2], 255, 255, 255, 0);
            for (int32_t entry : {kSpanOutline, kSpanSolid, kSpanSolidTranslucent}) p.Draw(d, entry);
        }
    }
}

}  // namespace
