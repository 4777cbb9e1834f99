#pragma once
// Surfaces over plain memory: CMemorySurface owns a buffer of its own (the
// library's default surfaces and the blits' scratch surfaces);
// CDIBMemorySurface wraps a packed DIB that somebody else owns, for the DIB
// export and import (dib_format.h).
#include <new>

#include "graphics2d/surface.h"

// Rows padded to whole 32-bit words; the row base aligned to 8 bytes inside a
// buffer of pitch × height + 7 bytes. Sizes whose buffer would pass 1 GB make
// no surface.
class CMemorySurface : public CSurfaceImpl {
public:
    ~CMemorySurface() override;
    CSurfaceImpl* MakeInstance(int32_t width, int32_t height) override;
    // Replaces the pixels by a buffer of the new size (contents not kept);
    // 0 with the old buffer and size kept when it cannot be had.
    int Allocate(int32_t width, int32_t height) override;
    // pitch × height bytes from or to an open file handle (runtime/io/os_file.h)
    // at the row base; 1 when all were transferred.
    int ReadBits(intptr_t file) override;
    int WriteBits(intptr_t file) override;

protected:
    // A new, empty object of this class (the instance MakeInstance fills).
    virtual CMemorySurface* NewInstance() const { return new (std::nothrow) CMemorySurface; }

private:
    // The buffer and its 8-aligned row base; false when too large or no memory.
    bool AllocateBuffer(int32_t pitch, int32_t height, uint8_t** buffer, uint8_t** rowBase);
};

// Bytes per row of a memory surface (the DIB pitch).
int32_t GetMemoryPitch(int32_t width, int depth);

// Wraps a packed DIB: 8, 16 (5-5-5 plain or 5-5-5 / 5-6-5 bit fields), 24 or
// 32 bits (plain or 0xFF0000/0xFF00/0xFF bit fields), bottom-up or top-down.
// Bits null: the pixels follow the masks or colour table. `available` bounds
// the bytes readable from `info` (-1: trust the header). Anything else, and
// sizes whose rows would pass 31 bits, leave it empty (size 0, depth 0).
// With makePalette, an 8-bit DIB's colour table (at most 256 entries, the
// rest black) becomes the surface's shared palette.
class CDIBMemorySurface : public CSurfaceImpl {
public:
    CDIBMemorySurface(const BitmapInfoHeader* info, const void* bits, bool makePalette, int64_t available = -1);
    ~CDIBMemorySurface() override;
    CSurfaceImpl* MakeInstance(int32_t, int32_t) override { return nullptr; }
    int Init(int32_t) override { return 0; }
};
