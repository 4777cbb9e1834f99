#pragma once
// LCameraView: what the polygon code reads of the camera that draws a frame.
// Issue 07's L3DCamera owns one, fills it from its own settings (rotation,
// focal factors, far distance, fog, the six frustum planes) and implements
// Defer with its depth buckets; until then tests fill one directly.
//
// View space: x right, y up, z forward. A point p lies on the inner side of
// plane (n; d) when n.p >= d. The six planes are addressed by their outcode
// bit: 8 left, 16 right, 2 bottom, 4 top, 64 near, 32 far. A point is
// outside the near plane when n.p < d and outside any other when n.p <= d
// (a point at z = near is visible, one at z = far is not).
#include "engine3d/point.h"

#include <cstdint>

class LPolygon;
class L3DLocation;

class LCameraView {
public:
    enum : uint32_t {
        kBottom = 2, kTop = 4, kLeft = 8, kRight = 16, kFar = 32, kNear = 64,
    };
    enum : int32_t { kSphereInside = 2, kSphereCrossing = 4, kSphereOutside = 8 };
    enum : uint8_t { kFogLinear = 2, kFogExponential = 4, kFogExponentialSquared = 8 };

    LCameraView() = default;
    LCameraView(const LCameraView&) = delete;
    LCameraView& operator=(const LCameraView&) = delete;
    virtual ~LCameraView() = default;

    // Plane of an outcode bit (one of the six above).
    float* Plane(uint32_t bit);
    const float* Plane(uint32_t bit) const;

    // Camera-space point tests over the six planes.
    // Inline and unrolled: every projected vertex goes through it.
    uint32_t PointOutcode(const float* p) const {
        const auto out = [p](const float* n) { return !(n[0] * p[0] + n[1] * p[1] + n[2] * p[2] - n[3] > 0.0f); };
        const float* near = planes[5];
        return (out(planes[0]) ? kBottom : 0u) | (out(planes[1]) ? kTop : 0u) | (out(planes[2]) ? kLeft : 0u) |
               (out(planes[3]) ? kRight : 0u) | (out(planes[4]) ? kFar : 0u) |
               (!(near[0] * p[0] + near[1] * p[1] + near[2] * p[2] - near[3] >= 0.0f) ? kNear : 0u);
    }
    int32_t IsPointVisible(const float* cameraXYZ) const { return PointOutcode(cameraXYZ) == 0 ? 1 : 0; }
    // OR of the outcodes of the vertices' camera positions; 0 for count < 1.
    uint32_t ClipOutcode(L3DPoint* const* points, int32_t count) const;
    // Sphere (x, y, z, radius) in world space: 2 inside, 4 crossing a plane,
    // 8 wholly outside one; a NaN sphere is outside.
    virtual int32_t ClassifySphere(const float* sphere) const;
    // Hands a polygon to the depth buckets (the camera's InsertPolygonByDepth).
    virtual int32_t Defer(LPolygon* polygon) = 0;

    // World point -> camera space: rows . (p - position).
    void ToCamera(const float* w, float* out) const {
        const float d0 = w[0] - position[0], d1 = w[1] - position[1], d2 = w[2] - position[2];
        const float x = rows[0] * d0 + rows[1] * d1 + rows[2] * d2;
        const float y = rows[3] * d0 + rows[4] * d1 + rows[5] * d2;
        const float z = rows[6] * d0 + rows[7] * d1 + rows[8] * d2;
        out[0] = x;
        out[1] = y;
        out[2] = z;
    }

    // The camera's own placed frame (issue 07's L3DCamera sets it to
    // itself); null for a bare view record. Objects mark it changed when they
    // move a borrowed mesh (clones) and read its change bits to know whether
    // their projected points still hold.
    void MarkChanged();
    int32_t HasChanged() const;

    // Takes the next record of the clip pool, or null when the pool is used up.
    L3DPoint* NextClipPoint() { return clipCursor < clipPoolSize ? &clipPool[clipCursor++] : nullptr; }

    float position[3] = {0, 0, 0};
    float rows[9] = {1, 0, 0, 0, 1, 0, 0, 0, 1};  // rotation rows 0, 1, 2 (row 2 = forward)
    float focalX = 1.0f, focalY = 1.0f;         // focal factors
    float centreX = 0.0f, centreY = 0.0f;       // screen centre
    float farDistance = 65536.0f;
    uint8_t fogMode = 0;        // 0 off, or one of the kFog modes
    float fogStart = 0.0f;      // depths
    float fogEnd = 65536.0f;
    float fogDensity = 1.0f;
    float planes[6][4] = {};    // by outcode bit, see Plane
    L3DPoint* clipPool = nullptr;  // scratch vertices of clipping
    int32_t clipPoolSize = 0;
    int32_t clipCursor = 0;
    int32_t polygonsDrawn = 0;
    L3DLocation* location = nullptr;
};

// The temporary default camera of the object code (MakeStatic projects an
// object once with it so that every point has its world position): a view
// record at the origin that draws nothing. Issue 07 replaces it with a
// default L3DCamera.
class LDefaultCameraView : public LCameraView {
public:
    int32_t Defer(LPolygon*) override { return 0; }
};
