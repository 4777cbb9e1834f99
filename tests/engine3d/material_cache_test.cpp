#include "engine_fixture.h"

#include "engine3d/camera_view.h"
#include "engine3d/material_cache.h"
#include "engine3d/point.h"
#include "engine3d/polygon.h"
#include "runtime/base/alloc_fault_injection.h"
#include "runtime/io/buffer_stream.h"

#include <gtest/gtest.h>

#include <cstring>
#include <memory>
#include <vector>

namespace {

class CountingArray : public LCacheVertexArray {
public:
    explicit CountingArray(int* live) : m_live(live) { ++*m_live; }
    ~CountingArray() override { --*m_live; }

private:
    int* m_live;
};

// Records every indexed draw (a copy of the indices and the vertex count)
// and hands out counted vertex arrays.
class RecordingTarget : public TestTarget {
public:
    using TestTarget::TestTarget;
    void DrawScene(LCacheMaterial* cache, LCameraView*, LPolygonOwner* object) override {
        draws.emplace_back(cache->GetIndices(), cache->GetIndices() + cache->GetIndexCount());
        vertexCounts.push_back(cache->GetVertexCount());
        drawnFor = object;
    }
    LCacheVertexArray* BuildCacheVertexArray(LCacheMaterial*) override {
        ++arraysBuilt;
        return new CountingArray(&liveArrays);
    }
    std::vector<std::vector<uint16_t>> draws;
    std::vector<int32_t> vertexCounts;
    LPolygonOwner* drawnFor = nullptr;
    int arraysBuilt = 0, liveArrays = 0;
};

class RecordingCamera : public LCameraView {
public:
    int32_t Defer(LPolygon* p) override {
        deferred.push_back(p);
        return 0;
    }
    int32_t ClassifySphere(const float*) const override { return sphereAnswer; }
    std::vector<LPolygon*> deferred;
    int32_t sphereAnswer = kSphereOutside;
};

void RecordClipped(void* object, LPolygon* polygon, LCameraView*) {
    static_cast<std::vector<LPolygon*>*>(object)->push_back(polygon);
}

struct CacheFixture : ::testing::Test {
    TestDriver driver;
    RecordingTarget target{&driver};
    L3DWorld world{&target};
    LPolygonOwner owner;
    RecordingCamera camera;
    LMaterial red{&world, "red", nullptr, 0xFF};
    LMaterial blue{&world, "blue", nullptr, 0xFF0000};
    std::vector<std::unique_ptr<L3DPoint>> points;
    std::vector<std::unique_ptr<LPolygon>> polygons;
    std::vector<LPolygon*> clipped;

    CacheFixture() {
        owner.SetWorld(&world);
        camera.position[2] = -10.0f;  // in front of the z = 0 plane
        red.clippedDraw.routine = &RecordClipped;
        red.clippedDraw.object = &clipped;
    }
    L3DPoint* Point(float x, float y) {
        points.push_back(std::make_unique<L3DPoint>(x, y, 0.0f, 0.0f, 0.0f));
        L3DPoint* p = points.back().get();
        p->index = LCacheMaterial::kUnnumbered;
        p->outcode = 1;  // inside the view
        return p;
    }
    LPolygon* Polygon(std::initializer_list<L3DPoint*> corners) {
        polygons.push_back(std::make_unique<LPolygon>(&owner, int32_t(corners.size()), nullptr));
        LPolygon* poly = polygons.back().get();
        for (L3DPoint* p : corners) {
            poly->AddPoint(p);
            std::memcpy(p->world, p->local, sizeof p->world);
        }
        poly->ComputePlanes(0);
        return poly;
    }
    // A square of two triangles sharing the edge a-c.
    void Square(LPolygon** first, LPolygon** second) {
        L3DPoint *a = Point(0, 0), *b = Point(1, 0), *c = Point(1, 1), *d = Point(0, 1);
        *first = Polygon({a, b, c});
        *second = Polygon({a, c, d});
    }
    // True when the triangle as listed faces the camera at z = -10.
    bool FacesCamera(LPolygon* t) {
        float n[3];
        t->WorldNormal(n);
        return n[2] < 0.0f;
    }
};

TEST_F(CacheFixture, AddingAndRemovingTriangles) {
    LMaterialCacheList list;
    LPolygon *t1, *t2;
    Square(&t1, &t2);
    LPolygon* quad = Polygon({Point(0, 0), Point(1, 0), Point(1, 1), Point(0, 1)});

    EXPECT_EQ(list.AddPolygon(&red, quad), 0);  // a quad makes no cache
    EXPECT_EQ(list.GetCount(), 0);
    ASSERT_EQ(list.AddPolygon(&red, t1), 1);
    LCacheMaterial* cache = list.FindByMaterial(&red);
    ASSERT_NE(cache, nullptr);
    EXPECT_EQ(cache->AddTriangle(quad), 0);  // a quad leaves the cache unchanged
    EXPECT_EQ(cache->GetCount(), 1);
    EXPECT_EQ(cache->GetVertexCount(), 3);
    ASSERT_EQ(list.AddPolygon(&red, t2), 1);
    EXPECT_EQ(list.GetCount(), 1);
    EXPECT_EQ(cache->GetVertexCount(), 4);  // the shared edge is numbered once
    EXPECT_EQ(list.FindByMaterial(&blue), nullptr);

    // An unlisted polygon changes nothing.
    list.RemovePolygon(&red, quad);
    EXPECT_EQ(cache->GetCount(), 2);

    // Removing one triangle keeps the numbers of the vertices the other uses.
    list.RemovePolygon(&red, t2);
    EXPECT_EQ(cache->GetVertexCount(), 3);
    EXPECT_EQ(t2->points[2]->index, LCacheMaterial::kUnnumbered);  // d was only t2's
    for (int i = 0; i < 3; ++i) EXPECT_LT(t1->points[i]->index, 3);

    list.RemovePolygon(&red, t1);  // the last triangle: the cache goes
    EXPECT_EQ(list.GetCount(), 0);
    EXPECT_EQ(list.FindByMaterial(&red), nullptr);
    for (int i = 0; i < 3; ++i) EXPECT_EQ(t1->points[i]->index, LCacheMaterial::kUnnumbered);
}

// The survivor of two triangles sharing an edge is drawn with indices below
// the vertex count after the other is removed.
TEST_F(CacheFixture, RemovalThenUpdateDrawsValidIndices) {
    LMaterialCacheList list;
    LPolygon *t1, *t2;
    Square(&t1, &t2);
    list.AddPolygon(&red, t1);
    list.AddPolygon(&red, t2);
    list.Update(&camera, &owner);
    ASSERT_EQ(target.draws.size(), 1u);
    EXPECT_EQ(target.draws[0].size(), 6u);
    EXPECT_EQ(target.drawnFor, &owner);

    list.RemovePolygon(&red, t1);
    list.Update(&camera, &owner);
    ASSERT_EQ(target.draws.size(), 2u);
    ASSERT_EQ(target.draws[1].size(), 3u);
    EXPECT_EQ(target.vertexCounts[1], 3);
    for (uint16_t i : target.draws[1]) EXPECT_LT(i, 3);
    EXPECT_EQ(target.arraysBuilt, 2);
    EXPECT_EQ(target.liveArrays, 1);  // the first array went with the rebuild
    list.DeleteAt(-1);
    EXPECT_EQ(target.liveArrays, 0);  // and the last with the cache
}

TEST_F(CacheFixture, RebuildOnlyWhenDirtyAndAllowed) {
    LMaterialCacheList list;
    LPolygon *t1, *t2;
    Square(&t1, &t2);
    list.AddPolygon(&red, t1);
    LCacheMaterial* cache = list.FindByMaterial(&red);
    EXPECT_EQ(cache->IsDirty(), 1);
    list.Update(&camera, &owner);
    EXPECT_EQ(cache->IsDirty(), 0);
    list.Update(&camera, &owner);
    EXPECT_EQ(target.arraysBuilt, 1);  // clean: no second rebuild
    EXPECT_EQ(target.draws.size(), 2u);

    // The cluster code's material is neither rebuilt nor drawn.
    list.AddPolygon(&red, t2);
    SetClusterProjectedMaterial(&red);
    list.Update(&camera, &owner);
    SetClusterProjectedMaterial(nullptr);
    EXPECT_EQ(cache->IsDirty(), 1);
    EXPECT_EQ(target.draws.size(), 2u);

    // The default shadow material is never rebuilt: without an index array
    // its cache is dropped.
    list.AddPolygon(world.GetDefaultShadowMaterial(), Polygon({Point(0, 0), Point(2, 0), Point(2, 2)}));
    EXPECT_EQ(list.GetCount(), 2);
    list.Update(&camera, &owner);
    EXPECT_EQ(list.GetCount(), 1);
    EXPECT_EQ(list.FindByMaterial(world.GetDefaultShadowMaterial()), nullptr);
}

TEST_F(CacheFixture, FailedIndexArrayLeavesCacheDirtyAndUndrawn) {
    LMaterialCacheList list;
    LPolygon *t1, *t2;
    Square(&t1, &t2);
    list.AddPolygon(&red, t1);
    tw::testing::SetAllocFailures(1000);
    list.Update(&camera, &owner);
    tw::testing::SetAllocFailures(0);
    ASSERT_EQ(list.GetCount(), 1);
    EXPECT_EQ(list.FindByMaterial(&red)->IsDirty(), 1);
    EXPECT_TRUE(target.draws.empty());
    list.Update(&camera, &owner);
    EXPECT_EQ(target.draws.size(), 1u);
}

TEST_F(CacheFixture, BlendedMaterialGoesToSortedPathEveryFrame) {
    LMaterialCacheList list;
    LPolygon *t1, *t2;
    Square(&t1, &t2);
    red.transparency = 128;
    list.AddPolygon(&red, t1);
    list.AddPolygon(&red, t2);
    list.Update(&camera, &owner);
    list.Update(&camera, &owner);
    EXPECT_TRUE(target.draws.empty());
    EXPECT_EQ(camera.deferred, (std::vector<LPolygon*>{t1, t2, t1, t2}));
}

TEST_F(CacheFixture, ClipSwitchClassifiesEachFrame) {
    LMaterialCacheList list;
    list.SetClip();
    L3DPoint *a = Point(0, 0), *b = Point(1, 0), *c = Point(1, 1);
    LPolygon* front = Polygon({a, b, c});
    if (!FacesCamera(front)) front->Invert(), front->ComputePlanes(0);
    ASSERT_TRUE(FacesCamera(front));
    LPolygon* back = Polygon({Point(0, 0), Point(1, 0), Point(1, 1)});
    if (FacesCamera(back)) back->Invert(), back->ComputePlanes(0);
    ASSERT_FALSE(FacesCamera(back));
    LPolygon* outside = Polygon({Point(0, 0), Point(2, 0), Point(2, 2)});
    LPolygon* crossing = Polygon({Point(0, 0), Point(3, 0), Point(3, 3)});
    if (!FacesCamera(outside)) outside->Invert(), outside->ComputePlanes(0);
    if (!FacesCamera(crossing)) crossing->Invert(), crossing->ComputePlanes(0);
    for (int i = 0; i < 3; ++i) outside->points[i]->outcode = 0;  // the sphere test decides
    crossing->points[0]->outcode = 0;                             // partly inside: class 256
    for (LPolygon* t : {front, back, outside, crossing}) {
        t->material = &red;  // the clipping path draws through the polygon's material
        ASSERT_EQ(list.AddPolygon(&red, t), 1);
    }

    list.Update(&camera, &owner);
    ASSERT_EQ(target.draws.size(), 1u);
    const std::vector<uint16_t> frontIndices = {uint16_t(front->points[0]->index),
                                                uint16_t(front->points[1]->index),
                                                uint16_t(front->points[2]->index)};
    EXPECT_EQ(target.draws[0], frontIndices);  // back face and class 128 skipped
    EXPECT_EQ(clipped, (std::vector<LPolygon*>{crossing}));

    world.SetDoubleSided(1);  // now the back face is drawn too
    list.Update(&camera, &owner);
    ASSERT_EQ(target.draws.size(), 2u);
    EXPECT_EQ(target.draws[1].size(), 6u);

    // Clip off: every listed triangle, in list order.
    list.ClearClip();
    list.Update(&camera, &owner);
    ASSERT_EQ(target.draws.size(), 3u);
    EXPECT_EQ(target.draws[2].size(), 12u);
    EXPECT_EQ(target.draws[2][9], crossing->points[0]->index);
}

TEST_F(CacheFixture, DeleteAtAndRemoveMaterial) {
    LMaterialCacheList list;
    LPolygon *t1, *t2;
    Square(&t1, &t2);
    LPolygon* t3 = Polygon({Point(0, 0), Point(2, 0), Point(2, 2)});
    list.AddPolygon(&red, t1);
    list.AddPolygon(&blue, t2);
    list.AddPolygon(&red, t3);  // joins red's cache
    EXPECT_EQ(list.GetCount(), 2);
    list.DeleteAt(5);  // empty position: nothing
    EXPECT_EQ(list.GetCount(), 2);
    list.RemoveMaterial(&red);
    EXPECT_EQ(list.GetCount(), 1);
    EXPECT_NE(list.FindByMaterial(&blue), nullptr);
    list.DeleteAt(0);
    EXPECT_EQ(list.GetCount(), 0);
    list.AddPolygon(&red, t1);
    list.AddPolygon(&blue, t2);
    list.DeleteAt(-1);
    EXPECT_EQ(list.GetCount(), 0);
}

// 16-bit numbering: a triangle that would need number 65535 is refused.
TEST_F(CacheFixture, NumberingStopsBelow65535) {
    LCacheMaterial cache(&red);
    int32_t accepted = 0;
    for (int i = 0; i < 21846; ++i) {  // the last needs numbers 65535 to 65537
        LPolygon* t = Polygon({Point(float(i), 0), Point(float(i), 1), Point(float(i) + 1, 1)});
        accepted += cache.AddTriangle(t);
    }
    EXPECT_EQ(accepted, 21845);
    EXPECT_EQ(cache.GetVertexCount(), 65535);  // numbers 0 to 65534
    cache.Rebuild(&camera, &owner);
    for (LDataNode* n = cache.GetHead(); n; n = n->next)
        for (int i = 0; i < 3; ++i) EXPECT_LT(static_cast<LPolygon*>(n->value)->points[i]->index, 65535);
}

TEST(CacheRecords, WriterBytes) {
    CBufferStream out;
    const uint16_t tri[3] = {1, 2, 0x0304};
    const uint16_t quad[4] = {5, 6, 7, 8};
    const uint32_t six[6] = {1, 2, 3, 4, 5, 0x01020304};
    const uint32_t four[4] = {9, 10, 11, 12};
    const uint16_t named[6] = {0, 3, 1, 7, 8, 9};
    float matrix[12] = {};
    matrix[0] = 1.0f;
    WriteTriangleRecord(out, tri, 9);
    WriteQuadRecord(out, quad, 2);
    WritePairRecord(out, 0xAABBCCDD, 0x1122);
    WriteSixWords(out, six);
    WriteFourWords(out, four);
    WriteNamedRecord(out, "Main", 2, named);
    WriteMatrixRecord(out, matrix);
    const std::vector<uint8_t> expected = {
        3, 1, 0, 2, 0, 4, 3, 9, 0,                          // triangle
        4, 5, 0, 6, 0, 7, 0, 8, 0, 2, 0,                    // quad
        0xDD, 0xCC, 0xBB, 0xAA, 0x22, 0x11,                 // pair
        1, 0, 0, 0, 2, 0, 0, 0, 3, 0, 0, 0, 4, 0, 0, 0, 5, 0, 0, 0, 4, 3, 2, 1,
        9, 0, 0, 0, 10, 0, 0, 0, 11, 0, 0, 0, 12, 0, 0, 0,  // four words
        4, 0, 'M', 'a', 'i', 'n', 2, 0, 0, 3, 0, 1, 0, 7, 0, 8, 0, 9, 0,
        0, 0, 0x80, 0x3F};  // matrix: 1.0f, then 44 zero bytes
    ASSERT_EQ(out.GetSize(), int32_t(expected.size()) + 44);
    EXPECT_EQ(std::vector<uint8_t>(out.GetData(), out.GetData() + expected.size()), expected);
    for (int i = 0; i < 44; ++i) EXPECT_EQ(out.GetData()[expected.size() + i], 0);
}

}  // namespace
