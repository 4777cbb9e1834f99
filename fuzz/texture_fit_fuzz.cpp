// SetPixels and FitToDevice over image geometry taken from the fuzz bytes:
// width, height, pitch, depth, a mask switch and device limits. The pixel
// buffer is exactly pitch x height bytes (the mask width x height), so any
// read past a row or the image is caught; the stored image must be a power
// of two within the bound, with a pitch that holds its rows.
#include "engine3d/texture.h"

#include <cstdint>
#include <cstdlib>
#include <cstring>

namespace {

struct Limits : LDeviceImage {
    int32_t v[4];
    void GetLimits(int32_t* a, int32_t* b, int32_t* c, int32_t* d) const override {
        *a = v[0], *b = v[1], *c = v[2], *d = v[3];
    }
    int32_t GetBitsPerPixel() const override { return 0; }
};

int32_t Take(const uint8_t*& data, size_t& size, int32_t range) {
    uint32_t v = 0;
    for (int i = 0; i < 2 && size; ++i, ++data, --size) v = v << 8 | *data;
    return int32_t(v % uint32_t(range));
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static const int32_t kDepths[] = {8, 15, 16, 24, 32, 0, 12};
    const int32_t width = Take(data, size, 1200) - 10;
    const int32_t height = Take(data, size, 1200) - 10;
    const int32_t depth = kDepths[Take(data, size, 7)];
    const int32_t bytes = BytesPerPixel(depth) ? BytesPerPixel(depth) : 1;
    const int32_t pitch = width * bytes + Take(data, size, 16) - 4;
    const bool withMask = Take(data, size, 2) == 1;
    Limits limits;
    for (int32_t& v : limits.v) v = Take(data, size, 4096) - 8;
    const bool withDevice = Take(data, size, 2) == 1;
    if (pitch <= 0 || height <= 0 || int64_t(pitch) * height > (int64_t(8) << 20)) return 0;
    uint8_t* pixels = static_cast<uint8_t*>(std::malloc(size_t(pitch) * size_t(height)));
    uint8_t* mask = withMask && width > 0 ? static_cast<uint8_t*>(std::malloc(size_t(width) * size_t(height))) : nullptr;
    for (int64_t i = 0; i < int64_t(pitch) * height; ++i) pixels[i] = uint8_t(i * 31 + (size ? data[i % size] : 0));
    if (mask) std::memset(mask, 0x5A, size_t(width) * size_t(height));
    LTexture texture(nullptr, "fuzz", nullptr);
    if (texture.SetPixels(pixels, pitch, mask, width, width, height, 1, depth, nullptr) == 0) {
        if (withDevice) texture.FitToDevice(&limits);
        const int32_t w = texture.GetWidth(), h = texture.GetHeight();
        if (w < 2 || h < 2 || (w & (w - 1)) || (h & (h - 1))) std::abort();
        if (int64_t(texture.GetPitch()) < int64_t(w) * BytesPerPixel(depth)) std::abort();
        if (int64_t(texture.GetPitch()) * h > LTexture::kMaxBufferBytes) std::abort();
        // Every stored byte is readable.
        uint32_t sum = 0;
        for (int64_t i = 0; i < int64_t(texture.GetPitch()) * h; ++i) sum += texture.GetPixels()[i];
        if (texture.GetMask())
            for (int64_t i = 0; i < int64_t(w) * h; ++i) sum += texture.GetMask()[i];
        (void)sum;
    }
    return 0;
}
