#pragma once
// Vertices: L3DPoint is one vertex of an object (local, world, camera and
// screen coordinates, texture pairs, normal, colour, fog and the back end's
// device vertex); LBasePoint is an object's vertex array with use counts and
// optional sharing of identical vertices. Vertices are created through the
// world's render target (L3DWorld::CreatePoint), never with new.
#include <cstdint>

class L3DWorld;
class LMaterial;
class LCameraView;
class LChunkStream;
class LPolygonOwner;

// The back end's vertex record, filled by projection in this order.
struct LDeviceVertex {
    float screenX, screenY;
    float depthFraction;  // depth / far distance
    float inverseDepth;
    uint32_t diffuse;   // 0xAARRGGBB from the colour bytes
    uint32_t specular;  // fog << 24
    float u0, v0;       // first texture pair
    float u1, v1;       // second texture pair
};

class L3DPoint;

// The callback interface of engine objects tied to a script owner: its first
// virtual operation hears of the destruction.
class LPointCallback {
public:
    virtual void PointDestroyed(L3DPoint* point) = 0;

protected:
    ~LPointCallback() = default;
};

class L3DPoint {
public:
    L3DPoint(float x, float y, float z, float u, float v);
    L3DPoint();
    L3DPoint(const L3DPoint&) = delete;
    L3DPoint& operator=(const L3DPoint&) = delete;
    // Notifies the callback object; frees the device vertex it owns.
    virtual ~L3DPoint();

    // world = R*((local + hot spot)*scale) + position of the owner (local
    // itself without one), then ProjectFromWorld.
    virtual void Project(const LPolygonOwner* owner, const LCameraView& camera);
    // camera = rows.(world - camera position), then ProjectFromCamera.
    void ProjectFromWorld(const LCameraView& camera);
    // From the camera position: depth (0 becomes 0.01, so no infinity
    // reaches a back end), outcode, inverse depth, depth fraction, screen,
    // device vertex, fog.
    void ProjectFromCamera(const LCameraView& camera);
    void FillDeviceVertex();
    void ComputeFog(const LCameraView& camera);
    // Gives the vertex a device vertex record of its own.
    void AttachDeviceVertex();

    LPointCallback* callback = nullptr;  // told by the destructor
    float local[3] = {0, 0, 0};
    float world[3] = {0, 0, 0};
    float camera[3] = {0, 0, 0};
    float screenX = 0.0f, screenY = 0.0f;
    float depth = 0.0f;
    float inverseDepth = 0.0f;
    float depthFraction = 0.0f;
    float u = 0.0f, v = 0.0f;
    float drawU = 0.0f, drawV = 0.0f;
    float normal[3] = {0, 0, 0};
    uint8_t colour[4] = {0, 0, 0, 0};  // red, green, blue, alpha (brightness): the final lit colour
    uint8_t baseColour[4] = {0, 0, 0, 0};  // ambient and fixed lights only (engine3d/lights.h)
    uint8_t fog = 255;                 // 255 no fog, 0 full fog
    uint8_t useByte = 0;               // polygons using the vertex
    uint8_t outcode = 0;               // the camera's point-visibility answer: 1 inside
    const void* shadingTable = nullptr;
    int32_t index = -1;
    LMaterial* material = nullptr;
    LDeviceVertex* device = nullptr;

private:
    bool m_ownsDevice = false;
};

class LBasePoint {
public:
    enum : uint32_t { kSharing = 2, kDestroyUnused = 4, kInitialFlags = 6 };
    enum : int32_t { kAbsent = 14 };

    explicit LBasePoint(L3DWorld* world);
    // Recreates every vertex through the render target of `world` (the
    // other's when null) with the other's positions, screen values, normals,
    // colour bytes, use bytes and use counts.
    LBasePoint(const LBasePoint& other, L3DWorld* world = nullptr);
    LBasePoint& operator=(const LBasePoint&) = delete;
    virtual ~LBasePoint();

    // Count (u16), then x, y, z, u, v, normal x, y, z per vertex.
    virtual void Save(LChunkStream& out) const;

    L3DPoint* AddPoint(float x, float y, float z, float u, float v, int32_t use = -1);
    int32_t AddExistingPoint(L3DPoint* point);
    int32_t RemovePoint(L3DPoint* point);  // 14 when null or absent, else 0
    L3DPoint* GetPoint(int32_t index) const;
    int32_t IndexOf(const L3DPoint* point) const;
    void EnableSharing() { m_flags |= kSharing; }
    void DisableSharing() { m_flags &= ~uint32_t(kSharing); }
    int32_t IsSharing() const { return (m_flags & kSharing) ? 1 : 0; }

    int32_t GetCount() const { return m_count; }
    int32_t GetCapacity() const { return m_capacity; }
    int32_t GetUseCount(int32_t index) const { return m_uses[index]; }
    void SetUseCount(int32_t index, int32_t uses) { m_uses[index] = uses; }
    // Room for at least `capacity` vertices (bulk copies grow once, not by
    // 8 at a time).
    void Reserve(int32_t capacity);
    // Destroys every vertex (as the destructor does) and empties the array.
    void Clear();
    // RemovePoint on every vertex whose use count is 0 or less, in one pass:
    // such a vertex leaves the array (destroyed when no polygon holds it and
    // the array destroys unused vertices); the capacity ends as the smallest
    // multiple of 8 above the count.
    void RemoveUnused();
    uint32_t GetFlags() const { return m_flags; }
    void SetFlags(uint32_t flags) { m_flags = flags; }
    L3DWorld* GetWorld() const { return m_world; }

private:
    void Resize(int32_t capacity);  // both arrays; new entries zeroed
    int32_t Append(L3DPoint* point, int32_t use);

    int32_t m_count = 0;
    uint32_t m_flags = kInitialFlags;
    L3DPoint** m_points = nullptr;
    int32_t* m_uses = nullptr;
    int32_t m_capacity = 0;
    L3DWorld* m_world;
};
