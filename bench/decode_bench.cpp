// Decoding 2048x1536 pictures through the image layer into a 24-bit surface,
// against libpng and libjpeg called directly into a buffer of the same bytes
// (blue, green, red rows). The layer only moves rows, so the two should be
// close. The pictures are made here (with the image tests' helpers, which call
// libpng and libjpeg directly): a PNG in RGB and with a palette, a JPEG
// baseline and progressive. Each figure is the best of several runs.
#include "graphics2d/image_file.h"
#include "tests/graphics2d/image_test_support.h"
#include "runtime/io/memory_stream.h"

#include <png.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <functional>
#include <vector>

#include <jpeglib.h>

namespace {

using imagetest::Bytes;
constexpr int kWidth = 2048, kHeight = 1536, kRuns = 7;

Bytes MakePng(const Bytes& rgb, bool palette) {
    if (!palette) return imagetest::MakePng(kWidth, kHeight, 8, PNG_COLOR_TYPE_RGB, rgb);
    // 6-7-6 levels of red, green and blue.
    Bytes colours;
    for (int i = 0; i < 256; ++i)
        colours.insert(colours.end(), {uint8_t(i < 252 ? i / 42 * 51 : 0), uint8_t(i < 252 ? i / 6 % 7 * 42 : 0),
                                       uint8_t(i < 252 ? i % 6 * 51 : 0)});
    Bytes indices(static_cast<size_t>(kWidth) * kHeight);
    for (size_t i = 0; i < indices.size(); ++i)
        indices[i] = static_cast<uint8_t>(rgb[3 * i] / 43 * 42 + rgb[3 * i + 1] / 37 * 6 + rgb[3 * i + 2] / 43);
    return imagetest::MakePng(kWidth, kHeight, 8, PNG_COLOR_TYPE_PALETTE, indices, colours);
}

void ThroughLayer(CImageFormatManager* manager, const Bytes& file, uint8_t* out, int pitch) {
    CMemoryStream stream;
    stream.Attach(file.data(), static_cast<int32_t>(file.size()));
    CImageFile image(manager);
    if (image.AttachStream(&stream) != kImageOk || image.Read(out, kWidth, kHeight, 24, pitch, nullptr) != kImageOk)
        std::abort();
}

double BestMs(const std::function<void()>& run) {
    double best = 1e30;
    for (int i = 0; i < kRuns; ++i) {
        const auto start = std::chrono::steady_clock::now();
        run();
        const double ms = std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count();
        if (ms < best) best = ms;
    }
    return best;
}

}  // namespace

int main() {
    CImageFormatManager manager;
    if (manager.Init() != kImageOk) return 1;
    const Bytes rgb = imagetest::MakeDetailedRgb(kWidth, kHeight);
    struct Case {
        const char* name;
        Bytes file;
        bool png;
    };
    const Case cases[] = {
        {"PNG RGB", MakePng(rgb, false), true},
        {"PNG palette", MakePng(rgb, true), true},
        {"JPEG baseline", imagetest::MakeJpeg(kWidth, kHeight, 3, JCS_RGB, rgb), false},
        {"JPEG progressive", imagetest::MakeJpeg(kWidth, kHeight, 3, JCS_RGB, rgb, true), false},
    };
    const int pitch = kWidth * 3;
    Bytes layer(static_cast<size_t>(pitch) * kHeight), direct(layer.size());
    std::printf("%-18s %10s %12s %12s %7s\n", "picture", "file KB", "layer ms", "library ms", "ratio");
    for (const Case& c : cases) {
        const double layerMs = BestMs([&] { ThroughLayer(&manager, c.file, layer.data(), pitch); });
        int32_t w = 0, h = 0;
        const double directMs = BestMs([&] {
            if (c.png)
                imagetest::DecodePngInto(c.file, direct.data(), pitch, &w, &h);
            else
                imagetest::DecodeJpegInto(c.file, direct.data(), pitch, &w, &h);
        });
        if (layer != direct) {
            std::printf("%s: the layer's bytes differ from the library's\n", c.name);
            return 1;
        }
        std::printf("%-18s %10zu %12.2f %12.2f %7.3f\n", c.name, c.file.size() / 1024, layerMs, directMs,
                    layerMs / directMs);
    }
    return 0;
}
