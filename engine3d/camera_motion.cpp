// The camera's overrides of the location and object operations: forward
// moves, aiming, following and orbiting, its collision as a moving sphere
// and its visible marker.
#include "engine3d/camera.h"

#include "engine3d/marker_material.h"
#include "engine3d/point.h"
#include "engine3d/polygon.h"
#include "engine3d/vec3.h"
#include "engine3d/world.h"
#include "runtime/base/angle.h"

#include <cmath>

namespace {

constexpr int32_t kMaxCandidates = 16;
enum : int32_t { kKeepPosition = 0, kStopAtContact = 4 };

// Heading and pitch toward d, each in [0, 2*pi).
void Aim(const float* d, float* heading, float* pitch) {
    *heading = Heading(0, 0, d[2], d[0]);
    *pitch = Heading(0, 0, std::sqrt(d[0] * d[0] + d[2] * d[2]), d[1]);
}

}  // namespace

int L3DCamera::MoveForward(float d) {
    if (!IsActive()) return 0;
    ComputeSinCos();
    BuildMatrix(0);
    const float *s = m_sin, *c = m_cos;
    const float forward[3] = {s[1] * c[0], s[0], c[1] * c[0]};
    for (int i = 0; i < 3; ++i) m_position[i] += d * forward[i];
    PositionChanged(1);
    return Moved();
}

void L3DCamera::LookAt(const L3DLocation* target, float k) {
    if (!target || !IsActive()) return;
    float d[3], heading, pitch;
    Vec3Sub(target->GetPosition(), m_position, d);
    Vec3Copy(m_angles, m_previousAngles);
    Aim(d, &heading, &pitch);
    if (k > 0.0f) {
        m_angles[1] = TurnTowards(m_angles[1], heading, k);
        m_angles[0] = TurnTowards(m_angles[0], pitch, k);
    } else {
        m_angles[1] = heading;
        m_angles[0] = pitch;
    }
    for (float& a : m_angles) a = NormalizeAngle(a);
    ComputeSinCos();
    BuildMatrix(1);
    AnglesChanged(1);
    Moved();
}

int L3DCamera::Follow(const LFollowRecord* record) {
    if (!record || !record->target) return 2;
    if (!IsActive()) return 0;
    const float keptX = m_angles[0], keptZ = m_angles[2];
    ComputeSinCos();
    BuildMatrix(0);
    Vec3Copy(m_position, m_previousPosition);
    const L3DLocation& target = *record->target;
    const float* t = target.GetTransform().m;
    const float* from = target.GetPreviousPosition();
    const float distance = float(record->distance);
    const float goal[3] = {from[0] + distance * t[2] + record->offset[0], from[1] + distance * t[6] + record->offset[1],
                           from[2] + distance * t[10] + record->offset[2]};
    const float divisor = record->damping;
    for (int i = 0; i < 3; ++i) m_position[i] = divisor > 0.0f ? m_position[i] + (goal[i] - m_position[i]) / divisor : goal[i];
    float d[3], heading, pitch;
    Vec3Sub(from, m_position, d);
    Aim(d, &heading, &pitch);
    m_angles[1] = heading;
    m_angles[0] = divisor > 0.0f ? TurnTowards(keptX, pitch, divisor) : pitch;
    m_angles[2] = keptZ;
    ComputeSinCos();
    BuildMatrix(1);
    PositionChanged(1);
    AnglesChanged(1);
    Moved();
    return 0;
}

int L3DCamera::MoveAround(LOrbitRecord* record) {
    if (!record || !record->target) return 2;
    if (!IsActive()) return 0;
    float kept[3];
    Vec3Copy(m_angles, kept);
    for (int i = 0; i < 3; ++i) m_angles[i] = record->axes[i].value;
    ComputeSinCos();
    BuildMatrix(0);
    const L3DLocation& target = *record->target;
    const float* m = target.GetRotation().m;
    const float o[3] = {-float(record->axes[0].multiplier) * m[2], -float(record->axes[1].multiplier) * m[6],
                        -float(record->axes[2].multiplier) * m[10]};
    const float* from = target.GetPreviousPosition();
    const float* r = GetViewRows();
    float goal[3];
    for (int i = 0; i < 3; ++i) goal[i] = r[3 * i] * o[0] + r[3 * i + 1] * o[1] + r[3 * i + 2] * o[2] + from[i];
    for (LOrbitAxis& axis : record->axes) {
        if (axis.value > axis.maximum)
            axis.value = axis.minimum;
        else if (axis.value < axis.minimum)
            axis.value = axis.maximum;
        axis.value += axis.step;
    }
    for (int i = 0; i < 3; ++i) m_position[i] += (goal[i] - m_position[i]) * 0.25f;
    float d[3], heading, pitch;
    Vec3Sub(from, m_position, d);
    Aim(d, &heading, &pitch);
    m_angles[1] = TurnTowards(kept[1], heading, 4.0f);
    m_angles[0] = TurnTowards(kept[0], pitch, 4.0f);
    m_angles[2] = kept[2];
    ComputeSinCos();
    BuildMatrix(1);
    PositionChanged(1);
    AnglesChanged(1);
    Moved();
    return 0;
}

// ---- marker ------------------------------------------------------------------

void L3DCamera::BuildMarker() {
    L3DWorld* world = GetWorld();
    LBasePoint* points = GetPoints();
    if (!world || !points) return;
    static const float kPoints[13][3] = {
        {-10, 10, -10}, {10, 10, -10}, {10, -10, -10}, {-10, -10, -10}, {-10, 10, 10},  {10, 10, 10},   {10, -10, 10},
        {-10, -10, 10}, {0, 0, 10},    {-5, 5, 15},    {5, 5, 15},      {5, -5, 15},    {-5, -5, 15},
    };
    static const int kTriangles[16][3] = {{0, 1, 2},  {0, 2, 3},  {1, 5, 2},  {5, 2, 6},  {5, 4, 7},  {5, 7, 6},
                                          {0, 4, 5},  {0, 5, 1},  {4, 0, 3},  {4, 3, 7},  {3, 2, 6},  {3, 6, 7},
                                          {8, 10, 11}, {8, 9, 10}, {8, 12, 9}, {8, 12, 11}};
    L3DPoint* vertex[13];
    // The cube, then the lens, each added without sharing.
    for (int part = 0; part < 2; ++part) {
        const int first = part == 0 ? 0 : 8, last = part == 0 ? 8 : 13;
        points->DisableSharing();
        for (int i = first; i < last; ++i) vertex[i] = points->AddPoint(kPoints[i][0], kPoints[i][1], kPoints[i][2], 0, 0);
        points->EnableSharing();
        for (int t = part == 0 ? 0 : 12; t < (part == 0 ? 12 : 16); ++t) {
            LPolygon* polygon = world->CreatePolygon(this, 2, nullptr);
            if (!polygon) continue;
            for (int v : kTriangles[t]) polygon->AddPoint(vertex[v]);
            AddPolygon(polygon, 1);
        }
    }
    RefreshBox(1);
    Hide(0);
    LMaterial* material = MarkerMaterial(world, kMarkerMaterial, 0x0000FF);
    if (LDataLink* polygons = GetPolygonList())
        for (LDataNode* n = polygons->GetHead(); n; n = n->next) static_cast<LPolygon*>(n->value)->SetMaterial(material);
    SetBoundingRadius(175.0f);
}

void L3DCamera::ShowBox(int32_t on, int32_t /*recursive*/) {
    if (on)
        Show();
    else
        Hide(0);
}

void L3DCamera::Show() {
    L3DWorld* world = GetWorld();
    if (world && world->GetCameraList().GetShowFlag() != 1) return;
    L3DObject::Show();
}

// ---- collision -------------------------------------------------------------------

void L3DCamera::SweepSphere() {
    SetSphereCentre(m_position);
}

int32_t L3DCamera::CollideWorld(LCameraView* camera) {
    if (m_flags & (kFlagPositionChanged | kFlagAnglesChanged)) {
        ComputeTransform();
        ProjectBox(nullptr);
    }
    const float* sphere = GetSphere();
    const float start[3] = {sphere[0], sphere[1], sphere[2]};
    float d[3];
    Vec3Sub(m_position, start, d);
    bool moved = false;
    for (float v : d) moved = moved || std::fabs(v) > 1e-5f;
    if (!moved) return 0;
    L3DWorld* world = GetWorld();
    const float r = sphere[3];
    const float low[3] = {start[0] - r, start[1] - r, start[2] - r};
    const float high[3] = {start[0] + r, start[1] + r, start[2] + r};
    L3DObject* candidates[kMaxCandidates] = {};
    const int32_t found = world ? world->QueryClusterCandidates(low, high, candidates, kMaxCandidates) : 0;
    const float length = Vec3Length(d);
    const LCollisionCallback callback = GetCollisionCallback();
    int32_t hits = 0;
    for (int32_t c = 0; c < found && c < kMaxCandidates; ++c) {
        LDataLink* polygons = candidates[c] ? candidates[c]->GetPolygonList() : nullptr;
        for (LDataNode* n = polygons ? polygons->GetHead() : nullptr; n; n = n->next) {
            auto* polygon = static_cast<LPolygon*>(n->value);
            // The segment from the start over the move meets a face turned
            // toward it (static geometry: stored coordinates are world ones).
            if (!polygon->planes || !(Vec3Dot(polygon->planes, d) < 0.0f)) continue;
            float stop[3], toStop[3];
            if (!polygon->IntersectRay(start, d, stop)) continue;
            Vec3Sub(stop, start, toStop);
            if (!(Vec3Length(toStop) <= length)) continue;
            ++hits;
            const int32_t answer =
                callback ? callback(2, this, nullptr, polygon, stop, GetCollisionContext()) : -1;
            if (answer == kStopAtContact)
                Vec3Copy(stop, m_position);
            else if (answer != kKeepPosition)
                Vec3Copy(start, m_position);
            PositionChanged(1);
        }
    }
    if (GetObjectFlags() & kFlagShadow) DropShadowQuad();
    UpdateTransform(camera);
    return hits;
}
