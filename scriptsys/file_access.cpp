#include "scriptsys/file_access.h"

#include "scriptsys/os_file_io.h"

#include <cstring>

// Sequential reader from the object's position: reads chunks of kChunkSize
// bytes and counts what the caller consumed, so the object's position can be
// moved past exactly that.
class CFileAccess::Cursor {
public:
    explicit Cursor(CFileAccess& file) : m_file(file) {
        if (SeekFileAbsolute(file.m_handle, file.m_position) < 0) m_error = OsLastFileError();
    }

    // The next byte, or -1 at the end of the file or after a failure.
    int Peek() {
        if (m_at == m_count && !Fill()) return -1;
        return static_cast<unsigned char>(m_chunk[m_at]);
    }
    void Take() {
        ++m_at;
        ++m_consumed;
    }
    uint32_t Error() const { return m_error; }
    bool AtEnd() { return Peek() < 0; }
    int32_t Consumed() const { return m_consumed; }

private:
    bool Fill() {
        if (m_error != 0 || m_ended) return false;
        m_at = 0;
        m_count = 0;
        m_error = OsReadSome(m_file.m_handle, m_chunk, kChunkSize, &m_count);
        if (m_error == 0 && m_count == 0) m_ended = true;
        return m_count > 0;
    }

    CFileAccess& m_file;
    char m_chunk[kChunkSize];
    int32_t m_count = 0;
    int32_t m_at = 0;
    int32_t m_consumed = 0;
    uint32_t m_error = 0;
    bool m_ended = false;
};

namespace {

bool IsLineEnd(int c) { return c == 0 || c == '\r' || c == '\n'; }

}  // namespace

void CFileAccess::CloseHandleOnly() {
    if (m_handle != kNoFileHandle) CloseFileHandle(m_handle);
    m_handle = kNoFileHandle;
}

void CFileAccess::Close() {
    CloseHandleOnly();
    m_path.clear();
}

void CFileAccess::SetPath(const char* path) {
    CloseHandleOnly();
    m_path.assign(path ? path : "");
    if (m_path.size() > kPathBytes - 1) m_path.resize(kPathBytes - 1);
}

uint32_t CFileAccess::OpenAs(int mode) {
    CloseHandleOnly();
    m_handle = OpenFileHandle(m_path.c_str(), mode);
    if (m_handle == kNoFileHandle) return OsLastFileError();
    int32_t size = GetFileHandleSize(m_handle);
    m_position = 0;
    m_length = size < 0 ? 0 : size;
    return 0;
}

uint32_t CFileAccess::Open() { return OpenAs(m_mode); }

uint32_t CFileAccess::Create() {
    CloseHandleOnly();
    m_handle = CreateFileHandle(m_path.c_str());
    if (m_handle == kNoFileHandle) return OsLastFileError();
    m_position = 0;
    m_length = 0;
    return 0;
}

uint32_t CFileAccess::OpenOrCreate() {
    if (OpenAs(kReadWrite) != 0 && OpenAs(kReadOnly) != 0) return Create();
    return OpenAs(m_mode);
}

uint32_t CFileAccess::ReadLine(std::string* line) {
    line->clear();
    Cursor cursor(*this);
    for (int c; (c = cursor.Peek()) >= 0;) {
        cursor.Take();
        if (IsLineEnd(c)) {
            int next = cursor.Peek();
            if (next == '\r' || next == '\n') cursor.Take();
            break;
        }
        line->push_back(static_cast<char>(c));
    }
    if (cursor.Error() != 0) {
        line->clear();
        return cursor.Error();
    }
    m_position += cursor.Consumed();
    return 0;
}

// Field tokenizer. A field ends at a separator (consumed), at CR, LF or NUL
// (consumed; CR LF and LF CR count as one line end) or at the end of the file.
// With kHandleQuotes a double quote opens a run up to the next double quote
// (or line end) that belongs to the field whatever it holds; the field ends
// with the run, and a separator or line end right after the closing quote is
// consumed with it, so "a","b" reads as two fields and not three.
uint32_t CFileAccess::ReadField(const std::string& separators, int options, std::string* field,
                                bool* found) {
    field->clear();
    *found = false;
    const std::string& set = separators.empty() ? std::string(",") : separators;
    auto isSeparator = [&set](int c) { return c != 0 && set.find(static_cast<char>(c)) != std::string::npos; };

    Cursor cursor(*this);
    auto takeLineEnd = [&cursor](int c) {
        cursor.Take();
        int next = cursor.Peek();
        if ((c == '\r' && next == '\n') || (c == '\n' && next == '\r')) cursor.Take();
    };

    if (cursor.AtEnd()) return cursor.Error();
    *found = true;
    if (options & kSkipSpaces) {
        for (int c; (c = cursor.Peek()) == ' ' || c == '\t';) cursor.Take();
    }
    for (int c; (c = cursor.Peek()) >= 0;) {
        if (IsLineEnd(c)) {
            takeLineEnd(c);
            break;
        }
        if (isSeparator(c)) {
            cursor.Take();
            break;
        }
        if ((options & kHandleQuotes) && c == '"') {
            const bool keepQuotes = (options & kReturnQuotes) != 0;
            cursor.Take();
            if (keepQuotes) field->push_back('"');
            for (int q; (q = cursor.Peek()) >= 0 && !IsLineEnd(q);) {
                cursor.Take();
                if (q == '"') {
                    if (keepQuotes) field->push_back('"');
                    break;
                }
                field->push_back(static_cast<char>(q));
            }
            int after = cursor.Peek();
            if (after >= 0 && IsLineEnd(after))
                takeLineEnd(after);
            else if (after >= 0 && isSeparator(after))
                cursor.Take();
            break;
        }
        cursor.Take();
        field->push_back(static_cast<char>(c));
    }
    if (cursor.Error() != 0) {
        field->clear();
        return cursor.Error();
    }
    m_position += cursor.Consumed();
    if (options & kSkipSpaces) {
        size_t end = field->find_last_not_of(" \t");
        field->erase(end == std::string::npos ? 0 : end + 1);
    }
    return 0;
}

uint32_t CFileAccess::Write(const char* data, int32_t count) {
    if (count <= 0) return 0;
    if (SeekFileAbsolute(m_handle, m_position) < 0) return OsLastFileError();
    int32_t put = 0;
    uint32_t error = OsWriteAll(m_handle, data, count, &put);
    m_position += put;
    if (m_position > m_length) m_length = m_position;
    return error;
}

uint32_t CFileAccess::SetPosition(int32_t position) {
    int32_t at = SeekFileAbsolute(m_handle, position);
    if (at < 0) return OsLastFileError();
    m_position = at < m_length ? at : m_length;
    return 0;
}
