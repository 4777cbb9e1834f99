#include "runtime/io/path_match.h"

#include <cstddef>
#include <cstring>

namespace {

// A piece of a text that is not NUL-terminated where it ends.
struct Span {
    const char* p;
    size_t n;
};

Span WholeText(const char* text) {
    if (!text) text = "";
    return Span{text, std::strlen(text)};
}

Span WithoutTrailingBackslash(Span s) {
    if (s.n && s.p[s.n - 1] == '\\') --s.n;
    return s;
}

// The part after the last "\\" of s.
Span LastComponent(Span s) {
    size_t b = s.n;
    while (b && s.p[b - 1] != '\\') --b;
    return Span{s.p + b, s.n - b};
}

const char* FindChar(Span s, size_t from, char c) {
    if (from >= s.n) return nullptr;
    return static_cast<const char*>(std::memchr(s.p + from, c, s.n - from));
}

char Upper(char c) {
    return c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c;
}

// The name is one component; it reads as if "." were appended when it has no
// ".". i is the position in the name, p in the pattern.
bool MatchComponent(Span name, Span pattern) {
    const bool dotted = FindChar(name, 0, '.') != nullptr;
    const size_t len = name.n + (dotted ? 0 : 1);
    auto at = [&](size_t k) { return k < name.n ? name.p[k] : '.'; };
    auto nextDot = [&](size_t from) {
        while (from < len && at(from) != '.') ++from;
        return from;
    };
    size_t i = 0, p = 0;
    while (p < pattern.n) {
        const char c = pattern.p[p];
        if (c == '*') {
            i = nextDot(i);
            if (i == len) return FindChar(pattern, p + 1, '.') == nullptr;
        } else if (c == '.') {
            i = nextDot(0);
            if (i == len) return false;
        } else if (c == '?') {
            ++i;
        } else {
            if (Upper(c) != Upper(at(i))) return false;
            ++i;
        }
        if (i >= len) return p + 1 == pattern.n;
        ++p;
        if (p == pattern.n) return true;  // a pattern that begins a name matches it
        if (at(i) == '.') {
            // The name's part before its "." is done: the pattern goes on after
            // its own next "." (the character just read counts).
            const char* dot = FindChar(pattern, p - 1, '.');
            if (!dot) return false;
            p = static_cast<size_t>(dot - pattern.p) + 1;
            if (++i == len) return true;
        }
    }
    return true;
}

// Assigns n characters (n < kMaxPathChars) to out.
void AssignSpan(CRefString* out, const char* p, size_t n) {
    if (!out) return;
    char buffer[kMaxPathChars];
    std::memcpy(buffer, p, n);
    buffer[n] = 0;
    out->AssignChars(buffer);
}

bool AppendPiece(CRefStringArray* list, const char* p, size_t n) {
    char buffer[kMaxPathChars];
    std::memcpy(buffer, p, n);
    buffer[n] = 0;
    return list->AddChars(buffer) >= 0;
}

bool IsPieceLength(size_t n) { return n >= 1 && n < static_cast<size_t>(kMaxPathChars); }

bool IsPathSeparator(char c) { return c == '\\' || c == '/'; }

}  // namespace

bool MatchWildcard(const char* name, const char* pattern) {
    return MatchComponent(LastComponent(WithoutTrailingBackslash(WholeText(name))), WholeText(pattern));
}

bool MatchPattern(const char* path, const char* pattern) {
    Span rest = WithoutTrailingBackslash(WholeText(path));
    Span pat = WholeText(pattern);
    if (!FindChar(pat, 0, '\\')) return MatchComponent(LastComponent(rest), pat);
    pat = WithoutTrailingBackslash(pat);
    bool pathLeft = true;
    for (;;) {
        if (!pathLeft) return false;
        const Span patPart = LastComponent(pat);
        const Span pathPart = LastComponent(rest);
        if (!MatchComponent(pathPart, patPart)) return false;
        if (patPart.n == pat.n) return true;  // that was the pattern's first component
        pat.n -= patPart.n + 1;
        pathLeft = pathPart.n != rest.n;
        if (pathLeft) rest.n -= pathPart.n + 1;
    }
}

int FindMatchingPattern(const char* path, const CRefStringArray& patterns) {
    for (int k = 0; k < patterns.GetSize(); ++k)
        if (MatchPattern(path, patterns.GetAt(k)->c_str())) return k;
    return -1;
}

int ComparePaths(const char* a, const char* b) {
    if (!a) a = "";
    if (!b) b = "";
    for (;;) {
        const size_t la = std::strcspn(a, "\\"), lb = std::strcspn(b, "\\");
        const bool deeperA = a[la] == '\\', deeperB = b[lb] == '\\';
        if (deeperA != deeperB) return deeperA ? 1 : -1;
        const int c = std::memcmp(a, b, la < lb ? la : lb);
        if (c != 0) return c < 0 ? -1 : 1;
        if (la != lb) return la < lb ? -1 : 1;
        if (!deeperA) return 0;
        a += la + 1;
        b += lb + 1;
    }
}

int SplitIntoList(CRefStringArray* list, const char* text, char separator) {
    if (!list || !text) return 0;
    int added = 0;
    if (separator == 0) {
        for (size_t n; (n = std::strlen(text)) != 0; text += n + 1) {
            if (!IsPieceLength(n)) continue;
            if (!AppendPiece(list, text, n)) break;
            ++added;
        }
        return added;
    }
    for (;;) {
        const char* end = std::strchr(text, separator);
        const size_t n = end ? static_cast<size_t>(end - text) : std::strlen(text);
        if (IsPieceLength(n)) {
            if (!AppendPiece(list, text, n)) break;
            ++added;
        }
        if (!end) break;
        text = end + 1;
    }
    return added;
}

bool SplitPath(const char* path, CRefString* drive, CRefString* directory, CRefStringArray* components,
               CRefString* name, CRefString* extension) {
    if (!path) path = "";
    size_t n = 0;
    while (n < static_cast<size_t>(kMaxPathChars) && path[n]) ++n;
    if (n >= static_cast<size_t>(kMaxPathChars)) return false;

    const size_t dirStart = n >= 2 && path[1] == ':' ? 2 : 0;
    size_t nameStart = n;
    while (nameStart > dirStart && !IsPathSeparator(path[nameStart - 1])) --nameStart;
    size_t dot = n;
    while (dot > nameStart && path[dot - 1] != '.') --dot;
    const size_t extStart = dot > nameStart ? dot - 1 : n;

    AssignSpan(drive, path, dirStart);
    AssignSpan(directory, path + dirStart, nameStart - dirStart);
    AssignSpan(name, path + nameStart, extStart - nameStart);
    AssignSpan(extension, path + extStart, n - extStart);
    if (components) {
        components->RemoveAll();
        for (size_t b = dirStart, e; b < nameStart; b = e + 1) {
            e = b;
            while (e < nameStart && !IsPathSeparator(path[e])) ++e;
            if (e > b && !AppendPiece(components, path + b, e - b)) break;
        }
    }
    return true;
}
