// Key tracks: linking, removal, copying, sampling, and the spline set-up and
// evaluation over them. Rotation products and slerps are checked against
// Eigen in tests/oracle.
#include "engine3d/chunk_stream.h"
#include "engine3d/key_tracks.h"
#include "engine3d/math3d.h"
#include "runtime/io/buffer_stream.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <initializer_list>
#include <limits>
#include <memory>
#include <string>
#include <vector>

namespace {

const float kNaN = std::numeric_limits<float>::quiet_NaN();
const float kPi = 3.14159265f;

struct TrackDeleter {
    void operator()(LKeyTrack* t) const { LKeyTrack::Destroy(t); }
};
using Track = std::unique_ptr<LKeyTrack, TrackDeleter>;

struct KeySpec {
    int32_t time;
    float x, y = 0, z = 0, w = 0;
};

// A track of keys added in the given order, each value (x, y, z, w).
Track MakeTrack(std::initializer_list<KeySpec> keys, uint32_t flags = 0) {
    Track t(LKeyTrack::Create());
    t->flags = flags;
    for (const KeySpec& k : keys) {
        LKey* key = LKey::Create();
        key->value[0] = k.x, key->value[1] = k.y, key->value[2] = k.z, key->value[3] = k.w;
        LKeyTrack::AddKey(t.get(), key, k.time);
    }
    return t;
}

std::vector<LKey*> Keys(const LKeyTrack* t) {
    std::vector<LKey*> keys;
    for (LKey* k = t->first; k; k = k->next) keys.push_back(k);
    return keys;
}

// The chain is consistent both ways and its count matches.
void ExpectChain(const LKeyTrack* t, std::vector<float> times) {
    std::vector<LKey*> keys = Keys(t);
    ASSERT_EQ(keys.size(), times.size());
    EXPECT_EQ(t->count, int32_t(times.size()));
    for (size_t i = 0; i < keys.size(); ++i) {
        EXPECT_EQ(keys[i]->time, times[i]);
        EXPECT_EQ(keys[i]->previous, i ? keys[i - 1] : nullptr);
    }
}

bool Finite(const float* v, int n) {
    for (int i = 0; i < n; ++i)
        if (!std::isfinite(v[i])) return false;
    return true;
}

float Sample(LKeyTrack* t, float time) {
    float v[3] = {-1, -1, -1};
    LKeyTrack::SampleVector(t, time, v);
    return v[0];
}

}  // namespace

TEST(KeyTracks, AddKeyLinksInAddedOrder) {
    Track t = MakeTrack({{0, 1}, {10, 2}, {20, 3}});
    ExpectChain(t.get(), {0, 10, 20});
    EXPECT_EQ(t->lastTime, 20.0f);
    EXPECT_EQ(t->current, Keys(t.get()).back());
    LKey loose{};
    EXPECT_EQ(LKeyTrack::AddKey(nullptr, &loose, 0), 0);
    EXPECT_EQ(LKeyTrack::AddKey(t.get(), nullptr, 0), 0);
    // Out of order: appended, never sorted.
    LKeyTrack::AddKey(t.get(), LKey::Create(), 5);
    ExpectChain(t.get(), {0, 10, 20, 5});
    EXPECT_EQ(t->lastTime, 5.0f);
}

TEST(KeyTracks, RemoveKeyRepairsFirstCurrentAndLast) {
    struct Case {
        int remove;  // index of the key removed
        std::vector<float> left;
        float lastTime;
        float currentTime;
    } cases[] = {
        {0, {10, 20}, 20, 20},  // the first key
        {1, {0, 20}, 20, 20},   // a middle key
        {2, {0, 10}, 10, 10},   // the last key, also the current one
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.remove);
        Track t = MakeTrack({{0, 1}, {10, 2}, {20, 3}});
        EXPECT_EQ(LKeyTrack::HasKeyAt(t.get(), 10), 1);
        LKey* gone = Keys(t.get())[c.remove];
        EXPECT_EQ(LKeyTrack::RemoveKey(t.get(), gone), 1);
        ExpectChain(t.get(), c.left);
        EXPECT_EQ(t->lastTime, c.lastTime);
        ASSERT_NE(t->current, nullptr);
        EXPECT_EQ(t->current->time, c.currentTime);
        EXPECT_EQ(LKeyTrack::HasKeyAt(t.get(), 10), c.remove == 1 ? 0 : 1);
    }
    Track t = MakeTrack({{0, 1}});
    LKey stranger{};
    EXPECT_EQ(LKeyTrack::RemoveKey(t.get(), &stranger), 0) << "a key of no track";
    EXPECT_EQ(LKeyTrack::RemoveKey(t.get(), t->first), 1);
    EXPECT_EQ(t->first, nullptr);
    EXPECT_EQ(t->current, nullptr);
    EXPECT_EQ(t->count, 0);
}

TEST(KeyTracks, CopyParametersCopiesExactlyParametersTangentsAndQuaternions) {
    LKey source, destination;
    std::memset(&source, 0x11, sizeof source);
    std::memset(&destination, 0x22, sizeof destination);
    source.tension = 0.1f, source.bias = 0.2f, source.continuity = 0.3f, source.easeTo = 0.4f, source.easeFrom = 0.5f;
    for (int i = 0; i < 4; ++i) {
        source.tangentIn[i] = 1.0f + i, source.tangentOut[i] = 5.0f + i;
        source.controlA[i] = 9.0f + i, source.controlB[i] = 13.0f + i, source.rotation[i] = 17.0f + i;
    }
    const LKey before = destination;
    LKey::CopyParameters(&destination, &source);
    EXPECT_EQ(destination.tension, 0.1f);
    EXPECT_EQ(destination.bias, 0.2f);
    EXPECT_EQ(destination.continuity, 0.3f);
    EXPECT_EQ(destination.easeTo, 0.4f);
    EXPECT_EQ(destination.easeFrom, 0.5f);
    EXPECT_EQ(std::memcmp(destination.tangentIn, source.tangentIn, sizeof source.tangentIn), 0);
    EXPECT_EQ(std::memcmp(destination.tangentOut, source.tangentOut, sizeof source.tangentOut), 0);
    EXPECT_EQ(std::memcmp(destination.controlA, source.controlA, sizeof source.controlA), 0);
    EXPECT_EQ(std::memcmp(destination.controlB, source.controlB, sizeof source.controlB), 0);
    EXPECT_EQ(std::memcmp(destination.rotation, source.rotation, sizeof source.rotation), 0);
    // Time, value, absolute matrix and links stay.
    EXPECT_EQ(std::memcmp(&destination.time, &before.time, sizeof before.time), 0);
    EXPECT_EQ(std::memcmp(destination.value, before.value, sizeof before.value), 0);
    EXPECT_EQ(std::memcmp(destination.absolute, before.absolute, sizeof before.absolute), 0);
    EXPECT_EQ(std::memcmp(&destination.next, &before.next, sizeof before.next), 0);
    EXPECT_EQ(std::memcmp(&destination.previous, &before.previous, sizeof before.previous), 0);
}

TEST(KeyTracks, KeySetOwnsItsSixTracks) {
    // LeakSanitizer checks that every track and key is freed.
    LKeySet* set = LKeySet::Create();
    for (int32_t i = 0; i < LKeySet::kTrackCount; ++i) {
        LKeyTrack* t = set->Ensure(i, uint32_t(i));
        ASSERT_NE(t, nullptr);
        EXPECT_EQ(set->Ensure(i), t) << "an existing track is kept";
        EXPECT_EQ(t->flags, uint32_t(i));
        for (int k = 0; k <= i; ++k) LKeyTrack::AddKey(t, LKey::Create(), k);
        EXPECT_EQ(set->GetKeyCount(i), i + 1);
    }
    EXPECT_EQ(set->Ensure(6), nullptr);
    EXPECT_EQ(set->Get(-1), nullptr);
    LKeySet::Destroy(set);
    LKeySet::Destroy(nullptr);
}

TEST(KeyTracks, SampleVectorOfOneKeyAndOfLoopingTracks) {
    Track one = MakeTrack({{4, 7, 8, 9}});
    for (float time : {-100.0f, 0.0f, 4.0f, 5.5f, 1e9f, kNaN, INFINITY}) {
        float v[3] = {0, 0, 0};
        EXPECT_EQ(LKeyTrack::SampleVector(one.get(), time, v), 1);
        EXPECT_TRUE(v[0] == 7 && v[1] == 8 && v[2] == 9) << time;
    }
    float untouched[3] = {5, 5, 5};
    EXPECT_EQ(LKeyTrack::SampleVector(nullptr, 1, untouched), 0);
    Track empty(LKeyTrack::Create());
    EXPECT_EQ(LKeyTrack::SampleVector(empty.get(), 1, untouched), 0);
    EXPECT_EQ(untouched[0], 5.0f);

    Track loop = MakeTrack({{0, 0}, {10, 10}}, 1);
    LKeyTrack::ComputeTangents(loop.get());
    EXPECT_NEAR(Sample(loop.get(), 15), 5.0f, 1e-5f);
    EXPECT_NEAR(Sample(loop.get(), 23), 3.0f, 1e-5f);
    loop->flags = 0;
    EXPECT_EQ(Sample(loop.get(), 15), 10.0f);

    // Keys out of time order: before the first key's time the first key's
    // value, even where the search from the cursor would find a span.
    Track unordered = MakeTrack({{20, 1}, {5, 2}, {10, 3}});
    EXPECT_EQ(unordered->unordered, 1);
    LKeyTrack::ComputeTangents(unordered.get());
    EXPECT_EQ(Sample(unordered.get(), 7), 1.0f);
    EXPECT_EQ(Sample(unordered.get(), 25), 3.0f) << "the search runs from the first key to the last";
    EXPECT_EQ(MakeTrack({{0, 1}, {0, 2}, {10, 3}})->unordered, 0) << "equal times keep the order";

    // A looping track whose last time is 0: a remainder by 0 would be NaN.
    for (auto keys : {std::initializer_list<KeySpec>{{0, 3}}, {{0, 3}, {0, 4}, {0, 5}}}) {
        Track zero = MakeTrack(keys, 1);
        LKeyTrack::ComputeTangents(zero.get());
        for (float time : {0.0f, 2.0f, 7.5f}) EXPECT_TRUE(std::isfinite(Sample(zero.get(), time))) << time;
    }
}

TEST(KeyTracks, SampleMatrixAtKeysBetweenAndBefore) {
    Track t = MakeTrack({{0, 0}, {10, 0}, {20, 0}});
    std::vector<LKey*> keys = Keys(t.get());
    for (size_t i = 0; i < keys.size(); ++i)
        for (int e = 0; e < 12; ++e) keys[i]->absolute[e] = float(100 * i + e);
    float m[12];
    t->current = keys[2];
    EXPECT_EQ(LKeyTrack::SampleMatrix(t.get(), 10, m), 1);
    EXPECT_EQ(std::memcmp(m, keys[1]->absolute, sizeof m), 0);
    EXPECT_EQ(t->current, keys[1]) << "found from the first key after the current one's tail";
    LKeyTrack::SampleMatrix(t.get(), 12.5f, m);
    for (int e = 0; e < 12; ++e) EXPECT_FLOAT_EQ(m[e], 125.0f + e);
    LKeyTrack::SampleMatrix(t.get(), -3, m);  // before every key: the first key's matrix
    EXPECT_EQ(std::memcmp(m, keys[0]->absolute, sizeof m), 0);
    // After the last key its successor is the first key: the blend runs on
    // past the last key's matrix, away from the first one.
    LKeyTrack::SampleMatrix(t.get(), 25, m);
    for (int e = 0; e < 12; ++e) EXPECT_FLOAT_EQ(m[e], 250.0f + e);

    // Two keys at one time: the earlier key's matrix, no division by zero.
    Track same = MakeTrack({{5, 0}, {5, 0}});
    Keys(same.get())[0]->absolute[0] = 1;
    Keys(same.get())[1]->absolute[0] = 2;
    LKeyTrack::SampleMatrix(same.get(), 6, m);
    EXPECT_EQ(m[0], 1.0f);
    for (float v : m) EXPECT_TRUE(std::isfinite(v));
    float untouched[12] = {7};
    Track empty(LKeyTrack::Create());
    EXPECT_EQ(LKeyTrack::SampleMatrix(empty.get(), 0, untouched), 0);
    EXPECT_EQ(untouched[0], 7.0f);
}

TEST(KeyInterpolation, Ease) {
    struct Case {
        float u, a, b, expected;
    } cases[] = {
        {0.37f, 0, 0, 0.37f},                 // no ease
        {0.5f, 0.3f, 0.3f, 0.5f},             // k (2u - a), k = 1/1.4
        {0.1f, 0.3f, 0.3f, 0.1f * 0.1f / (1.4f * 0.3f)},  // the ease-in branch
        {0.25f, 0.8f, 0.8f, 2 * 0.25f * 0.25f},           // scaled to 0.5 each: k = 1, (k/a) u^2
        {0.9f, 0.8f, 0.8f, 1 - 2 * 0.1f * 0.1f},          // and the ease-out branch
        {1.0f, 0.2f, 0.0f, 1.0f},             // third branch through the 0.01 divisor
        {0.995f, 0.2f, 0.0f, (2 * 0.995f - 0.2f) / 1.8f},  // b = 0: the middle branch up to u = 1
        {0.9f, 0.2f, 0.3f, 1 - 0.1f * 0.1f / (1.5f * 0.3f)},
        {0.6f, -0.5f, 0.5f, 0.6f},            // a + b = 0
        {0.0f, 2e-43f, -389.5f, 0.0f},        // k/a would overflow for a denormal a: 0, not NaN
    };
    for (const Case& c : cases) EXPECT_NEAR(Ease(c.u, c.a, c.b), c.expected, 1e-6f) << c.u << " " << c.a << " " << c.b;
}

TEST(KeyInterpolation, TwoKeysAreLinearInTheEasedFraction) {
    for (float ease : {0.0f, 0.4f}) {
        Track t = MakeTrack({{0, 0, 0, 0}, {10, 10, 20, -30}});
        t->first->easeFrom = ease;
        t->first->next->easeTo = ease;
        ASSERT_EQ(LKeyTrack::ComputeTangents(t.get()), 1);
        for (float time : {0.0f, 2.5f, 5.0f, 7.0f, 10.0f}) {
            float v[3];
            ASSERT_EQ(LKeyTrack::EvaluateVector(t.get(), time, v), 1);
            const float u = Ease(time / 10, ease, ease);
            EXPECT_NEAR(v[0], 10 * u, 1e-4f) << time;
            EXPECT_NEAR(v[1], 20 * u, 1e-4f);
            EXPECT_NEAR(v[2], -30 * u, 1e-4f);
        }
    }
}

TEST(KeyInterpolation, ValuesAtKeysAndBeyondTheEnds) {
    Track t = MakeTrack({{2, 1, 2, 3}, {10, -4, 6, 0}, {15, 8, 8, 8}, {30, 0, -1, 2}});
    Keys(t.get())[1]->tension = 0.5f, Keys(t.get())[2]->continuity = -0.3f, Keys(t.get())[2]->bias = 0.7f;
    LKeyTrack::ComputeTangents(t.get());
    for (LKey* k : Keys(t.get())) {
        float v[3];
        LKeyTrack::SampleVector(t.get(), k->time, v);
        for (int i = 0; i < 3; ++i) EXPECT_NEAR(v[i], k->value[i], 1e-5f) << k->time;
    }
    float v[3];
    LKeyTrack::SampleVector(t.get(), 0, v);
    EXPECT_TRUE(v[0] == 1 && v[1] == 2 && v[2] == 3);
    LKeyTrack::SampleVector(t.get(), 1000, v);
    EXPECT_TRUE(v[0] == 0 && v[1] == -1 && v[2] == 2);
}

TEST(KeyInterpolation, KochanekBartelsTangentsByHand) {
    struct Case {
        const char* name;
        Track track;
        float tension, continuity, bias;  // of the interior keys
        // (in, out) of each key; NaN where the pass writes nothing.
        std::vector<std::pair<float, float>> expected;
    };
    Case cases[] = {
        {"three keys", MakeTrack({{0, 0}, {10, 10}, {30, 40}}), 0, 0, 0, {{kNaN, 8.3333f}, {13.3333f, 26.6667f}, {31.6667f, kNaN}}},
        {"tension", MakeTrack({{0, 0}, {10, 10}, {30, 40}}), 0.5f, 0, 0, {{kNaN, 8.3333f}, {6.6667f, 13.3333f}, {31.6667f, kNaN}}},
        {"bias", MakeTrack({{0, 0}, {10, 10}, {30, 40}}), 0, 0, 0.5f, {{kNaN, 8.3333f}, {10, 20}, {31.6667f, kNaN}}},
        {"continuity", MakeTrack({{0, 0}, {10, 10}, {30, 40}}), 0, 0.5f, 0, {{kNaN, 8.3333f}, {20.8333f, 17.5f}, {31.6667f, kNaN}}},
        {"four keys", MakeTrack({{0, 0}, {10, 10}, {20, 40}, {40, 50}}), 0, 0, 0, {{kNaN, 5}, {20, 20}, {13.3333f, 26.6667f}, {1.6667f, kNaN}}},
        {"closed", MakeTrack({{0, 0}, {10, 10}, {20, 40}, {30, 50}}, 3), 0, 0, 0, {{-15, -15}, {20, 20}, {20, 20}, {-15, -15}}},
    };
    for (Case& c : cases) {
        SCOPED_TRACE(c.name);
        std::vector<LKey*> keys = Keys(c.track.get());
        for (size_t i = 1; i + 1 < keys.size(); ++i)
            keys[i]->tension = c.tension, keys[i]->continuity = c.continuity, keys[i]->bias = c.bias;
        for (LKey* k : keys) k->tangentIn[0] = k->tangentOut[0] = kNaN;
        ASSERT_EQ(LKeyTrack::ComputeTangents(c.track.get()), 1);
        for (size_t i = 0; i < keys.size(); ++i) {
            const auto [in, out] = c.expected[i];
            if (std::isnan(in))
                EXPECT_TRUE(std::isnan(keys[i]->tangentIn[0])) << i;
            else
                EXPECT_NEAR(keys[i]->tangentIn[0], in, 1e-3f) << i;
            if (std::isnan(out))
                EXPECT_TRUE(std::isnan(keys[i]->tangentOut[0])) << i;
            else
                EXPECT_NEAR(keys[i]->tangentOut[0], out, 1e-3f) << i;
        }
    }
}

TEST(KeyInterpolation, EqualTimesAndNonFiniteParametersStayFinite) {
    const std::vector<std::vector<int32_t>> layouts = {
        {0, 0, 10}, {0, 10, 10}, {5, 5, 5}, {0, 5, 0}, {10, 0, 10, 0}, {0, 0}, {0, 0, 0, 0}, {3, 3, 9, 9, 9},
    };
    for (uint32_t flags : {0u, 1u, 3u}) {
        for (const auto& times : layouts) {
            for (float bad : {0.0f, kNaN, INFINITY}) {
                Track t(LKeyTrack::Create());
                t->flags = flags;
                float x = 1;
                for (int32_t time : times) {
                    LKey* k = LKey::Create();
                    k->value[0] = x, k->value[1] = -x, k->value[2] = x * x, k->value[3] = 0.5f * x;
                    k->tension = k->continuity = k->bias = k->easeTo = k->easeFrom = bad;
                    x += 1.5f;
                    LKeyTrack::AddKey(t.get(), k, time);
                }
                LKeyTrack::ChainRotations(t.get());
                ASSERT_EQ(LKeyTrack::ComputeTangents(t.get()), 1);
                ASSERT_EQ(LKeyTrack::SetupRotationSpline(t.get()), 1);
                for (LKey* k : Keys(t.get())) {
                    EXPECT_TRUE(Finite(k->tangentIn, 4) && Finite(k->tangentOut, 4)) << k->time;
                    EXPECT_TRUE(Finite(k->controlA, 4) && Finite(k->controlB, 4)) << k->time;
                }
                for (float time : {0.0f, 0.5f, 3.0f, 5.0f, 7.5f, 10.0f, 12.0f}) {
                    float v[3], q[4];
                    LKeyTrack::SampleVector(t.get(), time, v);
                    LKeyTrack::SampleRotation(t.get(), time, q);
                    EXPECT_TRUE(Finite(v, 3) && Finite(q, 4)) << "flags " << flags << " time " << time;
                }
            }
        }
    }
}

TEST(KeyInterpolation, SetupNeedsTwoKeysAndEvaluationRefusesBadInput) {
    Track one = MakeTrack({{0, 1}});
    one->first->tangentOut[0] = 42;
    one->first->controlA[0] = 42;
    EXPECT_EQ(LKeyTrack::ComputeTangents(one.get()), 0);
    EXPECT_EQ(LKeyTrack::SetupRotationSpline(one.get()), 0);
    EXPECT_EQ(LKeyTrack::ComputeTangents(nullptr), 0);
    EXPECT_EQ(one->first->tangentOut[0], 42.0f);
    EXPECT_EQ(one->first->controlA[0], 42.0f);

    float v[4] = {9, 9, 9, 9};
    Track empty(LKeyTrack::Create());
    EXPECT_EQ(LKeyTrack::EvaluateVector(one.get(), -1, v), 0);
    EXPECT_EQ(LKeyTrack::EvaluateRotation(one.get(), -0.5f, v), 0);
    EXPECT_EQ(LKeyTrack::EvaluateVector(empty.get(), 1, v), 0);
    EXPECT_EQ(LKeyTrack::EvaluateRotation(nullptr, 1, v), 0);
    EXPECT_TRUE(v[0] == 9 && v[1] == 9 && v[2] == 9 && v[3] == 9);
}

TEST(KeyInterpolation, SearchCursorMovesForwardAndRestarts) {
    Track t = MakeTrack({{0, 0}, {10, 1}, {20, 2}, {30, 3}});
    std::vector<LKey*> keys = Keys(t.get());
    LKeyTrack::ComputeTangents(t.get());
    float v[3];
    t->current = keys[0];
    LKeyTrack::EvaluateVector(t.get(), 25, v);
    EXPECT_EQ(t->current, keys[2]);
    LKeyTrack::EvaluateVector(t.get(), 5, v);
    EXPECT_EQ(t->current, keys[0]) << "an earlier time restarts from the first key";
    LKeyTrack::EvaluateVector(t.get(), 30, v);
    EXPECT_EQ(t->current, keys[3]);
    EXPECT_EQ(v[0], 3.0f);
}

TEST(KeyInterpolation, WholeSpinsRoundTowardZeroAndClamp) {
    struct Case {
        float a0, a1, spins;
    } cases[] = {
        {0, 5 * kPi, 2}, {5 * kPi, 0, -2}, {0, 1.9f * kPi, 0}, {1, 1e30f, 1e6f}, {0, -INFINITY, -1e6f},
        {0, kNaN, 0}, {INFINITY, INFINITY, 0},
    };
    for (const Case& c : cases) EXPECT_EQ(WholeSpins(c.a0, c.a1), c.spins) << c.a0 << " " << c.a1;
}

TEST(KeyInterpolation, ChainedRotationsAndAZeroAxis) {
    Track t = MakeTrack({{0, kPi / 2, 0, 0, 2}, {10, kPi / 2, 0, 0, 1}, {20, 1.0f, 0, 0, 0}});
    LKeyTrack::ChainRotations(t.get());
    std::vector<LKey*> keys = Keys(t.get());
    const float s = std::sqrt(0.5f);
    EXPECT_NEAR(keys[0]->rotation[0], s, 1e-6f);  // a quarter turn about z, the axis normalised
    EXPECT_NEAR(keys[0]->rotation[3], s, 1e-6f);
    EXPECT_NEAR(keys[1]->rotation[0], 0, 1e-6f);  // a half turn in all
    EXPECT_NEAR(keys[1]->rotation[3], 1, 1e-6f);
    EXPECT_EQ(std::memcmp(keys[2]->rotation, keys[1]->rotation, 16), 0) << "a zero axis adds no turn";
    // At and between keys the result is a unit rotation about z.
    LKeyTrack::SetupRotationSpline(t.get());
    for (float time : {0.0f, 5.0f, 10.0f, 15.0f}) {
        float q[4];
        LKeyTrack::SampleRotation(t.get(), time, q);
        EXPECT_NEAR(QuatGetLength(q), 1.0f, 1e-5f) << time;
        EXPECT_NEAR(q[1], 0, 1e-5f);
        EXPECT_NEAR(q[2], 0, 1e-5f);
    }
}

namespace {

// Reads back what LKeySet::Save wrote.
struct Reader {
    const std::vector<uint8_t>& b;
    size_t at = 0;
    uint32_t U32() {
        const uint32_t v = b[at] | b[at + 1] << 8 | b[at + 2] << 16 | uint32_t(b[at + 3]) << 24;
        at += 4;
        return v;
    }
    uint32_t U16() {
        const uint32_t v = b[at] | b[at + 1] << 8;
        at += 2;
        return v;
    }
    float F32() {
        const uint32_t bits = U32();
        float f;
        std::memcpy(&f, &bits, 4);
        return f;
    }
    std::string Tag() {
        const std::string t(b.begin() + long(at), b.begin() + long(at) + 4);
        at += 4;
        return t;
    }
};

std::vector<uint8_t> Saved(const LKeySet& set) {
    CBufferStream out;
    LChunkStream w(&out);
    set.Save(w);
    return std::vector<uint8_t>(out.GetData(), out.GetData() + out.GetSize());
}

}  // namespace

TEST(KeyTracks, SaveWritesTheKeyChunk) {
    LKeySet set;
    EXPECT_EQ(Saved(set), (std::vector<uint8_t>{'O', 'K', 'E', 'Y', 0, 0, 0, 0}));
    set.Ensure(LKeySet::kScale);  // a track without keys writes nothing
    EXPECT_EQ(Saved(set).size(), 8u);

    LKeyTrack* translate = set.Ensure(LKeySet::kTranslate, 3);
    for (int i = 0; i < 2; ++i) {
        LKey* k = LKey::Create();
        k->tension = 0.1f + i, k->bias = 0.2f, k->continuity = 0.3f, k->easeTo = 0.4f, k->easeFrom = 0.5f;
        k->value[0] = 1.0f + i, k->value[1] = 2, k->value[2] = 3, k->value[3] = 99;
        LKeyTrack::AddKey(translate, k, 10 * i);
    }
    LKey* r = LKey::Create();
    r->value[0] = 1.5f, r->value[1] = 0, r->value[2] = 1, r->value[3] = 0, r->value[4] = 99;
    LKeyTrack::AddKey(set.Ensure(LKeySet::kRotate), r, 7);
    LKey* m = LKey::Create();
    for (int i = 0; i < 12; ++i) m->value[i] = float(i);
    LKeyTrack::AddKey(set.Ensure(LKeySet::kMatrix), m, -4);
    LKeyTrack::AddKey(set.Ensure(LKeySet::kMorph), LKey::Create(), 1);  // not saved

    const std::vector<uint8_t> bytes = Saved(set);
    Reader in{bytes};
    EXPECT_EQ(in.Tag(), "OKEY");
    EXPECT_EQ(in.U32(), bytes.size() - 8);
    struct Expected {
        const char* tag;
        uint32_t flags, keys;
        int values;
    } chunks[] = {{"KTRA", 3, 2, 3}, {"KROT", 0, 1, 4}, {"KMAT", 0, 1, 12}};
    std::vector<float> read;
    for (const Expected& e : chunks) {
        SCOPED_TRACE(e.tag);
        EXPECT_EQ(in.Tag(), e.tag);
        EXPECT_EQ(in.U32(), 4 + 2 + e.keys * (6 + e.values) * 4u);
        EXPECT_EQ(in.U32(), e.flags);
        EXPECT_EQ(in.U16(), e.keys);
        for (uint32_t k = 0; k < e.keys * (6 + e.values); ++k) read.push_back(in.F32());
    }
    EXPECT_EQ(in.at, bytes.size());
    const std::vector<float> expected = {0,  0.1f, 0.2f, 0.3f, 0.4f, 0.5f, 1, 2, 3,                 // translate key 1
                                         10, 1.1f, 0.2f, 0.3f, 0.4f, 0.5f, 2, 2, 3,                 // translate key 2
                                         7,  0,    0,    0,    0,    0,    1.5f, 0, 1, 0,           // rotate
                                         -4, 0,    0,    0,    0,    0,    0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11};
    EXPECT_EQ(read, expected);
}

TEST(KeyTracks, CopyFromCopiesEveryTrackAndKey) {
    LKeySet source, copy;
    LKeyTrack* rotate = source.Ensure(LKeySet::kRotate, 3);
    for (int32_t time : {0, 10, 4}) {
        LKey* k = LKey::Create();
        k->tension = 0.5f, k->value[0] = 1.0f + time, k->controlA[2] = 2, k->absolute[11] = 7;
        LKeyTrack::AddKey(rotate, k, time);
    }
    rotate->first->time = 0.5f;  // a reader may leave a fractional time
    copy.Ensure(LKeySet::kMorph);
    LKeyTrack::AddKey(copy.Get(LKeySet::kMorph), LKey::Create(), 1);  // replaced: LeakSanitizer checks it is freed
    copy.CopyFrom(source);
    EXPECT_EQ(copy.Get(LKeySet::kMorph), nullptr);
    const LKeyTrack* t = copy.Get(LKeySet::kRotate);
    ASSERT_NE(t, nullptr);
    ASSERT_NE(t, rotate);
    EXPECT_EQ(t->flags, 3u);
    EXPECT_EQ(t->lastTime, 4.0f);
    EXPECT_EQ(t->unordered, 1);
    ExpectChain(t, {0.5f, 10, 4});
    for (const LKey *a = t->first, *b = rotate->first; a && b; a = a->next, b = b->next) {
        EXPECT_NE(a, b);
        EXPECT_EQ(a->tension, b->tension);
        EXPECT_EQ(a->value[0], b->value[0]);
        EXPECT_EQ(a->controlA[2], 2.0f);
        EXPECT_EQ(a->absolute[11], 7.0f);
    }
    EXPECT_EQ(t->current, Keys(t).back());
    copy.CopyFrom(copy);
    EXPECT_EQ(copy.GetKeyCount(LKeySet::kRotate), 3);
}
