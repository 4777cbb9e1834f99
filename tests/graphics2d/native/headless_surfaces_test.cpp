// The native build's stand-ins have no DirectDraw: back end 2 falls back to
// the kept-DC prototypes and nothing fails.
#include <gtest/gtest.h>

#include "graphics2d/surface_registry.h"

TEST(HeadlessSurfaces, NoDirectDrawAndBackEndTwoTakesTheKeptDCPrototype) {
    RegisterSurfaceClient();
    EXPECT_FALSE(IsDirectDrawUsable());
    for (int depth : {8, 15, 16, 24, 32}) {
        const CSurface* holder = nullptr;
        EXPECT_TRUE(SelectPixelFormat(&holder, depth, kPlaceSystemMemory, 2)) << depth;
        EXPECT_EQ(holder, GetDCSurfacePrototype(depth)) << depth;
    }
    ReleaseDirectDraw();  // harmless without DirectDraw
    UnregisterSurfaceClient();
}
