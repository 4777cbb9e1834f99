// PNG files for the image layer, through libpng.
//
// Read: 16-bit samples are stripped to 8 bits, greyscale becomes RGB and
// greyscale with alpha RGBA; rows come in blue, green, red (alpha) order, so
// the image is 8 bits deep (palette), 24 (RGB) or 32 (RGB with alpha, which
// sets the alpha flag). Sample depths below 8 give kImageBelow8Bits. A file
// gamma is kept, not applied. Written: 8-bit data as colour type 3 with a
// 256-entry PLTE, 24-bit data as RGB.
//
// libpng reports errors by a longjmp to the setjmp of the running operation:
// no C++ exception may cross its C frames (the 32-bit Windows build unwinds
// with DWARF tables, which end the process there). The functions that call
// libpng therefore hold no object with a destructor; what they allocate is
// released on both paths.
#include "graphics2d/image_file.h"

#include "runtime/io/stream.h"

#include <png.h>

#include <csetjmp>
#include <cstdlib>
#include <cstring>
#include <new>

namespace {

constexpr uint32_t kPngFirstWord = 0x474E5089;  // 0x89 'P' 'N' 'G'

void PngError(png_structp png, png_const_charp) { png_longjmp(png, 1); }
void PngWarning(png_structp, png_const_charp) {}

void PngReadData(png_structp png, png_bytep data, png_size_t length) {
    CStream* stream = static_cast<CStream*>(png_get_io_ptr(png));
    if (length > 0x7FFFFFFF || stream->Read(data, static_cast<int32_t>(length)) != 0)
        png_error(png, "read failed");
}

void PngWriteData(png_structp png, png_bytep data, png_size_t length) {
    COutStream* stream = static_cast<COutStream*>(png_get_io_ptr(png));
    if (length > 0x7FFFFFFF || stream->Write(data, static_cast<int32_t>(length)) != 0)
        png_error(png, "write failed");
}

void PngFlush(png_structp png) {
    COutStream* stream = static_cast<COutStream*>(png_get_io_ptr(png));
    if (stream->Flush() != 0)
        png_error(png, "flush failed");
}

class CPngFormat : public CImageFormat {
public:
    CPngFormat() : CImageFormat(3806, 3706, 3906) {}
    ~CPngFormat() override { DestroyRead(); }
    CImageFormat* CreateInstance() override { return new (std::nothrow) CPngFormat(); }
    uint32_t GetId() override { return kImageFormatPng; }
    uint32_t GetWriteDepths() override { return kWriteDepth8 | kWriteDepth24; }
    int IsStillImage() override { return 1; }
    int CanWriteImage() override { return 1; }
    int Probe(CStream*, uint32_t firstWord) override { return firstWord == kPngFirstWord; }
    int32_t ReadHeader(CStream* stream) override;
    int32_t ReadImage(CStream* stream, uint8_t* destination, int32_t pitch, uint8_t* mask) override;
    int32_t WriteImage(COutStream* stream, const uint8_t* pixels, int32_t width, int32_t height, int32_t depth,
                       int32_t sourcePitch, const LogPalette256* palette) override;
    void EndRead(CStream*) override { DestroyRead(); }

    double GetGamma() const { return m_gamma; }

private:
    int32_t ReadInfo();
    int ReadRows(png_bytepp rows);
    void DestroyRead();

    png_structp m_png = nullptr;
    png_infop m_info = nullptr;
    png_infop m_endInfo = nullptr;
    int m_colourType = 0;
    int m_interlace = 0;
    int m_compression = 0;
    int m_filter = 0;
    int m_channels = 0;
    double m_gamma = 0.0;
};

void CPngFormat::DestroyRead() {
    if (m_png != nullptr)
        png_destroy_read_struct(&m_png, m_info ? &m_info : nullptr, m_endInfo ? &m_endInfo : nullptr);
    m_png = nullptr;
    m_info = m_endInfo = nullptr;
}

int32_t CPngFormat::ReadHeader(CStream* stream) {
    DestroyRead();
    const int32_t start = stream->Tell();
    png_byte signature[8];
    if (stream->Read(signature, 8) != 0 || png_sig_cmp(signature, 0, 8) != 0)
        return kImageNotRecognised;
    stream->Seek(start, 0);
    m_png = png_create_read_struct(PNG_LIBPNG_VER_STRING, nullptr, PngError, PngWarning);
    if (m_png == nullptr)
        return kImageOutOfMemory;
    m_info = png_create_info_struct(m_png);
    m_endInfo = png_create_info_struct(m_png);
    if (m_info == nullptr || m_endInfo == nullptr) {
        DestroyRead();
        return kImageOutOfMemory;
    }
    png_set_read_fn(m_png, stream, PngReadData);
    png_set_user_limits(m_png, 1000000, 1000000);
    png_set_chunk_cache_max(m_png, 1000);
    png_set_chunk_malloc_max(m_png, 8000000);
    // Text, profiles and the other chunks the layer does not use are skipped
    // unread: libpng would allocate their announced length first.
    static const png_byte kSkipped[] = "tEXt\0zTXt\0iTXt\0iCCP\0sPLT\0eXIf\0pCAL\0sCAL\0hIST\0tIME\0";
    png_set_keep_unknown_chunks(m_png, PNG_HANDLE_CHUNK_NEVER, nullptr, 0);
    png_set_keep_unknown_chunks(m_png, PNG_HANDLE_CHUNK_NEVER, kSkipped, 10);
    const int32_t status = ReadInfo();
    if (status != kImageOk)
        DestroyRead();
    return status;
}

// The libpng part of ReadHeader, under its own setjmp.
int32_t CPngFormat::ReadInfo() {
    if (setjmp(png_jmpbuf(m_png)))
        return kImageNotRecognised;
    png_read_info(m_png, m_info);
    png_uint_32 width = 0, height = 0;
    int bitDepth = 0;
    png_get_IHDR(m_png, m_info, &width, &height, &bitDepth, &m_colourType, &m_interlace, &m_compression, &m_filter);
    if (bitDepth < 8)
        return kImageBelow8Bits;
    if (bitDepth > 8)
        png_set_strip_16(m_png);
    if (m_colourType == PNG_COLOR_TYPE_GRAY || m_colourType == PNG_COLOR_TYPE_GRAY_ALPHA)
        png_set_gray_to_rgb(m_png);
    png_set_bgr(m_png);
    png_set_interlace_handling(m_png);
    png_read_update_info(m_png, m_info);
    m_channels = png_get_channels(m_png, m_info);
    m_alpha = m_colourType == PNG_COLOR_TYPE_RGB_ALPHA || m_colourType == PNG_COLOR_TYPE_GRAY_ALPHA;
    if (m_channels != 1 && m_channels != 3 && m_channels != 4)
        return kImageUnsupported;
    const int32_t status = SetGeometry(width, height, 8 * m_channels);
    if (status != kImageOk)
        return status;
    m_pitch = m_rowBytes;
    if (png_get_valid(m_png, m_info, PNG_INFO_PLTE)) {
        png_colorp colours = nullptr;
        int count = 0;
        png_get_PLTE(m_png, m_info, &colours, &count);
        LogPalette256* palette = MakePalette();
        if (palette == nullptr)
            return kImageOutOfMemory;
        for (int i = 0; i < count && i < 256; ++i)
            palette->entries[i] = {colours[i].red, colours[i].green, colours[i].blue, 0};
    }
    if (png_get_valid(m_png, m_info, PNG_INFO_gAMA))
        png_get_gAMA(m_png, m_info, &m_gamma);
    return kImageOk;
}

int CPngFormat::ReadRows(png_bytepp rows) {
    if (setjmp(png_jmpbuf(m_png)))
        return 0;
    png_read_image(m_png, rows);
    return 1;
}

int32_t CPngFormat::ReadImage(CStream* stream, uint8_t* destination, int32_t pitch, uint8_t* mask) {
    if (m_png == nullptr)
        return kImageNothingOpen;
    png_set_read_fn(m_png, stream, PngReadData);
    png_bytepp rows = static_cast<png_bytepp>(std::malloc(sizeof(png_bytep) * m_height));
    // Without conversion the rows go straight into the destination; with it,
    // into a block of the image's rows that is converted afterwards.
    uint8_t* block = nullptr;
    if (ConversionNeeded())
        block = static_cast<uint8_t*>(std::malloc(static_cast<size_t>(m_rowBytes) * m_height));
    if (rows == nullptr || (ConversionNeeded() && block == nullptr)) {
        std::free(rows);
        std::free(block);
        return kImageOutOfMemory;
    }
    for (int32_t y = 0; y < m_height; ++y)
        rows[y] = block != nullptr ? block + static_cast<ptrdiff_t>(y) * m_rowBytes
                                   : destination + static_cast<ptrdiff_t>(y) * pitch;
    const int read = ReadRows(rows);
    if (read) {
        for (int32_t y = 0; y < m_height; ++y)
            PutRow(rows[y], destination + static_cast<ptrdiff_t>(y) * pitch,
                   mask != nullptr ? mask + static_cast<ptrdiff_t>(y) * m_width : nullptr);
    }
    std::free(rows);
    std::free(block);
    DestroyRead();
    return read ? kImageOk : kImageCorrupt;
}

// The libpng part of WriteImage: everything it needs is allocated before the
// setjmp.
int WritePng(png_structp png, png_infop info, COutStream* stream, png_bytepp rows, int32_t width, int32_t height,
             int32_t depth, const png_color* colours) {
    if (setjmp(png_jmpbuf(png)))
        return 0;
    png_set_write_fn(png, stream, PngWriteData, PngFlush);
    png_set_IHDR(png, info, width, height, 8, depth == 8 ? PNG_COLOR_TYPE_PALETTE : PNG_COLOR_TYPE_RGB,
                 PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
    if (depth == 8)
        png_set_PLTE(png, info, colours, 256);
    png_write_info(png, info);
    png_set_bgr(png);
    png_write_image(png, rows);
    png_write_end(png, info);
    return 1;
}

int32_t CPngFormat::WriteImage(COutStream* stream, const uint8_t* pixels, int32_t width, int32_t height,
                               int32_t depth, int32_t sourcePitch, const LogPalette256* palette) {
    if (depth != 8 && depth != 24)
        return kImageDepthNotWritable;
    if (depth == 8 && !IsFullPalette(palette))
        return kImageNoPalette;
    png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, PngError, PngWarning);
    png_infop info = png != nullptr ? png_create_info_struct(png) : nullptr;
    png_bytepp rows = static_cast<png_bytepp>(std::malloc(sizeof(png_bytep) * height));
    png_color colours[256];
    if (png == nullptr || info == nullptr || rows == nullptr) {
        std::free(rows);
        png_destroy_write_struct(png ? &png : nullptr, info ? &info : nullptr);
        return kImageOutOfMemory;
    }
    for (int32_t y = 0; y < height; ++y)
        rows[y] = const_cast<png_bytep>(pixels + static_cast<ptrdiff_t>(y) * sourcePitch);
    if (depth == 8)
        for (int i = 0; i < 256; ++i)
            colours[i] = {palette->entries[i].red, palette->entries[i].green, palette->entries[i].blue};
    const int written = WritePng(png, info, stream, rows, width, height, depth, colours);
    std::free(rows);
    png_destroy_write_struct(&png, &info);
    return written ? kImageOk : kImageWriteFailed;
}

}  // namespace

CImageFormat* NewPngFormat() { return new (std::nothrow) CPngFormat(); }
