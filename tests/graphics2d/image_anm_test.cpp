// ANM animations: the reader against hand-made files (the delta program, flag
// and delay rules, chunks), the writer read back at every depth with stored
// and deflated frames, and a table of malformed files.
#include <gtest/gtest.h>

#include "image_test_support.h"

#include "runtime/io/buffer_stream.h"
#include "runtime/io/memory_stream.h"

#include <functional>
#include <memory>
#include <string>

using namespace imagetest;

namespace {

struct FormatDeleter {
    void operator()(CImageFormat* f) const { f->Release(); }
};
using FormatPtr = std::unique_ptr<CImageFormat, FormatDeleter>;

FormatPtr NewAnm() { return FormatPtr(Manager()->GetPrototype(4)->CreateInstance()); }

Bytes AnmHeader(uint32_t width, uint32_t height, uint32_t depth, uint32_t frames, uint32_t delay) {
    Bytes b{'A', 'N', 'M', 'Q'};
    for (uint32_t v : {0u, 0u, width, height, depth, 0u, frames, delay, frames * delay}) Put32(b, v);
    return b;
}

void Chunk(Bytes& b, uint16_t id, const Bytes& data) {
    Put16(b, id);
    Put16(b, 0);
    Put32(b, static_cast<uint32_t>(data.size()));
    b.insert(b.end(), data.begin(), data.end());
}

// A stored frame chunk.
void Frame(Bytes& b, uint16_t id, uint32_t delay, uint32_t flags, uint32_t x, uint32_t y, uint32_t w, uint32_t h,
           const Bytes& pixels, uint32_t unpacked = 0) {
    Bytes data;
    for (uint32_t v : {delay, flags, x, y, w, h, unpacked}) Put32(data, v);
    data.insert(data.end(), pixels.begin(), pixels.end());
    Chunk(b, id, data);
}

// Reads every frame in turn into one destination (packed rows at `depth`, 0:
// the animation's own), after each the packed picture; status: the first
// failure (0: none).
struct Frames {
    int32_t status = 0;
    std::vector<Bytes> pictures;
    std::vector<int32_t> delays;
};
Frames ReadAll(const Bytes& file, int32_t depth, int32_t count) {
    Frames out;
    CMemoryStream stream;
    stream.Attach(file.data(), static_cast<int32_t>(file.size()));
    CImageFile image(Manager());
    out.status = image.AttachStream(&stream);
    if (out.status != kImageOk) return out;
    if (depth == 0) depth = image.GetDepth();
    const int32_t bpp = (depth + 1) / 8, pitch = image.GetWidth() * bpp;
    out.status = image.PrepareRead(image.GetWidth(), image.GetHeight(), depth, nullptr);
    Bytes picture(static_cast<size_t>(pitch) * image.GetHeight(), 0);
    for (int32_t i = 0; i < count && out.status == kImageOk; ++i) {
        out.status = image.ReadFrame(picture.data(), pitch, i);
        if (out.status == kImageOk) {
            out.pictures.push_back(picture);
            out.delays.push_back(image.GetFrameDelay(i));
        }
    }
    return out;
}

}  // namespace

TEST(AnmFormat, DeltaProgramsFlagsAndDelays) {
    // 6 × 2 at 8 bits, default delay 40, three frames: a key frame, the delta
    // 0x01 0x83 0x02 p1 p2 0x00 0x00 over the rectangle (1, 1, 5 × 1), and a
    // flag-1 frame with delay 70. A palette chunk starting at entry 250 with
    // 10 entries keeps only 6.
    Bytes f = AnmHeader(6, 2, 8, 3, 40);
    Bytes pal{250, 0, 10, 0};
    for (int i = 0; i < 10; ++i) pal.insert(pal.end(), {uint8_t(i + 1), 0, 0});
    Chunk(f, 0x4571, pal);
    Chunk(f, 0x4570, {'u', 's', 'e', 'r'});
    Chunk(f, 0x4574, {3, 0, 0, 0, 9, 0, 0, 0});
    Frame(f, 0x4572, 0, 0, 0, 0, 6, 2, {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12});
    Frame(f, 0x4573, 25, 0, 1, 1, 5, 1, {0x01, 0x83, 0x02, 0xAA, 0xBB, 0x00, 0x00});
    Frame(f, 0x4573, 70, 1, 0, 0, 0, 0, {});

    const Frames r = ReadAll(f, 8, 3);
    ASSERT_EQ(r.status, kImageOk);
    ASSERT_EQ(r.pictures.size(), 3u);
    EXPECT_EQ(r.pictures[0], (Bytes{1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12}));
    EXPECT_EQ(r.pictures[1], (Bytes{1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 0xAA, 0xBB}));  // column 1 + 3
    EXPECT_EQ(r.pictures[2], r.pictures[1]);
    EXPECT_EQ(r.delays, (std::vector<int32_t>{40, 25, 70}));

    CMemoryStream stream;
    stream.Attach(f.data(), static_cast<int32_t>(f.size()));
    CImageFile image(Manager());
    ASSERT_EQ(image.AttachStream(&stream), kImageOk);
    CImageFormat* anm = image.GetFormat();
    EXPECT_EQ(anm->GetExtraWord1(), 3);
    EXPECT_EQ(anm->GetExtraWord2(), 9);
    ASSERT_EQ(anm->GetUserDataSize(), 4);
    EXPECT_EQ(std::string(static_cast<const char*>(anm->GetUserData()), 4), "user");
    EXPECT_EQ(image.GetPalette()->entries[255].red, 6);
    EXPECT_EQ(image.GetPalette()->entries[249].red, 0);
    Bytes picture(12);
    ASSERT_EQ(image.PrepareRead(6, 2, 8, nullptr), kImageOk);
    ASSERT_EQ(image.ReadFrame(picture.data(), 6, 1), kImageOk);
    CRect rect;
    anm->GetFrameRect(&rect);
    EXPECT_EQ(rect.left, 1);
    EXPECT_EQ(rect.top, 1);
    EXPECT_EQ(rect.right, 6);
    EXPECT_EQ(rect.bottom, 2);
    EXPECT_EQ(image.GetFrameDelay(5), 40);  // not the current frame: the default
    // Backwards rewinds and decodes from the first frame again; past the
    // last, the reads end with 18.
    std::fill(picture.begin(), picture.end(), 0);
    ASSERT_EQ(image.ReadFrame(picture.data(), 6, 0), kImageOk);
    EXPECT_EQ(picture, r.pictures[0]);
    EXPECT_EQ(image.Read(picture.data(), 6, 2, 8, 6, nullptr), kImageOk);
    EXPECT_EQ(image.Read(picture.data(), 6, 2, 8, 6, nullptr), kImageOk);
    EXPECT_EQ(image.Read(picture.data(), 6, 2, 8, 6, nullptr), kImageNoMoreFrames);
    image.Rewind();
    EXPECT_EQ(image.Read(picture.data(), 6, 2, 8, 6, nullptr), kImageOk);

    // A frame count of 0 gives 18 on the first read.
    Bytes none = f;
    none[28] = 0;
    EXPECT_EQ(ReadAll(none, 8, 1).status, kImageNoMoreFrames);
}

TEST(AnmFormat, WrittenAnimationsReadBackAtEveryDepth) {
    const int32_t width = 300, height = 7;
    for (int32_t depth : {8, 15, 16, 24, 32}) {
        for (int32_t quality : {-1, 0, 95}) {
            const int32_t bpp = (depth + 1) / 8, pitch = width * bpp + 4;
            // Frame 0 a gradient; frame 1 changes a long run and a short gap
            // in row 2 (copies over 127 pixels, equal runs of 3 and of 200);
            // frame 2 equals frame 1 (its delay extends frame 1); frame 3
            // changes one pixel of the last row.
            std::vector<Bytes> frames(4, Bytes(static_cast<size_t>(pitch) * height, 0));
            for (int32_t y = 0; y < height; ++y)
                for (int32_t x = 0; x < width * bpp; ++x)
                    frames[0][y * pitch + x] = static_cast<uint8_t>(x * 7 + y * 13 + 1);
            frames[1] = frames[0];
            for (int32_t x = 0; x < 140 * bpp; ++x) frames[1][2 * pitch + 10 * bpp + x] ^= 0x5A;
            for (int32_t x = 0; x < bpp; ++x) frames[1][2 * pitch + 153 * bpp + x] ^= 0x11;
            for (int32_t x = 0; x < bpp; ++x) frames[1][4 * pitch + 299 * bpp + x] ^= 0x33;
            frames[2] = frames[1];
            frames[3] = frames[2];
            frames[3][6 * pitch] ^= 0x01;
            LogPalette256 palette{kPaletteVersion, 256, {}};
            for (int i = 0; i < 256; ++i) palette.entries[i] = {uint8_t(i), uint8_t(i * 3), uint8_t(255 - i), 0};

            FormatPtr anm = NewAnm();
            anm->SetQuality(quality);
            CBufferStream out;
            CAnimationHeader header;
            header.width = width, header.height = height, header.depth = depth, header.defaultDelay = 50;
            header.extraWord1 = 2, header.extraWord2 = 7;
            const char user[] = "abc";
            header.userData = user, header.userDataSize = 3;
            ASSERT_EQ(anm->BeginAnimation(&out, header), kImageOk);
            const int32_t delays[] = {0, 30, 20, 10};
            for (int i = 0; i < 4; ++i)
                ASSERT_EQ(anm->WriteFrame(&out, i ? frames[i - 1].data() : nullptr, frames[i].data(), pitch, &palette,
                                          delays[i], 0), kImageOk);
            anm->ExtendLastFrame(&out, 5);
            anm->EndWrite(&out);
            const Bytes file(out.GetData(), out.GetData() + out.GetSize());

            const std::string what = "depth " + std::to_string(depth) + " quality " + std::to_string(quality);
            const Frames r = ReadAll(file, depth, 3);
            EXPECT_EQ(r.status, kImageOk) << what;
            ASSERT_EQ(r.pictures.size(), 3u) << what;  // the unchanged frame was merged
            const int32_t shown[] = {0, 1, 3};
            for (int i = 0; i < 3; ++i)
                for (int32_t y = 0; y < height; ++y) {
                    Bytes want(frames[shown[i]].begin() + y * pitch, frames[shown[i]].begin() + y * pitch + width * bpp);
                    if (depth == 32) for (size_t at = 3; at < want.size(); at += 4) want[at] = 0;
                    ASSERT_EQ(Bytes(r.pictures[i].begin() + y * width * bpp, r.pictures[i].begin() + (y + 1) * width * bpp),
                              want) << what << " frame " << i << " row " << y;
                }
            EXPECT_EQ(r.delays, (std::vector<int32_t>{50, 50, 15})) << what;
            CMemoryStream s;
            s.Attach(file.data(), static_cast<int32_t>(file.size()));
            CImageFile image(Manager());
            ASSERT_EQ(image.AttachStream(&s), kImageOk);
            EXPECT_EQ(image.GetFrameCount(), 3) << what;
            EXPECT_EQ(image.GetTotalTime(), 50 + 30 + 20 + 10 + 5) << what;
            EXPECT_EQ(image.GetFormat()->GetExtraWord1(), 2);
            EXPECT_EQ(image.GetFormat()->GetExtraWord2(), 7);
            EXPECT_EQ(image.GetFormat()->GetUserDataSize(), 3);
            if (depth == 8) { EXPECT_EQ(image.GetPalette()->entries[77].green, uint8_t(77 * 3)); }
        }
    }
}

TEST(AnmFormat, MalformedFiles) {
    const Bytes key{1, 2, 3, 4};  // 2 × 2 at 8 bits
    const auto file = [&](const std::function<void(Bytes&)>& frames, uint32_t w = 2, uint32_t h = 2,
                          uint32_t depth = 8) {
        Bytes f = AnmHeader(w, h, depth, 2, 10);
        frames(f);
        return f;
    };
    const auto keyThen = [&](const Bytes& delta, uint32_t x = 0, uint32_t y = 0, uint32_t w = 2, uint32_t h = 2) {
        return file([&](Bytes& f) {
            Frame(f, 0x4572, 0, 0, 0, 0, 2, 2, key);
            Frame(f, 0x4573, 0, 0, x, y, w, h, delta);
        });
    };
    // A zlib stream of 8 zero bytes.
    const Bytes shortHeader = AnmHeader(2, 2, 8, 1, 1);
    const Bytes eightZeros{0x78, 0x9C, 0x63, 0x60, 0x80, 0x00, 0x00, 0x00, 0x08, 0x00, 0x01};
    struct Case {
        const char* what;
        Bytes file;
        int32_t status;  // of opening, or of the reads
    };
    const Case cases[] = {
        {"short header", Bytes(shortHeader.begin(), shortHeader.begin() + 20), kImageNotRecognised},
        {"width 0", AnmHeader(0, 2, 8, 1, 1), kImageNotRecognised},
        {"depth 12", AnmHeader(2, 2, 12, 1, 1), kImageNotRecognised},
        {"pixel bytes past 32 bits", AnmHeader(0x10000, 0x10000, 32, 1, 1), kImageNotRecognised},
        {"chunk past the end", file([](Bytes& f) { Put16(f, 0x4570); Put16(f, 0); Put32(f, 99); }), kImageNotRecognised},
        {"short palette chunk", file([](Bytes& f) { Chunk(f, 0x4571, {0, 0, 3, 0, 1, 2}); }), kImageNotRecognised},
        {"frame chunk smaller than its header", file([](Bytes& f) { Chunk(f, 0x4572, {1, 2, 3}); }), kImageCorrupt},
        {"rectangle outside the image", keyThen({0x01, 0x01, 9, 0, 0}, 1, 1, 2, 1), kImageCorrupt},
        {"copy past the rectangle", keyThen({0x01, 0x02, 9, 9, 0, 0}, 1, 0, 1, 1), kImageCorrupt},
        {"skip past the rectangle", keyThen({0x01, 0x83, 0, 0}), kImageCorrupt},
        {"rows past the rectangle", keyThen({0x02, 0x00, 0x00, 0x01, 0x00, 0x00}, 0, 0, 2, 2), kImageCorrupt},
        {"row skip past the rectangle", keyThen({0x83, 0x00}), kImageCorrupt},
        {"delta data ends early", keyThen({0x01, 0x02, 9}), kImageCorrupt},
        {"key frame data short", file([&](Bytes& f) { Frame(f, 0x4572, 0, 0, 0, 0, 2, 2, {1, 2, 3}); }), kImageCorrupt},
        {"unpacked size past the frame's need",
         file([&](Bytes& f) { Frame(f, 0x4572, 0, 0, 0, 0, 2, 2, eightZeros, 8); }), kImageCorrupt},
        {"inflates to more than the unpacked size",
         file([&](Bytes& f) { Frame(f, 0x4572, 0, 0, 0, 0, 2, 2, eightZeros, 4); }, 2, 2, 8), kImageCorrupt},
        {"inflates to less than the unpacked size",
         file([&](Bytes& f) { Frame(f, 0x4572, 0, 0, 0, 0, 3, 3, eightZeros, 9); }, 3, 3, 8), kImageCorrupt},
        {"a zlib frame that fits", file([&](Bytes& f) {
             Frame(f, 0x4572, 0, 0, 0, 0, 2, 2, eightZeros, 8);
             Frame(f, 0x4573, 0, 1, 0, 0, 0, 0, {});
         }, 2, 2, 16), kImageOk},
    };
    for (const Case& c : cases) {
        const Frames r = ReadAll(c.file, 0, 2);
        EXPECT_EQ(r.status, c.status) << c.what;
    }
}
