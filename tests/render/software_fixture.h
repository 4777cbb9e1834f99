#pragma once
// A software renderer over a memory frame (a test presenter), and
// hand-made screen-space polygons for the span routines: vertices placed
// directly in screen coordinates with their q (1 / depth) and colours.
#include "engine3d/material.h"
#include "engine3d/point.h"
#include "engine3d/polygon.h"
#include "render/driver.h"
#include "render/software/software_polygon.h"
#include "render/software/software_renderer.h"
#include "render/software/span_tables.h"

#include <cstdint>
#include <cstring>
#include <memory>
#include <vector>

class MemoryPresenter : public LRenderAPI_Software {
public:
    explicit MemoryPresenter(L3DWorld* world = nullptr, LAPICLBK* driver = nullptr)
        : LRenderAPI_Software(world, driver) {}

    // A target of the size and depth, every byte `fill`, depth buffer 0.
    void Setup(int32_t w, int32_t h, int32_t d, uint8_t fill = 0x11) {
        width = w;
        height = h;
        depth = uint8_t(d);
        const int32_t bytes = (d + 1) / 8;
        pitch = (w * bytes + 3) & ~3;
        pixels.assign(size_t(pitch) * size_t(h), fill);
        SetRowStep(pitch);
        states = 0;
    }
    // Makes this the current renderer with its tables, for drawing by hand.
    void Begin() {
        SetCurrentSoftwareRenderer(this);
        ClearDepthBuffer();
        SizeRowTables();
        frame = pixels.data();
    }
    void* LockTarget() override {
        ++locks;
        return lockFails ? nullptr : pixels.data();
    }
    void UnlockTarget(void*) override { ++unlocks; }
    void BeginFrame() override { ++begins; }
    void EndFrame() override { ++ends; }

    const uint8_t* At(int32_t x, int32_t y) const {
        return pixels.data() + size_t(y) * size_t(pitch) + size_t(x) * size_t((depth + 1) / 8);
    }
    uint32_t Pixel(int32_t x, int32_t y) const {
        uint32_t v = 0;
        std::memcpy(&v, At(x, y), size_t((depth + 1) / 8));
        return v;
    }
    int32_t Depth(int32_t x, int32_t y) const { return depthBuffer[y * depthPitch + x]; }

    std::vector<uint8_t> pixels;
    int32_t pitch = 0;
    int locks = 0, unlocks = 0, begins = 0, ends = 0;
    bool lockFails = false;
    using LRenderAPI_Software::SizeRowTables;
};

// A polygon over its own vertices, with an owner for the shading flags.
struct HandPolygon {
    LPolygonOwner owner;
    std::vector<std::unique_ptr<L3DPoint>> vertices;
    std::unique_ptr<LPolygon_Software> polygon;

    explicit HandPolygon(LMaterial* material, uint32_t ownerFlags = 0) {
        owner.objectFlags = ownerFlags;
        polygon.reset(new LPolygon_Software(&owner, 4, nullptr));
        polygon->material = material;
    }
    // A vertex at screen (x, y) with depth value q.
    L3DPoint* Add(float x, float y, float q = 0.05f, uint8_t r = 0, uint8_t g = 0, uint8_t b = 0, uint8_t mix = 0) {
        vertices.emplace_back(new L3DPoint());
        L3DPoint* p = vertices.back().get();
        p->screenX = x;
        p->screenY = y;
        p->inverseDepth = q;
        p->depth = q != 0.0f ? 1.0f / q : 0.0f;
        p->colour[0] = r, p->colour[1] = g, p->colour[2] = b, p->colour[3] = mix;
        polygon->AddPoint(p);
        return p;
    }
    // An axis-aligned rectangle (x0, y0) - (x1, y1) at one q.
    HandPolygon& Rect(float x0, float y0, float x1, float y1, float q = 0.05f) {
        Add(x0, y0, q);
        Add(x1, y0, q);
        Add(x1, y1, q);
        Add(x0, y1, q);
        return *this;
    }
    void Draw(int32_t depth, int32_t entry) { SpanTableFor(depth)[entry](polygon.get()); }
};

// A material with a render mode and colour (0x00BBGGRR), not in a world.
inline std::unique_ptr<LMaterial> MakeMaterial(uint32_t modeFlags, uint32_t colour, uint8_t transparency = 255) {
    std::unique_ptr<LMaterial> m(new LMaterial(nullptr, "m", nullptr, colour));
    m->flags = modeFlags;
    m->transparency = transparency;
    return m;
}

constexpr int32_t kAllDepths[] = {8, 15, 16, 24, 32};
