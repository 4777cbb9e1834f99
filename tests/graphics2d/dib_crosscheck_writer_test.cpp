// The file side of dib_crosscheck.py: surfaces exported as BMP files for
// outside decoders, and BMP files made by outside encoders imported and
// written back as text. Runs only when the script sets the folder.
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <string>

#include "surface_test_support.h"

namespace {

void WriteBmp(const std::string& path, const std::vector<uint8_t>& dib, int32_t tableAndHeader) {
    std::ofstream out(path, std::ios::binary);
    const uint32_t fileSize = static_cast<uint32_t>(14 + dib.size());
    const uint32_t offset = static_cast<uint32_t>(14 + tableAndHeader);
    const uint8_t head[14] = {'B', 'M',
                              uint8_t(fileSize), uint8_t(fileSize >> 8), uint8_t(fileSize >> 16), uint8_t(fileSize >> 24),
                              0, 0, 0, 0,
                              uint8_t(offset), uint8_t(offset >> 8), uint8_t(offset >> 16), uint8_t(offset >> 24)};
    out.write(reinterpret_cast<const char*>(head), 14);
    out.write(reinterpret_cast<const char*>(dib.data()), static_cast<std::streamsize>(dib.size()));
}

void WritePixels(const std::string& path, CSurface* s) {
    std::ofstream out(path);
    for (int y = 0; y < s->GetHeight(); ++y)
        for (int x = 0; x < s->GetWidth(); ++x) {
            uint32_t c = 0;
            s->PixelAt(x, y, &c);
            out << (c & 0xFF) << ' ' << ((c >> 8) & 0xFF) << ' ' << ((c >> 16) & 0xFF) << '\n';
        }
}

}  // namespace

using DibCrossCheck = SurfaceClientTest;

TEST_F(DibCrossCheck, WritesAndReadsFilesForTheOutsideCheck) {
    const char* folder = std::getenv("TW_DIB_CROSSCHECK_DIR");
    if (!folder) GTEST_SKIP() << "run by dib_crosscheck.py";
    const std::string dir = std::string(folder) + "/";
    for (int depth : {8, 15, 16, 24, 32}) {
        CSurface s;
        ASSERT_TRUE(MakeMemory(&s, depth, 7, 5));
        for (int y = 0; y < 5; ++y)
            for (int x = 0; x < 7; ++x) s.FillRect(x, y, 1, 1, uint32_t(x * 37 + 5) | uint32_t(y * 51) << 8 | uint32_t((x ^ y) * 29) << 16);
        std::vector<uint8_t> dib(static_cast<size_t>(s.GetImageSize()));
        ASSERT_TRUE(s.GetBitmapInfo(reinterpret_cast<BitmapInfoHeader*>(dib.data()), nullptr, 0));
        const std::string name = dir + "export_" + std::to_string(depth);
        WriteBmp(name + ".bmp", dib, GetBitmapInfoSize(depth));
        WritePixels(name + ".txt", &s);
    }
    std::ifstream list(dir + "imports.txt");
    std::string file;
    while (list >> file) {
        std::ifstream in(dir + file + ".bmp", std::ios::binary);
        std::vector<uint8_t> bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
        ASSERT_GT(bytes.size(), 54u) << file;
        CSurface s;
        ASSERT_TRUE(MakeMemory(&s, 24, 1, 1));
        ASSERT_TRUE(s.CreateFromBitmapInfo(reinterpret_cast<const BitmapInfoHeader*>(bytes.data() + 14), nullptr, 0,
                                           static_cast<int64_t>(bytes.size() - 14)))
            << file << " status " << std::hex << s.GetStatus();
        WritePixels(dir + file + ".txt", &s);
    }
}
