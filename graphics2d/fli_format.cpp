// FLI and FLC animations for the image layer (read only, 8 bits).
//
// Layout (little-endian): a 128-byte header (u32 file size, u16 magic 0xAF11
// FLI or 0xAF12 FLC, u16 frame count, u16 width, u16 height, u16 depth, u16
// flags, u32 speed (FLI: 1/70 s, FLC: ms), ..., FLC only: u32 offset of frame
// 1 at 80 and of frame 2 at 84), then chunks of {u32 size, u16 type, ...}: a
// prefix chunk may stand before the first frame; frame chunks (type 0xF1FA)
// have a 16-byte header (size, type, u16 sub-chunk count, 8 reserved bytes)
// and hold sub-chunks {u32 size, u16 type, data}:
//    4  colours, 8 bits per component    11  colours, 6 bits per component
//       both: u16 packet count; packets of u8 skip, u8 count (0 = 256),
//       count × red, green, blue
//    7  word delta: u16 line count; per line opcode words (0xC000 set: skip
//       -word lines; 0x8000: the line's last pixel is the low byte; else the
//       packet count), packets of u8 column skip, s8 count (> 0 that many
//       pixel pairs, < 0 one pair repeated -count times)
//   12  byte delta: u16 first line, u16 line count; per line u8 packet count,
//       packets of u8 column skip, s8 count (> 0 literal bytes, < 0 one byte
//       repeated)
//   13  all pixels colour 0
//   15  byte runs, every line: u8 (ignored), then s8 counts until the line is
//       full (> 0 one byte repeated, < 0 literal bytes)
//   16  width × height bytes stored as they are
// The palette comes from the first frame's colour chunks; later colour chunks
// are skipped.
//
// Frames are decoded into the format's own canvas (the previous frame), every
// write clipped to the image; the rows a frame changed are then delivered to
// the destination, copied or converted. Sub-chunk data that ends before its
// decoder is done is corrupt (11).
#include "graphics2d/image_byte_source.h"
#include "graphics2d/image_file.h"

#include "runtime/io/stream.h"

#include <cstring>
#include <new>
#include <vector>

namespace {

constexpr int32_t kHeaderBytes = 128;
constexpr int32_t kFrameHeaderBytes = 16;
constexpr int32_t kSubHeaderBytes = 6;
constexpr uint16_t kFrameType = 0xF1FA;


// Bounds-checked reading of one sub-chunk's data.
struct CChunkBytes {
    const uint8_t* at;
    const uint8_t* end;
    bool Has(int64_t n) const { return n <= end - at; }
    bool U8(int32_t* v) {
        if (at >= end) return false;
        *v = *at++;
        return true;
    }
    bool S8(int32_t* v) {
        if (at >= end) return false;
        *v = static_cast<int8_t>(*at++);
        return true;
    }
    bool U16(int32_t* v) {
        if (end - at < 2) return false;
        *v = LoadLE16(at);
        at += 2;
        return true;
    }
};

// The first frame chunk at or after *at, passing over other chunks (a
// prefix chunk); its header in `frame`. False when a chunk is smaller than
// its header or runs past the end of the data.
bool FindFrameChunk(CStream* stream, int64_t* at, uint8_t* frame) {
    const int64_t size = stream->GetSize();
    for (;;) {
        if (*at + kFrameHeaderBytes > size || stream->Seek(static_cast<int32_t>(*at), 0) != *at ||
            stream->Read(frame, kFrameHeaderBytes) != 0)
            return false;
        const uint32_t chunkSize = LoadLE32(frame);
        if (chunkSize < kFrameHeaderBytes || *at + chunkSize > size)
            return false;
        if (LoadLE16(frame + 4) == kFrameType)
            return true;
        *at += chunkSize;
    }
}

class CFliFormat : public CImageFormat {
public:
    CFliFormat() : CImageFormat(3807, 3707, 3907) {}
    CImageFormat* CreateInstance() override { return new (std::nothrow) CFliFormat(); }
    uint32_t GetId() override { return kImageFormatFli; }
    uint32_t GetWriteDepths() override { return kWriteDepth8; }
    int IsAnimation() override { return 1; }
    int HasFrames() override { return 1; }
    int Probe(CStream* stream, uint32_t firstWord) override;
    int32_t ReadHeader(CStream* stream) override;
    int32_t ReadImage(CStream* stream, uint8_t* destination, int32_t pitch, uint8_t* mask) override;
    void Rewind() override;
    void GetFrameRect(CRect* rect) override { *rect = m_changed; }

private:
    int32_t ReadColours(CChunkBytes data, int eightBit);
    bool ApplySubChunk(int type, CChunkBytes data);
    bool WordDelta(CChunkBytes data);
    bool ByteDelta(CChunkBytes data);
    bool ByteRuns(CChunkBytes data);
    // Marks rows [top, bottom) as changed.
    void Touch(int32_t top, int32_t bottom);
    uint8_t* Row(int32_t y) { return m_canvas.data() + static_cast<size_t>(y) * m_width; }
    // Writes count pixels (one value, or the bytes at `from`) at (x, y),
    // clipped to the image.
    void Put(int32_t x, int32_t y, int32_t count, const uint8_t* from, int value);

    int32_t m_frame1 = 0;  // stream position of the first frame chunk; 0 until the header was read
    int32_t m_next = 0;    // stream position of the next frame chunk
    std::vector<uint8_t> m_canvas;
    int32_t m_top = 0, m_bottom = 0;  // rows changed by the frame being decoded
    CRect m_changed;
};

int CFliFormat::Probe(CStream* stream, uint32_t) {
    uint8_t h[6];
    if (stream->Read(h, 6) != 0)
        return 0;
    const uint16_t magic = LoadLE16(h + 4);
    return magic == 0xAF11 || magic == 0xAF12;
}

int32_t CFliFormat::ReadColours(CChunkBytes data, int eightBit) {
    LogPalette256* palette = MakePalette();
    if (palette == nullptr)
        return kImageOutOfMemory;
    int32_t packets = 0;
    if (!data.U16(&packets))
        return kImageCorrupt;
    int32_t entry = 0;
    for (int32_t p = 0; p < packets && entry < 256; ++p) {
        int32_t skip = 0, count = 0;
        if (!data.U8(&skip) || !data.U8(&count))
            return kImageCorrupt;
        entry += skip;
        if (count == 0)
            count = 256;
        if (!data.Has(int64_t(count) * 3))
            return kImageCorrupt;
        for (int32_t i = 0; i < count; ++i, data.at += 3, ++entry) {
            if (entry >= 256)
                continue;  // entries past the palette are dropped
            const int shift = eightBit ? 0 : 2;
            palette->entries[entry] = {static_cast<uint8_t>(data.at[0] << shift),
                                       static_cast<uint8_t>(data.at[1] << shift),
                                       static_cast<uint8_t>(data.at[2] << shift), 0};
        }
    }
    return kImageOk;
}

int32_t CFliFormat::ReadHeader(CStream* stream) {
    m_frame1 = 0;
    const int32_t start = stream->Tell();
    uint8_t h[kHeaderBytes];
    if (stream->Read(h, kHeaderBytes) != 0)
        return kImageNotRecognised;
    const uint16_t magic = LoadLE16(h + 4);
    if ((magic != 0xAF11 && magic != 0xAF12) || LoadLE16(h + 12) != 8)
        return kImageNotRecognised;
    const int32_t width = LoadLE16(h + 8), height = LoadLE16(h + 10);
    if (width == 0 || height == 0)
        return kImageNotRecognised;
    const int32_t status = SetGeometry(width, height, 8);
    if (status != kImageOk)
        return status;
    m_pitch = m_rowBytes;
    m_frameCount = LoadLE16(h + 6);
    m_currentFrame = -1;
    m_changed = {0, 0, width, height};
    const uint32_t speed = LoadLE32(h + 16);
    m_frameDelay = static_cast<int32_t>(magic == 0xAF12 ? (speed > 0x7FFFFFF ? 0x7FFFFFF : speed)
                                                        : (uint64_t(speed) * 1000 / 70) & 0x7FFFFFF);
    m_totalTime = static_cast<int32_t>((int64_t(m_frameCount) * m_frameDelay) & 0x7FFFFFFF);

    // The first frame chunk: at the header's frame-1 offset (FLC) or right
    // after the header, behind any prefix chunk.
    const uint32_t offset1 = magic == 0xAF12 ? LoadLE32(h + 80) : 0;
    int64_t at = start + (offset1 != 0 ? int64_t(offset1) : kHeaderBytes);
    uint8_t frame[kFrameHeaderBytes];
    if (!FindFrameChunk(stream, &at, frame))
        return kImageNotRecognised;
    m_frame1 = static_cast<int32_t>(at);
    m_next = m_frame1;

    // The palette from the first frame's colour chunks.
    if (MakePalette() == nullptr)
        return kImageOutOfMemory;
    const int64_t frameEnd = at + LoadLE32(frame);
    int64_t sub = at + kFrameHeaderBytes;
    for (int32_t i = 0, n = LoadLE16(frame + 6); i < n && sub + kSubHeaderBytes <= frameEnd; ++i) {
        uint8_t s[kSubHeaderBytes];
        stream->Seek(static_cast<int32_t>(sub), 0);
        if (stream->Read(s, kSubHeaderBytes) != 0)
            return kImageNotRecognised;
        const uint32_t subSize = LoadLE32(s);
        if (subSize < kSubHeaderBytes || sub + subSize > frameEnd)
            return kImageNotRecognised;
        const int type = LoadLE16(s + 4);
        if (type == 4 || type == 11) {
            const int32_t dataSize = static_cast<int32_t>(subSize) - kSubHeaderBytes;
            uint8_t* block = dataSize > 0 ? static_cast<uint8_t*>(stream->ReadBlock(dataSize)) : nullptr;
            if (dataSize > 0 && block == nullptr)
                return kImageNotRecognised;
            const int32_t colours = ReadColours({block, block + dataSize}, type == 4);
            stream->ReleaseBlock(block);
            if (colours != kImageOk)
                return colours == kImageCorrupt ? kImageNotRecognised : colours;
        }
        sub += subSize;
    }
    return kImageOk;
}

void CFliFormat::Rewind() {
    m_next = m_frame1;
    m_currentFrame = -1;
}

void CFliFormat::Touch(int32_t top, int32_t bottom) {
    if (top < 0) top = 0;
    if (bottom > m_height) bottom = m_height;
    if (top >= bottom) return;
    if (m_top >= m_bottom) {
        m_top = top;
        m_bottom = bottom;
        return;
    }
    if (top < m_top) m_top = top;
    if (bottom > m_bottom) m_bottom = bottom;
}

void CFliFormat::Put(int32_t x, int32_t y, int32_t count, const uint8_t* from, int value) {
    if (y < 0 || y >= m_height || count <= 0)
        return;
    int32_t begin = x < 0 ? 0 : x;
    int32_t end = x + count > m_width ? m_width : x + count;
    if (begin >= end)
        return;
    uint8_t* row = Row(y);
    if (from != nullptr)
        std::memcpy(row + begin, from + (begin - x), static_cast<size_t>(end - begin));
    else
        std::memset(row + begin, value, static_cast<size_t>(end - begin));
    Touch(y, y + 1);
}

bool CFliFormat::WordDelta(CChunkBytes data) {
    int32_t lines = 0;
    if (!data.U16(&lines))
        return false;
    int32_t y = 0;
    for (int32_t line = 0; line < lines; ++line) {
        int32_t word = 0;
        // Opcode words up to the packet count of this line.
        for (;;) {
            if (!data.U16(&word))
                return false;
            if ((word & 0xC000) == 0xC000) {
                y += 0x10000 - word;  // a negative word: skip that many lines
            } else if ((word & 0xC000) == 0x8000) {
                const uint8_t last = static_cast<uint8_t>(word & 0xFF);
                Put(m_width - 1, y, 1, &last, 0);
            } else {
                break;
            }
            if (y > m_height)
                y = m_height;  // further lines fall outside the image
        }
        int32_t x = 0;
        for (int32_t p = 0; p < word; ++p) {
            int32_t skip = 0, count = 0;
            if (!data.U8(&skip) || !data.S8(&count))
                return false;
            x += skip;
            if (count > 0) {
                if (!data.Has(int64_t(count) * 2))
                    return false;
                Put(x, y, 2 * count, data.at, 0);
                data.at += 2 * count;
                x += 2 * count;
            } else if (count < 0) {
                if (!data.Has(2))
                    return false;
                for (int32_t i = 0; i < -count; ++i, x += 2)
                    Put(x, y, 2, data.at, 0);
                data.at += 2;
            }
            if (x > m_width + 0x20000)
                x = m_width + 0x20000;  // stays far outside without overflowing
        }
        ++y;
    }
    return true;
}

bool CFliFormat::ByteDelta(CChunkBytes data) {
    int32_t first = 0, lines = 0;
    if (!data.U16(&first) || !data.U16(&lines))
        return false;
    if (first > m_height)
        first = m_height;
    if (lines > m_height - first)
        lines = m_height - first;
    for (int32_t y = first; y < first + lines; ++y) {
        int32_t packets = 0, x = 0;
        if (!data.U8(&packets))
            return false;
        for (int32_t p = 0; p < packets; ++p) {
            int32_t skip = 0, count = 0;
            if (!data.U8(&skip) || !data.S8(&count))
                return false;
            x += skip;
            if (count > 0) {
                if (!data.Has(count))
                    return false;
                Put(x, y, count, data.at, 0);
                data.at += count;
                x += count;
            } else if (count < 0) {
                int32_t value = 0;
                if (!data.U8(&value))
                    return false;
                Put(x, y, -count, nullptr, value);
                x -= count;
            }
        }
    }
    return true;
}

bool CFliFormat::ByteRuns(CChunkBytes data) {
    for (int32_t y = 0; y < m_height; ++y) {
        int32_t ignored = 0;
        if (!data.U8(&ignored))
            return false;
        for (int32_t x = 0; x < m_width;) {
            int32_t count = 0;
            if (!data.S8(&count))
                return false;
            if (count > 0) {
                int32_t value = 0;
                if (!data.U8(&value))
                    return false;
                Put(x, y, count, nullptr, value);
                x += count;
            } else if (count < 0) {
                if (!data.Has(-count))
                    return false;
                Put(x, y, -count, data.at, 0);
                data.at -= count;
                x -= count;
            }
        }
    }
    return true;
}

bool CFliFormat::ApplySubChunk(int type, CChunkBytes data) {
    switch (type) {
        case 7: return WordDelta(data);
        case 12: return ByteDelta(data);
        case 13:
            std::memset(m_canvas.data(), 0, m_canvas.size());
            Touch(0, m_height);
            return true;
        case 15: return ByteRuns(data);
        case 16:
            if (!data.Has(int64_t(m_width) * m_height))
                return false;
            std::memcpy(m_canvas.data(), data.at, m_canvas.size());
            Touch(0, m_height);
            return true;
        default: return true;  // colours and anything else: nothing to draw
    }
}

int32_t CFliFormat::ReadImage(CStream* stream, uint8_t* destination, int32_t pitch, uint8_t* mask) {
    if (m_frame1 == 0)
        return kImageNothingOpen;
    if (m_currentFrame + 1 >= m_frameCount)
        return kImageNoMoreFrames;
    if (m_canvas.empty()) {
        try {
            m_canvas.assign(static_cast<size_t>(m_width) * m_height, 0);
        } catch (const std::bad_alloc&) {
            return kImageOutOfMemory;
        }
    }
    // The first frame after a rewind starts from a blank canvas and delivers
    // every row, whatever the destination held.
    if (m_currentFrame < 0) {
        std::memset(m_canvas.data(), 0, m_canvas.size());
        m_top = 0;
        m_bottom = m_height;
    } else {
        m_top = m_bottom = 0;
    }
    int64_t at = m_next;
    uint8_t frame[kFrameHeaderBytes];
    if (!FindFrameChunk(stream, &at, frame))
        return kImageCorrupt;
    const int64_t frameEnd = at + LoadLE32(frame);
    int64_t sub = at + kFrameHeaderBytes;
    for (int32_t i = 0, n = LoadLE16(frame + 6); i < n; ++i) {
        uint8_t s[kSubHeaderBytes];
        if (sub + kSubHeaderBytes > frameEnd || stream->Seek(static_cast<int32_t>(sub), 0) != sub ||
            stream->Read(s, kSubHeaderBytes) != 0)
            return kImageCorrupt;
        const uint32_t subSize = LoadLE32(s);
        if (subSize < kSubHeaderBytes || sub + subSize > frameEnd)
            return kImageCorrupt;
        const int type = LoadLE16(s + 4);
        if (type == 7 || type == 12 || type == 13 || type == 15 || type == 16) {
            const int32_t dataSize = static_cast<int32_t>(subSize) - kSubHeaderBytes;
            uint8_t* block = dataSize > 0 ? static_cast<uint8_t*>(stream->ReadBlock(dataSize)) : nullptr;
            if (dataSize > 0 && block == nullptr)
                return kImageCorrupt;
            const bool ok = ApplySubChunk(type, {block, block + dataSize});
            stream->ReleaseBlock(block);
            if (!ok)
                return kImageCorrupt;
        }
        sub += subSize;
    }
    m_next = static_cast<int32_t>(frameEnd);
    ++m_currentFrame;
    if (m_top < m_bottom)
        m_changed = {0, m_top, m_width, m_bottom};
    else
        m_changed = {0, 0, 0, 0};
    for (int32_t y = m_top; y < m_bottom; ++y)
        PutRow(Row(y), destination + static_cast<ptrdiff_t>(y) * pitch, mask);
    return kImageOk;
}

}  // namespace

CImageFormat* NewFliFormat() { return new (std::nothrow) CFliFormat(); }
