#pragma once
// Output stream to a file through a write buffer. Only appending is buffered:
// a seek into the middle of the file flushes and switches buffering off, so
// writes there go straight to the file; a seek to the end switches it on again.
#include "runtime/io/stream.h"

class CBufferedFileStream : public COutStream {
public:
    CBufferedFileStream();
    ~CBufferedFileStream() override;

    // Writes through an open handle (not owned) with a buffer of `size` bytes;
    // with no buffer (size below 1, or out of memory) it writes unbuffered.
    uint32_t AttachHandle(FileHandle handle, int32_t size);
    // Creates the file anew (read and write, no sharing) and owns the handle;
    // kIoCannotCreate when that fails.
    uint32_t Create(const char* name, int32_t size);

    uint32_t Write(const void* buffer, int32_t count) override;
    // Writes the buffered bytes; on failure they stay buffered.
    uint32_t Flush() override;
    int32_t GetSize() override;
    int32_t Tell() override;
    // Returns the new position; when the bytes buffered cannot be written first,
    // nothing moves and the current position is returned.
    int32_t Seek(int32_t offset, int origin) override;

    FileHandle GetHandle() const { return m_handle; }

private:
    void SetBuffer(int32_t size);
    void CloseOwned();

    FileHandle m_handle;
    int m_ownsHandle;
    uint8_t* m_buffer;
    uint8_t* m_write;
    int32_t m_buffered;
    int32_t m_bufferSize;
    int m_buffering;
};
