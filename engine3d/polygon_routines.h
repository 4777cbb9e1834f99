#pragma once
// Routines shared by the object drawing and collision code and the material
// cache: five culling variants that set a polygon's sortDepth (-1 culled;
// 0 or more drawable) and draw it at once (LPolygon::Submit) or hand it to
// the camera's depth buckets (LCameraView::Defer); a swept-sphere contact
// test; a segment-plane hit.
//
// A polygon is deferred when its material is translucent and lacks flag
// 0x80000 (LMaterial::IsDeferred).
#include <cstdint>

class LPolygon;
class LCameraView;

void CullAndDraw(LPolygon* polygon, LCameraView* camera);
void CullOnly(LPolygon* polygon, LCameraView* camera);
void DrawIfVisible(LPolygon* polygon, LCameraView* camera);
void CullAndDefer(LPolygon* polygon, LCameraView* camera);
void DeferIfVisible(LPolygon* polygon, LCameraView* camera);
// Projects the polygon's vertices from their owner for the camera, sets its
// visibility and draws it unless it lies wholly outside the view (the axis
// marker and the mirror polygons, which skip the object pipeline).
void ProjectAndSubmit(LPolygon* polygon, LCameraView* camera);

// Spheres (x, y, z, radius), velocities the displacements over one step.
// 1 when the spheres touch within the step, with the time t in [0, 1] and
// the contact point; velocityA is then scaled by t in place. With both
// radii 0 the contact point is centre A + the scaled velocity A.
int32_t SweptSphereContact(const float* sphereA, float* velocityA, const float* sphereB, const float* velocityB,
                           float* t, float* contact);

// Plane (nx, ny, nz, d); the segment runs from start over direction * 10000.
// 1 when it crosses from the front (n.p - d >= 0) to the back, with the
// crossing point.
int32_t SegmentPlaneHit(const float* plane, const float* start, const float* direction, float* point);
