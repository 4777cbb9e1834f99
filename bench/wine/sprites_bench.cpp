// Sprite benchmark (Windows, run under Wine by bench/sprites-under-wine.sh):
// the native sprite benchmark's scene and cycles (bench/sprites_scene.h), our
// side only: pixman and SDL2 are not built for Windows here, so the script
// prints the native run's reference figures beside these. Prints milliseconds
// per cycle (best of several runs).
#include <cstdio>
#include <vector>

#include "app/script_modules.h"
#include "bench_timing.h"
#include "graphics2d/surface_registry.h"
#include "sprites_scene.h"

using namespace sprites_scene;

int main() {
    RegisterScriptModules();
    RegisterSurfaceClient();
    std::printf("%-34s %5s %10s\n", "work (200 sprites 64x64, 1024x768)", "depth", "ours ms");
    static const char* const kCycles[] = {"full cycle", "semi-transparent cycle", "semi-transparent cycle, opaque"};
    for (int depth : {16, 32}) {
        for (int semi : {0, 1, 2}) {
            std::vector<Motion> motions = Motions();
            Ours ours(depth, semi, motions);
            const double t = bench::BestMillisecondsPerCall([&] { Step(motions); ours.Frame(motions); });
            std::printf("%-34s %5d %10.3f\n", kCycles[semi], depth, t);
            if (semi == 0) {
                const double d = bench::BestMillisecondsPerCall([&] { DrawAll(ours); });
                std::printf("%-34s %5d %10.3f\n", "draw step", depth, d);
            }
        }
    }
    UnregisterSurfaceClient();
    return 0;
}
