// Flood fill: Heckbert's segment-stack seed fill with a colour tolerance.
// The stack holds at most 10000 entries {y, left x, right x, direction};
// pushes beyond it are dropped, so a very complex area may be left partly
// unfilled, but every fill ends. Entries are 32-bit, so that surfaces of any
// size index correctly.
#include <algorithm>
#include <cstdlib>
#include <memory>
#include <new>

#include "graphics2d/colour_match.h"
#include "graphics2d/surface.h"
#include "graphics2d/surface_clip.h"

namespace {

constexpr int32_t kStackEntries = 10000;

struct Span {
    int32_t y, left, right, direction;
};

// Reads colours and writes the fill through the pixel routines while both
// surfaces are locked.
class Filler {
public:
    Filler(CSurfaceImpl* target, CSurfaceImpl* drawn, uint32_t seed, uint32_t fillValue, int32_t tolerance)
        : m_target(target), m_drawn(drawn), m_seed(seed), m_fillValue(fillValue), m_tolerance(tolerance) {}

    // Within the tolerance of the seed, and not yet the fill colour on the
    // surface drawn on.
    bool Qualifies(int32_t x, int32_t y) const {
        uint32_t c;
        if (m_drawn == m_target && m_target->depth > 8) {
            // One read serves both tests when the fill goes onto the target.
            c = m_target->routines->getPixel(m_target, x, y) & 0xFFFFFF;
            if (c == m_fillValue) return false;
        } else {
            if (m_drawn->depth <= 8 ? m_drawn->routines->getPixel(m_drawn, x, y) == (m_fillValue & 0xFF)
                                    : ColourOf(m_drawn, x, y) == m_fillValue)
                return false;
            c = ColourOf(m_target, x, y);
        }
        if (m_tolerance == 0) return c == m_seed;
        for (int shift = 0; shift < 24; shift += 8) {
            const int32_t d = static_cast<int32_t>((c >> shift) & 0xFF) - static_cast<int32_t>((m_seed >> shift) & 0xFF);
            if (std::abs(d) > m_tolerance) return false;
        }
        return true;
    }
    void Set(int32_t x, int32_t y) {
        m_drawn->routines->putPixel(m_drawn, x, y, m_fillValue);
        box.left = std::min(box.left, x), box.right = std::max(box.right, x);
        box.top = std::min(box.top, y), box.bottom = std::max(box.bottom, y);
    }

    static uint32_t ColourOf(CSurfaceImpl* s, int32_t x, int32_t y) {
        const uint32_t v = s->routines->getPixel(s, x, y);
        if (s->depth > 8) return v & 0xFFFFFF;
        const PaletteEntry* e = s->palette && v < s->palette->count ? &s->palette->entries[v] : nullptr;
        return e ? (e->red | e->green << 8 | e->blue << 16) : 0;
    }

    CRect box;

private:
    CSurfaceImpl* m_target;
    CSurfaceImpl* m_drawn;
    uint32_t m_seed;
    uint32_t m_fillValue;
    int32_t m_tolerance;
};

// The fill colour as the surface can show it (8 bits: the nearest palette
// colour; 15 and 16 bits: the bits they keep).
uint32_t Representable(CSurfaceImpl* s, uint32_t colour) {
    colour &= 0xFFFFFF;
    switch (s->depth) {
    case 8: return s->GetPaletteColor(static_cast<int32_t>(s->GetNearestIndex(colour))) & 0xFFFFFF;
    case 15: return colour & 0xF8F8F8;
    case 16: return colour & 0xF8FCF8;
    default: return colour;
    }
}

void Fill(Filler& f, const CRect& area, int32_t x, int32_t y, Span* stack) {
    int32_t count = 0;
    auto push = [&](int32_t row, int32_t left, int32_t right, int32_t direction) {
        const int64_t next = int64_t(row) + direction;
        if (count < kStackEntries && next >= area.top && next < area.bottom)
            stack[count++] = {row, left, right, direction};
    };
    push(y, x, x, 1);
    push(y + 1, x, x, -1);
    while (count > 0) {
        const Span s = stack[--count];
        const int32_t row = s.y + s.direction, x1 = s.left, x2 = s.right, dy = s.direction;
        int32_t cx = x1;
        for (; cx >= area.left && f.Qualifies(cx, row); --cx) f.Set(cx, row);
        int32_t left = 0;
        bool skip = cx >= x1;
        if (!skip) {
            left = cx + 1;
            if (left < x1) push(row, left, x1 - 1, -dy);  // leak on the left
            cx = x1 + 1;
        }
        do {
            if (!skip) {
                for (; cx < area.right && f.Qualifies(cx, row); ++cx) f.Set(cx, row);
                push(row, left, cx - 1, dy);
                if (cx > x2 + 1) push(row, x2 + 1, cx - 1, -dy);  // leak on the right
            }
            skip = false;
            for (++cx; cx <= x2 && !f.Qualifies(cx, row); ++cx) {
            }
            left = cx;
        } while (cx <= x2);
    }
}

}  // namespace

int CSurface::FloodFill(int32_t x, int32_t y, uint32_t colour, int32_t soften, int32_t tolerance, int32_t mode,
                        uint32_t parameter, CRect* changed) {
    x -= m_originX;
    y -= m_originY;
    CSurfaceImpl* target = m_impl;
    const CRect area = WritableArea(target);
    if (x < area.left || x >= area.right || y < area.top || y >= area.bottom) return 0;
    const uint32_t fill = Representable(target, colour);
    if (!target->Lock()) return 0;
    const uint32_t seed = Filler::ColourOf(target, x, y);
    target->Unlock();
    if (fill == seed) return 0;

    // With a colour and a mode parameter the fill goes to a cleared layer
    // like the target, blitted with the mode at the end.
    std::unique_ptr<CSurface> layer;
    if (colour != 0 && parameter != 0) {
        layer.reset(new (std::nothrow) CSurface());
        if (!layer || !layer->Create(GetWidth(), GetHeight(), this)) {
            m_status = kSurfaceNoImpl;
            return 0;
        }
        if (layer->IsPaletted() && GetPalette() != nullptr) layer->SetPalette(GetPalette(), 0);
        ClearToZero(layer.get());  // all of it, before the clip applies
        int32_t cx, cy, cw, ch;
        target->GetClipRect(&cx, &cy, &cw, &ch);
        layer->GetImpl()->SetClipRect(cx, cy, cw, ch);
    }
    CSurfaceImpl* drawn = layer ? layer->GetImpl() : target;

    std::unique_ptr<Span[]> stack(new (std::nothrow) Span[kStackEntries]);
    if (!stack) {
        m_status = kSurfaceNoImpl;
        return 0;
    }
    const uint32_t value = target->depth <= 8 ? (target->GetNearestIndex(fill) & 0xFF) | kColourIsIndex : fill;
    Filler f(target, drawn, seed, value, tolerance);
    f.box = CRect(x, y, x, y);
    if (!target->Lock()) return 0;
    if (drawn != target && !drawn->Lock()) {
        target->Unlock();
        return 0;
    }
    Fill(f, area, x, y, stack.get());
    if (drawn != target) drawn->Unlock();
    target->Unlock();
    if (layer) layer->GetImpl()->Blit(target, 0, 0, 0, 0, GetWidth(), GetHeight(), 1, mode, parameter, soften);
    if (changed != nullptr)
        *changed = CRect(f.box.left + m_originX, f.box.top + m_originY, f.box.right + 1 + m_originX,
                         f.box.bottom + 1 + m_originY);
    return 1;
}
