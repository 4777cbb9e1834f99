// Windows bitmap files for the image layer, and bare bitmaps that start
// directly with their info header.
//
// File header (14 bytes, optional when reading): "BM", u32 file size, two u16
// reserved, u32 data offset. Info header: the 12-byte core form (u32 size,
// u16 width, u16 height, u16 planes, u16 bits) or the 40-byte form (u32 size,
// s32 width, s32 height (negative: rows stored top-down), u16 planes, u16 bits,
// u32 compression, u32 image size, two u32 resolutions, u32 colours used, u32
// colours important). An 8-bit image's palette follows (core: 256 entries of
// blue, green, red; 40-byte: as many entries as colours used says, 256 for 0,
// of blue, green, red, reserved); with compression 3 three u32 masks (red,
// green, blue) follow instead. Stored rows are padded to whole 32-bit words
// and run bottom-up unless the height is negative.
//
// Read: depths 8 (raw or RLE8), 16 (5-5-5, or 5-6-5 by masks; 5-5-5 reads as
// depth 15), 24 and 32 (blue, green, red, x). Written: 40-byte header, 16-bit
// data with 5-6-5 masks, 15-bit data as 16-bit 5-5-5, 8-bit data with its
// 256-entry palette.
#include "graphics2d/image_file.h"

#include "runtime/io/stream.h"

#include <cstring>
#include <new>

namespace {

constexpr uint16_t kBmSignature = 0x4D42;  // "BM"

class CBmpFormat : public CImageFormat {
public:
    CBmpFormat() : CImageFormat(3801, 3701, 3901) {}
    ~CBmpFormat() override { delete[] m_row; }
    CImageFormat* CreateInstance() override { return new (std::nothrow) CBmpFormat(); }
    uint32_t GetId() override { return kImageFormatBmp; }
    int IsStillImage() override { return 1; }
    int CanWriteImage() override { return 1; }
    int Probe(CStream* stream, uint32_t firstWord) override;
    int32_t ReadHeader(CStream* stream) override;
    int32_t ReadImage(CStream* stream, uint8_t* destination, int32_t pitch, uint8_t* mask) override;
    int32_t WriteImage(COutStream* stream, const uint8_t* pixels, int32_t width, int32_t height, int32_t depth,
                       int32_t sourcePitch, const LogPalette256* palette) override;

private:
    int32_t ReadPalette(CStream* stream, int64_t entries, int entryBytes);
    int32_t ReadRle8(CStream* stream, uint8_t* destination, int32_t pitch, uint8_t* mask);

    int32_t m_start = 0;       // stream position of the image start
    int32_t m_dataOffset = 0;  // from the image start; 0 until the header was read
    uint32_t m_compression = 0;
    int m_topDown = 0;
    uint8_t* m_row = nullptr;
};

int CBmpFormat::Probe(CStream* stream, uint32_t firstWord) {
    uint32_t size = firstWord;
    if ((firstWord & 0xFFFF) == kBmSignature) {
        const int32_t start = stream->Tell();
        if (stream->Seek(start + 14, 0) != start + 14 || stream->ReadU32(&size) != 0)
            return 0;
    }
    return size == 12 || size == 40;
}

int32_t CBmpFormat::ReadPalette(CStream* stream, int64_t entries, int entryBytes) {
    LogPalette256* palette = MakePalette();
    if (palette == nullptr)
        return kImageOutOfMemory;
    // At most 256 entries are kept; a larger count's surplus is skipped.
    const int kept = entries > 256 ? 256 : static_cast<int>(entries);
    uint8_t raw[256 * 4];
    if (stream->Read(raw, kept * entryBytes) != 0)
        return kImageNotRecognised;
    for (int i = 0; i < kept; ++i) {
        palette->entries[i] = {raw[i * entryBytes + 2], raw[i * entryBytes + 1], raw[i * entryBytes], 0};
    }
    const int64_t surplus = (entries - kept) * entryBytes;
    if (surplus > 0) {
        const int64_t left = static_cast<int64_t>(stream->GetSize()) - stream->Tell();
        if (surplus > left)
            return kImageNotRecognised;
        stream->Seek(static_cast<int32_t>(surplus), 1);
    }
    return kImageOk;
}

int32_t CBmpFormat::ReadHeader(CStream* stream) {
    m_start = stream->Tell();
    m_dataOffset = 0;
    uint32_t word = 0, headerSize = 0, fileDataOffset = 0;
    if (stream->ReadU32(&word) != 0)
        return kImageNotRecognised;
    const bool fileHeader = (word & 0xFFFF) == kBmSignature;
    if (fileHeader) {
        if (stream->Seek(m_start + 10, 0) != m_start + 10 || stream->ReadU32(&fileDataOffset) != 0 ||
            stream->ReadU32(&headerSize) != 0)
            return kImageNotRecognised;
    } else {
        headerSize = word;
    }
    int64_t width = 0, height = 0;
    uint16_t planes = 0, bits = 0;
    uint32_t compression = 0, coloursUsed = 0;
    if (headerSize == 12) {
        uint16_t w = 0, h = 0;
        if (stream->ReadU16(&w) || stream->ReadU16(&h) || stream->ReadU16(&planes) || stream->ReadU16(&bits))
            return kImageNotRecognised;
        width = w;
        height = h;
    } else if (headerSize == 40) {
        int32_t w = 0, h = 0;
        uint32_t unused = 0;
        if (stream->ReadS32(&w) || stream->ReadS32(&h) || stream->ReadU16(&planes) || stream->ReadU16(&bits) ||
            stream->ReadU32(&compression) || stream->ReadU32(&unused) || stream->ReadU32(&unused) ||
            stream->ReadU32(&unused) || stream->ReadU32(&coloursUsed) || stream->ReadU32(&unused))
            return kImageNotRecognised;
        width = w;
        height = h;
    } else {
        return kImageNotRecognised;
    }
    m_topDown = height < 0;
    if (height < 0)
        height = -height;
    if (width <= 0 || height == 0)
        return kImageNotRecognised;
    if (planes != 1)
        return kImageUnsupported;
    if (bits < 8)
        return kImageBelow8Bits;
    if (bits != 8 && bits != 16 && bits != 24 && bits != 32)
        return kImageUnsupported;

    int32_t depth = bits;
    m_compression = 0;
    if (bits == 8) {
        if (headerSize == 40) {
            if (compression == 2)
                return kImageBelow8Bits;
            if (compression > 1)
                return kImageUnsupported;
            m_compression = compression;
        }
        const int32_t status = headerSize == 12 ? ReadPalette(stream, 256, 3)
                                                : ReadPalette(stream, coloursUsed != 0 ? coloursUsed : 256, 4);
        if (status != kImageOk)
            return status;
        // Rows of a top-down bitmap cannot be run-length encoded.
        if (m_compression == 1 && m_topDown)
            return kImageUnsupported;
    } else if (compression == 3 && headerSize == 40) {
        uint32_t red = 0, green = 0, blue = 0;
        if (stream->ReadU32(&red) || stream->ReadU32(&green) || stream->ReadU32(&blue))
            return kImageNotRecognised;
        if (bits == 16 && blue == 0x001F && green == 0x07E0 && red == 0xF800)
            depth = 16;
        else if (bits == 16 && blue == 0x001F && green == 0x03E0 && red == 0x7C00)
            depth = 15;
        else if (bits == 32 && blue == 0xFF && green == 0xFF00 && red == 0xFF0000)
            depth = 32;
        else
            return kImageUnsupported;
    } else if (compression != 0) {
        return kImageUnsupported;
    } else if (bits == 16) {
        depth = 15;
    }
    const int32_t status = SetGeometry(width, height, depth);
    if (status != kImageOk)
        return status;
    m_pitch = static_cast<int32_t>((bits * width + 31) / 32 * 4);
    // The pixels follow the palette or masks, unless the file header points
    // past them (a gap between the two is allowed).
    m_dataOffset = stream->Tell() - m_start;
    if (fileHeader && fileDataOffset > static_cast<uint32_t>(m_dataOffset) &&
        fileDataOffset < static_cast<uint32_t>(stream->GetSize() - m_start))
        m_dataOffset = static_cast<int32_t>(fileDataOffset);
    return kImageOk;
}

int32_t CBmpFormat::ReadImage(CStream* stream, uint8_t* destination, int32_t pitch, uint8_t* mask) {
    if (m_dataOffset == 0)
        return kImageNothingOpen;
    if (stream->Seek(m_start + m_dataOffset, 0) != m_start + m_dataOffset)
        return kImageCorrupt;
    delete[] m_row;
    m_row = new (std::nothrow) uint8_t[static_cast<size_t>(m_pitch) + 16];
    if (m_row == nullptr)
        return kImageOutOfMemory;
    if (m_compression == 1)
        return ReadRle8(stream, destination, pitch, mask);
    for (int32_t i = 0; i < m_height; ++i) {
        if (stream->Read(m_row, m_pitch) != 0)
            return kImageCorrupt;
        const int32_t y = m_topDown ? i : m_height - 1 - i;
        PutRow(m_row, destination + static_cast<ptrdiff_t>(y) * pitch, mask);
    }
    return kImageOk;
}

// 8-bit run-length rows: a count byte above 0 repeats the next byte; after a
// 0: 0 ends the row, 1 ends the bitmap (rows not reached stay as they were),
// 2 dx dy moves right by dx (dy 0) or ends the row, writes dy rows of zeros
// and goes on at column dx, 3 to 255 are that many literal bytes padded to an
// even count. Runs stop at the row's end and nothing passes the last row.
int32_t CBmpFormat::ReadRle8(CStream* stream, uint8_t* destination, int32_t pitch, uint8_t* mask) {
    int32_t rowsDone = 0, x = 0;
    bool written = false;
    auto endRow = [&]() {
        const int32_t y = m_height - 1 - rowsDone;
        PutRow(m_row, destination + static_cast<ptrdiff_t>(y) * pitch, mask);
        ++rowsDone;
        std::memset(m_row, 0, m_pitch);
        x = 0;
        written = false;
    };
    std::memset(m_row, 0, m_pitch);
    uint8_t literal[256];
    while (rowsDone < m_height) {
        uint8_t pair[2];
        if (stream->Read(pair, 2) != 0)
            return kImageCorrupt;
        if (pair[0] != 0) {
            const int32_t n = pair[0] < m_width - x ? pair[0] : m_width - x;
            std::memset(m_row + x, pair[1], n);
            x += n;
            written = true;
            continue;
        }
        switch (pair[1]) {
            case 0:
                endRow();
                break;
            case 1:
                if (written)
                    endRow();
                return kImageOk;
            case 2: {
                uint8_t delta[2];
                if (stream->Read(delta, 2) != 0)
                    return kImageCorrupt;
                if (delta[1] == 0) {
                    x = x + delta[0] < m_width ? x + delta[0] : m_width;
                    break;
                }
                endRow();
                for (int j = 0; j < delta[1] && rowsDone < m_height; ++j)
                    endRow();
                x = delta[0] < m_width ? delta[0] : m_width;
                break;
            }
            default: {
                const int32_t count = pair[1];
                if (stream->Read(literal, count + (count & 1)) != 0)
                    return kImageCorrupt;
                const int32_t n = count < m_width - x ? count : m_width - x;
                std::memcpy(m_row + x, literal, n);
                x += n;
                written = true;
                break;
            }
        }
    }
    return kImageOk;
}

int32_t CBmpFormat::WriteImage(COutStream* stream, const uint8_t* pixels, int32_t width, int32_t height,
                               int32_t depth, int32_t sourcePitch, const LogPalette256* palette) {
    if (depth == 8 && !IsFullPalette(palette))
        return kImageNoPalette;
    const int32_t bits = depth == 15 ? 16 : depth;
    const int64_t rowSize = (static_cast<int64_t>(bits) * width + 31) / 32 * 4;
    const uint32_t headerSize = 40 + (depth == 16 ? 12 : 0) + (depth == 8 ? 4 * 256 : 0);
    const int64_t imageSize = rowSize * height;
    if (imageSize > kImageMaxPixelBytes)
        return kImageOutOfMemory;
    uint8_t header[14 + 40 + 12];
    uint8_t* p = header;
    auto put16 = [&](uint32_t v) { *p++ = v & 0xFF; *p++ = (v >> 8) & 0xFF; };
    auto put32 = [&](uint32_t v) { put16(v & 0xFFFF); put16(v >> 16); };
    put16(kBmSignature);
    put32(static_cast<uint32_t>(14 + headerSize + imageSize));
    put32(0);
    put32(14 + headerSize);
    put32(40);
    put32(static_cast<uint32_t>(width));
    put32(static_cast<uint32_t>(height));
    put16(1);
    put16(static_cast<uint32_t>(bits));
    put32(depth == 16 ? 3 : 0);
    put32(static_cast<uint32_t>(imageSize));
    put32(0), put32(0), put32(0), put32(0);
    if (depth == 16)
        put32(0xF800), put32(0x07E0), put32(0x001F);
    if (stream->Write(header, static_cast<int32_t>(p - header)) != 0)
        return kImageWriteFailed;
    if (depth == 8) {
        uint8_t colours[256 * 4];
        for (int i = 0; i < 256; ++i) {
            colours[i * 4] = palette->entries[i].blue;
            colours[i * 4 + 1] = palette->entries[i].green;
            colours[i * 4 + 2] = palette->entries[i].red;
            colours[i * 4 + 3] = 0;
        }
        if (stream->Write(colours, sizeof colours) != 0)
            return kImageWriteFailed;
    }
    const int32_t absPitch = sourcePitch < 0 ? -sourcePitch : sourcePitch;
    const int32_t copied = rowSize < absPitch ? static_cast<int32_t>(rowSize) : absPitch;
    static const uint8_t kZeros[16] = {};
    for (int32_t y = height - 1; y >= 0; --y) {
        if (stream->Write(pixels + static_cast<ptrdiff_t>(y) * sourcePitch, copied) != 0)
            return kImageWriteFailed;
        for (int64_t left = rowSize - copied; left > 0; left -= 16)
            if (stream->Write(kZeros, left < 16 ? static_cast<int32_t>(left) : 16) != 0)
                return kImageWriteFailed;
    }
    return kImageOk;
}

}  // namespace

CImageFormat* NewBmpFormat() { return new (std::nothrow) CBmpFormat(); }
