// File layer over Win32 file handles.
#include "runtime/io/os_file.h"

#include "runtime/io/io_status.h"

#include <windows.h>

namespace {

HANDLE H(FileHandle handle) { return reinterpret_cast<HANDLE>(handle); }

FileHandle Wrap(HANDLE h) {
    return h == INVALID_HANDLE_VALUE ? kNoFileHandle : reinterpret_cast<FileHandle>(h);
}

int32_t Pointer(FileHandle handle, LONG offset, DWORD method) {
    if (handle == kNoFileHandle) return -1;
    DWORD at = SetFilePointer(H(handle), offset, nullptr, method);
    if (at == INVALID_SET_FILE_POINTER || at > 0x7FFFFFFFu) return -1;
    return static_cast<int32_t>(at);
}

bool FindFirst(const char* name, WIN32_FIND_DATAA* data) {
    if (!name || !*name) return false;
    HANDLE find = FindFirstFileA(name, data);
    if (find == INVALID_HANDLE_VALUE) return false;
    FindClose(find);
    return true;
}

}  // namespace

FileHandle OpenFileHandle(const char* name, int mode) {
    if (!name || !*name) return kNoFileHandle;
    // Readers let others read and write the file (a log being written stays
    // readable); writers let others read it while they write.
    DWORD access = GENERIC_READ;
    DWORD share = FILE_SHARE_READ | FILE_SHARE_WRITE;
    if (mode == 1) {
        access = GENERIC_WRITE;
        share = FILE_SHARE_READ;
    } else if (mode == 2) {
        access = GENERIC_READ | GENERIC_WRITE;
        share = FILE_SHARE_READ;
    }
    return Wrap(CreateFileA(name, access, share, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
}

FileHandle CreateFileHandle(const char* name) {
    if (!name || !*name) return kNoFileHandle;
    return Wrap(CreateFileA(name, GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ, nullptr, CREATE_ALWAYS,
                            FILE_ATTRIBUTE_NORMAL, nullptr));
}

FileHandle CreateNewFileHandle(const char* name) {
    if (!name || !*name) return kNoFileHandle;
    return Wrap(CreateFileA(name, GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ, nullptr, CREATE_NEW,
                            FILE_ATTRIBUTE_NORMAL, nullptr));
}

void CloseFileHandle(FileHandle handle) {
    if (handle != kNoFileHandle) CloseHandle(H(handle));
}

uint32_t ReadFileChecked(FileHandle handle, void* buffer, int32_t count) {
    if (handle == kNoFileHandle || count < 0) return kIoReadFailed;
    DWORD got = 0;
    if (!ReadFile(H(handle), buffer, static_cast<DWORD>(count), &got, nullptr))
        return GetLastError() == ERROR_HANDLE_EOF ? kIoEndOfData : kIoReadFailed;
    return got == static_cast<DWORD>(count) ? kIoOk : kIoEndOfData;
}

int32_t ReadFileCount(FileHandle handle, void* buffer, int32_t count) {
    if (handle == kNoFileHandle || count < 0) return 0;
    DWORD got = 0;
    if (!ReadFile(H(handle), buffer, static_cast<DWORD>(count), &got, nullptr)) return 0;
    return static_cast<int32_t>(got);
}

uint32_t WriteFileChecked(FileHandle handle, const void* buffer, int32_t count) {
    if (handle == kNoFileHandle || count < 0) return kIoWriteFailed;
    DWORD put = 0;
    if (!WriteFile(H(handle), buffer, static_cast<DWORD>(count), &put, nullptr))
        return GetLastError() == ERROR_DISK_FULL ? kIoWriteIncomplete : kIoWriteFailed;
    return put == static_cast<DWORD>(count) ? kIoOk : kIoWriteIncomplete;
}

int32_t TellFileHandle(FileHandle handle) { return Pointer(handle, 0, FILE_CURRENT); }
int32_t SeekFileAbsolute(FileHandle handle, int32_t offset) { return Pointer(handle, offset, FILE_BEGIN); }
int32_t SeekFileRelative(FileHandle handle, int32_t offset) { return Pointer(handle, offset, FILE_CURRENT); }
int32_t SeekFileFromEnd(FileHandle handle, int32_t offset) { return Pointer(handle, offset, FILE_END); }

int32_t GetFileHandleSize(FileHandle handle) {
    if (handle == kNoFileHandle) return -1;
    DWORD high = 0;
    DWORD low = GetFileSize(H(handle), &high);
    if ((low == INVALID_FILE_SIZE && GetLastError() != NO_ERROR) || high != 0 || low > 0x7FFFFFFFu)
        return -1;
    return static_cast<int32_t>(low);
}

int32_t GetPathFileSize(const char* name) {
    WIN32_FIND_DATAA data;
    if (!FindFirst(name, &data) || (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)) return 0;
    if (data.nFileSizeHigh != 0 || data.nFileSizeLow > 0x7FFFFFFFu) return 0x7FFFFFFF;
    return static_cast<int32_t>(data.nFileSizeLow);
}

int IsDirectoryPath(const char* name) {
    WIN32_FIND_DATAA data;
    return FindFirst(name, &data) && (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) ? 1 : 0;
}

int PathExists(const char* name) {
    WIN32_FIND_DATAA data;
    return FindFirst(name, &data) ? 1 : 0;
}

int DeletePathFile(const char* name) {
    if (!name || !*name) return -1;
    if (DeleteFileA(name)) return 0;
    return RemoveDirectoryA(name) ? 0 : -1;
}

int RenamePathFile(const char* newName, const char* existingName) {
    if (!newName || !*newName || !existingName || !*existingName) return -1;
    return MoveFileA(existingName, newName) ? 0 : -1;
}

int CreateDirectoryPath(const char* name) {
    if (!name || !*name) return -1;
    return CreateDirectoryA(name, nullptr) ? 0 : -1;
}

int GetDriveKind(const char* root) { return static_cast<int>(GetDriveTypeA(root)); }

int32_t GetTempFolder(char* buffer, size_t size) {
    char path[MAX_PATH + 1];
    DWORD n = GetTempPathA(sizeof path, path);
    if (n == 0 || n >= sizeof path || !buffer || n + 1 > size) return 0;
    lstrcpynA(buffer, path, static_cast<int>(n + 1));
    return static_cast<int32_t>(n);
}
