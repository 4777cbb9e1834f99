#include "engine3d/point.h"

#include "engine3d/camera_view.h"
#include "engine3d/chunk_stream.h"
#include "engine3d/material.h"
#include "engine3d/polygon.h"
#include "engine3d/world.h"

#include <cmath>
#include <cstdlib>
#include <cstring>
#include <new>

namespace {
// A fog value truncated into a byte; NaN and anything not above 0 give 0.
uint8_t FogByte(float f) {
    if (!(f > 0.0f)) return 0;
    if (f >= 255.0f) return 255;
    return static_cast<uint8_t>(f);
}

float Dot3(const float* a, const float* b) { return a[0] * b[0] + a[1] * b[1] + a[2] * b[2]; }
}  // namespace

L3DPoint::L3DPoint(float x, float y, float z, float u0, float v0) : local{x, y, z}, u(u0), v(v0) {}

L3DPoint::L3DPoint() = default;

L3DPoint::~L3DPoint() {
    if (callback) callback->PointDestroyed(this);
    if (m_ownsDevice) delete device;
}

void L3DPoint::AttachDeviceVertex() {
    if (device) return;
    device = new LDeviceVertex();
    m_ownsDevice = true;
}

void L3DPoint::Project(const LPolygonOwner* owner, const LCameraView& view) {
    if (owner) {
        const float* hot = owner->GetHotSpot();
        const float* s = owner->GetScale();
        const float p[3] = {(local[0] + hot[0]) * s[0], (local[1] + hot[1]) * s[1], (local[2] + hot[2]) * s[2]};
        LMatrix34::RotateVector(owner->GetRotation().m, p, world);
        const float* position = owner->GetPosition();
        for (int i = 0; i < 3; ++i) world[i] += position[i];
    } else {
        std::memcpy(world, local, sizeof world);
    }
    ProjectFromWorld(view);
    // Environment mapping: the normal turned by the object, then the camera,
    // gives a texture pair of the device vertex.
    if (material && device) {
        for (int layer = 1; layer >= 0; --layer) {
            if (!material->IsEnvMapped(layer)) continue;
            float n[3];
            if (owner)
                LMatrix34::RotateVector(owner->GetRotation().m, normal, n);
            else
                std::memcpy(n, normal, sizeof n);
            const float a = (1.0f - Dot3(view.rows, n)) * 0.5f;
            const float b = (1.0f - Dot3(view.rows + 3, n)) * 0.5f;
            if (layer == 1) {
                device->u1 = a;
                device->v1 = b;
            } else {
                device->u0 = a;
                device->v0 = b;
            }
        }
    }
}

void L3DPoint::ProjectFromWorld(const LCameraView& view) {
    view.ToCamera(world, camera);
    ProjectFromCamera(view);
}

void L3DPoint::ProjectFromCamera(const LCameraView& view) {
    depth = camera[2] == 0.0f ? 0.01f : camera[2];
    outcode = static_cast<uint8_t>(view.IsPointVisible(camera));
    inverseDepth = 1.0f / depth;
    depthFraction = depth / view.farDistance;
    screenX = inverseDepth * view.focalX * camera[0] + view.centreX;
    screenY = inverseDepth * view.focalY * camera[1] + view.centreY;
    // Fog before the device vertex, so that its specular is this frame's.
    if (view.fogMode != 0) ComputeFog(view);
    FillDeviceVertex();
}

void L3DPoint::FillDeviceVertex() {
    if (!device) return;
    device->screenX = screenX;
    device->screenY = screenY;
    device->depthFraction = depthFraction;
    device->inverseDepth = inverseDepth;
    device->diffuse = uint32_t(colour[3]) << 24 | uint32_t(colour[0]) << 16 | uint32_t(colour[1]) << 8 | colour[2];
    device->specular = uint32_t(fog) << 24;
    device->u0 = u;
    device->v0 = v;
    // The second pair belongs to the layer-1 code (environment mapping,
    // clipping), which writes it directly.
}

void L3DPoint::ComputeFog(const LCameraView& view) {
    switch (view.fogMode) {
    case LCameraView::kFogLinear:
        if (depth <= view.fogStart)
            fog = 255;
        else if (depth > view.fogEnd)
            fog = 0;
        else
            fog = FogByte((view.fogEnd - depth) / (view.fogEnd - view.fogStart) * 255.0f);
        break;
    case LCameraView::kFogExponential:
        fog = FogByte(255.0f * std::exp(-view.fogDensity * depth));
        break;
    case LCameraView::kFogExponentialSquared: {
        const float k = view.fogDensity * depth;
        fog = FogByte(255.0f * std::exp(-(k * k)));
        break;
    }
    default:
        break;
    }
}

// ---------------------------------------------------------------------------

LBasePoint::LBasePoint(L3DWorld* world) : m_world(world) { Resize(8); }

LBasePoint::LBasePoint(const LBasePoint& other, L3DWorld* world)
    : m_flags(other.m_flags), m_world(world ? world : other.m_world) {
    Resize(other.m_capacity);
    for (int32_t i = 0; i < other.m_count; ++i) {
        const L3DPoint* from = other.m_points[i];
        L3DPoint* to = m_world ? m_world->CreatePoint(from->local[0], from->local[1], from->local[2], from->u, from->v)
                               : nullptr;
        if (!to) break;
        std::memcpy(to->world, from->world, sizeof to->world);
        std::memcpy(to->camera, from->camera, sizeof to->camera);
        std::memcpy(to->normal, from->normal, sizeof to->normal);
        to->screenX = from->screenX;
        to->screenY = from->screenY;
        to->depth = from->depth;
        to->inverseDepth = from->inverseDepth;
        to->depthFraction = from->depthFraction;
        std::memcpy(to->colour, from->colour, sizeof to->colour);
        std::memcpy(to->baseColour, from->baseColour, sizeof to->baseColour);
        to->useByte = from->useByte;
        m_points[i] = to;
        m_uses[i] = other.m_uses[i];
        m_count = i + 1;
    }
}

LBasePoint::~LBasePoint() {
    for (int32_t i = 0; i < m_count; ++i)
        if (m_flags & kDestroyUnused) {
            if (m_world)
                m_world->DeletePoint(m_points[i]);
            else
                delete m_points[i];
        }
    std::free(m_points);
    std::free(m_uses);
}

void LBasePoint::Resize(int32_t capacity) {
    auto* points = static_cast<L3DPoint**>(std::calloc(size_t(capacity), sizeof(L3DPoint*)));
    auto* uses = static_cast<int32_t*>(std::calloc(size_t(capacity), sizeof(int32_t)));
    if (!points || !uses) {
        std::free(points);
        std::free(uses);
        throw std::bad_alloc();
    }
    const int32_t keep = m_count < capacity ? m_count : capacity;
    if (m_points) std::memcpy(points, m_points, size_t(keep) * sizeof(L3DPoint*));
    if (m_uses) std::memcpy(uses, m_uses, size_t(keep) * sizeof(int32_t));
    std::free(m_points);
    std::free(m_uses);
    m_points = points;
    m_uses = uses;
    m_capacity = capacity;
}

void LBasePoint::Reserve(int32_t capacity) {
    if (capacity > m_capacity) Resize(capacity);
}

void LBasePoint::Clear() {
    for (int32_t i = 0; i < m_count; ++i)
        if (m_flags & kDestroyUnused) {
            if (m_world)
                m_world->DeletePoint(m_points[i]);
            else
                delete m_points[i];
        }
    m_count = 0;
    Resize(8);
}

void LBasePoint::RemoveUnused() {
    int32_t kept = 0;
    for (int32_t i = 0; i < m_count; ++i) {
        L3DPoint* p = m_points[i];
        if (m_uses[i] > 0) {
            m_points[kept] = p;
            m_uses[kept++] = m_uses[i];
            continue;
        }
        if (p->useByte) --p->useByte;
        if (p->useByte == 0 && (m_flags & kDestroyUnused)) {
            if (m_world)
                m_world->DeletePoint(p);
            else
                delete p;
        }
    }
    if (kept == m_count) return;
    for (int32_t i = kept; i < m_count; ++i) m_points[i] = nullptr, m_uses[i] = 0;
    m_count = kept;
    const int32_t capacity = (m_count / 8 + 1) * 8;
    if (capacity != m_capacity) Resize(capacity);
}

int32_t LBasePoint::Append(L3DPoint* point, int32_t use) {
    if (m_count == m_capacity) Resize(m_capacity + 8);
    m_points[m_count] = point;
    m_uses[m_count] = use;
    return m_count++;
}

L3DPoint* LBasePoint::AddPoint(float x, float y, float z, float u, float v, int32_t use) {
    if (m_flags & kSharing) {
        for (int32_t i = 0; i < m_count; ++i) {
            L3DPoint* p = m_points[i];
            if (p->local[0] == x && p->local[1] == y && p->local[2] == z && p->u == u && p->v == v) {
                if (use == -1)
                    m_uses[i] = p->useByte ? m_uses[i] + 1 : 1;
                else
                    m_uses[i] = use;
                return p;
            }
        }
    }
    L3DPoint* p = m_world ? m_world->CreatePoint(x, y, z, u, v) : nullptr;
    if (!p) return nullptr;
    p->useByte = 0;
    Append(p, use == -1 ? 1 : use);
    return p;
}

int32_t LBasePoint::AddExistingPoint(L3DPoint* point) {
    if (m_flags & kSharing) {
        const int32_t i = IndexOf(point);
        if (i >= 0) {
            m_uses[i] = point->useByte ? m_uses[i] + 1 : 1;
            return i;
        }
    }
    return Append(point, 1);
}

int32_t LBasePoint::RemovePoint(L3DPoint* point) {
    const int32_t i = point ? IndexOf(point) : -1;
    if (i < 0) return kAbsent;
    if (point->useByte) --point->useByte;
    if (--m_uses[i] > 0) return 0;
    std::memmove(m_points + i, m_points + i + 1, size_t(m_count - i - 1) * sizeof(L3DPoint*));
    std::memmove(m_uses + i, m_uses + i + 1, size_t(m_count - i - 1) * sizeof(int32_t));
    --m_count;
    m_points[m_count] = nullptr;
    m_uses[m_count] = 0;
    const int32_t capacity = (m_count / 8 + 1) * 8;  // smallest multiple of 8 above the new count
    if (capacity != m_capacity) Resize(capacity);
    if (point->useByte == 0 && (m_flags & kDestroyUnused)) {
        if (m_world)
            m_world->DeletePoint(point);
        else
            delete point;
    }
    return 0;
}

L3DPoint* LBasePoint::GetPoint(int32_t index) const {
    return index >= 0 && index < m_count ? m_points[index] : nullptr;
}

int32_t LBasePoint::IndexOf(const L3DPoint* point) const {
    for (int32_t i = 0; i < m_count; ++i)
        if (m_points[i] == point) return i;
    return -1;
}

void LBasePoint::Save(LChunkStream& out) const {
    out.WriteU16(uint32_t(m_count));
    for (int32_t i = 0; i < m_count; ++i) {
        const L3DPoint* p = m_points[i];
        const float values[8] = {p->local[0], p->local[1], p->local[2], p->u, p->v,
                                 p->normal[0], p->normal[1], p->normal[2]};
        out.WritePoint(values);
    }
}
