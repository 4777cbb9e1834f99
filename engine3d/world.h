#pragma once
// L3DWorld, skeleton: the fields the geometry code reads. Issue 07 completes
// the world (element lists, default materials, frames, saving); issues 03
// and 04 add the fields they need. Vertices and polygons are created through
// the render target's driver (engine3d/render_link.h).
#include <cstdint>

class L3DPoint;
class LPolygon;
class LPolygonOwner;
class LCameraView;
class LRenderTargetLink;

class L3DWorld {
public:
    explicit L3DWorld(LRenderTargetLink* renderTarget = nullptr) : m_renderTarget(renderTarget) {}
    L3DWorld(const L3DWorld&) = delete;
    L3DWorld& operator=(const L3DWorld&) = delete;
    virtual ~L3DWorld() = default;

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

private:
    LRenderTargetLink* m_renderTarget;
    int32_t m_doubleSided = 0;
    LCameraView* m_currentCamera = nullptr;
};
