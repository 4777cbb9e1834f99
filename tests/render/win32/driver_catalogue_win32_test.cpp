// The drivers' catalogues and the probes on the real system (under Wine on
// Xvfb): the desktop depth, the modes each driver lists, the DirectX level.
// TW_SCREEN_DEPTH names the depth of the X screen the run uses (24 when
// unset).
#include <windows.h>

#include "graphics2d/surface_registry.h"
#include "render/driver.h"
#include "render/dx_version.h"
#include "render/render_api.h"
#include "runtime/interp/os_display.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <string>

namespace {

int ScreenDepth() {
    const char* text = std::getenv("TW_SCREEN_DEPTH");
    return text ? std::atoi(text) : 24;
}

// Wine reports a 24-bit X screen as 32 bits per pixel.
int WindowsDepthOf(int xDepth) { return xDepth == 24 ? 32 : xDepth; }

// The size is what every catalogue must show: Wine has once listed the
// screen's mode at 32 bits per pixel on a 16-bit X screen whose desktop it
// reported at 16.
bool ListsSize(const LAPICLBK& driver, int32_t width, int32_t height) {
    for (const LDeviceRecord* d = driver.firstDevice; d; d = d->next)
        for (const LDriverRecord* r = d->firstDriver; r; r = r->next)
            for (const LModeRecord* m = r->firstMode; m; m = m->next)
                if (m->width == width && m->height == height) return true;
    return false;
}

void Print(LAPICLBK& driver) {
    char name[64];
    driver.GetDisplayName(name, sizeof name);
    std::printf("driver %s\n", name);
    for (const LDeviceRecord* d = driver.firstDevice; d; d = d->next) {
        std::printf("  device \"%s\"%s\n", d->name, d == driver.currentDevice ? " (current)" : "");
        for (const LDriverRecord* r = d->firstDriver; r; r = r->next) {
            int count = 0;
            std::string modes;
            for (const LModeRecord* m = r->firstMode; m; m = m->next, ++count)
                if (count < 6) modes += m->text;
            std::printf("    driver \"%s\" windowed %d%s, %d modes:%s%s\n", r->name, r->windowed,
                        r == d->currentDriver ? " (current)" : "", count, modes.c_str(), count > 6 ? " ..." : "");
        }
    }
}

}  // namespace

TEST(DriversOnTheSystem, DesktopDepthIsTheScreens) {
    EXPECT_EQ(GetDesktopBitsPerPixel(), WindowsDepthOf(ScreenDepth()));
    EXPECT_EQ(LRenderAPICLBK::desktopDepthProbe(), WindowsDepthOf(ScreenDepth()));
}

TEST(DriversOnTheSystem, DirectXLevelAndPlatform) {
    uint32_t version = 0, platform = 0;
    GetDirectXVersion(&version, &platform);
    EXPECT_EQ(version, 0x600u);
    EXPECT_EQ(platform, 2u);
    std::printf("DirectX level 0x%x, platform %u\n", version, platform);
}

TEST(DriversOnTheSystem, EveryDriverListsTheScreenMode) {
    // The DIB driver reads the modes from the surface library's prototypes,
    // which exist while a thread is registered with it.
    RegisterSurfaceClient();
    L3DRenderAPIRegistry& registry = RenderAPIRegistry();
    for (int32_t kind = 0; kind < kDriverKindCount; ++kind) {
        auto* driver = static_cast<LAPICLBK*>(kDriverTable[kind].create());
        ASSERT_NE(driver, nullptr) << kDriverTable[kind].name;
        std::printf("probe %s: %d\n", kDriverTable[kind].name, registry.Query(kind));
        Print(*driver);
        EXPECT_TRUE(ListsSize(*driver, 1024, 768)) << kDriverTable[kind].name;
        driver->Release();
    }
    UnregisterSurfaceClient();
    std::fflush(stdout);
}
