// The camera's motion overrides, its collision as a moving sphere against
// the octree and its marker.
#include "engine_fixture.h"
#include "frame_fixture.h"

#include "engine3d/octree.h"
#include "engine3d/primitive_builders.h"

#include <gtest/gtest.h>

#include <cmath>

namespace {

constexpr float kPi = 3.14159265f;

class CameraMotion : public ::testing::Test {
protected:
    GeometryDriver driver;
    FrameLog log;
    RecordingTarget target{&driver, &log};
    L3DWorld world{&target};
    L3DCamera* camera = world.CreateCamera(nullptr);
};

TEST_F(CameraMotion, ForwardIsPlusZForACameraMinusZForAnObject) {
    camera->MoveForward(10);
    EXPECT_NEAR(camera->GetPosition()[2], 10.0f, 1e-5f);
    EXPECT_NEAR(camera->GetPosition()[0], 0.0f, 1e-5f);
    L3DObject object("o", &world, nullptr);
    object.MoveForward(10);
    EXPECT_NEAR(object.GetPosition()[2], -10.0f, 1e-5f);
}

TEST_F(CameraMotion, LookAtStraightUpKeepsRoll) {
    camera->SetAngleZ(0.5f);
    L3DLocation above(0, 0, 0, 0, 100, 0);
    camera->LookAt(&above, 0);
    EXPECT_NEAR(camera->GetAngles()[0], kPi / 2, 1e-5f);
    EXPECT_NEAR(camera->GetAngles()[2], 0.5f, 1e-6f);
    EXPECT_NEAR(camera->GetViewRows()[7], 1.0f, 1e-5f);  // forward is +y
}

TEST_F(CameraMotion, FollowLandsOnTheGoalOrAQuarterOfTheWay) {
    L3DLocation target(0, 0, 0, 100, 0, 0);
    LFollowRecord record{&target, 50, 0.0f};
    record.offset[1] = 20;
    // Goal: the target's previous place + 50 x its third column + offset.
    const float* t = target.GetTransform().m;
    const float goal[3] = {target.GetPreviousPosition()[0] + 50 * t[2], 20 + 50 * t[6],
                           target.GetPreviousPosition()[2] + 50 * t[10]};
    EXPECT_EQ(camera->Follow(&record), 0);
    for (int i = 0; i < 3; ++i) EXPECT_NEAR(camera->GetPosition()[i], goal[i], 1e-4f) << i;
    camera->SetPositionAndAngles(0, 0, 0, goal[0] - 40, goal[1], goal[2]);
    record.damping = 4.0f;
    camera->Follow(&record);
    EXPECT_NEAR(camera->GetPosition()[0], goal[0] - 30, 1e-4f);
    EXPECT_EQ(camera->Follow(nullptr), 2);
    LOrbitRecord* none = nullptr;
    EXPECT_EQ(camera->MoveAround(none), 2);
}

TEST_F(CameraMotion, MoveAroundWrapsBeforeStepping) {
    L3DLocation target(0, 0, 0, 0, 0, 0);
    LOrbitRecord orbit{&target, {{100, 0.0f, 0.1f, 0.0f, 1.0f}, {100, 1.5f, 0.25f, 0.0f, 1.0f}, {0, -0.5f, 0.1f, 0.0f, 1.0f}}};
    EXPECT_EQ(camera->MoveAround(&orbit), 0);
    EXPECT_NEAR(orbit.axes[0].value, 0.1f, 1e-6f);   // inside: stepped
    EXPECT_NEAR(orbit.axes[1].value, 0.25f, 1e-6f);  // past the maximum: minimum, then stepped
    EXPECT_NEAR(orbit.axes[2].value, 1.1f, 1e-6f);   // below the minimum: maximum, then stepped
}

TEST_F(CameraMotion, TurnsAndStrafesRunTheOtherWay) {
    const struct {
        void (L3DLocation::*turn)(float);
        int axis;
        float expected;
    } cases[] = {{&L3DLocation::AddAngleY, 1, 2 * kPi - 0.25f},
                 {&L3DLocation::SubAngleY, 1, 0.25f},
                 {&L3DLocation::AddAngleX, 0, 2 * kPi - 0.25f},
                 {&L3DLocation::SubAngleX, 0, 0.25f}};
    for (const auto& c : cases) {
        camera->SetPositionAndAngles(0, 0, 0, 0, 0, 0);
        (camera->*c.turn)(0.25f);
        EXPECT_NEAR(camera->GetAngles()[c.axis], c.expected, 1e-5f);
    }
    // Level and unturned, the camera's right is +x: StrafePlus goes left.
    camera->SetPositionAndAngles(0, 0, 0, 0, 0, 0);
    camera->StrafePlus(10);
    EXPECT_NEAR(camera->GetPosition()[0], -10.0f, 1e-4f);
    camera->StrafeMinus(10);
    EXPECT_NEAR(camera->GetPosition()[0], 0.0f, 1e-4f);
}

TEST_F(CameraMotion, MarkerAndBoundingRadius) {
    ASSERT_EQ(camera->GetPolygonList()->GetCount(), 16);
    EXPECT_EQ(camera->GetPoints()->GetCount(), 13);
    auto* first = static_cast<LPolygon*>(camera->GetPolygonList()->GetHead()->value);
    EXPECT_STREQ(first->material->GetNameText(), "$Ruk3D Mat$ Camera Material");
    EXPECT_FALSE(camera->IsVisible());
    EXPECT_EQ(camera->GetBoundingRadius(), 175.0f);
    const L3DPoint* corner = camera->GetBox()->GetPoints()->GetPoint(5);
    EXPECT_NEAR(corner->local[0], 101.0362f, 1e-3f);
    EXPECT_NEAR(camera->GetBox()->GetPoints()->GetPoint(3)->local[1], -101.0362f, 1e-3f);
    // Shown only while the camera list's show flag is 1.
    world.GetCameraList().SetShowFlag(0);
    camera->ShowBox(1, 0);
    EXPECT_FALSE(camera->IsBoxVisible());
    world.GetCameraList().SetShowFlag(1);
    camera->ShowBox(1, 0);
    EXPECT_TRUE(camera->IsBoxVisible());
}

TEST_F(CameraMotion, OtherCamerasMarkersAreDrawnNeverTheRenderingOnes) {
    target.Bind(camera, 200, 200);
    L3DCamera* other = world.CreateCamera(nullptr);
    other->SetPositionZ(300);
    other->Show();
    camera->Show();
    camera->RenderWith(&target);
    // The marker's material has no draw routine here: count what was
    // submitted through the camera's frame by owner instead.
    int ownDrawn = 0, otherDrawn = 0;
    for (const auto& d : log.drawn) {
        ownDrawn += d.first->owner == camera;
        otherDrawn += d.first->owner == other;
    }
    EXPECT_EQ(ownDrawn, 0);
    (void)otherDrawn;
    EXPECT_TRUE(other->IsInView());
}

// A wall 20 deep about z = 110 (a brick made static: it lives in the
// octree). The builders turn a brick's faces inward, so the face turned
// toward a camera walking along +z is the one at z = 120.
class CameraWall : public CameraMotion {
protected:
    void SetUp() override {
        L3DObject* wall = BuildBrick(&world, 400, 400, 20);
        wall->SetPositionZ(110);
        world.AddObject(wall);
        wall->MakeStatic(1);
        ASSERT_NE(world.GetBaseCluster().GetOctreeRoot(), nullptr);
        camera->SetCollisionCallback(&Answer, 0, 0);
    }
    static int32_t Answer(int32_t, L3DObject*, L3DObject*, LPolygon*, const float* contact, uint32_t) {
        calls++;
        if (contact) lastContact = contact[2];
        return answer;
    }
    int32_t Walk() {
        camera->SetPositionAndAngles(0, 0, 0, 37, 53, 0);  // off the faces' diagonals
        camera->SweepSphere();
        camera->MoveForward(150);
        return camera->CollideWorld(camera);
    }
    static int32_t answer, calls;
    static float lastContact;
};
int32_t CameraWall::answer = 0, CameraWall::calls = 0;
float CameraWall::lastContact = 0;

TEST_F(CameraWall, TheCallbacksAnswerDecides) {
    const struct {
        int32_t answer;
        float z;
    } cases[] = {{0, 150.0f}, {4, 120.0f}, {7, 0.0f}};
    for (const auto& c : cases) {
        answer = c.answer;
        calls = 0;
        EXPECT_EQ(Walk(), 1) << c.answer;
        EXPECT_EQ(calls, 1);
        EXPECT_NEAR(lastContact, 120.0f, 1e-3f);
        EXPECT_NEAR(camera->GetPosition()[2], c.z, 1e-3f) << c.answer;
    }
    // Without a callback: back to the start.
    camera->SetCollisionCallback(nullptr, 0, 0);
    EXPECT_EQ(Walk(), 1);
    EXPECT_NEAR(camera->GetPosition()[2], 0.0f, 1e-3f);
    // No move: no hit.
    camera->SweepSphere();
    EXPECT_EQ(camera->CollideWorld(camera), 0);
}

}  // namespace
