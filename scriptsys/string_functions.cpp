#include "scriptsys/string_functions.h"

#include <cctype>
#include <cstdio>
#include <cstring>

namespace tw::strings {

namespace {

const char* Safe(const char* text) { return text ? text : ""; }

int32_t Len(const char* text) { return static_cast<int32_t>(std::strlen(Safe(text))); }

std::string Wrap(const char* open, const char* text, const char* close) {
    std::string out;
    out.reserve(std::strlen(open) + std::strlen(Safe(text)) + std::strlen(close));
    out += open;
    out += Safe(text);
    out += close;
    return out;
}

}  // namespace

std::string WrapInTag(const char* text, const char* tag) {
    std::string open = std::string("<") + tag + ">";
    std::string close = std::string("</") + tag + ">";
    return Wrap(open.c_str(), text, close.c_str());
}

std::string WrapFontColor(const char* text, int32_t colour) {
    char open[32];
    std::snprintf(open, sizeof open, "<FONT COLOR=#%.6X>", static_cast<unsigned>(colour) & 0xFFFFFFu);
    return Wrap(open, text, "</FONT>");
}

std::string WrapFontSize(const char* text, int32_t size) {
    char open[32];
    std::snprintf(open, sizeof open, "<FONT SIZE=%i>", static_cast<int>(size));
    return Wrap(open, text, "</FONT>");
}

std::string ToLowerCase(const char* text) {
    std::string out(Safe(text));
    for (char& c : out) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return out;
}

std::string ToUpperCase(const char* text) {
    std::string out(Safe(text));
    for (char& c : out) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    return out;
}

std::string CharAt(const char* text, int32_t index) {
    if (index < 0 || index >= Len(text)) return std::string();
    return std::string(1, text[index]);
}

int32_t IndexOf(const char* text, const char* sub, int32_t start) {
    if (start < 0 || start >= Len(text)) return -1;
    const char* found = std::strstr(text + start, Safe(sub));
    return found ? static_cast<int32_t>(found - text) : -1;
}

int32_t LastIndexOf(const char* text, const char* sub) {
    if (Len(text) == 0 || Len(sub) == 0) return -1;
    const size_t step = std::strlen(sub);
    int32_t last = -1;
    for (const char* p = std::strstr(text, sub); p; p = std::strstr(p + step, sub))
        last = static_cast<int32_t>(p - text);
    return last;
}

std::string SubString(const char* text, int32_t start, int32_t count) {
    const int32_t length = Len(text);
    if (start < 0 || start >= length || count <= 0) return std::string();
    if (count > length - start) count = length - start;
    return std::string(text + start, static_cast<size_t>(count));
}

int32_t Length(const char* text) { return Len(text); }

int32_t AsciiAt(const char* text, int32_t index) {
    if (index < 0 || index >= Len(text)) return 0;
    return static_cast<unsigned char>(text[index]);
}

int32_t CompareNoCase(const char* a, const char* b) {
    const unsigned char* p = reinterpret_cast<const unsigned char*>(Safe(a));
    const unsigned char* q = reinterpret_cast<const unsigned char*>(Safe(b));
    for (;; ++p, ++q) {
        int x = std::tolower(*p);
        int y = std::tolower(*q);
        if (x != y || x == 0) return x - y;
    }
}

}  // namespace tw::strings
