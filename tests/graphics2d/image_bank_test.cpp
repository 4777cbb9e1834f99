// The picture bank reader and ConvertImageToSurface, on banks made with the
// bank writer and picture files made with libpng and the BMP builder.
#include "graphics2d/image_bank.h"
#include "graphics2d/image_to_surface.h"
#include "runtime/io/buffer_stream.h"
#include "runtime/io/byte_vector_writer.h"
#include "runtime/io/memory_stream.h"
#include "runtime/package/bank_writer.h"
#include "tests/graphics2d/image_test_support.h"
#include "tests/graphics2d/surface_test_support.h"

#include <memory>

namespace {

using imagetest::Bytes;

// A palette of 1024 bytes whose entry i is (i, 255 - i, 7).
Bytes RampPalette() {
    Bytes p(1024);
    for (int i = 0; i < 256; ++i) {
        p[4 * i] = static_cast<uint8_t>(i);
        p[4 * i + 1] = static_cast<uint8_t>(255 - i);
        p[4 * i + 2] = 7;
    }
    return p;
}

uint32_t Colour(uint8_t r, uint8_t g, uint8_t b) { return r | (g << 8) | (b << 16); }

class ImageBankTest : public SurfaceClientTest {
protected:
    // Writes the bank to a scratch file and reads it back.
    std::unique_ptr<CImageBank> Read(const CBankWriter& writer) {
        CBufferStream out;
        EXPECT_EQ(writer.Write(&out, true), 0u);
        const std::string name = imagetest::ScratchFolder() + "bank" + std::to_string(++m_files) + ".bin";
        imagetest::WriteWholeFile(name, Bytes(out.GetData(), out.GetData() + out.GetSize()));
        CBank* bank = ReadBank(nullptr, name.c_str());
        EXPECT_NE(bank, nullptr) << std::hex << GetBankError();
        return std::unique_ptr<CImageBank>(dynamic_cast<CImageBank*>(bank));
    }
    static CImageElement* Element(CImageBank* bank, int i) {
        return static_cast<CImageElement*>(bank->GetElement(i));
    }
    static void AddRows(CBankWriter* w, const PictureRows& rows) {
        std::vector<uint8_t> body;
        ASSERT_TRUE(EncodePictureRows(rows, &body));
        w->AddRaw("p", "", body.data(), static_cast<int32_t>(body.size()));
    }
    static void AddFile(CBankWriter* w, const Bytes& file) {
        std::vector<uint8_t> body;
        ASSERT_TRUE(EncodePictureFile(0, 0, 1, 1, 24, file.data(), static_cast<int32_t>(file.size()), &body));
        w->AddRaw("f", "", body.data(), static_cast<int32_t>(body.size()));
    }
    int m_files = 0;
};

TEST_F(ImageBankTest, EightBitRowsWithAPaletteLoadIntoATrueColourBank) {
    // Rows of 3 × 2 indices, pitch 4; stored and compressed give the same.
    const Bytes rows = {0, 1, 2, 0, 200, 255, 9, 0};
    for (bool compress : {false, true}) {
        CBankWriter w(kBankPictures, "Pictures");
        w.AddPalette(RampPalette().data());
        PictureRows r;
        r.paletteIndex = 0;
        r.width = 3, r.height = 2, r.depth = 8;
        r.pixels = rows.data(), r.size = 8, r.compress = compress;
        r.hotSpotX = -2, r.hotSpotY = 5;
        AddRows(&w, r);
        auto bank = Read(w);
        ASSERT_TRUE(bank);
        ASSERT_TRUE(bank->ChangeColorDepth(24));
        ASSERT_EQ(bank->LoadElement(0, 0), 1) << std::hex << GetBankError();
        CImageElement* e = Element(bank.get(), 0);
        ASSERT_EQ(e->GetSurface()->GetDepth(), 24);
        EXPECT_EQ(e->GetHotSpotX(), -2);
        EXPECT_EQ(e->GetHotSpotY(), 5);
        EXPECT_EQ(e->GetMask(), nullptr);  // no flags bit 0, no mask plane
        uint32_t c = 0;
        e->GetSurface()->PixelAt(1, 0, &c);
        EXPECT_EQ(c, Colour(1, 254, 7));
        e->GetSurface()->PixelAt(1, 1, &c);
        EXPECT_EQ(c, Colour(255, 0, 7));
    }
}

TEST_F(ImageBankTest, DepthChangeUnloadsAndTheNextLoadUsesTheNewDepth) {
    const Bytes rows = {10, 20, 30, 40, 50, 60, 0, 0};  // two 24-bit pixels, pitch 8
    CBankWriter w(kBankPictures, "Pictures");
    PictureRows r;
    r.width = 2, r.height = 1, r.depth = 24, r.pixels = rows.data(), r.size = 8;
    AddRows(&w, r);
    auto bank = Read(w);
    ASSERT_TRUE(bank->ChangeColorDepth(32));
    ASSERT_EQ(bank->LoadElement(0, 0), 1);
    EXPECT_EQ(Element(bank.get(), 0)->GetSurface()->GetDepth(), 32);
    ASSERT_TRUE(bank->ChangeColorDepth(16));
    EXPECT_FALSE(Element(bank.get(), 0)->IsLoaded());
    ASSERT_EQ(bank->LoadElement(0, 0), 1);
    CSurface* s = Element(bank.get(), 0)->GetSurface();
    EXPECT_EQ(s->GetDepth(), 16);
    uint32_t c = 0;
    s->PixelAt(1, 0, &c);  // stored blue 40, green 50, red 60, seen through 5-6-5
    EXPECT_NEAR(int(c & 0xFF), 60, 8);
    EXPECT_NEAR(int((c >> 8) & 0xFF), 50, 4);
    EXPECT_NEAR(int((c >> 16) & 0xFF), 40, 8);
}

TEST_F(ImageBankTest, MaskPlaneFollowsThePixelsOnlyWithFlagBitZero) {
    const Bytes rows = {1, 2, 0, 0, 3, 4, 0, 0};
    const Bytes mask = {0, 255, 128, 7};
    CBankWriter w(kBankPictures, "Pictures");
    PictureRows r;
    r.width = 2, r.height = 2, r.depth = 8, r.pixels = rows.data(), r.size = 8, r.mask = mask.data();
    r.compress = true;
    AddRows(&w, r);
    auto bank = Read(w);
    ASSERT_EQ(bank->LoadElement(0, 0), 1) << std::hex << GetBankError();
    const uint8_t* m = Element(bank.get(), 0)->GetMask();
    ASSERT_NE(m, nullptr);
    EXPECT_EQ(Bytes(m, m + 4), mask);
    bank->UnloadAll();
    EXPECT_FALSE(Element(bank.get(), 0)->IsLoaded());
}

TEST_F(ImageBankTest, EmbeddedFilesLoadInTheBankDepthWithTheirAlphaAsMask) {
    // 2 × 1 RGBA PNG: red opaque, green at alpha 0x40.
    const Bytes png = imagetest::MakePng(2, 1, 8, 6, {255, 0, 0, 255, 0, 255, 0, 0x40});
    Bytes broken = png;
    broken.resize(broken.size() / 2);
    CBankWriter w(kBankPictures, "Pictures");
    AddFile(&w, png);
    AddFile(&w, broken);
    auto bank = Read(w);
    ASSERT_TRUE(bank->ChangeColorDepth(32));
    ASSERT_EQ(bank->LoadElement(0, 0), 1) << std::hex << GetBankError();
    CImageElement* e = Element(bank.get(), 0);
    EXPECT_EQ(e->GetSurface()->GetDepth(), 32);
    EXPECT_EQ(e->GetSurface()->GetWidth(), 2);  // the file's size, not the header's 1 × 1
    uint32_t c = 0;
    e->GetSurface()->PixelAt(1, 0, &c);
    EXPECT_EQ(c & 0xFFFFFF, Colour(0, 255, 0));
    ASSERT_NE(e->GetMask(), nullptr);
    EXPECT_EQ(e->GetMask()[0], 255);
    EXPECT_EQ(e->GetMask()[1], 0x40);
    EXPECT_EQ(bank->LoadElement(1, 0), 0);
    EXPECT_EQ(GetBankError(), 0x40000009u);
    EXPECT_FALSE(Element(bank.get(), 1)->IsLoaded());
}

// Hand-made element bodies that must fail with the given status word.
TEST_F(ImageBankTest, BrokenElementsFailWithTheirStatusWord) {
    auto head = [](uint32_t palette, uint16_t width, uint16_t height, uint16_t depth, uint32_t flags) {
        Bytes b;
        imagetest::Put16(b, 0);
        imagetest::Put16(b, 0);
        imagetest::Put32(b, palette);
        imagetest::Put16(b, 0);
        imagetest::Put16(b, width);
        imagetest::Put16(b, height);
        imagetest::Put16(b, depth);
        imagetest::Put32(b, flags);
        return b;
    };
    auto with = [](Bytes b, std::initializer_list<uint32_t> words, size_t zeros) {
        for (uint32_t v : words) imagetest::Put32(b, v);
        b.insert(b.end(), zeros, 0);
        return b;
    };
    // A zlib stream of 64 zero bytes, for a block that wants fewer.
    std::vector<uint8_t> packed;
    const Bytes zeros(64, 0);
    PutPacked(&packed, zeros.data(), 64, true);
    Bytes tooMuch = head(kPictureNoPalette, 2, 2, 8, 0);
    tooMuch.insert(tooMuch.end(), packed.begin(), packed.end());
    Bytes maskTooMuch = with(head(kPictureNoPalette, 2, 2, 8, 1), {0}, 8);
    maskTooMuch.insert(maskTooMuch.end(), packed.begin(), packed.end());
    const struct {
        const char* what;
        Bytes body;
        uint32_t status;
    } cases[] = {
        {"palette index equal to P", with(head(1, 2, 2, 8, 0), {0}, 8), 10000},
        {"depth 12", with(head(kPictureNoPalette, 2, 2, 12, 0), {0}, 16), 0x40000009},
        {"width 0", with(head(kPictureNoPalette, 0, 2, 8, 0), {0}, 8), 0x40000009},
        {"height 0", with(head(kPictureNoPalette, 2, 0, 8, 0), {0}, 8), 0x40000009},
        {"rows cut short", with(head(kPictureNoPalette, 2, 2, 8, 0), {0}, 7), 0x40000002},
        {"packed size past the end", with(head(kPictureNoPalette, 2, 2, 8, 0), {1000}, 8), 0x40000002},
        {"pixels inflating past pitch × height", tooMuch, 0x40000007},
        {"mask inflating past width × height", maskTooMuch, 0x40000007},
        {"header cut short", Bytes(6, 0), 0x40000002},
        {"a picture past 256 MB", with(head(kPictureNoPalette, 65535, 65535, 8, 0), {8}, 8), 0x40000000},
        {"rows no zlib stream of that size can hold", with(head(kPictureNoPalette, 2000, 2000, 8, 0), {8}, 8),
         0x40000009},
    };
    for (const auto& c : cases) {
        CBankWriter w(kBankPictures, "Pictures");
        w.AddPalette(RampPalette().data());
        w.AddRaw("x", "", c.body.data(), static_cast<int32_t>(c.body.size()));
        auto bank = Read(w);
        ASSERT_TRUE(bank) << c.what;
        EXPECT_EQ(bank->LoadElement(0, 0), 0) << c.what;
        EXPECT_EQ(GetBankError(), c.status) << c.what << std::hex << " got " << GetBankError();
        EXPECT_FALSE(Element(bank.get(), 0)->IsLoaded()) << c.what;
    }
}

TEST_F(ImageBankTest, PaletteTableIsCheckedAgainstTheFile) {
    CBankWriter w(kBankPictures, "Pictures");
    w.AddPalette(RampPalette().data());
    CBufferStream out;
    ASSERT_EQ(w.Write(&out, true), 0u);
    Bytes bytes(out.GetData(), out.GetData() + out.GetSize());
    // The count word sits 1024 bytes before the end: claim a second palette.
    bytes[bytes.size() - 1028] = 2;
    const std::string name = imagetest::ScratchFolder() + "badtable.bin";
    imagetest::WriteWholeFile(name, bytes);
    EXPECT_EQ(ReadBank(nullptr, name.c_str()), nullptr);
    EXPECT_EQ(GetBankError(), static_cast<uint32_t>(kBankRefused));
}

// ConvertImageToSurface: which depth and palette the surface ends with.
TEST_F(ImageBankTest, ConversionFlagsChooseDepthAndPalette) {
    // A 2 × 1 palette PNG with entries (10,20,30) and (200,100,50).
    const Bytes png = imagetest::MakePng(2, 1, 8, 3, {0, 1}, {10, 20, 30, 200, 100, 50});
    const struct {
        int startDepth;
        uint32_t flags;
        int depth;          // after the conversion
        bool imagePalette;  // the surface took the image's palette
    } cases[] = {
        {32, 0, 8, true},
        {32, kConvertKeepDepth, 32, false},
        {32, kConvertKeepDepth | kConvertOntoPalette, 32, false},
        {8, kConvertKeepDepth, 8, true},
        {8, kConvertKeepDepth | kConvertOntoPalette, 8, false},
    };
    for (const auto& c : cases) {
        CSurface s;
        ASSERT_TRUE(MakeMemory(&s, c.startDepth, 5, 5));
        CMemoryStream stream;
        stream.Attach(png.data(), static_cast<int32_t>(png.size()));
        uint8_t* mask = reinterpret_cast<uint8_t*>(1);
        ASSERT_TRUE(ConvertImageToSurface(imagetest::Manager(), &stream, &s, 0, c.flags, &mask)) << c.flags;
        EXPECT_EQ(mask, nullptr);  // no alpha plane
        EXPECT_EQ(s.GetDepth(), c.depth) << c.flags;
        EXPECT_EQ(s.GetWidth(), 2);
        EXPECT_EQ(s.GetHeight(), 1);
        uint32_t colour = 0;
        s.PixelAt(1, 0, &colour);
        if (c.depth > 8) {
            EXPECT_EQ(colour & 0xFFFFFF, Colour(200, 100, 50)) << c.flags;
            continue;
        }
        uint8_t index = 0;
        s.PixelIndexAt(1, 0, &index);
        if (c.imagePalette) {
            EXPECT_EQ(index, 1) << c.flags;
            EXPECT_EQ(colour, Colour(200, 100, 50)) << c.flags;
        } else {
            // Matched onto the surface's own (default) palette.
            EXPECT_EQ(s.GetPaletteColor(index), colour);
            EXPECT_NE(colour, Colour(200, 100, 50));
        }
    }
    CSurface s;
    ASSERT_TRUE(MakeMemory(&s, 32, 5, 5));
    const Bytes junk = {1, 2, 3, 4, 5, 6, 7, 8};
    CMemoryStream stream;
    stream.Attach(junk.data(), 8);
    EXPECT_FALSE(ConvertImageToSurface(imagetest::Manager(), &stream, &s, 0, 0, nullptr));
    EXPECT_EQ(s.GetWidth(), 5);  // a file that cannot be read leaves the surface as it was
}

}  // namespace
