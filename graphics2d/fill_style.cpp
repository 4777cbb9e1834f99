#include "graphics2d/fill_style.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>

#include "graphics2d/os_shapes.h"
#include "graphics2d/surface.h"

namespace {

struct Channels {
    double c[3];  // red, green, blue
};

Channels Split(uint32_t colour) {
    return {{double(colour & 0xFF), double((colour >> 8) & 0xFF), double((colour >> 16) & 0xFF)}};
}

// The gradient's steps: start values, increments and the number of bands.
struct Steps {
    Channels start;
    Channels increment;
    int32_t count;
};

Steps StepsOf(uint32_t first, uint32_t second) {
    const Channels a = Split(first), b = Split(second);
    double largest = 1;
    for (int i = 0; i < 3; ++i) largest = std::max(largest, std::fabs(b.c[i] - a.c[i]));
    Steps s{a, {}, static_cast<int32_t>(largest)};
    for (int i = 0; i < 3; ++i) s.increment.c[i] = (b.c[i] - a.c[i]) / s.count;
    return s;
}

// The colour `step` steps on, channels cut toward zero and kept in 0..255.
uint32_t ColourAt(const Steps& s, int64_t step, bool avoidZero) {
    uint32_t colour = 0;
    for (int i = 0; i < 3; ++i) {
        double v = s.start.c[i] + s.increment.c[i] * static_cast<double>(step);
        v = std::min(255.0, std::max(0.0, v));
        colour |= static_cast<uint32_t>(static_cast<int32_t>(v)) << (8 * i);
    }
    return avoidZero ? KeepOffBlack(colour) : colour;
}

}  // namespace

uint32_t KeepOffBlack(uint32_t colour) {
    const uint32_t r = colour & 0xFF, g = (colour >> 8) & 0xFF, b = (colour >> 16) & 0xFF;
    if (r >= 8 || g >= 8 || b >= 8) return colour;
    if (b > r && b > g) return (colour & 0x00FFFF) | 8u << 16;
    if (g > r && g > b) return (colour & 0xFF00FF) | 8u << 8;
    return (colour & 0xFFFF00) | 8u;
}

std::vector<GradientBand> GradientRectBands(uint32_t first, uint32_t second, int32_t start, int32_t end,
                                            bool avoidZero) {
    const Steps s = StepsOf(first, second);
    const double size = (double(end) - start) / s.count;
    std::vector<GradientBand> bands;
    bands.reserve(static_cast<size_t>(s.count));
    for (int32_t i = 0; i < s.count; ++i)
        bands.push_back({start + static_cast<int32_t>(i * size), start + static_cast<int32_t>((i + 1) * size),
                         ColourAt(s, i, avoidZero)});
    return bands;
}

std::vector<GradientBand> GradientSurfaceBands(uint32_t first, uint32_t second, int32_t size, int32_t origin,
                                               bool avoidZero) {
    std::vector<GradientBand> bands;
    if (size <= 0) return bands;
    const Steps s = StepsOf(first, second);
    const double bs = double(size) / s.count;
    const double e = bs - std::fmod(double(origin), bs);
    int64_t step = static_cast<int64_t>(origin / bs);
    const int32_t firstEnd = static_cast<int32_t>(std::min(e, double(size)));
    if (firstEnd > 0) bands.push_back({0, firstEnd, ColourAt(s, step, avoidZero)});
    const int64_t whole = static_cast<int64_t>((size - e) / bs);
    for (int64_t i = 0; i < whole; ++i) {
        ++step;
        const int32_t from = static_cast<int32_t>(i * bs + e), to = static_cast<int32_t>((i + 1) * bs + e);
        if (from != to) bands.push_back({from, to, ColourAt(s, step, avoidZero)});
    }
    // The rest after the last whole band keeps the last colour.
    if (bands.empty()) bands.push_back({0, size, ColourAt(s, step, avoidZero)});
    else if (bands.back().to < size) bands.push_back({bands.back().to, size, bands.back().colour});
    return bands;
}

std::vector<GradientBand> GradientSurfaceBands(uint32_t first, uint32_t second, int32_t size, int32_t origin,
                                               int32_t from, int32_t to, bool avoidZero) {
    std::vector<GradientBand> window;
    std::vector<GradientBand> whole = GradientSurfaceBands(first, second, size, origin, avoidZero);
    if (whole.empty() || to <= from) return window;
    // Widen the first and last bands over whatever of the window lies
    // outside [0, size), then cut every band to the window.
    whole.front().from = std::min(whole.front().from, from);
    whole.back().to = std::max(whole.back().to, to);
    for (const GradientBand& b : whole) {
        const int32_t lo = std::max(b.from, from), hi = std::min(b.to, to);
        if (lo < hi) window.push_back({lo - from, hi - from, b.colour});
    }
    return window;
}

int CSolidFillStyle::FillRect(CSurface* surface, int32_t left, int32_t top, int32_t right, int32_t bottom,
                              int32_t avoidZero) {
    const uint32_t colour = (m_colour == 0 && avoidZero) ? 8 : m_colour;
    return surface->FillRect(left, top, right - left, bottom - top, colour);
}

uint32_t CGradientFillStyle::SetOrigin(int32_t x, int32_t y) {
    const uint32_t previous = static_cast<uint32_t>(m_originY) << 16 | (static_cast<uint32_t>(m_originX) & 0xFFFF);
    m_originX = x;
    m_originY = y;
    return previous;
}

int CGradientFillStyle::PaintBands(CSurface* surface, const std::vector<GradientBand>& bands, int32_t left,
                                   int32_t top, int32_t right, int32_t bottom) {
    void* dc = surface->GetDC();
    for (const GradientBand& b : bands) {
        if (b.to <= b.from) continue;
        const CRect r = m_direction == 0 ? CRect(b.from, top, b.to, bottom) : CRect(left, b.from, right, b.to);
        if (dc != nullptr)
            OsFillSolidRect(dc, r, b.colour);
        else
            surface->FillRect(r.left, r.top, r.Width(), r.Height(), b.colour);
    }
    if (dc != nullptr) surface->ReleaseDC(dc);
    return 1;
}

int CGradientFillStyle::FillRect(CSurface* surface, int32_t left, int32_t top, int32_t right, int32_t bottom,
                                 int32_t avoidZero) {
    const bool across = m_direction == 0;
    return PaintBands(surface,
                      GradientRectBands(m_first, m_second, across ? left : top, across ? right : bottom, avoidZero),
                      left, top, right, bottom);
}

int CGradientFillStyle::FillSurface(CSurface* surface, int32_t width, int32_t height, int32_t avoidZero) {
    const bool across = m_direction == 0;
    return PaintBands(surface,
                      GradientSurfaceBands(m_first, m_second, across ? width : height,
                                           across ? m_originX : m_originY, avoidZero),
                      0, 0, width, height);
}

std::vector<GradientBand> CGradientFillStyle::PatternBands(int32_t width, int32_t height, const PatternPlace& place,
                                                           int32_t avoidZero) const {
    if (m_direction == 0)
        return GradientSurfaceBands(m_first, m_second, place.wholeWidth, m_originX, place.x, place.x + width,
                                    avoidZero != 0);
    return GradientSurfaceBands(m_first, m_second, place.wholeHeight, m_originY, place.y, place.y + height,
                                avoidZero != 0);
}

int CGradientFillStyle::FillPattern(CSurface* pattern, int32_t width, int32_t height, const PatternPlace& place,
                                    int32_t avoidZero) {
    return PaintBands(pattern, PatternBands(width, height, place, avoidZero), 0, 0, width, height);
}

// Bands across the width repeat on every row; bands down the height are
// each one colour for all their rows.
void CGradientFillStyle::FillPatternRows(CSurface* row, int32_t width, int32_t height, const PatternPlace& place,
                                         int32_t avoidZero, const PatternRowUser& use) {
    if (m_direction == 0) return CFillStyle::FillPatternRows(row, width, height, place, avoidZero, use);
    for (const GradientBand& b : PatternBands(width, height, place, avoidZero)) {
        PaintBands(row, {GradientBand{0, 1, b.colour}}, 0, 0, width, 1);
        use(b.from, b.to);
    }
}
