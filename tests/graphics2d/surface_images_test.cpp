// The surface's picture members (loading, saving, copies, scrolling,
// mirroring, colour replacement, rotation) against per-pixel models of what
// each must leave on the picture.
#include "graphics2d/ci_surface.h"
#include "graphics2d/ci_surface_members.h"
#include "tests/graphics2d/image_test_support.h"
#include "tests/graphics2d/loaded_interpreter.h"

#include <cstdlib>
#include <functional>
#include <string>
#include <vector>

namespace {

// A picture's pixels as script colours, row by row.
struct Grid {
    int32_t width = 0, height = 0;
    std::vector<uint32_t> pixels;
    uint32_t At(int32_t x, int32_t y) const { return pixels[y * width + x]; }
    uint32_t& At(int32_t x, int32_t y) { return pixels[y * width + x]; }
    bool Inside(int32_t x, int32_t y) const { return x >= 0 && y >= 0 && x < width && y < height; }
};

class SurfaceImagesTest : public LoadedInterpreterTest {
protected:
    CISurface* NewSurface(int32_t w, int32_t h, int32_t depth = 32) {
        return dynamic_cast<CISurface*>(New(kClassSurface, {w, h, depth}));
    }
    // Every pixel its own colour (distinct in 15 bits and up).
    static uint32_t Pattern(int32_t x, int32_t y, int32_t seed) {
        return static_cast<uint32_t>((((x * 7 + seed) & 31) << 19) | (((y * 5 + seed) & 31) << 11) | ((x + y) & 31) << 3);
    }
    static void Fill(CISurface* s, int32_t seed) {
        for (int32_t y = 0; y < s->PictureHeight(); ++y)
            for (int32_t x = 0; x < s->PictureWidth(); ++x)
                s->GetPicture()->FillRect(x, y, 1, 1, SwapRedBlue(Pattern(x, y, seed)));
    }
    static Grid Read(CISurface* s) {
        Grid g;
        g.width = s->PictureWidth();
        g.height = s->PictureHeight();
        for (int32_t y = 0; y < g.height; ++y)
            for (int32_t x = 0; x < g.width; ++x) {
                uint32_t c = 0;
                s->GetPicture()->PixelAt(x, y, &c);
                g.pixels.push_back(SwapRedBlue(c & 0xFFFFFF));
            }
        return g;
    }
    // Number of pixels that differ (the first few reported).
    static int Differences(const Grid& got, const Grid& want, const std::string& what) {
        EXPECT_EQ(got.width, want.width) << what;
        EXPECT_EQ(got.height, want.height) << what;
        if (got.width != want.width || got.height != want.height)
            return -1;
        int bad = 0;
        for (int32_t y = 0; y < got.height; ++y)
            for (int32_t x = 0; x < got.width; ++x)
                if (got.At(x, y) != want.At(x, y) && ++bad <= 3)
                    ADD_FAILURE() << what << ": pixel " << x << "," << y << " is " << std::hex << got.At(x, y)
                                  << ", expected " << want.At(x, y);
        return bad;
    }
};

TEST_F(SurfaceImagesTest, ScrollMovesTheClippedAreaAndLeavesTheFreedPixels) {
    struct Case {
        int32_t x, y, w, h, dx, dy;
    };
    // The model: every pixel of the area (sizes turned around) whose source and
    // destination both lie on the picture is moved; nothing else changes.
    const Case cases[] = {
        {0, 0, 100, 100, 10, 0},   // the first 10 columns stay as they were
        {30, 0, -20, 100, 5, 3},   // negative width: the area starts 20 earlier
        {0, 50, 120, -30, 0, -7},  // negative height
        {0, 0, 120, 100, -15, 0},  // cut at the left end of the destination
        {-10, -5, 60, 40, 4, 4},   // cut at the left and top of the source
        {100, 90, 50, 50, -3, -3}, // cut at the right and bottom of the source
        {0, 0, 10, 10, 200, 0},    // nothing remains
        {0, 0, 120, 100, 0, 0},    // onto itself
    };
    for (const Case& c : cases) {
        const std::string what = "scroll " + std::to_string(c.x) + "," + std::to_string(c.y) + "," +
                                 std::to_string(c.w) + "," + std::to_string(c.h) + " by " + std::to_string(c.dx) +
                                 "," + std::to_string(c.dy);
        CISurface* s = NewSurface(120, 100);
        Fill(s, 3);
        const Grid before = Read(s);
        Grid want = before;
        const int32_t x0 = c.w < 0 ? c.x + c.w : c.x, y0 = c.h < 0 ? c.y + c.h : c.y;
        for (int32_t y = y0; y < y0 + std::abs(c.h); ++y)
            for (int32_t x = x0; x < x0 + std::abs(c.w); ++x)
                if (before.Inside(x, y) && before.Inside(x + c.dx, y + c.dy))
                    want.At(x + c.dx, y + c.dy) = before.At(x, y);
        Call(s, kSurfaceScroll, {c.x, c.y, c.w, c.h, c.dx, c.dy});
        EXPECT_EQ(Differences(Read(s), want, what), 0);
    }
    // Omitted values: the whole surface, moved by nothing.
    CISurface* s = NewSurface(20, 10);
    Fill(s, 1);
    const Grid before = Read(s);
    Call(s, kSurfaceScroll);
    EXPECT_EQ(Differences(Read(s), before, "scroll without arguments"), 0);
}

TEST_F(SurfaceImagesTest, ReverseMirrorsTheSortedAreaOnThePicture) {
    struct Case {
        std::vector<int32_t> args;  // empty: no arguments
        bool leftRight;
        int32_t x1, y1, x2, y2;  // the area the model mirrors
    };
    const Case cases[] = {
        {{}, true, 0, 0, 30, 20},
        {{}, false, 0, 0, 30, 20},
        {{25, 15, 5, 2}, true, 5, 2, 25, 15},  // corners sorted
        {{5, 2, 25, 15}, false, 5, 2, 25, 15},
        {{-10, 4, 12, 40}, true, 0, 4, 12, 20},  // cut to the picture
        {{20, 10}, false, 20, 10, 30, 20},       // omitted corner: the surface's size
    };
    for (const Case& c : cases) {
        CISurface* s = NewSurface(30, 20);
        Fill(s, 5);
        const Grid before = Read(s);
        Grid want = before;
        for (int32_t y = c.y1; y < c.y2; ++y)
            for (int32_t x = c.x1; x < c.x2; ++x)
                want.At(x, y) = c.leftRight ? before.At(c.x1 + c.x2 - 1 - x, y) : before.At(x, c.y1 + c.y2 - 1 - y);
        const int32_t member = c.leftRight ? kSurfaceReverseX : kSurfaceReverseY;
        if (c.args.empty())
            Call(s, member);
        else if (c.args.size() == 2)
            Call(s, member, {c.args[0], c.args[1]});
        else
            Call(s, member, {c.args[0], c.args[1], c.args[2], c.args[3]});
        EXPECT_EQ(Differences(Read(s), want, c.leftRight ? "ReverseX" : "ReverseY"), 0);
    }
    // With the cursor as the first corner.
    CISurface* s = NewSurface(30, 20);
    Fill(s, 2);
    Grid want = Read(s);
    const Grid before = want;
    Call(s, kSurfaceMoveTo, {10, 0});
    Call(s, kSurfaceReverseX, {CallArg::Omitted(), CallArg::Omitted(), 20, 20});
    for (int32_t y = 0; y < 20; ++y)
        for (int32_t x = 10; x < 20; ++x) want.At(x, y) = before.At(29 - x, y);
    EXPECT_EQ(Differences(Read(s), want, "ReverseX from the cursor"), 0);
}

TEST_F(SurfaceImagesTest, ReplaceColorChangesOnlyTheOldColour) {
    for (int32_t depth : {8, 16, 24, 32}) {
        CISurface* s = NewSurface(16, 8, depth);
        // The colours as this depth stores them.
        s->GetPicture()->FillRect(0, 0, 1, 1, SwapRedBlue(0xFF0000));
        const int32_t red = Int(s, kSurfaceGetPixel, {0, 0});
        s->GetPicture()->FillRect(0, 0, 1, 1, SwapRedBlue(0x00FF00));
        const int32_t green = Int(s, kSurfaceGetPixel, {0, 0});
        Call(s, kSurfaceClear, {0x0000FF});
        s->GetPicture()->FillRect(2, 2, 4, 3, SwapRedBlue(0x00FF00));
        Call(s, kSurfaceReplaceColor, {0xFF0000, 0x0000FF});
        EXPECT_EQ(Int(s, kSurfaceGetPixel, {0, 0}), red) << depth;
        EXPECT_EQ(Int(s, kSurfaceGetPixel, {15, 7}), red) << depth;
        EXPECT_EQ(Int(s, kSurfaceGetPixel, {3, 3}), green) << depth;
    }
}

TEST_F(SurfaceImagesTest, CopyByArgumentCount) {
    CISurface* source = NewSurface(10, 6);
    Fill(source, 9);
    const Grid from = Read(source);
    struct Case {
        const char* what;
        std::function<void(CISurface*)> call;
        int32_t x, y, sx, sy, w, h;  // the model: source area onto (x, y)
    };
    const Case cases[] = {
        {"centred", [&](CISurface* s) { Call(s, kSurfaceCopy, {source}); }, 10, 7, 0, 0, 10, 6},
        {"at a point", [&](CISurface* s) { Call(s, kSurfaceCopy, {source, 25, -2}); }, 25, -2, 0, 0, 10, 6},
        {"from the cursor", [&](CISurface* s) {
             Call(s, kSurfaceMoveTo, {3, 4});
             Call(s, kSurfaceCopy, {source, CallArg::Omitted(), CallArg::Omitted()});
         }, 3, 4, 0, 0, 10, 6},
        {"from a source point", [&](CISurface* s) { Call(s, kSurfaceCopy, {source, 1, 1, 4, 2}); }, 1, 1, 4, 2, 6, 4},
        {"a source area", [&](CISurface* s) { Call(s, kSurfaceCopy, {source, 0, 0, 2, 1, 3, 3}); }, 0, 0, 2, 1, 3, 3},
        {"past the right edge", [&](CISurface* s) { Call(s, kSurfaceCopy, {source, 30, 0}); }, 0, 0, 0, 0, 0, 0},
        {"source point past its edge", [&](CISurface* s) { Call(s, kSurfaceCopy, {source, 0, 0, 10, 0}); }, 0, 0, 0, 0, 0, 0},
    };
    for (const Case& c : cases) {
        CISurface* s = NewSurface(30, 20);
        const Grid before = Read(s);
        Grid want = before;
        for (int32_t y = 0; y < c.h; ++y)
            for (int32_t x = 0; x < c.w; ++x)
                if (want.Inside(c.x + x, c.y + y) && from.Inside(c.sx + x, c.sy + y))
                    want.At(c.x + x, c.y + y) = from.At(c.sx + x, c.sy + y);
        c.call(s);
        EXPECT_EQ(Differences(Read(s), want, c.what), 0);
    }
}

TEST_F(SurfaceImagesTest, CopyOfItselfReadsASnapshot) {
    CISurface* s = NewSurface(20, 8);
    Fill(s, 4);
    const Grid before = Read(s);
    Call(s, kSurfaceCopy, {s, 1, 0});  // a shift by one: smearing would repeat column 0
    Grid want = before;
    for (int32_t y = 0; y < 8; ++y)
        for (int32_t x = 1; x < 20; ++x) want.At(x, y) = before.At(x - 1, y);
    EXPECT_EQ(Differences(Read(s), want, "copy onto itself"), 0);
}

TEST_F(SurfaceImagesTest, CopyAndStretchErrors) {
    CISurface* s = NewSurface(20, 8);
    CISurface* source = NewSurface(4, 4);
    const struct {
        int32_t member;
        std::initializer_list<CallArg> args;
        int32_t error;
    } cases[] = {
        {kSurfaceCopy, {source, 1}, 21},
        {kSurfaceCopy, {source, 1, 2, 3}, 21},
        {kSurfaceCopy, {source, 1, 2, 3, 4, 5}, 21},
        {kSurfaceCopy, {source, 1, 2, 3, 4, 5, 6, 7}, 21},
        {kSurfaceCopy, {5}, 14},
        {kSurfaceCopy, {"picture"}, 14},
        {kSurfaceCopy, {}, 14},
        {kSurfaceStretch, {source, 1, 2}, 21},
        {kSurfaceStretch, {source, 1, 2, 3, 4, 5}, 21},
        {kSurfaceStretch, {CallArg(GetDefaultFont(&m_interp))}, 14},
    };
    for (const auto& c : cases) EXPECT_EQ(ErrorOf(s, c.member, c.args), c.error) << c.member;
}

TEST_F(SurfaceImagesTest, StretchByArgumentCount) {
    CISurface* source = NewSurface(2, 2);
    for (int32_t y = 0; y < 2; ++y)
        for (int32_t x = 0; x < 2; ++x) source->GetPicture()->FillRect(x, y, 1, 1, SwapRedBlue(0x100000 * (1 + x + 2 * y)));
    CISurface* s = NewSurface(8, 6);
    Call(s, kSurfaceStretch, {source});  // the whole picture
    EXPECT_EQ(Int(s, kSurfaceGetPixel, {0, 0}), 0x100000);
    EXPECT_EQ(Int(s, kSurfaceGetPixel, {7, 0}), 0x200000);
    EXPECT_EQ(Int(s, kSurfaceGetPixel, {0, 5}), 0x300000);
    EXPECT_EQ(Int(s, kSurfaceGetPixel, {7, 5}), 0x400000);
    Call(s, kSurfaceClear);
    Call(s, kSurfaceStretch, {source, 2, 2, 4, 2});  // onto an area
    EXPECT_EQ(Int(s, kSurfaceGetPixel, {1, 2}), 0xFFFFFF);
    EXPECT_EQ(Int(s, kSurfaceGetPixel, {2, 2}), 0x100000);
    EXPECT_EQ(Int(s, kSurfaceGetPixel, {5, 3}), 0x400000);
    EXPECT_EQ(Int(s, kSurfaceGetPixel, {6, 3}), 0xFFFFFF);
    Call(s, kSurfaceClear);
    // A source area (its bottom-right pixel) onto an area.
    Call(s, kSurfaceStretch, {source, 0, 0, 3, 3, 1, 1, 1, 1});
    EXPECT_EQ(Int(s, kSurfaceGetPixel, {0, 0}), 0x400000);
    EXPECT_EQ(Int(s, kSurfaceGetPixel, {2, 2}), 0x400000);
    EXPECT_EQ(Int(s, kSurfaceGetPixel, {3, 3}), 0xFFFFFF);
}

}  // namespace
