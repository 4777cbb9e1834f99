// A sprite's arithmetic: boxes under scale and rotation, transformed sizes,
// semi-transparency levels and speed-scaled frame times.
#include "graphics2d/sprite_geometry.h"
#include "graphics2d/surface.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <ostream>
#include <string>

// Rectangles compared and printed whole.
static bool operator==(const CRect& a, const CRect& b) {
    return a.left == b.left && a.top == b.top && a.right == b.right && a.bottom == b.bottom;
}
static void PrintTo(const CRect& r, std::ostream* os) {
    *os << "(" << r.left << ", " << r.top << ", " << r.right << ", " << r.bottom << ")";
}

namespace {

TEST(SpriteGeometry, UnturnedBoxesScaleSizeAndHotSpot) {
    const struct {
        int32_t x, y, w, h, hx, hy;
        float sx, sy;
        CRect box;
    } cases[] = {
        {10, 20, 8, 6, 0, 0, 1.0f, 1.0f, CRect(10, 20, 18, 26)},
        {10, 20, 8, 6, 3, 2, 1.0f, 1.0f, CRect(7, 18, 15, 24)},
        {10, 20, 8, 6, 3, 2, 2.0f, 0.5f, CRect(4, 19, 20, 22)},
        {0, 0, 5, 5, 0, 0, 1.5f, 1.5f, CRect(0, 0, 8, 8)},   // 7.5 rounds up
        {0, 0, 5, 5, -2, 0, 1.0f, 1.0f, CRect(2, 0, 7, 5)},  // hot spot left of the image
        {0, 0, 5, 5, 0, 0, 0.0f, -1.0f, CRect(0, 0, 0, 0)},
    };
    for (const auto& c : cases)
        EXPECT_EQ(SpriteBox(c.x, c.y, c.w, c.h, c.hx, c.hy, c.sx, c.sy, 0), c.box)
            << c.x << "," << c.y << " " << c.w << "x" << c.h << " scale " << c.sx << "," << c.sy;
}

TEST(SpriteGeometry, TurnedBoxesHaveTheTransformedCopysSize) {
    for (int32_t angle : {1, 30, 45, 90, 135, 180, 200, 270, 359})
        for (float scale : {1.0f, 0.5f, 2.5f}) {
            const CRect box = SpriteBox(100, 50, 17, 9, 4, 3, scale, scale * 1.5f, angle);
            int32_t w = 0, h = 0;
            ASSERT_TRUE(TransformedSize(17, 9, scale, scale * 1.5f, angle, &w, &h));
            EXPECT_EQ(box.Width(), w) << angle << " " << scale;
            EXPECT_EQ(box.Height(), h) << angle << " " << scale;
        }
    // A quarter turn about the hot spot: the right of the image goes up.
    EXPECT_EQ(SpriteBox(0, 0, 4, 2, 0, 0, 1.0f, 1.0f, 90), CRect(0, -3, 2, 1));
    EXPECT_EQ(SpriteBox(0, 0, 4, 2, 0, 0, 1.0f, 1.0f, 180), CRect(-3, -1, 1, 1));
}

TEST(SpriteGeometry, HugeScalesStayInRangeAndMakeNoCopy) {
    for (int32_t angle : {0, 33}) {
        const CRect box = SpriteBox(0, 0, 64, 64, 32, 32, 1e9f, 1e9f, angle);
        // Clamped far inside 32 bits: widths and unions cannot overflow.
        for (int32_t v : {box.left, box.top, box.right, box.bottom}) EXPECT_LT(std::abs(v), 1 << 26) << angle;
        EXPECT_GT(box.Width(), 0);
        EXPECT_GT(box.Height(), 0);
        int32_t w, h;
        EXPECT_FALSE(TransformedSize(64, 64, 1e9f, 1e9f, angle, &w, &h));
    }
    int32_t w, h;
    EXPECT_FALSE(TransformedSize(64, 64, 0.001f, 1.0f, 0, &w, &h));  // nothing left to draw
}

TEST(SpriteGeometry, SemiTransparencyLevels) {
    EXPECT_EQ(StoredSemiLevel(0, false), 0);  // omitted: the effect goes off
    EXPECT_EQ(StoredSemiLevel(300, true), 128);
    EXPECT_EQ(StoredSemiLevel(-5, true), 128);
    EXPECT_EQ(StoredSemiLevel(1, true), 1);
    EXPECT_EQ(StoredSemiLevel(0, true), 0);
    EXPECT_EQ(StoredSemiLevel(100, true), 50);
}

TEST(SpriteGeometry, SpeedFactorScalesFrameTimesIn64Bits) {
    EXPECT_EQ(SpeedScaledDelay(100, 100), 100);
    EXPECT_EQ(SpeedScaledDelay(100, 50), 200);  // half speed: twice the time
    EXPECT_EQ(SpeedScaledDelay(100, 300), 33);
    EXPECT_EQ(SpeedScaledDelay(0, 100), 1);
    EXPECT_EQ(SpeedScaledDelay(1, 1000), 1);
    EXPECT_EQ(SpeedScaledDelay(50000000, 50), 100000000);  // × 100 passes 32 bits
    EXPECT_EQ(SpeedScaledDelay(2000000000, 1), INT32_MAX);
}

// Lists boxes for tests/graphics2d/sprite_box_crosscheck.py, which computes
// them again from the four corners (runs only when that script sets the file).
TEST(SpriteGeometry, WritesBoxesForTheOutsideCheck) {
    const char* file = std::getenv("TW_SPRITE_BOXES_FILE");
    if (!file)
        GTEST_SKIP() << "run by sprite_box_crosscheck.py";
    std::ofstream out(file);
    const float scales[] = {1.0f, 0.75f, 1.5f, 3.0f};
    for (int32_t angle = 0; angle < 360; angle += 7)
        for (float sx : scales)
            for (int32_t hx : {0, 5, 19}) {
                const float sy = sx == 1.0f ? 1.0f : sx * 1.25f;
                const CRect b = SpriteBox(40, -7, 20, 11, hx, 3, sx, sy, angle);
                out << 40 << ' ' << -7 << ' ' << 20 << ' ' << 11 << ' ' << hx << ' ' << 3 << ' ' << sx << ' ' << sy
                    << ' ' << angle << ' ' << b.left << ' ' << b.top << ' ' << b.right << ' ' << b.bottom << '\n';
            }
}

}  // namespace
