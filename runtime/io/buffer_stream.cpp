#include "runtime/io/buffer_stream.h"

#include <cstdlib>
#include <cstring>

CBufferStream::CBufferStream()
    : m_start(nullptr), m_write(nullptr), m_capacity(0), m_used(0), m_growthStep(kGrowthStep), m_growable(1) {}

CBufferStream::~CBufferStream() {
    if (m_growable) std::free(m_start);
}

uint32_t CBufferStream::Attach(void* buffer, int32_t capacity) {
    if (m_growable) std::free(m_start);
    m_start = m_write = static_cast<uint8_t*>(buffer);
    m_capacity = buffer && capacity > 0 ? capacity : 0;
    m_used = 0;
    m_growable = 0;
    return kIoOk;
}

uint32_t CBufferStream::Write(const void* buffer, int32_t count) {
    if (count == 0) return kIoOk;
    if (count < 0 || !buffer) return kIoGeneralFailure;
    const int64_t at = m_write - m_start;
    const int64_t end = at + count;
    if (end > m_capacity) {
        if (!m_growable) return kIoOutputFull;
        // Capacity stays a multiple of the growth step; it grows by at least half
        // so that long outputs are not copied over and over.
        int64_t want = end;
        int64_t half = static_cast<int64_t>(m_capacity) + m_capacity / 2;
        if (want < half) want = half;
        want = (want + m_growthStep - 1) / m_growthStep * m_growthStep;
        if (want > INT32_MAX) want = end;
        if (want > INT32_MAX) return kIoGeneralFailure;
        uint8_t* grown = static_cast<uint8_t*>(std::realloc(m_start, static_cast<size_t>(want)));
        if (!grown) return kIoGeneralFailure;
        m_start = grown;
        m_write = grown + at;
        m_capacity = static_cast<int32_t>(want);
    }
    std::memcpy(m_write, buffer, static_cast<size_t>(count));
    m_write += count;
    if (end > m_used) m_used = static_cast<int32_t>(end);
    return kIoOk;
}

uint32_t CBufferStream::Flush() { return kIoOk; }

int32_t CBufferStream::GetSize() { return m_used; }

int32_t CBufferStream::Tell() { return static_cast<int32_t>(m_write - m_start); }

int32_t CBufferStream::Seek(int32_t offset, int origin) {
    const int64_t current = m_write - m_start;
    int64_t target;
    switch (origin) {
    case 0: target = offset; break;
    case 1: target = current + offset; break;
    case 2: target = static_cast<int64_t>(m_used) + offset; break;
    default: target = current; break;
    }
    if (target < 0) target = 0;
    if (target > m_used) target = m_used;
    m_write = m_start + target;
    return static_cast<int32_t>(target);
}
