#include "object_fixture.h"

#include "engine3d/chunk_stream.h"
#include "engine3d/key_tracks.h"
#include "engine3d/object_clone.h"
#include "engine3d/vec3.h"

#include <algorithm>
#include <memory>

namespace {

using ObjectOps = ObjectFixtureBase;

std::unique_ptr<L3DObject> Plain(const char* name, L3DWorld* world = nullptr) {
    return std::make_unique<L3DObject>(name, world, nullptr);
}

TEST_F(ObjectOps, VisibilityAndShadingSwitches) {
    auto parent = Plain("p", &world);
    L3DObject* child = new L3DObject("c", &world, nullptr);
    L3DObject* grandchild = new L3DObject("g", &world, nullptr);
    parent->LinkChild(child);
    child->LinkChild(grandchild);

    parent->Hide(1);
    EXPECT_FALSE(parent->IsVisible());
    EXPECT_FALSE(child->IsVisible());
    EXPECT_TRUE(grandchild->IsVisible());  // Hide(1) hides the children with Hide(0)
    parent->Show();
    EXPECT_TRUE(parent->IsVisible() && child->IsVisible());
    parent->Hide(0);
    EXPECT_TRUE(child->IsVisible());
    parent->Show();

    world.SetShowOnAdd(0);
    parent->Hide(0);
    parent->Show();  // a kind-10 object stays hidden
    EXPECT_FALSE(parent->IsVisible());
    world.SetShowOnAdd(1);

    parent->ShowBox(1, 0);  // hidden: nothing
    EXPECT_FALSE(parent->IsBoxVisible());
    parent->Show();
    parent->ShowBox(1, 1);
    EXPECT_TRUE(parent->IsBoxVisible() && child->IsBoxVisible() && grandchild->IsBoxVisible());
    parent->ShowBox(0, 0);  // off clears the whole subtree
    EXPECT_FALSE(parent->IsBoxVisible() || child->IsBoxVisible() || grandchild->IsBoxVisible());

    parent->SetGouraud(1);
    EXPECT_TRUE(grandchild->IsGouraud());
    parent->SetLambert(1);
    EXPECT_EQ(parent->IsGouraud(), 0);
    EXPECT_EQ(parent->IsLambert(), 1);
    EXPECT_EQ(grandchild->IsLambert(), 1);
    parent->SetLambert(0);
    EXPECT_EQ(parent->GetObjectFlags() & L3DObject::kFlagUnshaded, L3DObject::kFlagUnshaded);
    EXPECT_EQ(parent->GetObjectFlags() & (L3DObject::kFlagGouraud | L3DObject::kFlagLambert), 0u);

    child->SetSavable(0);  // has a parent: stays savable
    EXPECT_EQ(child->IsSavable(), 1);
    parent->SetSavable(0);
    EXPECT_EQ(parent->IsSavable(), 0);
}

TEST_F(ObjectOps, ClusterObjectsPassShadingAndScaleOn) {
    L3DObject* o = Square("static");
    o->MakeStatic(0);  // now with flag 0x1000, kept by the cluster stand-in
    ASSERT_TRUE(o->GetObjectFlags() & L3DObject::kFlagCluster);
    o->SetAlwaysActive(1);  // active, so Scale reaches the request
    const uint32_t flags = o->GetObjectFlags();
    const int before = world.GetClusterRequestCount();
    o->SetGouraud(1);
    o->SetLambert(1);
    o->Scale(2.0f);
    EXPECT_EQ(world.GetClusterRequestCount(), before + 3);
    EXPECT_EQ(o->GetObjectFlags(), flags);
    EXPECT_EQ(o->GetScale()[0], 1.0f);
}

TEST_F(ObjectOps, MaterialModesReadTheSecondCacheEntry) {
    auto o = Plain("m", &world);
    LMaterial* other = world.GetMaterialList().CreateMaterial("other", nullptr, 0, 0, nullptr);
    Triangle(o.get(), {{0, 0, 0}, {0, 1, 0}, {1, 1, 0}});
    paint->SetFlatMode(1);
    EXPECT_EQ(o->IsFlat(), 1);  // alone: the first entry
    Triangle(o.get(), {{5, 0, 0}, {5, 1, 0}, {6, 1, 0}}, other);
    other->SetWireFrameMode(1);
    EXPECT_EQ(o->IsFlat(), 0);  // the second entry's material decides
    EXPECT_EQ(o->IsWireFrame(), 1);

    auto holder = Plain("holder", &world);
    EXPECT_EQ(holder->IsWireFrame(), 0);  // no polygons, no children
    auto* child = o.release();
    holder->LinkChild(child);
    EXPECT_EQ(holder->IsWireFrame(), 1);  // the first child's answer

    // The default material is never made flat or mapped: wireframe instead.
    LPolygon* t = Triangle(child, {{0, 0, 1}, {0, 1, 1}, {1, 1, 1}}, world.GetDefaultMaterial());
    world.GetDefaultMaterial()->SetFlatMode(1);
    child->SetFlat(1);
    EXPECT_EQ(t->material->flags & LMaterial::kFlat, 0u);
    EXPECT_TRUE(t->material->flags & LMaterial::kWireFrame);
    child->SetMapped(1);
    EXPECT_EQ(paint->flags & LMaterial::kMapped, 0u);  // no texture: wireframe
    EXPECT_TRUE(paint->flags & LMaterial::kWireFrame);
}

TEST_F(ObjectOps, PolygonIdsAndMaterials) {
    auto o = Plain("ids", &world);
    LPolygon* line = world.CreatePolygon(o.get(), 3, nullptr);
    line->AddNewPoint(0, 0, 0, 0, 0);
    line->AddNewPoint(1, 0, 0, 0, 0);
    EXPECT_EQ(o->AddPolygon(line, 1), L3DObject::kBadPolygon);
    EXPECT_EQ(o->GetNPolygons(0), 0);
    LPolygon* a = Triangle(o.get(), {{0, 0, 0}, {0, 1, 0}, {1, 1, 0}});
    LPolygon* b = Triangle(o.get(), {{0, 0, 0}, {1, 1, 0}, {1, 0, 0}});
    EXPECT_EQ(o->GetPolygon(0), a);
    EXPECT_EQ(o->GetPolygon(1), b);
    EXPECT_EQ(o->GetPolygon(2), nullptr);
    EXPECT_EQ(a->useCount, 1);

    LMaterial* gold = world.GetMaterialList().CreateMaterial("gold", nullptr, 0, 0, nullptr);
    EXPECT_EQ(o->SetPolygonMaterial(7, gold), L3DObject::kBadPolygon);
    EXPECT_EQ(o->SetPolygonMaterial(1, gold), 0);
    EXPECT_EQ(b->material, gold);
    EXPECT_EQ(a->material, paint);
    o->ReplaceMaterial(paint, gold);
    EXPECT_EQ(a->material, gold);

    // The polygon listed twice counts two uses; removals take them back.
    o->AddPolygonToFrame(a);
    EXPECT_EQ(a->useCount, 2);
    o->RemovePolygon(a, 0);
    EXPECT_EQ(a->useCount, 1);
    EXPECT_EQ(o->GetPolygon(0), a);

    // ClearFrame empties the frame and its caches.
    o->UpdateCurrentBase();
    EXPECT_EQ(o->CountPolygonsInFrame(), 0);
    EXPECT_EQ(o->GetCacheList()->GetCount(), 0);
    EXPECT_EQ(a->inCache, 0);
    world.DeletePolygon(a);
    world.DeletePolygon(b);
    world.DeletePolygon(line);
}

TEST_F(ObjectOps, VertexNormalsAndEnvironmentCoordinates) {
    auto o = Plain("n", &world);
    // Two faces meeting at the x axis: one in the z = 0 plane, one in y = 0.
    LPolygon* flat = Triangle(o.get(), {{0, 0, 0}, {0, 1, 0}, {1, 0, 0}});
    LPolygon* floor = Triangle(o.get(), {{0, 0, 0}, {1, 0, 0}, {0, 0, 1}});
    L3DPoint* shared = flat->points[0];
    ASSERT_EQ(shared, floor->points[0]);  // sharing joined them
    const float* n1 = flat->planes;
    const float* n2 = floor->planes;
    float expected[3];
    Vec3Add(n1, n2, expected);
    Vec3Normalize(expected, expected);

    Vec3Zero(shared->normal);
    o->ComputeVertexNormals(nullptr, shared);  // one point
    for (int i = 0; i < 3; ++i) EXPECT_NEAR(shared->normal[i], expected[i], 1e-6f);
    Vec3Zero(flat->points[1]->normal);
    Vec3Zero(shared->normal);
    o->ComputeVertexNormals(flat, nullptr);  // one polygon's points
    for (int i = 0; i < 3; ++i) EXPECT_NEAR(flat->points[1]->normal[i], n1[i], 1e-6f);
    for (int i = 0; i < 3; ++i) EXPECT_NEAR(shared->normal[i], expected[i], 1e-6f);
    L3DPoint* lone = floor->points[2];
    Vec3Zero(lone->normal);
    o->ComputeVertexNormals(nullptr, nullptr);  // all
    for (int i = 0; i < 3; ++i) EXPECT_NEAR(lone->normal[i], n2[i], 1e-6f);

    o->ComputeEnvMapCoords();
    EXPECT_NEAR(lone->u, 1.0f - (lone->normal[0] + 1.0f) * 0.4878049f, 1e-6f);
    EXPECT_NEAR(lone->v, 1.0f - (lone->normal[1] + 1.0f) * 0.4878049f, 1e-6f);
}

TEST_F(ObjectOps, BoxSphereAndScale) {
    auto o = Plain("box", &world);
    Triangle(o.get(), {{-1, 2, 3}, {4, -5, 6}, {7, 8, -9}});
    o->RefreshBox(1);
    LBasePoint* corners = o->GetBox()->GetPoints();
    const float low[3] = {-1, -5, -9}, high[3] = {7, 8, 6};
    const char* pattern[8] = {"lhl", "hhl", "hll", "lll", "lhh", "hhh", "hlh", "llh"};
    for (int i = 0; i < 8; ++i)
        for (int a = 0; a < 3; ++a)
            EXPECT_EQ(corners->GetPoint(i)->local[a], pattern[i][a] == 'h' ? high[a] : low[a]) << i << a;

    auto empty = Plain("empty", &world);
    empty->RefreshBox(1);
    for (int i = 0; i < 8; ++i)
        for (int a = 0; a < 3; ++a) EXPECT_EQ(empty->GetBox()->GetPoints()->GetPoint(i)->local[a], 0.0f);

    o->SetPositionAndAngles(0, 0, 0, 10, 20, 30);
    o->ComputeTransform();
    o->UpdateTransform(&view);
    const float* s = o->GetSphere();
    EXPECT_FLOAT_EQ(s[0], 13.0f);
    EXPECT_FLOAT_EQ(s[1], 21.5f);
    EXPECT_FLOAT_EQ(s[2], 28.5f);
    EXPECT_FLOAT_EQ(s[3], std::sqrt(4.0f * 4.0f + 6.5f * 6.5f + 7.5f * 7.5f));

    // Swept over a movement of (2, 0, -1): per axis widened, radius = the
    // largest half extent.
    o->CommitFrame(&view);
    o->SetPositionAndAngles(0, 0, 0, 12, 20, 29);
    o->UpdateTransform(&view);
    o->SweepSphere();
    EXPECT_FLOAT_EQ(s[0], 14.0f);  // x from 9 - 0 ... 19 + 0 after the move: [9 + 2 - 2, 19]
    EXPECT_FLOAT_EQ(s[3], 8.0f);   // z: [20 - 1 - 9 ... 35 + 1] half extent 8

    EXPECT_EQ(o->GetBoxSizeX(), 8);
    o->Scale(2.0f);
    EXPECT_EQ(o->GetBoxSizeX(), 16);
    o->MultiplyScale(1, 0.5f, 1);
    EXPECT_EQ(o->GetBoxSizeY(), 13);
    o->Scale(std::nanf(""));
    EXPECT_EQ(o->GetBoxSizeZ(), 0);  // NaN never reaches the conversion
    o->MultiplyScale(1e30f, 1e30f, 1e30f);
    o->Scale(0.0f);
    EXPECT_EQ(Plain("lone")->GetBoxSizeX(), 1);

    auto g = Plain("g", &world);
    Triangle(g.get(), {{1, 0, 0}, {0, 1, 0}, {0, 0, 1}});
    g->RefreshBox(1);
    g->ScaleGeometry(3.0f);
    EXPECT_EQ(g->GetPoints()->GetPoint(0)->local[0], 3.0f);
    EXPECT_EQ(g->GetBox()->GetPoints()->GetPoint(5)->local[1], 3.0f);

    g->SetBoundingRadius(std::sqrt(3.0f) * 2.0f);
    EXPECT_NEAR(g->GetBox()->GetPoints()->GetPoint(5)->local[0], 2.0f, 1e-5f);
    EXPECT_NEAR(g->GetBox()->GetPoints()->GetPoint(3)->local[2], -2.0f, 1e-5f);
}

TEST_F(ObjectOps, ComputeSinCosIgnoresTheMirror) {
    auto o = Plain("mirror");
    L3DLocation plain(0, 0, 0, 0, 0, 0);
    o->SetScale(1, -1, 1);
    plain.SetScale(1, -1, 1);
    o->SetAngleZ(0.5f);
    plain.SetAngleZ(0.5f);
    EXPECT_FLOAT_EQ(o->GetSin()[2], std::sin(0.5f));
    EXPECT_FLOAT_EQ(o->GetCos()[2], std::cos(0.5f));
    EXPECT_FLOAT_EQ(plain.GetSin()[2], -std::sin(0.5f));
}

TEST_F(ObjectOps, SetParentAndMoves) {
    L3DObject* root = Square("root");
    L3DObject* arm = Square("arm");
    L3DObject* hand = Square("hand");
    root->SetPositionAndAngles(0, 0, 0, 10, 0, 0);
    arm->SetPositionAndAngles(0, 0, 0, 13, 1, 0);
    arm->SetParent(root, 0);
    EXPECT_EQ(arm->GetParent(), root);
    EXPECT_EQ(world.GetObjects().FindNode(arm), nullptr);  // left the top level, alive
    const float* local = arm->GetLocalTransform().m;
    EXPECT_EQ(local[3], 3.0f);
    EXPECT_EQ(local[7], 1.0f);
    EXPECT_EQ(local[0], 1.0f);
    hand->SetParent(arm, 0);

    // Cycles are refused: nothing changes.
    root->SetParent(hand, 0);
    root->SetParent(root, 0);
    EXPECT_EQ(root->GetParent(), nullptr);
    EXPECT_EQ(hand->GetRoot(), root);
    hand->SetParent(arm, 0);  // the current parent
    EXPECT_EQ(arm->GetChildren()->GetCount(), 1);

    // Moving a child moves the root forward along the child's facing.
    root->CommitFrame(&view);
    const float before = root->GetZ();
    arm->MoveForward(2.0f);  // facing -z at zero angles
    EXPECT_FLOAT_EQ(root->GetZ(), before - 2.0f);

    hand->SetParent(nullptr, 1);
    EXPECT_EQ(hand->GetParent(), nullptr);
    EXPECT_NE(world.GetObjects().FindNode(hand), nullptr);
}

TEST_F(ObjectOps, DuplicateCopiesTheTree) {
    L3DObject* car = Square("car");
    L3DObject* wheel = Square("$$$DUMMYwheel", false);
    car->LinkChild(wheel);
    auto* eye = new L3DObject("eye", &world, nullptr);
    eye->SetKind(L3DObject::kKindCamera);
    car->LinkChild(eye);
    car->SetPositionAndAngles(0.5f, 0, 0, 1, 2, 3);
    LKeyTrack* moves = car->GetKeys()->Ensure(LKeySet::kTranslate);
    LKeyTrack::AddKey(moves, LKey::Create(), 0);
    LKeyTrack::AddKey(moves, LKey::Create(), 10);

    EXPECT_EQ(eye->Duplicate(nullptr), nullptr);  // kind without bit 0x2
    const int32_t count = world.GetObjects().GetCount();
    L3DObject* copy = car->Duplicate(nullptr);
    ASSERT_NE(copy, nullptr);
    EXPECT_EQ(world.GetObjects().GetCount(), count + 1);
    EXPECT_STREQ(copy->GetNameText(), "car");
    EXPECT_EQ(copy->GetZ(), 3.0f);
    EXPECT_FLOAT_EQ(copy->GetAngles()[0], 0.5f);
    EXPECT_EQ(copy->GetKeys()->GetKeyCount(LKeySet::kTranslate), 2);  // its own copy of the tracks
    EXPECT_NE(copy->GetKeys()->Get(LKeySet::kTranslate), moves);
    L3DLocation there(0, 0, 0, 7, 8, 9);
    EXPECT_EQ(car->Duplicate(&there)->GetX(), 7.0f);  // the given location last
    EXPECT_EQ(copy->GetNPolygons(0), 2);
    EXPECT_NE(copy->GetPolygon(0), car->GetPolygon(0));
    EXPECT_EQ(copy->GetPolygon(0)->GetCount(), 3);
    ASSERT_NE(copy->GetChildren(), nullptr);
    ASSERT_EQ(copy->GetChildren()->GetCount(), 1);  // the camera is not copied
    auto* wheelCopy = static_cast<L3DObject*>(copy->GetChildren()->GetHead()->value);
    EXPECT_STREQ(wheelCopy->GetNameText(), "$$$DUMMYwheel");
    EXPECT_EQ(wheelCopy->GetNPolygons(0), 2);
    // Unnamed copies are "Object %d" from the world's object count.
    auto* anon = new L3DObject(nullptr, &world, nullptr);
    world.AddObject(anon);
    L3DObject* anonCopy = anon->Duplicate(nullptr);
    char name[32];
    anonCopy->GetName(name, sizeof name);
    EXPECT_EQ(std::string(name), "Object " + std::to_string(world.GetObjects().GetCount() - 1));
    delete eye;  // not owned by its parent
}

TEST_F(ObjectOps, MakeStaticBakesAndHandsOver) {
    L3DObject* o = Square("s");
    L3DObject* child = Square("c", false);
    o->LinkChild(child);
    o->SetPositionAndAngles(0, 0, 0, 5, 0, 0);
    o->MakeStatic(1);
    EXPECT_EQ(world.GetObjects().FindNode(o), nullptr);
    EXPECT_NE(world.GetClusterObjects().FindNode(o), nullptr);
    EXPECT_NE(world.GetClusterObjects().FindNode(child), nullptr);
    EXPECT_EQ(world.GetAutoDelete(), 1);
    EXPECT_EQ(o->GetObjectFlags() & (L3DObject::kFlagMovable | L3DObject::kFlagCluster), L3DObject::kFlagCluster);
    EXPECT_EQ(child->GetParent(), nullptr);
    EXPECT_EQ(o->GetX(), 0.0f);
    EXPECT_EQ(o->GetPoints()->GetPoint(0)->local[0], 5.0f);  // baked at its old place
    EXPECT_EQ(o->GetBox()->GetPoints()->GetPoint(3)->local[0], 5.0f);
    EXPECT_EQ(o->IsActive(), 0);
}

TEST_F(ObjectOps, BakeTransformTurnsThePoints) {
    L3DObject* o = Square("b");
    o->SetPositionAndAngles(0, 0, 0, 1, 2, 3);
    o->SetAngleY(1.5707964f);
    o->Scale(2.0f);
    o->UpdateFrame(&view);
    float expected[3];
    Vec3Copy(o->GetPolygon(0)->points[2]->world, expected);
    o->BakeTransform();
    EXPECT_EQ(o->GetScale()[0], 1.0f);
    EXPECT_EQ(o->GetAngles()[1], 0.0f);
    EXPECT_EQ(o->GetRotation().m[0], 1.0f);  // rebuilt at once
    for (int i = 0; i < 3; ++i) EXPECT_FLOAT_EQ(o->GetPolygon(0)->points[2]->local[i], expected[i]);
    // The face that faced -z now faces the turned way.
    EXPECT_NEAR(std::fabs(o->GetPolygon(0)->planes[0]), 1.0f, 1e-5f);
}

TEST_F(ObjectOps, SavedObjectChunks) {
    L3DObject* o = Square("$$$DUMMYtruck");
    L3DObject* part = Square("part", false);
    o->LinkChild(part);
    L3DObject* unsaved = Square("unsaved", false);
    unsaved->SetSavable(0);  // cleared before it gets a parent
    o->LinkChild(unsaved);
    o->userWord = 0xABCD;
    o->SetShadowSize(4.0f, 6.0f);
    o->EnableShadow(1);
    L3DObject* clone = o->Clone(nullptr);
    ASSERT_NE(clone, nullptr);

    CBufferStream stream;
    LChunkStream out(&stream);
    o->SaveObject(out, 0);
    const uint8_t* d = stream.GetData();
    ASSERT_EQ(std::string(reinterpret_cast<const char*>(d), 4), "OB3D");
    uint32_t kind, flags;
    std::memcpy(&kind, d + 8, 4);
    std::memcpy(&flags, d + 12, 4);
    EXPECT_EQ(kind, o->GetKind());
    EXPECT_EQ(flags, o->GetObjectFlags());
    const std::string bytes(reinterpret_cast<const char*>(d), size_t(stream.GetSize()));
    EXPECT_EQ(bytes.substr(16, 2), std::string("\x0d\x00", 2));
    EXPECT_EQ(bytes.substr(18, 13), "$$$DUMMYtruck");
    EXPECT_EQ(bytes.substr(31, 9), std::string("\x07\x00", 2) + "3DWORLD");
    EXPECT_EQ(bytes.substr(40, 2), std::string("\x01\x00", 2));  // one savable child
    // Sub-chunks in order after the frames.
    std::vector<size_t> at;
    for (const char* tag : {"OANM", "OLOC", "OKEY", "OSHA", "OCLO"}) at.push_back(bytes.find(tag));
    ASSERT_NE(at[4], std::string::npos);
    uint32_t ocloSize;
    std::memcpy(&ocloSize, d + at[4] + 4, 4);
    at.push_back(bytes.find("OUSE", at[4] + 8 + ocloSize));  // after the clone's own chunks
    for (size_t i = 0; i < at.size(); ++i) ASSERT_NE(at[i], std::string::npos) << i;
    EXPECT_TRUE(std::is_sorted(at.begin(), at.end()));
    const size_t child = bytes.find("OB3D", at[5]);
    ASSERT_NE(child, std::string::npos);
    EXPECT_NE(bytes.find("part", child), std::string::npos);
    EXPECT_EQ(bytes.find("unsaved"), std::string::npos);
    uint32_t user;
    std::memcpy(&user, d + at[5] + 8, 4);
    EXPECT_EQ(user, 0xABCDu);
    // "OSHA": mode 2, width, height, names, enabled, then "TSHA" with a 0 size.
    const uint8_t* sha = d + at[3] + 8;
    uint32_t mode;
    uint16_t w, h;
    std::memcpy(&mode, sha, 4);
    std::memcpy(&w, sha + 4, 2);
    std::memcpy(&h, sha + 6, 2);
    EXPECT_EQ(mode, 2u);
    EXPECT_EQ(w, 4);
    EXPECT_EQ(h, 6);
    EXPECT_EQ(sha[8] | sha[9], 0);  // no texture: empty file name
    EXPECT_EQ(sha[12], 1);          // enabled
    EXPECT_EQ(std::string(reinterpret_cast<const char*>(sha + 13), 4), "TSHA");
    uint32_t tshaSize, oshaSize;
    std::memcpy(&tshaSize, sha + 17, 4);
    std::memcpy(&oshaSize, d + at[3] + 4, 4);
    EXPECT_EQ(tshaSize, 0u);
    EXPECT_EQ(oshaSize, 13u + 8u + 7u);  // covers "TSHA"
    // "OCLO": the clone count, then the clone's "OB3D" and the source's name.
    const uint8_t* clo = d + at[4] + 8;
    EXPECT_EQ(clo[0], 1);
    EXPECT_EQ(std::string(reinterpret_cast<const char*>(clo + 2), 4), "OB3D");
    uint32_t cloneSize;
    std::memcpy(&cloneSize, clo + 6, 4);
    EXPECT_EQ(std::string(reinterpret_cast<const char*>(clo + 10 + cloneSize), 7), std::string("\x05\x00", 2) + "truck");

    // Nothing without the savable flag.
    CBufferStream empty;
    LChunkStream none(&empty);
    unsaved->SaveObject(none, 0);
    EXPECT_EQ(empty.GetSize(), 0);
}

TEST_F(ObjectOps, ShadowQuadAndIntensity) {
    world.SetGroundPlane(0.0f);
    auto o = Plain("shadowed", &world);
    Triangle(o.get(), {{0, 0, 0}, {1, 0, 0}, {0, 1, 1}});
    o->RefreshBox(1);
    o->SetPositionAndAngles(0, 0, 0, 5, 10, 5);
    o->UpdateTransform(&view);
    L3DLocation shadow(0.3f, 0, 0, 0, 0, 0);
    LShadowRecord record{};
    EXPECT_EQ(o->ShadowIntensity(&shadow, &record), 76);  // trunc(15 * 128 / 25)
    EXPECT_EQ(shadow.GetPosition()[0], 5.0f);
    EXPECT_FLOAT_EQ(shadow.GetAngles()[0], 0.3f);
    EXPECT_EQ(record.normal[1], 1.0f);
    EXPECT_NEAR(record.height, 0.0001f, 1e-6f);
    o->SetPositionAndAngles(0, 0, 0, 5, 30, 5);
    o->UpdateTransform(&view);
    EXPECT_EQ(o->ShadowIntensity(&shadow, &record), 0);  // beyond 25 box widths

    int32_t w = -1, h = -1;
    o->GetShadowSize(&w, &h);
    EXPECT_EQ(w, 0);  // no quad yet
    EXPECT_EQ(o->GetShadowTexture(), nullptr);
    o->EnableShadow(1);
    o->GetShadowSize(&w, &h);
    EXPECT_EQ(w, 20);
    o->SetShadowSize(std::nanf(""), 1e30f);
    o->GetShadowSize(&w, &h);
    EXPECT_EQ(w, 0);
    EXPECT_EQ(h, INT32_MAX);
    o->SetShadowSize(8, 2);
    o->DropShadowQuad();
    o->PlaceShadowQuad(&view);
    for (int i = 0; i < 4; ++i) EXPECT_NEAR(o->GetShadowQuad()->points[i]->world[1], 0.1f, 1e-5f);

    // A texture gives the quad a private material, removed again with null.
    LTexture* texture = world.CreateTexture("spot", nullptr);
    const int32_t materials = world.GetMaterialList().GetCount();
    o->SetShadowTexture(texture);
    EXPECT_EQ(o->GetShadowTexture(), texture);
    EXPECT_EQ(world.GetMaterialList().GetCount(), materials + 1);
    EXPECT_NE(world.GetMaterialList().FindByName("ShadowMat : shadowed"), nullptr);
    EXPECT_EQ(o->GetShadowQuad()->material->transparency, 192);
    o->SetShadowTexture(nullptr);
    EXPECT_EQ(world.GetMaterialList().GetCount(), materials);
    EXPECT_EQ(o->GetShadowQuad()->material, world.GetDefaultShadowMaterial());
    o->SetShadowTexture(texture);  // the private material goes with the object
}

}  // namespace
