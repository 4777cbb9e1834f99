// The textured span entries (3 to 10) on hand-made polygons over every
// depth: texel addressing (clamped, tiled, rounded), keys and the depth
// buffer, translucency, lighting loops, the 32-bit fourth byte, the outline
// and the environment rescale. Textures hold exactly their rows, so a fetch
// past them is an ASan finding; texels that only hidden pixels would read are
// poisoned.
#include "software_fixture.h"

#include "engine3d/texture.h"
#include "render/software/span_fillers.h"

#include <gtest/gtest.h>

#include <functional>

#if defined(__SANITIZE_ADDRESS__)
#define TW_ASAN 1
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
#define TW_ASAN 1
#endif
#endif
#ifdef TW_ASAN
#include <sanitizer/asan_interface.h>
#else
#define ASAN_POISON_MEMORY_REGION(a, n) ((void)(a), (void)(n))
#define ASAN_UNPOISON_MEMORY_REGION(a, n) ((void)(a), (void)(n))
#endif

namespace {

int32_t Bytes(int32_t depth) { return (depth + 1) / 8; }

// A w x h texture of the depth; texel (x, y) holds the low bytes of
// value(x, y) in memory order.
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

// Texel value of column x and row y, distinct in every format's low bits
// and never the default key (0).
uint32_t Coded(int32_t x, int32_t y) { return uint32_t(x & 0x1F) | 0x20u | uint32_t(y & 0x1F) << 8 | 0xC0000000u; }

// The texel's bytes as the frame holds them after a plain copy.
uint32_t AsPixel(uint32_t texel, int32_t depth) {
    return depth == 32 ? texel : texel & ((1u << (8 * Bytes(depth))) - 1);
}

// A textured rectangle with texel coordinates given directly (scale 1,
// offset 0): corners (x0, y0) (x1, y0) (x1, y1) (x0, y1) with (u, v) pairs.
struct Textured : HandPolygon {
    Textured(LMaterial* m, uint32_t ownerFlags = 0) : HandPolygon(m, ownerFlags) {}
    Textured& Rect(float x0, float y0, float x1, float y1, float q, float u0, float v0, float u1, float v1) {
        const float c[4][4] = {{x0, y0, u0, v0}, {x1, y0, u1, v0}, {x1, y1, u1, v1}, {x0, y1, u0, v1}};
        for (int i = 0; i < 4; ++i) {
            Add(c[i][0], c[i][1], q);
            polygon->SetUV(i, c[i][2], c[i][3]);
        }
        polygon->texelScale[0] = polygon->texelScale[1] = 1.0f;
        polygon->texelOffset[0] = polygon->texelOffset[1] = 0.0f;
        return *this;
    }
};

std::unique_ptr<LMaterial> Mapped(LTexture* t, uint8_t transparency = 255, uint32_t extra = 0) {
    auto m = MakeMaterial(LMaterial::kMapped | extra, 0x808080, transparency);
    m->SetTexture(0, t);
    m->flags = LMaterial::kMapped | extra;
    return m;
}

// A texel blended at a = 128 over a black pixel: each channel c × 128 >> 8.
uint32_t HalfOverBlack(const uint8_t* t, int32_t d) {
    uint8_t px[4] = {0, 0, 0, 0};
    const auto half = [](pixel::Rgb c) { return pixel::Rgb{c.r >> 1, c.g >> 1, c.b >> 1}; };
    if (d == 32) pixel::Format<32>::Put(px, half(pixel::Format<32>::Get(t)));
    if (d == 24) pixel::Format<24>::Put(px, half(pixel::Format<24>::Get(t)));
    if (d == 16) pixel::Format<16>::Put(px, half(pixel::Format<16>::Get(t)));
    if (d == 15) pixel::Format<15>::Put(px, half(pixel::Format<15>::Get(t)));
    uint32_t v = 0;
    std::memcpy(&v, px, 4);
    return v;
}

class TexturedDepths : public ::testing::TestWithParam<int32_t> {};

// Every entry with one texel per pixel: unlit entries copy the texel at
// (round(u), round(v)); translucent entries blend (8 bits: copy).
TEST_P(TexturedDepths, EntriesCopyTheTexelUnderEachPixel) {
    const int32_t d = GetParam();
    auto tex = MakeTexture(8, 8, d, Coded);
    for (int32_t entry = 3; entry <= 10; ++entry) {
        MemoryPresenter r;
        r.Setup(8, 8, d, 0);
        r.Begin();
        auto m = Mapped(tex.get(), ((entry - 3) & 1) ? 128 : 255);
        Textured p(m.get());
        p.Rect(0, 0, 8, 8, 0.5f, 0, 0, 8, 8).Draw(d, entry);
        const bool blended = ((entry - 3) & 1) && d != 8;
        const bool whole = d == 32 && (entry == 3 || entry == 7);
        for (int32_t y = 0; y < 8; ++y)
            for (int32_t x = 0; x < 8; ++x) {
                uint32_t expected = AsPixel(Coded(x, y), d);
                if (d == 32 && !whole) expected &= 0xFFFFFF;
                if (blended) expected = HalfOverBlack(tex->GetPixels() + y * tex->GetPitch() + x * Bytes(d), d);
                ASSERT_EQ(r.Pixel(x, y), expected) << "entry " << entry << " at " << x << "," << y;
                ASSERT_EQ(r.Depth(x, y), int32_t(0.5f * 8388608.0f));
            }
    }
}

// A polygon in front covers the bottom half; the textured one behind never
// reads the texture rows only its hidden pixels map to (poisoned).
TEST_P(TexturedDepths, HiddenPixelsReadNoTexel) {
    const int32_t d = GetParam();
    auto tex = MakeTexture(8, 8, d, Coded);
    const int32_t pitch = tex->GetPitch();
    for (int32_t entry = 3; entry <= 10; ++entry) {
        MemoryPresenter r;
        r.Setup(8, 8, d, 0);
        r.Begin();
        auto front = MakeMaterial(LMaterial::kFlat, 0x0000FF);
        HandPolygon near(front.get());
        near.Rect(0, 4, 8, 8, 0.75f).Draw(d, kSpanSolid);
        auto m = Mapped(tex.get(), ((entry - 3) & 1) ? 100 : 255);
        Textured p(m.get());
        uint8_t* hidden = tex->GetPixels() + 4 * pitch;
        ASAN_POISON_MEMORY_REGION(hidden, size_t(4 * pitch));
        p.Rect(0, 0, 8, 8, 0.5f, 0, 0, 8, 8).Draw(d, entry);
        ASAN_UNPOISON_MEMORY_REGION(hidden, size_t(4 * pitch));
        EXPECT_EQ(r.Depth(3, 6), int32_t(0.75f * 8388608.0f));
        EXPECT_EQ(r.Depth(3, 2), int32_t(0.5f * 8388608.0f));
    }
}

// A key texel: on 32, 24 and 8 bits neither pixel nor depth is written, so a
// polygon drawn later behind shows through; on 15 and 16 bits the depth is
// stored first, so it does not.
TEST_P(TexturedDepths, KeyTexelsAndTheDepthBuffer) {
    const int32_t d = GetParam();
    // Column 2 holds the key: magenta, or on palettes the transparent index
    // (0 without a world palette).
    const uint32_t keyTexel = d == 32 ? 0x00FF00FF : d == 24 ? 0xFF00FF : d == 16 ? 0xF81F : d == 15 ? 0x7C1F : 0;
    auto tex = MakeTexture(8, 8, d, [&](int32_t x, int32_t y) { return x == 2 ? keyTexel : 0x40u | x | y << 8; });
    tex->SetTransparentColor(1, 0x00FF00FF);
    for (int32_t entry : {5, 6, 9, 10}) {
        MemoryPresenter r;
        r.Setup(8, 8, d, 0x11);
        r.Begin();
        auto m = Mapped(tex.get(), ((entry - 3) & 1) ? 200 : 255);
        Textured p(m.get());
        p.Rect(0, 0, 8, 8, 0.5f, 0, 0, 8, 8).Draw(d, entry);
        const bool depthFirst = d == 15 || d == 16;
        EXPECT_EQ(r.Pixel(2, 3), AsPixel(0x11111111u, d)) << entry;
        EXPECT_EQ(r.Depth(2, 3), depthFirst ? int32_t(0.5f * 8388608.0f) : 0) << entry;
        EXPECT_NE(r.Pixel(3, 3), AsPixel(0x11111111u, d)) << entry;

        auto behind = MakeMaterial(LMaterial::kFlat, 0x00FF00);
        HandPolygon back(behind.get());
        back.Rect(0, 0, 8, 8, 0.25f).Draw(d, kSpanSolid);
        EXPECT_EQ(r.Pixel(2, 3) != AsPixel(0x11111111u, d), !depthFirst) << entry;
    }
}

// Translucent pixels store their depth: an opaque polygon drawn later
// behind them stays hidden.
TEST_P(TexturedDepths, TranslucentPixelsWriteDepth) {
    const int32_t d = GetParam();
    auto tex = MakeTexture(4, 4, d, Coded);
    MemoryPresenter r;
    r.Setup(8, 8, d, 0);
    r.Begin();
    auto m = Mapped(tex.get(), 90);
    Textured p(m.get());
    p.Rect(0, 0, 8, 8, 0.5f, 0, 0, 4, 4).Draw(d, 4);
    const std::vector<uint8_t> before = r.pixels;
    auto opaque = MakeMaterial(LMaterial::kFlat, 0x00FF00);
    HandPolygon back(opaque.get());
    back.Rect(0, 0, 8, 8, 0.25f).Draw(d, kSpanSolid);
    EXPECT_EQ(r.pixels, before);
}

// Tiled: a 64 x 64 texture maps s = 64 to column 0 and s = -1 to column 63;
// a 6 x 5 texture (not powers of two) masks with 5 and 4 and stays inside.
TEST_P(TexturedDepths, TiledAddressesWrapThroughTheMasks) {
    const int32_t d = GetParam();
    const auto code = [](int32_t x, int32_t y) { return uint32_t(x) | uint32_t(y) << 8; };
    auto big = MakeTexture(64, 64, d, code);
    MemoryPresenter r;
    r.Setup(80, 4, d, 0);
    r.Begin();
    auto m = Mapped(big.get());
    Textured p(m.get());
    // Pixel i shows u = i - 1: pixel 0 is s = -1, pixel 65 is s = 64.
    p.Rect(0, 0, 70, 2, 0.5f, -1, 0, 69, 2).Draw(d, 7);
    const uint32_t low = d == 8 ? 0xFF : 0xFFFF;
    EXPECT_EQ(r.Pixel(0, 0) & low, code(63, 0) & low);
    EXPECT_EQ(r.Pixel(65, 0) & low, code(0, 0) & low);
    EXPECT_EQ(r.Pixel(1, 0) & low, code(0, 0) & low);

    auto odd = MakeTexture(6, 5, d, code);
    auto n = Mapped(odd.get());
    for (int32_t entry : {7, 9}) {
        Textured q(n.get());
        r.ClearDepthBuffer();
        q.Rect(0, 0, 60, 4, 0.5f, -20, -7, 40, -3).Draw(d, entry);
        for (int32_t x = 0; x < 60; ++x) {
            const int32_t u = x - 20;
            EXPECT_EQ(r.Pixel(x, 0) & low, code(u & 5, (-7) & 4) & low) << x;
        }
    }
}

// Non-tiled entries clamp: a coordinate of exactly W, and a second polygon
// of the same material that needs tiling drawn with the routine the first
// chose, read column W - 1 and stay inside the texture.
TEST_P(TexturedDepths, NonTiledEntriesClampIntoTheTexture) {
    const int32_t d = GetParam();
    auto tex = MakeTexture(8, 8, d, Coded);
    MemoryPresenter r;
    r.Setup(32, 8, d, 0);
    r.Begin();
    auto m = Mapped(tex.get());
    Textured first(m.get());
    first.Rect(0, 0, 8, 8, 0.5f, 0, 0, 8, 8);
    first.polygon->ChooseSpanRoutine();
    Textured second(m.get());
    second.Rect(0, 0, 32, 8, 0.5f, -8, 0, 24, 16);  // needs tiling, drawn non-tiled
    for (int32_t entry : {3, 4, 5, 6}) {
        r.ClearDepthBuffer();
        second.Draw(d, entry);
        if (entry != 3) continue;
        const uint32_t low = d == 8 ? 0xFF : 0xFFFF;
        EXPECT_EQ(r.Pixel(0, 0) & low, Coded(0, 0) & low);
        EXPECT_EQ(r.Pixel(30, 0) & low, Coded(7, 0) & low);
        EXPECT_EQ(r.Pixel(30, 7) & low, Coded(7, 7) & low);
    }
}

INSTANTIATE_TEST_SUITE_P(Depths, TexturedDepths, ::testing::ValuesIn(kAllDepths));

// Rounding: the product in single precision, then nearest with ties to even.
TEST(TexturedSpans, PerspectiveRounding) {
    struct Case {
        float f;
        bool ok;
        int32_t value;
    } cases[] = {
        {2.5f, true, 2},      {3.5f, true, 4},          {-2.5f, true, -2},          {-0.5f, true, 0},
        {0.49999997f, true, 0}, {4194303.5f, true, 4194304}, {4194304.5f, true, 4194304}, {8388609.0f, true, 8388609},
        {-2147483648.0f, true, INT32_MIN}, {2147483648.0f, false, 0}, {INFINITY, false, 0}, {NAN, false, 0},
    };
    for (const Case& c : cases) {
        int32_t v = 12345;
        EXPECT_EQ(spans::NearestInt(c.f, &v), c.ok) << c.f;
        if (c.ok) {
            EXPECT_EQ(v, c.value) << c.f;
        }
    }
    // 19.5 × (1/3): exactly 6.50000021..., which a wider product rounds to 7;
    // in single precision it is the tie 6.5, which goes to 6.
    const float w = 1.0f / 3.0f, product = 19.5f * w;
    EXPECT_EQ(int32_t(std::nearbyint(19.5 * double(w))), 7);
    int32_t s = 0;
    spans::NearestInt(product, &s);
    EXPECT_EQ(s, 6);
    // The same through a filler: q = 3 everywhere, u·q = 19.5 everywhere.
    auto tex = MakeTexture(16, 2, 32, Coded);
    MemoryPresenter r;
    r.Setup(4, 2, 32, 0);
    r.Begin();
    auto m = Mapped(tex.get());
    Textured p(m.get());
    p.Rect(0, 0, 4, 2, 3.0f, 6.5f, 0, 6.5f, 0).Draw(32, 3);
    EXPECT_EQ(r.Pixel(1, 0), Coded(6, 0));
    // Clamp and wrap of values out of range.
    EXPECT_EQ(spans::ClampedIndex(NAN, 7), 0);
    EXPECT_EQ(spans::ClampedIndex(INFINITY, 7), 7);
    EXPECT_EQ(spans::ClampedIndex(-1e30f, 7), 0);
    EXPECT_EQ(spans::ClampedIndex(6.5f, 7), 6);
    EXPECT_EQ(spans::ClampedIndex(7.4f, 7), 7);
    EXPECT_EQ(spans::ClampedIndex(0.5f, 7), 0);
    EXPECT_EQ(spans::ClampedIndex(1.5f, 7), 2);
    EXPECT_EQ(spans::ClampedIndex(-0.0f, 7), 0);
    EXPECT_EQ(spans::ClampedIndex(5000000.5f, 8388607), 5000000);  // beyond 2^22: the slow path
    EXPECT_EQ(spans::ClampedIndex(3e9f, 16777217), 16777216);
    EXPECT_EQ(spans::WrappedIndex(INFINITY, 63), 0);
    EXPECT_EQ(spans::WrappedIndex(1e30f, 63), 0);
    EXPECT_EQ(spans::WrappedIndex(-1.0f, 63), 63);
}

// q = 0 at every vertex (w infinite): the products are not finite and the
// fetch stays inside the texture.
TEST(TexturedSpans, ZeroQStaysInsideTheTexture) {
    for (int32_t d : kAllDepths) {
        auto tex = MakeTexture(4, 4, d, Coded);
        MemoryPresenter r;
        r.Setup(8, 8, d, 0);
        r.Begin();
        auto m = Mapped(tex.get());
        for (int32_t entry = 3; entry <= 10; ++entry) {
            Textured p(m.get());
            p.Rect(0, 0, 8, 8, 0.0f, 0, 0, 4, 4).Draw(d, entry);
            Textured n(m.get());
            n.Rect(0, 0, 8, 8, -1e-38f, -1e30f, 1e30f, 4, 4).Draw(d, entry);
        }
    }
}

// Lighting at 32 bits over a texel (r 200, g 100, b 50): mix 128 gives the
// texel, 0 the light, 255 almost the light (k = 127); modulate with 255
// darkens (× 255 / 256); Gouraud wins over the flat flag.
TEST(TexturedSpans, LightingLoops) {
    auto tex = MakeTexture(2, 2, 32, [](int32_t, int32_t) { return 0x7FC86432u; });  // r C8, g 64, b 32
    const auto drawn = [&](uint32_t owner, bool modulate, uint8_t mix, int32_t entry = 3) {
        MemoryPresenter r;
        r.Setup(4, 4, 32, 0);
        r.states = modulate ? uint32_t(LRenderAPICLBK::kStateModulate) : 0u;
        r.Begin();
        auto m = Mapped(tex.get());
        Textured p(m.get(), owner);
        p.Rect(0, 0, 4, 4, 0.5f, 0, 0, 2, 2);
        uint8_t* lit = p.polygon->litColour;
        lit[0] = 255, lit[1] = 255, lit[2] = 255, lit[3] = mix;
        for (auto& v : p.vertices) v->colour[0] = 10, v->colour[1] = 20, v->colour[2] = 30, v->colour[3] = 128;
        p.Draw(32, entry);
        return r.Pixel(1, 1);
    };
    const uint32_t flat = LPolygon_Software::kOwnerFlat, gouraud = LPolygon_Software::kOwnerGouraud;
    EXPECT_EQ(drawn(0, false, 0), 0x7FC86432u);               // unshaded: the whole texel
    EXPECT_EQ(drawn(flat, false, 128), 0x00C86432u);          // k = 0: the texel, fourth byte kept
    EXPECT_EQ(drawn(flat, false, 0), 0x00FFFFFFu);            // k = 128: the light
    EXPECT_EQ(drawn(flat, false, 255), 0x00FEFDFDu);          // k = 127
    EXPECT_EQ(drawn(flat, true, 0), 0x00C76331u);             // × 255 >> 8
    EXPECT_EQ(drawn(flat | gouraud, true, 0), 0x00070705u);   // per-vertex light (10, 20, 30)
    EXPECT_EQ(drawn(flat | gouraud, false, 0), 0x00C86432u);  // per-vertex mix 128: the texel
    EXPECT_EQ(drawn(0, false, 0, 5), 0x00C86432u);            // keyed: three bytes
}

// 16- and 15-bit lighting unpacks, lights and packs: modulate of a white
// texel by (128, 64, 32).
TEST(TexturedSpans, LightingPacksAt15And16Bits) {
    for (int32_t d : {15, 16}) {
        auto tex = MakeTexture(2, 2, d, [&](int32_t, int32_t) { return d == 16 ? 0xFFFFu : 0x7FFFu; });
        MemoryPresenter r;
        r.Setup(4, 4, d, 0);
        r.states = LRenderAPICLBK::kStateModulate;
        r.Begin();
        auto m = Mapped(tex.get());
        Textured p(m.get(), LPolygon_Software::kOwnerFlat);
        p.Rect(0, 0, 4, 4, 0.5f, 0, 0, 2, 2);
        p.polygon->litColour[0] = 128, p.polygon->litColour[1] = 64, p.polygon->litColour[2] = 32;
        p.Draw(d, 3);
        // White unpacks to 248 / 252 / 248 (15 bits: 248); × light >> 8.
        const uint32_t expected = d == 16 ? Pack16(124, 63, 31) : Pack15(124, 62, 31);
        EXPECT_EQ(r.Pixel(1, 1), expected) << d;
    }
}

// The flat lighting tables of the 15- and 16-bit loops give every texel
// word what unpacking, lighting and packing it gives.
TEST(TexturedSpans, FlatLightingTablesMatchPerChannelLighting) {
    const struct {
        pixel::Rgb light;
        int32_t k;
        bool modulate;
    } lights[] = {{{255, 255, 255}, 0, true}, {{200, 37, 91}, 0, true}, {{200, 37, 91}, 0, false},
                  {{200, 37, 91}, 128, false}, {{3, 250, 128}, 77, false}};
    const auto check = [](auto table, auto format, const pixel::Rgb& light, int32_t k, bool modulate) {
        using F = decltype(format);
        for (uint32_t v = 0; v < 65536; ++v) {
            uint8_t word[2];
            const uint16_t texel = uint16_t(v);
            std::memcpy(word, &texel, 2);
            F::Put(word, spans::Lit(F::Get(word), light, k, modulate));
            uint16_t expected;
            std::memcpy(&expected, word, 2);
            ASSERT_EQ(table(texel), expected) << v << " " << k << " " << modulate;
        }
    };
    for (const auto& l : lights) {
        check(spans::FlatLitTable<16>(l.light, l.k, l.modulate), pixel::Format<16>{}, l.light, l.k, l.modulate);
        check(spans::FlatLitTable<15>(l.light, l.k, l.modulate), pixel::Format<15>{}, l.light, l.k, l.modulate);
    }
}

// The outline follows the rows with material flag 2; a texture with flag
// 0x200000 rescales the polygon's pairs after the edge set-up.
TEST(TexturedSpans, OutlineAndEnvironmentRescale) {
    auto tex = MakeTexture(8, 8, 32, [](int32_t, int32_t) { return 0x00102030u; });
    MemoryPresenter r;
    r.Setup(12, 12, 32, 0);
    r.Begin();
    auto m = Mapped(tex.get(), 255, LMaterial::kWireFrame);
    Textured p(m.get());
    p.Rect(2, 2, 9, 9, 0.5f, 0, 0, 8, 8).Draw(32, 3);
    EXPECT_EQ(r.Pixel(5, 5), 0x00102030u);
    EXPECT_EQ(r.Pixel(9, 5), 0x00FFFFFFu);  // the outline's column, white over a texture

    tex->SetModeFlag(1);
    Textured e(m.get());
    e.Rect(0, 0, 4, 4, 0.5f, 0.5f, -0.25f, 0.75f, 1.0f);
    e.Draw(32, 3);
    EXPECT_FLOAT_EQ(e.polygon->uv[0][0], 4.0f);
    EXPECT_FLOAT_EQ(e.polygon->uv[0][1], 2.0f);
    EXPECT_FLOAT_EQ(e.polygon->uv[2][0], 6.0f);
}

}  // namespace
