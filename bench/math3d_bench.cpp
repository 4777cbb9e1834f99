// 3x4 matrix math against Eigen's affine transforms on the same data, and
// positional access of the engine list against std::list. One run; the times
// and ratios are printed (not a timed test).
#include "bench_timing.h"
#include "engine3d/data_link.h"
#include "engine3d/math3d.h"

#include <Eigen/Geometry>

#include <chrono>
#include <cstdint>
#include <cstdio>
#include <iterator>
#include <list>
#include <random>
#include <vector>

namespace {
using bench::Best;
using bench::Clock;
using bench::Seconds;
using Affine = Eigen::Transform<float, 3, Eigen::Affine>;
using AffineVector = std::vector<Affine, Eigen::aligned_allocator<Affine>>;


void Row(const char* what, double ours, double eigen, double check) {
    std::printf("%-34s %9.2f ms %9.2f ms %7.2fx   (checksum %.6g)\n", what, ours * 1e3, eigen * 1e3, ours / eigen, check);
}
}  // namespace

int main() {
    const int kCount = 1000000;
    std::mt19937 rng(5);
    std::uniform_real_distribution<float> u(-2.0f, 2.0f);

    // Matrices as 12 floats and as Eigen transforms holding the same values.
    std::vector<float> a(12 * static_cast<size_t>(kCount)), b(12 * static_cast<size_t>(kCount));
    AffineVector ea(kCount), eb(kCount);
    for (int i = 0; i < kCount; ++i) {
        for (int k = 0; k < 12; ++k) {
            a[12 * i + k] = u(rng);
            b[12 * i + k] = u(rng);
        }
        ea[i].matrix().setIdentity();
        eb[i].matrix().setIdentity();
        for (int r = 0; r < 3; ++r)
            for (int c = 0; c < 4; ++c) {
                ea[i](r, c) = a[12 * i + 4 * r + c];
                eb[i](r, c) = b[12 * i + 4 * r + c];
            }
    }
    std::vector<float> points(3 * static_cast<size_t>(kCount)), out(3 * static_cast<size_t>(kCount));
    for (float& p : points) p = u(rng);
    std::vector<Eigen::Vector3f> epoints(kCount), eout(kCount);
    for (int i = 0; i < kCount; ++i) epoints[i] = Eigen::Vector3f(points[3 * i], points[3 * i + 1], points[3 * i + 2]);

    std::printf("%-34s %12s %12s %8s\n", "", "engine", "Eigen", "ratio");
    {
        // One matrix for many points. Read through a pointer into memory the
        // outputs might alias, the matrix is reloaded for every point; held in
        // a local LMatrix34 (as a frame's object transform would be) it stays
        // in registers. Eigen's side holds its transform locally in both rows.
        const Affine em = ea[0];
        LMatrix34 local;
        for (int k = 0; k < 12; ++k) local.m[k] = a[k];
        const float* shared = a.data();
        const double eigen = Best([&] {
            for (int i = 0; i < kCount; ++i) eout[i] = em * epoints[i];
        });
        const double viaPointer = Best([&] {
            for (int i = 0; i < kCount; ++i) LMatrix34::TransformPoint(shared, &points[3 * i], &out[3 * i]);
        });
        double check = 0;
        for (int i = 0; i < kCount; i += 997) check += out[3 * i] - eout[i][0];
        Row("TransformPoint, 1e6 points, ptr", viaPointer, eigen, check);
        const double held = Best([&] {
            for (int i = 0; i < kCount; ++i) LMatrix34::TransformPoint(local.m, &points[3 * i], &out[3 * i]);
        });
        check = 0;
        for (int i = 0; i < kCount; i += 997) check += out[3 * i] - eout[i][0];
        Row("TransformPoint, 1e6 points, local", held, eigen, check);
    }
    {
        std::vector<float> product(12 * static_cast<size_t>(kCount));
        AffineVector eproduct(kCount);
        const double ours = Best([&] {
            for (int i = 0; i < kCount; ++i) LMatrix34::Multiply(&a[12 * i], &b[12 * i], &product[12 * i]);
        });
        const double eigen = Best([&] {
            for (int i = 0; i < kCount; ++i) eproduct[i] = ea[i] * eb[i];
        });
        double check = 0;
        for (int i = 0; i < kCount; i += 997) check += product[12 * i + 7] - eproduct[i](1, 3);
        Row("Multiply, 1e6 pairs", ours, eigen, check);
    }
    {
        const int kNodes = 100000;
        const int kLookups = 200000, kListLookups = 2000;
        LDataLink list(0);
        std::list<void*> stdList;
        for (int i = 0; i < kNodes; ++i) {
            list.InsertAt(reinterpret_cast<void*>(static_cast<uintptr_t>(i + 1)), -1);
            stdList.push_back(reinterpret_cast<void*>(static_cast<uintptr_t>(i + 1)));
        }
        std::vector<int> positions(kLookups);
        for (int& p : positions) p = static_cast<int>(rng() % kNodes);
        uintptr_t sum = 0;
        auto t0 = Clock::now();
        for (int p : positions) sum += reinterpret_cast<uintptr_t>(list.GetNodeAt(p)->value);
        const double ours = Seconds(t0) / kLookups;
        uintptr_t stdSum = 0;
        t0 = Clock::now();
        for (int i = 0; i < kListLookups; ++i)
            stdSum += reinterpret_cast<uintptr_t>(*std::next(stdList.begin(), positions[i]));
        const double theirs = Seconds(t0) / kListLookups;
        uintptr_t expected = 0;
        for (int i = 0; i < kListLookups; ++i) expected += static_cast<uintptr_t>(positions[i]) + 1;
        std::printf("%-34s %9.1f ns %9.1f ns %7.1fx faster (std::next)%s\n", "GetNodeAt, 100000 nodes", ours * 1e9,
                    theirs * 1e9, theirs / ours, stdSum == expected && sum > 0 ? "" : "  MISMATCH");
    }
    return 0;
}
