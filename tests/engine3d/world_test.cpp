// The world: construction and Clear, the object rules (clones, removal,
// positions, names), the background settings, nearest-hit order and the
// global triangle across worlds.
#include "frame_fixture.h"

#include "engine3d/engine_globals.h"
#include "engine3d/object_clone.h"
#include "engine3d/sprite.h"
#include "engine3d/texture.h"

#include <algorithm>
#include <cstring>
#include <random>

namespace {

using World = FrameFixture;

void ExpectConstructedState(L3DWorld& world) {
    LBaseMaterial& materials = world.GetMaterialList();
    ASSERT_EQ(materials.GetCount(), 2);
    EXPECT_EQ(materials.GetValueAt(0), world.GetDefaultMaterial());
    EXPECT_EQ(materials.GetValueAt(1), world.GetDefaultShadowMaterial());
    EXPECT_STREQ(world.GetDefaultMaterial()->GetNameText(), "$Ruk3D Mat$ Default Material");
    EXPECT_STREQ(world.GetDefaultShadowMaterial()->GetNameText(), "$Ruk3D Mat$ Default Shadow Material");
    EXPECT_EQ(world.GetObjectCount(), 0);
    EXPECT_EQ(world.GetObjects().GetCount(), 0);
    EXPECT_EQ(world.GetCameraList().GetCount(), 0);
    EXPECT_EQ(world.GetWorldFlags(), 0u);
    EXPECT_EQ(world.GetBackgroundSprite(), nullptr);

    L3DObject* axis = world.GetAxisMarker();
    ASSERT_NE(axis, nullptr);
    EXPECT_STREQ(axis->GetNameText(), "Axis_Obj");
    EXPECT_EQ(axis->GetNPoints(0), L3DWorld::kAxisVertexCount);
    ASSERT_EQ(axis->GetNPolygons(0), L3DWorld::kAxisPolygonCount);
    for (LDataNode* n = axis->GetPolygonList()->GetHead(); n; n = n->next)
        EXPECT_EQ(static_cast<LPolygon*>(n->value)->material, world.GetDefaultMaterial());
}

TEST_F(World, ConstructionAndClearGiveTheSameState) {
    {
        GeometryDriver d;
        TestTarget t(&d);
        L3DWorld fresh(&t);
        ExpectConstructedState(fresh);
    }
    // Axis letters: X is the segments 10-13 and 11-12; the arrowheads are
    // true triangles.
    LPolygon* x = static_cast<LPolygon*>(world.GetAxisMarker()->GetPolygonList()->GetValueAt(2));
    EXPECT_EQ(x->GetPoint(0), x->GetPoint(2));
    EXPECT_EQ(x->GetPoint(0)->local[0], 60.0f);
    EXPECT_EQ(x->GetPoint(1)->local[0], 70.0f);

    Square("a", 100);
    world.GetMaterialList().CreateMaterial("extra", nullptr, 1, 0, nullptr);
    world.SetAxisVisible(1);
    EXPECT_EQ(world.Clear(), 0);
    ExpectConstructedState(world);
}

TEST_F(World, ClonesGoFirstOthersLast) {
    L3DObject* a = Square("a", 100);
    auto* clone = new L3DObjectClone("c", &world, nullptr);
    L3DObject* b = Square("b", 100);
    world.AddObject(clone);
    EXPECT_EQ(world.GetObject(0), clone);
    EXPECT_EQ(world.GetObject(1), a);
    EXPECT_EQ(world.GetObject(2), b);
    EXPECT_EQ(world.GetBaseCluster().GetObjectList().GetValueAt(0), clone);
    EXPECT_EQ(world.GetObjectCount(), 3);
}

TEST_F(World, RemovingASourceRemovesItsTwoClonesOnce) {
    DestroyCounter counter;  // tags: 0 source, 1 and 2 top-level clones, 3 a hung clone
    L3DObject* other = Square("other", 100);
    auto* source = new L3DObject("src", &world, counter.NewTag());
    world.AddObject(source);
    for (int i = 0; i < 2; ++i) {
        auto* c = new L3DObjectClone("c", &world, counter.NewTag());
        world.AddObject(c);
        ASSERT_EQ(c->SetSource(source), 1);
    }
    // A third clone hangs under another object: it goes with the source and
    // the walk neither loops nor counts it.
    auto* hung = new L3DObjectClone("h", &world, counter.NewTag());
    ASSERT_EQ(hung->SetSource(source), 1);
    hung->SetParent(other, 0);
    ASSERT_EQ(world.GetObjectCount(), 4);

    EXPECT_EQ(world.RemoveObject(source), 0);
    EXPECT_EQ(world.GetObjectCount(), 1);
    EXPECT_EQ(world.GetObjects().GetCount(), 1);
    EXPECT_EQ(world.GetObject(0), other);
    for (size_t i = 0; i < counter.Size(); ++i) EXPECT_EQ(counter.Count(i), 1) << i;
    EXPECT_EQ(world.RemoveObject(source), 1);  // absent now
}

TEST_F(World, PositionsWithoutObjectAnswerOne) {
    EXPECT_EQ(world.HideObject(-1), 0);
    EXPECT_EQ(world.RemoveObjectAt(0), 1);
    for (int i = 0; i < 3; ++i) Square("s", 100);
    EXPECT_EQ(world.HideObject(5), 1);
    EXPECT_EQ(world.ShowObject(-2), 1);
    EXPECT_EQ(world.HideObject(2), 0);
    EXPECT_EQ(world.GetObject(2)->IsVisible(), 0);
    EXPECT_EQ(world.RemoveObjectAt(1), 0);
    EXPECT_EQ(world.GetObjectCount(), 2);  // once, not twice
}

// Random add, attach, remove (by object, by position, all) with clones:
// the count matches the list after every step; ASan catches a double
// destruction and the counter a missing one.
TEST_F(World, RandomSequenceKeepsTheCountAndDestroysOnce) {
    DestroyCounter counter;
    std::mt19937 rng(7);
    for (int step = 0; step < 400; ++step) {
        const int action = int(rng() % 6);
        const int32_t n = world.GetObjects().GetCount();
        if (action <= 1 || n == 0) {
            auto* o = new L3DObject(("o" + std::to_string(step)).c_str(), &world, counter.NewTag());
            world.AddObject(o);
        } else if (action == 2) {
            // A clone of some top-level plain object.
            auto* source = world.GetObject(int32_t(rng() % uint32_t(n)));
            auto* c = new L3DObjectClone(("c" + std::to_string(step)).c_str(), &world, counter.NewTag());
            world.AddObject(c);
            c->SetSource(source);
        } else if (action == 3) {
            // Attach one top-level object under another (it leaves the top level).
            L3DObject* child = world.GetObject(int32_t(rng() % uint32_t(n)));
            L3DObject* parent = world.GetObject(int32_t(rng() % uint32_t(n)));
            // Plain objects only: a source hung under its own clone would own
            // that clone and be owned by it.
            if (child->GetKind() == L3DObject::kKindObject && parent->GetKind() == L3DObject::kKindObject)
                child->SetParent(parent, 0);
        } else if (action == 4) {
            world.RemoveObject(world.GetObject(int32_t(rng() % uint32_t(n))));
        } else {
            world.RemoveObjectAt(rng() % 10 == 0 ? -1 : int32_t(rng() % uint32_t(n)));
        }
        ASSERT_EQ(world.GetObjectCount(), world.GetObjects().GetCount()) << "step " << step;
    }
    world.Clear();
    for (size_t i = 0; i < counter.Size(); ++i) EXPECT_EQ(counter.Count(i), 1) << i;
}

TEST_F(World, NamesFindingAndColourDepth) {
    const char* names[] = {"NoName", "Ship", "Object 7"};
    for (const char* name : names) {
        auto* o = new L3DObject(nullptr, &world, nullptr);
        if (std::strcmp(name, "NoName") != 0) o->SetName(name);
        world.AddObject(o);
    }
    world.NameUnnamedObjects();
    EXPECT_STREQ(world.GetObject(0)->GetNameText(), "Object 1");
    EXPECT_STREQ(world.GetObject(1)->GetNameText(), "Ship");
    EXPECT_STREQ(world.GetObject(2)->GetNameText(), "Object 2");

    auto* child = new L3DObject("Mast", &world, nullptr);
    child->SetParent(world.GetObject(1), 0);
    EXPECT_EQ(world.FindObject("Mast"), child);  // descendants: the object name search (case as written)
    EXPECT_EQ(world.FindObject("ship"), world.GetObject(1));
    EXPECT_EQ(world.FindObject("none"), nullptr);

    world.SetColourDepth(16);
    EXPECT_EQ(world.GetMaterialRefreshCount(), 0);
    world.SetColourDepth(32);
    EXPECT_EQ(world.GetMaterialRefreshCount(), 1);
    EXPECT_EQ(world.GetColourDepth(), 32);
}

TEST_F(World, BackgroundSettings) {
    EXPECT_EQ(world.SetBackground(nullptr), 2);
    EXPECT_EQ(world.SetBackground(paint), 2);  // untextured
    EXPECT_EQ(world.GetBackgroundSprite(), nullptr);

    // (screen x, screen y, texture x, texture y) -> kept scales and extent;
    // a texture scale of 0 becomes 1.0 since the frame divides by it.
    struct Case {
        float in[4];
        float screen[2], texture[2];
        int32_t size[2];
    } cases[] = {
        {{-1.0f, 0.5f, 2.0f, -3.0f}, {1.0f, 0.5f}, {2.0f, 1.0f}, {640, 240}},
        {{0.25f, 2.0f, 0.0f, 0.5f}, {0.25f, 2.0f}, {1.0f, 0.5f}, {160, 960}},
    };
    for (const Case& c : cases) {
        ASSERT_EQ(world.SetBackgroundScale(c.in[0], c.in[1], c.in[2], c.in[3]), 0);
        LSprite* s = world.GetBackgroundSprite();
        ASSERT_NE(s, nullptr);
        EXPECT_EQ(world.GetBackgroundScaleX(), c.screen[0]);
        EXPECT_EQ(world.GetBackgroundScaleY(), c.screen[1]);
        EXPECT_EQ(s->GetScaleX(), c.texture[0]);
        EXPECT_EQ(s->GetScaleY(), c.texture[1]);
        EXPECT_EQ(s->GetSize()[0], c.size[0]);
        EXPECT_EQ(s->GetSize()[1], c.size[1]);
    }
    world.Clear();
    driver.failSprites = true;
    EXPECT_EQ(world.SetBackgroundScale(1, 1, 1, 1), 3);
    LTexture* texture = world.CreateTexture("sky", nullptr);
    world.GetTextureList().AddTexture(texture);
    LMaterial* sky = world.GetMaterialList().CreateMaterial("sky", texture, 0, 0, nullptr);
    EXPECT_EQ(world.SetBackground(sky), 3);
    driver.failSprites = false;
    EXPECT_EQ(world.SetBackground(sky), 0);
    EXPECT_EQ(world.GetBackgroundMaterial(), sky);
    EXPECT_EQ(world.GetBackgroundSprite()->GetTexture(), texture);
}

// The background follows the camera's turn: u from angle y, v from angle x,
// the far corners one texture further, then all four turned about the
// texture's middle by angle z.
TEST_F(World, BackgroundCornersFollowTheCamera) {
    LTexture* texture = world.CreateTexture("sky", nullptr);
    ASSERT_EQ(texture->BindCamera(nullptr, 64, 32, 16), 0);  // a 64 x 32 texture
    world.GetTextureList().AddTexture(texture);
    ASSERT_EQ(world.SetBackground(world.GetMaterialList().CreateMaterial("sky", texture, 0, 0, nullptr)), 0);
    ASSERT_EQ(world.SetBackgroundScale(1.0f, 0.5f, 2.0f, 1.0f), 0);
    const float halfTurn = 3.14159265f;
    camera->SetAngleY(halfTurn / 2);  // U = (pi/2) / 2 * 64 / (2 pi) = 8; V = 32 / (2 pi)
    Frame();
    const float V = 32 * 0.15915494f;
    // (x, y, u, v) of the corners at (0 | 640, 0 | 240) on a 320 x 240 view.
    const LSprite* sprite = world.GetBackgroundSprite();
    float straight[4][4];
    std::memcpy(straight, sprite->GetCorners(), sizeof straight);
    for (const auto& c : straight) {
        EXPECT_EQ(c[0], c[0] != 0 ? 320.0f : 0.0f);
        EXPECT_EQ(c[1], c[1] != 0 ? 120.0f : 0.0f);
        EXPECT_NEAR(c[2], c[0] != 0 ? (8 + 64) * 2 : 8 * 2, 1e-3);
        EXPECT_NEAR(c[3], c[1] != 0 ? V + 32 : V, 1e-3);
    }
    EXPECT_EQ(std::count(log.calls.begin(), log.calls.end(), "background"), 1);

    camera->SetAngleZ(halfTurn / 2);  // a quarter turn about (32, 16)
    Frame();
    for (int i = 0; i < 4; ++i) {
        const float* c = sprite->GetCorners() + 4 * i;
        EXPECT_NEAR(c[2], -(straight[i][3] - 16) + 32, 1e-3);
        EXPECT_NEAR(c[3], (straight[i][2] - 32) + 16, 1e-3);
    }
}

TEST_F(World, NearestHitVisitsTheListsInFlagOrder) {
    EXPECT_EQ(world.FindNearestHit(camera, nullptr, 0xFF), nullptr);
    int32_t count = 0;
    const uint32_t* walk = world.GetLastHitWalk(&count);
    const std::vector<uint32_t> order = {2, 64, 16, 4, 8, 32};
    EXPECT_EQ(std::vector<uint32_t>(walk, walk + count), order);
    world.FindNearestHit(camera, nullptr, 4 | 64);
    walk = world.GetLastHitWalk(&count);
    EXPECT_EQ(std::vector<uint32_t>(walk, walk + count), (std::vector<uint32_t>{64, 4}));

    // Without a render target there is no query at all.
    auto* loose = world.CreateCamera(nullptr);
    EXPECT_EQ(world.FindNearestHit(loose, nullptr, 0xFF), nullptr);
    walk = world.GetLastHitWalk(&count);
    EXPECT_EQ(count, 0);
}

// The global triangle outlives every world: each world's frame gives it
// vertices and that world's default material, and each world's destruction
// takes them back, so the next world never reaches freed memory (ASan).
TEST(WorldTriangle, TwoWorldsOneAfterTheOther) {
    for (int round = 0; round < 2; ++round) {
        FrameLog log;
        GeometryDriver driver;
        RecordingTarget target(&driver, &log);
        auto* world = new L3DWorld(&target);
        L3DCamera* camera = world->CreateCamera(nullptr);
        target.Bind(camera, 320, 240);
        camera->RenderWith(&target);
        LPolygon& triangle = GlobalTriangle();
        EXPECT_EQ(triangle.GetCount(), 3);
        EXPECT_EQ(triangle.material, world->GetDefaultMaterial());
        EXPECT_NE(world->GetDefaultMaterial()->FindNode(&triangle), nullptr);
        delete world;
        EXPECT_EQ(triangle.GetCount(), 0);
        EXPECT_EQ(triangle.material, nullptr);
        EXPECT_EQ(triangle.materialNode, nullptr);
        EXPECT_EQ(target.bound, nullptr);  // the bound camera went with the world
    }
}

}  // namespace
