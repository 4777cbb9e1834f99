// GDI shapes for the surface library's shape operations.
#include <windows.h>

#include <vector>

#include "graphics2d/os_shapes.h"

namespace {

HPEN MakePen(const OsShapeStyle& s, bool* owned) {
    *owned = false;
    switch (s.pen) {
    case kOsPenSolid: *owned = true; return CreatePen(PS_SOLID, s.penWidth, s.penColour);
    case kOsPenInsideFrame: *owned = true; return CreatePen(PS_INSIDEFRAME, s.penWidth, s.penColour);
    case kOsPenWhiteStock: return static_cast<HPEN>(GetStockObject(WHITE_PEN));
    default: return static_cast<HPEN>(GetStockObject(NULL_PEN));
    }
}

HBRUSH MakeBrush(const OsShapeStyle& s, bool* owned) {
    *owned = false;
    switch (s.brush) {
    case kOsBrushSolid: *owned = true; return CreateSolidBrush(s.brushColour);
    case kOsBrushWhiteStock: return static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH));
    default: return static_cast<HBRUSH>(GetStockObject(NULL_BRUSH));
    }
}

}  // namespace

int OsDrawShape(void* dcHandle, const CRect* clip, int kind, const int32_t* points, int32_t count,
                const OsShapeStyle& style) {
    HDC dc = static_cast<HDC>(dcHandle);
    if (!dc || !points) return 0;
    const int saved = SaveDC(dc);
    if (clip) IntersectClipRect(dc, clip->left, clip->top, clip->right, clip->bottom);
    bool penOwned, brushOwned;
    HPEN pen = MakePen(style, &penOwned);
    HBRUSH brush = MakeBrush(style, &brushOwned);
    int result = 0;
    if (pen && brush) {
        HGDIOBJ oldPen = SelectObject(dc, pen);
        HGDIOBJ oldBrush = SelectObject(dc, brush);
        switch (kind) {
        case kOsShapeEllipse: result = Ellipse(dc, points[0], points[1], points[2], points[3]) != 0; break;
        case kOsShapeRectangle: result = Rectangle(dc, points[0], points[1], points[2], points[3]) != 0; break;
        case kOsShapePolygon: {
            std::vector<POINT> list(static_cast<size_t>(count));
            for (int32_t i = 0; i < count; ++i) list[i] = {points[2 * i], points[2 * i + 1]};
            result = count > 0 && Polygon(dc, list.data(), count) != 0;
            break;
        }
        case kOsShapeLine:
            MoveToEx(dc, points[0], points[1], nullptr);
            result = LineTo(dc, points[2], points[3]) != 0;
            break;
        }
        SelectObject(dc, oldBrush);
        SelectObject(dc, oldPen);
    }
    if (penOwned && pen) DeleteObject(pen);
    if (brushOwned && brush) DeleteObject(brush);
    RestoreDC(dc, saved);
    GdiFlush();
    return result;
}

int OsFillSolidRect(void* dcHandle, const CRect& rect, uint32_t colour) {
    HDC dc = static_cast<HDC>(dcHandle);
    if (!dc) return 0;
    HBRUSH brush = CreateSolidBrush(colour);
    if (!brush) return 0;
    const RECT r = {rect.left, rect.top, rect.right, rect.bottom};
    const int result = FillRect(dc, &r, brush) != 0;
    DeleteObject(brush);
    GdiFlush();
    return result;
}
