#pragma once
// Input stream over a file handle, read through a 16384-byte buffer and
// optionally limited to a window of the file (the window start counts as
// position 0). Several streams may share one handle: each one moves the file
// pointer to its own position before every read of the file.
#include "runtime/io/stream.h"

class CFileStream : public CStream {
public:
    enum { kBufferSize = 16384 };

    CFileStream();
    ~CFileStream() override;

    // Opens the file for reading; the stream owns the handle. kIoCannotOpen
    // when the file cannot be opened.
    uint32_t Open(const char* name);
    // Open, limited to `length` bytes from `start`.
    uint32_t OpenWindow(const char* name, int32_t start, int32_t length);
    // Reads `length` bytes of the handle from `start` (a length of 0 puts no
    // limit on reading). The handle is not owned. A handle of -1 attaches
    // nothing.
    uint32_t AttachWindow(FileHandle handle, int32_t start, int32_t length);

    uint32_t ReadCounted(void* buffer, int32_t count, int32_t* bytesRead) override;
    uint32_t Read(void* buffer, int32_t count) override;
    uint32_t ReadByte(uint8_t* byte) override;
    int32_t Tell() override;
    int32_t GetSize() override;
    int32_t Seek(int32_t offset, int origin) override;
    // Reads from the handle's file pointer to the end of the file; not owned.
    uint32_t AttachHandle(FileHandle handle) override;
    // Leaves the handle's file pointer where this stream's reader stopped.
    FileHandle DetachHandle() override;

    FileHandle GetHandle() const { return m_handle; }

protected:
    int64_t BytesLeft() override;

private:
    uint32_t AttachAt(FileHandle handle, int32_t start, int32_t length);
    void EmptyBuffer() { m_readOffset = m_bytesLeft = 0; }
    // End of the readable region: the window's end, or the file's end when the
    // window has no limit.
    int64_t ReadableEnd();
    // Reads up to `want` bytes at the stream's position; returns the count.
    int32_t ReadFile(void* to, int32_t want);
    void CloseOwned();

    FileHandle m_handle;
    int32_t m_position;      // absolute offset of the next byte delivered
    uint8_t* m_buffer;
    int32_t m_readOffset;    // next byte in the buffer
    int32_t m_bytesLeft;     // bytes left in the buffer after m_readOffset
    int m_ownsHandle;
    int32_t m_windowStart;
    int32_t m_windowLength;  // 0: no limit
};
