// The GDI family of shapes (one pen colour, one fill colour, straight into
// the surface's device context) and lines. A pen is kept inside the shape's
// box: left and top grow by width / 2, right and bottom shrink by
// (width - 1) / 2. Filled rectangles without a pen and one-pixel lines need
// no device context.
#include <algorithm>
#include <utility>
#include <vector>

#include "graphics2d/line_raster.h"
#include "graphics2d/os_shapes.h"
#include "graphics2d/surface.h"
#include "graphics2d/surface_clip.h"

namespace {

void Sort(int32_t* x1, int32_t* y1, int32_t* x2, int32_t* y2) {
    if (*x1 > *x2) std::swap(*x1, *x2);
    if (*y1 > *y2) std::swap(*y1, *y2);
}

void InsetForPen(int32_t* box, int32_t penWidth) {
    box[0] += penWidth / 2;
    box[1] += penWidth / 2;
    box[2] -= (penWidth - 1) / 2;
    box[3] -= (penWidth - 1) / 2;
}

}  // namespace

void* CSurface::ShapeDC() {
    void* dc = m_impl->GetDC();
    if (dc == nullptr) m_status = kSurfaceBadArgument;
    return dc;
}

int32_t CSurface::DCOffsetX() const { return m_impl->HasOrigin() ? 0 : m_originX; }
int32_t CSurface::DCOffsetY() const { return m_impl->HasOrigin() ? 0 : m_originY; }

CRect CSurface::FrontClip() const {
    const CRect area = WritableArea(m_impl);
    return CRect(area.left + m_originX, area.top + m_originY, area.right + m_originX, area.bottom + m_originY);
}

namespace {

// One GDI shape through the surface's DC with the front clip rectangle.
// Points are front coordinates (x, y pairs).
int GdiShape(CSurface* s, void* dc, int kind, std::vector<int32_t> points, int32_t count, const OsShapeStyle& style,
             int32_t offsetX, int32_t offsetY, const CRect& clip) {
    for (size_t i = 0; i + 1 < points.size(); i += 2) points[i] -= offsetX, points[i + 1] -= offsetY;
    const CRect dcClip(clip.left - offsetX, clip.top - offsetY, clip.right - offsetX, clip.bottom - offsetY);
    const int result = OsDrawShape(dc, &dcClip, kind, points.data(), count, style);
    s->ReleaseDC(dc);
    return result;
}

// Pen and brush of a GDI shape: not filled, the pen with no brush; filled,
// the brush with no pen for width 0, else the pen.
OsShapeStyle GdiStyle(uint32_t fill, int32_t penWidth, uint32_t penColour, int32_t filled) {
    OsShapeStyle style{kOsPenSolid, penWidth, penColour, kOsBrushNone, 0};
    if (filled) {
        style.brush = kOsBrushSolid;
        style.brushColour = fill;
        if (penWidth == 0) style.pen = kOsPenNone;
    }
    return style;
}

}  // namespace

int CSurface::DrawEllipse(int32_t x1, int32_t y1, int32_t x2, int32_t y2, uint32_t fill, int32_t penWidth,
                          uint32_t penColour, int32_t filled) {
    Sort(&x1, &y1, &x2, &y2);
    void* dc = ShapeDC();
    if (dc == nullptr) return 0;
    const OsShapeStyle style = GdiStyle(fill, penWidth, penColour, filled);
    std::vector<int32_t> box{x1, y1, x2, y2};
    if (style.pen != kOsPenNone) InsetForPen(box.data(), penWidth);
    return GdiShape(this, dc, kOsShapeEllipse, box, 2, style, DCOffsetX(), DCOffsetY(), FrontClip());
}

int CSurface::DrawEllipseOutline(int32_t x1, int32_t y1, int32_t x2, int32_t y2, int32_t penWidth,
                                 uint32_t penColour) {
    if (penWidth == 0) return 0;
    return DrawEllipse(x1, y1, x2, y2, 0, penWidth, penColour, 0);
}

int CSurface::DrawRectangle(int32_t x1, int32_t y1, int32_t x2, int32_t y2, uint32_t fill, int32_t penWidth,
                            uint32_t penColour, int32_t filled) {
    Sort(&x1, &y1, &x2, &y2);
    if (filled && penWidth == 0) return FillRect(x1, y1, x2 - x1, y2 - y1, fill);
    void* dc = ShapeDC();
    if (dc == nullptr) return 0;
    const OsShapeStyle style = GdiStyle(fill, penWidth, penColour, filled);
    std::vector<int32_t> box{x1, y1, x2, y2};
    InsetForPen(box.data(), penWidth);
    return GdiShape(this, dc, kOsShapeRectangle, box, 2, style, DCOffsetX(), DCOffsetY(), FrontClip());
}

int CSurface::DrawRectangleOutline(int32_t x1, int32_t y1, int32_t x2, int32_t y2, int32_t penWidth,
                                   uint32_t penColour) {
    return DrawRectangle(x1, y1, x2, y2, 0, penWidth, penColour, 0);
}

int CSurface::DrawPolygon(const int32_t* points, int32_t count, uint32_t fill, int32_t penWidth, uint32_t penColour,
                          int32_t filled) {
    if (points == nullptr || count <= 0) return 0;
    void* dc = ShapeDC();
    if (dc == nullptr) return 0;
    std::vector<int32_t> copy(points, points + 2 * static_cast<size_t>(count));
    return GdiShape(this, dc, kOsShapePolygon, std::move(copy), count, GdiStyle(fill, penWidth, penColour, filled),
                    DCOffsetX(), DCOffsetY(), FrontClip());
}

int CSurface::DrawPolygonOutline(const int32_t* points, int32_t count, int32_t penWidth, uint32_t penColour) {
    return DrawPolygon(points, count, 0, penWidth, penColour, 0);
}

int CSurface::DrawLine(int32_t x1, int32_t y1, int32_t x2, int32_t y2, int32_t penWidth, uint32_t colour) {
    if (penWidth != 1) {
        void* dc = ShapeDC();
        if (dc == nullptr) return 0;
        const OsShapeStyle style{kOsPenSolid, penWidth, colour, kOsBrushNone, 0};
        return GdiShape(this, dc, kOsShapeLine, {x1, y1, x2, y2}, 2, style, DCOffsetX(), DCOffsetY(), FrontClip());
    }
    // One lock for the whole line where the implementation has pixel memory.
    const int locked = m_impl->Lock();
    RasterLine(x1, y1, x2, y2, FrontClip(),
               [&](int32_t x, int32_t y) { m_impl->SetPixel(x - m_originX, y - m_originY, colour); });
    if (locked) m_impl->Unlock();
    return 1;
}
