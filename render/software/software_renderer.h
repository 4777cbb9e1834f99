#pragma once
// LRenderAPI_Software: the render target that draws a world into a frame
// buffer in main memory with the engine's own rasteriser. It owns the depth
// buffer (one signed 32-bit value per pixel, larger is nearer), the per-row
// tables that the edge set-up fills and the span routines read, and a work
// polygon with its material "SpriteMat" for sprites and the background. The
// frame buffer itself belongs to a presenter (GDI, DirectDraw, or a test's
// memory buffer), which derives from this class and supplies BeginFrame,
// LockTarget, UnlockTarget, EndFrame and Init.
//
// One renderer is current while a frame is drawn (CurrentSoftwareRenderer):
// the span routines and the edge set-up read the target from it. Frames run
// under the render lock and restore the previous current renderer, so they
// may nest on one thread.
//
// Row tables hold one entry per target row (not per byte of a row: a narrow
// 8-bit target can have more rows than bytes per row).
#include "render/render_api.h"

#include <cstdint>

class LPolygon_Software;
class LMaterial;
class L3DCamera;
class LRecursiveLock;

// The values of one edge at the start of one row. The screen quads keep u
// and v as 16.16 texel coordinates in the u·q and v·q words.
struct LEdgeRecord {
    int32_t x;
    union {
        float uq;
        int32_t u16;
    };
    union {
        float vq;
        int32_t v16;
    };
    int32_t depth;  // q with 23 fraction bits
    float q;
    int32_t red, green, blue, mix;  // 16.16
};
static_assert(sizeof(LEdgeRecord) == 36, "nine 32-bit fields");

class LRenderAPI_Software : public LRenderAPICLBK {
public:
    static constexpr float kDepthScale = 8388608.0f;  // 2^23
    static constexpr float kSpriteDepth = 20.0f;

    LRenderAPI_Software(L3DWorld* world, LAPICLBK* driver);
    ~LRenderAPI_Software() override;

    void RenderFrame() override;
    int32_t SetCamera(LCameraLink* camera) override;
    void DetachCamera() override;
    void DrawSprite(L3DCamera* camera, LSprite* sprite) override;
    void DrawBackground(L3DCamera* camera, LSprite* sprite) override;
    int32_t QueryCapability(uint32_t bit) override;
    void EnableState(uint32_t bit) override;
    void DisableState(uint32_t bit) override;
    void ClearDepthBuffer() override;

    // After a mode change: the row step (unless kKeep), then the default view.
    void SetRowStepAndView(int32_t step);

    // Bytes per pixel of the target depth: 1, 2, 2, 3, 4 (0 for others).
    int32_t PixelBytes() const;
    // Rows and columns the span routines may write this frame: the target
    // size cut to the depth buffer and the row tables.
    int32_t DrawRows() const;
    int32_t DrawColumns() const;

    int32_t* depthBuffer = nullptr;
    int32_t depthBufferBytes = 0;
    int32_t depthPitch = 0;
    int32_t depthRows = 0;
    uint8_t* frame = nullptr;
    int32_t* leftX = nullptr;
    int32_t* rightX = nullptr;
    LEdgeRecord* leftEdges = nullptr;
    LEdgeRecord* rightEdges = nullptr;
    int32_t tableRows = 0;  // entries of each row table
    LPolygon_Software* spritePolygon = nullptr;
    LMaterial* spriteMaterial = nullptr;

protected:
    // Grows the four row tables to the target's height (when a camera is bound).
    void SizeRowTables();
    void FreeRowTables();

private:
    // Materials whose routines were emptied by a change choose again.
    void ChooseEmptiedRoutines();
    // The sprite's corners into the work polygon; the clip test's answer.
    uint16_t PlaceSpriteCorners(L3DCamera* camera, const float* corners);
    // Runs `fill` on the work polygon unless it is wholly outside the view,
    // on its clipped vertices when partly outside.
    template <class Fill>
    void DrawSpritePolygon(L3DCamera* camera, uint16_t visibility, Fill fill);
    // The colour fill or texture blit of the depth for the work material.
    void FillSprite(bool textured, bool keyed);
    void AllocateDepthBuffer(int32_t columns, int32_t rows);
};

LRenderAPI_Software* CurrentSoftwareRenderer();
void SetCurrentSoftwareRenderer(LRenderAPI_Software* renderer);
LRecursiveLock& RenderLock();
