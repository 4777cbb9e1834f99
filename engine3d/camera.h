#pragma once
// L3DCamera: an object of kind 2052 ("Camera") that looks into one world.
// It keeps the viewing parameters (field of view, aspect, half view size,
// far distance, fog), derives the two focal factors and the six frustum
// planes from them (its LCameraView part, which the polygon code reads), and
// owns the depth-sort buckets that order a frame's polygons back to front.
// A render target binds it through its LCameraLink part.
//
// View space: x right, y up, z forward; the near plane is at z = 20.
//
// Depth buckets: 16384 records (count, first node, last node), shared by
// every camera that acquired them and freed with the last one. A polygon of
// depth d goes to bucket 16384 - (trunc(d) >> 2); indices below 20 and from
// 16384 up are not inserted. Nodes come from a pool grown in blocks of
// 10000 that are never moved, so linked nodes stay valid; a frame rewinds
// the pool cursor, so a frame of the same size allocates nothing.
//
// LBaseCamera: the world's camera list.
#include "engine3d/camera_view.h"
#include "engine3d/data_link.h"
#include "engine3d/object.h"
#include "engine3d/render_link.h"

#include <cstdint>

class L3DWorld;

class L3DCamera : public L3DObject, public LCameraView, public LCameraLink {
public:
    enum : int32_t { kRenderScene = 4, kBucketCount = 16384, kPoolBlock = 10000, kFirstBucket = 20, kClipPoints = 30 };
    enum : uint8_t { kFogOff = 0, kFogOn = 2 };
    static constexpr float kNearDistance = 20.0f;

    struct SortNode {
        SortNode* next;
        LPolygon* polygon;
    };
    struct Bucket {
        int32_t count;
        SortNode* first;
        SortNode* last;
    };

    L3DCamera(L3DWorld* world, LCLBKObject* callback);
    ~L3DCamera() override;
    // Deletes the camera (the list's way of destroying one).
    virtual void Destroy() { delete this; }

    // LCameraLink: what a render target tells its camera.
    void SetRenderTarget(LRenderTargetLink* target) override { m_target = target; }
    void SetViewSize(int32_t width, int32_t height) override { SetViewPixelSize(width, height); }
    void SetHalfSize(float halfWidth, float halfHeight) override { SetViewSize(halfWidth, halfHeight); }
    float GetFarDistance() const override { return float(m_farCopy); }
    void SetFarDistance(float distance) override;
    void SetViewRect(int32_t left, int32_t bottom, int32_t top, int32_t right) override;

    LRenderTargetLink* GetRenderTarget() const { return m_target; }

    // Draws one frame of the camera's world through `target` (the previous
    // target is put back afterwards).
    void RenderWith(LRenderTargetLink* target);

    // Viewing parameters. SetFocus clamps to 10..179 degrees (NaN keeps the
    // current value); SetViewSize takes half sizes (0, negative or NaN become
    // 1.0 so that no NaN reaches the planes); SetViewDepth clamps to
    // 500..65536.
    void SetFocus(float degrees);
    void SetViewSize(float halfWidth, float halfHeight);
    void SetViewDepth(int32_t distance);
    void SetViewPixelSize(int32_t width, int32_t height);
    float GetFocus() const { return m_fov; }
    float GetInverseFocus() const { return m_inverseFov; }
    float GetAspect() const { return m_aspect; }
    void SetAspect(float aspect);
    float GetHalfWidth() const { return m_halfWidth; }
    float GetHalfHeight() const { return m_halfHeight; }
    int32_t GetViewDepth() const { return m_far; }
    int32_t GetPixelWidth() const { return m_pixelWidth; }
    int32_t GetPixelHeight() const { return m_pixelHeight; }
    const int32_t* GetViewRect() const { return m_viewRect; }

    // Fog: range fractions of the far distance, clamped to 0..1, end >= start.
    void SetFogState(uint8_t state);
    void SetFogColor(uint32_t colour);
    void SetFogRange(float start, float end);
    void SetFog(uint8_t state, uint32_t colour, float start, float end, float density);
    void GetFogRange(float* start, float* end) const;
    float GetFogDensity() const { return m_fogDensity; }
    uint8_t GetFogState() const { return m_fogState; }
    uint32_t GetFogColor() const { return m_fogColour; }
    int32_t GetFogStartDepth() const { return m_fogStartDepth; }
    int32_t GetFogEndDepth() const { return m_fogEndDepth; }

    int32_t GetRenderMode() const { return m_renderMode; }
    void SetRenderMode(int32_t mode) { m_renderMode = mode; }
    int32_t GetFrameCount() const { return m_frames; }
    int32_t GetPolygonsDrawn() const { return polygonsDrawn; }

    // Frustum tests (view space for points; spheres in world space).
    int32_t IsPointVisible(const L3DPoint* point) const { return IsXYZVisible(point->camera[0], point->camera[1], point->camera[2]); }
    int32_t IsXYZVisible(float x, float y, float z) const;

    // The frame's depth sort.
    void AcquireSortBuckets();
    int32_t InsertPolygonByDepth(LPolygon* polygon);
    int32_t Defer(LPolygon* polygon) override { return InsertPolygonByDepth(polygon); }
    // Draws the used buckets far to near (lowest index up) and empties them.
    void DrawBuckets();
    int32_t GetUsedBuckets() const { return m_usedBuckets; }
    // The shared bucket table and the pool's state, for the tests.
    static const Bucket* GetBucketTable();
    static int32_t GetPoolCapacity();
    int32_t IsPoolCursorAtStart() const;

    // The camera's rotation (rows 0, 1, 2; row 2 forward) from its angles.
    void BuildMatrix(int notify) override;
    const float* GetViewRows() const { return m_viewRows; }

    void SaveObject(LChunkStream& out, uint32_t saveFlags) override;

    // Motion, collision and marker (engine3d/camera_motion.cpp). A camera's
    // axes are a viewer's: zero angles look along +z, positive pitch looks
    // up, turns and strafes run the other way round from an object's.
    static constexpr char kMarkerMaterial[] = "$Ruk3D Mat$ Camera Material";
    // The marker: a 20-unit cube with a lens (12 + 4 triangles), hidden
    // until shown, with a collision radius of 175.
    void BuildMarker();
    // Shows or hides the marker (showing only while the world's camera list
    // has its show flag set).
    void ShowBox(int32_t on, int32_t recursive) override;
    void Show() override;
    int32_t IsBoxVisible() override { return IsVisible(); }
    // The collision start point is the current position.
    void SweepSphere() override;
    // The move since the start point as a segment against the world's
    // static geometry: per hit, the collision callback's answer 0 keeps the
    // position, 4 moves to the stop point, anything else (or no callback)
    // goes back to the start. The number of hits.
    int32_t CollideWorld(LCameraView* camera) override;
    int MoveForward(float d) override;
    void LookAt(const L3DLocation* target, float k) override;
    int Follow(const LFollowRecord* record) override;
    int MoveAround(LOrbitRecord* record) override;
    void AddAngleY(float d) override { L3DObject::AddAngleY(-d); }
    void SubAngleY(float d) override { L3DObject::SubAngleY(-d); }
    void SubAngleX(float d) override { L3DObject::SubAngleX(-d); }
    void AddAngleX(float d) override { L3DObject::AddAngleX(-d); }
    void StrafeMinus(float d) override { L3DObject::StrafeMinus(-d); }
    void StrafePlus(float d) override { L3DObject::StrafePlus(-d); }
    void ComputeSinCos() override { L3DLocation::ComputeSinCos(); }

private:
    void ComputeFrustumPlanes();
    void ComputeFocal();
    void UpdateFogDepths();
    void ReleaseSortBuckets();
    SortNode* NextNode();

    L3DPoint m_clipPoints[kClipPoints];
    int32_t m_renderMode = kRenderScene;
    float m_fov = 30.0f;
    float m_inverseFov = 1.0f / 30.0f;
    float m_aspect = 0.75f;
    float m_halfWidth = 1.0f;
    float m_halfHeight = 1.0f;
    int32_t m_pixelWidth = 0, m_pixelHeight = 0;
    int32_t m_viewRect[4] = {0, 0, 0, 0};
    int32_t m_far = 65536;
    int32_t m_farCopy = 65536;
    int32_t m_usedBuckets = 0;
    int32_t m_lowestBucket = kBucketCount;
    int32_t m_cursorBlock = 0;  // pool cursor: block and offset
    int32_t m_cursorOffset = 0;
    int32_t m_bucketsHeld = 0;
    uint8_t m_fogState = kFogOff;
    uint32_t m_fogColour = 0;
    float m_fogStart = 0.0f;
    float m_fogEnd = 1.0f;
    int32_t m_fogStartDepth = 0;
    int32_t m_fogEndDepth = 65536;
    float m_fogDensity = 1.0f;
    int32_t m_frames = 0;
    float m_viewRows[9] = {1, 0, 0, 0, 1, 0, 0, 0, 1};
    LRenderTargetLink* m_target = nullptr;
};

class LBaseCamera : public LDataLink {
public:
    explicit LBaseCamera(L3DWorld* world) : m_world(world) {}
    virtual ~LBaseCamera();

    void SetWorld(L3DWorld* world) { m_world = world; }
    void AddCamera(L3DCamera* camera);
    // 0, or 4 when the camera is not listed; clears the world's current
    // camera when it is this one, then destroys it.
    int32_t DeleteCamera(L3DCamera* camera);
    // 0, or 4 without a node there; -1 deletes every camera.
    int32_t DeleteCameraAt(int32_t index);
    L3DCamera* FindCamera(const char* name);
    L3DCamera* FindByKeyAndName(L3DCamera* camera, const char* name);
    L3DCamera* GetAt(int32_t index) const;
    void RefreshCameras(int32_t flag);
    // Every other camera's marker for the rendering camera; the rendering
    // camera commits its frame.
    void PrepareMarkers(L3DCamera* camera);
    void HitTestCameras(L3DCamera* camera, const float* point, const float* radius, L3DObject** out);
    int32_t GetShowFlag() const { return m_show; }
    void SetShowFlag(int32_t on) { m_show = on; }
    int32_t CountSavable() const;

private:
    L3DWorld* m_world;
    int32_t m_show = 1;
};
