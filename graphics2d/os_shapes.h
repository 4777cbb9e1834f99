#pragma once
// The GDI work of the shape operations: one shape drawn through a device
// context with a pen and a brush, and a solid rectangle. Coordinates are the
// DC's. The native build has no device contexts: every call answers 0.
#include <cstdint>

#include "runtime/base/rect.h"

enum OsShapeKind { kOsShapeEllipse, kOsShapeRectangle, kOsShapePolygon, kOsShapeLine };
// Pens: none (NULL_PEN), PS_SOLID, PS_INSIDEFRAME of the width and colour,
// or the stock WHITE_PEN.
enum OsPenKind { kOsPenNone, kOsPenSolid, kOsPenInsideFrame, kOsPenWhiteStock };
// Brushes: none (NULL_BRUSH), a solid brush of the colour, the stock WHITE_BRUSH.
enum OsBrushKind { kOsBrushNone, kOsBrushSolid, kOsBrushWhiteStock };

struct OsShapeStyle {
    int pen;  // OsPenKind
    int32_t penWidth;
    uint32_t penColour;  // library colour (COLORREF order)
    int brush;           // OsBrushKind
    uint32_t brushColour;
};

// Draws the shape: an ellipse or rectangle in the box points[0..3] (left,
// top, right, bottom), a polygon of `count` points (x, y pairs), or a line
// MoveToEx(points[0], points[1]) LineTo(points[2], points[3]). With a clip
// rectangle, IntersectClipRect first (the DC's clip region is restored after).
// The old pen and brush are reselected and the made ones deleted. 1 when drawn.
int OsDrawShape(void* dc, const CRect* clip, int kind, const int32_t* points, int32_t count,
                const OsShapeStyle& style);
// FillRect with a solid brush of the colour; 1 when filled.
int OsFillSolidRect(void* dc, const CRect& rect, uint32_t colour);
