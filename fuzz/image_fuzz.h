#pragma once
// What the three image-format fuzz targets share: the bytes go through
// CImageFile::AttachStream over a memory stream, with only the target's format
// chosen (CreateFormatById), and are read at depths 24, 16 and 8 (with the
// default palette) into buffers of the announced size. Invariants: a header
// that reads gives a size of at least one pixel and a depth the layer
// delivers; the 16-bit pixels are the 24-bit ones narrowed (the conversion
// tables and the library's layouts agree), and all three reads end with the
// same status.
#include "graphics2d/image_file.h"
#include "runtime/io/memory_stream.h"

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <vector>

namespace fuzz {

// Bigger pictures are only probed and their headers read: reading them would
// make each run slow, and the size limits are tested on their own.
constexpr int64_t kReadLimit = 32 << 20;

inline void CheckAt(bool condition, int line) {
    if (!condition) {
        std::fprintf(stderr, "image_fuzz.h:%d: invariant broken\n", line);
        std::abort();
    }
}
#define Check(condition) CheckAt((condition), __LINE__)

inline int32_t ReadAt(CImageFormatManager* manager, uint32_t formatId, const uint8_t* data, size_t size, int32_t depth,
                      std::vector<uint8_t>& pixels, std::vector<uint8_t>& mask, int32_t* width, int32_t* height,
                      int32_t* ownDepth = nullptr) {
    CMemoryStream stream;
    stream.Attach(data, static_cast<int32_t>(size));
    CImageFile file(manager);
    Check(file.CreateFormatById(formatId) == 1);
    int32_t status = file.AttachStream(&stream);
    if (status != kImageOk) {
        Check(file.GetFormat() == nullptr);
        return status;
    }
    *width = file.GetWidth();
    *height = file.GetHeight();
    const int32_t own = file.GetDepth();
    if (ownDepth) *ownDepth = own;
    Check(*width >= 1 && *height >= 1);
    Check(own == 8 || own == 15 || own == 16 || own == 24 || own == 32);
    const int32_t pitch = (*width * ((depth + 1) / 8) + 3) & ~3;
    if (int64_t(pitch) * *height > kReadLimit || int64_t(*width) * 4 * *height > kReadLimit) return -1;
    pixels.assign(static_cast<size_t>(pitch) * *height, 0);
    mask.assign(static_cast<size_t>(*width) * *height, 0);
    const LogPalette256* palette = depth == 8 ? &GetDefaultLogPalette() : nullptr;
    status = file.Read(pixels.data(), *width, *height, depth, pitch, palette, mask.data());
    file.Close();
    return status;
}

// The process's format manager, made once.
inline CImageFormatManager* SharedManager() {
    static CImageFormatManager* manager = [] {
        CImageFormatManager* m = new CImageFormatManager();
        Check(m->Init() == kImageOk);
        return m;
    }();
    return manager;
}

inline int RunImageFuzz(uint32_t formatId, const uint8_t* data, size_t size) {
    if (size > (1u << 20)) return 0;
    CImageFormatManager* manager = SharedManager();
    std::vector<uint8_t> wide, narrow, indices, mask;
    int32_t width = 0, height = 0, own = 0;
    const int32_t status24 = ReadAt(manager, formatId, data, size, 24, wide, mask, &width, &height, &own);
    if (status24 < 0) return 0;
    int32_t w16 = 0, h16 = 0;
    const int32_t status16 = ReadAt(manager, formatId, data, size, 16, narrow, mask, &w16, &h16);
    Check(status16 == status24);
    if (status24 == kImageOk) {
        Check(w16 == width && h16 == height);
        const int32_t pitch24 = (width * 3 + 3) & ~3, pitch16 = (width * 2 + 3) & ~3;
        for (int32_t y = 0; y < height; ++y)
            for (int32_t x = 0; x < width; ++x) {
                const uint8_t* p = &wide[size_t(y) * pitch24 + 3 * x];
                uint32_t expected = (p[0] >> 3) | (p[1] >> 2) << 5 | (p[2] >> 3) << 11;
                // A true-colour pixel that narrows to 0 stays visible (1), as
                // the library's conversions keep it; a palette colour narrows plainly.
                if (own != 8 && expected == 0 && (p[0] | p[1] | p[2]) != 0) expected = 1;
                const uint8_t* q = &narrow[size_t(y) * pitch16 + 2 * x];
                const uint32_t got = q[0] | q[1] << 8;
                // A 15-bit word whose only set bit is the unused top one is
                // black at 24 bits, yet not zero, so it stays visible (1) too.
                Check(got == expected || (own == 15 && expected == 0 && got == 1));
            }
    }
    int32_t w8 = 0, h8 = 0;
    const int32_t status8 = ReadAt(manager, formatId, data, size, 8, indices, mask, &w8, &h8);
    Check(status8 == status24);
    return 0;
}

}  // namespace fuzz
