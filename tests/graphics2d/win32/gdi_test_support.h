#pragma once
// Helpers of the GDI tests: a bitmap read back through GDI, and the bits of
// GDI's 8-bit channels that each depth keeps.
#include <windows.h>

#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

// The pixels of a bitmap as 32-bit top-down rows (0x00RRGGBB).
inline std::vector<uint32_t> ReadBitmap(HBITMAP bitmap, int width, int height) {
    std::vector<uint32_t> pixels(static_cast<size_t>(width) * height);
    BITMAPINFO info = {};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = -height;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    HDC dc = GetDC(nullptr);
    const int rows = GetDIBits(dc, bitmap, 0, static_cast<UINT>(height), pixels.data(), &info, DIB_RGB_COLORS);
    ReleaseDC(nullptr, dc);
    EXPECT_EQ(rows, height);
    for (uint32_t& p : pixels) p &= 0xFFFFFF;
    return pixels;
}

// GDI widens short channels by repeating their high bits, the library with
// low bits 0: the bits both agree on.
inline uint32_t StoredBits(int depth) { return depth == 15 ? 0xF8F8F8u : depth == 16 ? 0xF8FCF8u : 0xFFFFFFu; }
