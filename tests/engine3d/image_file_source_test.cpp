// The real image adapter: files made by ImageMagick (make_image_fixtures.py,
// at build time on the build machine) load through LoadTexture with the
// world's default factory, natively and under Wine; their texels equal
// ImageMagick's own reading of each file (NAME.rgb) converted to the texture
// depth (15 and 16 bits keep the high bits of each channel; 24 and 32 bits
// are blue, green, red, and a zero fourth byte).
#include "engine3d/image_file_source.h"
#include "engine_fixture.h"
#include "tests/support/test_files.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

namespace {

// The fixture folder with '\' separators, as the file layer takes names on
// every build.
std::string FixtureFolder() {
#ifdef TW_IMAGE_FIXTURES
    std::string folder = TW_IMAGE_FIXTURES;
    for (char& c : folder)
        if (c == '/') c = '\\';
    return folder;
#else
    return std::string();
#endif
}
const std::string kFixtures = FixtureFolder();

struct Fixture {
    const char* name;
    int32_t w, h, fileDepth;
    bool alpha;
};
const Fixture kFiles[] = {
    {"rgb24.bmp", 16, 8, 24, false}, {"narrow24.bmp", 2, 4, 24, false}, {"pal8.bmp", 16, 8, 8, false},
    {"rle8.bmp", 16, 8, 8, false},   {"rgb.png", 16, 8, 24, false},     {"pal8.png", 16, 8, 8, false},
    {"alpha.png", 16, 8, 32, true},
};

std::string FixturePath(const char* name) { return kFixtures + "\\" + name; }

// The texture's texel at (x, y) from an RGB reference pixel, at `depth`.
std::vector<uint8_t> Expected(const uint8_t* rgb, int depth) {
    const uint8_t r = rgb[0], g = rgb[1], b = rgb[2];
    switch (depth) {
    case 15: {
        const uint16_t w = uint16_t((r >> 3) << 10 | (g >> 3) << 5 | b >> 3);
        return {uint8_t(w), uint8_t(w >> 8)};
    }
    case 16: {
        const uint16_t w = uint16_t((r >> 3) << 11 | (g >> 2) << 5 | b >> 3);
        return {uint8_t(w), uint8_t(w >> 8)};
    }
    case 24: return {b, g, r};
    case 32: return {b, g, r, 0};
    default: return {uint8_t(r / 36 | (g / 36) << 3 | (b / 85) << 6)};  // 8: the 3-3-2 palette
    }
}

// The 3-3-2 palette the fixtures' colours come from.
LogPalette256 Palette332() {
    LogPalette256 p{kPaletteVersion, 256, {}};
    for (int i = 0; i < 256; ++i)
        p.entries[i] = {uint8_t((i & 7) * 36), uint8_t(((i >> 3) & 7) * 36), uint8_t((i >> 6) * 85), 0};
    return p;
}

// Loads every fixture into a world at `depth` (a world of the default factory,
// so one image file reads every format in turn) and compares texels and masks.
void ExpectFilesAtDepth(int depth, CSharedPalette* palette) {
    TestWorld w;
    w.world.SetColourDepth(depth);
    w.world.SetPalette(palette);
    LTextureList& list = w.world.GetTextureList();
    list.SetSearchPath((kFixtures + "\\").c_str());
    for (const Fixture& f : kFiles) {
        SCOPED_TRACE(std::string(f.name) + " at " + std::to_string(depth) + " bits");
        const std::vector<uint8_t> rgb = ReadWholeFile(FixturePath(f.name) + ".rgb");
        ASSERT_EQ(rgb.size(), size_t(f.w * f.h * 3));
        LTexture* t = list.LoadTexture(f.name, f.name);
        ASSERT_NE(t, nullptr);
        ASSERT_EQ(t->GetWidth(), f.w);
        ASSERT_EQ(t->GetHeight(), f.h);
        ASSERT_EQ(t->GetBitsPerPixel(), depth);
        const int bytes = BytesPerPixel(depth);
        int wrong = 0;
        for (int y = 0; y < f.h; ++y)
            for (int x = 0; x < f.w; ++x) {
                const std::vector<uint8_t> want = Expected(&rgb[size_t(y * f.w + x) * 3], depth);
                const uint8_t* got = t->GetPixels() + y * t->GetPitch() + x * bytes;
                if (std::memcmp(got, want.data(), want.size()) != 0 && wrong++ < 3)
                    ADD_FAILURE() << "texel (" << x << ", " << y << ") first byte " << int(got[0]) << ", wanted "
                                  << int(want[0]);
            }
        EXPECT_EQ(wrong, 0);
        if (f.alpha) {
            const std::vector<uint8_t> alpha = ReadWholeFile(FixturePath(f.name) + ".alpha");
            ASSERT_EQ(alpha.size(), size_t(f.w * f.h));
            ASSERT_NE(t->GetMask(), nullptr);
            for (int y = 0; y < f.h; ++y)
                EXPECT_EQ(std::memcmp(t->GetMask() + y * t->GetMaskPitch(), &alpha[size_t(y * f.w)], size_t(f.w)), 0)
                    << "mask row " << y;
        } else {
            EXPECT_EQ(t->GetMask(), nullptr);
        }
    }
    EXPECT_EQ(list.GetCount(), int32_t(sizeof kFiles / sizeof kFiles[0]));
}

#define REQUIRE_FIXTURES()                                                                        \
    if (kFixtures.empty()) GTEST_SKIP() << "convert-im6.q16 (Debian imagemagick) was not found at configure time"

}  // namespace

TEST(ImageFileSource, ImageMagickFilesLoadAtEveryDepth) {
    REQUIRE_FIXTURES();
    for (int depth : {15, 16, 24, 32}) ExpectFilesAtDepth(depth, nullptr);
}

TEST(ImageFileSource, EightBitWorldTakesTheWorldsPalette) {
    REQUIRE_FIXTURES();
    // ImageMagick orders the 8-bit files' palettes its own way: indices equal
    // to the 3-3-2 places show the world's palette was used, for those files
    // as for the deeper ones.
    CSharedPalette* palette = AcquireSharedPalette(Palette332());
    ASSERT_NE(palette, nullptr);
    ExpectFilesAtDepth(8, palette);
    CSharedPalette::Release(palette);
}

TEST(ImageFileSource, EightBitWorldWithoutPalette) {
    REQUIRE_FIXTURES();
    // Without the owner's palette an 8-bit file keeps its own indices; a
    // deeper file has no palette to map to and does not load.
    TestWorld w;
    w.world.SetColourDepth(8);
    LTextureList& list = w.world.GetTextureList();
    list.SetSearchPath((kFixtures + "\\").c_str());
    EXPECT_EQ(list.LoadTexture("deep", "rgb24.bmp"), nullptr);
    EXPECT_EQ(list.GetCount(), 0);
    LTexture* t = list.LoadTexture("pal", "pal8.bmp");
    ASSERT_NE(t, nullptr);
    LImageFileSource own;
    ASSERT_TRUE(own.Init());
    ASSERT_EQ(own.Open(FixturePath("pal8.bmp").c_str()), 1);
    ASSERT_NE(own.GetPalette(), nullptr);
    const std::vector<uint8_t> rgb = ReadWholeFile(FixturePath("pal8.bmp") + ".rgb");
    ASSERT_EQ(rgb.size(), 16u * 8u * 3u);
    for (int i = 0; i < 16 * 8; ++i) {
        const PaletteEntry& e = own.GetPalette()[t->GetPixels()[(i / 16) * t->GetPitch() + i % 16]];
        EXPECT_EQ((std::vector<uint8_t>{e.red, e.green, e.blue}),
                  (std::vector<uint8_t>{rgb[size_t(i) * 3], rgb[size_t(i) * 3 + 1], rgb[size_t(i) * 3 + 2]}))
            << "pixel " << i;
    }
}

TEST(ImageFileSource, HeadersAndFailures) {
    REQUIRE_FIXTURES();
    LImageFileSource source;
    ASSERT_TRUE(source.Init());
    for (const Fixture& f : kFiles) {
        ASSERT_EQ(source.Open(FixturePath(f.name).c_str()), 1) << f.name;
        EXPECT_EQ(source.GetWidth(), f.w) << f.name;
        EXPECT_EQ(source.GetHeight(), f.h) << f.name;
        EXPECT_EQ(source.GetBitsPerPixel(), f.fileDepth) << f.name;
        EXPECT_EQ(source.GetPalette() != nullptr, f.fileDepth == 8) << f.name;
        EXPECT_EQ(source.HasMask(), f.alpha ? 1 : 0) << f.name;
    }
    source.Close();
    EXPECT_EQ(source.GetWidth(), 0);
    EXPECT_EQ(source.Read(24, nullptr, 0, nullptr, nullptr), 0);

    // A file no format takes: nothing loads, nothing is listed.
    TestFolder folder;
    ASSERT_TRUE(folder.Ok());
    ASSERT_TRUE(WriteWholeFile(folder.File("junk.bmp"), PatternBytes(64)));
    EXPECT_EQ(source.Open((folder.Path() + "\\junk.bmp").c_str()), 0);
    EXPECT_EQ(source.Open((folder.Path() + "\\absent.bmp").c_str()), 0);
    TestWorld w;
    w.world.GetTextureList().SetSearchPath((folder.Path() + "\\").c_str());
    EXPECT_EQ(w.world.GetTextureList().LoadTexture("junk", "junk.bmp"), nullptr);
    EXPECT_EQ(w.world.GetTextureList().GetCount(), 0);
}
