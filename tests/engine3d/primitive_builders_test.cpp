// The primitive builders: vertex and triangle layouts, blended normals and
// the texture coordinates derived from them, names and counters, rejected
// and failed builds (nothing left behind), and the material-cache purge.
#include "engine_fixture.h"

#include "engine3d/material.h"
#include "engine3d/material_cache.h"
#include "engine3d/object.h"
#include "engine3d/primitive_builders.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <climits>
#include <cmath>
#include <limits>
#include <string>
#include <vector>

namespace {

constexpr float kEnv = 0.4878049f;

// Real vertices and polygons, counted while alive; budgets make the driver
// refuse after so many.
class CountingDriver : public GeometryDriver {
public:
    L3DPoint* CreatePoint(float x, float y, float z, float u, float v) override {
        if (pointBudget-- <= 0) return nullptr;
        ++livePoints;
        return GeometryDriver::CreatePoint(x, y, z, u, v);
    }
    void DeletePoint(L3DPoint* p) override {
        --livePoints;
        GeometryDriver::DeletePoint(p);
    }
    LPolygon* CreatePolygon(LPolygonOwner* owner, int32_t reserved, void* cb) override {
        if (polygonBudget-- <= 0) return nullptr;
        ++livePolygons;
        return GeometryDriver::CreatePolygon(owner, reserved, cb);
    }
    void DeletePolygon(LPolygon* p) override {
        --livePolygons;
        GeometryDriver::DeletePolygon(p);
    }
    int64_t pointBudget = INT64_MAX, polygonBudget = INT64_MAX;
    int livePoints = 0, livePolygons = 0;
};

struct BuilderTest : ::testing::Test {
    CountingDriver driver;
    TestTarget target{&driver};
    L3DWorld world{&target};

    static std::vector<LPolygon*> Polygons(L3DObject* o) {
        std::vector<LPolygon*> out;
        for (LDataNode* n = o->GetPolygonList()->GetHead(); n; n = n->next) out.push_back(static_cast<LPolygon*>(n->value));
        return out;
    }
    // Each triangle as the indices of its vertices in the object's list.
    static std::vector<std::vector<int>> Triangles(L3DObject* o) {
        std::vector<std::vector<int>> out;
        for (LPolygon* p : Polygons(o)) {
            std::vector<int> t;
            for (int i = 0; i < p->count; ++i) t.push_back(o->GetPoints()->IndexOf(p->points[i]));
            out.push_back(t);
        }
        return out;
    }
    static std::string Name(L3DObject* o) {
        char name[64];
        o->GetName(name, sizeof name);
        return name;
    }
    // Replays the blending (n = (n + face) / 2 per triangle, in order) over
    // face normals given per triangle.
    static std::vector<std::array<double, 3>> Blend(int vertices, const std::vector<std::vector<int>>& triangles,
                                                    const std::vector<std::array<double, 3>>& faces) {
        std::vector<std::array<double, 3>> n(size_t(vertices), {0, 0, 0});
        for (size_t t = 0; t < triangles.size(); ++t)
            for (int v : triangles[t])
                for (int a = 0; a < 3; ++a) n[size_t(v)][a] = (n[size_t(v)][a] + faces[t][a]) * 0.5;
        return n;
    }
    static std::array<double, 3> FaceNormal(const float* p0, const float* p1, const float* p2) {
        const double a[3] = {double(p1[0]) - p0[0], double(p1[1]) - p0[1], double(p1[2]) - p0[2]};
        const double b[3] = {double(p2[0]) - p0[0], double(p2[1]) - p0[1], double(p2[2]) - p0[2]};
        std::array<double, 3> c = {a[1] * b[2] - a[2] * b[1], a[2] * b[0] - a[0] * b[2], a[0] * b[1] - a[1] * b[0]};
        const double l = std::sqrt(c[0] * c[0] + c[1] * c[1] + c[2] * c[2]);
        if (l > 0)
            for (double& x : c) x /= l;
        return c;
    }
    void ExpectNormals(L3DObject* o, const std::vector<std::array<double, 3>>& expected) {
        ASSERT_EQ(o->GetPoints()->GetCount(), int32_t(expected.size()));
        for (size_t i = 0; i < expected.size(); ++i) {
            const L3DPoint* p = o->GetPoints()->GetPoint(int32_t(i));
            for (int a = 0; a < 3; ++a) EXPECT_NEAR(p->normal[a], expected[i][a], 1e-6) << "vertex " << i << " axis " << a;
            // Texture coordinates from the blended normal, inside the range.
            EXPECT_FLOAT_EQ(p->u, 1.0f - (p->normal[0] + 1.0f) * kEnv) << i;
            EXPECT_FLOAT_EQ(p->v, 1.0f - (p->normal[1] + 1.0f) * kEnv) << i;
            EXPECT_GE(p->u, 1.0f - 2.0f * kEnv);
            EXPECT_LE(p->u, 1.0f);
            EXPECT_GE(p->v, 1.0f - 2.0f * kEnv);
            EXPECT_LE(p->v, 1.0f);
        }
    }
};

const std::vector<std::vector<int>> kBrickTriangles = {{0, 3, 2}, {0, 2, 1}, {1, 2, 6}, {1, 6, 5}, {4, 5, 6}, {4, 6, 7},
                                                       {0, 4, 7}, {0, 7, 3}, {7, 6, 2}, {7, 2, 3}, {0, 1, 5}, {0, 5, 4}};

TEST_F(BuilderTest, BrickLayoutNormalsAndTextureCoordinates) {
    L3DObject* brick = BuildBrick(&world, 2, 4, 6);
    ASSERT_NE(brick, nullptr);
    const float corners[8][3] = {{-1, 2, -3}, {1, 2, -3}, {1, -2, -3}, {-1, -2, -3},
                                 {-1, 2, 3},  {1, 2, 3},  {1, -2, 3},  {-1, -2, 3}};
    ASSERT_EQ(brick->GetPoints()->GetCount(), 8);
    for (int i = 0; i < 8; ++i)
        for (int a = 0; a < 3; ++a) EXPECT_EQ(brick->GetPoints()->GetPoint(i)->local[a], corners[i][a]) << i;
    EXPECT_EQ(Triangles(brick), kBrickTriangles);
    // Face normals by hand (the engine's winding points them inward): two
    // triangles per face, faces z-, x+, z+, x-, y-, y+.
    const std::array<double, 3> faces[6] = {{0, 0, 1}, {-1, 0, 0}, {0, 0, -1}, {1, 0, 0}, {0, 1, 0}, {0, -1, 0}};
    std::vector<std::array<double, 3>> perTriangle;
    for (const auto& f : faces) perTriangle.insert(perTriangle.end(), {f, f});
    const auto expected = Blend(8, kBrickTriangles, perTriangle);
    ExpectNormals(brick, expected);
    // P0 once more, worked out by hand: (0,0,1) twice, (1,0,0) twice,
    // (0,-1,0) twice.
    const float* n0 = brick->GetPoints()->GetPoint(0)->normal;
    EXPECT_FLOAT_EQ(n0[0], 0.1875f);
    EXPECT_FLOAT_EQ(n0[1], -0.75f);
    EXPECT_FLOAT_EQ(n0[2], 0.046875f);
    // The order matters: the same triangles reversed blend differently.
    auto reversed = kBrickTriangles;
    std::reverse(reversed.begin(), reversed.end());
    std::reverse(perTriangle.begin(), perTriangle.end());
    EXPECT_NE(Blend(8, reversed, perTriangle)[0], expected[0]);

    for (LPolygon* p : Polygons(brick)) EXPECT_EQ(p->material, world.GetDefaultMaterial());
    EXPECT_EQ(world.GetObjects().FindNode(brick), nullptr);
    EXPECT_EQ(brick->GetKind(), uint32_t(L3DObject::kKindObject));
    delete brick;
}

TEST_F(BuilderTest, PyramidLayoutAndBlendedNormals) {
    L3DObject* pyramid = BuildPyramid(&world, 2, 4, 6);
    ASSERT_NE(pyramid, nullptr);
    const float corners[5][3] = {{0, 2, 0}, {-1, -2, -3}, {-1, -2, 3}, {1, -2, 3}, {1, -2, -3}};
    ASSERT_EQ(pyramid->GetPoints()->GetCount(), 5);
    for (int i = 0; i < 5; ++i)
        for (int a = 0; a < 3; ++a) EXPECT_EQ(pyramid->GetPoints()->GetPoint(i)->local[a], corners[i][a]) << i;
    const std::vector<std::vector<int>> triangles = {{0, 1, 4}, {0, 2, 1}, {0, 3, 2}, {0, 4, 3}, {2, 4, 1}, {2, 3, 4}};
    EXPECT_EQ(Triangles(pyramid), triangles);
    std::vector<std::array<double, 3>> faces;
    for (const auto& t : triangles) faces.push_back(FaceNormal(corners[t[0]], corners[t[1]], corners[t[2]]));
    // The base's two triangles face +y (inward, as every face here).
    EXPECT_EQ(faces[4], (std::array<double, 3>{0, 1, 0}));
    ExpectNormals(pyramid, Blend(5, triangles, faces));
    // V1 by hand: faces (0,1,4) = (0, -3, 4)/5, (0,2,1) = (4, -1, 0)/sqrt(17)
    // and the base (0, 1, 0), blended in that order.
    const double r = std::sqrt(17.0);
    const float* n1 = pyramid->GetPoints()->GetPoint(1)->normal;
    EXPECT_NEAR(n1[0], 1 / r, 1e-6);
    EXPECT_NEAR(n1[1], ((-0.3 - 1 / r) / 2 + 1) / 2, 1e-6);
    EXPECT_NEAR(n1[2], 0.1, 1e-6);
    delete pyramid;
}

TEST_F(BuilderTest, SphereCounts) {
    struct Case {
        int32_t segments, rings;
        bool built;
        int32_t vertices, triangles;
    };
    const Case cases[] = {
        {8, -1, true, 29, 48},   // R = 3: 2 + 3 x 9 vertices, 8 + 2 x 8 x 2 + 8 triangles
        {1, -1, false, 0, 0},    // R = -1
        {3, -1, true, 2, 0},     // R = 0: the poles alone
        {0, 2, true, 4, 0},      // no segments: one vertex a ring, no triangles
        {4, 1, true, 7, 8},      // one ring: both caps
        {-1, 3, false, 0, 0},
        {8, -2, false, 0, 0},
        {INT_MAX, 2, false, 0, 0},  // vertices beyond 32 bits
        {65536, 32768, false, 0, 0},  // triangles beyond 32 bits
    };
    for (const Case& c : cases) {
        const int32_t counter = world.GetPrimitiveCounter(L3DWorld::kPrimitiveSphere);
        L3DObject* sphere = BuildSphere(&world, 1, 1, 1, c.segments, c.rings);
        EXPECT_EQ(sphere != nullptr, c.built) << c.segments << ", " << c.rings;
        EXPECT_EQ(world.GetPrimitiveCounter(L3DWorld::kPrimitiveSphere), counter + (c.built ? 1 : 0));
        if (!sphere) continue;
        EXPECT_EQ(sphere->GetPoints()->GetCount(), c.vertices) << c.segments << ", " << c.rings;
        EXPECT_EQ(sphere->GetNPolygons(0), c.triangles) << c.segments << ", " << c.rings;
        delete sphere;
    }
}

TEST_F(BuilderTest, SphereVerticesLieOnTheEllipsoidWithTheirTextureCoordinates) {
    L3DObject* sphere = BuildSphere(&world, 2, 3, 4, 8, -1);
    ASSERT_NE(sphere, nullptr);
    LBasePoint* v = sphere->GetPoints();
    EXPECT_EQ(v->GetPoint(0)->local[1], 3.0f);
    EXPECT_EQ(v->GetPoint(1)->local[1], -3.0f);
    for (int ring = 1; ring <= 3; ++ring)
        for (int j = 0; j <= 8; ++j) {
            const L3DPoint* p = v->GetPoint(2 + (ring - 1) * 9 + j);
            const double e = std::pow(p->local[0] / 2.0, 2) + std::pow(p->local[1] / 3.0, 2) + std::pow(p->local[2] / 4.0, 2);
            EXPECT_NEAR(e, 1.0, 1e-5) << ring << "/" << j;
            EXPECT_NEAR(p->u, j / 8.0, 1e-6);
            EXPECT_NEAR(p->v, (1.0 + p->local[1] / 3.0) / 2.0, 1e-6);
        }
    // North to south: ring 1 is above the equator, ring 3 below.
    EXPECT_GT(v->GetPoint(2)->local[1], 0.0f);
    EXPECT_LT(v->GetPoint(2 + 2 * 9)->local[1], 0.0f);
    // The caps: (north, ring1[k], ring1[k+1]) first, (south, ring3[k+1], ring3[k]) last.
    const auto t = Triangles(sphere);
    EXPECT_EQ(t.front(), (std::vector<int>{0, 2, 3}));
    EXPECT_EQ(t[8], (std::vector<int>{2, 11, 12}));
    EXPECT_EQ(t[9], (std::vector<int>{2, 12, 3}));
    EXPECT_EQ(t.back(), (std::vector<int>{1, 20 + 8, 20 + 7}));
    delete sphere;
}

TEST_F(BuilderTest, PlaneTextureCoordinatesFollowTheTilings) {
    L3DObject* plane = BuildPlane(&world, 10, 20, 2, -3);
    ASSERT_NE(plane, nullptr);
    ASSERT_EQ(plane->GetPoints()->GetCount(), 4);
    for (int i = 0; i < 4; ++i) {
        const L3DPoint* p = plane->GetPoints()->GetPoint(i);
        EXPECT_EQ(p->local[2], 0.0f);
        EXPECT_EQ(p->v, p->local[1] < 0 ? 0.0f : 2.0f) << i;
        EXPECT_EQ(p->u, p->local[0] < 0 ? 3.0f : 0.0f) << i;
        EXPECT_EQ(std::fabs(p->local[0]), 5.0f);
        EXPECT_EQ(std::fabs(p->local[1]), 10.0f);
    }
    EXPECT_EQ(Triangles(plane), (std::vector<std::vector<int>>{{3, 1, 0}, {2, 1, 3}}));
    delete plane;
    // Tilings of 0 (and of any sign) are accepted.
    L3DObject* flat = BuildPlane(&world, 1, 1, 0, 0);
    ASSERT_NE(flat, nullptr);
    for (int i = 0; i < 4; ++i) EXPECT_EQ(flat->GetPoints()->GetPoint(i)->u, 0.0f);
    delete flat;
}

TEST_F(BuilderTest, NamesCountPerKindAndRejectedCallsMoveNothing) {
    const int points = driver.livePoints, polygons = driver.livePolygons;
    const float nan = std::numeric_limits<float>::quiet_NaN(), inf = std::numeric_limits<float>::infinity();
    EXPECT_EQ(BuildBrick(&world, -1, 1, 1), nullptr);
    EXPECT_EQ(BuildBrick(&world, 1, nan, 1), nullptr);
    EXPECT_EQ(BuildPyramid(&world, 1, 1, inf), nullptr);
    EXPECT_EQ(BuildSphere(&world, 1, -0.5f, 1, 8, -1), nullptr);
    EXPECT_EQ(BuildPlane(&world, -inf, 1, 1, 1), nullptr);
    EXPECT_EQ(BuildBrick(nullptr, 1, 1, 1), nullptr);
    EXPECT_EQ(driver.livePoints, points);
    EXPECT_EQ(driver.livePolygons, polygons);

    L3DObject* b0 = BuildBrick(&world, 1, 1, 1);
    L3DObject* b1 = BuildBrick(&world, 1, 1, 1);
    L3DObject* s0 = BuildSphere(&world, 1, 1, 1, 8, -1);
    L3DObject* p0 = BuildPyramid(&world, 1, 1, 1);
    L3DObject* q0 = BuildPlane(&world, 1, 1, 1, 1);
    EXPECT_EQ(Name(b0), "Brick #0");
    EXPECT_EQ(Name(b1), "Brick #1");
    EXPECT_EQ(Name(s0), "Sphere #0");
    EXPECT_EQ(Name(p0), "Pyramid #0");
    EXPECT_EQ(Name(q0), "Plane #0");
    for (L3DObject* o : {b0, b1, s0, p0, q0}) delete o;
    EXPECT_EQ(driver.livePoints, points);
    EXPECT_EQ(driver.livePolygons, polygons);
}

TEST_F(BuilderTest, RefusedVerticesOrPolygonsLeaveNothingBehind) {
    const int points = driver.livePoints, polygons = driver.livePolygons;
    // Each budget runs out somewhere inside the build (a plane needs 4
    // vertices and 2 triangles, a pyramid 5 and 6, a brick 8 and 12).
    for (int64_t budget : {0, 1, 3}) {
        driver.pointBudget = budget;
        EXPECT_EQ(BuildBrick(&world, 1, 1, 1), nullptr) << budget;
        EXPECT_EQ(BuildSphere(&world, 1, 1, 1, 8, -1), nullptr) << budget;
        EXPECT_EQ(BuildPlane(&world, 1, 1, 1, 1), nullptr) << budget;
        driver.pointBudget = INT64_MAX;
        driver.polygonBudget = budget;
        EXPECT_EQ(BuildPyramid(&world, 1, 1, 1), nullptr) << budget;
        EXPECT_EQ(BuildBrick(&world, 1, 1, 1), nullptr) << budget;
        EXPECT_EQ(BuildSphere(&world, 1, 1, 1, 8, -1), nullptr) << budget;
        if (budget < 2) {
            EXPECT_EQ(BuildPlane(&world, 1, 1, 1, 1), nullptr) << budget;
        }
        driver.polygonBudget = INT64_MAX;
    }
    EXPECT_EQ(driver.livePoints, points);
    EXPECT_EQ(driver.livePolygons, polygons);
    for (int32_t kind = 0; kind < L3DWorld::kPrimitiveKinds; ++kind) EXPECT_EQ(world.GetPrimitiveCounter(kind), 0);
}

TEST_F(BuilderTest, ZeroSizesGiveDegenerateGeometryWithoutNaN) {
    for (L3DObject* o : {BuildBrick(&world, 0, 0, 0), BuildPyramid(&world, 0, 2, 0), BuildSphere(&world, 0, 0, 0, 6, -1),
                         BuildPlane(&world, 0, 0, 1, 1)}) {
        ASSERT_NE(o, nullptr);
        for (int32_t i = 0; i < o->GetPoints()->GetCount(); ++i) {
            const L3DPoint* p = o->GetPoints()->GetPoint(i);
            for (float f : {p->normal[0], p->normal[1], p->normal[2], p->u, p->v}) EXPECT_FALSE(std::isnan(f));
        }
        for (LPolygon* p : Polygons(o))
            for (int a = 0; a < 4; ++a) EXPECT_FALSE(std::isnan(p->planes[a]));
        delete o;
    }
}

TEST_F(BuilderTest, PurgeDropsOneMaterialsCachesThroughTheTree) {
    LMaterial* red = world.GetMaterialList().CreateMaterial("red", nullptr, 0x0000FF, 0, nullptr);
    L3DObject* parent = BuildBrick(&world, 1, 1, 1);
    L3DObject* child = BuildSphere(&world, 1, 1, 1, 6, -1);
    L3DObject* grandchild = BuildPlane(&world, 1, 1, 1, 1);
    ASSERT_TRUE(parent && child && grandchild);
    parent->LinkChild(child);
    child->LinkChild(grandchild);
    // Half of each object's triangles turn red; the caches take both.
    for (L3DObject* o : {parent, child, grandchild}) {
        const auto polygons = Polygons(o);
        for (size_t i = 0; i < polygons.size(); i += 2) polygons[i]->SetMaterial(red);
    }
    parent->RebuildCaches();
    for (L3DObject* o : {parent, child, grandchild}) {
        ASSERT_NE(o->GetCacheList()->FindByMaterial(red), nullptr);
        ASSERT_NE(o->GetCacheList()->FindByMaterial(world.GetDefaultMaterial()), nullptr);
    }
    PurgeMaterialCaches(parent, red);
    for (L3DObject* o : {parent, child, grandchild}) {
        EXPECT_EQ(o->GetCacheList()->FindByMaterial(red), nullptr);
        EXPECT_NE(o->GetCacheList()->FindByMaterial(world.GetDefaultMaterial()), nullptr);
        EXPECT_EQ(o->GetCacheList()->GetCount(), 1);
    }
    delete parent;  // kind 10 has the owned bit: the children go with it
}

}  // namespace
