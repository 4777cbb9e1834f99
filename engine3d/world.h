#pragma once
// L3DWorld: the root of one 3D scene. It owns the top-level objects, the
// element lists (sprites, sounds, lights, materials, textures, blobs, zones,
// cameras), the base cluster, the two default materials, the background
// sprite and the axis marker. Vertices, polygons, textures and sprites are
// created through the render target's driver (engine3d/render_link.h); a
// camera draws the world one frame at a time through DrawFrame.
//
// Construction adds the two default materials, "$Ruk3D Mat$ Default
// Material" (colour 0xFF0000) and "$Ruk3D Mat$ Default Shadow Material"
// (colour 0), to the material list; the list never destroys them. Then the
// axis marker "Axis_Obj" is built (22 vertices, 14 polygons; drawn over the
// frame while world flag 0x800000 is set). Clear restores that state.
//
// Saved form: chunk "WORL": u16 double-sided, u16 auto-delete, u16 object
// count, u32 world flags, u16 savable cameras; chunk "BKGD" (empty without a
// background sprite; else the stored file name, the texture name, f32
// texture scale x, y, f32 screen scale x, y, and chunk "BKMT" with the
// texture name and the material's name or "NoMaterial"); chunk "OUSE" with
// the u32 user data.
#include "engine3d/base_cluster.h"
#include "engine3d/camera.h"
#include "engine3d/data_link.h"
#include "engine3d/lights.h"
#include "engine3d/blobs.h"
#include "engine3d/sound_objects.h"
#include "engine3d/zones.h"
#include "engine3d/image_source.h"
#include "engine3d/material.h"
#include "engine3d/sprite.h"
#include "engine3d/texture_list.h"

#include <cstdint>

class L3DObject;
class L3DLight;
class L3DPoint;
class LPolygon;
class LPolygonOwner;
class LCameraView;
class LRenderTargetLink;
class CSharedPalette;

// The script object owning a world, as the world sees it: a reference taken
// and given back.
class LWorldOwner {
public:
    virtual ~LWorldOwner() = default;
    virtual void TakeReference() = 0;
    virtual void ReleaseReference() = 0;
};

class L3DWorld {
public:
    // Copies a texture file when a scene is saved with its files: (texture,
    // texture name, destination, fail-if-exists, source); non-zero on success.
    using FileCopyCallback = int32_t (*)(LTexture* texture, const char* name, const char* destination,
                                         int32_t failIfExists, const char* source);

    enum : uint32_t { kShowClusters = 0x4000, kShowAxis = 0x800000 };
    // FindNearestHit's list bits, visited in this order.
    enum : uint32_t { kHitCluster = 2, kHitLights = 64, kHitZones = 16, kHitCameras = 4, kHitBlobs = 8, kHitSounds = 32 };
    enum : uint32_t { kSaveCopiesFiles = 0x200 };
    static constexpr int32_t kAxisVertexCount = 22;
    static constexpr int32_t kAxisPolygonCount = 14;

    explicit L3DWorld(LRenderTargetLink* renderTarget = nullptr, FileCopyCallback copy = nullptr);
    L3DWorld(const L3DWorld&) = delete;
    L3DWorld& operator=(const L3DWorld&) = delete;
    virtual ~L3DWorld();

    LRenderTargetLink* GetRenderTarget() const { return m_renderTarget; }
    void SetRenderTarget(LRenderTargetLink* target) { m_renderTarget = target; }
    // 1: polygons are drawn whatever their facing.
    int32_t GetDoubleSided() const { return m_doubleSided; }
    void SetDoubleSided(int32_t on) { m_doubleSided = on; }
    // The camera of the frame being drawn (its view record), or null.
    LCameraView* GetCurrentCamera() const { return m_currentCamera; }
    void SetCurrentCamera(LCameraView* camera) { m_currentCamera = camera; }

    // Through the render target's driver; null (or nothing) without one.
    L3DPoint* CreatePoint(float x, float y, float z, float u, float v);
    void DeletePoint(L3DPoint* point);
    LPolygon* CreatePolygon(LPolygonOwner* owner, int32_t reserved, void* callback);
    void DeletePolygon(LPolygon* polygon);
    LTexture* CreateTexture(const char* name, LCLBKObject* callback);
    void DeleteTexture(LTexture* texture);
    LSprite* CreateSprite();
    void DeleteSprite(LSprite* sprite);

    // The top-level objects. AddObject appends (clone kinds go to the head),
    // raises the node's reference count, gives the object's polygons without
    // material the default material; 0 for a hidden object, else 1.
    // RemoveObject: 1 when absent; else the node is removed and, with
    // auto-delete on (the default), the object destroyed; 0. RemoveObjectAt
    // -1 removes every object. AddObject initialises the object's flags
    // (InitFlags) and hands the object to the base cluster; with `refresh`
    // its vertex normals are computed.
    int32_t AddObject(L3DObject* object, int32_t refresh = 0);
    // RemoveObject first removes (the same way) every top-level clone of the
    // object; the object count falls once per removed object.
    int32_t RemoveObject(L3DObject* object);
    int32_t RemoveObjectAt(int32_t position);
    LDataLink& GetObjects() { return m_objects; }
    int32_t GetObjectCount() const { return m_objectCount; }
    L3DObject* GetObject(int32_t position);
    int32_t IndexOfObject(L3DObject* object) const { return m_objects.IndexOf(object); }
    // The first top-level object of that name (case-insensitive), searching
    // each differently named object's descendants before moving on.
    L3DObject* FindObject(const char* name);
    // Hide (argument 0) and Show by position, -1 for every object: 1 when no
    // object is there, else 0.
    int32_t HideObject(int32_t position);
    int32_t ShowObject(int32_t position);
    // Names "Object %d" (counting from 1) every top-level object whose name
    // begins with "Object" or "NoName".
    void NameUnnamedObjects();
    int32_t CountPolygons();
    // Empties the world back to its constructed state; 0.
    int32_t Clear();

    // Per-object switches by position, -1 for every object: 1 when no object
    // is there, else 0 (engine3d/world_object_switches.cpp).
    int32_t ScaleObjects(float x, float y, float z, int32_t position);
    int32_t SetWireFrame(int32_t on, int32_t position);
    int32_t SetFlat(int32_t on, int32_t position);
    int32_t SetMapped(int32_t on, int32_t position);
    int32_t SetGouraud(int32_t on, int32_t position);
    int32_t SetLambert(int32_t on, int32_t position);
    // The object's box display (ShowBox with recursion 0); showing refreshes
    // the cameras.
    int32_t SetObjectVisible(int32_t on, int32_t position);
    int32_t SetCollision(int32_t on, int32_t position);
    int32_t SetObjectFlag23(int32_t on, int32_t position);
    // From `from` itself onward, the first top-level object of that name
    // (case-insensitive); 0 when `from` is not a top-level object here.
    L3DObject* FindNextObject(L3DObject* from, const char* name);
    // An object that becomes top-level again: appended without the clone
    // rule and without the visibility step.
    void AttachObject(L3DObject* object);
    void SetCamerasVisible(int32_t on);
    // Refreshes every camera, then double-sided = not `on`.
    void SetBackFaceCulling(int32_t on);
    void RefreshMaterials();
    // Drops the material's caches from the base cluster's own object, its
    // octree and its static meshes, through their children.
    void ApplyMaterialCaches(LMaterial* material);
    // The depth the render target's textures support for the effective
    // depth (asked of a texture "temp" made and destroyed for it); stored.
    int32_t ResolveColourDepth();
    // The script object that owns the world: a reference is held on it
    // until it is replaced or the world is destroyed.
    void SetScriptOwner(LWorldOwner* owner);
    LWorldOwner* GetScriptOwner() const { return m_scriptOwner; }

    // Cameras and the frame.
    L3DCamera* CreateCamera(LCLBKObject* callback);
    LBaseCamera& GetCameraList() { return m_cameras; }
    LBase3DCluster& GetBaseCluster() { return *m_cluster; }
    LBaseLight& GetLightList() { return m_lights; }
    L3DSoundList& GetSoundList() { return m_sounds; }
    LBase3DZone& GetZoneList() { return m_zones; }
    LBase3DBlob& GetBlobList() { return m_blobs; }
    L3DObject* GetAxisMarker() const { return m_axis; }
    uint32_t GetWorldFlags() const { return m_worldFlags; }
    void SetAxisVisible(int32_t on) { m_worldFlags = on ? (m_worldFlags | kShowAxis) : (m_worldFlags & ~kShowAxis); }
    int32_t SetShowClusters(int32_t on);
    uint32_t GetUserData() const { return m_userData; }
    void SetUserData(uint32_t data) { m_userData = data; }
    // One frame of the world seen by the camera (called by RenderWith).
    void DrawFrame(L3DCamera* camera);
    // 0 without a render target on the camera, else the nearest element
    // found by the lists chosen in `flags`.
    L3DObject* FindNearestHit(L3DCamera* camera, const float* point, uint32_t flags);
    // The lists FindNearestHit visited, in order (kHit bits), for the tests.
    const uint32_t* GetLastHitWalk(int32_t* count) const {
        *count = m_hitWalkCount;
        return m_hitWalk;
    }

    // Background.
    int32_t SetBackground(LMaterial* material);
    int32_t SetBackgroundScale(float screenX, float screenY, float textureX, float textureY);
    void RefreshBackground();
    LSprite* GetBackgroundSprite() const { return m_background; }
    LMaterial* GetBackgroundMaterial() const { return m_backgroundMaterial; }
    float GetBackgroundScaleX() const { return m_backgroundScale[0]; }
    float GetBackgroundScaleY() const { return m_backgroundScale[1]; }

    // Saving.
    int32_t SaveWorld(LChunkStream& out, uint32_t saveFlags);
    void SaveCameras(LChunkStream& out, uint32_t saveFlags);
    int32_t GetAutoDelete() const { return m_autoDelete; }
    void SetAutoDelete(int32_t on) { m_autoDelete = on; }

    // 1 (the default): added objects are shown. While 0, Show does nothing
    // on a plain object.
    int32_t GetShowOnAdd() const { return m_showOnAdd; }
    void SetShowOnAdd(int32_t on) { m_showOnAdd = on; }

    // Stand-ins of the parts that later issues build; each names its issue.
    //
    // Static geometry: MakeStatic's hand-over puts the object in the base
    // cluster's mesh list; the world keeps it (and destroys it in Clear)
    // while the octree that the cluster update builds takes its polygons.
    // CollideWorld's candidates are the octree nodes that meet its box.
    // Still counted only: the shading and scale requests of the objects
    // with flag 0x1000 (the cluster's forms of those operations call the
    // object's own, which would hand the request back here).
    enum : int32_t { kClusterGouraud = 1, kClusterLambert = 2, kClusterScale = 3 };
    void ClusterRequest(L3DObject* /*object*/, int32_t /*request*/, const float* /*values*/) { ++m_clusterRequests; }
    int32_t GetClusterRequestCount() const { return m_clusterRequests; }
    void ClusterTakeObject(L3DObject* object);
    LDataLink& GetClusterObjects() { return m_clusterObjects; }
    void UpdateClusters() { m_cluster->BuildOctree(); }
    int32_t QueryClusterCandidates(const float* boxMin, const float* boxMax, L3DObject** out, int32_t max) {
        return m_cluster->CollectOctreeNodes(out, max, boxMin, boxMax);
    }
    // Every camera redraws (the camera list's refresh).
    void RefreshCameras() { m_cameras.RefreshCameras(1); }
    void RelightAll() { m_lights.RelightAll(); }
    // The ambient light changed: every object redoes its base colours.
    void RequestRelight();
    L3DLightAmbiant& GetAmbientLight() { return *m_ambient; }
    // Lighting of one object (engine3d/lights.h): the base stage (ambient
    // light and the object's fixed lights) with the movable stage, the
    // movable stage alone, both with every light of the world (Gouraud and
    // Lambert objects when drawn), the frame work of the lights an object
    // lists, and the drawing of a light's marker.
    void LightBase(L3DObject* object);
    void LightMovable(L3DObject* object);
    void RelightObject(L3DObject* object) { m_ambient->LightObject(object); }
    void PrepareLights(L3DObject* object, LCameraView* camera);
    void DrawLight(L3DLight* light, LCameraView* camera);
    int32_t GetDrawingSwitch() const { return m_drawingSwitch; }
    void SetDrawingSwitch(int32_t on) { m_drawingSwitch = on; }
    // Ground (issue 11, the world's ground object): the height of a point
    // above the ground, kNoGround without one. Tests set a level plane.
    static constexpr float kNoGround = 1e8f;
    float HeightAboveGround(const float* point) const {
        return m_hasGround ? point[1] - m_groundY : kNoGround;
    }
    void SetGroundPlane(float y) { m_hasGround = 1, m_groundY = y; }

    // Name counters of the primitive builders (engine3d/primitive_builders.h):
    // one per kind, 0 at construction; a builder takes the number and moves
    // the counter only once it has built its object.
    enum : int32_t { kPrimitiveBrick, kPrimitiveSphere, kPrimitivePyramid, kPrimitivePlane, kPrimitiveKinds };
    int32_t GetPrimitiveCounter(int32_t kind) const { return m_primitiveCounters[kind]; }
    void AdvancePrimitiveCounter(int32_t kind) { ++m_primitiveCounters[kind]; }

    LBaseMaterial& GetMaterialList() { return m_materials; }
    LTextureList& GetTextureList() { return m_textures; }
    LBaseSprite& GetSpriteList() { return m_sprites; }
    LDataLink& GetMirrorMaterials() { return m_mirrorMaterials; }
    LMaterial* GetDefaultMaterial() const { return m_defaultMaterial; }
    LMaterial* GetDefaultShadowMaterial() const { return m_defaultShadowMaterial; }

    // Bits per pixel of the world's textures (16 at creation).
    int32_t GetColourDepth() const { return m_colourDepth; }
    // A new depth refreshes the materials; the current one changes nothing.
    void SetColourDepth(int32_t depth);
    int32_t GetMaterialRefreshCount() const { return m_materialRefreshes; }
    // The script owner's palette: 8-bit worlds map colours through it (not
    // owned; the script owner holds it).
    CSharedPalette* GetPalette() const { return m_palette; }
    void SetPalette(CSharedPalette* palette) { m_palette = palette; }

    // The image file, made on first use by the installed factory; null when
    // there is none. The default factory is NewImageFileSource (the image
    // file layer, engine3d/image_file_source.h); null installs none.
    LImageSource* GetImageFile();
    static void SetImageSourceFactory(LImageSourceFactory factory);
    static LImageSourceFactory GetImageSourceFactory();

    // The user image loader of the texture list (and its argument).
    void SetUserLoadCallback(LTextureList::UserLoadCallback callback, void* argument) {
        m_textures.SetUserLoadCallback(callback, argument);
    }
    // The file-copy callback when set, else the platform's copy.
    int32_t CopyFile(LTexture* texture, const char* source, const char* destination, int32_t failIfExists,
                     const char* name);
    // Copies a texture's file beside the scene: "%s%c%s" of the current
    // directory, '\\' and the bare name, never over an existing file.
    int32_t CopyTextureFile(const LTexture* texture, const char* bareName);
    void SetFileSearch(LFileSearch* search) {
        m_fileSearch = search;
        m_textures.SetFileSearch(search);
    }

private:
    void BuildAxisMarker();
    void DrawBackgroundFor(L3DCamera* camera);
    void DrawThroughCamera(L3DCamera* camera);
    void DrawAxisMarker(L3DCamera* camera);
    void SaveBackground(LChunkStream& out, uint32_t saveFlags);
    void GivePolygonsDefaultMaterial(L3DObject* object);
    // Appends a top-level object (clones at the head when `clonesFirst`) and
    // hands it to the base cluster; false when the list cannot take it.
    bool LinkTopLevel(L3DObject* object, bool clonesFirst, int32_t refresh);
    void DestroyBackground();
    void ReleaseGlobalTriangle();

    LRenderTargetLink* m_renderTarget;
    LDataLink m_objects;
    int32_t m_objectCount = 0;
    uint32_t m_worldFlags = 0;
    uint32_t m_userData = 0;
    int32_t m_materialRefreshes = 0;
    LSprite* m_background = nullptr;
    LMaterial* m_backgroundMaterial = nullptr;
    float m_backgroundScale[2] = {1.0f, 1.0f};
    L3DObject* m_axis = nullptr;
    uint32_t m_hitWalk[6] = {};
    int32_t m_hitWalkCount = 0;
    L3DSoundList m_sounds;
    LBaseLight m_lights;
    L3DLightAmbiant* m_ambient = nullptr;
    LBase3DBlob m_blobs;
    LBase3DZone m_zones;
    LBase3DCluster* m_cluster;
    LBaseCamera m_cameras;
    int32_t m_autoDelete = 1;
    int32_t m_showOnAdd = 1;
    int32_t m_clusterRequests = 0;
    int32_t m_primitiveCounters[kPrimitiveKinds] = {0, 0, 0, 0};
    LDataLink m_clusterObjects;
    int32_t m_drawingSwitch = 0;
    int32_t m_hasGround = 0;
    float m_groundY = 0.0f;
    FileCopyCallback m_copy;
    int32_t m_doubleSided = 0;
    LCameraView* m_currentCamera = nullptr;
    LBaseSprite m_sprites;
    LBaseMaterial m_materials;
    LTextureList m_textures;
    LDataLink m_mirrorMaterials;
    LMaterial* m_defaultMaterial;
    LMaterial* m_defaultShadowMaterial;
    int32_t m_requestedColourDepth = 16;
    int32_t m_colourDepth = 16;
    CSharedPalette* m_palette = nullptr;
    LImageSource* m_imageFile = nullptr;
    LFileSearch* m_fileSearch = nullptr;
    LWorldOwner* m_scriptOwner = nullptr;
};
