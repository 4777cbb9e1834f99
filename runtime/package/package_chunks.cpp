#include "runtime/package/package_chunks.h"

#include "runtime/io/buffer_stream.h"
#include "runtime/io/compress_stream.h"
#include "runtime/io/file_stream.h"
#include "runtime/io/inflate_block.h"

#include <cstdlib>
#include <cstring>

namespace {

// Deflate never packs more than this many output bytes into one input byte.
const int64_t kMaxInflateRatio = 1032;

bool SeekTo(FileHandle handle, int64_t position) {
    return position >= 0 && position <= INT32_MAX &&
           SeekFileAbsolute(handle, static_cast<int32_t>(position)) == static_cast<int32_t>(position);
}

}  // namespace

uint32_t ReadChunkHeader(FileHandle handle, int64_t position, int64_t limit, ChunkHeader* header) {
    if (position < 0 || position + 8 > limit) return kIoEndOfData;
    if (!SeekTo(handle, position)) return kIoReadFailed;
    uint8_t b[8];
    uint32_t status = ReadFileChecked(handle, b, 8);
    if (status != kIoOk) return status;
    header->id = static_cast<uint16_t>(b[0] | (b[1] << 8));
    header->size = b[4] | (b[5] << 8) | (b[6] << 16) | (static_cast<uint32_t>(b[7]) << 24);
    header->dataStart = position + 8;
    return kIoOk;
}

CChunkFields::CChunkFields(FileHandle handle, const ChunkHeader& chunk)
    : m_handle(handle), m_position(chunk.dataStart), m_end(chunk.End()) {}

uint32_t CChunkFields::ReadBytes(void* buffer, uint32_t count) {
    if (count > Remaining()) return kIoEndOfData;
    if (count == 0) return kIoOk;
    if (!SeekTo(m_handle, m_position)) return kIoReadFailed;
    uint32_t status = ReadFileChecked(m_handle, buffer, static_cast<int32_t>(count));
    if (status == kIoOk) m_position += count;
    return status;
}

uint32_t CChunkFields::ReadU16(uint16_t* value) {
    uint8_t b[2];
    uint32_t status = ReadBytes(b, 2);
    if (status == kIoOk) *value = static_cast<uint16_t>(b[0] | (b[1] << 8));
    return status;
}

uint32_t CChunkFields::ReadU32(uint32_t* value) {
    uint8_t b[4];
    uint32_t status = ReadBytes(b, 4);
    if (status == kIoOk) *value = b[0] | (b[1] << 8) | (b[2] << 16) | (static_cast<uint32_t>(b[3]) << 24);
    return status;
}

uint32_t CChunkFields::Skip(uint32_t count) {
    if (count > Remaining()) return kIoEndOfData;
    m_position += count;
    return kIoOk;
}

uint32_t CChunkFields::ReadCountedText(char** text) {
    *text = nullptr;
    uint16_t length;
    uint32_t status = ReadU16(&length);
    if (status != kIoOk) return status;
    return ReadPackedBlock(length, 0, text);
}

uint32_t CChunkFields::ReadPackedBlock(uint32_t size, uint32_t packed, char** block) {
    *block = nullptr;
    // size + 1 must fit the 32-bit sizes of the file and stream layers.
    if (size >= INT32_MAX) return kIoGeneralFailure;
    if (packed == 0) {
        if (size > Remaining()) return kIoEndOfData;
        char* data = static_cast<char*>(std::malloc(static_cast<size_t>(size) + 1));
        if (!data) return kIoGeneralFailure;
        uint32_t status = ReadBytes(data, size);
        if (status != kIoOk) {
            std::free(data);
            return status;
        }
        data[size] = 0;
        *block = data;
        return kIoOk;
    }
    if (packed > Remaining()) return kIoEndOfData;
    if (static_cast<int64_t>(size) > static_cast<int64_t>(packed) * kMaxInflateRatio) return kIoCorruptData;
    if (!SeekTo(m_handle, m_position)) return kIoReadFailed;
    uint8_t* data = nullptr;
    uint32_t status = InflateHandleToBlock(m_handle, static_cast<int32_t>(packed), static_cast<int32_t>(size), &data);
    if (status != kIoOk) return status == kIoOutputFull ? kIoCorruptData : status;
    m_position += packed;
    *block = reinterpret_cast<char*>(data);
    return kIoOk;
}
