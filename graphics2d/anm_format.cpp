// ANM animations, the runtime's own format: read frame by frame and written.
//
// Layout (little-endian). Header, 40 bytes: "ANMQ", u32 0, u32 0, u32 width,
// u32 height, u32 depth (8, 15, 16, 24 or 32), u32 0, u32 frame count, u32
// default frame delay (ms), u32 total time (ms). Then chunks {u16 id, u16 0,
// u32 data size, data}:
//   0x4570  user data (kept as a block)
//   0x4571  palette: u16 first entry, u16 count, count × red, green, blue
//   0x4572  key frame       0x4573  delta frame
//   0x4574  two u32 words: loop count + 1 and frame limit (1 and 0 without
//           the chunk)
// Frame data: a 28-byte frame header (u32 delay (0: the default), u32 flags
// (bit 0: nothing to draw), u32 x, y, width, height of the frame rectangle,
// u32 unpacked size (0: the pixels are stored, else a zlib stream that
// inflates to exactly that many bytes)), then the pixels. A key frame holds
// the whole image, height rows packed at the depth. A delta frame is a
// program over the rectangle, from its top-left pixel: group bytes, 0 ends;
// a group byte >= 128 skips (byte & 127) rows, 1 to 127 is followed by that
// many line programs, each of op bytes ended by 0: an op >= 128 skips
// (op & 127) pixels, 1 to 127 copies that many pixels from the data; after a
// line program the next row starts at the rectangle's left edge.
//
// Reading checks every frame against the image before it draws: a rectangle
// outside the image, a program that skips or copies past its rectangle, or
// data shorter than the frame needs is corrupt (11), and an unpacked size
// larger than the frame could ever need is refused before anything is
// allocated.
#include "graphics2d/image_byte_source.h"
#include "graphics2d/image_file.h"

#include "runtime/io/buffer_stream.h"
#include "runtime/io/compress_stream.h"
#include "runtime/io/memory_stream.h"
#include "runtime/io/stream.h"

#include <cstring>
#include <new>
#include <vector>

namespace {

constexpr int32_t kHeaderBytes = 40;
constexpr int32_t kChunkHeaderBytes = 8;
constexpr int32_t kFrameHeaderBytes = 28;
constexpr uint16_t kUserData = 0x4570, kPaletteChunk = 0x4571, kKeyFrame = 0x4572, kDeltaFrame = 0x4573,
                   kExtraWords = 0x4574;
constexpr uint32_t kMagic = 0x514D4E41;  // "ANMQ"

void PutU32(uint8_t* p, uint32_t v) {
    for (int i = 0; i < 4; ++i)
        p[i] = static_cast<uint8_t>(v >> (8 * i));
}

// Pixel comparison for the writer's scans, without a call per pixel.
inline bool SamePixel(const uint8_t* a, const uint8_t* b, int32_t bytes) {
    switch (bytes) {
        case 1: return *a == *b;
        case 2: return a[0] == b[0] && a[1] == b[1];
        case 3: return a[0] == b[0] && a[1] == b[1] && a[2] == b[2];
        default: {
            uint32_t x, y;
            std::memcpy(&x, a, 4);
            std::memcpy(&y, b, 4);
            return x == y;
        }
    }
}

bool IsAnmDepth(uint32_t depth) { return depth == 8 || depth == 15 || depth == 16 || depth == 24 || depth == 32; }

class CAnmFormat : public CImageFormat {
public:
    CAnmFormat() : CImageFormat(3808, 3708, 3908) {}
    ~CAnmFormat() override { delete[] m_userData; }
    CImageFormat* CreateInstance() override { return new (std::nothrow) CAnmFormat(); }
    uint32_t GetId() override { return kImageFormatAnm; }
    int IsAnimation() override { return 1; }
    int HasFrames() override { return 1; }
    int CanWriteAnimation() override { return 1; }
    void SetQuality(int32_t value) override { m_level = value < 0 ? -1 : (value / 10 > 9 ? 9 : value / 10); }
    int Probe(CStream*, uint32_t firstWord) override { return firstWord == kMagic; }
    int32_t ReadHeader(CStream* stream) override;
    int32_t ReadImage(CStream* stream, uint8_t* destination, int32_t pitch, uint8_t* mask) override;
    void Rewind() override {
        m_next = m_first;
        m_currentFrame = -1;
    }
    void GetFrameRect(CRect* rect) override { *rect = m_rect; }
    void* GetUserData() override { return m_userData; }
    int32_t GetUserDataSize() override { return m_userDataSize; }
    int32_t GetFrameDelay(int32_t frame) override {
        return frame == m_currentFrame || frame == -1 ? m_currentDelay : m_frameDelay;
    }
    int32_t GetExtraWord1() override { return m_extra[0]; }
    int32_t GetExtraWord2() override { return m_extra[1]; }
    int32_t BeginAnimation(COutStream* stream, const CAnimationHeader& header) override;
    int32_t WriteFrame(COutStream* stream, const uint8_t* previous, const uint8_t* pixels, int32_t pitch,
                       const LogPalette256* palette, int32_t delay, uint32_t flags) override;
    void ExtendLastFrame(COutStream* stream, int32_t extra) override;
    void EndWrite(COutStream* stream) override;

private:
    int32_t ReadPalette(const uint8_t* data, uint32_t size);
    bool DrawDelta(const uint8_t* data, int64_t size, uint8_t* destination, int32_t pitch);
    int32_t WriteChunk(COutStream* stream, uint16_t id, int64_t chunkStart, const uint8_t* frameHeader,
                       const std::vector<uint8_t>& data, int compress);
    void EncodeDelta(const uint8_t* previous, const uint8_t* pixels, int32_t pitch, const CRect& box);

    uint8_t* m_userData = nullptr;
    int32_t m_userDataSize = 0;
    int32_t m_extra[2] = {1, 0};
    int32_t m_first = 0;  // stream position of the first frame chunk; 0 until the header was read
    int32_t m_next = 0;
    int32_t m_currentDelay = 0;
    CRect m_rect;
    std::vector<uint8_t> m_unpacked;

    // Writing.
    int32_t m_start = 0;           // stream position of the header
    int32_t m_lastDelayAt = -1;    // stream position of the last frame's delay word
    uint32_t m_lastDelay = 0;
    int32_t m_framesWritten = 0;
    int m_level = -1;
    int m_writing = 0;  // BeginAnimation succeeded and EndWrite has not run
    std::vector<uint8_t> m_encoded;
};

// ---- Reading ----

int32_t CAnmFormat::ReadPalette(const uint8_t* data, uint32_t size) {
    LogPalette256* palette = MakePalette();
    if (palette == nullptr)
        return kImageOutOfMemory;
    if (size < 4)
        return kImageCorrupt;
    const uint32_t first = data[0] | data[1] << 8, count = data[2] | data[3] << 8;
    if (size - 4 < uint64_t(count) * 3)
        return kImageCorrupt;
    // Entries past the palette's 256 are dropped.
    for (uint32_t i = 0; i < count && first + i < 256; ++i) {
        const uint8_t* e = data + 4 + 3 * i;
        palette->entries[first + i] = {e[0], e[1], e[2], 0};
    }
    return kImageOk;
}

int32_t CAnmFormat::ReadHeader(CStream* stream) {
    m_first = 0;
    uint8_t h[kHeaderBytes];
    if (stream->Read(h, kHeaderBytes) != 0 || LoadLE32(h) != kMagic)
        return kImageNotRecognised;
    const uint32_t width = LoadLE32(h + 12), height = LoadLE32(h + 16), depth = LoadLE32(h + 20);
    if (width == 0 || height == 0 || !IsAnmDepth(depth) ||
        uint64_t(width) * height * ((depth + 1) / 8) > 0xFFFFFFFFu)
        return kImageNotRecognised;
    const int32_t status = SetGeometry(width, height, static_cast<int32_t>(depth));
    if (status != kImageOk)
        return status;
    m_pitch = m_rowBytes;
    m_frameCount = static_cast<int32_t>(LoadLE32(h + 28) & 0x7FFFFFFF);
    m_frameDelay = static_cast<int32_t>(LoadLE32(h + 32) & 0x7FFFFFFF);
    m_totalTime = static_cast<int32_t>(LoadLE32(h + 36) & 0x7FFFFFFF);
    m_currentFrame = -1;
    m_currentDelay = m_frameDelay;
    m_rect = {0, 0, m_width, m_height};
    if (depth == 8 && MakePalette() == nullptr)
        return kImageOutOfMemory;
    const int64_t size = stream->GetSize();
    int64_t at = stream->Tell();
    while (at + kChunkHeaderBytes <= size) {
        uint8_t c[kChunkHeaderBytes];
        if (stream->Seek(static_cast<int32_t>(at), 0) != at || stream->Read(c, kChunkHeaderBytes) != 0)
            return kImageNotRecognised;
        const uint16_t id = static_cast<uint16_t>(c[0] | c[1] << 8);
        const uint32_t dataSize = LoadLE32(c + 4);
        if (id == kKeyFrame || id == kDeltaFrame)
            break;
        if (dataSize > size - at - kChunkHeaderBytes)
            return kImageNotRecognised;
        if (id == kUserData || id == kPaletteChunk || id == kExtraWords) {
            uint8_t* data = dataSize > 0 ? static_cast<uint8_t*>(stream->ReadBlock(static_cast<int32_t>(dataSize)))
                                         : nullptr;
            if (dataSize > 0 && data == nullptr)
                return kImageNotRecognised;
            int32_t chunkStatus = kImageOk;
            if (id == kUserData) {
                delete[] m_userData;
                m_userData = new (std::nothrow) uint8_t[dataSize > 0 ? dataSize : 1];
                m_userDataSize = static_cast<int32_t>(dataSize);
                if (m_userData == nullptr)
                    chunkStatus = kImageOutOfMemory;
                else if (dataSize > 0)
                    std::memcpy(m_userData, data, dataSize);
            } else if (id == kPaletteChunk) {
                chunkStatus = ReadPalette(data, dataSize);
            } else if (dataSize >= 8) {
                m_extra[0] = static_cast<int32_t>(LoadLE32(data));
                m_extra[1] = static_cast<int32_t>(LoadLE32(data + 4));
            } else {
                chunkStatus = kImageNotRecognised;
            }
            stream->ReleaseBlock(data);
            if (chunkStatus != kImageOk)
                return chunkStatus == kImageCorrupt ? kImageNotRecognised : chunkStatus;
        }
        at += kChunkHeaderBytes + int64_t(dataSize);
    }
    // The first frame chunk, or the end of the chunks: a read there finds no
    // frame and says so.
    m_first = m_next = static_cast<int32_t>(at);
    return kImageOk;
}

// Applies the delta program inside m_rect; false when it leaves the
// rectangle or its data ends early.
bool CAnmFormat::DrawDelta(const uint8_t* data, int64_t size, uint8_t* destination, int32_t pitch) {
    const uint8_t* at = data;
    const uint8_t* end = data + size;
    const int32_t bpp = m_bytesPerPixel, out = TargetBytesPerPixel();
    int32_t y = m_rect.top;
    for (;;) {
        if (at >= end)
            return false;
        const uint8_t group = *at++;
        if (group == 0)
            return true;
        if (group >= 128) {
            y += group & 127;
            if (y > m_rect.bottom)
                return false;
            continue;
        }
        for (int line = 0; line < group; ++line, ++y) {
            if (y >= m_rect.bottom)
                return false;
            uint8_t* row = destination + static_cast<ptrdiff_t>(y) * pitch;
            int32_t x = m_rect.left;
            for (;;) {
                if (at >= end)
                    return false;
                const uint8_t op = *at++;
                if (op == 0)
                    break;
                const int32_t n = op & 127;
                if (n > m_rect.right - x)
                    return false;
                if (op < 128) {
                    if (int64_t(n) * bpp > end - at)
                        return false;
                    PutPixels(at, n, row + static_cast<ptrdiff_t>(x) * out);
                    at += n * bpp;
                }
                x += n;
            }
        }
    }
}

int32_t CAnmFormat::ReadImage(CStream* stream, uint8_t* destination, int32_t pitch, uint8_t*) {
    if (m_first == 0)
        return kImageNothingOpen;
    if (m_currentFrame + 1 >= m_frameCount)
        return kImageNoMoreFrames;
    const int64_t size = stream->GetSize();
    int64_t at = m_next;
    uint8_t c[kChunkHeaderBytes];
    uint16_t id = 0;
    uint32_t dataSize = 0;
    for (;;) {
        if (at + kChunkHeaderBytes > size || stream->Seek(static_cast<int32_t>(at), 0) != at ||
            stream->Read(c, kChunkHeaderBytes) != 0)
            return kImageCorrupt;
        id = static_cast<uint16_t>(c[0] | c[1] << 8);
        dataSize = LoadLE32(c + 4);
        if (dataSize > size - at - kChunkHeaderBytes)
            return kImageCorrupt;
        if (id == kKeyFrame || id == kDeltaFrame)
            break;
        at += kChunkHeaderBytes + int64_t(dataSize);
    }
    uint8_t f[kFrameHeaderBytes];
    if (dataSize < kFrameHeaderBytes || stream->Read(f, kFrameHeaderBytes) != 0)
        return kImageCorrupt;
    m_next = static_cast<int32_t>(at + kChunkHeaderBytes + dataSize);
    ++m_currentFrame;
    const uint32_t delay = LoadLE32(f), flags = LoadLE32(f + 4);
    m_currentDelay = delay != 0 ? static_cast<int32_t>(delay & 0x7FFFFFFF) : m_frameDelay;
    const uint32_t x = LoadLE32(f + 8), y = LoadLE32(f + 12), w = LoadLE32(f + 16), h = LoadLE32(f + 20);
    const uint32_t unpacked = LoadLE32(f + 24);
    const bool inside = uint64_t(x) + w <= uint32_t(m_width) && uint64_t(y) + h <= uint32_t(m_height);
    m_rect = inside ? CRect(static_cast<int32_t>(x), static_cast<int32_t>(y), static_cast<int32_t>(x + w),
                            static_cast<int32_t>(y + h))
                    : CRect(0, 0, 0, 0);
    if (flags & 1)
        return kImageOk;  // nothing to draw, yet a frame with its delay
    if (!inside)
        return kImageCorrupt;
    // The most a frame can need: a key frame its rows; a delta frame its
    // rectangle's pixels with an op byte each, a line end and a group or
    // skip byte for every row, and the end byte.
    const int64_t keyBytes = int64_t(m_rowBytes) * m_height;
    const int64_t most = id == kKeyFrame ? keyBytes : int64_t(h) * (int64_t(w) * (m_bytesPerPixel + 1) + 3) + 1;
    const int32_t packedSize = static_cast<int32_t>(dataSize - kFrameHeaderBytes);
    const uint8_t* pixels = nullptr;
    int64_t pixelBytes = 0;
    uint8_t* block = nullptr;
    if (unpacked == 0) {
        if (packedSize > 0) {
            block = static_cast<uint8_t*>(stream->ReadBlock(packedSize));
            if (block == nullptr)
                return kImageCorrupt;
        }
        pixels = block;
        pixelBytes = packedSize;
    } else {
        if (unpacked > most)
            return kImageCorrupt;
        try {
            if (m_unpacked.size() < unpacked)
                m_unpacked.resize(unpacked);
        } catch (const std::bad_alloc&) {
            return kImageOutOfMemory;
        }
        CBufferStream output;
        output.Attach(m_unpacked.data(), static_cast<int32_t>(unpacked));
        if (InflateStreamToStream(&output, stream, packedSize) != 0 || output.GetSize() != int32_t(unpacked))
            return kImageCorrupt;
        pixels = m_unpacked.data();
        pixelBytes = unpacked;
    }
    bool ok = true;
    if (id == kKeyFrame) {
        ok = pixelBytes >= keyBytes;
        for (int32_t row = 0; ok && row < m_height; ++row)
            PutPixels(pixels + static_cast<ptrdiff_t>(row) * m_rowBytes, m_width,
                      destination + static_cast<ptrdiff_t>(row) * pitch);
    } else {
        ok = DrawDelta(pixels, pixelBytes, destination, pitch);
    }
    if (block != nullptr)
        stream->ReleaseBlock(block);
    return ok ? kImageOk : kImageCorrupt;
}

// ---- Writing ----

int32_t CAnmFormat::BeginAnimation(COutStream* stream, const CAnimationHeader& header) {
    if (stream == nullptr || header.width < 1 || header.height < 1 || !IsAnmDepth(header.depth) ||
        header.userDataSize < 0 || (header.userDataSize > 0 && header.userData == nullptr))
        return kImageBadArguments;
    const int32_t status = SetGeometry(header.width, header.height, header.depth);
    if (status != kImageOk)
        return status;
    m_pitch = m_rowBytes;
    m_frameDelay = header.defaultDelay;
    m_extra[0] = header.extraWord1;
    m_extra[1] = header.extraWord2;
    m_start = stream->Tell();
    uint8_t h[kHeaderBytes] = {};
    PutU32(h, kMagic);
    PutU32(h + 12, uint32_t(header.width));
    PutU32(h + 16, uint32_t(header.height));
    PutU32(h + 20, uint32_t(header.depth));
    PutU32(h + 28, uint32_t(header.frameCount));
    PutU32(h + 32, uint32_t(header.defaultDelay));
    PutU32(h + 36, uint32_t(header.frameCount) * uint32_t(header.defaultDelay));
    uint32_t failed = stream->Write(h, kHeaderBytes);
    if (header.extraWord1 != 1) {
        uint8_t c[kChunkHeaderBytes + 8] = {};
        c[0] = kExtraWords & 0xFF;
        c[1] = kExtraWords >> 8;
        PutU32(c + 4, 8);
        PutU32(c + 8, uint32_t(header.extraWord1));
        PutU32(c + 12, uint32_t(header.extraWord2));
        failed |= stream->Write(c, sizeof c);
    }
    if (header.userData != nullptr) {
        uint8_t c[kChunkHeaderBytes] = {};
        c[0] = kUserData & 0xFF;
        c[1] = kUserData >> 8;
        PutU32(c + 4, uint32_t(header.userDataSize));
        failed |= stream->Write(c, sizeof c);
        if (header.userDataSize > 0)
            failed |= stream->Write(header.userData, header.userDataSize);
    }
    // The header's count and total were the caller's forecast; EndWrite puts
    // in what was written.
    m_framesWritten = 0;
    m_frameCount = 0;
    m_totalTime = 0;
    m_currentFrame = -1;
    m_lastDelayAt = -1;
    m_writing = failed == 0;
    return failed ? kImageWriteFailed : kImageOk;
}

// Writes a chunk whose data is the frame header and `data`, deflated when
// asked; the chunk size is put in afterwards.
int32_t CAnmFormat::WriteChunk(COutStream* stream, uint16_t id, int64_t chunkStart, const uint8_t* frameHeader,
                               const std::vector<uint8_t>& data, int compress) {
    uint8_t c[kChunkHeaderBytes] = {static_cast<uint8_t>(id & 0xFF), static_cast<uint8_t>(id >> 8)};
    uint32_t failed = stream->Write(c, kChunkHeaderBytes);
    failed |= stream->Write(frameHeader, kFrameHeaderBytes);
    if (!data.empty()) {
        if (compress) {
            CMemoryStream source;
            source.Attach(data.data(), static_cast<int32_t>(data.size()));
            failed |= DeflateStreamToStream(stream, &source, static_cast<int32_t>(data.size()), m_level);
        } else {
            failed |= stream->Write(data.data(), static_cast<int32_t>(data.size()));
        }
    }
    const int32_t end = stream->Tell();
    uint8_t size[4];
    PutU32(size, uint32_t(end - chunkStart - kChunkHeaderBytes));
    if (stream->Seek(static_cast<int32_t>(chunkStart + 4), 0) != chunkStart + 4)
        failed = 1;
    failed |= stream->Write(size, 4);
    if (stream->Seek(end, 0) != end)
        failed = 1;
    return failed ? kImageWriteFailed : kImageOk;
}

// The delta program of `pixels` over `previous` inside the box, in
// m_encoded.
void CAnmFormat::EncodeDelta(const uint8_t* previous, const uint8_t* pixels, int32_t pitch, const CRect& box) {
    const int32_t bpp = m_bytesPerPixel;
    std::vector<uint8_t>& out = m_encoded;
    out.clear();
    const auto same = [&](int32_t x, int32_t y) {
        const size_t at = static_cast<size_t>(y) * pitch + static_cast<size_t>(x) * bpp;
        return SamePixel(previous + at, pixels + at, bpp);
    };
    const auto rowSame = [&](int32_t y) {
        const size_t at = static_cast<size_t>(y) * pitch + static_cast<size_t>(box.left) * bpp;
        return std::memcmp(previous + at, pixels + at, static_cast<size_t>(box.Width()) * bpp) == 0;
    };
    for (int32_t y = box.top; y < box.bottom;) {
        if (rowSame(y)) {
            int32_t skip = 0;
            while (y < box.bottom && rowSame(y)) {
                ++skip;
                ++y;
            }
            if (y == box.bottom)
                break;
            for (; skip > 127; skip -= 127)
                out.push_back(0xFF);
            if (skip > 0)
                out.push_back(static_cast<uint8_t>(0x80 | skip));
            continue;
        }
        // A group of up to 127 changed rows in a row.
        const size_t groupAt = out.size();
        out.push_back(0);
        int lines = 0;
        for (; y < box.bottom && lines < 127 && !rowSame(y); ++y, ++lines) {
            int32_t x = box.left;
            while (x < box.right) {
                // Equal pixels from x: a skip when more than 3 of them (or
                // when they run to the row end), else copied along.
                int32_t equal = 0;
                while (x + equal < box.right && same(x + equal, y))
                    ++equal;
                if (x + equal == box.right)
                    break;
                if (equal > 3) {
                    for (int32_t s = equal; s > 0; s -= 127)
                        out.push_back(static_cast<uint8_t>(0x80 | (s > 127 ? 127 : s)));
                    x += equal;
                    continue;
                }
                // Copy up to the next run of more than 3 equal pixels.
                int32_t copy = 0;
                for (int32_t run = 0; x + copy < box.right; ++copy) {
                    run = same(x + copy, y) ? run + 1 : 0;
                    if (run > 3) {
                        copy -= 3;
                        break;
                    }
                }
                for (int32_t c = copy; c > 0;) {
                    const int32_t n = c > 127 ? 127 : c;
                    out.push_back(static_cast<uint8_t>(n));
                    const uint8_t* from = pixels + static_cast<size_t>(y) * pitch + static_cast<size_t>(x) * bpp;
                    out.insert(out.end(), from, from + static_cast<size_t>(n) * bpp);
                    x += n;
                    c -= n;
                }
            }
            out.push_back(0);
        }
        out[groupAt] = static_cast<uint8_t>(lines);
    }
    out.push_back(0);
}

int32_t CAnmFormat::WriteFrame(COutStream* stream, const uint8_t* previous, const uint8_t* pixels, int32_t pitch,
                               const LogPalette256* palette, int32_t delay, uint32_t flags) {
    if (stream == nullptr || pixels == nullptr || m_width == 0 || pitch < m_rowBytes)
        return kImageBadArguments;
    const uint32_t frameDelay = delay > 0 ? uint32_t(delay) : 0;
    uint32_t failed = 0;
    if (m_framesWritten == 0 && m_depth == 8 && palette != nullptr) {
        uint8_t c[kChunkHeaderBytes + 772] = {kPaletteChunk & 0xFF, kPaletteChunk >> 8};
        PutU32(c + 4, 772);
        c[kChunkHeaderBytes + 2] = 0;
        c[kChunkHeaderBytes + 3] = 1;  // 256 entries from entry 0
        for (int i = 0; i < 256; ++i) {
            const PaletteEntry e = i < palette->count ? palette->entries[i] : PaletteEntry{};
            uint8_t* p = c + kChunkHeaderBytes + 4 + 3 * i;
            p[0] = e.red;
            p[1] = e.green;
            p[2] = e.blue;
        }
        failed |= stream->Write(c, sizeof c);
    }
    CRect box(0, 0, m_width, m_height);
    uint16_t id = kKeyFrame;
    if (previous != nullptr || (flags & 1)) {
        id = kDeltaFrame;
        // The box around every pixel that differs from the previous frame.
        box = CRect(m_width, m_height, 0, 0);
        for (int32_t y = 0; previous != nullptr && y < m_height; ++y) {
            const uint8_t* a = previous + static_cast<size_t>(y) * pitch;
            const uint8_t* b = pixels + static_cast<size_t>(y) * pitch;
            if (std::memcmp(a, b, static_cast<size_t>(m_rowBytes)) == 0)
                continue;
            int32_t first = 0, last = m_rowBytes - 1;
            while (a[first] == b[first])
                ++first;
            while (a[last] == b[last])
                --last;
            first /= m_bytesPerPixel;
            last /= m_bytesPerPixel;
            if (first < box.left) box.left = first;
            if (last + 1 > box.right) box.right = last + 1;
            if (y < box.top) box.top = y;
            box.bottom = y + 1;
        }
        const bool unchanged = box.right == 0;
        if (unchanged && !(flags & 1) && m_lastDelayAt >= 0) {
            // Nothing to show: the last frame stays up longer.
            ExtendLastFrame(stream, delay > 0 ? delay : m_frameDelay);
            return failed ? kImageWriteFailed : kImageOk;
        }
        if (unchanged || (flags & 1))
            box = CRect(0, 0, 0, 0);
    }
    m_totalTime += delay > 0 ? delay : m_frameDelay;
    std::vector<uint8_t> none;
    const std::vector<uint8_t>* data = &none;
    const bool headerOnly = (flags & 1) || (id == kDeltaFrame && box.right == 0);
    if (id == kKeyFrame) {
        m_encoded.resize(static_cast<size_t>(m_rowBytes) * m_height);
        for (int32_t y = 0; y < m_height; ++y)
            std::memcpy(m_encoded.data() + static_cast<size_t>(y) * m_rowBytes,
                        pixels + static_cast<size_t>(y) * pitch, static_cast<size_t>(m_rowBytes));
        data = &m_encoded;
    } else if (!headerOnly) {
        EncodeDelta(previous, pixels, pitch, box);
        data = &m_encoded;
    }
    const int compress = m_level != 0 && !data->empty();
    uint8_t f[kFrameHeaderBytes] = {};
    PutU32(f, frameDelay);
    PutU32(f + 4, headerOnly ? 1u : 0u);
    PutU32(f + 8, uint32_t(box.left));
    PutU32(f + 12, uint32_t(box.top));
    PutU32(f + 16, uint32_t(box.Width()));
    PutU32(f + 20, uint32_t(box.Height()));
    PutU32(f + 24, compress ? uint32_t(data->size()) : 0u);
    const int32_t chunkStart = stream->Tell();
    const int32_t status = WriteChunk(stream, id, chunkStart, f, *data, compress);
    if (failed || status != kImageOk)
        return kImageWriteFailed;
    m_lastDelayAt = chunkStart + kChunkHeaderBytes;
    m_lastDelay = frameDelay != 0 ? frameDelay : uint32_t(m_frameDelay);
    ++m_framesWritten;
    ++m_frameCount;
    ++m_currentFrame;
    return kImageOk;
}

void CAnmFormat::ExtendLastFrame(COutStream* stream, int32_t extra) {
    if (stream == nullptr || m_lastDelayAt < 0)
        return;
    m_lastDelay += uint32_t(extra);
    m_totalTime += extra;
    uint8_t word[4];
    PutU32(word, m_lastDelay);
    const int32_t end = stream->GetSize();
    stream->Seek(m_lastDelayAt, 0);
    stream->Write(word, 4);
    stream->Seek(end, 0);
}

void CAnmFormat::EndWrite(COutStream* stream) {
    if (stream == nullptr || !m_writing)
        return;
    m_writing = 0;
    uint8_t word[4];
    const int32_t end = stream->GetSize();
    PutU32(word, uint32_t(m_framesWritten));
    stream->Seek(m_start + 28, 0);
    stream->Write(word, 4);
    PutU32(word, uint32_t(m_totalTime));
    stream->Seek(m_start + 36, 0);
    stream->Write(word, 4);
    stream->Seek(end, 0);
}

}  // namespace

CImageFormat* NewAnmFormat() { return new (std::nothrow) CAnmFormat(); }
