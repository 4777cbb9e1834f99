#pragma once
// One open disk file as the file script class sees it: a path, an open mode,
// an explicit read/write position and the file length as known to the object,
// with line reading, a field tokenizer and raw writes.
//
// Every operation that touches the file answers 0 or the platform's error
// code; the script class turns a code into the runtime error scripts see.
// End of file is not a failure; a failed read or write always is, and the
// position only ever moves over bytes that were really read or written.
#include "runtime/io/os_file.h"

#include <cstdint>
#include <string>

class CFileAccess {
public:
    static constexpr int kReadOnly = 0;
    static constexpr int kWriteOnly = 1;
    static constexpr int kReadWrite = 2;

    // Field tokenizer options.
    static constexpr int kSkipSpaces = 1;     // skip leading and drop trailing spaces and tabs
    static constexpr int kHandleQuotes = 2;   // a double quote starts a run that keeps separators
    static constexpr int kReturnQuotes = 4;   // the quotes stay in the field

    static constexpr size_t kPathBytes = 258;  // path buffer, terminator included
    static constexpr int32_t kChunkSize = 255; // bytes read at a time

    CFileAccess() = default;
    ~CFileAccess() { CloseHandleOnly(); }
    CFileAccess(const CFileAccess&) = delete;
    CFileAccess& operator=(const CFileAccess&) = delete;

    // Closes the handle (if any) and forgets the path.
    void Close();
    // Closes the handle and stores a copy of the path, cut to kPathBytes - 1.
    void SetPath(const char* path);
    const char* GetPath() const { return m_path.c_str(); }
    bool HasPath() const { return !m_path.empty(); }
    void SetMode(int mode) { m_mode = mode; }
    int GetMode() const { return m_mode; }
    bool IsOpen() const { return m_handle != kNoFileHandle; }

    // Opens the existing file in the current mode: position 0, length the
    // file size.
    uint32_t Open();
    // Creates or truncates the file for reading and writing: position and
    // length 0.
    uint32_t Create();
    // Opens the file when it exists (probing read-write, then read-only, then
    // reopening in the current mode), else creates it empty.
    uint32_t OpenOrCreate();

    // One line from the position: the text before CR, LF or NUL; the
    // terminator and one CR or LF right after it are consumed. At the end of
    // the file the line is empty and the position stays.
    uint32_t ReadLine(std::string* line);
    // One field from the position (see the tokenizer in the .cpp). An empty
    // separator set means ",". *found is false when nothing at all could be
    // read (end of file); the field is then empty.
    uint32_t ReadField(const std::string& separators, int options, std::string* field, bool* found);
    // Writes count bytes at the position; the position advances by the bytes
    // written and the length grows to cover them.
    uint32_t Write(const char* data, int32_t count);
    // Moves to an absolute position (non-negative), never past the known
    // length.
    uint32_t SetPosition(int32_t position);
    int32_t GetPosition() const { return m_position; }
    int32_t GetLength() const { return m_length; }

private:
    class Cursor;

    void CloseHandleOnly();
    uint32_t OpenAs(int mode);

    FileHandle m_handle = kNoFileHandle;
    int m_mode = kReadWrite;
    std::string m_path;
    int32_t m_position = 0;
    int32_t m_length = 0;
};
