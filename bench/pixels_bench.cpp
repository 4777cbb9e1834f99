// Pixel routine benchmark: the routine tables and row engines against memcpy
// or memset over the same bytes and against pixman doing the nearest
// equivalent, at 640 x 480 and 1024 x 768, one process. Prints milliseconds
// per megapixel (best of several runs) and the two ratios (ours / theirs).
//
// pixman equivalents (pixman_image_composite32): SRC for fill and copy, OVER
// with a solid 50 % mask for the mode-1 blend, SRC between formats for the
// conversions, SRC with a NEAREST scale transform for the stretch. Rows without
// a pixman equivalent (8-bit blends, transparent copy, mirror, 32 -> 8) show "-".
#include <pixman.h>

#include <algorithm>
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <functional>
#include <random>
#include <vector>

#include "bench_timing.h"
#include "graphics2d/pixel_format.h"
#include "graphics2d/row_routines.h"

namespace {

const int kDepths[5] = {8, 15, 16, 24, 32};
const pixman_format_code_t kPixman[5] = {PIXMAN_a8, PIXMAN_x1r5g5b5, PIXMAN_r5g6b5, PIXMAN_r8g8b8, PIXMAN_x8r8g8b8};

struct Buffer {
    std::vector<uint8_t> bytes;
    PixelDescriptor d{};
    pixman_image_t* image = nullptr;

    Buffer(int format, int width, int height, CSharedPalette* palette, pixman_format_code_t pixmanFormat,
           std::mt19937& rng, bool halfZero = false) {
        const int bpp = (kDepths[format] + 7) / 8;
        const int pitch = (width * bpp + 3) / 4 * 4;
        bytes.resize(static_cast<size_t>(pitch) * height);
        for (uint8_t& b : bytes) b = static_cast<uint8_t>(rng());
        InitPixelDescriptor(&d, kDepths[format], width, height, bytes.data(), pitch, false, palette);
        if (halfZero)
            for (int y = 0; y < height; ++y)
                for (int x = 0; x < width; ++x)
                    if (rng() & 1) std::memset(PixelAddress(&d, x, y), 0, bpp);
        image = pixman_image_create_bits(pixmanFormat, width, height, reinterpret_cast<uint32_t*>(bytes.data()),
                                         pitch);
    }
    ~Buffer() { pixman_image_unref(image); }
    Buffer(const Buffer&) = delete;
    Buffer& operator=(const Buffer&) = delete;
    size_t Bytes() const { return bytes.size(); }
};

double Time(const std::function<void()>& f) { return bench::BestMillisecondsPerCall(f); }

void Row(const char* what, int depth, int width, int height, double ours, const char* baseName, double base,
         double pixman) {
    const double mp = width * height / 1e6;
    std::printf("%-22s %5d  %4dx%-4d %9.3f   %-7s %8.3f %6.2fx", what, depth, width, height, ours / mp, baseName,
                base / mp, ours / base);
    if (pixman > 0)
        std::printf("   %8.3f %6.2fx\n", pixman / mp, ours / pixman);
    else
        std::printf("   %8s %7s\n", "-", "-");
}

void Composite(pixman_op_t op, pixman_image_t* src, pixman_image_t* mask, pixman_image_t* dst, int w, int h) {
    pixman_image_composite32(op, src, mask, dst, 0, 0, 0, 0, 0, 0, w, h);
}

}  // namespace

int main() {
    std::mt19937 rng(1);
    CSharedPalette* palette = GetDefaultSharedPalette();
    pixman_color_t grey = {0x8000, 0x4000, 0xC000, 0xFFFF};
    pixman_color_t half = {0, 0, 0, 0x8000};
    pixman_image_t* solid = pixman_image_create_solid_fill(&grey);
    pixman_image_t* halfMask = pixman_image_create_solid_fill(&half);
    volatile uint8_t sink = 0;

    std::printf("%-22s %5s  %-9s %9s   %-7s %8s %7s   %8s %7s\n", "operation", "depth", "size", "ms/MP", "base",
                "ms/MP", "ratio", "pixman", "ratio");
    for (int size = 0; size < 2; ++size) {
        const int w = size ? 1024 : 640, h = size ? 768 : 480;
        for (int f = 0; f < 5; ++f) {
            const int depth = kDepths[f];
            Buffer dst(f, w, h, palette, kPixman[f], rng), src(f, w, h, palette, kPixman[f], rng);
            Buffer holes(f, w, h, palette, kPixman[f], rng, true);
            const PixelRoutineTable& t = GetPixelRoutines(f);
            const size_t n = dst.Bytes();
            std::vector<uint8_t> a(n), b(n, 1);
            const double memsetTime = Time([&] { std::memset(a.data(), 0x5A, n); sink = sink + a[n / 2]; });
            const double memcpyTime = Time([&] { std::memcpy(a.data(), b.data(), n); sink = sink + a[n / 3]; });

            Row("fill", depth, w, h, Time([&] { t.fill(&dst.d, 0, 0, dst.d.rowStep, w, h, 0x406080); }), "memset",
                memsetTime, Time([&] { Composite(PIXMAN_OP_SRC, solid, nullptr, dst.image, w, h); }));
            Row("copy", depth, w, h, Time([&] { t.copy(&dst.d, 0, 0, &src.d, 0, 0, w, h); }), "memcpy", memcpyTime,
                Time([&] { Composite(PIXMAN_OP_SRC, src.image, nullptr, dst.image, w, h); }));
            Row("transparent copy", depth, w, h, Time([&] { t.copyTransparent(&dst.d, 0, 0, &holes.d, 0, 0, w, h); }),
                "memcpy", memcpyTime, 0);
            Row("mode-1 blend a=64", depth, w, h,
                Time([&] { t.copyMode(&dst.d, 0, 0, &src.d, 0, 0, w, h, 1, 64); }), "memcpy", memcpyTime,
                f == 0 ? 0 : Time([&] { Composite(PIXMAN_OP_OVER, src.image, halfMask, dst.image, w, h); }));
            Row("mirror", depth, w, h, Time([&] { t.mirrorRows(&dst.d, 0, 0, dst.d.rowStep, w, h); }), "memcpy",
                memcpyTime, 0);
            // 2x: a quarter-size source stretched over the whole destination.
            Buffer small(f, w / 2, h / 2, palette, kPixman[f], rng);
            pixman_transform_t scale;
            pixman_transform_init_scale(&scale, pixman_double_to_fixed(0.5), pixman_double_to_fixed(0.5));
            pixman_image_set_transform(small.image, &scale);
            pixman_image_set_filter(small.image, PIXMAN_FILTER_NEAREST, nullptr, 0);
            Row("stretch 2x", depth, w, h,
                Time([&] { StretchRows(&dst.d, 0, 0, &small.d, 0, 0, w, h, w / 2, h / 2); }), "memcpy", memcpyTime,
                Time([&] { Composite(PIXMAN_OP_SRC, small.image, nullptr, dst.image, w, h); }));
        }
        // Conversions (memcpy over the destination's bytes).
        struct Conversion {
            const char* what;
            int from, to;
            pixman_format_code_t pixmanFrom, pixmanTo;
            bool withPixman;
        };
        const Conversion conversions[] = {
            {"convert 24->16", 3, 2, PIXMAN_r8g8b8, PIXMAN_r5g6b5, true},
            {"convert 32->16", 4, 2, PIXMAN_x8r8g8b8, PIXMAN_r5g6b5, true},
            {"convert 16->32", 2, 4, PIXMAN_r5g6b5, PIXMAN_x8r8g8b8, true},
            {"convert 32->24", 4, 3, PIXMAN_a8r8g8b8, PIXMAN_r8g8b8, true},
            {"convert 32->8", 4, 0, PIXMAN_x8r8g8b8, PIXMAN_a8, false},
        };
        for (const Conversion& c : conversions) {
            Buffer src(c.from, w, h, palette, c.pixmanFrom, rng), dst(c.to, w, h, palette, c.pixmanTo, rng);
            const size_t n = dst.Bytes();
            std::vector<uint8_t> a(n), b(n, 1);
            const double memcpyTime = Time([&] { std::memcpy(a.data(), b.data(), n); sink = sink + a[n / 3]; });
            Row(c.what, kDepths[c.to], w, h,
                Time([&] {
                    src.d.routines->convertFrom(&dst.d, 0, 0, w * dst.d.bytesPerPixel, &src.d, 0, 0, w, h);
                }),
                "memcpy", memcpyTime,
                c.withPixman ? Time([&] { Composite(PIXMAN_OP_SRC, src.image, nullptr, dst.image, w, h); }) : 0);
        }
    }
    pixman_image_unref(solid);
    pixman_image_unref(halfMask);
    CSharedPalette::Release(palette);
    return sink == 0xFF ? 0 : 0;  // reads the sink: keeps the memcpy/memset results alive
}
