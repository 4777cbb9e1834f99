// PNG files of any content through the image layer (see image_fuzz.h). The
// chunks' CRCs are made right before the bytes go in, so that mutations reach
// the chunk readers and the pixel data instead of stopping at the checksum.
#include "image_fuzz.h"

#include <zlib.h>

#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size > (1u << 20)) return 0;
    std::vector<uint8_t> file(data, data + size);
    for (size_t at = 8; at + 12 <= file.size();) {
        const size_t length = size_t(file[at]) << 24 | size_t(file[at + 1]) << 16 | size_t(file[at + 2]) << 8 | file[at + 3];
        if (length > file.size() - at - 12) break;
        const uLong crc = crc32(0, &file[at + 4], static_cast<uInt>(length + 4));
        for (int i = 0; i < 4; ++i) file[at + 8 + length + i] = static_cast<uint8_t>(crc >> (24 - 8 * i));
        at += length + 12;
    }
    return fuzz::RunImageFuzz(kImageFormatPng, file.data(), file.size());
}
