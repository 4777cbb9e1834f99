// Collision between moving objects against a stepped simulation, the
// callback's responses, and the box tests.
#include "object_fixture.h"

#include "engine3d/vec3.h"

#include <random>

namespace {

struct Collide : ObjectFixtureBase {
    // A box object of the given half sizes around its position.
    L3DObject* Box(const char* name, float hx, float hy, float hz) {
        auto* o = new L3DObject(name, &world, nullptr);
        Triangle(o, {{-hx, -hy, -hz}, {hx, hy, hz}, {hx, -hy, hz}});
        o->RefreshBox(1);
        world.AddObject(o);
        return o;
    }
    // From `from` to `to` within this frame.
    static void Move(L3DObject* o, const float* from, const float* to) {
        o->SetPositionAndAngles(0, 0, 0, from[0], from[1], from[2]);
        o->CommitFrame(nullptr);
        o->SetPositionAndAngles(0, 0, 0, to[0], to[1], to[2]);
    }
    static float Radius(float hx, float hy, float hz) { return std::sqrt(hx * hx + hy * hy + hz * hz); }
};

struct Call {
    int32_t mode = -1;
    L3DObject *self = nullptr, *other = nullptr;
    uint32_t context = 0;
};
Call g_call;
int32_t g_answer = 0;
int32_t Answer(int32_t mode, L3DObject* self, L3DObject* other, LPolygon*, const float*, uint32_t context) {
    g_call = {mode, self, other, context};
    return g_answer;
}

// Contact times within this of the stepped simulation's (a step of 1e-4
// plus float rounding of positions up to 100 apart); positions within this
// times the movement's length.
constexpr float kTimeTolerance = 5e-4f;

TEST_F(Collide, ContactTimesMatchASteppedSimulation) {
    std::mt19937 rng(17);
    auto uni = [&](float lo, float hi) { return std::uniform_real_distribution<float>(lo, hi)(rng); };
    int contacts = 0, misses = 0;
    for (int round = 0; round < 300; ++round) {
        const float ha[3] = {uni(0.2f, 3), uni(0.2f, 3), uni(0.2f, 3)}, hb[3] = {uni(0.2f, 3), uni(0.2f, 3), uni(0.2f, 3)};
        L3DObject* a = Box("a", ha[0], ha[1], ha[2]);
        L3DObject* b = Box("b", hb[0], hb[1], hb[2]);
        const float R = Radius(ha[0], ha[1], ha[2]) + Radius(hb[0], hb[1], hb[2]);
        float a0[3], a1[3], b0[3], b1[3];
        for (int i = 0; i < 3; ++i) {
            a0[i] = uni(-8, 8), a1[i] = a0[i] + uni(-25, 25);
            b0[i] = uni(-8, 8), b1[i] = b0[i] + uni(-10, 10);
        }
        // Stepped: the first time the centres come within R.
        float first = -1.0f, closest = 1e30f;
        for (int k = 0; k <= 10000; ++k) {
            const float s = float(k) / 10000.0f;
            double d2 = 0;
            for (int i = 0; i < 3; ++i) {
                const double d = (a0[i] + s * (a1[i] - a0[i])) - (b0[i] + s * (b1[i] - b0[i]));
                d2 += d * d;
            }
            const float dist = float(std::sqrt(d2));
            closest = std::fmin(closest, dist);
            if (first < 0.0f && dist <= R) first = s;
        }
        Move(a, a0, a1);
        Move(b, b0, b1);
        if (std::fabs(closest - R) < 1e-2f) {  // grazing: either answer is right
            world.RemoveObject(a), world.RemoveObject(b);
            continue;
        }
        const int32_t hit = a->CollideObject(0, b);
        EXPECT_EQ(hit, first >= 0.0f ? 1 : 0) << round;
        float da[3], db[3];
        Vec3Sub(a1, a0, da);
        Vec3Sub(b1, b0, db);
        const float t = first >= 0.0f ? first : 1.0f;
        for (int i = 0; i < 3; ++i) {
            EXPECT_NEAR(a->GetPosition()[i], a0[i] + t * da[i], kTimeTolerance * Vec3Length(da) + 1e-4f) << round;
            EXPECT_NEAR(b->GetPosition()[i], b0[i] + t * db[i], kTimeTolerance * Vec3Length(db) + 1e-4f) << round;
        }
        (first >= 0.0f ? contacts : misses)++;
        world.RemoveObject(a), world.RemoveObject(b);
    }
    EXPECT_GT(contacts, 30);  // both outcomes well represented
    EXPECT_GT(misses, 30);
}

TEST_F(Collide, CallbackResponses) {
    const float a0[3] = {0, 0, 0}, a1[3] = {10, 0, 0}, b0[3] = {6, 0, 0}, b1[3] = {6, 0, 0};
    L3DObject* a = Box("a", 1, 1, 1);
    L3DObject* b = Box("b", 1, 1, 1);
    a->SetCollisionCallback(&Answer, 77, 0);

    g_answer = 0;  // no response: both stay where they moved
    Move(a, a0, a1);
    Move(b, b0, b1);
    EXPECT_EQ(a->CollideObject(0, b), 1);
    EXPECT_EQ(g_call.mode, 0);
    EXPECT_EQ(g_call.self, a);
    EXPECT_EQ(g_call.other, b);
    EXPECT_EQ(g_call.context, 77u);
    EXPECT_EQ(a->GetX(), 10.0f);
    EXPECT_EQ(b->GetX(), 6.0f);

    g_answer = 1;  // stop at the contact: centres 2 * sqrt(3) apart
    Move(a, a0, a1);
    Move(b, b0, b1);
    a->CollideObject(0, b);
    const float t = (6.0f - 2.0f * std::sqrt(3.0f)) / 10.0f;
    EXPECT_NEAR(a->GetX(), 10.0f * t, 1e-4f);
    EXPECT_EQ(b->GetX(), 6.0f);

    g_answer = 4;  // slide: head on, k = -1: the reflection is scaled by 0
    Move(a, a0, a1);
    Move(b, b0, b1);
    a->CollideObject(0, b);
    EXPECT_NEAR(a->GetX(), 0.0f, 1e-3f);
    EXPECT_EQ(b->GetX(), 6.0f);

    // Slide at an angle: the movement reflected about the normal n between
    // the centres at the contact, scaled by sin(-(pi - acos k)) with
    // k = n.d/|d|, from the previous place.
    const float c0[3] = {0, 0, 0}, c1[3] = {10, 3, 0};
    Move(a, c0, c1);
    Move(b, b0, b1);
    a->CollideObject(0, b);
    const float s = (120.0f - std::sqrt(120.0f * 120.0f - 4.0f * 109.0f * 24.0f)) / 218.0f;  // |(10s-6, 3s)| = 2 sqrt 3
    float n[3] = {10.0f * s - 6.0f, 3.0f * s, 0.0f}, d[3] = {10, 3, 0}, r[3];
    Vec3Normalize(n, n);
    const float k = Vec3Dot(n, d) / Vec3Length(d);
    Vec3Combine(d, n, 1.0f, -2.0f * Vec3Dot(d, n), r);
    Vec3Scale(r, std::sin(-(3.14159265f - std::acos(k))), r);
    for (int i = 0; i < 3; ++i) EXPECT_NEAR(a->GetPosition()[i], r[i], 1e-3f) << i;

    // Head-on slides in many directions: rounding pushes k past -1 in some,
    // which must not turn into NaN positions.
    std::mt19937 rng(3);
    std::uniform_real_distribution<float> uni(-1, 1);
    for (int round = 0; round < 200; ++round) {
        float dir[3] = {uni(rng), uni(rng), uni(rng)};
        Vec3Normalize(dir, dir);
        float from[3], to[3], target[3];
        Vec3Scale(dir, 7.3f, target);
        Vec3Scale(dir, 13.1f, to);
        Vec3Zero(from);
        Move(a, from, to);
        Move(b, target, target);
        a->CollideObject(0, b);
        for (int i = 0; i < 3; ++i) ASSERT_TRUE(std::isfinite(a->GetPosition()[i])) << round;
    }

    // Coincident centres give a zero normal, never NaN.
    const float same[3] = {6, 0, 0};
    Move(a, same, a1);
    Move(b, b0, b1);
    a->CollideObject(0, b);
    for (int i = 0; i < 3; ++i) EXPECT_TRUE(std::isfinite(a->GetPosition()[i])) << i;

    // Without movement of this object: nothing.
    Move(a, a1, a1);
    g_call = {};
    EXPECT_EQ(a->CollideObject(0, b), 0);
    EXPECT_EQ(g_call.mode, -1);
}

TEST_F(Collide, WorldCollisionWithoutMovementIsZero) {
    L3DObject* a = Box("a", 1, 1, 1);
    const float p[3] = {1, 2, 3}, q[3] = {1, 2.000001f, 3};
    Move(a, p, p);
    EXPECT_EQ(a->CollideWorld(&view), 0);
    Move(a, p, q);  // below the threshold on every axis
    EXPECT_EQ(a->CollideWorld(&view), 0);
    const float r[3] = {4, 2, 3};
    Move(a, p, r);
    EXPECT_EQ(a->CollideWorld(&view), 0);  // no candidates until the cluster exists
    EXPECT_FLOAT_EQ(a->GetSphere()[0], 4.0f);  // transformed at its new place
}

TEST_F(Collide, BoxTests) {
    L3DObject* a = Box("a", 1, 1, 1);
    L3DObject* b = Box("b", 1, 1, 1);
    a->UpdateTransform(&view);
    b->SetPositionX(2.0f);  // touching faces: no strict overlap
    b->UpdateTransform(&view);
    EXPECT_EQ(a->BoxOverlaps(*b), 0);
    b->SetPositionX(1.9f);
    b->UpdateTransform(&view);
    EXPECT_EQ(a->BoxOverlaps(*b), 1);
    const float edge[3] = {1.005f, 0, 0}, above[3] = {0, 1.005f, 0};
    EXPECT_EQ(a->PointInBox(edge, nullptr), 0);
    EXPECT_EQ(a->PointNearBox(edge), 1);
    EXPECT_EQ(a->PointNearBoxXZ(above), 1);
    const float shift[3] = {0.5f, 0, 0};
    EXPECT_EQ(a->PointInBox(edge, shift), 1);
}

}  // namespace
