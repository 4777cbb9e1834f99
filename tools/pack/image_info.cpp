#include "tools/pack/image_info.h"

#include <cstring>

namespace {

uint32_t LE16(const std::vector<uint8_t>& v, size_t at) { return v[at] | (v[at + 1] << 8); }
uint32_t LE32(const std::vector<uint8_t>& v, size_t at) {
    return v[at] | (v[at + 1] << 8) | (v[at + 2] << 16) | (static_cast<uint32_t>(v[at + 3]) << 24);
}
uint32_t BE16(const std::vector<uint8_t>& v, size_t at) { return (v[at] << 8) | v[at + 1]; }
uint32_t BE32(const std::vector<uint8_t>& v, size_t at) {
    return (static_cast<uint32_t>(v[at]) << 24) | (v[at + 1] << 16) | (v[at + 2] << 8) | v[at + 3];
}

bool EndsWithNoCase(const std::string& s, const char* tail) {
    const size_t n = std::strlen(tail);
    if (s.size() < n) return false;
    for (size_t i = 0; i < n; ++i) {
        char c = s[s.size() - n + i];
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c + 32);
        if (c != tail[i]) return false;
    }
    return true;
}

bool Bmp(const std::vector<uint8_t>& f, ImageInfo* info) {
    if (f.size() < 26 || f[0] != 'B' || f[1] != 'M') return false;
    const uint32_t header = LE32(f, 14);
    if (header == 12) {
        info->width = LE16(f, 18);
        info->height = LE16(f, 20);
        info->depth = LE16(f, 24);
        return true;
    }
    if (f.size() < 30) return false;
    info->width = LE32(f, 18);
    const int32_t h = static_cast<int32_t>(LE32(f, 22));  // negative: rows top-down
    info->height = static_cast<uint32_t>(h < 0 ? -static_cast<int64_t>(h) : h);
    info->depth = LE16(f, 28);
    return true;
}

bool Png(const std::vector<uint8_t>& f, ImageInfo* info) {
    static const uint8_t sig[8] = {0x89, 'P', 'N', 'G', 0x0D, 0x0A, 0x1A, 0x0A};
    if (f.size() < 26 || std::memcmp(f.data(), sig, 8) != 0 || std::memcmp(&f[12], "IHDR", 4) != 0) return false;
    info->width = BE32(f, 16);
    info->height = BE32(f, 20);
    static const int channels[7] = {1, 0, 3, 1, 2, 0, 4};
    const unsigned type = f[25];
    info->depth = f[24] * (type < 7 ? channels[type] : 0);
    return true;
}

bool Jpeg(const std::vector<uint8_t>& f, ImageInfo* info) {
    if (f.size() < 4 || f[0] != 0xFF || f[1] != 0xD8) return false;
    size_t at = 2;
    while (at + 4 <= f.size()) {
        if (f[at] != 0xFF) return false;
        const uint8_t marker = f[at + 1];
        if (marker == 0xFF) {  // fill byte
            ++at;
            continue;
        }
        const size_t length = BE16(f, at + 2);
        const bool frame = marker >= 0xC0 && marker <= 0xCF && marker != 0xC4 && marker != 0xC8 && marker != 0xCC;
        if (frame) {
            if (at + 10 > f.size()) return false;
            info->height = BE16(f, at + 5);
            info->width = BE16(f, at + 7);
            info->depth = 8u * f[at + 9];
            return true;
        }
        if (length < 2) return false;
        at += 2 + length;
    }
    return false;
}

bool Pcx(const std::vector<uint8_t>& f, ImageInfo* info) {
    // Any encoding byte: the runtime reads 0 as raw rows and anything else as runs.
    if (f.size() < 128 || f[0] != 0x0A) return false;
    const uint32_t xmin = LE16(f, 4), ymin = LE16(f, 6), xmax = LE16(f, 8), ymax = LE16(f, 10);
    if (xmax < xmin || ymax < ymin) return false;
    info->width = xmax - xmin + 1;
    info->height = ymax - ymin + 1;
    info->depth = f[3] * f[65];
    return true;
}

bool Tga(const std::vector<uint8_t>& f, ImageInfo* info) {
    if (f.size() < 18) return false;
    const uint8_t type = f[2];
    if (type != 1 && type != 2 && type != 3 && type != 9 && type != 10 && type != 11) return false;
    info->width = LE16(f, 12);
    info->height = LE16(f, 14);
    info->depth = f[16];
    return true;
}

}  // namespace

bool ReadImageInfo(const std::vector<uint8_t>& file, const std::string& name, ImageInfo* info) {
    if (Bmp(file, info) || Png(file, info) || Jpeg(file, info) || Pcx(file, info)) return true;
    return EndsWithNoCase(name, ".tga") && Tga(file, info);
}
