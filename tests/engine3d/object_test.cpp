#include "engine_fixture.h"

#include "engine3d/material_cache.h"
#include "engine3d/object.h"
#include "engine3d/point.h"
#include "runtime/base/alloc_fault_injection.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

// Records the order of destruction notices.
class Notices : public LCLBKObject {
public:
    void EngineObjectDestroyed(void* object) override { gone.push_back(object); }
    std::vector<void*> gone;
};

struct ObjectFixture : ::testing::Test {
    GeometryDriver driver;
    TestTarget target{&driver};
    L3DWorld world{&target};

    static std::string NameOf(const L3DObject& o) {
        char buffer[64];
        o.GetName(buffer, sizeof buffer);
        return buffer;
    }
};

TEST_F(ObjectFixture, ConstructionByNameAndWorld) {
    L3DObject loose("thing", nullptr, nullptr);
    EXPECT_EQ(loose.GetObjectFlags(), 0x2002800u);
    EXPECT_EQ(loose.GetBox(), nullptr);
    EXPECT_EQ(loose.GetKind(), 10u);
    EXPECT_EQ(loose.GetFrameCount(), 1);
    EXPECT_EQ(loose.GetCurrentFrame(), 0);
    EXPECT_STREQ(loose.GetCurrentTrack()->name, "Main");
    EXPECT_NE(loose.GetKeys(), nullptr);
    EXPECT_EQ(loose.GetShadowOpacity(), 128);

    L3DObject placed("thing", &world, nullptr);
    EXPECT_EQ(placed.GetObjectFlags(), 0x2012800u);
    L3DObject* box = placed.GetBox();
    ASSERT_NE(box, nullptr);
    EXPECT_STREQ(box->GetNameText(), "Global_Box");
    EXPECT_EQ(box->GetBox(), nullptr);
    EXPECT_EQ(box->GetKeys(), nullptr);
    EXPECT_EQ(box->GetPoints()->GetCount(), 8);
    ASSERT_EQ(box->CountPolygonsInFrame(), 6);
    for (LDataNode* n = box->GetPolygonList()->GetHead(); n; n = n->next) {
        auto* quad = static_cast<LPolygon*>(n->value);
        EXPECT_EQ(quad->GetCount(), 4);
        EXPECT_EQ(quad->material, world.GetDefaultMaterial());
    }

    struct Case {
        const char* name;
        bool box, keys;
    } special[] = {{"Global_Box", false, false}, {"Base_Cluster", false, false}, {"Cluster", true, false}};
    for (const Case& c : special) {
        L3DObject o(c.name, &world, nullptr);
        EXPECT_EQ(o.GetBox() != nullptr, c.box) << c.name;
        EXPECT_EQ(o.GetKeys() != nullptr, c.keys) << c.name;
    }
}

TEST_F(ObjectFixture, Names) {
    L3DObject dummy("$$$DUMMYwheel", nullptr, nullptr);
    EXPECT_EQ(dummy.GetKind(), 0x10002u);
    EXPECT_EQ(NameOf(dummy), "wheel");
    L3DObject nameless(nullptr, nullptr, nullptr);
    EXPECT_EQ(NameOf(nameless), "NoName");
    nameless.SetName("door");
    EXPECT_EQ(NameOf(nameless), "door");
    nameless.SetName(nullptr);
    EXPECT_EQ(NameOf(nameless), "NoName");
    char small[4];
    dummy.GetName(small, sizeof small);
    EXPECT_STREQ(small, "whe");  // bounded
}

TEST_F(ObjectFixture, ParentsAndChildren) {
    Notices notices;
    auto* parent = new L3DObject("car", &world, &notices);
    auto* wheel = new L3DObject("$$$DUMMYwheel", &world, &notices);
    auto* plain = new L3DObject("seat", &world, &notices);
    auto* animated = new L3DObject("door", &world, &notices);
    animated->SetKind(1026);
    auto* camera = new L3DObject("eye", &world, &notices);
    camera->SetKind(2052);
    for (L3DObject* child : {wheel, plain, animated, camera}) ASSERT_EQ(parent->LinkChild(child), 1);
    EXPECT_EQ(parent->LinkChild(plain), 0);  // already parented

    EXPECT_EQ(parent->FindChildByName("car"), parent);
    EXPECT_EQ(parent->FindChildByName("wheel"), wheel);  // prefix skipped
    EXPECT_EQ(parent->FindChildByName("nothing"), nullptr);
    EXPECT_EQ(wheel->GetRoot(), parent);
    EXPECT_EQ(parent->GetRoot(), parent);

    // A frame change marks the whole tree from its root.
    parent->AnglesChanged(0);
    plain->SetFrame(0);
    EXPECT_TRUE(parent->GetFlags() & L3DLocation::kFlagAnglesChanged);

    delete parent;
    // Kinds 0x10002, 10 and 1026 went with it, then the parent itself; the
    // camera lives on without a parent.
    EXPECT_EQ(notices.gone, (std::vector<void*>{static_cast<LManageCLBKObject*>(wheel),
                                                static_cast<LManageCLBKObject*>(plain),
                                                static_cast<LManageCLBKObject*>(animated),
                                                static_cast<LManageCLBKObject*>(parent)}));
    EXPECT_EQ(camera->GetParent(), nullptr);
    delete camera;
    EXPECT_EQ(notices.gone.size(), 5u);
}

TEST_F(ObjectFixture, LeavingTheParentFreesAnEmptiedList) {
    L3DObject parent("p", nullptr, nullptr);
    auto* child = new L3DObject("c", nullptr, nullptr);
    parent.LinkChild(child);
    ASSERT_NE(parent.GetChildren(), nullptr);
    child->LeaveParent();
    EXPECT_EQ(parent.GetChildren(), nullptr);
    EXPECT_EQ(child->GetParent(), nullptr);
    parent.LinkChild(child);
    delete child;  // its destructor leaves the parent too
    EXPECT_EQ(parent.GetChildren(), nullptr);
}

TEST_F(ObjectFixture, LightLists) {
    L3DObject o("lit", nullptr, nullptr);
    std::vector<L3DLight*> lights;
    for (uintptr_t i = 1; i <= 9; ++i) lights.push_back(reinterpret_cast<L3DLight*>(i * 16));
    for (L3DLight* l : lights) o.AddLightA(l);
    EXPECT_EQ(o.GetFixedLightCount(), 8);  // the ninth is ignored
    EXPECT_EQ(o.GetFixedLight(7), lights[7]);
    EXPECT_EQ(o.GetMovableLightCount(), 0);
    o.RemoveLightA(lights[8]);  // absent
    EXPECT_EQ(o.GetFixedLightCount(), 8);
    o.RemoveLightA(lights[2]);  // the gap closes
    EXPECT_EQ(o.GetFixedLightCount(), 7);
    EXPECT_EQ(o.GetFixedLight(2), lights[3]);
    EXPECT_EQ(o.GetFixedLight(6), lights[7]);
    o.AddLightB(lights[0]);
    o.RemoveLightB(lights[0]);
    EXPECT_EQ(o.GetMovableLightCount(), 0);
}

TEST_F(ObjectFixture, FailedBoxAllocationKeepsTheFlag) {
    tw::testing::SetAllocFailures(2);  // both attempts of the box's block
    L3DObject o("crate", &world, nullptr);
    tw::testing::SetAllocFailures(0);
    EXPECT_EQ(o.GetBox(), nullptr);
    EXPECT_EQ(o.GetObjectFlags() & L3DObject::kFlagHasBox, L3DObject::kFlagHasBox);
    EXPECT_EQ(o.GetFrameCount(), 1);  // the rest of the object was made
    EXPECT_NE(o.GetPoints(), nullptr);
}

TEST_F(ObjectFixture, WorldObjectList) {
    Notices notices;
    auto* a = new L3DObject("a", &world, &notices);
    auto* b = new L3DObject("b", &world, &notices);
    auto* clone = new L3DObject("c", &world, &notices);
    clone->SetKind(L3DObject::kKindClone);
    LPolygon* bare = world.CreatePolygon(a, 3, nullptr);
    a->AddPolygonToFrame(bare);
    EXPECT_EQ(world.AddObject(a), 1);
    EXPECT_EQ(world.AddObject(b), 1);
    EXPECT_EQ(world.AddObject(clone), 1);
    EXPECT_EQ(bare->material, world.GetDefaultMaterial());
    EXPECT_EQ(world.GetObjects().GetValueAt(0), clone);  // clones lead
    EXPECT_EQ(world.GetObjects().GetHead()->referenceCount, 1);

    L3DObject absent("x", nullptr, nullptr);
    EXPECT_EQ(world.RemoveObject(&absent), 1);
    world.SetAutoDelete(0);
    EXPECT_EQ(world.RemoveObject(b), 0);  // unlisted, alive
    EXPECT_TRUE(notices.gone.empty());
    world.SetAutoDelete(1);
    EXPECT_EQ(world.RemoveObjectAt(7), 1);
    EXPECT_EQ(world.RemoveObject(a), 0);
    EXPECT_EQ(notices.gone.size(), 1u);
    EXPECT_EQ(world.GetObjects().GetCount(), 1);
    delete b;
    EXPECT_EQ(world.RemoveObjectAt(-1), 0);  // destroys what is still listed
    EXPECT_EQ(notices.gone.size(), 3u);
    EXPECT_EQ(world.GetObjects().GetCount(), 0);
}

}  // namespace
