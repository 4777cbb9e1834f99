// A static mesh from the fuzz bytes handed to an octree root, then the
// ground, node and redistribution queries.
//
// Input: byte 0 gives the number of copies of the polygon list (1 to 64,
// so a few hundred bytes reach the 2000-polygon split; 2500 polygons at
// most), byte 1 the step
// between copies (0: coincident copies); then polygons, each a kind byte
// (bit 0: quad) and 3 or 4 vertices of three raw floats (NaN, infinities,
// huge and coincident values all occur); then query points (three raw
// floats each) for the ground and node queries.
//
// Invariants: every call returns; each node's finite vertices lie in its box;
// every polygon of a node refers to vertices of that node, and no vertex is
// listed twice or by two nodes; no temporary clip vertex survives; ground
// distances are positive or "none"; node collection never passes its
// capacity and lists only nodes with polygons.
#include "engine3d/octree.h"
#include "engine3d/point.h"
#include "engine3d/polygon.h"
#include "engine3d/render_link.h"
#include "engine3d/world.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <functional>
#include <set>
#include <vector>

namespace {

class Driver : public LDriverLink {
public:
    L3DPoint* CreatePoint(float x, float y, float z, float u, float v) override {
        auto* p = new L3DPoint(x, y, z, u, v);
        live.insert(p);
        return p;
    }
    LPolygon* CreatePolygon(LPolygonOwner* owner, int32_t reserved, void* cb) override {
        return new LPolygon(owner, reserved, cb);
    }
    void DeletePoint(L3DPoint* p) override {
        live.erase(p);
        delete p;
    }
    void DeletePolygon(LPolygon* p) override { delete p; }
    LTexture* CreateTexture(L3DWorld*, const char*, LCLBKObject*) override { return nullptr; }
    LSprite* CreateSprite(L3DWorld*) override { return nullptr; }
    void DeleteTexture(LTexture*) override {}
    void DeleteSprite(LSprite*) override {}
    std::set<L3DPoint*> live;
};

class Target : public LRenderTargetLink {
public:
    explicit Target(LDriverLink* d) : driver(d) {}
    LDriverLink* GetDriverLink() const override { return driver; }
    LDriverLink* driver;
};

struct Input {
    const uint8_t* data;
    size_t size;
    uint8_t Byte() {
        if (!size) return 0;
        --size;
        return *data++;
    }
    float Float() {
        uint8_t b[4] = {Byte(), Byte(), Byte(), Byte()};
        float f;
        std::memcpy(&f, b, sizeof f);
        return f;
    }
};

void Check(bool ok) {
    if (!ok) std::abort();
}

void Walk(L3DOctreeNode* node, const std::function<void(L3DOctreeNode*)>& f) {
    f(node);
    for (int i = 0; i < 8; ++i)
        if (L3DOctreeNode* c = node->GetChild(i)) Walk(c, f);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size < 2) return 0;
    Input in{data, size};
    const int copies = 1 + in.Byte() % 64;
    const float step = float(in.Byte());
    struct Polygon {
        int count;
        float v[4][3];
    };
    std::vector<Polygon> polygons;
    while (in.size >= 1 + 36 && polygons.size() < 512) {
        Polygon p;
        p.count = (in.Byte() & 1) ? 4 : 3;
        if (in.size < size_t(12 * p.count)) break;
        for (int k = 0; k < p.count; ++k)
            for (float& c : p.v[k]) c = in.Float();
        polygons.push_back(p);
    }
    if (polygons.empty()) return 0;
    // Enough polygons to split twice over, few enough for many runs a second.
    const int total = std::min(copies * int(polygons.size()), 2500);

    Driver driver;
    Target target(&driver);
    {
        L3DWorld world(&target);
        auto* mesh = new L3DObject("Level", &world, nullptr);
        LBasePoint* points = mesh->GetPoints();
        float low[3] = {0, 0, 0}, high[3] = {0, 0, 0};
        bool seen[3] = {false, false, false};
        points->Reserve(4 * total);
        points->DisableSharing();
        for (int made = 0; made < total; ++made) {
                const int c = made / int(polygons.size());
                const Polygon& p = polygons[size_t(made) % polygons.size()];
                LPolygon* polygon = world.CreatePolygon(mesh, p.count, nullptr);
                for (int k = 0; k < p.count; ++k) {
                    float v[3] = {p.v[k][0] + step * float(c), p.v[k][1], p.v[k][2]};
                    polygon->AddNewPoint(v[0], v[1], v[2], float(c), 0.0f);
                    for (int a = 0; a < 3; ++a)
                        if (std::isfinite(v[a])) {
                            low[a] = seen[a] ? std::fmin(low[a], v[a]) : v[a];
                            high[a] = seen[a] ? std::fmax(high[a], v[a]) : v[a];
                            seen[a] = true;
                        }
                }
                polygon->SetMaterial(world.GetDefaultMaterial());
                // A new polygon is in no list: appended without AddPolygon's
                // search of the list, which made loading most of each run.
                mesh->AppendNewPolygon(polygon);
                polygon->ComputePlanes(0);
            }
        points->EnableSharing();

        auto* root = new L3DOctreeNode(low, high, &world, nullptr);
        root->AddMesh(mesh);
        root->Redistribute(1);

        for (L3DPoint* p : driver.live)
            Check(!(p->world[0] == L3DOctreeNode::kTemporaryMark && p->world[1] == L3DOctreeNode::kTemporaryMark &&
                    p->world[2] == L3DOctreeNode::kTemporaryMark));
        std::set<const L3DPoint*> listed;  // by every node: a vertex has one owner
        Walk(root, [&listed](L3DOctreeNode* node) {
            LBasePoint* own = node->GetPoints();
            std::set<const L3DPoint*> mine;
            for (int32_t i = 0; i < own->GetCount(); ++i) {
                const L3DPoint* p = own->GetPoint(i);
                mine.insert(p);
                Check(listed.insert(p).second);
                Check(own->GetUseCount(i) >= 1);
                for (int a = 0; a < 3; ++a) {
                    const float c = p->local[a];
                    if (!std::isfinite(c)) continue;
                    const float lo = node->GetMin()[a], hi = node->GetMax()[a];
                    const float slack = 1e-3f * std::fmax(1.0f, std::fmax(std::fabs(lo), std::fabs(hi)));
                    Check(c >= lo - slack && c <= hi + slack);
                }
            }
            if (LDataLink* list = node->GetPolygonList())
                for (LDataNode* n = list->GetHead(); n; n = n->next) {
                    auto* polygon = static_cast<LPolygon*>(n->value);
                    Check(polygon->owner == node);
                    for (int i = 0; i < polygon->count; ++i) Check(mine.count(polygon->points[i]) == 1);
                }
        });

        while (in.size >= 12) {
            const float q[3] = {in.Float(), in.Float(), in.Float()};
            const float d = root->GroundDistance(q);
            Check(d == L3DOctreeNode::kNoGround || d >= 0.0f);
            L3DObject* found[8];
            const float qhigh[3] = {q[0] + 50, q[1] + 50, q[2] + 50};
            const int32_t n = root->CollectNodes(found, 8, 0, q, qhigh);
            Check(n >= 0 && n <= 8);
            for (int32_t i = 0; i < n; ++i) Check(found[i]->GetNPolygons(0) > 0);
        }
        delete root;
        delete mesh;
    }
    return 0;
}
