#include "engine3d/world.h"

#include "engine3d/point.h"
#include "engine3d/polygon.h"
#include "engine3d/render_link.h"

namespace {
LDriverLink* DriverOf(const LRenderTargetLink* target) { return target ? target->GetDriverLink() : nullptr; }
}  // namespace

L3DPoint* L3DWorld::CreatePoint(float x, float y, float z, float u, float v) {
    LDriverLink* driver = DriverOf(m_renderTarget);
    return driver ? driver->CreatePoint(x, y, z, u, v) : nullptr;
}

void L3DWorld::DeletePoint(L3DPoint* point) {
    if (LDriverLink* driver = DriverOf(m_renderTarget))
        driver->DeletePoint(point);
    else
        delete point;  // the drivers' own body: a virtual destructor
}

LPolygon* L3DWorld::CreatePolygon(LPolygonOwner* owner, int32_t reserved, void* callback) {
    LDriverLink* driver = DriverOf(m_renderTarget);
    return driver ? driver->CreatePolygon(owner, reserved, callback) : nullptr;
}

void L3DWorld::DeletePolygon(LPolygon* polygon) {
    if (LDriverLink* driver = DriverOf(m_renderTarget))
        driver->DeletePolygon(polygon);
    else
        delete polygon;
}
