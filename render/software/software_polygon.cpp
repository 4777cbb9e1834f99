#include "render/software/software_polygon.h"

#include "engine3d/camera_view.h"
#include "engine3d/material.h"
#include "engine3d/texture.h"
#include "engine3d/world.h"
#include "render/software/software_renderer.h"
#include "render/software/span_tables.h"
#include "render/software/span_values.h"

#include <cmath>
#include <cstdlib>

namespace {

// The span routine of the draw slot: the object is the table entry.
void RunSpan(void* entry, LPolygon* polygon, LCameraView*) {
    auto* p = dynamic_cast<LPolygon_Software*>(polygon);
    if (p) (*static_cast<const SpanRoutine*>(entry))(p);
}

void RunClipped(void*, LPolygon* polygon, LCameraView* camera) {
    if (auto* p = dynamic_cast<LPolygon_Software*>(polygon)) p->DrawClipped(camera);
}

void RunClippedShaded(void*, LPolygon* polygon, LCameraView* camera) {
    if (auto* p = dynamic_cast<LPolygon_Software*>(polygon)) p->DrawClippedShaded(camera);
}

// The whole multiple of `size` that makes `lowest` non-negative.
float ShiftFor(float lowest, float size) {
    if (!(lowest < 0.0f)) return 0.0f;
    return std::ceil(-lowest / size) * size;
}

float Finite(float f) { return std::isfinite(f) ? f : 0.0f; }

}  // namespace

LPolygon_Software::LPolygon_Software(LPolygonOwner* ownerObject, int32_t reserved, void* callbackObject)
    : LPolygon(ownerObject, reserved, callbackObject) {
    ChooseSpanRoutine();
}

int32_t LPolygon_Software::GetDepth() const {
    const L3DWorld* world = GetWorld();
    return world ? world->GetColourDepth() : 0;
}

// A layer-0 texture with pixels of at least one texel each way, else null
// (such a polygon takes the untextured path).
LTexture* LPolygon_Software::UsableTexture() const {
    LTexture* texture = material ? material->GetTexture(0) : nullptr;
    if (!texture || texture->GetWidth() <= 0 || texture->GetHeight() <= 0) return nullptr;
    return texture;
}

void LPolygon_Software::ComputeTexCoords() {
    if (!material) return;
    const LTexture* texture = UsableTexture();
    if (!texture) {
        for (auto& pair : texel) pair[0] = pair[1] = 0.0f;
        texelScale[0] = texelScale[1] = texelOffset[0] = texelOffset[1] = 0.0f;
        return;
    }
    const float w = float(texture->GetWidth()), h = float(texture->GetHeight());
    float kx, ky, ox, oy;
    texture->GetTiling(&kx, &ky);
    texture->GetOffset(&ox, &oy);
    const float ax = (kx - 1.0f) * 0.5f, ay = (ky - 1.0f) * 0.5f;
    const float cx = 1.0f - (std::trunc(ax) - ax), cy = 1.0f - (std::trunc(ay) - ay);
    // u = ((s - ox) kx - cx) W and v = -((t - oy) ky - cy) H, as a map.
    texelScale[0] = Finite(kx * w);
    texelOffset[0] = Finite(-(ox * kx + cx) * w);
    texelScale[1] = Finite(-ky * h);
    texelOffset[1] = Finite((oy * ky + cy) * h);
    const int32_t n = count;
    float lowU = 0.0f, lowV = 0.0f;
    for (int32_t i = 0; i < n; ++i) {
        texel[i][0] = Finite(((uv[i][0] - ox) * kx - cx) * w);
        texel[i][1] = Finite(-((uv[i][1] - oy) * ky - cy) * h);
        if (i == 0 || texel[i][0] < lowU) lowU = texel[i][0];
        if (i == 0 || texel[i][1] < lowV) lowV = texel[i][1];
    }
    // Whole texture sizes in one step: the same as adding them one by one,
    // and it ends for huge coordinates too.
    const float du = Finite(ShiftFor(lowU, w)), dv = Finite(ShiftFor(lowV, h));
    for (int32_t i = 0; i < n; ++i) {
        texel[i][0] += du;
        texel[i][1] += dv;
    }
    texelOffset[0] += du;
    texelOffset[1] += dv;
}

void LPolygon_Software::ComputeEnvironmentUV(int32_t flip) {
    if (count <= 2) return;
    LPolygon::ComputeEnvironmentUV(flip);
    if (!material) return;
    const LTexture* mapped = nullptr;
    for (int32_t layer = 0; layer < 2 && !mapped; ++layer) {
        const LTexture* t = material->GetTexture(layer);
        if (t && (t->GetFlags() & LTexture::kEnvMapped)) mapped = t;
    }
    if (!mapped) return;
    const float w = float(mapped->GetWidth()), h = float(mapped->GetHeight());
    for (int32_t i = 0; i < count; ++i) {
        uv[i][0] = std::fabs(uv[i][0]) * w;
        uv[i][1] = std::fabs(uv[i][1]) * h;
    }
}

int32_t LPolygon_Software::ChooseSpanEntry() {
    const uint32_t flags = material->flags;
    if (flags & LMaterial::kHidden) return -1;
    const LTexture* texture = UsableTexture();
    if ((flags & LMaterial::kMapped) && texture) {
        const float w = float(texture->GetWidth()), h = float(texture->GetHeight());
        float kx, ky, ox, oy;
        texture->GetTiling(&kx, &ky);
        texture->GetOffset(&ox, &oy);
        bool tiled = kx != 1.0f || ky != 1.0f || ox != 0.0f || oy != 0.0f;
        for (int32_t i = 0; i < count; ++i)
            if (texel[i][0] > w || texel[i][1] > h) tiled = true;
        const bool keyed = texture->NeedsBlending() != 0;
        const bool translucent = material->transparency < 255;
        return kSpanTexturedFirst + 4 * int32_t(tiled) + 2 * int32_t(keyed) + int32_t(translucent);
    }
    if (flags & LMaterial::kFlat) return material->transparency < 255 ? kSpanSolidTranslucent : kSpanSolid;
    if (flags & LMaterial::kWireFrame) return kSpanOutline;
    return -1;
}

void LPolygon_Software::ChooseSpanRoutine() {
    if (!material) return;
    material->clippedDraw.routine = IsGouraud() ? &RunClippedShaded : &RunClipped;
    material->clippedDraw.object = nullptr;
    ComputeTexCoords();
    int32_t depth = GetDepth();
    if (!GetWorld()) {
        const LRenderAPI_Software* current = CurrentSoftwareRenderer();
        depth = current ? current->depth : 8;
    }
    const SpanRoutine* table = SpanTableFor(depth);
    if (!table) return;
    const int32_t entry = ChooseSpanEntry();
    const SpanRoutine* chosen = entry < 0 ? &kEmptySpan[0] : &table[entry];
    if (material->draw.routine == &RunSpan && material->draw.object == chosen) return;
    material->draw.routine = &RunSpan;
    material->draw.object = const_cast<SpanRoutine*>(chosen);
}

int32_t LPolygon_Software::DrawClipped(LCameraView* camera) { return DrawClippedWith(camera, false); }

int32_t LPolygon_Software::DrawClippedShaded(LCameraView* camera) { return DrawClippedWith(camera, true); }

int32_t LPolygon_Software::DrawClippedWith(LCameraView* camera, bool shaded) {
    if (!camera) return 0;
    L3DPoint* clipped[kMaxClipPoints];
    const int32_t n = shaded ? ClipToFrustumShaded(camera, clipped) : ClipToFrustum(camera, clipped);
    if (n < 3) return n;
    LRenderAPI_Software* renderer = CurrentSoftwareRenderer();
    SetDrawPoints(clipped, n);
    if (renderer) renderer->clippedDraw = 1;
    ++camera->polygonsDrawn;
    if (material && material->draw.routine) material->draw.routine(material->draw.object, this, camera);
    if (renderer) renderer->clippedDraw = 0;
    SetDrawPoints(nullptr, 0);
    return n;
}

// ---- edge set-up ------------------------------------------------------------

int32_t LPolygon_Software::SetupFlatEdges(int32_t* top) { return SetupEdges<SetupKind::Flat>(top); }
int32_t LPolygon_Software::SetupQuadEdges(int32_t* top) { return SetupEdges<SetupKind::Quad>(top); }
int32_t LPolygon_Software::SetupSolidEdges(int32_t* top) { return SetupEdges<SetupKind::Solid>(top); }
int32_t LPolygon_Software::SetupTexturedEdges(int32_t* top) { return SetupEdges<SetupKind::Textured>(top); }

namespace {

// What one vertex gives an edge: the values at its end.
struct EdgeEnd {
    int32_t row, x, depth;
    float q, uq, vq;
    int32_t colour[4];  // red, green, blue, mix (8-bit values)
};

int32_t ToFixed16(float f) { return SaturateToInt(f * 65536.0f); }

}  // namespace

template <LPolygon_Software::SetupKind kind>
int32_t LPolygon_Software::SetupEdges(int32_t* top) {
    *top = 0;
    LRenderAPI_Software* r = CurrentSoftwareRenderer();
    const int32_t n = DrawCount();
    if (!r || n < 1) return 0;
    L3DPoint* const* v = DrawPoints();
    if (!r->clippedDraw && !m_drawPoints) {
        for (int32_t i = 0; i < n; ++i) {
            points[i]->u = points[i]->drawU = uv[i][0];
            points[i]->v = points[i]->drawV = uv[i][1];
        }
    }
    int32_t ti = 0, bi = 0;
    for (int32_t i = 1; i < n; ++i) {
        if (v[i]->screenY < v[ti]->screenY) ti = i;
        if (v[i]->screenY > v[bi]->screenY) bi = i;
    }
    const int32_t topRow = NearestRow(v[ti]->screenY), bottomRow = NearestRow(v[bi]->screenY);
    const int32_t rowLimit = r->DrawRows();
    if (topRow < 0 || bottomRow < 0 || topRow == bottomRow || topRow >= rowLimit) return 0;

    const bool gouraud = IsGouraud();
    const bool modulate = (r->states & LRenderAPICLBK::kStateModulate) != 0;
    int32_t matColour[3] = {0, 0, 0};
    if (material) matColour[0] = material->GetRed(), matColour[1] = material->GetGreen(), matColour[2] = material->GetBlue();
    constexpr bool mapped = kind == SetupKind::Textured;

    const auto endOf = [&](const L3DPoint* p) {
        EdgeEnd e;
        e.row = NearestRow(p->screenY);
        e.x = NearestColumn(p->screenX);
        e.q = p->inverseDepth;
        e.depth = DepthValue(p->inverseDepth);
        float u = p->drawU, vv = p->drawV;
        if (mapped) u = u * texelScale[0] + texelOffset[0], vv = vv * texelScale[1] + texelOffset[1];
        e.uq = u * e.q;
        e.vq = vv * e.q;
        if (kind == SetupKind::Quad) e.uq = u, e.vq = vv;
        for (int c = 0; c < 4; ++c) e.colour[c] = p->colour[c];
        if (kind == SetupKind::Solid && gouraud) {
            const int32_t k = std::abs(int32_t(p->colour[3]) - 128);
            for (int c = 0; c < 3; ++c)
                e.colour[c] = modulate ? (p->colour[c] * matColour[c]) >> 8
                                       : (p->colour[c] * k + matColour[c] * (128 - k)) >> 7;
        }
        return e;
    };
    const bool records = kind != SetupKind::Flat || gouraud;
    const bool withMix = mapped && !modulate;
    // Each vertex's values once: every vertex ends two edges.
    if (n > kMaxClipPoints) return 0;
    EdgeEnd ends[kMaxClipPoints];
    for (int32_t i = 0; i < n; ++i) ends[i] = endOf(v[i]);

    const auto walk = [&](int32_t from, int32_t to, LEdgeRecord* table, int32_t* columns) {
        for (int32_t i = from; i != to; i = (i + 1) % n) {
            EdgeEnd a = ends[i], b = ends[(i + 1) % n];
            int32_t dy = b.row - a.row;
            if (dy == 0) continue;
            if (dy < 0) {
                std::swap(a, b);
                dy = -dy;
            }
            // Every row of an edge lies in [top, bottom]; rows from the
            // limit on are not the target's.
            const int32_t rows = a.row + dy > rowLimit ? rowLimit - a.row : dy;
            int64_t x = int64_t(a.x) * 65536;
            const int64_t xStep = (int64_t(b.x) - a.x) * 65536 / dy;
            int32_t depth = a.depth;
            const int32_t depthStep = int32_t((int64_t(b.depth) - a.depth) / dy);
            const float fdy = float(dy);
            float q = a.q, uq = a.uq, vq = a.vq;
            const float qStep = (b.q - a.q) / fdy, uStep = (b.uq - a.uq) / fdy, vStep = (b.vq - a.vq) / fdy;
            int32_t colour[4] = {}, colourStep[4] = {};
            if (gouraud)
                for (int c = 0; c < 4; ++c) {
                    colour[c] = a.colour[c] * 65536;
                    colourStep[c] = (b.colour[c] - a.colour[c]) * 65536 / dy;
                }
            // Screen quads step 16.16 texel coordinates.
            int32_t u16 = 0, v16 = 0, u16Step = 0, v16Step = 0;
            if constexpr (kind == SetupKind::Quad) {
                u16 = ToFixed16(a.uq), v16 = ToFixed16(a.vq);
                u16Step = int32_t((int64_t(ToFixed16(b.uq)) - u16) / dy);
                v16Step = int32_t((int64_t(ToFixed16(b.vq)) - v16) / dy);
            }
            for (int32_t k = 0; k < rows; ++k) {
                const int32_t row = a.row + k;
                const int32_t column = int32_t(x >> 16);
                if (columns) columns[row] = column;
                if (records) {
                    LEdgeRecord& e = table[row];
                    e.x = column;
                    if (kind == SetupKind::Quad) {
                        e.u16 = u16;
                        e.v16 = v16;
                    } else if (mapped) {
                        e.uq = uq;
                        e.vq = vq;
                        e.q = q;
                    }
                    if (kind == SetupKind::Solid || mapped) e.depth = depth;
                    if (gouraud) {
                        e.red = colour[0];
                        e.green = colour[1];
                        e.blue = colour[2];
                        if (withMix) e.mix = colour[3];
                    }
                }
                // Only the values this kind of set-up records are stepped.
                x += xStep;
                if constexpr (kind == SetupKind::Solid || mapped) depth += depthStep;
                if constexpr (mapped) {
                    q += qStep;
                    uq += uStep;
                    vq += vStep;
                }
                if constexpr (kind == SetupKind::Quad) {
                    u16 += u16Step;
                    v16 += v16Step;
                }
                if (gouraud)
                    for (int c = 0; c < 4; ++c) colour[c] += colourStep[c];
            }
        }
    };
    const bool flat = kind == SetupKind::Flat;
    walk(ti, bi, r->leftEdges, flat ? r->leftX : nullptr);
    walk(bi, ti, r->rightEdges, flat ? r->rightX : nullptr);
    *top = topRow;
    return (bottomRow < rowLimit ? bottomRow : rowLimit) - topRow;
}
