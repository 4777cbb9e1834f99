#pragma once
// What the file-reading fuzz targets share: one scratch file per process for
// the input, and reading a stream to its end.
#include "runtime/io/file_helpers.h"
#include "runtime/io/stream.h"

#include <cstdint>
#include <cstdlib>
#include <string>

namespace fuzz {

inline std::string& ScratchName() {
    static std::string name;
    return name;
}

inline void RemoveScratch() {
    if (!ScratchName().empty()) DeletePathFile(ScratchName().c_str());
}

// The scratch file's name (made once, removed at exit).
inline const std::string& Scratch(const char* extension) {
    std::string& name = ScratchName();
    if (name.empty()) {
        char buffer[1024];
        if (MakeTempFileName(nullptr, "twfuzz", buffer, sizeof buffer, extension, 1, 0) < 0) std::abort();
        name = buffer;
        std::atexit(RemoveScratch);
    }
    return name;
}

// Reads the stream to its end (it must never deliver more than its size) and
// deletes it; with rewind it also seeks back and reads one byte first.
inline void Drain(CStream* s, bool rewind) {
    if (!s) return;
    uint8_t buf[4096];
    int32_t got = 0;
    const int32_t size = s->GetSize();
    int64_t total = 0;
    while (s->ReadCounted(buf, sizeof buf, &got) == kIoOk && got > 0) {
        total += got;
        if (total > size) std::abort();
    }
    if (rewind) {
        s->Seek(0, 0);
        uint8_t b;
        s->ReadByte(&b);
    }
    delete s;
}

}  // namespace fuzz
