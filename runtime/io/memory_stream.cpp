#include "runtime/io/memory_stream.h"

#include <cstring>

CMemoryStream::CMemoryStream() : m_start(nullptr), m_current(nullptr), m_position(0), m_bytesLeft(0) {}

CMemoryStream::~CMemoryStream() {}

uint32_t CMemoryStream::Attach(const void* block, int32_t size) {
    m_start = m_current = static_cast<const uint8_t*>(block);
    m_position = 0;
    m_bytesLeft = block && size > 0 ? size : 0;
    return kIoOk;
}

uint32_t CMemoryStream::Read(void* buffer, int32_t count) {
    if (count == 0) return kIoOk;
    if (count < 0 || !buffer) return kIoGeneralFailure;
    int32_t n = count <= m_bytesLeft ? count : m_bytesLeft;
    if (n > 0) std::memcpy(buffer, m_current, static_cast<size_t>(n));
    m_current += n;
    m_position += n;
    m_bytesLeft -= n;
    return n == count ? kIoOk : kIoEndOfData;
}

uint32_t CMemoryStream::ReadCounted(void* buffer, int32_t count, int32_t* bytesRead) {
    int32_t before = m_position;
    uint32_t status = Read(buffer, count);
    if (bytesRead) *bytesRead = m_position - before;
    return status;
}

uint32_t CMemoryStream::ReadByte(uint8_t* byte) {
    if (m_bytesLeft <= 0) return kIoEndOfData;
    *byte = *m_current++;
    ++m_position;
    --m_bytesLeft;
    return kIoOk;
}

int32_t CMemoryStream::Tell() { return m_position; }

int32_t CMemoryStream::GetSize() { return m_position + m_bytesLeft; }

int32_t CMemoryStream::Seek(int32_t offset, int origin) {
    const int64_t size = GetSize();
    int64_t target;
    switch (origin) {
    case 0: target = offset; break;
    case 1: target = static_cast<int64_t>(m_position) + offset; break;
    case 2: target = size + offset; break;
    default: target = m_position; break;
    }
    if (target < 0) target = 0;
    if (target > size) target = size;
    m_position = static_cast<int32_t>(target);
    m_current = m_start + m_position;
    m_bytesLeft = static_cast<int32_t>(size - target);
    return m_position;
}

uint32_t CMemoryStream::AttachHandle(FileHandle) { return kIoOk; }

FileHandle CMemoryStream::DetachHandle() { return kNoFileHandle; }

void* CMemoryStream::ReadBlock(int32_t count) {
    if (count <= 0 || count > m_bytesLeft) return nullptr;
    void* block = const_cast<uint8_t*>(m_current);
    m_current += count;
    m_position += count;
    m_bytesLeft -= count;
    return block;
}

void CMemoryStream::ReleaseBlock(void*) {}
