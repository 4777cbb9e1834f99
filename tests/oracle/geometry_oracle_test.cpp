// Vertex projection against Mesa's gluProject with an equivalent perspective
// and viewport, and polygon planes against Eigen's cross products.
#include "../render/geometry_fixture.h"

#include <Eigen/Geometry>
#include <GL/glu.h>
#include <gtest/gtest.h>

#include <cmath>
#include <random>

namespace {
using Mat4 = Eigen::Matrix<double, 4, 4>;

Mat4 FromRows3x4(const float* m) {
    Mat4 e = Mat4::Identity();
    for (int r = 0; r < 3; ++r)
        for (int c = 0; c < 4; ++c) e(r, c) = m[4 * r + c];
    return e;
}
}  // namespace

// Camera space is x right, y up, z forward; GL's eye space looks down -z, so
// the modelview negates the third row. With the viewport (0, 0, 2cx, 2cy) and
// the projection's x and y scales fx/cx and fy/cy, GL's window coordinates
// are the engine's screen coordinates.
TEST(GeometryOracle, ProjectionAgainstGluProject) {
    std::mt19937 rng(99);
    auto uni = [&](double lo, double hi) { return std::uniform_real_distribution<double>(lo, hi)(rng); };
    double worstX = 0, worstY = 0;
    for (int round = 0; round < 2000; ++round) {
        GeometryScene s;
        // Half view sizes are whole pixels (the render target's width / 2).
        const float cx = std::floor(float(uni(100, 400))), cy = std::floor(float(uni(100, 300)));
        const float fx = float(uni(100, 800)), fy = float(uni(100, 800));
        s.view.SetFrustum(cx, cy, fx, fy, 20, 5000);
        float rotation[12];
        LMatrix34::MakeRotationEuler(float(uni(0, 6.28)), float(uni(0, 6.28)), float(uni(0, 6.28)), rotation, nullptr);
        for (int r = 0; r < 3; ++r)
            for (int c = 0; c < 3; ++c) s.view.rows[3 * r + c] = rotation[4 * r + c];
        for (float& p : s.view.position) p = float(uni(-100, 100));
        const bool withOwner = round % 2 == 1;
        if (withOwner) {
            s.owner.SetPositionAndAngles(float(uni(0, 6)), float(uni(0, 6)), float(uni(0, 6)), float(uni(-50, 50)),
                                         float(uni(-50, 50)), float(uni(-50, 50)));
            s.owner.SetScale(float(uni(0.5, 2)), float(uni(0.5, 2)), float(uni(0.5, 2)));
            s.owner.SetHotSpot(float(uni(-5, 5)), float(uni(-5, 5)), float(uni(-5, 5)));
        }
        // A point in front of the camera, at a random depth and direction.
        const double depth = uni(50, 2000);
        const double viewPoint[3] = {uni(-1, 1) * depth * cx / fx, uni(-1, 1) * depth * cy / fy, depth};
        Eigen::Vector3d world = Eigen::Vector3d(s.view.position[0], s.view.position[1], s.view.position[2]);
        for (int r = 0; r < 3; ++r)
            for (int c = 0; c < 3; ++c) world[c] += s.view.rows[3 * r + c] * viewPoint[r];
        Mat4 model = Mat4::Identity();
        if (withOwner) {
            Mat4 place = FromRows3x4(s.owner.GetRotation().m);
            for (int k = 0; k < 3; ++k) place(k, 3) = s.owner.GetPosition()[k];
            Mat4 scale = Mat4::Identity(), hot = Mat4::Identity();
            for (int k = 0; k < 3; ++k) {
                scale(k, k) = s.owner.GetScale()[k];
                hot(k, 3) = s.owner.GetHotSpot()[k];
            }
            model = place * scale * hot;
        }
        // Local coordinates that land on `world` through the model.
        const Eigen::Vector4d local4 = model.inverse() * Eigen::Vector4d(world[0], world[1], world[2], 1);
        L3DPoint* p = s.points.AddPoint(float(local4[0]), float(local4[1]), float(local4[2]), 0, 0);
        p->Project(withOwner ? &s.owner : nullptr, s.view);

        Mat4 view = Mat4::Identity();
        for (int r = 0; r < 3; ++r) {
            const double sign = r == 2 ? -1.0 : 1.0;
            double t = 0;
            for (int c = 0; c < 3; ++c) {
                view(r, c) = sign * s.view.rows[3 * r + c];
                t -= view(r, c) * s.view.position[c];
            }
            view(r, 3) = t;
        }
        const Mat4 modelview = view * model;
        const double n = 20, f = 5000;
        Mat4 projection = Mat4::Zero();
        projection(0, 0) = fx / cx;
        projection(1, 1) = fy / cy;
        projection(2, 2) = -(f + n) / (f - n);
        projection(2, 3) = -2 * f * n / (f - n);
        projection(3, 2) = -1;
        const GLint viewport[4] = {0, 0, GLint(2 * cx), GLint(2 * cy)};
        double wx, wy, wz;
        // The vertex holds floats: GLU gets the same rounded coordinates.
        const Eigen::Vector4d held(p->local[0], p->local[1], p->local[2], 1);
        ASSERT_EQ(gluProject(held[0], held[1], held[2], modelview.data(), projection.data(), viewport, &wx, &wy,
                             &wz),
                  GL_TRUE);
        const double ex = wx, ey = wy;
        worstX = std::fmax(worstX, std::fabs(p->screenX - ex));
        worstY = std::fmax(worstY, std::fabs(p->screenY - ey));
        ASSERT_NEAR(p->screenX, ex, 1e-3) << round;
        ASSERT_NEAR(p->screenY, ey, 1e-3) << round;
        const Eigen::Vector4d eye = modelview * held;
        EXPECT_NEAR(p->depth, -eye[2], 1e-4 * depth) << round;
        EXPECT_EQ(p->inverseDepth, 1.0f / p->depth);
        EXPECT_EQ(p->depthFraction, p->depth / s.view.farDistance);
        EXPECT_EQ(p->outcode, 1);
    }
    std::printf("gluProject: worst screen difference x %.2e, y %.2e pixel\n", worstX, worstY);
}

TEST(GeometryOracle, PlanesAgainstEigenCrossProducts) {
    std::mt19937 rng(5);
    auto uni = [&](float lo, float hi) { return std::uniform_real_distribution<float>(lo, hi)(rng); };
    for (int round = 0; round < 500; ++round) {
        GeometryScene s;
        const int n = round % 2 ? 4 : 3;
        float p[4][3];
        for (auto& v : p)
            for (float& c : v) c = uni(-100, 100);
        LPolygon* poly = s.Triangle(p, n);
        poly->ComputePlanes(0);
        Eigen::Vector3d q[4];
        for (int i = 0; i < n; ++i) q[i] = Eigen::Vector3d(p[i][0], p[i][1], p[i][2]);
        const Eigen::Vector3d normal = (q[1] - q[0]).cross(q[2] - q[0]).normalized();
        for (int k = 0; k < 3; ++k) EXPECT_NEAR(poly->planes[k], normal[k], 1e-5) << round;
        EXPECT_NEAR(poly->planes[3], normal.dot(q[0]), 1e-5 * 100) << round;
        for (int e = 0; e < n; ++e) {
            const Eigen::Vector3d m = normal.cross(q[(e + 1) % n] - q[e]).normalized();
            const float* plane = poly->planes + 4 * (e + 1);
            for (int k = 0; k < 3; ++k) EXPECT_NEAR(plane[k], -m[k], 1e-5) << round;
            EXPECT_NEAR(plane[3], -m.dot(q[e]), 1e-5 * 100) << round;
        }
        uint8_t mask = 0;
        bool clear = true;
        for (int k = 0; k < 3; ++k) clear = clear && std::fabs(std::fabs(normal[k]) - 1e-5) > 1e-6;
        if (!clear) continue;
        const uint8_t pos[3] = {8, 4, 32}, neg[3] = {16, 2, 64};
        for (int k = 0; k < 3; ++k) mask |= normal[k] > 1e-5 ? pos[k] : (normal[k] < -1e-5 ? neg[k] : 0);
        EXPECT_EQ(poly->facingMask, mask);
        EXPECT_EQ(poly->ComputeFacingMask(), mask);
    }
}
