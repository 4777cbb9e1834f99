// The drawing members of the script surface: pen, fill, gradients, draw
// modes, and the members that draw lines, shapes, polygons, pixels, flood
// fills and plain text. Each reads its arguments, marks the area it is about
// to change, picks the GDI or the styled operation of the surface library
// and moves the cursor.
#include "graphics2d/ci_surface.h"

#include "graphics2d/ci_surface_members.h"
#include "graphics2d/surface_render.h"
#include "runtime/base/ci_error.h"
#include "runtime/classes/class_registry.h"
#include "runtime/interp/script_value.h"

#include <algorithm>
#include <functional>
#include <iterator>
#include <new>
#include <vector>

namespace {

constexpr int32_t kModeBlending = 1;
constexpr uint32_t kWhite = 0xFFFFFF;
constexpr uint32_t kTextPlain = 0x08E0;    // one line, no prefix, tabs expanded
constexpr uint32_t kTextWrapped = 0x28D0;  // word breaks, no prefix, tabs expanded
constexpr uint32_t kTextCalcRect = 0x400;

bool Given(int32_t value) { return value != kArgDefaultInt; }

// A script colour argument as a COLORREF; omitted reads as black.
uint32_t ColourArg(CInterpretor* in, int32_t i) {
    return SwapRedBlue(static_cast<uint32_t>(GetArgInt(in, i))) & 0xFFFFFF;
}

int32_t IntOr(CInterpretor* in, int32_t i, int32_t fallback) {
    const int32_t v = GetArgInt(in, i);
    return Given(v) ? v : fallback;
}

CRect SortedBox(int32_t x1, int32_t y1, int32_t x2, int32_t y2) {
    return CRect(std::min(x1, x2), std::min(y1, y2), std::max(x1, x2), std::max(y1, y2));
}

}  // namespace

bool CISurface::CallDrawingMember(int32_t memberId) {
    static const CDispatchEntry<CISurface> kHandlers[] = {
        TW_MEMBER(Surface, Write),
        TW_MEMBER(Surface, WriteLn),
        TW_MEMBER(Surface, Line),
        TW_MEMBER(Surface, LineTo),
        TW_MEMBER(Surface, Ellipse),
        TW_MEMBER(Surface, Rectangle),
        TW_MEMBER(Surface, DrawPolygon),
        TW_MEMBER(Surface, SetPenColor),
        TW_MEMBER(Surface, SetFillColor),
        TW_MEMBER(Surface, SetFillGradientColor),
        TW_MEMBER(Surface, SetFillGradientDir),
        TW_MEMBER(Surface, SetPenGradientColor),
        TW_MEMBER(Surface, SetPenGradientDir),
        TW_MEMBER(Surface, SetPenSize),
        TW_MEMBER(Surface, SetAntiAlias),
        TW_MEMBER(Surface, SetDrawMode),
        TW_MEMBER(Surface, SetTransparentMode),
        TW_MEMBER(Surface, Fill),
        TW_MEMBER(Surface, DrawText),
        TW_MEMBER(Surface, SetPixel),
    };
    if (std::none_of(std::begin(kHandlers), std::end(kHandlers),
                     [memberId](const CDispatchEntry<CISurface>& e) { return e.memberId == memberId; }))
        return false;
    DispatchMember(this, kHandlers, memberId);
    return true;
}

// ---- state ----

void CISurface::UpdateDrawFlags() {
    m_plainDrawing = 1;
    m_modeBits = 0;
    if (m_drawMode != 0 || m_antiAlias) m_plainDrawing = 0;
    if (m_fillKind != 0) {
        m_modeBits = 2;
        if (m_fillKind != 4) m_plainDrawing = 0;
    }
    if (m_penKind != 0) {
        m_plainDrawing = 0;
        m_modeBits = m_modeBits == 2 ? 3 : 1;
    }
}

void CISurface::SetPenColorValue(uint32_t colour) {
    m_penColour = colour;
    if (m_penStyle) {
        m_penStyle.reset();
        m_penKind = 0;
    }
    UpdateDrawFlags();
}

CGradientFillStyle* CISurface::MakeGradient(std::unique_ptr<CFillStyle>* style, int32_t* kind) {
    if (*kind != 5) {
        style->reset();
        CGradientFillStyle* made = new (std::nothrow) CGradientFillStyle(8, kWhite, 0);
        if (made == nullptr) RaiseError(m_interpretor, 15);
        style->reset(made);
        *kind = 5;
        UpdateDrawFlags();
    }
    return static_cast<CGradientFillStyle*>(style->get());
}

int32_t CISurface::SetPenColor() {
    const uint32_t colour = ColourArg(m_interpretor, 0);
    ISurfaceOwner* owner = dynamic_cast<ISurfaceOwner*>(m_ownerObject);
    if (owner == nullptr || !owner->SetOwnerPenColour(colour)) SetPenColorValue(colour);
    return 0;
}

int32_t CISurface::SetFillColor() {
    m_fillStyle.reset();
    m_fillKind = 0;
    if (GetArgCount(m_interpretor) > 0 && !IsArgDefault(m_interpretor, 0)) {
        m_fillColour = ColourArg(m_interpretor, 0);
        m_fillStyle.reset(new (std::nothrow) CSolidFillStyle(m_fillColour));
        if (!m_fillStyle) RaiseError(m_interpretor, 15);
        m_fillKind = 4;
    }
    UpdateDrawFlags();
    return 0;
}

int32_t CISurface::SetFillGradientColor() {
    MakeGradient(&m_fillStyle, &m_fillKind)->SetColours(ColourArg(m_interpretor, 0), ColourArg(m_interpretor, 1));
    return 0;
}

int32_t CISurface::SetFillGradientDir() {
    MakeGradient(&m_fillStyle, &m_fillKind)->SetDirection(IntOr(m_interpretor, 0, 0));
    return 0;
}

int32_t CISurface::SetPenGradientColor() {
    MakeGradient(&m_penStyle, &m_penKind)->SetColours(ColourArg(m_interpretor, 0), ColourArg(m_interpretor, 1));
    return 0;
}

int32_t CISurface::SetPenGradientDir() {
    MakeGradient(&m_penStyle, &m_penKind)->SetDirection(IntOr(m_interpretor, 0, 0));
    return 0;
}

int32_t CISurface::SetPenSize() {
    m_penSize = std::max(GetArgInt(m_interpretor, 0), 0);
    UpdateDrawFlags();
    return 0;
}

int32_t CISurface::SetAntiAlias() {
    m_antiAlias = GetArgInt(m_interpretor, 0) != 0;
    if (m_renderAPI != nullptr && m_renderAPI->HasFeature(2)) m_renderAPI->EnableFeature(2, m_antiAlias);
    UpdateDrawFlags();
    return 0;
}

int32_t CISurface::SetDrawMode() {
    const int32_t mode = IntOr(m_interpretor, 0, 0);
    int32_t level = IntOr(m_interpretor, 1, 0);
    if (static_cast<uint32_t>(mode) > 8) RaiseError(m_interpretor, 24);
    // Blending weights come from levels 0..255 halved; a negative level
    // would give weights below 0, so it is clamped first.
    if (mode == kModeBlending) level = (std::min(std::max(level, 0), 255) + 1) / 2;
    if (mode == m_drawMode && level == m_drawLevel) return 0;
    m_drawMode = mode;
    m_drawLevel = level;
    UpdateDrawFlags();
    return 0;
}

int32_t CISurface::SetTransparentMode() {
    m_transparent = GetArgInt(m_interpretor, 0) != 0;
    return 0;
}

// ---- lines and shapes ----

void CISurface::PenLine(int32_t x1, int32_t y1, int32_t x2, int32_t y2) {
    if (!m_picture) return;
    if (m_plainDrawing && m_penKind == 0) {
        m_picture->DrawLine(x1, y1, x2, y2, m_penSize, m_penColour);
        return;
    }
    std::unique_ptr<CFillStyle> temporary;
    CFillStyle* pen = m_penStyle.get();
    if (pen == nullptr) temporary.reset(pen = new (std::nothrow) CSolidFillStyle(m_penColour));
    if (pen == nullptr) RaiseError(m_interpretor, 15);
    m_picture->DrawLineStyled(x1, y1, x2, y2, m_penSize, pen, m_antiAlias, m_drawMode,
                              static_cast<uint32_t>(m_drawLevel));
}

// The marked box of a line: its corners and the pen's reach around them.
static CRect LineBox(int32_t x1, int32_t y1, int32_t x2, int32_t y2, int32_t pen) {
    const CRect box = SortedBox(x1, y1, x2, y2);
    const int32_t reach = std::max(pen, 1);
    return CRect(box.left - reach, box.top - reach, box.right + reach + 1, box.bottom + reach + 1);
}

int32_t CISurface::Line() {
    const int32_t x1 = IntOr(m_interpretor, 0, m_cursorX), y1 = IntOr(m_interpretor, 1, m_cursorY);
    const int32_t x2 = IntOr(m_interpretor, 2, 0), y2 = IntOr(m_interpretor, 3, 0);
    MarkDrawn(LineBox(x1, y1, x2, y2, m_penSize));
    PenLine(x1, y1, x2, y2);
    m_cursorX = x2, m_cursorY = y2;
    return 0;
}

int32_t CISurface::LineTo() {
    const int32_t x = IntOr(m_interpretor, 0, 0), y = IntOr(m_interpretor, 1, 0);
    MarkDrawn(LineBox(m_cursorX, m_cursorY, x, y, m_penSize));
    PenLine(m_cursorX, m_cursorY, x, y);
    m_cursorX = x, m_cursorY = y;
    return 0;
}

// The three forms of one shape: GDI filled, GDI outline, styled.
struct CISurface::ShapeOps {
    std::function<int(uint32_t fill, int32_t pen, uint32_t penColour)> gdiFilled;
    std::function<int(int32_t pen, uint32_t penColour)> gdiOutline;
    std::function<int(CFillStyle* fill, int32_t pen, CFillStyle* penStyle, int32_t filled)> styled;
};

void CISurface::DrawShape(const ShapeOps& ops) {
    if (m_plainDrawing) {
        if (m_modeBits != 0)
            ops.gdiFilled(m_fillColour, m_penSize, m_penColour);
        else if (m_penSize >= 1)
            ops.gdiOutline(m_penSize, m_penColour);
        return;
    }
    if (m_penSize < 1) {
        if (m_fillStyle) ops.styled(m_fillStyle.get(), 0, nullptr, 1);
        return;
    }
    std::unique_ptr<CFillStyle> temporary;
    CFillStyle* pen = m_penStyle.get();
    if (pen == nullptr) temporary.reset(pen = new (std::nothrow) CSolidFillStyle(m_penColour));
    if (pen == nullptr) RaiseError(m_interpretor, 15);
    ops.styled(m_fillStyle.get(), m_penSize, pen, m_fillStyle ? 1 : 0);
}

namespace {

// The styled entry of a shape for the pen and fill at hand: the filled entry
// without a pen, the outline entry without a fill, else both.
template <class Filled, class Outline, class Both>
int StyledEntry(CFillStyle* fill, int32_t pen, CFillStyle* penStyle, Filled&& filled, Outline&& outline,
                Both&& both) {
    if (pen == 0) return filled(fill);
    if (fill == nullptr) return outline(pen, penStyle);
    return both(fill, pen, penStyle);
}

}  // namespace

// Reads a box (omitted first corner = cursor, omitted second = 0), sorts it,
// marks it and draws; the cursor goes to the sorted box's lower right.
#define TW_BOX_SHAPE(Name, Gdi, GdiOutline, Styled)                                                              \
    int32_t CISurface::Name() {                                                                                  \
        const CRect b = SortedBox(IntOr(m_interpretor, 0, m_cursorX), IntOr(m_interpretor, 1, m_cursorY),       \
                                  IntOr(m_interpretor, 2, 0), IntOr(m_interpretor, 3, 0));                       \
        MarkDrawn(CRect(b.left, b.top, b.right + 1, b.bottom + 1));                                              \
        if (m_picture) {                                                                                         \
            CSurface* p = m_picture.get();                                                                       \
            const int32_t aa = m_antiAlias, mode = m_drawMode;                                                   \
            const uint32_t level = static_cast<uint32_t>(m_drawLevel);                                           \
            ShapeOps ops;                                                                                        \
            ops.gdiFilled = [&](uint32_t fill, int32_t pen, uint32_t colour) {                                   \
                return p->Gdi(b.left, b.top, b.right, b.bottom, fill, pen, colour, 1);                          \
            };                                                                                                   \
            ops.gdiOutline = [&](int32_t pen, uint32_t colour) {                                                 \
                return p->GdiOutline(b.left, b.top, b.right, b.bottom, pen, colour);                            \
            };                                                                                                   \
            ops.styled = [&](CFillStyle* fill, int32_t pen, CFillStyle* penStyle, int32_t) {                     \
                return StyledEntry(                                                                              \
                    fill, pen, penStyle,                                                                         \
                    [&](CFillStyle* f) {                                                                         \
                        return p->Styled##Filled(b.left, b.top, b.right, b.bottom, f, aa, mode, level);          \
                    },                                                                                           \
                    [&](int32_t w, CFillStyle* s) {                                                              \
                        return p->Styled##Outline(b.left, b.top, b.right, b.bottom, w, s, aa, mode, level);      \
                    },                                                                                           \
                    [&](CFillStyle* f, int32_t w, CFillStyle* s) {                                               \
                        return p->Styled(b.left, b.top, b.right, b.bottom, f, w, s, aa, mode, level, 1);         \
                    });                                                                                          \
            };                                                                                                   \
            DrawShape(ops);                                                                                      \
        }                                                                                                        \
        m_cursorX = b.right, m_cursorY = b.bottom;                                                               \
        return 0;                                                                                                \
    }

TW_BOX_SHAPE(Ellipse, DrawEllipse, DrawEllipseOutline, DrawEllipseStyled)
TW_BOX_SHAPE(Rectangle, DrawRectangle, DrawRectangleOutline, DrawRectangleStyled)
#undef TW_BOX_SHAPE

int32_t CISurface::DrawPolygon() {
    std::vector<int32_t> points;
    const int32_t count = GetArgCount(m_interpretor);
    try {
        const CValue* first = count > 0 ? GetArg(m_interpretor, 0) : nullptr;
        if (first != nullptr && first->GetTag() == CValue::kObject) {
            CIBaseClassImpl* object = GetArgObject(m_interpretor, 0);
            if (object == nullptr || object->m_classId != kClassPointArray) RaiseError(m_interpretor, 53, 2);
            const ISurfacePointArray* array = dynamic_cast<const ISurfacePointArray*>(object);
            if (array == nullptr || array->GetPointKind() != 2) RaiseError(m_interpretor, 57);
            const int32_t n = std::max(array->GetPointCount(), 0);
            points.reserve(2 * static_cast<size_t>(n));
            for (int32_t i = 0; i < n; ++i) {
                points.push_back(static_cast<int32_t>(array->GetPointCoordinate(i, 0)));
                points.push_back(static_cast<int32_t>(array->GetPointCoordinate(i, 1)));
            }
        } else {
            if (count % 2 != 0) RaiseError(m_interpretor, 22);
            points.reserve(static_cast<size_t>(count));
            for (int32_t i = 0; i < count; ++i) points.push_back(GetArgInt(m_interpretor, i));
        }
    } catch (const std::bad_alloc&) {
        RaiseError(m_interpretor, 15);
    }
    const int32_t n = static_cast<int32_t>(points.size() / 2);
    if (n == 0 || !m_picture) return 0;
    CRect box(points[0], points[1], points[0], points[1]);
    for (int32_t i = 1; i < n; ++i) {
        box.left = std::min(box.left, points[2 * i]), box.right = std::max(box.right, points[2 * i]);
        box.top = std::min(box.top, points[2 * i + 1]), box.bottom = std::max(box.bottom, points[2 * i + 1]);
    }
    MarkDrawn(CRect(box.left, box.top, box.right + 1, box.bottom + 1));
    CSurface* p = m_picture.get();
    const int32_t* pts = points.data();
    const int32_t aa = m_antiAlias, mode = m_drawMode;
    const uint32_t level = static_cast<uint32_t>(m_drawLevel);
    ShapeOps ops;
    ops.gdiFilled = [&](uint32_t fill, int32_t pen, uint32_t colour) { return p->DrawPolygon(pts, n, fill, pen, colour, 1); };
    ops.gdiOutline = [&](int32_t pen, uint32_t colour) { return p->DrawPolygonOutline(pts, n, pen, colour); };
    ops.styled = [&](CFillStyle* fill, int32_t pen, CFillStyle* penStyle, int32_t) {
        return StyledEntry(
            fill, pen, penStyle, [&](CFillStyle* f) { return p->DrawPolygonStyledFilled(pts, n, f, aa, mode, level); },
            [&](int32_t w, CFillStyle* s) { return p->DrawPolygonStyledOutline(pts, n, w, s, aa, mode, level); },
            [&](CFillStyle* f, int32_t w, CFillStyle* s) {
                return p->DrawPolygonStyled(pts, n, f, w, s, aa, mode, level, 1);
            });
    };
    DrawShape(ops);
    return 0;
}

// ---- pixels, fills, text ----

int32_t CISurface::Fill() {
    int32_t x, y;
    PointArgs(&x, &y);
    const int32_t tolerance = IntOr(m_interpretor, 2, 0);
    MarkDrawn(CRect(0, 0, m_width, m_height));
    if (m_picture) m_picture->FloodFill(x, y, m_fillColour, 0, tolerance, 0, 0);
    return 0;
}

int32_t CISurface::SetPixel() {
    const int32_t count = GetArgCount(m_interpretor);
    if (count > 3) return 0;
    int32_t x = m_cursorX, y = m_cursorY;
    if (count >= 2) PointArgs(&x, &y);
    if (count == 1 || count == 3) {
        // One pixel of the given colour; the cursor steps right.
        const uint32_t colour = ColourArg(m_interpretor, count == 1 ? 0 : 2);
        MarkDrawn(CRect(x, y, x + 1, y + 1));
        if (m_picture) {
            int32_t ox, oy;
            m_picture->GetOrigin(&ox, &oy);
            m_picture->GetImpl()->SetPixel(x - ox, y - oy, colour);
        }
        m_cursorX = x + 1, m_cursorY = y;
        return 0;
    }
    // A pen point.
    if (m_plainDrawing) {
        MarkDrawn(CRect(x, y, x + 1, y + 1));
        if (m_picture) {
            int32_t ox, oy;
            m_picture->GetOrigin(&ox, &oy);
            m_picture->GetImpl()->SetPixel(x - ox, y - oy, m_penColour);
        }
        m_cursorX = x + 1, m_cursorY = y;
        return 0;
    }
    const int32_t reach = m_penSize > 1 ? m_penSize : 0;
    MarkDrawn(CRect(x - reach, y - reach, x + reach + 1, y + reach + 1));
    PenLine(x, y, x, y);
    if (m_penSize < 2)
        m_cursorX = x + 1, m_cursorY = y;
    else
        m_cursorX = x + m_penSize / 2, m_cursorY = y + m_penSize / 2;
    return 0;
}

int32_t CISurface::DrawText() {
    const char* given = ArgTextOrNull(m_interpretor, 0);
    const std::string text = given != nullptr && std::string(given) != "Default string" ? given : "";
    const int32_t x = IntOr(m_interpretor, 1, m_cursorX), y = IntOr(m_interpretor, 2, m_cursorY);
    const int32_t width = IntOr(m_interpretor, 3, m_width), height = IntOr(m_interpretor, 4, m_height);
    const int32_t wrap = IntOr(m_interpretor, 5, 0), tab = IntOr(m_interpretor, 6, 8);
    if (text.empty() || !m_picture) return 0;
    const uint32_t format = wrap ? kTextWrapped : kTextPlain;
    const int32_t length = static_cast<int32_t>(text.size());
    void* font = GetFontHandle();
    CRect measured(x, y, x + width, y + height);
    if (!m_picture->DrawText(text.c_str(), length, &measured, format + kTextCalcRect, m_penColour, font, 1,
                             m_drawMode, static_cast<uint32_t>(m_drawLevel), m_antiAlias, 0, 0, tab))
        return 0;
    CRect area(x, y, x + width, y + height);
    MarkDrawn(area);
    m_picture->DrawText(text.c_str(), length, &area, format, m_penColour, font, 1, m_drawMode,
                        static_cast<uint32_t>(m_drawLevel), m_antiAlias, 0, 0, tab);
    m_cursorX = measured.right >= 0 && measured.right <= m_width ? measured.right : 0;
    m_cursorY = measured.bottom >= 0 && measured.bottom <= m_height ? measured.bottom : 0;
    return 0;
}
