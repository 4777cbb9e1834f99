#pragma once
// A camera double: records what a render target tells the camera bound to it.
#include "engine3d/render_link.h"

#include <vector>

class RecordingCamera : public LCameraLink {
public:
    void SetRenderTarget(LRenderTargetLink* t) override { target = t; }
    void SetViewSize(int32_t w, int32_t h) override { size = {w, h}; }
    void SetHalfSize(float w, float h) override { half = {w, h}; }
    float GetFarDistance() const override { return far; }
    void SetFarDistance(float d) override { far = d; }
    void SetViewRect(int32_t l, int32_t b, int32_t t, int32_t r) override { rect = {l, b, t, r}; }
    LRenderTargetLink* target = nullptr;
    std::vector<int32_t> size, rect;
    std::vector<float> half;
    float far = 1000.0f;
};
