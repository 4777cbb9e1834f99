#include "graphics2d/rich_text.h"

#include <algorithm>
#include <climits>
#include <cctype>
#include <cstdio>
#include <cstdlib>
#include <cstring>

// ---- words, tokens, entities ----

std::string ReadRichWord(const std::string& text, size_t* pos) {
    size_t p = *pos;
    while (p < text.size() && (text[p] == ' ' || text[p] == '\t' || text[p] == '\n')) ++p;
    std::string word;
    if (p < text.size() && text[p] == '"') {
        const size_t end = text.find('"', p + 1);
        word = text.substr(p + 1, end == std::string::npos ? std::string::npos : end - p - 1);
        p = end == std::string::npos ? text.size() : end + 1;
    } else {
        const size_t start = p;
        while (p < text.size() && text[p] != '>' && text[p] != '=' && text[p] != ' ' && text[p] != '\t') ++p;
        word = text.substr(start, p - start);
    }
    for (char& c : word) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    *pos = p;
    return word;
}

namespace {

struct TagName {
    const char* name;
    uint32_t kind;
};
const TagName kTags[] = {
    {"U", kRichUnderline}, {"B", kRichBold},        {"STRONG", kRichBold},  {"I", kRichItalic},
    {"EM", kRichItalic},   {"STRIKE", kRichStrike}, {"TT", kRichTypewriter}, {"SMALL", kRichSmall},
    {"BIG", kRichBig},     {"SUP", kRichSup},       {"SUB", kRichSub},       {"FONT", kRichFont},
};

uint32_t KindOfName(const std::string& name) {
    const bool close = !name.empty() && name[0] == '/';
    const std::string bare = close ? name.substr(1) : name;
    for (const TagName& t : kTags)
        if (bare == t.name) return close ? kRichClose + t.kind : t.kind;
    return kRichEnd;
}

// The text token of a malformed tag: "<" and everything up to the next "<".
RichToken NotMarkup(const std::string& text, size_t open, size_t* pos) {
    RichToken t;
    t.kind = kRichText;
    const size_t next = text.find('<', open + 1);
    t.text = text.substr(open, next == std::string::npos ? std::string::npos : next - open);
    *pos = next == std::string::npos ? text.size() : next;
    return t;
}

// The FONT attribute list up to ">" or the end; fills the token.
void ReadFontAttributes(const std::string& text, size_t* pos, int32_t height, RichToken* t) {
    size_t& p = *pos;
    while (p < text.size() && text[p] != '>') {
        const std::string name = ReadRichWord(text, &p);
        const bool known = name == "FACE" || name == "COLOR" || name == "SIZE";
        std::string value;
        if (p < text.size() && text[p] == '=') {
            ++p;
            value = ReadRichWord(text, &p);
        }
        if (!known) {
            // Unknown attributes are stepped over with their value; at the
            // end of the text nothing more can be read.
            if (name.empty() && value.empty() && p < text.size() && text[p] != '>') ++p;
            continue;
        }
        if (value.empty()) break;
        if (name == "FACE") {
            t->face = value.substr(0, 31);
            if (!t->face.empty()) t->kind |= kRichFontFace;
        } else if (name == "COLOR") {
            const char* v = value.c_str() + (value[0] == '#' ? 1 : 0);
            unsigned r, g, b;
            if (std::sscanf(v, "%02x%02x%02x", &r, &g, &b) == 3) {
                t->colour = r + g * 256 + b * 65536;
                t->kind |= kRichFontColour;
            }
        } else {
            const char sign = value[0];
            const int32_t n = std::atoi(value.c_str() + ((sign == '+' || sign == '-') ? 1 : 0));
            int64_t size = n;
            if (sign == '+' || sign == '-') {
                const int64_t current = std::llabs(static_cast<int64_t>(height));
                size = std::max<int64_t>(0, sign == '+' ? current + n : current - n);
            }
            if (size != 0) {
                t->height = static_cast<int32_t>(-std::min<int64_t>(size, INT32_MAX));
                t->kind |= kRichFontHeight;
            }
        }
    }
}

}  // namespace

RichToken NextRichToken(const std::string& text, size_t* pos, int32_t height) {
    RichToken t;
    size_t p = *pos;
    if (p >= text.size()) return t;
    if (text[p] != '<') {
        const size_t next = text.find('<', p);
        t.kind = kRichText;
        t.text = text.substr(p, next == std::string::npos ? std::string::npos : next - p);
        *pos = next == std::string::npos ? text.size() : next;
        return t;
    }
    const size_t open = p++;
    const std::string name = ReadRichWord(text, &p);
    if (name == "FONT") {
        t.kind = kRichFont;
        ReadFontAttributes(text, &p, height, &t);
        if (p >= text.size() || text[p] != '>') return NotMarkup(text, open, pos);
        *pos = p + 1;
        return t;
    }
    if (p >= text.size() || text[p] != '>') return NotMarkup(text, open, pos);
    *pos = p + 1;
    t.kind = KindOfName(name);
    return t;
}

void ApplyRichEntities(std::string* text) {
    if (text->find('&') == std::string::npos) return;
    size_t count;
    const RichTextEntity* table = RichTextEntities(&count);
    for (size_t i = 0; i < count; ++i) {
        const char* entity = table[i].entity;
        const size_t length = std::strlen(entity);
        size_t at = text->find(entity);
        while (at != std::string::npos) {
            text->replace(at, length, table[i].replacement);
            at = text->find(entity, at + std::strlen(table[i].replacement));
        }
    }
}

// ---- the font cache ----

namespace {

bool SameFont(const LogFontA& a, const LogFontA& b) {
    return std::memcmp(&a, &b, 28) == 0 && std::strncmp(a.lfFaceName, b.lfFaceName, sizeof a.lfFaceName) == 0;
}

}  // namespace

void CRichFontCache::AddUnowned(void* font, const LogFontA& description) {
    m_entries.push_back({false, font, description});
}

void* CRichFontCache::Lookup(const LogFontA& description, void* fallback) {
    for (const Entry& e : m_entries)
        if (SameFont(e.description, description)) return e.font;
    void* made = m_host->CreateFont(description);
    if (made == nullptr) return fallback;
    m_entries.push_back({true, made, description});
    return made;
}

void CRichFontCache::Empty() {
    for (const Entry& e : m_entries)
        if (e.owned) m_host->DeleteFont(e.font);
    m_entries.clear();
}

// ---- layout ----

namespace {

// A style saved by an opening tag, restored by its close tag.
struct SavedStyle {
    uint32_t kind;
    char face[32];
    int32_t height;
    uint32_t colour;
    int32_t offset;
};

void SetFace(LogFontA* font, const char* face) {
    std::strncpy(font->lfFaceName, face, sizeof font->lfFaceName - 1);
    font->lfFaceName[sizeof font->lfFaceName - 1] = 0;
}

// A height times a factor, cut toward zero (and kept in 32 bits).
int32_t Scaled(int32_t height, double factor) {
    const double v = height * factor;
    return v >= INT32_MAX ? INT32_MAX : v <= INT32_MIN ? INT32_MIN : static_cast<int32_t>(v);
}

}  // namespace

CRichTextWriter::CRichTextWriter(IRichTextHost* host, void* font, const LogFontA& description, uint32_t penColour,
                                 bool wrapping, int32_t x, int32_t y)
    : m_host(host), m_cache(host), m_style{description, font, penColour}, m_wrapping(wrapping), m_x(x), m_y(y) {
    m_cache.AddUnowned(font, description);
}

void CRichTextWriter::Layout(const std::string& line, int32_t x, int32_t y, bool draw, RichTextExtent* extent,
                             RichStyle* style) {
    if (!draw) *extent = RichTextExtent();
    LogFontA& lf = style->font;
    int32_t offset = 0;
    std::vector<SavedStyle> stack;
    const CRect area(x, y, static_cast<int32_t>(std::min<int64_t>(m_host->Width(), int64_t(x) + extent->width)),
                     static_cast<int32_t>(std::min<int64_t>(m_host->Height(), int64_t(y) + extent->height)));
    const int32_t baseline = y + extent->ascent;
    auto save = [&](uint32_t kind) {
        SavedStyle s{kind, {}, lf.lfHeight, style->colour, offset};
        std::memcpy(s.face, lf.lfFaceName, sizeof s.face);
        stack.push_back(s);
    };
    size_t pos = 0;
    while (pos < line.size()) {
        RichToken t = NextRichToken(line, &pos, lf.lfHeight);
        const uint32_t kind = t.kind & kRichKindMask;
        bool changed = true;
        switch (kind) {
        case kRichUnderline: lf.lfUnderline = 1; break;
        case kRichClose + kRichUnderline: lf.lfUnderline = 0; break;
        case kRichBold: lf.lfWeight = 700; break;
        case kRichClose + kRichBold: lf.lfWeight = 400; break;
        case kRichItalic: lf.lfItalic = 1; break;
        case kRichClose + kRichItalic: lf.lfItalic = 0; break;
        case kRichStrike: lf.lfStrikeOut = 1; break;
        case kRichClose + kRichStrike: lf.lfStrikeOut = 0; break;
        case kRichTypewriter:
            save(kind);
            SetFace(&lf, "Courier New");
            break;
        case kRichBig:
            save(kind);
            lf.lfHeight = Scaled(lf.lfHeight, 1.75);
            break;
        case kRichSmall:
            save(kind);
            lf.lfHeight = Scaled(lf.lfHeight, 0.5714285714285714);
            break;
        case kRichSup:
        case kRichSub: {
            save(kind);
            RichScriptMetrics m;
            if (m_host->ScriptMetrics(style->handle, &m)) {
                lf.lfHeight = -(kind == kRichSub ? m.subscriptSize : m.superscriptSize);
                offset = kind == kRichSub ? m.subscriptOffset : -m.superscriptOffset;
            }
            break;
        }
        case kRichFont:
            save(kind);
            if (t.kind & kRichFontColour) style->colour = t.colour;
            if (t.kind & kRichFontHeight) lf.lfHeight = t.height;
            if (t.kind & kRichFontFace) SetFace(&lf, t.face.c_str());
            break;
        case kRichClose + kRichTypewriter:
        case kRichClose + kRichSmall:
        case kRichClose + kRichBig:
        case kRichClose + kRichSup:
        case kRichClose + kRichSub:
        case kRichClose + kRichFont: {
            const uint32_t open = kind - kRichClose;
            auto found = std::find_if(stack.rbegin(), stack.rend(), [open](const SavedStyle& s) { return s.kind == open; });
            if (found == stack.rend()) {
                changed = false;
                break;
            }
            const SavedStyle s = *found;
            stack.erase(std::next(found).base());
            if (open == kRichTypewriter || open == kRichFont) std::memcpy(lf.lfFaceName, s.face, sizeof s.face);
            if (open != kRichTypewriter) lf.lfHeight = s.height;
            if (open == kRichSup || open == kRichSub) offset = s.offset;
            if (open == kRichFont) style->colour = s.colour;
            break;
        }
        case kRichText: {
            changed = false;
            ApplyRichEntities(&t.text);
            if (t.text.empty()) break;
            RichTextExtent e;
            const int32_t length = static_cast<int32_t>(std::min<size_t>(t.text.size(), INT32_MAX));
            if (!m_host->Measure(style->handle, t.text.c_str(), length, &e)) e = RichTextExtent();
            const int32_t shift = offset < 0 ? -offset : offset;
            if (!draw) {
                extent->width = static_cast<int32_t>(std::min<int64_t>(INT32_MAX, int64_t(extent->width) + e.width));
                extent->height = std::max(extent->height, e.height + shift);
                extent->ascent = std::max(extent->ascent, e.ascent + shift);
            } else {
                m_host->Mark(area);
                m_host->Draw(t.text.c_str(), length, x, baseline + offset, area, style->colour, style->handle);
                x = static_cast<int32_t>(std::min<int64_t>(INT32_MAX, int64_t(x) + e.width));
            }
            break;
        }
        default: changed = false; break;  // unknown tags are skipped
        }
        if (changed) style->handle = m_cache.Lookup(lf, style->handle);
    }
}

// ---- lines and the cursor ----

std::vector<std::string> CRichTextWriter::Split(const std::string& text) {
    std::vector<std::string> lines;
    if (text.empty()) return lines;
    if (!m_wrapping) {
        lines.push_back(text);
        return lines;
    }
    const int32_t width = std::max(m_host->Width(), 0);
    RichStyle lineStyle = m_style;
    int32_t startX = m_x;
    std::string current;
    for (char c : text) {
        current += c;
        RichStyle probe = lineStyle;
        RichTextExtent e;
        Layout(current, startX, 0, false, &e, &probe);
        if (int64_t(startX) + e.width <= width) continue;
        const size_t blank = current.find_last_of(" \t");
        size_t cut = blank == std::string::npos ? current.size() - 1 : blank + 1;
        std::string finished = current.substr(0, cut);
        if (finished.empty()) {
            // A single character that does not fit: at the line's start it
            // takes the line alone (so every line takes at least one
            // character); behind the cursor a line of blanks moves on.
            if (startX <= 0) {
                finished = current;
                cut = current.size();
            } else {
                finished.assign(static_cast<size_t>(width), ' ');
            }
        }
        RichTextExtent ignored;
        Layout(finished, startX, 0, false, &ignored, &lineStyle);
        lines.push_back(finished);
        current.erase(0, cut);
        startX = 0;
    }
    if (!current.empty()) lines.push_back(current);
    return lines;
}

int32_t CRichTextWriter::Down(int32_t lineHeight) const {
    return static_cast<int32_t>(std::min<int64_t>(int64_t(m_y) + lineHeight, m_host->Height()));
}

void CRichTextWriter::ScrollFor(int32_t lineHeight) {
    const int32_t height = m_host->Height();
    if (m_y <= 0 || int64_t(m_y) + lineHeight <= height) return;
    const int32_t overflow = static_cast<int32_t>(std::min<int64_t>(INT32_MAX, int64_t(m_y) + lineHeight - height));
    m_host->Mark(CRect(0, 0, m_host->Width(), height));
    m_host->Scroll(overflow);
    m_y = std::max(0, m_y - overflow);
}

RichTextExtent CRichTextWriter::PrintLine(const std::string& line) {
    RichTextExtent e;
    RichStyle measured = m_style;
    Layout(line, m_x, m_y, false, &e, &measured);
    ScrollFor(e.height);
    Layout(line, m_x, m_y, true, &e, &m_style);
    return e;
}

void CRichTextWriter::Write(const std::string& text) {
    const std::vector<std::string> lines = Split(text);
    const int32_t width = m_host->Width();
    for (size_t i = 0; i < lines.size(); ++i) {
        const RichTextExtent e = PrintLine(lines[i]);
        if (i + 1 < lines.size()) {
            m_x = 0;
            m_y = Down(e.height);
            continue;
        }
        m_x = static_cast<int32_t>(std::min<int64_t>(INT32_MAX, int64_t(m_x) + e.width));
        if (m_wrapping && m_x >= width) {
            m_x = 0;
            m_y = Down(e.height);
        }
        m_x = std::min(m_x, width);
    }
}

void CRichTextWriter::WriteLine(const std::string& text) {
    if (text.empty()) {
        EmptyLine();
        return;
    }
    for (const std::string& line : Split(text)) {
        const RichTextExtent e = PrintLine(line);
        m_x = 0;
        m_y = Down(e.height);
    }
}

void CRichTextWriter::EmptyLine() {
    const int32_t h = static_cast<int32_t>(std::min<int64_t>(INT32_MAX, std::llabs(int64_t(m_style.font.lfHeight))));
    ScrollFor(h);
    m_x = 0;
    m_y = Down(h);
}
