// The image of an image button on its face: shrunk keeping the aspect,
// never enlarged, centred, shifted while pushed, nothing on an empty face.
#include "ui/image_button_face.h"

#include <gtest/gtest.h>

namespace {

TEST(ImageButtonFace, ShrinksKeepingTheAspectAndCentres) {
    const struct {
        int32_t w, h;
        CRect face;
        bool shifted;
        CRect expected;
    } kCases[] = {
        {20, 10, CRect(0, 0, 40, 40), false, CRect(10, 15, 30, 25)},    // smaller: kept, centred
        {80, 40, CRect(0, 0, 40, 40), false, CRect(0, 10, 40, 30)},     // wider: halved
        {30, 90, CRect(2, 2, 32, 32), false, CRect(12, 2, 22, 32)},     // taller: a third
        {90, 27, CRect(3, 3, 33, 33), false, CRect(3, 13, 33, 22)},     // a third, off the origin
        {50, 25, CRect(0, 0, 30, 30), false, CRect(0, 7, 30, 22)},      // 25 / (50 / 30) = 15
        {20, 10, CRect(0, 0, 40, 40), true, CRect(11, 16, 31, 26)},     // pushed: one right and down
    };
    for (const auto& c : kCases) {
        CRect r;
        ASSERT_TRUE(ImageFaceRect(c.w, c.h, c.face, c.shifted, &r));
        EXPECT_EQ(r.left, c.expected.left) << c.w << "x" << c.h;
        EXPECT_EQ(r.top, c.expected.top) << c.w << "x" << c.h;
        EXPECT_EQ(r.right, c.expected.right) << c.w << "x" << c.h;
        EXPECT_EQ(r.bottom, c.expected.bottom) << c.w << "x" << c.h;
    }
}

TEST(ImageButtonFace, EmptyFaceOrImageDrawsNothing) {
    CRect r;
    EXPECT_FALSE(ImageFaceRect(20, 10, CRect(5, 5, 5, 30), false, &r));
    EXPECT_FALSE(ImageFaceRect(20, 10, CRect(5, 5, 30, 4), false, &r));
    EXPECT_FALSE(ImageFaceRect(0, 10, CRect(0, 0, 30, 30), false, &r));
}

}  // namespace
