#pragma once
// Little-endian fields appended to a byte vector: how the package and bank
// writers (and the packer) lay out the records the readers take apart.
#include <cstdint>
#include <string>
#include <vector>

inline void Put16(std::vector<uint8_t>* v, uint32_t x) {
    v->push_back(static_cast<uint8_t>(x));
    v->push_back(static_cast<uint8_t>(x >> 8));
}

inline void Put32(std::vector<uint8_t>* v, uint32_t x) {
    Put16(v, x & 0xFFFF);
    Put16(v, x >> 16);
}

inline void PutBytes(std::vector<uint8_t>* v, const void* data, size_t size) {
    const uint8_t* bytes = static_cast<const uint8_t*>(data);
    v->insert(v->end(), bytes, bytes + size);
}

// A 16-bit length and the characters; false (nothing written) for a text
// longer than the length can say.
inline bool PutCounted(std::vector<uint8_t>* v, const std::string& s) {
    if (s.size() > 0xFFFF)
        return false;
    Put16(v, static_cast<uint32_t>(s.size()));
    PutBytes(v, s.data(), s.size());
    return true;
}

// A 32-bit packed size (0: stored) and the bytes, zlib-packed at level 9 when
// asked and smaller. Answers an io status.
uint32_t PutPacked(std::vector<uint8_t>* v, const void* data, int32_t size, bool compress);
