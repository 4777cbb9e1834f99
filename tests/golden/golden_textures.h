#pragma once
// The textures of the golden comparisons, built in code at a target depth
// (texels in the target's pixel form), and their unpacked RGBA copy for GL.
#include "engine3d/texture.h"
#include "golden/mesa_frame.h"
#include "render/software/span_tables.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <functional>
#include <memory>
#include <vector>

// Colours 0x00BBGGRR.
inline uint32_t Checker(int32_t x, int32_t y) { return ((x / 4 + y / 4) & 1) ? 0x00E0E0E0u : 0x00402010u; }
inline uint32_t Smooth(int32_t x, int32_t y) {
    return uint32_t(x * 4) | uint32_t(y * 4) << 8 | uint32_t((255 - 2 * (x + y)) & 0xFF) << 16;
}
// Bricks with a magenta hole (the key).
inline uint32_t Brick(int32_t x, int32_t y) {
    const bool mortar = y % 8 == 0 || (x + (y / 8 % 2) * 8) % 16 == 0;
    const bool hole = (x - 16) * (x - 16) + (y - 16) * (y - 16) < 40;
    return hole ? 0x00FF00FFu : mortar ? 0x00B0B0B0u : 0x001830A0u;
}

enum TextureKind { kChecker16, kSmooth64, kBrick32 };

// A colour 0x00BBGGRR in the pixel form of the depth (32, 24, 16, 15).
inline uint32_t PackedColour(uint32_t c, int32_t depth) {
    const int32_t r = int32_t(c & 0xFF), g = int32_t(c >> 8 & 0xFF), b = int32_t(c >> 16 & 0xFF);
    if (depth == 16) return Pack16(r, g, b);
    if (depth == 15) return Pack15(r, g, b);
    return uint32_t(r) << 16 | uint32_t(g) << 8 | uint32_t(b);
}

// The brick's key is magenta.
inline std::unique_ptr<LTexture> MakeTexture(int kind, int32_t depth) {
    const int32_t size = kind == kChecker16 ? 16 : kind == kSmooth64 ? 64 : 32;
    const std::function<uint32_t(int32_t, int32_t)> colour = kind == kChecker16 ? Checker
                                                             : kind == kSmooth64 ? Smooth
                                                                                 : Brick;
    std::unique_ptr<LTexture> t(new LTexture(nullptr, "t", nullptr));
    EXPECT_EQ(t->BindCamera(nullptr, size, size, depth), 0);
    const int32_t bytes = (depth + 1) / 8;
    for (int32_t y = 0; y < size; ++y)
        for (int32_t x = 0; x < size; ++x) {
            const uint32_t v = PackedColour(colour(x, y), depth);
            std::memcpy(t->GetPixels() + y * t->GetPitch() + x * bytes, &v, size_t(bytes));
        }
    if (kind == kBrick32) t->SetTransparentColor(1, 0x00FF00FF);
    return t;
}

// The texture's texels unpacked to RGBA for GL, alpha 0 on the key when
// `keyed` (the low 24 bits at 32 bits), else 255.
inline std::vector<uint8_t> MesaTexels(const LTexture& texture, int32_t depth, bool keyed) {
    const int32_t w = texture.GetWidth(), h = texture.GetHeight(), bytes = (depth + 1) / 8;
    const uint32_t key = PackedColour(texture.GetTransparentColor(), depth);
    std::vector<uint8_t> rgba(size_t(w) * size_t(h) * 4);
    for (int32_t y = 0; y < h; ++y)
        for (int32_t x = 0; x < w; ++x) {
            int rgb[3];
            const uint8_t* t = texture.GetPixels() + y * texture.GetPitch() + x * bytes;
            UnpackPixel(t, depth, rgb);
            uint32_t raw = 0;
            std::memcpy(&raw, t, size_t(depth == 32 ? 3 : bytes));
            uint8_t* o = &rgba[(size_t(y) * size_t(w) + size_t(x)) * 4];
            o[0] = uint8_t(rgb[0]), o[1] = uint8_t(rgb[1]), o[2] = uint8_t(rgb[2]);
            o[3] = keyed && raw == key ? 0 : 255;
        }
    return rgba;
}
