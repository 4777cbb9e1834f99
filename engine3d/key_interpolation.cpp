// The spline machinery over key tracks: ease, Kochanek-Bartels tangents,
// rotation control quaternions and the evaluation of a track at a time.
#include "engine3d/key_tracks.h"
#include "engine3d/math3d.h"

#include <cmath>
#include <cstring>

namespace {

const double kTwoPi = 6.283185307179586;
// 2*pi less one millionth: a larger angle step between two rotation keys is
// more than a full turn.
const float kFullTurn = 6.28318430718f;
const float kMaxSpins = 1000000.0f;

// A spline parameter from a file: anything but a finite value counts as 0.
float Param(float v) { return std::isfinite(v) ? v : 0.0f; }

// A time span used as a divisor: keys at equal times make it 0.
float Span(float s) { return s == 0.0f ? 0.01f : s; }

// The Kochanek-Bartels factors of one key for the time factors fp and fn.
struct TangentFactors {
    float tm, cm, cp, bm, bp;  // tension, continuity and bias terms
    float fp, fn;              // time factors after the continuity adjustment

    TangentFactors(const LKey& k, float fpIn, float fnIn) {
        const float q = Param(k.continuity);
        tm = (1.0f - Param(k.tension)) * 0.5f;
        cm = 1.0f - q;
        cp = 2.0f - cm;
        bm = 1.0f - Param(k.bias);
        bp = 2.0f - bm;
        const float c = std::fabs(q);
        fp = c + fpIn - c * fpIn;
        fn = c + fnIn - c * fnIn;
    }
};

// Incoming and outgoing tangents of a vector key between the values of its
// previous and next keys.
void SetTangents(LKey* k, const float* previous, const float* next, float fp, float fn) {
    const TangentFactors f(*k, fp, fn);
    const float ksm = f.tm * f.cm * f.bp * f.fp, ksp = f.tm * f.cp * f.bm * f.fp;
    const float kdm = f.tm * f.cp * f.bp * f.fn, kdp = f.tm * f.cm * f.bm * f.fn;
    for (int i = 0; i < 4; ++i) {
        const float delm = k->value[i] - previous[i], delp = next[i] - k->value[i];
        k->tangentIn[i] = ksp * delp + ksm * delm;
        k->tangentOut[i] = kdp * delp + kdm * delm;
    }
}

// A key with both neighbours: time factors over the half-span dt.
void SetInteriorTangents(LKey* k, const LKey* p, const LKey* n) {
    const float dt = Span((n->time - p->time) * 0.5f);
    SetTangents(k, p->value, n->value, (k->time - p->time) / dt, (n->time - k->time) / dt);
}

// An open end's tangent over the keys k0, k1, k2 in time order (the first
// three or the last three); the end key `e` gives the tension; g weighs the
// chord from k0 to k2. At the first end (e = k0) the chord's middle is
// measured from k1 back, at the last end (e = k2) from k2 back.
void OpenEndTangent(const LKey* k0, const LKey* k1, const LKey* k2, const LKey* e, float g, float* out) {
    const float tension = 1.0f - Param(e->tension);
    for (int i = 0; i < 4; ++i) {
        const float d = k2->value[i] - k0->value[i];
        const float step = e == k0 ? k1->value[i] - k0->value[i] : k2->value[i] - k1->value[i];
        out[i] = ((step - d * 0.5f) * 1.5f + g * d) * tension;
    }
}

// g1 or g2 of the rotation set-up: the log of the step from `from` to `to`,
// or, for more than a full turn, the log of `to`'s axis.
void RotationStep(const LKey* from, const LKey* to, float* out) {
    if (std::fabs(to->value[0] - from->value[0]) <= kFullTurn) {
        float q[4];
        QuatCopy(from->rotation, q);
        if (QuatDotProduct(q, to->rotation) < 0.0f) QuatNegate(q, q);
        QuatLnDif(q, to->rotation, out);
    } else {
        const float axis[4] = {0.0f, to->value[1], to->value[2], to->value[3]};
        QuatLog(axis, out);
    }
}

// Control quaternions a and b of key k with previous p and next n (either
// may be null).
void SetRotationControls(LKey* k, const LKey* p, const LKey* n) {
    float g1[4], g2[4];
    if (p) RotationStep(p, k, g1);
    if (n) RotationStep(k, n, g2);
    if (!p) QuatCopy(g2, g1);
    if (!n) QuatCopy(g1, g2);
    float fp = 1.0f, fn = 1.0f;
    if (p && n) {
        const float dt = Span((n->time - p->time) * 0.5f);
        fp = (k->time - p->time) / dt;
        fn = (n->time - k->time) / dt;
    }
    TangentFactors f(*k, fp, fn);
    if (!(p && n)) f.fp = f.fn = 1.0f;
    float ga[4], gb[4];
    for (int i = 0; i < 4; ++i) {
        ga[i] = 0.5f * (g2[i] * (f.tm * f.cm * f.bm * f.fn - 1.0f) + g1[i] * (f.tm * f.cp * f.bp * f.fn));
        gb[i] = 0.5f * (g2[i] * (-f.fp * f.tm * f.cp * f.bm) + g1[i] * (1.0f - f.tm * f.cm * f.bp * f.fp));
    }
    float e[4];
    QuatExp(ga, e);
    QuatMultiply(k->rotation, e, k->controlA);
    QuatExp(gb, e);
    QuatMultiply(k->rotation, e, k->controlB);
}

// The evaluation's key search: from the current key when it is not later
// than t, else from the first; on while the next key is not later than t.
// Whenever the key reached has a successor, that successor is later than t,
// so the span between them is never 0.
LKey* FindSpan(LKeyTrack* track, float t) {
    LKey* k = track->current && track->current->time <= t ? track->current : track->first;
    while (k->next && k->next->time <= t) k = k->next;
    track->current = k;
    return k;
}

float SpanFraction(const LKey* k0, float t) {
    return Ease((t - k0->time) / (k0->next->time - k0->time), Param(k0->easeFrom), Param(k0->next->easeTo));
}

}  // namespace

float Ease(float u, float a, float b) {
    const float s = a + b;
    if (s == 0.0f) return u;
    if (s > 1.0f) {
        a /= s;
        b /= s;
    }
    const float k = 1.0f / (2.0f - a - b);
    // (k/a)u^2 and (k/b)w^2 as k*u*(u/a) and k*w*(w/b): u < a and w <= b in
    // their branches, so a tiny a or b cannot overflow the quotient.
    if (u < a) return k * u * (u / a);
    if (u < 1.0f - b) return k * (2.0f * u - a);
    const float w = 1.0f - u;
    return 1.0f - k * w * (w / (b != 0.0f ? b : 0.01f));
}

float WholeSpins(float angle0, float angle1) {
    const double turns = std::trunc((double(angle1) - double(angle0)) / kTwoPi);
    if (std::isnan(turns)) return 0.0f;
    return static_cast<float>(std::fmax(-kMaxSpins, std::fmin(kMaxSpins, turns)));
}

int32_t LKeyTrack::ComputeTangents(LKeyTrack* track) {
    LKey* k0 = track ? track->first : nullptr;
    if (!k0 || !k0->next) return 0;
    LKey* k1 = k0->next;
    if (!k1->next) {
        const float t0 = 1.0f - Param(k0->tension), t1 = 1.0f - Param(k1->tension);
        for (int i = 0; i < 4; ++i) {
            const float d = k1->value[i] - k0->value[i];
            k0->tangentIn[i] = 0.0f;
            k0->tangentOut[i] = d * t0;
            k1->tangentOut[i] = 0.0f;
            k1->tangentIn[i] = d * t1;
        }
        return 1;
    }
    LKey* kn = k1;
    for (; kn->next; kn = kn->next) SetInteriorTangents(kn, kn->previous, kn->next);
    LKey* kn1 = kn->previous;
    if (track->flags & kClosedMask) {
        const float l = track->lastTime;
        const float dt = Span((k1->time - kn1->time + l) * 0.5f);
        SetTangents(k0, kn1->value, k1->value, (l + k0->time - kn1->time) / dt, (k1->time - k0->time) / dt);
        SetTangents(kn, kn1->value, k1->value, (kn->time - kn1->time) / dt, (k1->time - kn->time + l) / dt);
    } else {
        const LKey* k2 = k1->next;
        const LKey* kn2 = kn1->previous;
        OpenEndTangent(k0, k1, k2, k0, 0.75f - (k1->time - k0->time) / Span(2.0f * (k2->time - k0->time)),
                       k0->tangentOut);
        OpenEndTangent(kn2, kn1, kn, kn, 0.75f - (kn->time - kn1->time) / Span(2.0f * (kn->time - kn2->time)),
                       kn->tangentIn);
    }
    return 1;
}

int32_t LKeyTrack::SetupRotationSpline(LKeyTrack* track) {
    LKey* k0 = track ? track->first : nullptr;
    if (!k0 || !k0->next) return 0;
    LKey* kn = k0->next;
    for (; kn->next; kn = kn->next) SetRotationControls(kn, kn->previous, kn->next);
    const bool closed = (track->flags & kClosedMask) != 0;
    SetRotationControls(k0, closed ? kn->previous : nullptr, k0->next);
    SetRotationControls(kn, kn->previous, closed ? k0->next : nullptr);
    return 1;
}

int32_t LKeyTrack::EvaluateVector(LKeyTrack* track, float t, float* out3) {
    if (t < 0.0f || !track || !track->first) return 0;
    const LKey* k0 = FindSpan(track, t);
    if (!k0->next || !(t >= k0->time)) {
        std::memcpy(out3, k0->value, 3 * sizeof(float));
        return 1;
    }
    const LKey* k1 = k0->next;
    const float u = SpanFraction(k0, t), u2 = u * u, u3 = u2 * u;
    const float h1 = 2 * u3 - 3 * u2 + 1, h2 = 3 * u2 - 2 * u3, h3 = u3 - 2 * u2 + u, h4 = u3 - u2;
    for (int i = 0; i < 3; ++i)
        out3[i] = h1 * k0->value[i] + h2 * k1->value[i] + h3 * k0->tangentOut[i] + h4 * k1->tangentIn[i];
    return 1;
}

int32_t LKeyTrack::EvaluateRotation(LKeyTrack* track, float t, float* out4) {
    if (t < 0.0f || !track || !track->first) return 0;
    const LKey* k0 = FindSpan(track, t);
    if (!k0->next || !(t >= k0->time)) {
        QuatCopy(k0->rotation, out4);
        return 1;
    }
    const LKey* k1 = k0->next;
    const float u = SpanFraction(k0, t);
    const float spins = WholeSpins(k0->value[0], k1->value[0]);
    float p[4], r[4];
    QuatSlerpDirect(k0->rotation, k1->rotation, spins, u, p);
    QuatSlerpDirect(k0->controlB, k1->controlA, spins, u, r);
    QuatSlerpDirect(p, r, 0.0f, 2.0f * u * (1.0f - u), out4);
    return 1;
}
