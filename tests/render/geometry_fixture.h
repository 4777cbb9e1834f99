#pragma once
// A real driver, render target and world skeleton with one owner object and
// its vertex array, and a camera view filled by hand: the frustum of a
// camera with the given half view size and focal factors, near 20 and the
// given far distance, and a clip pool with device vertices.
#include "engine3d/camera_view.h"
#include "engine3d/point.h"
#include "engine3d/polygon.h"
#include "engine3d/world.h"
#include "render/driver.h"
#include "render/render_api.h"

#include <cmath>
#include <memory>
#include <vector>

class TestView : public LCameraView {
public:
    explicit TestView(int32_t poolSize = 30) : m_pool(new L3DPoint[size_t(poolSize)]) {
        for (int32_t i = 0; i < poolSize; ++i) m_pool[size_t(i)].AttachDeviceVertex();
        clipPool = m_pool.get();
        clipPoolSize = poolSize;
        SetFrustum(160.0f, 120.0f, 300.0f, 300.0f, 20.0f, 10000.0f);
    }
    // The six planes of a symmetric frustum: half angles from the half view
    // size over the focal factors.
    void SetFrustum(float halfW, float halfH, float fx, float fy, float nearZ, float farZ) {
        focalX = fx;
        focalY = fy;
        centreX = halfW;
        centreY = halfH;
        farDistance = farZ;
        const float a = std::atan2(halfW, fx), b = std::atan2(halfH, fy);
        SetPlane(kLeft, std::cos(a), 0, std::sin(a), 0);
        SetPlane(kRight, -std::cos(a), 0, std::sin(a), 0);
        SetPlane(kBottom, 0, std::cos(b), std::sin(b), 0);
        SetPlane(kTop, 0, -std::cos(b), std::sin(b), 0);
        SetPlane(kNear, 0, 0, 1, nearZ);
        SetPlane(kFar, 0, 0, -1, -farZ);
    }
    void SetPlane(uint32_t bit, float x, float y, float z, float d) {
        float* p = Plane(bit);
        p[0] = x;
        p[1] = y;
        p[2] = z;
        p[3] = d;
    }
    int32_t Defer(LPolygon* polygon) override {
        deferred.push_back(polygon);
        return int32_t(deferred.size());
    }
    std::vector<LPolygon*> deferred;

private:
    std::unique_ptr<L3DPoint[]> m_pool;
};

struct GeometryScene {
    LAPICLBK driver;
    L3DWorld world;
    LRenderAPICLBK target{&world, &driver};
    LPolygonOwner owner;
    LBasePoint points{&world};
    TestView view;

    GeometryScene() {
        world.SetRenderTarget(&target);
        world.SetCurrentCamera(&view);
        owner.SetWorld(&world);
        owner.points = &points;
    }
    // A polygon of the owner (deleted with the scene).
    LPolygon* Polygon(int32_t reserved = 2) {
        polygons.emplace_back(world.CreatePolygon(&owner, reserved, nullptr));
        return polygons.back().get();
    }
    LPolygon* Triangle(const float (*p)[3], int n = 3) {
        LPolygon* polygon = Polygon(n == 4 ? 4 : 2);
        for (int i = 0; i < n; ++i) polygon->AddNewPoint(p[i][0], p[i][1], p[i][2], float(i), float(i) * 2.0f);
        return polygon;
    }
    ~GeometryScene() {
        for (auto& p : polygons) p->RemovePointAt(-1);
    }
    std::vector<std::unique_ptr<LPolygon>> polygons;
};
