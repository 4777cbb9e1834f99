// Surface operations driven by the fuzz bytes, as scripts drive them: three
// small memory surfaces (two of one depth, one of another), then a sequence
// of blits, stretches, rotations, moves, callback and filter blits, fills,
// pixels, mirrors, palette operations and clip changes with positions and
// sizes from small to far outside and huge, modes, weights and flags.
//
// Checked after every blit, fill, pixel and mirror step: no byte of the
// destination outside its writable area (clip rectangle within the surface)
// changed, padding included. MoveRect and RotateBlit may write the whole
// surface and are exempt. The sanitizers watch every access.
#include <climits>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <vector>

#include "graphics2d/memory_surface.h"
#include "graphics2d/surface_registry.h"

namespace {

class Bytes {
public:
    Bytes(const uint8_t* data, size_t size) : data_(data), size_(size) {}
    bool Empty() const { return pos_ >= size_; }
    uint8_t Byte() { return pos_ < size_ ? data_[pos_++] : 0; }
    uint32_t Word() { return Byte() | Byte() << 8 | Byte() << 16 | uint32_t(Byte()) << 24; }
    // Mostly around the surfaces, sometimes far outside or huge.
    int32_t Coord() {
        const uint8_t b = Byte();
        switch (b >> 5) {
            case 7: {
                static const int32_t kFar[] = {INT32_MIN, INT32_MAX, -1000000, 1000000, -1, 1 << 16, INT32_MIN + 1,
                                               INT32_MAX - 1};
                return kFar[b & 7];
            }
            default: return static_cast<int32_t>(b & 63) - 16;
        }
    }

private:
    const uint8_t* data_;
    size_t size_;
    size_t pos_ = 0;
};

const int kDepths[5] = {8, 15, 16, 24, 32};

CSurfaceImpl* MakeSurface(int depth, int32_t w, int32_t h, Bytes& in) {
    const CSurface* holder = nullptr;
    SelectPixelFormat(&holder, depth, kPlaceMemory, 0);
    CSurfaceImpl* s = holder->GetImpl()->MakeInstance(w, h);
    if (!s) std::abort();
    for (int32_t y = 0; y < h; ++y)
        for (int32_t x = 0; x < w * s->bytesPerPixel; ++x) PixelAddress(s, 0, y)[x] = in.Byte();
    return s;
}

// All bytes of every row, padding included.
std::vector<uint8_t> Snapshot(const CSurfaceImpl* s) {
    std::vector<uint8_t> bytes;
    for (int32_t y = 0; y < s->height; ++y) {
        const uint8_t* row = s->rowBase + static_cast<ptrdiff_t>(y) * s->rowStep;
        bytes.insert(bytes.end(), row, row + s->pitch);
    }
    return bytes;
}

// Every byte outside the writable area as it was. Byte-addressed writers
// (SetPixelIndex, FillRectRaw) treat the clip's columns as byte columns.
void CheckOutside(const CSurfaceImpl* s, const std::vector<uint8_t>& before, bool byteAddressed) {
    const int32_t left = s->clipLeft > 0 ? s->clipLeft : 0, top = s->clipTop > 0 ? s->clipTop : 0;
    const int32_t right = s->clipRight < s->width ? s->clipRight : s->width;
    const int32_t bottom = s->clipBottom < s->height ? s->clipBottom : s->height;
    const std::vector<uint8_t> after = Snapshot(s);
    for (int32_t y = 0; y < s->height; ++y)
        for (int32_t i = 0; i < s->pitch; ++i) {
            const int32_t column = byteAddressed ? i : i / s->bytesPerPixel;
            const bool writable = y >= top && y < bottom && column >= left && column < right &&
                                  i < s->width * s->bytesPerPixel;
            const size_t k = static_cast<size_t>(y) * s->pitch + i;
            if (!writable && after[k] != before[k]) std::abort();
        }
}

uint32_t TW_PIXEL_CALLBACK Mix(uint32_t d, uint32_t s, uint32_t user) { return (d ^ s) + user; }
uint32_t TW_PIXEL_CALLBACK Spread(const uint32_t* colours, const uint32_t* sources, uint32_t user) {
    return colours[0] ^ sources[0] ^ user;
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    RegisterSurfaceClient();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    Bytes in(data, size);
    const int depth = kDepths[in.Byte() % 5];
    const int otherDepth = kDepths[in.Byte() % 5];
    std::unique_ptr<CSurfaceImpl> surfaces[3];
    for (int i = 0; i < 3; ++i) {
        const int32_t w = 1 + in.Byte() % 24, h = 1 + in.Byte() % 24;
        surfaces[i].reset(MakeSurface(i == 2 ? otherDepth : depth, w, h, in));
    }
    for (int step = 0; step < 48 && !in.Empty(); ++step) {
        const uint8_t op = in.Byte();
        CSurfaceImpl* s = surfaces[op % 3].get();
        CSurfaceImpl* d = surfaces[(op >> 2) % 3].get();
        const std::vector<uint8_t> before = Snapshot(d);
        bool checked = true, byteAddressed = false;
        switch ((op >> 4) % 14) {
            case 0:
            case 1: {
                const int32_t dx = in.Coord(), dy = in.Coord(), sx = in.Coord(), sy = in.Coord();
                const int32_t w = in.Coord(), h = in.Coord();
                const uint8_t flags = in.Byte();
                const uint32_t parameter = in.Word();
                s->Blit(d, dx, dy, sx, sy, w, h, flags & 1 ? ((flags & 2) ? 2 : 1) : 0, (flags >> 2) % 10, parameter,
                        (flags >> 6) & 1);
                break;
            }
            case 2: {
                const int32_t dx = in.Coord(), dy = in.Coord(), dw = in.Coord(), dh = in.Coord();
                const int32_t sx = in.Coord(), sy = in.Coord(), sw = in.Coord(), sh = in.Coord();
                const uint8_t flags = in.Byte();
                s->StretchBlit(d, dx, dy, dw, dh, sx, sy, sw, sh, flags & 1, (flags >> 1) % 10, in.Word());
                break;
            }
            case 3: {
                const int32_t angle = static_cast<int16_t>(in.Byte() | in.Byte() << 8);
                s->RotateBlit(d, angle, in.Byte() & 1, in.Word());
                checked = false;
                break;
            }
            case 4: {
                const int32_t dx = in.Coord(), dy = in.Coord(), sx = in.Coord(), sy = in.Coord();
                d->MoveRect(dx, dy, sx, sy, in.Coord(), in.Coord());
                checked = false;
                break;
            }
            case 5: {
                const int32_t dx = in.Coord(), dy = in.Coord(), sx = in.Coord(), sy = in.Coord();
                const int32_t w = in.Coord(), h = in.Coord();
                s->BlitCallback(d, dx, dy, sx, sy, w, h, in.Byte() % 3, Mix, in.Word());
                break;
            }
            case 6: {
                const int32_t dx = in.Coord(), dy = in.Coord(), sx = in.Coord(), sy = in.Coord();
                const int32_t w = in.Coord(), h = in.Coord();
                const uint8_t k = in.Byte(), m = in.Byte();
                s->BlitFilter(d, dx, dy, sx, sy, w, h, k % 5, (k >> 3) % 5, (m & 7) - 2, ((m >> 3) & 7) - 2,
                              (k >> 6) - 1, (m >> 6) - 1, Spread, in.Word());
                break;
            }
            case 7: {
                const int32_t x = in.Coord(), y = in.Coord(), w = in.Coord(), h = in.Coord();
                const uint32_t value = in.Word();
                if (value & 0x80000000u) {
                    d->FillRectRaw(x, y, w, h, value);
                    byteAddressed = true;
                } else {
                    d->FillRect(x, y, w, h, value);
                }
                break;
            }
            case 8: {
                const int32_t x = in.Coord(), y = in.Coord();
                const uint32_t value = in.Word();
                uint32_t colour;
                uint8_t index;
                d->GetPixel(x, y, &colour);
                d->GetPixelIndex(x, y, &index);
                if (value & 0x80000000u) {
                    d->SetPixelIndex(x, y, static_cast<uint8_t>(value));
                    byteAddressed = true;
                } else {
                    d->SetPixel(x, y, value);
                }
                break;
            }
            case 9: {
                const int32_t x = in.Coord(), y = in.Coord(), w = in.Coord(), h = in.Coord();
                if (in.Byte() & 1) d->ReverseX(x, y, w, h);
                else d->ReverseY(x, y, w, h);
                break;
            }
            case 10: {
                const int32_t x = in.Coord(), y = in.Coord(), w = in.Coord(), h = in.Coord();
                if (in.Byte() & 1) d->SetClipRect(x, y, w, h);
                else d->ResetClipRect();
                checked = false;
                break;
            }
            case 11: {
                d->ReplaceColor(in.Word(), in.Word());
                CRect r;
                d->GetContentRect(&r);
                d->IsBlank();
                break;
            }
            case 12: {
                LogPalette256 palette{};
                palette.version = 0x300;
                palette.count = static_cast<uint16_t>(1 + in.Byte());
                for (int i = 0; i < palette.count; ++i) {
                    const uint32_t c = in.Word();
                    std::memcpy(&palette.entries[i], &c, 4);
                }
                const uint8_t how = in.Byte();
                if (how & 1) d->SetPaletteEntries(&palette, (how >> 1) & 1);
                else if (how & 2) d->CopyPaletteFrom(s, (how >> 2) & 1);
                else d->SetPalette(nullptr, 0);
                PaletteEntry entries[8];
                d->GetPaletteEntries(entries, in.Coord(), in.Byte() % 9);
                d->GetNearestIndex(in.Word());
                d->GetPaletteColor(in.Coord());
                checked = false;  // a remap rewrites every index
                break;
            }
            default: {
                uint8_t map[256];
                for (uint8_t& m : map) m = in.Byte();
                d->ApplyColorMap(map);
                PixelsOverlap(s, d, in.Coord(), in.Coord(), in.Coord(), in.Coord(), in.Coord(), in.Coord());
                checked = false;
                break;
            }
        }
        if (checked) CheckOutside(d, before, byteAddressed);
    }
    return 0;
}
