#include "engine3d/key_tracks.h"

#include "engine3d/chunk_stream.h"
#include "engine3d/math3d.h"

#include <cmath>
#include <cstring>
#include <initializer_list>

LKey* LKey::Create() { return new LKey(); }

void LKey::CopyParameters(LKey* destination, const LKey* source) {
    if (!destination || !source) return;
    destination->tension = source->tension;
    destination->bias = source->bias;
    destination->continuity = source->continuity;
    destination->easeTo = source->easeTo;
    destination->easeFrom = source->easeFrom;
    std::memcpy(destination->tangentIn, source->tangentIn, sizeof destination->tangentIn);
    std::memcpy(destination->tangentOut, source->tangentOut, sizeof destination->tangentOut);
    QuatCopy(source->controlA, destination->controlA);
    QuatCopy(source->controlB, destination->controlB);
    QuatCopy(source->rotation, destination->rotation);
}

LKeyTrack* LKeyTrack::Create() { return new LKeyTrack(); }

void LKeyTrack::Destroy(LKeyTrack* track) {
    if (!track) return;
    while (track->first) RemoveKey(track, track->first);
    delete track;
}

LKey* LKeyTrack::LastKey(const LKeyTrack* track) {
    LKey* k = track ? track->first : nullptr;
    while (k && k->next) k = k->next;
    return k;
}

int32_t LKeyTrack::AddKey(LKeyTrack* track, LKey* key, int32_t time) {
    if (!track || !key) return 0;
    key->time = static_cast<float>(time);
    LKey* last = LastKey(track);
    if (last && key->time < last->time) track->unordered = 1;
    key->previous = last;
    key->next = nullptr;
    if (last)
        last->next = key;
    else
        track->first = key;
    track->current = key;
    track->lastTime = key->time;
    ++track->count;
    return 1;
}

int32_t LKeyTrack::RemoveKey(LKeyTrack* track, LKey* key) {
    if (!track || !key) return 0;
    LKey* k = track->first;
    while (k && k != key) k = k->next;
    if (!k) return 0;
    if (key->previous) key->previous->next = key->next;
    if (key->next) key->next->previous = key->previous;
    if (track->first == key) track->first = key->next;
    if (track->current == key) track->current = key->previous ? key->previous : key->next;
    if (!key->next) track->lastTime = key->previous ? key->previous->time : 0.0f;
    --track->count;
    delete key;
    return 1;
}

int32_t LKeyTrack::HasKeyAt(const LKeyTrack* track, float time) {
    for (const LKey* k = track ? track->first : nullptr; k; k = k->next)
        if (k->time == time) return 1;
    return 0;
}

void LKeyTrack::AccumulateRotations(LKeyTrack* track) {
    const LKey* previous = nullptr;
    for (LKey* k = track ? track->first : nullptr; k; previous = k, k = k->next) {
        if (previous)
            LMatrix34::Multiply(previous->absolute, k->value, k->absolute);
        else
            LMatrix34::Copy(k->value, k->absolute);
    }
}

void KeyStepRotation(const LKey* key, float* out4) {
    const float* axis = key->value + 1;
    const double length =
        std::sqrt(double(axis[0]) * axis[0] + double(axis[1]) * axis[1] + double(axis[2]) * axis[2]);
    if (length > 0.0 && std::isfinite(length) && std::isfinite(key->value[0]))
        QuatSetFromAngle(key->value[0], float(axis[0] / length), float(axis[1] / length), float(axis[2] / length),
                         out4);
    else
        QuatSetIdentity(out4);
}

void LKeyTrack::ChainRotations(LKeyTrack* track) {
    float chained[4];
    QuatSetIdentity(chained);
    for (LKey* k = track ? track->first : nullptr; k; k = k->next) {
        float step[4];
        KeyStepRotation(k, step);
        QuatMultiply(chained, step, chained);
        QuatCopy(chained, k->rotation);
    }
}

namespace {

// The time a looping track samples at: reduced by its last time, unless that
// is 0 (a remainder by 0 is NaN) or not finite.
float WrappedTime(const LKeyTrack* track, float time) {
    if (!track->flags || track->lastTime == 0.0f || !std::isfinite(track->lastTime)) return time;
    return std::fmod(time, track->lastTime);
}

// Whether the interpolation applies: the first key has a successor and is
// not later than the time. In a track in time order the evaluation's own
// test (the key it reaches is not later than the time) decides the same.
bool Interpolates(const LKeyTrack* track, float time) {
    return track->count >= 2 && (!track->unordered || track->first->time <= time);
}

}  // namespace

int32_t LKeyTrack::SampleVector(LKeyTrack* track, float time, float* out3) {
    if (!track || !track->first) return 0;
    time = WrappedTime(track, time);
    // An evaluation refuses negative times; keys at negative times then give
    // the first key's value, as before them.
    if (!Interpolates(track, time) || !EvaluateVector(track, time, out3))
        std::memcpy(out3, track->first->value, 3 * sizeof(float));
    return 1;
}

int32_t LKeyTrack::SampleRotation(LKeyTrack* track, float time, float* out4) {
    if (!track || !track->first) return 0;
    time = WrappedTime(track, time);
    if (!Interpolates(track, time) || !EvaluateRotation(track, time, out4)) QuatCopy(track->first->rotation, out4);
    return 1;
}

int32_t LKeyTrack::SampleMatrix(LKeyTrack* track, float time, float* out12) {
    if (!track || !track->first) return 0;
    LKey* exact = nullptr;
    for (LKey* k = track->current; k && !exact; k = k->next)
        if (k->time == time) exact = k;
    for (LKey* k = track->first; k && !exact; k = k->next)
        if (k->time == time) exact = k;
    if (exact) {
        track->current = exact;
        LMatrix34::Copy(exact->absolute, out12);
        return 1;
    }
    const LKey* k0 = nullptr;
    for (const LKey* k = track->first; k; k = k->next)
        if (k->time < time && (!k0 || k->time > k0->time)) k0 = k;
    if (!k0) {
        LMatrix34::Copy(track->first->absolute, out12);
        return 1;
    }
    const LKey* k1 = k0->next ? k0->next : track->first;
    // Equal times (AddKey allows them) would divide by zero: the earlier
    // key's matrix stands.
    if (k1 == k0 || k1->time == k0->time) {
        LMatrix34::Copy(k0->absolute, out12);
        return 1;
    }
    const float f = (time - k0->time) / (k1->time - k0->time);
    for (int i = 0; i < 12; ++i) out12[i] = k0->absolute[i] + (k1->absolute[i] - k0->absolute[i]) * f;
    return 1;
}

LKeySet::~LKeySet() {
    for (LKeyTrack* t : m_tracks)
        while (t && t->first) LKeyTrack::RemoveKey(t, t->first);
}

LKeyTrack* LKeySet::Ensure(int32_t which, uint32_t flags) {
    if (which < 0 || which >= kTrackCount) return nullptr;
    if (!m_tracks[which]) {
        m_storage[which] = LKeyTrack{};
        m_storage[which].flags = flags;
        m_tracks[which] = &m_storage[which];
    }
    return m_tracks[which];
}

void LKeySet::CopyFrom(const LKeySet& source) {
    if (&source == this) return;
    for (int32_t which = 0; which < kTrackCount; ++which) {
        if (LKeyTrack* t = m_tracks[which])
            while (t->first) LKeyTrack::RemoveKey(t, t->first);
        m_tracks[which] = nullptr;
        const LKeyTrack* from = source.m_tracks[which];
        if (!from) continue;
        LKeyTrack* to = Ensure(which, from->flags);
        for (const LKey* k = from->first; k; k = k->next) {
            LKey* copy = LKey::Create();
            *copy = *k;
            // AddKey takes whole times: the copy keeps the exact one.
            LKeyTrack::AddKey(to, copy, 0);
            copy->time = k->time;
        }
        to->lastTime = from->lastTime;
        to->unordered = from->unordered;
    }
}

void LKeySet::Save(LChunkStream& out) const {
    struct Saved {
        int32_t track;
        uint32_t tag;
        int values;
    };
    static const Saved kSaved[] = {{kTranslate, ChunkTag("KTRA"), 3},
                                   {kScale, ChunkTag("KSCA"), 3},
                                   {kRotate, ChunkTag("KROT"), 4},
                                   {kMatrix, ChunkTag("KMAT"), 12}};
    const int32_t keys = out.BeginChunk(ChunkTag("OKEY"));
    for (const Saved& s : kSaved) {
        const LKeyTrack* t = m_tracks[s.track];
        if (!t || !t->first) continue;
        int32_t count = 0;
        for (const LKey* k = t->first; k && count < 0xFFFF; k = k->next) ++count;
        const int32_t chunk = out.BeginChunk(s.tag);
        out.WriteU32(t->flags);
        out.WriteU16(uint32_t(count));
        const LKey* k = t->first;
        for (int32_t i = 0; i < count; ++i, k = k->next) {
            for (float v : {k->time, k->tension, k->bias, k->continuity, k->easeTo, k->easeFrom}) out.WriteF32(v);
            for (int v = 0; v < s.values; ++v) out.WriteF32(k->value[v]);
        }
        out.EndChunk(chunk);
    }
    out.EndChunk(keys);
}
