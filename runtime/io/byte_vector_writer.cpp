#include "runtime/io/byte_vector_writer.h"

#include "runtime/io/buffer_stream.h"
#include "runtime/io/compress_stream.h"
#include "runtime/io/io_status.h"
#include "runtime/io/memory_stream.h"

uint32_t PutPacked(std::vector<uint8_t>* v, const void* data, int32_t size, bool compress) {
    if (compress && size > 0) {
        CMemoryStream source;
        source.Attach(data, size);
        CBufferStream packed;
        uint32_t status = DeflateStreamToStream(&packed, &source, size, 9);
        if (status != kIoOk)
            return status;
        if (packed.GetSize() < size) {
            Put32(v, static_cast<uint32_t>(packed.GetSize()));
            PutBytes(v, packed.GetData(), static_cast<size_t>(packed.GetSize()));
            return kIoOk;
        }
    }
    Put32(v, 0);
    PutBytes(v, data, static_cast<size_t>(size));
    return kIoOk;
}
