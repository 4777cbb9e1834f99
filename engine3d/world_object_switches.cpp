// The world's per-object switches, name search from a given object, the
// re-attachment of an object, camera-wide settings, the colour depth the
// render target supports and the script owner's reference.
#include "engine3d/world.h"

#include "engine3d/name_text.h"
#include "engine3d/object.h"
#include "engine3d/octree.h"
#include "engine3d/primitive_builders.h"
#include "engine3d/texture.h"

namespace {
// Runs `apply` on the object at `position`, or on every top-level object for
// -1: 1 when there is no such object, else 0.
template <typename Apply>
int32_t ForObjects(L3DWorld& world, int32_t position, Apply apply) {
    if (position == -1) {
        for (LDataNode* n = world.GetObjects().GetHead(); n; n = n->next) apply(static_cast<L3DObject*>(n->value));
        return 0;
    }
    L3DObject* object = world.GetObject(position);
    if (!object) return 1;
    apply(object);
    return 0;
}

bool IsClusterObject(const L3DObject* object) { return (object->GetObjectFlags() & L3DObject::kFlagCluster) != 0; }
}  // namespace

int32_t L3DWorld::ScaleObjects(float x, float y, float z, int32_t position) {
    const bool all = position == -1;
    return ForObjects(*this, position, [&](L3DObject* o) {
        if (!(all && IsClusterObject(o))) o->MultiplyScale(x, y, z);
    });
}

int32_t L3DWorld::SetWireFrame(int32_t on, int32_t position) {
    if (position == -1) m_cluster->SetWireFrame(on);
    return ForObjects(*this, position, [on](L3DObject* o) { o->SetWireFrame(on); });
}

int32_t L3DWorld::SetFlat(int32_t on, int32_t position) {
    if (position == -1) m_cluster->SetFlat(on);
    return ForObjects(*this, position, [on](L3DObject* o) { o->SetFlat(on); });
}

int32_t L3DWorld::SetMapped(int32_t on, int32_t position) {
    if (position == -1) m_cluster->SetMapped(on);
    return ForObjects(*this, position, [on](L3DObject* o) { o->SetMapped(on); });
}

// Objects handed to the base cluster are shaded through its own form of the
// request.
int32_t L3DWorld::SetGouraud(int32_t on, int32_t position) {
    const int32_t result = ForObjects(*this, position, [this, on](L3DObject* o) {
        if (IsClusterObject(o))
            m_cluster->SetFlag10InCluster(o, on, nullptr);
        else
            o->SetGouraud(on);
    });
    if (result == 0) RefreshCameras();
    return result;
}

int32_t L3DWorld::SetLambert(int32_t on, int32_t position) {
    const int32_t result = ForObjects(*this, position, [this, on](L3DObject* o) {
        if (IsClusterObject(o))
            m_cluster->SetFlag20InCluster(o, on, nullptr);
        else
            o->SetLambert(on);
    });
    if (result == 0 && on) RefreshCameras();
    return result;
}

int32_t L3DWorld::SetObjectVisible(int32_t on, int32_t position) {
    const int32_t result = ForObjects(*this, position, [on](L3DObject* o) { o->ShowBox(on, 0); });
    if (result == 0 && on) RefreshCameras();
    return result;
}

int32_t L3DWorld::SetCollision(int32_t on, int32_t position) {
    return ForObjects(*this, position, [on](L3DObject* o) { o->SetCollision(on); });
}

int32_t L3DWorld::SetObjectFlag23(int32_t on, int32_t position) {
    return ForObjects(*this, position, [on](L3DObject* o) { o->SetFlagBit23(on); });
}

L3DObject* L3DWorld::FindNextObject(L3DObject* from, const char* name) {
    LDataNode* node = from ? m_objects.FindNode(from) : nullptr;
    char buffer[260];
    for (; node; node = node->next) {
        auto* object = static_cast<L3DObject*>(node->value);
        object->GetName(buffer, sizeof buffer);
        if (NamesEqual(buffer, name)) return object;
    }
    return nullptr;
}

void L3DWorld::AttachObject(L3DObject* object) {
    if (object && !m_objects.FindNode(object)) LinkTopLevel(object, false, 1);
}

void L3DWorld::SetCamerasVisible(int32_t on) {
    for (LDataNode* n = m_cameras.GetHead(); n; n = n->next) static_cast<L3DCamera*>(n->value)->ShowBox(on, 0);
}

void L3DWorld::SetBackFaceCulling(int32_t on) {
    RefreshCameras();
    m_doubleSided = on ? 0 : 1;
}

void L3DWorld::RefreshMaterials() {
    m_materials.Refresh();
    ++m_materialRefreshes;
}

void L3DWorld::ApplyMaterialCaches(LMaterial* material) {
    PurgeMaterialCaches(m_cluster, material);
    if (L3DObject* root = m_cluster->GetOctreeRoot()) PurgeMaterialCaches(root, material);
    for (LDataNode* n = m_cluster->GetMeshList().GetHead(); n; n = n->next)
        PurgeMaterialCaches(static_cast<L3DObject*>(n->value), material);
}

int32_t L3DWorld::ResolveColourDepth() {
    // The texture's depth check falls back to the world's stored depth (never
    // to this call), so asking it cannot recurse.
    LTexture* probe = CreateTexture("temp", nullptr);
    if (!probe) return m_colourDepth;
    const int32_t depth = probe->CheckColourDepth();
    if (depth > 0) m_colourDepth = depth;
    DeleteTexture(probe);
    return m_colourDepth;
}

void L3DWorld::SetScriptOwner(LWorldOwner* owner) {
    if (owner == m_scriptOwner) return;
    if (owner) owner->TakeReference();
    LWorldOwner* old = m_scriptOwner;
    m_scriptOwner = owner;
    if (old) old->ReleaseReference();
}
