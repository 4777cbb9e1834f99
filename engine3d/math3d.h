#pragma once
// Matrix and quaternion math of the 3D engine, on plain float arrays.
//
// LMatrix34: a 3x4 affine matrix, 12 floats row-major; row r is
// (r0, r1, r2, t): the 3x3 block is the linear part R, the fourth column the
// translation t. Points are column vectors: p' = R*p + t, that is
//   x' = m0*x + m1*y + m2*z + m3, y' = m4*x + ... + m7, z' = m8*x + ... + m11.
// Quaternions are 4 floats (w, x, y, z), real part first; the identity is
// (1, 0, 0, 0). Angles are radians.
//
// Outputs come last and may be the same array as an input (every function
// reads its inputs before writing). Results are stored as floats; sums may be
// carried in higher precision.

struct LMatrix34 {
    float m[12];

    static int Zero(float* out);  // always 0
    static void SetIdentity(float* out);
    static void Copy(const float* source, float* destination);
    static void Add(const float* a, const float* b, float* out);
    static void Subtract(const float* a, const float* b, float* out);
    // out = a*b: linear part Ra*Rb, translation Ra*tb + ta.
    static void Multiply(const float* a, const float* b, float* out);
    // out's linear part is the transpose of a's; the translation is a's.
    static void TransposeRotation(const float* a, float* out);
    // Row i becomes (ri0/s, ri1/s, ri2/s, ti) with s = |ri|^2, so that the
    // transposed result inverts a rotation with scaled rows. A row with s
    // exactly 0 makes out the identity and the result 0; otherwise 1.
    static int InverseScaleRows(const float* a, float* out);
    // Each row's linear part divided by its length (a zero row is copied);
    // translations copied. Always 1.
    static int NormalizeRows(const float* a, float* out);
    static void MakeTranslation(const float* vector, float* out);
    static void MakeScale(const float* vector, float* out);
    // Rotation from three Euler angles, the layout L3DLocation::BuildMatrix uses
    // (without its flush of small entries); translation from t, or 0 for null.
    static void MakeRotationEuler(float ax, float ay, float az, float* out, const float* translation);
    // Inline: the per-vertex transforms of every frame go through these two.
    static void TransformPoint(const float* m, const float* p, float* out) {  // R*p + t
        const float x = m[0] * p[0] + m[1] * p[1] + m[2] * p[2] + m[3];
        const float y = m[4] * p[0] + m[5] * p[1] + m[6] * p[2] + m[7];
        const float z = m[8] * p[0] + m[9] * p[1] + m[10] * p[2] + m[11];
        out[0] = x;
        out[1] = y;
        out[2] = z;
    }
    static void RotateVector(const float* m, const float* v, float* out) {  // R*v
        const float x = m[0] * v[0] + m[1] * v[1] + m[2] * v[2];
        const float y = m[4] * v[0] + m[5] * v[1] + m[6] * v[2];
        const float z = m[8] * v[0] + m[9] * v[1] + m[10] * v[2];
        out[0] = x;
        out[1] = y;
        out[2] = z;
    }
};

void QuatSet(float w, float x, float y, float z, float* out);
void QuatSetIdentity(float* out);
void QuatReset(float* out);  // (0, 0, 0, 0)
void QuatCopy(const float* source, float* destination);
void QuatAdd(const float* a, const float* b, float* out);
void QuatSubtract(const float* a, const float* b, float* out);
void QuatMultiply(const float* a, const float* b, float* out);  // Hamilton product a*b
// a * conj(b) / |b|^2. A zero b divides by zero: the result is then not finite.
void QuatDivide(const float* a, const float* b, float* out);
void QuatSquare(const float* q, float* out);  // w' = w^2 - |v|^2, v' = 2*w*v
float QuatGetLength(const float* q);
float QuatDotProduct(const float* a, const float* b);
float QuatDotProductUniformized(const float* a, const float* b);  // dot / (|a|*|b|)
void QuatScale(const float* q, float factor, float* out);
// q scaled to the given length; a zero q gives the identity.
void QuatRescale(const float* q, float length, float* out);
int QuatIsEqual(const float* a, const float* b);  // 1 when all four compare equal
// q / |q|. A zero q divides 0 by 0 and gives four NaNs (no trap is enabled).
void QuatNormalize(const float* q, float* out);
// conj(q) / |q|^2, no division when |q|^2 is exactly 1. A zero q gives NaNs.
void QuatInverse(const float* q, float* out);
void QuatNegate(const float* q, float* out);  // conj(q) / |q|
// w = cos(angle/2), (x, y, z) = sin(angle/2) * axis; the axis is not normalised.
void QuatSetFromAngle(float angle, float axisX, float axisY, float axisZ, float* out);
// Angle 2*acos(w/|q|) and the unit axis; the axis is (0, 0, 0) when
// |sin(angle/2)| <= 1e-6 (the identity among others).
void QuatGetAngle(const float* q, float* angle, float* axisX, float* axisY, float* axisZ);
// exp of the pure quaternion (0, x, y, z); the input w is ignored.
void QuatExp(const float* q, float* out);
// log of a unit quaternion: (0, theta * v/|v|) with theta = atan(|v|/w)
// (pi/2 when w is 0); v itself is scaled by theta when |v| is 0.
void QuatLog(const float* q, float* out);
void QuatLnDif(const float* a, const float* b, float* out);  // log(a^-1 * b)
// Spherical blend from a (t = 0) to b (t = 1), with `spin` extra half turns.
// QuatSlerp takes the shorter arc (b negated when dot(a, b) < 0);
// QuatSlerpDirect never flips. Both blend linearly when the two are within
// 1e-6 of parallel.
void QuatSlerp(const float* a, const float* b, float spin, float t, float* out);
void QuatSlerpDirect(const float* a, const float* b, float spin, float t, float* out);
// Rotation matrix of a unit quaternion, translation 0. Its linear part is the
// transpose of the textbook rotation of q (m1 = 2(xy + zw)).
void QuatMakeMatrix(const float* q, float* out);
void QuatMakeInvertedMatrix(const float* q, float* out);  // the transpose, translation 0
// QuatMakeInvertedMatrix of q with two vector components negated; q is left
// unchanged.
void QuatMakeInvertedMatrixNegYZ(const float* q, float* out);
void QuatMakeInvertedMatrixNegXZ(const float* q, float* out);
void QuatMakeInvertedMatrixNegXY(const float* q, float* out);
// Inverse of QuatMakeMatrix (q or -q). A matrix that is no rotation still
// gives a finite quaternion.
void QuatFromMatrix(const float* matrix, float* out);
// The square root the script quaternion class was written against. This is
// not the w-first principal root: with k = 1/sqrt(w^2 + x^2 + y^2) (1 when
// that root is 0), a = k*w, b = k*x, c = k*z, r = sqrt(k), m = 1/sqrt(a^2 + b^2):
//   out = (r*sqrt((1 - c)/2)*m*a, r*sqrt((1 - c)/2)*m*b, r*sqrt((c + 1)/2), z).
// A negative radicand counts as 0 and m as 0 when a = b = 0, so the result
// stays finite.
void QuatSqrt(const float* q, float* out);
