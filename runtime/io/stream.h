#pragma once
// The two byte-stream interfaces every reader and writer of packaged data,
// bank files, images, scenes and settings goes through: CStream for input,
// COutStream for output. Every operation reports a status word of
// runtime/io/io_status.h; 0 is success.
//
// Seek origins: 0 from the start, 1 from the current position, 2 from the end.
// Positions and sizes are signed 32-bit byte counts.
#include "runtime/io/io_status.h"
#include "runtime/io/os_file.h"

#include <cstdint>

class CStream {
public:
    virtual ~CStream() {}

    // Reads up to count bytes; *bytesRead is how far the position moved. The
    // status is that of Read.
    virtual uint32_t ReadCounted(void* buffer, int32_t count, int32_t* bytesRead) = 0;
    // Reads exactly count bytes; a short read copies what was there and
    // returns kIoEndOfData.
    virtual uint32_t Read(void* buffer, int32_t count) = 0;
    virtual uint32_t ReadByte(uint8_t* byte) = 0;

    // Typed reads, little-endian unless named BE. They stop at the first failing
    // byte read; the output is written only when the whole value was read.
    virtual uint32_t ReadU16(uint16_t* value);
    virtual uint32_t ReadU32(uint32_t* value);
    virtual uint32_t ReadU16BE(uint16_t* value);
    virtual uint32_t ReadU32BE(uint32_t* value);
    virtual uint32_t ReadS32(int32_t* value);
    virtual uint32_t ReadS32BE(int32_t* value);

    // Arrays of count words, read in one ReadCounted. A negative count, or one
    // whose byte count does not fit in 32 bits, is refused (kIoGeneralFailure).
    virtual uint32_t ReadU16Array(uint16_t* buffer, int32_t count);
    virtual uint32_t ReadU32Array(uint32_t* buffer, int32_t count);
    virtual uint32_t ReadS32Array(int32_t* buffer, int32_t count);
    virtual uint32_t ReadU16ArrayBE(uint16_t* buffer, int32_t count);
    virtual uint32_t ReadU32ArrayBE(uint32_t* buffer, int32_t count);
    virtual uint32_t ReadS32ArrayBE(int32_t* buffer, int32_t count);

    virtual int32_t Tell() = 0;
    virtual int32_t GetSize() = 0;
    // Returns the new position.
    virtual int32_t Seek(int32_t offset, int origin) = 0;
    virtual uint32_t AttachHandle(FileHandle handle) = 0;
    virtual FileHandle DetachHandle() = 0;

    // A block of count bytes read from the stream, or null (count 0, fewer
    // bytes left than asked for, out of memory, or a failed read). A count the
    // stream cannot hold is refused before anything is allocated. Give the
    // block back with ReleaseBlock.
    virtual void* ReadBlock(int32_t count);
    virtual void ReleaseBlock(void* block);

    // Reads one text line into buffer (at most size - 1 characters and a
    // terminating zero). CR LF and LF CR end the line as a single LF; a lone LF
    // ends it as LF; a lone CR is kept and the line goes on. Returns buffer, or
    // null when nothing could be read.
    char* ReadLine(char* buffer, int32_t size);

protected:
    // Bytes the stream can still deliver, for the checks before allocating.
    virtual int64_t BytesLeft();
};

class COutStream {
public:
    virtual ~COutStream() {}
    virtual uint32_t Write(const void* buffer, int32_t count) = 0;
    virtual uint32_t Flush() = 0;
    virtual int32_t GetSize() = 0;
    virtual int32_t Tell() = 0;
    // Returns the new position.
    virtual int32_t Seek(int32_t offset, int origin) = 0;

    // Little-endian helpers over Write.
    uint32_t WriteU32(uint32_t value);
    uint32_t WriteU16(uint16_t value);
};
