#include "scriptsys/os_file_io.h"

#include <windows.h>

uint32_t OsReadSome(FileHandle handle, void* buffer, int32_t count, int32_t* got) {
    *got = 0;
    if (handle == kNoFileHandle || count < 0) return ERROR_INVALID_HANDLE;
    DWORD n = 0;
    if (!ReadFile(reinterpret_cast<HANDLE>(handle), buffer, static_cast<DWORD>(count), &n, nullptr)) {
        DWORD error = GetLastError();
        if (error == ERROR_HANDLE_EOF) return 0;
        return error ? error : ERROR_READ_FAULT;
    }
    *got = static_cast<int32_t>(n);
    return 0;
}

uint32_t OsWriteAll(FileHandle handle, const void* buffer, int32_t count, int32_t* put) {
    *put = 0;
    if (handle == kNoFileHandle || count < 0) return ERROR_INVALID_HANDLE;
    DWORD n = 0;
    BOOL ok = WriteFile(reinterpret_cast<HANDLE>(handle), buffer, static_cast<DWORD>(count), &n, nullptr);
    *put = static_cast<int32_t>(n);
    if (!ok) {
        DWORD error = GetLastError();
        return error ? error : ERROR_WRITE_FAULT;
    }
    return n == static_cast<DWORD>(count) ? 0 : ERROR_DISK_FULL;
}

uint32_t OsLastFileError() {
    DWORD error = GetLastError();
    return error ? error : ERROR_GEN_FAILURE;
}
