#pragma once
// CRefString: reference-counted copy-on-write text.
//
// The object is one pointer to the characters; a header {reference count,
// length, capacity} sits right in front of them. Copies share the block until
// one of them is written. One process-wide empty block stands for every empty
// string and is never counted, written or freed. A block whose count is
// negative is locked: its owner has handed out the buffer for writing
// (GetBuffer), so it is copied rather than shared until ReleaseBuffer.
#include <cstdarg>
#include <cstdint>

// Windows headers map LoadString to LoadStringA; the member keeps its own name.
#ifdef LoadString
#undef LoadString
#endif

#if defined(__MINGW32__)
#define TW_PRINTF_FORMAT(f, a) __attribute__((format(gnu_printf, f, a)))
#elif defined(__GNUC__)
#define TW_PRINTF_FORMAT(f, a) __attribute__((format(printf, f, a)))
#else
#define TW_PRINTF_FORMAT(f, a)
#endif

struct CRefStringData {
    int32_t refs;      // sharers; below 0 = locked by GetBuffer
    int32_t length;    // bytes before the terminator
    int32_t capacity;  // bytes for characters, terminator excluded
    char* chars() { return reinterpret_cast<char*>(this + 1); }
};

class CRefString {
public:
    CRefString();
    CRefString(const CRefString& other);
    // Null gives the empty string; a value below 0x10000 is a string-resource id.
    CRefString(const char* chars);
    ~CRefString();

    void InitEmpty();  // points at the shared empty string (nothing released)
    void FromChars(const char* chars);  // replaces the text (resource-id rule as above)
    void Release();                     // drops the block; the string is empty afterwards

    CRefString& operator=(const CRefString& other);
    CRefString& operator=(const char* chars) { AssignChars(chars); return *this; }
    void AssignChars(const char* chars);  // null assigns the empty string

    static CRefString ConcatCopy(const CRefString& a, const CRefString& b);
    static CRefString ConcatChars(const CRefString& a, const char* chars);
    void AppendChars(const char* chars);
    void AppendChar(char ch);
    void AppendString(const CRefString& other);
    CRefString& operator+=(const CRefString& other) { AppendString(other); return *this; }
    CRefString& operator+=(const char* chars) { AppendChars(chars); return *this; }
    CRefString& operator+=(char ch) { AppendChar(ch); return *this; }

    // Writable buffer of at least n bytes (plus the terminator); the string is
    // locked until ReleaseBuffer, which sets the length (n = -1: up to the NUL).
    char* GetBuffer(int n);
    void ReleaseBuffer(int n = -1);
    char* GetBufferSetLength(int n);

    const char* c_str() const { return m_pchData; }
    int GetLength() const { return Data()->length; }
    int IsEmpty() const { return Data()->length == 0; }
    char GetAt(int i) const { return m_pchData[i]; }

    CRefString Mid(int first) const;
    CRefString Mid(int first, int count) const;
    CRefString Left(int n) const;
    CRefString Right(int n) const;

    int Find(char ch, int start = 0) const;
    int Find(const char* text, int start = 0) const;
    int ReverseFind(char ch) const;

    int Replace(const char* oldText, const char* newText);
    void MakeUpper();
    void TrimRight();
    void TrimLeft();

    void Format(const char* format, ...) TW_PRINTF_FORMAT(2, 3);
    void FormatV(const char* format, va_list args);

    // Loads string resource id; 1 when a non-empty string was found. A missing
    // resource leaves the string empty.
    int LoadString(unsigned id);

    int Compare(const char* chars) const;        // -1, 0 or 1, bytes unsigned
    int CompareNoCase(const char* chars) const;  // -1, 0 or 1, ignoring case
    bool operator<=(const CRefString& other) const { return Compare(other.m_pchData) <= 0; }
    bool operator<=(const char* chars) const { return Compare(chars) <= 0; }

private:
    CRefStringData* Data() const { return reinterpret_cast<CRefStringData*>(m_pchData) - 1; }
    bool IsSharedEmpty() const;
    bool IsUnshared() const;                  // count 1 or locked
    void AllocBuffer(int length);             // new block of count 1, length = capacity
    void AssignCopy(int length, const char* chars);
    void AppendCopy(int length, const char* chars);
    void CopyBeforeWrite();
    static void ReleaseData(CRefStringData* data);

    char* m_pchData;
};
