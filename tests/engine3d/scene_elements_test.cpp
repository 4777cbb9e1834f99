// Sound objects, zones, blobs and the reference grid through the world's
// lists.
#include "engine_fixture.h"
#include "frame_fixture.h"
#include "scene_bytes.h"

#include "engine3d/chunk_stream.h"
#include "engine3d/grid.h"
#include "runtime/base/alloc_fault_injection.h"

#include <gtest/gtest.h>

#include <cmath>
#include <string>

namespace {

class Elements : public ::testing::Test {
protected:
    GeometryDriver driver;
    FrameLog log;
    RecordingTarget target{&driver, &log};
    L3DWorld world{&target};
    L3DCamera* camera = world.CreateCamera(nullptr);
    L3DSoundList& sounds = world.GetSoundList();
    LBase3DZone& zones = world.GetZoneList();
    LBase3DBlob& blobs = world.GetBlobList();
    void SetUp() override { target.Bind(camera, 200, 100); }
};

TEST_F(Elements, SoundVolumeAndPan) {
    L3DSound* sound = sounds.CreateSound("bell.wav", nullptr);
    ASSERT_NE(sound, nullptr);
    const float mid = 0.0f, right = 32768.0f, left = -32768.0f;
    // At the camera: the maximum volume, and beside it with x not > 0: left.
    sound->Update(camera);
    EXPECT_EQ(sound->GetVolume(), 65536.0f);
    EXPECT_EQ(sound->GetPan(), left);
    const struct {
        float x, z, pan;
    } cases[] = {
        {0, 5000, mid},      // at the fade distance, straight ahead
        {0, 9000, mid},      // beyond it
        {0, 2500, mid},      // half way
        {300, 0.5f, right},  // beside, to the right (|z| < 1)
        {-300, 0, left},
    };
    for (const auto& c : cases) {
        sound->SetPositionAndAngles(0, 0, 0, c.x, 0, c.z);
        sound->ClearChanged();
        sound->Update(camera);
        EXPECT_EQ(sound->GetChanged(), 1);
        EXPECT_NEAR(sound->GetVolume(), std::fmax(0.0f, 65536.0f * (1.0f - std::hypot(c.x, c.z) / 5000.0f)), 0.05f)
            << c.x << " " << c.z;
        EXPECT_NEAR(sound->GetPan(), c.pan, 0.01f) << c.x << " " << c.z;
    }
    // Behind the camera: the screen x negated, then clamped.
    const float focal = camera->focalX;
    sound->SetPositionAndAngles(0, 0, 0, -10, 0, -100);
    sound->Update(camera);
    const float s = std::fmin(200.0f, std::fmax(0.0f, -(-10.0f * focal / -100.0f + 100.0f)));
    EXPECT_NEAR(sound->GetPan(), 65536.0f * s / 200.0f - 32768.0f, 0.01f);
    // A one-pixel view (half width 0 in the binding) gives the pan midway.
    camera->SetViewSize(0.0f, 0.0f);
    sound->SetPositionAndAngles(0, 0, 0, 50, 0, 100);
    sounds.UpdateAll(camera);
    EXPECT_TRUE(std::isfinite(sound->GetPan()));
    // An unlisted sound object's update does nothing.
    L3DSound loose("x", &world, nullptr);
    loose.ClearChanged();
    loose.Update(camera);
    EXPECT_EQ(loose.GetChanged(), 0);
    EXPECT_EQ(loose.GetVolume(), 32768.0f);
}

TEST_F(Elements, SoundListFindAndDelete) {
    L3DSound* a = sounds.CreateSound("Bell", nullptr);
    L3DSound* b = sounds.CreateSound(std::string(300, 'k').c_str(), nullptr);
    b->SetName("speaker");
    EXPECT_EQ(std::string(b->GetSampleNameText()).size(), 255u);
    char small[4];
    a->GetSampleName(small, sizeof small);
    EXPECT_STREQ(small, "Bel");
    EXPECT_EQ(sounds.FindByName("bell"), a);
    EXPECT_EQ(sounds.FindByName("Sound_Object"), nullptr);  // samples, not objects
    EXPECT_EQ(sounds.FindNextByName(a, "sound_object"), a);  // objects, inclusive
    EXPECT_EQ(sounds.FindNextByName(a, "SPEAKER"), b);
    EXPECT_EQ(sounds.FindByName(nullptr), nullptr);
    EXPECT_EQ(sounds.GetAt(sounds.GetCount()), nullptr);
    EXPECT_EQ(sounds.GetAt(-1), nullptr);
    EXPECT_EQ(sounds.DeleteSoundAt(7), 9);
    L3DSound stray("s", &world, nullptr);
    EXPECT_EQ(sounds.DeleteSound(&stray), 9);
    // The marker: five points and four triangles in the box.
    LBasePoint* box = a->GetBox()->GetPoints();
    EXPECT_EQ(box->GetCount(), 8 + 5);
    EXPECT_EQ(a->GetBox()->GetPolygonList()->GetCount(), 6 + 4);
    EXPECT_TRUE(a->IsBoxVisible());
    sounds.SetShowFlag(0);
    L3DSound* hidden = sounds.CreateSound("h", nullptr);
    EXPECT_FALSE(hidden->IsBoxVisible());
    tw::testing::SetAllocFailures(2);
    EXPECT_EQ(sounds.CreateSound("n", nullptr), nullptr);
    tw::testing::SetAllocFailures(0);
    EXPECT_EQ(sounds.DeleteSoundAt(-1), 0);
    EXPECT_EQ(sounds.GetCount(), 0);
}

TEST_F(Elements, SoundChunk) {
    L3DSound* sound = sounds.CreateSound("b.wav", nullptr);
    sound->SetPositionAndAngles(0, 0, 0, 0, 0, 2500);
    sound->Update(camera);  // pan 0, volume 32768
    sound->SetPositionAndAngles(0, 0, 0, 1, 2, 3);
    sounds.CreateSound("skip", nullptr)->SetSavable(0);
    CBufferStream out;
    LChunkStream writer(&out);
    sounds.Save(writer);
    SceneBytes body;
    body.U16(1).Str("b.wav").U16(0).U16(0x8000).Str("Sound_Object").Location(1, 2, 3);
    EXPECT_EQ(Written(out), SceneBytes().Chunk("BSOU", body).b);
}

TEST_F(Elements, ZoneBoxesAndTests) {
    L3DLocation at(0, 0, 0, 10, 0, 0);
    L3DZone* zone = zones.CreateZone(&at, 101, 100, 100, 1, nullptr);
    ASSERT_NE(zone, nullptr);
    LBasePoint* corners = zone->GetBox()->GetPoints();
    ASSERT_EQ(corners->GetCount(), 8);
    EXPECT_EQ(corners->GetPoint(5)->local[0], 50.0f);  // 101 >> 1
    EXPECT_EQ(zone->GetBox()->GetPolygonList()->GetCount(), 12);
    EXPECT_TRUE(zone->IsBoxVisible());
    const struct {
        float x;
        int32_t in;
    } cases[] = {{60.0f, 1}, {60.01f, 1}, {60.02f, 0}, {-40.01f, 1}, {-40.02f, 0}};
    for (const auto& c : cases) {
        L3DLocation p(0, 0, 0, c.x, 0, 0);
        EXPECT_EQ(zone->IsIn(&p), c.in) << c.x;
    }
    zone->BuildBox(nullptr, 40, -99999, -99999, 1);
    EXPECT_EQ(zone->GetLengthX(), 40u);
    EXPECT_EQ(zone->GetLengthY(), 100u);
    EXPECT_EQ(zone->GetLengthZ(), 100u);
    // The same lengths without a location refresh no camera.
    camera->AnglesChanged(0);
    zone->BuildBox(nullptr, 40, 100, 100, 1);
    EXPECT_FALSE(camera->GetFlags() & L3DLocation::kFlagAnglesChanged);
    zone->BuildBox(nullptr, 41, 100, 100, 1);
    EXPECT_TRUE(camera->GetFlags() & L3DLocation::kFlagAnglesChanged);
    // Show and Hide only move the marker; the show flag keeps it hidden.
    zone->Hide(0);
    EXPECT_TRUE(zone->IsVisible());
    EXPECT_FALSE(zone->IsBoxVisible());
    zones.SetShowFlag(0);
    zone->Show();
    EXPECT_FALSE(zone->IsBoxVisible());
    EXPECT_EQ(zones.AddZone(nullptr), 8);
}

TEST_F(Elements, ZoneListSharingAndChunk) {
    L3DZone* zone = zones.CreateZone(nullptr, 10, 20, 30, 1, nullptr);
    zone->SetName("room");
    zones.GetZones().GetHead()->referenceCount = 2;  // shared twice
    EXPECT_EQ(zones.DeleteZoneAt(0), 0);
    EXPECT_EQ(zones.GetCount(), 1);  // one reference less, zone kept
    EXPECT_EQ(zones.FindByName("ROOM"), zone);
    EXPECT_EQ(zones.FindNextByName(zone, "room"), zone);
    EXPECT_EQ(zones.FindNextByName(zone, nullptr), nullptr);
    EXPECT_EQ(zones.DeleteZoneAt(3), 8);
    L3DZone stray(&world, nullptr, 1, 1, 1, 0, nullptr);
    EXPECT_EQ(zones.DeleteZone(&stray), 8);
    CBufferStream out;
    LChunkStream writer(&out);
    zones.Save(writer);
    SceneBytes body;
    body.U16(1).U16(10).U16(20).U16(30).Str("room").Location(0, 0, 0);
    EXPECT_EQ(Written(out), SceneBytes().Chunk("BZON", body).b);
    EXPECT_EQ(zones.DeleteZone(zone), 0);
    EXPECT_EQ(zones.GetCount(), 0);
}

TEST_F(Elements, BlobGeometryMaterialAndFacing) {
    LMaterial* glass = world.GetMaterialList().CreateMaterial("glass", nullptr, 0x808080, 0, nullptr);
    L3DBlob* blob = blobs.AddBlob(nullptr, "b", 64, 32, nullptr, nullptr);
    ASSERT_NE(blob, nullptr);
    LBasePoint* points = blob->GetPoints();
    ASSERT_EQ(points->GetCount(), 4);
    const float expected[4][2] = {{-32, -16}, {-32, 16}, {32, 16}, {32, -16}};
    for (int i = 0; i < 4; ++i) {
        EXPECT_EQ(points->GetPoint(i)->local[0], expected[i][0]);
        EXPECT_EQ(points->GetPoint(i)->local[1], expected[i][1]);
        EXPECT_EQ(points->GetPoint(i)->local[2], 0.0f);
    }
    blob->Build(-99999, 50, nullptr);
    EXPECT_EQ(blob->GetWidth(), 64);
    EXPECT_EQ(blob->GetHeight(), 50);
    EXPECT_EQ(points->GetPoint(1)->local[1], 25.0f);
    EXPECT_EQ(blob->GetMaterial(), world.GetDefaultMaterial());
    blob->Build(-99999, -99999, glass);
    EXPECT_EQ(blob->GetPolygon(0)->material, glass);
    EXPECT_EQ(blob->GetPolygon(1)->material, glass);
    // Above the camera, default axes: only the turn about y.
    blob->SetPositionAndAngles(0, 0, 0, 0, 400, 300);
    camera->RenderWith(&target);
    EXPECT_EQ(blob->GetAngles()[0], 0.0f);
    EXPECT_EQ(blob->GetAngles()[2], 0.0f);
    blob->SetAxisFlags(L3DBlob::kAxisX | L3DBlob::kAxisY);
    camera->RenderWith(&target);
    EXPECT_NE(blob->GetAngles()[0], 0.0f);
}

TEST_F(Elements, BlobListAndChunk) {
    LMaterial* glass = world.GetMaterialList().CreateMaterial("glass", nullptr, 0x808080, 0, nullptr);
    glass->SetSemiTransparency(100);
    L3DLocation at(0, 0, 0, 1, 2, 3);
    L3DBlob* blob = blobs.AddBlob(&at, "tree", 20, 30, glass, nullptr);
    EXPECT_EQ(blob->GetPosition()[2], 3.0f);
    EXPECT_EQ(blobs.DeleteBlobAt(4), 11);
    L3DBlob stray("s", &world, nullptr);
    EXPECT_EQ(blobs.DeleteBlob(&stray), 11);
    CBufferStream out;
    LChunkStream writer(&out);
    blobs.SaveBlobs(writer);
    SceneBytes blobChunk;
    blobChunk.U8(L3DBlob::kAxisY);
    SceneBytes body;
    body.U16(1).U16(20).U16(30).U8(glass->transparency).Str("tree");
    body.U16(uint32_t(world.GetMaterialList().IndexOf(glass))).Location(1, 2, 3).Chunk("BLOB", blobChunk);
    EXPECT_EQ(Written(out), SceneBytes().Chunk("BBLO", body).b);
    blobs.SetShowFlag(0);
    blob->Hide(0);
    blob->Show();
    EXPECT_FALSE(blob->IsVisible());
}

TEST_F(Elements, BlobsCollideWithOthersNeverThemselves) {
    L3DBlob* a = blobs.AddBlob(nullptr, "a", 20, 20, nullptr, nullptr);
    L3DBlob* b = blobs.AddBlob(nullptr, "b", 20, 20, nullptr, nullptr);
    static std::vector<std::pair<L3DObject*, L3DObject*>> met;
    met.clear();
    const LCollisionCallback record = [](int32_t, L3DObject* self, L3DObject* other, LPolygon*, const float*,
                                         uint32_t) -> int32_t {
        met.emplace_back(self, other);
        return 0;
    };
    for (L3DBlob* blob : {a, b}) {
        blob->SetCollision(1);
        blob->SetCollisionCallback(record, 0, 0);
        blob->SetPositionAndAngles(0, 0, 0, 0, 0, 300);
    }
    camera->RenderWith(&target);  // both at rest at the same place
    a->SetPositionX(5);           // a moves into b
    camera->RenderWith(&target);
    ASSERT_FALSE(met.empty());
    for (const auto& m : met) EXPECT_NE(m.first, m.second);
    EXPECT_EQ(met.front().first, a);
    EXPECT_EQ(met.front().second, b);
}

TEST(Grid, PlanesLinesAndColours) {
    GeometryDriver driver;
    TestTarget target(&driver);
    L3DWorld world(&target);
    L3DGrid* grid = L3DGrid::Create(&world);
    EXPECT_EQ(grid->AreAxesShown(L3DGrid::kAxisX | L3DGrid::kAxisY), 0);
    EXPECT_EQ(grid->Clone(nullptr), nullptr);
    EXPECT_EQ(grid->Duplicate(nullptr), nullptr);
    for (uint32_t bit : {L3DGrid::kAxisX, L3DGrid::kAxisY, L3DGrid::kAxisZ}) {
        L3DObject* plane = grid->GetPlane(bit);
        ASSERT_NE(plane, nullptr);
        EXPECT_EQ(plane->GetPoints()->GetCount(), 410);
        ASSERT_EQ(plane->GetPolygonList()->GetCount(), 352);
        int white = 0;
        for (LDataNode* n = plane->GetPolygonList()->GetHead(); n; n = n->next) {
            auto* line = static_cast<LPolygon*>(n->value);
            EXPECT_NE(line->material, grid->GetMaterial(0));  // "Light_GRAY" unused
            if (line->material->GetColor() != 0xFFFFFF) continue;
            ++white;
            // A white segment lies on one of the two lines through the origin.
            const float* p = line->GetPoint(0)->local;
            const float* q = line->GetPoint(1)->local;
            int onOrigin = 0;
            for (int a = 0; a < 3; ++a) onOrigin += p[a] == 0.0f && q[a] == 0.0f;
            EXPECT_GE(onOrigin, 2);
        }
        EXPECT_EQ(white, 16);  // two lines of four segments, each made twice
    }
    EXPECT_STREQ(grid->GetMaterial(1)->GetNameText(), "Med_GRAY");
    grid->ShowAxes(L3DGrid::kAxisX | L3DGrid::kAxisY);
    EXPECT_EQ(grid->AreAxesShown(L3DGrid::kAxisX | L3DGrid::kAxisY), 1);
    EXPECT_EQ(grid->AreAxesShown(L3DGrid::kAxisZ), 0);
    L3DGrid::Destroy(grid);
    L3DGrid::Destroy(nullptr);
}

}  // namespace
