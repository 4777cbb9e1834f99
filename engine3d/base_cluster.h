#pragma once
// LBase3DCluster ("Base_Cluster"): every world's grouping of its top-level
// objects (the object list, clones at the head) and its static meshes (the
// mesh list, which the octree is built from). It runs the per-frame object
// pass: render-to-texture cameras and mirrors, preparation, collisions
// among the collision-flag objects and with an extra list, drawing and true
// shadows. The lists never own their objects.
//
// BuildOctree moves every mesh of the mesh list into a new octree root
// (engine3d/octree.h) over their joint box; the emptied meshes stay the
// world's. The root is drawn first in each frame and answers the node
// queries (CollectOctreeNodes).
//
// Saved form: chunk "BCLU": u16 meshes saved, u16 objects saved, u32 the
// cluster object's flag word, then the saved meshes and objects.
#include "engine3d/camera.h"
#include "engine3d/data_link.h"
#include "engine3d/object.h"

#include <cstdint>

class LChunkStream;
class LMaterial;
class L3DOctreeNode;

class LBase3DCluster : public L3DObject {
public:
    enum : uint32_t { kSaveMeshes = 8, kSaveObjects = 16 };
    enum : uint32_t { kMaterialCameraTexture = 0x100000, kMaterialMirror = 0x80000 };
    enum : int32_t { kMaxTextureCameras = 16 };

    LBase3DCluster();
    ~LBase3DCluster() override;

    // The cluster's location and lists belong to this world.
    void SetClusterWorld(L3DWorld* world);

    void ClearCluster();
    // 0, or 1 (refused) for an object without polygons.
    int32_t AddMeshObject(L3DObject* object);
    int32_t RemoveMeshObject(L3DObject* object);
    // Clones (kinds 32778, 33802) go to the head, others last.
    void AddClusterObject(L3DObject* object);
    int32_t RemoveClusterObject(L3DObject* object);
    LDataLink& GetObjectList() { return m_objects; }
    LDataLink& GetMeshList() { return m_meshes; }
    L3DOctreeNode* GetOctreeRoot() const { return m_root; }
    L3DCamera& GetShadowCamera() { return m_shadowCamera; }

    void BuildOctree();
    // The octree nodes with polygons whose boxes meet [low, high], at most
    // `capacity`; their count (0 without an octree).
    int32_t CollectOctreeNodes(L3DObject** out, int32_t capacity, const float* low, const float* high);
    // The octree's location changed (its lighting is redone).
    void NotifyOctreeMoved();
    // The frame's object pass for `camera`; `extra` lists further collision
    // partners (may be null).
    void DrawObjects(L3DCamera* camera, LDataLink* extra);
    // Refreshes the render-to-texture cameras of the mirror materials (at
    // most 16): 1 when at least one was refreshed.
    int32_t RefreshTextureCameras(L3DCamera* camera);
    // Draws the reflections of the mirror materials; the number rendered.
    int32_t RenderMirrors(L3DCamera* camera);
    // The reflection of the scene in one mirror material (nothing without
    // polygons).
    void RenderMirror(L3DCamera* camera, LRenderTargetLink* target, LMaterial* mirror);

    void SetShowClusters(int32_t on);
    void ScaleMeshes(float factor);
    int32_t SetFlag10InCluster(L3DObject* object, int32_t on, L3DObject* other);
    int32_t SetFlag20InCluster(L3DObject* object, int32_t on, L3DObject* other);
    int32_t SaveClusters(LChunkStream& out, L3DObject* only, uint32_t saveFlags);
    void FindNearestInCluster(L3DCamera* camera, const float* point, const float* radius, L3DObject** out);

    // The engine's shadow word: the mirror material of the pass under way
    // (null outside one).
    static LMaterial* shadowWord;

private:
    static bool IsClone(const L3DObject* object);
    // Widens [low, high] by a mesh's world extent.
    static void MeshExtent(L3DObject* mesh, float* low, float* high);
    void CollideWithList(L3DObject* object, LDataLink& list, L3DCamera* camera);

    L3DCamera m_shadowCamera;
    LDataLink m_objects;
    LDataLink m_meshes;
    int32_t m_words[4] = {0, 0, 0, 0};
    int32_t m_extraWord = 0;
    L3DOctreeNode* m_root = nullptr;
};
