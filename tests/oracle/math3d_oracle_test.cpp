// The engine's matrix, quaternion and vector math against Eigen, in double.
// Tolerance: 1e-5 relative to the larger of 1 and the reference value (the
// inputs are of order 1, so this is a few float roundings).
#include "engine3d/location.h"
#include "engine3d/math3d.h"
#include "engine3d/vec3.h"

#include <Eigen/Geometry>
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <random>

namespace {
const double kTolerance = 1e-5;

using Affine = Eigen::Transform<double, 3, Eigen::Affine>;

::testing::AssertionResult Near(double actual, double expected) {
    if (std::fabs(actual - expected) <= kTolerance * std::fmax(1.0, std::fabs(expected)))
        return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure() << actual << " vs " << expected;
}

void ExpectMatrix(const float* m, const Affine& e) {
    for (int r = 0; r < 3; ++r)
        for (int c = 0; c < 4; ++c) EXPECT_TRUE(Near(m[4 * r + c], e(r, c))) << "element " << 4 * r + c;
}

Affine ToEigen(const float* m) {
    Affine e = Affine::Identity();
    for (int r = 0; r < 3; ++r)
        for (int c = 0; c < 4; ++c) e(r, c) = m[4 * r + c];
    return e;
}

Eigen::Quaterniond ToEigen4(const float* q) { return Eigen::Quaterniond(q[0], q[1], q[2], q[3]); }

void ExpectQuat(const float* q, const Eigen::Quaterniond& e) {
    EXPECT_TRUE(Near(q[0], e.w()));
    EXPECT_TRUE(Near(q[1], e.x()));
    EXPECT_TRUE(Near(q[2], e.y()));
    EXPECT_TRUE(Near(q[3], e.z()));
}

// q or -q (the same rotation).
void ExpectSameRotation(const float* q, const Eigen::Quaterniond& e) {
    const double sign = q[0] * e.w() + q[1] * e.x() + q[2] * e.y() + q[3] * e.z() < 0 ? -1.0 : 1.0;
    ExpectQuat(q, Eigen::Quaterniond(sign * e.w(), sign * e.x(), sign * e.y(), sign * e.z()));
}

class MathOracle : public ::testing::Test {
protected:
    float Uniform(float lo, float hi) { return std::uniform_real_distribution<float>(lo, hi)(rng); }
    void RandomMatrix(float* m) {
        for (int i = 0; i < 12; ++i) m[i] = Uniform(-2, 2);
    }
    void RandomUnitQuat(float* q) {
        Eigen::Vector4d v;
        for (int i = 0; i < 4; ++i) v[i] = Uniform(-1, 1);
        v.normalize();
        for (int i = 0; i < 4; ++i) q[i] = static_cast<float>(v[i]);
    }
    // Rotation with angles x, y, z in the engine's layout: Ry(-y) Rx(-x) Rz(-z).
    static Eigen::Matrix3d EulerRotation(double x, double y, double z) {
        using Eigen::AngleAxisd;
        using Eigen::Vector3d;
        return (AngleAxisd(-y, Vector3d::UnitY()) * AngleAxisd(-x, Vector3d::UnitX()) *
                AngleAxisd(-z, Vector3d::UnitZ()))
            .toRotationMatrix();
    }
    std::mt19937 rng{77};
};
}  // namespace

TEST_F(MathOracle, MatrixProductsAndTransforms) {
    for (int round = 0; round < 200; ++round) {
        float a[12], b[12], out[12];
        RandomMatrix(a);
        RandomMatrix(b);
        const Affine product = ToEigen(a) * ToEigen(b);
        LMatrix34::Multiply(a, b, out);
        ExpectMatrix(out, product);
        float a2[12], b2[12];
        LMatrix34::Copy(a, a2);
        LMatrix34::Copy(b, b2);
        LMatrix34::Multiply(a2, b, a2);  // output is the left input
        LMatrix34::Multiply(a, b2, b2);  // output is the right input
        EXPECT_EQ(std::memcmp(a2, out, sizeof out), 0);
        EXPECT_EQ(std::memcmp(b2, out, sizeof out), 0);

        float p[3] = {Uniform(-5, 5), Uniform(-5, 5), Uniform(-5, 5)}, q[3];
        const Eigen::Vector3d ep(p[0], p[1], p[2]);
        const Eigen::Vector3d moved = ToEigen(a) * ep;
        const Eigen::Vector3d turned = ToEigen(a).linear() * ep;
        LMatrix34::RotateVector(a, p, q);
        for (int i = 0; i < 3; ++i) EXPECT_TRUE(Near(q[i], turned[i]));
        LMatrix34::TransformPoint(a, p, p);  // in place
        for (int i = 0; i < 3; ++i) EXPECT_TRUE(Near(p[i], moved[i]));
    }
}

TEST_F(MathOracle, InverseScaleRowsInvertsRotationsWithScaledRows) {
    for (int round = 0; round < 100; ++round) {
        const Eigen::Matrix3d r = EulerRotation(Uniform(0, 6), Uniform(0, 6), Uniform(0, 6));
        const Eigen::Vector3d s(Uniform(0.2f, 3), Uniform(0.2f, 3), Uniform(0.2f, 3));
        Affine a = Affine::Identity();
        a.linear() = s.asDiagonal() * r;
        a.translation() = Eigen::Vector3d(1, 2, 3);
        float m[12], out[12];
        for (int row = 0; row < 3; ++row)
            for (int c = 0; c < 4; ++c) m[4 * row + c] = static_cast<float>(a(row, c));
        EXPECT_EQ(LMatrix34::InverseScaleRows(m, out), 1);
        LMatrix34::TransposeRotation(out, out);
        Affine expected = Affine::Identity();
        expected.linear() = ToEigen(m).linear().inverse();
        expected.translation() = Eigen::Vector3d(m[3], m[7], m[11]);
        ExpectMatrix(out, expected);
    }
}

TEST_F(MathOracle, EulerRotationAndLocationMatrix) {
    for (int round = 0; round < 200; ++round) {
        const float x = Uniform(0, 6.28f), y = Uniform(0, 6.28f), z = Uniform(0, 6.28f);
        const float t[3] = {4, 5, 6};
        float m[12];
        LMatrix34::MakeRotationEuler(x, y, z, m, t);
        Affine e = Affine::Identity();
        e.linear() = EulerRotation(x, y, z);
        e.translation() = Eigen::Vector3d(4, 5, 6);
        ExpectMatrix(m, e);
        // The location's matrix is the same rotation with entries inside
        // (-0.01, 0.01) flushed to 0.
        const L3DLocation l(x, y, z, 0, 0, 0);
        const float* lm = l.GetRotation().m;
        for (int r = 0; r < 3; ++r)
            for (int c = 0; c < 3; ++c) {
                const double v = e(r, c);
                if (std::fabs(v) < 0.0099) {
                    EXPECT_EQ(lm[4 * r + c], 0.0f);
                } else if (std::fabs(v) > 0.0101) {
                    EXPECT_TRUE(Near(lm[4 * r + c], v));
                }
            }
    }
}

TEST_F(MathOracle, QuaternionProductsAndInverse) {
    for (int round = 0; round < 200; ++round) {
        float a[4], b[4], out[4];
        for (float& v : a) v = Uniform(-2, 2);
        for (float& v : b) v = Uniform(-2, 2);
        const Eigen::Quaterniond ea = ToEigen4(a), eb = ToEigen4(b);
        QuatMultiply(a, b, out);
        ExpectQuat(out, ea * eb);
        QuatDivide(a, b, out);
        ExpectQuat(out, ea * eb.inverse());
        QuatInverse(a, out);
        ExpectQuat(out, ea.inverse());
        float axis[3], angle;
        RandomUnitQuat(a);
        QuatGetAngle(a, &angle, &axis[0], &axis[1], &axis[2]);
        // The angle lies in [0, 2*pi] (Eigen would pick the one below pi): the
        // rotation it names must give back q itself.
        EXPECT_TRUE(Near(Eigen::Vector3d(axis[0], axis[1], axis[2]).norm(), 1.0));
        ExpectQuat(a, Eigen::Quaterniond(Eigen::AngleAxisd(angle, Eigen::Vector3d(axis[0], axis[1], axis[2]))));
    }
}

TEST_F(MathOracle, QuaternionMatricesAndBack) {
    float turns[6][4] = {{0, 1, 0, 0}, {0, 0, 1, 0}, {0, 0, 0, 1}};  // 180 degrees about x, y, z
    for (int i = 3; i < 6; ++i) RandomUnitQuat(turns[i]);
    for (int round = 0; round < 206; ++round) {
        float q[4];
        if (round < 6) std::memcpy(q, turns[round], sizeof q);
        else RandomUnitQuat(q);
        const Eigen::Quaterniond e = ToEigen4(q);
        float m[12], back[4];
        QuatMakeMatrix(q, m);
        Affine expected = Affine::Identity();
        expected.linear() = e.toRotationMatrix().transpose();  // the transposed convention
        ExpectMatrix(m, expected);
        QuatMakeInvertedMatrix(q, m);
        expected.linear() = e.toRotationMatrix();
        ExpectMatrix(m, expected);
        QuatMakeMatrix(q, m);
        QuatFromMatrix(m, back);
        ExpectSameRotation(back, e);

        const float copy[4] = {q[0], q[1], q[2], q[3]};
        const double negated[3][4] = {{q[0], q[1], -q[2], -q[3]}, {q[0], -q[1], q[2], -q[3]}, {q[0], -q[1], -q[2], q[3]}};
        void (*const forms[3])(const float*, float*) = {QuatMakeInvertedMatrixNegYZ, QuatMakeInvertedMatrixNegXZ,
                                                        QuatMakeInvertedMatrixNegXY};
        for (int f = 0; f < 3; ++f) {
            forms[f](q, m);
            expected.linear() =
                Eigen::Quaterniond(negated[f][0], negated[f][1], negated[f][2], negated[f][3]).toRotationMatrix();
            ExpectMatrix(m, expected);
            EXPECT_EQ(std::memcmp(q, copy, sizeof copy), 0);
        }
    }
}

TEST_F(MathOracle, ExpOfLogAndSlerp) {
    for (int round = 0; round < 200; ++round) {
        float q[4], log[4], back[4];
        RandomUnitQuat(q);
        QuatLog(q, log);
        EXPECT_EQ(log[0], 0.0f);
        QuatExp(log, back);
        // atan(|v|/w) lands on the hemisphere of w >= 0: q itself there, -q otherwise.
        const double sign = q[0] < 0 ? -1.0 : 1.0;
        ExpectQuat(back, Eigen::Quaterniond(sign * q[0], sign * q[1], sign * q[2], sign * q[3]));

        float a[4], b[4], out[4];
        RandomUnitQuat(a);
        RandomUnitQuat(b);
        const float t = Uniform(0, 1);
        QuatSlerp(a, b, 0, t, out);
        ExpectQuat(out, ToEigen4(a).slerp(t, ToEigen4(b)));  // Eigen also takes the shorter arc
        // Direct: the arc from a to b as given, even the longer one.
        QuatSlerpDirect(a, b, 0, t, out);
        const double theta = std::acos(ToEigen4(a).coeffs().dot(ToEigen4(b).coeffs()));
        const Eigen::Quaterniond eo = ToEigen4(out);
        EXPECT_TRUE(Near(eo.norm(), 1.0));
        EXPECT_TRUE(Near(eo.coeffs().dot(ToEigen4(a).coeffs()), std::cos(t * theta)));
        EXPECT_TRUE(Near(eo.coeffs().dot(ToEigen4(b).coeffs()), std::cos((1 - t) * theta)));
    }
    // A quaternion and its negation: the shorter arc stays on q; nearly equal
    // ones blend linearly.
    float q[4], minus[4], out[4];
    RandomUnitQuat(q);
    QuatScale(q, -1, minus);
    QuatSlerp(q, minus, 0, 0.5f, out);
    ExpectQuat(out, ToEigen4(q));
    const float a[4] = {1, 0, 0, 0}, b[4] = {0.9999999f, 0.0004f, 0, 0};
    QuatSlerp(a, b, 0, 0.25f, out);
    ExpectQuat(out, Eigen::Quaterniond(0.75 + 0.25 * b[0], 0.25 * b[1], 0, 0));
    QuatSlerpDirect(a, b, 0, 0.25f, out);
    ExpectQuat(out, Eigen::Quaterniond(0.75 + 0.25 * b[0], 0.25 * b[1], 0, 0));
}

TEST_F(MathOracle, TransformZByMatrix) {
    for (int round = 0; round < 100; ++round) {
        float a[3], b[3], m[9];
        for (float& v : a) v = Uniform(-3, 3);
        for (float& v : b) v = Uniform(-3, 3);
        for (float& v : m) v = Uniform(-1, 1);
        const Eigen::Matrix3d em = Eigen::Map<Eigen::Matrix<float, 3, 3, Eigen::RowMajor>>(m).cast<double>();
        const double expected = Eigen::Vector3d(b[0], b[1], b[2]).dot(em * Eigen::Vector3d(a[0], a[1], a[2]));
        // Relative to the size of the terms, since the sum may cancel.
        const double terms = Eigen::Vector3d(b[0], b[1], b[2]).cwiseAbs().dot(em.cwiseAbs() *
                                                                            Eigen::Vector3d(a[0], a[1], a[2]).cwiseAbs());
        EXPECT_NEAR(Vec3TransformZByMatrix(a, b, m), expected, kTolerance * std::fmax(1.0, terms));
    }
}
