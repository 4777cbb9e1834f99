// The first software frame in a window: the fixture scene rendered through
// the "DIB" driver's presenter into a real top-level window, the client
// area captured through GDI (BitBlt into a 32-bit DIB section), and the
// capture compared with the frame the presenter drew, in every colour byte
// at 32 bits and after reduction to 5-6-5 at 16 bits. Each capture is saved
// as a PNG beside the test (or in TW_ARTEFACT_DIR).
#include "../software_scene.h"

#include "graphics2d/surface.h"
#include "graphics2d/surface_registry.h"
#include "render/driver.h"
#include "render/software/gdi_presenter.h"

#include <gtest/gtest.h>
#include <png.h>
#include <windows.h>

#include <cstdio>
#include <tuple>
#include <cstdlib>
#include <string>
#include <vector>

namespace {

constexpr int kWidth = 160, kHeight = 120;

LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM w, LPARAM l) {
    if (message == WM_ERASEBKGND) return 1;
    return DefWindowProcA(window, message, w, l);
}

HWND MakeWindow() {
    WNDCLASSA c = {};
    c.lpfnWndProc = &WindowProc;
    c.hInstance = GetModuleHandleA(nullptr);
    c.lpszClassName = "SoftwareFrameTest";
    RegisterClassA(&c);
    HWND w = CreateWindowExA(WS_EX_TOPMOST, c.lpszClassName, "frame", WS_POPUP | WS_VISIBLE, 40, 40, kWidth,
                             kHeight, nullptr, nullptr, c.hInstance, nullptr);
    MSG m;
    while (PeekMessageA(&m, nullptr, 0, 0, PM_REMOVE)) DispatchMessageA(&m);
    return w;
}

// The window's client area as 32-bit pixels, top row first.
std::vector<uint32_t> Capture(HWND window) {
    BITMAPINFO info = {};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = kWidth;
    info.bmiHeader.biHeight = -kHeight;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    HDC screen = GetDC(window);
    HDC memory = CreateCompatibleDC(screen);
    void* bits = nullptr;
    HBITMAP dib = CreateDIBSection(screen, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    HGDIOBJ old = SelectObject(memory, dib);
    BitBlt(memory, 0, 0, kWidth, kHeight, screen, 0, 0, SRCCOPY);
    SelectObject(memory, old);
    std::vector<uint32_t> out(size_t(kWidth) * kHeight);
    GetDIBits(memory, dib, 0, kHeight, out.data(), &info, DIB_RGB_COLORS);
    DeleteObject(dib);
    DeleteDC(memory);
    ReleaseDC(window, screen);
    return out;
}

void SavePng(const std::vector<uint32_t>& pixels, const std::string& name) {
    const char* dir = std::getenv("TW_ARTEFACT_DIR");
    const std::string path = (dir ? std::string(dir) + "/" : std::string()) + name;
    FILE* f = std::fopen(path.c_str(), "wb");
    if (!f) return;
    png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
    png_infop info = png_create_info_struct(png);
    if (setjmp(png_jmpbuf(png))) {
        png_destroy_write_struct(&png, &info);
        std::fclose(f);
        return;
    }
    png_init_io(png, f);
    png_set_IHDR(png, info, kWidth, kHeight, 8, PNG_COLOR_TYPE_RGB, PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_DEFAULT,
                 PNG_FILTER_TYPE_DEFAULT);
    png_write_info(png, info);
    std::vector<uint8_t> row(size_t(kWidth) * 3);
    for (int y = 0; y < kHeight; ++y) {
        for (int x = 0; x < kWidth; ++x) {
            const uint32_t p = pixels[size_t(y) * kWidth + size_t(x)];
            row[size_t(x) * 3] = uint8_t(p >> 16);
            row[size_t(x) * 3 + 1] = uint8_t(p >> 8);
            row[size_t(x) * 3 + 2] = uint8_t(p);
        }
        png_write_row(png, row.data());
    }
    png_write_end(png, nullptr);
    png_destroy_write_struct(&png, &info);
    std::fclose(f);
}

// Depth and scene: the Gouraud fixture, and the textured one with a
// background and a sprite.
class SoftwareWindow : public ::testing::TestWithParam<std::tuple<int32_t, SceneShading>> {};

TEST_P(SoftwareWindow, CaptureEqualsTheFrame) {
    const int32_t depth = std::get<0>(GetParam());
    const SceneShading shading = std::get<1>(GetParam());
    RegisterSurfaceClient();
    HWND window = MakeWindow();
    ASSERT_NE(window, nullptr);
    {
        LAPI_Surface_Win32 driver;
        SoftwareScene scene;
        LRenderAPI_Surface_Win32* target = nullptr;
        scene.Open(nullptr);
        target = static_cast<LRenderAPI_Surface_Win32*>(driver.CreateRenderAPI(scene.world.get()));
        ASSERT_NE(target, nullptr);
        scene.world->SetRenderTarget(target);
        target->window = window;
        ASSERT_EQ(target->SetMode(int32_t(LRenderAPICLBK::kWindowed | LRenderAPICLBK::kFixedDepth |
                                          LRenderAPICLBK::kDepthBuffer),
                                  kWidth, kHeight, depth),
                  0);
        ASSERT_NE(target->surface, nullptr);
        EXPECT_EQ(target->surface->GetDepth(), depth);
        target->SetCamera(scene.MakeCamera());
        scene.world->SetColourDepth(depth);
        scene.Build(shading);
        target->RenderFrame();

        const std::vector<uint32_t> captured = Capture(window);
        SavePng(captured, "software_window_" + std::to_string(depth) + "_" + std::to_string(int(shading)) + ".png");
        uint8_t* rows = target->surface->Lock();
        const int32_t step = target->surface->GetImpl()->rowStep;
        // On a 16-bit screen a 32-bit frame is shown at 5-6-5: both sides are
        // compared after that reduction.
        HDC screen = GetDC(nullptr);
        const bool screen16 = GetDeviceCaps(screen, BITSPIXEL) == 16;
        ReleaseDC(nullptr, screen);
        const auto to565 = [](uint32_t c) {
            return ((c >> 19) & 0x1F) << 11 | ((c >> 10) & 0x3F) << 5 | ((c >> 3) & 0x1F);
        };
        int64_t differ = 0, background = 0;
        for (int y = 0; y < kHeight; ++y)
            for (int x = 0; x < kWidth; ++x) {
                const uint8_t* p = rows + int64_t(y) * step + x * (depth / 8);
                const uint32_t c = captured[size_t(y) * kWidth + size_t(x)] & 0xFFFFFF;
                uint32_t expected, got = c;
                if (depth == 32) {
                    expected = uint32_t(p[0]) | uint32_t(p[1]) << 8 | uint32_t(p[2]) << 16;
                    if (screen16) expected = to565(expected), got = to565(c);
                } else {
                    expected = uint32_t(p[0]) | uint32_t(p[1]) << 8;
                    got = to565(c);
                }
                differ += expected != got;
                background += expected == 0;
            }
        target->surface->Unlock();
        EXPECT_EQ(differ, 0);
        EXPECT_LT(background, int64_t(kWidth) * kHeight);  // the scene is there
        target->DetachCamera();
        scene.Close();
    }
    DestroyWindow(window);
    UnregisterSurfaceClient();
}

INSTANTIATE_TEST_SUITE_P(Depths, SoftwareWindow,
                         ::testing::Combine(::testing::Values(32, 16),
                                            ::testing::Values(SceneShading::Gouraud, SceneShading::Textured)));

}  // namespace
