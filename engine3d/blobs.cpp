#include "engine3d/blobs.h"

#include "engine3d/camera.h"
#include "engine3d/chunk_stream.h"
#include "engine3d/element_walks.h"
#include "engine3d/material.h"
#include "engine3d/material_cache.h"
#include "engine3d/point.h"
#include "engine3d/polygon.h"
#include "engine3d/world.h"

namespace {
constexpr int32_t kKeepSize = -99999;
constexpr uint32_t kSaveFlags = 7934;
}  // namespace

L3DBlob::L3DBlob(const char* name, L3DWorld* world, LCLBKObject* callback) : L3DObject(name, world, callback) {
    SetKind(kKindBlob);
    InitFlags();
}

LMaterial* L3DBlob::GetMaterial() const {
    LPolygon* first = GetPolygon(0);
    return first ? first->material : nullptr;
}

void L3DBlob::Build(int32_t width, int32_t height, LMaterial* material) {
    if (width == kKeepSize) width = m_width;
    if (height == kKeepSize) height = m_height;
    L3DWorld* world = GetWorld();
    if (width != m_width || height != m_height) {
        m_width = width;
        m_height = height;
        const float hw = float(width) * 0.5f, hh = float(height) * 0.5f;
        const float xy[4][2] = {{-hw, -hh}, {-hw, hh}, {hw, hh}, {hw, -hh}};
        LBasePoint* points = GetPoints();
        if (GetPolygon(0) && points && points->GetCount() >= 4) {
            for (int i = 0; i < 4; ++i) {
                points->GetPoint(i)->local[0] = xy[i][0];
                points->GetPoint(i)->local[1] = xy[i][1];
            }
            for (int i = 0; i < 2; ++i)
                if (LPolygon* p = GetPolygon(i)) p->ComputePlanes(0);
            PositionChanged(1);
        } else if (points && world) {
            static const float kUV[4][2] = {{0, 0}, {0, 1}, {1, 1}, {1, 0}};
            L3DPoint* vertex[4];
            points->DisableSharing();
            for (int i = 0; i < 4; ++i) vertex[i] = points->AddPoint(xy[i][0], xy[i][1], 0, kUV[i][0], kUV[i][1]);
            points->EnableSharing();
            static const int kTriangles[2][3] = {{3, 1, 0}, {2, 1, 3}};
            for (const auto& t : kTriangles) {
                LPolygon* polygon = world->CreatePolygon(this, 2, nullptr);
                if (!polygon) continue;
                for (int v : t) polygon->AddPoint(vertex[v]);
                AddPolygon(polygon, 1);
                polygon->SetMaterial(world->GetDefaultMaterial());
            }
        }
        AnglesChanged(1);
        RefreshBox(1);
        AnglesChanged(1);
    }
    if (material && GetPolygon(0) && GetPolygon(0)->material != material)
        for (int i = 0; i < 2; ++i)
            if (LPolygon* p = GetPolygon(i)) ChangeMaterial(p, material);
}

void L3DBlob::Show() {
    L3DWorld* world = GetWorld();
    if (world && world->GetBlobList().GetShowFlag() != 1) return;
    L3DObject::Show();
}

void L3DBlob::SaveObject(LChunkStream& out, uint32_t /*saveFlags*/) {
    if (!IsSavable()) return;
    LMaterial* material = GetMaterial();
    L3DWorld* world = GetWorld();
    out.WriteU16(uint32_t(m_width));
    out.WriteU16(uint32_t(m_height));
    out.WriteU8(material ? material->transparency : 255);
    char name[256];
    GetName(name, sizeof name);
    out.WriteString(name);
    out.WriteU16(uint32_t(material && world ? world->GetMaterialList().IndexOf(material) : 0));
    SaveLocation(out);
    const int32_t start = out.BeginChunk(ChunkTag("BLOB"));
    out.WriteU8(m_axes);
    out.EndChunk(start);
}

// ---- the list -------------------------------------------------------------------

L3DBlob* LBase3DBlob::AddBlob(const L3DLocation* location, const char* name, int32_t width, int32_t height,
                              LMaterial* material, LCLBKObject* callback) {
    auto* blob = new L3DBlob(name, m_world, callback);
    if (!blob) return nullptr;
    blob->Build(10, 10, nullptr);
    blob->Build(width, height, material);
    if (location) blob->CopyPosition(*location);
    if (!m_blobs.InsertAfter(blob, nullptr)) {
        delete blob;
        return nullptr;
    }
    if (blob->IsVisible() && m_show == 0) blob->Hide(0);
    return blob;
}

int32_t LBase3DBlob::DeleteBlobAt(int32_t index) {
    if (index == -1) {
        while (LDataNode* node = m_blobs.GetHead()) {
            auto* blob = static_cast<L3DBlob*>(node->value);
            m_blobs.RemoveNode(node, 1);
            delete blob;
        }
        return 0;
    }
    LDataNode* node = index >= 0 ? m_blobs.GetNodeAt(index) : nullptr;
    if (!node) return kAbsent;
    auto* blob = static_cast<L3DBlob*>(node->value);
    if (m_blobs.RemoveNode(node, 0)) delete blob;
    return 0;
}

int32_t LBase3DBlob::DeleteBlob(L3DBlob* blob) {
    const int32_t index = blob ? m_blobs.IndexOf(blob) : -1;
    return index < 0 ? kAbsent : DeleteBlobAt(index);
}

void LBase3DBlob::UpdateBlobs(L3DCamera* camera, LDataLink* objects) {
    for (LDataNode* n = m_blobs.GetHead(); n; n = n->next) {
        auto* blob = static_cast<L3DBlob*>(n->value);
        if (blob->GetParent()) continue;
        blob->L3DLocation::LookAt(camera, 0);
        const uint8_t axes = blob->GetAxisFlags();
        if (!(axes & L3DBlob::kAxisX)) blob->SetAngleX(0);
        if (!(axes & L3DBlob::kAxisY)) blob->SetAngleY(0);
        if (!(axes & L3DBlob::kAxisZ)) blob->SetAngleZ(0);
        if (blob->IsCollision()) {
            for (LDataNode* m = m_blobs.GetHead(); m; m = m->next) {
                auto* other = static_cast<L3DObject*>(m->value);
                if (other != blob && other->IsCollision()) blob->CollideObject(0, other);
            }
            for (LDataNode* m = objects ? objects->GetHead() : nullptr; m; m = m->next) {
                auto* other = static_cast<L3DObject*>(m->value);
                if (other != blob && other->IsCollision()) blob->CollideObject(0, other);
            }
            blob->CollideWorld(camera);
        }
        blob->UpdateFrame(camera);
        blob->DrawFrame(camera);
    }
}

void LBase3DBlob::HitTestBlobs(L3DCamera* camera, const float* point, const float* radius, L3DObject** out) {
    PickEachElement<L3DBlob>(m_blobs, camera, point, radius, out);
}

int32_t LBase3DBlob::SaveBlobs(LChunkStream& out) {
    uint32_t count = 0;
    for (LDataNode* n = m_blobs.GetHead(); n; n = n->next) count += static_cast<L3DBlob*>(n->value)->IsSavable() ? 1 : 0;
    const int32_t start = out.BeginChunk(ChunkTag("BBLO"));
    out.WriteU16(count);
    for (LDataNode* n = m_blobs.GetHead(); n; n = n->next) static_cast<L3DBlob*>(n->value)->SaveObject(out, kSaveFlags);
    return out.EndChunk(start);
}
