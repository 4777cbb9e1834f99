#include "engine3d/polygon_routines.h"

#include "engine3d/camera_view.h"
#include "engine3d/material.h"
#include "engine3d/point.h"
#include "engine3d/polygon.h"
#include "engine3d/vec3.h"
#include "engine3d/world.h"

#include <cmath>

namespace {
// Visibility shared by the culling variants; `doubleSidedDepth` is what a
// visible polygon of a double-sided world gets.
void Cull(LPolygon* polygon, LCameraView* camera, float doubleSidedDepth) {
    if (!polygon->material) {
        polygon->sortDepth = -1.0f;
        return;
    }
    L3DWorld* world = polygon->GetWorld();
    if (world && world->GetDoubleSided()) {
        polygon->sortDepth = polygon->Classify(*camera) == LPolygon::kCulled ? -1.0f : doubleSidedDepth;
        return;
    }
    // Signed distance of the camera from the plane, at the first vertex.
    float n[3], d[3];
    polygon->WorldNormal(n);
    L3DPoint* first = polygon->GetPoint(0);
    if (first)
        Vec3Sub(camera->position, first->world, d);
    else
        Vec3Zero(d);
    polygon->sortDepth = Vec3Dot(n, d);
    if (polygon->sortDepth < 0.0f) return;  // facing away: keeps its negative depth
    if (polygon->Classify(*camera) == LPolygon::kCulled) polygon->sortDepth = -1.0f;
}

void DeferOrDraw(LPolygon* polygon, LCameraView* camera) {
    if (polygon->material->IsDeferred())
        camera->Defer(polygon);
    else
        polygon->Submit(camera);
}
}  // namespace

void CullAndDraw(LPolygon* polygon, LCameraView* camera) {
    Cull(polygon, camera, 0.0f);
    if (polygon->sortDepth >= 0.0f) DeferOrDraw(polygon, camera);
}

void CullOnly(LPolygon* polygon, LCameraView* camera) { Cull(polygon, camera, 0.0f); }

void ProjectAndSubmit(LPolygon* polygon, LCameraView* camera) {
    for (int32_t i = 0; i < polygon->GetCount(); ++i) polygon->GetPoint(i)->Project(polygon->owner, *camera);
    polygon->visibility = uint16_t(polygon->Classify(*camera));
    if (polygon->visibility != LPolygon::kCulled) polygon->Submit(camera);
}

void DrawIfVisible(LPolygon* polygon, LCameraView* camera) {
    if (polygon->material && polygon->sortDepth >= 0.0f) DeferOrDraw(polygon, camera);
}

void CullAndDefer(LPolygon* polygon, LCameraView* camera) {
    Cull(polygon, camera, 1.0f);
    if (polygon->sortDepth >= 0.0f) camera->Defer(polygon);
}

void DeferIfVisible(LPolygon* polygon, LCameraView* camera) {
    if (polygon->sortDepth >= 0.0f) camera->Defer(polygon);
}

int32_t SweptSphereContact(const float* sphereA, float* velocityA, const float* sphereB, const float* velocityB,
                           float* t, float* contact) {
    float dv[3], dp[3];
    Vec3Sub(velocityB, velocityA, dv);
    Vec3Sub(sphereB, sphereA, dp);
    const float a = Vec3Dot(dv, dv);
    const float c0 = Vec3Dot(dp, dp);
    const float R = sphereA[3] + sphereB[3];
    const float b = Vec3Dot(dp, dv);
    const auto touching = [&]() {
        *t = 0.0f;
        Vec3Midpoint(sphereA, sphereB, contact);
        return 1;
    };
    if (a > 0.0f && b <= 0.0f) {
        if (b < -a && R * R < c0 + 2.0f * b + a) return 0;
        const float disc = b * b - (c0 - R * R) * a;
        if (disc < 0.0f) return 0;
        if (c0 - R * R <= 0.0f) return touching();
        float time = -(std::sqrt(disc) + b) / a;
        time = time < 0.0f ? 0.0f : (time > 1.0f ? 1.0f : time);
        *t = time;
        Vec3Scale(velocityA, time, velocityA);
        Vec3Add(sphereA, velocityA, contact);
        if (R > 0.0f) {
            float offset[3];
            Vec3Scale(dv, time, offset);
            Vec3Add(offset, dp, offset);
            Vec3Scale(offset, sphereA[3] / R, offset);
            Vec3Add(contact, offset, contact);
        }
        return 1;
    }
    if (R * R < c0) return 0;
    return touching();
}

int32_t SegmentPlaneHit(const float* plane, const float* start, const float* direction, float* point) {
    float end[3], delta[3];
    Vec3Scale(direction, 10000.0f, delta);
    Vec3Add(start, delta, end);
    const float s = Vec3Dot(plane, start) - plane[3];
    const float e = Vec3Dot(plane, end) - plane[3];
    if (!(s >= 0.0f) || !(e < 0.0f)) return 0;  // NaN answers 0 too
    Vec3Scale(delta, s / (s - e), delta);
    Vec3Add(start, delta, point);
    return 1;
}
