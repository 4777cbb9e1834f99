// "Write" and "WriteLn": rich text printed at the surface's cursor. The
// engine (rich_text.h) reaches the picture through the host below.
#include "graphics2d/ci_surface.h"

#include "graphics2d/os_text_metrics.h"
#include "graphics2d/rich_text.h"

#include <functional>
#include <string>
#include <utility>

namespace {

constexpr uint32_t kBaselineAlignment = 24;  // TA_BASELINE

class CSurfaceTextHost : public IRichTextHost {
public:
    CSurfaceTextHost(CSurface* picture, uint32_t background, int32_t mode, uint32_t level, int32_t soften,
                     std::function<void(const CRect&)> mark)
        : m_picture(picture), m_background(background), m_mode(mode), m_level(level), m_soften(soften),
          m_mark(std::move(mark)) {}

    ~CSurfaceTextHost() override { LetGoOfDC(); }
    CSurfaceTextHost(const CSurfaceTextHost&) = delete;
    CSurfaceTextHost& operator=(const CSurfaceTextHost&) = delete;

    int32_t Width() override { return m_picture->GetWidth(); }
    int32_t Height() override { return m_picture->GetHeight(); }
    bool Measure(void* font, const char* text, int32_t length, RichTextExtent* extent) override {
        OsTextExtent e;
        const bool ok = OsMeasureText(MeasuringDC(), font, text, length, &e);
        if (ok) extent->width = e.width, extent->height = e.height, extent->ascent = e.ascent;
        return ok;
    }
    bool ScriptMetrics(void* font, RichScriptMetrics* metrics) override {
        OsScriptMetrics m;
        const bool ok = OsGetScriptMetrics(MeasuringDC(), font, &m);
        if (ok) {
            metrics->subscriptSize = m.subscriptSize, metrics->subscriptOffset = m.subscriptOffset;
            metrics->superscriptSize = m.superscriptSize, metrics->superscriptOffset = m.superscriptOffset;
        }
        return ok;
    }
    void* CreateFont(const LogFontA& description) override { return OsCreateFont(&description); }
    void DeleteFont(void* font) override { OsDeleteFont(font); }
    void Draw(const char* text, int32_t length, int32_t x, int32_t baseline, const CRect& clip, uint32_t colour,
              void* font) override {
        LetGoOfDC();
        m_picture->TextOut(text, length, x, baseline, kBaselineAlignment, &clip, colour, font, 1, m_mode, m_level,
                           m_soften);
    }
    void Mark(const CRect& area) override {
        LetGoOfDC();  // marking may take sprites off the picture first
        m_mark(area);
    }
    void Scroll(int32_t rows) override {
        LetGoOfDC();
        const int32_t w = Width(), h = Height();
        if (rows < h) {
            m_picture->MoveRect(0, 0, 0, rows, w, h - rows);
            m_picture->FillRect(0, h - rows, w, rows, m_background);
        } else {
            m_picture->FillRect(0, 0, w, h, m_background);
        }
    }

private:
    // The splitter measures a line many times before it is drawn: the
    // picture's device context is held across measurements (making one can
    // cost more than the measurement) and given back before anything draws.
    void* MeasuringDC() {
        if (m_dc == nullptr) m_dc = m_picture->GetDC();
        return m_dc;
    }
    void LetGoOfDC() {
        if (m_dc != nullptr) m_picture->ReleaseDC(m_dc);
        m_dc = nullptr;
    }

    CSurface* m_picture;
    void* m_dc = nullptr;
    uint32_t m_background;
    int32_t m_mode;
    uint32_t m_level;
    int32_t m_soften;
    std::function<void(const CRect&)> m_mark;
};

}  // namespace

// Runs one call's printing with a writer over the picture; the cursor
// follows the writer, the font cache is emptied when the writer goes.
template <class Print>
static void WithWriter(CISurface* surface, CSurface* picture, uint32_t background, uint32_t pen, bool wrapping,
                       int32_t mode, uint32_t level, int32_t soften, void* font, int32_t* x, int32_t* y,
                       std::function<void(const CRect&)> mark, Print&& print) {
    (void)surface;
    CSurfaceTextHost host(picture, background, mode, level, soften, std::move(mark));
    LogFontA description{};
    OsGetFontDescription(font, &description);
    CRichTextWriter writer(&host, font, description, pen, wrapping, *x, *y);
    print(writer);
    *x = writer.X();
    *y = writer.Y();
}

int32_t CISurface::Write() {
    std::string text;
    for (int32_t i = 0; i < GetArgCount(m_interpretor); ++i)
        if (const char* part = ArgTextOrNull(m_interpretor, i)) text += part;
    if (!m_picture) return 0;
    WithWriter(this, m_picture.get(), m_background, m_penColour, m_wrapping != 0, m_drawMode,
               static_cast<uint32_t>(m_drawLevel), m_antiAlias, GetFontHandle(), &m_cursorX, &m_cursorY,
               [this](const CRect& r) { MarkDrawn(r); }, [&](CRichTextWriter& w) { w.Write(text); });
    return 0;
}

int32_t CISurface::WriteLn() {
    const int32_t count = GetArgCount(m_interpretor);
    if (!m_picture) return 0;
    WithWriter(this, m_picture.get(), m_background, m_penColour, m_wrapping != 0, m_drawMode,
               static_cast<uint32_t>(m_drawLevel), m_antiAlias, GetFontHandle(), &m_cursorX, &m_cursorY,
               [this](const CRect& r) { MarkDrawn(r); }, [&](CRichTextWriter& w) {
                   if (count == 0) w.EmptyLine();
                   for (int32_t i = 0; i < count; ++i) {
                       const char* line = ArgTextOrNull(m_interpretor, i);
                       w.WriteLine(line != nullptr ? line : "");
                   }
               });
    return 0;
}
