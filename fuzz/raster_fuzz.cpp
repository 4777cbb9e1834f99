// The software rasteriser on fuzzed scenes: world-space triangles and quads,
// a camera placement, a view of 1 x 1 up to 640 x 480, materials of every
// solid mode and textured ones (textures of 1 x 1 up to 9 x 9, powers of two
// or not, keyed or not, tiled and offset, any texture coordinates), shading
// flags and lighting modes, drawn through projection, clipping and every
// span entry at every depth; then a screen quad and sprites (colour, texture,
// keyed, translucent, outlined) of fuzzed corners. Textures hold exactly
// their rows, so a fetch past them is an ASan finding. ASan watches the frame, depth buffer and row tables (each
// allocated to its exact size); the check here is that the frame's rows
// past the target are never written.
#include "render/software_fixture.h"

#include "engine3d/camera.h"
#include "engine3d/object.h"
#include "engine3d/sprite.h"
#include "engine3d/texture.h"
#include "engine3d/world.h"

#include <cstdint>
#include <cstdlib>
#include <cstring>

namespace {

struct Reader {
    const uint8_t* data;
    size_t size;
    size_t at = 0;
    uint8_t Byte() { return at < size ? data[at++] : 0; }
    float Float() {
        uint32_t bits = 0;
        for (int i = 0; i < 4; ++i) bits |= uint32_t(Byte()) << (8 * i);
        float f;
        std::memcpy(&f, &bits, 4);
        return f;
    }
    // A coordinate in a useful range most of the time, any float sometimes.
    float Coordinate() {
        const uint8_t kind = Byte();
        if (kind < 200) return float(int32_t(Byte()) - 128) * 4.0f + float(Byte()) / 64.0f;
        return Float();
    }
};

const int32_t kDepths[] = {8, 15, 16, 24, 32};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    Reader in{data, size};
    const int32_t depth = kDepths[in.Byte() % 5];
    const int32_t width = 1 + (in.Byte() | in.Byte() << 8) % 640;
    const int32_t height = 1 + (in.Byte() | in.Byte() << 8) % 480;

    LAPI_Surface_Win32 driver;
    std::unique_ptr<L3DWorld> world(new L3DWorld());
    MemoryPresenter target(world.get(), &driver);
    world->SetRenderTarget(&target);
    target.Setup(width, height, depth, 0x5A);
    const size_t frameBytes = target.pixels.size();
    target.pixels.resize(frameBytes + 64, 0xA5);  // a guard past the last row
    target.flags = LRenderAPICLBK::kDepthBuffer;
    target.states = (in.Byte() & 1) ? LRenderAPICLBK::kStateModulate : 0;
    world->SetColourDepth(depth);
    L3DCamera* camera = world->CreateCamera(nullptr);
    target.SetCamera(camera);
    camera->SetFocus(float(in.Byte()) + 5.0f);
    camera->SetPositionAndAngles(in.Coordinate() / 64.0f, in.Coordinate() / 64.0f, in.Coordinate() / 64.0f,
                                 in.Coordinate(), in.Coordinate(), in.Coordinate());

    // Textures of the target's pixel size and of exactly their own bytes.
    std::vector<std::unique_ptr<LTexture>> textures;
    const auto makeTexture = [&]() {
        textures.emplace_back(new LTexture(nullptr, "t", nullptr));
        LTexture* t = textures.back().get();
        const int32_t w = 1 + in.Byte() % 9, h = 1 + in.Byte() % 9;
        if (t->BindCamera(nullptr, w, h, depth) != 0) return t;
        for (int32_t i = 0; i < t->GetPitch() * h; ++i) t->GetPixels()[i] = in.Byte();
        const uint8_t pick = in.Byte();
        if (pick & 1) t->SetTransparentColor(1, uint32_t(in.Byte()) | uint32_t(in.Byte()) << 16);
        if (pick & 2) t->SetTiling(in.Coordinate() / 64.0f, in.Coordinate() / 64.0f);
        if (pick & 4) t->SetOffset(in.Coordinate() / 64.0f, in.Coordinate() / 64.0f);
        return t;
    };

    const int objects = 1 + in.Byte() % 6;
    for (int i = 0; i < objects; ++i) {
        static const uint32_t kModes[] = {LMaterial::kWireFrame, LMaterial::kFlat,
                                          LMaterial::kFlat | LMaterial::kWireFrame, LMaterial::kHidden};
        LMaterial* m = world->GetMaterialList().CreateMaterial("m", nullptr, in.Byte() | in.Byte() << 16, 0, nullptr);
        const uint8_t pick = in.Byte();
        if (kModes[pick % 4] & LMaterial::kFlat) m->SetFlatMode(1);
        if (kModes[pick % 4] & LMaterial::kHidden) m->Hide();
        if (pick & 0x10) m->SetSemiTransparency(in.Byte());
        if (pick & 0x20) {
            m->SetTexture(0, makeTexture());
            m->SetMappedMode(1);
        }
        auto* o = new L3DObject("o", world.get(), nullptr);
        const int n = 3 + (in.Byte() & 1);
        LPolygon* polygon = world->CreatePolygon(o, n, nullptr);
        for (int k = 0; k < n; ++k) {
            polygon->AddNewPoint(in.Coordinate(), in.Coordinate(), in.Coordinate(), 0, 0);
            L3DPoint* p = polygon->points[polygon->GetCount() - 1];
            for (int c = 0; c < 4; ++c) p->colour[c] = in.Byte();
            polygon->SetUV(k, in.Coordinate() / 64.0f, in.Coordinate() / 64.0f);
        }
        polygon->SetMaterial(m);
        for (int c = 0; c < 4; ++c) polygon->litColour[c] = in.Byte();
        o->AddPolygon(polygon, 1);
        LPolygonOwner* owner = o;
        owner->objectFlags |= (in.Byte() & 3) << 4;  // Gouraud, flat or both
        o->RefreshBox(1);
        o->SetPositionZ(in.Coordinate());
        world->AddObject(o);
    }
    target.RenderFrame();

    // A screen quad with a 4 x 4 texture of the target's depth.
    std::vector<uint8_t> texels(64, 0x33);
    LTexture texture(nullptr, "t", nullptr);
    texture.SetPixels(texels.data(), 4 * ((depth + 1) / 8), nullptr, 0, 4, 4, 0, depth, nullptr);
    LSprite background;
    background.SetTexture(&texture);
    background.SetFlags(LSprite::kTextured);
    for (int i = 0; i < 4; ++i) background.SetCorner(i, in.Coordinate(), in.Coordinate(), in.Float(), in.Coordinate());
    target.frame = target.pixels.data();
    target.SizeRowTables();
    target.DrawBackground(camera, &background);

    // Sprites: colour or texture, keyed, translucent, outlined, any corners
    // and texture coordinates (scales of 0, huge or negative among them).
    const int sprites = in.Byte() % 4;
    for (int i = 0; i < sprites; ++i) {
        LSprite sprite;
        sprite.SetTexture(makeTexture());
        sprite.SetFlags(in.Byte() & (LSprite::kExtra | LSprite::kUntextured | LSprite::kTextured | LSprite::kKeyed));
        const uint32_t colour = in.Byte() | uint32_t(in.Byte()) << 8 | uint32_t(in.Byte()) << 16;
        sprite.SetColor(&colour);
        sprite.SetTransparency(in.Byte());
        for (int k = 0; k < 4; ++k) sprite.SetCorner(k, in.Coordinate(), in.Coordinate(), in.Float(), in.Coordinate());
        target.DrawSprite(camera, &sprite);
        sprite.SetTexture(nullptr);
    }
    target.spriteMaterial->SetTexture(0, nullptr);

    for (size_t i = frameBytes; i < target.pixels.size(); ++i)
        if (target.pixels[i] != 0xA5) std::abort();
    target.DetachCamera();
    world.reset();
    return 0;
}
