// The presenter's text line through GDI, into a 32-bit DIB section filled
// with one colour: white glyphs from (0, 0), nothing changed outside the
// text's extent, and over a transparent background some pixels inside the
// extent keep the frame's colour (an opaque background would cover them).
#include "render/software/os_present.h"

#include <gtest/gtest.h>
#include <windows.h>

#include <cstring>
#include <vector>

namespace {

constexpr int kWidth = 240, kHeight = 48;
constexpr uint32_t kFrame = 0x204080;  // B, G, R bytes 0x80, 0x40, 0x20

struct Drawn {
    std::vector<uint32_t> pixels;
    SIZE extent{};
};

Drawn DrawText(int32_t transparent) {
    const char text[] = "88 frames 888";
    BITMAPINFO info = {};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = kWidth;
    info.bmiHeader.biHeight = -kHeight;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    HDC dc = CreateCompatibleDC(nullptr);
    void* bits = nullptr;
    HBITMAP dib = CreateDIBSection(dc, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    HGDIOBJ old = SelectObject(dc, dib);
    Drawn out;
    auto* p = static_cast<uint32_t*>(bits);
    for (int i = 0; i < kWidth * kHeight; ++i) p[i] = kFrame;
    GdiFlush();
    OsPresentText(dc, 0, 0, 0xFFFFFF, transparent, text, int32_t(std::strlen(text)));
    GetTextExtentPoint32A(dc, text, int(std::strlen(text)), &out.extent);
    GdiFlush();
    out.pixels.assign(p, p + kWidth * kHeight);
    SelectObject(dc, old);
    DeleteObject(dib);
    DeleteDC(dc);
    return out;
}

TEST(PresentText, WhiteTransparentAtTheTopLeft) {
    for (const int32_t transparent : {1, 0}) {
        const Drawn d = DrawText(transparent);
        ASSERT_GT(d.extent.cx, 0);
        ASSERT_LT(d.extent.cx, kWidth);
        ASSERT_LT(d.extent.cy, kHeight);
        int white = 0, kept = 0, whiteNearCorner = 0, outside = 0;
        for (int y = 0; y < kHeight; ++y)
            for (int x = 0; x < kWidth; ++x) {
                const uint32_t c = d.pixels[size_t(y * kWidth + x)] & 0xFFFFFF;
                const bool inside = x < d.extent.cx && y < d.extent.cy;
                if (!inside) {
                    outside += c != kFrame;
                    continue;
                }
                white += c == 0xFFFFFF;
                kept += c == kFrame;
                whiteNearCorner += c == 0xFFFFFF && x < 12 && y < d.extent.cy;
            }
        EXPECT_EQ(outside, 0) << transparent;
        EXPECT_GT(white, 20) << transparent;
        EXPECT_GT(whiteNearCorner, 0) << transparent;  // the first glyph starts at x = 0
        if (transparent)
            EXPECT_GT(kept, d.extent.cx * d.extent.cy / 3);
        else
            EXPECT_EQ(kept, 0);  // the opaque background covers the extent
    }
}

}  // namespace
