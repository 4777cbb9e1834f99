#pragma once
// Packed device-independent bitmaps, as the surface library exports and
// imports them (clipboard, printer, BMP files, icons). All fields little-endian.
//
//   offset 0   header, 40 bytes (BitmapInfoHeader below); its size field says
//              how long it is, and what follows starts there
//   then       bit counts 1 to 8: the colour table, biClrUsed entries (or
//              2^bitCount when 0), 4 bytes each: blue, green, red, 0
//              compression 3 (bit fields): three 32-bit masks red, green, blue
//   then       the rows, each padded to whole 32-bit words; biHeight > 0 means
//              the bottom row comes first, biHeight < 0 the top row
//
// Supported here: compression 0 (plain) with 1, 4, 8, 16 (5-5-5), 24 and 32
// bits, compression 3 with 16 bits (5-5-5 or 5-6-5 masks) and 32 bits
// (0xFF0000, 0xFF00, 0xFF). Run-length compression is not.
#include <cstdint>

#pragma pack(push, 1)
struct BitmapInfoHeader {
    uint32_t biSize;
    int32_t biWidth;
    int32_t biHeight;
    uint16_t biPlanes;
    uint16_t biBitCount;
    uint32_t biCompression;
    uint32_t biSizeImage;
    int32_t biXPelsPerMeter;
    int32_t biYPelsPerMeter;
    uint32_t biClrUsed;
    uint32_t biClrImportant;
};
#pragma pack(pop)
static_assert(sizeof(BitmapInfoHeader) == 40, "the header is 40 bytes");

constexpr uint32_t kDibRgb = 0;        // BI_RGB
constexpr uint32_t kDibBitFields = 3;  // BI_BITFIELDS

// Bytes of header, masks and colour table: 40 + 4 × 2^depth for depths up to
// 8, 52 for 16 (three masks), else 40.
int32_t GetBitmapInfoSize(int depth);
// Bytes per row: ((d × width + 31) / 32) × 4 with d = 16 for depth 15.
int32_t GetDIBPitch(int32_t width, int depth);
// GetDIBPitch × height + GetBitmapInfoSize.
int32_t GetDIBImageSize(int32_t width, int32_t height, int depth);
