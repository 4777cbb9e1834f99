#include "tools/pack/packer.h"

#include "graphics2d/image_file.h"
#include "runtime/io/buffer_stream.h"
#include "runtime/io/memory_stream.h"

#include "runtime/package/package_location.h"
#include "runtime/package/program_container.h"
#include "tests/support/test_files.h"
#include "tools/pack/image_info.h"
#include "tools/pack/manifest.h"
#include "tools/pack/pe_image.h"

#include <gtest/gtest.h>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

namespace {

void Put16(std::vector<uint8_t>* v, size_t at, uint32_t x) {
    (*v)[at] = static_cast<uint8_t>(x);
    (*v)[at + 1] = static_cast<uint8_t>(x >> 8);
}
void Put32(std::vector<uint8_t>* v, size_t at, uint32_t x) {
    Put16(v, at, x & 0xFFFF);
    Put16(v, at + 2, x >> 16);
}
uint32_t Get32(const std::vector<uint8_t>& v, size_t at) {
    return v[at] | (v[at + 1] << 8) | (v[at + 2] << 16) | (static_cast<uint32_t>(v[at + 3]) << 24);
}

const size_t kRecordAt = 0x410;

// A minimal PE image: a code section, and a data section holding the package
// record at kRecordAt. `recordInCode` puts the record in the code section.
std::vector<uint8_t> FakeRuntime(bool pe64, bool recordInCode = false, bool twoRecords = false) {
    std::vector<uint8_t> v(0x600, 0);
    v[0] = 'M';
    v[1] = 'Z';
    Put32(&v, 0x3C, 0x40);
    std::memcpy(&v[0x40], "PE\0\0", 4);
    Put16(&v, 0x44, pe64 ? 0x8664 : 0x14C);
    Put16(&v, 0x46, 2);
    const uint32_t optionalSize = pe64 ? 0xF0 : 0xE0;
    Put16(&v, 0x54, optionalSize);
    Put16(&v, 0x58, pe64 ? 0x20B : 0x10B);
    const size_t table = 0x58 + optionalSize;
    std::memcpy(&v[table], ".text", 5);
    Put32(&v, table + 16, 0x200);
    Put32(&v, table + 20, 0x200);
    Put32(&v, table + 36, 0x60000020);
    std::memcpy(&v[table + 40], ".data", 5);
    Put32(&v, table + 40 + 16, 0x200);
    Put32(&v, table + 40 + 20, 0x400);
    Put32(&v, table + 40 + 36, 0xC0000040);
    const size_t at = recordInCode ? 0x210 : kRecordAt;
    std::memcpy(&v[at], TW_PACKAGE_MARKER, kPackageMarkerSize);
    Put32(&v, at + 20, 0xFFFFFFFF);
    if (twoRecords) std::memcpy(&v[0x500], TW_PACKAGE_MARKER, kPackageMarkerSize);
    return v;
}

std::vector<uint8_t> Bytes(const std::string& s) { return std::vector<uint8_t>(s.begin(), s.end()); }

// A 24-bit BMP header of the given size (pixels left out: the packer reads
// headers only).
std::vector<uint8_t> BmpHeader(int w, int h, int bits) {
    std::vector<uint8_t> v(54, 0);
    v[0] = 'B';
    v[1] = 'M';
    Put32(&v, 14, 40);
    Put32(&v, 18, static_cast<uint32_t>(w));
    Put32(&v, 22, static_cast<uint32_t>(h));
    Put16(&v, 26, 1);
    Put16(&v, 28, static_cast<uint32_t>(bits));
    return v;
}

std::vector<uint8_t> PngHeader(uint32_t w, uint32_t h, uint8_t depth, uint8_t type) {
    std::vector<uint8_t> v = {0x89, 'P', 'N', 'G', 0x0D, 0x0A, 0x1A, 0x0A, 0, 0, 0, 13, 'I', 'H', 'D', 'R'};
    for (uint32_t x : {w, h})
        for (int k = 3; k >= 0; --k) v.push_back(static_cast<uint8_t>(x >> (8 * k)));
    v.push_back(depth);
    v.push_back(type);
    v.insert(v.end(), {0, 0, 0, 0, 0, 0, 0});
    return v;
}

}  // namespace

TEST(PeImage, PackageIsAttachedAndReplacedInBothImageKinds) {
    for (bool pe64 : {false, true}) {
        SCOPED_TRACE(pe64 ? "PE32+" : "PE32");
        const std::vector<uint8_t> runtime = FakeRuntime(pe64);
        PeImageInfo info;
        std::string error;
        ASSERT_TRUE(FindPackageRecord(runtime, &info, &error)) << error;
        EXPECT_EQ(info.record, kRecordAt);
        EXPECT_EQ(info.is64, pe64);
        EXPECT_EQ(info.imageEnd, 0x600u);

        std::vector<uint8_t> packed, repacked;
        ASSERT_TRUE(AttachPackage(runtime, Bytes("first package"), &packed, &error)) << error;
        uint32_t offset = 0;
        ASSERT_TRUE(ReadPackageOffset(packed, kRecordAt, &offset));
        EXPECT_EQ(offset, runtime.size());
        EXPECT_EQ(Get32(packed, kRecordAt + 20), ~static_cast<uint32_t>(runtime.size()));
        EXPECT_EQ(std::string(packed.begin() + offset, packed.end()), "first package");

        // Packing a packed executable replaces its package.
        ASSERT_TRUE(AttachPackage(packed, Bytes("second"), &repacked, &error)) << error;
        ASSERT_TRUE(ReadPackageOffset(repacked, kRecordAt, &offset));
        EXPECT_EQ(offset, runtime.size());
        EXPECT_EQ(std::string(repacked.begin() + offset, repacked.end()), "second");
        EXPECT_EQ(CountPackageMarkers(repacked), 1);
    }
}

TEST(PeImage, UnusableExecutablesAreRefused) {
    std::vector<uint8_t> damaged = FakeRuntime(false);
    Put32(&damaged, kRecordAt + 16, 0x1000);  // check word no longer matches
    std::vector<uint8_t> wild = FakeRuntime(false);
    Put32(&wild, kRecordAt + 16, 0x100);  // inside the image
    Put32(&wild, kRecordAt + 20, ~0x100u);
    std::vector<uint8_t> cutSections = FakeRuntime(true);
    cutSections.resize(0x500);
    struct Case {
        const char* what;
        std::vector<uint8_t> exe;
        const char* error;
    };
    const Case cases[] = {
        {"no MZ", Bytes(std::string(100, 'x')), "no MZ header"},
        {"record in code only", FakeRuntime(false, true), "no package record"},
        {"two records", FakeRuntime(false, false, true), "more than once"},
        {"damaged word", damaged, "damaged"},
        {"word inside the image", wild, "outside"},
        {"section past the end", cutSections, "beyond the end"},
    };
    for (const Case& c : cases) {
        std::vector<uint8_t> out;
        std::string error;
        EXPECT_FALSE(AttachPackage(c.exe, Bytes("p"), &out, &error)) << c.what;
        EXPECT_NE(error.find(c.error), std::string::npos) << c.what << ": " << error;
    }
}

TEST(ImageHeaders, SizeAndDepthOfEachFormat) {
    std::vector<uint8_t> jpeg = {0xFF, 0xD8, 0xFF, 0xE0, 0, 4, 1, 2, 0xFF, 0xC0, 0, 11, 8, 0, 20, 0, 30, 3};
    std::vector<uint8_t> pcx(128, 0);
    pcx[0] = 0x0A;
    pcx[2] = 1;
    pcx[3] = 8;
    Put16(&pcx, 8, 63);
    Put16(&pcx, 10, 9);
    pcx[65] = 3;
    std::vector<uint8_t> tga(18, 0);
    tga[2] = 2;
    Put16(&tga, 12, 5);
    Put16(&tga, 14, 6);
    tga[16] = 32;
    std::vector<uint8_t> topDown = BmpHeader(7, -9, 8);
    std::vector<uint8_t> cutPng = PngHeader(1, 1, 8, 0);
    cutPng.resize(20);
    struct Case {
        const char* name;
        std::vector<uint8_t> bytes;
        bool known;
        uint32_t width, height, depth;
    };
    const Case cases[] = {
        {"a.bmp", BmpHeader(3, 2, 24), true, 3, 2, 24},
        {"b.bmp", topDown, true, 7, 9, 8},
        {"c.png", PngHeader(640, 480, 8, 6), true, 640, 480, 32},
        {"d.jpg", jpeg, true, 30, 20, 24},
        {"e.pcx", pcx, true, 64, 10, 24},
        {"f.TGA", tga, true, 5, 6, 32},
        {"f.dat", tga, false, 0, 0, 0},  // TGA has no magic: known by its name only
        {"g.png", cutPng, false, 0, 0, 0},
        {"h.txt", Bytes("hello"), false, 0, 0, 0},
    };
    for (const Case& c : cases) {
        ImageInfo info;
        EXPECT_EQ(ReadImageInfo(c.bytes, c.name, &info), c.known) << c.name;
        if (!c.known) continue;
        EXPECT_EQ(info.width, c.width) << c.name;
        EXPECT_EQ(info.height, c.height) << c.name;
        EXPECT_EQ(info.depth, c.depth) << c.name;
    }
}

TEST(Manifest, SettingsBanksAndElements) {
    const char* text =
        "# a game\n"
        "title = Space Game \n"
        "speed = 50\n"
        "background = 0x102030\n"
        "gameinput_words = 1 2 3\n"
        "compress = 0\n"
        "palette = Default\n"
        "[sources Main]\n"
        "main.src\n"
        "lib/util.src\n"
        "[pictures Pictures]\n"
        "title/splash = art/splash.png | -3 4\n"
        "[7 Blobs]\n"
        "x = data.bin\n";
    Manifest m;
    std::string error;
    ASSERT_TRUE(ParseManifest(text, &m, &error)) << error;
    EXPECT_EQ(m.title, "Space Game");
    EXPECT_EQ(m.speed, 50);
    EXPECT_EQ(m.backgroundColor, 0x102030u);
    EXPECT_EQ(m.gameInputC, 3u);
    EXPECT_FALSE(m.compress);
    EXPECT_TRUE(m.palette.empty());
    ASSERT_EQ(m.banks.size(), 3u);
    EXPECT_EQ(m.banks[0].type, 0u);
    EXPECT_EQ(m.banks[0].name, "Main");
    ASSERT_EQ(m.banks[0].entries.size(), 2u);
    EXPECT_EQ(m.banks[0].entries[1].name, "util.src");
    EXPECT_EQ(m.banks[0].entries[1].group, "");
    EXPECT_EQ(m.banks[0].entries[1].file, "lib/util.src");
    const ManifestEntry& splash = m.banks[1].entries[0];
    EXPECT_EQ(splash.group, "title");
    EXPECT_EQ(splash.name, "splash");
    EXPECT_EQ(splash.file, "art/splash.png");
    EXPECT_TRUE(splash.hasHotSpot);
    EXPECT_EQ(splash.hotSpotX, -3);
    EXPECT_EQ(m.banks[2].type, 7u);

    const struct {
        const char* text;
        const char* error;
    } bad[] = {
        {"title = a\nspeed = 70000\n", "line 2: speed"},
        {"colour = 1\n", "line 1: unknown setting colour"},
        {"[sprites S]\n", "line 1: unknown bank kind sprites"},
        {"[sources]\n", "line 1: a bank needs a kind and a name"},
        {"[sources M]\na = b | 1\n", "line 2: a hot spot"},
        {"just words\n", "line 1: a setting"},
        {"gameinput_words = 1 2\n", "line 1: gameinput_words"},
    };
    for (const auto& c : bad) {
        Manifest n;
        EXPECT_FALSE(ParseManifest(c.text, &n, &error)) << c.text;
        EXPECT_EQ(error.find(c.error), 0u) << c.text << " gave " << error;
    }
}

TEST(Packer, FolderPacksIntoAnExecutableTheContainerReads) {
    TestFolder dir;
    ASSERT_TRUE(dir.Ok());
    const std::string& root = dir.Path();
    // The follow-on application lives in a folder of its own, inside this one.
    ASSERT_EQ(CreateDirectoryPath((root + "\\next").c_str()), 0);
    ASSERT_TRUE(WriteWholeFile(dir.File("next\\manifest.txt"), Bytes("title = Next\n[sources Second]\nsecond.src\n")));
    ASSERT_TRUE(WriteWholeFile(dir.File("next\\second.src"), Bytes("Function Main() { }\n")));
    dir.File("next");  // removed after its files

    const std::string manifest = "title = Demo\nspeed = 25\nstartup = init.txt\ngameinput = keys.txt\n"
                                 "followon = next\n"
                                 "[sources Main]\nmain.src\nmore = extra.src\n"
                                 "[pictures Pictures]\nlogo.bmp | 2 3\nicons/star = star.png\n"
                                 "[strings Texts]\ngreeting = hello.txt\n";
    ASSERT_TRUE(WriteWholeFile(dir.File("manifest.txt"), Bytes(manifest)));
    const std::string mainSource = "Function Main() {\n  Var a = 1;\n}\n" + std::string(3000, '/') + "\n";
    ASSERT_TRUE(WriteWholeFile(dir.File("main.src"), Bytes(mainSource)));
    ASSERT_TRUE(WriteWholeFile(dir.File("extra.src"), Bytes("Var b;\n")));
    ASSERT_TRUE(WriteWholeFile(dir.File("init.txt"), Bytes("Var started;\n")));
    ASSERT_TRUE(WriteWholeFile(dir.File("keys.txt"), Bytes("[Fire]\n")));
    ASSERT_TRUE(WriteWholeFile(dir.File("logo.bmp"), BmpHeader(16, 8, 24)));
    ASSERT_TRUE(WriteWholeFile(dir.File("star.png"), PngHeader(32, 32, 8, 3)));
    ASSERT_TRUE(WriteWholeFile(dir.File("hello.txt"), Bytes("Hello there")));
    const std::string runtime = dir.File("runtime.exe");
    ASSERT_TRUE(WriteWholeFile(runtime, FakeRuntime(false)));
    const std::string output = dir.File("demo.exe");

    std::string error;
    ASSERT_TRUE(PackExecutable(runtime, root, output, &error)) << error;
    std::vector<uint8_t> packed = ReadWholeFile(output);
    uint32_t offset = 0;
    ASSERT_TRUE(ReadPackageOffset(packed, kRecordAt, &offset));
    EXPECT_EQ(offset, 0x600u);

    CProgramContainer c(nullptr);
    ASSERT_EQ(c.ReadPackageFile(output.c_str(), static_cast<int32_t>(offset)), kIoOk);
    CBankSet* p = c.GetCurrentProgram();
    ASSERT_NE(p, nullptr);
    EXPECT_STREQ(p->GetTitle(), "Demo");
    EXPECT_EQ(p->GetSpeed(), 25);
    EXPECT_STREQ(p->GetSourceText(), "Var started;\n");
    EXPECT_STREQ(p->GetGameInputData(), "[Fire]\n");
    EXPECT_EQ(p->GetGameInputWordB(), 1);

    // The source bank is the module; its elements in order are its parts.
    CBank* sources = c.FindBankById(kBankSources);
    ASSERT_NE(sources, nullptr);
    EXPECT_STREQ(sources->GetName(), "Main");
    ASSERT_EQ(sources->GetCount(), 2);
    EXPECT_STREQ(sources->GetElement(0)->GetName(), "main.src");
    EXPECT_STREQ(sources->GetElement(1)->GetName(), "more");
    ASSERT_EQ(sources->LoadElement(0, 0), 1);
    auto* part = static_cast<CBinaryElement*>(sources->GetElement(0));
    EXPECT_EQ(std::string(reinterpret_cast<const char*>(part->GetData()), part->GetSize()), mainSource);

    // Pictures embed their files behind the picture header.
    CElement* star = c.FindElement("Demo://Pictures/icons/star", 0);
    ASSERT_NE(star, nullptr);
    ASSERT_NE(c.FindElement("logo.bmp", kBankPictures), nullptr);
    CBank* pictures = c.FindBankById(kBankPictures);
    const size_t at = static_cast<size_t>(pictures->GetDataPosition(0));
    EXPECT_EQ(packed[at], 2);      // hot spot x
    EXPECT_EQ(packed[at + 2], 3);  // hot spot y
    EXPECT_EQ(Get32(packed, at + 4), 0xFFFFFFFFu);  // no palette of the table
    EXPECT_EQ(packed[at + 8] | (packed[at + 9] << 8), 0xFFFF);  // a whole file
    EXPECT_EQ(packed[at + 10], 16);  // width
    EXPECT_EQ(packed[at + 12], 8);   // height
    EXPECT_EQ(packed[at + 14], 24);  // depth
    EXPECT_EQ(std::vector<uint8_t>(packed.begin() + at + 20, packed.begin() + at + 74), BmpHeader(16, 8, 24));

    std::unique_ptr<CStream> greeting(c.OpenResource("greeting", kBankStrings, 0));
    ASSERT_NE(greeting, nullptr);
    EXPECT_EQ(greeting->GetSize(), 11);

    // The follow-on program, from the same file.
    ASSERT_NE(c.GetFollowOnOffset(), 0u);
    CProgramContainer second(nullptr);
    ASSERT_EQ(second.ReadPackageFile(output.c_str(), static_cast<int32_t>(c.GetFollowOnOffset())), kIoOk);
    ASSERT_NE(second.GetCurrentProgram(), nullptr);
    EXPECT_STREQ(second.GetCurrentProgram()->GetTitle(), "Next");
    EXPECT_NE(second.FindElement("second.src", kBankSources), nullptr);

    // Packing the packed executable again replaces the package.
    ASSERT_TRUE(PackExecutable(output, root, output, &error)) << error;
    EXPECT_EQ(ReadWholeFile(output).size(), packed.size());
}

// A 2 × 1 24-bit BMP: (10, 20, 30) and (200, 100, 50) as red, green, blue.
std::vector<uint8_t> TwoPixelBmp() {
    std::vector<uint8_t> f = BmpHeader(2, 1, 24);
    const uint8_t pixels[8] = {30, 20, 10, 50, 100, 200, 0, 0};
    f.insert(f.end(), pixels, pixels + 8);
    return f;
}

TEST(Packer, RawPictureElementsWithPaletteTableAndMask) {
    TestFolder dir;
    ASSERT_TRUE(dir.Ok());
    // Palette 0 of the table: entry 5 is (10, 20, 30), entry 9 (200, 100, 50).
    std::vector<uint8_t> palette(1024, 0);
    const uint8_t five[4] = {10, 20, 30, 0}, nine[4] = {200, 100, 50, 0};
    std::memcpy(&palette[20], five, 4);
    std::memcpy(&palette[36], nine, 4);
    ASSERT_TRUE(WriteWholeFile(dir.File("pal.bin"), palette));
    ASSERT_TRUE(WriteWholeFile(dir.File("two.bmp"), TwoPixelBmp()));
    ASSERT_TRUE(WriteWholeFile(dir.File("manifest.txt"),
                               Bytes("title = Raw\n[pictures Pictures]\n@palette = pal.bin\n"
                                     "indexed = two.bmp | raw 8 palette 0 mask\nwide = two.bmp | 3 -4 raw 24\n")));
    std::vector<uint8_t> package;
    std::string error;
    ASSERT_TRUE(BuildPackage(dir.Path(), &package, &error)) << error;
    const std::string file = dir.File("raw.pkg");
    ASSERT_TRUE(WriteWholeFile(file, package));
    CProgramContainer c(nullptr);
    ASSERT_EQ(c.ReadPackageFile(file.c_str(), 0), kIoOk);
    CBank* pictures = c.FindBankById(kBankPictures);
    ASSERT_NE(pictures, nullptr);
    std::vector<uint8_t> bytes = ReadWholeFile(file);
    // indexed: palette 0, raw rows of depth 8 holding the table's indices, a mask.
    size_t at = static_cast<size_t>(pictures->GetDataPosition(0));
    EXPECT_EQ(Get32(bytes, at + 4), 0u);
    EXPECT_EQ(bytes[at + 8] | (bytes[at + 9] << 8), 0);
    EXPECT_EQ(bytes[at + 14], 8);
    EXPECT_EQ(Get32(bytes, at + 16), 1u);  // mask plane
    ASSERT_EQ(Get32(bytes, at + 20), 0u);  // stored (four bytes do not shrink)
    EXPECT_EQ(bytes[at + 24], 5);
    EXPECT_EQ(bytes[at + 25], 9);
    EXPECT_EQ(Get32(bytes, at + 28), 0u);
    EXPECT_EQ(bytes[at + 32], 255);  // no alpha in the file: opaque
    // wide: hot spot, no palette, blue-green-red rows.
    at = static_cast<size_t>(pictures->GetDataPosition(1));
    EXPECT_EQ(bytes[at], 3);
    EXPECT_EQ(static_cast<int16_t>(bytes[at + 2] | (bytes[at + 3] << 8)), -4);
    EXPECT_EQ(Get32(bytes, at + 4), 0xFFFFFFFFu);
    EXPECT_EQ(bytes[at + 14], 24);
    EXPECT_EQ(Get32(bytes, at + 16), 0u);
    const uint8_t rows[6] = {30, 20, 10, 50, 100, 200};
    EXPECT_EQ(std::memcmp(&bytes[at + 24], rows, 6), 0);
}

TEST(Packer, ErrorsNameTheFileAtFault) {
    TestFolder dir;
    ASSERT_TRUE(dir.Ok());
    std::vector<uint8_t> package;
    std::string error;
    EXPECT_FALSE(BuildPackage(dir.Path(), &package, &error));
    EXPECT_NE(error.find("manifest.txt: cannot be read"), std::string::npos) << error;

    struct Case {
        const char* manifest;
        const char* error;
    };
    const Case cases[] = {
        {"[sources M]\nmissing.src\n", "missing.src cannot be read"},
        {"[pictures P]\nnot-a-picture.txt\n", "not a picture file"},
        {"[strings S]\nx = not-a-picture.txt | 1 2\n", "only pictures and animations have a hot spot"},
        {"palette = not-a-picture.txt\n", "a palette is"},
        {"followon = .\n", "nest too deep"},
        {"speed = fast\n", "line 1: speed"},
        {"[pictures P]\nx = p.bmp | raw 12\n", "a raw depth is"},
        {"[pictures P]\nx = p.bmp | mask\n", "a hot spot is"},
        {"[pictures P]\nx = p.bmp | 1 2 palette 0\n", "go with \"raw\""},
        {"[pictures P]\nx = p.bmp | raw 8\n", "need \"palette N\""},
        {"[pictures P]\n@palette = pal.bin\nx = p.bmp | raw 24 palette 1\n", "palette 1 is not in the bank's"},
        {"[binary B]\n@palette = pal.bin\n", "only picture banks have a palette table"},
        {"[binary B]\nx = p.bmp | raw\n", "only pictures take"},
    };
    ASSERT_TRUE(WriteWholeFile(dir.File("p.bmp"), TwoPixelBmp()));
    ASSERT_TRUE(WriteWholeFile(dir.File("pal.bin"), std::vector<uint8_t>(1024, 0)));
    ASSERT_TRUE(WriteWholeFile(dir.File("not-a-picture.txt"), Bytes("text")));
    const std::string manifest = dir.File("manifest.txt");
    for (const Case& c : cases) {
        ASSERT_TRUE(WriteWholeFile(manifest, Bytes(c.manifest)));
        EXPECT_FALSE(BuildPackage(dir.Path(), &package, &error)) << c.manifest;
        EXPECT_NE(error.find(c.error), std::string::npos) << c.manifest << " gave " << error;
    }
}

namespace {

// Reads a picture or an animation's first frame at 24 bits through the image
// layer (blue, green, red rows, packed).
std::vector<uint8_t> ReadThroughImageLayer(CStream* stream, int32_t* status) {
    static CImageFormatManager manager;
    static const bool ready = manager.Init() == kImageOk;
    EXPECT_TRUE(ready);
    CImageFile image(&manager);
    *status = image.AttachStream(stream);
    if (*status != kImageOk) return {};
    std::vector<uint8_t> rows(static_cast<size_t>(image.GetWidth()) * image.GetHeight() * 3);
    *status = image.Read(rows.data(), image.GetWidth(), image.GetHeight(), 24, image.GetWidth() * 3, nullptr);
    return rows;
}

}  // namespace

TEST(Packer, PackedPcxTgaAndAnmReadThroughTheImageLayer) {
    TestFolder dir;
    ASSERT_TRUE(dir.Ok());
    const std::string manifest =
        "title = Pics\n[sources Main]\nmain.src\n[pictures Pictures]\nsmall.pcx\nsmall.tga\n"
        "[animations Anims]\nwalk.anm\n";
    ASSERT_TRUE(WriteWholeFile(dir.File("manifest.txt"), Bytes(manifest)));
    ASSERT_TRUE(WriteWholeFile(dir.File("main.src"), Bytes("Function Main() { }\n")));
    // PCX: 2 × 1, 24 bits, raw planes red 10 11, green 20 21, blue 30 31.
    std::vector<uint8_t> pcx(128, 0);
    pcx[0] = 10, pcx[1] = 5, pcx[3] = 8, pcx[8] = 1, pcx[65] = 3, pcx[66] = 2;
    pcx.insert(pcx.end(), {10, 11, 20, 21, 30, 31});
    // TGA: 2 × 1, 24 bits, run-length: one run of two pixels (blue 1, green 2, red 3).
    std::vector<uint8_t> tga(18, 0);
    tga[2] = 10, tga[12] = 2, tga[14] = 1, tga[16] = 24;
    tga.insert(tga.end(), {0x81, 1, 2, 3});
    ASSERT_TRUE(WriteWholeFile(dir.File("small.pcx"), pcx));
    ASSERT_TRUE(WriteWholeFile(dir.File("small.tga"), tga));
    // ANM: 2 × 1 at 24 bits, two frames.
    {
        static CImageFormatManager manager;
        ASSERT_EQ(manager.Init(), kImageOk);
        std::unique_ptr<CImageFormat, void (*)(CImageFormat*)> anm(manager.GetPrototype(4)->CreateInstance(),
                                                                    [](CImageFormat* f) { f->Release(); });
        CBufferStream out;
        CAnimationHeader h;
        h.width = 2, h.height = 1, h.depth = 24, h.defaultDelay = 50;
        ASSERT_EQ(anm->BeginAnimation(&out, h), kImageOk);
        const uint8_t first[] = {1, 2, 3, 4, 5, 6}, second[] = {1, 2, 3, 9, 9, 9};
        ASSERT_EQ(anm->WriteFrame(&out, nullptr, first, 6, nullptr, 0, 0), kImageOk);
        ASSERT_EQ(anm->WriteFrame(&out, first, second, 6, nullptr, 0, 0), kImageOk);
        anm->EndWrite(&out);
        ASSERT_TRUE(WriteWholeFile(dir.File("walk.anm"), std::vector<uint8_t>(out.GetData(), out.GetData() + out.GetSize())));
    }
    const std::string runtime = dir.File("runtime.exe");
    ASSERT_TRUE(WriteWholeFile(runtime, FakeRuntime(false)));
    const std::string output = dir.File("pics.exe");
    std::string error;
    ASSERT_TRUE(PackExecutable(runtime, dir.Path(), output, &error)) << error;
    const std::vector<uint8_t> packed = ReadWholeFile(output);
    uint32_t offset = 0;
    ASSERT_TRUE(ReadPackageOffset(packed, kRecordAt, &offset));
    CProgramContainer c(nullptr);
    ASSERT_EQ(c.ReadPackageFile(output.c_str(), static_cast<int32_t>(offset)), kIoOk);

    // The pictures: the packer's header (size and depth as it probed them)
    // agrees with the image layer, and the embedded file reads.
    CBank* pictures = c.FindBankById(kBankPictures);
    ASSERT_NE(pictures, nullptr);
    const std::vector<uint8_t> expected[] = {{30, 20, 10, 31, 21, 11}, {1, 2, 3, 1, 2, 3}};
    for (int i = 0; i < 2; ++i) {
        const size_t at = static_cast<size_t>(pictures->GetDataPosition(i));
        EXPECT_EQ(packed[at + 10], 2) << i;   // width
        EXPECT_EQ(packed[at + 12], 1) << i;   // height
        EXPECT_EQ(packed[at + 14], 24) << i;  // depth
        CMemoryStream stream;
        stream.Attach(&packed[at + 20], static_cast<int32_t>(packed.size() - at - 20));
        int32_t status = -1;
        EXPECT_EQ(ReadThroughImageLayer(&stream, &status), expected[i]) << i;
        EXPECT_EQ(status, kImageOk) << i;
    }
    // The animation, opened as a resource.
    std::unique_ptr<CStream> walk(c.OpenResource("walk.anm", kBankAnimations, 0));
    ASSERT_NE(walk, nullptr);
    int32_t status = -1;
    EXPECT_EQ(ReadThroughImageLayer(walk.get(), &status), (std::vector<uint8_t>{1, 2, 3, 4, 5, 6}));
    EXPECT_EQ(status, kImageOk);
}
