#pragma once
// L3DObject: the general object of a world: mesh frames (LMultiBasePoly),
// a placed frame (the LPolygonOwner location, whose object flag word is the
// object's flags), the callback owner (LManageCLBKObject), a name, a parent
// and children, a bounding box object, up to eight fixed and eight movable
// lights, keyframe tracks, a textured shadow and the move and collision
// callbacks. Cameras, lights, clones and the rest derive from it and change
// the kind and some of the virtual operations.
//
// Ownership: a child whose kind has bit 0x2 is destroyed with its parent;
// any other child is only let go (its parent link cleared). The box and the
// shadow quad are owned. A clone never outlives its source: the source lists
// its clones (wherever they hang: top level or under any parent) and
// destroys them with itself.
//
// The operations live in object.cpp (construction, links, names, clones'
// bookkeeping), object_ops.cpp (switches, frame pipeline, geometry, saving),
// object_collide.cpp (spheres, collision, picking) and object_shadow.cpp.
//
// Still to come: the cluster, camera and lighting calls of the world (see
// engine3d/world.h).
#include "engine3d/manage_clbk.h"
#include "engine3d/mesh_bases.h"
#include "engine3d/polygon.h"

#include <cstdint>

class L3DLight;
class LKeySet;
class LCameraView;
class LChunkStream;
class LMaterial;
class LTexture;
class L3DObject;
class L3DObjectClone;

// Called once a frame with (object, move context): 1 when it moved the object.
using LMoveCallback = int32_t (*)(L3DObject* object, uint32_t context);
// Called on contact with (mode, object, other object or null, polygon or
// null, contact point or null, collision context): 0 cancels the response,
// 4 asks for sliding, anything else stops the object at the contact.
using LCollisionCallback = int32_t (*)(int32_t mode, L3DObject* object, L3DObject* other, LPolygon* polygon,
                                       const float* contact, uint32_t context);

// "Object %d" with the world's object count: the name of made copies.
void MakeObjectName(L3DWorld* world, char (&name)[32]);

// What ShadowIntensity tells about the ground under an object.
struct LShadowRecord {
    float height;
    float normal[3];
};

class L3DObject : public LMultiBasePoly, public LPolygonOwner, public LManageCLBKObject {
public:
    enum : uint32_t {
        kKindObject = 10,
        kKindDummy = 0x10002,
        kKindOwnedBit = 0x2,
        kKindAnimated = 1026,
        kKindCamera = 2052,
        kKindClone = 32778,
        kKindAnimationClone = 33802,
    };
    enum : uint32_t {
        kFlagGouraud = 0x10,
        kFlagLambert = 0x20,
        kFlagHidden = 0x200,
        kFlagBoxShown = 0x400,
        kFlagUnshaded = 0x800,
        kFlagCluster = 0x1000,
        kFlagMovable = 0x2000,
        kFlagHasBox = 0x10000,
        kFlagCollision = 0x20000,
        kFlagAlwaysActive = 0x80000,
        kFlagShadow = 0x400000,
        kFlagBit23 = 0x800000,
        kFlagSavable = 0x2000000,
        kFlagTrueShadow = 0x4000000,
        kInitialFlags = 0x2002800,
    };
    enum : int32_t { kMaxLights = 8, kDefaultShadowOpacity = 128, kBadPolygon = 5 };
    enum : uint8_t { kDrawProjected = 2, kDrawPreparing = 4 };
    static constexpr char kDummyPrefix[] = "$$$DUMMY";
    static constexpr char kBoxName[] = "Global_Box";

    L3DObject(const char* name, L3DWorld* world, LCLBKObject* callback);
    ~L3DObject() override;

    // The object's own virtual operations, in table order (the 14 before
    // them are the mesh bases').
    virtual int32_t GetNPolygons(int32_t recursive);                           // 15
    virtual int32_t AddPolygon(LPolygon* polygon, int32_t refresh);            // 16
    virtual int32_t GetNPoints(int32_t recursive);                             // 17
    virtual void SetWireFrame(int32_t on);                                     // 18
    virtual void SetFlat(int32_t on);                                          // 19
    virtual void SetMapped(int32_t on);                                        // 20
    virtual void SetGouraud(int32_t on);                                       // 21
    virtual void SetLambert(int32_t on);                                       // 22
    virtual void ShowBox(int32_t on, int32_t recursive);                       // 23
    virtual void Show();                                                       // 24
    virtual void Hide(int32_t recursive);                                      // 25
    virtual void SetCollision(int32_t on);                                     // 26
    virtual void SetFlagBit23(int32_t on);                                     // 27
    virtual void SetSavable(int32_t on);                                       // 28
    virtual void SetTrueShadow(int32_t on);                                    // 29
    virtual int32_t IsTrueShadow() { return Flag(kFlagTrueShadow); }           // 30
    virtual int32_t IsSavable() { return Flag(kFlagSavable); }                 // 31
    virtual int32_t IsFlagBit23() { return Flag(kFlagBit23); }                 // 32
    virtual int32_t IsCollision() { return Flag(kFlagCollision); }             // 33
    virtual int32_t IsBoxVisible() { return Flag(kFlagBoxShown); }             // 34
    virtual int32_t IsVisible() { return Flag(kFlagHidden) ? 0 : 1; }          // 35
    virtual int32_t IsGouraud() { return Flag(kFlagGouraud); }                 // 36
    virtual int32_t IsLambert() { return Flag(kFlagLambert); }                 // 37
    virtual int32_t IsMovable() { return Flag(kFlagMovable); }                 // 38
    virtual int32_t IsFlat();                                                  // 39
    virtual int32_t IsWireFrame();                                             // 40
    virtual int32_t IsMapped();                                                // 41
    virtual void MakeStatic(int32_t refresh);                                  // 42
    virtual void InitFlags();                                                  // 43
    virtual L3DObject* Clone(const L3DLocation* location);                     // 44
    virtual L3DObject* Duplicate(const L3DLocation* location);                 // 45
    virtual void RefreshBox(int32_t refresh);                                  // 46
    virtual void RebuildCaches();                                              // 47
    virtual void Pick(LCameraView* camera, const float* point, const float* radius, L3DObject** out);  // 48
    virtual void SaveObject(LChunkStream& out, uint32_t saveFlags);            // 49
    virtual void SweepSphere();                                                // 50
    virtual int32_t CollideWorld(LCameraView* camera);                         // 51
    virtual int32_t CollideObject(int32_t n, L3DObject* other);                // 52
    virtual void CommitFrame(LCameraView* camera);                             // 53
    virtual void ProjectPoints(LCameraView* camera);                           // 54
    virtual void Render(LCameraView* camera);                                  // 55
    virtual void UpdateFrame(LCameraView* camera);                             // 56
    virtual void DrawFrame(LCameraView* camera);                               // 57
    virtual void UpdateTransform(LCameraView* camera);                         // 58

    // The location's notifications and switches as an object has them:
    // changes pass to the children; an object is active while movable (or
    // always-active); a child's move moves its root.
    void PositionChanged(int on) override;
    void AnglesChanged(int on) override;
    int IsActive() override;
    int Moved() override;
    void SetFlagBit2() override;
    void SetFlagBit1() override;
    // Plain sines and cosines: an object's negative y scale does not mirror
    // its turn about z.
    void ComputeSinCos() override;

    uint32_t GetKind() const { return m_kind; }
    void SetKind(uint32_t kind) { m_kind = kind; }
    uint32_t GetObjectFlags() const { return objectFlags; }
    int32_t GetBatchMode() const { return m_batchMode; }
    void SetBatchMode(int32_t mode) { m_batchMode = mode; }
    int32_t GetShadowOpacity() const { return m_shadowOpacity; }
    L3DObject* GetBox() const { return m_box; }
    LKeySet* GetKeys() const { return m_keys; }
    int32_t GetCloneCount() const { return m_cloneCount; }
    int32_t IsInView() const { return m_inView; }
    uint8_t GetDrawState() const { return m_drawState; }
    const float* GetSphere() const { return m_sphere; }
    const float* GetViewRotation() const { return m_viewRotation; }
    const LMatrix34& GetLocalTransform() const { return m_local; }
    float GetX() const { return m_position[0]; }
    float GetY() const { return m_position[1]; }
    float GetZ() const { return m_position[2]; }

    // Names: GetName leaves out the dummy prefix and gives "NoName" for an
    // object without a name.
    void GetName(char* buffer, int32_t size) const;
    const char* GetNameText() const { return m_name; }
    void SetName(const char* name);
    // The object itself when its name matches, else the first child whose
    // name (prefix skipped) matches, else null.
    L3DObject* FindChildByName(const char* name);

    // Parent and child links. LinkChild appends a child that has no parent;
    // LeaveParent takes the object out of its parent's list and frees the
    // list when it becomes empty.
    int32_t LinkChild(L3DObject* child);
    void LeaveParent();
    L3DObject* GetParent() const { return m_parent; }
    LDataLink* GetChildren() const { return m_children; }
    L3DObject* GetRoot();
    // Moves the object under `parent` (null: the world's top level). The
    // object's local transform becomes the translation from the parent.
    // Nothing for the current parent, the object itself or one of its
    // descendants (a cycle would never end any walk). With keep = 0 animated
    // objects hand over: an object leaving an animated tree goes under a new
    // animated object "Object" with the old root's "Main" track, and a
    // top-level animated object put under a parent gives it its children
    // and is destroyed.
    void SetParent(L3DObject* parent, int32_t keep);
    bool IsAncestorOf(const L3DObject* other) const;

    // Every clone whose source is this object takes this object's flags,
    // keeping its own bit 0x400 when set there and clear here.
    void SyncCloneFlags();
    // The clones bound to this object.
    LDataLink* GetClones() const { return m_clones; }

    // Light lists: A fixed, B movable. A ninth light is ignored; removing an
    // absent light changes nothing.
    void AddLightA(L3DLight* light) { AddLight(m_fixedLights, m_fixedCount, light); }
    void AddLightB(L3DLight* light) { AddLight(m_movableLights, m_movableCount, light); }
    void RemoveLightA(L3DLight* light) { RemoveLight(m_fixedLights, m_fixedCount, light); }
    void RemoveLightB(L3DLight* light) { RemoveLight(m_movableLights, m_movableCount, light); }
    int32_t GetFixedLightCount() const { return m_fixedCount; }
    L3DLight* const* GetFixedLights() const { return m_fixedLights; }
    L3DLight* const* GetMovableLights() const { return m_movableLights; }
    int32_t GetMovableLightCount() const { return m_movableCount; }
    L3DLight* GetFixedLight(int32_t i) const { return i >= 0 && i < m_fixedCount ? m_fixedLights[i] : nullptr; }
    L3DLight* GetMovableLight(int32_t i) const {
        return i >= 0 && i < m_movableCount ? m_movableLights[i] : nullptr;
    }

    // Frame pipeline steps driven by the world (see object_ops.cpp).
    void FrameStep(LCameraView* camera);
    void PrepareDraw(LCameraView* camera);
    void ComputeViewRotation(const LCameraView* camera);
    // Hands every polygon of the current frame, then each child's, to the
    // polygon's own submission (its draw routine by its visibility class)
    // after the view rotation is brought up to date; the angles are marked
    // changed so the next frame recomputes them.
    void SubmitPolygons(LCameraView* camera);
    float DistanceToCamera(const LCameraView* camera) const;
    void SetAlwaysActive(int32_t on);
    void SetMoveCallback(LMoveCallback callback, uint32_t context) {
        m_moveCallback = callback;
        m_moveContext = context;
    }
    void SetCollisionCallback(LCollisionCallback callback, uint32_t context, int32_t recursive);
    LCollisionCallback GetCollisionCallback() const { return m_collisionCallback; }
    uint32_t GetCollisionContext() const { return m_collisionContext; }

    // Geometry.
    void Scale(float factor);
    void MultiplyScale(float x, float y, float z);
    void ScaleGeometry(float factor);
    void BakeTransform();
    int32_t SetPolygonMaterial(int32_t id, LMaterial* material);
    void ReplaceMaterial(LMaterial* from, LMaterial* to);
    // Each vertex normal (of the whole frame, of one polygon's vertices, or
    // of one vertex) becomes the normalised sum of the face normals of the
    // polygons that use it.
    void ComputeVertexNormals(LPolygon* polygon, L3DPoint* point);
    void ComputeEnvMapCoords();
    // Extent of the box along an axis (scaled, truncated); 1 without a box.
    int32_t GetBoxSizeX() const { return BoxSize(0); }
    int32_t GetBoxSizeY() const { return BoxSize(1); }
    int32_t GetBoxSizeZ() const { return BoxSize(2); }
    // The collision radius; with a box, its corners become (+-h, +-h, +-h),
    // h = sqrt(r^2 / 3).
    void SetBoundingRadius(float radius);
    float GetBoundingRadius() const { return m_sphere[3]; }
    // The object's transform for this frame, without a camera: the matrix
    // part of UpdateTransform, for this object alone.
    void ComputeTransform();
    // World position of one of this object's (or its box's) stored points.
    void ToWorld(const float* local, float* out) const;
    // Bounding sphere from box points 3 and 5 (world positions).
    void ComputeSphere();

    // Box tests of the collision code; corners from box points 3 and 5
    // (world), shifted by `offset` (null: none).
    int32_t PointInBox(const float* point, const float* offset) const;
    int32_t PointNearBox(const float* point) const;
    int32_t PointNearBoxXZ(const float* point) const;
    int32_t BoxOverlaps(const L3DObject& other) const;
    // Corner i of the box (min, max) per axis; 3 and 5 are opposite corners.
    static void BoxCorner(int32_t i, const float* low, const float* high, float* out);

    // Textured shadow (object_shadow.cpp).
    int32_t ShadowIntensity(L3DLocation* shadow, LShadowRecord* out);
    void EnableShadow(int32_t on);
    void SetShadowSize(float width, float height);
    void GetShadowSize(int32_t* width, int32_t* height) const;
    void SetShadowTexture(LTexture* texture);
    LTexture* GetShadowTexture() const;
    void SetShadow(float size, LTexture* texture);
    void DropShadowQuad();
    void PlaceShadowQuad(const LCameraView* camera);
    LPolygon* GetShadowQuad() const { return m_shadowQuad; }
    void SaveShadow(LChunkStream& out) const;

    uint32_t userWord = 0;

protected:
    void SetInView(uint8_t on) { m_inView = on; }
    void SetSphereCentre(const float* centre) {
        for (int i = 0; i < 3; ++i) m_sphere[i] = centre[i];
    }
    L3DLocation* RootLocation() override;
    int32_t Flag(uint32_t bit) const { return (objectFlags & bit) ? 1 : 0; }
    void SetObjectFlag(uint32_t bit, int32_t on) { objectFlags = on ? (objectFlags | bit) : (objectFlags & ~bit); }
    // Shading switch shared by SetGouraud and SetLambert.
    void SetShading(uint32_t bit, int32_t on, int32_t clusterRequest);
    // Material flag of the frame's second cache entry (IsFlat and kin).
    int32_t CacheMaterialFlag(uint32_t flag);
    // Projects the box points for this object and camera.
    void ProjectBox(const LCameraView* camera);
    // The camera's sphere test of the box: in view, and whether the material
    // caches clip (in view and clipped without a box or camera).
    void TestInView(const LCameraView* camera);
    // The object's own polygons drawn, batched or one by one.
    void DrawPolygons(LCameraView* camera, bool batched);
    void DrawBox(LCameraView* camera);
    void PlaceAt(const float* position);
    void PropagateMove();
    void MarkCachesDirty();
    void ChangeMaterial(LPolygon* polygon, LMaterial* material);
    L3DObject* DuplicateTree(const char* name);
    // What a duplicate takes: angles, transform, spare floats, position, hot
    // spot, name, mesh frames, key tracks, and copies of the owned children.
    void CopyContentTo(L3DObject* copy);

private:
    friend class L3DObjectClone;
    friend class L3DObject_Animation;
    static void AddLight(L3DLight** list, uint8_t& count, L3DLight* light);
    static void RemoveLight(L3DLight** list, uint8_t& count, L3DLight* light);
    void BuildBox(L3DWorld* world, void* memory);
    void DestroyBox();
    void EmptyChildren();
    void DestroyClones();
    void DestroyShadowQuad();
    int32_t BoxSize(int axis) const;
    void BoxCorners(float* low, float* high) const;
    bool MakeShadowQuad();

    uint32_t m_kind = kKindObject;
    int32_t m_batchMode = 1;
    float m_viewRotation[9] = {1, 0, 0, 0, 1, 0, 0, 0, 1};
    L3DLight* m_fixedLights[kMaxLights] = {};
    L3DLight* m_movableLights[kMaxLights] = {};
    uint8_t m_fixedCount = 0;
    uint8_t m_movableCount = 0;
    uint8_t m_drawState = kDrawProjected;
    uint8_t m_inView = 1;
    char* m_name = nullptr;
    int32_t m_cloneCount = 0;
    LDataLink* m_clones = nullptr;
    LDataLink* m_children = nullptr;
    L3DObject* m_parent = nullptr;
    L3DObject* m_box = nullptr;
    float m_sphere[4] = {0, 0, 0, 0};
    LKeySet* m_keys = nullptr;
    LMatrix34 m_local = {{1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0}};
    LPolygon* m_shadowQuad = nullptr;
    int32_t m_shadowOpacity = kDefaultShadowOpacity;
    LMoveCallback m_moveCallback = nullptr;
    uint32_t m_moveContext = 0;
    LCollisionCallback m_collisionCallback = nullptr;
    uint32_t m_collisionContext = 0;
};
