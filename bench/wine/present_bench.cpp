// Presentation benchmark (Windows, run under Wine by bench/present-under-wine.sh):
// a 640×480 32-bit DIB-section surface shown in a window 500 times through
// CSurface::Blit onto a window-DC surface (plain DIB and kept-DC DIB), against
// a raw BitBlt from the same DIB section and a raw SetDIBitsToDevice of the
// same memory. Prints frames per second and each path's ratio to the raw
// BitBlt.
#include <windows.h>
#undef TextOut
#undef DrawText

#include <chrono>
#include <cstdio>
#include <functional>

#include "graphics2d/surface_registry.h"

namespace {

constexpr int kWidth = 640, kHeight = 480, kFrames = 500;

double FramesPerSecond(const std::function<void()>& frame) {
    frame();
    GdiFlush();
    const auto t0 = std::chrono::steady_clock::now();
    for (int i = 0; i < kFrames; ++i) frame();
    GdiFlush();
    const double s = std::chrono::duration<double>(std::chrono::steady_clock::now() - t0).count();
    return kFrames / s;
}

bool MakeSurface(CSurface* s, SurfacePlacement placement) {
    const CSurface* holder = nullptr;
    SelectPixelFormat(&holder, 32, placement, 0);
    if (!s->Create(kWidth, kHeight, holder)) return false;
    for (int y = 0; y < kHeight; ++y)
        for (int x = 0; x < kWidth; ++x) s->GetImpl()->SetPixel(x, y, uint32_t(x * 7) ^ (uint32_t(y) << 9));
    return true;
}

}  // namespace

int main() {
    RegisterSurfaceClient();
    HWND window = CreateWindowExA(0, "STATIC", "present", WS_POPUP | WS_VISIBLE, 0, 0, kWidth, kHeight, nullptr,
                                  nullptr, nullptr, nullptr);
    HDC windowDC = window ? GetDC(window) : nullptr;
    CSurface onWindow, plain, kept;
    if (!windowDC || !onWindow.CreateForDC(windowDC) || !MakeSurface(&plain, kPlaceDIB) ||
        !MakeSurface(&kept, kPlaceKeptDC)) {
        std::printf("set-up failed\n");
        return 1;
    }

    const double library = FramesPerSecond([&] { plain.Blit(&onWindow, 0, 0, 0, 0, kWidth, kHeight, 0, 0, 0, 0); });
    const double libraryKept =
        FramesPerSecond([&] { kept.Blit(&onWindow, 0, 0, 0, 0, kWidth, kHeight, 0, 0, 0, 0); });

    // The raw calls on the plain surface's section and memory.
    HDC memory = static_cast<HDC>(plain.GetDC());
    const double rawBitBlt =
        FramesPerSecond([&] { BitBlt(windowDC, 0, 0, kWidth, kHeight, memory, 0, 0, SRCCOPY); });
    plain.ReleaseDC(memory);
    BITMAPINFO info = {};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = kWidth;
    info.bmiHeader.biHeight = kHeight;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    const void* bits = plain.GetImpl()->lockedBits;
    const double rawSetDIBits = FramesPerSecond([&] {
        SetDIBitsToDevice(windowDC, 0, 0, kWidth, kHeight, 0, 0, 0, kHeight, bits, &info, DIB_RGB_COLORS);
    });

    std::printf("%-44s %10s %12s\n", "path (640x480, 32 bits, 500 frames)", "frames/s", "raw/path");
    const struct {
        const char* name;
        double fps;
    } rows[] = {{"CSurface::Blit, DIB section (kind 3)", library},
                {"CSurface::Blit, kept-DC DIB section (kind 4)", libraryKept},
                {"raw BitBlt from the section", rawBitBlt},
                {"raw SetDIBitsToDevice of the memory", rawSetDIBits}};
    for (const auto& r : rows) std::printf("%-44s %10.1f %12.2f\n", r.name, r.fps, rawBitBlt / r.fps);

    onWindow.Release();
    plain.Release();
    kept.Release();
    ReleaseDC(window, windowDC);
    DestroyWindow(window);
    UnregisterSurfaceClient();
    return 0;
}
