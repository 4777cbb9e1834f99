#pragma once
// LPolygon: a triangle or quad over vertices of its owner's LBasePoint, with
// its material, its own texture pairs, planes, bounding radius and ground
// box; it classifies, projects and clips itself against a camera view.
// Back ends derive their polygon classes from it.
//
// Capacity: the constructor's `reserved` argument is a capacity hint: 4
// gives a maximum of 4 vertices, any other value 3. Code that builds a quad
// from a 3-vertex polygon raises the maximum with SetMaxPoints(4) first.
//
// Not here yet: the owner's material cache in SetMaterial (issue 08), and
// the projected shadow, which needs the ambient light and
// the shadow projection of the object layer.
#include "engine3d/location.h"
#include "engine3d/point.h"

#include <cstdint>

class LMaterial;
class LCameraView;
class LChunkStream;

// What a polygon needs of its owner object: the placed frame (L3DLocation),
// the vertex array and the object flag word. The object class derives from
// it.
class LPolygonOwner : public L3DLocation {
public:
    enum : uint32_t { kFlagCullBackFaces = 0x80000 };
    LPolygonOwner() : L3DLocation(0, 0, 0, 0, 0, 0) {}
    LBasePoint* points = nullptr;
    uint32_t objectFlags = 0;
};

class LPolygon {
public:
    enum : int32_t { kFull = 13, kAbsent = 14 };
    enum : uint16_t { kDraw = 0, kCulled = 128, kClip = 256 };
    enum : int32_t { kMaxClipPoints = 16 };  // room for a quad clipped by six planes
    static constexpr float kNoDepth = -100000.0f;

    LPolygon(LPolygonOwner* owner, int32_t reserved, void* callback);
    LPolygon(const LPolygon&) = delete;
    LPolygon& operator=(const LPolygon&) = delete;
    virtual ~LPolygon();
    // A triangle or quad record: the vertex indices in the owner's vertex
    // array and the material's position in the world's material list (the
    // default material's without one). Nothing for other vertex counts.
    virtual void Save(LChunkStream& out) const;

    // Hooks of the back ends; empty here.
    virtual void TextureHook1() {}
    virtual void TextureHook2() {}
    virtual int32_t MaterialHook() { return 0; }
    virtual void Hook4() {}
    // Environment texture coordinates (see the .cpp).
    virtual void ComputeEnvironmentUV(int32_t flip);
    virtual int32_t BackEndQuery() { return 0; }
    // Draws the given vertices (the global triangle's or the clip pool's).
    virtual void DrawPoints(L3DPoint* const* /*points*/, int32_t /*count*/, LCameraView* /*camera*/) {}

    int32_t AddNewPoint(float x, float y, float z, float u, float v);
    int32_t AddPoint(L3DPoint* point);
    int32_t InsertPoint(int32_t index, float x, float y, float z, float u, float v);
    L3DPoint* GetPoint(int32_t index) const;
    int32_t IndexOfPoint(const L3DPoint* point) const;
    int32_t RemovePoint(L3DPoint* point);
    void RemovePointAt(int32_t index);  // -1: all
    // Moves the polygon to a material's polygon list; a vertex that belongs
    // to a third material is replaced by a fresh one of its own. The result
    // is the third hook's.
    int32_t SetMaterial(LMaterial* material);
    void SetUV(int32_t index, float u, float v);
    void GetUV(int32_t index, float* u, float* v) const;
    void CopyUVToPoints();
    void Invert();
    L3DWorld* GetWorld() const;
    LCameraView* GetCurrentCamera() const;
    void TransformPoints(const float* matrix);
    void ComputeGroundBox();
    int32_t ContainsGroundPoint(int32_t x, int32_t z) const;
    int32_t Classify(const LCameraView& camera);
    float MaxDepth() const;
    int32_t ContainsScreenPoint(float x, float y) const;
    void Submit(LCameraView* camera);
    // Ray in the owner's frame; the hit point goes to `out`. 1 on a hit.
    int32_t IntersectRay(const float* origin, const float* direction, float* out) const;
    // The bounding radius from the current vertices (AddPoint keeps it).
    void RecomputeRadius() {
        if (count >= 3) UpdateRadius(1.0f);
    }
    // The plane record and facing mask; nothing with fewer than 3 vertices.
    void ComputePlanes(int32_t average);
    uint8_t ComputeFacingMask() const;
    // Clip against the camera's planes named by the vertices' combined
    // outcode; `out` (room for kMaxClipPoints) receives the vertices, the
    // result is their count (0 when dropped).
    int32_t ClipToFrustum(LCameraView* camera, L3DPoint** out);
    int32_t ClipToFrustumShaded(LCameraView* camera, L3DPoint** out);
    // Face normal in world directions (the owner's rotation applied).
    void WorldNormal(float* out) const;

    int32_t GetCount() const { return count; }
    int32_t GetMaxPoints() const { return maxPoints; }
    void SetMaxPoints(int32_t n) { maxPoints = n < 3 ? 3 : (n > 4 ? 4 : n); }
    LPolygonOwner* GetOwner() const { return owner; }

    int32_t maxPoints = 3;
    void* callback;
    LMaterial* material = nullptr;
    uint8_t count = 0;
    uint16_t visibility = kDraw;
    uint16_t radius = 0;  // saturated at 65535
    float scale = 1.0f;
    float* planes;        // face plane, then one per edge; four floats each
    LPolygonOwner* owner;
    L3DPoint* points[4] = {};
    float uv[4][2] = {};
    int32_t groundBox[4] = {0, 0, 0, 0};  // max x, max z, min x, min z
    void* materialNode = nullptr;
    uint8_t litColour[4] = {0, 0, 0, 0};
    uint8_t facingMask = 0;
    uint8_t mirrorAxis = 0;  // 1, 2, 3: x, y or z is the plane's main axis (mirror materials)
    float sortDepth = 0.0f;  // set by the culling routines: -1 culled
    int32_t useCount = 0;    // uses in mesh-frame lists (LMultiBasePoly::AddPolygonToList)
    uint8_t inCache = 0;     // 1 while a material cache lists the triangle

private:
    void UpdateRadius(float extra);
    int32_t Clip(LCameraView* camera, L3DPoint** out, bool shaded);
};
