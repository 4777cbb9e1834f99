// Flood fill: Heckbert's segment-stack seed fill with a colour tolerance.
// The stack holds at most 10000 entries {y, left x, right x, direction};
// pushes beyond it are dropped, so a very complex area may be left partly
// unfilled, but every fill ends. Entries are 32-bit, so that surfaces of any
// size index correctly.
// Rows are scanned on raw pixel values and spans filled through the row fill
// routine, so that an open area costs little more than reading and writing
// its pixels once.
#include <algorithm>
#include <cstdlib>
#include <memory>
#include <new>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

#include "graphics2d/colour_match.h"
#include "graphics2d/pixel_access.h"
#include "graphics2d/surface.h"
#include "graphics2d/surface_clip.h"

namespace {

constexpr int32_t kStackEntries = 10000;

struct Span {
    int32_t y, left, right, direction;
};

// The colour of a pixel as the fill compares it: deeper than 8 bits the
// library colour, at 8 bits the palette entry (0 past the palette's end).
uint32_t ColourOf(CSurfaceImpl* s, int32_t x, int32_t y) {
    const uint32_t v = s->routines->getPixel(s, x, y);
    if (s->depth > 8) return v & 0xFFFFFF;
    const PaletteEntry* e = s->palette && v < s->palette->count ? &s->palette->entries[v] : nullptr;
    return e ? (e->red | e->green << 8 | e->blue << 16) : 0;
}

// Each of the three channels of a and b (in the same order) differ by at
// most the tolerance.
bool WithinTolerance(uint32_t a, uint32_t b, int32_t tolerance) {
    for (int shift = 0; shift < 24; shift += 8) {
        const int32_t d = static_cast<int32_t>((a >> shift) & 0xFF) - static_cast<int32_t>((b >> shift) & 0xFF);
        if (std::abs(d) > tolerance) return false;
    }
    return true;
}

// The pixel test of one fill on raw pixels, made once per call. A pixel
// qualifies when the surface drawn on does not hold the fill there yet and
// its colour on the target lies within the tolerance of the seed. Raw values
// are compared on their colour bits (mask): values with the same colour bits
// are the same colour, so equal colours are equal masked values.
struct PixelTest {
    uint32_t mask;
    uint32_t fillRaw;       // the fill as the surface drawn on holds it
    uint32_t seedRaw;       // deeper than 8 bits: the seed's colour bits
    uint32_t seedChannels;  // deeper than 8 bits: the seed widened to channels
    int32_t tolerance;
    bool nearSeed[256];     // 8 bits: the indices whose colour is near the seed
};

template <int F>
bool NearSeed(const PixelTest& t, uint32_t raw) {
    if constexpr (F == 8) {
        return t.nearSeed[raw];
    } else {
        if (t.tolerance == 0) return raw == t.seedRaw;
        return WithinTolerance(Widen<F>(raw), t.seedChannels, t.tolerance);
    }
}

#if defined(__SSE2__)
// Runs of 32-bit pixels whose colour bits equal `seed`, four at a time: the
// first x from `from` up (or, with Down, the last x from `from` down) whose
// group of four leaves the run or passes `end`.
template <bool Down>
int32_t SeedRun32(const uint8_t* row, int32_t from, int32_t end, uint32_t seed) {
    const __m128i colourBits = _mm_set1_epi32(0x00FFFFFF);
    const __m128i wanted = _mm_set1_epi32(static_cast<int32_t>(seed));
    for (;;) {
        const int32_t first = Down ? from - 3 : from;
        if (Down ? first < end : from + 4 > end) return from;
        const __m128i v = _mm_loadu_si128(reinterpret_cast<const __m128i*>(row + static_cast<ptrdiff_t>(first) * 4));
        if (_mm_movemask_epi8(_mm_cmpeq_epi32(_mm_and_si128(v, colourBits), wanted)) != 0xFFFF) return from;
        from += Down ? -4 : 4;
    }
}
#endif

// The test over one row of the target and the same row of the surface drawn
// on (the same memory when the fill goes onto the target).
template <int F>
class RowTest {
public:
    RowTest(const PixelTest& t, const uint8_t* target, const uint8_t* drawn)
        : m_t(t), m_target(target), m_drawn(drawn), m_seedOnly(target == drawn && t.tolerance == 0) {}

    bool operator()(int32_t x) const {
        constexpr int B = kBytesOf<F>;
        const uint32_t v = LoadPixel<B>(m_target + static_cast<ptrdiff_t>(x) * B) & m_t.mask;
        const uint32_t d =
            m_drawn == m_target ? v : LoadPixel<B>(m_drawn + static_cast<ptrdiff_t>(x) * B) & m_t.mask;
        return d != m_t.fillRaw && NearSeed<F>(m_t, v);
    }
    // The first x from `from` up that fails the test, or `end`.
    int32_t RunEnd(int32_t from, int32_t end) const {
#if defined(__SSE2__)
        // Without tolerance or layer a pixel qualifies when it is the seed
        // colour (the fill never is).
        if constexpr (F == 32)
            if (m_seedOnly) from = SeedRun32<false>(m_target, from, end, m_t.seedRaw);
#endif
        while (from < end && (*this)(from)) ++from;
        return from;
    }
    // The first x from `from` down that fails the test, or `end` - 1.
    int32_t RunStart(int32_t from, int32_t end) const {
#if defined(__SSE2__)
        if constexpr (F == 32)
            if (m_seedOnly) from = SeedRun32<true>(m_target, from, end, m_t.seedRaw);
#endif
        while (from >= end && (*this)(from)) --from;
        return from;
    }
    // The first x from `from` up that passes the test, or `last` + 1.
    int32_t NextPassing(int32_t from, int32_t last) const {
        while (from <= last && !(*this)(from)) ++from;
        return from;
    }

private:
    const PixelTest& m_t;
    const uint8_t* m_target;
    const uint8_t* m_drawn;
    bool m_seedOnly;
};

// The rows of one fill: their tests, and spans filled through the row fill
// routine of the surface drawn on, widening the changed box.
template <int F>
class FloodRows {
public:
    FloodRows(const PixelTest& t, CSurfaceImpl* target, CSurfaceImpl* drawn, uint32_t fillValue)
        : m_t(t), m_target(target), m_drawn(drawn), m_fillValue(fillValue) {}

    RowTest<F> Row(int32_t y) const {
        return RowTest<F>(m_t, PixelAddress(m_target, 0, y), PixelAddress(m_drawn, 0, y));
    }
    // Fills [from, to) of row y.
    void Set(int32_t y, int32_t from, int32_t to) {
        m_drawn->routines->fill(m_drawn, from, y, m_drawn->rowStep, to - from, 1, m_fillValue);
        box.left = std::min(box.left, from), box.right = std::max(box.right, to - 1);
        box.top = std::min(box.top, y), box.bottom = std::max(box.bottom, y);
    }

    CRect box;  // inclusive edges

private:
    const PixelTest& m_t;
    CSurfaceImpl* m_target;
    CSurfaceImpl* m_drawn;
    uint32_t m_fillValue;
};

// Heckbert's seed fill: an entry (y, left, right, d) stands for a filled span
// of row y whose neighbours in row y + d are still to be searched; each run
// found there is filled whole and pushed on, and the parts of it that reach
// past the parent span are pushed back the other way.
template <class Rows>
void Fill(Rows& rows, const CRect& area, int32_t x, int32_t y, Span* stack) {
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
        const auto test = rows.Row(row);
        int32_t cx = test.RunStart(x1, area.left);
        int32_t left = cx + 1;
        bool skip = cx >= x1;
        if (!skip) {
            if (left < x1) push(row, left, x1 - 1, -dy);  // leak on the left
            cx = x1 + 1;
        }
        do {
            if (!skip) {
                cx = test.RunEnd(cx, area.right);
                rows.Set(row, left, cx);
                push(row, left, cx - 1, dy);
                if (cx > x2 + 1) push(row, x2 + 1, cx - 1, -dy);  // leak on the right
            }
            skip = false;
            cx = test.NextPassing(cx + 1, x2);
            left = cx;
        } while (cx <= x2);
    }
}

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

// Sets up the test for format F (the depth of target and layer), runs the
// fill and answers the changed box (inclusive edges).
template <int F>
CRect FillAs(CSurfaceImpl* target, CSurfaceImpl* drawn, const CRect& area, int32_t x, int32_t y, uint32_t seed,
             uint32_t fill, uint32_t fillValue, int32_t tolerance, Span* stack) {
    PixelTest t{};
    t.tolerance = tolerance;
    if constexpr (F == 8) {
        t.mask = 0xFF;
        t.fillRaw = fillValue & 0xFF;
        const CSharedPalette* p = target->palette;
        for (uint32_t i = 0; i < 256; ++i) {
            const PaletteEntry* e = p && i < p->count ? &p->entries[i] : nullptr;
            const uint32_t c = e ? (e->red | e->green << 8 | e->blue << 16) : 0;
            t.nearSeed[i] = tolerance == 0 ? c == seed : WithinTolerance(c, seed, tolerance);
        }
    } else {
        // Raw forms of representable library colours.
        t.mask = F == 15 ? 0x7FFF : F == 16 ? 0xFFFF : 0xFFFFFF;
        t.fillRaw = Narrow<F>(SwapRedBlue(fill));
        t.seedRaw = Narrow<F>(SwapRedBlue(seed));
        t.seedChannels = Widen<F>(t.seedRaw);
    }
    FloodRows<F> rows(t, target, drawn, F == 8 ? fillValue & 0xFF : fill);
    rows.box = CRect(x, y, x, y);
    Fill(rows, area, x, y, stack);
    return rows.box;
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
    const uint32_t seed = ColourOf(target, x, y);
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
    if (!target->Lock()) return 0;
    if (drawn != target && !drawn->Lock()) {
        target->Unlock();
        return 0;
    }
    CRect box;
    switch (target->depth) {
    case 8: box = FillAs<8>(target, drawn, area, x, y, seed, fill, value, tolerance, stack.get()); break;
    case 15: box = FillAs<15>(target, drawn, area, x, y, seed, fill, value, tolerance, stack.get()); break;
    case 16: box = FillAs<16>(target, drawn, area, x, y, seed, fill, value, tolerance, stack.get()); break;
    case 24: box = FillAs<24>(target, drawn, area, x, y, seed, fill, value, tolerance, stack.get()); break;
    default: box = FillAs<32>(target, drawn, area, x, y, seed, fill, value, tolerance, stack.get()); break;
    }
    if (drawn != target) drawn->Unlock();
    target->Unlock();
    if (layer) layer->GetImpl()->Blit(target, 0, 0, 0, 0, GetWidth(), GetHeight(), 1, mode, parameter, soften);
    if (changed != nullptr)
        *changed = CRect(box.left + m_originX, box.top + m_originY, box.right + 1 + m_originX,
                         box.bottom + 1 + m_originY);
    return 1;
}
