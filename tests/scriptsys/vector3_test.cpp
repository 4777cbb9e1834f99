#include "scriptsys/vector3.h"

#include <gtest/gtest.h>

#include <cmath>

namespace {
CVector3 V(float x, float y, float z) {
    CVector3 v;
    v.Set(x, y, z);
    return v;
}
void ExpectNear(const CVector3& v, float x, float y, float z) {
    EXPECT_NEAR(v.x, x, 1e-5f);
    EXPECT_NEAR(v.y, y, 1e-5f);
    EXPECT_NEAR(v.z, z, 1e-5f);
}
}  // namespace

TEST(Vector3, Products) {
    CVector3 v = V(1, 0, 0);
    v.Cross(V(0, 1, 0));
    ExpectNear(v, 0, 0, 1);
    v = V(1, 2, 3);
    v.Cross(V(4, 5, 6));
    ExpectNear(v, -3, 6, -3);
    EXPECT_FLOAT_EQ(V(1, 2, 3).Dot(V(4, -5, 6)), 12.0f);
    EXPECT_NEAR(V(2, 0, 0).DotNormalized(V(3, 3, 0)), std::sqrt(0.5f), 1e-6f);
    EXPECT_EQ(V(0, 0, 0).DotNormalized(V(1, 0, 0)), 0.0f);
    v = V(1, 2, 3);
    v.MulComponents(V(2, 3, -1));
    ExpectNear(v, 2, 6, -3);
}

TEST(Vector3, LengthsAndZeroVectors) {
    EXPECT_FLOAT_EQ(V(3, 4, 12).Length(), 13.0f);
    EXPECT_FLOAT_EQ(V(1, 1, 1).Distance(V(4, 5, 1)), 5.0f);
    CVector3 v = V(0, 3, 4);
    v.Rescale(10);
    ExpectNear(v, 0, 6, 8);
    v.Normalize();
    ExpectNear(v, 0, 0.6f, 0.8f);
    CVector3 zero;
    zero.Normalize();  // no direction: stays zero, no NaN
    ExpectNear(zero, 0, 0, 0);
    zero.Rescale(5);
    ExpectNear(zero, 0, 0, 0);
}

TEST(Vector3, Interpolation) {
    CVector3 v = V(0, 0, 0);
    v.Lerp(0.25f, V(4, 8, -4));
    ExpectNear(v, 1, 2, -1);
    v = V(2, 2, 2);
    v.Average(V(4, 0, -2));
    ExpectNear(v, 3, 1, 0);
    v = V(1, 2, 3);
    v.Combine(2, -1, V(1, 1, 1));
    ExpectNear(v, 1, 3, 5);
    v.Negate();
    ExpectNear(v, -1, -3, -5);
    EXPECT_TRUE(V(1, 2, 3).Equals(V(1, 2, 3)));
    EXPECT_FALSE(V(1, 2, 3).Equals(V(1, 2, 3.0001f)));
}

TEST(Vector3, MatrixTransformsPointsAndDirections) {
    // Rotation of 90 degrees about z, then a translation (10, 20, 30).
    const float m[12] = {0, -1, 0, 10,
                         1, 0, 0, 20,
                         0, 0, 1, 30};
    CVector3 p = V(1, 2, 3);
    p.TransformPoint(m);
    ExpectNear(p, 8, 21, 33);
    CVector3 d = V(1, 2, 3);
    d.TransformDirection(m);
    ExpectNear(d, -2, 1, 3);
}
