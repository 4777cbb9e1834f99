// Key tracks' rotation pieces against Eigen: accumulated matrix products and
// the three slerps of a rotation evaluation.
#include "engine3d/animated_object.h"
#include "engine3d/key_tracks.h"
#include "engine3d/math3d.h"

#include <Eigen/Geometry>
#include <gtest/gtest.h>

#include <cmath>
#include <random>

namespace {

using Affine = Eigen::Transform<double, 3, Eigen::Affine>;

Affine ToAffine(const float* m) {
    Affine e = Affine::Identity();
    for (int r = 0; r < 3; ++r)
        for (int c = 0; c < 4; ++c) e(r, c) = m[4 * r + c];
    return e;
}

Eigen::Quaterniond ToQuat(const float* q) { return Eigen::Quaterniond(q[0], q[1], q[2], q[3]); }

struct TrackDeleter {
    void operator()(LKeyTrack* t) const { LKeyTrack::Destroy(t); }
};

}  // namespace

TEST(KeyframeOracle, AccumulateRotationsIsTheChainOfProducts) {
    std::mt19937 random(12);
    std::uniform_real_distribution<float> any(-2, 2);
    std::unique_ptr<LKeyTrack, TrackDeleter> t(LKeyTrack::Create());
    for (int i = 0; i < 6; ++i) {
        LKey* k = LKey::Create();
        LMatrix34::MakeRotationEuler(any(random), any(random), any(random), k->value, nullptr);
        for (int r = 0; r < 3; ++r) k->value[4 * r + 3] = any(random);
        LKeyTrack::AddKey(t.get(), k, 10 * i);
    }
    LKeyTrack::AccumulateRotations(t.get());
    Affine product = Affine::Identity();
    for (LKey* k = t->first; k; k = k->next) {
        product = product * ToAffine(k->value);
        for (int r = 0; r < 3; ++r)
            for (int c = 0; c < 4; ++c)
                EXPECT_NEAR(k->absolute[4 * r + c], product(r, c), 1e-4 * std::fmax(1.0, std::fabs(product(r, c))))
                    << "key " << k->time << " element " << 4 * r + c;
    }
}

TEST(KeyframeOracle, RotationEvaluationIsThreeSlerps) {
    // Small steps about varied axes: neighbouring quaternions and controls
    // stay on one side, where Eigen's shorter-arc slerp and the engine's
    // direct one agree.
    std::unique_ptr<LKeyTrack, TrackDeleter> t(LKeyTrack::Create());
    const float steps[][4] = {{0.3f, 0, 0, 1}, {0.5f, 1, 0, 0}, {0.4f, 0, 1, 1}, {0.6f, 1, 1, 0}, {0.2f, 0, 0, 1}};
    int32_t time = 0;
    for (const auto& s : steps) {
        LKey* k = LKey::Create();
        for (int i = 0; i < 4; ++i) k->value[i] = s[i];
        k->tension = 0.2f, k->continuity = -0.1f, k->bias = 0.3f, k->easeFrom = 0.1f, k->easeTo = 0.2f;
        LKeyTrack::AddKey(t.get(), k, time);
        time += 7 + 3 * int32_t(time % 2);
    }
    LKeyTrack::ChainRotations(t.get());
    ASSERT_EQ(LKeyTrack::SetupRotationSpline(t.get()), 1);
    for (const LKey* k0 = t->first; k0->next; k0 = k0->next) {
        const LKey* k1 = k0->next;
        for (float f : {0.1f, 0.35f, 0.5f, 0.8f}) {
            const float time = k0->time + f * (k1->time - k0->time);
            float q[4];
            ASSERT_EQ(LKeyTrack::EvaluateRotation(t.get(), time, q), 1);
            const double u = Ease(f, k0->easeFrom, k1->easeTo);
            const Eigen::Quaterniond p = ToQuat(k0->rotation).slerp(u, ToQuat(k1->rotation));
            const Eigen::Quaterniond r = ToQuat(k0->controlB).slerp(u, ToQuat(k1->controlA));
            const Eigen::Quaterniond e = p.slerp(2 * u * (1 - u), r);
            EXPECT_NEAR(q[0], e.w(), 1e-5) << time;
            EXPECT_NEAR(q[1], e.x(), 1e-5) << time;
            EXPECT_NEAR(q[2], e.y(), 1e-5) << time;
            EXPECT_NEAR(q[3], e.z(), 1e-5) << time;
        }
    }
}

TEST(KeyframeOracle, ChainedKeyRotationsAreEigenProducts) {
    std::unique_ptr<LKeyTrack, TrackDeleter> t(LKeyTrack::Create());
    const float steps[][4] = {{1.0f, 0, 2, 0}, {-0.7f, 1, 1, 1}, {2.5f, 3, 0, -1}};
    for (const auto& s : steps) {
        LKey* k = LKey::Create();
        for (int i = 0; i < 4; ++i) k->value[i] = s[i];
        LKeyTrack::AddKey(t.get(), k, 0);
    }
    LKeyTrack::ChainRotations(t.get());
    Eigen::Quaterniond chain = Eigen::Quaterniond::Identity();
    for (const LKey* k = t->first; k; k = k->next) {
        const Eigen::Vector3d axis(k->value[1], k->value[2], k->value[3]);
        chain = chain * Eigen::Quaterniond(Eigen::AngleAxisd(k->value[0], axis.normalized()));
        EXPECT_NEAR(k->rotation[0], chain.w(), 1e-6);
        EXPECT_NEAR(k->rotation[1], chain.x(), 1e-6);
        EXPECT_NEAR(k->rotation[2], chain.y(), 1e-6);
        EXPECT_NEAR(k->rotation[3], chain.z(), 1e-6);
    }
}

TEST(KeyframeOracle, MirroredObjectsTurnAboutTheMirroredAxis) {
    // A child turned by q inside an animated object scaled by S (one axis
    // negative, or none) is drawn as S * R * S applied to S-scaled points:
    // the rotation matrix chosen must be S R(q) S (S = S^-1 for signs), so
    // the mirrored object turns the mirrored way.
    L3DObject child("child", nullptr, nullptr);
    LKeySet* keys = child.GetKeys();
    for (int32_t which : {LKeySet::kTranslate, LKeySet::kScale, LKeySet::kRotate})
        LKeyTrack::AddKey(keys->Ensure(which), LKey::Create(), 0);
    keys->Get(LKeySet::kScale)->first->value[0] = 1;
    keys->Get(LKeySet::kScale)->first->value[1] = 1;
    keys->Get(LKeySet::kScale)->first->value[2] = 1;
    LKey* r = keys->Get(LKeySet::kRotate)->first;
    r->value[0] = 0.9f, r->value[1] = 1, r->value[2] = -2, r->value[3] = 0.5f;
    LKeyTrack::ChainRotations(keys->Get(LKeySet::kRotate));
    const Eigen::Matrix3d rotation = ToQuat(r->rotation).toRotationMatrix();
    const float mirrors[][3] = {{-1, 1, 1}, {-2, -3, 1}, {1, -1, 1}, {1, 1, 1}, {2, 0.5f, 3}, {1, 1, -1}};
    const double signs[][3] = {{-1, 1, 1}, {-1, 1, 1}, {1, -1, 1}, {1, 1, 1}, {1, 1, 1}, {1, 1, -1}};
    for (int i = 0; i < 6; ++i) {
        float m[12];
        ASSERT_EQ(L3DObject_Animation::ChildLocalMatrix(&child, 0, mirrors[i], m), 1);
        const Eigen::Matrix3d s = Eigen::Vector3d(signs[i][0], signs[i][1], signs[i][2]).asDiagonal();
        const Eigen::Matrix3d expected = s * rotation * s;
        for (int row = 0; row < 3; ++row)
            for (int c = 0; c < 3; ++c) EXPECT_NEAR(m[4 * row + c], expected(row, c), 1e-6) << "case " << i;
    }
}
