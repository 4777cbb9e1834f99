// The software renderer around the spans: the choice of routine, the depth
// buffer, the frame with a real world and camera, the screen quads and the
// render lock's current renderer.
#include "software_fixture.h"

#include "engine3d/camera.h"
#include "engine3d/object.h"
#include "engine3d/sprite.h"
#include "engine3d/texture.h"
#include "engine3d/world.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

namespace {

// A 4 x 4 texture at a depth, texel (x, y) = x + 16 y in every byte.
struct TestTexture {
    std::vector<uint8_t> texels;
    LTexture texture{nullptr, "t", nullptr};
    explicit TestTexture(int32_t depth, int32_t size = 4) {
        const int32_t bytes = (depth + 1) / 8, pitch = (size * bytes + 3) & ~3;
        texels.assign(size_t(pitch) * size_t(size), 0);
        for (int32_t y = 0; y < size; ++y)
            for (int32_t x = 0; x < size; ++x)
                for (int32_t b = 0; b < bytes; ++b) texels[size_t(y * pitch + x * bytes + b)] = uint8_t(x + 16 * y);
        texture.SetPixels(texels.data(), pitch, nullptr, 0, size, size, 0, depth, nullptr);
    }
};

const SpanRoutine* Chosen(const LMaterial& m) { return static_cast<const SpanRoutine*>(m.draw.object); }

struct Choice {
    const char* name;
    uint32_t flags;
    uint8_t transparency;
    bool keyed;
    float maxS;  // texture pairs run from 0 to maxS
    bool withTexture;
    int32_t entry;  // -1: the empty routine
};

// The entries by mode, tiling, key and translucency; exactly W is not
// tiled, a hundredth beyond is.
TEST(SpanChoice, EntriesByMaterial) {
    const Choice cases[] = {
        {"outline", LMaterial::kWireFrame, 255, false, 1, false, 0},
        {"solid", LMaterial::kFlat, 255, false, 1, false, 1},
        {"translucent solid", LMaterial::kFlat | LMaterial::kWireFrame, 100, false, 1, false, 2},
        {"textured", LMaterial::kMapped, 255, false, 1, true, 3},
        {"textured translucent", LMaterial::kMapped, 100, false, 1, true, 4},
        {"textured keyed", LMaterial::kMapped, 255, true, 1, true, 5},
        {"textured keyed translucent", LMaterial::kMapped, 100, true, 1, true, 6},
        {"tiled", LMaterial::kMapped, 255, false, 1.0025f, true, 7},
        {"tiled translucent", LMaterial::kMapped, 100, false, 1.0025f, true, 8},
        {"tiled keyed", LMaterial::kMapped, 255, true, 1.0025f, true, 9},
        {"tiled keyed translucent", LMaterial::kMapped, 100, true, 1.0025f, true, 10},
        {"hidden", LMaterial::kFlat | LMaterial::kHidden, 255, false, 1, false, -1},
        {"no mode", 0, 255, false, 1, false, -1},
        {"mapped without texture", LMaterial::kMapped, 255, false, 1, false, -1},
    };
    for (int32_t d : kAllDepths) {
        MemoryPresenter r;
        r.Setup(8, 8, d);
        r.Begin();
        for (const Choice& c : cases) {
            TestTexture t(d);
            if (c.keyed) t.texture.SetTransparentColor(1, 0);
            LMaterial m(nullptr, "m", c.withTexture ? &t.texture : nullptr, 0);
            m.flags = c.flags;
            m.transparency = c.transparency;
            HandPolygon p(&m);
            p.Add(0, 0), p.Add(1, 0), p.Add(1, 1), p.Add(0, 1);
            const float s[4][2] = {{0, 0}, {c.maxS, 0}, {c.maxS, 1}, {0, 1}};
            for (int i = 0; i < 4; ++i) p.polygon->SetUV(i, s[i][0], s[i][1]);
            p.polygon->ChooseSpanRoutine();
            const SpanRoutine* expected = c.entry < 0 ? &kEmptySpan[0] : &SpanTableFor(d)[c.entry];
            EXPECT_EQ(Chosen(m), expected) << c.name << " at " << d;
            EXPECT_FALSE(m.clippedDraw.IsEmpty()) << c.name;
        }
    }
}

// Texel coordinates below zero are shifted by whole texture sizes, in one
// step even for huge values; non-finite ones count as 0; a second
// computation gives the same values. A texture of width 0 takes the
// untextured path.
TEST(SpanChoice, NegativeAndNonFiniteTexelCoordinates) {
    MemoryPresenter r;
    r.Setup(8, 8, 32);
    r.Begin();
    TestTexture t(32);
    LMaterial m(nullptr, "m", &t.texture, 0);
    m.flags = LMaterial::kMapped;
    HandPolygon p(&m);
    p.Add(0, 0), p.Add(1, 0), p.Add(1, 1);
    p.polygon->SetUV(0, -3.0f, 0.0f);
    p.polygon->SetUV(1, -2.5f, 0.0f);
    p.polygon->SetUV(2, -2.0f, 1.0f);
    p.polygon->ChooseSpanRoutine();
    // u = (s - 1) 4: -16, -14, -12, shifted by 16.
    EXPECT_FLOAT_EQ(p.polygon->texel[0][0], 0.0f);
    EXPECT_FLOAT_EQ(p.polygon->texel[1][0], 2.0f);
    EXPECT_FLOAT_EQ(p.polygon->texel[2][0], 4.0f);
    EXPECT_EQ(Chosen(m), &SpanTableFor(32)[3]);
    p.polygon->ComputeTexCoords();
    EXPECT_FLOAT_EQ(p.polygon->texel[1][0], 2.0f);

    const float inf = std::numeric_limits<float>::infinity();
    p.polygon->SetUV(0, -1e30f, -inf);
    p.polygon->SetUV(1, std::nanf(""), 0.0f);
    p.polygon->ChooseSpanRoutine();  // ends
    for (const auto& pair : p.polygon->texel) {
        EXPECT_TRUE(std::isfinite(pair[0]));
        EXPECT_TRUE(std::isfinite(pair[1]));
    }

    LTexture empty(nullptr, "e", nullptr);
    LMaterial flat(nullptr, "f", &empty, 0);
    flat.flags = LMaterial::kMapped | LMaterial::kFlat;
    HandPolygon q(&flat);
    q.Add(0, 0), q.Add(1, 0), q.Add(1, 1);
    q.polygon->ChooseSpanRoutine();
    EXPECT_EQ(Chosen(flat), &SpanTableFor(32)[kSpanSolid]);
}

// The routine lives with the material: the polygon that chooses last sets it
// for all; without a world or renderer the depth is 8.
TEST(SpanChoice, RoutineIsCachedPerMaterial) {
    SetCurrentSoftwareRenderer(nullptr);
    auto m = MakeMaterial(LMaterial::kFlat, 0);
    HandPolygon a(m.get()), b(m.get());
    a.Add(0, 0), b.Add(0, 0);
    a.polygon->ChooseSpanRoutine();
    EXPECT_EQ(Chosen(*m), &SpanTableFor(8)[kSpanSolid]);
    m->flags = LMaterial::kWireFrame;
    b.polygon->ChooseSpanRoutine();
    EXPECT_EQ(Chosen(*m), &SpanTableFor(8)[kSpanOutline]);
    // A Gouraud owner clips with the colour-interpolating clip.
    HandPolygon g(m.get(), LPolygon_Software::kOwnerGouraud);
    const auto plainClip = m->clippedDraw.routine;
    g.polygon->ChooseSpanRoutine();
    EXPECT_NE(m->clippedDraw.routine, plainClip);
}

// The depth buffer is cleared in place and reallocated only when the size
// changes; its width is the row length in pixels.
TEST(SoftwareRenderer, DepthBufferAndCapabilities) {
    MemoryPresenter r;
    r.Setup(10, 6, 24);
    r.ClearDepthBuffer();
    int32_t* first = r.depthBuffer;
    ASSERT_NE(first, nullptr);
    EXPECT_EQ(r.depthPitch, 32 / 3);  // rows of 32 bytes, 3 bytes a pixel
    first[5] = 77;
    r.ClearDepthBuffer();
    EXPECT_EQ(r.depthBuffer, first);
    EXPECT_EQ(first[5], 0);
    r.Setup(10, 7, 24);
    r.ClearDepthBuffer();
    EXPECT_EQ(r.depthRows, 7);
    EXPECT_EQ(r.depthBufferBytes, r.depthPitch * 7 * 4);

    for (uint32_t bit = 1; bit; bit <<= 1) {
        const bool yes = bit == 4 || bit == 8 || bit == 16 || bit == 256 || bit == 32768;
        EXPECT_EQ(r.QueryCapability(bit), yes ? 1 : 0) << bit;
    }
}

// The frame: lock, draw, unlock and end; a null lock skips the drawing but
// ends the frame; the previous current renderer comes back; a renderer
// destroyed while current clears the pointer.
TEST(SoftwareRenderer, FrameAroundTheTarget) {
    MemoryPresenter outer, inner;
    outer.Setup(4, 4, 32);
    inner.Setup(4, 4, 32);
    SetCurrentSoftwareRenderer(&outer);
    inner.RenderFrame();  // no camera: nothing locked
    EXPECT_EQ(inner.begins, 1);
    EXPECT_EQ(inner.ends, 1);
    EXPECT_EQ(inner.locks, 0);
    EXPECT_EQ(CurrentSoftwareRenderer(), &outer);
    {
        MemoryPresenter doomed;
        SetCurrentSoftwareRenderer(&doomed);
    }
    EXPECT_EQ(CurrentSoftwareRenderer(), nullptr);
}

// A world drawn through the renderer: a flat square ahead of the camera
// fills the middle of the frame and leaves the corners; the row tables
// follow the camera binding.
struct SceneFixture : ::testing::Test {
    LAPI_Surface_Win32 driver;
    // The world goes before the target it draws through.
    std::unique_ptr<L3DWorld> owned{new L3DWorld()};
    L3DWorld& world = *owned;
    MemoryPresenter target{&world, &driver};
    L3DCamera* camera = nullptr;
    LMaterial* paint = nullptr;

    SceneFixture() {
        world.SetRenderTarget(&target);
        target.Setup(64, 48, 32, 0);
        world.SetColourDepth(32);
        camera = world.CreateCamera(nullptr);
        target.SetCamera(camera);
        paint = world.GetMaterialList().CreateMaterial("paint", nullptr, 0x0000FF, 0, nullptr);
        paint->SetFlatMode(1);
    }
    ~SceneFixture() override {
        target.DetachCamera();
        owned.reset();
    }
    L3DObject* Square(float half, float z) {
        auto* o = new L3DObject("square", &world, nullptr);
        const float p[2][3][3] = {{{-half, -half, 0}, {-half, half, 0}, {half, half, 0}},
                                  {{-half, -half, 0}, {half, half, 0}, {half, -half, 0}}};
        for (const auto& t : p) {
            LPolygon* polygon = world.CreatePolygon(o, 3, nullptr);
            for (const auto& v : t) polygon->AddNewPoint(v[0], v[1], v[2], 0, 0);
            polygon->SetMaterial(paint);
            o->AddPolygon(polygon, 1);
        }
        o->RefreshBox(1);
        o->SetPositionZ(z);
        world.AddObject(o);
        return o;
    }
};

TEST_F(SceneFixture, SquareAheadFillsTheMiddle) {
    ASSERT_NE(target.leftEdges, nullptr);
    Square(10, 200);
    target.flags |= LRenderAPICLBK::kDepthBuffer;
    target.RenderFrame();
    EXPECT_EQ(target.locks, 1);
    EXPECT_EQ(target.unlocks, 1);
    EXPECT_EQ(target.Pixel(32, 24), 0xFF0000u);
    EXPECT_EQ(target.Pixel(0, 0), 0u);
    EXPECT_EQ(target.Pixel(63, 47), 0u);
    EXPECT_GT(camera->GetPolygonsDrawn(), 0);

    // Nearly all of a big square is outside the view: it is clipped, and
    // the whole frame is filled without a write outside it.
    std::fill(target.pixels.begin(), target.pixels.end(), 0);
    Square(1000, 100);
    target.RenderFrame();
    EXPECT_EQ(target.Pixel(0, 0), 0xFF0000u);
    EXPECT_EQ(target.Pixel(63, 47), 0xFF0000u);

    target.lockFails = true;
    std::fill(target.pixels.begin(), target.pixels.end(), 0);
    target.RenderFrame();
    EXPECT_EQ(target.Pixel(32, 24), 0u);
    EXPECT_EQ(target.ends, 3);

    target.DetachCamera();
    EXPECT_EQ(target.leftEdges, nullptr);
}

// The background through the screen quads: texels copied, the texture
// repeating through W - 1 and H - 1, the quad cut to the target.
TEST_F(SceneFixture, ScreenQuadsWrapAndAreCut) {
    for (int32_t d : kAllDepths) {
        target.Setup(8, 6, d, 0xEE);
        SetCurrentSoftwareRenderer(&target);
        TestTexture t(d);
        LSprite background;
        background.SetTexture(&t.texture);
        background.SetFlags(LSprite::kTextured);
        // Corners (0, 0) to (20, 12) with texels 0..20 and 0..12: one texel
        // per pixel, so pixel (x, y) shows texel (x & 3, y & 3).
        background.SetCorner(0, 0, 0, 0, 0);
        background.SetCorner(1, 20, 0, 20, 0);
        background.SetCorner(2, 20, 12, 20, 12);
        background.SetCorner(3, 0, 12, 0, 12);
        target.frame = target.pixels.data();
        target.DrawBackground(camera, &background);
        const int32_t bytes = (d + 1) / 8;
        for (int32_t y = 0; y < 6; ++y)
            for (int32_t x = 0; x < 8; ++x)
                for (int32_t b = 0; b < bytes; ++b) {
                    const uint8_t expected = (d == 32 && b == 3) ? 0xEE : uint8_t((x & 3) + 16 * (y & 3));
                    ASSERT_EQ(target.At(x, y)[b], expected) << d << ": " << x << "," << y;
                }
        background.SetTexture(nullptr);
        target.spriteMaterial->SetTexture(0, nullptr);
        background.SetFlags(LSprite::kUntextured);
        target.pixels.assign(target.pixels.size(), 0xEE);
        target.DrawBackground(camera, &background);  // without flag 8: nothing
        EXPECT_EQ(*target.At(2, 2), 0xEE);
    }
}

}  // namespace
