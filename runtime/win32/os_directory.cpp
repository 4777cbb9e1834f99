#include <windows.h>

#include "runtime/io/os_directory.h"

#include <cstring>

namespace {

uint64_t Ticks(const FILETIME& t) {
    return (static_cast<uint64_t>(t.dwHighDateTime) << 32) | t.dwLowDateTime;
}

void CopyRecord(const WIN32_FIND_DATAA& data, FindRecord* record) {
    record->attributes = data.dwFileAttributes;
    record->creationTime = Ticks(data.ftCreationTime);
    record->accessTime = Ticks(data.ftLastAccessTime);
    record->writeTime = Ticks(data.ftLastWriteTime);
    record->size = (static_cast<uint64_t>(data.nFileSizeHigh) << 32) | data.nFileSizeLow;
    static_assert(sizeof record->name == sizeof data.cFileName, "find records hold MAX_PATH names");
    std::memcpy(record->name, data.cFileName, sizeof record->name);
    record->name[sizeof record->name - 1] = 0;
}

}  // namespace

FindHandle FindFirstEntry(const char* pattern, FindRecord* record, FindDetail) {
    WIN32_FIND_DATAA data;
    HANDLE h = FindFirstFileA(pattern ? pattern : "", &data);
    if (h == INVALID_HANDLE_VALUE) return kNoFindHandle;
    CopyRecord(data, record);
    return reinterpret_cast<FindHandle>(h);
}

bool FindNextEntry(FindHandle handle, FindRecord* record) {
    if (handle == kNoFindHandle) return false;
    WIN32_FIND_DATAA data;
    if (!FindNextFileA(reinterpret_cast<HANDLE>(handle), &data)) return false;
    CopyRecord(data, record);
    return true;
}

void FindCloseEntry(FindHandle handle) {
    if (handle != kNoFindHandle) FindClose(reinterpret_cast<HANDLE>(handle));
}

size_t GetFullPathOf(const char* path, char* buffer, size_t size) {
    if (!path || !buffer || size == 0 || size > 0x7FFFFFFF) return 0;
    char* filePart = nullptr;
    DWORD n = GetFullPathNameA(path, static_cast<DWORD>(size), buffer, &filePart);
    return n < size ? n : 0;
}

size_t GetLogicalDriveRoots(char* buffer, size_t size) {
    if (!buffer || size > 0x7FFFFFFF) return 0;
    return GetLogicalDriveStringsA(static_cast<DWORD>(size), buffer);
}

bool IsEscapeKeyDown() { return GetAsyncKeyState(VK_ESCAPE) < 0; }
