#pragma once
// Loads and stores of one pixel of B bytes (1 to 4), and the per-format
// widening of pixels into 8-bit channels in pixel order (blue in the low
// byte, then green and red; short channels shifted up with low bits 0) and
// narrowing back. Used by the routine tables and the row engines.
#include <cstdint>
#include <cstring>

template <int B>
inline uint32_t LoadPixel(const uint8_t* p) {
    if constexpr (B == 1) {
        return *p;
    } else if constexpr (B == 2) {
        uint16_t v;
        std::memcpy(&v, p, 2);
        return v;
    } else if constexpr (B == 3) {
        return p[0] | static_cast<uint32_t>(p[1]) << 8 | static_cast<uint32_t>(p[2]) << 16;
    } else {
        uint32_t v;
        std::memcpy(&v, p, 4);
        return v;
    }
}

template <int B>
inline void StorePixel(uint8_t* p, uint32_t v) {
    if constexpr (B == 1) {
        *p = static_cast<uint8_t>(v);
    } else if constexpr (B == 2) {
        const uint16_t w = static_cast<uint16_t>(v);
        std::memcpy(p, &w, 2);
    } else if constexpr (B == 3) {
        p[0] = static_cast<uint8_t>(v);
        p[1] = static_cast<uint8_t>(v >> 8);
        p[2] = static_cast<uint8_t>(v >> 16);
    } else {
        std::memcpy(p, &v, 4);
    }
}

// Bytes per pixel of a format given by its depth (8, 15, 16, 24, 32).
template <int F>
constexpr int kBytesOf = F == 8 ? 1 : F <= 16 ? 2 : F == 24 ? 3 : 4;

// Exchanges the first and third bytes: library colour <-> pixel order.
inline uint32_t SwapRedBlue(uint32_t c) { return (c & 0xFF) << 16 | (c & 0xFF00) | ((c >> 16) & 0xFF); }

// Pixel (15, 16, 24, 32 bits) -> 8-bit channels in pixel order.
template <int F>
inline uint32_t Widen(uint32_t p) {
    if constexpr (F == 15)
        return (p & 0x7C00) << 9 | (p & 0x03E0) << 6 | (p & 0x001F) << 3;
    else if constexpr (F == 16)
        return (p & 0xF800) << 8 | (p & 0x07E0) << 5 | (p & 0x001F) << 3;
    else
        return p & 0xFFFFFF;
}

// 8-bit channels in pixel order -> pixel (15, 16, 24, 32 bits; fourth byte 0).
template <int F>
inline uint32_t Narrow(uint32_t c) {
    if constexpr (F == 15)
        return (c >> 9 & 0x7C00) | (c >> 6 & 0x03E0) | (c >> 3 & 0x001F);
    else if constexpr (F == 16)
        return (c >> 8 & 0xF800) | (c >> 5 & 0x07E0) | (c >> 3 & 0x001F);
    else
        return c & 0xFFFFFF;
}
