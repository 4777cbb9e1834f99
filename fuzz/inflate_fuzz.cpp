// Compressed data of any content through the inflate adapter, with buffer
// sizes and piece counts taken from the input; and the same bytes compressed
// and inflated again, which must give them back.
//
// Input: byte 0 selects the adapter's buffer size, byte 1 the piece size of
// the reads and the deflate level; the rest is the data.
#include "runtime/io/buffer_stream.h"
#include "runtime/io/compress_stream.h"
#include "runtime/io/memory_stream.h"

#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <vector>

namespace {

// Output larger than this is cut off with kIoOutputFull: an input under 1 MB
// may describe far more output than is worth holding.
const int32_t kOutputLimit = 16 << 20;

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size < 2 || size > (1u << 20)) return 0;
    const int32_t bufferSize = data[0] == 0 ? 8192 : 1 + data[0] % 64;
    const int32_t piece = 1 + data[1] * 37;
    const int level = static_cast<int>(data[1] % 13) - 2;  // -2..10, clamped by the adapter
    const uint8_t* body = data + 2;
    const int32_t length = static_cast<int32_t>(size - 2);

    static std::vector<uint8_t> out(kOutputLimit);
    {
        // In pieces, through a small buffer.
        CMemoryStream source;
        source.Attach(body, length);
        CBufferStream dest;
        dest.Attach(out.data(), kOutputLimit);
        CInflateStream inflater;
        if (inflater.Init(&dest, &source, bufferSize) == kIoOk) {
            for (int32_t left = length; left > 0;) {
                int32_t n = left < piece ? left : piece;
                if (inflater.Read(n) != kIoOk) break;
                left -= n;
            }
        }
    }
    {
        // In one go, as the package and bank readers do.
        CMemoryStream source;
        source.Attach(body, length);
        CBufferStream dest;
        dest.Attach(out.data(), kOutputLimit);
        InflateStreamToStream(&dest, &source, -1);
    }
    {
        CMemoryStream source;
        source.Attach(body, length);
        CBufferStream packed;
        if (DeflateStreamToStream(&packed, &source, -1, level) != kIoOk) std::abort();
        CMemoryStream again;
        again.Attach(packed.GetData(), packed.GetSize());
        CBufferStream back;
        if (InflateStreamToStream(&back, &again, -1) != kIoOk) std::abort();
        if (back.GetSize() != length || (length > 0 && std::memcmp(back.GetData(), body, length) != 0))
            std::abort();
    }
    return 0;
}
