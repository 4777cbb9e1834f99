// The routine tables against the reference model of pixel_test_support: every
// entry at every format, widths 1 to 9 (every tail of an unrolled body), rows
// stored top-down and bottom-up, guard bands and row padding untouched.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <string>

#include "graphics2d/row_routines.h"
#include "pixel_test_support.h"
#include "runtime/base/alloc_fault_injection.h"

using namespace pixeltest;

namespace {

// A reference result for one pixel: skip leaves the destination as it was.
struct Result {
    bool skip;
    uint32_t value;
};
Result Write(uint32_t v) { return {false, v}; }
constexpr Result kSkip = {true, 0};

size_t FirstDifference(const std::vector<uint8_t>& a, const std::vector<uint8_t>& b) {
    return static_cast<size_t>(std::mismatch(a.begin(), a.end(), b.begin()).first - a.begin());
}

#define EXPECT_SAME_MEMORY(actual, expected)                                                          \
    EXPECT_TRUE((actual).memory == (expected).memory)                                                \
        << "first difference at byte " << FirstDifference((actual).memory, (expected).memory)       \
        << " (rows start at " << kGuard << ")"

// Runs a two-surface routine over a width × 3 area at (1, 1) of the destination
// from (2, 0) of the source, for widths 1 to 9 and both row orders of both
// surfaces, and compares with ref(source pixel, destination pixel, inverse table)
// applied pixel by pixel to a copy. Both surfaces share one fresh palette, whose
// inverse table the reference keeps on the side (withTable false: the table
// cannot be made).
template <class Routine, class Ref>
void CheckAreas(int dstFormat, int srcFormat, Routine routine, Ref ref, bool withTable = true) {
    for (int w = 1; w <= 9; ++w) {
        for (int order = 0; order < 4; ++order) {
            SCOPED_TRACE("width " + std::to_string(w) + ", destination " + (order & 1 ? "bottom-up" : "top-down") +
                         ", source " + (order & 2 ? "bottom-up" : "top-down"));
            std::mt19937 rng(1000 * dstFormat + 100 * srcFormat + 4 * w + order);
            CSharedPalette* palette = RandomPalette(rng);
            ASSERT_NE(palette, nullptr);
            Surface dst(dstFormat, w + 3, 5, order & 1, palette, rng);
            const Surface src(srcFormat, w + 2, 4, order & 2, palette, rng);
            Surface expected = dst;
            RefInverse inverse(palette, withTable);
            for (int j = 0; j < 3; ++j)
                for (int i = 0; i < w; ++i) {
                    const Result r = ref(src.Get(2 + i, j), expected.Get(1 + i, 1 + j), inverse, palette);
                    if (!r.skip) expected.Set(1 + i, 1 + j, r.value);
                }
            routine(&dst.d, &src.d, w);
            EXPECT_SAME_MEMORY(dst, expected);
            CSharedPalette::Release(palette);
        }
    }
}

// As CheckAreas for routines on one surface: a width × 3 area at (1, 1).
template <class Routine, class Ref>
void CheckOneSurface(int format, Routine routine, Ref ref, int zeroPercent = 25) {
    for (int w = 1; w <= 9; ++w) {
        for (int bottomUp = 0; bottomUp < 2; ++bottomUp) {
            SCOPED_TRACE("width " + std::to_string(w) + (bottomUp ? ", bottom-up" : ", top-down"));
            std::mt19937 rng(77 * format + 2 * w + bottomUp);
            CSharedPalette* palette = RandomPalette(rng);
            Surface dst(format, w + 3, 5, bottomUp, palette, rng, zeroPercent);
            Surface expected = dst;
            ref(expected, w);
            routine(&dst.d, w);
            EXPECT_SAME_MEMORY(dst, expected);
            CSharedPalette::Release(palette);
        }
    }
}

uint32_t InvertMask(int depth) { return depth == 8 ? 0xFF : depth <= 16 ? 0xFFFF : 0xFFFFFF; }

Result RefMode(int depth, int mode, uint32_t parameter, uint32_t s, uint32_t d, RefInverse& inverse,
               const CSharedPalette* palette) {
    switch (mode) {
        case 0: return Write(s);
        case 2: return Write(s ^ InvertMask(depth));
        case 3: return Write(s ^ d);
        case 4: return Write(s & d);
        case 5: return Write(s | d);
        case 8: return Write(d & ~s);
        case 1:
        case 6: {
            int a = mode == 1 ? static_cast<int32_t>(parameter) : static_cast<int>(parameter >> 24);
            a = std::clamp(a, 0, 128);
            const uint32_t dc = mode == 6 && d == 0 ? parameter & 0xFFFFFF : RefColour(depth, d, palette);
            const uint32_t c = RefBlend(RefColour(depth, s, palette), dc, a);
            return Write(depth == 8 ? inverse.Cell(c) : RefPixel(depth, c));
        }
        default: return kSkip;
    }
}

struct ModeCase {
    int mode;
    uint32_t parameter;
};
// Weights above 128 and below 0 are clamped; mode 6 takes a from the top byte.
const ModeCase kModeCases[] = {
    {0, 0},   {1, 0},           {1, 64},          {1, 100},         {1, 128},         {1, 200},
    {1, 0xFFFFFFFDu}, {2, 0}, {3, 0}, {4, 0}, {5, 0}, {6, 0x40C08020u}, {6, 0xFF2050F0u}, {6, 0x00000000u},
    {7, 0}, {8, 0},
};

uint32_t TW_PIXEL_CALLBACK Mix(uint32_t destination, uint32_t source, uint32_t user) {
    return ((destination & 0x00FF00FF) | (source & 0x0000FF00)) ^ user;
}

}  // namespace

TEST(PixelRoutines, FifteenAndSixteenBitTablesShareTheLayoutFreeEntries) {
    const PixelRoutineTable& a = GetPixelRoutines(1);
    const PixelRoutineTable& b = GetPixelRoutines(2);
    EXPECT_EQ(a.copyTransparent, b.copyTransparent);
    EXPECT_EQ(a.copyTransparentMode, b.copyTransparentMode);
    EXPECT_EQ(a.copyMode, b.copyMode);
    EXPECT_EQ(a.mirrorRows, b.mirrorRows);
    EXPECT_EQ(a.replaceColour, b.replaceColour);
    EXPECT_EQ(a.convertFrom, b.convertFrom);
    EXPECT_NE(a.putPixel, b.putPixel);
    EXPECT_NE(a.getPixel, b.getPixel);
    for (int f = 0; f < 5; ++f) EXPECT_EQ(GetPixelRoutines(f).copy, &CopyRows);
    for (int f = 0; f < 5; ++f) {
        EXPECT_EQ(FormatIndexOfDepth(DepthOfFormatIndex(f)), f);
    }
    EXPECT_EQ(FormatIndexOfDepth(1), 0);
    EXPECT_EQ(FormatIndexOfDepth(12), 1);
    EXPECT_EQ(FormatIndexOfDepth(20), 3);
    EXPECT_EQ(FormatIndexOfDepth(25), 4);
}

TEST(PixelRoutines, CopyAndTransparentCopy) {
    for (int f = 0; f < 5; ++f) {
        SCOPED_TRACE("depth " + std::to_string(kDepths[f]));
        const PixelRoutineTable& t = GetPixelRoutines(f);
        CheckAreas(f, f, [&](PixelDescriptor* d, const PixelDescriptor* s, int w) { t.copy(d, 1, 1, s, 2, 0, w, 3); },
                   [](uint32_t s, uint32_t, RefInverse&, const CSharedPalette*) { return Write(s); });
        CheckAreas(
            f, f, [&](PixelDescriptor* d, const PixelDescriptor* s, int w) { t.copyTransparent(d, 1, 1, s, 2, 0, w, 3); },
            [](uint32_t s, uint32_t, RefInverse&, const CSharedPalette*) { return s == 0 ? kSkip : Write(s); });
    }
}

// Plain copies change method with the row length (blocks of 64 and 16 bytes,
// a short tail, the library copy for long rows): rows on both sides of each
// step, at odd byte offsets, copy exactly and touch nothing else.
TEST(PixelRoutines, CopiesRowsOfEveryLengthClass) {
    for (int bytes : {1, 15, 16, 17, 63, 64, 65, 80, 127, 129, 1023, 1024, 1025, 3000}) {
        SCOPED_TRACE(std::to_string(bytes) + " bytes per row");
        std::mt19937 rng(bytes);
        Surface dst(0, bytes + 4, 4, bytes % 2, nullptr, rng);
        const Surface src(0, bytes + 3, 3, false, nullptr, rng);
        Surface expected = dst;
        for (int y = 0; y < 3; ++y)
            for (int x = 0; x < bytes; ++x) expected.Set(3 + x, 1 + y, src.Get(1 + x, y));
        CopyRows(&dst.d, 3, 1, &src.d, 1, 0, bytes, 3);
        EXPECT_SAME_MEMORY(dst, expected);
    }
}

TEST(PixelRoutines, ModeCopiesEveryModeAtEveryDepth) {
    for (int f = 0; f < 5; ++f) {
        const PixelRoutineTable& t = GetPixelRoutines(f);
        const int depth = kDepths[f];
        for (const ModeCase& m : kModeCases) {
            SCOPED_TRACE("depth " + std::to_string(depth) + ", mode " + std::to_string(m.mode) + ", parameter " +
                         std::to_string(m.parameter));
            CheckAreas(
                f, f,
                [&](PixelDescriptor* d, const PixelDescriptor* s, int w) {
                    t.copyMode(d, 1, 1, s, 2, 0, w, 3, m.mode, m.parameter);
                },
                [&](uint32_t s, uint32_t d, RefInverse& inv, const CSharedPalette* p) {
                    return RefMode(depth, m.mode, m.parameter, s, d, inv, p);
                });
            CheckAreas(
                f, f,
                [&](PixelDescriptor* d, const PixelDescriptor* s, int w) {
                    t.copyTransparentMode(d, 1, 1, s, 2, 0, w, 3, m.mode, m.parameter);
                },
                [&](uint32_t s, uint32_t d, RefInverse& inv, const CSharedPalette* p) {
                    return s == 0 ? kSkip : RefMode(depth, m.mode, m.parameter, s, d, inv, p);
                });
        }
    }
}

// The 32-bit blends run four pixels at a time: every weight, rows of several
// groups plus a tail, channels at the ends of their range (where a product or
// a rounding step would overflow or round the other way) and zero pixels in
// both surfaces (the transparent skip, mode 6's colour).
TEST(PixelRoutines, ThirtyTwoBitBlendsFollowTheRuleAtEveryWeight) {
    const PixelRoutineTable& t = GetPixelRoutines(4);
    const uint8_t extremes[] = {0, 1, 2, 126, 127, 128, 129, 253, 254, 255};
    constexpr int kWidth = 23, kHeight = 2;
    std::mt19937 rng(4040);
    CSharedPalette* palette = RandomPalette(rng);  // unused at 32 bits; the reference wants one
    RefInverse unused(palette, false);
    const auto pixel = [&] {
        if (rng() % 6 == 0) return 0u;
        uint32_t v = (rng() & 0xFF) << 24;
        for (int k = 0; k < 3; ++k) {
            const uint32_t c = rng() % 2 ? extremes[rng() % 10] : rng() & 0xFF;
            v |= c << (8 * k);
        }
        return v;
    };
    for (int a = 0; a <= 128; ++a) {
        for (int mode : {1, 6}) {
            for (int transparent = 0; transparent < 2; ++transparent) {
                SCOPED_TRACE("a " + std::to_string(a) + ", mode " + std::to_string(mode) +
                             (transparent ? ", transparent" : ""));
                const uint32_t parameter =
                    mode == 1 ? static_cast<uint32_t>(a) : static_cast<uint32_t>(a) << 24 | (rng() & 0xFFFFFF);
                Surface dst(4, kWidth + 1, kHeight, a % 2, nullptr, rng);
                Surface src(4, kWidth + 2, kHeight, transparent, nullptr, rng);
                for (int y = 0; y < kHeight; ++y)
                    for (int x = 0; x < kWidth + 2; ++x) {
                        src.Set(x, y, pixel());
                        if (x <= kWidth) dst.Set(x, y, pixel());
                    }
                Surface expected = dst;
                for (int y = 0; y < kHeight; ++y)
                    for (int x = 0; x < kWidth; ++x) {
                        const uint32_t s = src.Get(x + 2, y);
                        if (transparent && s == 0) continue;
                        expected.Set(x + 1, y, RefMode(32, mode, parameter, s, expected.Get(x + 1, y), unused, nullptr).value);
                    }
                (transparent ? t.copyTransparentMode : t.copyMode)(&dst.d, 1, 0, &src.d, 2, 0, kWidth, kHeight, mode,
                                                                   parameter);
                EXPECT_SAME_MEMORY(dst, expected);
            }
        }
    }
    CSharedPalette::Release(palette);
}

TEST(PixelRoutines, CallbackCopiesPassLibraryColours) {
    const uint32_t user = 0x5A102030;
    for (int f = 0; f < 5; ++f) {
        SCOPED_TRACE("depth " + std::to_string(kDepths[f]));
        const PixelRoutineTable& t = GetPixelRoutines(f);
        const int depth = kDepths[f];
        auto ref = [&](uint32_t s, uint32_t d, RefInverse& inv, const CSharedPalette* p) {
            const uint32_t c = Mix(RefColour(depth, d, p), RefColour(depth, s, p), user);
            return Write(depth == 8 ? inv.Cell(c) : RefPixel(depth, c));
        };
        CheckAreas(
            f, f, [&](PixelDescriptor* d, const PixelDescriptor* s, int w) { t.copyCallback(d, 1, 1, s, 2, 0, w, 3, Mix, user); },
            ref);
        CheckAreas(
            f, f,
            [&](PixelDescriptor* d, const PixelDescriptor* s, int w) {
                t.copyTransparentCallback(d, 1, 1, s, 2, 0, w, 3, Mix, user);
            },
            [&](uint32_t s, uint32_t d, RefInverse& inv, const CSharedPalette* p) {
                return s == 0 ? kSkip : ref(s, d, inv, p);
            });
    }
}

TEST(PixelRoutines, ConversionsBetweenEveryPairOfFormats) {
    for (int sf = 0; sf < 5; ++sf) {
        for (int df = 0; df < 5; ++df) {
            const int from = kDepths[sf], to = kDepths[df];
            SCOPED_TRACE(std::to_string(from) + " -> " + std::to_string(to) + " bits");
            CheckAreas(
                df, sf,
                [&](PixelDescriptor* d, const PixelDescriptor* s, int w) {
                    GetPixelRoutines(sf).convertFrom(d, 1, 1, w * d->bytesPerPixel, s, 2, 0, w, 3);
                },
                [&](uint32_t s, uint32_t, RefInverse& inv, const CSharedPalette* p) {
                    if (from == to) return Write(s);
                    const uint32_t colour = RefColour(from, s, p);
                    if (to == 8) return Write(inv.Nearest(colour));
                    const uint32_t v = RefPixel(to, colour);
                    if ((to == 15 || to == 16) && from != 8 && v == 0 && s != 0) return Write(1);
                    return Write(v);
                });
        }
    }
}

TEST(PixelRoutines, FillMirrorAndReplace) {
    for (int f = 0; f < 5; ++f) {
        const int depth = kDepths[f];
        SCOPED_TRACE("depth " + std::to_string(depth));
        const PixelRoutineTable& t = GetPixelRoutines(f);
        const uint32_t colour = 0xAB123456;
        const uint32_t value = depth == 8 ? 0xA7 : RefPixel(depth, colour);  // 32 bits: fourth byte 0
        CheckOneSurface(
            f, [&](PixelDescriptor* d, int w) { t.fill(d, 1, 1, d->rowStep, w, 3, depth == 8 ? 0x1234A7 : colour); },
            [&](Surface& e, int w) {
                for (int j = 0; j < 3; ++j)
                    for (int i = 0; i < w; ++i) e.Set(1 + i, 1 + j, value);
            });
        CheckOneSurface(f, [&](PixelDescriptor* d, int w) { t.mirrorRows(d, 1, 1, d->rowStep, w, 3); },
                        [&](Surface& e, int w) {
                            for (int j = 0; j < 3; ++j)
                                for (int i = 0; i < w / 2; ++i) {
                                    const uint32_t a = e.Get(1 + i, 1 + j), b = e.Get(w - i, 1 + j);
                                    e.Set(1 + i, 1 + j, b);
                                    e.Set(w - i, 1 + j, a);
                                }
                        });
        // Replace on a surface of few values, so that many pixels match; the
        // 32-bit fourth byte is random and must not take part in the match.
        for (int bottomUp = 0; bottomUp < 2; ++bottomUp) {
            std::mt19937 rng(5 * f + bottomUp);
            CSharedPalette* palette = RandomPalette(rng);
            Surface s(f, 12, 4, bottomUp, palette, rng);
            const uint32_t values[3] = {0, RefPixel(depth, 0x204060), RefPixel(depth, 0xF0F0F0)};
            for (int y = 0; y < 4; ++y)
                for (int x = 0; x < 12; ++x) {
                    uint32_t v = depth == 8 ? (rng() % 3) * 7 : values[rng() % 3];
                    if (depth == 32) v |= (rng() & 0xFF) << 24;
                    s.Set(x, y, v);
                }
            const uint32_t oldValue = depth == 8 ? 7 : 0x204060, newValue = depth == 8 ? 200 : 0x00C0C0C0;
            Surface expected = s;
            for (int y = 1; y < 4; ++y)
                for (int x = 2; x < 11; ++x) {
                    const uint32_t p = expected.Get(x, y) & (depth == 32 ? 0xFFFFFF : 0xFFFFFFFF);
                    if (depth == 8 && p == oldValue) expected.Set(x, y, newValue);
                    if (depth > 8 && p == RefPixel(depth, oldValue)) expected.Set(x, y, RefPixel(depth, newValue));
                }
            t.replaceColour(&s.d, 2, 1, 9, 3, 9 * s.d.bytesPerPixel, newValue, oldValue);
            EXPECT_SAME_MEMORY(s, expected);
            CSharedPalette::Release(palette);
        }
    }
}

TEST(PixelRoutines, PutAndGetSinglePixels) {
    for (int f = 0; f < 5; ++f) {
        const int depth = kDepths[f];
        SCOPED_TRACE("depth " + std::to_string(depth));
        const PixelRoutineTable& t = GetPixelRoutines(f);
        for (int bottomUp = 0; bottomUp < 2; ++bottomUp) {
            std::mt19937 rng(31 * f + bottomUp);
            CSharedPalette* palette = RandomPalette(rng);
            Surface s(f, 9, 3, bottomUp, palette, rng);
            Surface expected = s;
            for (int y = 0; y < 3; ++y)
                for (int x = 0; x < 9; ++x) {
                    const uint32_t p = s.Get(x, y);
                    EXPECT_EQ(t.getPixel(&s.d, x, y), depth == 8 ? p : RefColour(depth, p, nullptr)) << x << "," << y;
                    // 8 bits: every other colour is an index with bit 24 set;
                    // the top byte of a colour plays no part otherwise.
                    uint32_t colour = rng();
                    if (depth == 8 && x % 2) colour |= kColourIsIndex;
                    if (depth == 8 && !(x % 2)) colour &= ~kColourIsIndex;
                    t.putPixel(&s.d, x, y, colour);
                    uint32_t v;
                    if (depth != 8)
                        v = RefPixel(depth, colour);
                    else if (colour & kColourIsIndex)
                        v = colour & 0xFF;
                    else
                        v = RefNearest(palette->entries, 256, colour);
                    expected.Set(x, y, v);
                }
            EXPECT_SAME_MEMORY(s, expected);
            CSharedPalette::Release(palette);
        }
    }
}

// Single pixels whose results the formats' rules fix; each row one case.
TEST(PixelRoutines, KnownPixels) {
    struct Case {
        const char* what;
        int destination, source;  // format indices
        int entry;                // 6 mode copy, 11 conversion
        int mode;
        uint32_t parameter, s, d, expected;
    };
    const Case cases[] = {
        {"32-bit blue 7 converts to 15-bit 1, not transparent", 1, 4, 11, 0, 0, 0x00000007, 0x5555, 1},
        {"24-bit red 4 converts to 16-bit 1", 2, 3, 11, 0, 0, 0x040000, 0x5555, 1},
        {"15-bit white widens to 16 bits", 2, 1, 11, 0, 0, 0x7FFF, 0, 0xFFDF},
        {"16-bit red widens to 24 bits", 3, 2, 11, 0, 0, 0xF800, 0, 0xF80000},
        {"24 to 32 bits clears the fourth byte", 4, 3, 11, 0, 0, 0x123456, 0xFFFFFFFF, 0x00123456},
        {"32 to 24 bits drops the fourth byte", 3, 4, 11, 0, 0, 0xAB123456, 0, 0x123456},
        {"mode 1, a = 64, black over white at 16 bits", 2, 2, 6, 1, 64, 0x0000, 0xFFFF, 0x7BEF},
        {"mode 1, a = 0 copies the source (fourth byte 0)", 4, 4, 6, 1, 0, 0x77123456, 0x00ABCDEF, 0x00123456},
        {"mode 1, a = 200 is clamped to 128: destination kept", 4, 4, 6, 1, 200, 0x00FF00FF, 0x0000FF00, 0x0000FF00},
        {"mode 6 at 16 bits: destination 0 counts as c (red)", 2, 2, 6, 6, 0x400000FF, 0x0000, 0x0000, 0x7800},
        {"mode 6 at 24 bits: c's red lands in the third byte", 3, 3, 6, 6, 0x400000FF, 0x000000, 0x000000, 0x7F0000},
        {"mode 6 with a non-zero destination blends with it", 3, 3, 6, 6, 0x400000FF, 0x000000, 0x0000FE, 0x00007F},
        {"mode 2 at 8 bits", 0, 0, 6, 2, 0, 0x12, 0, 0xED},
        {"mode 2 at 15 bits", 1, 1, 6, 2, 0, 0x1234, 0, 0xEDCB},
        {"mode 2 at 16 bits", 2, 2, 6, 2, 0, 0x1234, 0, 0xEDCB},
        {"mode 2 at 24 bits", 3, 3, 6, 2, 0, 0x123456, 0, 0xEDCBA9},
        {"mode 2 at 32 bits keeps the fourth byte", 4, 4, 6, 2, 0, 0xAB123456, 0, 0xABEDCBA9},
        {"mode 8: d AND NOT s", 2, 2, 6, 8, 0, 0x00FF, 0x0F0F, 0x0F00},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        std::mt19937 rng(3);
        Surface dst(c.destination, 1, 1, false, nullptr, rng), src(c.source, 1, 1, false, nullptr, rng);
        dst.Set(0, 0, c.d);
        src.Set(0, 0, c.s);
        if (c.entry == 6)
            dst.d.routines->copyMode(&dst.d, 0, 0, &src.d, 0, 0, 1, 1, c.mode, c.parameter);
        else
            src.d.routines->convertFrom(&dst.d, 0, 0, dst.d.bytesPerPixel, &src.d, 0, 0, 1, 1);
        EXPECT_EQ(dst.Get(0, 0), c.expected);
    }
}

TEST(PixelRoutines, OddWidthMirrorKeepsTheMiddlePixel) {
    std::mt19937 rng(9);
    Surface s(3, 3, 1, false, nullptr, rng);
    s.Set(0, 0, 0x010203), s.Set(1, 0, 0x040506), s.Set(2, 0, 0x070809);
    s.d.routines->mirrorRows(&s.d, 0, 0, s.d.rowStep, 3, 1);
    EXPECT_EQ(s.Get(0, 0), 0x070809u);
    EXPECT_EQ(s.Get(1, 0), 0x040506u);
    EXPECT_EQ(s.Get(2, 0), 0x010203u);
}

TEST(PixelRoutines, EightBitBlendFillsTheInverseTableOnceAndGivesTheSameIndexAgain) {
    std::mt19937 rng(12);
    CSharedPalette* palette = RandomPalette(rng);
    ASSERT_EQ(palette->inverseTable, nullptr);
    Surface dst(0, 9, 3, false, palette, rng, 0);
    const Surface src(0, 9, 3, true, palette, rng, 0);
    Surface again = dst;
    dst.d.routines->copyMode(&dst.d, 0, 0, &src.d, 0, 0, 9, 3, 1, 50);
    ASSERT_NE(palette->inverseTable, nullptr);
    const uint8_t* table = palette->inverseTable;
    // Every blended colour's cell now holds the index written for it.
    for (int y = 0; y < 3; ++y)
        for (int x = 0; x < 9; ++x) {
            const uint32_t c = RefBlend(RefColour(8, src.Get(x, y), palette), RefColour(8, again.Get(x, y), palette), 50);
            EXPECT_EQ(table[ColourKey15(c)], dst.Get(x, y));
        }
    again.d.routines->copyMode(&again.d, 0, 0, &src.d, 0, 0, 9, 3, 1, 50);
    EXPECT_EQ(palette->inverseTable, table);
    EXPECT_SAME_MEMORY(again, dst);
    CSharedPalette::Release(palette);
}

TEST(PixelRoutines, EightBitBlendsSearchThePaletteWhenTheInverseTableCannotBeMade) {
    for (int mode : {1, 6}) {
        SCOPED_TRACE("mode " + std::to_string(mode));
        const uint32_t parameter = mode == 1 ? 70 : 0x46102030;
        CheckAreas(
            0, 0,
            [&](PixelDescriptor* d, const PixelDescriptor* s, int w) {
                tw::testing::SetAllocFailures(1000);
                d->routines->copyMode(d, 1, 1, s, 2, 0, w, 3, mode, parameter);
                tw::testing::SetAllocFailures(0);
                EXPECT_EQ(d->palette->inverseTable, nullptr);
            },
            [&](uint32_t s, uint32_t d, RefInverse& inv, const CSharedPalette* p) {
                return RefMode(8, mode, parameter, s, d, inv, p);
            },
            false);
    }
}
