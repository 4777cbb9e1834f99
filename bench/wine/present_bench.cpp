// Presentation benchmark (Windows, run under Wine by bench/present-under-wine.sh):
// a 640×480 32-bit DIB-section surface shown in a window 500 times through
// CSurface::Blit onto a window-DC surface (plain DIB and kept-DC DIB), against
// a raw BitBlt from the same DIB section and a raw SetDIBitsToDevice of the
// same memory; and a DirectDraw surface presented through CSurface::Blit
// (primary with a clipper) against a raw primary Blt of the same off-screen
// surface. Prints frames per second and each path's ratio to its raw call.
#include <windows.h>
#undef TextOut
#undef DrawText

#include <ddraw.h>

#include <chrono>
#include <cstdio>
#include <functional>

#include "graphics2d/surface_registry.h"
#include "graphics2d/win32/dd_surface.h"

namespace {

constexpr int kWidth = 640, kHeight = 480, kFrames = 500;

// Waits until DirectDraw has carried out the blits queued so far (Wine runs
// them on a thread of its own): a lock of the primary waits for them.
void FinishDirectDraw() {
    IDirectDrawSurface* primary = static_cast<IDirectDrawSurface*>(GetDirectDrawPrimary());
    DDSURFACEDESC desc = {};
    desc.dwSize = sizeof desc;
    if (primary && SUCCEEDED(primary->Lock(nullptr, &desc, DDLOCK_WAIT, nullptr))) primary->Unlock(nullptr);
}

void Finish() {
    GdiFlush();
    FinishDirectDraw();
}

double FramesPerSecond(const std::function<void()>& frame) {
    frame();
    Finish();
    const auto t0 = std::chrono::steady_clock::now();
    for (int i = 0; i < kFrames; ++i) frame();
    Finish();
    const double s = std::chrono::duration<double>(std::chrono::steady_clock::now() - t0).count();
    return kFrames / s;
}

bool MakeSurface(CSurface* s, SurfacePlacement placement, int backEnd = 0) {
    const CSurface* holder = nullptr;
    SelectPixelFormat(&holder, 32, placement, backEnd);
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

    // DirectDraw: the library's presentation and the raw primary Blt of the
    // same off-screen surface, with the same clipper on the primary.
    CSurface direct;
    double libraryDirect = 0, rawPrimaryBlt = 0;
    if (IsDirectDrawUsable() && MakeSurface(&direct, kPlaceDIB, 2) && direct.GetKind() == 5) {
        direct.AttachWindow(window);
        libraryDirect =
            FramesPerSecond([&] { direct.Blit(&onWindow, 0, 0, 0, 0, kWidth, kHeight, 0, 0, 0, 0); });
        IDirectDrawSurface* primary = static_cast<IDirectDrawSurface*>(GetDirectDrawPrimary());
        IDirectDrawSurface* own = static_cast<IDirectDrawSurface*>(GetDirectDrawSurfaceOf(direct.GetImpl()));
        POINT offset = {0, 0};
        ClientToScreen(window, &offset);
        RECT to = {offset.x, offset.y, offset.x + kWidth, offset.y + kHeight};
        RECT from = {0, 0, kWidth, kHeight};
        rawPrimaryBlt = FramesPerSecond([&] { primary->Blt(&to, own, &from, 0, nullptr); });
    }

    std::printf("%-44s %10s %12s\n", "path (640x480, 32 bits, 500 frames)", "frames/s", "raw/path");
    const struct {
        const char* name;
        double fps;
        double raw;
    } rows[] = {{"CSurface::Blit, DIB section (kind 3)", library, rawBitBlt},
                {"CSurface::Blit, kept-DC DIB section (kind 4)", libraryKept, rawBitBlt},
                {"raw BitBlt from the section", rawBitBlt, rawBitBlt},
                {"raw SetDIBitsToDevice of the memory", rawSetDIBits, rawBitBlt},
                {"CSurface::Blit, DirectDraw (kind 5)", libraryDirect, rawPrimaryBlt},
                {"raw primary Blt of the same surface", rawPrimaryBlt, rawPrimaryBlt}};
    for (const auto& r : rows) {
        if (r.fps > 0)
            std::printf("%-44s %10.1f %12.2f\n", r.name, r.fps, r.raw / r.fps);
        else
            std::printf("%-44s %10s\n", r.name, "no DirectDraw");
    }

    onWindow.Release();
    plain.Release();
    kept.Release();
    direct.Release();
    ReleaseDC(window, windowDC);
    DestroyWindow(window);
    UnregisterSurfaceClient();
    return 0;
}
