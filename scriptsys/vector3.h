#pragma once
// The 3D vector of the vector script class: three 32-bit floats with the
// usual operations. Operations that would divide by a zero length leave the
// vector as it is (a zero vector has no direction) instead of making NaNs.
#include <cstdint>

struct CVector3 {
    float x = 0.0f;
    float y = 0.0f;
    float z = 0.0f;

    void Set(float nx, float ny, float nz) { x = nx; y = ny; z = nz; }
    void Add(const CVector3& v);
    void Sub(const CVector3& v);
    void MulComponents(const CVector3& v);
    void Scale(float factor);
    void Negate();
    // Keeps the direction, sets the length; a zero vector stays zero.
    void Rescale(float length);
    void Normalize() { Rescale(1.0f); }
    void Cross(const CVector3& v);            // this = this × v
    void Average(const CVector3& v);          // the midpoint
    void Lerp(float t, const CVector3& v);    // this + t × (v − this)
    void Combine(float a, float b, const CVector3& v);  // a × this + b × v

    bool Equals(const CVector3& v) const { return x == v.x && y == v.y && z == v.z; }
    float Length() const;
    float Distance(const CVector3& v) const;
    float Dot(const CVector3& v) const;
    // Cosine of the angle between the two; 0 when either is a zero vector.
    float DotNormalized(const CVector3& v) const;

    // Transforms by a 3 × 4 matrix given row by row (m[0..3] the first row,
    // m[3], m[7], m[11] the translation): as a point with the translation, as
    // a direction without it.
    void TransformPoint(const float m[12]);
    void TransformDirection(const float m[12]);
};
