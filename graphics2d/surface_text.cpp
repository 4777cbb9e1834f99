// Text on surfaces: straight onto the surface's device context, or, with a
// blit mode or softening, onto a black scratch surface blitted transparently
// with that mode (black text is drawn as a near-black so that it survives).
#include <memory>

#include "graphics2d/os_gdi.h"
#include "graphics2d/surface.h"

namespace {

constexpr uint32_t kCalcRect = 0x400;  // DT_CALCRECT: measure only
constexpr int kTransparentBackground = 1;

// Colour 0 is the scratch surface's transparent value: replaced by a colour
// that looks the same.
uint32_t DrawableColour(CSurfaceImpl* s, uint32_t colour) {
    if (colour != 0) return colour;
    if (s->depth <= 8)
        return s->palette ? 0x02000000 | (s->GetPaletteColor(static_cast<int32_t>(s->GetBlackIndex())) & 0xFFFFFF)
                          : 0x00800000;
    return 8;
}

// The surface's DC with the font selected for one operation; restores the
// font and releases the DC when it ends.
class SelectedDC {
public:
    SelectedDC(CSurfaceImpl* s, void* font) : m_surface(s), m_dc(s->GetDC()) {
        if (m_dc && font) m_previous = OsSelectObject(m_dc, font);
    }
    ~SelectedDC() {
        if (!m_dc) return;
        if (m_previous) OsSelectObject(m_dc, m_previous);
        m_surface->ReleaseDC(m_dc);
    }
    SelectedDC(const SelectedDC&) = delete;
    SelectedDC& operator=(const SelectedDC&) = delete;
    void* dc() const { return m_dc; }

private:
    CSurfaceImpl* m_surface;
    void* m_dc;
    void* m_previous = nullptr;
};

// Draws through a black scratch surface of the area's size and blits it
// transparently with the mode; `draw` draws on the scratch surface.
template <class Draw>
int ThroughScratch(CSurfaceImpl* s, const CRect& area, int32_t mode, uint32_t parameter, int32_t soften, Draw draw) {
    const int32_t w = area.right - area.left, h = area.bottom - area.top;
    const uint32_t origin = s->GetOrigin();
    const int32_t ox = static_cast<int16_t>(origin & 0xFFFF), oy = static_cast<int16_t>(origin >> 16);
    std::unique_ptr<CSurfaceImpl> scratch(w > 0 && h > 0 ? s->MakeInstance(w, h) : nullptr);
    if (!scratch) return 0;
    scratch->FillRect(0, 0, w, h, 0);
    const int result = draw(scratch.get());
    scratch->Blit(s, area.left - ox, area.top - oy, 0, 0, w, h, 1, mode, parameter, soften);
    return result;
}

}  // namespace

int CSurfaceImpl::TextOut(const char* text, int32_t length, int32_t x, int32_t y, uint32_t alignment,
                          const CRect* clip, uint32_t colour, void* font, int32_t, int32_t mode, uint32_t parameter,
                          int32_t soften) {
    colour = DrawableColour(this, colour);
    if (mode || soften) {
        if (!clip) return 0;  // the scratch surface has the clip rectangle's size
        const CRect area = *clip;
        return ThroughScratch(this, area, mode, parameter, soften, [&](CSurfaceImpl* scratch) {
            const CRect local(0, 0, area.right - area.left, area.bottom - area.top);
            return scratch->TextOut(text, length, x - area.left, y - area.top, alignment, &local, colour, font, 1, 0,
                                    0, 0);
        });
    }
    SelectedDC dc(this, font);
    if (!dc.dc()) return 0;
    const int oldMode = OsSetBkMode(dc.dc(), kTransparentBackground);
    const uint32_t oldColour = OsSetTextColor(dc.dc(), colour);
    const uint32_t oldAlignment = OsSetTextAlign(dc.dc(), alignment);
    const int result = OsExtTextOut(dc.dc(), x, y, clip, text, length);
    if (oldAlignment != kOsGdiError) OsSetTextAlign(dc.dc(), oldAlignment);
    OsSetTextColor(dc.dc(), oldColour);
    OsSetBkMode(dc.dc(), oldMode);
    return result;
}

int CSurfaceImpl::DrawText(const char* text, int32_t length, CRect* rect, uint32_t format, uint32_t colour,
                           void* font, int32_t, int32_t mode, uint32_t parameter, int32_t soften, int32_t leftMargin,
                           int32_t rightMargin, int32_t tabLength) {
    if (!rect) return 0;
    colour = DrawableColour(this, colour);
    if ((mode || soften) && !(format & kCalcRect)) {
        const CRect area = *rect;
        return ThroughScratch(this, area, mode, parameter, soften, [&](CSurfaceImpl* scratch) {
            CRect local(0, 0, area.right - area.left, area.bottom - area.top);
            return scratch->DrawText(text, length, &local, format, colour, font, 1, 0, 0, 0, leftMargin, rightMargin,
                                     tabLength);
        });
    }
    SelectedDC dc(this, font);
    if (!dc.dc()) return 0;
    if (format & kCalcRect) return OsDrawTextEx(dc.dc(), text, length, rect, format, leftMargin, rightMargin, tabLength);
    const int oldMode = OsSetBkMode(dc.dc(), kTransparentBackground);
    const uint32_t oldColour = OsSetTextColor(dc.dc(), colour);
    const int result = OsDrawTextEx(dc.dc(), text, length, rect, format, leftMargin, rightMargin, tabLength);
    OsSetTextColor(dc.dc(), oldColour);
    OsSetBkMode(dc.dc(), oldMode);
    return result;
}
