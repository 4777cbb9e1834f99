// Surface blit benchmark: the shared bodies (Blit, the conversion blit,
// StretchBlit, RotateBlit) on memory surfaces at 640 x 480 and 1024 x 768 per
// depth, beside memcpy of the destination's bytes and pixman doing the
// nearest equivalent over the same pixel memory. Prints milliseconds per
// megapixel of destination (best of several runs) and both ratios (ours /
// theirs). Without pixman (the Windows build) only the memcpy column is
// printed.
//
// pixman equivalents (pixman_image_composite32): SRC for the copy and the
// conversion, OVER from a 32-bit source with alpha 0 where ours has pixel 0
// for the transparent blit, OVER with a solid 50 % mask for mode 1, SRC with
// a scale transform (NEAREST) for the stretches and a rotation transform
// (NEAREST or BILINEAR) for the rotations. Rows without an equivalent (8-bit
// blends, 32 -> 8) show "-".
#ifdef TW_WITH_PIXMAN
#include <pixman.h>
#endif

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <functional>
#include <memory>
#include <random>
#include <vector>

#include "bench_timing.h"
#include "graphics2d/memory_surface.h"
#include "graphics2d/surface_registry.h"

namespace {

const int kDepths[5] = {8, 15, 16, 24, 32};

CSurfaceImpl* MakeSurface(int depth, int32_t w, int32_t h, std::mt19937& rng, bool holes = false) {
    const CSurface* holder = nullptr;
    SelectPixelFormat(&holder, depth, kPlaceMemory, 0);
    CSurfaceImpl* s = holder->GetImpl()->MakeInstance(w, h);
    for (int32_t y = 0; y < h; ++y) {
        uint8_t* row = PixelAddress(s, 0, y);
        for (int32_t i = 0; i < w * s->bytesPerPixel; ++i) row[i] = static_cast<uint8_t>(rng());
        if (holes)
            for (int32_t x = 0; x < w; ++x)
                if (rng() & 1) std::memset(row + x * s->bytesPerPixel, 0, static_cast<size_t>(s->bytesPerPixel));
    }
    return s;
}

double Time(const std::function<void()>& f) { return bench::BestMillisecondsPerCall(f, 5); }

void Row(const char* what, int depth, int width, int height, double ours, double memcpyTime, double pixman) {
    const double mp = width * height / 1e6;
    std::printf("%-22s %5d  %4dx%-4d %9.3f   %8.3f %6.2fx", what, depth, width, height, ours / mp,
                memcpyTime / mp, ours / memcpyTime);
    if (pixman > 0)
        std::printf("   %8.3f %6.2fx\n", pixman / mp, ours / pixman);
    else
        std::printf("   %8s %7s\n", "-", "-");
}

#ifdef TW_WITH_PIXMAN
const pixman_format_code_t kPixman[5] = {PIXMAN_a8, PIXMAN_x1r5g5b5, PIXMAN_r5g6b5, PIXMAN_r8g8b8, PIXMAN_x8r8g8b8};

struct PixmanImage {
    pixman_image_t* image = nullptr;
    PixmanImage(CSurfaceImpl* s, pixman_format_code_t format)
        : image(pixman_image_create_bits(format, s->width, s->height, reinterpret_cast<uint32_t*>(s->rowBase),
                                         s->pitch)) {}
    ~PixmanImage() { pixman_image_unref(image); }
    PixmanImage(const PixmanImage&) = delete;
    PixmanImage& operator=(const PixmanImage&) = delete;
};

double PixmanTime(pixman_op_t op, pixman_image_t* src, pixman_image_t* mask, pixman_image_t* dst, int w, int h) {
    return Time([&] { pixman_image_composite32(op, src, mask, dst, 0, 0, 0, 0, 0, 0, w, h); });
}

// A transform that maps destination pixels back into the source: rotation by
// the angle about the centres (the same mapping as RotateBlit), or a scale.
void SetRotation(pixman_image_t* src, double degrees, int sw, int sh, int dw, int dh, pixman_filter_t filter) {
    const double a = degrees * 0.01745329251993889, c = std::cos(a), s = std::sin(a);
    pixman_transform_t t;
    // source = R * (dest - dest centre) + source centre, with R = [c -s; s c].
    const double tx = sw / 2.0 - (c * dw / 2.0 - s * dh / 2.0), ty = sh / 2.0 - (s * dw / 2.0 + c * dh / 2.0);
    pixman_transform_init_identity(&t);
    t.matrix[0][0] = pixman_double_to_fixed(c);
    t.matrix[0][1] = pixman_double_to_fixed(-s);
    t.matrix[0][2] = pixman_double_to_fixed(tx);
    t.matrix[1][0] = pixman_double_to_fixed(s);
    t.matrix[1][1] = pixman_double_to_fixed(c);
    t.matrix[1][2] = pixman_double_to_fixed(ty);
    pixman_image_set_transform(src, &t);
    pixman_image_set_filter(src, filter, nullptr, 0);
    pixman_image_set_repeat(src, PIXMAN_REPEAT_NONE);
}
#endif

}  // namespace

int main() {
    RegisterSurfaceClient();
    std::mt19937 rng(1);
    volatile uint8_t sink = 0;
#ifdef TW_WITH_PIXMAN
    pixman_color_t half = {0, 0, 0, 0x8000};
    pixman_image_t* halfMask = pixman_image_create_solid_fill(&half);
#endif
    std::printf("%-22s %5s  %-9s %9s   %8s %7s   %8s %7s\n", "operation", "depth", "size", "ms/MP", "memcpy", "ratio",
                "pixman", "ratio");
    for (int size = 0; size < 2; ++size) {
        const int w = size ? 1024 : 640, h = size ? 768 : 480;
        for (int f = 0; f < 5; ++f) {
            const int depth = kDepths[f];
            std::unique_ptr<CSurfaceImpl> dst(MakeSurface(depth, w, h, rng)), src(MakeSurface(depth, w, h, rng));
            std::unique_ptr<CSurfaceImpl> holes(MakeSurface(depth, w, h, rng, true));
            std::unique_ptr<CSurfaceImpl> small(MakeSurface(depth, w / 2, h / 2, rng));
            std::unique_ptr<CSurfaceImpl> large(MakeSurface(depth, w * 10 / 7, h * 10 / 7, rng));
            const size_t n = static_cast<size_t>(dst->pitch) * h;
            std::vector<uint8_t> a(n), b(n, 1);
            const double memcpyTime = Time([&] { std::memcpy(a.data(), b.data(), n); sink = sink + a[n / 3]; });
            double pCopy = 0, pTransparent = 0, pBlend = 0, pStretch2 = 0, pStretch07 = 0, pNearest = 0, pBilinear = 0;
#ifdef TW_WITH_PIXMAN
            {
                PixmanImage pd(dst.get(), kPixman[f]), ps(src.get(), kPixman[f]);
                pCopy = PixmanTime(PIXMAN_OP_SRC, ps.image, nullptr, pd.image, w, h);
                if (f > 0) {
                    // 32-bit source with alpha 0 at the holes, for OVER.
                    std::unique_ptr<CSurfaceImpl> alpha(MakeSurface(32, w, h, rng, true));
                    for (int32_t y = 0; y < h; ++y)
                        for (int32_t x = 0; x < w; ++x) {
                            uint8_t* p = PixelAddress(alpha.get(), x, y);
                            p[3] = (p[0] | p[1] | p[2]) ? 0xFF : 0;
                        }
                    PixmanImage pa(alpha.get(), PIXMAN_a8r8g8b8);
                    pTransparent = PixmanTime(PIXMAN_OP_OVER, pa.image, nullptr, pd.image, w, h);
                    pBlend = PixmanTime(PIXMAN_OP_OVER, ps.image, halfMask, pd.image, w, h);
                }
                PixmanImage psmall(small.get(), kPixman[f]), plarge(large.get(), kPixman[f]);
                pixman_transform_t scale;
                pixman_transform_init_scale(&scale, pixman_double_to_fixed(0.5), pixman_double_to_fixed(0.5));
                pixman_image_set_transform(psmall.image, &scale);
                pixman_image_set_filter(psmall.image, PIXMAN_FILTER_NEAREST, nullptr, 0);
                pStretch2 = PixmanTime(PIXMAN_OP_SRC, psmall.image, nullptr, pd.image, w, h);
                pixman_transform_init_scale(&scale, pixman_double_to_fixed(10.0 / 7), pixman_double_to_fixed(10.0 / 7));
                pixman_image_set_transform(plarge.image, &scale);
                pixman_image_set_filter(plarge.image, PIXMAN_FILTER_NEAREST, nullptr, 0);
                pStretch07 = PixmanTime(PIXMAN_OP_SRC, plarge.image, nullptr, pd.image, w, h);
                SetRotation(ps.image, 30, w, h, w, h, PIXMAN_FILTER_NEAREST);
                pNearest = PixmanTime(PIXMAN_OP_SRC, ps.image, nullptr, pd.image, w, h);
                if (f > 0) {
                    SetRotation(ps.image, 30, w, h, w, h, PIXMAN_FILTER_BILINEAR);
                    pBilinear = PixmanTime(PIXMAN_OP_SRC, ps.image, nullptr, pd.image, w, h);
                }
            }
#endif
            CSurfaceImpl* d = dst.get();
            Row("Blit copy", depth, w, h, Time([&] { src->Blit(d, 0, 0, 0, 0, w, h, 0, 0, 0, 0); }), memcpyTime, pCopy);
            Row("Blit transparent", depth, w, h, Time([&] { holes->Blit(d, 0, 0, 0, 0, w, h, 1, 0, 0, 0); }),
                memcpyTime, pTransparent);
            Row("Blit mode 1 a=64", depth, w, h, Time([&] { src->Blit(d, 0, 0, 0, 0, w, h, 0, 1, 64, 0); }),
                memcpyTime, pBlend);
            Row("StretchBlit 2x", depth, w, h,
                Time([&] { small->StretchBlit(d, 0, 0, w, h, 0, 0, w / 2, h / 2, 0, 0, 0); }), memcpyTime, pStretch2);
            Row("StretchBlit 0.7x", depth, w, h,
                Time([&] { large->StretchBlit(d, 0, 0, w, h, 0, 0, large->width, large->height, 0, 0, 0); }),
                memcpyTime, pStretch07);
            Row("RotateBlit 30 nearest", depth, w, h, Time([&] { src->RotateBlit(d, 30, 0, 0x808080); }), memcpyTime,
                pNearest);
            Row("RotateBlit 30 bilinear", depth, w, h, Time([&] { src->RotateBlit(d, 30, 1, 0x808080); }), memcpyTime,
                pBilinear);
        }
        // Conversion blits (memcpy over the destination's bytes).
        const struct {
            const char* what;
            int from, to;
        } conversions[] = {{"Blit convert 24->16", 3, 2}, {"Blit convert 32->8", 4, 0}};
        for (const auto& c : conversions) {
            std::unique_ptr<CSurfaceImpl> src(MakeSurface(kDepths[c.from], w, h, rng));
            std::unique_ptr<CSurfaceImpl> dst(MakeSurface(kDepths[c.to], w, h, rng));
            const size_t n = static_cast<size_t>(dst->pitch) * h;
            std::vector<uint8_t> a(n), b(n, 1);
            const double memcpyTime = Time([&] { std::memcpy(a.data(), b.data(), n); sink = sink + a[n / 3]; });
            double pixman = 0;
#ifdef TW_WITH_PIXMAN
            if (c.to != 0) {
                PixmanImage ps(src.get(), kPixman[c.from]), pd(dst.get(), kPixman[c.to]);
                pixman = PixmanTime(PIXMAN_OP_SRC, ps.image, nullptr, pd.image, w, h);
            }
#endif
            CSurfaceImpl* d = dst.get();
            Row(c.what, kDepths[c.to], w, h, Time([&] { src->Blit(d, 0, 0, 0, 0, w, h, 0, 0, 0, 0); }), memcpyTime,
                pixman);
        }
    }
#ifdef TW_WITH_PIXMAN
    pixman_image_unref(halfMask);
#endif
    UnregisterSurfaceClient();
    return sink == 0xFF ? 0 : 0;  // reads the sink: keeps the memcpy results alive
}
