// Sprite benchmark: 200 transparent 64 x 64 sprites moving over a 1024 x 768
// surface at 16 and 32 bits, one full erase-update-save-draw cycle per frame
// (the script surface's refresh with auto-back), against the same work done
// with pixman in the same run: per sprite, restore the background rectangle,
// save the new one, composite the image OVER through a 1-bit mask made from
// its zero pixels. The draw step alone is measured against SDL2's colour-keyed
// SDL_BlitSurface (key 0). Semi-transparent sprites (level 128: half and
// half) are measured twice, each against the pixman operation that does the
// same to the same pixels: transparent ones (the disc blended, its zero
// pixels left alone) against OVER through an a8 mask of 0x80 on the disc and
// 0 elsewhere, opaque ones (the whole square blended) against OVER with a
// constant mask of 0x80. Prints milliseconds per cycle (best of several runs)
// and the ratios (ours / theirs).
#include <pixman.h>
#include <SDL2/SDL.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "app/script_modules.h"
#include "bench_timing.h"
#include "graphics2d/surface_registry.h"
#include "sprites_scene.h"

namespace {

using namespace sprites_scene;

// ---- pixman: the same cycle by hand ----

struct Pixman {
    pixman_format_code_t format;
    int bpp;
    std::vector<uint32_t> pictureBits, backgroundBits, imageBits, maskBits, halfShapeBits;
    pixman_image_t *picture, *background, *image, *mask, *halfShape, *half;
    std::vector<Motion> drawn;

    Pixman(int depth, const std::vector<Motion>& motions) {
        format = depth == 16 ? PIXMAN_r5g6b5 : PIXMAN_x8r8g8b8;
        bpp = depth == 16 ? 2 : 4;
        const int stride = kWidth * bpp;
        pictureBits.assign(kWidth * kHeight * bpp / 4 + 1, 0x40808080u);
        backgroundBits.assign(pictureBits.size(), 0);
        picture = pixman_image_create_bits(format, kWidth, kHeight, pictureBits.data(), stride);
        background = pixman_image_create_bits(format, kWidth, kHeight, backgroundBits.data(), stride);
        imageBits.assign(kSize * kSize * bpp / 4, 0);
        const int maskStride = (kSize + 31) / 32 * 4;
        maskBits.assign(maskStride / 4 * kSize, 0);
        halfShapeBits.assign(kSize * kSize / 4, 0);
        for (int y = 0; y < kSize; ++y)
            for (int x = 0; x < kSize; ++x)
                if (Inside(x, y)) {
                    if (bpp == 4) imageBits[y * kSize + x] = 0xE06020;
                    else reinterpret_cast<uint16_t*>(imageBits.data())[y * kSize + x] = 0xE30C;
                    // a1 bits: least significant first on little-endian pixman
                    maskBits[y * (maskStride / 4) + x / 32] |= 1u << (x % 32);
                    reinterpret_cast<uint8_t*>(halfShapeBits.data())[y * kSize + x] = 0x80;
                }
        image = pixman_image_create_bits(format, kSize, kSize, imageBits.data(), kSize * bpp);
        mask = pixman_image_create_bits(PIXMAN_a1, kSize, kSize, maskBits.data(), maskStride);
        halfShape = pixman_image_create_bits(PIXMAN_a8, kSize, kSize, halfShapeBits.data(), kSize);
        const pixman_color_t halfColour = {0, 0, 0, 0x8080};
        half = pixman_image_create_solid_fill(&halfColour);
        drawn = motions;
        for (const Motion& m : drawn) Save(m);
        for (const Motion& m : drawn) Draw(m, mask);
    }
    ~Pixman() {
        for (pixman_image_t* i : {picture, background, image, mask, halfShape, half}) pixman_image_unref(i);
    }
    void Restore(const Motion& m) {
        pixman_image_composite32(PIXMAN_OP_SRC, background, nullptr, picture, m.x, m.y, 0, 0, m.x, m.y, kSize, kSize);
    }
    void Save(const Motion& m) {
        pixman_image_composite32(PIXMAN_OP_SRC, picture, nullptr, background, m.x, m.y, 0, 0, m.x, m.y, kSize, kSize);
    }
    void Draw(const Motion& m, pixman_image_t* withMask) {
        pixman_image_composite32(PIXMAN_OP_OVER, image, withMask, picture, 0, 0, 0, 0, m.x, m.y, kSize, kSize);
    }
    void Frame(const std::vector<Motion>& motions, pixman_image_t* withMask) {
        for (const Motion& m : drawn) Restore(m);
        drawn = motions;
        for (const Motion& m : drawn) Save(m);
        for (const Motion& m : drawn) Draw(m, withMask);
    }
};

// ---- SDL2: the draw step alone ----

double SdlDraw(int depth, const std::vector<Motion>& motions) {
    const Uint32 format = depth == 16 ? SDL_PIXELFORMAT_RGB565 : SDL_PIXELFORMAT_XRGB8888;
    SDL_Surface* picture = SDL_CreateRGBSurfaceWithFormat(0, kWidth, kHeight, depth == 16 ? 16 : 32, format);
    SDL_Surface* image = SDL_CreateRGBSurfaceWithFormat(0, kSize, kSize, depth == 16 ? 16 : 32, format);
    SDL_LockSurface(image);
    for (int y = 0; y < kSize; ++y)
        for (int x = 0; x < kSize; ++x) {
            uint8_t* p = static_cast<uint8_t*>(image->pixels) + y * image->pitch + x * image->format->BytesPerPixel;
            const Uint32 v = Inside(x, y) ? SDL_MapRGB(image->format, 0xE0, 0x60, 0x20) : 0;
            std::memcpy(p, &v, image->format->BytesPerPixel);
        }
    SDL_UnlockSurface(image);
    SDL_SetColorKey(image, SDL_TRUE, 0);
    const double ms = bench::BestMillisecondsPerCall([&] {
        for (const Motion& m : motions) {
            SDL_Rect to = {m.x, m.y, kSize, kSize};
            SDL_BlitSurface(image, nullptr, picture, &to);
        }
    });
    SDL_FreeSurface(image);
    SDL_FreeSurface(picture);
    return ms;
}

// "sprites_bench <kind> <depth>" repeats only our cycle for a few seconds, for a
// profiler: kind 0 plain, 1 semi-transparent, 2 semi-transparent and opaque.
int ProfileOurs(int semi, int depth) {
    std::vector<Motion> motions = Motions();
    Ours ours(depth, semi, motions);
    const auto start = bench::Clock::now();
    while (bench::Seconds(start) < 3) {
        Step(motions);
        ours.Frame(motions);
    }
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    RegisterScriptModules();
    RegisterSurfaceClient();
    if (argc == 3) {
        const int result = ProfileOurs(std::atoi(argv[1]), std::atoi(argv[2]));
        UnregisterSurfaceClient();
        return result;
    }
    std::printf("%-34s %5s %10s %10s %7s\n", "work (200 sprites 64x64, 1024x768)", "depth", "ours ms", "ref ms", "ratio");
    for (int depth : {16, 32}) {
        std::vector<Motion> motions = Motions();
        {
            Ours ours(depth, 0, motions);
            Pixman pixman(depth, motions);
            std::vector<Motion> a = motions, b = motions;
            const double t = bench::BestMillisecondsPerCall([&] { Step(a); ours.Frame(a); });
            const double r = bench::BestMillisecondsPerCall([&] { Step(b); pixman.Frame(b, pixman.mask); });
            std::printf("%-34s %5d %10.3f %10.3f %6.2fx  (pixman a1 mask)\n", "full cycle", depth, t, r, t / r);
            // The draw step alone: every sprite drawn where it stands.
            const double d = bench::BestMillisecondsPerCall([&] { DrawAll(ours); });
            const double sdl = SdlDraw(depth, motions);
            std::printf("%-34s %5d %10.3f %10.3f %6.2fx  (SDL2 colour key 0)\n", "draw step", depth, d, sdl, d / sdl);
        }
        for (int semi : {1, 2}) {
            Ours ours(depth, semi, motions);
            Pixman pixman(depth, motions);
            std::vector<Motion> a = motions, b = motions;
            const double t = bench::BestMillisecondsPerCall([&] { Step(a); ours.Frame(a); });
            const double r =
                bench::BestMillisecondsPerCall([&] { Step(b); pixman.Frame(b, semi == 1 ? pixman.halfShape : pixman.half); });
            std::printf("%-34s %5d %10.3f %10.3f %6.2fx  (pixman OVER, %s)\n",
                        semi == 1 ? "semi-transparent cycle" : "semi-transparent cycle, opaque", depth, t, r, t / r,
                        semi == 1 ? "a8 mask 0x80 on the shape" : "constant mask 0x80");
        }
    }
    UnregisterSurfaceClient();
    return 0;
}
