// Degenerate inputs of the matrix, quaternion and vector functions; their
// general results are checked against Eigen in tests/oracle.
#include "engine3d/math3d.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <limits>

namespace {
const float kNaN = std::numeric_limits<float>::quiet_NaN();

bool AllFinite(const float* v, int n) {
    for (int i = 0; i < n; ++i)
        if (!std::isfinite(v[i])) return false;
    return true;
}
bool AllNaN(const float* v, int n) {
    for (int i = 0; i < n; ++i)
        if (!std::isnan(v[i])) return false;
    return true;
}
}  // namespace

TEST(Math3d, DegenerateQuaternionsAndRows) {
    const float zero[4] = {0, 0, 0, 0}, identity[4] = {1, 0, 0, 0};
    float out[4];
    QuatRescale(zero, 3, out);
    EXPECT_EQ(QuatIsEqual(out, identity), 1);
    float angle = 9, ax = 9, ay = 9, az = 9;
    QuatGetAngle(identity, &angle, &ax, &ay, &az);
    EXPECT_EQ(angle, 0.0f);
    EXPECT_TRUE(ax == 0 && ay == 0 && az == 0);

    QuatLog(identity, out);  // |v| = 0: no division, the vector stays 0
    EXPECT_EQ(QuatIsEqual(out, zero), 1);
    const float pure[4] = {0, 0, 2, 0};  // w = 0: theta = pi/2, along the unit vector
    QuatLog(pure, out);
    const float halfTurn[4] = {0, 0, 1.5707964f, 0};
    EXPECT_EQ(QuatIsEqual(out, halfTurn), 1);
    QuatExp(zero, out);  // theta = 0: factor 1
    EXPECT_EQ(QuatIsEqual(out, identity), 1);

    // Zero has no direction and no inverse: NaNs, without a trap.
    QuatNormalize(zero, out);
    EXPECT_TRUE(AllNaN(out, 4));
    QuatInverse(zero, out);
    EXPECT_TRUE(AllNaN(out, 4));
    QuatSqrt(zero, out);
    EXPECT_TRUE(AllFinite(out, 4));

    // A unit quaternion is inverted by conjugation alone.
    const float unit[4] = {0.5f, 0.5f, -0.5f, 0.5f}, conj[4] = {0.5f, -0.5f, 0.5f, -0.5f};
    QuatInverse(unit, out);
    EXPECT_EQ(QuatIsEqual(out, conj), 1);
    EXPECT_EQ(QuatIsEqual(unit, unit), 1);
    const float withNaN[4] = {kNaN, 0, 0, 0};
    EXPECT_EQ(QuatIsEqual(withNaN, withNaN), 0);

    float m[12] = {3, 4, 0, 7, 0, 0, 0, 8, 0, 0, 2, 9}, rows[12];
    EXPECT_EQ(LMatrix34::NormalizeRows(m, rows), 1);
    const float normalized[12] = {0.6f, 0.8f, 0, 7, 0, 0, 0, 8, 0, 0, 1, 9};
    EXPECT_EQ(std::memcmp(rows, normalized, sizeof rows), 0);
    // A zero second row: identity and 0.
    EXPECT_EQ(LMatrix34::InverseScaleRows(m, rows), 0);
    float identity34[12];
    LMatrix34::SetIdentity(identity34);
    EXPECT_EQ(std::memcmp(rows, identity34, sizeof rows), 0);

    const float v[3] = {2, 3, 4};
    float made[12];
    LMatrix34::MakeScale(v, made);
    const float scale[12] = {2, 0, 0, 0, 0, 3, 0, 0, 0, 0, 4, 0};
    EXPECT_EQ(std::memcmp(made, scale, sizeof made), 0);
    LMatrix34::MakeTranslation(v, made);
    const float translation[12] = {1, 0, 0, 2, 0, 1, 0, 3, 0, 0, 1, 4};
    EXPECT_EQ(std::memcmp(made, translation, sizeof made), 0);

    // Matrices that are no rotation still give finite quaternions.
    float zeroMatrix[12];
    LMatrix34::Zero(zeroMatrix);
    QuatFromMatrix(zeroMatrix, out);
    EXPECT_TRUE(AllFinite(out, 4));
    const float mirror[12] = {-3, 0, 0, 0, 0, -3, 0, 0, 0, 0, -3, 0};
    QuatFromMatrix(mirror, out);
    EXPECT_TRUE(AllFinite(out, 4));
}

