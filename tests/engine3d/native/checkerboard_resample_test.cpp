// Resampling of an ImageMagick checkerboard (convert-im6.q16 -size 100x60
// pattern:checkerboard -depth 8 rgb:-, ImageMagick 6.9.11 Q16, whose rgb:
// output is otherwise 16 bits a sample): at every pixel size the
// 128 x 64 stored image keeps the order of the source's colour runs along
// each row and column, and each run of L source pixels becomes floor or
// ceil of L x (destination / source) pixels.
#include "engine3d/texture.h"
#include "runtime/base/sys_utils.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <cstring>
#include <vector>

namespace {

std::vector<uint8_t> Checkerboard() {
    std::vector<uint8_t> rgb;
    FILE* p = popen("convert-im6.q16 -size 100x60 pattern:checkerboard -depth 8 rgb:- 2>/dev/null", "r");
    if (!p) return rgb;
    uint8_t buffer[4096];
    for (size_t n; (n = std::fread(buffer, 1, sizeof buffer, p)) > 0;) rgb.insert(rgb.end(), buffer, buffer + n);
    pclose(p);
    return rgb;
}

void Put(uint8_t* at, int depth, uint8_t r, uint8_t g, uint8_t b) {
    switch (depth) {
    case 8: at[0] = r; break;
    case 15: {
        const uint16_t w = uint16_t((r >> 3) << 10 | (g >> 3) << 5 | b >> 3);
        at[0] = uint8_t(w), at[1] = uint8_t(w >> 8);
        break;
    }
    case 16: {
        const uint16_t w = uint16_t((r >> 3) << 11 | (g >> 2) << 5 | b >> 3);
        at[0] = uint8_t(w), at[1] = uint8_t(w >> 8);
        break;
    }
    default: at[0] = b, at[1] = g, at[2] = r; break;
    }
}

// Lengths and first offsets of the runs of equal pixels along a line.
std::vector<int> Runs(const uint8_t* first, int count, int step, int bytes) {
    std::vector<int> runs{1};
    for (int i = 1; i < count; ++i) {
        if (std::memcmp(first + i * step, first + (i - 1) * step, size_t(bytes)) == 0)
            ++runs.back();
        else
            runs.push_back(1);
    }
    return runs;
}

void ExpectScaledRuns(const std::vector<int>& source, const std::vector<int>& dest, double scale, const char* what) {
    ASSERT_EQ(source.size(), dest.size()) << what;
    for (size_t i = 0; i < source.size(); ++i) {
        EXPECT_GE(dest[i], int(std::floor(source[i] * scale))) << what << " run " << i;
        EXPECT_LE(dest[i], int(std::ceil(source[i] * scale))) << what << " run " << i;
    }
}

}  // namespace

TEST(TextureResample, ImageMagickCheckerboardAtEveryDepth) {
    const std::vector<uint8_t> rgb = Checkerboard();
    if (rgb.size() != 100u * 60u * 3u) GTEST_SKIP() << rgb.size() << " bytes: convert-im6.q16 (Debian imagemagick) not available";
    for (int depth : {8, 15, 16, 24, 32}) {
        const int bytes = BytesPerPixel(depth);
        const int pitch = int(TexturePitch(100, depth));
        uint8_t* source = nullptr;
        ASSERT_TRUE(CallocRetry(size_t(pitch) * 60, &source));
        for (int y = 0; y < 60; ++y)
            for (int x = 0; x < 100; ++x) {
                const uint8_t* c = &rgb[size_t(y * 100 + x) * 3];
                Put(source + y * pitch + x * bytes, depth, c[0], c[1], c[2]);
            }
        std::vector<uint8_t> copy(source, source + size_t(pitch) * 60);
        LTexture t(nullptr, "board", nullptr);
        ASSERT_EQ(t.SetPixels(source, pitch, nullptr, 0, 100, 60, 1, depth, nullptr), 0);
        ASSERT_EQ(t.GetWidth(), 128);
        ASSERT_EQ(t.GetHeight(), 64);
        const uint8_t* out = t.GetPixels();
        for (int y = 0; y < 64; y += 7) {
            const int sy = y * 60 / 64;  // a source row of the same pattern phase
            ExpectScaledRuns(Runs(&copy[size_t(sy * pitch)], 100, bytes, bytes),
                             Runs(out + y * t.GetPitch(), 128, bytes, bytes), 1.28, "row");
        }
        for (int x = 0; x < 128; x += 9) {
            const int sx = x * 100 / 128;
            ExpectScaledRuns(Runs(&copy[size_t(sx * bytes)], 60, pitch, bytes),
                             Runs(out + x * bytes, 64, t.GetPitch(), bytes), 64.0 / 60.0, "column");
        }
    }
}
