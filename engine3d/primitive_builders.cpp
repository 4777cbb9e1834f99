#include "engine3d/primitive_builders.h"

#include "engine3d/material_cache.h"
#include "engine3d/object.h"
#include "engine3d/point.h"
#include "engine3d/polygon.h"
#include "engine3d/world.h"

#include <climits>
#include <cmath>
#include <cstdio>
#include <new>
#include <vector>

namespace {

constexpr float kEnvFactor = 0.4878049f;  // nearest float to 1 / 2.05
constexpr double kPi = 3.14159265358979323846;

bool SizeAccepted(float size) { return std::isfinite(size) && size >= 0.0f; }

struct Triangle {
    int32_t a, b, c;
};

// One build: the object and its polygons until Finish hands the object out;
// anything else (a refused vertex or polygon, an exhausted allocator) takes
// everything back with it.
class Build {
public:
    Build(L3DWorld* world, int32_t kind, const char* format) : m_world(world), m_kind(kind) {
        char name[32];
        std::snprintf(name, sizeof name, format, int(world->GetPrimitiveCounter(kind)));
        m_object = new L3DObject(name, world, nullptr);
        m_object->GetPoints()->DisableSharing();
    }
    Build(const Build&) = delete;
    Build& operator=(const Build&) = delete;
    ~Build() {
        for (LPolygon* p : m_pending)
            if (p) m_world->DeletePolygon(p);
        delete m_object;
    }

    bool AddVertex(float x, float y, float z, float u, float v) {
        L3DPoint* p = m_object->GetPoints()->AddPoint(x, y, z, u, v, -1);
        if (p) m_vertices.push_back(p);
        return p != nullptr;
    }
    // Polygons made ahead of their filling (bricks and pyramids).
    bool MakePolygons(size_t count) {
        m_pending.reserve(count);
        for (size_t i = 0; i < count; ++i) {
            m_pending.push_back(m_world->CreatePolygon(m_object, 2, nullptr));
            if (!m_pending.back()) return false;
        }
        return true;
    }
    void StartFilling() { m_object->GetPoints()->EnableSharing(); }
    // Fills the next pending polygon, or a new one when none is pending.
    bool AddTriangle(const Triangle& t) {
        LPolygon* p = nullptr;
        if (m_next < m_pending.size()) {
            p = m_pending[m_next];
            m_pending[m_next++] = nullptr;
        } else {
            p = m_world->CreatePolygon(m_object, 2, nullptr);
            if (!p) return false;
        }
        p->AddPoint(m_vertices[size_t(t.a)]);
        p->AddPoint(m_vertices[size_t(t.b)]);
        p->AddPoint(m_vertices[size_t(t.c)]);
        m_object->AddPolygon(p, 1);
        p->ComputePlanes(1);  // blends the face normal into the vertex normals
        return true;
    }
    L3DObject* Finish(bool normalTexture) {
        if (normalTexture) m_object->ComputeEnvMapCoords();
        if (LDataLink* list = m_object->GetPolygonList())
            for (LDataNode* n = list->GetHead(); n; n = n->next)
                static_cast<LPolygon*>(n->value)->SetMaterial(m_world->GetDefaultMaterial());
        m_world->AdvancePrimitiveCounter(m_kind);
        L3DObject* done = m_object;
        m_object = nullptr;
        return done;
    }

private:
    L3DWorld* m_world;
    int32_t m_kind;
    L3DObject* m_object;
    std::vector<L3DPoint*> m_vertices;
    std::vector<LPolygon*> m_pending;
    size_t m_next = 0;
};

// Vertices and triangles of a fixed shape; null when a vertex or polygon is
// refused or memory runs out.
template <size_t V, size_t T>
L3DObject* BuildFixed(L3DWorld* world, int32_t kind, const char* format, const float (&vertices)[V][3],
                      const Triangle (&triangles)[T], bool normalTexture) {
    try {
        Build build(world, kind, format);
        for (const auto& v : vertices)
            if (!build.AddVertex(v[0], v[1], v[2], 0.0f, 0.0f)) return nullptr;
        if (!build.MakePolygons(T)) return nullptr;
        build.StartFilling();
        for (const Triangle& t : triangles)
            if (!build.AddTriangle(t)) return nullptr;
        return build.Finish(normalTexture);
    } catch (const std::bad_alloc&) {
        return nullptr;
    }
}

}  // namespace

L3DObject* BuildBrick(L3DWorld* world, float sizeX, float sizeY, float sizeZ) {
    if (!world || !SizeAccepted(sizeX) || !SizeAccepted(sizeY) || !SizeAccepted(sizeZ)) return nullptr;
    const float x = sizeX * 0.5f, y = sizeY * 0.5f, z = sizeZ * 0.5f;
    const float vertices[8][3] = {{-x, y, -z}, {x, y, -z}, {x, -y, -z}, {-x, -y, -z},
                                  {-x, y, z},  {x, y, z},  {x, -y, z},  {-x, -y, z}};
    static const Triangle kTriangles[12] = {{0, 3, 2}, {0, 2, 1}, {1, 2, 6}, {1, 6, 5}, {4, 5, 6}, {4, 6, 7},
                                            {0, 4, 7}, {0, 7, 3}, {7, 6, 2}, {7, 2, 3}, {0, 1, 5}, {0, 5, 4}};
    return BuildFixed(world, L3DWorld::kPrimitiveBrick, "Brick #%d", vertices, kTriangles, true);
}

L3DObject* BuildPyramid(L3DWorld* world, float sizeX, float sizeY, float sizeZ) {
    if (!world || !SizeAccepted(sizeX) || !SizeAccepted(sizeY) || !SizeAccepted(sizeZ)) return nullptr;
    const float x = sizeX * 0.5f, y = sizeY * 0.5f, z = sizeZ * 0.5f;
    const float vertices[5][3] = {{0, y, 0}, {-x, -y, -z}, {-x, -y, z}, {x, -y, z}, {x, -y, -z}};
    static const Triangle kTriangles[6] = {{0, 1, 4}, {0, 2, 1}, {0, 3, 2}, {0, 4, 3}, {2, 4, 1}, {2, 3, 4}};
    return BuildFixed(world, L3DWorld::kPrimitivePyramid, "Pyramid #%d", vertices, kTriangles, true);
}

L3DObject* BuildPlane(L3DWorld* world, float sizeX, float sizeY, float tilingV, float tilingU) {
    if (!world || !SizeAccepted(sizeX) || !SizeAccepted(sizeY)) return nullptr;
    const float x = sizeX * 0.5f, y = sizeY * 0.5f;
    const auto low = [](float t) { return t < 0.0f ? std::fabs(t) : 0.0f; };
    const auto high = [](float t) { return t > 0.0f ? std::fabs(t) : 0.0f; };
    try {
        Build build(world, L3DWorld::kPrimitivePlane, "Plane #%d");
        if (!build.AddVertex(-x, -y, 0, low(tilingU), low(tilingV)) ||
            !build.AddVertex(-x, y, 0, low(tilingU), high(tilingV)) ||
            !build.AddVertex(x, y, 0, high(tilingU), high(tilingV)) ||
            !build.AddVertex(x, -y, 0, high(tilingU), low(tilingV)))
            return nullptr;
        build.StartFilling();
        // Q1..Q4 are vertices 0..3: (Q4, Q2, Q1), (Q3, Q2, Q4).
        if (!build.AddTriangle({3, 1, 0}) || !build.AddTriangle({2, 1, 3})) return nullptr;
        return build.Finish(false);
    } catch (const std::bad_alloc&) {
        return nullptr;
    }
}

L3DObject* BuildSphere(L3DWorld* world, float radiusX, float radiusY, float radiusZ, int32_t segments,
                       int32_t rings) {
    if (!world || !SizeAccepted(radiusX) || !SizeAccepted(radiusY) || !SizeAccepted(radiusZ)) return nullptr;
    const int64_t s = segments;
    const int64_t r = rings == -1 ? s / 2 - 1 : rings;
    if (s < 0 || r < 0) return nullptr;
    // Both factors are below 2^31, so neither product overflows 64 bits.
    if (2 + r * (s + 1) > INT32_MAX || (s > 0 && 2 * r > INT32_MAX / s)) return nullptr;
    try {
        Build build(world, L3DWorld::kPrimitiveSphere, "Sphere #%d");
        if (!build.AddVertex(0, radiusY, 0, 0, 0) || !build.AddVertex(0, -radiusY, 0, 0, 0)) return nullptr;
        for (int64_t i = 1; i <= r; ++i) {
            const double theta = double(i) * kPi / double(r + 1) + kPi / 2;
            const float ax = std::fabs(radiusX * float(std::cos(theta)));
            const float az = std::fabs(radiusZ * float(std::cos(theta)));
            const float y = radiusY * float(std::sin(theta));
            const float v = float((1.0 + std::sin(theta)) / 2.0);
            for (int64_t j = 0; j <= s; ++j) {
                // Without segments the ring is one vertex at phi = 0.
                const double phi = s > 0 ? double(j) * 2.0 * kPi / double(s) : 0.0;
                const float u = float(phi) * 0.159154937f;
                if (!build.AddVertex(ax * float(std::cos(phi)), y, az * float(std::sin(phi)), u, v)) return nullptr;
            }
        }
        build.StartFilling();
        const auto ring = [&](int64_t i, int64_t k) { return int32_t(2 + (i - 1) * (s + 1) + k); };
        // Bands from the north cap (0) to the south cap (r); none without
        // rings, whose caps would name missing vertices.
        for (int64_t band = 0; s > 0 && r > 0 && band <= r; ++band)
            for (int64_t k = 0; k < s; ++k) {
                bool ok = true;
                if (band == 0) {
                    ok = build.AddTriangle({0, ring(1, k), ring(1, k + 1)});
                } else if (band < r) {
                    ok = build.AddTriangle({ring(band, k), ring(band + 1, k), ring(band + 1, k + 1)}) &&
                         build.AddTriangle({ring(band, k), ring(band + 1, k + 1), ring(band, k + 1)});
                } else {
                    ok = build.AddTriangle({1, ring(r, k + 1), ring(r, k)});
                }
                if (!ok) return nullptr;
            }
        return build.Finish(false);
    } catch (const std::bad_alloc&) {
        return nullptr;
    }
}

void PurgeMaterialCaches(L3DObject* object, LMaterial* material) {
    if (!object) return;
    if (LMaterialCacheList* caches = object->GetCacheList()) caches->RemoveMaterial(material);
    if (LDataLink* children = object->GetChildren())
        for (LDataNode* n = children->GetHead(); n; n = n->next)
            PurgeMaterialCaches(static_cast<L3DObject*>(n->value), material);
}
