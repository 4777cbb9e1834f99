// Drawing benchmark (Windows, run under Wine by bench/drawing-under-wine.sh),
// one run: a styled blended rectangle (mode 1) on a 640×480 32-bit DIB
// section against GDI FillRect of a memory bitmap plus AlphaBlend of it onto
// the same DIB; "Write" of 10,000 characters of plain text through the rich
// text engine against TextOutA of the same lines, scrolled as Write scrolls
// them; and characters per second
// of rich text with markup. Prints times and ratios (ours / theirs); Write
// also on a surface that keeps its DC.
#include <windows.h>
#undef TextOut
#undef DrawText

#include <chrono>
#include <cstdio>
#include <string>
#include <vector>

#include "graphics2d/fill_style.h"
#include "graphics2d/os_text_metrics.h"
#include "graphics2d/rich_text.h"
#include "graphics2d/surface_registry.h"

namespace {

using Clock = std::chrono::steady_clock;

template <class F>
double Millis(F&& f, int reps) {
    f();
    const auto t0 = Clock::now();
    for (int i = 0; i < reps; ++i) f();
    GdiFlush();
    return std::chrono::duration<double, std::milli>(Clock::now() - t0).count() / reps;
}

// The rich text host over a surface, as the script surface makes it.
class Host : public IRichTextHost {
public:
    explicit Host(CSurface* s) : m_s(s) {}
    ~Host() override { LetGo(); }
    int32_t Width() override { return m_s->GetWidth(); }
    int32_t Height() override { return m_s->GetHeight(); }
    bool Measure(void* font, const char* text, int32_t length, RichTextExtent* e) override {
        OsTextExtent x;
        if (!m_dc) m_dc = m_s->GetDC();  // held across measurements, as the script surface's host does
        const bool ok = OsMeasureText(m_dc, font, text, length, &x);
        e->width = x.width, e->height = x.height, e->ascent = x.ascent;
        return ok;
    }
    bool ScriptMetrics(void*, RichScriptMetrics*) override { return false; }
    void* CreateFont(const LogFontA& d) override { return OsCreateFont(&d); }
    void DeleteFont(void* f) override { OsDeleteFont(f); }
    void Draw(const char* text, int32_t length, int32_t x, int32_t baseline, const CRect& clip, uint32_t colour,
              void* font) override {
        LetGo();
        m_s->TextOut(text, length, x, baseline, TA_BASELINE, &clip, colour, font, 1, 0, 0, 0);
    }
    void Mark(const CRect&) override {}
    void Scroll(int32_t rows) override {
        LetGo();
        const int32_t w = Width(), h = Height();
        if (rows < h) m_s->MoveRect(0, 0, 0, rows, w, h - rows);
        m_s->FillRect(0, rows < h ? h - rows : 0, w, rows < h ? rows : h, 0xFFFFFF);
    }

private:
    void LetGo() {
        if (m_dc) m_s->ReleaseDC(m_dc);
        m_dc = nullptr;
    }
    CSurface* m_s;
    void* m_dc = nullptr;
};

}  // namespace

int main() {
    RegisterSurfaceClient();
    const CSurface* holder = nullptr;
    SelectPixelFormat(&holder, 32, kPlaceDIB, 0);
    CSurface s;
    if (!holder || !s.Create(640, 480, holder)) return 1;
    s.Clear(0xFFFFFF);

    // Styled blended rectangle against FillRect + AlphaBlend.
    CSolidFillStyle blue(0xFF0000);
    const double styled = Millis([&] { s.DrawRectangleStyledFilled(0, 0, 640, 480, &blue, 0, 1, 64); }, 20);
    HDC dc = static_cast<HDC>(s.GetDC());
    HDC memory = CreateCompatibleDC(dc);
    HBITMAP bitmap = CreateCompatibleBitmap(dc, 640, 480);
    HGDIOBJ old = SelectObject(memory, bitmap);
    HBRUSH brush = CreateSolidBrush(0xFF0000);
    const RECT all = {0, 0, 640, 480};
    const BLENDFUNCTION half = {AC_SRC_OVER, 0, 128, 0};
    const double gdi = Millis([&] {
        FillRect(memory, &all, brush);
        GdiAlphaBlend(dc, 0, 0, 640, 480, memory, 0, 0, 640, 480, half);
    }, 20);
    DeleteObject(brush);
    SelectObject(memory, old);
    DeleteObject(bitmap);
    DeleteDC(memory);
    // The surface's DC is not nested: the rich text host's ReleaseDC below
    // would end this taking, so the text reference takes its own afterwards.
    s.ReleaseDC(dc);

    // 10,000 characters of plain text in lines of 80.
    HFONT font = CreateFontA(-16, 0, 0, 0, FW_NORMAL, 0, 0, 0, ANSI_CHARSET, 0, 0, 0, 0, "Arial");
    LogFontA description{};
    OsGetFontDescription(font, &description);
    std::string line;
    for (int i = 0; i < 80; ++i) line += static_cast<char>('a' + i % 26);
    const int lines = 125;
    auto writeLines = [&](CSurface* on) {
        Host host(on);
        CRichTextWriter writer(&host, font, description, 0, false, 0, 0);
        for (int i = 0; i < lines; ++i) writer.WriteLine(line);
    };
    const double ours = Millis([&] { writeLines(&s); }, 3);
    // The same on a surface that keeps its DC: without a memory DC made and
    // deleted for every measurement and every line drawn.
    const CSurface* keptHolder = nullptr;
    SelectPixelFormat(&keptHolder, 32, kPlaceKeptDC, 0);
    CSurface kept;
    const bool haveKept = keptHolder && kept.Create(640, 480, keptHolder) && kept.Clear(0xFFFFFF);
    const double oursKept = haveKept ? Millis([&] { writeLines(&kept); }, 3) : 0;
    // The same lines through GDI alone, doing what Write does: each line
    // below the last, the surface scrolled up and the uncovered rows cleared
    // to white once a line would pass the bottom.
    dc = static_cast<HDC>(s.GetDC());
    bool drawn = dc != nullptr;
    HGDIOBJ oldFont = SelectObject(dc, font);
    SetBkMode(dc, TRANSPARENT);
    TEXTMETRICA metrics;
    GetTextMetricsA(dc, &metrics);
    const int lineHeight = metrics.tmHeight;
    HBRUSH white = static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH));
    const double raw = Millis([&] {
        int y = 0;
        for (int i = 0; i < lines; ++i) {
            if (y + lineHeight > 480) {
                const int rows = y + lineHeight - 480;
                BitBlt(dc, 0, 0, 640, 480 - rows, dc, 0, rows, SRCCOPY);
                const RECT uncovered = {0, 480 - rows, 640, 480};
                FillRect(dc, &uncovered, white);
                y -= rows;
            }
            drawn = TextOutA(dc, 0, y, line.c_str(), static_cast<int>(line.size())) && drawn;
            y += lineHeight;
        }
    }, 3);
    SelectObject(dc, oldFont);
    s.ReleaseDC(dc);
    if (!drawn) {
        std::fprintf(stderr, "TextOutA drew nothing: no reference\n");
        return 1;
    }

    // With markup, wrapping on.
    std::string marked;
    for (int i = 0; i < 200; ++i) marked += "plain <b>bold</b> <i>it</i> <FONT COLOR=#FF0000>red</FONT> &amp; ";
    const double markup = Millis([&] {
        Host host(&s);
        CRichTextWriter writer(&host, font, description, 0, true, 0, 0);
        writer.Write(marked);
    }, 2);
    DeleteObject(font);

    std::printf("styled blended rectangle 640x480: %.2f ms; FillRect + AlphaBlend %.2f ms; ratio %.2f\n", styled, gdi,
                styled / gdi);
    std::printf("Write 10000 characters: %.2f ms; TextOutA %.2f ms; ratio %.2f\n", ours, raw, ours / raw);
    if (haveKept)
        std::printf("Write 10000 characters on a kept-DC surface: %.2f ms; ratio %.2f\n", oursKept, oursKept / raw);
    std::printf("rich text with markup: %.0f characters per second\n", marked.size() / (markup / 1000.0));
    UnregisterSurfaceClient();
    return 0;
}
