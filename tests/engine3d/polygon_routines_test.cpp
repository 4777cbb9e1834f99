// Swept-sphere contact and the segment-plane hit.
#include "engine3d/polygon_routines.h"

#include <gtest/gtest.h>

#include <cmath>
#include <random>

namespace {
// The first of `steps` equal steps at which the spheres touch, or -1.
double SteppedContact(const float* a, const float* va, const float* b, const float* vb, int steps) {
    const double r = double(a[3]) + b[3];
    for (int i = 0; i <= steps; ++i) {
        const double t = double(i) / steps;
        double d2 = 0;
        for (int k = 0; k < 3; ++k) {
            const double d = (b[k] + vb[k] * t) - (a[k] + va[k] * t);
            d2 += d * d;
        }
        if (d2 <= r * r) return t;
    }
    return -1;
}
}  // namespace

TEST(SweptSphereContact, AgainstASteppedSimulation) {
    std::mt19937 rng(77);
    auto uni = [&](float lo, float hi) { return std::uniform_real_distribution<float>(lo, hi)(rng); };
    int hits = 0, misses = 0;
    for (int round = 0; round < 200; ++round) {
        const float a[4] = {uni(-20, 20), uni(-20, 20), uni(-20, 20), uni(1, 8)};
        const float b[4] = {uni(-20, 20), uni(-20, 20), uni(-20, 20), uni(1, 8)};
        // Mostly toward each other, so that contacts are common.
        float va[3], vb[3];
        const float toward = round % 2 ? 1.0f : 0.3f;
        for (int k = 0; k < 3; ++k) {
            va[k] = (b[k] - a[k]) * uni(0.0f, 1.2f) * toward + uni(-3, 3);
            vb[k] = uni(-3, 3);
        }
        const double expected = SteppedContact(a, va, b, vb, 100000);
        float v[3] = {va[0], va[1], va[2]};
        float t = -1, contact[3];
        const int32_t answer = SweptSphereContact(a, v, b, vb, &t, contact);
        const bool overlapping = expected == 0.0;
        if (expected < 0) {
            EXPECT_EQ(answer, 0) << round;
            ++misses;
            continue;
        }
        ASSERT_EQ(answer, 1) << round;
        ++hits;
        EXPECT_NEAR(t, expected, 1e-3) << round;
        for (int k = 0; k < 3; ++k) {
            if (overlapping) {
                EXPECT_FLOAT_EQ(contact[k], (a[k] + b[k]) * 0.5f);
                continue;
            }
            EXPECT_NEAR(v[k], va[k] * t, 1e-4f * std::fmax(1.0f, std::fabs(va[k])));
            // The contact point lies on the segment between the centres at t,
            // radius A away from A.
            const double ca = a[k] + v[k], cb = b[k] + vb[k] * t;
            const double expectedPoint = ca + (cb - ca) * a[3] / (a[3] + b[3]);
            EXPECT_NEAR(contact[k], expectedPoint, 1e-2) << round;
        }
    }
    EXPECT_GT(hits, 40);
    EXPECT_GT(misses, 40);
}

TEST(SweptSphereContact, DocumentedCases) {
    float t = -1, contact[3] = {0, 0, 0};
    {  // Resting and overlapping: t = 0 and the midpoint.
        const float a[4] = {0, 0, 0, 2}, b[4] = {3, 0, 0, 2}, vb[3] = {0, 0, 0};
        float va[3] = {0, 0, 0};
        EXPECT_EQ(SweptSphereContact(a, va, b, vb, &t, contact), 1);
        EXPECT_EQ(t, 0.0f);
        EXPECT_EQ(contact[0], 1.5f);
    }
    {  // Moving apart without overlap.
        const float a[4] = {0, 0, 0, 1}, b[4] = {5, 0, 0, 1}, vb[3] = {3, 0, 0};
        float va[3] = {-1, 0, 0};
        EXPECT_EQ(SweptSphereContact(a, va, b, vb, &t, contact), 0);
        EXPECT_EQ(va[0], -1.0f);
    }
    {  // Head on: touch at t = 0.5; velocity A scaled in place.
        const float a[4] = {0, 0, 0, 1}, b[4] = {10, 0, 0, 1}, vb[3] = {-8, 0, 0};
        float va[3] = {8, 0, 0};
        EXPECT_EQ(SweptSphereContact(a, va, b, vb, &t, contact), 1);
        EXPECT_FLOAT_EQ(t, 0.5f);
        EXPECT_FLOAT_EQ(va[0], 4.0f);
        EXPECT_FLOAT_EQ(contact[0], 5.0f);
    }
    {  // Both radii 0: the contact point is centre A + the scaled velocity.
        const float a[4] = {0, 0, 0, 0}, b[4] = {10, 0, 0, 0}, vb[3] = {-10, 0, 0};
        float va[3] = {10, 0, 0};
        EXPECT_EQ(SweptSphereContact(a, va, b, vb, &t, contact), 1);
        EXPECT_FLOAT_EQ(t, 0.5f);
        for (float c : contact) EXPECT_FALSE(std::isnan(c));
        EXPECT_FLOAT_EQ(contact[0], 5.0f);
    }
    {  // Closest approach beyond the step, apart at its end.
        const float a[4] = {0, 0, 0, 1}, b[4] = {100, 0, 0, 1}, vb[3] = {0, 0, 0};
        float va[3] = {10, 0, 0};
        EXPECT_EQ(SweptSphereContact(a, va, b, vb, &t, contact), 0);
    }
}

TEST(SegmentPlaneHit, FrontToBackOnly) {
    const float plane[4] = {0, 1, 0, 5};  // y = 5, front above
    float point[3] = {0, 0, 0};
    const float down[3] = {0.001f, -0.001f, 0};
    const float above[3] = {1, 6, 2};
    ASSERT_EQ(SegmentPlaneHit(plane, above, down, point), 1);
    // end = (11, -4, 2): s = 1, e = -9, crossing at a tenth of the way.
    EXPECT_FLOAT_EQ(point[0], 2.0f);
    EXPECT_FLOAT_EQ(point[1], 5.0f);
    EXPECT_FLOAT_EQ(point[2], 2.0f);
    const float behind[3] = {1, 4, 2};
    EXPECT_EQ(SegmentPlaneHit(plane, behind, down, point), 0);  // starts behind
    const float up[3] = {0, 1, 0};
    EXPECT_EQ(SegmentPlaneHit(plane, above, up, point), 0);    // never reaches the back
    const float shortDown[3] = {0, -1e-5f, 0};
    EXPECT_EQ(SegmentPlaneHit(plane, above, shortDown, point), 0);  // ends in front
    const float onPlane[3] = {0, 5, 0};
    EXPECT_EQ(SegmentPlaneHit(plane, onPlane, down, point), 1);  // on the plane counts as front
    const float nan[3] = {NAN, 0, 0};
    EXPECT_EQ(SegmentPlaneHit(plane, nan, down, point), 0);
}
