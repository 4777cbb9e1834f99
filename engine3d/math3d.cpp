#include "engine3d/math3d.h"

#include <cmath>
#include <cstring>

int LMatrix34::Zero(float* out) {
    for (int i = 0; i < 12; ++i) out[i] = 0.0f;
    return 0;
}

void LMatrix34::SetIdentity(float* out) {
    Zero(out);
    out[0] = out[5] = out[10] = 1.0f;
}

void LMatrix34::Copy(const float* source, float* destination) {
    std::memmove(destination, source, 12 * sizeof(float));
}

void LMatrix34::Add(const float* a, const float* b, float* out) {
    for (int i = 0; i < 12; ++i) out[i] = a[i] + b[i];
}

void LMatrix34::Subtract(const float* a, const float* b, float* out) {
    for (int i = 0; i < 12; ++i) out[i] = a[i] - b[i];
}

void LMatrix34::Multiply(const float* a, const float* b, float* out) {
    float r[12];
    for (int row = 0; row < 3; ++row) {
        const float* ar = a + 4 * row;
        for (int col = 0; col < 4; ++col)
            r[4 * row + col] = ar[0] * b[col] + ar[1] * b[4 + col] + ar[2] * b[8 + col];
        r[4 * row + 3] += ar[3];
    }
    std::memcpy(out, r, sizeof r);
}

void LMatrix34::TransposeRotation(const float* a, float* out) {
    float r[12] = {a[0], a[4], a[8], a[3], a[1], a[5], a[9], a[7], a[2], a[6], a[10], a[11]};
    std::memcpy(out, r, sizeof r);
}

int LMatrix34::InverseScaleRows(const float* a, float* out) {
    float r[12];
    for (int row = 0; row < 3; ++row) {
        const float* ar = a + 4 * row;
        const float s = ar[0] * ar[0] + ar[1] * ar[1] + ar[2] * ar[2];
        if (s == 0.0f) {
            SetIdentity(out);
            return 0;
        }
        for (int col = 0; col < 3; ++col) r[4 * row + col] = ar[col] / s;
        r[4 * row + 3] = ar[3];
    }
    std::memcpy(out, r, sizeof r);
    return 1;
}

int LMatrix34::NormalizeRows(const float* a, float* out) {
    float r[12];
    for (int row = 0; row < 3; ++row) {
        const float* ar = a + 4 * row;
        const float length = std::sqrt(ar[0] * ar[0] + ar[1] * ar[1] + ar[2] * ar[2]);
        for (int col = 0; col < 3; ++col) r[4 * row + col] = length == 0.0f ? ar[col] : ar[col] / length;
        r[4 * row + 3] = ar[3];
    }
    std::memcpy(out, r, sizeof r);
    return 1;
}

namespace {
// The identity with the vector's three values at the given places.
void IdentityWith(const float* vector, const int (&at)[3], float* out) {
    const float v[3] = {vector[0], vector[1], vector[2]};
    LMatrix34::SetIdentity(out);
    for (int i = 0; i < 3; ++i) out[at[i]] = v[i];
}
}  // namespace

void LMatrix34::MakeTranslation(const float* vector, float* out) { IdentityWith(vector, {3, 7, 11}, out); }

void LMatrix34::MakeScale(const float* vector, float* out) { IdentityWith(vector, {0, 5, 10}, out); }

void LMatrix34::MakeRotationEuler(float ax, float ay, float az, float* out, const float* translation) {
    const float s1 = std::sin(ax), c1 = std::cos(ax);
    const float s2 = std::sin(ay), c2 = std::cos(ay);
    const float s3 = std::sin(az), c3 = std::cos(az);
    const float t[3] = {translation ? translation[0] : 0.0f, translation ? translation[1] : 0.0f,
                        translation ? translation[2] : 0.0f};
    out[0] = c3 * c2 - s3 * s2 * s1;
    out[1] = c3 * s2 * s1 + s3 * c2;
    out[2] = -s2 * c1;
    out[3] = t[0];
    out[4] = -s3 * c1;
    out[5] = c3 * c1;
    out[6] = s1;
    out[7] = t[1];
    out[8] = s3 * c2 * s1 + c3 * s2;
    out[9] = s3 * s2 - c3 * c2 * s1;
    out[10] = c2 * c1;
    out[11] = t[2];
}

namespace {
const double kPi = 3.14159265359;
const float kHalfPi = 1.5707964f;

void Store4(double w, double x, double y, double z, float* out) {
    out[0] = static_cast<float>(w);
    out[1] = static_cast<float>(x);
    out[2] = static_cast<float>(y);
    out[3] = static_cast<float>(z);
}

double Dot4(const float* a, const float* b) {
    return static_cast<double>(a[0]) * b[0] + static_cast<double>(a[1]) * b[1] + static_cast<double>(a[2]) * b[2] +
           static_cast<double>(a[3]) * b[3];
}

// Spherical blend; `shorterArc` flips b's weight when the two lie on opposite
// hemispheres.
void Slerp(const float* a, const float* b, float spin, float t, float* out, bool shorterArc) {
    double c = Dot4(a, b);
    bool flip = false;
    if (shorterArc && c < 0.0) {
        c = -c;
        flip = true;
    }
    double s0, s1;
    if (1.0 - std::fabs(c) < 1e-6) {
        s0 = 1.0 - t;
        s1 = t;
    } else {
        const double theta = std::acos(c);
        const double phi = (spin * kPi + theta) * t;
        s0 = std::sin(theta - phi) / std::sin(theta);
        s1 = std::sin(phi) / std::sin(theta);
    }
    if (flip) s1 = -s1;
    Store4(s0 * a[0] + s1 * b[0], s0 * a[1] + s1 * b[1], s0 * a[2] + s1 * b[2], s0 * a[3] + s1 * b[3], out);
}
}  // namespace

void QuatSet(float w, float x, float y, float z, float* out) {
    out[0] = w;
    out[1] = x;
    out[2] = y;
    out[3] = z;
}

void QuatSetIdentity(float* out) { QuatSet(1.0f, 0.0f, 0.0f, 0.0f, out); }

void QuatReset(float* out) { QuatSet(0.0f, 0.0f, 0.0f, 0.0f, out); }

void QuatCopy(const float* source, float* destination) { QuatSet(source[0], source[1], source[2], source[3], destination); }

void QuatAdd(const float* a, const float* b, float* out) {
    QuatSet(a[0] + b[0], a[1] + b[1], a[2] + b[2], a[3] + b[3], out);
}

void QuatSubtract(const float* a, const float* b, float* out) {
    QuatSet(a[0] - b[0], a[1] - b[1], a[2] - b[2], a[3] - b[3], out);
}

void QuatMultiply(const float* a, const float* b, float* out) {
    const double aw = a[0], ax = a[1], ay = a[2], az = a[3];
    const double bw = b[0], bx = b[1], by = b[2], bz = b[3];
    Store4(aw * bw - ax * bx - ay * by - az * bz, aw * bx + ax * bw + ay * bz - az * by,
           aw * by - ax * bz + ay * bw + az * bx, aw * bz + ax * by - ay * bx + az * bw, out);
}

void QuatDivide(const float* a, const float* b, float* out) {
    const double n = Dot4(b, b);
    const float conj[4] = {b[0], -b[1], -b[2], -b[3]};
    float r[4];
    QuatMultiply(a, conj, r);
    Store4(r[0] / n, r[1] / n, r[2] / n, r[3] / n, out);
}

void QuatSquare(const float* q, float* out) {
    const double w = q[0], x = q[1], y = q[2], z = q[3];
    Store4(w * w - x * x - y * y - z * z, 2 * w * x, 2 * w * y, 2 * w * z, out);
}

float QuatGetLength(const float* q) { return static_cast<float>(std::sqrt(Dot4(q, q))); }

float QuatDotProduct(const float* a, const float* b) { return static_cast<float>(Dot4(a, b)); }

float QuatDotProductUniformized(const float* a, const float* b) {
    return static_cast<float>(Dot4(a, b) / (std::sqrt(Dot4(a, a)) * std::sqrt(Dot4(b, b))));
}

void QuatScale(const float* q, float factor, float* out) {
    QuatSet(q[0] * factor, q[1] * factor, q[2] * factor, q[3] * factor, out);
}

void QuatRescale(const float* q, float length, float* out) {
    const double l = std::sqrt(Dot4(q, q));
    if (l == 0.0) {
        QuatSetIdentity(out);
        return;
    }
    const double f = length / l;
    Store4(q[0] * f, q[1] * f, q[2] * f, q[3] * f, out);
}

int QuatIsEqual(const float* a, const float* b) {
    return a[0] == b[0] && a[1] == b[1] && a[2] == b[2] && a[3] == b[3] ? 1 : 0;
}

void QuatNormalize(const float* q, float* out) {
    const double l = std::sqrt(Dot4(q, q));
    Store4(q[0] / l, q[1] / l, q[2] / l, q[3] / l, out);
}

void QuatInverse(const float* q, float* out) {
    const double n = Dot4(q, q);
    if (n == 1.0) {
        QuatSet(q[0], -q[1], -q[2], -q[3], out);
        return;
    }
    Store4(q[0] / n, -q[1] / n, -q[2] / n, -q[3] / n, out);
}

void QuatNegate(const float* q, float* out) {
    const double l = std::sqrt(Dot4(q, q));
    Store4(q[0] / l, -q[1] / l, -q[2] / l, -q[3] / l, out);
}

void QuatSetFromAngle(float angle, float axisX, float axisY, float axisZ, float* out) {
    const double h = angle * 0.5;
    const double s = std::sin(h);
    Store4(std::cos(h), s * axisX, s * axisY, s * axisZ, out);
}

void QuatGetAngle(const float* q, float* angle, float* axisX, float* axisY, float* axisZ) {
    const double l = std::sqrt(Dot4(q, q));
    double c = q[0] / l;
    // Rounding can push a unit w a hair past 1.
    if (c > 1.0) c = 1.0;
    if (c < -1.0) c = -1.0;
    const double h = std::acos(c);
    *angle = static_cast<float>(2.0 * h);
    const double s = std::sin(h);
    if (!(std::fabs(s) > 1e-6)) {
        *axisX = *axisY = *axisZ = 0.0f;
        return;
    }
    *axisX = static_cast<float>(q[1] / l / s);
    *axisY = static_cast<float>(q[2] / l / s);
    *axisZ = static_cast<float>(q[3] / l / s);
}

void QuatExp(const float* q, float* out) {
    const double x = q[1], y = q[2], z = q[3];
    const double theta = std::sqrt(x * x + y * y + z * z);
    const double f = theta > 0.0 ? std::sin(theta) / theta : 1.0;
    Store4(std::cos(theta), x * f, y * f, z * f, out);
}

namespace {
// (0, theta * v/|v|), or theta * v when |v| is 0; theta = atan(|v|/c), pi/2
// for c = 0.
void LogOfVector(double c, double x, double y, double z, float* out) {
    const double length = std::sqrt(x * x + y * y + z * z);
    const double theta = c != 0.0 ? std::atan(length / c) : kHalfPi;
    const double f = length != 0.0 ? theta / length : theta;
    Store4(0.0, x * f, y * f, z * f, out);
}
}  // namespace

void QuatLog(const float* q, float* out) { LogOfVector(q[0], q[1], q[2], q[3], out); }

void QuatLnDif(const float* a, const float* b, float* out) {
    // t = (conj(a) / |a|^2) * b
    const double n = Dot4(a, a);
    const float inverse[4] = {static_cast<float>(a[0] / n), static_cast<float>(-a[1] / n),
                              static_cast<float>(-a[2] / n), static_cast<float>(-a[3] / n)};
    float t[4];
    QuatMultiply(inverse, b, t);
    const double c = Dot4(a, b) / (std::sqrt(Dot4(a, a)) * std::sqrt(Dot4(b, b)));
    LogOfVector(c, t[1], t[2], t[3], out);
}

void QuatSlerp(const float* a, const float* b, float spin, float t, float* out) { Slerp(a, b, spin, t, out, true); }

void QuatSlerpDirect(const float* a, const float* b, float spin, float t, float* out) {
    Slerp(a, b, spin, t, out, false);
}

void QuatMakeMatrix(const float* q, float* out) {
    const double w = q[0], x = q[1], y = q[2], z = q[3];
    const double r[12] = {1 - 2 * (y * y + z * z), 2 * (x * y + z * w),     2 * (x * z - y * w),     0,
                          2 * (x * y - z * w),     1 - 2 * (x * x + z * z), 2 * (y * z + x * w),     0,
                          2 * (x * z + y * w),     2 * (y * z - x * w),     1 - 2 * (x * x + y * y), 0};
    for (int i = 0; i < 12; ++i) out[i] = static_cast<float>(r[i]);
}

void QuatMakeInvertedMatrix(const float* q, float* out) {
    QuatMakeMatrix(q, out);
    LMatrix34::TransposeRotation(out, out);
}

void QuatMakeInvertedMatrixNegYZ(const float* q, float* out) {
    const float n[4] = {q[0], q[1], -q[2], -q[3]};
    QuatMakeInvertedMatrix(n, out);
}

void QuatMakeInvertedMatrixNegXZ(const float* q, float* out) {
    const float n[4] = {q[0], -q[1], q[2], -q[3]};
    QuatMakeInvertedMatrix(n, out);
}

void QuatMakeInvertedMatrixNegXY(const float* q, float* out) {
    const float n[4] = {q[0], -q[1], -q[2], q[3]};
    QuatMakeInvertedMatrix(n, out);
}

void QuatFromMatrix(const float* m, float* out) {
    const double d[3] = {m[0], m[5], m[10]};
    const double trace = d[0] + d[1] + d[2];
    auto at = [m](int r, int c) { return static_cast<double>(m[4 * r + c]); };
    if (trace > 0.0) {
        const double s = std::sqrt(trace + 1.0);
        const double f = 0.5 / s;
        Store4(s * 0.5, (m[6] - m[9]) * f, (m[8] - m[2]) * f, (m[1] - m[4]) * f, out);
        return;
    }
    static const int kNext[3] = {1, 2, 0};
    int i = d[1] > d[0] ? 1 : 0;
    if (d[2] > d[i]) i = 2;
    const int j = kNext[i], k = kNext[j];
    // A matrix that is no rotation can make the radicand negative: clamp so
    // the result stays finite.
    const double radicand = d[i] - (d[j] + d[k]) + 1.0;
    const double s = radicand > 0.0 ? std::sqrt(radicand) : 0.0;
    const double f = s != 0.0 ? 0.5 / s : 0.0;
    double v[3];
    v[i] = s * 0.5;
    v[j] = (at(i, j) + at(j, i)) * f;
    v[k] = (at(k, i) + at(i, k)) * f;
    Store4((at(j, k) - at(k, j)) * f, v[0], v[1], v[2], out);
}

void QuatSqrt(const float* q, float* out) {
    const double w = q[0], x = q[1], y = q[2], z = q[3];
    const double root = std::sqrt(w * w + x * x + y * y);
    const double k = root != 0.0 ? 1.0 / root : 1.0;
    const double a = k * w, b = k * x, c = k * z;
    const double r = std::sqrt(k);
    // The formula divides by |(a, b)|; when that is 0 the first two outputs are
    // 0 instead of NaN.
    const double ab = std::sqrt(a * a + b * b);
    const double mm = ab != 0.0 ? 1.0 / ab : 0.0;
    const double lower = std::sqrt(std::fmax(0.0, (1.0 - c) * 0.5));
    const double upper = std::sqrt(std::fmax(0.0, (c + 1.0) * 0.5));
    Store4(r * lower * mm * a, r * lower * mm * b, r * upper, z, out);
}
