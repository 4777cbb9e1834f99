// Text metrics through GDI for rich text.
#include <windows.h>

#include "graphics2d/os_text_metrics.h"

namespace {

// The DC with the font selected for one measurement (a screen-compatible
// memory DC when none is given).
class MeasuringDC {
public:
    MeasuringDC(void* dc, void* font) : m_dc(static_cast<HDC>(dc)) {
        if (!m_dc) m_dc = m_own = CreateCompatibleDC(nullptr);
        if (m_dc && font) m_previous = SelectObject(m_dc, static_cast<HFONT>(font));
    }
    ~MeasuringDC() {
        if (m_dc && m_previous) SelectObject(m_dc, m_previous);
        if (m_own) DeleteDC(m_own);
    }
    MeasuringDC(const MeasuringDC&) = delete;
    MeasuringDC& operator=(const MeasuringDC&) = delete;
    HDC dc() const { return m_dc; }

private:
    HDC m_dc;
    HDC m_own = nullptr;
    HGDIOBJ m_previous = nullptr;
};

}  // namespace

bool OsMeasureText(void* dc, void* font, const char* text, int32_t length, OsTextExtent* extent) {
    MeasuringDC m(dc, font);
    if (!m.dc()) return false;
    SIZE size;
    TEXTMETRICA metrics;
    if (!GetTextExtentPoint32A(m.dc(), text, length, &size) || !GetTextMetricsA(m.dc(), &metrics)) return false;
    extent->width = size.cx;
    extent->height = size.cy;
    extent->ascent = metrics.tmAscent;
    return true;
}

bool OsGetScriptMetrics(void* dc, void* font, OsScriptMetrics* metrics) {
    MeasuringDC m(dc, font);
    if (!m.dc()) return false;
    union {
        OUTLINETEXTMETRICA otm;
        char bytes[212];
    } buffer;
    if (GetOutlineTextMetricsA(m.dc(), sizeof buffer.bytes, &buffer.otm) == 0) return false;
    metrics->subscriptSize = buffer.otm.otmptSubscriptSize.y;
    metrics->subscriptOffset = buffer.otm.otmptSubscriptOffset.y;
    metrics->superscriptSize = buffer.otm.otmptSuperscriptSize.y;
    metrics->superscriptOffset = buffer.otm.otmptSuperscriptOffset.y;
    return true;
}
