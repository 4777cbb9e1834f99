#include "runtime/io/file_stream.h"

#include <cstdlib>
#include <cstring>

CFileStream::CFileStream()
    : m_handle(kNoFileHandle), m_position(0), m_buffer(nullptr), m_readOffset(0), m_bytesLeft(0),
      m_ownsHandle(0), m_windowStart(0), m_windowLength(0) {}

CFileStream::~CFileStream() {
    CloseOwned();
    std::free(m_buffer);
}

void CFileStream::CloseOwned() {
    if (m_ownsHandle && m_handle != kNoFileHandle) CloseFileHandle(m_handle);
    m_handle = kNoFileHandle;
    m_ownsHandle = 0;
}

uint32_t CFileStream::Open(const char* name) {
    FileHandle h = OpenFileHandle(name, 0);
    if (h == kNoFileHandle) return kIoCannotOpen;
    CloseOwned();
    uint32_t status = AttachHandle(h);
    if (status != kIoOk) {
        CloseFileHandle(h);
        return status;
    }
    m_ownsHandle = 1;
    return kIoOk;
}

uint32_t CFileStream::OpenWindow(const char* name, int32_t start, int32_t length) {
    FileHandle h = OpenFileHandle(name, 0);
    if (h == kNoFileHandle) return kIoCannotOpen;
    CloseOwned();
    uint32_t status = AttachWindow(h, start, length);
    if (status != kIoOk) {
        CloseFileHandle(h);
        return status;
    }
    m_ownsHandle = 1;
    return kIoOk;
}

uint32_t CFileStream::AttachAt(FileHandle handle, int32_t start, int32_t length) {
    if (!m_buffer) {
        m_buffer = static_cast<uint8_t*>(std::malloc(kBufferSize));
        if (!m_buffer) return kIoGeneralFailure;
    }
    if (m_handle != handle) CloseOwned();
    m_handle = handle;
    m_ownsHandle = 0;
    m_windowStart = start;
    m_windowLength = length;
    m_position = start;
    SeekFileAbsolute(handle, start);
    EmptyBuffer();
    return kIoOk;
}

uint32_t CFileStream::AttachWindow(FileHandle handle, int32_t start, int32_t length) {
    if (handle == kNoFileHandle) return kIoOk;
    if (start < 0 || length < 0) return kIoGeneralFailure;
    return AttachAt(handle, start, length);
}

uint32_t CFileStream::AttachHandle(FileHandle handle) {
    m_windowStart = m_windowLength = 0;
    if (handle == kNoFileHandle) return kIoOk;
    int32_t start = TellFileHandle(handle);
    int32_t size = GetFileHandleSize(handle);
    if (start < 0 || size < 0) return kIoReadFailed;
    // The window runs from the file pointer to the end of the file.
    int32_t length = size > start ? size - start : 0;
    return AttachAt(handle, start, length);
}

FileHandle CFileStream::DetachHandle() {
    if (m_handle == kNoFileHandle) return kNoFileHandle;
    FileHandle h = m_handle;
    SeekFileAbsolute(h, m_position);
    EmptyBuffer();
    m_handle = kNoFileHandle;
    m_ownsHandle = 0;
    return h;
}

int32_t CFileStream::Tell() { return m_position - m_windowStart; }

int32_t CFileStream::GetSize() { return m_windowLength; }

int64_t CFileStream::ReadableEnd() {
    if (m_windowLength != 0) return static_cast<int64_t>(m_windowStart) + m_windowLength;
    int32_t size = GetFileHandleSize(m_handle);
    return size < 0 ? m_position : size;
}

int64_t CFileStream::BytesLeft() {
    if (m_handle == kNoFileHandle) return 0;
    int64_t left = ReadableEnd() - m_position;
    return left > 0 ? left : 0;
}

int32_t CFileStream::ReadFile(void* to, int32_t want) {
    if (m_windowLength != 0) {
        int64_t avail = static_cast<int64_t>(m_windowStart) + m_windowLength - m_position;
        if (avail <= 0) return 0;
        if (want > avail) want = static_cast<int32_t>(avail);
    }
    // Another stream may have moved the shared file pointer.
    if (SeekFileAbsolute(m_handle, m_position) != m_position) return 0;
    int32_t got = ReadFileCount(m_handle, to, want);
    return got > 0 ? got : 0;
}

uint32_t CFileStream::Read(void* buffer, int32_t count) {
    if (count == 0) return kIoOk;
    if (count < 0 || !buffer) return kIoGeneralFailure;
    if (m_handle == kNoFileHandle || !m_buffer) return kIoReadFailed;
    uint8_t* out = static_cast<uint8_t*>(buffer);
    if (m_bytesLeft >= count) {
        std::memcpy(out, m_buffer + m_readOffset, static_cast<size_t>(count));
        m_readOffset += count;
        m_bytesLeft -= count;
        m_position += count;
        return kIoOk;
    }
    int32_t left = count;
    if (m_bytesLeft > 0) {
        std::memcpy(out, m_buffer + m_readOffset, static_cast<size_t>(m_bytesLeft));
        out += m_bytesLeft;
        left -= m_bytesLeft;
        m_position += m_bytesLeft;
    }
    EmptyBuffer();
    // Large requests go straight into the caller's memory.
    while (left >= kBufferSize) {
        int32_t got = ReadFile(out, kBufferSize);
        m_position += got;
        if (got < kBufferSize) return kIoEndOfData;
        out += got;
        left -= got;
    }
    if (left > 0) {
        int32_t got = ReadFile(m_buffer, kBufferSize);
        if (got < left) {
            std::memcpy(out, m_buffer, static_cast<size_t>(got));
            m_position += got;
            return kIoEndOfData;
        }
        std::memcpy(out, m_buffer, static_cast<size_t>(left));
        m_readOffset = left;
        m_bytesLeft = got - left;
        m_position += left;
    }
    return kIoOk;
}

uint32_t CFileStream::ReadCounted(void* buffer, int32_t count, int32_t* bytesRead) {
    int32_t before = m_position;
    uint32_t status = Read(buffer, count);
    if (bytesRead) *bytesRead = m_position - before;
    return status;
}

uint32_t CFileStream::ReadByte(uint8_t* byte) {
    if (m_bytesLeft > 0) {
        *byte = m_buffer[m_readOffset++];
        --m_bytesLeft;
        ++m_position;
        return kIoOk;
    }
    return Read(byte, 1);
}

int32_t CFileStream::Seek(int32_t offset, int origin) {
    if (origin == 1) {
        if (offset == 0) return Tell();
        if (offset > 0 && offset <= m_bytesLeft) {
            m_readOffset += offset;
            m_bytesLeft -= offset;
            m_position += offset;
            return Tell();
        }
        if (offset < 0 && m_readOffset + m_bytesLeft > 0 && -static_cast<int64_t>(offset) <= m_readOffset) {
            m_readOffset += offset;
            m_bytesLeft -= offset;
            m_position += offset;
            return Tell();
        }
    }
    if (m_handle == kNoFileHandle) return Tell();
    int64_t target;
    switch (origin) {
    case 0: target = static_cast<int64_t>(m_windowStart) + offset; break;
    case 1: target = static_cast<int64_t>(m_position) + offset; break;
    case 2: target = ReadableEnd() + offset; break;
    default: target = m_windowStart; break;
    }
    if (target < m_windowStart) target = m_windowStart;
    // A window of length 0 has no end to clamp to.
    if (m_windowLength != 0 && target > static_cast<int64_t>(m_windowStart) + m_windowLength)
        target = static_cast<int64_t>(m_windowStart) + m_windowLength;
    if (target > INT32_MAX) target = INT32_MAX;
    EmptyBuffer();
    int32_t at = SeekFileAbsolute(m_handle, static_cast<int32_t>(target));
    if (at >= 0) m_position = at;
    return Tell();
}
