#include "engine_fixture.h"

#include "engine3d/material_cache.h"
#include "engine3d/chunk_stream.h"
#include "engine3d/mesh_bases.h"
#include "engine3d/point.h"
#include "engine3d/polygon.h"
#include "runtime/io/buffer_stream.h"

#include <gtest/gtest.h>

#include <cstring>
#include <vector>

namespace {

struct MeshFixture : ::testing::Test {
    GeometryDriver driver;
    TestTarget target{&driver};
    L3DWorld world{&target};
    LPolygonOwner owner;
    LMultiBasePoly* mesh;
    LMaterial red{&world, "red"}, blue{&world, "blue"};

    MeshFixture() {
        owner.SetWorld(&world);
        mesh = new LMultiBasePoly(&owner);
        mesh->AddBase();
    }
    ~MeshFixture() override { delete mesh; }

    LPolygon* Triangle(LMultiBasePoly& m, LMaterial* material, float x) {
        LBasePoint* points = m.GetPoints();
        LPolygon* p = world.CreatePolygon(&owner, 3, nullptr);
        p->AddPoint(points->AddPoint(x, 0, 0, 0, 0));
        p->AddPoint(points->AddPoint(x + 1, 0, 0, 0, 0));
        p->AddPoint(points->AddPoint(x + 1, 1, 0, 0, 0));
        p->material = material;
        p->ComputePlanes(0);
        EXPECT_EQ(m.AddPolygonToFrame(p), 0);
        return p;
    }
    static LTrackRecord Range(int32_t first, int32_t last, int32_t start = 0) {
        LTrackRecord r = {};
        r.first = first, r.last = last, r.start = start;
        return r;
    }
};

TEST_F(MeshFixture, NewMeshAndDeletingAllFrames) {
    EXPECT_EQ(mesh->GetFrameCount(), 1);
    EXPECT_EQ(mesh->GetCurrentFrame(), 0);
    EXPECT_EQ(mesh->GetTrackCount(), 1);
    ASSERT_NE(mesh->GetCurrentTrack(), nullptr);
    EXPECT_STREQ(mesh->GetCurrentTrack()->name, "Main");
    Triangle(*mesh, &red, 0);
    Triangle(*mesh, &red, 5);

    mesh->DeleteBase(3, 1);  // outside the frames: nothing
    EXPECT_EQ(mesh->GetFrameCount(), 1);
    mesh->DeleteBase(LMultiBasePoly::kAllFrames, 1);
    EXPECT_EQ(driver.polygonsDeleted, 2);
    EXPECT_EQ(mesh->GetFrameCount(), 0);
    EXPECT_EQ(mesh->GetCurrentFrame(), -1);
    EXPECT_EQ(mesh->GetEmptied(), 1);
    // Every per-frame operation answers its "none" value.
    EXPECT_EQ(mesh->GetPolygonList(), nullptr);
    EXPECT_EQ(mesh->GetPoints(), nullptr);
    EXPECT_EQ(mesh->GetCacheList(), nullptr);
    EXPECT_EQ(mesh->CountPolygonsInFrame(), -1);
    EXPECT_EQ(mesh->IndexOfPolygon(nullptr), -1);
    LPolygon loose(&owner, 3, nullptr);
    LDataLink list;
    EXPECT_EQ(mesh->AddPolygonToList(&list, &loose), 7);
    EXPECT_EQ(mesh->AddPolygonToFrame(&loose), 0);
    EXPECT_EQ(list.GetCount(), 0);
}

TEST_F(MeshFixture, FrameStepping) {
    for (int i = 0; i < 3; ++i) mesh->AddBase();  // "Main" now spans 0 to 3
    EXPECT_EQ(mesh->FindTrack("Main")->last, 3);
    struct Case {
        int32_t mode, from, step, expected;
    } cases[] = {
        {2, 3, +1, 0}, {0, 3, +1, 3}, {2, 0, -1, 3}, {0, 0, -1, 0}, {2, 1, +1, 2},
    };
    for (const Case& c : cases) {
        mesh->SetMode(c.mode);
        mesh->SetFrame(c.from);
        owner.AnglesChanged(0);
        if (c.step > 0) mesh->NextFrame(); else mesh->PrevFrame();
        EXPECT_EQ(mesh->GetCurrentFrame(), c.expected) << c.mode << " " << c.from << " " << c.step;
        EXPECT_TRUE(owner.GetFlags() & L3DLocation::kFlagAnglesChanged);
    }
}

TEST_F(MeshFixture, TracksByName) {
    EXPECT_EQ(mesh->DefineTrack(nullptr, Range(0, 1)), 0);
    EXPECT_EQ(mesh->DefineTrack("", Range(0, 1)), 0);
    EXPECT_EQ(mesh->DeleteTrack(""), 0);
    EXPECT_EQ(mesh->DeleteTrack("absent"), 0);
    EXPECT_EQ(mesh->GetTrackCount(), 1);

    EXPECT_EQ(mesh->DefineTrack("walkwalkwalkwalk1234", Range(4, 6, 9)), 1);
    LTrackRecord* walk = mesh->FindTrack("walkwalkwalkwal");
    ASSERT_NE(walk, nullptr);
    EXPECT_STREQ(walk->name, "walkwalkwalkwal");  // 15 of 20 characters
    EXPECT_EQ(walk->start, 6);                    // clamped into [first, last]
    EXPECT_EQ(mesh->DefineTrack("walkwalkwalkwal", Range(7, 8)), 1);  // rewritten in place
    EXPECT_EQ(mesh->GetTrackCount(), 2);
    EXPECT_EQ(walk->first, 7);
    EXPECT_EQ(mesh->DefineTrack("run", Range(10, 12)), 1);

    // Wrapping both ways, the current frame at the track's first.
    EXPECT_EQ(mesh->PrevAnimation(), 1);
    EXPECT_STREQ(mesh->GetCurrentTrack()->name, "run");
    EXPECT_EQ(mesh->GetCurrentFrame(), 10);
    EXPECT_EQ(mesh->NextAnimation(), 1);
    EXPECT_STREQ(mesh->GetCurrentTrack()->name, "Main");
    EXPECT_EQ(mesh->NextAnimation(), 1);
    EXPECT_EQ(mesh->GetCurrentFrame(), 7);

    EXPECT_EQ(mesh->DeleteTrack("walkwalkwalkwal"), 1);  // the current one
    EXPECT_STREQ(mesh->GetCurrentTrack()->name, "Main");
    EXPECT_EQ(mesh->IsSingleStep(nullptr), 0);
}

TEST_F(MeshFixture, SingleStepNeedsEqualPointCounts) {
    mesh->AddBase();
    mesh->AddBase();
    mesh->SetFrame(0);
    Triangle(*mesh, &red, 0);
    mesh->SetFrame(1);
    Triangle(*mesh, &red, 0);
    const LTrackRecord pair01 = Range(0, 1), pair12 = Range(1, 2), span = Range(0, 2);
    EXPECT_EQ(mesh->LAnimationMesh::IsSingleStep(&pair12), 1);
    EXPECT_EQ(mesh->IsSingleStep(&pair01), 1);
    EXPECT_EQ(mesh->IsSingleStep(&pair12), 0);  // frame 2 has no points
    EXPECT_EQ(mesh->IsSingleStep(&span), 0);
}

TEST_F(MeshFixture, PolygonsFollowTheCaches) {
    LPolygon* a = Triangle(*mesh, &red, 0);
    LPolygon* b = Triangle(*mesh, &blue, 2);
    LPolygon* c = Triangle(*mesh, &red, 4);
    EXPECT_EQ(mesh->CountPolygonsInFrame(), 3);
    EXPECT_EQ(mesh->IndexOfPolygon(c), 2);
    ASSERT_NE(mesh->GetCacheList()->FindByMaterial(&red), nullptr);
    EXPECT_EQ(mesh->GetCacheList()->FindByMaterial(&red)->GetCount(), 2);

    // A second use is taken first; the last removes it from frame and cache.
    EXPECT_EQ(mesh->AddPolygonToFrame(a), 0);
    EXPECT_EQ(mesh->CountPolygonsInFrame(), 3);
    mesh->RemovePolygon(a, 1);
    EXPECT_EQ(mesh->CountPolygonsInFrame(), 3);
    mesh->RemovePolygon(a, 1);
    EXPECT_EQ(mesh->CountPolygonsInFrame(), 2);
    EXPECT_EQ(driver.polygonsDeleted, 1);
    EXPECT_EQ(mesh->GetCacheList()->FindByMaterial(&red)->GetCount(), 1);

    LPolygon* d = Triangle(*mesh, &blue, 6);
    mesh->MergeDuplicatePolygons();  // b c d -> b d c
    LDataLink* list = mesh->GetPolygonList();
    EXPECT_EQ(list->GetValueAt(0), b);
    EXPECT_EQ(list->GetValueAt(1), d);
    EXPECT_EQ(list->GetValueAt(2), c);
    EXPECT_EQ(mesh->IndexOfPolygon(c), 2);
}

TEST_F(MeshFixture, CopyBases) {
    Triangle(*mesh, &red, 0);
    mesh->AddBase();
    LMultiBasePoly copy(&owner);
    copy.CopyBases(*mesh);
    ASSERT_EQ(copy.GetFrameCount(), 2);
    copy.SetFrame(0);
    ASSERT_EQ(copy.CountPolygonsInFrame(), 1);
    auto* p = static_cast<LPolygon*>(copy.GetPolygonList()->GetValueAt(0));
    EXPECT_NE(p, mesh->GetPolygonList()->GetValueAt(0));
    EXPECT_EQ(p->material, &red);
    EXPECT_EQ(copy.GetPoints()->IndexOf(p->points[2]), 2);  // the copy's own vertices
    EXPECT_EQ(copy.GetPolygonListAt(1)->GetCount(), 0);

    mesh->CopyBases(*mesh);  // from itself: nothing, no loop
    EXPECT_EQ(mesh->GetFrameCount(), 2);

    LMultiBasePoly empty(&owner);
    LMultiBasePoly target(&owner);
    target.CopyBases(empty);
    EXPECT_EQ(target.GetFrameCount(), 1);
    EXPECT_EQ(target.GetEmptied(), 1);
}

}  // namespace

namespace {

TEST_F(MeshFixture, SavedFramesAndTracks) {
    Triangle(*mesh, nullptr, 0);  // no material: the default material's position
    LTrackRecord walk = Range(0, 0);
    walk.mode = 5;
    walk.pass[0] = 7;
    mesh->DefineTrack("walk", walk);
    CBufferStream stream;
    LChunkStream out(&stream);
    mesh->SaveBases(out);
    const uint8_t* d = stream.GetData();
    const auto u16 = [d](int at) { return d[at] | d[at + 1] << 8; };
    int at = 0;
    EXPECT_EQ(u16(at), 1);  // frames
    at += 2;
    ASSERT_EQ(u16(at), 3);  // the point list: three vertices of eight floats
    at += 2 + 3 * 32;
    EXPECT_EQ(u16(at), 1);  // polygons
    at += 2;
    const int32_t defaultPosition = world.GetMaterialList().IndexOf(world.GetDefaultMaterial());
    const std::vector<uint8_t> triangle = {3, 0, 0, 1, 0, 2, 0, uint8_t(defaultPosition), 0};
    EXPECT_EQ(std::vector<uint8_t>(d + at, d + at + 9), triangle);
    at += 9;
    EXPECT_EQ(std::memcmp(d + at, "OANM", 4), 0);
    const std::vector<uint8_t> anm = {
        0, 0, 0, 0, 0, 0, 2, 0,                                              // Main 0-0, frame 0, two tracks
        4, 0, 'M', 'a', 'i', 'n', 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0,     // Main
        4, 0, 'w', 'a', 'l', 'k', 5, 0, 0, 0, 0, 0, 0, 7, 0, 0, 0, 0, 0,     // walk
        2, 0, 0, 0};                                                         // mode
    ASSERT_EQ(stream.GetSize(), at + 8 + int32_t(anm.size()));
    EXPECT_EQ(d[at + 4] | d[at + 5] << 8, int(anm.size()));
    EXPECT_EQ(std::vector<uint8_t>(d + at + 8, d + at + 8 + anm.size()), anm);
}

}  // namespace
