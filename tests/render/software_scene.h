#pragma once
// The fixture scenes of the software frame tests, the window test and the
// raster benchmark: a world drawn through a presenter of the caller's, a
// camera at the origin looking down +z, a backdrop, overlapping and
// intersecting quads, a triangle reaching past the view, and two built
// objects (a turned brick and a sphere), in one of four shadings; the
// textured scene maps textures built in code (a checkerboard tiled on the
// backdrop, a smooth pattern, a brick with magenta holes as a key) and adds
// a background and a keyed sprite.
#include "engine3d/camera.h"
#include "engine3d/material.h"
#include "engine3d/object.h"
#include "engine3d/polygon.h"
#include "engine3d/primitive_builders.h"
#include "engine3d/sprite.h"
#include "engine3d/texture.h"
#include "engine3d/world.h"
#include "render/software/span_tables.h"

#include <cstdint>
#include <cstring>
#include <iterator>
#include <memory>
#include <vector>

enum class SceneShading { Unshaded, Flat, Gouraud, Outline, Textured };

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
        if (shading == SceneShading::Textured) Texture(grey, red, green, blue);
    }
    void Close() {
        world.reset();
        textures.clear();
    }
    std::vector<std::unique_ptr<LTexture>> textures;

    std::unique_ptr<L3DWorld> world;
    L3DCamera* camera = nullptr;

    L3DCamera* MakeCamera() {
        camera = world->CreateCamera(nullptr);
        return camera;
    }

private:
    // A texture of the world's depth from a colour function (0x00BBGGRR;
    // palettes take the red byte as the index).
    template <class F>
    LTexture* MakeTexture(int32_t w, int32_t h, F colour) {
        const int32_t depth = world->GetColourDepth();
        textures.emplace_back(new LTexture(nullptr, "t", nullptr));
        LTexture* t = textures.back().get();
        if (t->BindCamera(nullptr, w, h, depth) != 0) return t;
        for (int32_t y = 0; y < h; ++y)
            for (int32_t x = 0; x < w; ++x) {
                const uint32_t c = colour(x, y);
                const int32_t r = c & 0xFF, g = (c >> 8) & 0xFF, b = (c >> 16) & 0xFF;
                uint8_t* p = t->GetPixels() + y * t->GetPitch() + x * ((depth + 1) / 8);
                uint32_t v = uint32_t(r) << 16 | uint32_t(g) << 8 | uint32_t(b);
                if (depth == 16) v = Pack16(r, g, b);
                if (depth == 15) v = Pack15(r, g, b);
                if (depth == 8) v = uint32_t(r);
                std::memcpy(p, &v, size_t((depth + 1) / 8));
            }
        return t;
    }
    static void Map(LMaterial* m, LTexture* t) {
        m->SetTexture(0, t);
        m->SetMappedMode(1);
    }
    void Texture(LMaterial* grey, LMaterial* red, LMaterial* green, LMaterial* blue) {
        LTexture* checker = MakeTexture(16, 16, [](int32_t x, int32_t y) {
            return ((x / 4 + y / 4) & 1) ? 0x00E0E0E0u : 0x00402010u;
        });
        LTexture* smooth = MakeTexture(64, 64, [](int32_t x, int32_t y) {
            return uint32_t(x * 4) | uint32_t(y * 4) << 8 | uint32_t(255 - 2 * (x + y)) << 16;
        });
        LTexture* brick = MakeTexture(32, 32, [](int32_t x, int32_t y) {
            const bool mortar = y % 8 == 0 || (x + (y / 8 % 2) * 8) % 16 == 0;
            const bool hole = (x - 16) * (x - 16) + (y - 16) * (y - 16) < 40;
            return hole ? 0x00FF00FFu : mortar ? 0x00B0B0B0u : 0x001830A0u;
        });
        brick->SetTransparentColor(1, 0x00FF00FF);
        checker->SetTiling(3.0f, 3.0f);
        Map(grey, checker);
        Map(red, smooth);
        Map(green, brick);
        Map(blue, smooth);
        world->SetBackground(red);
        world->SetBackgroundScale(0.25f, 0.25f, 2.0f, 2.0f);
        LDataNode* node = world->GetSpriteList().CreateSprite(world.get());
        if (LSprite* sprite = node ? static_cast<LSprite*>(node->value) : nullptr) {
            sprite->SetTexture(brick);
            sprite->SetFlags(LSprite::kTextured | LSprite::kKeyed | LSprite::kExtra);
            const int32_t position[2] = {12, 10}, size[2] = {40, 30};
            sprite->SetColor(&kSpriteColour);
            sprite->SetAngle(0.3f);
            sprite->SetExtent(position, size);
            sprite->SetScale(1.5f, 1.0f);
        }
    }
    static constexpr uint32_t kSpriteColour = 0x0000FFFF;
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
        static const float kUV[4][2] = {{0, 0}, {1, 0}, {1, 1}, {0, 1}};
        for (const V& v : order) {
            polygon->AddNewPoint(v.x, v.y, kDepthStretch * v.z - cz, kUV[k][0], kUV[k][1]);
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
