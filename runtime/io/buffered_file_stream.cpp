#include "runtime/io/buffered_file_stream.h"

#include <cstdlib>
#include <cstring>

CBufferedFileStream::CBufferedFileStream()
    : m_handle(kNoFileHandle), m_ownsHandle(0), m_buffer(nullptr), m_write(nullptr), m_buffered(0),
      m_bufferSize(0), m_buffering(1) {}

CBufferedFileStream::~CBufferedFileStream() {
    Flush();
    CloseOwned();
    std::free(m_buffer);
}

void CBufferedFileStream::CloseOwned() {
    if (m_ownsHandle && m_handle != kNoFileHandle) CloseFileHandle(m_handle);
    m_handle = kNoFileHandle;
    m_ownsHandle = 0;
}

void CBufferedFileStream::SetBuffer(int32_t size) {
    std::free(m_buffer);
    m_buffer = size > 0 ? static_cast<uint8_t*>(std::malloc(static_cast<size_t>(size))) : nullptr;
    m_bufferSize = m_buffer ? size : 0;
    m_write = m_buffer;
    m_buffered = 0;
    // Without a buffer every write goes straight to the file; a zero-sized
    // buffer would never make room.
    m_buffering = m_buffer ? 1 : 0;
}

uint32_t CBufferedFileStream::AttachHandle(FileHandle handle, int32_t size) {
    Flush();
    CloseOwned();
    m_handle = handle;
    SetBuffer(size);
    return kIoOk;
}

uint32_t CBufferedFileStream::Create(const char* name, int32_t size) {
    Flush();
    CloseOwned();
    FileHandle h = CreateFileHandle(name);
    if (h == kNoFileHandle) return kIoCannotCreate;
    m_handle = h;
    m_ownsHandle = 1;
    SetBuffer(size);
    return kIoOk;
}

uint32_t CBufferedFileStream::Write(const void* buffer, int32_t count) {
    if (count == 0) return kIoOk;
    if (count < 0 || !buffer) return kIoGeneralFailure;
    if (!m_buffering || !m_buffer) return WriteFileChecked(m_handle, buffer, count);
    const uint8_t* from = static_cast<const uint8_t*>(buffer);
    while (static_cast<int64_t>(m_buffered) + count > m_bufferSize) {
        int32_t room = m_bufferSize - m_buffered;
        std::memcpy(m_write, from, static_cast<size_t>(room));
        from += room;
        count -= room;
        m_write += room;
        m_buffered = m_bufferSize;
        uint32_t status = WriteFileChecked(m_handle, m_buffer, m_bufferSize);
        if (status != kIoOk) return status;
        m_write = m_buffer;
        m_buffered = 0;
    }
    std::memcpy(m_write, from, static_cast<size_t>(count));
    m_write += count;
    m_buffered += count;
    return kIoOk;
}

uint32_t CBufferedFileStream::Flush() {
    if (!m_buffering || m_buffered == 0) return kIoOk;
    uint32_t status = WriteFileChecked(m_handle, m_buffer, m_buffered);
    if (status != kIoOk) return status;
    m_write = m_buffer;
    m_buffered = 0;
    return kIoOk;
}

int32_t CBufferedFileStream::GetSize() {
    int32_t size = GetFileHandleSize(m_handle);
    if (size < 0) size = 0;
    // Buffered bytes land at the file pointer, which need not be at the end.
    int64_t end = static_cast<int64_t>(TellFileHandle(m_handle)) + m_buffered;
    return end > size ? static_cast<int32_t>(end) : size;
}

int32_t CBufferedFileStream::Tell() {
    int32_t at = TellFileHandle(m_handle);
    return (at < 0 ? 0 : at) + m_buffered;
}

int32_t CBufferedFileStream::Seek(int32_t offset, int origin) {
    int64_t target;
    switch (origin) {
    case 0: target = offset; break;
    case 1: target = static_cast<int64_t>(Tell()) + offset; break;
    case 2: target = static_cast<int64_t>(GetSize()) + offset; break;
    default: target = Tell(); break;
    }
    if (target < 0) target = 0;
    // Buffered bytes are written before the file pointer moves; if they cannot
    // be, the stream stays where it is and keeps them.
    if (Flush() != kIoOk) return Tell();
    int32_t size = GetSize();
    if (target >= size) {
        if (m_buffer) m_buffering = 1;
        SeekFileFromEnd(m_handle, 0);
        return size;
    }
    m_buffering = 0;
    SeekFileAbsolute(m_handle, static_cast<int32_t>(target));
    return static_cast<int32_t>(target);
}
