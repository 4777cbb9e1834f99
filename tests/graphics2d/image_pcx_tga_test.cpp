// The PCX and TGA readers: the stored variants against hand-made files, run-
// length packets across row ends, colour maps, orientation and the alpha
// plane, and tables of malformed files with the status each must give and
// no byte written outside the destination.
#include <gtest/gtest.h>

#include "image_test_support.h"

#include <string>

using namespace imagetest;

namespace {

// A PCX header for x 0..width-1, y 0..height-1.
Bytes PcxHeader(int width, int height, int bits, int planes, int bytesPerLine, int encoding = 1) {
    Bytes h(128, 0);
    h[0] = 10;
    h[1] = 5;
    h[2] = static_cast<uint8_t>(encoding);
    h[3] = static_cast<uint8_t>(bits);
    h[8] = static_cast<uint8_t>(width - 1), h[9] = static_cast<uint8_t>((width - 1) >> 8);
    h[10] = static_cast<uint8_t>(height - 1), h[11] = static_cast<uint8_t>((height - 1) >> 8);
    h[65] = static_cast<uint8_t>(planes);
    h[66] = static_cast<uint8_t>(bytesPerLine), h[67] = static_cast<uint8_t>(bytesPerLine >> 8);
    return h;
}

Bytes Cat(Bytes a, const Bytes& b) {
    a.insert(a.end(), b.begin(), b.end());
    return a;
}

// A palette block: marker 12 then entry i = (i, 255 - i, i / 2).
Bytes PcxPalette() {
    Bytes p{12};
    for (int i = 0; i < 256; ++i) p.insert(p.end(), {uint8_t(i), uint8_t(255 - i), uint8_t(i / 2)});
    return p;
}

Bytes TgaHeader(int type, int width, int height, int bits, int descriptor, int mapType = 0, int first = 0,
                int length = 0, int entryBits = 0) {
    return {0, uint8_t(mapType), uint8_t(type), uint8_t(first), uint8_t(first >> 8), uint8_t(length),
            uint8_t(length >> 8), uint8_t(entryBits), 0, 0, 0, 0, uint8_t(width), uint8_t(width >> 8),
            uint8_t(height), uint8_t(height >> 8), uint8_t(bits), uint8_t(descriptor)};
}

// The destination rows of a decode, packed (without the pitch padding).
Bytes Packed(const Decoded& d, int bytesPerPixel) {
    Bytes out;
    for (int y = 0; y < d.height; ++y)
        out.insert(out.end(), d.pixels.begin() + y * d.pitch, d.pixels.begin() + y * d.pitch + d.width * bytesPerPixel);
    return out;
}

struct BadCase {
    const char* what;
    Bytes file;
    int32_t status;
};

// Every case gives its status, and a decode that got as far as the pixels
// left the guard bytes past the destination alone.
void ExpectStatuses(const BadCase* cases, size_t count, uint32_t formatId) {
    for (size_t i = 0; i < count; ++i) {
        const Decoded d = Decode(cases[i].file, 24, nullptr, formatId, 0xEE);
        EXPECT_EQ(d.status, cases[i].status) << cases[i].what;
        for (size_t at = size_t(d.width) * 3; d.status != -1 && at < size_t(d.pitch) && d.height > 0; ++at)
            EXPECT_EQ(d.pixels[at], 0xEE) << cases[i].what << " wrote into the padding";
    }
}

}  // namespace

TEST(PcxFormat, EightBitRunsLiteralsAndThePaletteAtTheEnd) {
    // 3 × 2, bytes per line 4 (one pad byte). Row 0: 0xC1 0x00 is one zero
    // byte, 0xBF a literal, then a run of 5 × 7 cut at the row end. Row 1
    // raw-looking literals 1, 2, 3, 4.
    const Bytes data{0xC1, 0x00, 0xBF, 0xC5, 0x07, 1, 2, 3, 4};
    const Bytes file = Cat(Cat(PcxHeader(3, 2, 8, 1, 4), data), PcxPalette());
    const Decoded d = Decode(file, 0, nullptr, kImageFormatPcx);
    ASSERT_EQ(d.status, kImageOk);
    EXPECT_EQ(d.depth, 8);
    EXPECT_EQ(Packed(d, 1), (Bytes{0x00, 0xBF, 0x07, 1, 2, 3}));
    EXPECT_EQ(d.palette.entries[200].red, 200);
    EXPECT_EQ(d.palette.entries[200].green, 55);
    EXPECT_EQ(d.palette.entries[200].blue, 100);
    // At 24 bits the indices become the palette's colours (blue, green, red).
    const Decoded wide = Decode(file, 24, nullptr, kImageFormatPcx);
    EXPECT_EQ(Bytes(wide.pixels.begin() + 6, wide.pixels.begin() + 9), (Bytes{3, 248, 7}));
}

TEST(PcxFormat, ThreePlanesComeOutBlueGreenRed) {
    // 2 × 1, raw: red plane 10 11, green 20 21, blue 30 31.
    const Bytes file = Cat(PcxHeader(2, 1, 8, 3, 2, 0), {10, 11, 20, 21, 30, 31});
    const Decoded d = Decode(file, 0, nullptr, kImageFormatPcx);
    ASSERT_EQ(d.status, kImageOk);
    EXPECT_EQ(d.depth, 24);
    EXPECT_EQ(Packed(d, 3), (Bytes{30, 20, 10, 31, 21, 11}));
}

TEST(PcxFormat, MalformedFiles) {
    Bytes wideX = PcxHeader(4, 1, 8, 1, 4);
    wideX[4] = 9;  // x min past x max: width below 1
    Bytes shortHeader = PcxHeader(2, 2, 8, 1, 2);
    shortHeader.resize(60);
    const BadCase cases[] = {
        {"short header", shortHeader, kImageNotRecognised},
        {"four-bit one plane", Cat(PcxHeader(2, 1, 4, 1, 2), Bytes(900, 0)), kImageBelow8Bits},
        {"four planes", Cat(PcxHeader(2, 1, 8, 4, 2), Bytes(900, 0)), kImageUnsupported},
        {"width below 1", Cat(wideX, Bytes(900, 0)), kImageNotRecognised},
        {"bytes per line below the width", Cat(PcxHeader(8, 1, 8, 3, 4), Bytes(900, 0)), kImageNotRecognised},
        {"too short for the palette", Cat(PcxHeader(2, 1, 8, 1, 2), Bytes(100, 0)), kImageNotRecognised},
        {"data ends early", Cat(PcxHeader(2, 2, 8, 3, 2, 0), {1, 2, 3}), kImageCorrupt},
        {"run without its value", Cat(PcxHeader(2, 1, 8, 3, 2), {0xC6}), kImageCorrupt},
    };
    ExpectStatuses(cases, std::size(cases), kImageFormatPcx);
}

TEST(TgaFormat, RawAndRunLengthGiveTheSamePixelsInBothOrientations) {
    // 3 × 2 true colour, 24 bits; stored rows bottom-up unless bit 5.
    const Bytes raw{1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 10, 11, 12, 10, 11, 12};
    // Run-length: a raw packet of 4 pixels crossing the first row end, then
    // a run of 2.
    const Bytes rle{0x03, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 0x81, 10, 11, 12};
    for (int descriptor : {0x00, 0x20}) {
        const Decoded a = Decode(Cat(TgaHeader(2, 3, 2, 24, descriptor), raw), 0, nullptr, kImageFormatTga);
        const Decoded b = Decode(Cat(TgaHeader(10, 3, 2, 24, descriptor), rle), 0, nullptr, kImageFormatTga);
        ASSERT_EQ(a.status, kImageOk);
        ASSERT_EQ(b.status, kImageOk);
        EXPECT_EQ(Packed(a, 3), Packed(b, 3));
        const Bytes first(raw.begin(), raw.begin() + 9), second(raw.begin() + 9, raw.end());
        EXPECT_EQ(Packed(a, 3), descriptor ? Cat(first, second) : Cat(second, first)) << descriptor;
    }
}

TEST(TgaFormat, ColourMapsGreyAndAlpha) {
    // A map starting at entry 16 with 16 three-byte entries (blue, green, red).
    Bytes map;
    for (int i = 0; i < 16; ++i) map.insert(map.end(), {uint8_t(i), uint8_t(2 * i), uint8_t(100 + i)});
    Decoded d = Decode(Cat(Cat(TgaHeader(1, 2, 1, 8, 0x20, 1, 16, 16, 24), map), {16, 31}), 0, nullptr, kImageFormatTga);
    ASSERT_EQ(d.status, kImageOk);
    EXPECT_EQ(Packed(d, 1), (Bytes{16, 31}));
    EXPECT_EQ(d.palette.entries[17].red, 101);
    EXPECT_EQ(d.palette.entries[17].blue, 1);
    for (int i : {0, 15, 32, 255}) EXPECT_EQ(d.palette.entries[i].red | d.palette.entries[i].green | d.palette.entries[i].blue, 0) << i;

    // Two-byte map entries are 5-5-5 colours; the pixel depth 16 reads as 15
    // with the attribute bit dropped.
    d = Decode(Cat(Cat(TgaHeader(1, 1, 1, 8, 0, 1, 0, 1, 16), {0x1F, 0x7C}), {0}), 24, nullptr, kImageFormatTga);
    ASSERT_EQ(d.status, kImageOk);
    EXPECT_EQ(Packed(d, 3), (Bytes{255, 0, 255}));
    d = Decode(Cat(TgaHeader(2, 1, 1, 16, 0x20), {0x1F, 0x80}), 0, nullptr, kImageFormatTga);
    ASSERT_EQ(d.status, kImageOk);
    EXPECT_EQ(d.depth, 15);
    EXPECT_EQ(Packed(d, 2), (Bytes{0x1F, 0x00}));

    // Greyscale, run-length: three equal bytes per pixel, a 24-bit image.
    d = Decode(Cat(TgaHeader(11, 3, 1, 8, 0x20), {0x82, 77}), 0, nullptr, kImageFormatTga);
    ASSERT_EQ(d.status, kImageOk);
    EXPECT_EQ(d.depth, 24);
    EXPECT_EQ(Packed(d, 3), Bytes(9, 77));

    // 32 bits with 8 alpha bits: the alpha plane, rows where the pixels go;
    // with 0 alpha bits none.
    const Bytes pixels{1, 2, 3, 200, 4, 5, 6, 100};
    d = Decode(Cat(TgaHeader(2, 1, 2, 32, 8), pixels), 0, nullptr, kImageFormatTga);
    ASSERT_EQ(d.status, kImageOk);
    EXPECT_TRUE(d.hasAlpha);
    EXPECT_EQ(d.mask[0], 100);
    EXPECT_EQ(d.mask[1], 200);
    EXPECT_EQ(Packed(d, 4), (Bytes{4, 5, 6, 0, 1, 2, 3, 0}));
    d = Decode(Cat(TgaHeader(2, 1, 2, 32, 0), pixels), 0, nullptr, kImageFormatTga);
    EXPECT_FALSE(d.hasAlpha);
    EXPECT_EQ(d.mask[0] | d.mask[1], 0);
}

TEST(TgaFormat, MalformedFiles) {
    const BadCase cases[] = {
        {"short header", {0, 0, 2, 0, 0, 0, 0, 0}, kImageNotRecognised},
        {"height 0", TgaHeader(2, 2, 0, 24, 0), kImageNotRecognised},
        {"12-bit pixels", Cat(TgaHeader(2, 1, 1, 12, 0), Bytes(4, 0)), kImageNotRecognised},
        {"map past entry 256", Cat(TgaHeader(1, 1, 1, 8, 0, 1, 250, 10, 24), Bytes(40, 0)), kImageNotRecognised},
        {"mapped without a map", Cat(TgaHeader(1, 1, 1, 8, 0), {0}), kImageNotRecognised},
        {"five-byte map entries", Cat(TgaHeader(1, 1, 1, 8, 0, 1, 0, 1, 40), Bytes(8, 0)), kImageNotRecognised},
        {"grey of 16 bits", Cat(TgaHeader(3, 1, 1, 16, 0), {0, 0}), kImageNotRecognised},
        {"raw data ends early", Cat(TgaHeader(2, 2, 2, 24, 0), Bytes(11, 1)), kImageCorrupt},
        {"run packet without its pixel", Cat(TgaHeader(10, 2, 2, 24, 0), {0x83, 1}), kImageCorrupt},
        // A run of 128 pixels in a 2 × 2 image: the last row ends the image,
        // nothing is written past it.
        {"run longer than the image", Cat(TgaHeader(10, 2, 2, 24, 0), {0xFF, 9, 9, 9}), kImageOk},
    };
    ExpectStatuses(cases, std::size(cases), kImageFormatTga);
}
