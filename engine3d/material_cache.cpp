#include "engine3d/material_cache.h"

#include "engine3d/camera_view.h"
#include "engine3d/material.h"
#include "engine3d/vec3.h"
#include "engine3d/point.h"
#include "engine3d/polygon.h"
#include "engine3d/render_link.h"
#include "engine3d/world.h"
#include "runtime/base/sys_utils.h"
#include "runtime/io/stream.h"

#include <cstring>

namespace {

LMaterial* g_projectedMaterial = nullptr;

bool IsNumbered(const L3DPoint* p) { return p->index >= 0 && p->index < LCacheMaterial::kUnnumbered; }

LPolygon* TriangleOf(const LDataNode* node) { return static_cast<LPolygon*>(node->value); }

LRenderTargetLink* TargetOf(const LPolygonOwner* object) {
    L3DWorld* world = object ? object->GetWorld() : nullptr;
    return world ? world->GetRenderTarget() : nullptr;
}

// The triangle's plane faces away from a viewer at the camera position.
bool FacesAway(const LPolygon* triangle, const LCameraView& camera) {
    float n[3];
    triangle->WorldNormal(n);
    float d[3];
    Vec3Sub(camera.position, triangle->points[0]->world, d);
    return d[0] * n[0] + d[1] * n[1] + d[2] * n[2] < 0.0f;
}

}  // namespace

LMaterial* GetClusterProjectedMaterial() { return g_projectedMaterial; }
void SetClusterProjectedMaterial(LMaterial* material) { g_projectedMaterial = material; }

LCacheMaterial::LCacheMaterial(LMaterial* material) : m_material(material) {}

LCacheMaterial::~LCacheMaterial() {
    FreeAndNull(&m_indices);
    delete m_vertexArray;
}

void LCacheMaterial::SetVertexArray(LCacheVertexArray* array) {
    if (array == m_vertexArray) return;
    delete m_vertexArray;
    m_vertexArray = array;
}

void LCacheMaterial::Number(L3DPoint* point) {
    if (!IsNumbered(point)) point->index = m_vertexCount++;
}

int32_t LCacheMaterial::AddTriangle(LPolygon* polygon) {
    if (!polygon || polygon->count != 3) return 0;
    int32_t fresh = 0;
    for (int i = 0; i < 3; ++i)
        if (!IsNumbered(polygon->points[i])) ++fresh;
    // Shared vertices of one triangle are counted once too many here: the
    // refusal is then one triangle early, never late.
    if (m_vertexCount + fresh > kUnnumbered) return 0;
    if (!InsertAfter(polygon, nullptr)) return 0;
    for (int i = 0; i < 3; ++i) Number(polygon->points[i]);
    polygon->inCache = 1;
    m_dirty = 1;
    return 1;
}

bool LCacheMaterial::UsedByListedTriangle(const L3DPoint* point) const {
    for (const LDataNode* n = GetHead(); n; n = n->next) {
        const LPolygon* t = TriangleOf(n);
        for (int i = 0; i < t->count; ++i)
            if (t->points[i] == point) return true;
    }
    return false;
}

void LCacheMaterial::RemovePolygon(LPolygon* polygon) {
    LDataNode* node = FindNode(polygon);
    if (!node) return;
    RemoveNode(node, 1);
    polygon->inCache = 0;
    // A vertex still used by another listed triangle keeps its number, so
    // the count stays the number of distinct numbered vertices.
    for (int i = 0; i < polygon->count; ++i) {
        L3DPoint* p = polygon->points[i];
        if (!p || !IsNumbered(p) || UsedByListedTriangle(p)) continue;
        p->index = kUnnumbered;
        if (m_vertexCount > 0) --m_vertexCount;
    }
    m_dirty = 1;
}

int32_t LCacheMaterial::Rebuild(LCameraView* /*camera*/, LPolygonOwner* object) {
    if (!m_dirty || GetCount() == 0) return 0;
    L3DWorld* world = object ? object->GetWorld() : nullptr;
    if (world && m_material == world->GetDefaultShadowMaterial()) return 0;
    FreeAndNull(&m_indices);
    m_indexCount = 0;
    if (!AllocRetry(size_t(GetCount()) * 6 + 4, &m_indices)) return -1;
    m_vertexCount = 0;
    for (LDataNode* n = GetHead(); n; n = n->next)
        for (int i = 0; i < 3; ++i) TriangleOf(n)->points[i]->index = kUnnumbered;
    for (LDataNode* n = GetHead(); n; n = n->next)
        for (int i = 0; i < 3; ++i) Number(TriangleOf(n)->points[i]);
    if (LRenderTargetLink* target = TargetOf(object)) SetVertexArray(target->BuildCacheVertexArray(this));
    m_dirty = 0;
    return 0;
}

void LCacheMaterial::BuildIndices(LCameraView* camera, LPolygonOwner* object, int32_t clip) {
    if (!m_indices) return;
    if (m_material && m_material->NeedsBlending()) {
        // Blended triangles are drawn back to front with the rest of the
        // transparent polygons.
        m_indexCount = 0;
        for (LDataNode* n = GetHead(); n; n = n->next) camera->Defer(TriangleOf(n));
        return;
    }
    const auto append = [this](const LPolygon* t) {
        for (int i = 0; i < 3; ++i) m_indices[m_indexCount++] = static_cast<uint16_t>(t->points[i]->index);
    };
    if (clip) {
        m_indexCount = 0;
        L3DWorld* world = object ? object->GetWorld() : nullptr;
        const bool cullBack = !(world && world->GetDoubleSided());
        for (LDataNode* n = GetHead(); n; n = n->next) {
            LPolygon* t = TriangleOf(n);
            const int32_t kind = t->Classify(*camera);
            if (cullBack && FacesAway(t, *camera)) continue;
            if (kind == LPolygon::kDraw)
                append(t);
            else if (kind == LPolygon::kClip)
                t->Submit(camera);
        }
    } else if (m_indexCount != GetCount() * 3) {
        m_indexCount = 0;
        for (LDataNode* n = GetHead(); n; n = n->next) append(TriangleOf(n));
    }
}

void LCacheMaterial::Draw(LCameraView* camera, LPolygonOwner* object) {
    if (m_indexCount == 0) return;
    if (LRenderTargetLink* target = TargetOf(object)) target->DrawScene(this, camera, object);
}

LMaterialCacheList::~LMaterialCacheList() { DeleteAt(-1); }

LCacheMaterial* LMaterialCacheList::FindByMaterial(const LMaterial* material) const {
    for (LDataNode* n = GetHead(); n; n = n->next) {
        auto* cache = static_cast<LCacheMaterial*>(n->value);
        if (cache->GetMaterial() == material) return cache;
    }
    return nullptr;
}

void LMaterialCacheList::Destroy(LDataNode* node) {
    auto* cache = static_cast<LCacheMaterial*>(node->value);
    for (LDataNode* n = cache->GetHead(); n; n = n->next) static_cast<LPolygon*>(n->value)->inCache = 0;
    delete cache;
    RemoveNode(node, 1);
}

int32_t LMaterialCacheList::AddPolygon(LMaterial* material, LPolygon* polygon) {
    if (LCacheMaterial* cache = FindByMaterial(material)) return cache->AddTriangle(polygon);
    auto* cache = new LCacheMaterial(material);
    if (!cache->AddTriangle(polygon) || !InsertAfter(cache, nullptr)) {
        delete cache;
        return 0;
    }
    return 1;
}

void LMaterialCacheList::RemovePolygon(LMaterial* material, LPolygon* polygon) {
    LCacheMaterial* cache = FindByMaterial(material);
    if (!cache) return;
    cache->RemovePolygon(polygon);
    if (cache->GetCount() == 0) Destroy(FindNode(cache));
}

void LMaterialCacheList::MarkDirty() {
    for (LDataNode* n = GetHead(); n; n = n->next) static_cast<LCacheMaterial*>(n->value)->MarkDirty();
}

void LMaterialCacheList::DeleteAt(int32_t position) {
    if (position != -1) {
        if (LDataNode* node = GetNodeAt(position)) Destroy(node);
        return;
    }
    while (LDataNode* node = GetHead()) Destroy(node);
}

void LMaterialCacheList::RemoveMaterial(LMaterial* material) {
    for (LDataNode* n = GetHead(); n;) {
        LDataNode* next = n->next;
        if (static_cast<LCacheMaterial*>(n->value)->GetMaterial() == material) Destroy(n);
        n = next;
    }
}

void LMaterialCacheList::Update(LCameraView* camera, LPolygonOwner* object) {
    for (LDataNode* n = GetHead(); n;) {
        LDataNode* next = n->next;
        auto* cache = static_cast<LCacheMaterial*>(n->value);
        if (cache->GetMaterial() != GetClusterProjectedMaterial()) {
            // A failed allocation leaves the cache dirty for the next frame.
            if (cache->Rebuild(camera, object) == 0) {
                if (!cache->GetIndices()) {
                    Destroy(n);
                } else {
                    cache->BuildIndices(camera, object, m_clip);
                    cache->Draw(camera, object);
                }
            }
        }
        n = next;
    }
}

void WriteTriangleRecord(COutStream& out, const uint16_t indices[3], uint16_t materialPosition) {
    const uint8_t tag = 3;
    out.Write(&tag, 1);
    for (int i = 0; i < 3; ++i) out.WriteU16(indices[i]);
    out.WriteU16(materialPosition);
}

void WriteQuadRecord(COutStream& out, const uint16_t indices[4], uint16_t materialPosition) {
    const uint8_t tag = 4;
    out.Write(&tag, 1);
    for (int i = 0; i < 4; ++i) out.WriteU16(indices[i]);
    out.WriteU16(materialPosition);
}

void WritePairRecord(COutStream& out, uint32_t first, uint16_t second) {
    out.WriteU32(first);
    out.WriteU16(second);
}

void WriteSixWords(COutStream& out, const uint32_t values[6]) {
    for (int i = 0; i < 6; ++i) out.WriteU32(values[i]);
}

void WriteFourWords(COutStream& out, const uint32_t values[4]) {
    for (int i = 0; i < 4; ++i) out.WriteU32(values[i]);
}

void WriteNamedRecord(COutStream& out, const char* name, uint8_t byte, const uint16_t values[6]) {
    size_t length = name ? std::strlen(name) : 0;
    if (length > 65535) length = 65535;
    out.WriteU16(static_cast<uint16_t>(length));
    if (length) out.Write(name, static_cast<int32_t>(length));
    out.Write(&byte, 1);
    for (int i = 0; i < 6; ++i) out.WriteU16(values[i]);
}

void WriteMatrixRecord(COutStream& out, const float matrix[12]) {
    for (int i = 0; i < 12; ++i) {
        uint32_t bits;
        std::memcpy(&bits, &matrix[i], sizeof bits);
        out.WriteU32(bits);
    }
}
