#pragma once
// LChunkStream: the writer of tagged chunks of the binary scene format. It
// lives with the engine because the engine's objects save themselves through
// it; the scene-file readers above use it too.
//
// A chunk is a u32 tag, a u32 payload length and the payload; all values are
// little-endian. A tag is four characters in file order: "WORL" is the u32
// 0x4C524F57 (ChunkTag("WORL")). The length counts the payload only, not the
// 8-byte header, and a payload may hold sub-chunks. Field encodings: u8, u16,
// u32; f32 as the u32 of its bits; string = u16 length n and n characters, no
// terminator; vec3 = three f32; point = eight f32.
//
// BeginChunk writes the header with a placeholder length; EndChunk patches it
// in place by seeking back, so the output stream must be seekable
// (CBufferedFileStream flushes before it seeks). Nothing reports an error.
#include <cstddef>
#include <cstdint>

class COutStream;

constexpr uint32_t ChunkTag(const char (&tag)[5]) {
    return static_cast<uint32_t>(static_cast<uint8_t>(tag[0])) |
           static_cast<uint32_t>(static_cast<uint8_t>(tag[1])) << 8 |
           static_cast<uint32_t>(static_cast<uint8_t>(tag[2])) << 16 |
           static_cast<uint32_t>(static_cast<uint8_t>(tag[3])) << 24;
}

class LChunkStream {
public:
    enum { kMaxStringLength = 65535 };

    // Writes through `out` (not owned); a null stream writes nothing.
    explicit LChunkStream(COutStream* out);

    // Writes tag and size word; answers the position before the tag.
    int32_t BeginChunk(uint32_t tag, uint32_t size = 0);
    // Patches the length of the chunk begun at `start` to the bytes written
    // since its header; answers the current position.
    int32_t EndChunk(int32_t start);

    void WriteU8(uint32_t value);
    void WriteU16(uint32_t value);
    void WriteU32(uint32_t value);
    void WriteF32(float value);
    // Length and characters of a zero-terminated string (null writes the empty
    // string). At most 65535 characters are written, so the 16-bit length
    // always matches the bytes that follow.
    void WriteString(const char* text);
    void WriteVec3(float x, float y, float z);
    void WritePoint(const float values[8]);
    // The stream written through (null for none), for the record writers.
    COutStream* GetStream() const { return m_out; }

private:
    COutStream* m_out;
};

// Copies the characters after the last '\\' or '/' of path into out (at most
// outSize - 1 of them, terminated) and answers their count plus one; a path
// without separator gives the empty string and 0.
int SplitPathAtLastSeparator(const char* path, char* out, size_t outSize);
