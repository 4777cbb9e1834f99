#pragma once
// LAPICLBK: the driver interface of the render back ends. This is its first
// part, the factory slots through which the engine creates vertices and
// polygons (engine3d/render_link.h); issue 06 completes the interface (device,
// driver and mode catalogue, render targets, sprites, textures).
//
// Base behaviour: CreatePoint makes a plain L3DPoint, CreatePolygon a plain
// LPolygon (the software renderer's LPolygon_Software replaces it when it
// exists), CreateTexture a plain LTexture and CreateSprite a plain LSprite
// (the hardware back ends give their own); the delete slots delete through
// the virtual destructor.
#include "engine3d/render_link.h"

class LAPICLBK : public LDriverLink {
public:
    LAPICLBK() = default;
    LAPICLBK(const LAPICLBK&) = delete;
    LAPICLBK& operator=(const LAPICLBK&) = delete;
    ~LAPICLBK() override = default;

    L3DPoint* CreatePoint(float x, float y, float z, float u, float v) override;
    LPolygon* CreatePolygon(LPolygonOwner* owner, int32_t reserved, void* callback) override;
    void DeletePoint(L3DPoint* point) override;
    void DeletePolygon(LPolygon* polygon) override;
    LTexture* CreateTexture(L3DWorld* world, const char* name, LCLBKObject* callback) override;
    LSprite* CreateSprite(L3DWorld* world) override;
    void DeleteTexture(LTexture* texture) override;
    void DeleteSprite(LSprite* sprite) override;
};
