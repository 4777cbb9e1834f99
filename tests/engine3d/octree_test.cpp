// The octree: properties of the split over seeded random meshes, quads and
// built spheres (area kept, vertices inside their boxes, node sizes, every
// source polygon accounted for, clip vertices released); the split rules at
// 1999/2000/2001; names; the box tests against brute force; ground
// distances; node collection; vertex redistribution; moving the tree.
#include "engine_fixture.h"

#include "engine3d/material.h"
#include "engine3d/material_cache.h"
#include "engine3d/object.h"
#include "engine3d/octree.h"
#include "engine3d/primitive_builders.h"

#include <gtest/gtest.h>

#include <cmath>
#include <functional>
#include <map>
#include <random>
#include <set>
#include <string>
#include <vector>

namespace {

// Real vertices, the live ones remembered (to find unreleased clip
// vertices by their mark).
class OctreeDriver : public GeometryDriver {
public:
    L3DPoint* CreatePoint(float x, float y, float z, float u, float v) override {
        L3DPoint* p = GeometryDriver::CreatePoint(x, y, z, u, v);
        live.insert(p);
        return p;
    }
    void DeletePoint(L3DPoint* p) override {
        live.erase(p);
        GeometryDriver::DeletePoint(p);
    }
    int Marked() const {
        int n = 0;
        for (const L3DPoint* p : live)
            n += p->world[0] == L3DOctreeNode::kTemporaryMark && p->world[1] == L3DOctreeNode::kTemporaryMark &&
                 p->world[2] == L3DOctreeNode::kTemporaryMark;
        return n;
    }
    std::set<L3DPoint*> live;
};

using Vertex = std::array<float, 3>;

double Area(const float* a, const float* b, const float* c) {
    const double u[3] = {double(b[0]) - a[0], double(b[1]) - a[1], double(b[2]) - a[2]};
    const double v[3] = {double(c[0]) - a[0], double(c[1]) - a[1], double(c[2]) - a[2]};
    const double x = u[1] * v[2] - u[2] * v[1], y = u[2] * v[0] - u[0] * v[2], z = u[0] * v[1] - u[1] * v[0];
    return 0.5 * std::sqrt(x * x + y * y + z * z);
}

double Area(const LPolygon* p) {
    double a = 0;
    for (int k = 1; k + 1 < p->count; ++k) a += Area(p->points[0]->local, p->points[k]->local, p->points[k + 1]->local);
    return a;
}

struct OctreeTest : ::testing::Test {
    OctreeDriver driver;
    TestTarget target{&driver};
    L3DWorld world{&target};
    std::mt19937 random{20261211};

    L3DObject* NewMesh() { return new L3DObject("Level", &world, nullptr); }
    // A polygon with vertices of its own whose u carries the polygon's id
    // (clipped pieces interpolate it unchanged).
    LPolygon* AddPolygon(L3DObject* mesh, const std::vector<Vertex>& corners, float id) {
        LPolygon* p = world.CreatePolygon(mesh, int32_t(corners.size()), nullptr);
        LBasePoint* points = mesh->GetPoints();
        points->DisableSharing();
        for (const Vertex& v : corners) p->AddNewPoint(v[0], v[1], v[2], id, 0.5f);
        points->EnableSharing();
        p->SetMaterial(world.GetDefaultMaterial());
        mesh->AddPolygon(p, 1);
        return p;
    }
    float Uniform(float low, float high) { return std::uniform_real_distribution<float>(low, high)(random); }
    // n triangles in [-100, 100]^3: mostly small, one in ten large enough
    // to straddle many boxes.
    L3DObject* RandomMesh(int n) {
        L3DObject* mesh = NewMesh();
        mesh->GetPoints()->Reserve(3 * n);
        for (int i = 0; i < n; ++i) {
            const float size = i % 10 == 0 ? 60.0f : 4.0f;
            const Vertex c = {Uniform(-100, 100), Uniform(-100, 100), Uniform(-100, 100)};
            std::vector<Vertex> t;
            for (int k = 0; k < 3; ++k) {
                Vertex v;
                for (int a = 0; a < 3; ++a) v[a] = std::fmin(100.0f, std::fmax(-100.0f, c[a] + Uniform(-size, size)));
                t.push_back(v);
            }
            AddPolygon(mesh, t, float(i));
        }
        return mesh;
    }
    static void Bounds(L3DObject* mesh, float* low, float* high) {
        for (int a = 0; a < 3; ++a) low[a] = 1e30f, high[a] = -1e30f;
        for (int32_t i = 0; i < mesh->GetPoints()->GetCount(); ++i)
            for (int a = 0; a < 3; ++a) {
                low[a] = std::fmin(low[a], mesh->GetPoints()->GetPoint(i)->local[a]);
                high[a] = std::fmax(high[a], mesh->GetPoints()->GetPoint(i)->local[a]);
            }
    }
    static void Walk(L3DOctreeNode* node, const std::function<void(L3DOctreeNode*)>& f) {
        f(node);
        for (int i = 0; i < 8; ++i)
            if (L3DOctreeNode* c = node->GetChild(i)) Walk(c, f);
    }
    static std::vector<LPolygon*> Polygons(L3DObject* o) {
        std::vector<LPolygon*> out;
        if (LDataLink* list = o->GetPolygonList())
            for (LDataNode* n = list->GetHead(); n; n = n->next) out.push_back(static_cast<LPolygon*>(n->value));
        return out;
    }

    // Moves the mesh into a root over its bounds and checks the tree.
    struct Outcome {
        int nodes = 0, deepest = 0, split = 0;
    };
    // sizeRule: no node above 2000 polygons short of the depth limit.
    Outcome BuildAndCheck(L3DObject* mesh, bool sizeRule = true) {
        std::map<float, double> area;  // by polygon id
        std::set<LPolygon*> originals;
        for (LPolygon* p : Polygons(mesh)) {
            area[p->points[0]->u] += Area(p);
            originals.insert(p);
        }
        float low[3], high[3];
        Bounds(mesh, low, high);
        auto* root = new L3DOctreeNode(low, high, &world, nullptr);
        root->AddMesh(mesh);
        root->Redistribute(1);
        EXPECT_EQ(mesh->GetNPolygons(0), 0);
        EXPECT_EQ(mesh->GetPoints()->GetCount(), 0);
        EXPECT_EQ(driver.Marked(), 0) << "temporary clip vertices left";

        Outcome out;
        std::map<float, double> found;
        std::map<float, int> parts;
        std::map<LPolygon*, int> seen;
        std::map<const L3DPoint*, int> listed;  // a vertex belongs to one node's list, once
        Walk(root, [&](L3DOctreeNode* node) {
            ++out.nodes;
            out.deepest = std::max(out.deepest, node->GetDepth());
            const int32_t n = node->GetNPolygons(0);
            if (sizeRule && node->GetDepth() < L3DOctreeNode::kMaxDepth) EXPECT_LE(n, L3DOctreeNode::kMaxPolygons) << node->GetDepth();
            LBasePoint* points = node->GetPoints();
            std::set<const L3DPoint*> own;
            for (int32_t i = 0; i < points->GetCount(); ++i) {
                own.insert(points->GetPoint(i));
                ++listed[points->GetPoint(i)];
            }
            for (int32_t i = 0; i < points->GetCount(); ++i)
                for (int a = 0; a < 3; ++a) {
                    const float c = points->GetPoint(i)->local[a];
                    EXPECT_GE(c, node->GetMin()[a] - 1e-3f);
                    EXPECT_LE(c, node->GetMax()[a] + 1e-3f);
                }
            for (LPolygon* p : Polygons(node)) {
                EXPECT_EQ(p->owner, node);
                EXPECT_EQ(p->material, world.GetDefaultMaterial());
                for (int i = 0; i < p->count; ++i) EXPECT_EQ(own.count(p->points[i]), 1u);
                found[p->points[0]->u] += Area(p);
                ++parts[p->points[0]->u];
                if (originals.count(p)) ++seen[p];
            }
        });
        for (auto& [p, times] : seen) EXPECT_EQ(times, 1);
        for (auto& [v, times] : listed) EXPECT_EQ(times, 1) << "a vertex in several lists";
        // Every original is in the tree once, whole or as the first piece.
        EXPECT_EQ(seen.size(), originals.size());
        for (auto& [id, n] : parts) out.split += n > 1;
        double total = 0, kept = 0;
        for (auto& [id, a] : area) {
            total += a;
            kept += found[id];
            EXPECT_NEAR(found[id], a, 1e-3 * std::max(1.0, a)) << "polygon " << id;
        }
        EXPECT_NEAR(kept, total, 1e-5 * total);
        delete root;
        delete mesh;
        return out;
    }
};

TEST_F(OctreeTest, RandomMeshesKeepAreaVerticesAndEveryPolygon) {
    struct Case {
        int triangles;
        bool splits;
    };
    for (const Case c : {Case{1999, false}, Case{2000, true}, Case{2001, true}, Case{20000, true}}) {
        const Outcome o = BuildAndCheck(RandomMesh(c.triangles));
        EXPECT_EQ(o.nodes > 1, c.splits) << c.triangles;
        if (c.splits) EXPECT_GT(o.split, 0) << c.triangles;
        if (c.triangles == 20000) EXPECT_GE(o.deepest, 2);
    }
}

TEST_F(OctreeTest, LevelsOfQuads) {
    // 80 x 80 quads. On y = 0 with edges on the split planes: a box flat on
    // y still splits on x and z. Tilted and shifted: quads straddle the
    // planes of every level on all three axes and are clipped as quads
    // (their fourth corner and area kept through the pieces).
    struct Case {
        float slopeX, slopeZ, shift;
    };
    for (const Case c : {Case{0, 0, 0}, Case{0.3f, -0.2f, 3.7f}}) {
        L3DObject* level = NewMesh();
        const auto corner = [&](float x, float z) { return Vertex{x, c.slopeX * x + c.slopeZ * z, z}; };
        for (int i = 0; i < 80; ++i)
            for (int j = 0; j < 80; ++j) {
                const float x = float(i) * 10 - 400 + c.shift, z = float(j) * 10 - 400 + c.shift * 0.5f;
                AddPolygon(level, {corner(x, z), corner(x, z + 10), corner(x + 10, z + 10), corner(x + 10, z)},
                           float(i * 80 + j));
            }
        const Outcome o = BuildAndCheck(level);
        EXPECT_GT(o.nodes, 1);
        EXPECT_GT(o.split, 0) << c.shift;
    }
}

TEST_F(OctreeTest, DenseBuiltSpheres) {
    L3DObject* sphere = BuildSphere(&world, 50, 40, 30, 96, 47);  // 9024 triangles
    ASSERT_NE(sphere, nullptr);
    // Ids for the area oracle: each triangle gets vertices of its own.
    L3DObject* mesh = NewMesh();
    int id = 0;
    for (LPolygon* p : Polygons(sphere)) {
        std::vector<Vertex> t;
        for (int i = 0; i < 3; ++i) t.push_back({p->points[i]->local[0], p->points[i]->local[1], p->points[i]->local[2]});
        AddPolygon(mesh, t, float(id++));
    }
    delete sphere;
    const Outcome o = BuildAndCheck(mesh);
    EXPECT_GE(o.nodes, 9);
}

TEST_F(OctreeTest, SplitThresholdsAndChildNames) {
    const float low[3] = {0, 0, 0}, high[3] = {100, 100, 100};
    // Tiny triangles all inside child 0's octant.
    const auto fill = [&](L3DObject* mesh, int n) {
        for (int i = 0; i < n; ++i) {
            const float x = 1 + float(i % 40), z = 1 + float(i / 40 % 40);
            AddPolygon(mesh, {{x, 1, z}, {x + 0.5f, 1, z}, {x, 1.5f, z}}, float(i));
        }
    };
    {
        L3DOctreeNode root(low, high, &world, nullptr);
        L3DObject* mesh = NewMesh();
        fill(mesh, 1999);
        root.AddMesh(mesh);
        EXPECT_EQ(root.GetNPolygons(0), 1999);
        EXPECT_EQ(root.GetChildren(), nullptr);
        // One more source polygon makes 2000: the node splits, keeping its own.
        L3DObject* more = NewMesh();
        fill(more, 1);
        root.AddMesh(more);
        ASSERT_NE(root.GetChildren(), nullptr);
        EXPECT_EQ(root.GetNPolygons(0), 1999);
        EXPECT_EQ(root.GetChild(0)->GetNPolygons(0), 1);
        delete mesh;
        delete more;
    }
    for (int n : {2000, 2001}) {
        L3DOctreeNode root(low, high, &world, nullptr);
        L3DObject* mesh = NewMesh();
        fill(mesh, n);
        root.AddMesh(mesh);
        L3DOctreeNode* child = root.GetChild(0);
        ASSERT_NE(child, nullptr);
        EXPECT_EQ(child->GetChildren() != nullptr, n == 2001) << n;
        EXPECT_EQ(child->GetNPolygons(0), n == 2001 ? 0 : 2000);
        char name[300];
        root.GetChild(7)->GetName(name, sizeof name);
        EXPECT_STREQ(name, " Octree-7");
        if (n == 2001) {
            child->GetChild(3)->GetName(name, sizeof name);
            EXPECT_STREQ(name, "  Octree-0-3");
            // Child 1 is the upper-x, lower-y, lower-z octant.
            EXPECT_EQ(root.GetChild(1)->GetMin()[0], 50.0f);
            EXPECT_EQ(root.GetChild(1)->GetMax()[1], 50.0f);
            EXPECT_EQ(root.GetChild(1)->GetMax()[2], 50.0f);
            EXPECT_FLOAT_EQ(child->GetRadius(), root.GetRadius() * 0.5f);
        }
        delete mesh;
    }
}

TEST_F(OctreeTest, NamesAreCutAt255Characters) {
    const float low[3] = {0, 0, 0}, high[3] = {1, 1, 1};
    L3DOctreeNode root(low, high, &world, nullptr);
    root.SetName(std::string(254, 'n').c_str());
    root.Split();
    char name[400];
    root.GetChild(5)->GetName(name, sizeof name);
    EXPECT_EQ(std::string(name), " " + std::string(254, 'n'));
}

TEST_F(OctreeTest, StraddlingTriangleEndsAsFanPiecesInBothChildren) {
    const float low[3] = {0, 0, 0}, high[3] = {100, 100, 100};
    L3DOctreeNode root(low, high, &world, nullptr);
    LMaterial* paint = world.GetMaterialList().CreateMaterial("paint", nullptr, 0xFF, 0, nullptr);
    L3DObject* mesh = NewMesh();
    for (int i = 0; i < 2000; ++i) AddPolygon(mesh, {{90, 90, 90}, {91, 90, 90}, {90, 91, 90}}, 1.0f);  // child 7
    // One corner in child 0 (x < 50), two in child 1 (x > 50), all at y, z < 50.
    LPolygon* straddling = AddPolygon(mesh, {{40, 10, 10}, {70, 10, 10}, {70, 30, 10}}, 2.0f);
    straddling->SetMaterial(paint);
    mesh->RebuildCaches();
    ASSERT_NE(mesh->GetCacheList()->FindByMaterial(paint), nullptr);
    root.AddMesh(mesh);
    EXPECT_EQ(mesh->GetPolygonList()->FindNode(straddling), nullptr);
    EXPECT_EQ(mesh->GetCacheList()->FindByMaterial(paint), nullptr);
    EXPECT_EQ(paint->GetCount(), int32_t(root.GetChild(0)->GetNPolygons(0) + root.GetChild(1)->GetNPolygons(0)));
    double area = 0;
    for (int c : {0, 1}) {
        L3DOctreeNode* child = root.GetChild(c);
        ASSERT_GT(child->GetNPolygons(0), 0) << c;
        for (LPolygon* p : Polygons(child)) {
            EXPECT_EQ(p->count, 3);
            EXPECT_EQ(p->material, paint);
            area += Area(p);
            for (int i = 0; i < 3; ++i) EXPECT_TRUE(child->ContainsPoint(p->points[i]->local) ||
                                                    std::fabs(p->points[i]->local[0] - 50) < 1e-4f);
        }
    }
    EXPECT_NEAR(area, 300.0, 1e-3);  // (30 x 20) / 2
    // Child 0 holds the triangle's tip (x 40..50), one triangle; child 1 the
    // quad beyond x = 50, fanned into two.
    EXPECT_EQ(root.GetChild(0)->GetNPolygons(0), 1);
    EXPECT_EQ(root.GetChild(1)->GetNPolygons(0), 2);
    EXPECT_EQ(driver.Marked(), 0);
    delete mesh;
}

TEST_F(OctreeTest, DenseCoincidentTrianglesStopAtTheDepthLimit) {
    // 3000 copies of one tiny triangle among a few large ones that set the
    // box: every level hands them all to one child, down to the limit.
    L3DObject* mesh = NewMesh();
    AddPolygon(mesh, {{-500, -500, -500}, {500, -500, -500}, {-500, 500, 500}}, 0.0f);
    for (int i = 0; i < 3000; ++i) AddPolygon(mesh, {{1, 1, 1}, {1.0001f, 1, 1}, {1, 1.0001f, 1}}, 1.0f);
    const Outcome o = BuildAndCheck(mesh);
    EXPECT_EQ(o.deepest, L3DOctreeNode::kMaxDepth);
}

TEST_F(OctreeTest, CoincidentSpanningTrianglesSplitOnce) {
    // 3000 copies of a triangle across the whole box: each child gets 3000
    // pieces, which a further split would only cut again.
    L3DObject* mesh = NewMesh();
    for (int i = 0; i < 3000; ++i) AddPolygon(mesh, {{-100, -100, -100}, {100, -100, 100}, {0, 100, 0}}, 1.0f);
    const Outcome o = BuildAndCheck(mesh, false);
    EXPECT_EQ(o.deepest, 1);
}

TEST_F(OctreeTest, NonFiniteVerticesStayWithTheirSource) {
    L3DObject* mesh = NewMesh();
    const float nan = std::nanf(""), inf = INFINITY;
    for (int i = 0; i < 2100; ++i) AddPolygon(mesh, {{1, 1, 1}, {2, 1, 1}, {1, 2, 1}}, 0.0f);
    LPolygon* a = AddPolygon(mesh, {{nan, 1, 1}, {2, 1, 1}, {1, 2, 1}}, 1.0f);
    LPolygon* b = AddPolygon(mesh, {{1, 1, 1}, {inf, 1, 1}, {1, 2, 1}}, 2.0f);
    const float low[3] = {0, 0, 0}, high[3] = {10, 10, 10};
    L3DOctreeNode root(low, high, &world, nullptr);
    root.AddMesh(mesh);
    EXPECT_EQ(mesh->GetNPolygons(0), 2);
    EXPECT_NE(mesh->GetPolygonList()->FindNode(a), nullptr);
    EXPECT_NE(mesh->GetPolygonList()->FindNode(b), nullptr);
    delete mesh;
}

TEST_F(OctreeTest, BoxTestsAgreeWithBruteForce) {
    const float low[3] = {-3, 1, 2}, high[3] = {5, 4, 10};
    L3DOctreeNode node(low, high, &world, nullptr);
    for (int i = 0; i < 3000; ++i) {
        const float p[3] = {Uniform(-6, 8), Uniform(-2, 7), Uniform(-1, 13)};
        bool inside = true;
        for (int a = 0; a < 3; ++a) inside = inside && p[a] >= low[a] && p[a] <= high[a];
        ASSERT_EQ(node.ContainsPoint(p), inside ? 1 : 0);
        // The sphere: outside when the nearest box point is beyond the
        // radius through a face plane; inside when clear of every face.
        const float r = Uniform(0, 3);
        bool outside = false, clear = inside;
        for (int a = 0; a < 3; ++a) {
            outside = outside || p[a] <= low[a] - r || p[a] >= high[a] + r;
            clear = clear && p[a] - low[a] > r && high[a] - p[a] > r;
        }
        const int32_t answer = node.ClassifySphere(p, r);
        ASSERT_EQ(answer, outside ? 8 : (clear ? 2 : 4)) << p[0] << " " << p[1] << " " << p[2] << " r " << r;
        // OutCode: the faces a point lies beyond (y low also when on it).
        L3DPoint vertex(p[0], p[1], p[2], 0, 0);
        L3DPoint* v = &vertex;
        const uint32_t code = (p[2] > high[2] ? 32u : 0) | (p[2] < low[2] ? 64u : 0) | (p[0] > high[0] ? 16u : 0) |
                              (p[0] < low[0] ? 8u : 0) | (p[1] > high[1] ? 2u : 0) | (p[1] <= low[1] ? 4u : 0);
        ASSERT_EQ(node.OutCode(&v, 1), code);
    }
    // TouchesPolygon: a vertex inside, or the triangle's sphere reaching in.
    L3DObject* mesh = NewMesh();
    LPolygon* in = AddPolygon(mesh, {{0, 2, 3}, {20, 2, 3}, {0, 20, 3}}, 0);
    LPolygon* near = AddPolygon(mesh, {{6, 2, 3}, {30, 2, 3}, {6, 20, 3}}, 0);  // sphere crosses x = 5
    LPolygon* far = AddPolygon(mesh, {{60, 2, 3}, {61, 2, 3}, {60, 3, 3}}, 0);
    LPolygon* quad = AddPolygon(mesh, {{-40, 2, 3}, {-40, 3, 3}, {-39, 3, 3}, {0, 2, 3}}, 0);  // the 4th inside
    EXPECT_EQ(node.TouchesPolygon(in), 1);
    EXPECT_EQ(node.TouchesPolygon(near), 1);
    EXPECT_EQ(node.TouchesPolygon(far), 0);
    EXPECT_EQ(node.TouchesPolygon(quad), 1);
    delete mesh;
}

TEST_F(OctreeTest, GroundDistance) {
    const float nan = std::nanf("");
    // Empty space, and a point that no conversion can take.
    const float low[3] = {-100, -100, -100}, high[3] = {100, 100, 100};
    L3DOctreeNode empty(low, high, &world, nullptr);
    const float above[3] = {0, 50, 0};
    EXPECT_EQ(empty.GetNPolygons(0), 0);
    EXPECT_EQ(empty.GroundDistance(above), L3DOctreeNode::kNoGround);

    // A built brick (top at y = 3) and a floor at y = -20 with a hole
    // (x, z in [20, 40]) made of four quads around it.
    L3DObject* brick = BuildBrick(&world, 4, 6, 4);
    L3DObject* level = NewMesh();
    const auto floor = [&](float x0, float x1, float z0, float z1) {
        AddPolygon(level, {{x0, -20, z0}, {x1, -20, z0}, {x1, -20, z1}, {x0, -20, z1}}, 0);
    };
    floor(-100, 100, -100, 20);
    floor(-100, 100, 40, 100);
    floor(-100, 20, 20, 40);
    floor(40, 100, 20, 40);
    // Upward faces have n.y < 0 with the engine's winding: check the floor's.
    ASSERT_EQ(Polygons(level)[0]->facingMask & 2, 2);
    L3DOctreeNode root(low, high, &world, nullptr);
    root.AddMesh(brick);
    root.AddMesh(level);
    root.Redistribute(1);
    EXPECT_FLOAT_EQ(root.GroundDistance(above), 47.0f);  // brick top
    const float offBrick[3] = {-60, 5, -60};
    EXPECT_FLOAT_EQ(root.GroundDistance(offBrick), 25.0f);  // the floor
    const float overHole[3] = {30, 5, 30};
    EXPECT_EQ(root.GroundDistance(overHole), L3DOctreeNode::kNoGround);
    const float below[3] = {-60, -30, -60};
    EXPECT_EQ(root.GroundDistance(below), L3DOctreeNode::kNoGround);
    for (const float bad : {nan, 3e9f, -3e9f, INFINITY}) {
        const float p[3] = {bad, 5, 0};
        EXPECT_EQ(root.GroundDistance(p), L3DOctreeNode::kNoGround) << bad;
    }
    delete brick;
    delete level;
}

TEST_F(OctreeTest, HoleInAnUpperFloorFindsTheFloorBelow) {
    L3DObject* level = NewMesh();
    AddPolygon(level, {{-100, 0, -100}, {100, 0, -100}, {100, 0, 100}, {-100, 0, 100}}, 0);  // ground
    // An upper floor at y = 10 around a hole x, z in [-5, 5].
    const auto upper = [&](float x0, float x1, float z0, float z1) {
        AddPolygon(level, {{x0, 10, z0}, {x1, 10, z0}, {x1, 10, z1}, {x0, 10, z1}}, 0);
    };
    upper(-50, 50, -50, -5);
    upper(-50, 50, 5, 50);
    upper(-50, -5, -5, 5);
    upper(5, 50, -5, 5);
    float low[3], high[3];
    Bounds(level, low, high);
    high[1] = 100;
    L3DOctreeNode root(low, high, &world, nullptr);
    root.AddMesh(level);
    root.Redistribute(1);
    const float overHole[3] = {0.5f, 30, 0.5f}, overFloor[3] = {20, 30, 20};
    EXPECT_FLOAT_EQ(root.GroundDistance(overHole), 30.0f);
    EXPECT_FLOAT_EQ(root.GroundDistance(overFloor), 20.0f);
    delete level;
}

// The query tests only the polygons whose x-z extent can hold the point:
// its answers must equal a test of every polygon of the tree, over random
// triangles and a floor of quads, at random points, at grid corners and at
// polygon corners (rounding at the edges of cells and polygons).
TEST_F(OctreeTest, GroundDistanceEqualsATestOfEveryPolygon) {
    L3DObject* level = RandomMesh(5000);
    for (int i = 0; i < 40; ++i)
        for (int j = 0; j < 40; ++j) {
            const float x0 = -100 + 5.0f * float(i), z0 = -100 + 5.0f * float(j), y = Uniform(-90, -60);
            AddPolygon(level, {{x0, y, z0}, {x0 + 5, y, z0}, {x0 + 5, y, z0 + 5}, {x0, y, z0 + 5}}, 0);
        }
    float low[3], high[3];
    Bounds(level, low, high);
    L3DOctreeNode root(low, high, &world, nullptr);
    root.AddMesh(level);
    root.Redistribute(1);
    std::vector<LPolygon*> all;
    Walk(&root, [&](L3DOctreeNode* n) {
        for (LPolygon* p : Polygons(n)) all.push_back(p);
    });
    const auto scan = [&](const float* at) {
        float best = L3DOctreeNode::kNoGround;
        const float down[3] = {0, -10, 0};
        for (LPolygon* p : all) {
            float hit[3];
            if ((p->facingMask & 2) && p->ContainsGroundPoint(int32_t(at[0]), int32_t(at[2])) &&
                p->IntersectRay(at, down, hit))
                best = std::fmin(best, std::sqrt((hit[0] - at[0]) * (hit[0] - at[0]) + (hit[1] - at[1]) * (hit[1] - at[1]) +
                                                 (hit[2] - at[2]) * (hit[2] - at[2])));
        }
        return best;
    };
    std::vector<Vertex> probes;
    for (int i = 0; i < 400; ++i) probes.push_back({Uniform(-100, 100), Uniform(-100, 100), Uniform(-100, 100)});
    for (int i = 0; i <= 40; i += 3) probes.push_back({-100 + 5.0f * float(i), 50, -100 + 5.0f * float(i)});
    for (size_t k = 0; k < all.size(); k += 37)
        for (int i = 0; i < all[k]->count; ++i) {
            const float* v = all[k]->points[i]->local;
            probes.push_back({v[0], v[1] + 1, v[2]});
        }
    int found = 0;
    for (const Vertex& at : probes) {
        const float expected = scan(at.data());
        found += expected < L3DOctreeNode::kNoGround;
        EXPECT_EQ(root.GroundDistance(at.data()), expected) << at[0] << " " << at[1] << " " << at[2];
    }
    EXPECT_GT(found, int(probes.size()) / 2);
    delete level;
}

// The query's index follows the node's polygons: a floor added after a
// first query is found.
TEST_F(OctreeTest, GroundDistanceSeesPolygonsAddedAfterAQuery) {
    const float low[3] = {-100, -100, -100}, high[3] = {100, 100, 100};
    L3DOctreeNode root(low, high, &world, nullptr);
    L3DObject* first = NewMesh();
    AddPolygon(first, {{-100, -50, -100}, {100, -50, -100}, {100, -50, 100}, {-100, -50, 100}}, 0);
    root.AddMesh(first);
    root.Redistribute(1);
    const float at[3] = {10, 0, 10};
    EXPECT_FLOAT_EQ(root.GroundDistance(at), 50.0f);
    L3DObject* second = NewMesh();
    AddPolygon(second, {{0, -20, 0}, {20, -20, 0}, {20, -20, 20}, {0, -20, 20}}, 1);
    root.AddMesh(second);
    root.Redistribute(1);
    EXPECT_FLOAT_EQ(root.GroundDistance(at), 20.0f);
    delete first;
    delete second;
}

TEST_F(OctreeTest, CollectNodesStopsAtCapacity) {
    L3DObject* mesh = RandomMesh(6000);
    float low[3], high[3];
    Bounds(mesh, low, high);
    L3DOctreeNode root(low, high, &world, nullptr);
    root.AddMesh(mesh);
    // Brute force: nodes with polygons whose boxes meet the query box.
    const float qlow[3] = {-20, -20, -20}, qhigh[3] = {30, 10, 25};
    std::set<L3DObject*> expected;
    Walk(&root, [&](L3DOctreeNode* n) {
        bool meets = n->GetNPolygons(0) > 0;
        for (int a = 0; a < 3; ++a) meets = meets && n->GetMin()[a] <= qhigh[a] && n->GetMax()[a] >= qlow[a];
        if (meets) expected.insert(n);
    });
    ASSERT_GT(expected.size(), 3u);
    std::vector<L3DObject*> out(expected.size() + 5, nullptr);
    const int32_t all = root.CollectNodes(out.data(), int32_t(out.size()), 0, qlow, qhigh);
    EXPECT_EQ(std::set<L3DObject*>(out.begin(), out.begin() + all), expected);
    std::vector<L3DObject*> few(3, nullptr);
    EXPECT_EQ(root.CollectNodes(few.data(), 3, 0, qlow, qhigh), 3);
    EXPECT_EQ(root.CollectNodes(few.data(), 3, 3, qlow, qhigh), 3);
    delete mesh;
}

TEST_F(OctreeTest, RedistributeSplitsSharedVerticesAndDropsUnusedOnes) {
    LMaterial* red = world.GetMaterialList().CreateMaterial("red", nullptr, 0xFF, 0, nullptr);
    L3DObject* mesh = NewMesh();
    // Two triangles sharing an edge (two vertices), one red, one default;
    // one vertex that no polygon uses.
    LBasePoint* points = mesh->GetPoints();
    points->DisableSharing();
    L3DPoint* v[5];
    const float at[5][3] = {{0, 0, 0}, {1, 0, 0}, {0, 1, 0}, {1, 1, 0}, {5, 5, 5}};
    for (int i = 0; i < 5; ++i) v[i] = points->AddPoint(at[i][0], at[i][1], at[i][2], 0, 0);
    points->EnableSharing();
    // Materials given before the vertices: the shared ones stay untagged.
    LPolygon* first = world.CreatePolygon(mesh, 3, nullptr);
    LPolygon* second = world.CreatePolygon(mesh, 3, nullptr);
    first->SetMaterial(red);
    second->SetMaterial(world.GetDefaultMaterial());
    for (int i : {0, 1, 2}) first->AddPoint(v[i]);
    for (int i : {1, 3, 2}) second->AddPoint(v[i]);
    mesh->AddPolygon(first, 1);
    mesh->AddPolygon(second, 1);
    ASSERT_EQ(first->points[1], second->points[0]);
    const float low[3] = {0, 0, 0}, high[3] = {5, 5, 5};
    L3DOctreeNode root(low, high, &world, nullptr);
    root.AddMesh(mesh);
    ASSERT_EQ(root.GetPoints()->GetCount(), 5);
    root.Redistribute(1);
    // 3 + 3 vertices, none shared across the materials; the unused one gone.
    EXPECT_EQ(root.GetPoints()->GetCount(), 6);
    for (int i = 0; i < 3; ++i)
        for (int k = 0; k < 3; ++k) EXPECT_NE(first->points[i], second->points[k]);
    for (int i = 0; i < 3; ++i) {
        EXPECT_EQ(first->points[i]->material, red);
        EXPECT_EQ(second->points[i]->material, world.GetDefaultMaterial());
    }
    for (int32_t i = 0; i < root.GetPoints()->GetCount(); ++i) EXPECT_EQ(root.GetPoints()->GetUseCount(i), 1);
    // Both triangles are in their materials' caches.
    EXPECT_NE(root.GetCacheList()->FindByMaterial(red), nullptr);
    EXPECT_NE(root.GetCacheList()->FindByMaterial(world.GetDefaultMaterial()), nullptr);
    delete mesh;
}

TEST_F(OctreeTest, MoveByMovesTheWholeTree) {
    const float low[3] = {0, 0, 0}, high[3] = {8, 8, 8};
    L3DOctreeNode root(low, high, &world, nullptr);
    root.Split();
    root.GetChild(2)->Split();
    root.MoveBy(1, 2, 3, 0.1f, 0.2f, 0.3f);
    int moved = 0;
    Walk(&root, [&](L3DOctreeNode* n) {
        ++moved;
        EXPECT_FLOAT_EQ(n->GetX(), 1);
        EXPECT_FLOAT_EQ(n->GetY(), 2);
        EXPECT_FLOAT_EQ(n->GetZ(), 3);
        EXPECT_FLOAT_EQ(n->GetAngles()[1], 0.2f);
    });
    EXPECT_EQ(moved, 17);
}

}  // namespace
