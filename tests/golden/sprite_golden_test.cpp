// Sprite blits through DrawSprite against Mesa: rotated, sheared and scaled
// sprite quads (plain, keyed, blended, keyed and blended) drawn by the
// engine over a flat backdrop and by OpenGL 1.1 through OSMesa as the same
// quad with q = 1 (an affine mapping), nearest texels, GL_REPEAT (the
// engine wraps with W - 1 and H - 1), the alpha test for keys and
// GL_SRC_ALPHA blending for transparency. The engine takes the texel under
// the floor of its 16.16 coordinate, as GL's nearest texel is the floor of
// its own, so texel coordinates are not shifted. Vertices sit at whole
// pixels and every edge advances a whole number of columns per row, so row
// starts carry no sub-pixel lag and interior pixels (3 x 3 inside the quad)
// must match exactly when opaque, and within the blend's tolerance when
// translucent. Pixels whose exact texel coordinate lies within kTie of a
// whole texel may take either side (the engine's stepped 16.16 values against
// GL's own): they are counted and reported, not compared.
#include "engine3d/camera.h"
#include "engine3d/sprite.h"
#include "engine3d/world.h"
#include "golden/golden_textures.h"
#include "golden/mesa_frame.h"
#include "render/software_fixture.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdio>

namespace {

constexpr int kW = 640, kH = 480;
constexpr uint32_t kBackdrop = 0x00306090;  // 0x00BBGGRR, exact in 5-5-5 and 5-6-5

struct Corner {
    float x, y, u, v;
};

struct SpriteCase {
    const char* name;
    int kind;  // TextureKind
    Corner corners[4];
    bool keyed;
    uint8_t alpha;
};

// u and v as affine functions of the pixel, from corners 0, 1 and 3.
struct Mapping {
    double u[3], v[3];  // a + b x + c y
    explicit Mapping(const Corner* k) {
        const double x1 = k[1].x - k[0].x, y1 = k[1].y - k[0].y, x3 = k[3].x - k[0].x, y3 = k[3].y - k[0].y;
        const double det = x1 * y3 - x3 * y1;
        const auto solve = [&](double d1, double d3, double* out) {
            out[1] = (d1 * y3 - d3 * y1) / det;
            out[2] = (x1 * d3 - x3 * d1) / det;
            out[0] = -out[1] * k[0].x - out[2] * k[0].y;
        };
        solve(k[1].u - k[0].u, k[3].u - k[0].u, u);
        u[0] += k[0].u;
        solve(k[1].v - k[0].v, k[3].v - k[0].v, v);
        v[0] += k[0].v;
    }
    double U(int x, int y) const { return u[0] + u[1] * x + u[2] * y; }
    double V(int x, int y) const { return v[0] + v[1] * x + v[2] * y; }
};

// The engine's frame of one sprite over the backdrop; `solid` draws the
// quad as a white colour fill instead (the coverage).
struct EngineSprite {
    LAPI_Surface_Win32 driver;
    std::unique_ptr<L3DWorld> world{new L3DWorld()};
    std::unique_ptr<MemoryPresenter> target{new MemoryPresenter(world.get(), &driver)};

    std::vector<uint8_t> Draw(const SpriteCase& c, int32_t depth, LTexture* texture, bool solid) {
        target->Setup(kW, kH, depth, 0);
        const uint32_t back = PackedColour(kBackdrop, depth);
        const int32_t bytes = (depth + 1) / 8;
        for (int32_t y = 0; y < kH; ++y)
            for (int32_t x = 0; x < kW; ++x)
                std::memcpy(&target->pixels[size_t(y) * target->pitch + size_t(x) * bytes], &back, size_t(bytes));
        world->SetRenderTarget(target.get());
        world->SetColourDepth(depth);
        L3DCamera* camera = world->CreateCamera(nullptr);
        // A view of the whole target: nothing of the sprite is clipped.
        camera->SetViewPixelSize(kW, kH);
        camera->SetViewSize(kW / 2.0f, kH / 2.0f);
        target->SetCamera(camera);
        target->Begin();
        LSprite s;
        const uint32_t white = 0x00FFFFFF;
        if (solid) {
            s.SetFlags(LSprite::kUntextured);
            s.SetColor(&white);
        } else {
            s.SetTexture(texture);
            s.SetFlags(LSprite::kTextured | (c.keyed ? LSprite::kKeyed : 0u));
            s.SetTransparency(c.alpha);
        }
        // Last: the texture and transparency place the corners again.
        for (int i = 0; i < 4; ++i) s.SetCorner(i, c.corners[i].x, c.corners[i].y, c.corners[i].u, c.corners[i].v);
        target->DrawSprite(camera, &s);
        s.SetTexture(nullptr);
        target->spriteMaterial->SetTexture(0, nullptr);
        target->DetachCamera();
        return target->pixels;
    }
    ~EngineSprite() { world.reset(); }
};

std::vector<uint8_t> MesaSprite(const SpriteCase& c, int32_t depth, const LTexture& texture, bool keyed,
                                uint8_t alpha) {
    MesaFrame frame(kW, kH);
    if (!frame.Ready()) return frame.pixels;
    glClearColor((kBackdrop & 0xFF) / 255.0f, (kBackdrop >> 8 & 0xFF) / 255.0f, (kBackdrop >> 16 & 0xFF) / 255.0f, 0);
    glClear(GL_COLOR_BUFFER_BIT);
    glDisable(GL_DEPTH_TEST);
    const int32_t w = texture.GetWidth(), h = texture.GetHeight();
    const GLuint name = BindNearestTexture(w, h, MesaTexels(texture, depth, keyed), GL_REPEAT);
    glTexEnvi(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, GL_MODULATE);
    glEnable(GL_ALPHA_TEST);
    glAlphaFunc(GL_GREATER, 0.0f);
    if (alpha < 255) {
        glEnable(GL_BLEND);
        glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
    }
    glColor4ub(255, 255, 255, alpha);
    glBegin(GL_QUADS);
    for (const Corner& k : c.corners) {
        glTexCoord2f(k.u / float(w), k.v / float(h));
        glVertex2f(k.x + 0.5f, k.y + 0.5f);
    }
    glEnd();
    std::vector<uint8_t> out = frame.Finish();
    glDeleteTextures(1, &name);
    return out;
}

constexpr double kTie = 0.002;  // texels

// Per channel: opaque blits copy texels; a blend's (t·a + o·(255 − a)) >> 8
// lies below GL's rounded division by 255 by less than 2, and 15/16-bit
// targets keep the top 5 (or 6) bits of it, 7 more.
int Tolerance(uint8_t alpha, int32_t depth) { return alpha == 255 ? 0 : depth >= 24 ? 2 : 9; }

struct SpriteResult {
    int worst = 0;          // interior, beyond a near tie
    double tieShare = 0;    // interior pixels at a near tie that differ
    int64_t interior = 0;   // pixels compared
};

SpriteResult CompareSprite(const SpriteCase& c, int32_t depth) {
    // 24 bits draws translucent and keyed sprites opaque and unkeyed.
    const bool plainOnly = depth == 24;
    const bool keyed = c.keyed && !plainOnly;
    const uint8_t alpha = plainOnly ? 255 : c.alpha;
    std::unique_ptr<LTexture> texture = MakeTexture(c.kind, depth);
    EngineSprite engine;
    const std::vector<uint8_t> ours = engine.Draw(c, depth, texture.get(), false);
    const int32_t pitch = engine.target->pitch, bytes = (depth + 1) / 8;
    EngineSprite coverage;
    const std::vector<uint8_t> covered = coverage.Draw(c, 32, nullptr, true);
    const std::vector<uint8_t> mesa = MesaSprite(c, depth, *texture, keyed, alpha);
    const auto inside = [&](int x, int y) {
        return covered[size_t(y) * size_t(coverage.target->pitch) + size_t(x) * 4] == 0xFF;
    };
    const int limit = Tolerance(alpha, depth);
    const Mapping map(c.corners);
    SpriteResult res;
    int64_t ties = 0;
    for (int y = 1; y + 1 < kH; ++y)
        for (int x = 1; x + 1 < kW; ++x) {
            bool interior = true;
            for (int dy = -1; interior && dy <= 1; ++dy)
                for (int dx = -1; interior && dx <= 1; ++dx) interior = inside(x + dx, y + dy);
            if (!interior) continue;
            ++res.interior;
            int rgb[3];
            UnpackPixel(ours.data() + size_t(y) * size_t(pitch) + size_t(x) * size_t(bytes), depth, rgb);
            const uint8_t* m = mesa.data() + (size_t(y) * kW + size_t(x)) * 4;
            const int gl[3] = {m[2], m[1], m[0]};
            int worst = 0;
            for (int k = 0; k < 3; ++k) worst = std::max(worst, std::abs(rgb[k] - gl[k]));
            const double u = map.U(x, y), v = map.V(x, y);
            const double tie = std::min(std::fabs(u - std::nearbyint(u)), std::fabs(v - std::nearbyint(v)));
            if (worst > limit && tie < kTie)
                ++ties;
            else
                res.worst = std::max(res.worst, worst);
        }
    res.tieShare = res.interior ? double(ties) / double(res.interior) : 0.0;
    return res;
}

std::vector<SpriteCase> SpriteCases() {
    // A 32 x 32 texture over a square turned by 45 degrees (edges of slope
    // 1, about 6 pixels a texel), over a parallelogram sheared one column
    // per row, over rectangles stretched unevenly, and repeated three times
    // each way (a texture scale of 3: the wrap).
    const Corner turned[4] = {{320, 100, 0, 0}, {460, 240, 32, 0}, {320, 380, 32, 32}, {180, 240, 0, 32}};
    const Corner sheared[4] = {{60, 40, 0, 0}, {260, 40, 32, 0}, {460, 240, 32, 32}, {260, 240, 0, 32}};
    const Corner stretched[4] = {{50, 260, 0, 0}, {290, 260, 32, 0}, {290, 470, 32, 32}, {50, 470, 0, 32}};
    const Corner repeated[4] = {{330, 250, 0, 0}, {630, 250, 96, 0}, {630, 470, 96, 96}, {330, 470, 0, 96}};
    const Corner scaled[4] = {{400, 20, 0, 0}, {600, 20, 64, 0}, {600, 220, 64, 64}, {400, 220, 0, 64}};
    std::vector<SpriteCase> cases;
    const auto add = [&](const char* name, int kind, const Corner* k, bool keyed, uint8_t alpha) {
        SpriteCase c{name, kind, {k[0], k[1], k[2], k[3]}, keyed, alpha};
        cases.push_back(c);
    };
    add("turned plain", kSmooth64, turned, false, 255);
    add("turned keyed", kBrick32, turned, true, 255);
    add("turned blended", kSmooth64, turned, false, 140);
    add("sheared keyed", kBrick32, sheared, true, 255);
    add("sheared blended", kBrick32, sheared, false, 70);
    add("stretched keyed blended", kBrick32, stretched, true, 200);
    add("repeated plain", kChecker16, repeated, false, 255);
    add("repeated keyed blended", kBrick32, repeated, true, 30);
    add("scaled plain", kSmooth64, scaled, false, 255);
    return cases;
}

TEST(OSMesaGolden, SpriteBlitsMatchMesa) {
    for (int32_t depth : {32, 24, 16, 15})
        for (const SpriteCase& c : SpriteCases()) {
            const SpriteResult r = CompareSprite(c, depth);
            std::printf("sprite %-24s %2d worst interior %3d, near ties %.4f%% of %lld pixels\n", c.name, depth,
                        r.worst, 100.0 * r.tieShare, static_cast<long long>(r.interior));
            EXPECT_GT(r.interior, 1000) << c.name << " " << depth;
            EXPECT_LE(r.worst, Tolerance(depth == 24 ? 255 : c.alpha, depth)) << c.name << " " << depth;
            // Whole-pixel vertices and whole texel sizes put some columns
            // and rows exactly on texel edges (every 25th on the repeated
            // quad), where GL's own interpolation may fall either side:
            // measured at most 3.7% of the interior.
            EXPECT_LT(r.tieShare, 0.05) << c.name << " " << depth;
        }
}

}  // namespace
