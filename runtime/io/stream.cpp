#include "runtime/io/stream.h"

#include <cstdlib>

uint32_t CStream::ReadU16(uint16_t* value) {
    uint8_t lo, hi;
    uint32_t status = ReadByte(&lo);
    if (status == kIoOk) status = ReadByte(&hi);
    if (status == kIoOk) *value = static_cast<uint16_t>(lo | (hi << 8));
    return status;
}

uint32_t CStream::ReadU32(uint32_t* value) {
    uint16_t lo, hi;
    uint32_t status = ReadU16(&lo);
    if (status == kIoOk) status = ReadU16(&hi);
    if (status == kIoOk) *value = lo | (static_cast<uint32_t>(hi) << 16);
    return status;
}

uint32_t CStream::ReadU16BE(uint16_t* value) {
    uint8_t hi, lo;
    uint32_t status = ReadByte(&hi);
    if (status == kIoOk) status = ReadByte(&lo);
    if (status == kIoOk) *value = static_cast<uint16_t>(lo | (hi << 8));
    return status;
}

uint32_t CStream::ReadU32BE(uint32_t* value) {
    uint16_t hi, lo;
    uint32_t status = ReadU16BE(&hi);
    if (status == kIoOk) status = ReadU16BE(&lo);
    if (status == kIoOk) *value = lo | (static_cast<uint32_t>(hi) << 16);
    return status;
}

uint32_t CStream::ReadS32(int32_t* value) {
    uint32_t v;
    uint32_t status = ReadU32(&v);
    if (status == kIoOk) *value = static_cast<int32_t>(v);
    return status;
}

uint32_t CStream::ReadS32BE(int32_t* value) {
    uint32_t v;
    uint32_t status = ReadU32BE(&v);
    if (status == kIoOk) *value = static_cast<int32_t>(v);
    return status;
}

namespace {

// Reads count words of `width` bytes and puts each into host order, taking the
// file's bytes as little-endian or big-endian.
template <typename T>
uint32_t ReadWords(CStream* s, T* buffer, int32_t count, bool bigEndian) {
    const int64_t bytes = static_cast<int64_t>(count) * static_cast<int64_t>(sizeof(T));
    if (count < 0 || bytes > INT32_MAX) return kIoGeneralFailure;
    int32_t got = 0;
    uint32_t status = s->ReadCounted(buffer, static_cast<int32_t>(bytes), &got);
    if (status != kIoOk || count < 1) return status;
    uint8_t* p = reinterpret_cast<uint8_t*>(buffer);
    for (int32_t i = 0; i < count; ++i, p += sizeof(T)) {
        uint32_t v = 0;
        for (size_t k = 0; k < sizeof(T); ++k) {
            size_t from = bigEndian ? k : sizeof(T) - 1 - k;
            v = (v << 8) | p[from];
        }
        buffer[i] = static_cast<T>(v);
    }
    return kIoOk;
}

}  // namespace

uint32_t CStream::ReadU16Array(uint16_t* buffer, int32_t count) { return ReadWords(this, buffer, count, false); }
uint32_t CStream::ReadU32Array(uint32_t* buffer, int32_t count) { return ReadWords(this, buffer, count, false); }
uint32_t CStream::ReadS32Array(int32_t* buffer, int32_t count) {
    return ReadWords(this, reinterpret_cast<uint32_t*>(buffer), count, false);
}
uint32_t CStream::ReadU16ArrayBE(uint16_t* buffer, int32_t count) { return ReadWords(this, buffer, count, true); }
uint32_t CStream::ReadU32ArrayBE(uint32_t* buffer, int32_t count) { return ReadWords(this, buffer, count, true); }
uint32_t CStream::ReadS32ArrayBE(int32_t* buffer, int32_t count) {
    return ReadWords(this, reinterpret_cast<uint32_t*>(buffer), count, true);
}

int64_t CStream::BytesLeft() {
    int64_t left = static_cast<int64_t>(GetSize()) - Tell();
    return left > 0 ? left : 0;
}

void* CStream::ReadBlock(int32_t count) {
    if (count <= 0 || count > BytesLeft()) return nullptr;
    void* block = std::malloc(static_cast<size_t>(count));
    if (!block) return nullptr;
    if (Read(block, count) != kIoOk) {
        std::free(block);
        return nullptr;
    }
    return block;
}

void CStream::ReleaseBlock(void* block) { std::free(block); }

char* CStream::ReadLine(char* buffer, int32_t size) {
    if (size < 1 || !buffer) return nullptr;
    int32_t n = 0;
    while (n < size - 1) {
        uint8_t c;
        if (ReadByte(&c) != kIoOk) {
            if (n == 0) return nullptr;
            break;
        }
        if (c == 13 || c == 10) {
            uint8_t next;
            if (ReadByte(&next) != kIoOk) break;
            if (next == (c == 13 ? 10 : 13)) {
                buffer[n++] = 10;
                break;
            }
            Seek(-1, 1);
            buffer[n++] = static_cast<char>(c);
            if (c == 10) break;
            continue;
        }
        buffer[n++] = static_cast<char>(c);
    }
    buffer[n] = 0;
    return buffer;
}

uint32_t COutStream::WriteU32(uint32_t value) {
    uint8_t b[4] = {static_cast<uint8_t>(value), static_cast<uint8_t>(value >> 8),
                    static_cast<uint8_t>(value >> 16), static_cast<uint8_t>(value >> 24)};
    return Write(b, 4);
}

uint32_t COutStream::WriteU16(uint16_t value) {
    uint8_t b[2] = {static_cast<uint8_t>(value), static_cast<uint8_t>(value >> 8)};
    return Write(b, 2);
}
