#pragma once
// The textured span kernel (entries 3 to 10 of every depth): one template
// over the target depth, the entry's tiling, key and translucency, and the
// lighting loop, instantiated per depth in span_fillers_<depth>.cpp.
//
// Per pixel, left to right: the depth test (a buffer value greater than the
// pixel's skips it); w = 1 / q; column s and row t are u·q × w and v·q × w,
// each product in single precision, rounded to the nearest integer (halves
// to even). Non-tiled entries clamp s and t into the texture (a coordinate
// of exactly W or H, clipping and a polygon that needs tiling drawn with its
// material's non-tiled routine all reach past it); tiled entries mask them
// with W - 1 and H - 1. A product that is not finite or leaves the integer
// range (q = 0 at a clipped vertex) takes column or row 0 (non-tiled: the
// clamp's bound). The texel is read only after the depth test has passed.
//
// Depth stores: at the depth test on 15 and 16 bits (a key texel keeps the
// keyed polygon's depth), with the drawn texel on 32, 24 and 8 bits (what
// lies behind shows through the key later). A 32-bit plain opaque fill
// copies the texel's fourth byte; keyed, translucent and lit fills keep the
// frame's. Translucency: new = (texel × a + old × (255 − a)) >> 8.
// Lighting: modulate c × light >> 8; mix (light × k + c × (128 − k)) >> 7
// with k = |mix − 128|; Gouraud values step per pixel (16.16), flat ones are
// the polygon's; 15/16-bit texels are unpacked, lit and packed again.
// 8-bit targets copy palette indices (no lighting, no translucency).
#include "engine3d/material.h"
#include "engine3d/texture.h"
#include "render/software/pixel_formats.h"
#include "render/software/software_polygon.h"
#include "render/software/software_renderer.h"
#include "render/software/span_rows.h"
#include "render/software/span_tables.h"

#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <type_traits>
#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace spans {

using pixel::Rgb;

enum class Light { None, FlatModulate, FlatMix, GouraudModulate, GouraudMix };

// Nearest integer of a float, halves to even; false for a value that is not
// finite or lies outside the 32-bit range.
inline bool NearestInt(float f, int32_t* out) {
    if (std::fabs(f) < 4194304.0f) {
        // Below 2^22 adding 1.5 × 2^23 leaves no fraction bits: the sum is
        // rounded by the FPU's nearest-even mode, exactly.
        *out = int32_t((f + 12582912.0f) - 12582912.0f);
        return true;
    }
    if (!(f >= -2147483648.0f && f < 2147483648.0f)) return false;
    *out = int32_t(std::nearbyint(f));
    return true;
}

#if defined(__SSE2__)
// The SSE conversion rounds in the current mode (nearest, halves to even)
// and gives INT32_MIN for NaN and values out of range, without undefined
// behaviour: one instruction per index.
inline int32_t RoundedOrMin(float f) { return _mm_cvtss_si32(_mm_set_ss(f)); }

// A non-tiled texel index: round(f) clamped into [0, last]. The float is
// clamped first (min and max, no branch; NaN gives 0); float(last) may lie
// past last for sizes beyond 2^24, hence the integer bound after.
inline int32_t ClampedIndex(float f, int32_t last) {
    const float top = float(last);
    f = f > 0.0f ? f : 0.0f;
    f = f < top ? f : top;
    const int32_t i = RoundedOrMin(f);
    return i > last ? last : i;
}

// A tiled texel index: round(f) & mask; out of range INT32_MIN & mask is 0.
inline int32_t WrappedIndex(float f, uint32_t mask) { return int32_t(uint32_t(RoundedOrMin(f)) & mask); }
#else
// A non-tiled texel index: round(f) clamped into [0, last].
inline int32_t ClampedIndex(float f, int32_t last) {
    const float top = float(last);
    f = f > 0.0f ? f : 0.0f;
    f = f < top ? f : top;
    int32_t i = 0;
    NearestInt(f, &i);
    return i > last ? last : i;
}

// A tiled texel index: round(f) & mask, 0 for a value out of range.
inline int32_t WrappedIndex(float f, uint32_t mask) {
    int32_t i = 0;
    if (!NearestInt(f, &i)) i = 0;
    return int32_t(uint32_t(i) & mask);
}
#endif

// What a depth changes: texel size, key form, channels and writes.
template <int Depth>
struct Texels {
    using F = pixel::Format<Depth>;
    static constexpr int kBytes = F::kBytes;
    // The key 0x00BBGGRR in the texel's form.
    static uint32_t Key(uint32_t k) {
        if (Depth == 16) return Pack16(int32_t(k & 0xFF), int32_t((k >> 8) & 0xFF), int32_t((k >> 16) & 0xFF));
        if (Depth == 15) return Pack15(int32_t(k & 0xFF), int32_t((k >> 8) & 0xFF), int32_t((k >> 16) & 0xFF));
        return ((k & 0xFF) << 16) | (k & 0xFF00) | ((k >> 16) & 0xFF);  // 0x00RRGGBB, as a pixel's low bytes
    }
    static bool IsKey(const uint8_t* t, uint32_t key) {
        uint32_t v = 0;
        if constexpr (Depth == 32) {
            // One whole load; the fourth byte is not part of the key.
            std::memcpy(&v, t, 4);
            return (v & 0xFFFFFFu) == key;
        }
        std::memcpy(&v, t, size_t(kBytes));
        return v == key;
    }
    // The texel copied unlit; `whole`: all four bytes of a 32-bit texel.
    static void Copy(uint8_t* px, const uint8_t* t, bool whole) {
        std::memcpy(px, t, Depth == 32 && !whole ? 3 : size_t(kBytes));
    }
};

template <>
struct Texels<8> {
    static constexpr int kBytes = 1;
    static bool IsKey(const uint8_t* t, uint32_t key) { return *t == key; }
    static void Copy(uint8_t* px, const uint8_t* t, bool) { *px = *t; }
};

// Everything a filler prepares once per polygon.
struct TexturedSpan {
    const uint8_t* texels;
    int32_t stride;
    int32_t lastColumn, lastRow;  // W - 1, H - 1: clamp bounds and masks
    uint32_t key;
    int32_t alpha;
    Rgb light;  // flat lighting: the polygon's colour and k
    int32_t k;
};

inline int32_t LitChannel(int32_t c, int32_t light, int32_t k, bool modulate) {
    return modulate ? (c * light) >> 8 : (light * k + c * (128 - k)) >> 7;
}

inline Rgb Lit(Rgb c, Rgb light, int32_t k, bool modulate) {
    return {LitChannel(c.r, light.r, k, modulate), LitChannel(c.g, light.g, k, modulate),
            LitChannel(c.b, light.b, k, modulate)};
}

// Flat lighting of a 15- or 16-bit texel by table: lighting and packing
// treat each channel alone, so the lit word is the OR of one entry per
// channel, made once per polygon from the same Lit and Pack.
template <int Depth>
struct FlatLitTable {
    static constexpr int kGreenBits = Depth == 16 ? 6 : 5;
    static constexpr int kRedShift = Depth == 16 ? 11 : 10;
    uint16_t red[32], green[64], blue[32];
    FlatLitTable(Rgb light, int32_t k, bool modulate) {
        using F = pixel::Format<Depth>;
        for (int32_t level = 0; level < 64; ++level) {
            uint8_t word[2];
            const auto entry = [&](uint32_t v) {
                const uint16_t texel = uint16_t(v);
                std::memcpy(word, &texel, 2);
                F::Put(word, Lit(F::Get(word), light, k, modulate));
                uint16_t lit;
                std::memcpy(&lit, word, 2);
                return lit;
            };
            // Each entry keeps its own channel's bits: mix lights a
            // channel of 0 too.
            const uint32_t greenMask = ((1u << kGreenBits) - 1) << 5;
            if (level < 32) red[level] = uint16_t(entry(uint32_t(level) << kRedShift) & (31u << kRedShift));
            if (level < (1 << kGreenBits)) green[level] = uint16_t(entry(uint32_t(level) << 5) & greenMask);
            if (level < 32) blue[level] = uint16_t(entry(uint32_t(level)) & 31u);
        }
    }
    uint16_t operator()(uint16_t v) const {
        return uint16_t(red[(v >> kRedShift) & 31] | green[(v >> 5) & ((1 << kGreenBits) - 1)] | blue[v & 31]);
    }
};

inline Rgb Blended(Rgb c, Rgb old, int32_t a) {
    return {(c.r * a + old.r * (255 - a)) >> 8, (c.g * a + old.g * (255 - a)) >> 8, (c.b * a + old.b * (255 - a)) >> 8};
}

template <class Table>
Table MakeFlatTable(const TexturedSpan& s, bool modulate) {
    if constexpr (std::is_empty_v<Table>)
        return Table{};
    else
        return Table(s.light, s.k, modulate);
}

// The rows of one polygon with one lighting loop.
template <int Depth, bool Tiled, bool Keyed, bool Translucent, Light L>
void TexturedRows(const TexturedSpan& s, LRenderAPI_Software* r, int32_t top, int32_t rows) {
    using T = Texels<Depth>;
    constexpr bool kGouraud = L == Light::GouraudModulate || L == Light::GouraudMix;
    constexpr bool kModulate = L == Light::FlatModulate || L == Light::GouraudModulate;
    constexpr bool kPlain = L == Light::None && !Translucent;
    constexpr bool kDepthFirst = Depth == 15 || Depth == 16 || !Keyed;
    constexpr bool kFlatTable = (Depth == 15 || Depth == 16) && !Translucent &&
                                (L == Light::FlatModulate || L == Light::FlatMix);
    const int32_t columns = r->DrawColumns();
    struct NoTable {};
    using Table = std::conditional_t<kFlatTable, FlatLitTable<Depth == 15 ? 15 : 16>, NoTable>;
    const Table flatLit = MakeFlatTable<Table>(s, kModulate);
    for (int32_t y = top; y < top + rows; ++y) {
        SpanRow row;
        if (!CutRow(r->leftEdges[y], r->rightEdges[y], columns, &row)) continue;
        uint8_t* px = r->frame + int64_t(y) * r->rowStep + int64_t(row.first) * T::kBytes;
        int32_t* z = r->depthBuffer + int64_t(y) * r->depthPitch + row.first;
        IntStep d(row.start->depth, row.end->depth, row);
        const LEdgeRecord &a = *row.start, &b = *row.end;
        const float n = float(row.n), skip = float(row.skip);
        const float qStep = (b.q - a.q) / n, uStep = (b.uq - a.uq) / n, vStep = (b.vq - a.vq) / n;
        float q = a.q + qStep * skip, uq = a.uq + uStep * skip, vq = a.vq + vStep * skip;
        IntStep red, green, blue, mix;
        if (kGouraud) {
            red = IntStep(a.red, b.red, row), green = IntStep(a.green, b.green, row);
            blue = IntStep(a.blue, b.blue, row);
            if (!kModulate) mix = IntStep(a.mix, b.mix, row);
        }
        for (int32_t i = 0; i < row.count; ++i, px += T::kBytes) {
            if (z[i] <= d.value) {
                if (kDepthFirst) z[i] = d.value;
                const float w = 1.0f / q;
                const float su = uq * w, sv = vq * w;
                const int32_t sc = Tiled ? WrappedIndex(su, uint32_t(s.lastColumn)) : ClampedIndex(su, s.lastColumn);
                const int32_t tr = Tiled ? WrappedIndex(sv, uint32_t(s.lastRow)) : ClampedIndex(sv, s.lastRow);
                const uint8_t* t = s.texels + int64_t(tr) * s.stride + int64_t(sc) * T::kBytes;
                if (!Keyed || !T::IsKey(t, s.key)) {
                    if (!kDepthFirst) z[i] = d.value;
                    if constexpr (Depth == 8 || kPlain) {
                        T::Copy(px, t, !Keyed);
                    } else if constexpr (kFlatTable) {
                        uint16_t v;
                        std::memcpy(&v, t, 2);
                        v = flatLit(v);
                        std::memcpy(px, &v, 2);
                    } else {
                        using F = typename T::F;
                        Rgb c = F::Get(t);
                        if constexpr (kGouraud) {
                            const Rgb light{red.value >> 16, green.value >> 16, blue.value >> 16};
                            const int32_t k = kModulate ? 0 : std::abs((mix.value >> 16) - 128);
                            c = Lit(c, light, k, kModulate);
                        } else if constexpr (L != Light::None) {
                            c = Lit(c, s.light, s.k, kModulate);
                        }
                        if (Translucent) c = Blended(c, F::Get(px), s.alpha);
                        F::Put(px, c);
                    }
                }
            }
            q += qStep;
            uq += uStep;
            vq += vStep;
            d.value += d.step;
            if (kGouraud) {
                red.value += red.step;
                green.value += green.step;
                blue.value += blue.step;
                if (!kModulate) mix.value += mix.step;
            }
        }
    }
}

// The unshaded opaque loops shared by the 15- and 16-bit targets: the texel
// word is copied unchanged, so one instance serves both formats.
template <bool Tiled, bool Keyed>
void CopySpans16(const TexturedSpan& s, LRenderAPI_Software* r, int32_t top, int32_t rows) {
    TexturedRows<16, Tiled, Keyed, false, Light::None>(s, r, top, rows);
}

// The filler of one entry at one depth (the span routine).
template <int Depth, int Entry>
void FillTexturedEntry(LPolygon_Software* p) {
    constexpr bool kTiled = Entry >= 7;
    constexpr bool kKeyed = ((Entry - 3) & 2) != 0;
    constexpr bool kTranslucent = ((Entry - 3) & 1) != 0 && Depth != 8;
    LRenderAPI_Software* r = CurrentSoftwareRenderer();
    if (!r || !r->frame || !r->depthBuffer || !r->leftEdges || !p->material) return;
    LMaterial& m = *p->material;
    int32_t top = 0;
    const int32_t rows = p->SetupTexturedEdges(&top);
    LTexture* texture = m.GetTexture(0);
    // A texture of another pixel size than the target's would be read past;
    // one without pixels never reaches here (the untextured entries).
    const bool usable = rows > 0 && texture && texture->GetPixels() && texture->GetWidth() > 0 &&
                        texture->GetHeight() > 0 && BytesPerPixel(texture->GetBitsPerPixel()) == Texels<Depth>::kBytes;
    if (usable) {
        if (texture->GetFlags() & LTexture::kEnvMapped) p->ComputeEnvironmentUV(1);
        TexturedSpan s;
        s.texels = texture->GetPixels();
        s.stride = texture->GetPitch();
        s.lastColumn = texture->GetWidth() - 1;
        s.lastRow = texture->GetHeight() - 1;
        s.alpha = m.transparency;
        s.light = {p->litColour[0], p->litColour[1], p->litColour[2]};
        s.k = std::abs(int32_t(p->litColour[3]) - 128);
        if constexpr (Depth == 8) {
            s.key = texture->GetTransparentIndex();
            TexturedRows<8, kTiled, kKeyed, false, Light::None>(s, r, top, rows);
        } else {
            s.key = Texels<Depth>::Key(texture->GetTransparentColor());
            const bool modulate = (r->states & LRenderAPICLBK::kStateModulate) != 0;
            if (p->IsGouraud()) {
                if (modulate)
                    TexturedRows<Depth, kTiled, kKeyed, kTranslucent, Light::GouraudModulate>(s, r, top, rows);
                else
                    TexturedRows<Depth, kTiled, kKeyed, kTranslucent, Light::GouraudMix>(s, r, top, rows);
            } else if (p->IsFlatShaded()) {
                if (modulate)
                    TexturedRows<Depth, kTiled, kKeyed, kTranslucent, Light::FlatModulate>(s, r, top, rows);
                else
                    TexturedRows<Depth, kTiled, kKeyed, kTranslucent, Light::FlatMix>(s, r, top, rows);
            } else if ((Depth == 15 || Depth == 16) && !kTranslucent) {
                CopySpans16<kTiled, kKeyed>(s, r, top, rows);
            } else {
                TexturedRows<Depth, kTiled, kKeyed, kTranslucent, Light::None>(s, r, top, rows);
            }
        }
    }
    if (m.flags & LMaterial::kWireFrame) DrawOutlineForDepth(p, Depth);
}

}  // namespace spans
