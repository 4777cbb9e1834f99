#pragma once
// Three-component vector functions (x, y, z floats) of the engine and the
// render back ends; they follow engine3d/math3d.h: outputs last, outputs may
// alias inputs.
//
// Zero vectors: Vec3Length and Vec3Distance answer 1.0 for a zero (or NaN)
// length, so callers may divide by them; Vec3Normalize and Vec3SetLength of a
// zero vector give the zero vector. (The script Vector class keeps its own,
// different zero-vector rules.)

void Vec3Set(float x, float y, float z, float* out);
void Vec3Zero(float* out);
void Vec3Copy(const float* a, float* out);
void Vec3Add(const float* a, const float* b, float* out);
void Vec3Sub(const float* a, const float* b, float* out);
void Vec3MulComponents(const float* a, const float* b, float* out);
void Vec3Scale(const float* a, float s, float* out);
void Vec3SetLength(const float* a, float length, float* out);
void Vec3Negate(const float* a, float* out);
int Vec3Equal(const float* a, const float* b);  // exact; NaN never equal
float Vec3Length(const float* a);
float Vec3Distance(const float* a, const float* b);
// The cosine of the angle between a and b (not the angle).
float Vec3AngleBetween(const float* a, const float* b);
float Vec3Dot(const float* a, const float* b);
void Vec3Cross(const float* a, const float* b, float* out);
void Vec3Midpoint(const float* a, const float* b, float* out);
void Vec3Lerp(const float* a, const float* b, float t, float* out);     // a + (b - a)*t
void Vec3Combine(const float* a, const float* b, float s, float t, float* out);  // s*a + t*b
void Vec3Normalize(const float* a, float* out);
// With m the nine floats of a 3x3 rotation in rows r0, r1, r2:
// bx*(r0.a) + by*(r1.a) + bz*(r2.a).
float Vec3TransformZByMatrix(const float* a, const float* b, const float* m);
