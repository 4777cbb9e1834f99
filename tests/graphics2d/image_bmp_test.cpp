// BMP files through the image layer: header variants, masks, RLE8, row order,
// and what the writer puts into the file.
#include <gtest/gtest.h>

#include "image_test_support.h"

#include <cstring>

using namespace imagetest;

namespace {

Bytes Masks(uint32_t red, uint32_t green, uint32_t blue) {
    Bytes b;
    Put32(b, red);
    Put32(b, green);
    Put32(b, blue);
    return b;
}

// A palette of n entries (blue, green, red, 0): entry i is (i, 2i, 3i).
Bytes BmpPalette(int n) {
    Bytes b;
    for (int i = 0; i < n; ++i) {
        b.push_back(static_cast<uint8_t>(3 * i));
        b.push_back(static_cast<uint8_t>(2 * i));
        b.push_back(static_cast<uint8_t>(i));
        b.push_back(0);
    }
    return b;
}

}  // namespace

TEST(BmpHeader, DepthAndStatusByHeaderFields) {
    const Bytes pixels16(4 * 2, 0x11), pixels32(8 * 2, 0x22), pixels8(4 * 2, 1);
    struct Case {
        const char* what;
        Bytes file;
        int32_t status;
        int32_t depth;
    };
    Bytes bad = MakeBmp(2, 2, 24, 0, {}, Bytes(8 * 2));
    bad[14 + 12] = 2;  // planes
    Bytes v5 = MakeBmp(2, 2, 24, 0, {}, Bytes(8 * 2));
    const Bytes whole = MakeBmp(2, 2, 24, 0, {}, {});
    v5[14] = 124;  // a version 5 header size
    const Case cases[] = {
        {"16 bits without masks read as 5-5-5", MakeBmp(2, 2, 16, 0, {}, pixels16), kImageOk, 15},
        {"16 bits with 5-6-5 masks", MakeBmp(2, 2, 16, 3, Masks(0xF800, 0x07E0, 0x001F), pixels16), kImageOk, 16},
        {"16 bits with 5-5-5 masks", MakeBmp(2, 2, 16, 3, Masks(0x7C00, 0x03E0, 0x001F), pixels16), kImageOk, 15},
        {"16 bits with other masks", MakeBmp(2, 2, 16, 3, Masks(0x001F, 0x07E0, 0xF800), pixels16), kImageUnsupported, 0},
        {"32 bits with byte masks", MakeBmp(2, 2, 32, 3, Masks(0xFF0000, 0xFF00, 0xFF), pixels32), kImageOk, 32},
        {"32 bits with other masks", MakeBmp(2, 2, 32, 3, Masks(0xFF, 0xFF00, 0xFF0000), pixels32), kImageUnsupported, 0},
        {"24 bits with masks", MakeBmp(2, 2, 24, 3, Masks(0xFF0000, 0xFF00, 0xFF), pixels32), kImageUnsupported, 0},
        {"24 bits, JPEG compression", MakeBmp(2, 2, 24, 4, {}, pixels32), kImageUnsupported, 0},
        {"8 bits RLE4", MakeBmp(2, 2, 8, 2, BmpPalette(256), pixels8), kImageBelow8Bits, 0},
        {"8 bits compression 3", MakeBmp(2, 2, 8, 3, BmpPalette(256), pixels8), kImageUnsupported, 0},
        {"4 bits", MakeBmp(2, 2, 4, 0, BmpPalette(16), pixels8), kImageBelow8Bits, 0},
        {"12 bits", MakeBmp(2, 2, 12, 0, {}, pixels8), kImageUnsupported, 0},
        {"two planes", bad, kImageUnsupported, 0},
        {"width 0", MakeBmp(0, 2, 24, 0, {}, pixels8), kImageNotRecognised, 0},
        {"negative width", MakeBmp(-2, 2, 24, 0, {}, pixels8), kImageNotRecognised, 0},
        {"height 0", MakeBmp(2, 0, 24, 0, {}, pixels8), kImageNotRecognised, 0},
        {"version 5 header", v5, kImageNotRecognised, 0},
        {"palette count 2^31", MakeBmp(2, 2, 8, 0, BmpPalette(256), pixels8, true, 0x80000000u), kImageNotRecognised, 0},
        {"height -2^31", MakeBmp(2, INT32_MIN, 24, 0, {}, pixels8), kImageOutOfMemory, 0},
        {"pixel bytes over 256 MB", MakeBmp(65536, 2000, 24, 0, {}, pixels8), kImageOutOfMemory, 0},
        {"truncated header", Bytes(whole.begin(), whole.begin() + 30), kImageNotRecognised, 0},
        {"truncated pixels", MakeBmp(2, 2, 24, 0, {}, Bytes(12)), kImageCorrupt, 24},
    };
    for (const Case& c : cases) {
        const Decoded d = Decode(c.file);
        EXPECT_EQ(d.status, c.status) << c.what;
        if (c.depth) {
            EXPECT_EQ(d.depth, c.depth) << c.what;
        }
    }
}

TEST(BmpRead, RowsBottomUpTopDownAndCoreHeaders) {
    // Two rows of two 24-bit pixels; stored rows are 8 bytes (6 + 2 padding).
    const Bytes stored = {1, 2, 3, 4, 5, 6, 0, 0, 7, 8, 9, 10, 11, 12, 0, 0};
    const Bytes firstStoredLast = {7, 8, 9, 10, 11, 12, 0, 0, 1, 2, 3, 4, 5, 6, 0, 0};
    const Decoded up = Decode(MakeBmp(2, 2, 24, 0, {}, stored));
    ASSERT_EQ(up.status, kImageOk);
    EXPECT_EQ(up.pixels, firstStoredLast);
    const Decoded down = Decode(MakeBmp(2, -2, 24, 0, {}, stored));
    ASSERT_EQ(down.status, kImageOk);
    EXPECT_EQ(down.height, 2);
    EXPECT_EQ(down.pixels, stored);
    // No file header: the info header starts the file.
    EXPECT_EQ(Decode(MakeBmp(2, 2, 24, 0, {}, stored, false)).pixels, firstStoredLast);

    // The 12-byte core header with a 3-byte palette.
    Bytes core;
    Put32(core, 12);
    Put16(core, 3);
    Put16(core, 1);
    Put16(core, 1);
    Put16(core, 8);
    for (int i = 0; i < 256; ++i) core.insert(core.end(), {uint8_t(i), uint8_t(i + 1), uint8_t(i + 2)});
    core.insert(core.end(), {5, 6, 7, 0});
    const Decoded c = Decode(core);
    ASSERT_EQ(c.status, kImageOk);
    EXPECT_EQ(c.depth, 8);
    EXPECT_EQ(c.pixels, (Bytes{5, 6, 7, 0}));
    EXPECT_EQ(c.palette.entries[5].red, 7);
    EXPECT_EQ(c.palette.entries[5].blue, 5);
}

TEST(BmpRead, PaletteCountAndDataOffset) {
    // 300 palette entries: 256 are kept, the rest skipped, then the pixels.
    const Decoded big = Decode(MakeBmp(2, 1, 8, 0, BmpPalette(300), {200, 17, 0, 0}, true, 300));
    ASSERT_EQ(big.status, kImageOk);
    EXPECT_EQ(big.pixels[0], 200);
    EXPECT_EQ(big.palette.entries[200].green, static_cast<uint8_t>(400));
    // Two used entries.
    const Decoded small = Decode(MakeBmp(2, 1, 8, 0, BmpPalette(2), {1, 0, 0, 0}, true, 2));
    ASSERT_EQ(small.status, kImageOk);
    EXPECT_EQ(small.pixels[0], 1);
    // A gap between the header and the pixels, named by the file header.
    const Decoded gap = Decode(MakeBmp(1, 1, 24, 0, {}, {9, 8, 7, 0}, true, 0, 10));
    ASSERT_EQ(gap.status, kImageOk);
    EXPECT_EQ(Bytes(gap.pixels.begin(), gap.pixels.begin() + 3), (Bytes{9, 8, 7}));
}

TEST(BmpRead, Rle8) {
    struct Case {
        const char* what;
        Bytes data;
        int32_t status;
        Bytes rows;  // top row first, 4 pixels each; 0xAA = left as it was
    };
    const Case cases[] = {
        {"runs and literals", {3, 5, 0, 0, 0, 3, 1, 2, 3, 0, 0, 0, 2, 9, 0, 0, 0, 1}, kImageOk,
         {9, 9, 0, 0, 1, 2, 3, 0, 5, 5, 5, 0}},
        {"end of bitmap after two rows", {4, 1, 0, 0, 4, 2, 0, 0, 0, 1}, kImageOk,
         {0xAA, 0xAA, 0xAA, 0xAA, 2, 2, 2, 2, 1, 1, 1, 1}},
        {"a run past the row end is cut", {9, 7, 0, 0, 0, 1}, kImageOk,
         {0xAA, 0xAA, 0xAA, 0xAA, 0xAA, 0xAA, 0xAA, 0xAA, 7, 7, 7, 7}},
        {"a move right within the row", {0, 2, 2, 0, 1, 4, 0, 0, 0, 1}, kImageOk,
         {0xAA, 0xAA, 0xAA, 0xAA, 0xAA, 0xAA, 0xAA, 0xAA, 0, 0, 4, 0}},
        {"a move down clamped to the last row", {1, 3, 0, 2, 200, 100, 1, 6}, kImageOk,
         {0, 0, 0, 0, 0, 0, 0, 0, 3, 0, 0, 0}},
        {"rows past the last are ignored", {1, 1, 0, 0, 1, 2, 0, 0, 1, 3, 0, 0, 1, 4, 0, 0}, kImageOk,
         {3, 0, 0, 0, 2, 0, 0, 0, 1, 0, 0, 0}},
        {"truncated data", {4, 1, 0, 0, 4}, kImageCorrupt, {}},
    };
    for (const Case& c : cases) {
        const Decoded d = Decode(MakeBmp(4, 3, 8, 1, BmpPalette(256), c.data), 0, nullptr, 0, 0xAA);
        EXPECT_EQ(d.status, c.status) << c.what;
        if (c.status == kImageOk) {
            Bytes rows;
            for (int y = 0; y < 3; ++y) rows.insert(rows.end(), &d.pixels[y * d.pitch], &d.pixels[y * d.pitch + 4]);
            EXPECT_EQ(rows, c.rows) << c.what;
        }
    }
}

TEST(BmpWrite, HeadersRowsAndRoundTrips) {
    int32_t status = -1;
    // Width 1 at 24 bits: rows of 4 bytes (3 data bytes and one zero).
    const uint8_t pixel[2][3] = {{1, 2, 3}, {4, 5, 6}};
    Bytes file = Save(kImageFormatBmp, &pixel[0][0], 1, 2, 24, 3, nullptr, &status);
    ASSERT_EQ(status, kImageOk);
    ASSERT_EQ(file.size(), 14u + 40 + 8);
    EXPECT_EQ(Bytes(file.end() - 8, file.end()), (Bytes{4, 5, 6, 0, 1, 2, 3, 0}));

    // 16 bits: compression 3 and the 5-6-5 masks; 15 bits: 16-bit words without.
    const uint16_t words[4] = {0x1234, 0xF800, 0x07E0, 0x001F};
    file = Save(kImageFormatBmp, reinterpret_cast<const uint8_t*>(words), 2, 2, 16, 4, nullptr, &status);
    ASSERT_EQ(status, kImageOk);
    EXPECT_EQ(file[30], 3);
    EXPECT_EQ(file.size(), 14u + 52 + 8);
    EXPECT_EQ(Decode(file).depth, 16);
    file = Save(kImageFormatBmp, reinterpret_cast<const uint8_t*>(words), 2, 2, 15, 4, nullptr, &status);
    ASSERT_EQ(status, kImageOk);
    EXPECT_EQ(file[28], 16);
    EXPECT_EQ(file[30], 0);
    EXPECT_EQ(Decode(file).depth, 15);

    // Every depth reads back as written.
    for (int depth : {8, 15, 16, 24, 32}) {
        const int32_t width = 5, height = 3, pitch = 24;
        Bytes source(pitch * height);
        for (size_t i = 0; i < source.size(); ++i) source[i] = static_cast<uint8_t>(i * 37 + depth);
        if (depth == 32)
            for (int i = 3; i < pitch * height; i += 4) source[i] = 0;
        LogPalette256 palette{kPaletteVersion, 256, {}};
        for (int i = 0; i < 256; ++i) palette.entries[i] = {uint8_t(i), uint8_t(255 - i), uint8_t(i / 2), 0};
        file = Save(kImageFormatBmp, source.data(), width, height, depth, pitch, &palette, &status);
        ASSERT_EQ(status, kImageOk) << depth;
        const Decoded d = Decode(file);
        ASSERT_EQ(d.status, kImageOk) << depth;
        EXPECT_EQ(d.depth, depth);
        const int rowBytes = width * ((depth + 1) / 8);
        for (int y = 0; y < height; ++y)
            EXPECT_EQ(0, std::memcmp(&d.pixels[y * d.pitch], &source[y * pitch], rowBytes)) << depth << " row " << y;
        if (depth == 8) {
            EXPECT_EQ(0, std::memcmp(d.palette.entries, palette.entries, sizeof palette.entries));
        }
    }
}
