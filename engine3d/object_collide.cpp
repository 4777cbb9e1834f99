// Spheres, collision between moving objects and against the world's static
// geometry, the box tests of the collision code, and picking.
#include "engine3d/object.h"

#include "engine3d/camera_view.h"
#include "engine3d/point.h"
#include "engine3d/polygon_routines.h"
#include "engine3d/vec3.h"
#include "engine3d/world.h"

#include <cmath>
#include <initializer_list>

namespace {

constexpr float kPi = 3.14159265358979f;
constexpr int32_t kMaxCandidates = 16;

// The contact response shared by CollideObject and CollideWorld.
enum : int32_t { kNoResponse = 0, kSlide = 4 };

void Movement(const L3DLocation& o, float* d) { Vec3Sub(o.GetPosition(), o.GetPreviousPosition(), d); }

bool IsZero(const float* d) { return d[0] == 0.0f && d[1] == 0.0f && d[2] == 0.0f; }

// previous + t * movement
void AlongMovement(const L3DLocation& o, const float* d, float t, float* out) {
    float step[3];
    Vec3Scale(d, t, step);
    Vec3Add(o.GetPreviousPosition(), step, out);
}

// The movement d reflected about the contact normal n and scaled by
// sin(-(pi - acos k)), k = n.d/|d| held in [-1, 1] (rounding can push it
// past 1, and acos would then give NaN positions).
void Reflect(const float* d, const float* n, float* out) {
    float k = Vec3Dot(n, d) / Vec3Length(d);
    k = k < -1.0f ? -1.0f : (k > 1.0f ? 1.0f : k);
    const float factor = std::sin(-(kPi - std::acos(k)));
    float twice[3];
    Vec3Scale(n, 2.0f * Vec3Dot(d, n), twice);
    Vec3Sub(d, twice, out);
    Vec3Scale(out, factor, out);
}

// Mask of the directions of a movement: +x 8, -x 16, +y 4, -y 2, +z 32,
// -z 64; components below 0.00001 count as none.
uint32_t DirectionMask(const float* d) {
    const uint32_t plus[3] = {8, 4, 32}, minus[3] = {16, 2, 64};
    uint32_t mask = 0;
    for (int a = 0; a < 3; ++a) {
        if (std::fabs(d[a]) < 0.00001f) continue;
        mask |= d[a] > 0.0f ? plus[a] : minus[a];
    }
    return mask;
}

// The facing mask a polygon has when its normal opposes the movement.
uint32_t Opposing(uint32_t mask) {
    const uint32_t pairs[3][2] = {{8, 16}, {4, 2}, {32, 64}};
    uint32_t out = 0;
    for (const auto& p : pairs) {
        if (mask & p[0]) out |= p[1];
        if (mask & p[1]) out |= p[0];
    }
    return out;
}

}  // namespace

void L3DObject::BoxCorners(float* low, float* high) const {
    const LBasePoint* corners = m_box ? m_box->GetPoints() : nullptr;
    const L3DPoint* a = corners ? corners->GetPoint(3) : nullptr;
    const L3DPoint* b = corners ? corners->GetPoint(5) : nullptr;
    for (int i = 0; i < 3; ++i) {
        low[i] = a && b ? std::fmin(a->world[i], b->world[i]) : m_position[i];
        high[i] = a && b ? std::fmax(a->world[i], b->world[i]) : m_position[i];
    }
}

void L3DObject::ComputeSphere() {
    if (!m_box) return;
    float low[3], high[3], half[3];
    BoxCorners(low, high);
    for (int i = 0; i < 3; ++i) {
        m_sphere[i] = (low[i] + high[i]) * 0.5f;
        half[i] = (high[i] - low[i]) * 0.5f;
    }
    m_sphere[3] = std::sqrt(Vec3Dot(half, half));
}

void L3DObject::SweepSphere() {
    if (!m_box) return;
    float d[3], low[3], high[3];
    Movement(*this, d);
    BoxCorners(low, high);
    float radius = 0.0f;
    for (int i = 0; i < 3; ++i) {
        low[i] = std::fmin(low[i], low[i] - d[i]);
        high[i] = std::fmax(high[i], high[i] - d[i]);
        m_sphere[i] = (low[i] + high[i]) * 0.5f;
        radius = std::fmax(radius, (high[i] - low[i]) * 0.5f);
    }
    m_sphere[3] = radius;
}

void L3DObject::PlaceAt(const float* position) {
    for (int i = 0; i < 3; ++i) m_position[i] = position[i];
    PositionChanged(1);
}

int32_t L3DObject::CollideObject(int32_t /*n*/, L3DObject* other) {
    if (!other || other == this) return 0;
    float d1[3], d2[3];
    Movement(*this, d1);
    Movement(*other, d2);
    if (IsZero(d1)) return 0;
    // Each object's sphere at its previous place: the box's bounding sphere
    // (the collision radius around the position without a box).
    float a[4], b[4];
    for (L3DObject* o : {this, other}) {
        float* s = o == this ? a : b;
        const float* d = o == this ? d1 : d2;
        o->ComputeTransform();
        o->ProjectBox(nullptr);
        if (o->m_box) {
            o->ComputeSphere();
            Vec3Copy(o->m_sphere, s);
        } else {
            Vec3Copy(o->m_position, s);
        }
        s[3] = o->m_sphere[3];
        Vec3Sub(s, d, s);
    }
    float velocity[3], t = 0.0f, contact[3];
    Vec3Copy(d1, velocity);
    if (!SweptSphereContact(a, velocity, b, d2, &t, contact)) return 0;
    int32_t result = -1;
    if (m_collisionCallback) {
        result = m_collisionCallback(0, this, other, nullptr, nullptr, m_collisionContext);
        if (result == kNoResponse) return 1;
    }
    float place[3];
    AlongMovement(*other, d2, t, place);
    other->PlaceAt(place);
    if (result == kSlide) {
        // Normal from the centres at the contact (zero for coincident
        // centres: the movement is then only turned back).
        float ca[3], cb[3], n[3], reflected[3];
        Vec3Combine(a, d1, 1.0f, t, ca);
        Vec3Combine(b, d2, 1.0f, t, cb);
        Vec3Sub(ca, cb, n);
        Vec3Normalize(n, n);
        Reflect(d1, n, reflected);
        Vec3Add(GetPreviousPosition(), reflected, place);
    } else {
        AlongMovement(*this, d1, t, place);
    }
    PlaceAt(place);
    return 1;
}

int32_t L3DObject::CollideWorld(LCameraView* camera) {
    float d[3];
    Movement(*this, d);
    const uint32_t mask = DirectionMask(d);
    if (!mask) return 0;
    L3DWorld* world = GetWorld();
    // The box swept from the previous to the current place.
    float low[3], high[3];
    ComputeTransform();
    ProjectBox(nullptr);
    BoxCorners(low, high);
    for (int i = 0; i < 3; ++i) {
        low[i] = std::fmin(low[i], low[i] - d[i]);
        high[i] = std::fmax(high[i], high[i] - d[i]);
        m_sphere[i] = (low[i] + high[i]) * 0.5f;
    }
    L3DObject* candidates[kMaxCandidates] = {};
    const int32_t found = world ? world->QueryClusterCandidates(low, high, candidates, kMaxCandidates) : 0;
    int32_t result = 0;
    const uint32_t facing = Opposing(mask);
    float start[3];
    Vec3Sub(m_sphere, d, start);
    for (int32_t c = 0; c < found && c < kMaxCandidates; ++c) {
        L3DObject* candidate = candidates[c];
        LDataLink* polygons = candidate ? candidate->GetPolygonList() : nullptr;
        for (LDataNode* n = polygons ? polygons->GetHead() : nullptr; n; n = n->next) {
            auto* polygon = static_cast<LPolygon*>(n->value);
            if (!(polygon->facingMask & facing)) continue;
            // Static geometry: the candidate's stored coordinates are world
            // coordinates.
            float hit[3];
            if (!polygon->IntersectRay(start, d, hit)) continue;
            float contact[3], offset[3];
            Vec3Scale(polygon->planes, m_sphere[3], offset);
            Vec3Add(hit, offset, contact);
            if (!PointInBox(contact, nullptr)) continue;
            result = m_collisionCallback ? m_collisionCallback(2, this, nullptr, polygon, contact, m_collisionContext)
                                         : -1;
            if (result == kNoResponse) continue;
            float toHit[3], place[3];
            Vec3Sub(hit, start, toHit);
            const float t = std::fmin(1.0f, Vec3Length(toHit) / Vec3Length(d));
            if (result == kSlide) {
                float reflected[3];
                Reflect(d, polygon->planes, reflected);
                Vec3Add(GetPreviousPosition(), reflected, place);
            } else {
                AlongMovement(*this, d, t, place);
            }
            PlaceAt(place);
        }
    }
    if (objectFlags & kFlagShadow) DropShadowQuad();
    UpdateTransform(camera);
    return result < 0 ? 0 : result;
}

int32_t L3DObject::PointInBox(const float* point, const float* offset) const {
    float low[3], high[3];
    BoxCorners(low, high);
    for (int i = 0; i < 3; ++i) {
        const float o = offset ? offset[i] : 0.0f;
        if (!(point[i] >= low[i] + o && point[i] <= high[i] + o)) return 0;
    }
    return 1;
}

int32_t L3DObject::PointNearBox(const float* point) const {
    float low[3], high[3];
    BoxCorners(low, high);
    for (int i = 0; i < 3; ++i)
        if (!(point[i] >= low[i] - 0.01f && point[i] <= high[i] + 0.01f)) return 0;
    return 1;
}

int32_t L3DObject::PointNearBoxXZ(const float* point) const {
    float low[3], high[3];
    BoxCorners(low, high);
    for (int i = 0; i < 3; i += 2)
        if (!(point[i] >= low[i] - 0.01f && point[i] <= high[i] + 0.01f)) return 0;
    return 1;
}

int32_t L3DObject::BoxOverlaps(const L3DObject& other) const {
    float a0[3], a1[3], b0[3], b1[3];
    BoxCorners(a0, a1);
    other.BoxCorners(b0, b1);
    for (int i = 0; i < 3; ++i)
        if (!(a0[i] < b1[i] && b0[i] < a1[i])) return 0;
    return 1;
}

void L3DObject::Pick(LCameraView* camera, const float* point, const float* radius, L3DObject** out) {
    if (!out || !point || (objectFlags & kFlagHidden)) return;
    ComputeTransform();
    if (m_box && camera) {
        ProjectBox(camera);
        bool hit = false;
        if (!radius) {
            for (LDataNode* n = m_box->GetPolygonList() ? m_box->GetPolygonList()->GetHead() : nullptr; n && !hit;
                 n = n->next)
                hit = static_cast<LPolygon*>(n->value)->ContainsScreenPoint(point[0], point[1]) == 1;
        } else {
            float mean[2] = {0, 0};
            const LBasePoint* corners = m_box->GetPoints();
            const int32_t count = corners->GetCount();
            for (int32_t i = 0; i < count; ++i) {
                mean[0] += corners->GetPoint(i)->screenX;
                mean[1] += corners->GetPoint(i)->screenY;
            }
            if (count > 0) {
                const float dx = mean[0] / float(count) - point[0], dy = mean[1] / float(count) - point[1];
                hit = std::sqrt(dx * dx + dy * dy) <= *radius;
            }
        }
        if (hit) *out = this;
    }
    if (m_children)
        for (LDataNode* n = m_children->GetHead(); n; n = n->next)
            static_cast<L3DObject*>(n->value)->Pick(camera, point, radius, out);
}
