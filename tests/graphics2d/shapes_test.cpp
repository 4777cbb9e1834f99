// Lines, fill styles, styled shapes and flood fill on memory surfaces.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <random>
#include <set>
#include <utility>
#include <vector>

#include "graphics2d/fill_style.h"
#include "graphics2d/line_raster.h"
#include "graphics2d/pixel_format.h"
#include "tests/graphics2d/surface_test_support.h"

namespace {

std::vector<int32_t> Edges(const CRect& r) { return {r.left, r.top, r.right, r.bottom}; }

using Points = std::set<std::pair<int32_t, int32_t>>;

Points Raster(int32_t x1, int32_t y1, int32_t x2, int32_t y2, const CRect& clip) {
    Points p;
    RasterLine(x1, y1, x2, y2, clip, [&](int32_t x, int32_t y) { EXPECT_TRUE(p.insert({x, y}).second); });
    return p;
}

TEST(LineRaster, BresenhamPointsAndClipping) {
    const CRect wide(-1000, -1000, 1000, 1000);
    EXPECT_EQ(Raster(0, 0, 5, 2, wide), (Points{{0, 0}, {1, 0}, {2, 1}, {3, 1}, {4, 2}, {5, 2}}));
    // Reversed, steep and single-point lines.
    EXPECT_EQ(Raster(5, 2, 0, 0, wide).size(), 6u);
    EXPECT_EQ(Raster(0, 0, 2, 5, wide).size(), 6u);
    EXPECT_EQ(Raster(3, 3, 3, 3, wide), (Points{{3, 3}}));
    // Wholly outside the clip: nothing.
    EXPECT_TRUE(Raster(-50, -5, -10, -1, CRect(0, 0, 20, 20)).empty());
    EXPECT_TRUE(Raster(0, 30, 19, 40, CRect(0, 0, 20, 20)).empty());
}

TEST(LineRaster, ClippedLinesKeepTheUnclippedPixelsInsideTheClip) {
    std::mt19937 rng(7);
    std::uniform_int_distribution<int32_t> coordinate(-40, 60);
    const CRect clip(3, 5, 23, 17);
    const CRect wide(-1000, -1000, 1000, 1000);
    for (int i = 0; i < 3000; ++i) {
        const int32_t x1 = coordinate(rng), y1 = coordinate(rng), x2 = coordinate(rng), y2 = coordinate(rng);
        Points expected;
        for (const auto& p : Raster(x1, y1, x2, y2, wide))
            if (p.first >= clip.left && p.first < clip.right && p.second >= clip.top && p.second < clip.bottom)
                expected.insert(p);
        ASSERT_EQ(Raster(x1, y1, x2, y2, clip), expected) << x1 << "," << y1 << " " << x2 << "," << y2;
    }
    // Far end points: the steps before the clip are skipped, not walked.
    EXPECT_EQ(Raster(-2000000000, 10, 2000000000, 10, clip).size(), 20u);
}

class ShapeSurfaceTest : public SurfaceClientTest {
protected:
    // A memory surface of the depth filled with the colour.
    std::unique_ptr<CSurface> Make(int depth, int32_t w, int32_t h, uint32_t colour = 0xFFFFFF) {
        std::unique_ptr<CSurface> s(new CSurface());
        EXPECT_TRUE(MakeMemory(s.get(), depth, w, h));
        s->Clear(colour);
        return s;
    }
    static uint32_t At(CSurface* s, int32_t x, int32_t y) {
        uint32_t c = 0xDEADBEEF;
        s->PixelAt(x, y, &c);
        return c & 0xFFFFFF;
    }
    // The points of the surface that are not `background`.
    static Points Changed(CSurface* s, uint32_t background) {
        Points p;
        for (int32_t y = 0; y < s->GetHeight(); ++y)
            for (int32_t x = 0; x < s->GetWidth(); ++x)
                if (At(s, x, y) != background) p.insert({x, y});
        return p;
    }
};

TEST_F(ShapeSurfaceTest, OnePixelLinesWriteBresenhamPixelsInTheClipWithTheOrigin) {
    auto s = Make(32, 20, 10);
    EXPECT_EQ(s->DrawLine(0, 0, 5, 2, 1, 0x0000FF), 1);
    EXPECT_EQ(Changed(s.get(), 0xFFFFFF), (Points{{0, 0}, {1, 0}, {2, 1}, {3, 1}, {4, 2}, {5, 2}}));
    EXPECT_EQ(At(s.get(), 5, 2), 0x0000FFu);
    // The clip rectangle and the origin both apply.
    auto t = Make(32, 20, 10);
    t->SetClipRect(0, 0, 3, 10);
    t->SetOrigin(-10, 0);  // front (x, y) is pixel (x + 10, y)
    t->SetClipRect(-10, 0, 3, 10);
    EXPECT_EQ(t->DrawLine(-10, 0, -5, 2, 1, 0x00FF00), 1);
    t->SetOrigin(0, 0);
    t->SetClipRect(0, 0, 20, 10);
    EXPECT_EQ(Changed(t.get(), 0xFFFFFF), (Points{{0, 0}, {1, 0}, {2, 1}}));
}

TEST_F(ShapeSurfaceTest, GdiShapesWithoutADeviceContextAnswerZeroWithStatus) {
    auto s = Make(32, 20, 20);
    EXPECT_EQ(s->DrawEllipse(0, 0, 10, 10, 0xFF, 1, 0, 1), 0);
    EXPECT_EQ(s->GetStatus(), kSurfaceBadArgument);
    EXPECT_EQ(s->DrawEllipseOutline(0, 0, 10, 10, 0, 0), 0);  // pen width 0: nothing
    EXPECT_EQ(s->DrawLine(0, 0, 10, 10, 3, 0), 0);
    EXPECT_TRUE(Changed(s.get(), 0xFFFFFF).empty());
}

TEST_F(ShapeSurfaceTest, FilledRectangleWithoutPenFillsTheHalfOpenBoxInAnyCornerOrder) {
    for (auto corners : {std::vector<int32_t>{2, 3, 6, 5}, std::vector<int32_t>{6, 5, 2, 3}}) {
        auto s = Make(16, 10, 10);
        EXPECT_EQ(s->DrawRectangle(corners[0], corners[1], corners[2], corners[3], 0xFF0000, 0, 0, 1), 1);
        Points expected;
        for (int32_t y = 3; y < 5; ++y)
            for (int32_t x = 2; x < 6; ++x) expected.insert({x, y});
        EXPECT_EQ(Changed(s.get(), 0xF8FCF8), expected);
    }
}

TEST_F(ShapeSurfaceTest, SolidStyleNeverYieldsTransparentBlack) {
    CSolidFillStyle black(0);
    EXPECT_EQ(black.Colour(), 8u);
    auto s = Make(32, 4, 4);
    black.FillRect(s.get(), 0, 0, 4, 4, 1);
    EXPECT_EQ(At(s.get(), 3, 3), 8u);
    // Library colours: red in the low byte.
    const struct {
        uint32_t in, out;
    } cases[] = {{0x000000, 0x000008}, {0x010203, 0x010208}, {0x070100, 0x080100}, {0x000500, 0x000800},
                 {0x050505, 0x050508}, {0x000008, 0x000008}};
    for (const auto& c : cases) EXPECT_EQ(KeepOffBlack(c.in), c.out) << std::hex << c.in;
}

TEST_F(ShapeSurfaceTest, StyledLinesDrawThroughTheMaskWithTheMode) {
    // A one-pixel styled line needs no device context: the mask is drawn
    // pixel by pixel.
    auto s = Make(32, 12, 8, 0x00FF00);
    CSolidFillStyle red(0x0000FF);
    EXPECT_EQ(s->DrawLineStyled(1, 1, 6, 3, 1, &red, 0, 0, 0), 1);
    EXPECT_EQ(Changed(s.get(), 0x00FF00), (Points{{1, 1}, {2, 1}, {3, 2}, {4, 2}, {5, 3}, {6, 3}}));
    EXPECT_EQ(At(s.get(), 1, 1), 0x0000FFu);
    // XOR (mode 3) with the pen colour.
    auto x = Make(32, 12, 8, 0x00FF00);
    EXPECT_EQ(x->DrawLineStyled(1, 1, 6, 3, 1, &red, 0, 3, 0), 1);
    EXPECT_EQ(At(x.get(), 1, 1), 0x00FFFFu);
    EXPECT_EQ(At(x.get(), 1, 2), 0x00FF00u);
    // Pen width 0 or no pen: the outline entries draw nothing.
    EXPECT_EQ(s->DrawLineStyled(0, 0, 5, 5, 0, &red, 0, 0, 0), 0);
    EXPECT_EQ(s->DrawRectangleStyledOutline(0, 0, 5, 5, 0, &red, 0, 0, 0), 0);
    EXPECT_EQ(s->DrawEllipseStyledFilled(0, 0, 5, 5, nullptr, 0, 0, 0), 0);
    // The general entries without the style their first pass needs.
    EXPECT_EQ(s->DrawRectangleStyled(0, 0, 5, 5, nullptr, 0, nullptr, 0, 0, 0, 1), 0);
    EXPECT_EQ(s->DrawRectangleStyled(0, 0, 5, 5, &red, 2, nullptr, 0, 0, 0, 1), 0);
}

TEST_F(ShapeSurfaceTest, StyledShapeWhollyOutsideTheClipAnswersOneUntouched) {
    auto s = Make(32, 20, 20);
    s->SetClipRect(0, 0, 10, 10);
    CSolidFillStyle blue(0xFF0000);
    EXPECT_EQ(s->DrawRectangleStyledFilled(12, 12, 18, 18, &blue, 0, 0, 0), 1);
    EXPECT_EQ(s->DrawEllipseStyled(12, 0, 19, 9, &blue, 2, &blue, 0, 1, 128, 1), 1);
    s->SetClipRect(0, 0, 20, 20);  // pixels outside the clip read as nothing
    EXPECT_TRUE(Changed(s.get(), 0xFFFFFF).empty());
    s->SetClipRect(0, 0, 10, 10);
    // Inside, a styled filled rectangle needs no mask: copy and blend.
    EXPECT_EQ(s->DrawRectangleStyledFilled(2, 2, 5, 4, &blue, 0, 0, 0), 1);
    Points box;
    for (int32_t y = 2; y < 4; ++y)
        for (int32_t x = 2; x < 5; ++x) box.insert({x, y});
    s->SetClipRect(0, 0, 20, 20);
    EXPECT_EQ(Changed(s.get(), 0xFFFFFF), box);
    EXPECT_EQ(At(s.get(), 2, 2), 0xFF0000u);
}

// Every byte of the pixels of two surfaces of the same format.
void ExpectSamePixels(CSurface* a, CSurface* b) {
    const CSurfaceImpl* p = a->GetImpl();
    const CSurfaceImpl* q = b->GetImpl();
    a->Lock(), b->Lock();
    for (int32_t y = 0; y < p->height; ++y)
        for (int32_t x = 0; x < p->width; ++x)
            ASSERT_EQ(0, std::memcmp(PixelAddress(p, x, y), PixelAddress(q, x, y), p->bytesPerPixel)) << x << "," << y;
    a->Unlock(), b->Unlock();
}

TEST_F(ShapeSurfaceTest, StyledFilledRectangleEqualsItsWholePatternBlitted) {
    // The rectangle paints the style row by row; the reference is the style's
    // whole pattern over the clipped box, its part of the target's fill,
    // blitted transparently at once.
    CSolidFillStyle solid(0x3080C0);
    CGradientFillStyle across(0x102030, 0xE0C0A0, 0), down(0x0000F0, 0x40F000, 1), black(0, 0x000300, 1);
    black.SetColours(0, 0x000300);  // bands near black, kept off it
    CFillStyle* const styles[] = {&solid, &across, &down, &black};
    const struct {
        int32_t mode;
        uint32_t parameter;
    } modes[] = {{0, 0}, {1, 64}, {1, 300}, {3, 0}, {4, 0}, {6, 0x40203040}};
    const CRect clip(2, 1, 22, 18);
    const CRect area(2, 3, 22, 18);  // the box (-7, 3)-(29, 40) cut by the clip
    for (int depth : {8, 16, 24, 32}) {
        for (size_t k = 0; k < 4; ++k) {
            for (const auto& m : modes) {
                SCOPED_TRACE(::testing::Message() << depth << " bits, style " << k << ", mode " << m.mode);
                std::unique_ptr<CSurface> target[2] = {Make(depth, 24, 20), Make(depth, 24, 20)};
                for (auto& t : target) {
                    std::mt19937 rng(static_cast<uint32_t>(depth));
                    for (int32_t y = 0; y < 20; ++y)
                        for (int32_t x = 0; x < 24; ++x) t->GetImpl()->SetPixel(x, y, rng() % 3 ? rng() & 0xFFFFFF : 0);
                    t->SetClipRect(clip.left, clip.top, clip.Width(), clip.Height());
                }
                ASSERT_EQ(target[0]->DrawRectangleStyledFilled(29, 40, -7, 3, styles[k], 0, m.mode, m.parameter), 1);

                const CSurface* prototype = GetDCSurfacePrototype(depth);
                if (prototype == nullptr || !prototype->IsValid()) prototype = target[1].get();
                CSurface pattern;
                ASSERT_TRUE(pattern.Create(area.Width(), area.Height(), prototype));
                if (pattern.IsPaletted()) pattern.SetPalette(target[1]->GetPalette(), 0);
                ClearToZero(&pattern);
                styles[k]->FillPattern(&pattern, area.Width(), area.Height(), PatternPlace{area.left, area.top, 24, 20},
                                       1);
                pattern.Blit(target[1].get(), area.left, area.top, 0, 0, area.Width(), area.Height(), 1, m.mode,
                             m.parameter, 0);
                ExpectSamePixels(target[0].get(), target[1].get());
            }
        }
    }
}

TEST_F(ShapeSurfaceTest, GradientShapesAreSlicesOfTheTargetsOneGradient) {
    // An odd target size gives fractional band edges; colours far from black
    // keep every band drawn (a pixel value 0 would be left transparent).
    CGradientFillStyle across(0x2040F0, 0xF08020, 0), down(0x30F030, 0x8020A0, 1);
    const int32_t w = 97, h = 61;
    for (int depth : {16, 32}) {
        for (CGradientFillStyle* style : {&across, &down}) {
            SCOPED_TRACE(::testing::Message() << depth << " bits, direction " << style->Direction());
            // A shape over the whole target is the target's own FillSurface.
            auto shape = Make(depth, w, h), fill = Make(depth, w, h);
            ASSERT_EQ(shape->DrawRectangleStyledFilled(0, 0, w, h, style, 0, 0, 0), 1);
            style->FillSurface(fill.get(), w, h, 1);
            ExpectSamePixels(shape.get(), fill.get());
            // A box drawn as two halves, split across or down, equals the box
            // drawn at once: the halves join without a seam.
            const CRect box(3, 5, 90, 50);
            auto once = Make(depth, w, h);
            ASSERT_EQ(once->DrawRectangleStyledFilled(box.left, box.top, box.right, box.bottom, style, 0, 0, 0), 1);
            for (int32_t y = box.top; y < box.bottom; ++y)
                for (int32_t x = box.left; x < box.right; ++x)
                    ASSERT_EQ(At(once.get(), x, y), At(fill.get(), x, y)) << x << "," << y;
            const CRect halves[][2] = {{CRect(3, 5, 41, 50), CRect(41, 5, 90, 50)},
                                       {CRect(3, 5, 90, 23), CRect(3, 23, 90, 50)}};
            for (const auto& pair : halves) {
                auto split = Make(depth, w, h);
                for (const CRect& r : pair)
                    ASSERT_EQ(split->DrawRectangleStyledFilled(r.left, r.top, r.right, r.bottom, style, 0, 0, 0), 1);
                ExpectSamePixels(split.get(), once.get());
            }
        }
    }
}

TEST_F(ShapeSurfaceTest, GradientFillRectPaintsItsBands) {
    auto s = Make(32, 4, 2);
    CGradientFillStyle g(0x000000, 0x0000FF, 0);  // black stored as 8: red 8 .. 255
    g.SetColours(0x000000, 0x000003);             // set directly: black stays 0, three bands
    g.FillRect(s.get(), 0, 0, 4, 2, 1);
    // n = 3 bands over 4 columns: [0,1) [1,2) [2,4); the first kept off black.
    EXPECT_EQ(At(s.get(), 0, 0), 0x000008u);
    EXPECT_EQ(At(s.get(), 1, 1), 0x000008u);  // red 1, kept off black
    EXPECT_EQ(At(s.get(), 3, 0), 0x000008u);  // red 2, kept off black
    g.FillRect(s.get(), 0, 0, 4, 2, 0);
    EXPECT_EQ(At(s.get(), 0, 0), 0u);
    EXPECT_EQ(At(s.get(), 1, 0), 1u);
    EXPECT_EQ(At(s.get(), 3, 1), 2u);
}

TEST(GradientBands, EdgesAndColours) {
    // Origin 0: FillSurface gives the bands of FillRect (sizes of at least
    // one pixel a band).
    for (int32_t size : {255, 256, 600, 1000}) {
        const auto rect = GradientRectBands(0x0000FF, 0xFF0000, 0, size, true);
        auto surface = GradientSurfaceBands(0x0000FF, 0xFF0000, size, 0, true);
        // Pixel by pixel the same colours, but where the rounding of an edge
        // (or of the count of whole bands) moved it: there the colour is one
        // step (one unit per channel here) away.
        auto colours = [size](const std::vector<GradientBand>& bands) {
            std::vector<uint32_t> c(static_cast<size_t>(size), 0);
            for (const auto& b : bands)
                for (int32_t p = b.from; p < b.to; ++p) c[static_cast<size_t>(p)] = b.colour;
            return c;
        };
        const auto a = colours(rect), b = colours(surface);
        int32_t moved = 0;
        for (int32_t p = 0; p < size; ++p) {
            if (a[p] == b[p]) continue;
            ++moved;
            for (int shift = 0; shift < 24; shift += 8)
                EXPECT_LE(std::abs(int((a[p] >> shift) & 0xFF) - int((b[p] >> shift) & 0xFF)), 1)
                    << "size " << size << " at " << p;
        }
        EXPECT_LE(moved, size / 50) << size;
    }
    // Bands cover the whole size without gaps, whatever the origin.
    for (int32_t origin : {0, -1, -7, -100, -333, 5}) {
        const auto bands = GradientSurfaceBands(0x102030, 0x8090F0, 97, origin, true);
        int32_t at = 0;
        for (const auto& b : bands) {
            EXPECT_EQ(b.from, at) << origin;
            EXPECT_GT(b.to, b.from);
            at = b.to;
        }
        EXPECT_EQ(at, 97) << origin;
    }
}

TEST_F(ShapeSurfaceTest, FloodFillBasicsAtEveryDepth) {
    for (int depth : {8, 16, 32}) {
        SCOPED_TRACE(depth);
        auto s = Make(depth, 10, 8);
        // A closed black box (2,2)-(7,6) around a white interior.
        s->DrawRectangle(2, 2, 8, 7, 0, 0, 0, 1);
        s->DrawRectangle(3, 3, 7, 6, 0xFFFFFF, 0, 0, 1);
        const uint32_t white = At(s.get(), 4, 4);
        EXPECT_EQ(s->FloodFill(4, 4, white, 0, 0, 0, 0), 0);  // already the colour
        EXPECT_EQ(s->FloodFill(40, 4, 0xFF, 0, 0, 0, 0), 0);  // outside
        CRect box;
        EXPECT_EQ(s->FloodFill(4, 4, 0x0000FF, 0, 0, 0, 0, &box), 1);
        EXPECT_EQ(Edges(box), Edges(CRect(3, 3, 7, 6)));
        const uint32_t red = At(s.get(), 3, 3);
        EXPECT_NE(red, white);
        Points filled;
        for (int32_t y = 0; y < 8; ++y)
            for (int32_t x = 0; x < 10; ++x)
                if (At(s.get(), x, y) == red) filled.insert({x, y});
        EXPECT_EQ(filled.size(), 12u);
        EXPECT_EQ(At(s.get(), 0, 0), white);
    }
}

TEST_F(ShapeSurfaceTest, FloodFillToleranceAndLayer) {
    auto s = Make(32, 16, 1);
    for (int32_t x = 0; x < 16; ++x) s->GetImpl()->SetPixel(x, 0, 0x010101 * static_cast<uint32_t>(100 + 3 * x));
    CRect box;
    EXPECT_EQ(s->FloodFill(5, 0, 0x0000FF, 0, 10, 0, 0, &box), 1);
    // Seed grey 115: greys 105..125 qualify, i.e. x 2..8.
    EXPECT_EQ(Edges(box), Edges(CRect(2, 0, 9, 1)));
    // A layer (colour and parameter given) blended onto the target.
    auto t = Make(32, 4, 4, 0x000000);
    EXPECT_EQ(t->FloodFill(1, 1, 0xFEFEFE, 0, 0, 1, 64, &box), 1);
    EXPECT_EQ(Edges(box), Edges(CRect(0, 0, 4, 4)));
    const uint32_t c = At(t.get(), 2, 2);
    EXPECT_GT(c & 0xFF, 0x40u);
    EXPECT_LT(c & 0xFF, 0xC0u);
}

// Sets the bits a pixel holds besides its colour (the 32-bit fourth byte,
// the 15-bit top bit) on every other pixel: they are not part of the colour.
void SetSpareBits(CSurface* s) {
    const int depth = s->GetDepth();
    if (depth != 15 && depth != 32) return;
    uint8_t* bits = s->Lock();
    const CSurfaceImpl* d = s->GetImpl();
    for (int32_t y = 0; y < d->height; ++y)
        for (int32_t x = 1; x < d->width; x += 2) {
            uint8_t* p = PixelAddress(d, x, y);
            if (depth == 32) p[3] = 0xA5;
            else p[1] |= 0x80;
        }
    (void)bits;
    s->Unlock();
}

// The 4-connected pixels of the clip reachable from the seed through colours
// within the tolerance of the seed's colour.
Points ConnectedRegion(CSurface* s, int32_t x, int32_t y, int32_t tolerance, const CRect& clip,
                       uint32_t (*at)(CSurface*, int32_t, int32_t)) {
    const uint32_t seed = at(s, x, y);
    auto near = [&](uint32_t c) {
        for (int shift = 0; shift < 24; shift += 8)
            if (std::abs(int((c >> shift) & 0xFF) - int((seed >> shift) & 0xFF)) > tolerance) return false;
        return true;
    };
    Points region{{x, y}};
    std::vector<std::pair<int32_t, int32_t>> open{{x, y}};
    while (!open.empty()) {
        const auto [px, py] = open.back();
        open.pop_back();
        const std::pair<int32_t, int32_t> next[4] = {{px - 1, py}, {px + 1, py}, {px, py - 1}, {px, py + 1}};
        for (const auto& n : next) {
            if (n.first < clip.left || n.first >= clip.right || n.second < clip.top || n.second >= clip.bottom) continue;
            if (region.count(n) || !near(at(s, n.first, n.second))) continue;
            region.insert(n);
            open.push_back(n);
        }
    }
    return region;
}

TEST_F(ShapeSurfaceTest, FloodFillFillsExactlyTheConnectedRegionAtEveryDepth) {
    // Near greys that join within tolerance 24, and colours that never do.
    const uint32_t colours[5] = {0xFFFFFF, 0xF0F0F0, 0xE8E8E8, 0x000000, 0xC06030};
    const CRect clip(2, 1, 20, 15);
    int filled = 0;
    for (int depth : {8, 15, 16, 24, 32}) {
        for (int32_t tolerance : {0, 24}) {
            for (bool layer : {false, true}) {
                for (uint32_t seed = 1; seed <= 4; ++seed) {
                    SCOPED_TRACE(::testing::Message() << depth << " bits, tolerance " << tolerance << ", layer "
                                                      << layer << ", seed " << seed);
                    auto s = Make(depth, 23, 17);
                    std::mt19937 rng(seed * 97 + static_cast<uint32_t>(depth + tolerance));
                    // Runs of 1 to 12 pixels, so that rows are scanned both in
                    // long stretches and pixel by pixel.
                    for (int32_t y = 0; y < 17; ++y) {
                        uint32_t colour = 0;
                        for (int32_t x = 0, run = 0; x < 23; ++x, --run) {
                            if (run == 0) run = 1 + static_cast<int32_t>(rng() % 12), colour = colours[rng() % 5];
                            s->GetImpl()->SetPixel(x, y, colour);
                        }
                    }
                    SetSpareBits(s.get());
                    s->GetImpl()->SetClipRect(clip.left, clip.top, clip.Width(), clip.Height());
                    const int32_t sx = clip.left + static_cast<int32_t>(rng() % 18);
                    const int32_t sy = clip.top + static_cast<int32_t>(rng() % 14);
                    const Points region = ConnectedRegion(s.get(), sx, sy, tolerance, clip, At);
                    std::vector<uint32_t> before;
                    for (int32_t y = 0; y < 17; ++y)
                        for (int32_t x = 0; x < 23; ++x) before.push_back(At(s.get(), x, y));
                    CRect box;
                    // A layer (colour and parameter given) blitted in mode 0 is a plain copy.
                    ASSERT_EQ(s->FloodFill(sx, sy, 0x0000F8, 0, tolerance, 0, layer ? 1 : 0, &box), 1);
                    const uint32_t red = At(s.get(), sx, sy);
                    EXPECT_NE(red, before[sy * 23 + sx]);
                    CRect bounds(sx, sy, sx + 1, sy + 1);
                    for (int32_t y = 0; y < 17; ++y)
                        for (int32_t x = 0; x < 23; ++x) {
                            const bool in = region.count({x, y}) != 0;
                            ASSERT_EQ(At(s.get(), x, y), in ? red : before[y * 23 + x]) << x << "," << y;
                            if (in) bounds.Set(std::min(bounds.left, x), std::min(bounds.top, y),
                                               std::max(bounds.right, x + 1), std::max(bounds.bottom, y + 1));
                        }
                    EXPECT_EQ(Edges(box), Edges(bounds));
                    filled += region.size() > 1;
                }
            }
        }
    }
    EXPECT_GT(filled, 40);  // most fixtures fill more than the seed
}

TEST_F(ShapeSurfaceTest, FloodFillOfAnOpenAreaStopsAtTheClipWhereverItLies) {
    // Rows are scanned several pixels at a time: every alignment of the
    // clip's edges must still end the runs exactly there.
    for (int depth : {8, 16, 24, 32}) {
        for (int32_t left = 0; left < 5; ++left) {
            for (int32_t right = 27; right < 32; ++right) {
                SCOPED_TRACE(::testing::Message() << depth << " bits, clip " << left << ".." << right);
                auto s = Make(depth, 32, 3);
                const uint32_t white = At(s.get(), 0, 0);
                s->SetClipRect(left, 0, right - left, 2);
                CRect box;
                ASSERT_EQ(s->FloodFill(13, 1, 0x0000F8, 0, 0, 0, 0, &box), 1);
                EXPECT_EQ(Edges(box), Edges(CRect(left, 0, right, 2)));
                s->SetClipRect(0, 0, 32, 3);
                Points area;
                for (int32_t y = 0; y < 2; ++y)
                    for (int32_t x = left; x < right; ++x) area.insert({x, y});
                EXPECT_EQ(Changed(s.get(), white), area);
            }
        }
    }
}

TEST_F(ShapeSurfaceTest, FloodFillPastTheStackLimitEndsWithAPartialFill) {
    // A comb: an open top row over 20001 one-pixel teeth two rows deep. The
    // teeth's spans for the third row pass the 10000-entry stack: those
    // beyond it are dropped (the documented limit), the fill still ends.
    const int32_t n = 40001;
    auto s = Make(8, n, 3, 0xFFFFFF);
    for (int32_t x = 1; x < n; x += 2) s->DrawRectangle(x, 1, x + 1, 3, 0, 0, 0, 1);
    const uint32_t white = At(s.get(), 0, 0);
    CRect box;
    EXPECT_EQ(s->FloodFill(0, 0, 0x0000FF, 0, 0, 0, 0, &box), 1);
    const uint32_t red = At(s.get(), 0, 0);
    EXPECT_NE(red, white);
    int32_t top = 0, teeth = 0, tips = 0;
    for (int32_t x = 0; x < n; ++x) top += At(s.get(), x, 0) == red;
    for (int32_t x = 0; x < n; x += 2) teeth += At(s.get(), x, 1) == red, tips += At(s.get(), x, 2) == red;
    EXPECT_EQ(top, n);
    EXPECT_EQ(teeth, n / 2 + 1);
    EXPECT_GT(tips, 0);
    EXPECT_LT(tips, n / 2 + 1);
    EXPECT_EQ(Edges(box), Edges(CRect(0, 0, n, 3)));
}

}  // namespace
