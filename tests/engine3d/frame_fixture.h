#pragma once
// A world over a recording render target: the driver makes real vertices
// and polygons, the target logs its frame and pass operations, and the
// materials' draw routines log every drawn polygon with its camera, so one
// log holds a frame's order. Destroyed objects are counted by name through
// their callback.
#include "engine_fixture.h"

#include "engine3d/camera.h"
#include "engine3d/material.h"
#include "engine3d/object.h"
#include "engine3d/polygon.h"
#include "engine3d/world.h"

#include <gtest/gtest.h>

#include <deque>
#include <map>
#include <string>
#include <utility>
#include <vector>

struct FrameLog {
    std::vector<std::string> calls;
    std::vector<std::pair<LPolygon*, LCameraView*>> drawn;
};

inline void LogDrawn(void* log, LPolygon* polygon, LCameraView* camera) {
    auto* l = static_cast<FrameLog*>(log);
    l->calls.push_back("draw");
    l->drawn.emplace_back(polygon, camera);
}

class RecordingTarget : public LRenderTargetLink {
public:
    RecordingTarget(LDriverLink* d, FrameLog* l) : driver(d), log(l) {}
    LDriverLink* GetDriverLink() const override { return driver; }
    void DrawSprite(L3DCamera*, LSprite*) override { log->calls.push_back("sprite"); }
    void DrawBackground(L3DCamera*, LSprite*) override { log->calls.push_back("background"); }
    void RenderFrame() override { log->calls.push_back("render"); }
    void BeginFrame() override { log->calls.push_back("restart"); }
    void EndScene() override { log->calls.push_back("end"); }
    void BeginPass1() override { log->calls.push_back("pass1"); }
    void BeginPass2() override { log->calls.push_back("pass2"); }
    void EndPasses() override { log->calls.push_back("endpasses"); }
    uint32_t GetTargetFlags() const override { return flags; }
    LCameraLink* GetBoundCamera() const override { return bound; }
    void DetachCamera() override {
        if (bound) bound->SetRenderTarget(nullptr);
        bound = nullptr;
    }
    void Bind(L3DCamera* camera, int32_t width, int32_t height) {
        bound = camera;
        camera->SetRenderTarget(this);
        camera->SetViewPixelSize(width, height);
        camera->SetViewSize(float(width / 2), float(height / 2));
    }
    LDriverLink* driver;
    FrameLog* log;
    uint32_t flags = 0;
    LCameraLink* bound = nullptr;
};

// Counts each engine object's destructions: every object gets its own tag
// as callback (addresses of destroyed objects are reused, tags are not).
class DestroyCounter {
public:
    struct Tag : LCLBKObject {
        void EngineObjectDestroyed(void*) override { ++count; }
        int count = 0;
    };
    LCLBKObject* NewTag() {
        tags.emplace_back();
        return &tags.back();
    }
    int Count(size_t i) const { return tags[i].count; }
    size_t Size() const { return tags.size(); }

private:
    std::deque<Tag> tags;
};

struct FrameFixture : ::testing::Test {
    FrameLog log;
    GeometryDriver driver;
    RecordingTarget target{&driver, &log};
    L3DWorld world{&target};
    L3DCamera* camera;
    LMaterial* paint;       // drawn at once
    LMaterial* glass;       // translucent: through the depth buckets

    FrameFixture() {
        Record(world.GetDefaultMaterial());
        paint = world.GetMaterialList().CreateMaterial("paint", nullptr, 0xFF, 0, nullptr);
        Record(paint);
        glass = world.GetMaterialList().CreateMaterial("glass", nullptr, 0xFF00, 0, nullptr);
        glass->SetSemiTransparency(128);
        Record(glass);
        camera = world.CreateCamera(nullptr);
        target.Bind(camera, 320, 240);
    }
    void Record(LMaterial* m) {
        m->draw.routine = m->clippedDraw.routine = &LogDrawn;
        m->draw.object = m->clippedDraw.object = &log;
    }
    // A 10 x 10 square facing the camera (two triangles) at depth z.
    L3DObject* Square(const char* name, float z, LMaterial* m = nullptr, bool add = true) {
        auto* o = new L3DObject(name, &world, nullptr);
        const float p[2][3][3] = {{{-5, -5, 0}, {-5, 5, 0}, {5, 5, 0}}, {{-5, -5, 0}, {5, 5, 0}, {5, -5, 0}}};
        for (const auto& t : p) {
            LPolygon* polygon = world.CreatePolygon(o, 3, nullptr);
            for (const auto& v : t) polygon->AddNewPoint(v[0], v[1], v[2], 0, 0);
            polygon->SetMaterial(m ? m : paint);
            o->AddPolygon(polygon, 1);
        }
        o->RefreshBox(1);
        o->SetPositionZ(z);
        if (add) world.AddObject(o);
        return o;
    }
    void Frame() {
        log.calls.clear();
        log.drawn.clear();
        camera->RenderWith(&target);
    }
};
