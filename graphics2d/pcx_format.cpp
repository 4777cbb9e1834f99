// PCX pictures for the image layer (read only): 8 bits in one plane with a
// 256-colour palette at the end of the file, or 24 bits in three planes.
//
// Header (128 bytes, little-endian): u8 manufacturer (10), u8 version, u8
// encoding (0 raw, else run-length), u8 bits per pixel per plane, u16 x min,
// y min, x max, y max (width = x max - x min + 1, height likewise), ... u8
// planes at 65, u16 bytes per line (per plane) at 66; the rest is not read.
// Pixel data follows at 128: each row is the planes one after the other,
// bytes per line each. Run-length rows: a byte of 0xC0 or above repeats the
// next byte (byte & 0x3F) times, any other byte stands for itself; a run is
// cut at the row end. An 8-bit picture's palette is the last 768 bytes of
// the file (red, green, blue); the marker byte before it is not checked.
//
// Rows come out top-down; three planes are interleaved into blue, green, red
// pixels (third, second, first plane).
#include "graphics2d/image_byte_source.h"
#include "graphics2d/image_file.h"

#include <cstring>
#include <new>
#include <vector>

namespace {

constexpr int32_t kHeaderBytes = 128;
constexpr int32_t kPaletteBytes = 768;


class CPcxFormat : public CImageFormat {
public:
    CPcxFormat() : CImageFormat(3802, 3702, 3902) {}
    CImageFormat* CreateInstance() override { return new (std::nothrow) CPcxFormat(); }
    uint32_t GetId() override { return kImageFormatPcx; }
    uint32_t GetWriteDepths() override { return kWriteDepth8 | kWriteDepth24; }
    int IsStillImage() override { return 1; }
    int Probe(CStream*, uint32_t firstWord) override { return (firstWord & 0xFF) == 10; }
    int32_t ReadHeader(CStream* stream) override;
    int32_t ReadImage(CStream* stream, uint8_t* destination, int32_t pitch, uint8_t* mask) override;

private:
    bool ReadRow(CImageByteSource& source, uint8_t* row);

    int32_t m_planes = 0;
    int32_t m_bytesPerLine = 0;
    int m_encoded = 0;
    int32_t m_dataOffset = 0;  // stream position of the pixel data; 0 until the header was read
};

int32_t CPcxFormat::ReadHeader(CStream* stream) {
    const int32_t start = stream->Tell();
    m_dataOffset = 0;
    uint8_t h[kHeaderBytes];
    if (stream->Read(h, kHeaderBytes) != 0 || h[0] != 10)
        return kImageNotRecognised;
    const int32_t bits = h[3];
    const int64_t width = int64_t(LoadLE16(h + 8)) - LoadLE16(h + 4) + 1;
    const int64_t height = int64_t(LoadLE16(h + 10)) - LoadLE16(h + 6) + 1;
    m_planes = h[65];
    m_bytesPerLine = LoadLE16(h + 66);
    m_encoded = h[2] != 0;
    // The row conversion reads width pixels from every stored row: a row
    // shorter than that is no valid picture.
    if (width < 1 || height < 1 || int64_t(m_bytesPerLine) * 8 < width * bits)
        return kImageNotRecognised;
    const int32_t depth = bits * m_planes;
    if (depth < 8)
        return kImageBelow8Bits;
    if (!((m_planes == 1 && bits == 8) || (m_planes == 3 && depth == 24)))
        return kImageUnsupported;
    const int32_t status = SetGeometry(width, height, depth);
    if (status != kImageOk)
        return status;
    m_pitch = m_planes * m_bytesPerLine;
    if (depth == 8) {
        const int32_t end = stream->GetSize();
        if (int64_t(end) - kPaletteBytes < int64_t(start) + kHeaderBytes)
            return kImageNotRecognised;
        LogPalette256* palette = MakePalette();
        if (palette == nullptr)
            return kImageOutOfMemory;
        uint8_t rgb[kPaletteBytes];
        if (stream->Seek(end - kPaletteBytes, 0) != end - kPaletteBytes || stream->Read(rgb, kPaletteBytes) != 0)
            return kImageNotRecognised;
        for (int i = 0; i < 256; ++i)
            palette->entries[i] = {rgb[3 * i], rgb[3 * i + 1], rgb[3 * i + 2], 0};
    }
    m_dataOffset = start + kHeaderBytes;
    return kImageOk;
}

bool CPcxFormat::ReadRow(CImageByteSource& source, uint8_t* row) {
    if (!m_encoded)
        return source.Take(row, m_pitch);
    for (int32_t x = 0; x < m_pitch;) {
        uint8_t byte = 0;
        if (!source.Next(&byte))
            return false;
        int32_t count = 1;
        if (byte >= 0xC0) {
            count = byte & 0x3F;
            if (!source.Next(&byte))
                return false;
        }
        if (count > m_pitch - x)
            count = m_pitch - x;
        std::memset(row + x, byte, static_cast<size_t>(count));
        x += count;
    }
    return true;
}

int32_t CPcxFormat::ReadImage(CStream* stream, uint8_t* destination, int32_t pitch, uint8_t* mask) {
    if (m_dataOffset == 0)
        return kImageNothingOpen;
    if (stream->Seek(m_dataOffset, 0) != m_dataOffset)
        return kImageCorrupt;
    std::vector<uint8_t> row, interleaved;
    try {
        row.assign(static_cast<size_t>(m_pitch) + 16, 0);
        if (m_planes == 3)
            interleaved.assign(static_cast<size_t>(m_pitch) + 16, 0);
    } catch (const std::bad_alloc&) {
        return kImageOutOfMemory;
    }
    CImageByteSource source(stream);
    for (int32_t y = 0; y < m_height; ++y, destination += pitch) {
        std::memset(row.data(), 0, row.size());
        if (!ReadRow(source, row.data()))
            return kImageCorrupt;
        if (m_planes == 3) {
            const uint8_t* red = row.data();
            const uint8_t* green = red + m_bytesPerLine;
            const uint8_t* blue = green + m_bytesPerLine;
            for (int32_t x = 0; x < m_width; ++x) {
                interleaved[3 * x] = blue[x];
                interleaved[3 * x + 1] = green[x];
                interleaved[3 * x + 2] = red[x];
            }
            PutRow(interleaved.data(), destination, mask);
        } else {
            PutRow(row.data(), destination, mask);
        }
    }
    return kImageOk;
}

}  // namespace

CImageFormat* NewPcxFormat() { return new (std::nothrow) CPcxFormat(); }
