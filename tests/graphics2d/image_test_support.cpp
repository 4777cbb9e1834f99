#include "image_test_support.h"

#include "runtime/io/file_helpers.h"
#include "runtime/io/memory_stream.h"
#include "runtime/io/os_file.h"

#include <png.h>

#include <csetjmp>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <iterator>

#include <jpeglib.h>

namespace imagetest {

CImageFormatManager* Manager() {
    static CImageFormatManager* manager = [] {
        CImageFormatManager* m = new CImageFormatManager();
        if (m->Init() != kImageOk) std::abort();
        return m;
    }();
    return manager;
}

Decoded Decode(const Bytes& file, int32_t depth, const LogPalette256* palette, uint32_t formatId, uint8_t fill) {
    Decoded out;
    CMemoryStream stream;
    stream.Attach(file.data(), static_cast<int32_t>(file.size()));
    CImageFile image(Manager());
    if (formatId != 0 && !image.CreateFormatById(formatId)) return out;
    out.status = image.AttachStream(&stream);
    if (out.status != kImageOk) return out;
    out.width = image.GetWidth();
    out.height = image.GetHeight();
    out.depth = image.GetDepth();
    out.hasAlpha = image.HasAlpha();
    if (image.GetPalette()) out.palette = *image.GetPalette();
    const int32_t target = depth != 0 ? depth : out.depth;
    out.pitch = (out.width * ((target + 1) / 8) + 3) & ~3;
    out.pixels.assign(static_cast<size_t>(out.pitch) * out.height, fill);
    out.mask.assign(static_cast<size_t>(out.width) * out.height, 0);
    out.status = image.Read(out.pixels.data(), out.width, out.height, depth, out.pitch, palette, out.mask.data());
    image.Close();
    return out;
}

void WriteDecodedAt24(const std::string& file) {
    const Decoded d = Decode(ReadWholeFile(file), 24);
    std::ofstream out(file + ".out", std::ios::binary);
    out << d.status << ' ' << d.width << ' ' << d.height << ' ' << d.depth << '\n';
    if (d.status == kImageOk)
        for (int y = 0; y < d.height; ++y)
            out.write(reinterpret_cast<const char*>(&d.pixels[static_cast<size_t>(y) * d.pitch]), d.width * 3);
}

const std::string& ScratchFolder() {
    static std::string folder = [] {
        char name[1024];
        if (MakeTempFileName(nullptr, "twimg", name, sizeof name, "dir", 0, 0) < 0) std::abort();
        if (CreateDirectoryPath(name) != 0) std::abort();
        return std::string(name) + "\\";
    }();
    return folder;
}

Bytes ReadWholeFile(const std::string& name) {
    const FileHandle h = OpenFileHandle(name.c_str(), 0);
    if (h == kNoFileHandle) return {};
    Bytes bytes(static_cast<size_t>(GetFileHandleSize(h)));
    if (!bytes.empty() && ReadFileChecked(h, bytes.data(), static_cast<int32_t>(bytes.size())) != 0) bytes.clear();
    CloseFileHandle(h);
    return bytes;
}

void WriteWholeFile(const std::string& name, const Bytes& bytes) {
    const FileHandle h = CreateFileHandle(name.c_str());
    if (h == kNoFileHandle) std::abort();
    if (!bytes.empty()) WriteFileChecked(h, bytes.data(), static_cast<int32_t>(bytes.size()));
    CloseFileHandle(h);
}

Bytes Save(uint32_t formatId, const uint8_t* pixels, int32_t width, int32_t height, int32_t depth, int32_t pitch,
           const LogPalette256* palette, int32_t* status) {
    const std::string name = ScratchFolder() + "saved.img";
    DeletePathFile(name.c_str());
    CImageFile image(Manager());
    if (!image.CreateFormatById(formatId)) std::abort();
    *status = image.SaveFile(name.c_str(), pixels, width, height, depth, pitch, palette);
    Bytes bytes = ReadWholeFile(name);
    DeletePathFile(name.c_str());
    return bytes;
}

void Put16(Bytes& b, uint32_t v) {
    b.push_back(v & 0xFF);
    b.push_back((v >> 8) & 0xFF);
}

void Put32(Bytes& b, uint32_t v) {
    Put16(b, v & 0xFFFF);
    Put16(b, v >> 16);
}

Bytes MakeBmp(int32_t width, int32_t height, int bits, uint32_t compression, const Bytes& extra, const Bytes& pixels,
              bool fileHeader, uint32_t coloursUsed, uint32_t gap) {
    Bytes b;
    const uint32_t offset = 14 + 40 + static_cast<uint32_t>(extra.size()) + gap;
    if (fileHeader) {
        Put16(b, 0x4D42);
        Put32(b, offset + static_cast<uint32_t>(pixels.size()));
        Put32(b, 0);
        Put32(b, offset);
    }
    Put32(b, 40);
    Put32(b, static_cast<uint32_t>(width));
    Put32(b, static_cast<uint32_t>(height));
    Put16(b, 1);
    Put16(b, static_cast<uint32_t>(bits));
    Put32(b, compression);
    Put32(b, static_cast<uint32_t>(pixels.size()));
    Put32(b, 0);
    Put32(b, 0);
    Put32(b, coloursUsed);
    Put32(b, 0);
    b.insert(b.end(), extra.begin(), extra.end());
    b.insert(b.end(), gap, 0xEE);
    b.insert(b.end(), pixels.begin(), pixels.end());
    return b;
}

namespace {

void PngAppend(png_structp png, png_bytep data, png_size_t length) {
    Bytes* out = static_cast<Bytes*>(png_get_io_ptr(png));
    out->insert(out->end(), data, data + length);
}
void PngNoFlush(png_structp) {}

}  // namespace

Bytes MakePng(int32_t width, int32_t height, int bitDepth, int colourType, const Bytes& rows, const Bytes& palette,
              bool interlaced) {
    Bytes out;
    png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
    png_infop info = png_create_info_struct(png);
    if (setjmp(png_jmpbuf(png))) std::abort();
    png_set_write_fn(png, &out, PngAppend, PngNoFlush);
    png_set_IHDR(png, info, width, height, bitDepth, colourType,
                 interlaced ? PNG_INTERLACE_ADAM7 : PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_DEFAULT,
                 PNG_FILTER_TYPE_DEFAULT);
    std::vector<png_color> colours;
    for (size_t i = 0; i + 2 < palette.size(); i += 3) colours.push_back({palette[i], palette[i + 1], palette[i + 2]});
    if (!colours.empty()) png_set_PLTE(png, info, colours.data(), static_cast<int>(colours.size()));
    png_write_info(png, info);
    const size_t rowBytes = rows.size() / height;
    std::vector<png_bytep> pointers;
    for (int32_t y = 0; y < height; ++y) pointers.push_back(const_cast<png_bytep>(rows.data() + y * rowBytes));
    png_write_image(png, pointers.data());
    png_write_end(png, info);
    png_destroy_write_struct(&png, &info);
    return out;
}

Bytes MakeJpeg(int32_t width, int32_t height, int components, int colourSpace, const Bytes& rows, bool progressive) {
    jpeg_compress_struct info;
    jpeg_error_mgr error;
    info.err = jpeg_std_error(&error);
    jpeg_create_compress(&info);
    unsigned char* buffer = nullptr;
    unsigned long size = 0;
    jpeg_mem_dest(&info, &buffer, &size);
    info.image_width = width;
    info.image_height = height;
    info.input_components = components;
    info.in_color_space = static_cast<J_COLOR_SPACE>(colourSpace);
    jpeg_set_defaults(&info);
    jpeg_set_quality(&info, 95, TRUE);
    if (progressive) jpeg_simple_progression(&info);
    jpeg_start_compress(&info, TRUE);
    const size_t rowBytes = static_cast<size_t>(width) * components;
    while (info.next_scanline < info.image_height) {
        JSAMPROW row = const_cast<JSAMPROW>(rows.data() + info.next_scanline * rowBytes);
        jpeg_write_scanlines(&info, &row, 1);
    }
    jpeg_finish_compress(&info);
    jpeg_destroy_compress(&info);
    Bytes out(buffer, buffer + size);
    std::free(buffer);
    return out;
}

void DecodeJpegInto(const Bytes& file, uint8_t* out, int32_t pitch, int32_t* width, int32_t* height) {
    jpeg_decompress_struct info;
    jpeg_error_mgr error;
    info.err = jpeg_std_error(&error);
    jpeg_create_decompress(&info);
    jpeg_mem_src(&info, file.data(), static_cast<unsigned long>(file.size()));
    jpeg_read_header(&info, TRUE);
    info.out_color_space = JCS_EXT_BGR;
    *width = static_cast<int32_t>(info.image_width);
    *height = static_cast<int32_t>(info.image_height);
    if (out != nullptr) {
        jpeg_start_decompress(&info);
        while (info.output_scanline < info.output_height) {
            JSAMPROW row = out + static_cast<size_t>(info.output_scanline) * pitch;
            jpeg_read_scanlines(&info, &row, 1);
        }
        jpeg_finish_decompress(&info);
    }
    jpeg_destroy_decompress(&info);
}

Bytes MakeDetailedRgb(int32_t width, int32_t height) {
    Bytes rgb(static_cast<size_t>(width) * height * 3);
    uint32_t noise = 12345;
    for (int32_t y = 0; y < height; ++y)
        for (int32_t x = 0; x < width; ++x) {
            noise = noise * 1103515245 + 12345;
            uint8_t* p = &rgb[(static_cast<size_t>(y) * width + x) * 3];
            p[0] = static_cast<uint8_t>(x / 8 + ((noise >> 16) & 7));
            p[1] = static_cast<uint8_t>(y / 6 + ((x ^ y) & 15));
            p[2] = static_cast<uint8_t>((x + y) / 14);
        }
    return rgb;
}

namespace {
struct PngSource {
    const Bytes* file;
    size_t at;
};
void ReadPngBytes(png_structp png, png_bytep data, png_size_t length) {
    PngSource* source = static_cast<PngSource*>(png_get_io_ptr(png));
    if (source->at + length > source->file->size()) png_error(png, "end of data");
    std::memcpy(data, source->file->data() + source->at, length);
    source->at += length;
}
}  // namespace

void DecodePngInto(const Bytes& file, uint8_t* out, int32_t pitch, int32_t* width, int32_t* height) {
    PngSource source{&file, 0};
    png_structp png = png_create_read_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
    png_infop info = png_create_info_struct(png);
    std::vector<png_bytep> rows;
    if (setjmp(png_jmpbuf(png))) {
        png_destroy_read_struct(&png, &info, nullptr);
        *width = *height = 0;
        return;
    }
    png_set_read_fn(png, &source, ReadPngBytes);
    png_read_info(png, info);
    *width = static_cast<int32_t>(png_get_image_width(png, info));
    *height = static_cast<int32_t>(png_get_image_height(png, info));
    if (out != nullptr) {
        png_set_palette_to_rgb(png);
        png_set_bgr(png);
        png_read_update_info(png, info);
        rows.resize(static_cast<size_t>(*height));
        for (int32_t y = 0; y < *height; ++y) rows[static_cast<size_t>(y)] = out + static_cast<size_t>(y) * pitch;
        png_read_image(png, rows.data());
        png_read_end(png, nullptr);
    }
    png_destroy_read_struct(&png, &info, nullptr);
}

Bytes DecodeJpegDirect(const Bytes& file, int32_t* width, int32_t* height) {
    DecodeJpegInto(file, nullptr, 0, width, height);
    Bytes out(static_cast<size_t>(*width) * 3 * *height);
    DecodeJpegInto(file, out.data(), *width * 3, width, height);
    return out;
}

}  // namespace imagetest
