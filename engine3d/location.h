#pragma once
// L3DLocation: the placed frame of everything in a 3D world: position, three
// Euler angles in radians, scale, hot spot and the rotation built from the
// angles. Objects and cameras derive from it; every change ends with the
// virtual notifications PositionChanged, AnglesChanged and Moved, through which
// a subclass marks itself dirty, passes the change on, or (IsActive = 0) vetoes
// moves and turns altogether.
//
// Angles are kept in [0, 2*pi) by NormalizeAngle (runtime/base/angle.h). Its rule
// differs from the engine's historical one (fmod by the float 2*pi,
// 6.2831854820251465) in two places only: it reduces by 6.283185307178, which
// is the same float once rounded, so results differ at most below float
// resolution; and an angle within 0.001 above -2*pi (e.g. -6.2825) becomes 0
// here where the old rule kept a tiny positive angle (2*pi - r < 0.001).
// Non-finite angles become 0.
//
// The rotation is the row-major 3x3 part of an LMatrix34 (the fourth column is
// never written); with c/s the cosines and sines of the angles:
//   row 0: cy*cz - sz*sy*sx,  sx*sy*cz + sz*cy,  -cx*sy
//   row 1: -sz*cx,            cx*cz,             sx
//   row 2: sz*sx*cy + sy*cz,  sz*sy - sx*cy*cz,  cx*cy
// and every entry strictly between -0.01 and 0.01 is flushed to 0. At zero
// angles a location faces -z; its facing direction is (sy*cx, -sx, -cy*cx).
//
// Saved form: an "OLOC" chunk of nine f32: position, angles, hot spot.
#include "engine3d/math3d.h"

#include <cstdint>

class L3DWorld;
class L3DLocation;
class LChunkStream;

// What Follow moves toward: the target's previous position plus the own
// rotation applied to -distance times the target's third rotation column,
// reached by 1/damping of the way per call (at once for damping <= 0).
struct LFollowRecord {
    L3DLocation* target;
    int32_t distance;
    float damping;
    float offset[3] = {0, 0, 0};  // added to a camera's goal
};

// One axis of an orbit: the multiplier sets the offset; value cycles between
// minimum and maximum by step on every MoveAround.
struct LOrbitAxis {
    int32_t multiplier;
    float value;
    float step;
    float minimum;
    float maximum;
};

struct LOrbitRecord {
    L3DLocation* target;
    LOrbitAxis axes[3];  // x, y, z
};

class L3DLocation {
public:
    enum : uint32_t {
        kFlagMovableLighting = 0x2,  // set by SetFlagBit1 unless 0x4 is set
        kFlagBaseLighting = 0x4,     // set by SetFlagBit2, which clears 0x2
        kFlagPositionChanged = 0x8,
        kFlagAnglesChanged = 0x10,
        kInitialFlags = 28,
    };
    // A setter argument of this value keeps the current component.
    static constexpr float kKeep = -99999.0f;

    L3DLocation(float angleX, float angleY, float angleZ, float x, float y, float z);
    // Copies position, angles (also as the previous ones) and the transform;
    // neither rotation (rebuilt), hot spot, scale nor world.
    L3DLocation(const L3DLocation& other);
    L3DLocation& operator=(const L3DLocation&) = delete;  // Assign copies selectively
    virtual ~L3DLocation();

    virtual void PositionChanged(int on);
    virtual void AnglesChanged(int on);
    virtual int MoveForward(float d);
    // Turns to face the target, a 1/k part of the way for k > 0; for k <= 0
    // stores the angles unreduced (x in (-2*pi, 0], y in (-pi, pi]). Angle z
    // is kept.
    virtual void LookAt(const L3DLocation* target, float k);
    // 2 for a null record or target (nothing changes), else 0.
    virtual int Follow(const LFollowRecord* record);
    virtual int MoveAround(LOrbitRecord* record);
    virtual void StepAround(const L3DLocation* target, int d, int keep);
    virtual void AddAngleY(float d);
    virtual void SubAngleY(float d);
    virtual void SubAngleX(float d);
    virtual void AddAngleX(float d);
    virtual void SubAngleZ(float d);
    virtual void AddAngleZ(float d);
    virtual void Slide(float d);
    virtual void StrafeMinus(float d);
    virtual void StrafePlus(float d);  // level sideways move, whatever pitch and roll
    virtual void RaiseY(float d);
    virtual void LowerY(float d);
    virtual int IsActive();
    virtual int Moved();  // after each completed change; 0 here
    virtual void SetFlagBit2();
    virtual void SetFlagBit1();
    virtual void ComputeSinCos();
    virtual void BuildMatrix(int notify);

    // Setters answer 1, or 0 when the location is inactive and nothing changed.
    int SetPositionX(float v);
    int SetPositionY(float v);
    int SetPositionZ(float v);
    int SetAngleX(float v);
    int SetAngleY(float v);
    int SetAngleZ(float v);
    int SetHotSpot(float x, float y, float z);
    int SetPositionAndAngles(float ax, float ay, float az, float px, float py, float pz);
    int CopyLocation(const L3DLocation& other);
    int CopyAngles(const L3DLocation& other);
    int CopyPosition(const L3DLocation& other);
    int AddPosition(const L3DLocation& other);
    int SubtractPosition(const L3DLocation& other);
    int AddAngles(const L3DLocation& other);
    int SubtractAngles(const L3DLocation& other);

    // Always applied, whatever IsActive says.
    L3DLocation* Assign(const L3DLocation& other);
    void SetWorld(L3DWorld* world) { m_world = world; }
    void SaveLocation(LChunkStream& out) const;
    // 0.0 when every axis differs by less than 0.01.
    float DistanceTo(const L3DLocation& other) const;
    // d with d * facing direction = v, read off the first axis (x, y, z) where
    // both are non-zero; 0.0 when none.
    float ForwardDistance(const float* v) const;
    // A new block of three floats (free it with FreeAndNull): the position
    // minus `point` (three coordinates), or a copy of the position for null.
    // Null when memory fails.
    float* NewOffsetVector(const float* point) const;

    const float* GetPosition() const { return m_position; }
    const float* GetAngles() const { return m_angles; }
    const float* GetPreviousPosition() const { return m_previousPosition; }
    const float* GetPreviousAngles() const { return m_previousAngles; }
    const float* GetHotSpot() const { return m_hotSpot; }
    const float* GetScale() const { return m_scale; }
    void SetScale(float x, float y, float z);  // no notification; sines follow on next ComputeSinCos
    const float* GetSin() const { return m_sin; }
    const float* GetCos() const { return m_cos; }
    const LMatrix34& GetRotation() const { return m_rotation; }
    LMatrix34& GetTransform() { return m_transform; }
    const LMatrix34& GetTransform() const { return m_transform; }
    uint32_t GetFlags() const { return m_flags; }
    L3DWorld* GetWorld() const { return m_world; }

protected:
    void SetFlag(uint32_t bit, int on) { m_flags = on ? (m_flags | bit) : (m_flags & ~bit); }
    // The endings shared by the setters.
    void AnglesDone(int notifyMatrix);  // ComputeSinCos, BuildMatrix, AnglesChanged(1)
    void FacingDirection(float* out) const;
    void StepAngle(int axis, float delta);  // the angle steps but SubAngleZ
    void Strafe(float d);                   // StrafePlus(d), StrafeMinus(-d)
    int SetPosition(int axis, float v);
    int SetAngle(int axis, float v);
    int OffsetPosition(const L3DLocation& other, float sign);  // sign 0 copies
    int OffsetAngles(const L3DLocation& other, float sign);
    // Moves toward `goal` by 1/divisor of the way (all of it for divisor 0)
    // and aims at the target's previous position with turn divisor k (Follow
    // and MoveAround).
    void ApproachAndAim(const L3DLocation& target, const float* goal, float divisor, float k);

    LMatrix34 m_rotation;
    LMatrix34 m_transform;
    float m_hotSpot[3];
    float m_scale[3];
    float m_previousPosition[3];
    float m_previousAngles[3];
    float m_position[3];
    float m_angles[3];
    float m_cos[3];
    float m_sin[3];
    float m_spare[6];
    uint32_t m_flags;
    L3DWorld* m_world;
};

// atan2(b1 - b0, a1 - a0) brought into [0, 2*pi); 0 when both differences are 0.
float Heading(float a0, float b0, float a1, float b1);
// From angle c toward angle t the shorter way, a 1/k part of it (k = 1 turns
// all the way; a k that is not positive and finite counts as 1). Both angles
// are reduced first; for k >= 1 the result lies in [0, 2*pi).
float TurnTowards(float c, float t, float k);
