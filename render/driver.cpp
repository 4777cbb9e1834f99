#include "render/driver.h"

#include "engine3d/point.h"
#include "engine3d/polygon.h"
#include "engine3d/sprite.h"
#include "engine3d/texture.h"

L3DPoint* LAPICLBK::CreatePoint(float x, float y, float z, float u, float v) { return new L3DPoint(x, y, z, u, v); }

LPolygon* LAPICLBK::CreatePolygon(LPolygonOwner* owner, int32_t reserved, void* callback) {
    return new LPolygon(owner, reserved, callback);
}

void LAPICLBK::DeletePoint(L3DPoint* point) { delete point; }

void LAPICLBK::DeletePolygon(LPolygon* polygon) { delete polygon; }

LTexture* LAPICLBK::CreateTexture(L3DWorld* world, const char* name, LCLBKObject* callback) {
    return new LTexture(world, name, callback);
}

LSprite* LAPICLBK::CreateSprite(L3DWorld* world) { return new LSprite(world); }

void LAPICLBK::DeleteTexture(LTexture* texture) { delete texture; }

void LAPICLBK::DeleteSprite(LSprite* sprite) { delete sprite; }
