#pragma once
// LRenderAPICLBK: the render target of a world, made by a driver
// (render/driver.h) and bound to a camera. It keeps the display-mode state
// (size, depth, windowed or full screen, the device record in use), the view
// rectangle handed to the camera, the render-state bits and the frame
// counter. The base gives every operation a working default; back ends
// override what their device needs.
//
// Return codes of the mode and camera operations (0 is success): 2 no device
// or driver record; 4 no camera; 17 no mode of the depth large enough (also
// for a size without pixels); 18 no target window; 19 DirectDraw set-up
// failed; 30 the presenter made no surface; 31 not available here; 32 the
// target is an external surface; 33 no further mode; 34 the driver record
// offers no mode of the depth, or cannot run windowed.
//
// The reference grid (engine3d/grid.h) is made by the first ShowGridAxes
// and deleted once no axis remains shown.
#include "engine3d/render_link.h"

#include <cstdint>

class L3DWorld;
class LAPICLBK;
class LSprite;
class L3DGrid;
class L3DObject;
struct LDeviceRecord;
struct LModeRecord;

class LRenderAPICLBK : public LRenderTargetLink {
public:
    // Mode flags.
    enum : uint32_t {
        kFullScreen = 2, kWindowed = 4, kStatistics = 8, kDepthBuffer = 0x10,
        kExternalSurface = 0x40, kClearEachFrame = 0x80, kFixedDepth = 0x100,
    };
    // Render-state bits with a fixed meaning: 8 modulate lighting (clear:
    // mix), 0x10 excludes it; 4 refreshes the world's materials on change.
    enum : uint32_t { kStateModulate = 8, kStateExclusive = 0x10, kStatesUnset = 0xFFFFFFFFu };
    enum : int32_t { kKeep = -99999 };  // a SetMode argument that keeps the current value

    // Replaceable system services: the desktop depth probe (0 without a
    // desktop context) and the millisecond clock.
    using DepthProbe = int32_t (*)();
    using Clock = uint32_t (*)();
    static DepthProbe desktopDepthProbe;
    static Clock clock;

    // Device: the driver's first device; mode: the first mode of that
    // device's current driver record.
    LRenderAPICLBK(L3DWorld* world, LAPICLBK* driver);
    LRenderAPICLBK(const LRenderAPICLBK&) = delete;
    LRenderAPICLBK& operator=(const LRenderAPICLBK&) = delete;
    ~LRenderAPICLBK() override;

    LDriverLink* GetDriverLink() const override;

    // Slots 1 to 34 (0 is the destructor).
    virtual void Release() { delete this; }
    virtual int32_t NextMode();
    virtual int32_t PreviousMode();
    virtual int32_t SetMode(int32_t flags, int32_t width, int32_t height, int32_t depth);
    virtual int32_t ChooseTextureFormat(int32_t depth) { return depth; }
    virtual void SetTextureDepth(int32_t /*depth*/) {}
    virtual int32_t GetMinTextureWidth() { return 0; }
    virtual int32_t GetMinTextureHeight() { return 0; }
    virtual int32_t GetMaxTextureWidth() { return 0x7FFFFFFF; }
    virtual int32_t GetMaxTextureHeight() { return 0x7FFFFFFF; }
    void RenderFrame() override {}
    virtual int32_t SetCamera(LCameraLink* camera);
    void DetachCamera() override;
    void DrawBackground(L3DCamera* /*camera*/, LSprite* /*sprite*/) override {}
    void BeginFrame() override {}
    virtual void ClearDepthBuffer() {}
    virtual void EndFrame() {}
    virtual void* LockTarget() { return nullptr; }
    virtual void UnlockTarget(void* /*pixels*/) {}
    void BeginPass1() override {}
    virtual void Reserved22() {}
    void BeginPass2() override {}
    void EndPasses() override {}
    int32_t QueryCapability(uint32_t /*bit*/) override { return 0; }
    // Sets a supported bit; 8 and 0x10 exclude each other.
    virtual void EnableState(uint32_t bit);
    virtual void DisableState(uint32_t bit) { states &= ~bit; }
    // DrawScene (slot 28) is LRenderTargetLink's.
    virtual void DrawGrid() { DrawGridFor(camera); }
    // The scene ends with the grid, drawn after the objects and before the sprites.
    void EndScene() override { DrawGrid(); }
    uint32_t GetTargetFlags() const override { return flags; }
    LCameraLink* GetBoundCamera() const override { return camera; }
    virtual void BeginObject(L3DObject* /*object*/) {}
    virtual void EndObject() {}
    virtual void DrawGridFor(LCameraLink* camera);
    virtual int32_t Init() { return 31; }
    // Re-applies the current mode, windowed or full screen.
    virtual int32_t ResetMode(int32_t windowed);

    // The mode set-up of every back end's SetMode (see the .cpp).
    int32_t SetupMode(int32_t width, int32_t height, uint32_t flags, int32_t depth, uint32_t clearColor, void* window);
    // -1 in any argument takes its default: 0, height, 0, width, 65536.
    void SetViewRect(int32_t left, int32_t bottom, int32_t top, int32_t right, int32_t viewDepth);
    void SetRowStep(int32_t step) {
        rowStep = step;
        rowBytes = step < 0 ? -step : step;
    }
    void SetDevice(LDeviceRecord* newDevice, int32_t windowed, int32_t apply);
    // Grid axes X, Y, Z are bits 2, 4, 8.
    void ShowGridAxes(uint32_t bits);
    void HideGridAxes(uint32_t bits);
    // Writes "%d*%d*%d %d" (extended: "%d*%d*%d %d %d %d") when text is given
    // and size is at least 64, then counts the frame; the count is of frames
    // per window of just over ten seconds. Extended adds the polygon count and
    // hardware flag given.
    void FrameStatistics(char* text, int32_t size, int32_t extended, int32_t polygons = 0, int32_t hardware = 0);

    // Script-surface operations: full screen at a size and depth, and
    // windowed at a new size, each keeping the bits 8, 0x10 and 0x80.
    int32_t SetFullScreenMode(int32_t width, int32_t height, int32_t depth);
    int32_t SetWindowedSize(int32_t width, int32_t height);

    // The screen depth a windowed mode starts from: the desktop probe's
    // answer, or 16 when probeDesktop is not 1.
    int32_t ProbeScreenDepth() const;

    int32_t clippedDraw = 0;
    int32_t keepDriver = 0;
    LDeviceRecord* device = nullptr;
    LModeRecord* mode = nullptr;
    LCameraLink* camera = nullptr;
    L3DWorld* world;
    uint32_t flags = 0;
    int32_t width = 0, height = 0;
    uint8_t depth = 0;
    int32_t rowBytes = 0;
    int32_t rowStep = 0;
    uint32_t clearColor = 0;
    void* window = nullptr;
    uint32_t states = kStatesUnset;
    L3DGrid* grid = nullptr;
    LAPICLBK* driver;
    int32_t viewLeft = 0, viewBottom = 0, viewRight = 0, viewTop = 0;
    int32_t viewDepth = 0;
    int32_t probeDesktop = 1;
    uint32_t lastTime = 0, thisTime = 0;
    uint32_t windowTime = 0;
    uint32_t frameTime = 0;
    int32_t windowFrames = 0;
    int32_t lastWindowFrames = 0;

private:
    void TellCameraSize();
    void TellWorldDepth();
};

// The depths tried in order when the wanted one is not offered, ending at 0
// (any depth other than 8, 15, 16, 24, 32 uses the list of 16).
const int32_t* DepthFallbackList(int32_t depth);
