// The octree on seeded levels of 20,000 and 200,000 triangles (a terrain of
// upward triangles plus scattered bricks): build time per 1,000 triangles,
// ground-distance queries at random points, node collection over random
// boxes and one camera's culling pass. Each query runs beside a brute-force
// linear scan computing the same answer in the same run; both times, their
// ratio and the agreement are printed (not a timed test).
#include "bench_timing.h"
#include "engine3d/camera_view.h"
#include "engine3d/octree.h"
#include "engine3d/point.h"
#include "engine3d/polygon.h"
#include "engine3d/render_link.h"
#include "engine3d/world.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <functional>
#include <random>
#include <set>
#include <vector>

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
    explicit Target(LDriverLink* d) : driver(d) {}
    LDriverLink* GetDriverLink() const override { return driver; }
    LDriverLink* driver;
};

// A 90-degree view at `at` looking along +z, far 3000.
class View : public LCameraView {
public:
    View() {
        const float s = 1.0f / std::sqrt(2.0f);
        Set(kLeft, s, 0, s, 0);
        Set(kRight, -s, 0, s, 0);
        Set(kBottom, 0, s, s, 0);
        Set(kTop, 0, -s, s, 0);
        Set(kNear, 0, 0, 1, 1);
        Set(kFar, 0, 0, -1, -3000);
        location = &m_place;
    }
    void Set(uint32_t bit, float x, float y, float z, float d) {
        float* p = Plane(bit);
        p[0] = x, p[1] = y, p[2] = z, p[3] = d;
    }
    int32_t Defer(LPolygon*) override { return 0; }
    void MoveTo(const float* at) {
        for (int a = 0; a < 3; ++a) position[a] = at[a];
        m_place.PositionChanged(1);
    }

private:
    L3DLocation m_place{0, 0, 0, 0, 0, 0};
};

using Triangle = std::array<std::array<float, 3>, 3>;

// Terrain cells of two upward triangles over [-2000, 2000]^2 with rolling
// heights, then bricks of 12 triangles until the count is reached.
std::vector<Triangle> MakeLevel(int count, std::mt19937& random) {
    std::vector<Triangle> out;
    const int cells = int(std::sqrt(count * 0.8 / 2));
    const float size = 4000.0f / float(cells);
    const auto height = [](float x, float z) { return 40.0f * std::sin(x * 0.003f) * std::cos(z * 0.004f); };
    for (int i = 0; i < cells; ++i)
        for (int j = 0; j < cells; ++j) {
            const float x0 = -2000 + size * float(i), z0 = -2000 + size * float(j), x1 = x0 + size, z1 = z0 + size;
            const std::array<float, 3> a{x0, height(x0, z0), z0}, b{x1, height(x1, z0), z0}, c{x1, height(x1, z1), z1},
                d{x0, height(x0, z1), z1};
            out.push_back({a, b, c});
            out.push_back({a, c, d});
        }
    std::uniform_real_distribution<float> at(-1900, 1900);
    static const int kBrick[12][3] = {{0, 3, 2}, {0, 2, 1}, {1, 2, 6}, {1, 6, 5}, {4, 5, 6}, {4, 6, 7},
                                      {0, 4, 7}, {0, 7, 3}, {7, 6, 2}, {7, 2, 3}, {0, 1, 5}, {0, 5, 4}};
    while (int(out.size()) + 12 <= count) {
        const float x = at(random), z = at(random), y = 60 + at(random) * 0.05f, h = 8;
        const float v[8][3] = {{x - h, y + h, z - h}, {x + h, y + h, z - h}, {x + h, y - h, z - h}, {x - h, y - h, z - h},
                               {x - h, y + h, z + h}, {x + h, y + h, z + h}, {x + h, y - h, z + h}, {x - h, y - h, z + h}};
        for (const auto& t : kBrick)
            out.push_back({std::array<float, 3>{v[t[0]][0], v[t[0]][1], v[t[0]][2]},
                           {v[t[1]][0], v[t[1]][1], v[t[1]][2]}, {v[t[2]][0], v[t[2]][1], v[t[2]][2]}});
    }
    return out;
}

// The ground by brute force: the nearest upward triangle straight below.
float ScanGround(const std::vector<Triangle>& level, const float* p) {
    float best = L3DOctreeNode::kNoGround;
    for (const Triangle& t : level) {
        const double ax = t[1][0] - t[0][0], ay = t[1][1] - t[0][1], az = t[1][2] - t[0][2];
        const double bx = t[2][0] - t[0][0], by = t[2][1] - t[0][1], bz = t[2][2] - t[0][2];
        const double ny = az * bx - ax * bz;
        if (!(ny < -1e-5)) continue;  // upward faces only (the engine's winding)
        // Barycentric coordinates of (p.x, p.z) in the projected triangle.
        const double px = p[0] - t[0][0], pz = p[2] - t[0][2];
        const double det = ax * bz - az * bx;
        const double u = (px * bz - pz * bx) / det, v = (ax * pz - az * px) / det;
        if (u < -1e-6 || v < -1e-6 || u + v > 1 + 1e-6) continue;
        const double y = t[0][1] + u * ay + v * by;
        if (y > p[1]) continue;
        best = std::min(best, float(p[1] - y));
    }
    return best;
}

void Walk(L3DOctreeNode* node, const std::function<void(L3DOctreeNode*)>& f) {
    f(node);
    for (int i = 0; i < 8; ++i)
        if (L3DOctreeNode* c = node->GetChild(i)) Walk(c, f);
}

void Run(int count) {
    std::mt19937 random(1234);
    const std::vector<Triangle> level = MakeLevel(count, random);
    Driver driver;
    Target target(&driver);
    L3DWorld world(&target);

    // Build, best of three (each build consumes its own mesh; the last tree
    // is kept for the queries).
    float low[3] = {1e30f, 1e30f, 1e30f}, high[3] = {-1e30f, -1e30f, -1e30f};
    for (const Triangle& t : level)
        for (const auto& v : t)
            for (int a = 0; a < 3; ++a) low[a] = std::fmin(low[a], v[a]), high[a] = std::fmax(high[a], v[a]);
    L3DOctreeNode* root = nullptr;
    double build = 1e30, adding = 0, redistributing = 0, cpu = 1e30;
    for (int round = 0; round < 3; ++round) {
        auto* mesh = new L3DObject("Level", &world, nullptr);
        LBasePoint* points = mesh->GetPoints();
        points->Reserve(int32_t(3 * level.size()));
        points->DisableSharing();
        for (const Triangle& t : level) {
            LPolygon* p = world.CreatePolygon(mesh, 3, nullptr);
            for (const auto& v : t) p->AddNewPoint(v[0], v[1], v[2], 0, 0);
            p->SetMaterial(world.GetDefaultMaterial());
            // A new polygon is in no list: appended without AddPolygon's
            // search of the list (which would make loading quadratic).
            mesh->AppendNewPolygon(p);
            p->ComputePlanes(0);
        }
        points->EnableSharing();
        delete root;
        const auto t0 = bench::Clock::now();
        const std::clock_t c0 = std::clock();
        root = new L3DOctreeNode(low, high, &world, nullptr);
        root->AddMesh(mesh);
        const double added = bench::Seconds(t0);
        root->Redistribute(1);
        const double whole = bench::Seconds(t0);
        if (whole < build) build = whole, adding = added, redistributing = whole - added;
        // Processor time too: on a shared machine the wall clock also counts
        // the time other processes held the core.
        cpu = std::min(cpu, double(std::clock() - c0) / CLOCKS_PER_SEC);
        delete mesh;
    }
    int nodes = 0, deepest = 0, pieces = 0;
    std::vector<L3DOctreeNode*> all;
    Walk(root, [&](L3DOctreeNode* n) {
        ++nodes;
        all.push_back(n);
        deepest = std::max(deepest, n->GetDepth());
        pieces += n->GetNPolygons(0);
    });
    std::printf("%d triangles: build %.1f ms (%.3f ms per 1000; AddMesh %.1f ms, Redistribute %.1f ms; processor time "
                "%.3f ms per 1000), %d nodes, depth %d, %d polygons after clipping\n",
                int(level.size()), build * 1e3, build * 1e6 / double(level.size()), adding * 1e3, redistributing * 1e3,
                cpu * 1e6 / double(level.size()), nodes, deepest, pieces);

    // Ground distances at random points above the level.
    std::uniform_real_distribution<float> across(-1990, 1990);
    std::vector<std::array<float, 3>> probes(2000);
    for (auto& p : probes) p = {across(random), 200.0f, across(random)};
    std::vector<float> fromTree(probes.size()), fromScan(probes.size());
    const int scanCount = count > 50000 ? 200 : 2000;  // the scan is slow: fewer probes, same points
    const double tree = bench::Best([&] {
        for (size_t i = 0; i < probes.size(); ++i) fromTree[i] = root->GroundDistance(probes[i].data());
    }) / double(probes.size());
    const double scan = bench::Best([&] {
        for (int i = 0; i < scanCount; ++i) fromScan[size_t(i)] = ScanGround(level, probes[size_t(i)].data());
    }) / double(scanCount);
    int differ = 0;
    for (int i = 0; i < scanCount; ++i)
        if (std::fabs(fromTree[size_t(i)] - fromScan[size_t(i)]) > 1e-2f * std::fmax(1.0f, fromScan[size_t(i)])) ++differ;
    std::printf("  ground: tree %.0f queries/s, scan %.0f queries/s, ratio %.1fx, %d of %d answers differ\n", 1 / tree,
                1 / scan, scan / tree, differ, scanCount);

    // Node collection over random boxes, against a scan of every node's box.
    std::vector<std::array<float, 6>> boxes(2000);
    std::uniform_real_distribution<float> extent(10, 300);
    for (auto& b : boxes) {
        b[0] = across(random), b[1] = -50, b[2] = across(random);
        b[3] = b[0] + extent(random), b[4] = 150, b[5] = b[2] + extent(random);
    }
    std::vector<L3DObject*> out(all.size());
    size_t collected = 0, scanned = 0;
    int mismatch = 0;
    const double collect = bench::Best([&] {
        collected = 0;
        for (auto& b : boxes) collected += size_t(root->CollectNodes(out.data(), int32_t(out.size()), 0, b.data(), b.data() + 3));
    }) / double(boxes.size());
    const double collectScan = bench::Best([&] {
        scanned = 0;
        for (auto& b : boxes)
            for (L3DOctreeNode* n : all) {
                bool meets = n->GetNPolygons(0) > 0;
                for (int a = 0; a < 3 && meets; ++a) meets = n->GetMin()[a] <= b[3 + a] && n->GetMax()[a] >= b[a];
                scanned += meets;
            }
    }) / double(boxes.size());
    mismatch = collected != scanned;
    std::printf("  collect: tree %.2f us, node scan %.2f us, ratio %.1fx, %zu nodes found, %s\n", collect * 1e6,
                collectScan * 1e6, collectScan / collect, collected, mismatch ? "MISMATCH" : "same counts");

    // One culling pass per frame from a moving camera, beside a per-triangle
    // frustum scan; every triangle the scan sees must lie in an in-view node.
    View view;
    float at[3] = {0, 150, -2100};
    const double cull = bench::BestMillisecondsPerCall([&] {
        at[0] = at[0] > 1500 ? -1500 : at[0] + 37;
        view.MoveTo(at);
        root->UpdateTransform(&view);
    });
    std::vector<char> seen(level.size());
    const double cullScan = bench::BestMillisecondsPerCall([&] {
        for (size_t i = 0; i < level.size(); ++i) {
            uint32_t all = ~0u;
            for (const auto& v : level[i]) {
                float c[3];
                view.ToCamera(v.data(), c);
                all &= view.PointOutcode(c);
            }
            seen[i] = all == 0;
        }
    }, 3);
    // Agreement at one place.
    view.MoveTo(at);
    root->UpdateTransform(&view);
    std::set<const void*> inView;
    for (L3DOctreeNode* n : all)
        if (n->IsInView()) inView.insert(n);
    // A visible triangle none of whose corners lies in an in-view node would
    // be lost (the leaves tile the box: every corner lies in one).
    int missed = 0;
    for (size_t i = 0; i < level.size(); ++i) {
        if (!seen[i]) continue;
        bool found = false;
        for (const auto& v : level[i])
            for (L3DOctreeNode* n : all)
                if (!n->GetChildren() && n->ContainsPoint(v.data()) && inView.count(n)) found = true;
        missed += found ? 0 : 1;
    }
    std::printf("  culling pass: tree %.4f ms, triangle scan %.3f ms, ratio %.0fx, %d visible triangles in hidden nodes\n",
                cull, cullScan, cullScan / cull, missed);
    delete root;
}

}  // namespace

// Level sizes from the command line (default: 2000, 20000 and 200000).
int main(int argc, char** argv) {
    if (argc < 2) {
        for (int count : {2000, 20000, 200000}) Run(count);
        return 0;
    }
    for (int i = 1; i < argc; ++i) Run(std::atoi(argv[i]));
    return 0;
}
