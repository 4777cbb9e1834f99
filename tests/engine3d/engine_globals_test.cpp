// The engine globals: the driver registry over a table of its own, the lock
// it takes, and the global triangle.
#include "engine3d/engine_globals.h"
#include "engine3d/polygon.h"
#include "engine3d/render_link.h"

#include <gtest/gtest.h>

namespace {

int g_released = 0;
L3DRenderAPIRegistry* g_registry = nullptr;

class CountedDriver : public LDriverLink {
public:
    ~CountedDriver() override { ++g_released; }
    L3DPoint* CreatePoint(float, float, float, float, float) override { return nullptr; }
    LPolygon* CreatePolygon(LPolygonOwner*, int32_t, void*) override { return nullptr; }
    void DeletePoint(L3DPoint*) override {}
    void DeletePolygon(LPolygon*) override {}
    LTexture* CreateTexture(L3DWorld*, const char*, LCLBKObject*) override { return nullptr; }
    LSprite* CreateSprite(L3DWorld*) override { return nullptr; }
    void DeleteTexture(LTexture*) override {}
    void DeleteSprite(LSprite*) override {}
};

LDriverLink* MakeCounted() { return new CountedDriver(); }
LDriverLink* MakeNothing() { return nullptr; }
int32_t Seven() { return 7; }
// A probe that asks the registry again, under the lock the registry holds.
int32_t AsksAgain() { return g_registry->Query(0) + 1; }

const LDriverKind kKinds[] = {
    {0x41414141, &MakeCounted, &Seven, "A"},
    {0x42424242, &MakeNothing, &AsksAgain, "B"},
    {0x43434343, &MakeCounted, nullptr, "C"},
};

}  // namespace

TEST(RenderAPIRegistry, QueryCreateAndDestroyByTablePosition) {
    g_released = 0;
    {
        L3DRenderAPIRegistry registry(kKinds, 3);
        g_registry = &registry;
        EXPECT_EQ(registry.GetKindCount(), 3);
        EXPECT_EQ(registry.Kind(1)->tag, 0x42424242u);
        EXPECT_EQ(registry.Query(0), 7);
        EXPECT_EQ(registry.Query(1), 8);  // re-enters the lock
        EXPECT_EQ(registry.Query(2), 0);  // no probe
        EXPECT_EQ(registry.Query(3), 0);
        EXPECT_EQ(registry.Query(-1), 0);

        EXPECT_EQ(registry.Create(1), nullptr);
        EXPECT_EQ(registry.Create(3), nullptr);
        EXPECT_EQ(registry.GetLiveDrivers().GetCount(), 0);
        LDriverLink* a = registry.Create(0);
        LDriverLink* b = registry.Create(2);
        ASSERT_NE(a, nullptr);
        EXPECT_EQ(registry.GetLiveDrivers().GetCount(), 2);

        CountedDriver stranger;
        registry.Destroy(&stranger);
        registry.Destroy(nullptr);
        EXPECT_EQ(g_released, 0);
        EXPECT_EQ(registry.GetLiveDrivers().GetCount(), 2);
        registry.Destroy(a);
        EXPECT_EQ(g_released, 1);
        EXPECT_EQ(registry.GetLiveDrivers().FindNode(a), nullptr);
        EXPECT_NE(registry.GetLiveDrivers().FindNode(b), nullptr);
        registry.Create(0);
        g_registry = nullptr;
    }
    // The registry's end destroys the two drivers still live (the stranger
    // ended with its scope).
    EXPECT_EQ(g_released, 1 + 1 + 2);
}

TEST(EngineGlobals, TheGlobalTriangleHasNoOwnerMaterialOrVertices) {
    LPolygon& triangle = GlobalTriangle();
    EXPECT_EQ(&triangle, &GlobalTriangle());
    EXPECT_EQ(triangle.GetOwner(), nullptr);
    EXPECT_EQ(triangle.material, nullptr);
    EXPECT_EQ(triangle.GetCount(), 0);
    EXPECT_EQ(triangle.GetMaxPoints(), 3);  // capacity hint 2: three vertices
}
