#pragma once
// Helpers of the image layer tests: reading bytes through CImageFile, writing
// pictures through it into memory, little BMP builders, and PNG and JPEG
// files made directly with libpng and libjpeg.
#include <cstdint>
#include <string>
#include <vector>

#include "graphics2d/image_file.h"

namespace imagetest {

using Bytes = std::vector<uint8_t>;

// The process's manager (initialised once).
CImageFormatManager* Manager();

struct Decoded {
    int32_t status = -1;
    int32_t width = 0, height = 0, depth = 0;  // the image's own size and depth
    int32_t pitch = 0;                         // of `pixels`
    int hasAlpha = 0;
    Bytes pixels;  // rows at the asked depth (the image's own for 0)
    Bytes mask;    // width bytes per row
    LogPalette256 palette{};  // the image's palette when it has one
};

// Reads the bytes (as format `formatId` only, when not 0) at `depth` (0: the
// image's own) into rows filled with `fill` beforehand.
Decoded Decode(const Bytes& file, int32_t depth = 0, const LogPalette256* palette = nullptr, uint32_t formatId = 0,
               uint8_t fill = 0);

// Reads the file at 24 bits and writes "<file>.out" for the outside checks:
// a line "status width height depth", then the packed blue, green, red rows.
void WriteDecodedAt24(const std::string& file);

// Saves through CImageFile::SaveFile into a temporary file and returns its
// bytes; *status gets the answer.
Bytes Save(uint32_t formatId, const uint8_t* pixels, int32_t width, int32_t height, int32_t depth, int32_t pitch,
           const LogPalette256* palette, int32_t* status);

// A scratch folder of this process (made once, with a trailing separator).
const std::string& ScratchFolder();
Bytes ReadWholeFile(const std::string& name);
void WriteWholeFile(const std::string& name, const Bytes& bytes);

void Put16(Bytes& b, uint32_t v);
void Put32(Bytes& b, uint32_t v);

// A 40-byte-header BMP: file header (optional), info header, then `extra`
// (palette or masks) and the pixel bytes. The file header's data offset is
// the end of `extra` plus `gap`.
Bytes MakeBmp(int32_t width, int32_t height, int bits, uint32_t compression, const Bytes& extra, const Bytes& pixels,
              bool fileHeader = true, uint32_t coloursUsed = 0, uint32_t gap = 0);

// PNG through libpng: rows of packed samples at `bitDepth` for `colourType`;
// palette entries as r, g, b triplets for colour type 3.
Bytes MakePng(int32_t width, int32_t height, int bitDepth, int colourType, const Bytes& rows,
              const Bytes& palette = {}, bool interlaced = false);
// JPEG through libjpeg: rows of `components` samples per pixel in the given
// colour space (JCS_ value), quality 95.
Bytes MakeJpeg(int32_t width, int32_t height, int components, int colourSpace, const Bytes& rows,
               bool progressive = false);
// Decodes a JPEG with libjpeg directly into BGR rows `pitch` bytes apart (with
// a null `out`, only its size is read).
void DecodeJpegInto(const Bytes& file, uint8_t* out, int32_t pitch, int32_t* width, int32_t* height);
// A picture of smooth areas with some detail, as red, green, blue samples
// (the decoding benchmarks' pictures).
Bytes MakeDetailedRgb(int32_t width, int32_t height);
// Decodes an 8-bit RGB or palette PNG with libpng directly into BGR rows
// `pitch` bytes apart (with a null `out`, only its size is read).
void DecodePngInto(const Bytes& file, uint8_t* out, int32_t pitch, int32_t* width, int32_t* height);
// The same into packed rows (width * 3 bytes each).
Bytes DecodeJpegDirect(const Bytes& file, int32_t* width, int32_t* height);

}  // namespace imagetest
