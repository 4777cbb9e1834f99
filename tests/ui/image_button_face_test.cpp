// The image of an image button on its face: shrunk keeping the aspect,
// never enlarged, centred, shifted while pushed, nothing on an empty face;
// drawn transparently, or greyed, inside the face only.
#include "ui/image_button_face.h"

#include "tests/graphics2d/surface_test_support.h"

#include <gtest/gtest.h>
#include <string>

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

// Faces of 32-bit memory surfaces drawn with a 3 × 2 image whose middle
// column is transparent; each row of the expected picture is a string of
// '.' (face), 'A'/'B' (the image's colours), 'h' and 's' (highlight, shadow).
class FaceDrawing : public SurfaceClientTest {
protected:
    static constexpr uint32_t kFace = 0x808080, kA = 0x0000FF, kB = 0x00FF00, kHigh = 0xFFFFFF, kShadow = 0x404040;
    void SetUp() override {
        SurfaceClientTest::SetUp();
        ASSERT_TRUE(MakeMemory(&m_image, 32, 3, 2));
        m_image.Clear(0);
        m_image.FillRect(0, 0, 1, 2, kA);
        m_image.FillRect(2, 0, 1, 2, kB);
    }
    std::string Draw(int32_t width, int32_t height, const CRect& face, bool shifted, bool greyed) {
        CSurface target;
        if (!MakeMemory(&target, 32, width, height))
            return "no surface";
        target.Clear(kFace);
        if (!DrawImageOnFace(&target, face, &m_image, shifted, greyed, kHigh, kShadow))
            return "not drawn";
        std::string rows;
        for (int32_t y = 0; y < height; ++y) {
            for (int32_t x = 0; x < width; ++x) {
                uint32_t c = 0;
                target.PixelAt(x, y, &c);
                rows += c == kFace ? '.' : c == kA ? 'A' : c == kB ? 'B' : c == kHigh ? 'h' : c == kShadow ? 's' : '?';
            }
            rows += '|';
        }
        return rows;
    }
    CSurface m_image;
};

TEST_F(FaceDrawing, TransparentShiftedAndGreyed) {
    // Centred on a 5 × 4 face at 0, 0; the transparent column shows the face.
    EXPECT_EQ(Draw(5, 4, CRect(0, 0, 5, 4), false, false), ".....|.A.B.|.A.B.|.....|");
    // Pushed: one right and down.
    EXPECT_EQ(Draw(5, 4, CRect(0, 0, 5, 4), true, false), ".....|.....|..A.B|..A.B|");
    // Greyed: shadow on the opaque pixels, highlight right and down of them.
    EXPECT_EQ(Draw(5, 4, CRect(0, 0, 5, 4), false, true), ".....|.s.s.|.shsh|..h.h|");
}

TEST_F(FaceDrawing, NothingOutsideTheFace) {
    // The face fills columns 1 to 3 exactly: the pushed image and the greyed
    // highlight are cut at its edge, the frame column 4 and row 3 stay.
    EXPECT_EQ(Draw(5, 4, CRect(1, 1, 4, 3), true, false), ".....|.....|..A..|.....|");
    EXPECT_EQ(Draw(5, 4, CRect(1, 1, 4, 3), false, true), ".....|.s.s.|.shs.|.....|");
    // Shrunk: a 2 × 1 face holds the 3 × 2 image at 2 × 1 (divisor 1.5).
    EXPECT_NE(Draw(4, 3, CRect(1, 1, 3, 2), false, false), "not drawn");
    // An empty face draws nothing.
    EXPECT_EQ(Draw(4, 3, CRect(1, 1, 1, 2), false, false), "not drawn");
}

}  // namespace

