#pragma once
// Input stream over a memory block that belongs to the caller.
#include "runtime/io/stream.h"

class CMemoryStream : public CStream {
public:
    CMemoryStream();
    ~CMemoryStream() override;

    uint32_t Attach(const void* block, int32_t size);

    uint32_t ReadCounted(void* buffer, int32_t count, int32_t* bytesRead) override;
    uint32_t Read(void* buffer, int32_t count) override;
    uint32_t ReadByte(uint8_t* byte) override;
    int32_t Tell() override;
    int32_t GetSize() override;
    int32_t Seek(int32_t offset, int origin) override;
    // A memory stream has no handle: attaching ignores it, detaching gives -1.
    uint32_t AttachHandle(FileHandle handle) override;
    FileHandle DetachHandle() override;
    // A pointer into the block itself (no copy); ReleaseBlock does nothing.
    void* ReadBlock(int32_t count) override;
    void ReleaseBlock(void* block) override;

private:
    const uint8_t* m_start;
    const uint8_t* m_current;
    int32_t m_position;
    int32_t m_bytesLeft;
};
