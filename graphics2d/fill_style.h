#pragma once
// Fill styles of the styled shapes: a solid colour or a two-colour gradient.
// Styles fill surfaces with library colours and never yield pixel value 0
// when asked to avoid it (0 marks the pixels a styled shape does not draw):
// a solid colour 0 becomes 8, gradient bands are kept off black.
//
// The band arithmetic is pure (GradientRectBands, GradientSurfaceBands) so
// that it can be checked on its own; the styles paint the bands with a GDI
// brush when the surface has a device context, else with the surface's own
// FillRect (memory surfaces).
#include <cstdint>
#include <functional>
#include <vector>

class CSurface;

// One band: the half-open range [from, to) across the gradient's direction,
// and its colour.
struct GradientBand {
    int32_t from;
    int32_t to;
    uint32_t colour;
};

// A colour whose three channels are all below 8 (black too) gets one channel
// raised to 8: blue when strictly the largest, else green when strictly the
// largest, else red.
uint32_t KeepOffBlack(uint32_t colour);

// The n bands of a gradient from `first` to `second` cut from [start, end):
// band i covers [start + trunc(i × span / n), start + trunc((i + 1) × span / n)),
// n the largest channel difference (at least 1). Empty bands are kept.
std::vector<GradientBand> GradientRectBands(uint32_t first, uint32_t second, int32_t start, int32_t end,
                                            bool avoidZero);
// The bands over [0, size) with the gradient's band grid shifted by the
// origin: the first band [0, trunc(e)) with e = bs - fmod(origin, bs) takes
// the colour trunc(origin / bs) steps on; whole bands follow, each a step
// further (bands whose edges are equal are left out but still step), and the
// rows after the last whole band take the last colour. Steps before the
// first colour (negative origins) go on past it, each channel held in
// 0..255. Origin 0 gives the bands of
// GradientRectBands (up to rounding of the edges).
std::vector<GradientBand> GradientSurfaceBands(uint32_t first, uint32_t second, int32_t size, int32_t origin,
                                               bool avoidZero);
// The window [from, to) of those bands, given relative to `from`: every
// window cuts the same edges, so windows side by side join as the whole.
// Positions before 0 take the colour at 0, positions from `size` on the last
// colour. Nothing for a size of 0 or less.
std::vector<GradientBand> GradientSurfaceBands(uint32_t first, uint32_t second, int32_t size, int32_t origin,
                                               int32_t from, int32_t to, bool avoidZero);

// Where a pattern lies on the surface its style is anchored to: its top
// left corner at (x, y) of a wholeWidth x wholeHeight surface.
struct PatternPlace {
    int32_t x;
    int32_t y;
    int32_t wholeWidth;
    int32_t wholeHeight;
};

// Called with rows [from, to) of a filled area that share one pattern row.
using PatternRowUser = std::function<void(int32_t from, int32_t to)>;

class CFillStyle {
public:
    virtual ~CFillStyle() {}
    // The previous origin packed as (y << 16) | (x & 0xFFFF); the base keeps
    // no origin and answers 0.
    virtual uint32_t SetOrigin(int32_t, int32_t) { return 0; }
    virtual int FillSurface(CSurface* surface, int32_t width, int32_t height, int32_t avoidZero) {
        return FillRect(surface, 0, 0, width, height, avoidZero);
    }
    virtual int FillRect(CSurface* surface, int32_t left, int32_t top, int32_t right, int32_t bottom,
                         int32_t avoidZero) = 0;
    // Fills a width x height pattern with its part of what FillSurface
    // paints over the whole surface of `place`, so that the patterns of
    // shapes anywhere on that surface join into one fill. This one paints
    // the pattern as a surface of its own: right for styles that look the
    // same everywhere; styles that change across the surface override it.
    virtual int FillPattern(CSurface* pattern, int32_t width, int32_t height, const PatternPlace&,
                            int32_t avoidZero) {
        return FillSurface(pattern, width, height, avoidZero);
    }
    // FillPattern of a width x height pattern one row at a time, for callers
    // that need no whole pattern: `row` (width x 1) takes the row that rows
    // [from, to) of the pattern share, then use(from, to) is called, top to
    // bottom over the whole height. The rows equal FillPattern's. This one
    // paints a single row for all: styles whose pattern changes down the
    // area override it.
    virtual void FillPatternRows(CSurface* row, int32_t width, int32_t height, const PatternPlace& place,
                                 int32_t avoidZero, const PatternRowUser& use) {
        FillPattern(row, width, 1, place, avoidZero);
        use(0, height);
    }
};

class CSolidFillStyle : public CFillStyle {
public:
    explicit CSolidFillStyle(uint32_t colour) : m_colour(colour == 0 ? 8 : colour) {}
    int FillRect(CSurface* surface, int32_t left, int32_t top, int32_t right, int32_t bottom,
                 int32_t avoidZero) override;
    uint32_t Colour() const { return m_colour; }

private:
    uint32_t m_colour;
};

class CGradientFillStyle : public CFillStyle {
public:
    CGradientFillStyle(uint32_t first, uint32_t second, int32_t direction)
        : m_first(first == 0 ? 8 : first), m_second(second == 0 ? 8 : second), m_direction(direction) {}
    uint32_t SetOrigin(int32_t x, int32_t y) override;
    int FillSurface(CSurface* surface, int32_t width, int32_t height, int32_t avoidZero) override;
    int FillRect(CSurface* surface, int32_t left, int32_t top, int32_t right, int32_t bottom,
                 int32_t avoidZero) override;
    int FillPattern(CSurface* pattern, int32_t width, int32_t height, const PatternPlace& place,
                    int32_t avoidZero) override;
    void FillPatternRows(CSurface* row, int32_t width, int32_t height, const PatternPlace& place, int32_t avoidZero,
                         const PatternRowUser& use) override;

    // Set directly by the surface's gradient members (a black set this way
    // stays 0).
    void SetColours(uint32_t first, uint32_t second) { m_first = first, m_second = second; }
    void SetDirection(int32_t direction) { m_direction = direction; }
    uint32_t First() const { return m_first; }
    uint32_t Second() const { return m_second; }
    int32_t Direction() const { return m_direction; }

private:
    // The bands of FillPattern along the gradient's direction.
    std::vector<GradientBand> PatternBands(int32_t width, int32_t height, const PatternPlace& place,
                                           int32_t avoidZero) const;
    // Paints the bands as columns (direction 0) or rows across the area.
    int PaintBands(CSurface* surface, const std::vector<GradientBand>& bands, int32_t left, int32_t top,
                   int32_t right, int32_t bottom);

    int32_t m_originX = 0;
    int32_t m_originY = 0;
    uint32_t m_first;
    uint32_t m_second;
    int32_t m_direction;
};
