#include "scriptsys/vector3.h"

#include <cmath>

void CVector3::Add(const CVector3& v) { x += v.x; y += v.y; z += v.z; }

void CVector3::Sub(const CVector3& v) { x -= v.x; y -= v.y; z -= v.z; }

void CVector3::MulComponents(const CVector3& v) { x *= v.x; y *= v.y; z *= v.z; }

void CVector3::Scale(float factor) { x *= factor; y *= factor; z *= factor; }

void CVector3::Negate() { x = -x; y = -y; z = -z; }

void CVector3::Rescale(float length) {
    float current = Length();
    if (current == 0.0f || !std::isfinite(current)) return;
    Scale(length / current);
}

void CVector3::Cross(const CVector3& v) {
    float nx = y * v.z - z * v.y;
    float ny = z * v.x - x * v.z;
    float nz = x * v.y - y * v.x;
    Set(nx, ny, nz);
}

void CVector3::Average(const CVector3& v) {
    Set((x + v.x) * 0.5f, (y + v.y) * 0.5f, (z + v.z) * 0.5f);
}

void CVector3::Lerp(float t, const CVector3& v) {
    Set(x + t * (v.x - x), y + t * (v.y - y), z + t * (v.z - z));
}

void CVector3::Combine(float a, float b, const CVector3& v) {
    Set(a * x + b * v.x, a * y + b * v.y, a * z + b * v.z);
}

float CVector3::Length() const { return std::sqrt(x * x + y * y + z * z); }

float CVector3::Distance(const CVector3& v) const {
    CVector3 d = *this;
    d.Sub(v);
    return d.Length();
}

float CVector3::Dot(const CVector3& v) const { return x * v.x + y * v.y + z * v.z; }

float CVector3::DotNormalized(const CVector3& v) const {
    float la = Length();
    float lb = v.Length();
    if (la == 0.0f || lb == 0.0f) return 0.0f;
    return Dot(v) / (la * lb);
}

void CVector3::TransformPoint(const float m[12]) {
    TransformDirection(m);
    x += m[3];
    y += m[7];
    z += m[11];
}

void CVector3::TransformDirection(const float m[12]) {
    float nx = m[0] * x + m[1] * y + m[2] * z;
    float ny = m[4] * x + m[5] * y + m[6] * z;
    float nz = m[8] * x + m[9] * y + m[10] * z;
    Set(nx, ny, nz);
}
