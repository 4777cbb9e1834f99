#pragma once
// Helpers of the image format readers: little-endian words of headers
// already in memory, and byte-at-a-time reading of run-length coded pixel
// data (PCX, TGA) through a 4096-byte window over a CStream, refilled with
// ReadCounted, so that a packet byte costs no virtual call. The stream's
// position runs ahead of the bytes taken; readers seek explicitly before they
// use the stream again.
#include "runtime/io/stream.h"

#include <cstdint>
#include <cstring>

// Little-endian words in a header or chunk already in memory.
inline uint16_t LoadLE16(const uint8_t* p) { return static_cast<uint16_t>(p[0] | p[1] << 8); }
inline uint32_t LoadLE32(const uint8_t* p) {
    return uint32_t(p[0]) | uint32_t(p[1]) << 8 | uint32_t(p[2]) << 16 | uint32_t(p[3]) << 24;
}

class CImageByteSource {
public:
    explicit CImageByteSource(CStream* stream) : m_stream(stream) {}

    // False when the data has ended.
    bool Next(uint8_t* byte) {
        if (m_at == m_end && !Fill())
            return false;
        *byte = m_buffer[m_at++];
        return true;
    }
    // Exactly count bytes, or false when the data ends first.
    bool Take(uint8_t* out, int32_t count) {
        while (count > 0) {
            if (m_at == m_end && !Fill())
                return false;
            const int32_t n = count < m_end - m_at ? count : m_end - m_at;
            std::memcpy(out, m_buffer + m_at, static_cast<size_t>(n));
            m_at += n;
            out += n;
            count -= n;
        }
        return true;
    }

private:
    bool Fill() {
        int32_t got = 0;
        m_stream->ReadCounted(m_buffer, sizeof m_buffer, &got);
        m_at = 0;
        m_end = got > 0 ? got : 0;
        return m_end > 0;
    }

    CStream* m_stream;
    int32_t m_at = 0;
    int32_t m_end = 0;
    uint8_t m_buffer[4096];
};
