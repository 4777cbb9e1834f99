#pragma once
// L3DWorld, skeleton: the fields the geometry, material, texture and sprite
// code reads. Issue 07 completes the world (element lists, frames, saving).
// Vertices, polygons, textures and sprites are created through the render
// target's driver (engine3d/render_link.h).
//
// Construction adds the two default materials, "$Ruk3D Mat$ Default
// Material" (colour 0xFF0000) and "$Ruk3D Mat$ Default Shadow Material"
// (colour 0), to the material list; the list never destroys them.
#include "engine3d/data_link.h"
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

class L3DWorld {
public:
    // Copies a texture file when a scene is saved with its files: (texture,
    // texture name, destination, fail-if-exists, source); non-zero on success.
    using FileCopyCallback = int32_t (*)(LTexture* texture, const char* name, const char* destination,
                                         int32_t failIfExists, const char* source);

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
    // (InitFlags). The clone walk and the cluster steps come with issue 07.
    int32_t AddObject(L3DObject* object);
    int32_t RemoveObject(L3DObject* object);
    int32_t RemoveObjectAt(int32_t position);
    LDataLink& GetObjects() { return m_objects; }
    int32_t GetAutoDelete() const { return m_autoDelete; }
    void SetAutoDelete(int32_t on) { m_autoDelete = on; }

    // 1 (the default): added objects are shown. While 0, Show does nothing
    // on a plain object.
    int32_t GetShowOnAdd() const { return m_showOnAdd; }
    void SetShowOnAdd(int32_t on) { m_showOnAdd = on; }

    // Stand-ins of the parts that later issues build; each names its issue.
    //
    // Base cluster (issue 07): shading and scale requests of the objects
    // with flag 0x1000 (counted, nothing else), the hand-over of MakeStatic
    // (the world keeps the object and destroys it with itself), the cluster
    // update and CollideWorld's candidate query (no candidates).
    enum : int32_t { kClusterGouraud = 1, kClusterLambert = 2, kClusterScale = 3 };
    void ClusterRequest(L3DObject* /*object*/, int32_t /*request*/, const float* /*values*/) { ++m_clusterRequests; }
    int32_t GetClusterRequestCount() const { return m_clusterRequests; }
    void ClusterTakeObject(L3DObject* object);
    LDataLink& GetClusterObjects() { return m_clusterObjects; }
    void UpdateClusters() {}
    int32_t QueryClusterCandidates(const float* /*boxMin*/, const float* /*boxMax*/, L3DObject** /*out*/,
                                   int32_t /*max*/) {
        return 0;
    }
    // Cameras (issue 07): the camera list's refresh after shading changes.
    void RefreshCameras() {}
    // Lighting (issue 11): the base and movable-light stages of an object,
    // the relighting of Gouraud and Lambert objects when drawn, the frame
    // work of the lights an object lists, and the drawing of a light's
    // marker while the drawing switch is 1. They do nothing until then.
    void LightBase(L3DObject* /*object*/) {}
    void LightMovable(L3DObject* /*object*/) {}
    void RelightObject(L3DObject* /*object*/) {}
    void PrepareLights(L3DObject* /*object*/, LCameraView* /*camera*/) {}
    void DrawLight(L3DLight* /*light*/, LCameraView* /*camera*/) {}
    int32_t GetDrawingSwitch() const { return m_drawingSwitch; }
    void SetDrawingSwitch(int32_t on) { m_drawingSwitch = on; }
    // Ground (issue 11, the world's ground object): the height of a point
    // above the ground, kNoGround without one. Tests set a level plane.
    static constexpr float kNoGround = 1e8f;
    float HeightAboveGround(const float* point) const {
        return m_hasGround ? point[1] - m_groundY : kNoGround;
    }
    void SetGroundPlane(float y) { m_hasGround = 1, m_groundY = y; }

    LBaseMaterial& GetMaterialList() { return m_materials; }
    LTextureList& GetTextureList() { return m_textures; }
    LBaseSprite& GetSpriteList() { return m_sprites; }
    LDataLink& GetMirrorMaterials() { return m_mirrorMaterials; }
    LMaterial* GetDefaultMaterial() const { return m_defaultMaterial; }
    LMaterial* GetDefaultShadowMaterial() const { return m_defaultShadowMaterial; }

    // Bits per pixel of the world's textures (16 at creation).
    int32_t GetColourDepth() const { return m_colourDepth; }
    void SetColourDepth(int32_t depth) { m_requestedColourDepth = m_colourDepth = depth; }
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
    LRenderTargetLink* m_renderTarget;
    LDataLink m_objects;
    int32_t m_autoDelete = 1;
    int32_t m_showOnAdd = 1;
    int32_t m_clusterRequests = 0;
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
};
