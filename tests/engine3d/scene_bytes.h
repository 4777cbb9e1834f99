#pragma once
// Hand-built bytes of the binary scene format for comparison with what the
// engine writes through LChunkStream.
#include "runtime/io/buffer_stream.h"

#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

struct SceneBytes {
    std::vector<uint8_t> b;
    SceneBytes& U8(uint32_t v) { return b.push_back(uint8_t(v)), *this; }
    SceneBytes& U16(uint32_t v) { return U8(v).U8(v >> 8); }
    SceneBytes& U32(uint32_t v) { return U16(v).U16(v >> 16); }
    SceneBytes& F32(float f) {
        uint32_t v;
        std::memcpy(&v, &f, 4);
        return U32(v);
    }
    SceneBytes& Str(const std::string& s) {
        U16(uint32_t(s.size()));
        b.insert(b.end(), s.begin(), s.end());
        return *this;
    }
    // A chunk around the bytes of `body`.
    SceneBytes& Chunk(const char* tag, const SceneBytes& body) {
        for (int i = 0; i < 4; ++i) U8(uint8_t(tag[i]));
        U32(uint32_t(body.b.size()));
        b.insert(b.end(), body.b.begin(), body.b.end());
        return *this;
    }
    // The location chunk: position, angles, hot spot.
    SceneBytes& Location(float x, float y, float z) {
        SceneBytes body;
        body.F32(x).F32(y).F32(z);
        for (int i = 0; i < 6; ++i) body.F32(0);
        return Chunk("OLOC", body);
    }
};

inline std::vector<uint8_t> Written(CBufferStream& out) {
    return std::vector<uint8_t>(out.GetData(), out.GetData() + out.GetSize());
}
