#pragma once
// Scratch folder and whole-file helpers for tests that touch the file system.
// Names use "\\" as the runtime's file layer does on every build.
#include "runtime/io/file_helpers.h"
#include "runtime/io/os_file.h"

#include <gtest/gtest.h>
#include <cstdint>
#include <string>
#include <vector>

class TestFolder {
public:
    TestFolder() {
        // The name is free when it is found, but test programs running side by
        // side may take it before the folder is made: then the next one.
        char name[1024];
        for (int32_t n = 0, tries = 0; tries < 100; ++tries) {
            n = MakeTempFileName(nullptr, "twtest", name, sizeof name, "dir", 0, n);
            if (n < 0)
                return;
            if (CreateDirectoryPath(name) == 0) {
                m_path = name;
                return;
            }
        }
    }
    ~TestFolder() {
        for (const std::string& f : m_files) DeletePathFile(f.c_str());
        if (!m_path.empty()) DeletePathFile(m_path.c_str());
    }
    bool Ok() const { return !m_path.empty(); }
    const std::string& Path() const { return m_path; }
    // Full name of a file in the folder; it is deleted with the folder.
    std::string File(const std::string& name) {
        m_files.push_back(m_path + "\\" + name);
        return m_files.back();
    }

private:
    std::string m_path;
    std::vector<std::string> m_files;
};

inline bool WriteWholeFile(const std::string& name, const std::vector<uint8_t>& bytes) {
    FileHandle h = CreateFileHandle(name.c_str());
    if (h == kNoFileHandle) return false;
    bool ok = WriteFileChecked(h, bytes.data(), static_cast<int32_t>(bytes.size())) == 0;
    CloseFileHandle(h);
    return ok;
}

inline std::vector<uint8_t> ReadWholeFile(const std::string& name) {
    std::vector<uint8_t> bytes;
    FileHandle h = OpenFileHandle(name.c_str(), 0);
    if (h == kNoFileHandle) return bytes;
    int32_t size = GetFileHandleSize(h);
    bytes.resize(size > 0 ? static_cast<size_t>(size) : 0);
    if (size > 0 && ReadFileChecked(h, bytes.data(), size) != 0) bytes.clear();
    CloseFileHandle(h);
    return bytes;
}

// Bytes that differ from their neighbours, so misplaced reads show.
inline std::vector<uint8_t> PatternBytes(size_t n, unsigned seed = 0) {
    std::vector<uint8_t> v(n);
    for (size_t i = 0; i < n; ++i) v[i] = static_cast<uint8_t>((i * 7 + (i >> 8) * 13 + seed) & 0xFF);
    return v;
}
