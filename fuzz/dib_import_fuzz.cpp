// Packed DIBs from the fuzz bytes imported into 8- and 24-bit memory
// surfaces. Byte 0 picks the flags and the target depth; bit 7 keeps the
// header's size small so that most inputs reach the pixels. The rest is the
// DIB, bounded by the input's length. Checked: an accepted DIB gives a
// surface of its size, and a 24-bit surface exports and imports again to the
// same pixels.
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "graphics2d/memory_surface.h"
#include "graphics2d/surface_registry.h"

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    RegisterSurfaceClient();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size < 1) return 0;
    const uint8_t control = data[0];
    std::vector<uint8_t> dib(data + 1, data + size);
    if ((control & 0x80) && dib.size() >= 40) {
        BitmapInfoHeader h;
        std::memcpy(&h, dib.data(), sizeof h);
        h.biWidth = 1 + (h.biWidth & 63);
        h.biHeight = (h.biHeight & 64) ? -(1 + (h.biHeight & 63)) : 1 + (h.biHeight & 63);
        h.biClrUsed &= 0x1FF;
        std::memcpy(dib.data(), &h, sizeof h);
    }
    const int depth = (control & 2) ? 24 : 8;
    const CSurface* holder = nullptr;
    SelectPixelFormat(&holder, depth, kPlaceMemory, 0);
    CSurface surface;
    if (!surface.Create(3, 3, holder)) std::abort();
    const uint32_t flags = control & 5;
    const BitmapInfoHeader* header = dib.empty() ? nullptr : reinterpret_cast<const BitmapInfoHeader*>(dib.data());
    if (!surface.CreateFromBitmapInfo(header, nullptr, flags, static_cast<int64_t>(dib.size()))) {
        if (surface.GetStatus() == 0) std::abort();
        return 0;
    }
    BitmapInfoHeader h;
    std::memcpy(&h, dib.data(), sizeof h);
    if (surface.GetWidth() != h.biWidth || surface.GetHeight() != (h.biHeight < 0 ? -h.biHeight : h.biHeight))
        std::abort();
    if (depth == 24) {
        std::vector<uint8_t> out(static_cast<size_t>(surface.GetImageSize()));
        BitmapInfoHeader* o = reinterpret_cast<BitmapInfoHeader*>(out.data());
        if (!surface.GetBitmapInfo(o, nullptr, 0)) std::abort();
        CSurface again;
        if (!again.Create(1, 1, holder)) std::abort();
        if (!again.CreateFromBitmapInfo(o, nullptr, 0, static_cast<int64_t>(out.size()))) std::abort();
        for (int y = 0; y < surface.GetHeight(); ++y)
            for (int x = 0; x < surface.GetWidth(); ++x) {
                uint32_t a = 1, b = 2;
                surface.PixelAt(x, y, &a);
                again.PixelAt(x, y, &b);
                if (a != b) std::abort();
            }
    }
    return 0;
}
