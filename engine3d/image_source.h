#pragma once
// LImageSource: what the texture list needs of an image file (open, size,
// depth, palette, mask, read at a depth, close). The world creates one on
// demand through the factory installed with SetImageSourceFactory; the real
// one (the default) is LImageFileSource over the image file layer of
// graphics2d, tests install an in-memory one. Without a factory no image file
// can be read and LoadTexture answers null.
#include "runtime/package/shared_palette.h"

#include <cstdint>

class LImageSource {
public:
    virtual ~LImageSource() = default;
    // 1 when the file was opened and its header read, else 0.
    virtual int32_t Open(const char* path) = 0;
    virtual int32_t GetWidth() const = 0;
    virtual int32_t GetHeight() const = 0;
    virtual int32_t GetBitsPerPixel() const = 0;
    // The file's own palette (256 entries), or null.
    virtual const PaletteEntry* GetPalette() const = 0;
    // 1 when the image carries an alpha mask.
    virtual int32_t HasMask() const = 0;
    // Reads the image at `depth` bits per pixel into `pixels` (height rows of
    // `pitch` bytes, top row first); 8-bit reads map to `palette`. When
    // `mask` is not null it receives width x height alpha bytes. 1 on success.
    virtual int32_t Read(int32_t depth, uint8_t* pixels, int32_t pitch, const PaletteEntry* palette,
                         uint8_t* mask) = 0;
    virtual void Close() = 0;
};

using LImageSourceFactory = LImageSource* (*)();
