#pragma once
// Stream-to-stream zlib adapters: CInflateStream pumps compressed bytes from an
// input stream into an output stream, CDeflateStream the other way round. They
// are short-lived: the free functions below build one, pump and end it.
#include "runtime/io/os_file.h"
#include "runtime/io/stream.h"

#include <cstdint>

struct z_stream_s;

// What both adapters hold: the two streams they join, who owns them, the two
// buffers and zlib's state.
class CZlibPump {
protected:
    explicit CZlibPump(int32_t inSize) : m_inSize(inSize) {}
    // Joins the streams (not owned) and allocates the buffers and a zeroed
    // zlib state; false when any is missing (Release frees what was made).
    bool Open(COutStream* destination, CStream* source, int32_t inSize, int32_t outSize);
    // Hands what zlib put into the output buffer to the destination.
    uint32_t WriteProduced();
    // Deletes owned streams and frees the buffers; ending zlib's own state is
    // the caller's, which knows its direction.
    void Release();

    int m_active = 0;
    CStream* m_source = nullptr;
    COutStream* m_destination = nullptr;
    int m_ownsSource = 0;
    int m_ownsDestination = 0;
    uint8_t* m_in = nullptr;
    uint8_t* m_out = nullptr;
    int32_t m_inSize;
    int32_t m_outSize = 0;
    z_stream_s* m_z = nullptr;
};

class CInflateStream : private CZlibPump {
public:
    enum { kDefaultBufferSize = 8192 };

    CInflateStream();
    ~CInflateStream();

    // Buffers of `size` bytes (0 or -1: 8192). 0, kIoGeneralFailure when out of
    // memory, kIoCorruptData for any other failure of the decompressor.
    uint32_t Init(COutStream* destination, CStream* source, int32_t size);
    // Inflates the next `count` source bytes into the destination. Bytes after
    // the end of the compressed data are read and dropped.
    uint32_t Read(int32_t count);
    // True once the compressed data reached its end marker.
    bool IsFinished() const { return m_finished != 0; }
    void End();

private:
    CInflateStream(const CInflateStream&) = delete;
    CInflateStream& operator=(const CInflateStream&) = delete;

    int m_finished;
};

class CDeflateStream : private CZlibPump {
public:
    enum { kDefaultBufferSize = 8192 };

    CDeflateStream();
    ~CDeflateStream();

    // Level -1 is zlib's default, others are clamped to 0..9; buffer size 0 or
    // -1 means 8192, and the output buffer is a quarter larger plus 12 bytes.
    uint32_t Init(COutStream* destination, CStream* source, int32_t size, int level);
    // Compresses the next `count` source bytes into the destination.
    uint32_t Write(int32_t count);
    // Writes the rest of the compressed data and its end.
    uint32_t Finish();
    void End();

private:
    CDeflateStream(const CDeflateStream&) = delete;
    CDeflateStream& operator=(const CDeflateStream&) = delete;

};

// Inflates `count` source bytes (-1: the rest of the source) into the
// destination. Compressed data that stops before its end marker is corrupt.
// Returns the first failing status.
uint32_t InflateStreamToStream(COutStream* destination, CStream* source, int32_t count);
// Compresses `count` source bytes (-1: the rest of the source) at `level`.
uint32_t DeflateStreamToStream(COutStream* destination, CStream* source, int32_t count, int level);
// Inflates packedSize bytes read from the handle's file pointer into the
// caller's block of `size` bytes. Output that would not fit gives
// kIoOutputFull with nothing written past the block; output that does not fill
// the block exactly is corrupt. The handle stays open; its file pointer is left
// somewhere after the compressed data, so callers reposition it themselves.
uint32_t InflateFile(void* buffer, int32_t size, FileHandle handle, int32_t packedSize);
