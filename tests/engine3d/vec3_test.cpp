// The quirks of the three-component vector functions that callers rely on:
// zero and NaN vectors, exact equality, the cosine of AngleBetween.
#include "engine3d/vec3.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

namespace {
const float kNaN = std::numeric_limits<float>::quiet_NaN();
}  // namespace

TEST(Vec3, ZeroAndNaNRules) {
    const float zero[3] = {0, 0, 0}, nan3[3] = {kNaN, 0, 0}, v[3] = {3, 0, 4}, w[3] = {0, 2, 0};
    float out[3] = {7, 7, 7};
    struct LengthCase {
        const float* a;
        const float* b;  // null: Vec3Length of a
        float expected;
    } lengths[] = {
        {zero, nullptr, 1.0f}, {nan3, nullptr, 1.0f}, {v, nullptr, 5.0f},
        {v, v, 1.0f},          {nan3, zero, 1.0f},    {v, zero, 5.0f},
    };
    for (const LengthCase& c : lengths)
        EXPECT_EQ(c.b ? Vec3Distance(c.a, c.b) : Vec3Length(c.a), c.expected);
    Vec3Normalize(zero, out);
    EXPECT_EQ(Vec3Equal(out, zero), 1);
    Vec3Set(7, 7, 7, out);
    Vec3SetLength(zero, 4, out);
    EXPECT_EQ(Vec3Equal(out, zero), 1);
    Vec3SetLength(v, 10, out);
    const float longer[3] = {6, 0, 8};
    EXPECT_EQ(Vec3Equal(out, longer), 1);
    // Exact comparison; NaN never equal, not even to itself.
    const float nearly[3] = {3, 0, std::nextafter(4.0f, 5.0f)};
    EXPECT_EQ(Vec3Equal(v, nearly), 0);
    EXPECT_EQ(Vec3Equal(nan3, nan3), 0);
    // A cosine, not an angle: perpendicular 0, opposite -1, zero vector 0.
    EXPECT_EQ(Vec3AngleBetween(v, w), 0.0f);
    Vec3Negate(v, out);
    EXPECT_FLOAT_EQ(Vec3AngleBetween(v, out), -1.0f);
    EXPECT_FLOAT_EQ(Vec3AngleBetween(v, longer), 1.0f);
    EXPECT_EQ(Vec3AngleBetween(zero, v), 0.0f);
    Vec3Cross(v, w, out);
    const float cross[3] = {-8, 0, 6};
    EXPECT_EQ(Vec3Equal(out, cross), 1);
    Vec3Combine(v, w, 2, 0.5f, out);
    const float combined[3] = {6, 1, 8};
    EXPECT_EQ(Vec3Equal(out, combined), 1);
    const float middle[3] = {4.5f, 0, 6}, quarter[3] = {3.75f, 0, 5};
    Vec3Midpoint(v, longer, out);
    EXPECT_EQ(Vec3Equal(out, middle), 1);
    Vec3Lerp(v, longer, 0.25f, out);
    EXPECT_EQ(Vec3Equal(out, quarter), 1);
}
