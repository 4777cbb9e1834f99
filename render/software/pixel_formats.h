#pragma once
// The software target's pixel formats, one struct per depth: 32 (bytes blue,
// green, red, fourth), 24 (blue, green, red), 16 (5:6:5 word), 15 (5:5:5
// word), 8 (palette index). Channels are 8-bit values; Put writes three
// channels and leaves a 32-bit pixel's fourth byte, PutWhole writes a flat
// colour as a whole pixel (fourth byte 0).
#include "render/software/span_tables.h"

#include <cstdint>
#include <cstring>

namespace pixel {

struct Rgb {
    int32_t r, g, b;
};

template <int Depth>
struct Format;

template <>
struct Format<32> {
    static constexpr int kBytes = 4;
    static void Put(uint8_t* p, Rgb c) {
        p[0] = uint8_t(c.b);
        p[1] = uint8_t(c.g);
        p[2] = uint8_t(c.r);
    }
    static void PutWhole(uint8_t* p, Rgb c) {
        const uint32_t v = uint32_t(c.r & 0xFF) << 16 | uint32_t(c.g & 0xFF) << 8 | uint32_t(c.b & 0xFF);
        std::memcpy(p, &v, 4);
    }
    static Rgb Get(const uint8_t* p) { return {p[2], p[1], p[0]}; }
};

template <>
struct Format<24> {
    static constexpr int kBytes = 3;
    static void Put(uint8_t* p, Rgb c) { Format<32>::Put(p, c); }
    static void PutWhole(uint8_t* p, Rgb c) { Put(p, c); }
    static Rgb Get(const uint8_t* p) { return {p[2], p[1], p[0]}; }
};

template <>
struct Format<16> {
    static constexpr int kBytes = 2;
    static void Put(uint8_t* p, Rgb c) {
        const uint16_t v = Pack16(c.r, c.g, c.b);
        std::memcpy(p, &v, 2);
    }
    static void PutWhole(uint8_t* p, Rgb c) { Put(p, c); }
    static Rgb Get(const uint8_t* p) {
        uint16_t v;
        std::memcpy(&v, p, 2);
        return {(v >> 8) & 0xF8, (v >> 3) & 0xFC, (v << 3) & 0xFF};
    }
};

template <>
struct Format<15> {
    static constexpr int kBytes = 2;
    static void Put(uint8_t* p, Rgb c) {
        const uint16_t v = Pack15(c.r, c.g, c.b);
        std::memcpy(p, &v, 2);
    }
    static void PutWhole(uint8_t* p, Rgb c) { Put(p, c); }
    static Rgb Get(const uint8_t* p) {
        uint16_t v;
        std::memcpy(&v, p, 2);
        return {(v >> 7) & 0xF8, (v >> 2) & 0xF8, (v << 3) & 0xFF};
    }
};

}  // namespace pixel
