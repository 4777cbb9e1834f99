// Vertices and vertex arrays, created through a real driver and world.
#include "geometry_fixture.h"

#include "engine3d/chunk_stream.h"
#include "engine3d/material.h"
#include "engine3d/texture.h"
#include "runtime/io/buffer_stream.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <limits>

namespace {
struct DestroyRecorder : LPointCallback {
    void PointDestroyed(L3DPoint* point) override { destroyed.push_back(point); }
    std::vector<L3DPoint*> destroyed;
};
}  // namespace

TEST(BasePoint, SharingOfIdenticalVertices) {
    struct Case {
        bool sharing;
        uint8_t useByteOfFirst;  // 1: a polygon already uses the vertex
        int32_t use;
        bool same;
        int32_t count;  // use count of the first entry after the second add
    };
    const Case cases[] = {
        {true, 1, -1, true, 2}, {true, 0, -1, true, 1}, {true, 1, 7, true, 7}, {true, 0, 0, true, 0},
        {false, 1, -1, false, 1},
    };
    for (const Case& c : cases) {
        GeometryScene s;
        if (!c.sharing) s.points.DisableSharing();
        L3DPoint* a = s.points.AddPoint(1, 2, 3, 0.5f, 0.25f);
        ASSERT_NE(a, nullptr);
        a->useByte = c.useByteOfFirst;
        L3DPoint* b = s.points.AddPoint(1, 2, 3, 0.5f, 0.25f, c.use);
        EXPECT_EQ(a == b, c.same) << c.sharing << " " << int(c.useByteOfFirst) << " " << c.use;
        EXPECT_EQ(s.points.GetCount(), c.same ? 1 : 2);
        EXPECT_EQ(s.points.GetUseCount(0), c.count);
        // A different texture pair is another vertex.
        EXPECT_NE(s.points.AddPoint(1, 2, 3, 0.5f, 0.3f), a);
    }
}

TEST(BasePoint, ExistingVerticesAndRemoval) {
    GeometryScene s;
    L3DPoint* a = s.points.AddPoint(0, 0, 0, 0, 0);
    EXPECT_EQ(s.points.AddExistingPoint(a), 0);
    EXPECT_EQ(s.points.GetUseCount(0), 1);  // use byte 0: becomes 1
    a->useByte = 1;
    EXPECT_EQ(s.points.AddExistingPoint(a), 0);
    EXPECT_EQ(s.points.GetUseCount(0), 2);
    std::unique_ptr<L3DPoint> stranger(s.driver.CreatePoint(0, 0, 0, 0, 0));
    EXPECT_EQ(s.points.RemovePoint(stranger.get()), 14);
    EXPECT_EQ(s.points.RemovePoint(nullptr), 14);
    EXPECT_EQ(s.points.AddExistingPoint(stranger.get()), 1);  // appended
    EXPECT_EQ(s.points.GetPoint(1), stranger.get());
    EXPECT_EQ(s.points.GetPoint(2), nullptr);
    EXPECT_EQ(s.points.GetPoint(-1), nullptr);
    s.points.SetFlags(LBasePoint::kSharing);  // the stranger must survive its removal
    EXPECT_EQ(s.points.RemovePoint(stranger.get()), 0);
    EXPECT_EQ(s.points.IndexOf(stranger.get()), -1);
    s.points.SetFlags(LBasePoint::kInitialFlags);
}

TEST(BasePoint, CapacityShrinksToTheMultipleOfEightAboveTheCount) {
    GeometryScene s;
    s.points.DisableSharing();
    std::vector<L3DPoint*> added;
    for (int i = 0; i < 17; ++i) added.push_back(s.points.AddPoint(float(i), 0, 0, 0, 0));
    EXPECT_EQ(s.points.GetCapacity(), 24);
    for (int i = 16; i >= 0; --i) {
        ASSERT_EQ(s.points.RemovePoint(added[size_t(i)]), 0);
        const int32_t n = s.points.GetCount();
        EXPECT_EQ(n, i);
        EXPECT_EQ(s.points.GetCapacity(), (n / 8 + 1) * 8) << n;
        if (n > 0) {
            EXPECT_EQ(s.points.GetPoint(n - 1), added[size_t(n - 1)]);
        }
    }
}

TEST(BasePoint, AVertexIsDestroyedOnlyAtUseByteZeroWithFlagFour) {
    struct Case {
        uint32_t flags;
        uint8_t useByte;
        bool destroyed;
    };
    for (const Case& c : {Case{6, 0, true}, Case{6, 1, true}, Case{6, 2, false}, Case{2, 0, false}}) {
        GeometryScene s;
        s.points.SetFlags(c.flags);
        DestroyRecorder recorder;
        L3DPoint* p = s.points.AddPoint(1, 1, 1, 0, 0);
        p->callback = &recorder;
        p->useByte = c.useByte;
        ASSERT_EQ(s.points.RemovePoint(p), 0);
        EXPECT_EQ(s.points.GetCount(), 0);
        EXPECT_EQ(recorder.destroyed.size(), c.destroyed ? 1u : 0u) << c.flags << " " << int(c.useByte);
        if (!c.destroyed) {
            p->callback = nullptr;
            s.driver.DeletePoint(p);
        }
    }
}

TEST(BasePoint, CopyRecreatesEveryVertexWithItsFields) {
    GeometryScene s;
    s.points.DisableSharing();
    L3DPoint* a = s.points.AddPoint(1, 2, 3, 0.25f, 0.75f, 3);
    s.points.AddPoint(4, 5, 6, 0, 1);
    const float w[3] = {7, 8, 9}, c[3] = {10, 11, 12}, n[3] = {0, 1, 0};
    std::memcpy(a->world, w, sizeof w);
    std::memcpy(a->camera, c, sizeof c);
    std::memcpy(a->normal, n, sizeof n);
    a->screenX = 13;
    a->screenY = 14;
    a->depth = 12;
    a->inverseDepth = 1.0f / 12;
    a->depthFraction = 0.5f;
    const uint8_t colour[4] = {1, 2, 3, 4};
    std::memcpy(a->colour, colour, 4);
    a->useByte = 2;
    LBasePoint copy(s.points);
    ASSERT_EQ(copy.GetCount(), 2);
    const L3DPoint* b = copy.GetPoint(0);
    EXPECT_NE(b, a);
    EXPECT_EQ(std::memcmp(b->local, a->local, sizeof b->local), 0);
    EXPECT_EQ(std::memcmp(b->world, w, sizeof w), 0);
    EXPECT_EQ(std::memcmp(b->camera, c, sizeof c), 0);
    EXPECT_EQ(std::memcmp(b->normal, n, sizeof n), 0);
    EXPECT_EQ(b->screenX, 13);
    EXPECT_EQ(b->screenY, 14);
    EXPECT_EQ(b->depth, 12);
    EXPECT_EQ(b->inverseDepth, 1.0f / 12);
    EXPECT_EQ(b->depthFraction, 0.5f);
    EXPECT_EQ(std::memcmp(b->colour, colour, 4), 0);
    EXPECT_EQ(b->useByte, 2);
    EXPECT_EQ(b->u, 0.25f);
    EXPECT_EQ(b->v, 0.75f);
    EXPECT_EQ(copy.GetUseCount(0), 3);
    EXPECT_EQ(copy.GetUseCount(1), 1);
    EXPECT_EQ(copy.GetFlags(), s.points.GetFlags());
}

TEST(BasePoint, SaveWritesTheCountAndEightFloatsPerVertex) {
    GeometryScene s;
    L3DPoint* a = s.points.AddPoint(1, 2, 3, 0.5f, 0.25f);
    a->normal[1] = -1.0f;
    s.points.AddPoint(-4, 0, 8, 1, 0);
    CBufferStream out;
    LChunkStream writer(&out);
    s.points.Save(writer);
    ASSERT_EQ(out.GetSize(), 2u + 2 * 32);
    const uint8_t* b = out.GetData();
    EXPECT_EQ(b[0] | b[1] << 8, 2);
    const float expected[16] = {1, 2, 3, 0.5f, 0.25f, 0, -1, 0, -4, 0, 8, 1, 0, 0, 0, 0};
    for (int i = 0; i < 16; ++i) {
        uint32_t bits = uint32_t(b[2 + 4 * i]) | uint32_t(b[3 + 4 * i]) << 8 | uint32_t(b[4 + 4 * i]) << 16 |
                        uint32_t(b[5 + 4 * i]) << 24;
        float f;
        std::memcpy(&f, &bits, 4);
        EXPECT_EQ(f, expected[i]) << i;
    }
}

// ---------------------------------------------------------------------------
// Projection

TEST(PointProjection, HotSpotAndScaleComeBeforeTheRotation) {
    GeometryScene s;
    s.owner.SetHotSpot(1, 0, 0);
    s.owner.SetScale(2, 3, 4);
    s.owner.SetAngleY(1.5707964f);
    s.owner.SetPositionX(10);
    L3DPoint* p = s.points.AddPoint(1, 1, 1, 0, 0);
    p->Project(&s.owner, s.view);
    // ((1, 1, 1) + (1, 0, 0)) * (2, 3, 4) = (4, 3, 4), then rotated, then moved.
    float expected[3];
    const float scaled[3] = {4, 3, 4};
    LMatrix34::RotateVector(s.owner.GetRotation().m, scaled, expected);
    EXPECT_FLOAT_EQ(p->world[0], expected[0] + 10);
    EXPECT_FLOAT_EQ(p->world[1], expected[1]);
    EXPECT_FLOAT_EQ(p->world[2], expected[2]);
    EXPECT_GT(std::fabs(expected[0] - 4), 1.0f);  // the rotation did something
}

TEST(PointProjection, DeviceVertexInTheDocumentedOrder) {
    GeometryScene s;
    L3DPoint* p = s.points.AddPoint(30, -20, 200, 0.25f, 0.5f);
    p->AttachDeviceVertex();
    const uint8_t colour[4] = {0x11, 0x22, 0x33, 0x44};
    std::memcpy(p->colour, colour, 4);
    s.view.fogMode = LCameraView::kFogLinear;
    s.view.fogStart = 100;
    s.view.fogEnd = 300;
    p->Project(nullptr, s.view);
    EXPECT_EQ(p->depth, 200.0f);
    EXPECT_EQ(p->inverseDepth, 1.0f / 200.0f);
    EXPECT_EQ(p->depthFraction, 200.0f / 10000.0f);
    EXPECT_EQ(p->outcode, 1);
    EXPECT_EQ(p->fog, 127);  // (300 - 200) / 200 * 255 truncated
    const LDeviceVertex& d = *p->device;
    const float* f = &d.screenX;
    EXPECT_EQ(f[0], p->screenX);
    EXPECT_EQ(f[1], p->screenY);
    EXPECT_EQ(f[2], p->depthFraction);
    EXPECT_EQ(f[3], p->inverseDepth);
    EXPECT_EQ(d.diffuse, 0x44112233u);
    EXPECT_EQ(d.specular, 127u << 24);
    EXPECT_EQ(d.u0, 0.25f);
    EXPECT_EQ(d.v0, 0.5f);
    EXPECT_EQ(sizeof(LDeviceVertex), 40u);
    EXPECT_FLOAT_EQ(p->screenX, 160 + 300 * 30 / 200.0f);
    EXPECT_FLOAT_EQ(p->screenY, 120 + 300 * -20 / 200.0f);
}

TEST(PointProjection, DepthZeroIsReplacedSoNoInfinityReachesTheDevice) {
    GeometryScene s;
    L3DPoint* p = s.points.AddPoint(5, 5, 0, 0, 0);
    p->AttachDeviceVertex();
    p->Project(nullptr, s.view);
    EXPECT_EQ(p->depth, 0.01f);
    EXPECT_TRUE(std::isfinite(p->device->screenX));
    EXPECT_TRUE(std::isfinite(p->device->inverseDepth));
    EXPECT_EQ(p->outcode, 0);
}

TEST(PointProjection, FogBytesByMode) {
    struct Case {
        uint8_t mode;
        float start, end, density, depth;
        uint8_t fog;
    };
    const Case cases[] = {
        {2, 100, 300, 1, 50, 255},   {2, 100, 300, 1, 100, 255}, {2, 100, 300, 1, 250, 63},
        {2, 100, 300, 1, 300, 0},    {2, 100, 300, 1, 301, 0},   {2, 200, 200, 1, 200, 255},
        {2, 200, 200, 1, 200.5f, 0}, {4, 0, 0, 0.01f, 0.01f, 254}, {4, 0, 0, 0.01f, 100, 93},
        {4, 0, 0, 0.01f, 1000, 0},   {8, 0, 0, 0.01f, 0.01f, 255}, {8, 0, 0, 0.01f, 100, 93},
        {8, 0, 0, 0.01f, 200, 4},    {2, 100, 300, 1, std::numeric_limits<float>::quiet_NaN(), 0},
    };
    for (const Case& c : cases) {
        TestView view;
        view.fogMode = c.mode;
        view.fogStart = c.start;
        view.fogEnd = c.end;
        view.fogDensity = c.density;
        L3DPoint p(0, 0, c.depth, 0, 0);
        p.Project(nullptr, view);
        EXPECT_EQ(p.fog, c.fog) << int(c.mode) << " at " << c.depth;
    }
}

TEST(PointProjection, EnvironmentMappedLayersTakeTheTurnedNormal) {
    GeometryScene s;
    LMaterial material;
    LTexture env(nullptr, "env", nullptr);
    env.SetModeFlag(1);
    material.SetTexture(1, &env);
    L3DPoint* p = s.points.AddPoint(0, 0, 100, 0.125f, 0.375f);
    p->AttachDeviceVertex();
    p->material = &material;
    p->normal[0] = 0.6f;
    p->normal[1] = -0.8f;
    p->Project(nullptr, s.view);
    EXPECT_FLOAT_EQ(p->device->u1, (1 - 0.6f) / 2);
    EXPECT_FLOAT_EQ(p->device->v1, (1 + 0.8f) / 2);
    EXPECT_EQ(p->device->u0, 0.125f);  // layer 0 is not environment mapped
    material.SetTexture(0, &env);
    p->Project(nullptr, s.view);
    EXPECT_FLOAT_EQ(p->device->u0, (1 - 0.6f) / 2);
}
