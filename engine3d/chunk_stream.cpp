#include "engine3d/chunk_stream.h"

#include "runtime/io/stream.h"

#include <cstring>

LChunkStream::LChunkStream(COutStream* out) : m_out(out) {}

int32_t LChunkStream::BeginChunk(uint32_t tag, uint32_t size) {
    if (!m_out) return 0;
    const int32_t start = m_out->Tell();
    WriteU32(tag);
    WriteU32(size);
    return start;
}

int32_t LChunkStream::EndChunk(int32_t start) {
    if (!m_out) return 0;
    const int32_t position = m_out->Tell();
    m_out->Seek(start + 4, 0);
    WriteU32(static_cast<uint32_t>(position - start - 8));
    m_out->Seek(position, 0);
    return position;
}

void LChunkStream::WriteU8(uint32_t value) {
    const uint8_t byte = static_cast<uint8_t>(value);
    if (m_out) m_out->Write(&byte, 1);
}

void LChunkStream::WriteU16(uint32_t value) {
    if (m_out) m_out->WriteU16(static_cast<uint16_t>(value));
}

void LChunkStream::WriteU32(uint32_t value) {
    if (m_out) m_out->WriteU32(value);
}

void LChunkStream::WriteF32(float value) {
    uint32_t bits;
    std::memcpy(&bits, &value, sizeof bits);
    WriteU32(bits);
}

void LChunkStream::WriteString(const char* text) {
    size_t length = text ? std::strlen(text) : 0;
    if (length > kMaxStringLength) length = kMaxStringLength;
    WriteU16(static_cast<uint32_t>(length));
    if (m_out && length) m_out->Write(text, static_cast<int32_t>(length));
}

void LChunkStream::WriteVec3(float x, float y, float z) {
    WriteF32(x);
    WriteF32(y);
    WriteF32(z);
}

void LChunkStream::WritePoint(const float values[8]) {
    for (int i = 0; i < 8; ++i) WriteF32(values[i]);
}

int SplitPathAtLastSeparator(const char* path, char* out, size_t outSize) {
    const char* last = nullptr;
    for (const char* p = path; p && *p; ++p)
        if (*p == '\\' || *p == '/') last = p;
    const char* tail = last ? last + 1 : "";
    const size_t length = std::strlen(tail);
    if (out && outSize > 0) {
        const size_t copied = length < outSize - 1 ? length : outSize - 1;
        std::memcpy(out, tail, copied);
        out[copied] = '\0';
    }
    return last ? static_cast<int>(length) + 1 : 0;
}
