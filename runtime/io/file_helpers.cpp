#include "runtime/io/file_helpers.h"

#include "runtime/io/io_status.h"

#include <climits>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

uint32_t ReadCountedString(FileHandle handle, char** text) {
    *text = nullptr;
    uint8_t len[2];
    uint32_t status = ReadFileChecked(handle, len, 2);
    if (status != kIoOk) return status;
    int32_t length = len[0] | (len[1] << 8);
    if (length > 0) {
        int32_t at = TellFileHandle(handle);
        int32_t size = GetFileHandleSize(handle);
        if (at < 0 || size < 0) return kIoReadFailed;
        if (length > size - at) return kIoEndOfData;
    }
    char* block = static_cast<char*>(std::calloc(static_cast<size_t>(length) + 1, 1));
    if (!block) return kIoGeneralFailure;
    status = ReadFileChecked(handle, block, length);
    if (status != kIoOk) {
        std::free(block);
        return status;
    }
    *text = block;
    return kIoOk;
}

static bool IsSeparator(char c) { return c == '\\' || c == '/'; }

void ChangeFileExtension(char* path, size_t size, const char* extension) {
    if (!path || size == 0) return;
    path[size - 1] = 0;
    size_t len = std::strlen(path);
    size_t cut = len;
    for (size_t i = len; i > 0; --i) {
        if (IsSeparator(path[i - 1])) break;
        if (path[i - 1] == '.') {
            cut = i - 1;
            break;
        }
    }
    std::string ext = extension ? extension : "";
    if (ext.empty() || ext[0] != '.') ext.insert(ext.begin(), '.');
    size_t room = size - 1 - cut;
    size_t n = ext.size() < room ? ext.size() : room;
    std::memcpy(path + cut, ext.data(), n);
    path[cut + n] = 0;
}

int32_t MakeTempFileName(const char* folder, const char* prefix, char* name, size_t nameSize,
                         const char* extension, int keep, int32_t start) {
    if (name && nameSize) name[0] = 0;
    if (!name || nameSize == 0) return -1;
    std::string dir;
    if (folder && *folder) {
        dir = folder;
    } else {
        char temp[261];
        if (GetTempFolder(temp, sizeof temp) <= 0) return -1;
        dir = temp;
    }
    while (!dir.empty() && IsSeparator(dir.back())) dir.pop_back();
    const char* ext = extension && *extension ? extension : "tmp";
    if (*ext == '.') ++ext;
    if (!*ext) ext = "tmp";
    if (!prefix) prefix = "";

    for (int32_t n = start; n < INT32_MAX;) {
        ++n;
        char candidate[1024];
        int len = std::snprintf(candidate, sizeof candidate, "%s%s%s%d.%s", dir.c_str(), "\\", prefix, n, ext);
        if (len < 0 || static_cast<size_t>(len) >= sizeof candidate || static_cast<size_t>(len) >= nameSize)
            return -1;
        FileHandle h = CreateNewFileHandle(candidate);
        if (h == kNoFileHandle) {
            // Only a name that is taken moves on to the next number; a folder that is
            // missing or refuses new files would refuse every candidate.
            if (PathExists(candidate)) continue;
            return -1;
        }
        CloseFileHandle(h);
        std::memcpy(name, candidate, static_cast<size_t>(len) + 1);
        if (!keep) DeletePathFile(candidate);
        return n;
    }
    return -1;
}
