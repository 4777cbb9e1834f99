// Relighting a built sphere of about 20,000 vertices with 16 movable lights:
// both stages with every light of the world (what a Gouraud object gets when
// drawn), and the movable stage alone (what a light's move costs). Times
// are printed (not a timed test).
#include "bench_timing.h"
#include "engine3d/lights.h"
#include "engine3d/point.h"
#include "engine3d/polygon.h"
#include "engine3d/primitive_builders.h"
#include "engine3d/render_link.h"
#include "engine3d/world.h"

#include <cstdio>

namespace {

class Driver : public LDriverLink {
public:
    L3DPoint* CreatePoint(float x, float y, float z, float u, float v) override { return new L3DPoint(x, y, z, u, v); }
    LPolygon* CreatePolygon(LPolygonOwner* owner, int32_t reserved, void* cb) override {
        return new LPolygon(owner, reserved, cb);
    }
    void DeletePoint(L3DPoint* p) override { delete p; }
    void DeletePolygon(LPolygon* p) override { delete p; }
    LTexture* CreateTexture(L3DWorld*, const char*, LCLBKObject*) override { return nullptr; }
    LSprite* CreateSprite(L3DWorld*) override { return nullptr; }
    void DeleteTexture(LTexture*) override {}
    void DeleteSprite(LSprite*) override {}
};

class Target : public LRenderTargetLink {
public:
    explicit Target(LDriverLink* d) : m_driver(d) {}
    LDriverLink* GetDriverLink() const override { return m_driver; }

private:
    LDriverLink* m_driver;
};

}  // namespace

int main() {
    Driver driver;
    Target target(&driver);
    L3DWorld world(&target);
    L3DObject* sphere = BuildSphere(&world, 300, 300, 300, 200, 99);
    world.AddObject(sphere, 1);
    sphere->ComputeTransform();
    sphere->CommitFrame(nullptr);  // world positions of the vertices
    for (int i = 0; i < 16; ++i) {
        L3DLocation at(0, 0, 0, float(i % 4) * 150 - 225, float(i / 4) * 150 - 225, -320);
        world.GetLightList().AddLight(2, &at, 400, 200, 0x102030u * uint32_t(i + 1), nullptr);
    }
    L3DLightAmbiant& ambient = world.GetAmbientLight();
    const double both = bench::BestMillisecondsPerCall([&] { ambient.LightObject(sphere); });
    const double movable = bench::BestMillisecondsPerCall(
        [&] { ambient.ApplyMovableLights(sphere, sphere->GetMovableLights(), sphere->GetMovableLightCount(), 1); });
    std::printf("sphere of %d vertices, %d movable lights (%d listed by the sphere)\n", sphere->GetNPoints(0),
                world.GetLightList().GetMovableLights().GetCount(), sphere->GetMovableLightCount());
    std::printf("both stages, every light: %.3f ms; movable stage (the sphere's lights): %.3f ms\n", both, movable);
    return 0;
}
