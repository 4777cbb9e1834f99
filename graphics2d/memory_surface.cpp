// Memory surfaces and the DIB wrapper.
#include "graphics2d/memory_surface.h"

#include <cstdlib>
#include <cstring>
#include <new>

#include "runtime/base/sys_utils.h"
#include "runtime/io/os_file.h"

namespace {

constexpr int64_t kMaxPixelBytes = int64_t(1) << 30;  // 1 GB

}  // namespace

int32_t GetMemoryPitch(int32_t width, int depth) { return GetDIBPitch(width, depth); }

CMemorySurface::~CMemorySurface() {
    FreeAndNull(&lockedBits);
    rowBase = nullptr;
}

bool CMemorySurface::AllocateBuffer(int32_t rowPitch, int32_t rows, uint8_t** buffer, uint8_t** base) {
    if (rowPitch <= 0 || rows <= 0) return false;
    const int64_t bytes = int64_t(rowPitch) * rows + 7;
    if (bytes > kMaxPixelBytes) return false;
    uint8_t* block = nullptr;
    if (!AllocRetry(static_cast<size_t>(bytes), &block)) return false;
    *buffer = block;
    *base = reinterpret_cast<uint8_t*>((reinterpret_cast<uintptr_t>(block) + 7) & ~uintptr_t(7));
    return true;
}

CSurfaceImpl* CMemorySurface::MakeInstance(int32_t w, int32_t h) {
    const int32_t rowPitch = GetMemoryPitch(w, depth);
    uint8_t *buffer, *base;
    if (!AllocateBuffer(rowPitch, h, &buffer, &base)) return nullptr;
    CMemorySurface* instance = NewInstance();
    if (!instance) {
        std::free(buffer);
        return nullptr;
    }
    instance->InitLike(this, w, h, rowPitch);
    instance->lockedBits = buffer;
    instance->rowBase = instance->rowStep < 0 ? base + static_cast<ptrdiff_t>(h - 1) * rowPitch : base;
    return instance;
}

int CMemorySurface::Allocate(int32_t w, int32_t h) {
    const int32_t rowPitch = GetMemoryPitch(w, depth);
    uint8_t *buffer, *base;
    if (!AllocateBuffer(rowPitch, h, &buffer, &base)) return 0;
    pitch = rowStep = rowPitch;
    width = clipRight = w;
    height = clipBottom = h;
    clipLeft = clipTop = 0;
    FreeAndNull(&lockedBits);
    lockedBits = buffer;
    rowBase = base;
    return 1;
}

int CMemorySurface::ReadBits(intptr_t file) {
    if (!rowBase) return 0;
    return ReadFileChecked(file, rowBase, pitch * height) == 0;
}

int CMemorySurface::WriteBits(intptr_t file) {
    if (!rowBase) return 0;
    return WriteFileChecked(file, rowBase, pitch * height) == 0;
}

CDIBMemorySurface::CDIBMemorySurface(const BitmapInfoHeader* info, const void* bits, bool makePalette,
                                     int64_t available) {
    if (!info) return;
    BitmapInfoHeader h;
    if (available >= 0 && available < int64_t(sizeof h)) return;
    std::memcpy(&h, info, sizeof h);
    if (h.biSize < sizeof h || (available >= 0 && int64_t(h.biSize) > available)) return;
    const uint8_t* start = reinterpret_cast<const uint8_t*>(info);
    int64_t offset = h.biSize;  // where the masks' end, the table or the pixels lie
    int d = 0;
    if (h.biCompression == kDibBitFields) {
        if (h.biBitCount != 16 && h.biBitCount != 32) return;
        if (available >= 0 && available < 52) return;
        uint32_t masks[3];
        std::memcpy(masks, start + 40, sizeof masks);
        if (h.biBitCount == 16 && masks[2] == 0x001F && masks[1] == 0x03E0 && masks[0] == 0x7C00) d = 15;
        else if (h.biBitCount == 16 && masks[2] == 0x001F && masks[1] == 0x07E0 && masks[0] == 0xF800) d = 16;
        else if (h.biBitCount == 32 && masks[0] == 0xFF0000 && masks[1] == 0xFF00 && masks[2] == 0xFF) d = 32;
        else return;
        if (h.biSize == 40) offset = 52;  // masks behind a plain header
    } else if (h.biCompression == kDibRgb) {
        if (h.biBitCount == 16) d = 15;
        else if (h.biBitCount == 8 || h.biBitCount == 24 || h.biBitCount == 32) d = h.biBitCount;
        else return;
    } else {
        return;
    }
    if (h.biWidth <= 0 || h.biHeight == 0 || h.biHeight == INT32_MIN) return;
    const int32_t w = h.biWidth;
    const int32_t rows = h.biHeight < 0 ? -h.biHeight : h.biHeight;
    const int64_t rowPitch = ((int64_t(d == 15 ? 16 : d) * w + 31) / 32) * 4;
    if (rowPitch > INT32_MAX / rows) return;  // pitch × height past 31 bits

    CSharedPalette* made = nullptr;
    if (d == 8) {
        const uint32_t tableEntries = h.biClrUsed ? h.biClrUsed : 256;
        if (tableEntries > 256) return;
        if (available >= 0 && offset + 4 * int64_t(tableEntries) > available) return;
        if (makePalette) {
            LogPalette256 data;
            data.version = kPaletteVersion;
            data.count = 256;
            std::memset(data.entries, 0, sizeof data.entries);
            RGBQuadsToPaletteEntries(data.entries, start + offset, static_cast<int>(tableEntries));
            made = AcquireSharedPalette(data);
        }
        offset += 4 * int64_t(tableEntries);
    }
    const uint8_t* pixels = static_cast<const uint8_t*>(bits);
    if (!pixels) {
        if (available >= 0 && offset + rowPitch * rows > available) {
            CSharedPalette::Release(made);
            return;
        }
        pixels = start + offset;
    }
    SetDepth(d);
    width = clipRight = w;
    height = clipBottom = rows;
    pitch = static_cast<int32_t>(rowPitch);
    palette = made;
    lockedBits = const_cast<uint8_t*>(pixels);
    if (h.biHeight > 0) {
        bottomUp = -1;
        rowStep = -pitch;
        rowBase = lockedBits + static_cast<ptrdiff_t>(rows - 1) * pitch;
    } else {
        rowStep = pitch;
        rowBase = lockedBits;
    }
}

CDIBMemorySurface::~CDIBMemorySurface() {
    lockedBits = nullptr;
    rowBase = nullptr;
}
