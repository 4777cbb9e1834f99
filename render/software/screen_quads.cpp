// The screen quads: a textured quad in screen space (the world's background)
// filled with affine 16.16 texel coordinates, the texture repeating through
// the masks W - 1 and H - 1; no depth test or write, no key, no lighting, no
// outline. Rows and columns are cut to the target (a background scaled
// above 1 reaches past it). Two pixels per loop round, then the odd one.
#include "engine3d/material.h"
#include "engine3d/texture.h"
#include "render/software/software_polygon.h"
#include "render/software/software_renderer.h"
#include "render/software/span_rows.h"

#include <cstring>

namespace {

// Copies `Bytes` bytes of the texel (32 bits: its first three).
template <int Bytes>
inline void CopyTexel(uint8_t* to, const uint8_t* from) {
    std::memcpy(to, from, Bytes == 4 ? 3 : Bytes);
}

template <int Bytes>
void FillQuad(LPolygon_Software* p) {
    LRenderAPI_Software* r = CurrentSoftwareRenderer();
    if (!r || !r->frame || !r->leftEdges || !p->material) return;
    const LTexture* texture = p->material->GetTexture(0);
    if (!texture || !texture->GetPixels() || texture->GetWidth() <= 0 || texture->GetHeight() <= 0) return;
    // A texture of another pixel size than the target's would be read past.
    const int32_t texelBytes = texture->GetBitsPerPixel() == 8    ? 1
                               : texture->GetBitsPerPixel() <= 16 ? 2
                               : texture->GetBitsPerPixel() == 24 ? 3
                                                                  : 4;
    if (texelBytes != Bytes) return;
    const uint8_t* texels = texture->GetPixels();
    const int32_t stride = texture->GetPitch();
    const int32_t wMask = texture->GetWidth() - 1, hMask = texture->GetHeight() - 1;
    int32_t top = 0;
    const int32_t rows = p->SetupQuadEdges(&top);
    const int32_t columns = r->DrawColumns();
    const auto at = [&](int32_t u, int32_t v) {
        return texels + int64_t((v >> 16) & hMask) * stride + int64_t((u >> 16) & wMask) * Bytes;
    };
    for (int32_t y = top; y < top + rows; ++y) {
        SpanRow row;
        if (!CutRow(r->leftEdges[y], r->rightEdges[y], columns, &row)) continue;
        uint8_t* px = r->frame + int64_t(y) * r->rowStep + int64_t(row.first) * Bytes;
        // Unsigned stepping: the coordinates may wrap, the masks keep the
        // fetch inside the texture.
        const IntStep u(row.start->u16, row.end->u16, row), v(row.start->v16, row.end->v16, row);
        uint32_t uu = uint32_t(u.value), vv = uint32_t(v.value);
        const uint32_t du = uint32_t(u.step), dv = uint32_t(v.step);
        int32_t i = 0;
        for (; i + 1 < row.count; i += 2, px += 2 * Bytes) {
            CopyTexel<Bytes>(px, at(int32_t(uu), int32_t(vv)));
            CopyTexel<Bytes>(px + Bytes, at(int32_t(uu + du), int32_t(vv + dv)));
            uu += 2 * du;
            vv += 2 * dv;
        }
        if (i < row.count) CopyTexel<Bytes>(px, at(int32_t(uu), int32_t(vv)));
    }
}

}  // namespace

void LPolygon_Software::FillQuad8() { FillQuad<1>(this); }
void LPolygon_Software::FillQuad16() { FillQuad<2>(this); }
void LPolygon_Software::FillQuad24() { FillQuad<3>(this); }
void LPolygon_Software::FillQuad32() { FillQuad<4>(this); }
