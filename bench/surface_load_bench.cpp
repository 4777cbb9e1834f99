// Loading a 1024x768 picture element of a picture bank into a script
// surface's picture (the bank element's load, which decodes the embedded
// file into a 32-bit surface, and the copy into a 32-bit DIB surface that
// CreateFromBankImage does), against libpng and libjpeg called directly into
// a 24-bit buffer. Each figure is the best of several runs.
#include "bench_timing.h"
#include "graphics2d/image_bank.h"
#include "graphics2d/surface_registry.h"
#include "runtime/io/buffer_stream.h"
#include "runtime/package/bank_writer.h"
#include "tests/graphics2d/image_test_support.h"

#include <jpeglib.h>
#include <png.h>

#include <cstdio>
#include <memory>

namespace {

using imagetest::Bytes;
constexpr int kWidth = 1024, kHeight = 768;

}  // namespace

int main() {
    RegisterSurfaceClient();
    RegisterImageBank();
    const Bytes rgb = imagetest::MakeDetailedRgb(kWidth, kHeight);
    const Bytes png = imagetest::MakePng(kWidth, kHeight, 8, PNG_COLOR_TYPE_RGB, rgb);
    const Bytes jpeg = imagetest::MakeJpeg(kWidth, kHeight, 3, JCS_RGB, rgb);
    CBankWriter writer(kBankPictures, "Pictures");
    for (const Bytes* file : {&png, &jpeg}) {
        std::vector<uint8_t> body;
        EncodePictureFile(0, 0, kWidth, kHeight, 24, file->data(), static_cast<int32_t>(file->size()), &body);
        writer.AddRaw("p", "", body.data(), static_cast<int32_t>(body.size()));
    }
    CBufferStream out;
    if (writer.Write(&out, true) != 0) return 1;
    const std::string name = imagetest::ScratchFolder() + "bench-bank.bin";
    imagetest::WriteWholeFile(name, Bytes(out.GetData(), out.GetData() + out.GetSize()));
    std::unique_ptr<CImageBank> bank(dynamic_cast<CImageBank*>(ReadBank(nullptr, name.c_str())));
    if (!bank || !bank->ChangeColorDepth(32)) return 1;
    const CSurface* dib = nullptr;
    SelectPixelFormat(&dib, 32, kPlaceDIB, 0);
    CSurface picture;
    if (!picture.Create(kWidth, kHeight, dib)) return 1;

    Bytes direct(static_cast<size_t>(kWidth) * 3 * kHeight);
    std::printf("%-6s %10s %12s %12s %7s\n", "file", "file KB", "element ms", "library ms", "ratio");
    const struct {
        const char* name;
        const Bytes* file;
    } cases[] = {{"PNG", &png}, {"JPEG", &jpeg}};
    for (int i = 0; i < 2; ++i) {
        const double elementMs = bench::BestMillisecondsPerCall([&] {
            bank->UnloadAll();
            if (!bank->LoadElement(i, 0)) std::abort();
            static_cast<CImageElement*>(bank->GetElement(i))->GetSurface()->CopyTo(&picture);
        });
        int32_t w = 0, h = 0;
        const double directMs = bench::BestMillisecondsPerCall([&] {
            if (i == 0)
                imagetest::DecodePngInto(png, direct.data(), kWidth * 3, &w, &h);
            else
                imagetest::DecodeJpegInto(jpeg, direct.data(), kWidth * 3, &w, &h);
        });
        // The picture holds what the library decoded.
        uint32_t c = 0;
        picture.PixelAt(517, 301, &c);
        const uint8_t* d = &direct[(301 * static_cast<size_t>(kWidth) + 517) * 3];
        if ((c & 0xFFFFFF) != (uint32_t(d[2]) | uint32_t(d[1]) << 8 | uint32_t(d[0]) << 16)) {
            std::printf("%s: the surface differs from the library's decode\n", cases[i].name);
            return 1;
        }
        std::printf("%-6s %10zu %12.2f %12.2f %7.3f\n", cases[i].name, cases[i].file->size() / 1024, elementMs,
                    directMs, elementMs / directMs);
    }
    bank.reset();
    UnregisterSurfaceClient();
    return 0;
}
