// Native stand-in: errno values take the place of the Windows error codes.
#include "scriptsys/os_file_io.h"

#include <cerrno>
#include <climits>
#include <unistd.h>

namespace {

int Fd(FileHandle handle) {
    return handle < 0 || handle > INT_MAX ? -1 : static_cast<int>(handle);
}

}  // namespace

uint32_t OsReadSome(FileHandle handle, void* buffer, int32_t count, int32_t* got) {
    *got = 0;
    int fd = Fd(handle);
    if (fd < 0 || count < 0) return EBADF;
    ssize_t n;
    do {
        n = ::read(fd, buffer, static_cast<size_t>(count));
    } while (n < 0 && errno == EINTR);
    if (n < 0) return errno ? static_cast<uint32_t>(errno) : EIO;
    *got = static_cast<int32_t>(n);
    return 0;
}

uint32_t OsWriteAll(FileHandle handle, const void* buffer, int32_t count, int32_t* put) {
    *put = 0;
    int fd = Fd(handle);
    if (fd < 0 || count < 0) return EBADF;
    while (*put < count) {
        ssize_t n = ::write(fd, static_cast<const char*>(buffer) + *put, static_cast<size_t>(count - *put));
        if (n < 0) {
            if (errno == EINTR) continue;
            return errno ? static_cast<uint32_t>(errno) : EIO;
        }
        if (n == 0) return ENOSPC;
        *put += static_cast<int32_t>(n);
    }
    return 0;
}

uint32_t OsLastFileError() {
    return errno ? static_cast<uint32_t>(errno) : EIO;
}
