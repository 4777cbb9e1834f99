#include "engine3d/vec3.h"

#include <cmath>

namespace {
double RawLength(double x, double y, double z) { return std::sqrt(x * x + y * y + z * z); }

// A length of 0 or NaN counts as 1.0.
float LengthOrOne(double length) { return length > 0.0 ? static_cast<float>(length) : 1.0f; }

void Store3(double x, double y, double z, float* out) {
    out[0] = static_cast<float>(x);
    out[1] = static_cast<float>(y);
    out[2] = static_cast<float>(z);
}
}  // namespace

void Vec3Set(float x, float y, float z, float* out) { Store3(x, y, z, out); }

void Vec3Zero(float* out) { Store3(0, 0, 0, out); }

void Vec3Copy(const float* a, float* out) { Store3(a[0], a[1], a[2], out); }

void Vec3Add(const float* a, const float* b, float* out) { Store3(a[0] + b[0], a[1] + b[1], a[2] + b[2], out); }

void Vec3Sub(const float* a, const float* b, float* out) { Store3(a[0] - b[0], a[1] - b[1], a[2] - b[2], out); }

void Vec3MulComponents(const float* a, const float* b, float* out) {
    Store3(a[0] * b[0], a[1] * b[1], a[2] * b[2], out);
}

void Vec3Scale(const float* a, float s, float* out) { Store3(s * a[0], s * a[1], s * a[2], out); }

void Vec3SetLength(const float* a, float length, float* out) {
    const double l = RawLength(a[0], a[1], a[2]);
    if (l == 0.0) {
        Vec3Zero(out);
        return;
    }
    const double f = length / l;
    Store3(a[0] * f, a[1] * f, a[2] * f, out);
}

void Vec3Negate(const float* a, float* out) { Store3(-a[0], -a[1], -a[2], out); }

int Vec3Equal(const float* a, const float* b) { return a[0] == b[0] && a[1] == b[1] && a[2] == b[2] ? 1 : 0; }

float Vec3Length(const float* a) { return LengthOrOne(RawLength(a[0], a[1], a[2])); }

float Vec3Distance(const float* a, const float* b) {
    return LengthOrOne(RawLength(static_cast<double>(a[0]) - b[0], static_cast<double>(a[1]) - b[1],
                                 static_cast<double>(a[2]) - b[2]));
}

float Vec3AngleBetween(const float* a, const float* b) {
    return static_cast<float>(static_cast<double>(Vec3Dot(a, b)) / (static_cast<double>(Vec3Length(a)) * Vec3Length(b)));
}

float Vec3Dot(const float* a, const float* b) {
    return static_cast<float>(static_cast<double>(a[0]) * b[0] + static_cast<double>(a[1]) * b[1] +
                              static_cast<double>(a[2]) * b[2]);
}

void Vec3Cross(const float* a, const float* b, float* out) {
    const double ax = a[0], ay = a[1], az = a[2], bx = b[0], by = b[1], bz = b[2];
    Store3(ay * bz - az * by, az * bx - ax * bz, ax * by - ay * bx, out);
}

void Vec3Midpoint(const float* a, const float* b, float* out) {
    Store3((a[0] + b[0]) * 0.5, (a[1] + b[1]) * 0.5, (a[2] + b[2]) * 0.5, out);
}

void Vec3Lerp(const float* a, const float* b, float t, float* out) {
    Store3(a[0] + (b[0] - a[0]) * t, a[1] + (b[1] - a[1]) * t, a[2] + (b[2] - a[2]) * t, out);
}

void Vec3Combine(const float* a, const float* b, float s, float t, float* out) {
    Store3(s * a[0] + t * b[0], s * a[1] + t * b[1], s * a[2] + t * b[2], out);
}

void Vec3Normalize(const float* a, float* out) { Vec3SetLength(a, 1.0f, out); }

float Vec3TransformZByMatrix(const float* a, const float* b, const float* m) {
    return b[0] * Vec3Dot(m, a) + b[1] * Vec3Dot(m + 3, a) + b[2] * Vec3Dot(m + 6, a);
}
