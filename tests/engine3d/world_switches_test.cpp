// The world's per-object switches by position, the search from a given
// object, re-attachment, camera-wide settings, the depth the target's
// textures support and the script owner's reference.
#include "frame_fixture.h"

#include "engine3d/material_cache.h"
#include "engine3d/object_clone.h"

namespace {

using WorldSwitches = FrameFixture;

TEST_F(WorldSwitches, PositionsAnswerOneWhenNoObjectAndMinusOneReachesAll) {
    L3DObject* a = Square("a", 100);
    L3DObject* b = Square("b", 100);
    struct Case {
        const char* name;
        int32_t (*call)(L3DWorld&, int32_t on, int32_t position);
        uint32_t flag;
    };
    const Case cases[] = {
        {"collision", [](L3DWorld& w, int32_t on, int32_t p) { return w.SetCollision(on, p); },
         L3DObject::kFlagCollision},
        {"flag23", [](L3DWorld& w, int32_t on, int32_t p) { return w.SetObjectFlag23(on, p); }, L3DObject::kFlagBit23},
        {"gouraud", [](L3DWorld& w, int32_t on, int32_t p) { return w.SetGouraud(on, p); }, L3DObject::kFlagGouraud},
        {"lambert", [](L3DWorld& w, int32_t on, int32_t p) { return w.SetLambert(on, p); }, L3DObject::kFlagLambert},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(c.call(world, 1, 2), 1);
        EXPECT_EQ(c.call(world, 1, -2), 1);
        EXPECT_EQ(a->GetObjectFlags() & c.flag, 0u);
        EXPECT_EQ(c.call(world, 1, 1), 0);
        EXPECT_EQ(a->GetObjectFlags() & c.flag, 0u);
        EXPECT_EQ(b->GetObjectFlags() & c.flag, c.flag);
        EXPECT_EQ(c.call(world, 1, -1), 0);
        EXPECT_EQ(a->GetObjectFlags() & c.flag, c.flag);
        EXPECT_EQ(c.call(world, 0, -1), 0);
        EXPECT_EQ((a->GetObjectFlags() | b->GetObjectFlags()) & c.flag, 0u);
    }
}

TEST_F(WorldSwitches, ShadingRefreshesTheCamerasLambertOnlyWhenSwitchedOn) {
    Square("a", 100);
    const auto refreshed = [&] {
        const bool was = (camera->GetFlags() & L3DLocation::kFlagAnglesChanged) != 0;
        camera->AnglesChanged(0);
        return was;
    };
    refreshed();
    world.SetLambert(0, 0);
    EXPECT_FALSE(refreshed());
    world.SetLambert(1, 0);
    EXPECT_TRUE(refreshed());
    world.SetGouraud(0, 0);
    EXPECT_TRUE(refreshed());
    world.SetGouraud(1, 7);  // no such object: nothing refreshed
    EXPECT_FALSE(refreshed());
}

TEST_F(WorldSwitches, ScaleWithMinusOneSkipsClusterObjectsButAPositionReachesThem) {
    L3DObject* plain = Square("plain", 100);
    plain->SetAlwaysActive(1);
    // A static mesh listed at top level again: its scale requests go to the
    // base cluster.
    L3DObject* clustered = Square("clustered", 100);
    clustered->MakeStatic(0);
    clustered->SetAlwaysActive(1);
    world.GetObjects().InsertAfter(clustered, nullptr);
    const int requests = world.GetClusterRequestCount();
    EXPECT_EQ(world.ScaleObjects(2, 3, 4, -1), 0);
    EXPECT_EQ(plain->GetScale()[1], 3.0f);
    EXPECT_EQ(world.GetClusterRequestCount(), requests);
    EXPECT_EQ(world.ScaleObjects(2, 2, 2, 1), 0);
    EXPECT_EQ(world.GetClusterRequestCount(), requests + 1);
    EXPECT_EQ(world.ScaleObjects(2, 2, 2, 5), 1);
    world.GetObjects().RemoveNode(world.GetObjects().FindNode(clustered), 1);
}

TEST_F(WorldSwitches, BoxDisplayAndBackFaceCulling) {
    L3DObject* a = Square("a", 100);
    EXPECT_EQ(world.SetObjectVisible(1, 0), 0);
    EXPECT_TRUE(a->GetObjectFlags() & L3DObject::kFlagBoxShown);
    EXPECT_EQ(world.SetObjectVisible(0, -1), 0);
    EXPECT_FALSE(a->GetObjectFlags() & L3DObject::kFlagBoxShown);
    EXPECT_EQ(world.SetObjectVisible(1, 3), 1);

    world.SetBackFaceCulling(0);
    EXPECT_EQ(world.GetDoubleSided(), 1);
    world.SetBackFaceCulling(1);
    EXPECT_EQ(world.GetDoubleSided(), 0);
}

TEST_F(WorldSwitches, FindNextObjectStartsAtTheGivenObject) {
    L3DObject* first = Square("Ship", 100);
    L3DObject* other = Square("Rock", 100);
    L3DObject* second = Square("SHIP", 100);
    EXPECT_EQ(world.FindNextObject(first, "ship"), first);
    EXPECT_EQ(world.FindNextObject(other, "ship"), second);
    EXPECT_EQ(world.FindNextObject(second, "rock"), nullptr);
    L3DObject* loose = Square("Ship", 100, nullptr, false);
    EXPECT_EQ(world.FindNextObject(loose, "Ship"), nullptr);
    EXPECT_EQ(world.FindNextObject(nullptr, "Ship"), nullptr);
    delete loose;
}

TEST_F(WorldSwitches, AttachObjectAppendsWithoutCloneRuleOrVisibilityStep) {
    L3DObject* a = Square("a", 100);
    auto* clone = new L3DObjectClone("c", &world, nullptr);
    L3DObject* hidden = Square("h", 100, nullptr, false);
    static_cast<LPolygon*>(hidden->GetPolygonList()->GetValueAt(0))->SetMaterial(nullptr);
    hidden->Hide(0);
    world.SetShowOnAdd(0);
    world.AttachObject(clone);
    world.AttachObject(hidden);
    world.AttachObject(hidden);  // already there: nothing
    EXPECT_EQ(world.GetObjectCount(), 3);
    EXPECT_EQ(world.GetObject(0), a);
    EXPECT_EQ(world.GetObject(1), clone);
    EXPECT_EQ(world.GetObject(2), hidden);
    EXPECT_EQ(static_cast<LPolygon*>(hidden->GetPolygonList()->GetValueAt(0))->material, world.GetDefaultMaterial());
    EXPECT_TRUE(hidden->GetObjectFlags() & L3DObject::kFlagHidden);
    EXPECT_EQ(world.RemoveObject(hidden), 0);
    EXPECT_EQ(world.GetObjectCount(), 2);
}

TEST_F(WorldSwitches, MaterialCachesDroppedFromTheStaticMeshes) {
    L3DObject* mesh = Square("static", 100, glass);
    L3DObject* other = Square("moving", 100, glass);
    mesh->RebuildCaches();
    other->RebuildCaches();
    mesh->MakeStatic(0);
    ASSERT_NE(mesh->GetCacheList()->FindByMaterial(glass), nullptr);
    world.ApplyMaterialCaches(paint);  // not cached there: nothing changes
    EXPECT_NE(mesh->GetCacheList()->FindByMaterial(glass), nullptr);
    world.ApplyMaterialCaches(glass);
    EXPECT_EQ(mesh->GetCacheList()->FindByMaterial(glass), nullptr);
    EXPECT_NE(other->GetCacheList()->FindByMaterial(glass), nullptr);  // a top-level object keeps its caches
}

// A driver whose textures report the depth their device supports.
class DepthDriver : public GeometryDriver {
public:
    struct Image : LDeviceImage {
        void GetLimits(int32_t* a, int32_t* b, int32_t* c, int32_t* d) const override { *a = *b = 1, *c = *d = 256; }
        int32_t GetBitsPerPixel() const override { return bits; }
        int32_t bits = 24;
    };
    struct Texture : LTexture {
        Texture(L3DWorld* w, const char* n, Image* i) : LTexture(w, n, nullptr), image(i) {}
        LDeviceImage* GetDeviceImage() const override { return image; }
        Image* image;
    };
    LTexture* CreateTexture(L3DWorld* w, const char* name, LCLBKObject*) override {
        lastName = name;
        return new Texture(w, name, &image);
    }
    Image image;
    std::string lastName;
};

TEST(WorldColourDepth, ResolvedFromAProbeTextureThatIsDestroyedAgain) {
    DepthDriver driver;
    TestTarget target(&driver);
    L3DWorld world(&target);
    EXPECT_EQ(world.ResolveColourDepth(), 24);
    EXPECT_EQ(world.GetColourDepth(), 24);
    EXPECT_EQ(driver.lastName, "temp");
    EXPECT_EQ(driver.texturesDeleted, 1);
    driver.image.bits = 0;  // no answer from the device: the stored depth stays
    EXPECT_EQ(world.ResolveColourDepth(), 24);

    L3DWorld without;  // no render target: nothing to ask
    EXPECT_EQ(without.ResolveColourDepth(), 16);
}

struct CountingOwner : LWorldOwner {
    void TakeReference() override { ++held; }
    void ReleaseReference() override { --held; }
    int held = 0;
};

TEST(WorldScriptOwner, HeldUntilReplacedOrTheWorldIsDestroyed) {
    CountingOwner first, second;
    {
        L3DWorld world;
        world.SetScriptOwner(&first);
        world.SetScriptOwner(&first);
        EXPECT_EQ(first.held, 1);
        world.SetScriptOwner(&second);
        EXPECT_EQ(first.held, 0);
        EXPECT_EQ(second.held, 1);
        EXPECT_EQ(world.GetScriptOwner(), &second);
    }
    EXPECT_EQ(second.held, 0);
}

}  // namespace
