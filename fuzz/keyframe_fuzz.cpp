// Key tracks as a scene file would fill them, from the fuzz bytes: key times
// in any order, equal, negative and huge; tension, continuity, bias and ease
// of any float including NaN; rotation angles and axes of any size; open,
// closed and looping tracks. Then the set-up passes and sampling of vectors,
// rotations and matrices at fuzzed times.
//
// Invariants: every call returns; when every fuzzed value is finite and of
// magnitude at most 1000 (and the sample time at most 1e10), every sampled
// component is finite. Larger finite values may overflow the float arithmetic
// itself (a product of sixteen matrices of entries 1e38), which is no fault.
#include "engine3d/key_tracks.h"
#include "engine3d/math3d.h"

#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <cstring>

namespace {

struct Input {
    const uint8_t* data;
    size_t size;
    bool bounded = true;  // every value taken so far is finite and small

    uint32_t Bytes(int n) {
        uint32_t v = 0;
        for (int i = 0; i < n && size; ++i, ++data, --size) v = v << 8 | *data;
        return v;
    }
    // Mostly small values; a quarter of them raw float bits (NaN, infinities,
    // huge and tiny values).
    float Value() {
        if (Bytes(1) < 192) return float(int16_t(Bytes(2))) / 64.0f;
        const uint32_t bits = Bytes(4);
        float f;
        std::memcpy(&f, &bits, sizeof f);
        if (!(std::fabs(f) <= 1000.0f)) bounded = false;
        return f;
    }
    int32_t Time() {
        const uint32_t mode = Bytes(1);
        if (mode < 160) return int32_t(mode % 40);  // small, often equal
        if (mode < 224) return int8_t(Bytes(1));    // negative too
        return int32_t(Bytes(4));                   // anything
    }
};

struct Tracks {
    LKeySet set;
    LKeyTrack* translate = set.Ensure(LKeySet::kTranslate);
    LKeyTrack* rotate = set.Ensure(LKeySet::kRotate);
    LKeyTrack* matrix = set.Ensure(LKeySet::kMatrix);
};

void CheckFinite(const float* v, int n, bool expectFinite) {
    if (!expectFinite) return;
    for (int i = 0; i < n; ++i)
        if (!std::isfinite(v[i])) std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    Input in{data, size};
    Tracks t;
    const uint32_t header = in.Bytes(1);
    t.translate->flags = header & 3;
    t.rotate->flags = header >> 2 & 3;
    t.matrix->flags = header >> 4 & 1;
    const uint32_t keys = in.Bytes(1) % 17;
    for (uint32_t i = 0; i < keys; ++i) {
        const int32_t time = in.Time();
        LKey* k[3] = {LKey::Create(), LKey::Create(), LKey::Create()};
        float params[5];
        for (float& p : params) p = in.Value();
        for (LKey* key : k) {
            key->tension = params[0], key->bias = params[1], key->continuity = params[2];
            key->easeTo = params[3], key->easeFrom = params[4];
        }
        for (int v = 0; v < 4; ++v) k[0]->value[v] = in.Value();  // a position
        for (int v = 0; v < 4; ++v) k[1]->value[v] = in.Value();  // angle and axis
        float angles[3], shift[3];
        for (float& a : angles) a = in.Value();
        for (float& s : shift) s = in.Value();
        LMatrix34::MakeRotationEuler(angles[0], angles[1], angles[2], k[2]->value, shift);
        LKeyTrack::AddKey(t.translate, k[0], time);
        LKeyTrack::AddKey(t.rotate, k[1], time);
        LKeyTrack::AddKey(t.matrix, k[2], time);
    }
    const bool twoOrMore = keys >= 2;
    if (LKeyTrack::ComputeTangents(t.translate) != (twoOrMore ? 1 : 0)) std::abort();
    LKeyTrack::ChainRotations(t.rotate);
    if (LKeyTrack::SetupRotationSpline(t.rotate) != (twoOrMore ? 1 : 0)) std::abort();
    LKeyTrack::AccumulateRotations(t.matrix);

    while (in.size) {
        const float time = in.Value();
        const bool finite = in.bounded && std::fabs(time) <= 1e10f;
        const uint32_t loop = in.Bytes(1) & 1;
        t.translate->flags = (t.translate->flags & 3) | loop << 2;
        t.rotate->flags = (t.rotate->flags & 3) | loop << 2;
        float v[3] = {0, 0, 0}, q[4] = {1, 0, 0, 0}, m[12] = {};
        if (LKeyTrack::SampleVector(t.translate, time, v) != (keys ? 1 : 0)) std::abort();
        if (LKeyTrack::SampleRotation(t.rotate, time, q) != (keys ? 1 : 0)) std::abort();
        if (LKeyTrack::SampleMatrix(t.matrix, time, m) != (keys ? 1 : 0)) std::abort();
        CheckFinite(v, 3, finite);
        CheckFinite(q, 4, finite);
        CheckFinite(m, 12, finite);
    }
    return 0;
}
