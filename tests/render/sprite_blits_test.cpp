// The sprite fills and blits, per depth, and DrawSprite's choice among them:
// keys, blends, empty rows, the wrap of scaled textures, clipping and the
// flag combinations.
#include "software_fixture.h"

#include "engine3d/camera.h"
#include "engine3d/sprite.h"
#include "engine3d/texture.h"
#include "engine3d/world.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>

namespace {

int32_t Bytes(int32_t depth) { return (depth + 1) / 8; }

std::unique_ptr<LTexture> MakeTexture(int32_t w, int32_t h, int32_t depth,
                                      const std::function<uint32_t(int32_t, int32_t)>& value) {
    std::unique_ptr<LTexture> t(new LTexture(nullptr, "t", nullptr));
    EXPECT_EQ(t->BindCamera(nullptr, w, h, depth), 0);
    for (int32_t y = 0; y < h; ++y)
        for (int32_t x = 0; x < w; ++x) {
            const uint32_t v = value(x, y);
            std::memcpy(t->GetPixels() + y * t->GetPitch() + x * Bytes(depth), &v, size_t(Bytes(depth)));
        }
    return t;
}

// A renderer with a driver (for the work polygon) in a world, a camera over
// a 16 x 12 target.
struct SpriteFixture : ::testing::Test {
    LAPI_Surface_Win32 driver;
    std::unique_ptr<L3DWorld> world{new L3DWorld()};
    std::unique_ptr<MemoryPresenter> target{new MemoryPresenter(world.get(), &driver)};
    L3DCamera* camera = nullptr;

    void Open(int32_t depth, uint8_t fill = 0x11) {
        target->Setup(16, 12, depth, fill);
        world->SetRenderTarget(target.get());
        world->SetColourDepth(depth);
        if (!camera) camera = world->CreateCamera(nullptr);
        target->SetCamera(camera);
        target->Begin();
    }
    ~SpriteFixture() override {
        target->spriteMaterial->SetTexture(0, nullptr);
        target->DetachCamera();
        world.reset();
    }
    // A sprite quad from (x0, y0) to (x1, y1) with texel coordinates.
    static void Place(LSprite& s, float x0, float y0, float x1, float y1, float u1, float v1) {
        s.SetCorner(0, x0, y0, 0, 0);
        s.SetCorner(1, x1, y0, u1, 0);
        s.SetCorner(2, x1, y1, u1, v1);
        s.SetCorner(3, x0, y1, 0, v1);
    }
    bool Untouched(int32_t x, int32_t y, uint8_t fill = 0x11) const {
        for (int32_t b = 0; b < Bytes(target->depth); ++b)
            if (target->At(x, y)[b] != fill) return false;
        return true;
    }
};

// A keyed 16-bit blit skips exactly the magenta texels (0xF81F); near
// colours are drawn. At 32 bits the key 0x00BBGGRR is compared as
// 0x00RRGGBB against the low 24 bits, and all four bytes are copied.
TEST_F(SpriteFixture, KeysAreExact) {
    Open(16);
    const uint16_t texels[4] = {0xF81F, 0xF81E, 0xF83F, 0x1234};
    auto tex = MakeTexture(4, 1, 16, [&](int32_t x, int32_t) { return texels[x]; });
    tex->SetTransparentColor(1, 0x00FF00FF);
    target->spriteMaterial->SetTexture(0, tex.get());
    target->spriteMaterial->flags = LMaterial::kMapped;
    LSprite s;
    Place(s, 0, 0, 4, 2, 4, 1);
    for (int i = 0; i < 4; ++i) target->spritePolygon->SetUV(i, s.GetCorners()[4 * i + 2], s.GetCorners()[4 * i + 3]);
    for (int i = 0; i < 4; ++i)
        target->spritePolygon->points[i]->screenX = s.GetCorners()[4 * i],
        target->spritePolygon->points[i]->screenY = s.GetCorners()[4 * i + 1];
    target->spritePolygon->BlitTextureKeyed16(16);
    EXPECT_TRUE(Untouched(0, 0));
    EXPECT_EQ(target->Pixel(1, 0), 0xF81Eu);
    EXPECT_EQ(target->Pixel(2, 0), 0xF83Fu);
    EXPECT_EQ(target->Pixel(3, 1), 0x1234u);

    Open(32);
    auto red = MakeTexture(2, 1, 32, [](int32_t x, int32_t) { return x == 0 ? 0xAAFF0000u : 0xBB0000FFu; });
    red->SetTransparentColor(1, 0x000000FF);  // red as 0x00BBGGRR
    target->spriteMaterial->SetTexture(0, red.get());
    for (int i = 0; i < 4; ++i) target->spritePolygon->SetUV(i, i == 1 || i == 2 ? 2.0f : 0.0f, i >= 2 ? 1.0f : 0.0f);
    for (int i = 0; i < 4; ++i) target->spritePolygon->points[i]->screenX = i == 1 || i == 2 ? 2.0f : 0.0f;
    target->spritePolygon->BlitTextureKeyed32();
    EXPECT_TRUE(Untouched(0, 0));
    EXPECT_EQ(target->Pixel(1, 0), 0xBB0000FFu);
}

// Blends: transparency 0 leaves old × 255 >> 8; the 32-bit fourth byte is
// kept. Equal columns draw nothing.
TEST_F(SpriteFixture, BlendsAndEmptyRows) {
    for (int32_t d : {15, 16, 32}) {
        Open(d, 0xFF);
        LSprite s;
        s.SetFlags(LSprite::kUntextured);
        const uint32_t colour = 0x00000000;
        s.SetColor(&colour);
        s.SetTransparency(0);
        Place(s, 0, 0, 8, 4, 0, 0);
        target->DrawSprite(camera, &s);
        const uint32_t expected = d == 32 ? 0xFFFEFEFEu : d == 16 ? Pack16(0xF7, 0xFB, 0xF7) : Pack15(0xF7, 0xF7, 0xF7);
        EXPECT_EQ(target->Pixel(3, 2), expected) << d;
        EXPECT_TRUE(Untouched(8, 2, 0xFF)) << d;
        // Zero width: nothing.
        target->pixels.assign(target->pixels.size(), 0xFF);
        s.SetTransparency(255);
        Place(s, 5, 0, 5, 4, 0, 0);
        target->DrawSprite(camera, &s);
        EXPECT_TRUE(std::all_of(target->pixels.begin(), target->pixels.end(), [](uint8_t b) { return b == 0xFF; }));
    }
}

// 8- and 24-bit targets draw translucent and keyed sprites opaque and
// unkeyed; a texture scale above 1 wraps with W - 1 and H - 1.
TEST_F(SpriteFixture, PlainDepthsAndScaledTextures) {
    for (int32_t d : kAllDepths) {
        Open(d, 0);
        auto tex = MakeTexture(2, 2, d, [](int32_t x, int32_t y) { return 0x303030u * uint32_t(1 + x + 2 * y); });
        tex->SetTransparentColor(1, 0x303030);
        LSprite s;
        s.SetTexture(tex.get());
        s.SetFlags(LSprite::kTextured | LSprite::kKeyed);
        s.SetTransparency(100);
        Place(s, 0, 0, 8, 8, 8, 8);  // four repeats each way
        target->DrawSprite(camera, &s);
        const bool plain = d == 8 || d == 24;
        for (int32_t y = 0; y < 8; ++y)
            for (int32_t x = 0; x < 8; ++x) {
                const uint32_t texel = 0x303030u * uint32_t(1 + (x & 1) + 2 * (y & 1));
                if (plain) {
                    ASSERT_EQ(target->Pixel(x, y), texel & (d == 8 ? 0xFF : 0xFFFFFF)) << d;
                }
            }
        if (!plain) {
            EXPECT_NE(target->Pixel(1, 0), 0u) << d;  // blended
        }
        s.SetTexture(nullptr);
    }
}

// DrawSprite: no flag draws nothing; 4 and 2 fill then outline; 8 and 4
// draw only the texture, the outline only with 2; partly outside is
// clipped, wholly outside draws nothing.
TEST_F(SpriteFixture, FlagCombinationsAndClipping) {
    Open(32, 0);
    auto tex = MakeTexture(4, 4, 32, [](int32_t, int32_t) { return 0x00123456u; });
    LSprite s;
    s.SetTexture(tex.get());
    const uint32_t colour = 0x000000FF;  // red
    s.SetColor(&colour);
    Place(s, 2, 2, 10, 8, 4, 4);
    struct Case {
        uint32_t flags;
        uint32_t inside, edge;  // pixel (5, 5) and the right column (10, 5)
    } cases[] = {
        {0, 0, 0},
        {LSprite::kUntextured | LSprite::kExtra, 0xFF0000, 0xFFFFFF},
        {LSprite::kTextured | LSprite::kUntextured, 0x123456, 0},
        {LSprite::kTextured | LSprite::kUntextured | LSprite::kExtra, 0x123456, 0xFFFFFF},
    };
    for (const Case& c : cases) {
        target->pixels.assign(target->pixels.size(), 0);
        target->ClearDepthBuffer();
        s.SetFlags(c.flags);
        target->DrawSprite(camera, &s);
        EXPECT_EQ(target->Pixel(5, 5) & 0xFFFFFF, c.inside) << c.flags;
        EXPECT_EQ(target->Pixel(10, 5) & 0xFFFFFF, c.edge) << c.flags;
    }
    // Partly outside: clipped to the view, the inside drawn.
    target->pixels.assign(target->pixels.size(), 0);
    s.SetFlags(LSprite::kUntextured);
    Place(s, -20, -20, 6, 6, 0, 0);
    target->DrawSprite(camera, &s);
    EXPECT_EQ(target->Pixel(0, 0), 0xFF0000u);
    EXPECT_EQ(target->Pixel(5, 5), 0xFF0000u);
    EXPECT_EQ(target->Pixel(7, 7), 0u);
    // Wholly outside: nothing.
    target->pixels.assign(target->pixels.size(), 0);
    Place(s, 100, 100, 120, 120, 0, 0);
    s.SetFlags(LSprite::kUntextured | LSprite::kExtra);
    target->DrawSprite(camera, &s);
    EXPECT_TRUE(std::all_of(target->pixels.begin(), target->pixels.end(), [](uint8_t b) { return b == 0; }));
    s.SetTexture(nullptr);
}

}  // namespace
