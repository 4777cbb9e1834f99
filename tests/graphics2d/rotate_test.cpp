// The rotated blit at every depth: the blit and mirror angles, exact quarter
// turns, the background around the picture, the bilinear sampler's edges,
// and refusals.
#include "surface_cases.h"

namespace {

class RotateTest : public SurfaceCaseTest {};

TEST_P(RotateTest, ZeroIsABlitAndHalfATurnIsBothMirrors) {
    CSurfaceImpl* src = Make(7, 5);
    Pattern(src, 21);
    CSurfaceImpl* turned = Make(7, 5);
    ASSERT_EQ(src->RotateBlit(turned, 0, 0, 0), 1);
    EXPECT_EQ(RawPixels(turned), RawPixels(src));
    ASSERT_EQ(src->RotateBlit(turned, 180, 0, 0), 1);
    for (int32_t y = 0; y < 5; ++y)
        for (int32_t x = 0; x < 7; ++x) ASSERT_EQ(Raw(turned, x, y), Raw(src, 6 - x, 4 - y)) << x << "," << y;
    // 360 goes through cosine and sine and still lands on every pixel.
    CSurfaceImpl* full = Make(7, 5);
    ASSERT_EQ(src->RotateBlit(full, 360, 0, 0), 1);
    EXPECT_EQ(RawPixels(full), RawPixels(src));
}

// A quarter turn is counter-clockwise on screen: destination (c, r) shows
// source (w - 1 - r, c) at 90 and (r, h - 1 - c) at 270, every source pixel
// kept (pixel centres map onto pixel centres).
TEST_P(RotateTest, QuarterTurnsMapColumnsToRowsExactly) {
    for (int32_t size : {1, 2, 5, 8}) {
        CSurfaceImpl* src = Make(size + 3, size);
        Pattern(src, 22);
        const int32_t w = src->width, h = src->height;
        CSurfaceImpl* left = Make(h, w);
        CSurfaceImpl* right = Make(h, w);
        CSurfaceImpl* viaSine = Make(h, w);
        ASSERT_EQ(src->RotateBlit(left, 90, 0, 0), 1);
        ASSERT_EQ(src->RotateBlit(right, 270, 0, 0), 1);
        ASSERT_EQ(src->RotateBlit(viaSine, -90, 0, 0), 1);
        for (int32_t r = 0; r < w; ++r)
            for (int32_t c = 0; c < h; ++c) {
                ASSERT_EQ(Raw(left, c, r), Raw(src, w - 1 - r, c)) << c << "," << r;
                ASSERT_EQ(Raw(right, c, r), Raw(src, r, h - 1 - c)) << c << "," << r;
            }
        EXPECT_EQ(RawPixels(viaSine), RawPixels(right)) << "-90 through cosine and sine";
    }
}

TEST_P(RotateTest, LargerDestinationShowsTheBackground) {
    CSurfaceImpl* src = Make(4, 4);
    Pattern(src, 23);
    for (int blend = 0; blend <= 1; ++blend) {
        CSurfaceImpl* dst = Make(10, 10);
        const uint32_t background = 0x4080C0;
        ASSERT_EQ(src->RotateBlit(dst, 90, blend, background), 1);
        for (int32_t y = 0; y < 10; ++y)
            for (int32_t x = 0; x < 10; ++x) {
                const bool picture = x >= 3 && x < 7 && y >= 3 && y < 7;
                if (picture)
                    ASSERT_EQ(ColourOf(dst, x, y), ColourOf(src, 3 - (y - 3), x - 3)) << x << "," << y;
                else
                    ASSERT_EQ(ColourOf(dst, x, y), Stored(src, background)) << x << "," << y;
            }
    }
}

// Uniform source, padding bytes of another colour: a bilinear blend at the
// last column or row that read past the picture would show it.
TEST_P(RotateTest, BilinearRepeatsTheLastColumnAndRow) {
    CSurfaceImpl* src = Make(3, 5);
    const uint32_t colour = 0x6080A0;
    src->FillRect(0, 0, 3, 5, colour);
    const uint32_t stored = ColourOf(src, 0, 0);
    for (int32_t y = 0; y < 5; ++y) {
        uint8_t* row = PixelAddress(src, 0, y);
        for (int32_t i = 3 * src->bytesPerPixel; i < src->pitch; ++i) row[i] = 0xFF;
    }
    for (int32_t angle : {30, 90, 135, 300}) {
        SCOPED_TRACE(angle);
        CSurfaceImpl* dst = Make(9, 9);
        ASSERT_EQ(src->RotateBlit(dst, angle, 1, 0x010203), 1);
        int inside = 0;
        for (int32_t y = 0; y < 9; ++y)
            for (int32_t x = 0; x < 9; ++x) {
                const uint32_t c = ColourOf(dst, x, y);
                if (c == Stored(src, 0x010203)) continue;
                ++inside;
                ASSERT_EQ(c, Stored(src, stored)) << x << "," << y;
            }
        EXPECT_GE(inside, 9);
    }
}

// Positions just left of or above the source truncate to 0 with weights
// outside 0..1: the blend is clamped to 0..255 instead of wrapping. A bright
// first column beside grey ones overshoots there.
TEST_P(RotateTest, BilinearClampsChannelsThatOvershoot) {
    CSurfaceImpl* src = Make(5, 6);
    src->FillRect(0, 0, 5, 6, 0x646464);
    src->FillRect(0, 0, 1, 6, 0xDCDCDC);
    src->FillRect(0, 0, 5, 1, 0xDCDCDC);
    const uint32_t background = 0x010203;
    for (int32_t angle : {10, 30, 45, 200, 330}) {
        SCOPED_TRACE(angle);
        CSurfaceImpl* dst = Make(11, 11);
        ASSERT_EQ(src->RotateBlit(dst, angle, 1, background), 1);
        for (int32_t y = 0; y < 11; ++y)
            for (int32_t x = 0; x < 11; ++x) {
                const uint32_t c = ColourOf(dst, x, y);
                if (c == Stored(src, background)) continue;
                for (int shift = 0; shift < 24; shift += 8)
                    ASSERT_GE((c >> shift) & 0xFF, 0x50u) << x << "," << y << " colour " << std::hex << c;
            }
    }
}

TEST_P(RotateTest, AnotherDepthIsRefusedAndUntouched) {
    CSurfaceImpl* src = Make(4, 4);
    Pattern(src, 24);
    CSurfaceImpl* other = Make(4, 4, Depth() == 16 ? 15 : 16);
    Pattern(other, 25);
    const std::vector<uint32_t> before = RawPixels(other);
    EXPECT_EQ(src->RotateBlit(other, 45, 0, 0), 0);
    EXPECT_EQ(src->RotateBlit(other, 90, 1, 0), 0);
    EXPECT_EQ(src->RotateBlit(nullptr, 30, 0, 0), 0);
    EXPECT_EQ(RawPixels(other), before);
}

// RotateCopy makes the rotated size and fills it through the same body.
TEST_P(RotateTest, RotateCopyDrawsTheTurnedPicture) {
    CSurface source, turned;
    const CSurface* holder = nullptr;
    SelectPixelFormat(&holder, Depth(), kPlaceMemory, 0);
    ASSERT_TRUE(source.Create(6, 3, holder));
    CSurfaceImpl* src = source.GetImpl();
    Pattern(src, 26);
    ASSERT_EQ(source.RotateCopy(&turned, -270, 0, 0), 1);
    ASSERT_EQ(turned.GetWidth(), 3);
    ASSERT_EQ(turned.GetHeight(), 6);
    for (int32_t r = 0; r < 6; ++r)
        for (int32_t c = 0; c < 3; ++c) ASSERT_EQ(Raw(turned.GetImpl(), c, r), Raw(src, 5 - r, c));
}

TW_SURFACE_CASES_ON_EVERY_FACTORY(RotateTest);

}  // namespace
