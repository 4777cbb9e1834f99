// Rotation and stretching against an outside reference: ImageMagick's
// `convert` (scripts/setup.sh installs it) on the same small PPM fixtures.
// ImageMagick's -rotate turns clockwise, ours counter-clockwise on screen:
// our 90 is its -90. Whole-factor stretches equal its point sampling
// (-sample).
#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <memory>
#include <random>
#include <string>
#include <vector>

#include "graphics2d/memory_surface.h"
#include "graphics2d/surface_registry.h"

namespace {

class ImageMagickReferenceTest : public ::testing::Test {
protected:
    void SetUp() override {
        RegisterSurfaceClient();
        dir_ = ::testing::TempDir() + "tw_im_reference_" + std::to_string(::testing::UnitTest::GetInstance()->random_seed());
        if (std::system(("mkdir -p '" + dir_ + "'").c_str()) != 0) GTEST_SKIP() << "no temporary folder";
        if (std::system("convert -version > /dev/null 2>&1") != 0) GTEST_SKIP() << "ImageMagick missing";
    }
    void TearDown() override {
        if (!dir_.empty()) std::system(("rm -rf '" + dir_ + "'").c_str());
        UnregisterSurfaceClient();
    }

    // A 24-bit memory surface of random non-zero colours.
    static CSurfaceImpl* MakeFixture(int32_t width, int32_t height) {
        const CSurface* holder = nullptr;
        SelectPixelFormat(&holder, 24, kPlaceMemory, 0);
        CSurfaceImpl* s = holder->GetImpl()->MakeInstance(width, height);
        std::mt19937 rng(static_cast<uint32_t>(width * 131 + height));
        for (int32_t y = 0; y < height; ++y)
            for (int32_t x = 0; x < width; ++x) s->SetPixel(x, y, (rng() & 0xFFFFFF) | 0x010101);
        return s;
    }

    bool WritePpm(CSurfaceImpl* s, const std::string& name) {
        std::ofstream out(name, std::ios::binary);
        out << "P6\n" << s->width << " " << s->height << "\n255\n";
        for (int32_t y = 0; y < s->height; ++y)
            for (int32_t x = 0; x < s->width; ++x) {
                uint32_t c = 0;
                s->GetPixel(x, y, &c);
                const char rgb[3] = {char(c & 0xFF), char((c >> 8) & 0xFF), char((c >> 16) & 0xFF)};
                out.write(rgb, 3);
            }
        return static_cast<bool>(out);
    }

    // The picture ImageMagick makes from the fixture with the options, as
    // library colours row by row; empty on failure.
    std::vector<uint32_t> Convert(CSurfaceImpl* fixture, const std::string& options, int32_t* w, int32_t* h) {
        const std::string in = dir_ + "/in.ppm", out = dir_ + "/out.ppm";
        if (!WritePpm(fixture, in)) return {};
        const std::string command = "convert '" + in + "' " + options + " -depth 8 'ppm:" + out + "'";
        if (std::system(command.c_str()) != 0) return {};
        std::ifstream file(out, std::ios::binary);
        std::string magic;
        int maxval = 0;
        if (!(file >> magic >> *w >> *h >> maxval) || magic != "P6" || maxval != 255) return {};
        file.get();
        std::vector<uint32_t> colours;
        for (int32_t i = 0; i < *w * *h; ++i) {
            unsigned char rgb[3];
            if (!file.read(reinterpret_cast<char*>(rgb), 3)) return {};
            colours.push_back(rgb[0] | rgb[1] << 8 | rgb[2] << 16);
        }
        return colours;
    }

    static std::vector<uint32_t> Colours(CSurfaceImpl* s) {
        std::vector<uint32_t> colours;
        for (int32_t y = 0; y < s->height; ++y)
            for (int32_t x = 0; x < s->width; ++x) {
                uint32_t c = 0;
                s->GetPixel(x, y, &c);
                colours.push_back(c);
            }
        return colours;
    }

    std::string dir_;
};

TEST_F(ImageMagickReferenceTest, NearestQuarterTurnsEqualConvertRotate) {
    const struct {
        int32_t ours;
        const char* theirs;
    } turns[] = {{90, "-rotate -90"}, {180, "-rotate 180"}, {270, "-rotate 90"}};
    for (int32_t size : {5, 6}) {
        std::unique_ptr<CSurfaceImpl> fixture(MakeFixture(size + 2, size));
        for (const auto& t : turns) {
            SCOPED_TRACE(std::string(t.theirs) + " on " + std::to_string(size + 2) + "x" + std::to_string(size));
            const bool quarter = t.ours != 180;
            std::unique_ptr<CSurfaceImpl> turned(fixture->MakeInstance(quarter ? fixture->height : fixture->width,
                                                                        quarter ? fixture->width : fixture->height));
            ASSERT_EQ(fixture->RotateBlit(turned.get(), t.ours, 0, 0), 1);
            int32_t w = 0, h = 0;
            const std::vector<uint32_t> reference = Convert(fixture.get(), t.theirs, &w, &h);
            ASSERT_FALSE(reference.empty());
            ASSERT_EQ(w, turned->width);
            ASSERT_EQ(h, turned->height);
            EXPECT_EQ(Colours(turned.get()), reference);
        }
    }
}

TEST_F(ImageMagickReferenceTest, WholeFactorStretchesEqualConvertSample) {
    std::unique_ptr<CSurfaceImpl> fixture(MakeFixture(7, 5));
    for (int32_t k : {2, 3}) {
        SCOPED_TRACE(k);
        std::unique_ptr<CSurfaceImpl> big(fixture->MakeInstance(7 * k, 5 * k));
        ASSERT_EQ(fixture->StretchBlit(big.get(), 0, 0, 7 * k, 5 * k, 0, 0, 7, 5, 0, 0, 0), 1);
        int32_t w = 0, h = 0;
        const std::vector<uint32_t> reference = Convert(fixture.get(), "-sample " + std::to_string(100 * k) + "%", &w, &h);
        ASSERT_FALSE(reference.empty());
        ASSERT_EQ(w, 7 * k);
        ASSERT_EQ(h, 5 * k);
        EXPECT_EQ(Colours(big.get()), reference);
    }
}

}  // namespace
