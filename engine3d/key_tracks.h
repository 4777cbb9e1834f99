#pragma once
// Keyframe animation storage and its spline machinery.
//
// LKeyTrack is a doubly linked chain of keys (LKey) in the order they were
// added; AddKey appends after the last key and never sorts, and every pass
// below works on that order. A key set (LKeySet) groups the six tracks of one
// animated element: translate, scale, rotate, morph, hide and matrix.
//
// Key values: translate and scale keys use value[0..2] (x, y, z); rotate keys
// value[0..3] as an angle in radians and an axis, relative to the previous
// key, with the absolute rotation in `rotation` (ChainRotations fills it);
// matrix keys hold a relative 3x4 matrix whose product along the chain
// (AccumulateRotations) is `absolute`.
//
// Splines: vector tracks are cubic Hermite curves with Kochanek-Bartels
// (tension, continuity, bias) tangents, set up by ComputeTangents; rotation
// tracks interpolate spherically through per-key control quaternions, set up
// by SetupRotationSpline. The time between two keys is reshaped by Ease with
// the earlier key's ease-from and the later key's ease-to.
//
// Robustness: a non-finite tension, continuity, bias or ease value counts as 0;
// zero time spans in the set-up passes count as 0.01; a looping track whose
// last time is 0 samples as a non-looping one; whole spins between two keys
// are clamped to +-1,000,000 (a NaN difference counts as 0). So keys of
// moderate magnitude give finite samples whatever their order or spacing
// (values near the float range may still overflow the arithmetic).
//
// Saved form ("OKEY" chunk, LKeySet::Save, through the chunk writer): one
// sub-chunk per track that holds keys, in the order "KTRA" (translate),
// "KSCA" (scale), "KROT" (rotate), "KMAT" (matrix); the morph and hide tracks
// are not saved. Each sub-chunk: u32 track flags, u16 key count (at most
// 65535 keys are written), then per key six f32 (time, tension, bias,
// continuity, ease-to, ease-from) and the value: vec3 for translate and scale,
// four f32 (angle, axis x, y, z) for rotate, twelve f32 (3x4 matrix) for
// matrix. A key set without keys writes an empty "OKEY".
#include <cstdint>

class LChunkStream;

struct LKey {
    float time;
    // The five spline parameters, in this order.
    float tension;
    float bias;
    float continuity;
    float easeTo;
    float easeFrom;
    // The links share the first cache line with the time and the first
    // values: the key search reads them together.
    LKey* next;
    LKey* previous;
    float value[12];
    float tangentIn[4];
    float tangentOut[4];
    float controlA[4];  // incoming control quaternion (rotation set-up)
    float controlB[4];  // outgoing control quaternion
    float rotation[4];  // the key's absolute rotation
    float absolute[12];

    // A zeroed key (zero quaternions too).
    static LKey* Create();
    // Copies the parameters, tangents and the three quaternions; not the time,
    // value, absolute matrix or links.
    static void CopyParameters(LKey* destination, const LKey* source);
};

struct LKeyTrack {
    // Non-zero: sampling wraps times by the last time. The low two bits also
    // make the set-up passes treat the track as closed.
    uint32_t flags;
    int32_t count;
    float lastTime;  // time of the last key added
    LKey* first;
    // The last key added, or the last key found by matrix sampling or
    // evaluation (the search cursor).
    LKey* current;
    // Set by AddKey once a key comes earlier than the key before it. In a
    // track without it, a key the search reaches from the cursor is never
    // before the first key, so sampling need not read the first key.
    int32_t unordered;

    enum : uint32_t { kClosedMask = 3 };

    static LKeyTrack* Create();  // zeroed
    // Frees every key and the track; null does nothing.
    static void Destroy(LKeyTrack* track);

    // 0 when track or key is null; else the key's time becomes `time`, the
    // key is linked after the last key, becomes current, the track's last
    // time becomes its time and the count rises; 1.
    static int32_t AddKey(LKeyTrack* track, LKey* key, int32_t time);
    // Unlinks and frees the key, repairing the first and current keys (and
    // the last time, when the key was the last one); 0 when the key is not in
    // the track.
    static int32_t RemoveKey(LKeyTrack* track, LKey* key);
    static LKey* LastKey(const LKeyTrack* track);
    // 1 when a key's time equals `time` exactly.
    static int32_t HasKeyAt(const LKeyTrack* track, float time);

    // Absolute matrices: the first key's is its value, each next one the
    // previous absolute matrix times its own value.
    static void AccumulateRotations(LKeyTrack* track);
    // Absolute rotations of a rotate track: each key's rotation is the
    // previous one (the identity before the first) times the rotation of its
    // angle about its normalised axis (an axis of length 0 adds none).
    static void ChainRotations(LKeyTrack* track);

    // Sampling: the time wraps by the last time on a looping track; before
    // the first key (or with one key) the first key's value, else the
    // interpolated one. 0 for a null or empty track (output untouched), else 1.
    static int32_t SampleVector(LKeyTrack* track, float time, float* out3);
    static int32_t SampleRotation(LKeyTrack* track, float time, float* out4);
    // The absolute matrix of a key at exactly `time` (that key becomes
    // current); else a blend of the absolute matrices of the latest key
    // before `time` and its successor (the first key after the last). With
    // no key before `time`, or a successor at the same time, the single
    // key's matrix. 0 for a null or empty track.
    static int32_t SampleMatrix(LKeyTrack* track, float time, float* out12);

    // Set-up passes: 0 (nothing changed) for fewer than two keys, else 1.
    static int32_t ComputeTangents(LKeyTrack* track);
    static int32_t SetupRotationSpline(LKeyTrack* track);
    // Evaluations: 0 (output untouched) for a negative time or a null or
    // empty track, else 1. The search starts at the current key when its time
    // is not above t, else at the first key, and leaves the key reached
    // current.
    static int32_t EvaluateVector(LKeyTrack* track, float t, float* out3);
    static int32_t EvaluateRotation(LKeyTrack* track, float t, float* out4);
};

// The eased fraction of u between two keys: a is the earlier key's ease-from,
// b the later key's ease-to.
float Ease(float u, float a, float b);

// The rotation of a rotate key relative to the previous key: its angle about
// its normalised axis; the identity for an axis of length 0 or a non-finite
// angle or axis.
void KeyStepRotation(const LKey* key, float* out4);

// Whole turns between two rotation angles, rounded toward zero, clamped to
// +-1,000,000; 0 for a NaN difference.
float WholeSpins(float angle0, float angle1);

class LKeySet {
public:
    enum Track : int32_t { kTranslate, kScale, kRotate, kMorph, kHide, kMatrix, kTrackCount };

    LKeySet() = default;
    ~LKeySet();  // frees every key of the six tracks
    static LKeySet* Create() { return new LKeySet(); }
    static void Destroy(LKeySet* set) { delete set; }  // null does nothing
    LKeySet(const LKeySet&) = delete;
    LKeySet& operator=(const LKeySet&) = delete;

    LKeyTrack* Get(int32_t which) const { return which >= 0 && which < kTrackCount ? m_tracks[which] : nullptr; }
    // The track, created empty when missing (with the given flags); null for
    // an index out of range. The set owns it: never LKeyTrack::Destroy it.
    LKeyTrack* Ensure(int32_t which, uint32_t flags = 0);
    int32_t GetKeyCount(int32_t which) const {
        const LKeyTrack* t = Get(which);
        return t ? t->count : 0;
    }
    // Replaces this set's tracks by copies of `source`'s: flags, last time
    // and every key with all its fields (the cursor lands on the copy's last
    // key). Copying a set into itself changes nothing.
    void CopyFrom(const LKeySet& source);
    // The "OKEY" chunk (see the top of this header).
    void Save(LChunkStream& out) const;

private:
    // A present track points into the set's own storage: one allocation and
    // one pointer less to follow per track on every frame.
    LKeyTrack* m_tracks[kTrackCount] = {};
    LKeyTrack m_storage[kTrackCount] = {};
};
