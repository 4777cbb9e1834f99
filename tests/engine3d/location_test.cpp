#include "engine3d/location.h"

#include "runtime/base/angle.h"
#include "runtime/io/buffer_stream.h"
#include "runtime/base/sys_utils.h"
#include "engine3d/chunk_stream.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <limits>

namespace {
const float kPi = 3.14159265f;
const float kTwoPi = 6.2831854820251465f;
const float K = L3DLocation::kKeep;

// Counts the notifications and can refuse moves.
class CountingLocation : public L3DLocation {
public:
    using L3DLocation::L3DLocation;
    void PositionChanged(int on) override {
        positionChanged += on;
        L3DLocation::PositionChanged(on);
    }
    void AnglesChanged(int on) override {
        anglesChanged += on;
        L3DLocation::AnglesChanged(on);
    }
    int Moved() override { return ++moved; }
    int IsActive() override { return active; }
    void Reset() { positionChanged = anglesChanged = moved = 0; }
    int Total() const { return positionChanged + anglesChanged + moved; }

    int positionChanged = 0;
    int anglesChanged = 0;
    int moved = 0;
    int active = 1;
};

void Facing(const L3DLocation& l, float* f) {
    f[0] = l.GetSin()[1] * l.GetCos()[0];
    f[1] = -l.GetSin()[0];
    f[2] = -l.GetCos()[1] * l.GetCos()[0];
}
}  // namespace

TEST(Location, AngleSetters) {
    const float nan = std::numeric_limits<float>::quiet_NaN();
    const float inf = std::numeric_limits<float>::infinity();
    struct Case {
        float given;
        float stored;
    } cases[] = {
        {-0.5f, kTwoPi - 0.5f}, {kTwoPi, 0.0f}, {0.0005f, 0.0f}, {nan, 0.0f}, {inf, 0.0f}, {-inf, 0.0f},
        {7.0f, 7.0f - kTwoPi},  {-0.0005f, 0.0f},
    };
    for (const Case& c : cases) {
        L3DLocation l(1, 1, 1, 0, 0, 0);
        EXPECT_EQ(l.SetAngleX(c.given), 1);
        EXPECT_NEAR(l.GetAngles()[0], c.stored, 1e-6) << c.given;
    }
    // Huge angles return at once, within range and without integer conversion.
    for (float huge : {1e30f, -1e30f, 3.4e38f}) {
        const float r = NormalizeAngle(huge);
        EXPECT_TRUE(r >= 0.0f && r < kTwoPi) << huge;
    }
}

TEST(Location, MatrixAndSineCache) {
    L3DLocation zero(0, 0, 0, 1, 2, 3);
    const float identity[12] = {1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0};
    EXPECT_EQ(std::memcmp(zero.GetRotation().m, identity, sizeof identity), 0);
    L3DLocation turned(0, kPi / 2, 0, 0, 0, 0);
    const float* m = turned.GetRotation().m;
    EXPECT_EQ(m[0], 0.0f);  // cos(pi/2) is below 0.01 and flushed
    EXPECT_EQ(m[1], 0.0f);
    EXPECT_EQ(m[2], -1.0f);
    // A mirrored location caches the negated sine and cosine of angle z.
    L3DLocation mirrored(0, 0, 0, 0, 0, 0);
    mirrored.SetScale(1, -1, 1);
    mirrored.SetAngleZ(kPi / 2);
    EXPECT_FLOAT_EQ(mirrored.GetSin()[2], -1.0f);
    EXPECT_NEAR(mirrored.GetCos()[2], 0.0f, 1e-6);
    EXPECT_EQ(mirrored.GetRotation().m[4], 1.0f);  // -(sz*cx) with sz = -1
}

// An entry of exactly 0.01 stays, the float just below it is flushed.
TEST(Location, FlushKeepsAnEntryOfExactlyOneHundredth) {
    float x = std::asin(0.01f);
    for (int i = 0; i < 64 && static_cast<float>(std::sin(static_cast<double>(x))) != 0.01f; ++i)
        x = std::nextafter(x, static_cast<float>(std::sin(static_cast<double>(x))) < 0.01f ? 1.0f : 0.0f);
    ASSERT_EQ(static_cast<float>(std::sin(static_cast<double>(x))), 0.01f);
    L3DLocation at(x, 0, 0, 0, 0, 0);
    EXPECT_EQ(at.GetRotation().m[6], 0.01f);
    L3DLocation negative(-x, 0, 0, 0, 0, 0);
    EXPECT_EQ(negative.GetRotation().m[6], -0.01f);
    float below = x;
    while (static_cast<float>(std::sin(static_cast<double>(below))) >= 0.01f) below = std::nextafter(below, 0.0f);
    L3DLocation under(below, 0, 0, 0, 0, 0);
    EXPECT_EQ(under.GetRotation().m[6], 0.0f);
}

TEST(Location, HeadingAndTurnTowards) {
    EXPECT_EQ(Heading(1, 1, 1, 1), 0.0f);
    EXPECT_NEAR(Heading(0, 0, 0, -1), 3 * kPi / 2, 1e-6);
    struct Case {
        float c, t, k, expected;
    } cases[] = {
        {0.1f, 6.2f, 1, 6.2f},                                          // short way, branch delta >= pi
        {0.1f, 6.2f, 2, 0.1f - (kTwoPi - 6.1f) / 2},                    // half of it
        {6.2f, 0.1f, 1, 0.1f},                                          // delta <= -pi
        {1.0f, 2.0f, 4, 1.25f},                                         // 0 < delta < pi
        {2.0f, 1.0f, 2, 1.5f},                                          // -pi < delta <= 0
        {0.1f, 6.2f, 0, 6.2f},                                          // no divisor: all the way
        {0.1f, 6.2f, std::numeric_limits<float>::infinity(), 6.2f},
        {0.1f, 6.2f, std::numeric_limits<float>::quiet_NaN(), 6.2f},
    };
    for (const Case& c : cases)
        EXPECT_NEAR(TurnTowards(c.c, c.t, c.k), c.expected, 2e-6) << c.c << " " << c.t << " " << c.k;
}

TEST(Location, DistanceAndForwardDistance) {
    L3DLocation a(0, 0, 0, 0, 0, 0), b(0, 0, 0, 0.005f, 0.009f, 0), c(0, 0, 0, 3, 4, 0);
    EXPECT_EQ(a.DistanceTo(b), 0.0f);
    EXPECT_FLOAT_EQ(a.DistanceTo(c), 5.0f);
    const float v[3] = {0, 0, -3};
    EXPECT_FLOAT_EQ(a.ForwardDistance(v), 3.0f);  // zero angles face -z
    const float none[3] = {2, 0, 0};
    EXPECT_EQ(a.ForwardDistance(none), 0.0f);
}

TEST(Location, SetPositionAndAnglesNotifiesOnlyWhatChanged) {
    CountingLocation l(0.5f, 1, 0, 1, 2, 3);
    l.Reset();
    l.SetPositionAndAngles(K, K, K, K, K, K);
    EXPECT_EQ(l.Total(), 0);
    l.SetPositionAndAngles(K, 2.0f, K, 1, 2, 3);
    EXPECT_EQ(l.positionChanged, 0);
    EXPECT_EQ(l.anglesChanged, 1);
    EXPECT_FLOAT_EQ(l.GetAngles()[1], 2.0f);
    l.Reset();
    l.SetPositionAndAngles(K, K, K, K, 7, K);
    EXPECT_EQ(l.positionChanged, 1);
    EXPECT_EQ(l.anglesChanged, 0);
    EXPECT_EQ(l.GetPosition()[1], 7.0f);
    EXPECT_EQ(l.GetPosition()[0], 1.0f);
}

TEST(Location, CopyConstructorCopiesOnlyPlaceAndTransform) {
    L3DLocation source(0.2f, 0.3f, 0.4f, 1, 2, 3);
    source.SetScale(2, -1, 2);
    source.ComputeSinCos();
    source.BuildMatrix(0);  // a mirrored rotation that the copy must not take
    source.SetHotSpot(5, 6, 7);
    source.SetWorld(reinterpret_cast<L3DWorld*>(&source));
    source.GetTransform().m[3] = 42.0f;
    source.SetPositionX(9);
    const L3DLocation copy(source);
    const L3DLocation fresh(0.2f, 0.3f, 0.4f, 9, 2, 3);
    EXPECT_EQ(std::memcmp(copy.GetPosition(), source.GetPosition(), 12), 0);
    EXPECT_EQ(std::memcmp(copy.GetPreviousPosition(), source.GetPosition(), 12), 0);
    EXPECT_EQ(std::memcmp(copy.GetPreviousAngles(), source.GetAngles(), 12), 0);
    EXPECT_EQ(std::memcmp(copy.GetRotation().m, fresh.GetRotation().m, 48), 0);
    EXPECT_NE(std::memcmp(copy.GetRotation().m, source.GetRotation().m, 48), 0);
    const float zero[3] = {0, 0, 0}, one[3] = {1, 1, 1};
    EXPECT_EQ(std::memcmp(copy.GetHotSpot(), zero, 12), 0);
    EXPECT_EQ(std::memcmp(copy.GetScale(), one, 12), 0);
    EXPECT_EQ(copy.GetWorld(), nullptr);
    EXPECT_EQ(copy.GetTransform().m[3], 42.0f);
    EXPECT_EQ(copy.GetFlags(), 28u);
}

TEST(Location, InactiveLocationIgnoresMovesAndTurns) {
    CountingLocation l(0.1f, 0.2f, 0.3f, 1, 2, 3);
    CountingLocation target(0, 0, 0, 10, 10, 10);
    l.active = 0;
    l.Reset();
    EXPECT_EQ(l.MoveForward(5), 0);
    EXPECT_EQ(l.SetAngleX(2), 0);
    EXPECT_EQ(l.SetPositionY(8), 0);
    EXPECT_EQ(l.SetPositionAndAngles(1, 1, 1, 1, 1, 1), 0);
    l.AddAngleY(1);
    l.SubAngleZ(1);
    l.StrafePlus(3);
    l.Slide(3);
    l.RaiseY(3);
    l.LookAt(&target, 1);
    LFollowRecord follow = {&target, 5, 2};
    EXPECT_EQ(l.Follow(&follow), 0);
    EXPECT_EQ(l.Total(), 0);
    const float position[3] = {1, 2, 3}, angles[3] = {0.1f, 0.2f, 0.3f};
    EXPECT_EQ(std::memcmp(l.GetPosition(), position, 12), 0);
    EXPECT_EQ(std::memcmp(l.GetAngles(), angles, 12), 0);
}

TEST(Location, FollowAndMoveAroundWithoutTarget) {
    CountingLocation l(0.1f, 0.2f, 0.3f, 1, 2, 3);
    l.Reset();
    LFollowRecord follow = {nullptr, 5, 2};
    LOrbitRecord orbit = {};
    EXPECT_EQ(l.Follow(nullptr), 2);
    EXPECT_EQ(l.Follow(&follow), 2);
    EXPECT_EQ(l.MoveAround(nullptr), 2);
    EXPECT_EQ(l.MoveAround(&orbit), 2);
    EXPECT_EQ(l.Total(), 0);
    EXPECT_EQ(l.GetPosition()[0], 1.0f);
}

TEST(Location, FollowApproachesAndAims) {
    L3DLocation target(0, 0, 0, 0, 0, -10);
    L3DLocation l(0, 0, 0, 0, 0, 0);
    // The target faces -z; the goal lies 4 units along the negated third
    // column of its rotation, at z = -14.
    LFollowRecord follow = {&target, 4, 2};
    EXPECT_EQ(l.Follow(&follow), 0);
    EXPECT_NEAR(l.GetPosition()[2], -7.0f, 1e-6);  // half way
    EXPECT_NEAR(l.GetAngles()[0], 0.0f, 1e-6);
    EXPECT_NEAR(l.GetAngles()[1], 0.0f, 1e-6);  // already facing the target
    LOrbitRecord orbit = {&target, {{0, 5, 1, 0, 4}, {0, -1, 1, 0, 4}, {0, 2, 1, 0, 4}}};
    l.MoveAround(&orbit);
    EXPECT_EQ(orbit.axes[0].value, 1.0f);  // above the maximum: minimum, then a step
    EXPECT_EQ(orbit.axes[1].value, 5.0f);  // below the minimum: maximum, then a step
    EXPECT_EQ(orbit.axes[2].value, 3.0f);
    // Multipliers 0: the goal is the target itself, a quarter of the way.
    EXPECT_NEAR(l.GetPosition()[2], -7.0f + (-10.0f + 7.0f) * 0.25f, 1e-5);
    LFollowRecord at = {&target, 4, 0};  // no damping: straight to the goal
    l.Follow(&at);
    EXPECT_EQ(l.GetPosition()[2], -14.0f);
}

TEST(Location, StepsAndSideMoves) {
    CountingLocation l(0.3f, 1.0f, 0.5f, 1, 2, 3);
    l.Reset();
    l.SubAngleZ(0.1f);
    EXPECT_EQ(l.moved, 1);
    EXPECT_EQ(l.anglesChanged, 1);
    l.Reset();
    l.AddAngleZ(0.1f);
    EXPECT_EQ(l.moved, 1);
    // A strafe stays level under pitch and roll and restores them.
    l.StrafePlus(2);
    EXPECT_FLOAT_EQ(l.GetPosition()[1], 2.0f);
    const float dx = l.GetPosition()[0] - 1, dz = l.GetPosition()[2] - 3;
    EXPECT_NEAR(std::sqrt(dx * dx + dz * dz), 2.0f, 1e-5);
    // Sideways: perpendicular to the level facing direction (sin y, -cos y).
    EXPECT_NEAR(dx * std::sin(1.0f) - dz * std::cos(1.0f), 0.0f, 1e-5);
    EXPECT_NEAR(l.GetAngles()[0], 0.3f, 1e-6);
    EXPECT_NEAR(l.GetAngles()[1], 1.0f, 1e-6);
    EXPECT_NEAR(l.GetAngles()[2], 0.5f, 1e-6);
    l.StrafeMinus(2);
    EXPECT_NEAR(l.GetPosition()[0], 1.0f, 1e-5);
    EXPECT_NEAR(l.GetPosition()[2], 3.0f, 1e-5);
    l.RaiseY(4);
    l.LowerY(1);
    EXPECT_FLOAT_EQ(l.GetPosition()[1], 5.0f);
}

TEST(Location, LookAtFacesTheTarget) {
    L3DLocation target(0, 0, 0, 1, 1, 0);
    L3DLocation l(0, 0, 2.0f, 0, 0, 0);
    l.LookAt(&target, 1);
    float f[3];
    Facing(l, f);
    const float r = 1 / std::sqrt(2.0f);
    EXPECT_NEAR(f[0], r, 1e-6);
    EXPECT_NEAR(f[1], r, 1e-6);
    EXPECT_NEAR(f[2], 0.0f, 1e-6);
    EXPECT_NEAR(l.GetAngles()[0], kTwoPi - kPi / 4, 1e-6);  // reduced
    EXPECT_EQ(l.GetAngles()[2], 2.0f);                        // angle z kept
    // k <= 0 stores the angles as computed, outside [0, 2*pi).
    L3DLocation left(0, 0, 0, -1, 0, 0), m(0, 0, 0, 0, 0, 0);
    m.LookAt(&target, 0);
    EXPECT_NEAR(m.GetAngles()[0], -kPi / 4, 1e-6);
    m.LookAt(&left, -1);
    EXPECT_NEAR(m.GetAngles()[1], -kPi / 2, 1e-6);
    Facing(m, f);
    EXPECT_NEAR(f[0], -1.0f, 1e-6);
}

TEST(Location, SavedFormIsAnOlocChunkOfNineFloats) {
    L3DLocation l(0.25f, 0.5f, 1.0f, 1, -2, 3);
    l.SetHotSpot(4, 5, 6);
    CBufferStream out;
    LChunkStream w(&out);
    l.SaveLocation(w);
    ASSERT_EQ(out.GetSize(), 8 + 36);
    const uint8_t* b = out.GetData();
    EXPECT_EQ(std::memcmp(b, "OLOC\x24\0\0\0", 8), 0);
    const float expected[9] = {1, -2, 3, 0.25f, 0.5f, 1.0f, 4, 5, 6};
    EXPECT_EQ(std::memcmp(b + 8, expected, 36), 0);  // little-endian host
}

TEST(Location, CopiesAndOffsets) {
    CountingLocation a(0.1f, 0.2f, 0.3f, 1, 2, 3);
    L3DLocation b(1.1f, 1.2f, 1.3f, 10, 20, 30);
    a.Reset();
    a.CopyLocation(a);  // nothing differs: only Moved
    EXPECT_EQ(a.moved, 1);
    EXPECT_EQ(a.positionChanged + a.anglesChanged, 0);
    a.AddPosition(b);
    EXPECT_EQ(a.GetPosition()[2], 33.0f);
    a.SubtractPosition(b);
    EXPECT_EQ(a.GetPosition()[2], 3.0f);
    a.SubtractAngles(b);
    EXPECT_NEAR(a.GetAngles()[0], kTwoPi - 1.0f, 1e-6);
    a.CopyLocation(b);
    EXPECT_EQ(std::memcmp(a.GetAngles(), b.GetAngles(), 12), 0);
    EXPECT_EQ(std::memcmp(a.GetRotation().m, b.GetRotation().m, 48), 0);
    float* offset = a.NewOffsetVector(b.GetScale());
    ASSERT_NE(offset, nullptr);
    EXPECT_EQ(offset[0], 9.0f);
    FreeAndNull(&offset);
}
