#include "engine3d/polygon.h"

#include "engine3d/camera_view.h"
#include "engine3d/chunk_stream.h"
#include "engine3d/material_cache.h"
#include "engine3d/material.h"
#include "engine3d/vec3.h"
#include "engine3d/world.h"

#include <climits>
#include <cmath>
#include <cstring>

namespace {
float Dot3(const float* a, const float* b) { return a[0] * b[0] + a[1] * b[1] + a[2] * b[2]; }

// Truncation toward zero that never overflows: false for NaN.
bool TruncateToInt(float f, int32_t* out) {
    if (std::isnan(f)) return false;
    if (f >= 2147483520.0f)
        *out = INT_MAX;
    else if (f <= -2147483648.0f)
        *out = INT_MIN;
    else
        *out = static_cast<int32_t>(f);
    return true;
}

// The face normal of three positions, (0, 0, 0) for a degenerate triangle.
void FaceNormal(const float* p0, const float* p1, const float* p2, float* n) {
    float a[3], b[3], c[3];
    Vec3Sub(p1, p0, a);
    Vec3Sub(p2, p0, b);
    Vec3Cross(a, b, c);
    Vec3Normalize(c, n);
}

uint8_t FacingMaskOf(const float* n) {
    const float e = 1e-5f;
    uint8_t mask = 0;
    if (n[0] > e) mask |= 8;
    if (n[0] < -e) mask |= 16;
    if (n[1] > e) mask |= 4;
    if (n[1] < -e) mask |= 2;
    if (n[2] > e) mask |= 32;
    if (n[2] < -e) mask |= 64;
    return mask;
}

uint8_t LerpByte(uint8_t a, uint8_t b, float f) {
    const float v = float(a) + (float(b) - float(a)) * f + 0.5f;
    return v <= 0.0f ? 0 : (v >= 255.0f ? 255 : static_cast<uint8_t>(v));
}
}  // namespace

LPolygon::LPolygon(LPolygonOwner* ownerObject, int32_t reserved, void* callbackObject)
    : maxPoints(reserved == 4 ? 4 : 3), callback(callbackObject), planes(new float[4]()), owner(ownerObject) {}

LPolygon::~LPolygon() {
    // A destroyed polygon leaves its material's list, which would otherwise
    // hand it to the next mode change or refresh.
    if (material && materialNode) material->RemovePolygon(static_cast<LDataNode*>(materialNode));
    delete[] planes;
}

void LPolygon::Save(LChunkStream& out) const {
    COutStream* stream = out.GetStream();
    if (!stream || (count != 3 && count != 4)) return;
    L3DWorld* world = GetWorld();
    const LMaterial* m = material ? material : (world ? world->GetDefaultMaterial() : nullptr);
    const int32_t position = world && m ? world->GetMaterialList().IndexOf(m) : 0;
    uint16_t indices[4] = {0, 0, 0, 0};
    for (int i = 0; i < count; ++i)
        indices[i] = static_cast<uint16_t>(owner && owner->points ? owner->points->IndexOf(points[i]) : 0);
    if (count == 3)
        WriteTriangleRecord(*stream, indices, static_cast<uint16_t>(position));
    else
        WriteQuadRecord(*stream, indices, static_cast<uint16_t>(position));
}

L3DWorld* LPolygon::GetWorld() const { return owner ? owner->GetWorld() : nullptr; }

LCameraView* LPolygon::GetCurrentCamera() const {
    L3DWorld* world = GetWorld();
    return world ? world->GetCurrentCamera() : nullptr;
}

void LPolygon::UpdateRadius(float extra) {
    float centre[3] = {0, 0, 0};
    for (int i = 0; i < count; ++i) Vec3Add(centre, points[i]->local, centre);
    Vec3Scale(centre, 0.33333334f, centre);  // also for quads
    float largest = 0.0f;
    for (int i = 0; i < count; ++i) {
        float d[3];
        Vec3Sub(points[i]->local, centre, d);
        const float r = std::sqrt(Dot3(d, d)) + extra;
        // NaN or beyond a u16 saturates: a huge polygon must not look small.
        if (!(r <= 65535.0f)) {
            largest = 65535.0f;
            break;
        }
        if (r > largest) largest = r;
    }
    radius = static_cast<uint16_t>(largest);
}

int32_t LPolygon::AddNewPoint(float x, float y, float z, float u, float v) {
    if (count >= maxPoints || !owner || !owner->points) return kFull;
    L3DPoint* p = owner->points->AddPoint(x, y, z, u, v, -1);
    if (!p) return kFull;
    ++p->useByte;
    points[count] = p;
    uv[count][0] = u;
    uv[count][1] = v;
    ++count;
    if (count >= 3) UpdateRadius(1.0f);
    return 0;
}

int32_t LPolygon::AddPoint(L3DPoint* point) {
    if (count >= maxPoints || !point) return kFull;
    if (owner && owner->points) owner->points->AddExistingPoint(point);
    ++point->useByte;
    points[count] = point;
    uv[count][0] = point->u;
    uv[count][1] = point->v;
    ++count;
    if (count >= 3) UpdateRadius(1.0f);
    return 0;
}

int32_t LPolygon::InsertPoint(int32_t index, float x, float y, float z, float u, float v) {
    if (count >= 3 || !owner || !owner->points) return kFull;
    L3DPoint* p = owner->points->AddPoint(x, y, z, u, v, -1);
    if (!p) return kFull;
    ++p->useByte;
    if (index < 0 || index > count) index = count;
    for (int i = count; i > index; --i) {
        points[i] = points[i - 1];
        uv[i][0] = uv[i - 1][0];
        uv[i][1] = uv[i - 1][1];
    }
    points[index] = p;
    uv[index][0] = u;
    uv[index][1] = v;
    ++count;
    if (count == 3) UpdateRadius(0.0f);
    return 0;
}

L3DPoint* LPolygon::GetPoint(int32_t index) const { return index >= 0 && index < count ? points[index] : nullptr; }

int32_t LPolygon::IndexOfPoint(const L3DPoint* point) const {
    for (int i = 0; i < count; ++i)
        if (points[i] == point) return i;
    return -1;
}

int32_t LPolygon::RemovePoint(L3DPoint* point) {
    const int32_t i = point ? IndexOfPoint(point) : -1;
    if (i < 0) return kAbsent;
    RemovePointAt(i);
    return 0;
}

void LPolygon::RemovePointAt(int32_t index) {
    if (index == -1) {
        while (count > 0) RemovePointAt(count - 1);
        return;
    }
    if (index < 0 || index >= count) return;
    L3DPoint* p = points[index];
    for (int i = index; i + 1 < count; ++i) {
        points[i] = points[i + 1];
        uv[i][0] = uv[i + 1][0];
        uv[i][1] = uv[i + 1][1];
    }
    --count;
    points[count] = nullptr;
    if (owner && owner->points)
        owner->points->RemovePoint(p);
    else
        delete p;  // no owner array: the polygon held the only use
}

void LPolygon::SetUV(int32_t index, float u, float v) {
    if (index < 0 || index >= count) return;
    uv[index][0] = u;
    uv[index][1] = v;
}

void LPolygon::GetUV(int32_t index, float* u, float* v) const {
    if (index < 0 || index >= count) return;
    *u = uv[index][0];
    *v = uv[index][1];
}

void LPolygon::CopyUVToPoints() {
    for (int i = 0; i < count; ++i) {
        points[i]->u = uv[i][0];
        points[i]->v = uv[i][1];
    }
}

void LPolygon::Invert() {
    const int a = 1, b = count == 4 ? 3 : 2;
    if (count < 3) return;
    std::swap(points[a], points[b]);
    std::swap(uv[a][0], uv[b][0]);
    std::swap(uv[a][1], uv[b][1]);
    ComputePlanes(0);
}

void LPolygon::TransformPoints(const float* m) {
    // Rotation about the matrix's translation: p' = R(p - t) + t.
    const float t[3] = {m[3], m[7], m[11]};
    for (int i = 0; i < count; ++i) {
        float d[3];
        Vec3Sub(points[i]->local, t, d);
        LMatrix34::RotateVector(m, d, d);
        Vec3Add(d, t, points[i]->local);
    }
}

void LPolygon::ComputeGroundBox() {
    int32_t maxX = -9999999, maxZ = -9999999, minX = 9999999, minZ = 9999999;
    for (int i = 0; i < count; ++i) {
        int32_t x, z;
        if (TruncateToInt(points[i]->world[0], &x)) {
            if (x > maxX) maxX = x;
            if (x < minX) minX = x;
        }
        if (TruncateToInt(points[i]->world[2], &z)) {
            if (z > maxZ) maxZ = z;
            if (z < minZ) minZ = z;
        }
    }
    const auto widen = [](int32_t& hi, int32_t& lo) {
        const int32_t by = hi == lo ? 200 : 100;
        hi = hi > INT_MAX - by ? INT_MAX : hi + by;
        lo = lo < INT_MIN + by ? INT_MIN : lo - by;
    };
    widen(maxX, minX);
    widen(maxZ, minZ);
    groundBox[0] = maxX;
    groundBox[1] = maxZ;
    groundBox[2] = minX;
    groundBox[3] = minZ;
}

int32_t LPolygon::ContainsGroundPoint(int32_t x, int32_t z) const {
    return x < groundBox[0] && z < groundBox[1] && x > groundBox[2] && z > groundBox[3] ? 1 : 0;
}

void LPolygon::WorldNormal(float* out) const {
    if (owner)
        LMatrix34::RotateVector(owner->GetRotation().m, planes, out);
    else
        Vec3Copy(planes, out);
}

int32_t LPolygon::Classify(const LCameraView& camera) {
    int32_t result = kClip;
    int inside = 0;
    for (int i = 0; i < count; ++i)
        if (points[i]->outcode) ++inside;
    if (count > 0 && inside == count) {
        result = kDraw;
    } else if (inside == 0) {
        float sphere[4] = {0, 0, 0, 0};
        for (int i = 0; i < count; ++i) Vec3Add(sphere, points[i]->world, sphere);
        Vec3Scale(sphere, 1.0f / float(count), sphere);  // 0/0 without vertices: culled below
        float largest = 1.0f;
        if (owner) {
            const float* s = owner->GetScale();
            largest = std::fmax(s[0], std::fmax(s[1], s[2]));
        }
        sphere[3] = float(radius) * largest * 100.0f;
        if (!std::isfinite(sphere[0]) || !std::isfinite(sphere[1]) || !std::isfinite(sphere[2]) ||
            !std::isfinite(sphere[3])) {
            result = kCulled;
        } else {
            const int32_t answer = camera.ClassifySphere(sphere);
            result = answer == LCameraView::kSphereInside ? kDraw
                     : answer == LCameraView::kSphereCrossing ? kClip : kCulled;
        }
    }
    if (result != kCulled && owner && (owner->objectFlags & LPolygonOwner::kFlagCullBackFaces) && count > 0) {
        float n[3];
        WorldNormal(n);
        bool away = true;
        for (int i = 0; i < count && away; ++i) {
            float d[3];
            Vec3Sub(camera.position, points[i]->world, d);
            away = Dot3(d, n) < 0.0f;
        }
        if (away) result = kCulled;
    }
    visibility = static_cast<uint16_t>(result);
    return result;
}

float LPolygon::MaxDepth() const {
    float depth = kNoDepth;
    for (int i = 0; i < count; ++i)
        if (points[i]->depth > depth) depth = points[i]->depth;
    return depth;
}

int32_t LPolygon::ContainsScreenPoint(float x, float y) const {
    // Crossing number with half-open edges: a point on a left or bottom edge
    // (or vertex) is inside, one on a right or top edge is outside, so
    // polygons sharing an edge never both claim a point.
    bool in = false;
    for (int i = 0, j = count - 1; i < count; j = i++) {
        const float xi = points[i]->screenX, yi = points[i]->screenY;
        const float xj = points[j]->screenX, yj = points[j]->screenY;
        if ((yi > y) != (yj > y) && x < (xj - xi) * (y - yi) / (yj - yi) + xi) in = !in;
    }
    return in ? 1 : 0;
}

void LPolygon::Submit(LCameraView* camera) {
    if (visibility == kDraw) {
        ++camera->polygonsDrawn;
        if (material && material->draw.routine) material->draw.routine(material->draw.object, this, camera);
    } else if (visibility == kClip) {
        if (material && material->clippedDraw.routine)
            material->clippedDraw.routine(material->clippedDraw.object, this, camera);
    }
}

int32_t LPolygon::IntersectRay(const float* origin, const float* direction, float* out) const {
    if (count < 3) return 0;
    const float denom = Dot3(planes, direction);
    if (!(std::fabs(denom) > 1e-5f)) return 0;
    const float t = (planes[3] - Dot3(planes, origin)) / denom;
    if (!(t >= 0.0f)) return 0;
    float hit[3];
    for (int i = 0; i < 3; ++i) hit[i] = origin[i] + direction[i] * t;
    // Barycentric dot products over the fan (0, k, k+1); edges count as inside.
    for (int k = 1; k + 1 < count; ++k) {
        float e0[3], e1[3], w[3];
        Vec3Sub(points[k]->local, points[0]->local, e0);
        Vec3Sub(points[k + 1]->local, points[0]->local, e1);
        Vec3Sub(hit, points[0]->local, w);
        const float d00 = Dot3(e0, e0), d01 = Dot3(e0, e1), d11 = Dot3(e1, e1);
        const float d20 = Dot3(w, e0), d21 = Dot3(w, e1);
        const float det = d00 * d11 - d01 * d01;
        if (det == 0.0f) continue;
        const float b1 = (d11 * d20 - d01 * d21) / det;
        const float b2 = (d00 * d21 - d01 * d20) / det;
        const float eps = 1e-6f;
        if (b1 >= -eps && b2 >= -eps && b1 + b2 <= 1.0f + eps) {
            Vec3Copy(hit, out);
            return 1;
        }
    }
    return 0;
}

void LPolygon::ComputePlanes(int32_t average) {
    if (count < 3) return;
    float* record = new float[size_t(count + 1) * 4];
    delete[] planes;
    planes = record;
    float n[3];
    FaceNormal(points[0]->local, points[1]->local, points[2]->local, n);
    Vec3Copy(n, planes);
    planes[3] = Dot3(n, points[0]->local);
    for (int k = 0; k < count; ++k) {
        const float* pk = points[k]->local;
        float edge[3], c[3], m[3];
        Vec3Sub(points[(k + 1) % count]->local, pk, edge);
        Vec3Cross(n, edge, c);
        Vec3Normalize(c, m);
        float* plane = planes + 4 * (k + 1);
        Vec3Negate(m, plane);
        plane[3] = -Dot3(m, pk);
    }
    if (average)
        for (int i = 0; i < count; ++i) {
            Vec3Add(points[i]->normal, n, points[i]->normal);
            Vec3Scale(points[i]->normal, 0.5f, points[i]->normal);
        }
    facingMask = FacingMaskOf(n);
}

uint8_t LPolygon::ComputeFacingMask() const {
    if (count < 3) return 0;
    float n[3];
    FaceNormal(points[0]->local, points[1]->local, points[2]->local, n);
    return FacingMaskOf(n);
}

int32_t LPolygon::SetMaterial(LMaterial* next) {
    LMaterial* old = material;
    const bool changed = next != old;
    if (changed && old && materialNode) {
        old->RemovePolygon(static_cast<LDataNode*>(materialNode));
        materialNode = nullptr;
    }
    if (!owner) {
        material = nullptr;
        return MaterialHook();
    }
    material = next;
    for (int i = 0; i < count; ++i) {
        L3DPoint* p = points[i];
        if (p->material && p->material != next && p->material != old && owner->points) {
            // Shared with a third material: this polygon gets its own vertex.
            LBasePoint& array = *owner->points;
            const int32_t sharing = array.IsSharing();
            array.DisableSharing();
            L3DPoint* fresh = array.AddPoint(p->local[0], p->local[1], p->local[2], p->u, p->v);
            if (sharing) array.EnableSharing();
            if (!fresh) continue;
            fresh->material = next;
            fresh->useByte = 1;
            points[i] = fresh;
            array.RemovePoint(p);
        } else {
            p->material = next;
        }
    }
    if (next) {
        if (next->GetTexture(0)) {
            TextureHook1();
            TextureHook2();
        }
        if (changed && !materialNode) materialNode = next->AddPolygon(this);
        for (int i = 0; i < count; ++i) points[i]->shadingTable = next->shadingTable;
    }
    return MaterialHook();
}

void LPolygon::ComputeEnvironmentUV(int32_t flip) {
    const LCameraView* camera = GetCurrentCamera();
    if (!material || !material->IsEnvMapped(0) || !camera) return;
    const float s = flip == 1 ? -1.0f : 1.0f;
    for (int i = 0; i < count; ++i) {
        float n[3];
        if (owner)
            LMatrix34::RotateVector(owner->GetRotation().m, points[i]->normal, n);
        else
            Vec3Copy(points[i]->normal, n);
        const float a = Dot3(camera->rows, n), b = Dot3(camera->rows + 3, n);
        uv[i][0] = (1.0f - a) * 0.5f;
        uv[i][1] = (s * b + 1.0f) * 0.5f;
    }
}

int32_t LPolygon::ClipToFrustum(LCameraView* camera, L3DPoint** out) { return Clip(camera, out, false); }
int32_t LPolygon::ClipToFrustumShaded(LCameraView* camera, L3DPoint** out) { return Clip(camera, out, true); }

int32_t LPolygon::Clip(LCameraView* camera, L3DPoint** out, bool shaded) {
    camera->clipCursor = 0;
    const uint32_t mask = camera->ClipOutcode(points, count);
    for (int i = 0; i < count; ++i) {
        points[i]->drawU = uv[i][0];
        points[i]->drawV = uv[i][1];
    }
    if (count < 3) return 0;
    const bool secondPair = material && material->GetTexture(1);
    L3DPoint* lists[2][kMaxClipPoints];
    L3DPoint** work = lists[0];
    int32_t n = count;
    std::memcpy(work, points, sizeof(L3DPoint*) * size_t(count));
    static const uint32_t kOrder[6] = {LCameraView::kFar,  LCameraView::kNear, LCameraView::kLeft,
                                       LCameraView::kRight, LCameraView::kTop,  LCameraView::kBottom};
    for (uint32_t bit : kOrder) {
        if (!(mask & bit)) continue;
        const float* plane = camera->Plane(bit);
        L3DPoint** next = work == lists[0] ? lists[1] : lists[0];
        int32_t m = 0;
        L3DPoint* prev = work[n - 1];
        float dp = Dot3(plane, prev->camera) - plane[3];
        for (int32_t i = 0; i < n; ++i) {
            L3DPoint* cur = work[i];
            const float dc = Dot3(plane, cur->camera) - plane[3];
            // A new vertex only where the signs strictly differ (no 0/0); a
            // vertex on the plane is kept as it is.
            const bool cross = (dp < 0.0f && dc > 0.0f) || (dp > 0.0f && dc < 0.0f);
            if (cross) {
                L3DPoint* p = m < kMaxClipPoints ? camera->NextClipPoint() : nullptr;
                if (!p) return 0;  // the pool (or the list) is full: drop the polygon
                const float f = dp / (dp - dc);
                for (int k = 0; k < 3; ++k) p->camera[k] = prev->camera[k] + (cur->camera[k] - prev->camera[k]) * f;
                p->drawU = prev->drawU + (cur->drawU - prev->drawU) * f;
                p->drawV = prev->drawV + (cur->drawV - prev->drawV) * f;
                p->u = p->drawU;
                p->v = p->drawV;
                p->material = prev->material;
                p->shadingTable = prev->shadingTable;
                p->fog = prev->fog;
                if (shaded)
                    for (int k = 0; k < 4; ++k) p->colour[k] = LerpByte(prev->colour[k], cur->colour[k], f);
                p->ProjectFromCamera(*camera);
                if (secondPair && p->device && prev->device && cur->device) {
                    p->device->u1 = prev->device->u1 + (cur->device->u1 - prev->device->u1) * f;
                    p->device->v1 = prev->device->v1 + (cur->device->v1 - prev->device->v1) * f;
                }
                next[m++] = p;
            }
            if (dc >= 0.0f) {
                if (m >= kMaxClipPoints) return 0;
                next[m++] = cur;
            }
            prev = cur;
            dp = dc;
        }
        if (m < 3) return 0;
        work = next;
        n = m;
    }
    std::memcpy(out, work, sizeof(L3DPoint*) * size_t(n));
    return n;
}
