#include "engine3d/location.h"

#include "runtime/base/angle.h"
#include "runtime/base/sys_utils.h"
#include "engine3d/chunk_stream.h"

#include <cmath>

namespace {
const float kPi = 3.14159265f;
const float kHalfPi = 1.5707964f;
const float kTwoPi = 6.2831854820251465f;
const float kFlushLimit = 0.01f;

float Flushed(float v) { return v > -kFlushLimit && v < kFlushLimit ? 0.0f : v; }

void Copy3(const float* source, float* destination) {
    destination[0] = source[0];
    destination[1] = source[1];
    destination[2] = source[2];
}

bool Differs3(const float* a, const float* b) { return a[0] != b[0] || a[1] != b[1] || a[2] != b[2]; }
}  // namespace

float Heading(float a0, float b0, float a1, float b1) {
    const double da = static_cast<double>(a1) - a0;
    const double db = static_cast<double>(b1) - b0;
    if (da == 0.0 && db == 0.0) return 0.0f;
    float r = static_cast<float>(std::atan2(db, da));
    if (r < 0.0f) r += kTwoPi;
    return r >= kTwoPi ? 0.0f : r;
}

float TurnTowards(float c, float t, float k) {
    // No caller passes a divisor that is not a positive number; such a divisor
    // turns all the way rather than producing an infinite angle.
    if (!(k > 0.0f) || !std::isfinite(k)) k = 1.0f;
    c = NormalizeAngle(c);
    t = NormalizeAngle(t);
    const float delta = t - c;
    float r;
    if (delta >= kPi) {
        r = c - (kTwoPi - delta) / k;
        if (r < 0.0f) r += kTwoPi;
        return r;
    }
    if (delta <= -kPi) r = c + (delta + kTwoPi) / k;
    else r = c + delta / k;
    if (r >= kTwoPi) r -= kTwoPi;
    return r;
}

L3DLocation::L3DLocation(float angleX, float angleY, float angleZ, float x, float y, float z)
    : m_rotation(), m_transform(), m_hotSpot(), m_scale{1.0f, 1.0f, 1.0f}, m_previousPosition{x, y, z},
      m_previousAngles{angleX, angleY, angleZ}, m_position{x, y, z}, m_angles{angleX, angleY, angleZ}, m_cos(),
      m_sin(), m_spare(), m_flags(kInitialFlags), m_world(nullptr) {
    LMatrix34::SetIdentity(m_transform.m);
    ComputeSinCos();
    BuildMatrix(1);
}

L3DLocation::L3DLocation(const L3DLocation& other)
    : m_rotation(), m_transform(other.m_transform), m_hotSpot(), m_scale{1.0f, 1.0f, 1.0f}, m_cos(), m_sin(),
      m_spare(), m_flags(kInitialFlags), m_world(nullptr) {
    Copy3(other.m_position, m_position);
    Copy3(other.m_position, m_previousPosition);
    Copy3(other.m_angles, m_angles);
    Copy3(other.m_angles, m_previousAngles);
    ComputeSinCos();
    BuildMatrix(1);
}

L3DLocation::~L3DLocation() {}

void L3DLocation::PositionChanged(int on) { SetFlag(kFlagPositionChanged, on); }

void L3DLocation::AnglesChanged(int on) { SetFlag(kFlagAnglesChanged, on); }

int L3DLocation::IsActive() { return 1; }

int L3DLocation::Moved() { return 0; }

void L3DLocation::SetFlagBit2() { m_flags = (m_flags & ~kFlagMovableLighting) | kFlagBaseLighting; }

void L3DLocation::SetFlagBit1() {
    if (!(m_flags & kFlagBaseLighting)) m_flags |= kFlagMovableLighting;
}

void L3DLocation::ComputeSinCos() {
    for (int i = 0; i < 3; ++i) {
        m_sin[i] = static_cast<float>(std::sin(static_cast<double>(m_angles[i])));
        m_cos[i] = static_cast<float>(std::cos(static_cast<double>(m_angles[i])));
    }
    // A mirrored location turns the other way about z.
    if (m_scale[1] < 0.0f) {
        m_sin[2] = -m_sin[2];
        m_cos[2] = -m_cos[2];
    }
}

void L3DLocation::BuildMatrix(int notify) {
    const float cx = m_cos[0], cy = m_cos[1], cz = m_cos[2];
    const float sx = m_sin[0], sy = m_sin[1], sz = m_sin[2];
    float* m = m_rotation.m;
    m[0] = Flushed(cy * cz - (sz * sy) * sx);
    m[1] = Flushed(sx * sy * cz + sz * cy);
    m[2] = Flushed(-(cx * sy));
    m[4] = Flushed(-(sz * cx));
    m[5] = Flushed(cx * cz);
    m[6] = Flushed(sx);
    m[8] = Flushed(sz * sx * cy + sy * cz);
    m[9] = Flushed(sz * sy - sx * cy * cz);
    m[10] = Flushed(cx * cy);
    if (notify == 1) Moved();
}

void L3DLocation::AnglesDone(int notifyMatrix) {
    ComputeSinCos();
    BuildMatrix(notifyMatrix);
    AnglesChanged(1);
}

void L3DLocation::FacingDirection(float* out) const {
    out[0] = m_sin[1] * m_cos[0];
    out[1] = -m_sin[0];
    out[2] = -m_cos[1] * m_cos[0];
}

int L3DLocation::MoveForward(float d) {
    if (!IsActive()) return 0;
    float f[3];
    FacingDirection(f);
    for (int i = 0; i < 3; ++i) m_position[i] += d * f[i];
    PositionChanged(1);
    return Moved();
}

void L3DLocation::LookAt(const L3DLocation* target, float k) {
    if (!target || !IsActive()) return;
    const float dx = target->m_position[0] - m_position[0];
    const float dy = target->m_position[1] - m_position[1];
    const float dz = target->m_position[2] - m_position[2];
    const float h = std::sqrt(dx * dx + dz * dz);
    const float wantedY = kPi - Heading(0, 0, dz, dx);
    const float wantedX = -Heading(0, 0, h, dy);
    if (k > 0.0f) {
        m_angles[1] = TurnTowards(m_angles[1], wantedY, k);
        m_angles[0] = TurnTowards(m_angles[0], wantedX, k);
    } else {
        m_angles[1] = wantedY;
        m_angles[0] = wantedX;
    }
    AnglesDone(1);
    Moved();
}

void L3DLocation::ApproachAndAim(const L3DLocation& target, const float* goal, float divisor, float k) {
    for (int i = 0; i < 3; ++i) {
        if (divisor > 0.0f) m_position[i] += (goal[i] - m_position[i]) / divisor;
        else m_position[i] = goal[i];
    }
    const float dx = target.m_previousPosition[0] - m_position[0];
    const float dy = target.m_previousPosition[1] - m_position[1];
    const float dz = target.m_previousPosition[2] - m_position[2];
    m_angles[1] = TurnTowards(m_angles[1], kPi - Heading(0, 0, dz, dx), k);
    m_angles[0] = TurnTowards(m_angles[0], -Heading(0, 0, std::sqrt(dx * dx + dz * dz), dy), k);
    ComputeSinCos();
    BuildMatrix(1);
    PositionChanged(1);
    AnglesChanged(1);
    Moved();
}

int L3DLocation::Follow(const LFollowRecord* record) {
    if (!record || !record->target) return 2;
    if (!IsActive()) return 0;
    const L3DLocation& target = *record->target;
    const float* t = target.m_rotation.m;
    const float distance = static_cast<float>(record->distance);
    const float offset[3] = {-distance * t[2], -distance * t[6], -distance * t[10]};
    float goal[3];
    LMatrix34::RotateVector(m_rotation.m, offset, goal);
    for (int i = 0; i < 3; ++i) goal[i] += target.m_previousPosition[i];
    const float damping = record->damping;
    ApproachAndAim(target, goal, damping > 0.0f ? damping : 0.0f, damping > 0.0f ? damping : 1.0f);
    return 0;
}

int L3DLocation::MoveAround(LOrbitRecord* record) {
    if (!record || !record->target) return 2;
    if (!IsActive()) return 0;
    const L3DLocation& target = *record->target;
    const float* t = target.m_rotation.m;
    const float offset[3] = {-static_cast<float>(record->axes[0].multiplier) * t[2],
                             -static_cast<float>(record->axes[1].multiplier) * t[6],
                             -static_cast<float>(record->axes[2].multiplier) * t[10]};
    float goal[3];
    LMatrix34::RotateVector(m_rotation.m, offset, goal);
    for (int i = 0; i < 3; ++i) goal[i] += target.m_previousPosition[i];
    for (LOrbitAxis& axis : record->axes) {
        if (axis.value > axis.maximum) axis.value = axis.minimum;
        else if (axis.value < axis.minimum) axis.value = axis.maximum;
        axis.value += axis.step;
    }
    ApproachAndAim(target, goal, 4.0f, 4.0f);
    return 0;
}

void L3DLocation::StepAround(const L3DLocation* target, int d, int keep) {
    if (!IsActive()) return;
    float saved[3];
    Copy3(m_angles, saved);
    LookAt(target, 0.0f);
    StrafePlus(static_cast<float>(d));
    if (keep == 0) {
        Copy3(saved, m_angles);
        AnglesDone(1);
        Moved();
    }
}

void L3DLocation::StepAngle(int axis, float delta) {
    if (!IsActive()) return;
    m_angles[axis] = NormalizeAngle(m_angles[axis] + delta);
    AnglesDone(0);
    Moved();
}

void L3DLocation::AddAngleY(float d) { StepAngle(1, d); }
void L3DLocation::SubAngleY(float d) { StepAngle(1, -d); }
void L3DLocation::SubAngleX(float d) { StepAngle(0, -d); }
void L3DLocation::AddAngleX(float d) { StepAngle(0, d); }
void L3DLocation::AddAngleZ(float d) { StepAngle(2, d); }

// Unlike the other steps, the matrix build sends the one Moved.
void L3DLocation::SubAngleZ(float d) {
    if (!IsActive()) return;
    m_angles[2] = NormalizeAngle(m_angles[2] - d);
    AnglesDone(1);
}

void L3DLocation::Slide(float d) {
    if (!IsActive()) return;
    AddAngleY(kHalfPi);
    MoveForward(d);
    SubAngleY(kHalfPi);
    PositionChanged(1);
    Moved();
}

void L3DLocation::Strafe(float d) {
    if (!IsActive()) return;
    const float savedX = m_angles[0], savedZ = m_angles[2];
    // Level the location, move sideways, then restore pitch and roll.
    SetPositionAndAngles(0.0f, m_angles[1] + kHalfPi, 0.0f, kKeep, kKeep, kKeep);
    MoveForward(d);
    SetPositionAndAngles(savedX, m_angles[1] - kHalfPi, savedZ, kKeep, kKeep, kKeep);
    PositionChanged(1);
    Moved();
}

void L3DLocation::StrafePlus(float d) { Strafe(d); }
void L3DLocation::StrafeMinus(float d) { Strafe(-d); }

void L3DLocation::RaiseY(float d) {
    if (!IsActive()) return;
    SetPositionAndAngles(kKeep, kKeep, kKeep, kKeep, m_position[1] + d, kKeep);
    PositionChanged(1);
    Moved();
}

void L3DLocation::LowerY(float d) { RaiseY(-d); }

int L3DLocation::SetPosition(int axis, float v) {
    if (!IsActive()) return 0;
    m_position[axis] = v;
    PositionChanged(1);
    return 1;
}

int L3DLocation::SetAngle(int axis, float v) {
    if (!IsActive()) return 0;
    m_angles[axis] = NormalizeAngle(v);
    AnglesDone(1);
    return 1;
}

int L3DLocation::SetPositionX(float v) { return SetPosition(0, v); }
int L3DLocation::SetPositionY(float v) { return SetPosition(1, v); }
int L3DLocation::SetPositionZ(float v) { return SetPosition(2, v); }
int L3DLocation::SetAngleX(float v) { return SetAngle(0, v); }
int L3DLocation::SetAngleY(float v) { return SetAngle(1, v); }
int L3DLocation::SetAngleZ(float v) { return SetAngle(2, v); }

int L3DLocation::SetHotSpot(float x, float y, float z) {
    if (!IsActive()) return 0;
    m_hotSpot[0] = x;
    m_hotSpot[1] = y;
    m_hotSpot[2] = z;
    PositionChanged(1);
    Moved();
    return 1;
}

int L3DLocation::SetPositionAndAngles(float ax, float ay, float az, float px, float py, float pz) {
    if (!IsActive()) return 0;
    const float position[3] = {px, py, pz};
    const float angles[3] = {ax, ay, az};
    // A component counts as a change when it is given and differs.
    auto changes = [](const float* given, const float* current) {
        for (int i = 0; i < 3; ++i)
            if (given[i] != kKeep && given[i] != current[i]) return true;
        return false;
    };
    auto store = [](const float* given, float* current) {
        for (int i = 0; i < 3; ++i)
            if (given[i] != kKeep) current[i] = given[i];
    };
    if (changes(position, m_position)) {
        store(position, m_position);
        PositionChanged(1);
        Moved();
    }
    if (changes(angles, m_angles)) {
        store(angles, m_angles);
        for (float& a : m_angles) a = NormalizeAngle(a);
        AnglesDone(1);
        Moved();
    }
    return 1;
}

int L3DLocation::CopyLocation(const L3DLocation& other) {
    if (!IsActive()) return 0;
    if (Differs3(m_position, other.m_position)) {
        Copy3(other.m_position, m_position);
        PositionChanged(1);
    }
    if (Differs3(m_angles, other.m_angles)) {
        Copy3(other.m_angles, m_angles);
        AnglesDone(0);
    }
    Moved();
    return 1;
}

int L3DLocation::CopyAngles(const L3DLocation& other) {
    if (!IsActive()) return 0;
    Copy3(other.m_angles, m_angles);
    AnglesDone(1);
    return 1;
}

int L3DLocation::CopyPosition(const L3DLocation& other) { return OffsetPosition(other, 0.0f); }
int L3DLocation::AddPosition(const L3DLocation& other) { return OffsetPosition(other, 1.0f); }
int L3DLocation::SubtractPosition(const L3DLocation& other) { return OffsetPosition(other, -1.0f); }

int L3DLocation::OffsetPosition(const L3DLocation& other, float sign) {
    if (!IsActive()) return 0;
    for (int i = 0; i < 3; ++i)
        m_position[i] = sign == 0.0f ? other.m_position[i] : m_position[i] + sign * other.m_position[i];
    PositionChanged(1);
    Moved();
    return 1;
}

int L3DLocation::OffsetAngles(const L3DLocation& other, float sign) {
    if (!IsActive()) return 0;
    for (int i = 0; i < 3; ++i) m_angles[i] = NormalizeAngle(m_angles[i] + sign * other.m_angles[i]);
    AnglesDone(1);
    return 1;
}

int L3DLocation::AddAngles(const L3DLocation& other) { return OffsetAngles(other, 1.0f); }
int L3DLocation::SubtractAngles(const L3DLocation& other) { return OffsetAngles(other, -1.0f); }

L3DLocation* L3DLocation::Assign(const L3DLocation& other) {
    Copy3(other.m_hotSpot, m_hotSpot);
    Copy3(other.m_scale, m_scale);
    Copy3(other.m_previousPosition, m_previousPosition);
    Copy3(other.m_position, m_position);
    Copy3(other.m_angles, m_angles);
    AnglesDone(0);
    return this;
}

void L3DLocation::SaveLocation(LChunkStream& out) const {
    const int32_t start = out.BeginChunk(ChunkTag("OLOC"));
    out.WriteVec3(m_position[0], m_position[1], m_position[2]);
    out.WriteVec3(m_angles[0], m_angles[1], m_angles[2]);
    out.WriteVec3(m_hotSpot[0], m_hotSpot[1], m_hotSpot[2]);
    out.EndChunk(start);
}

float L3DLocation::DistanceTo(const L3DLocation& other) const {
    double d[3];
    bool near = true;
    for (int i = 0; i < 3; ++i) {
        d[i] = static_cast<double>(other.m_position[i]) - m_position[i];
        if (!(std::fabs(d[i]) < kFlushLimit)) near = false;
    }
    if (near) return 0.0f;
    return static_cast<float>(std::sqrt(d[0] * d[0] + d[1] * d[1] + d[2] * d[2]));
}

float L3DLocation::ForwardDistance(const float* v) const {
    float f[3];
    FacingDirection(f);
    for (int i = 0; i < 3; ++i)
        if (v[i] != 0.0f && f[i] != 0.0f) return v[i] / f[i];
    return 0.0f;
}

float* L3DLocation::NewOffsetVector(const float* point) const {
    float* v = nullptr;
    if (!AllocRetry(3 * sizeof(float), &v)) return nullptr;
    for (int i = 0; i < 3; ++i) v[i] = point ? m_position[i] - point[i] : m_position[i];
    return v;
}

void L3DLocation::SetScale(float x, float y, float z) {
    m_scale[0] = x;
    m_scale[1] = y;
    m_scale[2] = z;
}
