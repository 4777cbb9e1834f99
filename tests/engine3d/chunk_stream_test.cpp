#include "engine3d/chunk_stream.h"

#include "runtime/io/buffer_stream.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

namespace {
std::vector<uint8_t> Bytes(CBufferStream& out) {
    return std::vector<uint8_t>(out.GetData(), out.GetData() + out.GetSize());
}
uint32_t U32At(const std::vector<uint8_t>& b, size_t at) {
    return b[at] | b[at + 1] << 8 | b[at + 2] << 16 | static_cast<uint32_t>(b[at + 3]) << 24;
}
using B = std::vector<uint8_t>;
}  // namespace

TEST(ChunkStream, NestedChunksAndFieldEncodings) {
    CBufferStream out;
    LChunkStream w(&out);
    const int32_t outer = w.BeginChunk(0x4C524F57, 0);
    EXPECT_EQ(outer, 0);
    const int32_t empty = w.BeginChunk(ChunkTag("EMPT"));
    EXPECT_EQ(w.EndChunk(empty), 16);
    const int32_t one = w.BeginChunk(ChunkTag("ONE "));
    w.WriteU32(0xDDCCBBAA);
    EXPECT_EQ(w.EndChunk(one), 28);
    w.WriteU8(0x1FF);
    w.WriteU16(0x12345);
    w.WriteString("");
    w.WriteString("ab");
    w.WriteF32(-2.0f);
    w.WriteVec3(1.0f, 0.0f, 0.5f);
    EXPECT_EQ(w.EndChunk(outer), 28 + 1 + 2 + 2 + 4 + 4 + 12);
    const B b = Bytes(out);
    ASSERT_EQ(b.size(), 53u);
    EXPECT_EQ(B(b.begin(), b.begin() + 4), (B{'W', 'O', 'R', 'L'}));
    EXPECT_EQ(U32At(b, 4), 53u - 8);  // includes both inner headers
    EXPECT_EQ(B(b.begin() + 8, b.begin() + 16), (B{'E', 'M', 'P', 'T', 0, 0, 0, 0}));
    EXPECT_EQ(U32At(b, 20), 4u);
    EXPECT_EQ(B(b.begin() + 24, b.begin() + 28), (B{0xAA, 0xBB, 0xCC, 0xDD}));
    EXPECT_EQ(B(b.begin() + 28, b.begin() + 37), (B{0xFF, 0x45, 0x23, 0, 0, 2, 0, 'a', 'b'}));
    EXPECT_EQ(U32At(b, 37), 0xC0000000u);
    EXPECT_EQ(U32At(b, 41), 0x3F800000u);
    EXPECT_EQ(U32At(b, 45), 0u);
    EXPECT_EQ(U32At(b, 49), 0x3F000000u);
}

TEST(ChunkStream, PointWritesEightValues) {
    CBufferStream out;
    LChunkStream w(&out);
    const float point[8] = {1, 2, 3, 4, 5, 6, 7, -0.0f};
    w.WritePoint(point);
    const B b = Bytes(out);
    ASSERT_EQ(b.size(), 32u);
    for (int i = 0; i < 8; ++i) {
        uint32_t bits;
        std::memcpy(&bits, &point[i], 4);
        EXPECT_EQ(U32At(b, 4 * i), bits);
    }
}

// A name longer than the 16-bit length can state is cut to 65535 characters,
// so the chunk that follows it is still found where its header says.
TEST(ChunkStream, OverlongStringKeepsLengthAndBytesInStep) {
    CBufferStream out;
    LChunkStream w(&out);
    const std::string name(70000, 'n');
    const int32_t start = w.BeginChunk(ChunkTag("NAME"));
    w.WriteString(name.c_str());
    w.EndChunk(start);
    w.WriteU32(0x11223344);
    const B b = Bytes(out);
    ASSERT_EQ(b.size(), 8u + 2 + 65535 + 4);
    EXPECT_EQ(b[8] | b[9] << 8, 65535);
    EXPECT_EQ(U32At(b, 4), 2u + 65535);
    EXPECT_EQ(U32At(b, 8 + U32At(b, 4)), 0x11223344u);
}

TEST(ChunkStream, NullStreamWritesNothing) {
    LChunkStream w(nullptr);
    EXPECT_EQ(w.EndChunk(w.BeginChunk(ChunkTag("WORL"))), 0);
    w.WriteString("abc");
}

TEST(ChunkStream, SplitPathAtLastSeparator) {
    struct Case {
        const char* path;
        const char* tail;
        int result;
    } cases[] = {
        {"a\\b", "b", 2}, {"a/", "", 1}, {"ab", "", 0}, {"x/yz", "yz", 3},
        {"c:\\dir/sub\\file.ruv", "file.ruv", 9}, {"", "", 0}, {"/", "", 1},
    };
    for (const Case& c : cases) {
        char out[32] = "junk";
        EXPECT_EQ(SplitPathAtLastSeparator(c.path, out, sizeof out), c.result) << c.path;
        EXPECT_STREQ(out, c.tail) << c.path;
    }
    char small[4];
    EXPECT_EQ(SplitPathAtLastSeparator("d/abcdef", small, sizeof small), 7);
    EXPECT_STREQ(small, "abc");
}
