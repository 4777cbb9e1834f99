#include "render/driver.h"

#include "engine3d/point.h"
#include "engine3d/polygon.h"

L3DPoint* LAPICLBK::CreatePoint(float x, float y, float z, float u, float v) { return new L3DPoint(x, y, z, u, v); }

LPolygon* LAPICLBK::CreatePolygon(LPolygonOwner* owner, int32_t reserved, void* callback) {
    return new LPolygon(owner, reserved, callback);
}

void LAPICLBK::DeletePoint(L3DPoint* point) { delete point; }

void LAPICLBK::DeletePolygon(LPolygon* polygon) { delete polygon; }
