#include "engine3d/camera_view.h"

#include "engine3d/location.h"

#include <cmath>

namespace {
// Plane slots in the order of the outcode bits 2, 4, 8, 16, 32, 64 (the
// inline PointOutcode relies on it).
int Slot(uint32_t bit) {
    switch (bit) {
    case LCameraView::kBottom: return 0;
    case LCameraView::kTop: return 1;
    case LCameraView::kLeft: return 2;
    case LCameraView::kRight: return 3;
    case LCameraView::kFar: return 4;
    default: return 5;  // near
    }
}
float Distance(const float* plane, const float* p) {
    return plane[0] * p[0] + plane[1] * p[1] + plane[2] * p[2] - plane[3];
}
}  // namespace

float* LCameraView::Plane(uint32_t bit) { return planes[Slot(bit)]; }
const float* LCameraView::Plane(uint32_t bit) const { return planes[Slot(bit)]; }

uint32_t LCameraView::ClipOutcode(L3DPoint* const* points, int32_t count) const {
    uint32_t code = 0;
    for (int32_t i = 0; i < count; ++i) code |= PointOutcode(points[i]->camera);
    return code;
}

int32_t LCameraView::ClassifySphere(const float* sphere) const {
    float c[3];
    ToCamera(sphere, c);
    const float r = sphere[3];
    int32_t result = kSphereInside;
    for (const float* plane : planes) {
        const float s = Distance(plane, c);
        if (!(s >= -r)) return kSphereOutside;  // NaN too
        if (s < r) result = kSphereCrossing;
    }
    return result;
}

void LCameraView::MarkChanged() {
    if (location) location->AnglesChanged(1);
}

int32_t LCameraView::HasChanged() const {
    const uint32_t bits = L3DLocation::kFlagPositionChanged | L3DLocation::kFlagAnglesChanged;
    return location && (location->GetFlags() & bits) ? 1 : 0;
}
