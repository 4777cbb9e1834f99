#pragma once
// Objects in a world over a driver that makes real vertices and polygons;
// the render target records indexed draws and can claim to be hardware; a
// camera view at the origin looking along +z (near 1, far 1000) whose sphere
// answer can be forced; materials whose draw routines record the polygons.
#include "engine_fixture.h"

#include "engine3d/camera_view.h"
#include "engine3d/material.h"
#include "engine3d/material_cache.h"
#include "engine3d/object.h"
#include "engine3d/point.h"
#include "engine3d/polygon.h"
#include "runtime/io/buffer_stream.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <set>
#include <string>
#include <vector>

class ObjectDriver : public GeometryDriver {
public:
    int32_t IsHardware() const override { return hardware; }
    int32_t hardware = 0;
};

class ObjectTarget : public TestTarget {
public:
    using TestTarget::TestTarget;
    void DrawScene(LCacheMaterial* cache, LCameraView*, LPolygonOwner*) override {
        // The triangles behind the indices, by their numbered vertices.
        for (LDataNode* n = cache->GetHead(); n; n = n->next) {
            auto* t = static_cast<LPolygon*>(n->value);
            for (int32_t i = 0; i + 2 < cache->GetIndexCount(); i += 3) {
                const uint16_t* x = cache->GetIndices() + i;
                if (t->points[0]->index == x[0] && t->points[1]->index == x[1] && t->points[2]->index == x[2])
                    indexed.push_back(t);
            }
        }
    }
    std::vector<LPolygon*> indexed;
};

class ObjectView : public LCameraView {
public:
    ObjectView() {
        const float s = 1.0f / std::sqrt(2.0f);
        Set(kLeft, s, 0, s, 0);
        Set(kRight, -s, 0, s, 0);
        Set(kBottom, 0, s, s, 0);
        Set(kTop, 0, -s, s, 0);
        Set(kNear, 0, 0, 1, 1);
        Set(kFar, 0, 0, -1, -1000);
        focalX = focalY = 100.0f;
        centreX = 160.0f;
        centreY = 120.0f;
        farDistance = 1000.0f;
    }
    void Set(uint32_t bit, float x, float y, float z, float d) {
        float* p = Plane(bit);
        p[0] = x, p[1] = y, p[2] = z, p[3] = d;
    }
    int32_t Defer(LPolygon* p) override {
        deferred.push_back(p);
        return 0;
    }
    int32_t ClassifySphere(const float* sphere) const override {
        ++sphereTests;
        return forcedAnswer ? forcedAnswer : LCameraView::ClassifySphere(sphere);
    }
    std::vector<LPolygon*> deferred;
    int32_t forcedAnswer = 0;
    mutable int sphereTests = 0;
};

inline void RecordDrawn(void* list, LPolygon* polygon, LCameraView*) {
    static_cast<std::vector<LPolygon*>*>(list)->push_back(polygon);
}

struct ObjectFixtureBase : ::testing::Test {
    ObjectDriver driver;
    ObjectTarget target{&driver};
    L3DWorld world{&target};
    ObjectView view;
    std::vector<LPolygon*> drawn;
    LMaterial* paint;

    ObjectFixtureBase() {
        paint = world.GetMaterialList().CreateMaterial("paint", nullptr, 0xFF, 0, nullptr);
        paint->draw.routine = &RecordDrawn;
        paint->draw.object = &drawn;
        paint->clippedDraw.routine = &RecordDrawn;
        paint->clippedDraw.object = &drawn;
    }

    // A triangle of three new vertices in the object's current frame.
    LPolygon* Triangle(L3DObject* o, const float (&p)[3][3], LMaterial* m = nullptr) {
        LPolygon* t = world.CreatePolygon(o, 3, nullptr);
        for (const auto& v : p) t->AddNewPoint(v[0], v[1], v[2], 0, 0);
        t->SetMaterial(m ? m : paint);
        o->AddPolygon(t, 1);
        return t;
    }
    // An object with a unit square (two triangles facing -z) at z = 0,
    // x and y in [0, 1].
    L3DObject* Square(const char* name, bool add = true) {
        auto* o = new L3DObject(name, &world, nullptr);
        Triangle(o, {{0, 0, 0}, {0, 1, 0}, {1, 1, 0}});
        Triangle(o, {{0, 0, 0}, {1, 1, 0}, {1, 0, 0}});
        o->RefreshBox(1);
        if (add) world.AddObject(o);
        return o;
    }
    // One whole frame of the world's pipeline for one object.
    void Frame(L3DObject* o) {
        o->FrameStep(&view);
        o->UpdateFrame(&view);
        o->DrawFrame(&view);
    }
};

// The tags of the chunks found in order at the top level of a payload
// after `skip` bytes.
inline std::vector<std::string> ChunkTags(const uint8_t* data, size_t size) {
    std::vector<std::string> tags;
    for (size_t at = 0; at + 8 <= size;) {
        uint32_t length;
        std::memcpy(&length, data + at + 4, 4);
        tags.emplace_back(reinterpret_cast<const char*>(data + at), 4);
        at += 8 + length;
    }
    return tags;
}
