// The software rasteriser at 640 x 480, 32 and 16 bits, on one core: the
// fill rate of screen-filling flat and Gouraud polygons with the depth test,
// small triangles (about 16 pixels, from projected vertices to pixels),
// whole fixture frames through the renderer's frame, textured perspective
// fills (entries 3 and 7, unshaded and modulated, depth test on), small
// textured triangles and 32 x 32 sprite blits (keyed, opaque and
// translucent). Beside each but the fixture frames, when built with
// OSMesa, Mesa's llvmpipe draws the same polygons (OpenGL 1.1, depth test,
// smooth colours or nearest texels; sprites without the depth test, with the
// alpha test and blending) on the calling thread (LP_NUM_THREADS=0), timed
// to glFinish.
#include "bench_timing.h"
#include "render/software_fixture.h"
#include "render/software_scene.h"

#include "engine3d/camera_view.h"
#include "engine3d/texture.h"

#include <cstdio>
#include <cstdlib>
#include <random>
#include <vector>

#ifdef TW_WITH_OSMESA
#include <GL/osmesa.h>
#include <GL/gl.h>
#endif

namespace {

constexpr int kW = 640, kH = 480;

struct Tri {
    float x[3], y[3], q[3];
    uint8_t c[3][3];
};

// Screen-filling quads (two triangles each) and small triangles, in screen
// space with q; the small ones come from camera-space points projected here.
std::vector<Tri> FullScreen(int count) {
    std::vector<Tri> out;
    for (int i = 0; i < count; ++i) {
        const float q = 0.01f + 0.00001f * float(i);  // each nearer: every pixel passes
        out.push_back({{0, float(kW), float(kW)}, {0, 0, float(kH)}, {q, q, q}, {{255, 0, 0}, {0, 255, 0}, {0, 0, 255}}});
        out.push_back({{0, float(kW), 0}, {0, float(kH), float(kH)}, {q, q, q}, {{255, 0, 0}, {0, 0, 255}, {255, 255, 0}}});
    }
    return out;
}

struct Camera : LCameraView {
    int32_t Defer(LPolygon*) override { return 0; }
};

std::vector<L3DPoint> SmallTriangleVertices(int count) {
    std::mt19937 random(7);
    std::uniform_real_distribution<float> spread(-1.0f, 1.0f);
    std::vector<L3DPoint> points(size_t(count) * 3);
    for (int i = 0; i < count; ++i) {
        const float cx = spread(random) * 300.0f, cy = spread(random) * 220.0f, z = 500.0f + 200.0f * spread(random);
        // About 16 pixels at focal 500: legs of 5.7 pixels at depth z.
        const float s = 5.7f * z / 500.0f;
        const float p[3][3] = {{cx, cy, z}, {cx + s, cy, z}, {cx, cy + s, z}};
        for (int k = 0; k < 3; ++k) {
            L3DPoint& v = points[size_t(i) * 3 + size_t(k)];
            for (int a = 0; a < 3; ++a) v.camera[a] = p[k][a];
            v.colour[0] = uint8_t(80 * k), v.colour[1] = 200, v.colour[2] = uint8_t(255 - 80 * k);
        }
    }
    return points;
}

double OursFill(int32_t depth, bool gouraud, int quads) {
    MemoryPresenter r;
    r.Setup(kW, kH, depth, 0);
    r.Begin();
    auto m = MakeMaterial(LMaterial::kFlat, 0x3060C0);
    const std::vector<Tri> tris = FullScreen(quads);
    std::vector<std::unique_ptr<HandPolygon>> polygons;
    for (const Tri& t : tris) {
        polygons.emplace_back(new HandPolygon(m.get(), gouraud ? uint32_t(LPolygon_Software::kOwnerGouraud) : 0u));
        for (int k = 0; k < 3; ++k) polygons.back()->Add(t.x[k], t.y[k], t.q[k], t.c[k][0], t.c[k][1], t.c[k][2], 128);
    }
    const SpanRoutine fill = SpanTableFor(depth)[kSpanSolid];
    const double seconds = bench::Best([&]() {
        r.ClearDepthBuffer();
        for (auto& p : polygons) fill(p->polygon.get());
    });
    return double(quads) * kW * kH / seconds / 1e6;
}

double OursSmall(int32_t depth, int count) {
    MemoryPresenter r;
    r.Setup(kW, kH, depth, 0);
    r.Begin();
    Camera view;
    view.focalX = view.focalY = 500.0f;
    view.centreX = kW / 2.0f, view.centreY = kH / 2.0f;
    view.farDistance = 65536.0f;
    auto m = MakeMaterial(LMaterial::kFlat, 0x3060C0);
    std::vector<L3DPoint> points = SmallTriangleVertices(count);
    LPolygonOwner owner;
    owner.objectFlags = LPolygon_Software::kOwnerGouraud;
    std::vector<std::unique_ptr<LPolygon_Software>> polygons;
    for (int i = 0; i < count; ++i) {
        polygons.emplace_back(new LPolygon_Software(&owner, 3, nullptr));
        polygons.back()->material = m.get();
        for (int k = 0; k < 3; ++k) polygons.back()->AddPoint(&points[size_t(i) * 3 + size_t(k)]);
    }
    const SpanRoutine fill = SpanTableFor(depth)[kSpanSolid];
    const double seconds = bench::Best([&]() {
        r.ClearDepthBuffer();
        for (L3DPoint& p : points) p.ProjectFromCamera(view);
        for (auto& p : polygons) fill(p.get());
    });
    return double(count) / seconds / 1e6;
}

double OursFrames(int32_t depth) {
    LAPI_Surface_Win32 driver;
    SoftwareScene scene;
    std::unique_ptr<MemoryPresenter> target(new MemoryPresenter(nullptr, &driver));
    scene.Open(target.get());
    target->world = scene.world.get();
    target->Setup(kW, kH, depth, 0);
    target->flags = LRenderAPICLBK::kDepthBuffer;
    scene.world->SetColourDepth(depth);
    target->SetCamera(scene.MakeCamera());
    scene.Build(SceneShading::Gouraud);
    const int frames = 200;
    const double seconds = bench::Best([&]() {
        for (int i = 0; i < frames; ++i) target->RenderFrame();
    });
    target->DetachCamera();
    scene.Close();
    return frames / seconds;
}

// Screen-filling perspective planes: q falls from left to right, texel
// coordinates run over `repeats` copies of a 256 x 256 texture.
struct TexTri {
    float x[3], y[3], q[3], u[3], v[3];
};

std::vector<TexTri> TexturedPlanes(int count, float repeats) {
    std::vector<TexTri> out;
    const float e = 256.0f * repeats;
    for (int i = 0; i < count; ++i) {
        const float n = 0.00001f * float(i), l = 0.02f + n, r = 0.01f + n;
        out.push_back({{0, float(kW), float(kW)}, {0, 0, float(kH)}, {l, r, r}, {0, e, e}, {0, 0, e}});
        out.push_back({{0, float(kW), 0}, {0, float(kH), float(kH)}, {l, r, l}, {0, e, 0}, {0, e, e}});
    }
    return out;
}

std::unique_ptr<LTexture> BenchTexture(int32_t depth, int32_t size) {
    std::unique_ptr<LTexture> t(new LTexture(nullptr, "t", nullptr));
    t->BindCamera(nullptr, size, size, depth);
    std::mt19937 random(3);
    for (int32_t i = 0; i < t->GetPitch() * size; ++i) t->GetPixels()[i] = uint8_t(random());
    return t;
}

double OursTextured(int32_t depth, int32_t entry, bool modulate, int quads) {
    MemoryPresenter r;
    r.Setup(kW, kH, depth, 0);
    r.states = modulate ? uint32_t(LRenderAPICLBK::kStateModulate) : 0u;
    r.Begin();
    auto texture = BenchTexture(depth, 256);
    auto m = MakeMaterial(LMaterial::kMapped, 0x808080);
    m->SetTexture(0, texture.get());
    const std::vector<TexTri> tris = TexturedPlanes(quads, entry >= 7 ? 4.0f : 1.0f);
    std::vector<std::unique_ptr<HandPolygon>> polygons;
    for (const TexTri& t : tris) {
        polygons.emplace_back(new HandPolygon(m.get(), modulate ? uint32_t(LPolygon_Software::kOwnerFlat) : 0u));
        for (int k = 0; k < 3; ++k) {
            polygons.back()->Add(t.x[k], t.y[k], t.q[k]);
            polygons.back()->polygon->SetUV(k, t.u[k], t.v[k]);
        }
        LPolygon_Software& p = *polygons.back()->polygon;
        p.texelScale[0] = p.texelScale[1] = 1.0f;
        p.texelOffset[0] = p.texelOffset[1] = 0.0f;
        p.litColour[0] = 200, p.litColour[1] = 180, p.litColour[2] = 160;
    }
    const SpanRoutine fill = SpanTableFor(depth)[entry];
    const double seconds = bench::Best([&]() {
        r.ClearDepthBuffer();
        for (auto& p : polygons) fill(p->polygon.get());
    });
    return double(quads) * kW * kH / seconds / 1e6;
}

double OursSmallTextured(int32_t depth, int count) {
    MemoryPresenter r;
    r.Setup(kW, kH, depth, 0);
    r.Begin();
    Camera view;
    view.focalX = view.focalY = 500.0f;
    view.centreX = kW / 2.0f, view.centreY = kH / 2.0f;
    view.farDistance = 65536.0f;
    auto texture = BenchTexture(depth, 64);
    auto m = MakeMaterial(LMaterial::kMapped, 0x808080);
    m->SetTexture(0, texture.get());
    std::vector<L3DPoint> points = SmallTriangleVertices(count);
    LPolygonOwner owner;
    std::vector<std::unique_ptr<LPolygon_Software>> polygons;
    for (int i = 0; i < count; ++i) {
        polygons.emplace_back(new LPolygon_Software(&owner, 3, nullptr));
        LPolygon_Software& p = *polygons.back();
        p.material = m.get();
        for (int k = 0; k < 3; ++k) p.AddPoint(&points[size_t(i) * 3 + size_t(k)]);
        p.SetUV(0, 0.1f, 0.1f), p.SetUV(1, 0.9f, 0.1f), p.SetUV(2, 0.1f, 0.9f);
        p.ComputeTexCoords();
    }
    const SpanRoutine fill = SpanTableFor(depth)[3];
    const double seconds = bench::Best([&]() {
        r.ClearDepthBuffer();
        for (L3DPoint& p : points) p.ProjectFromCamera(view);
        for (auto& p : polygons) fill(p.get());
    });
    return double(count) / seconds / 1e6;
}

// 32 x 32 sprites over the screen through the blits, keyed.
double OursSprites(int32_t depth, bool translucent) {
    LAPI_Surface_Win32 driver;
    MemoryPresenter r(nullptr, &driver);
    r.Setup(kW, kH, depth, 0);
    r.Begin();
    auto texture = BenchTexture(depth, 32);
    texture->SetTransparentColor(1, 0x00FF00FF);
    LPolygon_Software& p = *r.spritePolygon;
    r.spriteMaterial->SetTexture(0, texture.get());
    r.spriteMaterial->flags = LMaterial::kMapped;
    r.spriteMaterial->transparency = translucent ? 128 : 255;
    const int count = 300;
    const double seconds = bench::Best([&]() {
        for (int i = 0; i < count; ++i) {
            const float x = float((i * 37) % (kW - 32)), y = float((i * 23) % (kH - 32));
            const float c[4][4] = {{x, y, 0, 0}, {x + 32, y, 32, 0}, {x + 32, y + 32, 32, 32}, {x, y + 32, 0, 32}};
            for (int k = 0; k < 4; ++k) {
                p.points[k]->screenX = c[k][0], p.points[k]->screenY = c[k][1];
                p.SetUV(k, c[k][2], c[k][3]);
            }
            if (depth == 32)
                translucent ? p.BlitTextureKeyedBlend32() : p.BlitTextureKeyed32();
            else
                translucent ? p.BlitTextureKeyedBlend16() : p.BlitTextureKeyed16(16);
        }
    });
    r.spriteMaterial->SetTexture(0, nullptr);
    return double(count) * 32 * 32 / seconds / 1e6;
}

#ifdef TW_WITH_OSMESA
struct Mesa {
    OSMesaContext context = nullptr;
    std::vector<uint8_t> buffer;
    explicit Mesa(int32_t depth) {
        setenv("GALLIUM_DRIVER", "llvmpipe", 1);
        setenv("LP_NUM_THREADS", "0", 1);
        buffer.resize(size_t(kW) * kH * 4);
        if (depth == 16) {
            context = OSMesaCreateContextExt(OSMESA_RGB_565, 24, 0, 0, nullptr);
            OSMesaMakeCurrent(context, buffer.data(), GL_UNSIGNED_SHORT_5_6_5, kW, kH);
        } else {
            context = OSMesaCreateContextExt(OSMESA_BGRA, 24, 0, 0, nullptr);
            OSMesaMakeCurrent(context, buffer.data(), GL_UNSIGNED_BYTE, kW, kH);
        }
        glMatrixMode(GL_PROJECTION);
        glLoadIdentity();
        glOrtho(0, kW, kH, 0, 0, -1);  // window depth = q
        glMatrixMode(GL_MODELVIEW);
        glLoadIdentity();
        glEnable(GL_DEPTH_TEST);
        glDepthFunc(GL_GEQUAL);
        glClearDepth(0.0);
    }
    ~Mesa() {
        if (context) OSMesaDestroyContext(context);
    }
    void Draw(const std::vector<Tri>& tris, bool smooth) {
        glShadeModel(smooth ? GL_SMOOTH : GL_FLAT);
        glClear(GL_DEPTH_BUFFER_BIT);
        glBegin(GL_TRIANGLES);
        for (const Tri& t : tris)
            for (int k = 0; k < 3; ++k) {
                glColor3ub(t.c[k][0], t.c[k][1], t.c[k][2]);
                glVertex3f(t.x[k] + 0.5f, t.y[k] + 0.5f, t.q[k]);
            }
        glEnd();
        glFinish();
    }
};

// A random nearest-filtered texture of `size` texels each way, bound.
GLuint MesaTexture(int32_t depth, int32_t size, GLint wrap) {
    std::vector<uint8_t> texels(size_t(size) * size * 4);
    std::mt19937 random(3);
    // Opaque texels: like the engine's random ones, none is the key.
    for (size_t i = 0; i < texels.size(); ++i) texels[i] = i % 4 == 3 ? 255 : uint8_t(random());
    GLuint name = 0;
    glGenTextures(1, &name);
    glBindTexture(GL_TEXTURE_2D, name);
    glTexImage2D(GL_TEXTURE_2D, 0, depth == 16 ? GL_RGB5_A1 : GL_RGBA8, size, size, 0, GL_RGBA, GL_UNSIGNED_BYTE,
                 texels.data());
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_NEAREST);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_NEAREST);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, wrap);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, wrap);
    glEnable(GL_TEXTURE_2D);
    return name;
}

// The small triangles textured (perspective, nearest, replace), as the
// engine's entry 3 draws them.
double MesaSmallTextured(int32_t depth, int count) {
    Mesa mesa(depth);
    const GLuint name = MesaTexture(depth, 64, GL_CLAMP);
    glTexEnvi(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, GL_REPLACE);
    Camera view;
    view.focalX = view.focalY = 500.0f;
    view.centreX = kW / 2.0f, view.centreY = kH / 2.0f;
    std::vector<L3DPoint> points = SmallTriangleVertices(count);
    const float uv[3][2] = {{0.1f, 0.1f}, {0.9f, 0.1f}, {0.1f, 0.9f}};
    const double seconds = bench::Best([&]() {
        for (L3DPoint& p : points) p.ProjectFromCamera(view);
        glClear(GL_DEPTH_BUFFER_BIT);
        glBegin(GL_TRIANGLES);
        for (int i = 0; i < count; ++i)
            for (int k = 0; k < 3; ++k) {
                const L3DPoint& p = points[size_t(i) * 3 + size_t(k)];
                const float q = p.inverseDepth;
                glTexCoord4f(uv[k][0] * q, uv[k][1] * q, 0, q);
                glVertex3f(p.screenX + 0.5f, p.screenY + 0.5f, q);
            }
        glEnd();
        glFinish();
    });
    glDeleteTextures(1, &name);
    return double(count) / seconds / 1e6;
}

// The same 32 x 32 sprites: textured quads, no depth test, the alpha test
// for the key, blended at half alpha when translucent.
double MesaSprites(int32_t depth, bool translucent) {
    Mesa mesa(depth);
    const GLuint name = MesaTexture(depth, 32, GL_REPEAT);
    glTexEnvi(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, GL_MODULATE);
    glDisable(GL_DEPTH_TEST);
    glEnable(GL_ALPHA_TEST);
    glAlphaFunc(GL_GREATER, 0.0f);
    if (translucent) {
        glEnable(GL_BLEND);
        glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
    }
    glColor4ub(255, 255, 255, translucent ? 128 : 255);
    const int count = 300;
    const double seconds = bench::Best([&]() {
        glBegin(GL_QUADS);
        for (int i = 0; i < count; ++i) {
            const float x = float((i * 37) % (kW - 32)), y = float((i * 23) % (kH - 32));
            glTexCoord2f(0, 0), glVertex2f(x + 0.5f, y + 0.5f);
            glTexCoord2f(1, 0), glVertex2f(x + 32.5f, y + 0.5f);
            glTexCoord2f(1, 1), glVertex2f(x + 32.5f, y + 32.5f);
            glTexCoord2f(0, 1), glVertex2f(x + 0.5f, y + 32.5f);
        }
        glEnd();
        glFinish();
    });
    glDeleteTextures(1, &name);
    return double(count) * 32 * 32 / seconds / 1e6;
}

// The same planes with a texture: u·q and v·q per vertex so that GL
// divides per pixel, nearest texels, modulated by the colour.
double MesaTextured(int32_t depth, bool tiled, bool modulate, int quads) {
    Mesa mesa(depth);
    const int32_t size = 256;
    const GLuint name = MesaTexture(depth, size, tiled ? GL_REPEAT : GL_CLAMP);
    glTexEnvi(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, modulate ? GL_MODULATE : GL_REPLACE);
    const std::vector<TexTri> tris = TexturedPlanes(quads, tiled ? 4.0f : 1.0f);
    const double seconds = bench::Best([&]() {
        glClear(GL_DEPTH_BUFFER_BIT);
        glColor3ub(200, 180, 160);
        glBegin(GL_TRIANGLES);
        for (const TexTri& t : tris)
            for (int k = 0; k < 3; ++k) {
                const float q = t.q[k];
                glTexCoord4f(t.u[k] * q / size, t.v[k] * q / size, 0, q);
                glVertex3f(t.x[k] + 0.5f, t.y[k] + 0.5f, q);
            }
        glEnd();
        glFinish();
    });
    glDeleteTextures(1, &name);
    return double(quads) * kW * kH / seconds / 1e6;
}

double MesaFill(int32_t depth, bool gouraud, int quads) {
    Mesa mesa(depth);
    const std::vector<Tri> tris = FullScreen(quads);
    const double seconds = bench::Best([&]() { mesa.Draw(tris, gouraud); });
    return double(quads) * kW * kH / seconds / 1e6;
}

double MesaSmall(int count) {
    Mesa mesa(32);
    Camera view;
    view.focalX = view.focalY = 500.0f;
    view.centreX = kW / 2.0f, view.centreY = kH / 2.0f;
    std::vector<L3DPoint> points = SmallTriangleVertices(count);
    std::vector<Tri> tris(static_cast<size_t>(count));
    const double seconds = bench::Best([&]() {
        for (L3DPoint& p : points) p.ProjectFromCamera(view);
        for (int i = 0; i < count; ++i)
            for (int k = 0; k < 3; ++k) {
                const L3DPoint& p = points[size_t(i) * 3 + size_t(k)];
                Tri& t = tris[size_t(i)];
                t.x[k] = p.screenX, t.y[k] = p.screenY, t.q[k] = p.inverseDepth;
                for (int c = 0; c < 3; ++c) t.c[k][c] = p.colour[c];
            }
        mesa.Draw(tris, true);
    });
    return double(count) / seconds / 1e6;
}
#endif

void Row(const char* name, const char* unit, double ours, double mesa) {
    if (mesa > 0)
        std::printf("%-34s %10.1f %10.1f %8.2f  %s\n", name, ours, mesa, ours / mesa, unit);
    else
        std::printf("%-34s %10.1f %10s %8s  %s\n", name, ours, "-", "-", unit);
}

}  // namespace

int main() {
    std::printf("%-34s %10s %10s %8s\n", "case (640 x 480, one core)", "ours", "llvmpipe", "ratio");
    for (int32_t depth : {32, 16}) {
        char name[64];
        for (bool gouraud : {false, true}) {
            double mesa = 0;
#ifdef TW_WITH_OSMESA
            mesa = MesaFill(depth, gouraud, 20);
#endif
            std::snprintf(name, sizeof name, "%d-bit %s fill", depth, gouraud ? "Gouraud" : "flat");
            Row(name, "Mpixel/s", OursFill(depth, gouraud, 20), mesa);
        }
        double mesa = 0;
#ifdef TW_WITH_OSMESA
        if (depth == 32) mesa = MesaSmall(200000);
#endif
        std::snprintf(name, sizeof name, "%d-bit small triangles", depth);
        Row(name, "M triangles/s", OursSmall(depth, 200000), mesa);
        std::snprintf(name, sizeof name, "%d-bit fixture frames", depth);
        Row(name, "frames/s", OursFrames(depth), 0);
        for (int32_t entry : {3, 7})
            for (bool modulate : {false, true}) {
                double gl = 0;
#ifdef TW_WITH_OSMESA
                gl = MesaTextured(depth, entry == 7, modulate, 10);
#endif
                std::snprintf(name, sizeof name, "%d-bit entry %d %s", depth, entry, modulate ? "modulate" : "unshaded");
                Row(name, "Mpixel/s", OursTextured(depth, entry, modulate, 10), gl);
            }
        mesa = 0;
#ifdef TW_WITH_OSMESA
        mesa = MesaSmallTextured(depth, 200000);
#endif
        std::snprintf(name, sizeof name, "%d-bit small textured triangles", depth);
        Row(name, "M triangles/s", OursSmallTextured(depth, 200000), mesa);
        for (bool translucent : {false, true}) {
            mesa = 0;
#ifdef TW_WITH_OSMESA
            mesa = MesaSprites(depth, translucent);
#endif
            std::snprintf(name, sizeof name, "%d-bit 32x32 keyed sprites %s", depth, translucent ? "blend" : "opaque");
            Row(name, "Mpixel/s", OursSprites(depth, translucent), mesa);
        }
    }
    return 0;
}
