#include "engine3d/world.h"

#include "engine3d/file_search.h"
#include "engine3d/image_file_source.h"
#include "engine3d/object.h"
#include "engine3d/point.h"
#include "engine3d/polygon.h"
#include "engine3d/polygon_routines.h"
#include "engine3d/render_link.h"
#include "engine3d/texture.h"

#include "engine3d/chunk_stream.h"
#include "engine3d/engine_globals.h"
#include "engine3d/name_text.h"

#include <cmath>
#include <cstdio>
#include <cstring>

namespace {
LDriverLink* DriverOf(const LRenderTargetLink* target) { return target ? target->GetDriverLink() : nullptr; }
LImageSourceFactory g_imageSourceFactory = &NewImageFileSource;
}  // namespace

L3DWorld::L3DWorld(LRenderTargetLink* renderTarget, FileCopyCallback copy)
    : m_renderTarget(renderTarget), m_cluster(new LBase3DCluster()), m_cameras(this), m_copy(copy), m_materials(this),
      m_textures(this),
      m_defaultMaterial(new LMaterial(nullptr, "$Ruk3D Mat$ Default Material", nullptr, 0xFF0000, 0, nullptr)),
      m_defaultShadowMaterial(new LMaterial(nullptr, "$Ruk3D Mat$ Default Shadow Material", nullptr, 0, 0, nullptr)) {
    m_lights.SetWorld(this);
    m_zones.SetWorld(this);
    m_blobs.SetWorld(this);
    m_sounds.SetWorld(this);
    m_cluster->SetClusterWorld(this);
    m_materials.AddMaterial(m_defaultMaterial);
    m_materials.AddMaterial(m_defaultShadowMaterial);
    m_cameras.RefreshCameras(1);
    const float direction[3] = {-50.0f, -50.0f, 50.0f};
    m_ambient = new L3DLightAmbiant(this, direction, 0, 0, 0xFFFFFF, nullptr);
    BuildAxisMarker();
}

L3DWorld::~L3DWorld() {
    ReleaseGlobalTriangle();
    delete m_axis;
    m_axis = nullptr;
    Clear();
    m_materials.DeleteMaterialAt(-1);
    delete m_imageFile;
    SetScriptOwner(nullptr);
    delete m_defaultShadowMaterial;
    delete m_defaultMaterial;
    m_cameras.DeleteCameraAt(-1);
    delete m_cluster;
    delete m_ambient;
}

void L3DWorld::ReleaseGlobalTriangle() {
    // The triangle outlives every world: it leaves this world's material
    // list and gives its vertices back, so no freed material or vertex is
    // reached by the next world's frame.
    LPolygon& triangle = GlobalTriangle();
    if (triangle.material && triangle.materialNode)
        triangle.material->RemovePolygon(static_cast<LDataNode*>(triangle.materialNode));
    triangle.material = nullptr;
    triangle.materialNode = nullptr;
    // The vertices came from this world's driver and go back through it (an
    // ownerless polygon would delete them itself).
    const int32_t n = triangle.count;
    triangle.count = 0;
    for (int32_t i = 0; i < n; ++i) {
        DeletePoint(triangle.points[i]);
        triangle.points[i] = nullptr;
    }
}

void L3DWorld::BuildAxisMarker() {
    static const float kVertices[kAxisVertexCount][3] = {
        {0, 0, 0},   {50, 0, 0},  {0, 50, 0},  {0, 0, 50},  {40, 7, 0},  {40, -7, 0}, {-7, 40, 0}, {7, 40, 0},
        {-7, 0, 40}, {7, 0, 40},  {60, -7, 0}, {70, -7, 0}, {60, 7, 0},  {70, 7, 0},  {0, 60, 0},  {0, 65, 0},
        {7, 70, 0},  {-7, 70, 0}, {-7, 0, 70}, {7, 0, 70},  {-7, 0, 60}, {7, 0, 60},
    };
    // A triangle whose first and third vertices agree draws as a segment.
    static const int kPolygons[kAxisPolygonCount][3] = {
        {0, 1, 0},    {1, 4, 5},    {10, 13, 10}, {11, 12, 11}, {0, 2, 0},    {2, 6, 7},    {14, 15, 14},
        {17, 15, 17}, {16, 15, 16}, {0, 3, 0},    {3, 8, 9},    {18, 19, 18}, {19, 20, 19}, {20, 21, 20},
    };
    m_axis = new L3DObject("Axis_Obj", this, nullptr);
    LBasePoint* points = m_axis->GetPoints();
    L3DPoint* vertex[kAxisVertexCount];
    points->DisableSharing();
    for (int i = 0; i < kAxisVertexCount; ++i)
        vertex[i] = points->AddPoint(kVertices[i][0], kVertices[i][1], kVertices[i][2], 0, 0);
    points->EnableSharing();
    for (const auto& p : kPolygons) {
        LPolygon* polygon = CreatePolygon(m_axis, 2, nullptr);
        if (!polygon) continue;
        for (int v : p) polygon->AddPoint(vertex[v]);
        m_axis->AddPolygon(polygon, 1);
    }
    GivePolygonsDefaultMaterial(m_axis);
    m_axis->RefreshBox(1);
}

L3DPoint* L3DWorld::CreatePoint(float x, float y, float z, float u, float v) {
    LDriverLink* driver = DriverOf(m_renderTarget);
    return driver ? driver->CreatePoint(x, y, z, u, v) : nullptr;
}

void L3DWorld::DeletePoint(L3DPoint* point) {
    if (LDriverLink* driver = DriverOf(m_renderTarget))
        driver->DeletePoint(point);
    else
        delete point;  // the drivers' own body: a virtual destructor
}

LPolygon* L3DWorld::CreatePolygon(LPolygonOwner* owner, int32_t reserved, void* callback) {
    LDriverLink* driver = DriverOf(m_renderTarget);
    return driver ? driver->CreatePolygon(owner, reserved, callback) : nullptr;
}

void L3DWorld::DeletePolygon(LPolygon* polygon) {
    if (LDriverLink* driver = DriverOf(m_renderTarget))
        driver->DeletePolygon(polygon);
    else
        delete polygon;
}

LTexture* L3DWorld::CreateTexture(const char* name, LCLBKObject* callback) {
    LDriverLink* driver = DriverOf(m_renderTarget);
    return driver ? driver->CreateTexture(this, name, callback) : nullptr;
}

void L3DWorld::DeleteTexture(LTexture* texture) {
    if (LDriverLink* driver = DriverOf(m_renderTarget))
        driver->DeleteTexture(texture);
    else
        delete texture;
}

LSprite* L3DWorld::CreateSprite() {
    LDriverLink* driver = DriverOf(m_renderTarget);
    return driver ? driver->CreateSprite(this) : nullptr;
}

void L3DWorld::DeleteSprite(LSprite* sprite) {
    if (LDriverLink* driver = DriverOf(m_renderTarget))
        driver->DeleteSprite(sprite);
    else
        delete sprite;
}

void L3DWorld::SetImageSourceFactory(LImageSourceFactory factory) { g_imageSourceFactory = factory; }
LImageSourceFactory L3DWorld::GetImageSourceFactory() { return g_imageSourceFactory; }

LImageSource* L3DWorld::GetImageFile() {
    if (!m_imageFile && g_imageSourceFactory) m_imageFile = g_imageSourceFactory();
    return m_imageFile;
}

int32_t L3DWorld::CopyFile(LTexture* texture, const char* source, const char* destination, int32_t failIfExists,
                           const char* name) {
    if (m_copy) return m_copy(texture, name, destination, failIfExists, source);
    LFileSearch& fs = m_fileSearch ? *m_fileSearch : GetSystemFileSearch();
    return fs.CopyFile(source, destination, failIfExists);
}

int32_t L3DWorld::CopyTextureFile(const LTexture* texture, const char* bareName) {
    LFileSearch& fs = m_fileSearch ? *m_fileSearch : GetSystemFileSearch();
    char current[LTextureList::kPathSize], destination[LTextureList::kPathSize];
    if (!fs.GetCurrentDir(current, sizeof current)) return 0;
    const int n = std::snprintf(destination, sizeof destination, "%s%c%s", current, '\\', bareName);
    if (n <= 0 || n >= int(sizeof destination)) return 0;
    return CopyFile(const_cast<LTexture*>(texture), texture->GetFileNameText(), destination, 1, texture->GetNameText());
}


// ---- objects ----------------------------------------------------------------

namespace {
bool IsCloneKind(const L3DObject* object) {
    return object->GetKind() == L3DObject::kKindClone || object->GetKind() == L3DObject::kKindAnimationClone;
}
}  // namespace

void L3DWorld::GivePolygonsDefaultMaterial(L3DObject* object) {
    if (LDataLink* polygons = object->GetPolygonList())
        for (LDataNode* n = polygons->GetHead(); n; n = n->next) {
            auto* polygon = static_cast<LPolygon*>(n->value);
            if (!polygon->material) polygon->SetMaterial(m_defaultMaterial);
        }
}

bool L3DWorld::LinkTopLevel(L3DObject* object, bool clonesFirst, int32_t refresh) {
    object->SetWorld(this);
    object->RefreshBox(1);
    LDataNode* node = clonesFirst && IsCloneKind(object) ? m_objects.InsertBefore(object, m_objects.GetHead())
                                                         : m_objects.InsertAfter(object, nullptr);
    if (!node) return false;
    ++node->referenceCount;
    ++m_objectCount;
    object->InitFlags();
    m_cluster->AddClusterObject(object);
    if (refresh) object->ComputeVertexNormals(nullptr, nullptr);
    GivePolygonsDefaultMaterial(object);
    return true;
}

int32_t L3DWorld::AddObject(L3DObject* object, int32_t refresh) {
    if (!object || !LinkTopLevel(object, true, refresh)) return 0;
    if (object->GetObjectFlags() & L3DObject::kFlagHidden) return 0;
    if (m_showOnAdd) return m_showOnAdd;
    object->Hide(0);
    return 0;
}

void L3DWorld::ClusterTakeObject(L3DObject* object) {
    if (!object || m_clusterObjects.FindNode(object)) return;
    m_clusterObjects.InsertAfter(object, nullptr);
    m_cluster->AddMeshObject(object);
}

int32_t L3DWorld::RemoveObject(L3DObject* object) {
    LDataNode* node = m_objects.FindNode(object);
    if (!node) return 1;
    // The object's top-level clones go first, each the same way. The clone
    // list is the object's own record of its clones (clones hung under other
    // objects go with the object's destruction); it is walked once, from a
    // copy, because each removal may change it.
    if (LDataLink* clones = object->GetClones()) {
        const int32_t n = clones->GetCount();
        L3DObject** listed = n > 0 ? new L3DObject*[size_t(n)] : nullptr;
        int32_t k = 0;
        for (LDataNode* c = clones->GetHead(); c && k < n; c = c->next) listed[k++] = static_cast<L3DObject*>(c->value);
        for (int32_t i = 0; i < k; ++i)
            if (IsCloneKind(listed[i]) && m_objects.FindNode(listed[i])) RemoveObject(listed[i]);
        delete[] listed;
        node = m_objects.FindNode(object);
        if (!node) return 0;
    }
    m_objects.RemoveNode(node, 1);
    m_cluster->RemoveClusterObject(object);
    m_cluster->RemoveMeshObject(object);
    --m_objectCount;
    if (m_autoDelete == 1) delete object;
    return 0;
}

int32_t L3DWorld::RemoveObjectAt(int32_t position) {
    if (position != -1) {
        LDataNode* node = position >= 0 ? m_objects.GetNodeAt(position) : nullptr;
        return node ? RemoveObject(static_cast<L3DObject*>(node->value)) : 1;
    }
    m_cluster->ClearCluster();
    while (LDataNode* node = m_objects.GetHead()) {
        auto* object = static_cast<L3DObject*>(node->value);
        m_objects.RemoveNode(node, 1);
        --m_objectCount;
        if (m_autoDelete != 1) continue;
        // A source's destruction takes its clones along: they leave the list
        // (and the count) here, so each object is destroyed once.
        if (LDataLink* clones = object->GetClones())
            for (LDataNode* c = clones->GetHead(); c; c = c->next)
                if (LDataNode* listed = m_objects.FindNode(c->value)) {
                    m_objects.RemoveNode(listed, 1);
                    --m_objectCount;
                }
        delete object;
    }
    return 0;
}

L3DObject* L3DWorld::GetObject(int32_t position) {
    LDataNode* node = position >= 0 ? m_objects.GetNodeAt(position) : nullptr;
    return node ? static_cast<L3DObject*>(node->value) : nullptr;
}

L3DObject* L3DWorld::FindObject(const char* name) {
    char buffer[260];
    for (LDataNode* n = m_objects.GetHead(); n; n = n->next) {
        auto* object = static_cast<L3DObject*>(n->value);
        object->GetName(buffer, sizeof buffer);
        if (NamesEqual(buffer, name)) return object;
        if (L3DObject* found = object->FindChildByName(name)) return found;
    }
    return nullptr;
}

int32_t L3DWorld::HideObject(int32_t position) {
    if (position == -1) {
        for (LDataNode* n = m_objects.GetHead(); n; n = n->next) static_cast<L3DObject*>(n->value)->Hide(0);
        return 0;
    }
    L3DObject* object = GetObject(position);
    if (!object) return 1;
    object->Hide(0);
    return 0;
}

int32_t L3DWorld::ShowObject(int32_t position) {
    if (position == -1) {
        for (LDataNode* n = m_objects.GetHead(); n; n = n->next) static_cast<L3DObject*>(n->value)->Show();
        return 0;
    }
    L3DObject* object = GetObject(position);
    if (!object) return 1;
    object->Show();
    return 0;
}

void L3DWorld::NameUnnamedObjects() {
    int32_t counter = 0;
    char buffer[260];
    for (LDataNode* n = m_objects.GetHead(); n; n = n->next) {
        auto* object = static_cast<L3DObject*>(n->value);
        object->GetName(buffer, sizeof buffer);
        if (std::strncmp(buffer, "Object", 6) != 0 && std::strncmp(buffer, "NoName", 6) != 0) continue;
        std::snprintf(buffer, sizeof buffer, "Object %d", int(++counter));
        object->SetName(buffer);
    }
}

int32_t L3DWorld::CountPolygons() {
    int32_t count = m_cluster->GetNPolygons(1);
    for (LDataNode* n = m_objects.GetHead(); n; n = n->next) count += static_cast<L3DObject*>(n->value)->GetNPolygons(1);
    return count;
}

int32_t L3DWorld::Clear() {
    m_lights.DeleteLightAt(-2);
    DestroyBackground();
    RemoveObjectAt(-1);
    // The octree goes, then the static meshes MakeStatic handed over (the
    // world's, emptied or not by the octree).
    m_cluster->ClearCluster();
    while (LDataNode* node = m_clusterObjects.GetHead()) {
        auto* object = static_cast<L3DObject*>(node->value);
        m_clusterObjects.RemoveNode(node, 1);
        delete object;
    }
    m_cameras.DeleteCameraAt(-1);
    m_sprites.DeleteSpriteAt(-1);
    m_textures.DeleteTextureAt(-1);
    m_sounds.DeleteSoundAt(-1);
    m_blobs.DeleteBlobAt(-1);
    m_zones.DeleteZoneAt(-1);
    m_materials.DeleteMaterialAt(-1);
    // The default materials are first again (the list never destroys them).
    if (!m_materials.FindNode(m_defaultMaterial)) m_materials.AddMaterial(m_defaultMaterial);
    if (!m_materials.FindNode(m_defaultShadowMaterial)) m_materials.AddMaterial(m_defaultShadowMaterial);
    m_worldFlags = 0;
    return 0;
}

void L3DWorld::SetColourDepth(int32_t depth) {
    if (depth == m_requestedColourDepth) return;
    m_requestedColourDepth = m_colourDepth = depth;
    m_materials.Refresh();
    ++m_materialRefreshes;
}

int32_t L3DWorld::SetShowClusters(int32_t on) {
    m_worldFlags = on ? (m_worldFlags | kShowClusters) : (m_worldFlags & ~kShowClusters);
    m_cluster->SetShowClusters(on);
    return 0;
}

// ---- cameras and the frame ----------------------------------------------------

L3DCamera* L3DWorld::CreateCamera(LCLBKObject* callback) {
    auto* camera = new L3DCamera(this, callback);
    m_cameras.AddCamera(camera);
    return camera;
}

void L3DWorld::DrawFrame(L3DCamera* camera) {
    LPolygon& triangle = GlobalTriangle();
    if (triangle.GetCount() == 0) {
        for (int i = 0; i < 3; ++i)
            if (L3DPoint* p = CreatePoint(0, 0, 0, 0, 0)) triangle.AddPoint(p);
        // The triangle has no owner, so it joins the material's list here.
        if (triangle.GetCount() == 3 && !triangle.material) {
            triangle.materialNode = m_defaultMaterial->AddPolygon(&triangle);
            triangle.material = m_defaultMaterial;
        }
    }
    m_currentCamera = camera;
    camera->FrameStep(camera);
    if (camera->IsCollision()) {
        for (LDataNode* n = m_cluster->GetObjectList().GetHead(); n; n = n->next)
            camera->CollideObject(0, static_cast<L3DObject*>(n->value));
        camera->CollideWorld(camera);
    }
    if (m_background) DrawBackgroundFor(camera);
    camera->polygonsDrawn = 0;
    if (camera->GetRenderMode() == L3DCamera::kRenderScene) DrawThroughCamera(camera);
    if (m_worldFlags & kShowAxis) DrawAxisMarker(camera);
    camera->AnglesChanged(0);
    camera->PositionChanged(0);
    LRenderTargetLink* target = camera->GetRenderTarget();
    if (target) target->EndScene();
    m_sprites.DrawSprites(target, camera);
}

void L3DWorld::DrawThroughCamera(L3DCamera* camera) {
    camera->AcquireSortBuckets();
    const int32_t doubleSided = m_doubleSided;
    m_doubleSided = 1;
    m_cameras.PrepareMarkers(camera);
    m_lights.TransformMovable(camera);
    m_zones.PrepareZones(camera);
    m_sounds.PrepareSounds(camera);
    m_doubleSided = doubleSided;
    m_blobs.UpdateBlobs(camera, &m_cluster->GetObjectList());
    m_cluster->DrawObjects(camera, &m_blobs.GetBlobs());
    camera->DrawBuckets();
    camera->AcquireSortBuckets();
}

void L3DWorld::DrawAxisMarker(L3DCamera* camera) {
    if (!m_axis) return;
    m_axis->SetPositionAndAngles(0, 0, 0, 0, 0, 0);
    m_axis->UpdateFrame(camera);
    if (!m_axis->IsInView()) return;
    if (LDataLink* polygons = m_axis->GetPolygonList())
        for (LDataNode* n = polygons->GetHead(); n; n = n->next) ProjectAndSubmit(static_cast<LPolygon*>(n->value), camera);
}

L3DObject* L3DWorld::FindNearestHit(L3DCamera* camera, const float* point, uint32_t flags) {
    m_hitWalkCount = 0;
    if (!camera || !camera->GetRenderTarget()) return nullptr;
    L3DObject* result = nullptr;
    const float best = 999999.0f;
    const uint32_t order[] = {kHitCluster, kHitLights, kHitZones, kHitCameras, kHitBlobs, kHitSounds};
    for (uint32_t bit : order) {
        if (!(flags & bit)) continue;
        m_hitWalk[m_hitWalkCount++] = bit;
        switch (bit) {
        case kHitCluster: m_cluster->FindNearestInCluster(camera, point, &best, &result); break;
        case kHitLights: m_lights.HitTestLights(camera, point, &best, &result); break;
        case kHitZones: m_zones.HitTestZones(camera, point, &best, &result); break;
        case kHitCameras: m_cameras.HitTestCameras(camera, point, &best, &result); break;
        case kHitBlobs: m_blobs.HitTestBlobs(camera, point, &best, &result); break;
        default: m_sounds.HitTestSounds(camera, point, &best, &result); break;
        }
    }
    return result;
}

// ---- lighting ----------------------------------------------------------------------

void L3DWorld::RequestRelight() {
    for (LDataNode* n = m_cluster->GetObjectList().GetHead(); n; n = n->next)
        static_cast<L3DObject*>(n->value)->SetFlagBit2();
    m_cluster->NotifyOctreeMoved();
    m_cameras.RefreshCameras(1);
}

void L3DWorld::LightBase(L3DObject* object) {
    m_ambient->LightVertices(object, object->GetFixedLights(), object->GetFixedLightCount());
    LightMovable(object);
}

void L3DWorld::LightMovable(L3DObject* object) {
    m_ambient->ApplyMovableLights(object, object->GetMovableLights(), object->GetMovableLightCount(), 1);
}

void L3DWorld::PrepareLights(L3DObject* object, LCameraView* camera) {
    for (int32_t k = 0; k < 2; ++k) {
        L3DLight* const* lights = k == 0 ? object->GetFixedLights() : object->GetMovableLights();
        const int32_t count = k == 0 ? object->GetFixedLightCount() : object->GetMovableLightCount();
        for (int32_t i = 0; i < count; ++i) {
            lights[i]->UpdateFrame(camera);
            lights[i]->PrepareDraw(camera);
        }
    }
}

void L3DWorld::DrawLight(L3DLight* light, LCameraView* camera) {
    if (light && m_drawingSwitch == 1) light->Render(camera);
}

// ---- background ----------------------------------------------------------------

void L3DWorld::DestroyBackground() {
    if (m_background) DeleteSprite(m_background);
    m_background = nullptr;
    m_backgroundMaterial = nullptr;
}

int32_t L3DWorld::SetBackground(LMaterial* material) {
    LTexture* texture = material ? material->GetTexture(0) : nullptr;
    if (!texture) {
        DestroyBackground();
        return 2;
    }
    if (!m_materials.FindNode(material)) m_materials.AddMaterial(material);
    if (!m_background && !(m_background = CreateSprite())) return 3;
    m_backgroundMaterial = material;
    m_background->SetTexture(texture);
    m_background->SetFlags(LSprite::kTextured);
    m_background->SetScale(1.0f, 1.0f);
    return 0;
}

int32_t L3DWorld::SetBackgroundScale(float screenX, float screenY, float textureX, float textureY) {
    // Negative screen scales become 1.0; texture scales that are not
    // positive too, since the frame divides by them.
    if (screenX < 0.0f) screenX = 1.0f;
    if (screenY < 0.0f) screenY = 1.0f;
    if (!(textureX > 0.0f)) textureX = 1.0f;
    if (!(textureY > 0.0f)) textureY = 1.0f;
    if (!m_background && !(m_background = CreateSprite())) return 3;
    m_background->SetScale(textureX, textureY);
    const int32_t origin[2] = {0, 0};
    const int32_t size[2] = {int32_t(screenX * 640.0f), int32_t(screenY * 480.0f)};
    m_background->SetExtent(origin, size);
    m_backgroundScale[0] = screenX;
    m_backgroundScale[1] = screenY;
    return 0;
}

void L3DWorld::RefreshBackground() {
    if (!m_background || !m_backgroundMaterial) return;
    m_background->SetTexture(nullptr);
    m_background->SetTexture(m_backgroundMaterial->GetTexture(0));
    m_background->SetFlags(LSprite::kTextured);
}

void L3DWorld::DrawBackgroundFor(L3DCamera* camera) {
    LTexture* texture = m_background->GetTexture();
    if (!texture) return;
    const float w = float(texture->GetWidth()), h = float(texture->GetHeight());
    const float sx = m_background->GetScaleX(), sy = m_background->GetScaleY();
    const float* angles = camera->GetAngles();
    const float right = float(camera->GetPixelWidth()) * m_backgroundScale[0];
    const float bottom = float(camera->GetPixelHeight()) * m_backgroundScale[1];
    const float u0 = angles[1] / sx * w * 0.15915494f;
    const float v0 = (1.0f - angles[0] / sy) * h * 0.15915494f;
    const float c = std::cos(angles[2]), s = std::sin(angles[2]);
    const float* corners = m_background->GetCorners();
    for (int32_t i = 0; i < 4; ++i) {
        float x = corners[4 * i], y = corners[4 * i + 1];
        float u, v;
        if (x != 0.0f) {
            x = right;
            u = (u0 + w) * sx;
        } else {
            u = u0 * sx;
        }
        if (y != 0.0f) {
            y = bottom;
            v = (v0 + h) * sy;
        } else {
            v = v0 * sy;
        }
        const float du = u - w * 0.5f, dv = v - h * 0.5f;
        m_background->SetCorner(i, x, y, c * du - s * dv + w * 0.5f, s * du + c * dv + h * 0.5f);
    }
    if (LRenderTargetLink* target = camera->GetRenderTarget()) target->DrawBackground(camera, m_background);
}

// ---- saving ----------------------------------------------------------------------

int32_t L3DWorld::SaveWorld(LChunkStream& out, uint32_t saveFlags) {
    const int32_t start = out.BeginChunk(ChunkTag("WORL"));
    out.WriteU16(uint32_t(m_doubleSided));
    out.WriteU16(uint32_t(m_autoDelete));
    out.WriteU16(uint32_t(m_objectCount));
    out.WriteU32(m_worldFlags);
    out.WriteU16(uint32_t(m_cameras.CountSavable()));
    SaveBackground(out, saveFlags);
    const int32_t user = out.BeginChunk(ChunkTag("OUSE"));
    out.WriteU32(m_userData);
    out.EndChunk(user);
    return out.EndChunk(start);
}

void L3DWorld::SaveBackground(LChunkStream& out, uint32_t saveFlags) {
    const int32_t start = out.BeginChunk(ChunkTag("BKGD"));
    LTexture* texture = m_background ? m_background->GetTexture() : nullptr;
    if (m_background) {
        const char* file = texture ? texture->GetFileNameText() : "";
        const char* name = texture ? texture->GetNameText() : "";
        char bare[LTextureList::kPathSize];
        bool copy = true;
        if (!*file) {
            CopyBounded(bare, sizeof bare, name);
        } else if (!std::strchr(file, '\\') && !std::strchr(file, '/')) {
            CopyBounded(bare, sizeof bare, file);
            copy = false;
        } else {
            SplitPathAtLastSeparator(file, bare, sizeof bare);
        }
        if (copy && (saveFlags & kSaveCopiesFiles) && texture) CopyTextureFile(texture, bare);
        out.WriteString(bare);
        out.WriteString(name);
        out.WriteF32(m_background->GetScaleX());
        out.WriteF32(m_background->GetScaleY());
        out.WriteF32(m_backgroundScale[0]);
        out.WriteF32(m_backgroundScale[1]);
        const int32_t material = out.BeginChunk(ChunkTag("BKMT"));
        out.WriteString(name);
        out.WriteString(m_backgroundMaterial ? m_backgroundMaterial->GetNameText() : "NoMaterial");
        out.EndChunk(material);
    }
    out.EndChunk(start);
}

void L3DWorld::SaveCameras(LChunkStream& out, uint32_t saveFlags) {
    for (LDataNode* n = m_cameras.GetHead(); n; n = n->next) static_cast<L3DCamera*>(n->value)->SaveObject(out, saveFlags);
}
