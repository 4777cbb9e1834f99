#pragma once
// LRenderAPICLBK: the render target of a world, made by a driver. This is
// its first part: the world and the driver that made it, through which the
// engine reaches the factory slots (engine3d/render_link.h). Issue 06
// completes it (modes, camera binding, frames, states, grid, statistics).
#include "engine3d/render_link.h"

class L3DWorld;
class LAPICLBK;

class LRenderAPICLBK : public LRenderTargetLink {
public:
    LRenderAPICLBK(L3DWorld* world, LAPICLBK* driver) : world(world), driver(driver) {}
    LRenderAPICLBK(const LRenderAPICLBK&) = delete;
    LRenderAPICLBK& operator=(const LRenderAPICLBK&) = delete;
    ~LRenderAPICLBK() override = default;

    LDriverLink* GetDriverLink() const override;

    L3DWorld* world;
    LAPICLBK* driver;
};
