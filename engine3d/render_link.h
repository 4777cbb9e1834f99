#pragma once
// The engine's view of the render back ends. The engine creates its vertices
// and polygons through the world's render target and that target's driver,
// so that each back end can give them its own device vertex and polygon
// class. engine3d may not see render/, so it declares the two narrow
// interfaces it calls here; render/render_api.h (LRenderAPICLBK) and
// render/driver.h (LAPICLBK) implement them.
//
// Issue 06 completes the two render classes; these interfaces only grow when
// the engine itself needs another operation of a back end.
#include <cstdint>

class L3DPoint;
class LPolygon;
class LPolygonOwner;

// The driver's factory slots.
class LDriverLink {
public:
    virtual ~LDriverLink() = default;
    virtual L3DPoint* CreatePoint(float x, float y, float z, float u, float v) = 0;
    // `reserved` is the polygon's capacity hint (LPolygon's constructor).
    virtual LPolygon* CreatePolygon(LPolygonOwner* owner, int32_t reserved, void* callback) = 0;
    virtual void DeletePoint(L3DPoint* point) = 0;
    virtual void DeletePolygon(LPolygon* polygon) = 0;
};

// The render target: only the way to its driver.
class LRenderTargetLink {
public:
    virtual ~LRenderTargetLink() = default;
    virtual LDriverLink* GetDriverLink() const = 0;
};
