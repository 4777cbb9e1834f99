// The five culling variants, observed through a recording view and
// recording draw routines of a material.
#include "geometry_fixture.h"

#include "engine3d/material.h"
#include "engine3d/polygon_routines.h"

#include <gtest/gtest.h>

#include <string>

namespace {
struct DrawLog {
    std::vector<std::string> calls;
    static void Draw(void* object, LPolygon*, LCameraView*) { static_cast<DrawLog*>(object)->calls.push_back("draw"); }
    static void Clipped(void* object, LPolygon*, LCameraView*) {
        static_cast<DrawLog*>(object)->calls.push_back("clipped");
    }
};

enum Variant { kCullAndDraw, kCullOnly, kDrawIfVisible, kCullAndDefer, kDeferIfVisible };
void RunVariant(Variant v, LPolygon* p, LCameraView* c) {
    switch (v) {
    case kCullAndDraw: CullAndDraw(p, c); break;
    case kCullOnly: CullOnly(p, c); break;
    case kDrawIfVisible: DrawIfVisible(p, c); break;
    case kCullAndDefer: CullAndDefer(p, c); break;
    case kDeferIfVisible: DeferIfVisible(p, c); break;
    }
}
}  // namespace

TEST(PolygonRoutines, FiveVariantsOnATable) {
    struct Case {
        const char* what;
        Variant variant;
        bool material;
        uint8_t transparency;  // below 255: translucent
        uint32_t materialFlags;
        bool doubleSided;
        bool facingAway;
        float z;           // placement along the view axis (20000: outside)
        float presetDepth;  // for the variants that only read the depth
        float depth;        // expected depth afterwards
        const char* outcome;  // "" nothing, "draw", "clipped", "defer"
    };
    const float kAway = -12345.0f;  // stands for "negative, as computed"
    const Case cases[] = {
        {"no material", kCullAndDraw, false, 255, 0, false, false, 500, 0, -1, ""},
        {"no material, defer", kCullAndDefer, false, 255, 0, false, false, 500, 0, -1, ""},
        {"no material, only", kCullOnly, false, 255, 0, false, false, 500, 0, -1, ""},
        {"visible opaque drawn", kCullAndDraw, true, 255, 0, false, false, 500, 0, 500, "draw"},
        {"visible, only culled", kCullOnly, true, 255, 0, false, false, 500, 0, 500, ""},
        {"outside the view", kCullAndDraw, true, 255, 0, false, false, 20000, 0, -1, ""},
        {"back-facing keeps its depth", kCullAndDraw, true, 255, 0, false, true, 500, 0, kAway, ""},
        {"double-sided", kCullAndDraw, true, 255, 0, true, true, 500, 0, 0, "draw"},
        {"double-sided, deferred", kCullAndDefer, true, 255, 0, true, true, 500, 0, 1, "defer"},
        {"double-sided, outside", kCullAndDraw, true, 255, 0, true, false, 20000, 0, -1, ""},
        {"translucent deferred", kCullAndDraw, true, 128, 0, false, false, 500, 0, 500, "defer"},
        {"translucent mirror drawn at once", kCullAndDraw, true, 128, 0x80000, false, false, 500, 0, 500, "draw"},
        {"opaque but always deferred", kCullAndDefer, true, 255, 0, false, false, 500, 0, 500, "defer"},
        {"crossing the near plane: clipped draw", kCullAndDraw, true, 255, 0, false, false, 20, 0, 20, "clipped"},
        {"draw if visible", kDrawIfVisible, true, 255, 0, false, false, 500, 3, 3, "draw"},
        {"draw if visible, culled", kDrawIfVisible, true, 255, 0, false, false, 500, -1, -1, ""},
        {"draw if visible, translucent", kDrawIfVisible, true, 10, 0, false, false, 500, 0, 0, "defer"},
        {"draw if visible, no material", kDrawIfVisible, false, 255, 0, false, false, 500, 0, 0, ""},
        {"defer if visible", kDeferIfVisible, false, 255, 0, false, false, 500, 0, 0, "defer"},
        {"defer if visible, culled", kDeferIfVisible, true, 255, 0, false, false, 500, -0.5f, -0.5f, ""},
    };
    for (const Case& c : cases) {
        GeometryScene s;
        s.world.SetDoubleSided(c.doubleSided ? 1 : 0);
        LMaterial material;
        DrawLog log;
        material.draw = {&DrawLog::Draw, &log};
        material.clippedDraw = {&DrawLog::Clipped, &log};
        material.transparency = c.transparency;
        material.flags = c.materialFlags;
        // Faces the camera at the origin (normal toward -z) unless facingAway.
        float p[3][3] = {{0, 0, c.z}, {-10, 10, c.z}, {10, 10, c.z}};
        if (c.facingAway) std::swap(p[1], p[2]);
        LPolygon* poly = s.Triangle(p);
        if (c.material) poly->material = &material;
        poly->ComputePlanes(0);
        for (int i = 0; i < 3; ++i) poly->GetPoint(i)->Project(&s.owner, s.view);
        poly->sortDepth = c.presetDepth;
        if (c.variant == kDrawIfVisible) poly->Classify(s.view);
        RunVariant(c.variant, poly, &s.view);
        if (c.depth == kAway)
            EXPECT_LT(poly->sortDepth, -100.0f) << c.what;
        else
            EXPECT_FLOAT_EQ(poly->sortDepth, c.depth) << c.what;
        std::string outcome = s.view.deferred.empty() ? "" : "defer";
        if (!log.calls.empty()) outcome = log.calls[0];
        EXPECT_EQ(outcome, c.outcome) << c.what;
        EXPECT_LE(log.calls.size() + s.view.deferred.size(), 1u) << c.what;
        EXPECT_EQ(s.view.polygonsDrawn, std::string(c.outcome) == "draw" ? 1 : 0) << c.what;
    }
}
