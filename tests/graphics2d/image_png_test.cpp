// PNG files through the image layer: colour types and depths, alpha, writing,
// and damaged files.
#include <gtest/gtest.h>

#include "image_test_support.h"

#include <png.h>

#include <cstring>

using namespace imagetest;

namespace {

// A 3x2 RGB picture as PNG rows (red, green, blue).
Bytes RgbRows() { return {10, 20, 30, 40, 50, 60, 70, 80, 90, 1, 2, 3, 4, 5, 6, 7, 8, 9}; }

// The same pixels in the layer's blue, green, red order, rows padded to 12 bytes.
Bytes BgrRowsPadded() { return {30, 20, 10, 60, 50, 40, 90, 80, 70, 0, 0, 0, 3, 2, 1, 6, 5, 4, 9, 8, 7, 0, 0, 0}; }

uint32_t Crc(const uint8_t* data, size_t size) {
    uint32_t crc = 0xFFFFFFFF;
    for (size_t i = 0; i < size; ++i) {
        crc ^= data[i];
        for (int k = 0; k < 8; ++k) crc = (crc >> 1) ^ (0xEDB88320 & (0 - (crc & 1)));
    }
    return ~crc;
}

// The file with IHDR's width and height replaced (and its CRC made right again).
Bytes WithSize(Bytes file, uint32_t width, uint32_t height) {
    for (int i = 0; i < 4; ++i) file[16 + i] = static_cast<uint8_t>(width >> (24 - 8 * i));
    for (int i = 0; i < 4; ++i) file[20 + i] = static_cast<uint8_t>(height >> (24 - 8 * i));
    const uint32_t crc = Crc(&file[12], 17);
    for (int i = 0; i < 4; ++i) file[29 + i] = static_cast<uint8_t>(crc >> (24 - 8 * i));
    return file;
}

}  // namespace

TEST(PngRead, ColourTypesAndDepths) {
    // 16-bit greyscale: 24-bit rows of three equal bytes (the high byte).
    const Bytes grey16 = {0x12, 0x34, 0xAB, 0xCD};
    Decoded d = Decode(MakePng(2, 1, 16, PNG_COLOR_TYPE_GRAY, grey16));
    ASSERT_EQ(d.status, kImageOk);
    EXPECT_EQ(d.depth, 24);
    EXPECT_EQ(Bytes(d.pixels.begin(), d.pixels.begin() + 6), (Bytes{0x12, 0x12, 0x12, 0xAB, 0xAB, 0xAB}));

    // RGB: blue, green, red rows; interlaced files give the same rows.
    d = Decode(MakePng(3, 2, 8, PNG_COLOR_TYPE_RGB, RgbRows()));
    ASSERT_EQ(d.status, kImageOk);
    EXPECT_EQ(d.pixels, BgrRowsPadded());
    EXPECT_EQ(d.hasAlpha, 0);
    EXPECT_EQ(Decode(MakePng(3, 2, 8, PNG_COLOR_TYPE_RGB, RgbRows(), {}, true)).pixels, BgrRowsPadded());

    // Palette: 8-bit indices and the palette.
    d = Decode(MakePng(2, 1, 8, PNG_COLOR_TYPE_PALETTE, {1, 0}, {1, 2, 3, 4, 5, 6}));
    ASSERT_EQ(d.status, kImageOk);
    EXPECT_EQ(d.depth, 8);
    EXPECT_EQ(d.pixels[0], 1);
    EXPECT_EQ(d.palette.entries[1].red, 4);
    EXPECT_EQ(d.palette.entries[1].blue, 6);

    // Below 8 bits per sample: 12.
    EXPECT_EQ(Decode(MakePng(2, 1, 4, PNG_COLOR_TYPE_PALETTE, {0x10}, {1, 2, 3, 4, 5, 6})).status, kImageBelow8Bits);
    EXPECT_EQ(Decode(MakePng(8, 1, 1, PNG_COLOR_TYPE_GRAY, {0xA5})).status, kImageBelow8Bits);
}

TEST(PngRead, AlphaGoesToTheMask) {
    // Grey with alpha and RGBA: 32-bit rows with fourth byte 0, the alpha in the mask.
    Decoded d = Decode(MakePng(2, 1, 8, PNG_COLOR_TYPE_GRAY_ALPHA, {7, 200, 9, 100}));
    ASSERT_EQ(d.status, kImageOk);
    EXPECT_EQ(d.depth, 32);
    EXPECT_EQ(d.hasAlpha, 1);
    EXPECT_EQ(Bytes(d.pixels.begin(), d.pixels.begin() + 8), (Bytes{7, 7, 7, 0, 9, 9, 9, 0}));
    EXPECT_EQ(d.mask, (Bytes{200, 100}));

    d = Decode(MakePng(1, 2, 8, PNG_COLOR_TYPE_RGB_ALPHA, {1, 2, 3, 44, 5, 6, 7, 88}));
    ASSERT_EQ(d.status, kImageOk);
    EXPECT_EQ(d.pixels, (Bytes{3, 2, 1, 0, 7, 6, 5, 0}));
    EXPECT_EQ(d.mask, (Bytes{44, 88}));

    // Converted to 24 bits: the mask is still filled.
    d = Decode(MakePng(1, 2, 8, PNG_COLOR_TYPE_RGB_ALPHA, {1, 2, 3, 44, 5, 6, 7, 88}), 24);
    ASSERT_EQ(d.status, kImageOk);
    EXPECT_EQ(d.pixels, (Bytes{3, 2, 1, 0, 7, 6, 5, 0}));
    EXPECT_EQ(d.mask, (Bytes{44, 88}));
}

TEST(PngWrite, RoundTripsAndPaletteFiles) {
    int32_t status = -1;
    const Bytes source = BgrRowsPadded();
    Bytes file = Save(kImageFormatPng, source.data(), 3, 2, 24, 12, nullptr, &status);
    ASSERT_EQ(status, kImageOk);
    EXPECT_EQ(file[25], PNG_COLOR_TYPE_RGB);
    EXPECT_EQ(Decode(file).pixels, source);

    LogPalette256 palette{kPaletteVersion, 256, {}};
    for (int i = 0; i < 256; ++i) palette.entries[i] = {uint8_t(i), uint8_t(i ^ 0x55), uint8_t(255 - i), 0};
    const Bytes indices = {0, 1, 2, 3, 250, 251, 252, 253};
    file = Save(kImageFormatPng, indices.data(), 4, 2, 8, 4, &palette, &status);
    ASSERT_EQ(status, kImageOk);
    EXPECT_EQ(file[25], PNG_COLOR_TYPE_PALETTE);
    const Decoded d = Decode(file);
    ASSERT_EQ(d.status, kImageOk);
    EXPECT_EQ(d.pixels, indices);
    EXPECT_EQ(0, std::memcmp(d.palette.entries, palette.entries, sizeof palette.entries));
}

TEST(PngRead, DamagedFiles) {
    const Bytes good = MakePng(3, 2, 8, PNG_COLOR_TYPE_RGB, RgbRows());
    Bytes badCrc = good;
    badCrc[good.size() - 20] ^= 0xFF;  // inside IDAT
    Bytes signatureOnly(good.begin(), good.begin() + 8);
    Bytes headerOnly(good.begin(), good.begin() + 33);
    Bytes cutData(good.begin(), good.end() - 20);
    // A text chunk announcing 1.6 GB, after IHDR.
    Bytes hugeText(good.begin(), good.begin() + 33);
    hugeText.insert(hugeText.end(), {0x61, 0, 0, 0x25, 't', 'E', 'X', 't', 'a', 0, 'b'});
    struct Case {
        const char* what;
        Bytes file;
        int32_t status;
    };
    const Case cases[] = {
        {"signature only", signatureOnly, kImageNotRecognised},
        {"header only", headerOnly, kImageNotRecognised},
        {"pixel data cut short", cutData, kImageCorrupt},
        {"bad CRC in the pixel data", badCrc, kImageCorrupt},
        {"width 0", WithSize(good, 0, 2), kImageNotRecognised},
        {"width 2^31", WithSize(good, 0x80000000u, 2), kImageNotRecognised},
        {"pixel bytes over 256 MB", WithSize(good, 1000000, 100), kImageOutOfMemory},
        {"a huge text chunk", hugeText, kImageNotRecognised},
    };
    for (const Case& c : cases) EXPECT_EQ(Decode(c.file).status, c.status) << c.what;
}
