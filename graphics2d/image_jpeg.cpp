// JPEG files for the image layer, through libjpeg (version 62 interface).
//
// Read: greyscale and RGB (YCbCr) files, delivered as 24-bit blue, green, red
// rows; other colour spaces (CMYK, YCCK) give kImageUnsupported. Written:
// 24-bit data with the library's default settings.
//
// The library reads and writes through our streams with 4096-byte source and
// destination managers. An empty refill supplies a fake end-of-image marker
// (with the library's end-of-file warning), so a truncated file decodes as far
// as it goes and never loops.
//
// The library's errors longjmp back to the setjmp of the running operation
// (no C++ exception may cross its C frames); the functions that call the
// library under a setjmp hold no object with a destructor.
#include "graphics2d/image_file.h"

#include "runtime/io/stream.h"

#include <csetjmp>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <new>

#include <jpeglib.h>
#include <jerror.h>

namespace {

constexpr int kJpegBufferSize = 4096;

struct CJpegError {
    jpeg_error_mgr pub;
    jmp_buf jump;
};

struct CJpegSource {
    jpeg_source_mgr pub;
    CStream* stream;
    JOCTET buffer[kJpegBufferSize];
};

struct CJpegDestination {
    jpeg_destination_mgr pub;
    COutStream* stream;
    JOCTET buffer[kJpegBufferSize];
};

void JpegErrorExit(j_common_ptr info) { longjmp(reinterpret_cast<CJpegError*>(info->err)->jump, 1); }
void JpegSilentMessage(j_common_ptr) {}

void InstallErrors(CJpegError* error) {
    jpeg_std_error(&error->pub);
    error->pub.error_exit = JpegErrorExit;
    error->pub.output_message = JpegSilentMessage;
}

void SourceInit(j_decompress_ptr) {}
void SourceTerm(j_decompress_ptr) {}

boolean SourceFill(j_decompress_ptr info) {
    CJpegSource* source = reinterpret_cast<CJpegSource*>(info->src);
    int32_t got = 0;
    source->stream->ReadCounted(source->buffer, kJpegBufferSize, &got);
    if (got <= 0) {
        WARNMS(info, JWRN_JPEG_EOF);
        source->buffer[0] = 0xFF;
        source->buffer[1] = JPEG_EOI;
        got = 2;
    }
    source->pub.next_input_byte = source->buffer;
    source->pub.bytes_in_buffer = static_cast<size_t>(got);
    return TRUE;
}

void SourceSkip(j_decompress_ptr info, long count) {
    jpeg_source_mgr* source = info->src;
    if (count <= 0)
        return;
    while (count > static_cast<long>(source->bytes_in_buffer)) {
        count -= static_cast<long>(source->bytes_in_buffer);
        SourceFill(info);
    }
    source->next_input_byte += count;
    source->bytes_in_buffer -= static_cast<size_t>(count);
}

void DestinationInit(j_compress_ptr info) {
    CJpegDestination* destination = reinterpret_cast<CJpegDestination*>(info->dest);
    destination->pub.next_output_byte = destination->buffer;
    destination->pub.free_in_buffer = kJpegBufferSize;
}

boolean DestinationEmpty(j_compress_ptr info) {
    CJpegDestination* destination = reinterpret_cast<CJpegDestination*>(info->dest);
    if (destination->stream->Write(destination->buffer, kJpegBufferSize) != 0)
        ERREXIT(info, JERR_FILE_WRITE);
    DestinationInit(info);
    return TRUE;
}

void DestinationTerm(j_compress_ptr info) {
    CJpegDestination* destination = reinterpret_cast<CJpegDestination*>(info->dest);
    const int32_t left = kJpegBufferSize - static_cast<int32_t>(destination->pub.free_in_buffer);
    if ((left > 0 && destination->stream->Write(destination->buffer, left) != 0) || destination->stream->Flush() != 0)
        ERREXIT(info, JERR_FILE_WRITE);
}

class CJpegFormat : public CImageFormat {
public:
    CJpegFormat() : CImageFormat(3805, 3705, 3905) {}
    ~CJpegFormat() override { EndRead(nullptr); }
    CImageFormat* CreateInstance() override { return new (std::nothrow) CJpegFormat(); }
    uint32_t GetId() override { return kImageFormatJpeg; }
    uint32_t GetWriteDepths() override { return kWriteDepth24; }
    int IsStillImage() override { return 1; }
    int CanWriteImage() override { return 1; }
    int Probe(CStream*, uint32_t firstWord) override {
        return (firstWord & 0xFFFFFF) == 0xFFD8FF && (firstWord >> 24) >= 0xE0;
    }
    int32_t ReadHeader(CStream* stream) override;
    int32_t ReadImage(CStream* stream, uint8_t* destination, int32_t pitch, uint8_t* mask) override;
    int32_t WriteImage(COutStream* stream, const uint8_t* pixels, int32_t width, int32_t height, int32_t depth,
                       int32_t sourcePitch, const LogPalette256* palette) override;
    void EndRead(CStream*) override;

private:
    int32_t ReadHeaderGuarded();
    int ReadRowsGuarded(uint8_t* destination, int32_t pitch, uint8_t* mask, uint8_t* row, uint8_t* grey);

    jpeg_decompress_struct m_decompress{};
    CJpegError m_error{};
    CJpegSource m_source{};
    int m_active = 0;
};

void CJpegFormat::EndRead(CStream*) {
    if (m_active)
        jpeg_destroy_decompress(&m_decompress);
    m_active = 0;
}

int32_t CJpegFormat::ReadHeader(CStream* stream) {
    EndRead(nullptr);
    m_source.stream = stream;
    m_source.pub.init_source = SourceInit;
    m_source.pub.fill_input_buffer = SourceFill;
    m_source.pub.skip_input_data = SourceSkip;
    m_source.pub.resync_to_restart = jpeg_resync_to_restart;
    m_source.pub.term_source = SourceTerm;
    m_source.pub.bytes_in_buffer = 0;
    m_source.pub.next_input_byte = nullptr;
    const int32_t status = ReadHeaderGuarded();
    if (status != kImageOk)
        EndRead(nullptr);
    return status;
}

int32_t CJpegFormat::ReadHeaderGuarded() {
    InstallErrors(&m_error);
    m_decompress.err = &m_error.pub;
    if (setjmp(m_error.jump))
        return kImageNotRecognised;
    jpeg_create_decompress(&m_decompress);
    m_active = 1;
    m_decompress.mem->max_memory_to_use = kImageMaxPixelBytes;
    m_decompress.src = &m_source.pub;
    jpeg_read_header(&m_decompress, TRUE);
    if (m_decompress.num_components == 1 && m_decompress.jpeg_color_space == JCS_GRAYSCALE) {
        m_decompress.out_color_space = JCS_GRAYSCALE;
    } else if (m_decompress.num_components == 3 &&
               (m_decompress.jpeg_color_space == JCS_YCbCr || m_decompress.jpeg_color_space == JCS_RGB)) {
        m_decompress.out_color_space = JCS_EXT_BGR;
    } else {
        return kImageUnsupported;
    }
    const int32_t status = SetGeometry(m_decompress.image_width, m_decompress.image_height, 24);
    m_pitch = m_rowBytes;
    return status;
}

// Reads every scanline: BGR rows straight into the destination when no
// conversion is needed, else through `row`; greyscale lines through `grey`.
int CJpegFormat::ReadRowsGuarded(uint8_t* destination, int32_t pitch, uint8_t* mask, uint8_t* row, uint8_t* grey) {
    if (setjmp(m_error.jump))
        return 0;
    jpeg_start_decompress(&m_decompress);
    while (m_decompress.output_scanline < m_decompress.output_height) {
        const int32_t y = static_cast<int32_t>(m_decompress.output_scanline);
        uint8_t* out = destination + static_cast<ptrdiff_t>(y) * pitch;
        uint8_t* target = row != nullptr ? row : out;
        JSAMPROW line = grey != nullptr ? grey : target;
        if (jpeg_read_scanlines(&m_decompress, &line, 1) != 1)
            return 0;
        if (grey != nullptr)
            for (int32_t x = 0; x < m_width; ++x)
                target[3 * x] = target[3 * x + 1] = target[3 * x + 2] = grey[x];
        PutRow(target, out, mask != nullptr ? mask + static_cast<ptrdiff_t>(y) * m_width : nullptr);
    }
    jpeg_finish_decompress(&m_decompress);
    return 1;
}

int32_t CJpegFormat::ReadImage(CStream* stream, uint8_t* destination, int32_t pitch, uint8_t* mask) {
    if (!m_active)
        return kImageNothingOpen;
    m_source.stream = stream;
    uint8_t* row = nullptr;
    uint8_t* grey = nullptr;
    if (ConversionNeeded())
        row = static_cast<uint8_t*>(std::malloc(static_cast<size_t>(m_rowBytes)));
    if (m_decompress.out_color_space == JCS_GRAYSCALE)
        grey = static_cast<uint8_t*>(std::malloc(static_cast<size_t>(m_width)));
    if ((ConversionNeeded() && row == nullptr) || (m_decompress.out_color_space == JCS_GRAYSCALE && grey == nullptr)) {
        std::free(row);
        std::free(grey);
        return kImageOutOfMemory;
    }
    const int read = ReadRowsGuarded(destination, pitch, mask, row, grey);
    std::free(row);
    std::free(grey);
    EndRead(stream);
    return read ? kImageOk : kImageCorrupt;
}

// The library part of WriteImage.
int WriteJpeg(jpeg_compress_struct* info, CJpegError* error, CJpegDestination* destination, const uint8_t* pixels,
              int32_t width, int32_t height, int32_t sourcePitch, uint8_t* row) {
    InstallErrors(error);
    info->err = &error->pub;
    if (setjmp(error->jump))
        return 0;
    jpeg_create_compress(info);
    info->dest = &destination->pub;
    info->image_width = static_cast<JDIMENSION>(width);
    info->image_height = static_cast<JDIMENSION>(height);
    info->input_components = 3;
    info->in_color_space = JCS_RGB;
    jpeg_set_defaults(info);
    jpeg_start_compress(info, TRUE);
    for (int32_t y = 0; y < height; ++y) {
        const uint8_t* in = pixels + static_cast<ptrdiff_t>(y) * sourcePitch;
        for (int32_t x = 0; x < width; ++x) {
            row[3 * x] = in[3 * x + 2];
            row[3 * x + 1] = in[3 * x + 1];
            row[3 * x + 2] = in[3 * x];
        }
        JSAMPROW line = row;
        jpeg_write_scanlines(info, &line, 1);
    }
    jpeg_finish_compress(info);
    return 1;
}

int32_t CJpegFormat::WriteImage(COutStream* stream, const uint8_t* pixels, int32_t width, int32_t height,
                                int32_t depth, int32_t sourcePitch, const LogPalette256*) {
    if (depth != 24)
        return kImageDepthNotWritable;
    if (width > JPEG_MAX_DIMENSION || height > JPEG_MAX_DIMENSION)
        return kImageBadArguments;
    uint8_t* row = static_cast<uint8_t*>(std::malloc(static_cast<size_t>(width) * 3));
    jpeg_compress_struct* info = new (std::nothrow) jpeg_compress_struct();
    CJpegError* error = new (std::nothrow) CJpegError();
    CJpegDestination* destination = new (std::nothrow) CJpegDestination();
    int written = 0;
    if (row != nullptr && info != nullptr && error != nullptr && destination != nullptr) {
        destination->stream = stream;
        destination->pub.init_destination = DestinationInit;
        destination->pub.empty_output_buffer = DestinationEmpty;
        destination->pub.term_destination = DestinationTerm;
        written = WriteJpeg(info, error, destination, pixels, width, height, sourcePitch, row) ? 1 : 2;
        jpeg_destroy_compress(info);
    }
    std::free(row);
    delete info;
    delete error;
    delete destination;
    return written == 0 ? kImageOutOfMemory : written == 1 ? kImageOk : kImageWriteFailed;
}

}  // namespace

CImageFormat* NewJpegFormat() { return new (std::nothrow) CJpegFormat(); }
