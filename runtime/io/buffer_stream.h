#pragma once
// Output stream into memory: either a growable buffer the stream owns, or a
// fixed block of the caller's (then writing past its end fails with
// kIoOutputFull and writes nothing).
#include "runtime/io/stream.h"

class CBufferStream : public COutStream {
public:
    enum { kGrowthStep = 512 };

    CBufferStream();
    ~CBufferStream() override;

    // Writes into the caller's block of `capacity` bytes from its start; the
    // stream no longer grows.
    uint32_t Attach(void* buffer, int32_t capacity);

    uint32_t Write(const void* buffer, int32_t count) override;
    uint32_t Flush() override;
    // The highest end ever written.
    int32_t GetSize() override;
    int32_t Tell() override;
    int32_t Seek(int32_t offset, int origin) override;

    const uint8_t* GetData() const { return m_start; }
    int32_t GetCapacity() const { return m_capacity; }

private:
    uint8_t* m_start;
    uint8_t* m_write;
    int32_t m_capacity;
    int32_t m_used;
    int32_t m_growthStep;
    int m_growable;
};
