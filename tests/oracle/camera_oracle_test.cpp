// The camera's focal factors and frustum planes against Eigen: each side
// plane is the plane through the eye and two rays to the edge of the view
// (normal from Eigen's cross product, turned inward), near and far the
// planes z = 20 and z = far.
#include "engine3d/camera.h"
#include "engine3d/world.h"

#include <Eigen/Geometry>
#include <gtest/gtest.h>

#include <cmath>
#include <random>

namespace {

Eigen::Vector4d PlaneThroughEye(const Eigen::Vector3d& a, const Eigen::Vector3d& b, const Eigen::Vector3d& inside) {
    Eigen::Vector3d n = a.cross(b).normalized();
    if (n.dot(inside) < 0) n = -n;
    return Eigen::Vector4d(n.x(), n.y(), n.z(), 0.0);
}

}  // namespace

TEST(CameraOracle, FocalFactorsAndFrustumPlanes) {
    L3DWorld world;
    L3DCamera* camera = world.CreateCamera(nullptr);
    std::mt19937 rng(5);
    auto uni = [&](double lo, double hi) { return std::uniform_real_distribution<double>(lo, hi)(rng); };
    for (int round = 0; round < 500; ++round) {
        const double fov = uni(10, 179), w = std::floor(uni(1, 800)), h = std::floor(uni(1, 600));
        const int32_t far = int32_t(uni(500, 65536));
        camera->SetViewSize(float(w), float(h));
        camera->SetFocus(float(fov));
        camera->SetViewDepth(far);
        const double t = std::tan(double(float(fov)) * 0.5 * M_PI / 180.0);
        const double fx = w / t, fy = h / 0.75 / t;
        EXPECT_NEAR(camera->focalX, fx, 2e-5 * fx) << fov;
        EXPECT_NEAR(camera->focalY, fy, 2e-5 * fy) << fov;

        // Edge rays of the view: x = +-w at depth fx, y = +-h at depth fy.
        const Eigen::Vector3d ahead(0, 0, 1);
        const struct {
            uint32_t bit;
            Eigen::Vector4d plane;
        } expected[] = {
            {LCameraView::kLeft, PlaneThroughEye({-w, -1, fx}, {-w, 1, fx}, ahead)},
            {LCameraView::kRight, PlaneThroughEye({w, -1, fx}, {w, 1, fx}, ahead)},
            {LCameraView::kBottom, PlaneThroughEye({-1, -h, fy}, {1, -h, fy}, ahead)},
            {LCameraView::kTop, PlaneThroughEye({-1, h, fy}, {1, h, fy}, ahead)},
            {LCameraView::kNear, Eigen::Vector4d(0, 0, 1, 20)},
            {LCameraView::kFar, Eigen::Vector4d(0, 0, -1, -double(far))},
        };
        for (const auto& e : expected) {
            const float* p = camera->Plane(e.bit);
            for (int i = 0; i < 4; ++i) EXPECT_NEAR(p[i], e.plane[i], 1e-5 * (1 + std::fabs(e.plane[i]))) << e.bit;
        }
    }
}
