#pragma once
// Picture banks (bank type 1): the layout the picture bank reader
// (graphics2d/image_bank.h) reads and the packer writes.
//
// Picture bank additions to the bank file (runtime/package/bank.h), after the
// bank version: u32 palette-table offset, counted from the position of this
// word (0 = no table). The table: u32 palette count P, then P palettes of
// 1024 bytes (256 × red, green, blue, flags).
//
// Picture element, after its name and group:
//   s16 hot-spot x, s16 hot-spot y,
//   u32 palette index into the table (0xFFFFFFFF = none),
//   u16 storage kind: 0xFFFF = a whole image file follows; else raw rows,
//   u16 width, u16 height, u16 depth of the stored rows (8, 15, 16, 24, 32),
//   u32 flags (bank version 0x16740002 and later): bit 0 a mask plane follows,
//   pixel block: raw rows: u32 compressed size (0 = stored), then the rows
//     top first, each PictureRowPitch(width, depth) bytes, in the pixel
//     layouts of the surface library (8: palette indices; 15, 16: 5-5-5 and
//     5-6-5 words; 24: blue, green, red; 32: blue, green, red, 0), stored or
//     as a zlib stream of that many bytes;
//     image file: the file's bytes (any format of the image layer),
//   mask block (flags bit 0): u32 compressed size, width × height bytes
//     (255 opaque), stored or zlib.
#include <cstdint>
#include <vector>

constexpr uint32_t kPictureFileKind = 0xFFFF;
constexpr uint32_t kPictureNoPalette = 0xFFFFFFFF;
constexpr uint32_t kPictureHasMask = 0x1;

// Row bytes of stored raw rows: ((bits × width + 31) / 32) × 4, bits 16 for
// depth 15.
int32_t PictureRowPitch(int32_t width, int32_t depth);
bool IsPictureDepth(uint32_t depth);

// A raw picture element. `pixels` are the rows (size bytes, exactly pitch ×
// height); with `compress` the rows and the mask are stored as zlib streams
// when that is smaller.
struct PictureRows {
    int16_t hotSpotX = 0;
    int16_t hotSpotY = 0;
    uint32_t paletteIndex = kPictureNoPalette;
    uint16_t width = 0;
    uint16_t height = 0;
    uint16_t depth = 0;
    const uint8_t* pixels = nullptr;
    int32_t size = 0;
    const uint8_t* mask = nullptr;  // width × height bytes, or null
    bool compress = false;
};
// The element body (everything after its name and group), as
// CBankWriter::AddRaw takes it; false for fields the layout cannot hold.
bool EncodePictureRows(const PictureRows& rows, std::vector<uint8_t>* body);
// An element embedding a whole image file (its size and depth as the file's
// header gives them).
bool EncodePictureFile(int16_t hotSpotX, int16_t hotSpotY, uint16_t width, uint16_t height, uint16_t depth,
                       const uint8_t* file, int32_t size, std::vector<uint8_t>* body);
