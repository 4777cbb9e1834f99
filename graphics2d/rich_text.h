#pragma once
// Rich text: the small markup of the surface members "Write" and "WriteLn"
// (font face, colour and size, bold, italic, underline, strike-out,
// typewriter face, bigger and smaller text, superscript and subscript),
// character entities, line breaking at the surface's width, scrolling and
// the text cursor. The engine sees the surface only through IRichTextHost
// (measuring, fonts, drawing, marking, scrolling), so it needs no OS header
// and runs over fake metrics in tests.
//
// Tags are case-insensitive; a malformed tag prints as text, an unknown tag
// is skipped. Nothing here fails: a font that cannot be made falls back to
// the current one.
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "graphics2d/os_gdi.h"
#include "runtime/base/rect.h"

// Token kinds; a close tag is 0x1000 + its open kind.
enum : uint32_t {
    kRichEnd = 1,  // end of text, or an unknown tag
    kRichText = 2,
    kRichUnderline = 3,
    kRichBold = 4,
    kRichItalic = 5,
    kRichStrike = 6,
    kRichFont = 9,
    kRichTypewriter = 10,
    kRichSmall = 11,
    kRichBig = 12,
    kRichSup = 13,
    kRichSub = 14,
    kRichClose = 0x1000,
    kRichKindMask = 0x1FFF,
    // FONT attributes given.
    kRichFontColour = 0x20000,
    kRichFontHeight = 0x40000,
    kRichFontFace = 0x80000,
};

struct RichToken {
    uint32_t kind = kRichEnd;
    std::string text;
    std::string face;
    int32_t height = 0;   // a LOGFONT height (negative: character height)
    uint32_t colour = 0;  // COLORREF
};

// One upper-cased word from *pos (advanced): blanks, tabs and line feeds
// skipped; a quoted word up to the closing quote, else up to ">", "=", a
// blank or a tab.
std::string ReadRichWord(const std::string& text, size_t* pos);
// One token from *pos (advanced); `height` is the current LOGFONT height
// that relative FONT sizes start from.
RichToken NextRichToken(const std::string& text, size_t* pos, int32_t height);

struct RichTextEntity {
    const char* entity;
    const char* replacement;
};
// The 297 entities in the order they are applied.
const RichTextEntity* RichTextEntities(size_t* count);
// Replaces every entity of the table, one entry after another.
void ApplyRichEntities(std::string* text);

struct RichTextExtent {
    int32_t width = 0;
    int32_t height = 0;
    int32_t ascent = 0;
};
// The outline metrics SUP and SUB use (y values).
struct RichScriptMetrics {
    int32_t subscriptSize = 0;
    int32_t subscriptOffset = 0;
    int32_t superscriptSize = 0;
    int32_t superscriptOffset = 0;
};

// What the engine needs of the surface it prints on.
class IRichTextHost {
public:
    virtual ~IRichTextHost() {}
    virtual int32_t Width() = 0;
    virtual int32_t Height() = 0;
    // Text extent and ascent of the text in the font; false when unmeasurable.
    virtual bool Measure(void* font, const char* text, int32_t length, RichTextExtent* extent) = 0;
    // Outline text metrics of the font; false for fonts without them.
    virtual bool ScriptMetrics(void* font, RichScriptMetrics* metrics) = 0;
    virtual void* CreateFont(const LogFontA& description) = 0;
    virtual void DeleteFont(void* font) = 0;
    // Draws at (x, baseline) with baseline alignment, clipped to `clip`.
    virtual void Draw(const char* text, int32_t length, int32_t x, int32_t baseline, const CRect& clip,
                      uint32_t colour, void* font) = 0;
    // Marks an area for presentation (the host skips it while drawing is locked).
    virtual void Mark(const CRect& area) = 0;
    // Moves the content up by `rows` (all of it when rows >= height) and
    // fills the freed rows with the background colour.
    virtual void Scroll(int32_t rows) = 0;
};

// The fonts made during one call, found again by their description (the
// first 28 bytes of the LOGFONT and the face name). Made fonts are deleted
// when the cache is emptied.
class CRichFontCache {
public:
    explicit CRichFontCache(IRichTextHost* host) : m_host(host) {}
    ~CRichFontCache() { Empty(); }
    CRichFontCache(const CRichFontCache&) = delete;
    CRichFontCache& operator=(const CRichFontCache&) = delete;
    // An entry for a font somebody else owns.
    void AddUnowned(void* font, const LogFontA& description);
    // The cached or a new font; the fallback when none can be made.
    void* Lookup(const LogFontA& description, void* fallback);
    void Empty();
    size_t Count() const { return m_entries.size(); }

private:
    struct Entry {
        bool owned;
        void* font;
        LogFontA description;
    };
    IRichTextHost* m_host;
    std::vector<Entry> m_entries;
};

// The style a line starts with: font description, its font and the colour.
struct RichStyle {
    LogFontA font;
    void* handle;
    uint32_t colour;
};

// One "Write" or "WriteLn" call: prints at the cursor and moves it. The font
// cache lives for the call; the style carries from line to line within it.
class CRichTextWriter {
public:
    CRichTextWriter(IRichTextHost* host, void* font, const LogFontA& description, uint32_t penColour, bool wrapping,
                    int32_t x, int32_t y);
    // "Write": the text at the cursor, the cursor behind its last character.
    void Write(const std::string& text);
    // One argument of "WriteLn": its lines, the cursor at the next line's start.
    void WriteLine(const std::string& text);
    // "WriteLn" without text: one font height down.
    void EmptyLine();
    int32_t X() const { return m_x; }
    int32_t Y() const { return m_y; }

    // Parts exposed for tests and the fuzzer.
    // Lays one line out: measuring (draw false) fills the three results,
    // drawing uses them. The style is advanced to the line's end.
    void Layout(const std::string& line, int32_t x, int32_t y, bool draw, RichTextExtent* extent, RichStyle* style);
    // The lines the text prints as, from the cursor x.
    std::vector<std::string> Split(const std::string& text);
    const CRichFontCache& Cache() const { return m_cache; }

private:
    // Measures, scrolls when the line passes the bottom, draws; the line's extent.
    RichTextExtent PrintLine(const std::string& line);
    void ScrollFor(int32_t lineHeight);
    int32_t Down(int32_t lineHeight) const;

    IRichTextHost* m_host;
    CRichFontCache m_cache;
    RichStyle m_style;
    bool m_wrapping;
    int32_t m_x;
    int32_t m_y;
};
