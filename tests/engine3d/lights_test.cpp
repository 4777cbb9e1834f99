// Lights: the vertex colours of both stages by hand, the colour records, the
// fixed and movable kinds, relighting through the base cluster, the marker
// and the saved chunks.
#include "engine_fixture.h"
#include "frame_fixture.h"
#include "scene_bytes.h"

#include "engine3d/chunk_stream.h"
#include "engine3d/lights.h"
#include "engine3d/primitive_builders.h"
#include "runtime/base/alloc_fault_injection.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

namespace {

class Lights : public ::testing::Test {
protected:
    GeometryDriver driver;
    FrameLog log;
    RecordingTarget target{&driver, &log};
    L3DWorld world{&target};
    LBaseLight& lights = world.GetLightList();
    L3DLightAmbiant& ambient = world.GetAmbientLight();

    // A loose object with one vertex per world position, normal (0, 1, 0).
    L3DObject* Vertices(std::initializer_list<float> xs) {
        auto* o = new L3DObject("v", &world, nullptr);
        owned.emplace_back(o);
        LBasePoint* points = o->GetPoints();
        points->DisableSharing();
        for (float x : xs) {
            L3DPoint* p = points->AddPoint(x, 0, 0, 0, 0);
            p->AttachDeviceVertex();
            p->world[0] = x;
            p->normal[1] = 1.0f;
        }
        return o;
    }
    L3DPoint* Vertex(L3DObject* o, int i) { return o->GetPoints()->GetPoint(i); }
    std::vector<std::unique_ptr<L3DObject>> owned;
};

TEST_F(Lights, AmbientBaseColourByHand) {
    L3DObject* o = Vertices({0});
    L3DPoint* v = Vertex(o, 0);
    // Default direction (-50, -50, 50): N.D = -0.57735; s = 54.67 -> 55.
    ambient.LightVertices(o, nullptr, 0);
    EXPECT_EQ(std::vector<int>(v->baseColour, v->baseColour + 4), (std::vector<int>{55, 55, 55, 55}));
    ambient.ApplyMovableLights(o, nullptr, 0, 1);
    EXPECT_EQ(v->device->diffuse, 0x37373737u);
    // Straight along the normal with intensity 10: s = 265 -> 255; night 20
    // keeps 80%: i = 204; a red ambient colour gives (204, 0, 0).
    const float up[3] = {0, 1, 0};
    ambient.SetParameters(up, 10, 20);
    ambient.SetColor(0x0000FF);
    ambient.LightObject(o);
    EXPECT_EQ(std::vector<int>(v->colour, v->colour + 4), (std::vector<int>{204, 0, 0, 204}));
    EXPECT_EQ(v->device->diffuse, 0xCCCC0000u);
    // A zero direction: length 0.0001, no NaN: s = intensity + 128.
    const float zero[3] = {0, 0, 0};
    ambient.SetDiffuseVector(zero);
    EXPECT_EQ(ambient.GetUnitDirection()[0], 0.0f);
    ambient.LightObject(o);
    EXPECT_EQ(v->colour[3], 110);  // round(0.8 * 138)
    float raw[3] = {1, 1, 1};
    ambient.GetDiffuseVector(raw);
    EXPECT_EQ(raw[1], 0.0f);
    ambient.GetDiffuseVector(nullptr);
}

TEST_F(Lights, ClampsAndKeeps) {
    const struct {
        int32_t given, night, intensity;
    } cases[] = {{150, 100, 150}, {-3, 0, 0}, {40, 40, 40}, {300, 100, 255}, {-5, 0, 0}};
    for (const auto& c : cases) {
        ambient.SetNightValue(c.given);
        ambient.SetIntensity(c.given);
        EXPECT_EQ(ambient.GetNightValue(), c.night) << c.given;
        EXPECT_EQ(ambient.GetStoredNight(), 100 - c.night) << c.given;
        EXPECT_EQ(ambient.GetIntensity(), c.intensity) << c.given;
    }
    EXPECT_EQ(lights.AddLight(2, nullptr, 100, 300, 0xFF, nullptr)->GetIntensity(), 255);
    L3DLight* dim = lights.AddLight(2, nullptr, 100, -5, 0xFF, nullptr);
    EXPECT_EQ(dim->GetIntensity(), 0);
    dim->SetParameters(-99999, 20, 1);
    EXPECT_EQ(dim->GetRadius(), 100);
    dim->SetParameters(250, -99999, 1);
    EXPECT_EQ(dim->GetIntensity(), 20);
    EXPECT_EQ(dim->GetRadius(), 250);
}

TEST_F(Lights, PointLightAtThreeDistancesAndBeyond) {
    // Vertices at 50, 100 (the radius), 10 and 150 from a green light of
    // radius 100 and intensity 255 at the origin.
    L3DObject* o = Vertices({50, 100, 10, 150});
    L3DLight* light = lights.AddLight(2, nullptr, 100, 255, 0x00FF00, nullptr);
    for (int i = 0; i < 4; ++i) {
        uint8_t* base = Vertex(o, i)->baseColour;
        base[0] = 100, base[1] = 50, base[2] = 200, base[3] = 40;
    }
    ambient.ApplyMovableLights(o, &light, 1, 1);
    const std::vector<std::vector<int>> expected = {
        {50, 152, 100, 168},  // f = 0.498
        {100, 50, 200, 40},   // f = 0: unchanged
        {10, 234, 21, 255},   // brightness 269.5 capped
        {100, 50, 200, 40},   // outside the range box
    };
    for (int i = 0; i < 4; ++i) {
        const uint8_t* c = Vertex(o, i)->colour;
        EXPECT_EQ(std::vector<int>(c, c + 4), expected[size_t(i)]) << i;
    }
    EXPECT_EQ(Vertex(o, 0)->device->diffuse, 168u << 24 | 50u << 16 | 152u << 8 | 100u);
    // The base colour is the fixed stage's: untouched by the movable one.
    EXPECT_EQ(Vertex(o, 0)->baseColour[1], 50);
    // A hidden light adds nothing; restart clear with no lights does nothing.
    light->Hide(0);
    ambient.ApplyMovableLights(o, &light, 1, 1);
    EXPECT_EQ(Vertex(o, 0)->colour[1], 50);
    Vertex(o, 0)->colour[1] = 7;
    ambient.ApplyMovableLights(o, nullptr, 0, 0);
    EXPECT_EQ(Vertex(o, 0)->colour[1], 7);
}

TEST_F(Lights, DegenerateRadiusAndVerticesKeepTheirColours) {
    L3DObject* o = Vertices({0, 5});
    L3DLight* zero = lights.AddLight(2, nullptr, 0, 255, 0x00FF00, nullptr);
    L3DLight* negative = lights.AddLight(2, nullptr, -10, 255, 0x00FF00, nullptr);
    const float nan = std::numeric_limits<float>::quiet_NaN();
    Vertex(o, 1)->normal[1] = nan;
    Vertex(o, 1)->baseColour[0] = 44;
    L3DLight* both[2] = {zero, negative};
    ambient.LightVertices(o, both, 2);
    ambient.ApplyMovableLights(o, both, 2, 1);
    EXPECT_EQ(Vertex(o, 0)->colour[1], Vertex(o, 0)->baseColour[1]);  // radius 0 and -10 light nothing
    EXPECT_EQ(Vertex(o, 1)->baseColour[0], 44);                       // NaN normal: base kept
    Vertex(o, 1)->colour[0] = 33;
    ambient.LightObject(o);
    EXPECT_EQ(Vertex(o, 1)->colour[0], 33);
    Vertex(o, 1)->normal[1] = 1.0f;
    Vertex(o, 1)->world[2] = nan;  // NaN position too
    ambient.LightObject(o);
    EXPECT_EQ(Vertex(o, 1)->colour[0], 33);
}

TEST_F(Lights, ColourRecordsAreShared) {
    L3DLight* a = lights.AddLight(2, nullptr, 100, 100, 0x00FF00, nullptr);
    L3DLight* b = lights.AddLight(4, nullptr, 100, 100, 0x00FF00, nullptr);
    ASSERT_EQ(a->GetColourRecord(), b->GetColourRecord());
    LColourRecord* green = a->GetColourRecord();
    EXPECT_EQ(green->users, 2);
    EXPECT_EQ(green->green, 255);
    EXPECT_EQ(lights.GetColourRecordCount(), 1);
    b->SetColor(0x0000FF);
    EXPECT_EQ(b->GetColor(), 0x0000FFu);
    EXPECT_EQ(b->GetColourRecord()->red, 255);
    EXPECT_EQ(lights.GetColourRecordCount(), 2);
    EXPECT_EQ(green->users, 1);
    EXPECT_EQ(lights.FindColour(0x00FF00), green);  // the old record stays
    b->SetColor(uint32_t(-99999));
    EXPECT_EQ(b->GetColor(), 0x0000FFu);
}

TEST_F(Lights, FixedLightsStayWhereTheyWereMade) {
    L3DLocation at(0, 0, 0, 10, 20, 30);
    L3DLight* fixed = lights.AddLight(4, &at, 100, 50, 0xFFFFFF, nullptr);
    EXPECT_FALSE(fixed->IsMovable());
    EXPECT_EQ(fixed->SetPositionX(99), 0);
    L3DLocation above(0, 0, 0, 10, 500, 30);
    fixed->LookAt(&above, 0);
    EXPECT_EQ(fixed->GetPosition()[0], 10.0f);
    EXPECT_EQ(fixed->GetAngles()[0], 0.0f);
    fixed->SetParameters(500, 10, 1);
    EXPECT_EQ(fixed->GetRadius(), 100);
    EXPECT_EQ(fixed->GetIntensity(), 10);
    EXPECT_EQ(fixed->GetRangeMin()[1], -80.0f);
    L3DLight* movable = lights.AddLight(2, &at, 100, 50, 0xFFFFFF, nullptr);
    EXPECT_EQ(movable->SetPositionX(99), 1);
    EXPECT_EQ(movable->GetRangeMax()[0], 199.0f);  // the range box follows the move
    EXPECT_EQ(lights.GetFixedLights().GetCount(), 1);
    EXPECT_EQ(lights.GetMovableLights().GetCount(), 1);
    L3DObject* copy = fixed->Duplicate(nullptr);
    ASSERT_NE(copy, nullptr);
    EXPECT_TRUE(copy->IsMovable());
    EXPECT_EQ(copy->GetPosition()[1], 20.0f);
    EXPECT_EQ(static_cast<L3DLight*>(copy)->GetRadius(), 100);
    EXPECT_EQ(lights.GetMovableLights().GetCount(), 2);
}

TEST_F(Lights, RelightFindsAtMostSixteenObjectsElseTheClusterKeepsIt) {
    for (int i = 0; i < 20; ++i) {
        auto* o = new L3DObject("o", &world, nullptr);
        o->SetPositionX(float(i));
        world.AddObject(o);
    }
    L3DLight* near = lights.AddLight(2, nullptr, 100, 50, 0xFFFFFF, nullptr);
    EXPECT_EQ(near->GetLitCount(), 16);
    EXPECT_EQ(near->GetLit(0)->GetMovableLightCount(), 1);
    L3DLocation far(0, 0, 0, 5000, 0, 0);
    L3DLight* lonely = lights.AddLight(2, &far, 100, 50, 0xFFFFFF, nullptr);
    EXPECT_EQ(lonely->GetLitCount(), 0);
    LBase3DCluster& cluster = world.GetBaseCluster();
    EXPECT_EQ(cluster.GetMovableLightCount(), 1);
    lonely->Hide(0);  // Unlight: it leaves the cluster
    EXPECT_EQ(cluster.GetMovableLightCount(), 0);
    // An object destroyed while lit leaves the light's list.
    L3DObject* first = near->GetLit(0);
    world.RemoveObject(first);
    EXPECT_EQ(near->GetLitCount(), 15);
    for (int i = 0; i < near->GetLitCount(); ++i) EXPECT_NE(near->GetLit(i), first);
    near->Hide(0);
    EXPECT_EQ(near->GetLitCount(), 0);
    EXPECT_EQ(world.GetObject(0)->GetMovableLightCount(), 0);
}

TEST_F(Lights, DeleteFindAndFailure) {
    L3DLight* a = lights.AddLight(2, nullptr, 100, 50, 0xFF, nullptr);
    L3DLight* b = lights.AddLight(4, nullptr, 100, 50, 0xFF, nullptr);
    b->SetName("lamp");
    EXPECT_EQ(lights.FindByName("LAMP"), b);
    EXPECT_EQ(lights.FindFromByName(b, "lamp"), b);  // inclusive
    EXPECT_EQ(lights.FindFromByName(a, "light"), a);
    EXPECT_EQ(lights.FindByName(nullptr), nullptr);
    EXPECT_EQ(lights.GetAt(1), b);
    EXPECT_EQ(lights.GetAt(2), nullptr);
    EXPECT_EQ(lights.DeleteLightAt(5), 10);
    EXPECT_EQ(lights.DeleteLight(nullptr), 10);
    EXPECT_EQ(lights.RemoveLightNode(nullptr), 10);
    // The colour record exists: the next allocation is the light itself.
    tw::testing::SetAllocFailures(2);
    EXPECT_EQ(lights.AddLight(2, nullptr, 100, 50, 0xFF, nullptr), nullptr);
    tw::testing::SetAllocFailures(0);
    EXPECT_EQ(lights.GetCount(), 2);
    EXPECT_EQ(lights.FindColour(0xFF)->users, 2);
    EXPECT_EQ(lights.DeleteLight(a), 0);
    EXPECT_EQ(lights.GetCount(), 1);
    EXPECT_EQ(lights.DeleteLightAt(-2), 0);
    EXPECT_EQ(lights.GetCount() + lights.GetFixedLights().GetCount() + lights.GetMovableLights().GetCount(), 0);
}

TEST_F(Lights, MarkerHasEightPointsAndFiveTriangles) {
    const struct {
        int32_t radius;
        float s;
    } cases[] = {{100, 10.0f}, {400, 20.0f}};
    for (const auto& c : cases) {
        L3DLight* light = lights.AddLight(2, nullptr, c.radius, 50, 0xFF, nullptr);
        L3DObject* box = light->GetBox();
        ASSERT_EQ(box->GetPoints()->GetCount(), 8);
        ASSERT_EQ(box->GetPolygonList()->GetCount(), 5);
        EXPECT_EQ(box->GetPoints()->GetPoint(1)->local[0], c.s);
        EXPECT_EQ(box->GetPoints()->GetPoint(3)->local[2], -float(c.radius));
        EXPECT_EQ(box->GetPoints()->GetPoint(6)->local[2], c.s * 0.5f - float(c.radius));
        auto* first = static_cast<LPolygon*>(box->GetPolygonList()->GetHead()->value);
        EXPECT_STREQ(first->material->GetNameText(), "$Ruk3D Mat$ Light Material");
        EXPECT_EQ(first->GetPoint(0), box->GetPoints()->GetPoint(2));
        EXPECT_EQ(first->GetPoint(2), box->GetPoints()->GetPoint(3));
    }
    // The show flag refuses the marker.
    lights.SetShowFlag(0);
    L3DLight* hidden = lights.AddLight(2, nullptr, 100, 50, 0xFF, nullptr);
    EXPECT_FALSE(hidden->IsVisible());
    hidden->ShowBox(1, 0);
    EXPECT_FALSE(hidden->IsBoxVisible());
}

TEST_F(Lights, SavedChunks) {
    L3DLocation at(0, 0, 0, 1, 2, 3);
    L3DLight* fixed = lights.AddLight(4, &at, 300, 40, 0x123456, nullptr);
    L3DLight* movable = lights.AddLight(2, nullptr, 70, 9, 0xABCDEF, nullptr);
    L3DLight* skipped = lights.AddLight(2, nullptr, 5, 5, 0, nullptr);
    skipped->SetSavable(0);
    (void)fixed, (void)movable;
    CBufferStream out;
    LChunkStream writer(&out);
    lights.WriteLightChunk(writer, 0);
    SceneBytes body;
    body.U16(1).U16(1);
    body.U16(70).U16(9).F32(0).F32(0).F32(0).U32(0xABCDEF).Str("Light").Location(0, 0, 0);
    body.U16(300).U16(40).F32(1).F32(2).F32(3).U32(0x123456).Str("Light").Location(1, 2, 3);
    EXPECT_EQ(Written(out), SceneBytes().Chunk("BLIG", body).b);

    CBufferStream ambientOut;
    LChunkStream ambientWriter(&ambientOut);
    const float direction[3] = {1, 2, 3};
    ambient.SetParameters(direction, 77, 30);
    ambient.SetColor(0x445566);
    ambient.Save(ambientWriter);
    SceneBytes amli;
    amli.U16(30).U16(77).F32(1).F32(2).F32(3).U32(0x445566);
    EXPECT_EQ(Written(ambientOut), SceneBytes().Chunk("AMLI", amli).b);
}

// Frames: a brick before the camera, a movable light near it.
class LitFrames : public Lights {
protected:
    void SetUp() override {
        camera = world.CreateCamera(nullptr);
        target.Bind(camera, 200, 200);
        brick = BuildBrick(&world, 60, 60, 60);
        brick->SetPositionZ(500);
        world.AddObject(brick, 1);
    }
    void Frame() { camera->RenderWith(&target); }
    L3DCamera* camera = nullptr;
    L3DObject* brick = nullptr;
};

TEST_F(LitFrames, MovingALightRedoesOnlyTheSecondStage) {
    L3DLocation at(0, 0, 0, 0, 0, 450);
    L3DLight* light = lights.AddLight(2, &at, 200, 255, 0x00FF00, nullptr);
    ASSERT_EQ(light->GetLitCount(), 1);
    Frame();
    EXPECT_GE(lights.counts.basePasses, 1);
    L3DPoint* v = brick->GetPoints()->GetPoint(0);
    const std::vector<int> base(v->baseColour, v->baseColour + 4);
    const std::vector<int> lit(v->colour, v->colour + 4);
    EXPECT_NE(base, lit);  // the light reaches the brick
    // A frame without changes relights nothing.
    lights.counts = LLightingCounts();
    Frame();
    EXPECT_EQ(lights.counts.relights + lights.counts.basePasses + lights.counts.movablePasses +
                  lights.counts.objectPasses,
              0);
    // The light moves away: one relight, then only the movable stage.
    light->SetPositionZ(300);
    EXPECT_EQ(lights.counts.relights, 1);
    Frame();
    EXPECT_EQ(lights.counts.basePasses, 0);
    EXPECT_EQ(lights.counts.movablePasses, 1);
    EXPECT_EQ(std::vector<int>(v->baseColour, v->baseColour + 4), base);
    EXPECT_NE(std::vector<int>(v->colour, v->colour + 4), lit);
}

TEST_F(LitFrames, DeletingElementsBetweenFramesLeavesNothingDangling) {
    L3DLocation at(0, 0, 0, 0, 0, 450);
    L3DLight* light = lights.AddLight(2, &at, 200, 255, 0x00FF00, nullptr);
    L3DZone* zone = world.GetZoneList().CreateZone(&at, 50, 50, 50, 1, nullptr);
    L3DSound* sound = world.GetSoundList().CreateSound("beep", nullptr);
    Frame();
    lights.DeleteLight(light);
    world.GetZoneList().DeleteZone(zone);
    world.GetSoundList().DeleteSound(sound);
    Frame();
    EXPECT_EQ(brick->GetMovableLightCount(), 0);
    world.RemoveObject(brick);
    Frame();
}

}  // namespace
