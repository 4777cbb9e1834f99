// JPEG files through the image layer: greyscale and colour, writing, and
// damaged or unsupported files.
#include <gtest/gtest.h>

#include "image_test_support.h"

#include <cmath>
#include <cstdio>

#include <jpeglib.h>

using namespace imagetest;

namespace {

// An RGB gradient, width x height, as red, green, blue samples.
Bytes Gradient(int width, int height) {
    Bytes rows;
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            rows.insert(rows.end(), {uint8_t(x * 255 / width), uint8_t(y * 255 / height), uint8_t(128)});
    return rows;
}

// The layer's rows without their padding.
Bytes Packed(const Decoded& d) {
    Bytes out;
    for (int y = 0; y < d.height; ++y)
        out.insert(out.end(), &d.pixels[y * d.pitch], &d.pixels[y * d.pitch + d.width * 3]);
    return out;
}

}  // namespace

TEST(JpegRead, GreyAndColourMatchTheLibrary) {
    const int w = 37, h = 19;
    Bytes grey;
    for (int i = 0; i < w * h; ++i) grey.push_back(static_cast<uint8_t>(i * 7));
    const Bytes greyFile = MakeJpeg(w, h, 1, JCS_GRAYSCALE, grey);
    const Decoded g = Decode(greyFile);
    ASSERT_EQ(g.status, kImageOk);
    EXPECT_EQ(g.depth, 24);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            const uint8_t* p = &g.pixels[y * g.pitch + 3 * x];
            ASSERT_TRUE(p[0] == p[1] && p[1] == p[2]) << x << "," << y;
        }
    int32_t dw = 0, dh = 0;
    EXPECT_EQ(Packed(g), DecodeJpegDirect(greyFile, &dw, &dh));

    for (bool progressive : {false, true}) {
        const Bytes file = MakeJpeg(w, h, 3, JCS_RGB, Gradient(w, h), progressive);
        const Decoded c = Decode(file);
        ASSERT_EQ(c.status, kImageOk);
        EXPECT_EQ(Packed(c), DecodeJpegDirect(file, &dw, &dh)) << progressive;
    }
}

TEST(JpegWrite, KeepsTheByteOrder) {
    const int w = 16, h = 16;
    Bytes bgr(w * 3 * h);
    for (int i = 0; i < w * h; ++i) {  // pure red in the layer's order: blue 0, green 0, red 255
        bgr[3 * i] = 0;
        bgr[3 * i + 1] = 0;
        bgr[3 * i + 2] = 255;
    }
    int32_t status = -1;
    const Bytes file = Save(kImageFormatJpeg, bgr.data(), w, h, 24, w * 3, nullptr, &status);
    ASSERT_EQ(status, kImageOk);
    const Decoded d = Decode(file);
    ASSERT_EQ(d.status, kImageOk);
    EXPECT_LT(d.pixels[0], 16);
    EXPECT_LT(d.pixels[1], 16);
    EXPECT_GT(d.pixels[2], 240);

    // A gradient written by the layer decodes within 30 dB of its source.
    const Bytes source = Gradient(64, 48);
    Bytes sourceBgr(source.size());
    for (size_t i = 0; i < source.size(); i += 3) {
        sourceBgr[i] = source[i + 2];
        sourceBgr[i + 1] = source[i + 1];
        sourceBgr[i + 2] = source[i];
    }
    const Bytes gradient = Save(kImageFormatJpeg, sourceBgr.data(), 64, 48, 24, 64 * 3, nullptr, &status);
    ASSERT_EQ(status, kImageOk);
    int32_t dw = 0, dh = 0;
    const Bytes back = DecodeJpegDirect(gradient, &dw, &dh);
    double squares = 0;
    for (size_t i = 0; i < back.size(); ++i) squares += (back[i] - sourceBgr[i]) * (back[i] - sourceBgr[i]);
    const double psnr = 10 * std::log10(255.0 * 255.0 / (squares / back.size() + 1e-9));
    EXPECT_GT(psnr, 30.0);
}

TEST(JpegRead, DamagedAndUnsupportedFiles) {
    const Bytes good = MakeJpeg(16, 16, 3, JCS_RGB, Gradient(16, 16));
    Bytes cmykRows(16 * 16 * 4, 100);
    Bytes noFrame;  // SOI, then a comment, then the end of the image
    noFrame.insert(noFrame.end(), {0xFF, 0xD8, 0xFF, 0xFE, 0, 4, 'h', 'i', 0xFF, 0xD9});
    Bytes noFrameApp = noFrame;
    noFrameApp[3] = 0xE0;  // the probe wants an APPn (or later) marker third
    struct Case {
        const char* what;
        Bytes file;
        int32_t status;
    };
    const Case cases[] = {
        {"the four bytes FF D8 FF E1", {0xFF, 0xD8, 0xFF, 0xE1}, kImageNotRecognised},
        {"no frame header", noFrame, kImageNotRecognised},
        {"no frame header after APP0", noFrameApp, kImageNotRecognised},
        {"CMYK", MakeJpeg(16, 16, 4, JCS_CMYK, cmykRows), kImageUnsupported},
        {"header cut short", Bytes(good.begin(), good.begin() + 100), kImageNotRecognised},
        // Cut pixel data decodes as far as it goes, as the library's own tools show it.
        {"pixel data cut short", Bytes(good.begin(), good.end() - 40), kImageOk},
    };
    for (const Case& c : cases) EXPECT_EQ(Decode(c.file, 0, nullptr, kImageFormatJpeg).status, c.status) << c.what;
    // The probe accepts the four bytes; the header fails.
    const Bytes four = {0xFF, 0xD8, 0xFF, 0xE1};
    EXPECT_EQ(Decode(four).status, kImageNotRecognised);
}
