#include "runtime/io/inflate_block.h"

#include "runtime/io/compress_stream.h"
#include "runtime/io/file_stream.h"
#include "runtime/io/io_status.h"

#include <cstdlib>
#include <cstring>

namespace {

// Output into a block that grows with what actually arrives, up to a limit,
// with one byte of room behind the data for a terminating zero.
class CGrowingBlock : public COutStream {
public:
    explicit CGrowingBlock(int32_t limit) : m_data(nullptr), m_capacity(0), m_used(0), m_limit(limit) {}
    ~CGrowingBlock() override { std::free(m_data); }

    uint32_t Write(const void* buffer, int32_t count) override {
        if (count <= 0) return count == 0 ? kIoOk : kIoGeneralFailure;
        if (count > m_limit - m_used) return kIoOutputFull;
        if (count > m_capacity - m_used) {
            int64_t want = static_cast<int64_t>(m_capacity) * 2;
            if (want < 65536) want = 65536;
            if (want < static_cast<int64_t>(m_used) + count) want = static_cast<int64_t>(m_used) + count;
            if (want > m_limit) want = m_limit;
            if (!Reserve(static_cast<int32_t>(want))) return kIoGeneralFailure;
        }
        std::memcpy(m_data + m_used, buffer, static_cast<size_t>(count));
        m_used += count;
        return kIoOk;
    }
    uint32_t Flush() override { return kIoOk; }
    int32_t GetSize() override { return m_used; }
    int32_t Tell() override { return m_used; }
    int32_t Seek(int32_t, int) override { return m_used; }

    // Room for `capacity` bytes and one zero byte behind them.
    bool Reserve(int32_t capacity) {
        uint8_t* grown = static_cast<uint8_t*>(std::realloc(m_data, static_cast<size_t>(capacity) + 1));
        if (!grown) return false;
        m_data = grown;
        m_capacity = capacity;
        return true;
    }
    uint8_t* Take() {
        uint8_t* data = m_data;
        m_data = nullptr;
        return data;
    }

private:
    uint8_t* m_data;
    int32_t m_capacity;
    int32_t m_used;
    int32_t m_limit;
};

}  // namespace

uint32_t InflateHandleToBlock(FileHandle handle, int32_t packed, int32_t size, uint8_t** block) {
    *block = nullptr;
    CFileStream source;
    CGrowingBlock out(size);
    uint32_t status = source.AttachHandle(handle);
    if (status == kIoOk) status = InflateStreamToStream(&out, &source, packed);
    source.DetachHandle();
    // Data that ends before its stated size would leave bytes unset.
    if (status == kIoOk && out.GetSize() != size) status = kIoCorruptData;
    if (status == kIoOk && size == 0 && !out.Reserve(0)) status = kIoGeneralFailure;
    if (status != kIoOk) return status;
    *block = out.Take();
    (*block)[size] = 0;
    return kIoOk;
}
