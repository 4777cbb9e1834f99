// The object's switches, its frame pipeline, its geometry operations and its
// saved form. The pipeline, once per frame and camera:
//   FrameStep      move callback, transform when moved, swept sphere
//   UpdateFrame    shadow drop, UpdateTransform, world positions when moved
//   UpdateTransform  world matrix (parent x local x rotation), box, sphere
//                  test -> in view and the caches' clip switch; children
//   DrawFrame      when in view: PrepareDraw (projection, light stages),
//                  then Render (batched through the material caches on
//                  hardware targets, else polygon by polygon; children)
#include "engine3d/object.h"
#include "engine3d/key_tracks.h"

#include "engine3d/camera_view.h"
#include "engine3d/chunk_stream.h"
#include "engine3d/material.h"
#include "engine3d/material_cache.h"
#include "engine3d/object_clone.h"
#include "engine3d/point.h"
#include "engine3d/polygon_routines.h"
#include "engine3d/render_link.h"
#include "engine3d/vec3.h"
#include "engine3d/world.h"

#include <climits>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <initializer_list>

namespace {

constexpr uint32_t kChanged = L3DLocation::kFlagPositionChanged | L3DLocation::kFlagAnglesChanged;
constexpr uint32_t kLightBits = L3DLocation::kFlagBaseLighting | L3DLocation::kFlagMovableLighting;

L3DObject* ObjectOf(const LDataNode* n) { return static_cast<L3DObject*>(n->value); }

template <typename F>
void ForEach(LDataLink* list, F f) {
    if (list)
        for (LDataNode* n = list->GetHead(); n; n = n->next) f(n->value);
}

template <typename F>
void ForEachPoint(LBasePoint* points, F f) {
    if (!points) return;
    for (int32_t i = 0; i < points->GetCount(); ++i) f(points->GetPoint(i));
}

// Box corner i of (min, max) per axis: 3 and 5 are opposite corners.
const uint8_t kCornerOfBox[8][3] = {{0, 1, 0}, {1, 1, 0}, {1, 0, 0}, {0, 0, 0},
                                     {0, 1, 1}, {1, 1, 1}, {1, 0, 1}, {0, 0, 1}};

void PlaceBoxCorners(L3DObject* box, const float* low, const float* high) {
    LBasePoint* corners = box->GetPoints();
    for (int32_t i = 0; i < 8; ++i) {
        L3DPoint* p = corners ? corners->GetPoint(i) : nullptr;
        if (!p) continue;
        L3DObject::BoxCorner(i, low, high, p->local);
    }
    ForEach(box->GetPolygonList(), [](void* v) { static_cast<LPolygon*>(v)->ComputePlanes(0); });
}

}  // namespace

void MakeObjectName(L3DWorld* world, char (&name)[32]) {
    std::snprintf(name, sizeof name, "Object %d", world ? int(world->GetObjects().GetCount()) : 0);
}

// ---- counts and polygons ------------------------------------------------

int32_t L3DObject::GetNPolygons(int32_t recursive) {
    int32_t n = CountPolygonsInFrame();
    if (n < 0) n = 0;
    if (recursive == 1) ForEach(m_children, [&](void* c) { n += static_cast<L3DObject*>(c)->GetNPolygons(1); });
    return n;
}

int32_t L3DObject::GetNPoints(int32_t recursive) {
    int32_t n = GetPoints() ? GetPoints()->GetCount() : 0;
    if (recursive == 1) ForEach(m_children, [&](void* c) { n += static_cast<L3DObject*>(c)->GetNPoints(1); });
    return n;
}

int32_t L3DObject::AddPolygon(LPolygon* polygon, int32_t refresh) {
    if (!polygon || (polygon->count != 3 && polygon->count != 4)) return kBadPolygon;
    AddPolygonToFrame(polygon);
    polygon->ComputePlanes(0);
    L3DWorld* world = GetWorld();
    if (refresh == 1 && world && world->GetObjects().FindNode(this)) {
        ComputeVertexNormals(nullptr, nullptr);
        RefreshBox(1);
    }
    return 0;
}

// ---- material switches ----------------------------------------------------

void L3DObject::SetWireFrame(int32_t on) {
    ForEach(GetPolygonList(), [&](void* v) {
        if (LMaterial* m = static_cast<LPolygon*>(v)->material) m->SetWireFrameMode(on);
    });
    ForEach(m_children, [&](void* c) { static_cast<L3DObject*>(c)->SetWireFrame(on); });
}

void L3DObject::SetFlat(int32_t on) {
    const LMaterial* fallback = GetWorld() ? GetWorld()->GetDefaultMaterial() : nullptr;
    ForEach(GetPolygonList(), [&](void* v) {
        LMaterial* m = static_cast<LPolygon*>(v)->material;
        if (!m) return;
        if (on == 1 && m == fallback)
            m->SetWireFrameMode(1);  // the default material is never made flat
        else
            m->SetFlatMode(on);
    });
    ForEach(m_children, [&](void* c) { static_cast<L3DObject*>(c)->SetFlat(on); });
}

void L3DObject::SetMapped(int32_t on) {
    const LMaterial* fallback = GetWorld() ? GetWorld()->GetDefaultMaterial() : nullptr;
    ForEach(GetPolygonList(), [&](void* v) {
        LMaterial* m = static_cast<LPolygon*>(v)->material;
        if (!m) return;
        if (on == 1 && (!m->GetTexture(0) || m == fallback))
            m->SetWireFrameMode(1);
        else
            m->SetMappedMode(on);
    });
    ForEach(m_children, [&](void* c) { static_cast<L3DObject*>(c)->SetMapped(on); });
}

void L3DObject::MarkCachesDirty() {
    for (L3DObject* o : {this, m_box}) {
        if (!o) continue;
        for (int32_t f = 0; f < o->GetFrameCount(); ++f)
            if (LMaterialCacheList* caches = o->GetCacheListAt(f)) caches->MarkDirty();
    }
    ForEach(m_children, [](void* c) { static_cast<L3DObject*>(c)->MarkCachesDirty(); });
}

void L3DObject::SetShading(uint32_t bit, int32_t on, int32_t clusterRequest) {
    L3DWorld* world = GetWorld();
    if (objectFlags & kFlagCluster) {
        const float value = float(on);
        if (world) world->ClusterRequest(this, clusterRequest, &value);
        return;
    }
    const int32_t was = Flag(bit);
    objectFlags &= ~uint32_t(kFlagGouraud | kFlagLambert);
    objectFlags = on ? ((objectFlags | bit) & ~uint32_t(kFlagUnshaded)) : (objectFlags | kFlagUnshaded);
    SyncCloneFlags();
    if (was != (on ? 1 : 0))
        ForEach(m_children, [&](void* c) {
            auto* child = static_cast<L3DObject*>(c);
            if (bit == kFlagGouraud)
                child->SetGouraud(on);
            else
                child->SetLambert(on);
        });
    MarkCachesDirty();
    if (bit == kFlagLambert && !on) return;
    SetFlagBit2();
    if (world) world->RefreshCameras();
}

void L3DObject::SetGouraud(int32_t on) { SetShading(kFlagGouraud, on, L3DWorld::kClusterGouraud); }
void L3DObject::SetLambert(int32_t on) { SetShading(kFlagLambert, on, L3DWorld::kClusterLambert); }

int32_t L3DObject::CacheMaterialFlag(uint32_t flag) {
    if (CountPolygonsInFrame() > 0) {
        LMaterialCacheList* caches = GetCacheList();
        const int32_t entry = caches->GetCount() > 1 ? 1 : 0;
        auto* cache = static_cast<LCacheMaterial*>(caches->GetValueAt(entry));
        const LMaterial* m = cache ? cache->GetMaterial() : nullptr;
        return m && (m->flags & flag) ? 1 : 0;
    }
    LDataNode* first = m_children ? m_children->GetHead() : nullptr;
    if (!first) return 0;
    L3DObject* child = ObjectOf(first);
    return flag == LMaterial::kFlat ? child->IsFlat() : flag == LMaterial::kWireFrame ? child->IsWireFrame()
                                                                                     : child->IsMapped();
}

int32_t L3DObject::IsFlat() { return CacheMaterialFlag(LMaterial::kFlat); }
int32_t L3DObject::IsWireFrame() { return CacheMaterialFlag(LMaterial::kWireFrame); }
int32_t L3DObject::IsMapped() { return CacheMaterialFlag(LMaterial::kMapped); }

// ---- visibility and flag switches -------------------------------------------

void L3DObject::ShowBox(int32_t on, int32_t recursive) {
    if (!on) {
        objectFlags &= ~uint32_t(kFlagBoxShown);
    } else if (IsVisible() && m_box) {
        objectFlags |= kFlagBoxShown;
        AnglesChanged(1);
    }
    if (!on || recursive) ForEach(m_children, [&](void* c) { static_cast<L3DObject*>(c)->ShowBox(on, recursive); });
}

void L3DObject::Show() {
    L3DWorld* world = GetWorld();
    if (m_kind == kKindObject && world && world->GetShowOnAdd() == 0) return;
    ForEach(m_children, [](void* c) { static_cast<L3DObject*>(c)->Show(); });
    PositionChanged(1);
    objectFlags &= ~uint32_t(kFlagHidden);
}

void L3DObject::Hide(int32_t recursive) {
    if (recursive) ForEach(m_children, [](void* c) { static_cast<L3DObject*>(c)->Hide(0); });
    objectFlags = (objectFlags & ~uint32_t(kFlagBoxShown)) | kFlagHidden;
}

void L3DObject::SetCollision(int32_t on) {
    SetObjectFlag(kFlagCollision, on);
    SyncCloneFlags();
}

void L3DObject::SetFlagBit23(int32_t on) {
    SetObjectFlag(kFlagBit23, on);
    SyncCloneFlags();
}

void L3DObject::SetSavable(int32_t on) {
    if (on || !m_parent) SetObjectFlag(kFlagSavable, on);
}

void L3DObject::SetTrueShadow(int32_t on) {
    SetObjectFlag(kFlagTrueShadow, on);
    ForEach(m_children, [&](void* c) { static_cast<L3DObject*>(c)->SetTrueShadow(on); });
}

void L3DObject::InitFlags() { objectFlags = (objectFlags & ~uint32_t(kFlagCluster)) | kFlagMovable; }

void L3DObject::SetAlwaysActive(int32_t on) {
    SetObjectFlag(kFlagAlwaysActive, on);
    ForEach(m_children, [&](void* c) { static_cast<L3DObject*>(c)->SetAlwaysActive(on); });
}

void L3DObject::SetCollisionCallback(LCollisionCallback callback, uint32_t context, int32_t recursive) {
    m_collisionCallback = callback;
    m_collisionContext = context;
    if (recursive)
        ForEach(m_children, [&](void* c) { static_cast<L3DObject*>(c)->SetCollisionCallback(callback, context, 1); });
}

// ---- location overrides -----------------------------------------------------

void L3DObject::PositionChanged(int on) {
    SetFlag(kFlagPositionChanged, on);
    ForEach(m_children, [&](void* c) { static_cast<L3DObject*>(c)->PositionChanged(on); });
}

void L3DObject::AnglesChanged(int on) {
    SetFlag(kFlagAnglesChanged, on);
    ForEach(m_children, [&](void* c) { static_cast<L3DObject*>(c)->AnglesChanged(on); });
}

int L3DObject::IsActive() { return IsMovable() || (objectFlags & kFlagAlwaysActive) ? 1 : 0; }

int L3DObject::Moved() {
    if (m_parent) PropagateMove();
    return 0;
}

void L3DObject::PropagateMove() {
    L3DObject* root = GetRoot();
    float d[3];
    Vec3Sub(m_position, m_previousPosition, d);
    const float distance = ForwardDistance(d);
    if (distance != 0.0f)
        root->MoveForward(distance);
    else if (m_flags & kChanged)
        root->AnglesChanged(1);
}

void L3DObject::SetFlagBit2() {
    L3DLocation::SetFlagBit2();
    ForEach(m_children, [](void* c) { static_cast<L3DObject*>(c)->SetFlagBit2(); });
}

void L3DObject::SetFlagBit1() {
    // Only the movable-light stage is redone (unless the base is pending).
    L3DLocation::SetFlagBit1();
    ForEach(m_children, [](void* c) { static_cast<L3DObject*>(c)->SetFlagBit1(); });
}

void L3DObject::ComputeSinCos() {
    for (int i = 0; i < 3; ++i) {
        m_sin[i] = static_cast<float>(std::sin(static_cast<double>(m_angles[i])));
        m_cos[i] = static_cast<float>(std::cos(static_cast<double>(m_angles[i])));
    }
}

// ---- transform and frame pipeline ------------------------------------------

void L3DObject::ComputeTransform() {
    float* r = m_rotation.m;
    if (m_parent) {
        LMatrix34 world;
        LMatrix34::Multiply(m_parent->m_transform.m, m_local.m, world.m);
        r[3] = r[7] = r[11] = 0.0f;
        LMatrix34::Multiply(world.m, r, m_transform.m);
        for (int i = 0; i < 3; ++i) m_position[i] = world.m[4 * i + 3];
    } else {
        for (int i = 0; i < 3; ++i) r[4 * i + 3] = m_position[i];
        m_transform = m_rotation;
    }
    if (m_box)
        for (int i = 0; i < 3; ++i) m_box->m_position[i] = m_position[i];
}

void L3DObject::ToWorld(const float* local, float* out) const {
    const float p[3] = {(local[0] + m_hotSpot[0]) * m_scale[0], (local[1] + m_hotSpot[1]) * m_scale[1],
                        (local[2] + m_hotSpot[2]) * m_scale[2]};
    LMatrix34::TransformPoint(m_transform.m, p, out);
}

void L3DObject::ProjectBox(const LCameraView* camera) {
    if (!m_box) return;
    ForEachPoint(m_box->GetPoints(), [&](L3DPoint* p) {
        ToWorld(p->local, p->world);
        if (camera) p->ProjectFromWorld(*camera);
    });
}

void L3DObject::FrameStep(LCameraView* camera) {
    if (m_moveCallback && m_moveCallback(this, m_moveContext) == 1) {
        PositionChanged(1);
        UpdateTransform(camera);
    } else if (m_flags & kChanged) {
        UpdateTransform(camera);
    }
    if (IsCollision()) SweepSphere();
}

void L3DObject::UpdateFrame(LCameraView* camera) {
    if (objectFlags & kFlagShadow) DropShadowQuad();
    UpdateTransform(camera);
    if (objectFlags & kFlagAlwaysActive) UpdateTransform(camera);
    if (m_flags & kChanged) CommitFrame(camera);
}

void L3DObject::UpdateTransform(LCameraView* camera) {
    ComputeTransform();
    if (objectFlags & kFlagHidden) {
        m_inView = 0;
        return;
    }
    if ((m_flags & kChanged) || (camera && camera->HasChanged())) ProjectBox(camera);
    TestInView(camera);
    ForEach(m_children, [&](void* c) { static_cast<L3DObject*>(c)->UpdateTransform(camera); });
}

void L3DObject::TestInView(const LCameraView* camera) {
    LMaterialCacheList* caches = GetCacheList();
    if (m_box && camera) {
        ComputeSphere();
        const int32_t answer = camera->ClassifySphere(m_sphere);
        m_inView = answer == LCameraView::kSphereOutside ? 0 : 1;
        if (caches && answer == LCameraView::kSphereInside) caches->ClearClip();
        if (caches && answer == LCameraView::kSphereCrossing) caches->SetClip();
    } else {
        // Nothing to test: drawn, clipped.
        m_inView = 1;
        if (caches) caches->SetClip();
    }
}

void L3DObject::BoxCorner(int32_t i, const float* low, const float* high, float* out) {
    for (int a = 0; a < 3; ++a) out[a] = kCornerOfBox[i][a] ? high[a] : low[a];
}

void L3DObject::CommitFrame(LCameraView* camera) {
    for (int i = 0; i < 3; ++i) m_previousPosition[i] = m_position[i];
    if (!(objectFlags & kFlagHidden)) ForEachPoint(GetPoints(), [&](L3DPoint* p) { ToWorld(p->local, p->world); });
    ForEach(m_children, [&](void* c) { static_cast<L3DObject*>(c)->CommitFrame(camera); });
}

void L3DObject::ProjectPoints(LCameraView* camera) {
    if (m_inView && camera) {
        if (!(objectFlags & kFlagHidden)) {
            ForEachPoint(GetPoints(), [&](L3DPoint* p) { p->ProjectFromWorld(*camera); });
            m_drawState = kDrawProjected;
        }
        AnglesChanged(0);
        PositionChanged(0);
    }
    ForEach(m_children, [&](void* c) { static_cast<L3DObject*>(c)->ProjectPoints(camera); });
}

void L3DObject::PrepareDraw(LCameraView* camera) {
    L3DWorld* world = GetWorld();
    m_drawState = kDrawPreparing;
    if ((camera && camera->HasChanged()) || (m_flags & kChanged)) {
        ProjectPoints(camera);
        if (world) world->PrepareLights(this, camera);
    }
    if (!m_inView) return;
    uint32_t done = 0;
    if (m_flags & kFlagBaseLighting) {
        if (world) world->LightBase(this), world->LightMovable(this);
        done = kLightBits;
    } else if (m_flags & kFlagMovableLighting) {
        if (world) world->LightMovable(this);
        done = kFlagMovableLighting;
    }
    if (done) {
        m_flags &= ~done;
        ForEach(m_children, [&](void* c) { static_cast<L3DObject*>(c)->m_flags &= ~done; });
    }
}

void L3DObject::DrawFrame(LCameraView* camera) {
    if (!m_inView) return;
    PrepareDraw(camera);
    Render(camera);
}

void L3DObject::Render(LCameraView* camera) {
    if (!camera || (objectFlags & kFlagHidden)) return;
    L3DWorld* world = GetWorld();
    LRenderTargetLink* target = world ? world->GetRenderTarget() : nullptr;
    LDriverLink* driver = target ? target->GetDriverLink() : nullptr;
    const bool batched = m_batchMode == 1 && m_emptied == 0 && driver && driver->IsHardware() == 1;
    DrawPolygons(camera, batched);
    if ((objectFlags & kFlagBoxShown) && m_box) DrawBox(camera);
    ForEach(m_children, [&](void* c) { static_cast<L3DObject*>(c)->Render(camera); });
}

void L3DObject::DrawBox(LCameraView* camera) {
    // The box display (and the markers that lights, sound objects and zones
    // keep in their boxes): placed with the object, drawn unless culled.
    ForEachPoint(m_box->GetPoints(), [&](L3DPoint* p) {
        ToWorld(p->local, p->world);
        p->ProjectFromWorld(*camera);
    });
    ForEach(m_box->GetPolygonList(), [&](void* v) {
        auto* polygon = static_cast<LPolygon*>(v);
        if (!polygon->material) return;
        polygon->visibility = uint16_t(polygon->Classify(*camera));
        if (polygon->visibility != LPolygon::kCulled) polygon->Submit(camera);
    });
}

void L3DObject::DrawPolygons(LCameraView* camera, bool batched) {
    if (!m_inView) return;
    L3DWorld* world = GetWorld();
    ComputeViewRotation(camera);
    if (m_shadowQuad && (objectFlags & kFlagShadow)) {
        if (m_drawState == kDrawProjected) PlaceShadowQuad(camera);
        m_shadowQuad->Classify(*camera);
        m_shadowQuad->Submit(camera);
    }
    if ((objectFlags & (kFlagGouraud | kFlagLambert)) && IsMovable() && !(objectFlags & kFlagAlwaysActive) && world)
        world->RelightObject(this);
    if (batched) {
        // The caches draw their triangles indexed; quads and the triangles
        // a cache refused (vertex numbers used up) go one by one.
        if (LMaterialCacheList* caches = GetCacheList()) caches->Update(camera, this);
        ForEach(GetPolygonList(), [&](void* v) {
            auto* p = static_cast<LPolygon*>(v);
            if (!p->inCache) CullAndDraw(p, camera);
        });
    } else {
        ForEach(GetPolygonList(), [&](void* v) { CullAndDraw(static_cast<LPolygon*>(v), camera); });
    }
    if (m_fixedCount && world) {
        const int32_t previous = world->GetDrawingSwitch();
        world->SetDrawingSwitch(1);
        for (int i = 0; i < m_fixedCount; ++i) world->DrawLight(m_fixedLights[i], camera);
        world->SetDrawingSwitch(previous);
    }
}

void L3DObject::SubmitPolygons(LCameraView* camera) {
    ComputeViewRotation(camera);
    if (LDataLink* polygons = GetPolygonList())
        for (LDataNode* n = polygons->GetHead(); n; n = n->next) static_cast<LPolygon*>(n->value)->Submit(camera);
    AnglesChanged(1);
    ForEach(m_children, [&](void* c) { static_cast<L3DObject*>(c)->SubmitPolygons(camera); });
}

void L3DObject::ComputeViewRotation(const LCameraView* camera) {
    if (!camera) return;
    if (!IsMovable()) {
        std::memcpy(m_viewRotation, camera->rows, sizeof m_viewRotation);
        return;
    }
    const float* r = m_transform.m;
    for (int i = 0; i < 3; ++i)
        for (int j = 0; j < 3; ++j)
            m_viewRotation[3 * i + j] = camera->rows[3 * i] * r[j] + camera->rows[3 * i + 1] * r[4 + j] +
                                        camera->rows[3 * i + 2] * r[8 + j];
}

float L3DObject::DistanceToCamera(const LCameraView* camera) const {
    return camera ? Vec3Distance(m_position, camera->position) : 0.0f;
}

// ---- static objects, copies, clones ----------------------------------------

void L3DObject::MakeStatic(int32_t refresh) {
    if (!IsMovable()) return;
    L3DWorld* world = GetWorld();
    if (!m_parent) {
        PositionChanged(1);
        LDefaultCameraView camera;
        UpdateFrame(&camera);
        PositionChanged(0);
    }
    // The next child is taken first: each leaves this list.
    for (LDataNode* n = m_children ? m_children->GetHead() : nullptr; n;) {
        LDataNode* next = n->next;
        ObjectOf(n)->MakeStatic(refresh);
        n = next;
    }
    if (m_parent) SetParent(nullptr, 1);
    if (world && world->GetObjects().FindNode(this)) {
        world->SetAutoDelete(0);
        world->RemoveObject(this);
        objectFlags = (objectFlags & ~uint32_t(kFlagMovable)) | kFlagCluster;
        world->ClusterTakeObject(this);
        world->SetAutoDelete(1);
        SetPositionAndAngles(0, 0, 0, 0, 0, 0);  // refused unless always active; BakeTransform clears them
        BakeTransform();
        if (refresh) world->UpdateClusters();
    }
}

L3DObject* L3DObject::DuplicateTree(const char* name) {
    auto* copy = new L3DObject(name, GetWorld(), nullptr);
    CopyContentTo(copy);
    return copy;
}

void L3DObject::CopyContentTo(L3DObject* copy) {
    L3DWorld* world = GetWorld();
    for (int i = 0; i < 3; ++i) {
        copy->m_angles[i] = m_angles[i];
        copy->m_position[i] = m_position[i];
        copy->m_previousPosition[i] = m_position[i];
        copy->m_hotSpot[i] = m_hotSpot[i];
    }
    std::memcpy(copy->m_spare, m_spare, sizeof m_spare);
    copy->AnglesDone(0);
    copy->m_transform = m_transform;
    if (m_name) copy->SetName(m_name);
    if (GetFrameCount() > 0) {
        copy->DeleteBase(kAllFrames, 1);
        copy->CopyBases(*this);
        copy->m_emptied = 0;
        copy->m_currentFrame = m_currentFrame;
        copy->SyncOwnerPoints();
    }
    if (m_keys && copy->m_keys) copy->m_keys->CopyFrom(*m_keys);
    copy->RefreshBox(1);
    ForEach(m_children, [&](void* c) {
        auto* child = static_cast<L3DObject*>(c);
        if (!(child->m_kind & kKindOwnedBit)) return;
        char childName[32];
        MakeObjectName(world, childName);
        L3DObject* childCopy = child->DuplicateTree(childName);
        if (copy->LinkChild(childCopy))
            childCopy->m_local = child->m_local;
        else
            delete childCopy;
    });
}

L3DObject* L3DObject::Duplicate(const L3DLocation* location) {
    if (!(m_kind & kKindOwnedBit)) return nullptr;
    L3DWorld* world = GetWorld();
    char name[32];
    MakeObjectName(world, name);
    L3DObject* copy = DuplicateTree(name);
    if (world) world->AddObject(copy);
    if (location) copy->Assign(*location);
    return copy;
}

L3DObject* L3DObject::Clone(const L3DLocation* location) {
    if (m_kind == kKindClone) {
        L3DObject* source = static_cast<L3DObjectClone*>(this)->GetSource();
        L3DObject* clone = source ? source->Clone(this) : nullptr;
        if (clone && location) clone->Assign(*location);
        return clone;
    }
    L3DWorld* world = GetWorld();
    char name[32];
    MakeObjectName(world, name);
    auto* clone = new L3DObjectClone(name, world, nullptr);
    if (IsMovable()) clone->SetSource(this);
    if (world) world->AddObject(clone);
    if (location) clone->Assign(*location);
    return clone;
}

// ---- geometry -------------------------------------------------------------------

void L3DObject::RefreshBox(int32_t /*refresh*/) {
    if (!m_box || !(objectFlags & kFlagHasBox)) return;
    float low[3] = {999999.0f, 999999.0f, 999999.0f}, high[3] = {-999999.0f, -999999.0f, -999999.0f};
    LBasePoint* points = GetPoints();
    if (!points || points->GetCount() == 0) {
        for (int a = 0; a < 3; ++a) low[a] = high[a] = 0.0f;
    } else {
        ForEachPoint(points, [&](L3DPoint* p) {
            for (int a = 0; a < 3; ++a) {
                low[a] = std::fmin(low[a], p->local[a]);
                high[a] = std::fmax(high[a], p->local[a]);
            }
        });
    }
    PlaceBoxCorners(m_box, low, high);
}

void L3DObject::SetBoundingRadius(float radius) {
    m_sphere[3] = radius;
    if (m_box) {
        const float h = std::sqrt(radius * radius * 0.33333334f);
        const float low[3] = {-h, -h, -h}, high[3] = {h, h, h};
        PlaceBoxCorners(m_box, low, high);
    }
    ForEach(GetPolygonList(), [](void* v) { static_cast<LPolygon*>(v)->ComputePlanes(0); });
}

void L3DObject::RebuildCaches() {
    if (LMaterialCacheList* caches = GetCacheList()) {
        caches->DeleteAt(-1);
        ForEach(GetPolygonList(), [&](void* v) {
            auto* p = static_cast<LPolygon*>(v);
            if (p->material) caches->AddPolygon(p->material, p);
        });
    }
    ForEach(m_children, [](void* c) { static_cast<L3DObject*>(c)->RebuildCaches(); });
}

void L3DObject::Scale(float factor) { MultiplyScale(factor, factor, factor); }

void L3DObject::MultiplyScale(float x, float y, float z) {
    if (!IsActive()) return;
    if (objectFlags & kFlagCluster) {
        const float values[3] = {x, y, z};
        if (L3DWorld* world = GetWorld()) world->ClusterRequest(this, L3DWorld::kClusterScale, values);
        return;
    }
    m_scale[0] *= x;
    m_scale[1] *= y;
    m_scale[2] *= z;
    AnglesChanged(1);
    ForEach(m_children, [&](void* c) { static_cast<L3DObject*>(c)->MultiplyScale(x, y, z); });
}

void L3DObject::ScaleGeometry(float factor) {
    const auto scale = [&](L3DPoint* p) { Vec3Scale(p->local, factor, p->local); };
    if (m_box) ForEachPoint(m_box->GetPoints(), scale);
    ForEachPoint(GetPoints(), scale);
}

void L3DObject::BakeTransform() {
    ForEachPoint(GetPoints(), [](L3DPoint* p) { Vec3Copy(p->world, p->local); });
    // The planes from the moved points: the world rotation applied to them.
    ForEach(GetPolygonList(), [](void* v) { static_cast<LPolygon*>(v)->ComputePlanes(0); });
    for (int i = 0; i < 3; ++i) {
        m_scale[i] = 1.0f;
        m_position[i] = m_angles[i] = m_hotSpot[i] = 0.0f;
    }
    AnglesDone(0);  // sines, cosines and rotation at once: no stale matrix
    ComputeTransform();
    RefreshBox(1);
}

void L3DObject::ChangeMaterial(LPolygon* polygon, LMaterial* material) {
    // The triangle moves to the new material's cache (once: a polygon that
    // its material change already cached stays where it is).
    LMaterialCacheList* caches = GetCacheList();
    if (caches) caches->RemovePolygon(polygon->material, polygon);
    polygon->SetMaterial(material);
    if (caches && polygon->material && !polygon->inCache) caches->AddPolygon(polygon->material, polygon);
}

int32_t L3DObject::SetPolygonMaterial(int32_t id, LMaterial* material) {
    if (id == -1) {
        if (!GetPolygonList()) return kBadPolygon;
        ForEach(GetPolygonList(), [&](void* v) { ChangeMaterial(static_cast<LPolygon*>(v), material); });
        return 0;
    }
    LPolygon* polygon = GetPolygon(id);
    if (!polygon) return kBadPolygon;
    ChangeMaterial(polygon, material);
    return 0;
}

void L3DObject::ReplaceMaterial(LMaterial* from, LMaterial* to) {
    ForEach(GetPolygonList(), [&](void* v) {
        auto* p = static_cast<LPolygon*>(v);
        if (p->material == from) ChangeMaterial(p, to);
    });
}

void L3DObject::ComputeVertexNormals(LPolygon* polygon, L3DPoint* point) {
    const auto isTarget = [&](const L3DPoint* p) {
        if (point) return p == point;
        if (polygon) return polygon->IndexOfPoint(p) >= 0;
        return true;
    };
    const auto forTargets = [&](auto f) {
        if (point)
            f(point);
        else if (polygon)
            for (int i = 0; i < polygon->count; ++i) f(polygon->points[i]);
        else
            ForEachPoint(GetPoints(), f);
    };
    forTargets([](L3DPoint* p) { Vec3Zero(p->normal); });
    ForEach(GetPolygonList(), [&](void* v) {
        auto* p = static_cast<LPolygon*>(v);
        if (p->count < 3) return;
        for (int i = 0; i < p->count; ++i)
            if (isTarget(p->points[i])) Vec3Add(p->points[i]->normal, p->planes, p->points[i]->normal);
    });
    forTargets([](L3DPoint* p) { Vec3Normalize(p->normal, p->normal); });
}

void L3DObject::ComputeEnvMapCoords() {
    ForEachPoint(GetPoints(), [](L3DPoint* p) {
        p->u = 1.0f - (p->normal[0] + 1.0f) * 0.4878049f;
        p->v = 1.0f - (p->normal[1] + 1.0f) * 0.4878049f;
    });
}

int32_t L3DObject::BoxSize(int axis) const {
    if (!m_box) return 1;
    const L3DPoint* a = m_box->GetPoints() ? m_box->GetPoints()->GetPoint(3) : nullptr;
    const L3DPoint* b = m_box->GetPoints() ? m_box->GetPoints()->GetPoint(5) : nullptr;
    if (!a || !b) return 1;
    const float extent = std::fabs((b->local[axis] - a->local[axis]) * m_scale[axis]);
    if (!(extent >= 0.0f)) return 0;  // NaN
    return extent >= 2147483520.0f ? INT_MAX : int32_t(extent);
}

// ---- saving -------------------------------------------------------------------------

void L3DObject::SaveObject(LChunkStream& out, uint32_t saveFlags) {
    if (!IsSavable()) return;
    const int32_t start = out.BeginChunk(ChunkTag("OB3D"));
    out.WriteU32(m_kind);
    out.WriteU32(objectFlags);
    out.WriteString(m_name ? m_name : "");
    out.WriteString(m_parent ? (m_parent->m_name ? m_parent->m_name : "") : "3DWORLD");
    // Only the children that write a record are counted, so a reader finds
    // as many as the count says.
    int32_t savable = 0;
    ForEach(m_children, [&](void* c) { savable += static_cast<L3DObject*>(c)->IsSavable() ? 1 : 0; });
    out.WriteU16(uint32_t(savable));
    out.WriteF32(m_scale[0]);
    out.WriteF32(m_scale[1]);
    out.WriteF32(m_scale[2]);
    SaveBases(out);
    SaveLocation(out);
    if (m_keys) m_keys->Save(out);
    if (m_shadowQuad) SaveShadow(out);
    if (m_clones && m_clones->GetCount() > 0) {
        const int32_t clones = out.BeginChunk(ChunkTag("OCLO"));
        out.WriteU16(uint32_t(m_clones->GetCount()));
        ForEach(m_clones, [&](void* c) { static_cast<L3DObject*>(c)->SaveObject(out, saveFlags); });
        out.EndChunk(clones);
    }
    const int32_t user = out.BeginChunk(ChunkTag("OUSE"));
    out.WriteU32(userWord);
    out.EndChunk(user);
    ForEach(m_children, [&](void* c) { static_cast<L3DObject*>(c)->SaveObject(out, saveFlags); });
    out.EndChunk(start);
}
