#pragma once
// The fixture scenes of the software frame tests, the window test and the
// raster benchmark: a world drawn through a presenter of the caller's, a
// camera at the origin looking down +z, a backdrop, overlapping and
// intersecting quads, a triangle reaching past the view, and two built
// objects (a turned brick and a sphere), in one of four shadings.
#include "engine3d/camera.h"
#include "engine3d/material.h"
#include "engine3d/object.h"
#include "engine3d/polygon.h"
#include "engine3d/primitive_builders.h"
#include "engine3d/world.h"

#include <cstdint>
#include <iterator>
#include <memory>
#include <vector>

enum class SceneShading { Unshaded, Flat, Gouraud, Outline };

class SoftwareScene {
public:
    // The world draws through `target`, which must outlive the scene's
    // world until Close.
    void Open(LRenderTargetLink* target) {
        world.reset(new L3DWorld());
        world->SetRenderTarget(target);
    }
    // Objects of the scene; the target must be bound to `camera` by the
    // caller (SetCamera) and its depth set first.
    void Build(SceneShading shading) {
        m_shading = shading;
        const uint32_t mode = shading == SceneShading::Outline ? LMaterial::kWireFrame : LMaterial::kFlat;
        LMaterial* red = Material("red", 0x2020E0, mode);
        LMaterial* green = Material("green", 0x20C040, mode);
        LMaterial* blue = Material("blue", 0xE08020, mode);
        LMaterial* grey = Material("grey", 0x808080, mode);
        // A backdrop, two overlapping quads and one that cuts through them.
        Quad(grey, {{-400, -300, 900}, {400, -300, 900}, {400, 300, 900}, {-400, 300, 900}});
        Quad(red, {{-120, -80, 400}, {40, -90, 420}, {60, 70, 380}, {-110, 60, 400}});
        Quad(green, {{-20, -40, 300}, {150, -50, 320}, {140, 110, 340}, {-30, 100, 310}});
        Quad(blue, {{-150, 20, 250}, {150, -30, 450}, {150, 10, 450}, {-150, 60, 250}});
        // A triangle reaching past the view (clipped) and a small one.
        Quad(green, {{-300, -200, 200}, {-60, -120, 260}, {-250, 40, 220}}, 3);
        Quad(red, {{70, -60, 150}, {76, -60, 150}, {72, -54, 150}}, 3);
        Built(BuildBrick(world.get(), 70, 50, 60), blue, 0.5f, 0.7f, 170, 60, 900);
        Built(BuildSphere(world.get(), 45, 45, 45, 12, -1), red, 0.0f, 0.3f, -160, 110, 1000);
        // The engine lights every vertex (the hand colours above last until
        // the first frame): the ambient light and a warm point light
        // between the two built objects.
        L3DLocation lamp(0, 0, 0, 0, 80, 900);
        world->GetLightList().AddLight(2, &lamp, 400, 255, 0x40A0FF, nullptr);
    }
    void Close() { world.reset(); }

    std::unique_ptr<L3DWorld> world;
    L3DCamera* camera = nullptr;

    L3DCamera* MakeCamera() {
        camera = world->CreateCamera(nullptr);
        return camera;
    }

private:
    static constexpr float kDepthStretch = 3.0f;  // the scene's depths, farther
    struct V {
        float x, y, z;
    };
    LMaterial* Material(const char* name, uint32_t colour, uint32_t mode) {
        LMaterial* m = world->GetMaterialList().CreateMaterial(name, nullptr, colour, 0, nullptr);
        if (mode == LMaterial::kFlat)
            m->SetFlatMode(1);
        else
            m->SetWireFrameMode(1);
        return m;
    }
    void Quad(LMaterial* material, std::initializer_list<V> corners, int n = 4) {
        auto* o = new L3DObject("q", world.get(), nullptr);
        LPolygon* polygon = world->CreatePolygon(o, n == 4 ? 4 : 3, nullptr);
        // Vertices about the object's place: a placed object enters the
        // world's cluster.
        float cz = 0.0f;
        for (const V& v : corners) cz += kDepthStretch * v.z / float(corners.size());
        // Listed counter-clockwise as seen from the camera; the engine's
        // front faces run the other way.
        const std::vector<V> order(std::rbegin(corners), std::rend(corners));
        uint8_t k = 0;
        for (const V& v : order) {
            polygon->AddNewPoint(v.x, v.y, kDepthStretch * v.z - cz, 0, 0);
            L3DPoint* p = polygon->points[polygon->GetCount() - 1];
            // Vertex colours of the Gouraud scene, a light per corner.
            p->colour[0] = uint8_t(255 - 60 * k);
            p->colour[1] = uint8_t(90 + 50 * k);
            p->colour[2] = uint8_t(40 + 70 * k);
            p->colour[3] = uint8_t(20 + 30 * k);
            ++k;
        }
        polygon->SetMaterial(material);
        polygon->litColour[0] = 200, polygon->litColour[1] = 180, polygon->litColour[2] = 150;
        polygon->litColour[3] = 40;
        o->AddPolygon(polygon, 1);
        Shade(o);
        o->RefreshBox(1);
        o->SetPositionZ(cz);
        world->AddObject(o);
    }
    void Shade(L3DObject* o) {
        LPolygonOwner* owner = o;
        if (m_shading == SceneShading::Gouraud) owner->objectFlags |= L3DObject::kFlagGouraud;
        if (m_shading == SceneShading::Flat) owner->objectFlags |= 0x20;  // flat (Lambert) shading
    }
    // A built object in the scene's material, turned and placed, with a
    // light per vertex for the Gouraud scene.
    void Built(L3DObject* o, LMaterial* material, float ax, float ay, float x, float y, float z) {
        if (!o) return;
        o->ReplaceMaterial(world->GetDefaultMaterial(), material);
        LPolygonOwner* owner = o;
        for (int32_t i = 0; owner->points && i < owner->points->GetCount(); ++i) {
            L3DPoint* p = owner->points->GetPoint(i);
            // Smooth over the object: colours follow the vertex position.
            const auto channel = [](float v) { return uint8_t(v < -50 ? 3 : v > 50 ? 253 : 128.0f + 2.5f * v); };
            p->colour[0] = channel(p->local[0]), p->colour[1] = channel(p->local[1]);
            p->colour[2] = channel(p->local[2]), p->colour[3] = channel(-p->local[2] * 0.5f);
        }
        if (LDataLink* polygons = o->GetPolygonList())
            for (LDataNode* n = polygons->GetHead(); n; n = n->next) {
                auto* polygon = static_cast<LPolygon*>(n->value);
                polygon->litColour[0] = 170, polygon->litColour[1] = 210, polygon->litColour[2] = 190;
                polygon->litColour[3] = 90;
            }
        Shade(o);
        o->SetPositionAndAngles(ax, ay, 0, x, y, z);
        world->AddObject(o);
    }
    SceneShading m_shading = SceneShading::Unshaded;
};
