#include "runtime/base/ref_string.h"

#include "runtime/base/os_memory.h"
#include "runtime/base/os_strings.h"

#include <cctype>
#include <climits>
#include <cstddef>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <cwchar>
#include <new>

namespace {

// The shared empty string: constant-initialised, so strings built by static
// constructors of other units can already point at it.
struct EmptyBlock {
    CRefStringData header;
    char text[4];
};
EmptyBlock g_emptyBlock = {{1, 0, 0}, {0, 0, 0, 0}};
static_assert(offsetof(EmptyBlock, text) == sizeof(CRefStringData),
              "characters must follow the header directly");

char* EmptyChars() { return g_emptyBlock.text; }

int32_t AtomicIncrement(int32_t* p) { return __atomic_add_fetch(p, 1, __ATOMIC_ACQ_REL); }
int32_t AtomicDecrement(int32_t* p) { return __atomic_sub_fetch(p, 1, __ATOMIC_ACQ_REL); }
int32_t AtomicLoad(const int32_t* p) { return __atomic_load_n(p, __ATOMIC_ACQUIRE); }

void* AllocRetrying(std::size_t bytes) {
    void* p = std::malloc(bytes);
    if (p == nullptr) {
        OsCompactHeap();
        p = std::malloc(bytes);
    }
    if (p == nullptr)
        throw std::bad_alloc();
    return p;
}

bool IsResourceId(const char* chars) {
    return chars != nullptr && reinterpret_cast<uintptr_t>(chars) < 0x10000;
}

int Sign(int v) { return v < 0 ? -1 : (v > 0 ? 1 : 0); }

}  // namespace

// ---- block management ----

bool CRefString::IsSharedEmpty() const { return m_pchData == EmptyChars(); }

bool CRefString::IsUnshared() const {
    int32_t refs = AtomicLoad(&Data()->refs);
    return refs == 1 || refs < 0;
}

void CRefString::ReleaseData(CRefStringData* data) {
    if (data == &g_emptyBlock.header)
        return;
    // A locked block (count below 0) has one owner: dropping it frees it too.
    if (AtomicDecrement(&data->refs) <= 0)
        std::free(data);
}

void CRefString::AllocBuffer(int length) {
    if (length <= 0) {
        m_pchData = EmptyChars();
        return;
    }
    auto* data = static_cast<CRefStringData*>(
        AllocRetrying(sizeof(CRefStringData) + static_cast<std::size_t>(length) + 1));
    data->refs = 1;
    data->length = length;
    data->capacity = length;
    data->chars()[length] = 0;
    m_pchData = data->chars();
}

void CRefString::CopyBeforeWrite() {
    CRefStringData* data = Data();
    if (IsSharedEmpty() || AtomicLoad(&data->refs) <= 1)
        return;
    int length = data->length;
    AllocBuffer(length);
    std::memcpy(m_pchData, data->chars(), length);
    ReleaseData(data);
}

// Copies length bytes of chars (which may lie inside this string's own block):
// the block is reused when unshared and large enough, else a block of exactly
// that length replaces it.
void CRefString::AssignCopy(int length, const char* chars) {
    if (length < 0)
        length = 0;
    if (!IsSharedEmpty() && IsUnshared() && Data()->capacity >= length) {
        std::memmove(m_pchData, chars, length);
        Data()->length = length;
        m_pchData[length] = 0;
        return;
    }
    if (length == 0) {
        Release();
        return;
    }
    CRefStringData* old = Data();
    AllocBuffer(length);
    std::memcpy(m_pchData, chars, length);
    ReleaseData(old);
}

void CRefString::AppendCopy(int length, const char* chars) {
    if (length <= 0)
        return;
    CRefStringData* data = Data();
    int oldLength = data->length;
    if (!IsSharedEmpty() && IsUnshared() && oldLength + length <= data->capacity) {
        std::memmove(m_pchData + oldLength, chars, length);
        data->length = oldLength + length;
        m_pchData[data->length] = 0;
        return;
    }
    if (length > INT_MAX - oldLength)
        throw std::bad_alloc();
    const char* oldChars = m_pchData;
    AllocBuffer(oldLength + length);
    std::memcpy(m_pchData, oldChars, oldLength);
    std::memcpy(m_pchData + oldLength, chars, length);
    ReleaseData(data);
}

// ---- construction and assignment ----

CRefString::CRefString() : m_pchData(EmptyChars()) {}

CRefString::CRefString(const CRefString& other) : m_pchData(EmptyChars()) {
    *this = other;
}

CRefString::CRefString(const char* chars) : m_pchData(EmptyChars()) {
    FromChars(chars);
}

CRefString::~CRefString() {
    ReleaseData(Data());
}

void CRefString::InitEmpty() { m_pchData = EmptyChars(); }

void CRefString::Release() {
    ReleaseData(Data());
    m_pchData = EmptyChars();
}

void CRefString::FromChars(const char* chars) {
    if (IsResourceId(chars)) {
        LoadString(static_cast<unsigned>(reinterpret_cast<uintptr_t>(chars)));
        return;
    }
    AssignChars(chars);
}

void CRefString::AssignChars(const char* chars) {
    if (chars == nullptr) {
        Release();
        return;
    }
    std::size_t n = std::strlen(chars);
    if (n > INT_MAX - 16)
        throw std::bad_alloc();
    AssignCopy(static_cast<int>(n), chars);
}

CRefString& CRefString::operator=(const CRefString& other) {
    if (m_pchData == other.m_pchData)
        return *this;
    CRefStringData* mine = Data();
    CRefStringData* theirs = other.Data();
    bool mineLocked = !IsSharedEmpty() && AtomicLoad(&mine->refs) < 0;
    bool theirsLocked = !other.IsSharedEmpty() && AtomicLoad(&theirs->refs) < 0;
    if (mineLocked || theirsLocked) {
        // A locked block is never shared: copy the text instead.
        AssignCopy(theirs->length, other.m_pchData);
        return *this;
    }
    if (!other.IsSharedEmpty())
        AtomicIncrement(&theirs->refs);
    ReleaseData(mine);
    m_pchData = other.m_pchData;
    return *this;
}

// ---- concatenation ----

CRefString CRefString::ConcatCopy(const CRefString& a, const CRefString& b) {
    CRefString result;
    int la = a.GetLength(), lb = b.GetLength();
    if (lb > INT_MAX - la)
        throw std::bad_alloc();
    result.AllocBuffer(la + lb);
    if (la + lb > 0) {
        std::memcpy(result.m_pchData, a.m_pchData, la);
        std::memcpy(result.m_pchData + la, b.m_pchData, lb);
    }
    return result;
}

CRefString CRefString::ConcatChars(const CRefString& a, const char* chars) {
    CRefString result;
    int la = a.GetLength();
    std::size_t lb = chars ? std::strlen(chars) : 0;
    if (lb > static_cast<std::size_t>(INT_MAX - la))
        throw std::bad_alloc();
    result.AllocBuffer(la + static_cast<int>(lb));
    if (la + lb > 0) {
        std::memcpy(result.m_pchData, a.m_pchData, la);
        std::memcpy(result.m_pchData + la, chars, lb);
    }
    return result;
}

void CRefString::AppendChars(const char* chars) {
    if (chars == nullptr)
        return;
    std::size_t n = std::strlen(chars);
    if (n > INT_MAX)
        throw std::bad_alloc();
    AppendCopy(static_cast<int>(n), chars);
}

void CRefString::AppendChar(char ch) {
    AppendCopy(1, &ch);
}

void CRefString::AppendString(const CRefString& other) {
    AppendCopy(other.GetLength(), other.m_pchData);
}

// ---- buffer access ----

char* CRefString::GetBuffer(int n) {
    if (n < 0)
        n = 0;
    CRefStringData* data = Data();
    if (IsSharedEmpty() && n == 0)
        return m_pchData;  // nothing may be written; never lock the shared block
    if (IsSharedEmpty() || !IsUnshared() || data->capacity < n) {
        int length = data->length;
        AllocBuffer(n > length ? n : length);
        std::memcpy(m_pchData, data->chars(), length);
        Data()->length = length;
        m_pchData[length] = 0;
        ReleaseData(data);
    }
    Data()->refs = -1;
    return m_pchData;
}

void CRefString::ReleaseBuffer(int n) {
    if (IsSharedEmpty())
        return;
    CRefStringData* data = Data();
    if (n < 0) {
        const void* end = std::memchr(m_pchData, 0, static_cast<std::size_t>(data->capacity));
        n = end ? static_cast<int>(static_cast<const char*>(end) - m_pchData) : data->capacity;
    }
    if (n > data->capacity)
        n = data->capacity;
    data->length = n;
    m_pchData[n] = 0;
    if (data->refs < 0)
        data->refs = 1;
}

char* CRefString::GetBufferSetLength(int n) {
    char* p = GetBuffer(n);
    if (!IsSharedEmpty()) {
        if (n < 0)
            n = 0;
        Data()->length = n;
        m_pchData[n] = 0;
    }
    return p;
}

// ---- substrings ----

CRefString CRefString::Mid(int first) const {
    return Mid(first, GetLength() - first);
}

CRefString CRefString::Mid(int first, int count) const {
    int length = GetLength();
    if (first < 0)
        first = 0;
    if (count < 0)
        count = 0;
    if (first > length)
        return CRefString();
    if (count > length - first)
        count = length - first;
    if (first == 0 && count == length)
        return *this;
    CRefString result;
    result.AssignCopy(count, m_pchData + first);
    return result;
}

CRefString CRefString::Left(int n) const {
    return Mid(0, n);
}

CRefString CRefString::Right(int n) const {
    int length = GetLength();
    if (n < 0)
        n = 0;
    if (n >= length)
        return *this;
    return Mid(length - n, n);
}

// ---- search ----

int CRefString::Find(char ch, int start) const {
    int length = GetLength();
    if (start < 0)
        start = 0;
    if (start >= length)
        return -1;
    const void* p = std::memchr(m_pchData + start, static_cast<unsigned char>(ch), length - start);
    return p ? static_cast<int>(static_cast<const char*>(p) - m_pchData) : -1;
}

int CRefString::Find(const char* text, int start) const {
    if (text == nullptr)
        return -1;
    if (start < 0)
        start = 0;
    if (start > GetLength())
        return -1;
    const char* p = std::strstr(m_pchData + start, text);
    return p ? static_cast<int>(p - m_pchData) : -1;
}

int CRefString::ReverseFind(char ch) const {
    for (int i = GetLength() - 1; i >= 0; --i)
        if (m_pchData[i] == ch)
            return i;
    return -1;
}

// ---- editing ----

int CRefString::Replace(const char* oldText, const char* newText) {
    if (oldText == nullptr || *oldText == 0)
        return 0;
    if (newText == nullptr)
        newText = "";
    std::size_t oldLen = std::strlen(oldText);
    std::size_t newLen = std::strlen(newText);
    int count = 0;
    for (const char* p = std::strstr(m_pchData, oldText); p; p = std::strstr(p + oldLen, oldText))
        ++count;
    if (count == 0)
        return 0;
    long long total = static_cast<long long>(GetLength()) +
                      static_cast<long long>(count) * (static_cast<long long>(newLen) - static_cast<long long>(oldLen));
    if (total > INT_MAX - 16)
        throw std::bad_alloc();
    // Build the result apart from the source (old and new may point into it),
    // then take it over: the own block is reused when unshared and large enough.
    CRefString result;
    result.AllocBuffer(static_cast<int>(total));
    char* out = result.m_pchData;
    const char* src = m_pchData;
    for (const char* p = std::strstr(src, oldText); p; p = std::strstr(src, oldText)) {
        std::memcpy(out, src, p - src);
        out += p - src;
        std::memcpy(out, newText, newLen);
        out += newLen;
        src = p + oldLen;
    }
    std::memcpy(out, src, std::strlen(src));
    if (total > 0 && (IsSharedEmpty() || !IsUnshared() || Data()->capacity < total))
        *this = result;
    else
        AssignCopy(static_cast<int>(total), result.m_pchData);
    return count;
}

void CRefString::MakeUpper() {
    CopyBeforeWrite();
    for (char* p = m_pchData; *p; ++p)
        *p = static_cast<char>(std::toupper(static_cast<unsigned char>(*p)));
}

void CRefString::TrimRight() {
    int length = GetLength();
    int end = length;
    while (end > 0 && std::isspace(static_cast<unsigned char>(m_pchData[end - 1])))
        --end;
    if (end == length)
        return;
    CopyBeforeWrite();
    Data()->length = end;
    m_pchData[end] = 0;
}

void CRefString::TrimLeft() {
    int length = GetLength();
    int first = 0;
    while (first < length && std::isspace(static_cast<unsigned char>(m_pchData[first])))
        ++first;
    if (first == 0)
        return;
    CopyBeforeWrite();
    std::memmove(m_pchData, m_pchData + first, length - first);
    Data()->length = length - first;
    m_pchData[length - first] = 0;
}

// ---- formatting ----

namespace {

// Size estimate of a printf format with its arguments: ordinary bytes and "%%"
// count 1; a conversion counts its width and precision plus a per-kind amount.
// Stops at a conversion it does not know (the caller formats with a bounded
// buffer and grows it when the estimate was short).
long long EstimateFormat(const char* format, va_list args) {
    va_list ap;
    va_copy(ap, args);
    long long total = 0;
    for (const char* p = format; *p; ++p) {
        if (*p != '%') {
            ++total;
            continue;
        }
        ++p;
        if (*p == '%') {
            ++total;
            continue;
        }
        while (*p && std::strchr("-+ #0", *p))
            ++p;
        int width = 0;
        if (*p == '*') {
            width = va_arg(ap, int);
            if (width < 0)
                width = width == INT_MIN ? INT_MAX : -width;
            ++p;
        } else {
            for (; *p >= '0' && *p <= '9'; ++p)
                width = width < 100000000 ? width * 10 + (*p - '0') : width;
        }
        int precision = -1;
        if (*p == '.') {
            ++p;
            precision = 0;
            if (*p == '*') {
                precision = va_arg(ap, int);
                ++p;
            } else {
                for (; *p >= '0' && *p <= '9'; ++p)
                    precision = precision < 100000000 ? precision * 10 + (*p - '0') : precision;
            }
        }
        enum { kInt, kLong, kLongLong, kSize, kLongDouble } size = kInt;
        for (bool more = true; more;) {
            switch (*p) {
            case 'h': ++p; break;
            case 'l': size = size == kLong ? kLongLong : kLong; ++p; break;
            case 'L': size = kLongDouble; ++p; break;
            case 'q': size = kLongLong; ++p; break;
            case 'z': case 't': size = kSize; ++p; break;
            case 'j': size = kLongLong; ++p; break;
            case 'I':
                if (p[1] == '6' && p[2] == '4') { size = kLongLong; p += 3; }
                else if (p[1] == '3' && p[2] == '2') { size = kInt; p += 3; }
                else { size = kSize; ++p; }
                break;
            default: more = false;
            }
        }
        long long item = 0;
        switch (*p) {
        case 's': {
            if (size == kLong) {
                const wchar_t* w = va_arg(ap, const wchar_t*);
                item = w ? static_cast<long long>(wcslen(w)) * 4 : 6;
            } else {
                const char* s = va_arg(ap, const char*);
                item = s ? static_cast<long long>(std::strlen(s)) : 6;
            }
            break;
        }
        case 'c':
            (void)va_arg(ap, int);
            item = 2;
            break;
        case 'd': case 'i': case 'u': case 'o': case 'x': case 'X':
            if (size == kLongLong) (void)va_arg(ap, long long);
            else if (size == kLong) (void)va_arg(ap, long);
            else if (size == kSize) (void)va_arg(ap, std::size_t);
            else (void)va_arg(ap, int);
            item = 32;
            break;
        case 'p':
            (void)va_arg(ap, void*);
            item = 32;
            break;
        case 'e': case 'E': case 'g': case 'G': case 'a': case 'A':
            if (size == kLongDouble) (void)va_arg(ap, long double);
            else (void)va_arg(ap, double);
            item = 128;
            break;
        case 'f': case 'F': {
            double d = size == kLongDouble ? static_cast<double>(va_arg(ap, long double)) : va_arg(ap, double);
            item = std::snprintf(nullptr, 0, "%*.*f", width, precision < 0 ? 6 : precision, d) + 6;
            break;
        }
        default:
            va_end(ap);
            return total;
        }
        total += width + (precision > 0 ? precision : 0) + item;
    }
    va_end(ap);
    return total;
}

}  // namespace

void CRefString::Format(const char* format, ...) {
    va_list args;
    va_start(args, format);
    FormatV(format, args);
    va_end(args);
}

void CRefString::FormatV(const char* format, va_list args) {
    if (format == nullptr) {
        Release();
        return;
    }
    long long estimate = EstimateFormat(format, args);
    if (estimate > INT_MAX - 16)
        estimate = INT_MAX - 16;
    if (estimate < 1)
        estimate = 1;  // never format into the shared empty block
    // Formatted into a separate string: the arguments may point into this one.
    CRefString result;
    char* buf = result.GetBuffer(static_cast<int>(estimate));
    va_list ap;
    va_copy(ap, args);
    int n = std::vsnprintf(buf, static_cast<std::size_t>(estimate) + 1, format, ap);
    va_end(ap);
    if (n > estimate) {
        // The estimate was short: never truncate or overrun, format again.
        buf = result.GetBuffer(n);
        va_copy(ap, args);
        n = std::vsnprintf(buf, static_cast<std::size_t>(n) + 1, format, ap);
        va_end(ap);
    }
    result.ReleaseBuffer(n < 0 ? 0 : n);
    *this = result;
}

// ---- resources and comparison ----

int CRefString::LoadString(unsigned id) {
    // Grow in steps of 256 until at least 3 bytes stay free, so that a text
    // that filled the buffer is known to be complete.
    for (int size = 256;; size += 256) {
        char* buf = GetBuffer(size);
        int n = OsLoadString(id, buf, size);
        if (n <= 0) {
            ReleaseBuffer(0);
            Release();
            return 0;
        }
        if (size - n >= 3) {
            ReleaseBuffer(n);
            return 1;
        }
    }
}

int CRefString::Compare(const char* chars) const {
    return Sign(std::strcmp(m_pchData, chars ? chars : ""));
}

int CRefString::CompareNoCase(const char* chars) const {
    const unsigned char* a = reinterpret_cast<const unsigned char*>(m_pchData);
    const unsigned char* b = reinterpret_cast<const unsigned char*>(chars ? chars : "");
    for (;; ++a, ++b) {
        int ca = std::tolower(*a), cb = std::tolower(*b);
        if (ca != cb || ca == 0)
            return Sign(ca - cb);
    }
}
