// FLI and FLC animations: every frame sub-chunk type decoded over the
// previous frame (against pictures worked out by hand), speeds, the palette
// from either colour chunk, rewinding, conversion to other depths, and a
// table of malformed files.
#include <gtest/gtest.h>

#include "image_test_support.h"

#include "runtime/io/memory_stream.h"

#include <string>

using namespace imagetest;

namespace {

struct Sub {
    uint16_t type;
    Bytes data;
};

Bytes SubChunks(const std::vector<Sub>& subs) {
    Bytes b;
    for (const Sub& s : subs) {
        Put32(b, static_cast<uint32_t>(s.data.size() + 6));
        Put16(b, s.type);
        b.insert(b.end(), s.data.begin(), s.data.end());
    }
    return b;
}

Bytes FrameChunk(const std::vector<Sub>& subs, uint16_t type = 0xF1FA) {
    const Bytes body = SubChunks(subs);
    Bytes b;
    Put32(b, static_cast<uint32_t>(body.size() + 16));
    Put16(b, type);
    Put16(b, static_cast<uint16_t>(subs.size()));
    b.resize(16, 0);
    b.insert(b.end(), body.begin(), body.end());
    return b;
}

// A whole file: the header, a prefix chunk when asked, then the frames.
Bytes Fli(uint16_t magic, int width, int height, uint32_t speed, const std::vector<std::vector<Sub>>& frames,
          bool prefix = false, uint16_t depth = 8) {
    Bytes body;
    if (prefix) body = FrameChunk({{3, {1, 2, 3}}}, 0xF100);
    const uint32_t first = 128 + static_cast<uint32_t>(body.size());
    for (const auto& f : frames) {
        const Bytes c = FrameChunk(f);
        body.insert(body.end(), c.begin(), c.end());
    }
    Bytes h;
    Put32(h, static_cast<uint32_t>(128 + body.size()));
    Put16(h, magic);
    Put16(h, static_cast<uint16_t>(frames.size()));
    Put16(h, static_cast<uint16_t>(width));
    Put16(h, static_cast<uint16_t>(height));
    Put16(h, depth);
    Put16(h, 3);
    Put32(h, speed);
    h.resize(80, 0);
    Put32(h, magic == 0xAF12 ? first : 0);
    h.resize(128, 0);
    h.insert(h.end(), body.begin(), body.end());
    return h;
}

// Colours 0..2 = red, green, blue at 8 bits per component.
const Sub kColours256{4, {1, 0, 0, 3, 255, 0, 0, 0, 255, 0, 0, 0, 255}};

struct Reader {
    Bytes file;
    CMemoryStream stream;
    CImageFile image{Manager()};
    int32_t depth = 8;
    Bytes picture;
    int32_t Open(const Bytes& bytes, int32_t asDepth = 8) {
        file = bytes;
        stream.Attach(file.data(), static_cast<int32_t>(file.size()));
        depth = asDepth;
        const int32_t status = image.AttachStream(&stream);
        if (status != kImageOk) return status;
        picture.assign(static_cast<size_t>(image.GetWidth()) * image.GetHeight() * ((depth + 1) / 8), 0xEE);
        return image.PrepareRead(image.GetWidth(), image.GetHeight(), depth, nullptr);
    }
    int32_t Frame(int32_t n) {
        return image.ReadFrame(picture.data(), image.GetWidth() * ((depth + 1) / 8), n);
    }
};

}  // namespace

TEST(FliFormat, EveryFrameChunkOverThePreviousFrame) {
    // 4 × 3. Frame 0: byte runs (15): row 0 a run of 4 × 1; row 1 literals
    // 1 2 3 0; row 2 a run of 2 × 3 then literals 2 2.
    // Frame 1: byte delta (12) from line 1, 2 lines: line 1 skip 1, literal
    // 9; line 2 skip 2, a run of 5 × 8 clipped at the row end.
    // Frame 2: word delta (7): skip 2 lines, last-byte opcode 7, then a pair
    // 4 5 repeated twice, clipped to the row.
    // Frame 3: cleared (13). Frame 4: stored (16).
    const std::vector<std::vector<Sub>> frames = {
        {kColours256, {15, {1, 4, 1, 1, 0xFC, 1, 2, 3, 0, 2, 2, 3, 0xFE, 2, 2}}},
        {{12, {1, 0, 2, 0, 1, 1, 1, 9, 1, 2, 0xFB, 8}}},
        {{7, {1, 0, 0xFE, 0xFF, 0x07, 0x80, 1, 0, 1, 0xFE, 4, 5}}},
        {{13, {}}},
        {{16, {1, 2, 3, 1, 2, 3, 1, 2, 3, 1, 2, 3}}},
    };
    const Bytes want[] = {
        {1, 1, 1, 1, 1, 2, 3, 0, 3, 3, 2, 2},
        {1, 1, 1, 1, 1, 9, 3, 0, 3, 3, 8, 8},
        {1, 1, 1, 1, 1, 9, 3, 0, 3, 4, 5, 4},
        Bytes(12, 0),
        {1, 2, 3, 1, 2, 3, 1, 2, 3, 1, 2, 3},
    };
    for (bool prefix : {false, true}) {
        for (uint16_t magic : {0xAF11, 0xAF12}) {
            Reader r;
            ASSERT_EQ(r.Open(Fli(magic, 4, 3, 5, frames, prefix)), kImageOk);
            EXPECT_EQ(r.image.GetFrameCount(), 5);
            EXPECT_EQ(r.image.GetFrameDelay(0), magic == 0xAF11 ? 71 : 5);
            EXPECT_EQ(r.image.GetPalette()->entries[1].green, 255);
            for (int i = 0; i < 5; ++i) {
                ASSERT_EQ(r.Frame(i), kImageOk) << i;
                EXPECT_EQ(r.picture, want[i]) << "frame " << i << " magic " << magic << " prefix " << prefix;
            }
            // Back to frame 2: rewound and decoded from frame 0 again.
            ASSERT_EQ(r.Frame(2), kImageOk);
            EXPECT_EQ(r.picture, want[2]);
            EXPECT_EQ(r.image.GetCurrentFrame(), 2);
            r.image.Rewind();
            uint8_t* p = r.picture.data();
            for (int i = 0; i < 5; ++i) ASSERT_EQ(r.image.Read(p, 4, 3, 8, 4, nullptr), kImageOk);
            EXPECT_EQ(r.image.Read(p, 4, 3, 8, 4, nullptr), kImageNoMoreFrames);
        }
    }
}

TEST(FliFormat, SixBitColoursAndOtherDepths) {
    // Colour chunk 11: skip 254, two entries of 6-bit values; later colour
    // chunks do not change the palette.
    const Sub colours64{11, {1, 0, 254, 2, 63, 0, 0, 0, 32, 1}};
    const Sub later{4, {1, 0, 254, 1, 9, 9, 9}};
    const Bytes file = Fli(0xAF12, 2, 1, 40, {{colours64, {16, {254, 255}}}, {later, {16, {255, 254}}}});
    Reader r;
    ASSERT_EQ(r.Open(file, 24), kImageOk);
    ASSERT_EQ(r.Frame(0), kImageOk);
    EXPECT_EQ(r.picture, (Bytes{0, 0, 252, 4, 128, 0}));
    ASSERT_EQ(r.Frame(1), kImageOk);
    EXPECT_EQ(r.picture, (Bytes{4, 128, 0, 0, 0, 252}));
}

TEST(FliFormat, MalformedFiles) {
    const auto one = [](const std::vector<Sub>& subs) { return Fli(0xAF12, 4, 3, 10, {subs}); };
    // The second frame's sub-chunk says 3 bytes: smaller than its header.
    Bytes badSub = Fli(0xAF12, 4, 3, 10, {{{13, {}}}, {{16, Bytes(12, 1)}}});
    badSub[128 + FrameChunk({{13, {}}}).size() + 16] = 3;
    Bytes headerOnly = one({});
    headerOnly.resize(128);
    Bytes badFrame = one({{13, {}}});
    badFrame[128] = 8;  // a frame chunk of 8 bytes
    Bytes longFrame = one({{13, {}}});
    longFrame[129] = 0x40;  // past the file end
    Bytes widthZero = one({{13, {}}});
    widthZero[8] = 0;
    struct Case {
        const char* what;
        Bytes file;
        int32_t status;
    };
    const Case cases[] = {
        {"short header", Bytes(100, 0), kImageNotRecognised},
        {"16-bit", Fli(0xAF12, 2, 2, 1, {{{13, {}}}}, false, 16), kImageNotRecognised},
        {"width 0", widthZero, kImageNotRecognised},
        {"no frame chunk", headerOnly, kImageNotRecognised},
        {"frame chunk smaller than its header", badFrame, kImageNotRecognised},
        {"frame chunk past the end", longFrame, kImageNotRecognised},
        {"sub-chunk smaller than its header", badSub, kImageCorrupt},
        {"stored frame short", one({{16, Bytes(11, 1)}}), kImageCorrupt},
        {"byte runs end early", one({{15, {1, 4, 1, 1}}}), kImageCorrupt},
        {"byte delta ends early", one({{12, {0, 0, 3, 0, 1, 0, 5, 1}}}), kImageCorrupt},
        {"word delta ends early", one({{7, {2, 0, 1, 0, 0, 2, 1, 1, 1, 1}}}), kImageCorrupt},
        {"colour packets end early", one({{4, {2, 0, 0, 1, 1, 2}}}), kImageNotRecognised},
        // Writes past rows and the image are clipped, not refused.
        {"byte delta past the last line", one({{12, {2, 0, 200, 0, 1, 250, 0x81, 7, 1, 0, 0x7F}}}), kImageOk},
        {"word delta past the image",
         one({{7, {3, 0, 0x01, 0x80, 1, 0, 2, 3, 5, 6, 5, 6, 5, 6, 0x00, 0xC8, 1, 0, 0, 0x81, 1, 2, 0, 0}}}), kImageOk},
        {"colour entries past 256", one({{4, {1, 0, 255, 3, 1, 1, 1, 2, 2, 2, 3, 3, 3}}, {13, {}}}), kImageOk},
    };
    for (const Case& c : cases) {
        Reader r;
        int32_t status = r.Open(c.file);
        for (int32_t i = 0; status == kImageOk && i < r.image.GetFrameCount(); ++i) status = r.Frame(i);
        EXPECT_EQ(status, c.status) << c.what;
        if (status == kImageOk) { EXPECT_EQ(r.picture.size(), 12u) << c.what; }
    }
}
