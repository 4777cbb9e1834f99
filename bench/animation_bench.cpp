// Keyframe evaluation of animated objects: 100 animated objects of 20
// children, each child with translate, scale and rotate tracks of 30 keys,
// stepped through 1,000 frames (the children's keyframe evaluation only, no
// drawing), beside a reference evaluator written with Eigen over the same
// keys and times: cubic Hermite on Vector3f with the same tangents and
// Quaternionf::slerp for the three slerps. The results are checked equal
// first; the times and their ratio are printed (not a timed test).
#include "bench_timing.h"
#include "engine3d/animated_object.h"
#include "engine3d/key_tracks.h"
#include "engine3d/math3d.h"

#include <Eigen/Geometry>

#include <cmath>
#include <cstdio>
#include <memory>
#include <random>
#include <vector>

namespace {

const int kObjects = 100;
const int kChildren = 20;
const int kKeys = 30;
const int kFrames = 1000;
const int kKeySpacing = 3;
const int kSpan = (kKeys - 1) * kKeySpacing;

// The reference: one track's keys as Eigen values and a search cursor.
struct RefVectorTrack {
    std::vector<float> times;
    std::vector<Eigen::Vector3f> values, in, out;
    size_t cursor = 0;
};
struct RefRotationTrack {
    std::vector<float> times;
    std::vector<Eigen::Quaternionf> q, a, b;
    size_t cursor = 0;
};

// The span [cursor, cursor + 1] holding t (keys at increasing times), the
// fraction within it; false past the last key.
bool Span(const std::vector<float>& times, size_t& cursor, float t, float& u) {
    if (times[cursor] > t) cursor = 0;
    while (cursor + 1 < times.size() && times[cursor + 1] <= t) ++cursor;
    if (cursor + 1 == times.size()) return false;
    u = (t - times[cursor]) / (times[cursor + 1] - times[cursor]);
    return true;
}

Eigen::Vector3f RefVector(RefVectorTrack& r, float t) {
    float u;
    if (!Span(r.times, r.cursor, t, u)) return r.values[r.cursor];
    const size_t i = r.cursor;
    const float u2 = u * u, u3 = u2 * u;
    return (2 * u3 - 3 * u2 + 1) * r.values[i] + (3 * u2 - 2 * u3) * r.values[i + 1] + (u3 - 2 * u2 + u) * r.out[i] +
           (u3 - u2) * r.in[i + 1];
}

Eigen::Quaternionf RefRotation(RefRotationTrack& r, float t) {
    float u;
    if (!Span(r.times, r.cursor, t, u)) return r.q[r.cursor];
    const size_t i = r.cursor;
    const Eigen::Quaternionf p = r.q[i].slerp(u, r.q[i + 1]);
    const Eigen::Quaternionf s = r.b[i].slerp(u, r.a[i + 1]);
    return p.slerp(2 * u * (1 - u), s);
}

struct RefChild {
    RefVectorTrack translate, scale;
    RefRotationTrack rotate;
    Eigen::Vector3f childScale;
};

Eigen::Quaternionf Quat(const float* q) { return Eigen::Quaternionf(q[0], q[1], q[2], q[3]); }

RefVectorTrack RefOf(const LKeyTrack* t) {
    RefVectorTrack r;
    for (const LKey* k = t->first; k; k = k->next) {
        r.times.push_back(k->time);
        r.values.emplace_back(k->value[0], k->value[1], k->value[2]);
        r.in.emplace_back(k->tangentIn[0], k->tangentIn[1], k->tangentIn[2]);
        r.out.emplace_back(k->tangentOut[0], k->tangentOut[1], k->tangentOut[2]);
    }
    return r;
}

RefRotationTrack RotationRefOf(const LKeyTrack* t) {
    RefRotationTrack r;
    for (const LKey* k = t->first; k; k = k->next) {
        r.times.push_back(k->time);
        r.q.push_back(Quat(k->rotation));
        r.a.push_back(Quat(k->controlA));
        r.b.push_back(Quat(k->controlB));
    }
    return r;
}

// The reference's local matrix of a child at time t (as the engine lays it
// out: rotation scaled per column, translation = child scale * position).
Eigen::Matrix<float, 3, 4> RefLocal(RefChild& c, float t) {
    const Eigen::Vector3f p = RefVector(c.translate, t), k = RefVector(c.scale, t);
    const Eigen::Quaternionf q = RefRotation(c.rotate, t);
    Eigen::Matrix<float, 3, 4> m;
    m.leftCols<3>() = q.toRotationMatrix() * k.asDiagonal();
    m.col(3) = c.childScale.cwiseProduct(p);
    return m;
}

}  // namespace

int main() {
    std::mt19937 random(7);
    std::uniform_real_distribution<float> position(-10, 10), scale(0.5f, 2), angle(0.05f, 0.4f), axis(-1, 1),
        param(-0.5f, 0.5f);
    std::vector<std::unique_ptr<L3DObject_Animation>> objects;
    std::vector<RefChild> reference;
    std::vector<L3DObject*> children;
    for (int o = 0; o < kObjects; ++o) {
        objects.emplace_back(new L3DObject_Animation("anim", nullptr, nullptr));
        L3DObject_Animation& object = *objects.back();
        object.GetAnimation().DefineTrack("Main", MakeTrackValues(0, 0, kSpan, 0, 0, 0, 0));
        for (int c = 0; c < kChildren; ++c) {
            auto* child = new L3DObject("part", nullptr, nullptr);
            child->SetKind(0x2);  // freed with the object
            child->SetScale(scale(random), scale(random), scale(random));
            object.LinkChild(child);
            LKeySet* keys = child->GetKeys();
            for (int which : {LKeySet::kTranslate, LKeySet::kScale, LKeySet::kRotate}) {
                LKeyTrack* t = keys->Ensure(which);
                for (int k = 0; k < kKeys; ++k) {
                    LKey* key = LKey::Create();
                    key->tension = param(random), key->continuity = param(random), key->bias = param(random);
                    if (which == LKeySet::kRotate) {
                        key->value[0] = angle(random);
                        for (int i = 1; i < 4; ++i) key->value[i] = axis(random);
                    } else {
                        for (int i = 0; i < 3; ++i) key->value[i] = which == LKeySet::kScale ? scale(random) : position(random);
                    }
                    LKeyTrack::AddKey(t, key, k * kKeySpacing);
                }
            }
            LKeyTrack::ComputeTangents(keys->Get(LKeySet::kTranslate));
            LKeyTrack::ComputeTangents(keys->Get(LKeySet::kScale));
            LKeyTrack::ChainRotations(keys->Get(LKeySet::kRotate));
            LKeyTrack::SetupRotationSpline(keys->Get(LKeySet::kRotate));
            const float* s = child->GetScale();
            reference.push_back({RefOf(keys->Get(LKeySet::kTranslate)), RefOf(keys->Get(LKeySet::kScale)),
                                 RotationRefOf(keys->Get(LKeySet::kRotate)), Eigen::Vector3f(s[0], s[1], s[2])});
            children.push_back(child);
        }
    }
    const auto frameOf = [](int step) { return step % (kSpan + 1); };

    // The two agree first, on every child at every frame.
    double worst = 0;
    for (int step = 0; step < kFrames; ++step) {
        for (auto& object : objects) {
            object->GetAnimation().SetFrame(frameOf(step));
            object->EvaluateChildren();
        }
        for (size_t c = 0; c < children.size(); ++c) {
            const Eigen::Matrix<float, 3, 4> e = RefLocal(reference[c], float(frameOf(step)));
            const float* m = children[c]->GetTransform().m;
            for (int r = 0; r < 3; ++r)
                for (int k = 0; k < 4; ++k)
                    worst = std::fmax(worst, std::fabs(m[4 * r + k] - e(r, k)) / std::fmax(1.0f, std::fabs(e(r, k))));
        }
    }
    std::printf("largest difference to the reference: %.3g (relative to max(1, |value|))\n", worst);
    if (!(worst <= 1e-5)) {
        std::printf("results differ: no timing\n");
        return 1;
    }

    std::vector<Eigen::Matrix<float, 3, 4>> sink(children.size());
    const double engine = bench::Best([&] {
        for (int step = 0; step < kFrames; ++step)
            for (auto& object : objects) {
                object->GetAnimation().SetFrame(frameOf(step));
                object->EvaluateChildren();
            }
    });
    const double eigen = bench::Best([&] {
        for (int step = 0; step < kFrames; ++step)
            for (size_t c = 0; c < reference.size(); ++c) sink[c] = RefLocal(reference[c], float(frameOf(step)));
    });
    const double perChild = 1e6 / (double(kFrames) * double(children.size()));
    std::printf("%zu children, %d frames, %d keys per track\n", children.size(), kFrames, kKeys);
    std::printf("%-22s %10s %10s %8s\n", "", "engine", "Eigen", "ratio");
    std::printf("%-22s %8.4f us %8.4f us %7.2fx\n", "per child per frame", engine * perChild, eigen * perChild,
                engine / eigen);
    std::printf("%-22s %8.3f ms %8.3f ms\n", "2,000 children", engine * perChild * 2000 / 1000,
                eigen * perChild * 2000 / 1000);
    return 0;
}
