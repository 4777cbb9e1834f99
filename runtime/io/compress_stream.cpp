#include "runtime/io/compress_stream.h"

#include "runtime/io/buffer_stream.h"
#include "runtime/io/file_stream.h"

#include <cstdlib>
#include <zlib.h>

namespace {

int32_t BufferSize(int32_t size) {
    return size == 0 || size == -1 || size < 0 ? 8192 : size;
}

uint32_t InitFailure(int zresult) {
    return zresult == Z_MEM_ERROR ? kIoGeneralFailure : kIoCorruptData;
}

int32_t RestOf(CStream* source) {
    int32_t left = source->GetSize() - source->Tell();
    return left > 0 ? left : 0;
}

}  // namespace

bool CZlibPump::Open(COutStream* destination, CStream* source, int32_t inSize, int32_t outSize) {
    m_destination = destination;
    m_source = source;
    m_ownsSource = m_ownsDestination = 0;
    m_inSize = inSize;
    m_outSize = outSize;
    m_in = static_cast<uint8_t*>(std::malloc(static_cast<size_t>(inSize)));
    m_out = static_cast<uint8_t*>(std::malloc(static_cast<size_t>(outSize)));
    m_z = static_cast<z_stream_s*>(std::calloc(1, sizeof(z_stream)));
    return m_in && m_out && m_z;
}

uint32_t CZlibPump::WriteProduced() {
    int32_t produced = m_outSize - static_cast<int32_t>(m_z->avail_out);
    return produced > 0 ? m_destination->Write(m_out, produced) : kIoOk;
}

void CZlibPump::Release() {
    m_active = 0;
    if (m_ownsSource) delete m_source;
    if (m_ownsDestination) delete m_destination;
    m_ownsSource = m_ownsDestination = 0;
    std::free(m_z);
    std::free(m_in);
    std::free(m_out);
    m_z = nullptr;
    m_in = m_out = nullptr;
}

// ---------------------------------------------------------------------------

CInflateStream::CInflateStream() : CZlibPump(kDefaultBufferSize), m_finished(0) {}

CInflateStream::~CInflateStream() { End(); }

uint32_t CInflateStream::Init(COutStream* destination, CStream* source, int32_t size) {
    End();
    m_finished = 0;
    int32_t bufferSize = BufferSize(size);
    if (!Open(destination, source, bufferSize, bufferSize)) {
        End();
        return kIoGeneralFailure;
    }
    int r = inflateInit(m_z);
    if (r != Z_OK) {
        End();
        return InitFailure(r);
    }
    m_active = 1;
    return kIoOk;
}

uint32_t CInflateStream::Read(int32_t count) {
    if (count == 0) return kIoOk;
    if (!m_active || count < 0) return kIoGeneralFailure;
    while (count > 0) {
        int32_t chunk = count < m_inSize ? count : m_inSize;
        uint32_t status = m_source->Read(m_in, chunk);
        if (status != kIoOk) return status;
        count -= chunk;
        if (m_finished) continue;
        m_z->next_in = m_in;
        m_z->avail_in = static_cast<uInt>(chunk);
        do {
            m_z->next_out = m_out;
            m_z->avail_out = static_cast<uInt>(m_outSize);
            int r = inflate(m_z, Z_NO_FLUSH);
            if (r == Z_STREAM_END) m_finished = 1;
            // Z_BUF_ERROR only says that no progress was possible: the last call
            // filled the output exactly and the decompressor now wants input.
            const bool corrupt = r != Z_OK && r != Z_STREAM_END && r != Z_BUF_ERROR;
            // What was produced before a fault is still delivered.
            status = WriteProduced();
            if (corrupt) return kIoCorruptData;
            if (status != kIoOk) return status;
        } while (m_z->avail_out == 0 && !m_finished);
    }
    return kIoOk;
}

void CInflateStream::End() {
    if (m_active) inflateEnd(m_z);
    Release();
}

// ---------------------------------------------------------------------------

CDeflateStream::CDeflateStream() : CZlibPump(kDefaultBufferSize) {}

CDeflateStream::~CDeflateStream() { End(); }

uint32_t CDeflateStream::Init(COutStream* destination, CStream* source, int32_t size, int level) {
    End();
    if (level != -1) level = level < 0 ? 0 : level > 9 ? 9 : level;
    int32_t inSize = BufferSize(size);
    int64_t out = static_cast<int64_t>(inSize) + inSize / 4 + 12;
    if (out > INT32_MAX) return kIoGeneralFailure;
    if (!Open(destination, source, inSize, static_cast<int32_t>(out))) {
        End();
        return kIoGeneralFailure;
    }
    int r = deflateInit(m_z, level == -1 ? Z_DEFAULT_COMPRESSION : level);
    if (r != Z_OK) {
        End();
        return InitFailure(r);
    }
    m_active = 1;
    return kIoOk;
}

uint32_t CDeflateStream::Write(int32_t count) {
    if (count == 0) return kIoOk;
    if (!m_active || count < 0) return kIoGeneralFailure;
    while (count > 0) {
        int32_t chunk = count < m_inSize ? count : m_inSize;
        uint32_t status = m_source->Read(m_in, chunk);
        if (status != kIoOk) return status;
        count -= chunk;
        m_z->next_in = m_in;
        m_z->avail_in = static_cast<uInt>(chunk);
        do {
            m_z->next_out = m_out;
            m_z->avail_out = static_cast<uInt>(m_outSize);
            int r = deflate(m_z, Z_NO_FLUSH);
            if (r != Z_OK && r != Z_BUF_ERROR) return kIoCorruptData;
            status = WriteProduced();
            if (status != kIoOk) return status;
        } while (m_z->avail_out == 0);
    }
    return kIoOk;
}

uint32_t CDeflateStream::Finish() {
    if (!m_active) return kIoGeneralFailure;
    m_z->next_in = nullptr;
    m_z->avail_in = 0;
    for (;;) {
        m_z->next_out = m_out;
        m_z->avail_out = static_cast<uInt>(m_outSize);
        int r = deflate(m_z, Z_FINISH);
        if (r != Z_OK && r != Z_STREAM_END) return kIoCorruptData;
        uint32_t status = WriteProduced();
        if (status != kIoOk) return status;
        if (r == Z_STREAM_END) return kIoOk;
    }
}

void CDeflateStream::End() {
    if (m_active) deflateEnd(m_z);
    Release();
}

// ---------------------------------------------------------------------------

uint32_t InflateStreamToStream(COutStream* destination, CStream* source, int32_t count) {
    if (!destination || !source) return kIoGeneralFailure;
    CInflateStream inflater;
    uint32_t status = inflater.Init(destination, source, CInflateStream::kDefaultBufferSize);
    if (status != kIoOk) return status;
    status = inflater.Read(count == -1 ? RestOf(source) : count);
    if (status != kIoOk) return status;
    return inflater.IsFinished() ? kIoOk : kIoCorruptData;
}

uint32_t DeflateStreamToStream(COutStream* destination, CStream* source, int32_t count, int level) {
    if (!destination || !source) return kIoGeneralFailure;
    CDeflateStream deflater;
    uint32_t status = deflater.Init(destination, source, CDeflateStream::kDefaultBufferSize, level);
    if (status != kIoOk) return status;
    status = deflater.Write(count == -1 ? RestOf(source) : count);
    if (status != kIoOk) return status;
    return deflater.Finish();
}

uint32_t InflateFile(void* buffer, int32_t size, FileHandle handle, int32_t packedSize) {
    if (size < 0 || packedSize < 0 || (size > 0 && !buffer)) return kIoGeneralFailure;
    CFileStream source;
    uint32_t status = source.AttachHandle(handle);
    if (status != kIoOk) return status;
    if (handle == kNoFileHandle) return kIoReadFailed;
    CBufferStream destination;
    destination.Attach(buffer, size);
    status = InflateStreamToStream(&destination, &source, packedSize);
    source.DetachHandle();
    if (status != kIoOk) return status;
    // Fewer bytes than the block holds would leave part of it uninitialised.
    return destination.GetSize() == size ? kIoOk : kIoCorruptData;
}
