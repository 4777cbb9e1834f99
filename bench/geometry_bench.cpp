// Vertex projection and polygon clipping against the same arithmetic written
// over Eigen, on the same data. One run of each (best of three); times and
// ratios are printed (not a timed test).
#include "bench_timing.h"
#include "engine3d/camera_view.h"
#include "engine3d/point.h"
#include "engine3d/polygon.h"

#include <Eigen/Geometry>

#include <cmath>
#include <cstdio>
#include <memory>
#include <random>
#include <thread>
#include <vector>

namespace {
using bench::Best;

class BenchView : public LCameraView {
public:
    BenchView() : m_pool(new L3DPoint[30]) {
        for (int i = 0; i < 30; ++i) m_pool[i].AttachDeviceVertex();
        clipPool = m_pool.get();
        clipPoolSize = 30;
        focalX = focalY = 300;
        centreX = 320;
        centreY = 240;
        farDistance = 5000;
        const float a = std::atan2(centreX, focalX), b = std::atan2(centreY, focalY);
        Set(kLeft, std::cos(a), 0, std::sin(a), 0);
        Set(kRight, -std::cos(a), 0, std::sin(a), 0);
        Set(kBottom, 0, std::cos(b), std::sin(b), 0);
        Set(kTop, 0, -std::cos(b), std::sin(b), 0);
        Set(kNear, 0, 0, 1, 20);
        Set(kFar, 0, 0, -1, -farDistance);
    }
    void Set(uint32_t bit, float x, float y, float z, float d) {
        float* p = Plane(bit);
        p[0] = x, p[1] = y, p[2] = z, p[3] = d;
    }
    int32_t Defer(LPolygon*) override { return 0; }

private:
    std::unique_ptr<L3DPoint[]> m_pool;
};

// Sutherland-Hodgman over Eigen hyperplanes: position and texture pair
// interpolated, new vertices projected.
struct EVertex {
    Eigen::Vector3f p;
    float u, v, sx, sy;
};

int ClipEigen(const EVertex* in, int n, const Eigen::Hyperplane<float, 3>* planes, EVertex* out, EVertex* scratch,
              const BenchView& view) {
    const EVertex* work = in;
    EVertex* buffers[2] = {out, scratch};
    int which = 0;
    for (int k = 0; k < 6; ++k) {
        float d[16];
        bool any = false;
        for (int i = 0; i < n; ++i) {
            d[i] = planes[k].signedDistance(work[i].p);
            any = any || d[i] < 0;
        }
        if (!any) continue;
        EVertex* next = buffers[which];
        int m = 0;
        for (int i = 0, j = n - 1; i < n; j = i++) {
            if ((d[j] < 0) != (d[i] < 0) && d[j] != 0 && d[i] != 0) {
                const float f = d[j] / (d[j] - d[i]);
                EVertex& e = next[m++];
                e.p = work[j].p + (work[i].p - work[j].p) * f;
                e.u = work[j].u + (work[i].u - work[j].u) * f;
                e.v = work[j].v + (work[i].v - work[j].v) * f;
                const float w = 1.0f / e.p.z();
                e.sx = w * view.focalX * e.p.x() + view.centreX;
                e.sy = w * view.focalY * e.p.y() + view.centreY;
            }
            if (d[i] >= 0) next[m++] = work[i];
        }
        if (m < 3) return 0;
        work = next;
        n = m;
        which ^= 1;
    }
    if (work != out)
        for (int i = 0; i < n; ++i) out[i] = work[i];
    return n;
}
}  // namespace

int main() {
    std::printf("machine: %u hardware threads; one thread used\n", std::thread::hardware_concurrency());
    std::mt19937 rng(3);
    auto uni = [&](float lo, float hi) { return std::uniform_real_distribution<float>(lo, hi)(rng); };
    BenchView view;
    const float cam[3] = {1, 2, -3};
    view.position[0] = cam[0], view.position[1] = cam[1], view.position[2] = cam[2];

    // --- Vertex transform and projection -----------------------------------
    const int kVertices = 1000000;
    LPolygonOwner owner;
    owner.SetPositionAndAngles(0.3f, 0.2f, 0.1f, 5, -4, 800);
    owner.SetScale(1.5f, 1.5f, 1.5f);
    owner.SetHotSpot(1, 2, 3);
    std::unique_ptr<L3DPoint[]> points(new L3DPoint[kVertices]);
    Eigen::Matrix3Xf local(3, kVertices);
    for (int i = 0; i < kVertices; ++i) {
        L3DPoint& p = points[i];
        p.AttachDeviceVertex();
        for (int k = 0; k < 3; ++k) local(k, i) = p.local[k] = uni(-300, 300);
    }
    double sumOurs = 0, sumEigen = 0;
    const double ours = Best([&] {
        for (int i = 0; i < kVertices; ++i) points[i].Project(&owner, view);
        sumOurs = points[kVertices / 2].screenX + points[7].screenY;
    });
    Eigen::Matrix3f objectR, viewR;
    for (int r = 0; r < 3; ++r)
        for (int c = 0; c < 3; ++c) {
            objectR(r, c) = owner.GetRotation().m[4 * r + c];
            viewR(r, c) = view.rows[3 * r + c];
        }
    const Eigen::Vector3f hot(owner.GetHotSpot()), scale(owner.GetScale()), position(owner.GetPosition()),
        camera(view.position);
    Eigen::Matrix3Xf camSpace(3, kVertices);
    Eigen::Array<float, 1, Eigen::Dynamic> sx(kVertices), sy(kVertices), inv(kVertices);
    const double eigen = Best([&] {
        // The same two steps as the vertex: object placement, then the view.
        camSpace.noalias() = objectR * (local.colwise() + hot).cwiseProduct(scale.replicate(1, kVertices));
        camSpace.colwise() += position - camera;
        camSpace = viewR * camSpace;
        inv = camSpace.row(2).array().inverse();
        sx = inv * camSpace.row(0).array() * view.focalX + view.centreX;
        sy = inv * camSpace.row(1).array() * view.focalY + view.centreY;
        sumEigen = sx[kVertices / 2] + sy[7];
    });
    std::printf("%-40s %9.2f ms %9.2f ms %6.2fx  (check %.4f / %.4f)\n", "1M vertices: project (ours / Eigen)",
                ours * 1e3, eigen * 1e3, ours / eigen, sumOurs, sumEigen);

    // --- Clipping ------------------------------------------------------------
    const int kTriangles = 200000;
    std::unique_ptr<L3DPoint[]> tv(new L3DPoint[3 * kTriangles]);
    std::vector<std::unique_ptr<LPolygon>> tris;
    std::vector<EVertex> ev(3 * size_t(kTriangles));
    tris.reserve(kTriangles);
    int crossing = 0;
    LCameraView& v = view;
    for (int t = 0; t < kTriangles; ++t) {
        // Centres spread over the view; sizes so that about half cross a plane.
        const float z = uni(30, 4800);
        const float c[3] = {uni(-0.9f, 0.9f) * z * view.centreX / view.focalX,
                            uni(-0.9f, 0.9f) * z * view.centreY / view.focalY, z};
        const float size = uni(0.05f, 0.6f) * z;
        tris.emplace_back(new LPolygon(nullptr, 2, nullptr));
        LPolygon* poly = tris.back().get();
        for (int i = 0; i < 3; ++i) {
            L3DPoint& p = tv[3 * t + i];
            for (int k = 0; k < 3; ++k) p.camera[k] = c[k] + uni(-size, size);
            p.useByte = 1;
            poly->points[i] = &p;
            poly->uv[i][0] = uni(0, 1);
            poly->uv[i][1] = uni(0, 1);
            EVertex& e = ev[3 * size_t(t) + i];
            e.p = Eigen::Vector3f(p.camera[0], p.camera[1], p.camera[2]);
            e.u = poly->uv[i][0];
            e.v = poly->uv[i][1];
        }
        poly->count = 3;
        crossing += v.ClipOutcode(poly->points, 3) != 0;
    }
    long outOurs = 0, outEigen = 0;
    const double clipOurs = Best([&] {
        outOurs = 0;
        L3DPoint* out[LPolygon::kMaxClipPoints];
        for (auto& poly : tris) outOurs += poly->ClipToFrustum(&view, out);
    });
    Eigen::Hyperplane<float, 3> planes[6];
    const uint32_t order[6] = {32, 64, 8, 16, 4, 2};
    for (int k = 0; k < 6; ++k) {
        const float* p = view.Plane(order[k]);
        planes[k] = Eigen::Hyperplane<float, 3>(Eigen::Vector3f(p[0], p[1], p[2]), -p[3]);
    }
    const double clipEigen = Best([&] {
        outEigen = 0;
        EVertex out[16], scratch[16];
        for (int t = 0; t < kTriangles; ++t) outEigen += ClipEigen(&ev[3 * size_t(t)], 3, planes, out, scratch, view);
    });
    std::printf("%-40s %9.2f ms %9.2f ms %6.2fx  (%.1f%% crossing; %ld / %ld vertices out)\n",
                "200k triangles: clip (ours / Eigen)", clipOurs * 1e3, clipEigen * 1e3, clipOurs / clipEigen,
                100.0 * crossing / kTriangles, outOurs, outEigen);
    std::printf("clipping: %.2f M triangles/s (ours), %.2f M triangles/s (Eigen)\n", kTriangles / clipOurs / 1e6,
                kTriangles / clipEigen / 1e6);
    for (int t = 0; t < kTriangles; ++t) tris[size_t(t)]->count = 0;  // the vertices belong to tv
    return 0;
}
