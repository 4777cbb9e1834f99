// The sprite fills: a colour fill and a texture blit per target depth, each
// opaque or blended, blits also keyed (8 and 24 bits: plain only). Rows and
// columns as the span rules (the end column and bottom row are not drawn),
// cut to the target; no depth test, no depth write, no lighting. The
// 32-bit key compares the texel's low 24 bits with 0x00RRGGBB and keyed and
// plain 32-bit blits copy all four bytes; blends keep the fourth byte.
#include "engine3d/material.h"
#include "engine3d/texture.h"
#include "render/software/pixel_formats.h"
#include "render/software/software_polygon.h"
#include "render/software/software_renderer.h"
#include "render/software/span_fillers.h"
#include "render/software/span_rows.h"
#include "render/software/span_tables.h"

#include <cstring>

namespace {

using pixel::Rgb;

void OutlineIfAsked(LPolygon_Software* p, int32_t depth) {
    if (p->material->flags & LMaterial::kWireFrame) DrawOutlineForDepth(p, depth);
}

// One pixel of a colour fill.
template <int Depth, bool Blend>
inline void PutColour(uint8_t* px, Rgb c, uint8_t index, int32_t a) {
    if constexpr (Depth == 8) {
        *px = index;
    } else {
        using F = pixel::Format<Depth>;
        if (Blend)
            F::Put(px, spans::Blended(c, F::Get(px), a));
        else
            F::PutWhole(px, c);
    }
}

template <int Depth, bool Blend>
void FillColour(LPolygon_Software* p) {
    LRenderAPI_Software* r = CurrentSoftwareRenderer();
    if (!r || !r->frame || !r->leftX || !p->material) return;
    const LMaterial& m = *p->material;
    constexpr int32_t kBytes = spans::Texels<Depth>::kBytes;
    int32_t top = 0;
    const int32_t rows = p->SetupFlatEdges(&top);
    const Rgb c{m.GetRed(), m.GetGreen(), m.GetBlue()};
    const uint8_t index = m.GetPaletteIndex();
    const int32_t a = m.transparency, columns = r->DrawColumns();
    for (int32_t y = top; y < top + rows; ++y) {
        const int32_t left = r->leftX[y], right = r->rightX[y];
        int32_t from = left < right ? left : right, to = left < right ? right : left;
        from = from < 0 ? 0 : from;
        to = to > columns ? columns : to;
        uint8_t* px = r->frame + int64_t(y) * r->rowStep + int64_t(from) * kBytes;
        for (int32_t x = from; x < to; ++x, px += kBytes) PutColour<Depth, Blend>(px, c, index, a);
    }
    OutlineIfAsked(p, Depth);
}

template <int Depth, bool Keyed, bool Blend>
void BlitTexture(LPolygon_Software* p) {
    using T = spans::Texels<Depth>;
    LRenderAPI_Software* r = CurrentSoftwareRenderer();
    if (!r || !r->frame || !r->leftEdges || !p->material) return;
    const LMaterial& m = *p->material;
    const LTexture* texture = m.GetTexture(0);
    int32_t top = 0;
    const int32_t rows = p->SetupQuadEdges(&top);
    if (rows > 0 && texture && texture->GetPixels() && texture->GetWidth() > 0 && texture->GetHeight() > 0 &&
        BytesPerPixel(texture->GetBitsPerPixel()) == T::kBytes) {
        const uint8_t* texels = texture->GetPixels();
        const int32_t stride = texture->GetPitch();
        const uint32_t wMask = uint32_t(texture->GetWidth() - 1), hMask = uint32_t(texture->GetHeight() - 1);
        uint32_t key = 0;
        if constexpr (Keyed) key = T::Key(texture->GetTransparentColor());
        const int32_t a = m.transparency, columns = r->DrawColumns();
        for (int32_t y = top; y < top + rows; ++y) {
            SpanRow row;
            if (!CutRow(r->leftEdges[y], r->rightEdges[y], columns, &row)) continue;
            uint8_t* px = r->frame + int64_t(y) * r->rowStep + int64_t(row.first) * T::kBytes;
            const IntStep u(row.start->u16, row.end->u16, row), v(row.start->v16, row.end->v16, row);
            // Unsigned stepping: coordinates may wrap, the masks keep the
            // fetch inside the texture.
            uint32_t uu = uint32_t(u.value), vv = uint32_t(v.value);
            const uint32_t du = uint32_t(u.step), dv = uint32_t(v.step);
            for (int32_t i = 0; i < row.count; ++i, px += T::kBytes, uu += du, vv += dv) {
                const uint8_t* t = texels + int64_t((vv >> 16) & hMask) * stride + int64_t((uu >> 16) & wMask) * T::kBytes;
                if (Keyed && T::IsKey(t, key)) continue;
                if constexpr (Blend) {
                    using F = typename T::F;
                    F::Put(px, spans::Blended(F::Get(t), F::Get(px), a));
                } else {
                    T::Copy(px, t, true);
                }
            }
        }
    }
    OutlineIfAsked(p, Depth);
}

}  // namespace

void LPolygon_Software::FillColor8() { FillColour<8, false>(this); }
void LPolygon_Software::FillColor16(int32_t depth) {
    if (depth == 15)
        FillColour<15, false>(this);
    else
        FillColour<16, false>(this);
}
void LPolygon_Software::FillColor24() { FillColour<24, false>(this); }
void LPolygon_Software::FillColor32() { FillColour<32, false>(this); }
void LPolygon_Software::FillColorBlend15() { FillColour<15, true>(this); }
void LPolygon_Software::FillColorBlend16() { FillColour<16, true>(this); }
void LPolygon_Software::FillColorBlend32() { FillColour<32, true>(this); }

void LPolygon_Software::BlitTexture8() { BlitTexture<8, false, false>(this); }
void LPolygon_Software::BlitTexture16(int32_t depth) {
    if (depth == 15)
        BlitTexture<15, false, false>(this);
    else
        BlitTexture<16, false, false>(this);
}
void LPolygon_Software::BlitTexture24() { BlitTexture<24, false, false>(this); }
void LPolygon_Software::BlitTexture32() { BlitTexture<32, false, false>(this); }
void LPolygon_Software::BlitTextureBlend15() { BlitTexture<15, false, true>(this); }
void LPolygon_Software::BlitTextureBlend16() { BlitTexture<16, false, true>(this); }
void LPolygon_Software::BlitTextureBlend32() { BlitTexture<32, false, true>(this); }
void LPolygon_Software::BlitTextureKeyed16(int32_t depth) {
    if (depth == 15)
        BlitTexture<15, true, false>(this);
    else
        BlitTexture<16, true, false>(this);
}
void LPolygon_Software::BlitTextureKeyed32() { BlitTexture<32, true, false>(this); }
void LPolygon_Software::BlitTextureKeyedBlend15() { BlitTexture<15, true, true>(this); }
void LPolygon_Software::BlitTextureKeyedBlend16() { BlitTexture<16, true, true>(this); }
void LPolygon_Software::BlitTextureKeyedBlend32() { BlitTexture<32, true, true>(this); }
