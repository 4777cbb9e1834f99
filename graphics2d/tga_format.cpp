// TGA pictures for the image layer (read only): colour-mapped (types 1 and 9),
// true-colour (2 and 10) and greyscale (3 and 11), the second of each pair
// run-length coded.
//
// Header (18 bytes, little-endian): u8 id length, u8 colour map type, u8 image
// type, u16 first map entry, u16 map length, u8 map entry bits, u16 x and y
// origin, u16 width, u16 height, u8 pixel bits, u8 descriptor (bits 0-3 alpha
// bits, bit 5 rows stored top-down). Then the id field, the colour map and the
// pixels. Run-length data is a sequence of packets: a byte whose bit 7 marks
// a run and whose low 7 bits + 1 count pixels, then one pixel to repeat (run)
// or that many pixels; packets may cross row ends but never the image's end.
//
// Delivered depths: colour-mapped 8 (a 256-entry palette, black outside the
// map's range), 15 for 15- and 16-bit pixels (5-5-5; the attribute bit is
// dropped), 24, and 32 with the alpha plane when the descriptor gives 8 alpha
// bits. Greyscale pixels become three equal bytes, so those images read as 24
// bits.
#include "graphics2d/image_byte_source.h"
#include "graphics2d/image_file.h"

#include <cstring>
#include <new>
#include <vector>

namespace {

constexpr int32_t kHeaderBytes = 18;


class CTgaFormat : public CImageFormat {
public:
    CTgaFormat() : CImageFormat(3804, 3704, 3904) {}
    CImageFormat* CreateInstance() override { return new (std::nothrow) CTgaFormat(); }
    uint32_t GetId() override { return kImageFormatTga; }
    int IsStillImage() override { return 1; }
    int Probe(CStream* stream, uint32_t firstWord) override;
    int32_t ReadHeader(CStream* stream) override;
    int32_t ReadImage(CStream* stream, uint8_t* destination, int32_t pitch, uint8_t* mask) override;

private:
    int32_t ReadMap(CStream* stream, int32_t first, int32_t length, int32_t entryBytes);
    bool ReadPixels(CImageByteSource& source, uint8_t* out, int32_t count);

    int m_type = 0;
    int m_runLength = 0;
    int m_topDown = 0;
    int m_grey = 0;
    int32_t m_fileBytesPerPixel = 0;  // bytes of one stored pixel
    int32_t m_dataOffset = 0;         // stream position of the pixels; 0 until the header was read
    // The packet being decoded: pixels left, run or raw, the run's pixel.
    int32_t m_packetLeft = 0;
    int m_packetIsRun = 0;
    uint8_t m_runPixel[4] = {};
};

int CTgaFormat::Probe(CStream* stream, uint32_t firstWord) {
    const int type = (firstWord >> 16) & 0xFF;
    if (type != 1 && type != 2 && type != 3 && type != 9 && type != 10 && type != 11)
        return 0;
    uint8_t h[kHeaderBytes];
    if (stream->Read(h, kHeaderBytes) != 0)
        return 0;
    return LoadLE16(h + 12) != 0 && LoadLE16(h + 14) != 0;
}

int32_t CTgaFormat::ReadMap(CStream* stream, int32_t first, int32_t length, int32_t entryBytes) {
    LogPalette256* palette = MakePalette();
    if (palette == nullptr)
        return kImageOutOfMemory;
    uint8_t raw[256 * 4];
    if (stream->Read(raw, length * entryBytes) != 0)
        return kImageNotRecognised;
    for (int32_t i = 0; i < length; ++i) {
        const uint8_t* e = raw + i * entryBytes;
        PaletteEntry& out = palette->entries[first + i];
        if (entryBytes == 1) {
            out = {e[0], e[0], e[0], 0};
        } else if (entryBytes == 2) {
            const int v = e[0] | e[1] << 8;
            const auto five = [](int c) { return static_cast<uint8_t>(c << 3 | c >> 2); };
            out = {five((v >> 10) & 31), five((v >> 5) & 31), five(v & 31), 0};
        } else {
            out = {e[2], e[1], e[0], 0};
        }
    }
    return kImageOk;
}

int32_t CTgaFormat::ReadHeader(CStream* stream) {
    m_dataOffset = 0;
    uint8_t h[kHeaderBytes];
    if (stream->Read(h, kHeaderBytes) != 0)
        return kImageNotRecognised;
    const int32_t width = LoadLE16(h + 12), height = LoadLE16(h + 14);
    if (width == 0 || height == 0)
        return kImageNotRecognised;
    if (stream->Seek(h[0], 1) < 0)
        return kImageNotRecognised;
    m_type = h[2];
    const int mapType = h[1];
    const int32_t first = LoadLE16(h + 3), length = LoadLE16(h + 5);
    const int pixelBits = h[16];
    const int descriptor = h[17];
    int32_t depth = 0;
    m_grey = 0;
    m_alpha = 0;
    switch (m_type) {
        case 1:
        case 9:
            if (mapType != 1 || first + length > 256 || pixelBits != 8)
                return kImageNotRecognised;
            depth = 8;
            m_fileBytesPerPixel = 1;
            break;
        case 2:
        case 10:
            if (pixelBits != 15 && pixelBits != 16 && pixelBits != 24 && pixelBits != 32)
                return kImageNotRecognised;
            depth = pixelBits == 16 ? 15 : pixelBits;
            m_fileBytesPerPixel = (pixelBits + 1) / 8;
            m_alpha = pixelBits == 32 && (descriptor & 15) == 8;
            break;
        case 3:
        case 11:
            if (pixelBits != 8)
                return kImageNotRecognised;
            depth = 24;
            m_fileBytesPerPixel = 1;
            m_grey = 1;
            break;
        default:
            return kImageNotRecognised;
    }
    m_runLength = m_type >= 9;
    m_topDown = (descriptor & 0x20) != 0;
    const int32_t status = SetGeometry(width, height, depth);
    if (status != kImageOk)
        return status;
    m_pitch = m_rowBytes;
    if (mapType != 0) {
        const int32_t entryBytes = (h[7] + 1) / 8;
        if (entryBytes < 1 || entryBytes > 4)
            return kImageNotRecognised;
        if (depth == 8 && !m_grey) {
            const int32_t mapStatus = ReadMap(stream, first, length, entryBytes);
            if (mapStatus != kImageOk)
                return mapStatus;
        } else {
            const int32_t skip = length * entryBytes;
            if (int64_t(stream->Tell()) + skip > stream->GetSize())
                return kImageNotRecognised;
            stream->Seek(skip, 1);
        }
    } else if (depth == 8) {
        return kImageNotRecognised;
    }
    m_dataOffset = stream->Tell();
    return kImageOk;
}

// The next count stored pixels, packed at the file's pixel size.
bool CTgaFormat::ReadPixels(CImageByteSource& source, uint8_t* out, int32_t count) {
    const int32_t size = m_fileBytesPerPixel;
    if (!m_runLength)
        return source.Take(out, count * size);
    while (count > 0) {
        if (m_packetLeft == 0) {
            uint8_t header = 0;
            if (!source.Next(&header))
                return false;
            m_packetLeft = (header & 0x7F) + 1;
            m_packetIsRun = (header & 0x80) != 0;
            if (m_packetIsRun && !source.Take(m_runPixel, size))
                return false;
        }
        const int32_t n = count < m_packetLeft ? count : m_packetLeft;
        if (m_packetIsRun) {
            for (int32_t i = 0; i < n; ++i)
                std::memcpy(out + i * size, m_runPixel, static_cast<size_t>(size));
        } else if (!source.Take(out, n * size)) {
            return false;
        }
        out += n * size;
        count -= n;
        m_packetLeft -= n;
    }
    return true;
}

int32_t CTgaFormat::ReadImage(CStream* stream, uint8_t* destination, int32_t pitch, uint8_t* mask) {
    if (m_dataOffset == 0)
        return kImageNothingOpen;
    if (stream->Seek(m_dataOffset, 0) != m_dataOffset)
        return kImageCorrupt;
    std::vector<uint8_t> row;
    try {
        row.assign(static_cast<size_t>(m_pitch) + 16, 0);
    } catch (const std::bad_alloc&) {
        return kImageOutOfMemory;
    }
    m_packetLeft = 0;
    CImageByteSource source(stream);
    for (int32_t y = 0; y < m_height; ++y) {
        const int32_t at = m_topDown ? y : m_height - 1 - y;
        // Grey bytes are read into the row's last third and spread to three.
        uint8_t* stored = m_grey ? row.data() + 2 * m_width : row.data();
        if (!ReadPixels(source, stored, m_width))
            return kImageCorrupt;
        if (m_grey) {
            for (int32_t x = 0; x < m_width; ++x) {
                const uint8_t g = stored[x];
                row[3 * x] = row[3 * x + 1] = row[3 * x + 2] = g;
            }
        } else if (m_depth == 15) {
            for (int32_t x = 0; x < m_width; ++x)
                row[2 * x + 1] &= 0x7F;
        }
        PutRow(row.data(), destination + static_cast<ptrdiff_t>(at) * pitch,
               mask != nullptr ? mask + static_cast<ptrdiff_t>(at) * m_width : nullptr);
    }
    return kImageOk;
}

}  // namespace

CImageFormat* NewTgaFormat() { return new (std::nothrow) CTgaFormat(); }
