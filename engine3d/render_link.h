#pragma once
// The engine's view of the render back ends. The engine creates its vertices,
// polygons, textures and sprites through the world's render target and that
// target's driver, so that each back end can give them its own device
// classes. engine3d may not see render/, so it declares the two narrow
// interfaces it calls here; render/render_api.h (LRenderAPICLBK) and
// render/driver.h (LAPICLBK) implement them.
//
// Issue 06 completes the two render classes; these interfaces only grow when
// the engine itself needs another operation of a back end.
#include <cstdint>

class L3DPoint;
class LPolygon;
class LPolygonOwner;
class L3DWorld;
class L3DCamera;
class LTexture;
class LSprite;
class LDeviceImage;
class LCLBKObject;
class LCacheMaterial;
class LCacheVertexArray;
class LCameraView;
class LRenderTargetLink;

// The driver's factory slots.
class LDriverLink {
public:
    virtual ~LDriverLink() = default;
    // Destroys the driver (the registry's destroy operation).
    virtual void Release() { delete this; }
    virtual L3DPoint* CreatePoint(float x, float y, float z, float u, float v) = 0;
    // `reserved` is the polygon's capacity hint (LPolygon's constructor).
    virtual LPolygon* CreatePolygon(LPolygonOwner* owner, int32_t reserved, void* callback) = 0;
    virtual void DeletePoint(L3DPoint* point) = 0;
    virtual void DeletePolygon(LPolygon* polygon) = 0;
    virtual LTexture* CreateTexture(L3DWorld* world, const char* name, LCLBKObject* callback) = 0;
    virtual LSprite* CreateSprite(L3DWorld* world) = 0;
    virtual void DeleteTexture(LTexture* texture) = 0;
    virtual void DeleteSprite(LSprite* sprite) = 0;
    // 1 for the hardware back ends, whose targets draw material caches
    // indexed (DrawScene); the software back end draws polygon by polygon.
    virtual int32_t IsHardware() const { return 0; }
};

// What a render target tells the camera bound to it (issue 07's L3DCamera
// implements it): its back pointer, the target size and half size, the far
// distance and the view rectangle.
class LCameraLink {
public:
    virtual ~LCameraLink() = default;
    // The target the camera draws into; null unbinds it.
    virtual void SetRenderTarget(LRenderTargetLink* target) = 0;
    virtual void SetViewSize(int32_t width, int32_t height) = 0;
    virtual void SetHalfSize(float halfWidth, float halfHeight) = 0;
    virtual float GetFarDistance() const = 0;
    virtual void SetFarDistance(float distance) = 0;
    virtual void SetViewRect(int32_t left, int32_t bottom, int32_t top, int32_t right) = 0;
};

// The render target: the way to its driver, and what the engine asks of it
// directly.
class LRenderTargetLink {
public:
    virtual ~LRenderTargetLink() = default;
    virtual LDriverLink* GetDriverLink() const = 0;
    // Draws one sprite over the frame of the camera.
    virtual void DrawSprite(L3DCamera* /*camera*/, LSprite* /*sprite*/) {}
    // The device image of a render-to-texture texture, or null.
    virtual LDeviceImage* CreateCameraImage(LTexture* /*texture*/, L3DCamera* /*camera*/) { return nullptr; }
    // Indexed drawing of a material cache (its index array over its vertex
    // array) for the object that owns it.
    virtual void DrawScene(LCacheMaterial* /*cache*/, LCameraView* /*camera*/, LPolygonOwner* /*object*/) {}
    // A fresh vertex array for a renumbered cache (the cache owns and
    // destroys it); null when the back end keeps none. The hardware back
    // ends fill it in (issue 06 and later).
    virtual LCacheVertexArray* BuildCacheVertexArray(LCacheMaterial* /*cache*/) { return nullptr; }

    // The frame operations the world and its camera call (the render
    // interface's slots of the same names; each does nothing by default).
    // RenderFrame draws the bound camera's frame (render-to-texture
    // cameras); BeginFrame restarts the target's frame; EndScene closes the
    // scene after the objects and before the sprites; the three pass
    // operations open, switch and close a shadow or mirror pass.
    virtual void RenderFrame() {}
    virtual void BeginFrame() {}
    virtual void DrawBackground(L3DCamera* /*camera*/, LSprite* /*sprite*/) {}
    virtual void EndScene() {}
    virtual void BeginPass1() {}
    virtual void BeginPass2() {}
    virtual void EndPasses() {}
    virtual int32_t QueryCapability(uint32_t /*bit*/) { return 0; }
    // The target's mode flags; 0x40: an external surface, where the
    // render-to-texture cameras and mirrors are skipped.
    virtual uint32_t GetTargetFlags() const { return 0; }
    enum : uint32_t { kTargetExternalSurface = 0x40 };
    // The bound camera, and its unbinding (the camera's back pointer goes too).
    virtual LCameraLink* GetBoundCamera() const { return nullptr; }
    virtual void DetachCamera() {}
};
