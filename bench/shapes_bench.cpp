// Shape benchmark, one run, as speed ratios (their time / ours; 1.0 = as
// fast, above 1 faster):
// a filled rectangle without a pen over a 1024 x 768 32-bit memory surface
// against memset of the same rows and against pixman_image_fill_rectangles;
// a flood fill of an open 1024 x 768 area against memset of its bytes.
#include <pixman.h>

#include <cstdio>
#include <cstring>
#include <vector>

#include "bench_timing.h"
#include "graphics2d/memory_surface.h"
#include "graphics2d/surface_registry.h"

int main() {
    RegisterSurfaceClient();
    const int32_t w = 1024, h = 768;
    const CSurface* holder = nullptr;
    SelectPixelFormat(&holder, 32, kPlaceMemory, 0);
    CSurface s;
    if (!s.Create(w, h, holder)) return 1;
    uint8_t* bits = s.Lock();
    const int32_t pitch = s.GetImpl()->pitch;
    s.Unlock();
    uint32_t colour = 0x102030;
    const double ours = bench::BestMillisecondsPerCall([&] {
        s.DrawRectangle(0, 0, w, h, colour, 0, 0, 1);
        colour ^= 0x010101;
    });
    std::vector<uint8_t> rows(static_cast<size_t>(pitch) * h);
    const double memsetRows = bench::BestMillisecondsPerCall([&] {
        for (int32_t y = 0; y < h; ++y) std::memset(rows.data() + static_cast<size_t>(y) * pitch, colour & 0xFF, w * 4);
        colour ^= 0x010101;
    });
    pixman_image_t* image = pixman_image_create_bits(PIXMAN_x8r8g8b8, w, h, reinterpret_cast<uint32_t*>(rows.data()), pitch);
    const pixman_box32_t box = {0, 0, w, h};
    pixman_color_t pc = {0x1000, 0x2000, 0x3000, 0xFFFF};
    const double pixman = bench::BestMillisecondsPerCall([&] {
        pixman_image_fill_boxes(PIXMAN_OP_SRC, image, &pc, 1, &box);
        pc.red ^= 0x100;
    });
    pixman_image_unref(image);
    (void)bits;

    // Flood fill of the whole open surface, alternating two colours.
    uint32_t fill = 0x0000FF;
    const double flood = bench::BestMillisecondsPerCall([&] {
        s.FloodFill(w / 2, h / 2, fill, 0, 0, 0, 0);
        fill ^= 0x00FFFF;
    }, 3);
    std::printf("filled rectangle 1024x768x32: %.3f ms; memset rows %.3f ms (ratio %.2f); pixman fill %.3f ms (ratio %.2f)\n",
                ours, memsetRows, memsetRows / ours, pixman, pixman / ours);
    std::printf("flood fill 1024x768x32: %.3f ms; memset %.3f ms (flood / memset %.1fx)\n", flood, memsetRows,
                flood / memsetRows);
    UnregisterSurfaceClient();
    return 0;
}
