#include "engine3d/base_cluster.h"

#include "engine3d/chunk_stream.h"
#include "engine3d/material.h"
#include "engine3d/octree.h"
#include "engine3d/point.h"
#include "engine3d/polygon.h"
#include "engine3d/polygon_routines.h"
#include "engine3d/texture.h"
#include "engine3d/world.h"

#include <cmath>

LMaterial* LBase3DCluster::shadowWord = nullptr;

namespace {
constexpr float kHalfPi = 1.5707964f;

void DrawMaterialPolygons(LMaterial* material, L3DCamera* camera) {
    for (LDataNode* n = material->GetHead(); n; n = n->next) ProjectAndSubmit(static_cast<LPolygon*>(n->value), camera);
}

// The camera test: a shown material with a camera layer.
bool HasTextureCameras(const LMaterial* material) {
    return (material->flags & LBase3DCluster::kMaterialCameraTexture) && !(material->flags & LMaterial::kHidden);
}
// The mirror test: a shown planar mirror with polygons to reflect in.
bool IsActiveMirror(const LMaterial* material) {
    return (material->flags & LBase3DCluster::kMaterialMirror) && !(material->flags & LMaterial::kHidden) &&
           material->GetCount() > 0;
}
}  // namespace

LBase3DCluster::LBase3DCluster() : L3DObject("Base_Cluster", nullptr, nullptr), m_shadowCamera(nullptr, nullptr) {
    SetKind(0);
    shadowWord = nullptr;
}

LBase3DCluster::~LBase3DCluster() { ClearCluster(); }

void LBase3DCluster::SetClusterWorld(L3DWorld* world) { L3DLocation::SetWorld(world); }

bool LBase3DCluster::IsClone(const L3DObject* object) {
    return object->GetKind() == kKindClone || object->GetKind() == kKindAnimationClone;
}

void LBase3DCluster::ClearCluster() {
    delete m_root;
    m_root = nullptr;
    for (int32_t& w : m_words) w = 0;
    m_objects.Clear();
    m_meshes.Clear();
}

int32_t LBase3DCluster::AddMeshObject(L3DObject* object) {
    if (!object || object->GetNPolygons(0) == 0) return 1;
    if (!m_meshes.FindNode(object)) m_meshes.InsertAfter(object, nullptr);
    return 0;
}

int32_t LBase3DCluster::RemoveMeshObject(L3DObject* object) {
    LDataNode* node = m_meshes.FindNode(object);
    if (!node) return 1;
    m_meshes.RemoveNode(node, 1);
    return 0;
}

void LBase3DCluster::AddClusterObject(L3DObject* object) {
    if (!object || m_objects.FindNode(object)) return;
    if (IsClone(object))
        m_objects.InsertBefore(object, m_objects.GetHead());
    else
        m_objects.InsertAfter(object, nullptr);
}

int32_t LBase3DCluster::RemoveClusterObject(L3DObject* object) {
    LDataNode* node = m_objects.FindNode(object);
    if (!node) return 1;
    m_objects.RemoveNode(node, 1);
    return 0;
}

void LBase3DCluster::BuildOctree() {
    for (int32_t& w : m_words) w = 0;
    L3DWorld* world = GetWorld();
    if (m_meshes.GetCount() > 0 && !m_root && world) {
        float low[3] = {99999.0f, 99999.0f, 99999.0f}, high[3] = {-99999.0f, -99999.0f, -99999.0f};
        for (LDataNode* n = m_meshes.GetHead(); n; n = n->next) MeshExtent(static_cast<L3DObject*>(n->value), low, high);
        m_root = new L3DOctreeNode(low, high, world, nullptr);
        while (LDataNode* node = m_meshes.GetHead()) {
            auto* mesh = static_cast<L3DObject*>(node->value);
            m_meshes.RemoveNode(node, 1);
            m_root->AddMesh(mesh);
        }
        m_root->Redistribute(1);
    }
    if (world) world->RelightAll();
}

void LBase3DCluster::MeshExtent(L3DObject* mesh, float* low, float* high) {
    // The box's opposite corners 3 and 5, or the points themselves for a
    // mesh without a box.
    const auto widen = [&](const float* p) {
        for (int a = 0; a < 3; ++a) {
            low[a] = std::fmin(low[a], p[a]);
            high[a] = std::fmax(high[a], p[a]);
        }
    };
    LBasePoint* corners = mesh->GetBox() ? mesh->GetBox()->GetPoints() : nullptr;
    if (corners && corners->GetCount() >= 8) {
        float p[3];
        mesh->ToWorld(corners->GetPoint(3)->local, p);
        widen(p);
        mesh->ToWorld(corners->GetPoint(5)->local, p);
        widen(p);
        return;
    }
    if (LBasePoint* points = mesh->GetPoints())
        for (int32_t i = 0; i < points->GetCount(); ++i) widen(points->GetPoint(i)->local);
}

int32_t LBase3DCluster::CollectOctreeNodes(L3DObject** out, int32_t capacity, const float* low, const float* high) {
    return m_root && capacity > 0 ? m_root->CollectNodes(out, capacity, 0, low, high) : 0;
}

void LBase3DCluster::NotifyOctreeMoved() {
    if (m_root) m_root->SetFlagBit2();
}

void LBase3DCluster::CollideWithList(L3DObject* object, LDataLink& list, L3DCamera* camera) {
    (void)camera;
    for (LDataNode* n = list.GetHead(); n; n = n->next) {
        auto* other = static_cast<L3DObject*>(n->value);
        if (other != object && other->IsCollision()) object->CollideObject(0, other);
    }
}

void LBase3DCluster::DrawObjects(L3DCamera* camera, LDataLink* extra) {
    LRenderTargetLink* target = camera->GetRenderTarget();
    if (target && !(target->GetTargetFlags() & LRenderTargetLink::kTargetExternalSurface)) {
        if (RefreshTextureCameras(camera)) camera->AnglesChanged(1);
        RenderMirrors(camera);
    }
    if (m_root) m_root->DrawFrame(camera);
    for (LDataNode* n = m_objects.GetHead(); n; n = n->next) static_cast<L3DObject*>(n->value)->FrameStep(camera);
    m_shadowCamera.SetPositionAndAngles(-kHalfPi, 0, 0, -99999.0f, -99999.0f, -99999.0f);
    for (LDataNode* n = m_objects.GetHead(); n; n = n->next) {
        auto* object = static_cast<L3DObject*>(n->value);
        if (object->IsCollision()) {
            CollideWithList(object, m_objects, camera);
            if (extra) CollideWithList(object, *extra, camera);
            object->CollideWorld(camera);
        }
        object->UpdateFrame(camera);
        object->DrawFrame(camera);
        // True shadows (projected onto the octree with the embedded camera)
        // come with the shadow projection of the object layer.
    }
    UpdateFrame(camera);
    DrawFrame(camera);
}

int32_t LBase3DCluster::RefreshTextureCameras(L3DCamera* camera) {
    L3DWorld* world = camera->GetWorld();
    if (!world) return 0;
    L3DCamera* gathered[kMaxTextureCameras];
    int32_t count = 0;
    for (LDataNode* n = world->GetMirrorMaterials().GetHead(); n && count < kMaxTextureCameras; n = n->next) {
        auto* material = static_cast<LMaterial*>(n->value);
        if (!HasTextureCameras(material)) continue;
        for (int32_t layer = 0; layer < 2 && count < kMaxTextureCameras; ++layer) {
            LTexture* texture = material->GetTexture(layer);
            if (L3DCamera* c = texture ? texture->GetCamera() : nullptr) gathered[count++] = c;
        }
    }
    for (int32_t i = 0; i < count; ++i) {
        L3DCamera* c = gathered[i];
        c->AnglesChanged(1);
        if (LRenderTargetLink* target = c->GetRenderTarget()) target->RenderFrame();
        c->AnglesChanged(1);
    }
    if (count > 0)
        if (LRenderTargetLink* target = camera->GetRenderTarget()) target->BeginFrame();
    return count > 0 ? 1 : 0;
}

int32_t LBase3DCluster::RenderMirrors(L3DCamera* camera) {
    L3DWorld* world = camera->GetWorld();
    LRenderTargetLink* target = camera->GetRenderTarget();
    if (!world || !target) return 0;
    int32_t rendered = 0;
    LDataLink& mirrors = world->GetMirrorMaterials();
    for (LDataNode* n = mirrors.GetHead(); n; n = n->next) {
        auto* material = static_cast<LMaterial*>(n->value);
        if (!IsActiveMirror(material)) continue;
        RenderMirror(camera, target, material);
        ++rendered;
    }
    if (rendered) {
        target->EndPasses();
        for (LDataNode* n = mirrors.GetHead(); n; n = n->next) {
            auto* material = static_cast<LMaterial*>(n->value);
            if (IsActiveMirror(material)) DrawMaterialPolygons(material, camera);
        }
    }
    shadowWord = nullptr;
    return rendered;
}

void LBase3DCluster::RenderMirror(L3DCamera* camera, LRenderTargetLink* target, LMaterial* mirror) {
    LDataNode* first = mirror->GetHead();
    if (!first) return;
    auto* plane = static_cast<LPolygon*>(first->value);
    if (plane->GetCount() < 3 || !plane->planes) return;
    float normal[3];
    plane->WorldNormal(normal);
    plane->GetPoint(0)->Project(plane->owner, *camera);
    const float* at = plane->GetPoint(0)->world;
    float factor[3];
    for (int i = 0; i < 3; ++i) factor[i] = std::fabs(normal[i]) < 0.001f ? 1.0f : -1.0f;

    L3DWorld* world = camera->GetWorld();
    const int32_t doubleSided = world->GetDoubleSided();
    world->SetDoubleSided(1);
    shadowWord = mirror;
    target->BeginPass1();
    DrawMaterialPolygons(mirror, camera);
    target->BeginPass2();
    // Each object is drawn at its mirrored place with mirrored scales, then
    // put back exactly as it was.
    for (LDataNode* n = m_objects.GetHead(); n; n = n->next) {
        auto* object = static_cast<L3DObject*>(n->value);
        L3DLocation saved(0, 0, 0, 0, 0, 0);  // Assign, unlike the copy, takes scale and hot spot
        saved.Assign(*object);
        const float* p = saved.GetPosition();
        const float* a = saved.GetAngles();
        const float* s = saved.GetScale();
        float q[3];
        for (int i = 0; i < 3; ++i) q[i] = factor[i] < 0.0f ? p[i] - 2.0f * (p[i] - at[i]) : p[i];
        L3DLocation mirrored(a[0], a[1], a[2], q[0], q[1], q[2]);
        const float* h = saved.GetHotSpot();
        mirrored.SetHotSpot(h[0], h[1], h[2]);
        mirrored.SetScale(s[0] * factor[0], s[1] * factor[1], s[2] * factor[2]);
        object->Assign(mirrored);
        object->UpdateFrame(camera);
        object->DrawFrame(camera);
        object->Assign(saved);
    }
    target->EndPasses();
    world->SetDoubleSided(doubleSided);
}

void LBase3DCluster::SetShowClusters(int32_t on) {
    if (on)
        Hide(0);
    else
        Show();
    if (m_root) m_root->ShowBox(on, on);
}

void LBase3DCluster::ScaleMeshes(float factor) {
    for (LDataNode* n = m_meshes.GetHead(); n; n = n->next) static_cast<L3DObject*>(n->value)->ScaleGeometry(factor);
}

int32_t LBase3DCluster::SetFlag10InCluster(L3DObject* object, int32_t on, L3DObject* other) {
    if (other && (other->GetObjectFlags() & kFlagMovable)) return 1;
    if (!object || ((object->GetObjectFlags() & kFlagGouraud) != 0) == (on != 0)) return 0;
    object->SetGouraud(on);
    return 0;
}

int32_t LBase3DCluster::SetFlag20InCluster(L3DObject* object, int32_t on, L3DObject* other) {
    if (other && (other->GetObjectFlags() & kFlagMovable)) return 1;
    if (!object || ((object->GetObjectFlags() & kFlagLambert) != 0) == (on != 0)) return 0;
    object->SetLambert(on);
    return 0;
}

int32_t LBase3DCluster::SaveClusters(LChunkStream& out, L3DObject* only, uint32_t saveFlags) {
    const auto saved = [only](const L3DObject* o) {
        return (o->GetObjectFlags() & kFlagSavable) && (!only || o == only);
    };
    uint32_t meshes = 0, objects = 0;
    if (saveFlags & kSaveMeshes) {
        for (LDataNode* n = m_meshes.GetHead(); n; n = n->next) meshes += saved(static_cast<L3DObject*>(n->value));
        meshes += m_root ? 1 : 0;
    }
    if (saveFlags & kSaveObjects)
        for (LDataNode* n = m_objects.GetHead(); n; n = n->next) objects += saved(static_cast<L3DObject*>(n->value));
    const int32_t start = out.BeginChunk(ChunkTag("BCLU"));
    out.WriteU16(meshes);
    out.WriteU16(objects);
    out.WriteU32(GetObjectFlags());
    if (saveFlags & kSaveMeshes) {
        if (m_root) m_root->SaveObject(out, saveFlags);
        for (LDataNode* n = m_meshes.GetHead(); n; n = n->next) {
            auto* mesh = static_cast<L3DObject*>(n->value);
            if (saved(mesh)) mesh->SaveObject(out, saveFlags);
        }
    }
    if (saveFlags & kSaveObjects)
        for (LDataNode* n = m_objects.GetHead(); n; n = n->next) {
            auto* object = static_cast<L3DObject*>(n->value);
            if (saved(object) && !IsClone(object)) object->SaveObject(out, saveFlags);
        }
    return out.EndChunk(start);
}

void LBase3DCluster::FindNearestInCluster(L3DCamera* camera, const float* point, const float* radius,
                                          L3DObject** out) {
    for (LDataNode* n = m_objects.GetHead(); n; n = n->next) {
        auto* object = static_cast<L3DObject*>(n->value);
        if (object->IsInView()) object->Pick(camera, point, radius, out);
    }
    for (LDataNode* n = m_meshes.GetHead(); n; n = n->next) {
        auto* mesh = static_cast<L3DObject*>(n->value);
        mesh->UpdateTransform(camera);
        if (mesh->IsInView()) mesh->Pick(camera, point, radius, out);
    }
}
