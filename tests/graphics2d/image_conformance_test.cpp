// The layer's half of the conformance check against outside decoders and
// encoders (tests/graphics2d/image_conformance.py, which sets the folder):
// every file named in list.txt is read at 24 bits into "<name>.out" (a line
// "status width height depth", then the packed blue, green, red rows), and
// the layer writes its own files of source.ppm for the outside decoders.
#include <gtest/gtest.h>

#include "image_test_support.h"

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <string>

using namespace imagetest;

namespace {

// A binary P6 file with maxval 255, as red, green, blue samples.
bool ReadPpm(const std::string& name, int* width, int* height, Bytes* rgb) {
    std::ifstream in(name, std::ios::binary);
    std::string magic;
    int maxval = 0;
    if (!(in >> magic >> *width >> *height >> maxval) || magic != "P6" || maxval != 255) return false;
    in.get();
    rgb->resize(static_cast<size_t>(*width) * *height * 3);
    return static_cast<bool>(in.read(reinterpret_cast<char*>(rgb->data()), static_cast<std::streamsize>(rgb->size())));
}

void SaveAs(uint32_t format, const std::string& name, const Bytes& pixels, int width, int height, int depth,
            int pitch, const LogPalette256* palette) {
    CImageFile image(Manager());
    ASSERT_EQ(image.CreateFormatById(format), 1);
    EXPECT_EQ(image.SaveFile(name.c_str(), pixels.data(), width, height, depth, pitch, palette), kImageOk) << name;
}

}  // namespace

TEST(ImageConformance, ReadsAndWritesTheFilesOfTheOutsideCheck) {
    const char* env = std::getenv("TW_IMAGE_CONFORMANCE_DIR");
    if (!env) GTEST_SKIP() << "run by image_conformance.py";
    const std::string folder = std::string(env) + "/";

    std::ifstream list(folder + "list.txt");
    std::string name;
    while (std::getline(list, name)) {
        if (name.empty()) continue;
        WriteDecodedAt24(folder + name);
    }

    int width = 0, height = 0;
    Bytes rgb;
    ASSERT_TRUE(ReadPpm(folder + "source.ppm", &width, &height, &rgb));
    // The source as the layer's 24-bit rows, as 16-bit 5-6-5 words, and as
    // 8-bit indices into a 6-7-6 colour cube.
    const int pitch24 = width * 3, pitch16 = (width * 2 + 3) & ~3;
    Bytes bgr(rgb.size()), words(static_cast<size_t>(pitch16) * height), indices(static_cast<size_t>(width) * height);
    LogPalette256 cube{kPaletteVersion, 256, {}};
    for (int i = 0; i < 252; ++i) cube.entries[i] = {uint8_t(i / 42 * 51), uint8_t(i / 6 % 7 * 42), uint8_t(i % 6 * 51), 0};
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) {
            const uint8_t* p = &rgb[(static_cast<size_t>(y) * width + x) * 3];
            uint8_t* q = &bgr[static_cast<size_t>(y) * pitch24 + 3 * x];
            q[0] = p[2], q[1] = p[1], q[2] = p[0];
            const uint32_t w = (p[0] >> 3) << 11 | (p[1] >> 2) << 5 | p[2] >> 3;
            words[static_cast<size_t>(y) * pitch16 + 2 * x] = static_cast<uint8_t>(w);
            words[static_cast<size_t>(y) * pitch16 + 2 * x + 1] = static_cast<uint8_t>(w >> 8);
            indices[static_cast<size_t>(y) * width + x] = static_cast<uint8_t>((p[0] + 25) / 51 * 42 + (p[1] + 21) / 42 * 6 + (p[2] + 25) / 51);
        }
    SaveAs(kImageFormatBmp, folder + "ours24.bmp", bgr, width, height, 24, pitch24, nullptr);
    SaveAs(kImageFormatBmp, folder + "ours16.bmp", words, width, height, 16, pitch16, nullptr);
    SaveAs(kImageFormatBmp, folder + "ours8.bmp", indices, width, height, 8, width, &cube);
    SaveAs(kImageFormatBmp, folder + "ours24w1.bmp", bgr, 1, height, 24, pitch24, nullptr);
    SaveAs(kImageFormatPng, folder + "ours24.png", bgr, width, height, 24, pitch24, nullptr);
    SaveAs(kImageFormatPng, folder + "ours8.png", indices, width, height, 8, width, &cube);
    SaveAs(kImageFormatJpeg, folder + "ours24.jpg", bgr, width, height, 24, pitch24, nullptr);
    std::ofstream expected(folder + "ours8.ppm", std::ios::binary);
    expected << "P6\n" << width << ' ' << height << "\n255\n";
    for (uint8_t i : indices) expected << cube.entries[i].red << cube.entries[i].green << cube.entries[i].blue;
}
