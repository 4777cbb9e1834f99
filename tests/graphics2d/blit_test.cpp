// The shared blit bodies at every depth: clipping, transparency and modes,
// blits between depths, stretching, moves, callbacks, filters and edge
// softening. Expected pictures come from per-pixel models in the tests.
#include "surface_cases.h"

#include <algorithm>
#include <climits>

namespace {

class BlitTest : public SurfaceCaseTest {};

struct ClipCase {
    const char* name;
    int32_t dx, dy, sx, sy, w, h;
    int32_t clipX, clipY, clipW, clipH;  // clipW 0: whole surface
};

TEST_P(BlitTest, ClipsToTheSourceAndTheDestinationClip) {
    const ClipCase cases[] = {
        {"source x -5 draws from 0 at dest x + 5", 3, 1, -5, 0, 12, 6, 0, 0, 0, 0},
        {"negative source x and y", 0, 0, -3, -4, 9, 9, 0, 0, 0, 0},
        {"wholly outside the clip", 10, 10, 0, 0, 4, 4, 0, 0, 5, 5},
        {"partly inside the clip", 2, 2, 0, 0, 16, 10, 4, 3, 6, 5},
        {"clip reaching past the top left", -3, -2, 0, 0, 16, 10, -10, -10, 50, 50},
        {"huge size", 2, 2, 0, 0, INT32_MAX, INT32_MAX, 0, 0, 0, 0},
        {"far outside", INT32_MIN + 5, INT32_MAX - 5, 0, 0, INT32_MAX, INT32_MAX, 0, 0, 0, 0},
        {"source beyond its surface", 0, 0, 100, 0, 4, 4, 0, 0, 0, 0},
        {"empty size", 0, 0, 0, 0, 0, 5, 0, 0, 0, 0},
    };
    for (int transparent = 0; transparent <= 1; ++transparent) {
        for (const ClipCase& c : cases) {
            SCOPED_TRACE(std::string(c.name) + (transparent ? ", transparent" : ""));
            CSurfaceImpl* src = Make(16, 10);
            CSurfaceImpl* dst = Make(20, 12);
            Pattern(src, 1, transparent == 1);
            Pattern(dst, 2);
            if (c.clipW) dst->SetClipRect(c.clipX, c.clipY, c.clipW, c.clipH);
            const std::vector<uint32_t> before = RawPixels(dst);
            const int result = src->Blit(dst, c.dx, c.dy, c.sx, c.sy, c.w, c.h, transparent, 0, 0, 0);
            // Model: every destination pixel inside the clip and the surface
            // whose source position lies in the requested area and the source.
            const int64_t clipL = c.clipW ? c.clipX : 0, clipT = c.clipW ? c.clipY : 0;
            const int64_t clipR = c.clipW ? int64_t(c.clipX) + c.clipW : dst->width;
            const int64_t clipB = c.clipW ? int64_t(c.clipY) + c.clipH : dst->height;
            int copied = 0;
            for (int32_t y = 0; y < dst->height; ++y)
                for (int32_t x = 0; x < dst->width; ++x) {
                    uint32_t expected = before[size_t(y) * dst->width + x];
                    const int64_t ox = int64_t(x) - c.dx, oy = int64_t(y) - c.dy;
                    const int64_t px = ox + c.sx, py = oy + c.sy;
                    if (x >= clipL && x < clipR && y >= clipT && y < clipB && ox >= 0 && ox < c.w && oy >= 0 &&
                        oy < c.h && px >= 0 && px < src->width && py >= 0 && py < src->height) {
                        ++copied;
                        const uint32_t s = Raw(src, int32_t(px), int32_t(py));
                        if (!transparent || s != 0) expected = s;
                    }
                    ASSERT_EQ(Raw(dst, x, y), expected) << "at " << x << "," << y;
                }
            EXPECT_EQ(result, copied > 0 ? 1 : 0);
        }
    }
}

TEST_P(BlitTest, ModesAndRefusedArguments) {
    CSurfaceImpl* src = Make(8, 6);
    CSurfaceImpl* dst = Make(8, 6);
    Pattern(src, 3, true);
    Pattern(dst, 4);
    const std::vector<uint32_t> before = RawPixels(dst);
    // Refused: the destination stays as it was.
    if (!HasDC(src)) { EXPECT_EQ(src->Blit(dst, 0, 0, 0, 0, 8, 6, 0, 7, 0, 0), 0) << "mode 7 without a DC"; }
    EXPECT_EQ(src->Blit(dst, 0, 0, 0, 0, 8, 6, 0, 9, 0, 0), 0);
    EXPECT_EQ(src->Blit(dst, 0, 0, 0, 0, 8, 6, 2, 0, 0, 0), 0);
    EXPECT_EQ(src->Blit(nullptr, 0, 0, 0, 0, 8, 6, 0, 0, 0, 0), 0);
    EXPECT_EQ(RawPixels(dst), before);

    // Mode 1 with weight 128 keeps the destination's colours, with 0 takes
    // the source's.
    ASSERT_EQ(src->Blit(dst, 0, 0, 0, 0, 8, 6, 0, 1, 128, 0), 1);
    CSurfaceImpl* copy = Make(8, 6);
    for (int32_t y = 0; y < 6; ++y)
        for (int32_t x = 0; x < 8; ++x) {
            SetRaw(copy, x, y, before[size_t(y) * 8 + x]);
            EXPECT_EQ(ColourOf(dst, x, y), Stored(dst, ColourOf(copy, x, y))) << x << "," << y;
        }
    ASSERT_EQ(src->Blit(dst, 0, 0, 0, 0, 8, 6, 0, 1, 0, 0), 1);
    for (int32_t y = 0; y < 6; ++y)
        for (int32_t x = 0; x < 8; ++x) EXPECT_EQ(ColourOf(dst, x, y), Stored(dst, ColourOf(src, x, y))) << x << "," << y;

    // XOR through the transparent routine: source 0 leaves the pixel.
    Pattern(dst, 4);
    ASSERT_EQ(src->Blit(dst, 0, 0, 0, 0, 8, 6, 1, 3, 0, 0), 1);
    for (int32_t y = 0; y < 6; ++y)
        for (int32_t x = 0; x < 8; ++x) EXPECT_EQ(Raw(dst, x, y), Raw(src, x, y) ^ before[size_t(y) * 8 + x]);
}

// Blits from another depth: plain copies convert straight into the
// destination; transparency and modes go through a scratch surface of the
// destination's depth and then blend there.
TEST_P(BlitTest, BetweenDepthsConvertThenCombine) {
    for (int from : kCaseDepths) {
        if (from == Depth()) continue;
        SCOPED_TRACE("from depth " + std::to_string(from));
        CSurfaceImpl* src = Make(6, 5, from);
        CSurfaceImpl* dst = Make(6, 5);
        std::mt19937 rng(from);
        for (int32_t y = 0; y < 5; ++y)
            for (int32_t x = 0; x < 6; ++x) {
                // Channels of at least 8 so that no narrowing gives 0.
                src->SetPixel(x, y, (rng() | 0x080808) & 0xFFFFFF);
                dst->SetPixel(x, y, (rng() | 0x080808) & 0xFFFFFF);
            }
        SetRaw(src, 1, 1, 0);
        SetRaw(src, 4, 3, 0);
        std::vector<uint32_t> before;
        for (int32_t y = 0; y < 5; ++y)
            for (int32_t x = 0; x < 6; ++x) before.push_back(ColourOf(dst, x, y));

        CSurfaceImpl* direct = Make(6, 5);
        ASSERT_EQ(src->Blit(direct, 0, 0, 0, 0, 6, 5, 0, 0, 0, 0), 1);
        for (int32_t y = 0; y < 5; ++y)
            for (int32_t x = 0; x < 6; ++x)
                ASSERT_EQ(ColourOf(direct, x, y), Stored(dst, ColourOf(src, x, y))) << x << "," << y;

        ASSERT_EQ(src->Blit(dst, 0, 0, 0, 0, 6, 5, 1, 1, 64, 0), 1);
        for (int32_t y = 0; y < 5; ++y)
            for (int32_t x = 0; x < 6; ++x) {
                const uint32_t d = before[size_t(y) * 6 + x];
                if (Raw(src, x, y) == 0) {
                    EXPECT_EQ(ColourOf(dst, x, y), d) << "transparent at " << x << "," << y;
                    continue;
                }
                const uint32_t s = ColourOf(direct, x, y);
                uint32_t blend = 0;
                for (int shift = 0; shift < 24; shift += 8)
                    blend |= ((((s >> shift) & 0xFF) * 64 + ((d >> shift) & 0xFF) * 64) >> 7) << shift;
                EXPECT_EQ(ColourOf(dst, x, y), Stored(dst, blend)) << x << "," << y;
            }
    }
}

TEST_P(BlitTest, StretchOfEqualSizesIsABlit) {
    CSurfaceImpl* src = Make(9, 7);
    CSurfaceImpl* a = Make(12, 10);
    CSurfaceImpl* b = Make(12, 10);
    Pattern(src, 5, true);
    Pattern(a, 6);
    Pattern(b, 6);
    a->SetClipRect(3, 2, 6, 6);
    b->SetClipRect(3, 2, 6, 6);
    ASSERT_EQ(src->StretchBlit(a, 2, 1, 5, 4, 1, 1, 5, 4, 1, 3, 0), 1);
    ASSERT_EQ(src->Blit(b, 2, 1, 1, 1, 5, 4, 1, 3, 0, 0), 1);
    EXPECT_EQ(RawPixels(a), RawPixels(b));
}

TEST_P(BlitTest, StretchByWholeFactorsRepeatsPixels) {
    CSurfaceImpl* src = Make(5, 4);
    Pattern(src, 7);
    for (int32_t k : {2, 3}) {
        CSurfaceImpl* dst = Make(5 * k + 2, 4 * k + 2);
        ASSERT_EQ(src->StretchBlit(dst, 1, 1, 5 * k, 4 * k, 0, 0, 5, 4, 0, 0, 0), 1);
        for (int32_t y = 0; y < dst->height; ++y)
            for (int32_t x = 0; x < dst->width; ++x) {
                const bool inside = x >= 1 && x <= 5 * k && y >= 1 && y <= 4 * k;
                ASSERT_EQ(Raw(dst, x, y), inside ? Raw(src, (x - 1) / k, (y - 1) / k) : 0u) << x << "," << y;
            }
    }
    CSurfaceImpl* dst = Make(20, 20);
    EXPECT_EQ(src->StretchBlit(dst, 0, 0, 10, 8, 1, 0, 5, 4, 0, 0, 0), 0) << "source not wholly inside";
    EXPECT_EQ(src->StretchBlit(dst, 30, 0, 10, 8, 0, 0, 5, 4, 0, 0, 0), 0) << "nothing visible";
}

// The scratch path (partial clip, transparency, another depth) equals a fast
// stretch into a scratch of our own followed by the same Blit. (Factors
// exact in 16.16: a truncated step leaves the last column unwritten.)
TEST_P(BlitTest, StretchScratchPathEqualsStretchThenBlit) {
    struct Case {
        const char* name;
        int transparent;
        bool clipped;
        int sourceDepth;
    };
    const Case cases[] = {{"partly clipped", 0, true, 0}, {"transparent", 1, false, 0}, {"from 24 bits", 0, false, 24},
                          {"from 8 bits, transparent, clipped", 1, true, 8}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        CSurfaceImpl* src = Make(6, 4, c.sourceDepth);
        Pattern(src, 8, true);
        CSurfaceImpl* a = Make(16, 14);
        CSurfaceImpl* b = Make(16, 14);
        Pattern(a, 9);
        Pattern(b, 9);
        if (c.clipped) {
            a->SetClipRect(4, 3, 7, 20);
            b->SetClipRect(4, 3, 7, 20);
        }
        ASSERT_EQ(src->StretchBlit(a, 1, 2, 9, 10, 0, 0, 6, 4, c.transparent, 0, 0), 1);
        CSurfaceImpl* stretched = Make(9, 10, src->depth);
        ASSERT_EQ(src->StretchBlit(stretched, 0, 0, 9, 10, 0, 0, 6, 4, 0, 0, 0), 1);
        ASSERT_EQ(stretched->Blit(b, 1, 2, 0, 0, 9, 10, c.transparent, 0, 0, 0), 1);
        const std::vector<uint32_t> ra = RawPixels(a), rb = RawPixels(b);
        for (size_t i = 0; i < ra.size(); ++i) ASSERT_EQ(ra[i], rb[i]) << i % 16 << "," << i / 16;
    }
}

TEST_P(BlitTest, MoveRectOverItselfEqualsACopyFromAnotherBuffer) {
    const int32_t moves[][2] = {{1, 0}, {-1, 0}, {0, -1}, {0, 1}, {2, 3}, {-3, -2}};
    for (const auto& m : moves) {
        SCOPED_TRACE(std::to_string(m[0]) + "," + std::to_string(m[1]));
        CSurfaceImpl* s = Make(12, 10);
        Pattern(s, 10);
        const std::vector<uint32_t> before = RawPixels(s);
        const int32_t sx = 3, sy = 3, w = 6, h = 4;
        ASSERT_EQ(s->MoveRect(sx + m[0], sy + m[1], sx, sy, w, h), 1);
        for (int32_t y = 0; y < 10; ++y)
            for (int32_t x = 0; x < 12; ++x) {
                const int32_t ox = x - sx - m[0], oy = y - sy - m[1];
                const bool moved = ox >= 0 && ox < w && oy >= 0 && oy < h;
                const uint32_t expected = moved ? before[size_t(sy + oy) * 12 + sx + ox] : before[size_t(y) * 12 + x];
                ASSERT_EQ(Raw(s, x, y), expected) << x << "," << y;
            }
    }
    CSurfaceImpl* s = Make(12, 10);
    EXPECT_EQ(s->MoveRect(7, 0, 0, 0, 6, 2), 0) << "destination past the right edge";
    EXPECT_EQ(s->MoveRect(0, 0, -1, 0, 6, 2), 0);
    EXPECT_EQ(s->MoveRect(0, 0, 0, 0, 0, 2), 0);
}

uint32_t g_seenDestination, g_seenSource;
uint32_t TW_PIXEL_CALLBACK TakeSource(uint32_t d, uint32_t s, uint32_t user) {
    g_seenDestination = d;
    g_seenSource = s;
    return user ? user : s;
}

TEST_P(BlitTest, CallbackBlitPassesColoursAndSkipsZeros) {
    CSurfaceImpl* src = Make(7, 5);
    CSurfaceImpl* a = Make(9, 7);
    CSurfaceImpl* b = Make(9, 7);
    Pattern(src, 11, true);
    Pattern(a, 12);
    Pattern(b, 12);
    const std::vector<uint32_t> before = RawPixels(a);
    ASSERT_EQ(src->BlitCallback(a, 1, 1, 0, 0, 7, 5, 1, TakeSource, 0), 1);
    for (int32_t y = 0; y < 7; ++y)
        for (int32_t x = 0; x < 9; ++x) {
            const bool area = x >= 1 && x < 8 && y >= 1 && y < 6;
            if (area && Raw(src, x - 1, y - 1) != 0)
                EXPECT_EQ(ColourOf(a, x, y), Stored(a, ColourOf(src, x - 1, y - 1))) << x << "," << y;
            else
                EXPECT_EQ(Raw(a, x, y), before[size_t(y) * 9 + x]) << x << "," << y;
        }
    // One pixel: the routine sees both library colours; its answer is stored.
    ASSERT_EQ(src->BlitCallback(a, 0, 0, 2, 2, 1, 1, 0, TakeSource, 0x204080), 1);
    EXPECT_EQ(g_seenSource, ColourOf(src, 2, 2));
    EXPECT_EQ(g_seenDestination, ColourOf(b, 0, 0));
    EXPECT_EQ(ColourOf(a, 0, 0), Stored(a, 0x204080));
    CSurfaceImpl* other = Make(9, 7, Depth() == 32 ? 24 : 32);
    EXPECT_EQ(src->BlitCallback(other, 0, 0, 0, 0, 7, 5, 0, TakeSource, 0), 0);
}

uint32_t TW_PIXEL_CALLBACK LeftNeighbour(const uint32_t* colours, const uint32_t*, uint32_t) { return colours[3]; }
uint32_t TW_PIXEL_CALLBACK TopLeftSource(const uint32_t*, const uint32_t* sources, uint32_t) { return sources[0]; }

// The filter reads the destination as it was before the pass: taking each
// pixel's left neighbour shifts the row by one (the first column repeats, as
// reads outside the clip clamp), rather than smearing the first pixel.
TEST_P(BlitTest, FilterReadsThePrePassDestinationAndZeroSourcesOutsideTheClip) {
    CSurfaceImpl* src = Make(6, 4);
    CSurfaceImpl* dst = Make(6, 4);
    Pattern(src, 13);
    Pattern(dst, 14);
    std::vector<uint32_t> before;
    for (int32_t y = 0; y < 4; ++y)
        for (int32_t x = 0; x < 6; ++x) before.push_back(ColourOf(dst, x, y));
    ASSERT_EQ(src->BlitFilter(dst, 0, 0, 0, 0, 6, 4, 3, 3, 1, 1, 0, 0, LeftNeighbour, 0), 1);
    for (int32_t y = 0; y < 4; ++y)
        for (int32_t x = 0; x < 6; ++x)
            EXPECT_EQ(ColourOf(dst, x, y), Stored(dst, before[size_t(y) * 6 + std::max(x - 1, 0)])) << x << "," << y;

    ASSERT_EQ(src->BlitFilter(dst, 0, 0, 0, 0, 6, 4, 3, 3, 2, 2, 0, 0, TopLeftSource, 0), 1);
    EXPECT_EQ(ColourOf(dst, 1, 1), Stored(dst, 0)) << "source cell outside the clip reads 0";
    EXPECT_EQ(ColourOf(dst, 3, 2), Stored(dst, ColourOf(src, 1, 0)));
    EXPECT_EQ(src->BlitFilter(dst, 0, 0, 0, 0, 6, 4, 0, 3, 1, 1, 0, 0, TopLeftSource, 0), 0);
}

// A glyph-like shape blitted transparently with soften 1: destination
// pixels the shape does not cover but touches both across and along their
// row are blended, per channel (12 centre + 2 per edge + 1 per corner) / 24,
// an uncovered neighbour counting as the centre. Mode 6 with a colour c
// (opaque weight 0) runs the keyed softener over a black destination: its
// colours of 0 count as c.
TEST_P(BlitTest, SoftenBlendsTheOuterEdgePixels) {
    static const char* const kGlyph[] = {
        "..........",
        ".####.....",
        ".#........",
        ".#..###...",
        ".####.#...",
        "......#...",
        "...####...",
        "..........",
    };
    const struct {
        const char* name;
        int32_t mode;
        uint32_t parameter;
        bool black;
    } cases[] = {{"plain on a coloured background", 0, 0, false}, {"keyed on black", 6, 0x00406080, true}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        CSurfaceImpl* glyph = Make(10, 8);
        CSurfaceImpl* softened = Make(14, 12);
        CSurfaceImpl* plain = Make(14, 12);
        for (int32_t y = 0; y < 8; ++y)
            for (int32_t x = 0; x < 10; ++x)
                if (kGlyph[y][x] == '#') glyph->SetPixel(x, y, 0xF0E0D0);
        // A background with some variation, so neighbours differ.
        for (int32_t y = 0; y < 12; ++y)
            for (int32_t x = 0; x < 14; ++x) {
                const uint32_t colour = c.black ? 0 : 0x203040 + (uint32_t(x) * 0x0A0000) + (uint32_t(y) * 0x000C08);
                softened->SetPixel(x, y, colour);
                plain->SetPixel(x, y, colour);
            }
        ASSERT_EQ(glyph->Blit(plain, 2, 2, 0, 0, 10, 8, 1, c.mode, c.parameter, 0), 1);
        ASSERT_EQ(glyph->Blit(softened, 2, 2, 0, 0, 10, 8, 1, c.mode, c.parameter, 1), 1);
        auto covered = [&](int32_t x, int32_t y) {
            const int32_t gx = x - 2, gy = y - 2;
            return gx >= 0 && gx < 10 && gy >= 0 && gy < 8 && kGlyph[gy][gx] == '#';
        };
        auto before = [&](int32_t x, int32_t y) {
            const uint32_t colour = ColourOf(plain, x, y);
            return colour == 0 && c.mode == 6 ? c.parameter & 0xFFFFFF : colour;
        };
        int blended = 0;
        for (int32_t y = 0; y < 12; ++y)
            for (int32_t x = 0; x < 14; ++x) {
                const bool vertical = covered(x, y - 1) || covered(x, y + 1);
                const bool horizontal = covered(x - 1, y) || covered(x + 1, y);
                if (covered(x, y) || !vertical || !horizontal) {
                    if (!c.black) {
                        EXPECT_EQ(ColourOf(softened, x, y), Stored(softened, before(x, y))) << x << "," << y;
                    }
                    continue;
                }
                const uint32_t centre = before(x, y);
                uint32_t expected = 0;
                for (int shift = 0; shift < 24; shift += 8) {
                    uint32_t sum = 12 * ((centre >> shift) & 0xFF);
                    for (int j = -1; j <= 1; ++j)
                        for (int i = -1; i <= 1; ++i) {
                            if (i == 0 && j == 0) continue;
                            const uint32_t weight = (i == 0 || j == 0) ? 2 : 1;
                            const uint32_t n = covered(x + i, y + j) ? before(x + i, y + j) : centre;
                            sum += weight * ((n >> shift) & 0xFF);
                        }
                    expected |= (sum / 24) << shift;
                }
                ++blended;
                EXPECT_EQ(ColourOf(softened, x, y), Stored(softened, expected)) << x << "," << y;
            }
        EXPECT_GE(blended, 4);
    }
}

TW_SURFACE_CASES_ON_EVERY_FACTORY(BlitTest);

}  // namespace
