// The layer's half of the check of PCX, TGA, FLI/FLC and ANM against outside
// tools (tests/graphics2d/anim_conformance.py, which sets the folder):
// - stills.txt names pictures, each read at 24 bits into "<name>.out" (a
//   line "status width height depth", then packed blue, green, red rows);
// - anims.txt names animations with a depth (0: their own), every frame read
//   in turn into "<name>.out" (a line "status width height frames", then each
//   frame's packed rows);
// - writes.txt lines "name depth width height frames quality" name raw
//   frames ("<name>.raw", packed rows at the depth; 8-bit ones followed by a
//   768-byte palette) that the layer writes as "<name>.anm", each frame a
//   delta over the one before.
#include <gtest/gtest.h>

#include "image_test_support.h"

#include "runtime/io/buffer_stream.h"
#include "runtime/io/memory_stream.h"

#include <cstdlib>
#include <fstream>
#include <memory>
#include <sstream>
#include <string>

using namespace imagetest;

namespace {

void WriteFrames(const std::string& folder, const std::string& name, int32_t depth) {
    const Bytes file = ReadWholeFile(folder + name);
    CMemoryStream stream;
    stream.Attach(file.data(), static_cast<int32_t>(file.size()));
    CImageFile image(Manager());
    int32_t status = image.AttachStream(&stream);
    std::ostringstream frames;
    int32_t count = 0;
    if (status == kImageOk) {
        if (depth == 0) depth = image.GetDepth();
        const int32_t rowBytes = image.GetWidth() * ((depth + 1) / 8);
        status = image.PrepareRead(image.GetWidth(), image.GetHeight(), depth, nullptr);
        Bytes picture(static_cast<size_t>(rowBytes) * image.GetHeight(), 0);
        for (; status == kImageOk && count < image.GetFrameCount(); ++count) {
            status = image.ReadFrame(picture.data(), rowBytes, count);
            if (status == kImageOk) frames.write(reinterpret_cast<const char*>(picture.data()), picture.size());
        }
    }
    std::ofstream out(folder + name + ".out", std::ios::binary);
    out << status << ' ' << image.GetWidth() << ' ' << image.GetHeight() << ' ' << count << '\n' << frames.str();
}

void WriteAnm(const std::string& folder, const std::string& line) {
    std::istringstream fields(line);
    std::string name;
    int32_t depth = 0, width = 0, height = 0, count = 0, quality = 0;
    fields >> name >> depth >> width >> height >> count >> quality;
    const Bytes raw = ReadWholeFile(folder + name + ".raw");
    const size_t frameBytes = static_cast<size_t>(width) * ((depth + 1) / 8) * height;
    ASSERT_GE(raw.size(), frameBytes * count) << name;
    LogPalette256 palette{kPaletteVersion, 256, {}};
    if (depth == 8)
        for (int i = 0; i < 256; ++i) {
            const uint8_t* p = &raw[frameBytes * count + 3 * i];
            palette.entries[i] = {p[0], p[1], p[2], 0};
        }
    std::unique_ptr<CImageFormat, void (*)(CImageFormat*)> anm(Manager()->GetPrototype(4)->CreateInstance(),
                                                                [](CImageFormat* f) { f->Release(); });
    anm->SetQuality(quality);
    CBufferStream out;
    CAnimationHeader header;
    header.width = width, header.height = height, header.depth = depth, header.defaultDelay = 40;
    ASSERT_EQ(anm->BeginAnimation(&out, header), kImageOk);
    const int32_t pitch = width * ((depth + 1) / 8);
    for (int32_t i = 0; i < count; ++i)
        ASSERT_EQ(anm->WriteFrame(&out, i ? &raw[frameBytes * (i - 1)] : nullptr, &raw[frameBytes * i], pitch,
                                  &palette, 20 + i, 0), kImageOk);
    anm->EndWrite(&out);
    WriteWholeFile(folder + name + ".anm", Bytes(out.GetData(), out.GetData() + out.GetSize()));
}

}  // namespace

TEST(AnimConformance, ReadsAndWritesTheFilesOfTheOutsideCheck) {
    const char* env = std::getenv("TW_ANIM_CONFORMANCE_DIR");
    if (!env) GTEST_SKIP() << "run by anim_conformance.py";
    const std::string folder = std::string(env) + "/";
    std::string line;
    for (std::ifstream list(folder + "stills.txt"); std::getline(list, line);)
        if (!line.empty()) WriteDecodedAt24(folder + line);
    for (std::ifstream list(folder + "anims.txt"); std::getline(list, line);) {
        std::istringstream fields(line);
        std::string name;
        int32_t depth = 0;
        if (fields >> name >> depth) WriteFrames(folder, name, depth);
    }
    for (std::ifstream list(folder + "writes.txt"); std::getline(list, line);)
        if (!line.empty()) WriteAnm(folder, line);
}
