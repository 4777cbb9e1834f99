// The camera: clamps, frustum tests against sampling, the depth buckets and
// their pool, the camera list, and recorded frames of the world.
#include "frame_fixture.h"

#include "engine3d/base_cluster.h"
#include "engine3d/chunk_stream.h"
#include "engine3d/engine_globals.h"
#include "engine3d/point.h"
#include "engine3d/sprite.h"
#include "runtime/base/alloc_fault_injection.h"
#include "runtime/io/buffer_stream.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <limits>
#include <memory>
#include <random>

namespace {

using Camera = FrameFixture;

TEST_F(Camera, ClampsTable) {
    struct Case {
        const char* what;
        void (*apply)(L3DCamera&);
        float (*read)(const L3DCamera&);
        float expected;
    } cases[] = {
        {"focus 200", [](L3DCamera& c) { c.SetFocus(200); }, [](const L3DCamera& c) { return c.GetFocus(); }, 179},
        {"focus 5", [](L3DCamera& c) { c.SetFocus(5); }, [](const L3DCamera& c) { return c.GetFocus(); }, 10},
        {"focus NaN keeps", [](L3DCamera& c) { c.SetFocus(45); c.SetFocus(std::nanf("")); },
         [](const L3DCamera& c) { return c.GetFocus(); }, 45},
        {"focus +inf", [](L3DCamera& c) { c.SetFocus(INFINITY); }, [](const L3DCamera& c) { return c.GetFocus(); }, 179},
        {"depth 100", [](L3DCamera& c) { c.SetViewDepth(100); }, [](const L3DCamera& c) { return float(c.GetViewDepth()); }, 500},
        {"depth 100 fog end", [](L3DCamera& c) { c.SetViewDepth(100); },
         [](const L3DCamera& c) { return float(c.GetFogEndDepth()); }, 500},
        {"depth 100000", [](L3DCamera& c) { c.SetViewDepth(100000); },
         [](const L3DCamera& c) { return c.GetFarDistance(); }, 65536},
        {"fog start depth follows", [](L3DCamera& c) { c.SetFogRange(0.25f, 0.5f); c.SetViewDepth(1000); },
         [](const L3DCamera& c) { return float(c.GetFogStartDepth()); }, 250},
        {"fog (0.8, 0.3) start", [](L3DCamera& c) { c.SetFogRange(0.8f, 0.3f); },
         [](const L3DCamera& c) { float s, e; c.GetFogRange(&s, &e); return s; }, 0.8f},
        {"fog (0.8, 0.3) end", [](L3DCamera& c) { c.SetFogRange(0.8f, 0.3f); },
         [](const L3DCamera& c) { float s, e; c.GetFogRange(&s, &e); return e; }, 0.8f},
        {"fog (-1, 2) end", [](L3DCamera& c) { c.SetFogRange(-1, 2); },
         [](const L3DCamera& c) { float s, e; c.GetFogRange(&s, &e); return e - s; }, 1},
        {"density 3", [](L3DCamera& c) { c.SetFog(2, 0, 0, 1, 3); }, [](const L3DCamera& c) { return c.GetFogDensity(); }, 1},
        {"density -1", [](L3DCamera& c) { c.SetFog(2, 0, 0, 1, -1); }, [](const L3DCamera& c) { return c.GetFogDensity(); }, 0},
    };
    for (const Case& k : cases) {
        L3DCamera c(&world, nullptr);
        k.apply(c);
        EXPECT_EQ(k.read(c), k.expected) << k.what;
    }
}

// Brute force: a grid of view-space points, each compared with the plain
// frustum definition (near 20, far, the four side planes through the
// opening angles), for several openings and sizes.
TEST_F(Camera, PointTestsAgreeWithTheFrustum) {
    struct Setting {
        float fov, halfW, halfH;
        int32_t depth;
    } settings[] = {{30, 160, 120, 65536}, {90, 320, 100, 2000}, {170, 50, 200, 500}};
    for (const Setting& s : settings) {
        camera->SetViewSize(s.halfW, s.halfH);
        camera->SetFocus(s.fov);
        camera->SetViewDepth(s.depth);
        const double t = std::tan(double(s.fov) * 0.5 * 3.14159265358979 / 180.0);
        const double tanA = s.halfW / (s.halfW / t), tanB = s.halfH / (s.halfH / 0.75 / t);
        int disagreements = 0, inside = 0;
        for (int iz = -2; iz <= 40; ++iz)
            for (int ix = -20; ix <= 20; ++ix)
                for (int iy = -20; iy <= 20; ++iy) {
                    const double z = iz * double(s.depth) / 32.0;
                    const double x = ix * (std::fabs(z) + 1) * tanA / 15.0, y = iy * (std::fabs(z) + 1) * tanB / 15.0;
                    const bool expected = z >= 20.0 && z < s.depth && std::fabs(x) < z * tanA * 0.9999 &&
                                          std::fabs(y) < z * tanB * 0.9999;
                    const bool borderline = std::fabs(std::fabs(x) - z * tanA) < 1e-3 * (z + 1) ||
                                            std::fabs(std::fabs(y) - z * tanB) < 1e-3 * (z + 1);
                    const int32_t got = camera->IsXYZVisible(float(x), float(y), float(z));
                    if (!borderline && got != (expected ? 1 : 0)) ++disagreements;
                    inside += got;
                    L3DPoint p;
                    p.camera[0] = float(x), p.camera[1] = float(y), p.camera[2] = float(z);
                    L3DPoint* one[1] = {&p};
                    if (!borderline) EXPECT_EQ(camera->ClipOutcode(one, 1) == 0, got == 1);
                }
        EXPECT_EQ(disagreements, 0) << s.fov;
        EXPECT_GT(inside, 100);
        EXPECT_EQ(camera->IsXYZVisible(0, 0, 20.0f), 1);
        EXPECT_EQ(camera->IsXYZVisible(0, 0, float(s.depth)), 0);
        EXPECT_EQ(camera->IsXYZVisible(0, 0, 19.99f), 0);
    }
}

TEST_F(Camera, SpheresAgreeWithSampledPoints) {
    camera->SetViewSize(160, 120);
    camera->SetFocus(60);
    camera->SetViewDepth(3000);
    camera->RenderWith(nullptr);  // no frame; the view transform is the identity
    std::mt19937 rng(3);
    auto uni = [&](float lo, float hi) { return std::uniform_real_distribution<float>(lo, hi)(rng); };
    for (int i = 0; i < 300; ++i) {
        const float sphere[4] = {uni(-2000, 2000), uni(-2000, 2000), uni(-200, 3500), uni(1, 300)};
        const int32_t answer = camera->ClassifySphere(sphere);
        // Sample points on and in the sphere: "inside" means all visible,
        // "outside" none.
        int visible = 0, total = 0;
        for (int k = 0; k < 200; ++k) {
            float d[3] = {uni(-1, 1), uni(-1, 1), uni(-1, 1)};
            const float len = std::sqrt(d[0] * d[0] + d[1] * d[1] + d[2] * d[2]);
            if (len < 1e-3f) continue;
            const float r = sphere[3] * (k % 2 ? 1.0f : 0.999f) / len;
            visible += camera->IsXYZVisible(sphere[0] + d[0] * r, sphere[1] + d[1] * r, sphere[2] + d[2] * r);
            ++total;
        }
        if (answer == LCameraView::kSphereInside) EXPECT_EQ(visible, total) << i;
        if (answer == LCameraView::kSphereOutside) EXPECT_EQ(visible, 0) << i;
    }
    // Bad view sizes never reach the planes as NaN.
    camera->SetViewSize(0, -5);
    camera->SetFocus(INFINITY);
    for (const auto& plane : camera->planes)
        for (float v : plane) EXPECT_FALSE(std::isnan(v));
    const float nan[4] = {std::nanf(""), 0, 100, 1};
    EXPECT_EQ(camera->ClassifySphere(nan), LCameraView::kSphereOutside);
}

// Bare polygons at a given depth, drawn through the paint material.
struct Depths {
    ~Depths() {
        for (auto& p : polygons) p->RemovePointAt(-1);  // ownerless: the polygon frees them
    }
    std::vector<std::unique_ptr<LPolygon>> polygons;
    LPolygon* Add(float depth, LMaterial* m) {
        auto p = std::make_unique<LPolygon>(nullptr, 3, nullptr);
        for (int i = 0; i < 3; ++i) {
            p->AddPoint(new L3DPoint(0, 0, 0, 0, 0));
            p->points[i]->depth = depth;
            p->points[i]->outcode = 1;
        }
        p->material = m;
        polygons.push_back(std::move(p));
        return polygons.back().get();
    }
};

TEST_F(Camera, BucketIndicesAndOrder) {
    Depths d;
    camera->AcquireSortBuckets();
    struct Case {
        float depth;
        int32_t answer;  // the bucket's new count, or the index when refused
    } refused[] = {
        {0.0f, 16384},     {65535.0f, 1},  {65536.0f, 0},      {1e30f, 0}, {-1.0f, 16384},
        {std::nanf(""), 16384}, {65460.0f, 19},
    };
    for (const Case& c : refused) EXPECT_EQ(camera->InsertPolygonByDepth(d.Add(c.depth, paint)), c.answer) << c.depth;
    EXPECT_EQ(camera->GetUsedBuckets(), 0);
    EXPECT_EQ(16384 - (100 >> 2), 16359);
    LPolygon* far = d.Add(1000, paint);
    LPolygon* near1 = d.Add(100, paint);
    LPolygon* near2 = d.Add(101.5f, paint);  // the same bucket as 100
    LPolygon* mid = d.Add(500, paint);
    EXPECT_EQ(camera->InsertPolygonByDepth(near1), 1);
    EXPECT_EQ(camera->InsertPolygonByDepth(far), 1);
    EXPECT_EQ(camera->InsertPolygonByDepth(near2), 2);
    EXPECT_EQ(camera->InsertPolygonByDepth(mid), 1);
    EXPECT_EQ(L3DCamera::GetBucketTable()[16359].count, 2);
    EXPECT_EQ(camera->GetUsedBuckets(), 3);
    camera->DrawBuckets();
    std::vector<LPolygon*> order;
    for (const auto& p : log.drawn) order.push_back(p.first);
    EXPECT_EQ(order, (std::vector<LPolygon*>{far, mid, near1, near2}));
    EXPECT_EQ(camera->GetUsedBuckets(), 0);
    EXPECT_EQ(camera->GetPolygonsDrawn(), 4);
    for (int32_t i = 0; i < L3DCamera::kBucketCount; ++i) ASSERT_EQ(L3DCamera::GetBucketTable()[i].count, 0);
}

// Past 10,000 polygons the pool grows by a block; nodes already linked stay
// valid (ASan would see a moved pool), and a second pass of the same size
// allocates nothing.
TEST_F(Camera, PoolGrowsInBlocksAndIsReused) {
    Depths d;
    std::vector<LPolygon*> all;
    for (int i = 0; i < 25000; ++i) all.push_back(d.Add(float(80 + (i * 37) % 60000), paint));
    for (int pass = 0; pass < 2; ++pass) {
        log.drawn.clear();
        camera->AcquireSortBuckets();
        const L3DCamera::Bucket* table = L3DCamera::GetBucketTable();
        if (pass == 1) tw::testing::SetAllocFailures(1000);
        for (LPolygon* p : all) camera->InsertPolygonByDepth(p);
        tw::testing::SetAllocFailures(0);
        EXPECT_EQ(L3DCamera::GetPoolCapacity(), 30000);
        EXPECT_EQ(L3DCamera::GetBucketTable(), table);
        camera->DrawBuckets();
        ASSERT_EQ(log.drawn.size(), all.size()) << pass;
        for (size_t i = 1; i < log.drawn.size(); ++i)
            ASSERT_GE(log.drawn[i - 1].first->MaxDepth(), log.drawn[i].first->MaxDepth() - 3.0f);
    }
}

TEST_F(Camera, CameraListRules) {
    LBaseCamera& cameras = world.GetCameraList();
    L3DCamera* second = world.CreateCamera(nullptr);
    second->SetName("Rear");
    EXPECT_EQ(cameras.FindCamera("rear"), second);
    EXPECT_EQ(cameras.FindByKeyAndName(camera, nullptr), second);
    EXPECT_EQ(cameras.FindByKeyAndName(second, nullptr), nullptr);
    EXPECT_EQ(cameras.DeleteCameraAt(5), 4);

    camera->RenderWith(&target);
    EXPECT_EQ(world.GetCurrentCamera(), static_cast<LCameraView*>(camera));
    EXPECT_EQ(cameras.DeleteCamera(camera), 0);
    EXPECT_EQ(world.GetCurrentCamera(), nullptr);
    EXPECT_EQ(target.bound, nullptr);  // the target let the camera go
    EXPECT_EQ(cameras.DeleteCamera(camera), 4);
    camera = nullptr;
}

// A location that records its AnglesChanged calls.
class CountingCamera : public L3DCamera {
public:
    using L3DCamera::L3DCamera;
    void AnglesChanged(int on) override {
        ++angleCalls;
        L3DCamera::AnglesChanged(on);
    }
    int angleCalls = 0;
};

TEST_F(Camera, PrepareMarkersRepeatsTheNoticeOnlyAfterAChange) {
    auto* other = new CountingCamera(&world, nullptr);
    world.GetCameraList().AddCamera(other);
    // Change flags cleared: one notice. Set: two.
    for (int changed = 0; changed < 2; ++changed) {
        other->AnglesChanged(0);
        other->PositionChanged(0);
        if (changed) other->PositionChanged(1);
        other->angleCalls = 0;
        world.GetCameraList().PrepareMarkers(camera);
        EXPECT_EQ(other->angleCalls, 1 + changed);
    }
}

TEST_F(Camera, SaveWritesTheCameChunk) {
    camera->SetFog(2, 0x00332211, 0.25f, 0.75f, 0.5f);
    camera->SetFocus(45);
    CBufferStream out;
    LChunkStream writer(&out);
    camera->SaveObject(writer, 0);
    std::vector<uint8_t> expected = {'C', 'A', 'M', 'E', 0, 0, 0, 0, 1, 4, 0};
    auto f32 = [&](float v) {
        uint8_t b[4];
        std::memcpy(b, &v, 4);
        expected.insert(expected.end(), b, b + 4);
    };
    f32(45.0f);
    expected.insert(expected.end(), {2, 0, 0x11, 0x22, 0x33, 0});
    f32(0.25f);
    f32(0.75f);
    f32(0.5f);
    expected.insert(expected.end(), {6, 0, 'C', 'a', 'm', 'e', 'r', 'a', 'O', 'L', 'O', 'C', 36, 0, 0, 0});
    for (int i = 0; i < 9; ++i) f32(0.0f);
    expected[4] = uint8_t(expected.size() - 8);
    EXPECT_EQ(std::vector<uint8_t>(out.GetData(), out.GetData() + out.GetSize()), expected);
}

// ---- recorded frames ----------------------------------------------------------

TEST_F(Camera, OneFrameInOrder) {
    world.SetDoubleSided(1);
    L3DObject* solid = Square("solid", 200, paint);
    L3DObject* nearGlass = Square("near", 100, glass);
    L3DObject* farGlass = Square("far", 400, glass);
    LTexture* texture = world.CreateTexture("sky", nullptr);
    world.GetTextureList().AddTexture(texture);
    ASSERT_EQ(world.SetBackground(world.GetMaterialList().CreateMaterial("sky", texture, 0, 0, nullptr)), 0);
    world.GetSpriteList().CreateSprite(&world);
    world.SetAxisVisible(1);

    Frame();
    LPolygon& triangle = GlobalTriangle();
    ASSERT_EQ(triangle.GetCount(), 3);
    L3DPoint* first = triangle.GetPoint(0);
    EXPECT_EQ(log.calls.front(), "background");
    const std::vector<std::string> tail = {"end", "sprite"};
    ASSERT_GE(log.calls.size(), 2u);
    EXPECT_EQ(std::vector<std::string>(log.calls.end() - 2, log.calls.end()), tail);
    // Owners of the drawn polygons, in order: the solid object at once in
    // the object pass, then the translucent ones far to near, then the axis.
    std::vector<const LPolygonOwner*> owners;
    for (const auto& d : log.drawn) {
        EXPECT_EQ(d.second, static_cast<LCameraView*>(camera));
        if (owners.empty() || owners.back() != d.first->owner) owners.push_back(d.first->owner);
    }
    const std::vector<const LPolygonOwner*> expected = {solid, farGlass, nearGlass, world.GetAxisMarker()};
    EXPECT_EQ(owners, expected);
    // The counter counts the unclipped polygons (the axis is partly clipped).
    const auto unclipped = std::count_if(log.drawn.begin(), log.drawn.end(),
                                         [](const auto& d) { return d.first->visibility == LPolygon::kDraw; });
    EXPECT_EQ(camera->GetPolygonsDrawn(), int32_t(unclipped));
    EXPECT_GE(unclipped, 6);
    EXPECT_EQ(world.GetDoubleSided(), 1);

    // The same scene again: the triangle is kept and the sort allocates
    // nothing (every retrying allocation would fail).
    const L3DCamera::Bucket* table = L3DCamera::GetBucketTable();
    const int32_t capacity = L3DCamera::GetPoolCapacity();
    const auto firstDrawn = log.drawn;
    tw::testing::SetAllocFailures(1000);
    Frame();
    tw::testing::SetAllocFailures(0);
    EXPECT_EQ(triangle.GetPoint(0), first);
    EXPECT_EQ(L3DCamera::GetBucketTable(), table);
    EXPECT_EQ(L3DCamera::GetPoolCapacity(), capacity);
    EXPECT_EQ(camera->IsPoolCursorAtStart(), 1);
    EXPECT_EQ(log.drawn, firstDrawn);
    EXPECT_EQ(camera->GetFrameCount(), 2);
}

// Elements that log their frame step with the world's double-sided switch.
template <class Base>
class Marker : public Base {
public:
    Marker(const char* n, L3DWorld* w, FrameLog* l) : Base(w, nullptr), name(n), log(l) {}
    void UpdateFrame(LCameraView* camera) override {
        log->calls.push_back(name + ":" + std::to_string(this->GetWorld()->GetDoubleSided()));
        Base::UpdateFrame(camera);
    }
    std::string name;
    FrameLog* log;
};
struct PlainBase : L3DObject {
    PlainBase(L3DWorld* w, LCLBKObject* c) : L3DObject("plain", w, c) {}
};
struct ZoneBase : L3DZone {
    ZoneBase(L3DWorld* w, LCLBKObject* c) : L3DZone(w, nullptr, 10, 10, 10, 1, c) {}
};
struct SoundBase : L3DSound {
    SoundBase(L3DWorld* w, LCLBKObject* c) : L3DSound("s", w, c) {}
};
struct BlobBase : L3DBlob {
    BlobBase(L3DWorld* w, LCLBKObject* c) : L3DBlob("b", w, c) {}
};

TEST_F(Camera, MarkersFirstWithDoubleSidedForcedThenBlobsThenObjects) {
    world.GetCameraList().AddCamera(new Marker<L3DCamera>("camera", &world, &log));
    world.GetZoneList().AddZone(new Marker<ZoneBase>("zone", &world, &log));
    world.GetSoundList().GetSounds().InsertAfter(new Marker<SoundBase>("sound", &world, &log), nullptr);
    world.GetBlobList().GetBlobs().InsertAfter(new Marker<BlobBase>("blob", &world, &log), nullptr);
    world.AddObject(new Marker<PlainBase>("object", &world, &log));
    Frame();
    const std::vector<std::string> expected = {"camera:1", "zone:1", "sound:1", "blob:0", "object:0", "end"};
    EXPECT_EQ(log.calls, expected);
    EXPECT_EQ(world.GetDoubleSided(), 0);
}

TEST_F(Camera, OtherRenderModesDrawNoSceneButEndIt) {
    world.SetDoubleSided(1);
    Square("solid", 200, paint);
    camera->SetRenderMode(3);
    Frame();
    EXPECT_TRUE(log.drawn.empty());
    EXPECT_EQ(log.calls, (std::vector<std::string>{"end"}));
    // Without a target nothing runs at all.
    camera->RenderWith(nullptr);
    EXPECT_EQ(camera->GetFrameCount(), 1);
}

TEST_F(Camera, DestroyingTheWorldUnbindsItsCamera) {
    FrameLog otherLog;
    RecordingTarget other(&driver, &otherLog);
    {
        L3DWorld second(&other);
        other.Bind(second.CreateCamera(nullptr), 100, 100);
        ASSERT_NE(other.bound, nullptr);
    }
    EXPECT_EQ(other.bound, nullptr);
}

}  // namespace
