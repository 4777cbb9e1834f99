#pragma once
// What a script surface needs of the 3D classes that render into it. The 3D
// camera, world and render API classes implement these interfaces; until
// they exist the surface has no render API and every attachment fails with
// its runtime error.
#include <cstdint>

class CSurface;
class ISurfaceRenderAPI;

// A render API drawing one world into a surface.
class ISurfaceRenderAPI {
public:
    virtual ~ISurfaceRenderAPI() {}
    // The render driver (back end) the API belongs to.
    virtual int32_t GetDriver() = 0;
    // 1 when its size is fixed (a full-screen device): the surface takes it.
    virtual int GetFixedSize(int32_t* width, int32_t* height) = 0;
    // Render messages: 146 switch display (width, height, depth or -99999),
    // 148 size (width, height, -99999). Non-zero on success.
    virtual int32_t Message(int32_t message, int32_t a, int32_t b, int32_t c) = 0;
    // A software API presents into this surface.
    virtual void AttachSurface(CSurface* surface) = 0;
    virtual void DropCamera() = 0;
    virtual void Release() = 0;
    // Render features (2: anti-aliasing): whether the API has the feature,
    // and switching it on or off.
    virtual int HasFeature(int32_t) { return 0; }
    virtual void EnableFeature(int32_t, int) {}
};

// A point array ("PointArray", class 10) handed to "DrawPolygon".
class ISurfacePointArray {
public:
    virtual ~ISurfacePointArray() {}
    // 2 for two-dimensional points.
    virtual int32_t GetPointKind() const = 0;
    virtual int32_t GetPointCount() const = 0;
    // Coordinate `axis` (0 x, 1 y) of point `index`.
    virtual double GetPointCoordinate(int32_t index, int32_t axis) const = 0;
};

class ISurfaceWorld {
public:
    virtual ~ISurfaceWorld() {}
    // The render API the world already has (null: none).
    virtual ISurfaceRenderAPI* GetRenderAPI() = 0;
    // A render API of that driver for the world; null when none can be made.
    virtual ISurfaceRenderAPI* CreateRenderAPI(int32_t driver) = 0;
};

class ISurfaceCamera {
public:
    virtual ~ISurfaceCamera() {}
    virtual ISurfaceWorld* GetWorld() = 0;
    virtual void RenderFrame() = 0;
};

// The pixels of a script texture, for creating a surface from it.
class ISurfaceTexture {
public:
    virtual ~ISurfaceTexture() {}
    virtual int32_t GetWidth() = 0;
    virtual int32_t GetHeight() = 0;
    virtual int32_t GetDepth() = 0;
    // Copies the texture's rows into the locked picture; false when refused.
    virtual bool CopyInto(CSurface* picture) = 0;
    // The picture changed: the texture takes it again.
    virtual void RefreshFrom(CSurface* picture) = 0;
};
