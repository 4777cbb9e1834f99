#pragma once
// Reading the chunks of an application package from an open file: chunk
// headers, and the fields inside one chunk, never past the chunk's end.
#include "runtime/io/os_file.h"

#include <cstdint>

struct ChunkHeader {
    uint16_t id;
    uint32_t size;
    int64_t dataStart;
    int64_t End() const { return dataStart + size; }
};

// Reads the header at `position`; kIoEndOfData when it does not lie wholly
// before `limit`, the read status when it cannot be read.
uint32_t ReadChunkHeader(FileHandle handle, int64_t position, int64_t limit, ChunkHeader* header);

// Little-endian fields of one chunk, read from its data start; a field that
// would reach past the chunk's end is not read (kIoEndOfData).
class CChunkFields {
public:
    CChunkFields(FileHandle handle, const ChunkHeader& chunk);

    uint32_t ReadU16(uint16_t* value);
    uint32_t ReadU32(uint32_t* value);
    uint32_t ReadBytes(void* buffer, uint32_t count);
    uint32_t Skip(uint32_t count);
    // A u16 length and that many bytes, as a new zero-terminated block (free
    // with std::free).
    uint32_t ReadCountedText(char** text);
    // `size` bytes stored (packed 0) or inflated from `packed` bytes of zlib
    // stream, as a new block of size + 1 bytes ending in a zero (free with
    // std::free). Lengths are checked against the chunk before anything is
    // allocated, and compressed data gets memory only as it inflates.
    uint32_t ReadPackedBlock(uint32_t size, uint32_t packed, char** block);

    int64_t Position() const { return m_position; }
    int64_t Remaining() const { return m_end - m_position; }

private:
    FileHandle m_handle;
    int64_t m_position;
    int64_t m_end;
};

