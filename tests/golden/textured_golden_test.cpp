// Textured spans against Mesa: hand-made screen polygons whose q, u·q and
// v·q are affine over the screen (so one plane's mapping), drawn by the
// engine's textured entries and by OpenGL 1.1 through OSMesa with
// glTexCoord4f(u·q / W, v·q / H, 0, q) (GL divides per pixel like the
// engine), nearest texels with u and v shifted by half a texel (GL's floor
// then equals the engine's rounding, except at exact halves), GL_REPEAT for
// tiled and GL_CLAMP for non-tiled entries, GL_MODULATE with the light, and
// the alpha test for keys. Vertices sit at whole pixels plus half a pixel,
// so GL's pixel centre is the engine's sample point.
//
// Interior pixels (3 x 3 inside the polygon) match exactly when unlit, at
// every depth, and within 1 per channel when modulated (GL's c·l / 255
// against the engine's c·l >> 8), 8 after 5-6-5 unpacking. Two kinds of
// pixel are told apart and counted instead: those whose exact texel
// coordinate lies within kTie of a half (exact halves round to even in the
// engine and up in GL; near them either side's single-precision values may
// fall across), and, on polygons with slanted edges, those that match a
// horizontal neighbour of GL's (a row starts at the floor of the edge's
// column with the edge's values, a sub-pixel lag by design). Edge pixels
// may differ on about 1% of the frame, as in the untextured comparison.
#include "engine3d/texture.h"
#include "render/software_fixture.h"

#include <GL/gl.h>
#include <GL/osmesa.h>
#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <vector>

namespace {

constexpr int kW = 640, kH = 480;

// A mapping of the screen: q, u·q and v·q as a + b x + c y each.
struct Plane {
    float q[3], uq[3], vq[3];
    static float At(const float* f, float x, float y) { return f[0] + f[1] * x + f[2] * y; }
};

struct Corner {
    float x, y;
};

struct Case {
    const char* name;
    int32_t depth;
    int32_t entry;  // 3 plain, 5 keyed, 7 tiled
    bool modulate;
    int texture;  // 0 checker 16 x 16, 1 smooth 64 x 64, 2 keyed brick 32 x 32
    Plane plane;
    std::vector<Corner> corners;
    int interiorLimit;  // per channel, after unpacking
    // Slanted left or right edges: rows start at the floor of the edge's
    // column with the edge's values, so the engine's samples lag GL's by
    // less than a pixel along the row; a pixel may then match either
    // horizontal neighbour of GL's instead.
    bool slanted = false;
    // A flat backdrop drawn first, farther: keys show it through.
    bool backdrop = false;
};

constexpr uint32_t kBackdrop = 0x00306090;  // 0x00BBGGRR, exact in 5-6-5
constexpr float kBackdropQ = 0.01f;

// Colours 0x00BBGGRR.
uint32_t Checker(int32_t x, int32_t y) { return ((x / 4 + y / 4) & 1) ? 0x00E0E0E0u : 0x00402010u; }
uint32_t Smooth(int32_t x, int32_t y) {
    return uint32_t(x * 4) | uint32_t(y * 4) << 8 | uint32_t((255 - 2 * (x + y)) & 0xFF) << 16;
}
uint32_t Brick(int32_t x, int32_t y) {
    const bool mortar = y % 8 == 0 || (x + (y / 8 % 2) * 8) % 16 == 0;
    const bool hole = (x - 16) * (x - 16) + (y - 16) * (y - 16) < 40;
    return hole ? 0x00FF00FFu : mortar ? 0x00B0B0B0u : 0x001830A0u;
}

std::unique_ptr<LTexture> MakeTexture(int kind, int32_t depth) {
    const int32_t size = kind == 0 ? 16 : kind == 1 ? 64 : 32;
    const std::function<uint32_t(int32_t, int32_t)> colour = kind == 0 ? Checker : kind == 1 ? Smooth : Brick;
    std::unique_ptr<LTexture> t(new LTexture(nullptr, "t", nullptr));
    EXPECT_EQ(t->BindCamera(nullptr, size, size, depth), 0);
    const int32_t bytes = (depth + 1) / 8;
    for (int32_t y = 0; y < size; ++y)
        for (int32_t x = 0; x < size; ++x) {
            const uint32_t c = colour(x, y);
            const int32_t r = c & 0xFF, g = (c >> 8) & 0xFF, b = (c >> 16) & 0xFF;
            uint32_t v = uint32_t(r) << 16 | uint32_t(g) << 8 | uint32_t(b);
            if (depth == 16) v = Pack16(r, g, b);
            std::memcpy(t->GetPixels() + y * t->GetPitch() + x * bytes, &v, size_t(bytes));
        }
    if (kind == 2) t->SetTransparentColor(1, 0x00FF00FF);
    return t;
}

// A pixel or texel of the depth as 8-bit channels (r, g, b).
void Unpack(const uint8_t* p, int32_t depth, int* rgb) {
    if (depth >= 24) {
        rgb[0] = p[2], rgb[1] = p[1], rgb[2] = p[0];
        return;
    }
    const int v = p[0] | p[1] << 8;
    rgb[0] = (v >> 8) & 0xF8, rgb[1] = (v >> 3) & 0xFC, rgb[2] = (v << 3) & 0xFF;
}

const uint8_t kLight[3] = {200, 170, 120};

std::vector<uint8_t> EngineRender(const Case& c, LTexture* texture, std::vector<int>* ids) {
    MemoryPresenter r;
    r.Setup(kW, kH, c.depth, 0);
    r.states = c.modulate ? uint32_t(LRenderAPICLBK::kStateModulate) : 0u;
    r.Begin();
    auto backdrop = MakeMaterial(LMaterial::kFlat, kBackdrop);
    if (c.backdrop) HandPolygon(backdrop.get()).Rect(0, 0, kW, kH, kBackdropQ).Draw(c.depth, kSpanSolid);
    auto m = MakeMaterial(LMaterial::kMapped, 0x808080);
    m->SetTexture(0, texture);
    m->flags = LMaterial::kMapped;
    HandPolygon p(m.get(), c.modulate ? uint32_t(LPolygon_Software::kOwnerFlat) : 0u);
    for (size_t i = 0; i < c.corners.size(); ++i) {
        const float x = c.corners[i].x, y = c.corners[i].y, q = Plane::At(c.plane.q, x, y);
        p.Add(x, y, q);
        p.polygon->SetUV(int32_t(i), Plane::At(c.plane.uq, x, y) / q, Plane::At(c.plane.vq, x, y) / q);
    }
    p.polygon->texelScale[0] = p.polygon->texelScale[1] = 1.0f;
    p.polygon->texelOffset[0] = p.polygon->texelOffset[1] = 0.0f;
    for (int k = 0; k < 3; ++k) p.polygon->litColour[k] = kLight[k];
    p.Draw(c.depth, c.entry);
    std::vector<uint8_t> frame = r.pixels;
    // Which pixels the polygon covers: the same polygon, solid.
    MemoryPresenter idr;
    idr.Setup(kW, kH, 32, 0);
    idr.Begin();
    auto solid = MakeMaterial(LMaterial::kFlat, 0xFFFFFF);
    p.polygon->material = solid.get();
    p.Draw(32, kSpanSolid);
    ids->assign(size_t(kW) * kH, 0);
    for (int y = 0; y < kH; ++y)
        for (int x = 0; x < kW; ++x) (*ids)[size_t(y) * kW + size_t(x)] = idr.Pixel(x, y) != 0;
    return frame;
}

std::vector<uint8_t> MesaRender(const Case& c, LTexture* texture) {
    setenv("GALLIUM_DRIVER", "llvmpipe", 1);
    setenv("LP_NUM_THREADS", "0", 1);
    std::vector<uint8_t> buffer(size_t(kW) * kH * 4, 0);
    OSMesaContext context = OSMesaCreateContextExt(OSMESA_BGRA, 24, 0, 0, nullptr);
    EXPECT_NE(context, nullptr);
    if (!context) return buffer;
    OSMesaMakeCurrent(context, buffer.data(), GL_UNSIGNED_BYTE, kW, kH);
    OSMesaPixelStore(OSMESA_Y_UP, 0);
    glViewport(0, 0, kW, kH);
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    glOrtho(0, kW, kH, 0, 0, -1);
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    glClearColor(0, 0, 0, 0);
    glClearDepth(0.0);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    glEnable(GL_DEPTH_TEST);
    glDepthFunc(GL_GEQUAL);
    if (c.backdrop) {
        glColor3ub(kBackdrop & 0xFF, (kBackdrop >> 8) & 0xFF, (kBackdrop >> 16) & 0xFF);
        glBegin(GL_QUADS);
        glVertex3f(0.5f, 0.5f, kBackdropQ);
        glVertex3f(kW + 0.5f, 0.5f, kBackdropQ);
        glVertex3f(kW + 0.5f, kH + 0.5f, kBackdropQ);
        glVertex3f(0.5f, kH + 0.5f, kBackdropQ);
        glEnd();
    }
    // The engine's texels, unpacked, with alpha 0 on the key.
    const int32_t w = texture->GetWidth(), h = texture->GetHeight(), bytes = (c.depth + 1) / 8;
    const bool keyed = c.entry == 5 || c.entry == 9;
    std::vector<uint8_t> rgba(size_t(w) * h * 4);
    for (int32_t y = 0; y < h; ++y)
        for (int32_t x = 0; x < w; ++x) {
            int rgb[3];
            const uint8_t* t = texture->GetPixels() + y * texture->GetPitch() + x * bytes;
            Unpack(t, c.depth, rgb);
            uint8_t* o = &rgba[(size_t(y) * w + size_t(x)) * 4];
            uint32_t raw = 0;
            std::memcpy(&raw, t, size_t(c.depth == 32 ? 3 : bytes));
            const uint32_t key = texture->GetTransparentColor();
            const uint32_t packedKey = c.depth == 16 ? Pack16(int32_t(key & 0xFF), int32_t(key >> 8 & 0xFF), int32_t(key >> 16 & 0xFF))
                                                     : ((key & 0xFF) << 16) | (key & 0xFF00) | ((key >> 16) & 0xFF);
            o[0] = uint8_t(rgb[0]), o[1] = uint8_t(rgb[1]), o[2] = uint8_t(rgb[2]);
            o[3] = keyed && raw == packedKey ? 0 : 255;
        }
    GLuint name = 0;
    glGenTextures(1, &name);
    glBindTexture(GL_TEXTURE_2D, name);
    glPixelStorei(GL_UNPACK_ALIGNMENT, 1);
    glTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA8, w, h, 0, GL_RGBA, GL_UNSIGNED_BYTE, rgba.data());
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_NEAREST);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_NEAREST);
    const GLint wrap = c.entry >= 7 ? GL_REPEAT : GL_CLAMP;
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, wrap);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, wrap);
    glEnable(GL_TEXTURE_2D);
    glTexEnvi(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, c.modulate ? GL_MODULATE : GL_REPLACE);
    if (keyed) {
        glEnable(GL_ALPHA_TEST);
        glAlphaFunc(GL_GREATER, 0.5f);
    }
    glColor3ub(kLight[0], kLight[1], kLight[2]);
    glBegin(GL_POLYGON);
    for (const Corner& k : c.corners) {
        // The engine's vertex values, as it computes them.
        const float q = Plane::At(c.plane.q, k.x, k.y);
        const float uq = Plane::At(c.plane.uq, k.x, k.y) / q * q, vq = Plane::At(c.plane.vq, k.x, k.y) / q * q;
        glTexCoord4f((uq + 0.5f * q) / float(w), (vq + 0.5f * q) / float(h), 0.0f, q);
        glVertex3f(std::nearbyint(k.x) + 0.5f, std::nearbyint(k.y) + 0.5f, q);
    }
    glEnd();
    glFinish();
    glDeleteTextures(1, &name);
    OSMesaDestroyContext(context);
    return buffer;
}

constexpr double kTie = 0.002;  // texels

struct Result {
    int worstInterior = 0;     // beyond a near tie
    int worstTie = 0;          // at a near tie
    double tieShare = 0;       // interior pixels at a near tie that differ
    double widestTie = 0;      // the largest distance from a half of those
    double lagShare = 0;       // interior pixels matching a neighbour of GL's
    double interiorShare = 0;  // interior pixels that differ beyond the limit
    double edgeShare = 0;      // edge pixels beyond the limit, of the frame
};

Result Compare(const Case& c) {
    std::unique_ptr<LTexture> texture = MakeTexture(c.texture, c.depth);
    std::vector<int> ids;
    const std::vector<uint8_t> ours = EngineRender(c, texture.get(), &ids);
    const std::vector<uint8_t> mesa = MesaRender(c, texture.get());
    const int bytes = (c.depth + 1) / 8, pitch = (kW * bytes + 3) & ~3;
    Result res;
    int64_t interior = 0, interiorDiffers = 0, edgeDiffers = 0, ties = 0, lagged = 0;
    for (int y = 1; y + 1 < kH; ++y)
        for (int x = 1; x + 1 < kW; ++x) {
            int rgb[3];
            Unpack(ours.data() + size_t(y) * pitch + size_t(x) * bytes, c.depth, rgb);
            const uint8_t* m = mesa.data() + (size_t(y) * kW + size_t(x)) * 4;
            const auto differ = [&](const uint8_t* m) {
                int worst = 0;
                const int gl[3] = {m[2], m[1], m[0]};
                for (int k = 0; k < 3; ++k) worst = std::max(worst, std::abs(rgb[k] - gl[k]));
                return worst;
            };
            int worst = differ(m);
            bool inside = true;
            for (int dy = -1; inside && dy <= 1; ++dy)
                for (int dx = -1; inside && dx <= 1; ++dx) inside = ids[size_t(y + dy) * kW + size_t(x + dx)] != 0;
            if (inside) {
                ++interior;
                // The exact texel coordinates at the sample point: a pixel
                // within kTie of a half can take either texel, by the
                // engine's stepped single-precision values or GL's own.
                const double q = Plane::At(c.plane.q, float(x), float(y));
                const double u = Plane::At(c.plane.uq, float(x), float(y)) / q;
                const double v = Plane::At(c.plane.vq, float(x), float(y)) / q;
                const double tie = std::min(std::fabs(u - std::floor(u) - 0.5), std::fabs(v - std::floor(v) - 0.5));
                if (worst > c.interiorLimit && c.slanted &&
                    std::min(differ(m - 4), differ(m + 4)) <= c.interiorLimit) {
                    ++lagged;
                } else if (worst > c.interiorLimit && tie < kTie) {
                    ++ties;
                    res.worstTie = std::max(res.worstTie, worst);
                    res.widestTie = std::max(res.widestTie, tie);
                } else {
                    if (worst > c.interiorLimit) ++interiorDiffers;
                    res.worstInterior = std::max(res.worstInterior, worst);
                }
            } else if (worst > c.interiorLimit) {
                ++edgeDiffers;
            }
        }
    res.lagShare = interior ? double(lagged) / double(interior) : 0.0;
    res.tieShare = interior ? double(ties) / double(interior) : 0.0;
    res.interiorShare = interior ? double(interiorDiffers) / double(interior) : 0.0;
    res.edgeShare = double(edgeDiffers) / double(kW * kH);
    return res;
}

std::vector<Case> Cases() {
    // A floor receding to a horizon at row 120: q grows with the row, u·q
    // with the column (about the centre), v·q constant; tiled checker.
    const Plane floor{{-0.06f, 0.0f, 0.0005f}, {-320.0f * 0.004f, 0.004f, 0.0f}, {1.6f, 0.0f, 0.0f}};
    // A wall turned away to the right: q falls along the row, the smooth
    // texture once over it (u·q, v·q affine, so a plane's mapping).
    const Plane wall{{0.9f, -0.0012f, 0.0f}, {-0.9f * 64.0f * 100.0f / 440.0f, 0.9f * 64.0f / 440.0f, 0.0f},
                     {-0.5f * 64.0f * 60.0f / 360.0f, 0.0f, 0.5f * 64.0f / 360.0f}};
    // A brick face in perspective, magnified (about 12 pixels a texel).
    const Plane brick{{0.5f, 0.0003f, -0.0002f}, {-0.5f * 32.0f * 120.0f / 380.0f, 0.5f * 32.0f / 380.0f, 0.0f},
                      {-0.5f * 32.0f * 80.0f / 320.0f, 0.0f, 0.5f * 32.0f / 320.0f}};
    const std::vector<Corner> floorRect{{20, 200}, {620, 200}, {620, 470}, {20, 470}};
    const std::vector<Corner> wallRect{{100, 60}, {540, 60}, {540, 420}, {100, 420}};
    const std::vector<Corner> brickRect{{120, 80}, {500, 80}, {500, 400}, {120, 400}};
    // The same floor through a trapezoid whose sides run to the vanishing
    // point (320, 120).
    const std::vector<Corner> floorTrapezoid{{260, 200}, {380, 200}, {582, 470}, {58, 470}};
    std::vector<Case> cases;
    for (int32_t d : {32, 16}) {
        cases.push_back({"slanted floor", d, 7, false, 0, floor, floorTrapezoid, 0, true});
        cases.push_back({"slanted keyed", d, 5, false, 2, brick, {{140, 90}, {480, 130}, {300, 390}}, 0, true, true});
    }
    for (int32_t d : {32, 24, 16}) {
        const int lit = d == 16 ? 8 : 1;  // GL's c·l / 255 against >> 8; 5-6-5 steps
        cases.push_back({"tiled floor", d, 7, false, 0, floor, floorRect, 0});
        cases.push_back({"perspective wall", d, 3, false, 1, wall, wallRect, 0});
        cases.push_back({"keyed brick", d, 5, false, 2, brick, brickRect, 0, false, true});
        cases.push_back({"modulated brick", d, 3, true, 2, brick, brickRect, lit});
        cases.push_back({"modulated floor", d, 7, true, 0, floor, floorRect, lit});
    }
    return cases;
}

TEST(OSMesaGolden, TexturedSpansMatchMesa) {
    for (const Case& c : Cases()) {
        const Result r = Compare(c);
        std::printf("%-16s %2d worst interior %3d (beyond %d: %.4f%%), near ties %.4f%% (worst %3d, within %.5f "
                    "texel), lag %.3f%%, edge pixels beyond %.3f%%\n",
                    c.name, c.depth, r.worstInterior, c.interiorLimit, 100.0 * r.interiorShare, 100.0 * r.tieShare,
                    r.worstTie, r.widestTie, 100.0 * r.lagShare, 100.0 * r.edgeShare);
        EXPECT_LE(r.worstInterior, c.interiorLimit) << c.name << " " << c.depth;
        EXPECT_LT(r.edgeShare, 0.011) << c.name << " " << c.depth;
        // Measured: 0.47% (floor) and 0.53% (triangle) of the interior lag.
        EXPECT_LT(r.lagShare, 0.01) << c.name << " " << c.depth;
        // Near ties are exempt one by one, but not in bulk: measured at most
        // 0.019% of the interior.
        EXPECT_LT(r.tieShare, 0.001) << c.name << " " << c.depth;
    }
}

}  // namespace
