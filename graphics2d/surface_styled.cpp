// The styled family of shapes: the style fills a temporary pattern surface
// of the drawing area, a second temporary surface takes the shape as a mask
// (drawn with GDI, or pixel by pixel for one-pixel lines), the two are
// combined with AND and the result goes onto the target with a transparent
// blit in the caller's mode, so that pixel value 0 stays undrawn.
#include <algorithm>
#include <functional>
#include <memory>
#include <new>
#include <utility>
#include <vector>

#include "graphics2d/fill_style.h"
#include "graphics2d/line_raster.h"
#include "graphics2d/os_shapes.h"
#include "graphics2d/surface.h"

namespace {

constexpr uint32_t kWhite = 0xFFFFFF;
constexpr int32_t kModeAnd = 4;

void Sort(int32_t* x1, int32_t* y1, int32_t* x2, int32_t* y2) {
    if (*x1 > *x2) std::swap(*x1, *x2);
    if (*y1 > *y2) std::swap(*y1, *y2);
}

// A temporary surface of the area's size like the target (the kept-DC DIB
// prototype of its depth, so that GDI can draw on it), with the target's
// palette at 8 bits, cleared to pixel value 0.
std::unique_ptr<CSurface> Temporary(CSurface* target, int32_t w, int32_t h) {
    std::unique_ptr<CSurface> s(new (std::nothrow) CSurface());
    if (!s) return nullptr;
    const CSurface* prototype = GetDCSurfacePrototype(target->GetDepth());
    if (prototype == nullptr || !prototype->IsValid()) prototype = target;
    if (!s->Create(w, h, prototype)) return nullptr;
    if (s->IsPaletted() && target->GetPalette() != nullptr) s->SetPalette(target->GetPalette(), 0);
    ClearToZero(s.get());
    return s;
}

// The passes of a mask: the outline, the interior without the outline, the
// whole shape.
enum MaskPass { kMaskOutline, kMaskInterior, kMaskWhole };
// Draws one pass on the mask (area coordinates); false without a DC.
using MaskDrawer = std::function<bool(CSurface* mask, MaskPass pass)>;

struct StyledJob {
    CRect area;  // front coordinates
    CFillStyle* fill;
    int32_t penWidth;
    CFillStyle* pen;
    int32_t soften, mode;
    uint32_t parameter;
    bool filled;
    bool anchored;     // the styles' patterns are parts of one fill over the target
    bool maskForFill;  // the filled-only entry needs a mask too
    bool andIntoMask;  // lines: the pattern goes into the mask, the mask onto the target
};

// Where the job's pattern lies: within the target, or, for shapes whose
// styles are not anchored there, a whole of its own.
PatternPlace PlaceOf(const CSurface* target, const StyledJob& job) {
    if (!job.anchored) return {0, 0, job.area.Width(), job.area.Height()};
    return {job.area.left, job.area.top, target->GetWidth(), target->GetHeight()};
}

// Fills the pattern with the style, cuts it with one mask pass and blits.
bool StyledPass(CSurface* target, CSurface* pattern, CSurface* mask, const StyledJob& job, CFillStyle* style,
                MaskPass pass, bool useMask, const MaskDrawer& draw) {
    const int32_t w = job.area.Width(), h = job.area.Height();
    style->FillPattern(pattern, w, h, PlaceOf(target, job), 1);
    CSurface* result = pattern;
    if (useMask) {
        ClearToZero(mask);
        if (!draw(mask, pass)) return false;
        if (job.andIntoMask) {
            pattern->CopyToAt(mask, 0, 0, 0, kModeAnd, 0, 0);
            result = mask;
        } else {
            mask->CopyToAt(pattern, 0, 0, 0, kModeAnd, 0, 0);
        }
    }
    result->Blit(target, job.area.left, job.area.top, 0, 0, w, h, 1, job.mode, job.parameter, job.soften);
    return true;
}

// A filled shape without a pen whose pattern needs no mask cut (the
// rectangle) and no softening: each pattern row the style paints goes
// straight onto the target rows that share it, through a transparent blit of
// a one-row temporary in the caller's mode. The same pixels as the blit of the
// whole pattern, without a pattern and a mask of the area's size.
int StyledRows(CSurface* target, const StyledJob& job) {
    const int32_t w = job.area.Width(), h = job.area.Height();
    std::unique_ptr<CSurface> row = Temporary(target, w, 1);
    if (!row) {
        target->SetStatus(kSurfaceNoImpl);
        return 0;
    }
    job.fill->FillPatternRows(row.get(), w, h, PlaceOf(target, job), 1, [&](int32_t from, int32_t to) {
        for (int32_t y = from; y < to; ++y)
            row->Blit(target, job.area.left, job.area.top + y, 0, 0, w, 1, 1, job.mode, job.parameter, 0);
    });
    return 1;
}

int Styled(CSurface* target, const StyledJob& job, const MaskDrawer& draw) {
    const int32_t w = job.area.Width(), h = job.area.Height();
    // The style of the first pass: without it there is nothing to draw with.
    if ((job.penWidth == 0 ? job.fill : job.pen) == nullptr) return 0;
    if (w <= 0 || h <= 0) return 1;  // wholly outside: nothing to draw
    if (job.penWidth == 0 && !job.maskForFill && job.soften == 0) return StyledRows(target, job);
    std::unique_ptr<CSurface> pattern = Temporary(target, w, h);
    std::unique_ptr<CSurface> mask = Temporary(target, w, h);
    if (!pattern || !mask) {
        target->SetStatus(kSurfaceNoImpl);
        return 0;
    }
    bool ok = true;
    if (job.penWidth == 0) {
        ok = StyledPass(target, pattern.get(), mask.get(), job, job.fill, kMaskWhole, job.maskForFill, draw);
    } else {
        ok = StyledPass(target, pattern.get(), mask.get(), job, job.pen, kMaskOutline, true, draw);
        if (ok && job.filled && job.fill != nullptr)
            ok = StyledPass(target, pattern.get(), mask.get(), job, job.fill, kMaskInterior, true, draw);
    }
    if (!ok) {
        target->SetStatus(kSurfaceBadArgument);
        return 0;
    }
    return 1;
}

// Mask passes over GDI: the outline in white with no brush, the interior
// with a black pen over a white brush, the whole shape white.
MaskDrawer GdiMask(int kind, std::vector<int32_t> points, int32_t count, int32_t penWidth, int outlinePen) {
    return [kind, points = std::move(points), count, penWidth, outlinePen](CSurface* mask, MaskPass pass) {
        void* dc = mask->GetDC();
        if (dc == nullptr) return false;
        OsShapeStyle style{outlinePen, penWidth, kWhite, kOsBrushNone, 0};
        if (pass == kMaskInterior) style.penColour = 0, style.brush = kOsBrushWhiteStock;
        if (pass == kMaskWhole) style.pen = kOsPenWhiteStock, style.brush = kOsBrushWhiteStock;
        OsDrawShape(dc, nullptr, kind, points.data(), count, style);
        mask->ReleaseDC(dc);
        return true;
    };
}

// The shape's box made relative to the drawing area.
std::vector<int32_t> RelativeBox(int32_t x1, int32_t y1, int32_t x2, int32_t y2, const CRect& area) {
    return {x1 - area.left, y1 - area.top, x2 - area.left, y2 - area.top};
}

CRect ClippedArea(CSurface* s, int32_t x1, int32_t y1, int32_t x2, int32_t y2) {
    const CRect clip = s->FrontClip();
    return CRect(std::max(x1, clip.left), std::max(y1, clip.top), std::min(x2, clip.right), std::min(y2, clip.bottom));
}

}  // namespace

// Eight bits write the raw index 0 (FillRect would take black's nearest
// index); deeper surfaces take colour 0, which is pixel value 0.
void ClearToZero(CSurface* s) {
    CSurfaceImpl* impl = s->GetImpl();
    if (impl->depth <= 8)
        impl->FillRectRaw(0, 0, impl->width, impl->height, 0);
    else
        impl->FillRect(0, 0, impl->width, impl->height, 0);
}

int CSurface::DrawRectangleStyled(int32_t x1, int32_t y1, int32_t x2, int32_t y2, CFillStyle* fill,
                                  int32_t penWidth, CFillStyle* pen, int32_t soften, int32_t mode,
                                  uint32_t parameter, int32_t filled) {
    Sort(&x1, &y1, &x2, &y2);
    const CRect area = ClippedArea(this, x1, y1, x2, y2);
    const StyledJob job{area, fill, penWidth, pen, soften, mode, parameter, filled != 0, true, false, false};
    return Styled(this, job, GdiMask(kOsShapeRectangle, RelativeBox(x1, y1, x2, y2, area), 2, penWidth,
                                     kOsPenInsideFrame));
}

int CSurface::DrawRectangleStyledOutline(int32_t x1, int32_t y1, int32_t x2, int32_t y2, int32_t penWidth,
                                         CFillStyle* pen, int32_t soften, int32_t mode, uint32_t parameter) {
    if (penWidth == 0 || pen == nullptr) return 0;
    return DrawRectangleStyled(x1, y1, x2, y2, nullptr, penWidth, pen, soften, mode, parameter, 0);
}

int CSurface::DrawRectangleStyledFilled(int32_t x1, int32_t y1, int32_t x2, int32_t y2, CFillStyle* fill,
                                        int32_t soften, int32_t mode, uint32_t parameter) {
    if (fill == nullptr) return 0;
    return DrawRectangleStyled(x1, y1, x2, y2, fill, 0, nullptr, soften, mode, parameter, 1);
}

int CSurface::DrawEllipseStyled(int32_t x1, int32_t y1, int32_t x2, int32_t y2, CFillStyle* fill, int32_t penWidth,
                                CFillStyle* pen, int32_t soften, int32_t mode, uint32_t parameter, int32_t filled) {
    Sort(&x1, &y1, &x2, &y2);
    const CRect area = ClippedArea(this, x1, y1, x2, y2);
    std::vector<int32_t> box = RelativeBox(x1, y1, x2, y2, area);
    box[0] += penWidth / 2, box[1] += penWidth / 2;
    box[2] -= (penWidth - 1) / 2, box[3] -= (penWidth - 1) / 2;
    const StyledJob job{area, fill, penWidth, pen, soften, mode, parameter, filled != 0, true, true, false};
    return Styled(this, job, GdiMask(kOsShapeEllipse, std::move(box), 2, penWidth, kOsPenSolid));
}

int CSurface::DrawEllipseStyledOutline(int32_t x1, int32_t y1, int32_t x2, int32_t y2, int32_t penWidth,
                                       CFillStyle* pen, int32_t soften, int32_t mode, uint32_t parameter) {
    if (penWidth == 0 || pen == nullptr) return 0;
    return DrawEllipseStyled(x1, y1, x2, y2, nullptr, penWidth, pen, soften, mode, parameter, 0);
}

int CSurface::DrawEllipseStyledFilled(int32_t x1, int32_t y1, int32_t x2, int32_t y2, CFillStyle* fill,
                                      int32_t soften, int32_t mode, uint32_t parameter) {
    if (fill == nullptr) return 0;
    return DrawEllipseStyled(x1, y1, x2, y2, fill, 0, nullptr, soften, mode, parameter, 1);
}

int CSurface::DrawPolygonStyled(const int32_t* points, int32_t count, CFillStyle* fill, int32_t penWidth,
                                CFillStyle* pen, int32_t soften, int32_t mode, uint32_t parameter, int32_t filled) {
    if (points == nullptr || count <= 0) return 0;
    int32_t minX = points[0], maxX = points[0], minY = points[1], maxY = points[1];
    for (int32_t i = 1; i < count; ++i) {
        minX = std::min(minX, points[2 * i]), maxX = std::max(maxX, points[2 * i]);
        minY = std::min(minY, points[2 * i + 1]), maxY = std::max(maxY, points[2 * i + 1]);
    }
    // The bounding box widened by the pen width; the final blit clips.
    const CRect area(minX - penWidth, minY - penWidth, maxX + penWidth, maxY + penWidth);
    std::vector<int32_t> copy;
    try {
        copy.assign(points, points + 2 * static_cast<size_t>(count));
    } catch (const std::bad_alloc&) {
        return 0;
    }
    for (int32_t i = 0; i < count; ++i) copy[2 * i] -= area.left, copy[2 * i + 1] -= area.top;
    const StyledJob job{area, fill, penWidth, pen, soften, mode, parameter, filled != 0, false, true, false};
    return Styled(this, job, GdiMask(kOsShapePolygon, std::move(copy), count, penWidth, kOsPenSolid));
}

int CSurface::DrawPolygonStyledOutline(const int32_t* points, int32_t count, int32_t penWidth, CFillStyle* pen,
                                       int32_t soften, int32_t mode, uint32_t parameter) {
    if (penWidth == 0 || pen == nullptr) return 0;
    return DrawPolygonStyled(points, count, nullptr, penWidth, pen, soften, mode, parameter, 0);
}

int CSurface::DrawPolygonStyledFilled(const int32_t* points, int32_t count, CFillStyle* fill, int32_t soften,
                                      int32_t mode, uint32_t parameter) {
    if (fill == nullptr) return 0;
    return DrawPolygonStyled(points, count, fill, 0, nullptr, soften, mode, parameter, 1);
}

int CSurface::DrawLineStyled(int32_t x1, int32_t y1, int32_t x2, int32_t y2, int32_t penWidth, CFillStyle* pen,
                             int32_t soften, int32_t mode, uint32_t parameter) {
    if (penWidth == 0 || pen == nullptr) return 0;
    const CRect area(std::min(x1, x2) - penWidth, std::min(y1, y2) - penWidth, std::max(x1, x2) + penWidth,
                     std::max(y1, y2) + penWidth);
    const int32_t ax1 = x1 - area.left, ay1 = y1 - area.top, ax2 = x2 - area.left, ay2 = y2 - area.top;
    MaskDrawer draw;
    if (penWidth == 1) {
        draw = [=](CSurface* mask, MaskPass) {
            const CRect whole(0, 0, mask->GetWidth(), mask->GetHeight());
            RasterLine(ax1, ay1, ax2, ay2, whole, [mask](int32_t x, int32_t y) { mask->GetImpl()->SetPixel(x, y, kWhite); });
            return true;
        };
    } else {
        draw = GdiMask(kOsShapeLine, {ax1, ay1, ax2, ay2}, 2, penWidth, kOsPenSolid);
    }
    const StyledJob job{area, nullptr, penWidth, pen, soften, mode, parameter, false, false, true, true};
    return Styled(this, job, draw);
}
