// The image layer itself: the manager and detection, the status codes of the
// file operations, the target conversions, safe saving, and the manager as the
// interpreter's service.
#include <gtest/gtest.h>

#include "image_test_support.h"

#include "graphics2d/graphics2d_classes.h"
#include "runtime/interp/interpretor.h"
#include "runtime/io/memory_stream.h"
#include "runtime/io/os_file.h"

#include <png.h>

#include <cstring>
#include <string>

using namespace imagetest;

namespace {

Bytes Bmp24(int32_t width, int32_t height, const Bytes& bottomUpRows) { return MakeBmp(width, height, 24, 0, {}, bottomUpRows); }

LogPalette256 PaletteOf(std::initializer_list<PaletteEntry> entries) {
    LogPalette256 p{kPaletteVersion, static_cast<uint16_t>(entries.size()), {}};
    int i = 0;
    for (const PaletteEntry& e : entries) p.entries[i++] = e;
    return p;
}

}  // namespace

TEST(ImageFormatManager, SlotsDetectionAndIds) {
    CImageFormatManager* m = Manager();
    // Id, still image, animation, writes images, writes animations, has
    // frames, write depths: the capability table of the layer.
    struct Slot {
        uint32_t id;
        int still, animation, writesImage, writesAnimation, frames;
        uint32_t depths;
    };
    const Slot slots[] = {
        {kImageFormatBmp, 1, 0, 1, 0, 0, 0x7C}, {kImageFormatJpeg, 1, 0, 1, 0, 0, 0x20},
        {kImageFormatPng, 1, 0, 1, 0, 0, 0x24}, {kImageFormatTga, 1, 0, 0, 0, 0, 0x7C},
        {kImageFormatAnm, 0, 1, 0, 1, 1, 0x7C}, {kImageFormatFli, 0, 1, 0, 0, 1, 0x04},
        {kImageFormatPcx, 1, 0, 0, 0, 0, 0x24},
    };
    for (int i = 0; i < CImageFormatManager::kFormatCount; ++i) {
        CImageFormat* p = m->GetPrototype(i);
        ASSERT_NE(p, nullptr) << i;
        const Slot got{p->GetId(), p->IsStillImage(), p->IsAnimation(), p->CanWriteImage(), p->CanWriteAnimation(),
                       p->HasFrames(), p->GetWriteDepths()};
        EXPECT_EQ(std::memcmp(&got, &slots[i], sizeof got), 0) << i;
    }

    struct Case {
        Bytes file;
        uint32_t id;
    };
    const Bytes bmp = Bmp24(1, 1, {1, 2, 3, 0});
    const Case cases[] = {
        {bmp, kImageFormatBmp},
        {Bytes(bmp.begin() + 14, bmp.end()), kImageFormatBmp},
        {MakePng(1, 1, 8, PNG_COLOR_TYPE_RGB, {1, 2, 3}), kImageFormatPng},
        {{0xFF, 0xD8, 0xFF, 0xE0, 0, 0}, kImageFormatJpeg},
        {{0xFF, 0xD8, 0xFF, 0xDB, 0, 0}, 0},
        {{'A', 'N', 'M', 'Q', 0, 0}, kImageFormatAnm},
        {{0, 0, 0, 0, 0x12, 0xAF}, kImageFormatFli},
        {{10, 5, 1, 8, 0, 0}, kImageFormatPcx},
        {{0, 0, 10, 0, 0, 0, 0, 0, 0, 0, 0, 0, 1, 0, 1, 0, 24, 0}, kImageFormatTga},
        {{0, 0, 10, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 1, 0, 24, 0}, 0},
        {{'G', 'I', 'F', '8', '9', 'a'}, 0},
        {{'B', 'M', 0}, 0},
    };
    for (const Case& c : cases) {
        CMemoryStream s;
        s.Attach(c.file.data(), static_cast<int32_t>(c.file.size()));
        s.Seek(0, 0);
        CImageFormat* f = m->DetectFormat(&s);
        EXPECT_EQ(f ? f->GetId() : 0u, c.id);
        EXPECT_EQ(s.Tell(), 0);
        if (f) f->Release();
    }
}

TEST(ImageFile, StatusCodes) {
    const Bytes bmp = Bmp24(2, 2, Bytes(16, 7));
    CMemoryStream stream;
    stream.Attach(bmp.data(), static_cast<int32_t>(bmp.size()));
    uint8_t pixels[64] = {};
    const LogPalette256 tooBig{kPaletteVersion, 257, {}};

    CImageFile image(Manager());
    EXPECT_EQ(image.Read(pixels, 2, 2, 24, 8, nullptr), kImageNothingOpen);
    EXPECT_EQ(image.PrepareRead(2, 2, 24, nullptr), kImageNothingOpen);
    EXPECT_EQ(image.ReadFrame(pixels, 8, 0), kImageNotPrepared);
    EXPECT_EQ(image.OpenFile(nullptr), kImageNoSource);
    EXPECT_EQ(image.AttachStream(nullptr), kImageNoSource);
    EXPECT_EQ(image.OpenFile((ScratchFolder() + "missing.bmp").c_str()), kImageCannotOpen);
    ASSERT_EQ(image.AttachStream(&stream), kImageOk);
    EXPECT_EQ(image.AttachStream(&stream), kImageStreamOpen);
    EXPECT_EQ(image.OpenFile("x.bmp"), kImageStreamOpen);
    EXPECT_EQ(image.PrepareRead(3, 2, 24, nullptr), kImageSizeMismatch);
    EXPECT_EQ(image.PrepareRead(2, 2, 12, nullptr), kImageBadArguments);
    EXPECT_EQ(image.PrepareRead(2, 2, 8, nullptr), kImageBadArguments);  // a 24-bit image has no palette
    EXPECT_EQ(image.PrepareRead(2, 2, 8, &tooBig), kImageBadArguments);
    EXPECT_EQ(image.ReadFrame(pixels, 8, 0), kImageNotPrepared);
    ASSERT_EQ(image.PrepareRead(2, 2, 0, nullptr), kImageOk);
    EXPECT_EQ(image.ReadFrame(pixels, 8, 0), kImageNotSupported);
    EXPECT_EQ(image.Read(pixels, 2, 2, 24, 8, nullptr), kImageOk);
    EXPECT_EQ(pixels[0], 7);
    image.Close();
    EXPECT_EQ(image.Read(pixels, 2, 2, 24, 8, nullptr), kImageNothingOpen);

    // Unknown bytes and a detected format whose header fails leave the file empty.
    const Bytes junk = {1, 2, 3, 4, 5, 6, 7, 8};
    CMemoryStream junkStream;
    junkStream.Attach(junk.data(), static_cast<int32_t>(junk.size()));
    EXPECT_EQ(image.AttachStream(&junkStream), kImageNotRecognised);
    EXPECT_EQ(image.GetFormat(), nullptr);
    // A format chosen beforehand must accept the file.
    ASSERT_EQ(image.CreateFormatById(kImageFormatPng), 1);
    stream.Seek(0, 0);
    EXPECT_EQ(image.AttachStream(&stream), kImageNotRecognised);
    EXPECT_EQ(image.CreateFormatById(0x12345678), 0);
    EXPECT_EQ(image.CreateFormatById(ImageFormatId('G', 'I', 'F', ' ')), 0);

    // Saving.
    CImageFile saver(Manager());
    const std::string name = ScratchFolder() + "status.bmp";
    const LogPalette256 few = PaletteOf({{1, 2, 3, 0}});
    EXPECT_EQ(saver.SaveFile(name.c_str(), pixels, 2, 2, 24, 8, nullptr), kImageNotPrepared);
    ASSERT_EQ(saver.CreateFormatById(kImageFormatJpeg), 1);
    EXPECT_EQ(saver.SaveFile(name.c_str(), pixels, 2, 2, 8, 8, nullptr), kImageDepthNotWritable);
    ASSERT_EQ(saver.CreateFormatById(kImageFormatBmp), 1);
    EXPECT_EQ(saver.SaveFile(nullptr, pixels, 2, 2, 24, 8, nullptr), kImageBadArguments);
    EXPECT_EQ(saver.SaveFile(name.c_str(), nullptr, 2, 2, 24, 8, nullptr), kImageBadArguments);
    EXPECT_EQ(saver.SaveFile(name.c_str(), pixels, 0, 2, 24, 8, nullptr), kImageBadArguments);
    EXPECT_EQ(saver.SaveFile(name.c_str(), pixels, 2, 2, 12, 8, nullptr), kImageDepthNotWritable);
    for (uint32_t id : {kImageFormatBmp, kImageFormatPng}) {
        ASSERT_EQ(saver.CreateFormatById(id), 1);
        EXPECT_EQ(saver.SaveFile(name.c_str(), pixels, 2, 2, 8, 8, nullptr), kImageNoPalette);
        EXPECT_EQ(saver.SaveFile(name.c_str(), pixels, 2, 2, 8, 8, &few), kImageNoPalette);
        EXPECT_FALSE(PathExists(name.c_str())) << "nothing is created";
    }
    EXPECT_EQ(saver.SaveFile((ScratchFolder() + "no\\such\\folder.bmp").c_str(), pixels, 2, 2, 24, 8, nullptr),
              kImageCannotCreate);
}

TEST(ImageFile, SaveReplacesOnlyAfterACompleteWrite) {
    const std::string name = ScratchFolder() + "keep.bmp";
    const Bytes old = {'o', 'l', 'd'};
    WriteWholeFile(name, old);
    CImageFile saver(Manager());
    ASSERT_EQ(saver.CreateFormatById(kImageFormatBmp), 1);
    uint8_t pixels[8] = {1, 2, 3, 4, 5, 6, 0, 0};
    EXPECT_EQ(saver.SaveFile(name.c_str(), pixels, 2, 1, 8, 8, nullptr), kImageNoPalette);
    EXPECT_EQ(ReadWholeFile(name), old);
    ASSERT_EQ(saver.SaveFile(name.c_str(), pixels, 2, 1, 24, 8, nullptr), kImageOk);
    const Decoded d = Decode(ReadWholeFile(name));
    ASSERT_EQ(d.status, kImageOk);
    EXPECT_EQ(Bytes(d.pixels.begin(), d.pixels.begin() + 6), Bytes(pixels, pixels + 6));
    // Only the picture is left in the folder (no temporary or old copies).
    int files = 0;
    for (const char* extra : {"img1.tmp", "old1.tmp", "img2.tmp", "old2.tmp"})
        files += PathExists((ScratchFolder() + extra).c_str());
    EXPECT_EQ(files, 0);
    DeletePathFile(name.c_str());
}

TEST(ImageConversion, TrueColourTargetsUseTheLibraryLayouts) {
    // One 24-bit pixel per case (blue, green, red) at each target depth.
    struct Case {
        uint8_t bgr[3];
        int32_t depth;
        Bytes expected;
    };
    const Case cases[] = {
        {{0xFF, 0x80, 0x08}, 16, {0x1F, 0x0C}},        // 5-6-5: red 1, green 32, blue 31
        {{0xFF, 0x80, 0x08}, 15, {0x1F, 0x06}},        // 5-5-5: red 1, green 16, blue 31
        {{0x04, 0x00, 0x00}, 16, {0x01, 0x00}},        // a dark colour does not turn transparent
        {{0x11, 0x22, 0x33}, 32, {0x11, 0x22, 0x33, 0}},
    };
    for (const Case& c : cases) {
        const Decoded d = Decode(Bmp24(1, 1, {c.bgr[0], c.bgr[1], c.bgr[2], 0}), c.depth);
        ASSERT_EQ(d.status, kImageOk);
        EXPECT_EQ(Bytes(d.pixels.begin(), d.pixels.begin() + c.expected.size()), c.expected) << c.depth;
    }
    // 16 bits to 24: widened by shifting.
    const uint16_t word = 0xF81F;  // red 31, green 0, blue 31
    const Decoded w = Decode(MakeBmp(1, 1, 16, 3, {0, 0xF8, 0, 0, 0xE0, 7, 0, 0, 0x1F, 0, 0, 0},
                                     {uint8_t(word), uint8_t(word >> 8), 0, 0}), 24);
    ASSERT_EQ(w.status, kImageOk);
    EXPECT_EQ(Bytes(w.pixels.begin(), w.pixels.begin() + 3), (Bytes{0xF8, 0, 0xF8}));
}

TEST(ImageConversion, EightBitTargets) {
    // Deeper images: the nearest entry by the sum of absolute differences, the
    // first of equals. (30,30,30) is 90 from black and 80 from (30,30,110); by
    // squares black would be nearer.
    const LogPalette256 palette = PaletteOf({{0, 0, 0, 0}, {30, 30, 110, 0}, {0, 0, 255, 0}, {0, 0, 255, 0}});
    const Bytes rows = {30, 30, 30, 250, 0, 0, 0, 0, 0, 0, 0, 0};  // (30,30,30), blue 250, black, pad
    Decoded d = Decode(Bmp24(3, 1, rows), 8, &palette);
    ASSERT_EQ(d.status, kImageOk);
    EXPECT_EQ(Bytes(d.pixels.begin(), d.pixels.begin() + 3), (Bytes{1, 2, 0}));

    // 8-bit images: the image's own palette (or equal colours) copies indices;
    // another palette maps each index to its nearest entry.
    Bytes colours;
    for (int i = 0; i < 256; ++i) colours.insert(colours.end(), {uint8_t(i), 0, 0, 0});  // blue ramp
    const Bytes file = MakeBmp(4, 1, 8, 0, colours, {0, 100, 200, 255});
    d = Decode(file, 8, nullptr);
    EXPECT_EQ(d.pixels, (Bytes{0, 100, 200, 255}));
    LogPalette256 same{kPaletteVersion, 256, {}};
    for (int i = 0; i < 256; ++i) same.entries[i] = {0, 0, uint8_t(i), 0x04};  // flags do not count
    d = Decode(file, 8, &same);
    EXPECT_EQ(d.pixels, (Bytes{0, 100, 200, 255}));
    const LogPalette256 two = PaletteOf({{0, 0, 0, 0}, {0, 0, 255, 0}});
    d = Decode(file, 8, &two);
    EXPECT_EQ(d.pixels, (Bytes{0, 0, 1, 1}));
    // 8-bit images to true colour: the palette colours.
    d = Decode(file, 24);
    EXPECT_EQ(Bytes(d.pixels.begin(), d.pixels.begin() + 6), (Bytes{0, 0, 0, 100, 0, 0}));
}

TEST(ImageFormatTexts, ComeFromTheStringResources) {
#ifdef _WIN32
    GTEST_SKIP() << "the test executable carries no string resources";
#else
    char text[64];
    CImageFormat* png = Manager()->GetPrototype(2);
    ASSERT_GT(png->LoadText1(text, sizeof text), 0);
    EXPECT_STREQ(text, "Portable network graphic");
    ASSERT_GT(png->LoadText2(text, sizeof text), 0);
    EXPECT_STREQ(text, "*.png");
    ASSERT_GT(png->LoadText3(text, sizeof text), 0);
    EXPECT_STREQ(text, "PNG");
    EXPECT_EQ(png->LoadText1(nullptr, 10), 0);
#endif
}

TEST(InterpreterServices, TheInterpreterOwnsTheImageFormats) {
    CInterpretor in;
    EXPECT_EQ(ImageFormatsOf(&in), nullptr);
    ASSERT_EQ(in.Load(), 1);
    CImageFormatManager* manager = ImageFormatsOf(&in);
    ASSERT_NE(manager, nullptr);
    EXPECT_EQ(manager->GetPrototype(0)->GetId(), kImageFormatBmp);
    in.Unload();
    EXPECT_EQ(ImageFormatsOf(&in), nullptr);
}

TEST(InterpreterServices, AFailingServiceFailsTheLoad) {
    static int loads = 0, unloads = 0;
    static int fail = 1;
    CInterpreterService service;
    service.id = 99;
    service.load = [](CInterpretor*) -> void* { return fail ? nullptr : (++loads, &loads); };
    service.unload = [](CInterpretor*, void* object) { unloads += object == &loads; };
    RegisterInterpreterService(service);
    {
        CInterpretor in;
        EXPECT_EQ(in.Load(), 0);
        EXPECT_EQ(ImageFormatsOf(&in), nullptr) << "the services loaded before were unloaded";
        fail = 0;
        ASSERT_EQ(in.Load(), 1);
        EXPECT_EQ(GetInterpreterService(&in, 99), &loads);
        EXPECT_NE(ImageFormatsOf(&in), nullptr);
    }
    EXPECT_EQ(loads, 1);
    EXPECT_EQ(unloads, 1);
}
