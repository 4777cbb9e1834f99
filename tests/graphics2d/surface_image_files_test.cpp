// The surface's "LoadImage", "SaveImage" and "Rotate": placement rules, the
// depths files are written at, and what the saved bytes decode to.
#include "graphics2d/ci_surface.h"
#include "graphics2d/ci_surface_members.h"
#include "tests/graphics2d/image_test_support.h"
#include "tests/graphics2d/loaded_interpreter.h"

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

using imagetest::Bytes;

constexpr uint32_t kAutoSize = 0xABCD0040u;
constexpr uint32_t kPng = 0x20474E50u;
constexpr uint32_t kJpeg = 0x4745504Au;

// Script colour of pixel (x, y) of the test pictures.
uint32_t Colour(int32_t x, int32_t y) {
    return static_cast<uint32_t>(((37 * x + 11) & 255) << 16 | ((53 * y + 29) & 255) << 8 | ((17 * x + 23 * y + 5) & 255));
}

// A 24-bit BMP of Colour(x, y), written without the library's writer.
std::string WriteBmp(const std::string& name, int32_t w, int32_t h) {
    const int32_t pitch = (w * 3 + 3) / 4 * 4;
    Bytes rows(static_cast<size_t>(pitch) * h, 0);
    for (int32_t y = 0; y < h; ++y)
        for (int32_t x = 0; x < w; ++x) {
            const uint32_t c = Colour(x, y);
            uint8_t* p = &rows[static_cast<size_t>(h - 1 - y) * pitch + x * 3];
            p[0] = c & 255, p[1] = (c >> 8) & 255, p[2] = (c >> 16) & 255;
        }
    const std::string path = imagetest::ScratchFolder() + name;
    imagetest::WriteWholeFile(path, imagetest::MakeBmp(w, h, 24, 0, {}, rows));
    return path;
}

class SurfaceImageFilesTest : public LoadedInterpreterTest {
protected:
    void SetUp() override {
        LoadedInterpreterTest::SetUp();
        m_picture = WriteBmp("load6x4.bmp", 6, 4);
    }
    CISurface* NewSurface(int32_t w, int32_t h, int32_t depth = 32) {
        return dynamic_cast<CISurface*>(New(kClassSurface, {w, h, depth}));
    }
    std::string m_picture;
};

TEST_F(SurfaceImageFilesTest, LoadImagePlacesCentresStretchesOrResizes) {
    const char* name = m_picture.c_str();
#ifndef _WIN32
    // Larger than the surface, without AUTOSIZE: centred at (-1, -1), and the
    // whole surface is marked (marking needs an owner window; the Windows
    // build takes device contexts from it, so this check runs there with a
    // real window in win32/surface_present_test.cpp).
    CISurface* small = NewSurface(4, 2);
    int fakeWindow = 0;
    small->SetOwnerWindow(nullptr, &fakeWindow);
    const_cast<CDirtyRects&>(small->GetDirtyRects()).Clear();
    EXPECT_EQ(Int(small, kSurfaceLoadImage, {name}), 1);
    EXPECT_EQ(Int(small, kSurfaceGetPixel, {0, 0}), static_cast<int32_t>(Colour(1, 1)));
    EXPECT_EQ(Int(small, kSurfaceGetPixel, {3, 1}), static_cast<int32_t>(Colour(4, 2)));
    ASSERT_EQ(small->GetDirtyRects().GetCount(), 1);
    EXPECT_EQ(small->GetDirtyRects()[0], CRect(0, 0, 4, 2));
    small->SetOwnerWindow(nullptr, nullptr);
#endif
    // Without an owner the same placement.
    CISurface* unowned = NewSurface(4, 2);
    EXPECT_EQ(Int(unowned, kSurfaceLoadImage, {name}), 1);
    EXPECT_EQ(Int(unowned, kSurfaceGetPixel, {0, 0}), static_cast<int32_t>(Colour(1, 1)));
    EXPECT_EQ(Int(unowned, kSurfaceGetPixel, {3, 1}), static_cast<int32_t>(Colour(4, 2)));

    // AUTOSIZE without an owner window: the picture takes the image's size.
    CISurface* sized = NewSurface(4, 2);
    EXPECT_EQ(Int(sized, kSurfaceLoadImage, {name, kAutoSize}), 1);
    EXPECT_EQ(Int(sized, kSurfaceGetPixelWidth), 6);
    EXPECT_EQ(Int(sized, kSurfaceGetPixelHeight), 4);
    EXPECT_EQ(Int(sized, kSurfaceGetPixel, {5, 3}), static_cast<int32_t>(Colour(5, 3)));

    // With a point, AUTOSIZE is ignored; the point may be the cursor.
    CISurface* s = NewSurface(10, 8);
    EXPECT_EQ(Int(s, kSurfaceLoadImage, {name, 3, 2, kAutoSize}), 1);
    EXPECT_EQ(Int(s, kSurfaceGetPixelWidth), 10);
    EXPECT_EQ(Int(s, kSurfaceGetPixel, {3, 2}), static_cast<int32_t>(Colour(0, 0)));
    EXPECT_EQ(Int(s, kSurfaceGetPixel, {2, 2}), 0xFFFFFF);
    Call(s, kSurfaceMoveTo, {4, 4});
    EXPECT_EQ(Int(s, kSurfaceLoadImage, {name, CallArg::Omitted(), CallArg::Omitted()}), 1);
    EXPECT_EQ(Int(s, kSurfaceGetPixel, {9, 7}), static_cast<int32_t>(Colour(5, 3)));

    // With an area: stretched onto it (twice the size: pixel pairs).
    CISurface* big = NewSurface(12, 8);
    EXPECT_EQ(Int(big, kSurfaceLoadImage, {name, 0, 0, 12, 8}), 1);
    EXPECT_EQ(Int(big, kSurfaceGetPixel, {1, 1}), static_cast<int32_t>(Colour(0, 0)));
    EXPECT_EQ(Int(big, kSurfaceGetPixel, {11, 7}), static_cast<int32_t>(Colour(5, 3)));
}

TEST_F(SurfaceImageFilesTest, LoadAndSaveErrors) {
    CISurface* s = NewSurface(4, 4);
    const struct {
        int32_t member;
        std::initializer_list<CallArg> args;
        int32_t error;
    } cases[] = {
        {kSurfaceLoadImage, {}, 29},
        {kSurfaceLoadImage, {""}, 29},
        {kSurfaceLoadImage, {"no such picture.bmp"}, 9},
        {kSurfaceLoadImage, {m_picture.c_str(), 1}, 21},
        {kSurfaceLoadImage, {m_picture.c_str(), 1, 2, 3}, 21},
        {kSurfaceLoadImage, {m_picture.c_str(), 1, 2, 3, 4, 5}, 21},
        {kSurfaceSaveImage, {""}, 29},
        {kSurfaceSaveImage, {}, 29},
    };
    for (const auto& c : cases) EXPECT_EQ(ErrorOf(s, c.member, c.args), c.error) << c.member;
    // A flag word alone is no argument: the count stays 1.
    EXPECT_EQ(Int(s, kSurfaceLoadImage, {m_picture.c_str(), 0xABCD0010u}), 1);
    // Unknown formats and unreadable files answer 0.
    EXPECT_EQ(Int(s, kSurfaceSaveImage, {(imagetest::ScratchFolder() + "x.xyz").c_str(), 0x12345678}), 0);
    imagetest::WriteWholeFile(imagetest::ScratchFolder() + "junk.bmp", Bytes(40, 7));
    EXPECT_EQ(Int(s, kSurfaceLoadImage, {(imagetest::ScratchFolder() + "junk.bmp").c_str()}), 0);
}

// The bit count of a saved BMP.
int32_t BmpBits(const Bytes& file) { return file.size() > 29 ? file[28] | file[29] << 8 : -1; }

TEST_F(SurfaceImageFilesTest, SaveImageWritesOwnDepthsOrTheFallback) {
    const struct {
        int32_t depth;
        uint32_t format;
        int32_t fileBits;  // BMP bit count; for PNG the decoded depth check is enough
    } cases[] = {
        {8, 0, 8}, {15, 0, 16}, {16, 0, 24}, {24, 0, 24}, {32, 0, 32},
        {8, kPng, 0}, {15, kPng, 0}, {32, kPng, 0},
    };
    for (const auto& c : cases) {
        const std::string what = std::to_string(c.depth) + (c.format ? " png" : " bmp");
        CISurface* s = NewSurface(7, 5, c.depth);
        for (int32_t y = 0; y < 5; ++y)
            for (int32_t x = 0; x < 7; ++x) s->GetPicture()->FillRect(x, y, 1, 1, SwapRedBlue(Colour(x, y)));
        const std::string path = imagetest::ScratchFolder() + "saved" + std::to_string(c.depth) + (c.format ? ".png" : ".bmp");
        if (c.format)
            ASSERT_EQ(Int(s, kSurfaceSaveImage, {path.c_str(), c.format}), 1) << what;
        else
            ASSERT_EQ(Int(s, kSurfaceSaveImage, {path.c_str()}), 1) << what;
        const Bytes file = imagetest::ReadWholeFile(path);
        if (c.fileBits) {
            EXPECT_EQ(BmpBits(file), c.fileBits) << what;
        }
        // Loaded back into a 32-bit surface, every pixel is the surface's.
        CISurface* back = NewSurface(7, 5, 32);
        ASSERT_EQ(Int(back, kSurfaceLoadImage, {path.c_str(), 0, 0}), 1) << what;
        for (int32_t y = 0; y < 5; ++y)
            for (int32_t x = 0; x < 7; ++x)
                EXPECT_EQ(Int(back, kSurfaceGetPixel, {x, y}), Int(s, kSurfaceGetPixel, {x, y}))
                    << what << " at " << x << "," << y;
    }
}

TEST_F(SurfaceImageFilesTest, RotateRoundsToWholeDegreesAndTakesTheTurnedSize) {
    CISurface* s = NewSurface(6, 4);
    ASSERT_EQ(Int(s, kSurfaceLoadImage, {m_picture.c_str()}), 1);
    Call(s, kSurfaceRotate);  // no angle: nothing
    EXPECT_EQ(Int(s, kSurfaceGetPixelWidth), 6);
    Call(s, kSurfaceRotate, {1.5707963});  // 89.99999 degrees: 90, not 89
    EXPECT_EQ(Int(s, kSurfaceGetPixelWidth), 4);
    EXPECT_EQ(Int(s, kSurfaceGetPixelHeight), 6);
    Call(s, kSurfaceRotate, {-1.5707963 + 4 * 3.14159265358979});  // whole turns fold away
    EXPECT_EQ(Int(s, kSurfaceGetPixelWidth), 6);
    EXPECT_EQ(Int(s, kSurfaceGetPixel, {0, 0}), static_cast<int32_t>(Colour(0, 0)));
    EXPECT_EQ(Int(s, kSurfaceGetPixel, {5, 3}), static_cast<int32_t>(Colour(5, 3)));
    Call(s, kSurfaceRotate, {1e300});  // no finite angle: nothing
    EXPECT_EQ(Int(s, kSurfaceGetPixelWidth), 6);

    // A window's surface keeps its size: the turned picture is centred on
    // the background.
    struct Owner : CIBaseClassImpl {
        explicit Owner(CInterpretor* in) : CIBaseClassImpl(in, nullptr, 0, false) {}
        void CallMember(int32_t) override {}
    };
    CISurface* w = NewSurface(6, 4);
    ASSERT_EQ(Int(w, kSurfaceLoadImage, {m_picture.c_str()}), 1);
    Owner owner(&m_interp);
    w->SetOwnerWindow(&owner, nullptr);
    Call(w, kSurfaceSetBackgroundColor, {0x123456});
    Call(w, kSurfaceRotate, {3.14159265358979 / 2});
    EXPECT_EQ(Int(w, kSurfaceGetPixelWidth), 6);
    EXPECT_EQ(Int(w, kSurfaceGetPixelHeight), 4);
    EXPECT_EQ(Int(w, kSurfaceGetPixel, {0, 0}), 0x123456);  // left of the centred 4 × 6
    EXPECT_NE(Int(w, kSurfaceGetPixel, {1, 0}), 0x123456);
    w->SetOwnerWindow(nullptr, nullptr);
}

// Writes pictures for tests/graphics2d/surface_images_crosscheck.py (runs only
// when that script sets the folder): a 24-bit source, its turns by 90, 180
// and 270 degrees, and saved files of every depth and format with the
// surface's pixels listed beside them.
TEST_F(SurfaceImageFilesTest, WritesFilesForTheOutsideCheck) {
    const char* folder = std::getenv("TW_SURFACE_IMAGES_DIR");
    if (!folder)
        GTEST_SKIP() << "run by surface_images_crosscheck.py";
    const std::string base = std::string(folder) + "/";
    const std::string source = WriteBmp("rotate-source.bmp", 13, 7);
    const int32_t turns[] = {90, 180, 270};
    for (int32_t degrees : turns) {
        CISurface* s = NewSurface(13, 7, 24);
        ASSERT_EQ(Int(s, kSurfaceLoadImage, {source.c_str()}), 1);
        Call(s, kSurfaceRotate, {degrees * 3.14159265358979 / 180});
        const std::string name = base + "rotate" + std::to_string(degrees) + ".bmp";
        ASSERT_EQ(Int(s, kSurfaceSaveImage, {name.c_str()}), 1);
    }
    CISurface* s = NewSurface(13, 7, 24);
    ASSERT_EQ(Int(s, kSurfaceLoadImage, {source.c_str()}), 1);
    ASSERT_EQ(Int(s, kSurfaceSaveImage, {(base + "rotate0.bmp").c_str()}), 1);

    const struct {
        int32_t depth;
        uint32_t format;
        const char* extension;
    } saves[] = {{8, 0, "bmp"}, {15, 0, "bmp"}, {16, 0, "bmp"}, {24, 0, "bmp"}, {32, 0, "bmp"},
                 {8, kPng, "png"}, {24, kPng, "png"}, {32, kPng, "png"}, {24, kJpeg, "jpg"}};
    for (const auto& c : saves) {
        CISurface* p = NewSurface(11, 6, c.depth);
        // JPEG loses detail by design: it gets a smooth picture.
        for (int32_t y = 0; y < 6; ++y)
            for (int32_t x = 0; x < 11; ++x)
                p->GetPicture()->FillRect(x, y, 1, 1,
                                          SwapRedBlue(c.format == kJpeg ? uint32_t(0x400080 + 0x40000 * x + 0x800 * y)
                                                                        : Colour(x, y)));
        const std::string name = base + "saved" + std::to_string(c.depth) + "." + c.extension;
        if (c.format)
            ASSERT_EQ(Int(p, kSurfaceSaveImage, {name.c_str(), c.format}), 1) << name;
        else
            ASSERT_EQ(Int(p, kSurfaceSaveImage, {name.c_str()}), 1) << name;
        std::ofstream list(name + ".txt");
        for (int32_t y = 0; y < 6; ++y)
            for (int32_t x = 0; x < 11; ++x) {
                const uint32_t c32 = static_cast<uint32_t>(Int(p, kSurfaceGetPixel, {x, y}));
                list << ((c32 >> 16) & 255) << ' ' << ((c32 >> 8) & 255) << ' ' << (c32 & 255) << '\n';
            }
    }
}

}  // namespace
