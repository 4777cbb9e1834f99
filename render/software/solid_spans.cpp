// The untextured span entries: the outline (0), the solid fill (1) and the
// translucent solid fill (2) of every depth, the depth-tested line that
// draws outlines, and the span tables (the textured entries are
// span_fillers.h's).
#include "engine3d/material.h"
#include "render/software/pixel_formats.h"
#include "render/software/software_polygon.h"
#include "render/software/software_renderer.h"
#include "render/software/span_rows.h"
#include "render/software/span_tables.h"
#include "render/software/span_values.h"

#include <cstdlib>

namespace {

using pixel::Rgb;

Rgb MaterialRgb(const LMaterial& m) { return {m.GetRed(), m.GetGreen(), m.GetBlue()}; }

// The one colour of a polygon that is not Gouraud-shaded.
Rgb FlatColour(const LPolygon_Software& p, const LRenderAPI_Software& r) {
    const Rgb m = MaterialRgb(*p.material);
    if (!p.IsFlatShaded()) return m;
    const uint8_t* lit = p.litColour;
    if (r.states & LRenderAPICLBK::kStateModulate)
        return {(m.r * lit[0]) >> 8, (m.g * lit[1]) >> 8, (m.b * lit[2]) >> 8};
    const int32_t k = std::abs(int32_t(lit[3]) - 128);
    return {(lit[0] * k + m.r * (128 - k)) >> 7, (lit[1] * k + m.g * (128 - k)) >> 7,
            (lit[2] * k + m.b * (128 - k)) >> 7};
}

// new = (old (255 - a) + colour a) >> 8, per channel.
Rgb Blend(Rgb old, Rgb c, int32_t a) {
    return {(old.r * (255 - a) + c.r * a) >> 8, (old.g * (255 - a) + c.g * a) >> 8, (old.b * (255 - a) + c.b * a) >> 8};
}

bool Drawable(const LRenderAPI_Software* r) { return r && r->frame && r->depthBuffer && r->leftEdges; }

template <int Depth, bool Translucent>
void FillSolid(LPolygon_Software* p) {
    LRenderAPI_Software* r = CurrentSoftwareRenderer();
    if (!Drawable(r) || !p->material) return;
    using F = pixel::Format<Depth>;
    int32_t top = 0;
    const int32_t rows = p->SetupSolidEdges(&top);
    const bool gouraud = p->IsGouraud();
    const Rgb flat = FlatColour(*p, *r);
    const int32_t a = p->material->transparency;
    const int32_t columns = r->DrawColumns();
    for (int32_t y = top; y < top + rows; ++y) {
        SpanRow row;
        if (!CutRow(r->leftEdges[y], r->rightEdges[y], columns, &row)) continue;
        uint8_t* px = r->frame + int64_t(y) * r->rowStep + int64_t(row.first) * F::kBytes;
        int32_t* z = r->depthBuffer + int64_t(y) * r->depthPitch + row.first;
        IntStep d(row.start->depth, row.end->depth, row);
        if (!gouraud) {
            for (int32_t i = 0; i < row.count; ++i, px += F::kBytes, d.value += d.step) {
                if (z[i] > d.value) continue;
                z[i] = d.value;
                if (Translucent)
                    F::Put(px, Blend(F::Get(px), flat, a));
                else
                    F::PutWhole(px, flat);
            }
            continue;
        }
        IntStep red(row.start->red, row.end->red, row), green(row.start->green, row.end->green, row),
            blue(row.start->blue, row.end->blue, row);
        for (int32_t i = 0; i < row.count; ++i, px += F::kBytes) {
            if (z[i] <= d.value) {
                z[i] = d.value;
                const Rgb c{red.value >> 16, green.value >> 16, blue.value >> 16};
                F::Put(px, Translucent ? Blend(F::Get(px), c, a) : c);
            }
            d.value += d.step;
            red.value += red.step;
            green.value += green.step;
            blue.value += blue.step;
        }
    }
    if (p->material->flags & LMaterial::kWireFrame) DrawOutlineForDepth(p, Depth);
}

// Palettes: the material's index wherever the depth test passes.
void FillSolid8(LPolygon_Software* p) {
    LRenderAPI_Software* r = CurrentSoftwareRenderer();
    if (!Drawable(r) || !p->material) return;
    int32_t top = 0;
    const int32_t rows = p->SetupSolidEdges(&top);
    const uint8_t index = p->material->GetPaletteIndex();
    const int32_t columns = r->DrawColumns();
    for (int32_t y = top; y < top + rows; ++y) {
        SpanRow row;
        if (!CutRow(r->leftEdges[y], r->rightEdges[y], columns, &row)) continue;
        uint8_t* px = r->frame + int64_t(y) * r->rowStep + row.first;
        int32_t* z = r->depthBuffer + int64_t(y) * r->depthPitch + row.first;
        IntStep d(row.start->depth, row.end->depth, row);
        for (int32_t i = 0; i < row.count; ++i, d.value += d.step) {
            if (z[i] > d.value) continue;
            z[i] = d.value;
            px[i] = index;
        }
    }
    if (p->material->flags & LMaterial::kWireFrame) DrawOutlineForDepth(p, 8);
}

template <int Depth>
void DrawOutline(LPolygon_Software* p) {
    DrawOutlineForDepth(p, Depth);
}

void DrawNothing(LPolygon_Software*) {}

// Writes one line point in the target's format.
void PutLinePoint(uint8_t* px, int32_t depth, Rgb c, uint8_t index) {
    switch (depth) {
    case 32: pixel::Format<32>::PutWhole(px, c); break;
    case 24: pixel::Format<24>::Put(px, c); break;
    case 16: pixel::Format<16>::Put(px, c); break;
    case 15: pixel::Format<15>::Put(px, c); break;
    default: *px = index; break;
    }
}

int32_t BytesOf(int32_t depth) { return depth == 8 ? 1 : depth <= 16 ? 2 : depth == 24 ? 3 : 4; }

int32_t Clamp(int32_t v, int32_t low, int32_t high) { return v < low ? low : (v > high ? high : v); }

}  // namespace

void DrawDepthLine(LPolygon_Software* p, int32_t depth, int32_t x0, int32_t y0, float q0, int32_t x1, int32_t y1,
                   float q1) {
    LRenderAPI_Software* r = CurrentSoftwareRenderer();
    if (!Drawable(r) || !p->material) return;
    const int32_t width = r->DrawColumns(), height = r->DrawRows();
    if (width < 1 || height < 1) return;
    x0 = Clamp(x0, 0, width - 1), x1 = Clamp(x1, 0, width - 1);
    y0 = Clamp(y0, 0, height - 1), y1 = Clamp(y1, 0, height - 1);
    int32_t z = DepthValue(q0);
    const int32_t total = SaturateToInt(q1 * 8388608.0f - q0 * 8388608.0f);
    const LMaterial& m = *p->material;
    const bool white = (m.flags & (LMaterial::kFlat | LMaterial::kMapped)) != 0;
    const Rgb colour = white ? Rgb{255, 255, 255} : MaterialRgb(m);
    const uint8_t index = white ? 255 : m.GetPaletteIndex();
    const int32_t bytes = BytesOf(depth);
    const int32_t dx = std::abs(x1 - x0), dy = std::abs(y1 - y0);
    const int32_t sx = x1 >= x0 ? 1 : -1, sy = y1 >= y0 ? 1 : -1;
    int32_t x = x0, y = y0, error = 0;
    const auto plot = [&]() {
        if (x < 0 || x >= width || y < 0 || y >= height) return false;
        int32_t& stored = r->depthBuffer[int64_t(y) * r->depthPitch + x];
        if (stored < z) {
            stored = z;
            PutLinePoint(r->frame + int64_t(y) * r->rowStep + int64_t(x) * bytes, depth, colour, index);
        }
        return true;
    };
    if (dx > dy) {
        const int32_t step = total / dx;
        for (int32_t i = 0; i <= dx; ++i) {
            if (!plot()) return;
            z += step;
            error += dy;
            if (error > dx) {
                error -= dx;
                y += sy;
            }
            x += sx;
        }
    } else {
        if (dy == 0) return;
        const int32_t step = total / dy;
        for (int32_t i = 0; i <= dy; ++i) {
            if (!plot()) return;
            z += step;
            error += dx;
            if (error > 0) {
                error -= dy;
                x += sx;
            }
            y += sy;
        }
    }
}

void DrawOutlineForDepth(LPolygon_Software* p, int32_t depth) {
    const int32_t n = p->DrawCount();
    L3DPoint* const* v = p->DrawPoints();
    const auto line = [&](const L3DPoint* a, const L3DPoint* b) {
        DrawDepthLine(p, depth, SaturateToInt(a->screenX), SaturateToInt(a->screenY), a->inverseDepth,
                      SaturateToInt(b->screenX), SaturateToInt(b->screenY), b->inverseDepth);
    };
    for (int32_t i = 1; i < n; ++i) line(v[i - 1], v[i]);
    if (n > 0) line(v[n - 1], v[0]);
}

const SpanRoutine kEmptySpan[1] = {&DrawNothing};

namespace {

using spans::FillTexturedEntry;

template <int Depth>
constexpr SpanTableEntries MakeTable() {
    return {{&DrawOutline<Depth>, &FillSolid<Depth, false>, &FillSolid<Depth, true>, &FillTexturedEntry<Depth, 3>,
             &FillTexturedEntry<Depth, 4>, &FillTexturedEntry<Depth, 5>, &FillTexturedEntry<Depth, 6>,
             &FillTexturedEntry<Depth, 7>, &FillTexturedEntry<Depth, 8>, &FillTexturedEntry<Depth, 9>,
             &FillTexturedEntry<Depth, 10>}};
}

const SpanTableEntries kTable8 = {{&DrawOutline<8>, &FillSolid8, &FillSolid8, &FillTexturedEntry<8, 3>,
                                   &FillTexturedEntry<8, 3>, &FillTexturedEntry<8, 5>, &FillTexturedEntry<8, 5>,
                                   &FillTexturedEntry<8, 7>, &FillTexturedEntry<8, 7>, &FillTexturedEntry<8, 9>,
                                   &FillTexturedEntry<8, 9>}};
const SpanTableEntries kTable15 = MakeTable<15>();
const SpanTableEntries kTable16 = MakeTable<16>();
const SpanTableEntries kTable24 = MakeTable<24>();
const SpanTableEntries kTable32 = MakeTable<32>();

}  // namespace

const SpanRoutine* SpanTableFor(int32_t depth) {
    switch (depth) {
    case 8: return kTable8.entries;
    case 15: return kTable15.entries;
    case 16: return kTable16.entries;
    case 24: return kTable24.entries;
    case 32: return kTable32.entries;
    default: return nullptr;
    }
}
