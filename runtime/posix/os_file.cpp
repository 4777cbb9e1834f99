// Native stand-in of the file layer over POSIX descriptors. Names may use "\\"
// as the Windows build does: it is read as "/".
#include "runtime/io/os_file.h"

#include "runtime/io/io_status.h"

#include <cerrno>
#include <climits>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <string>
#include <sys/stat.h>
#include <unistd.h>

namespace {

std::string NativeName(const char* name) {
    std::string s(name ? name : "");
    for (char& c : s)
        if (c == '\\') c = '/';
    return s;
}

int Fd(FileHandle handle) {
    if (handle < 0 || handle > INT_MAX) return -1;
    return static_cast<int>(handle);
}

int32_t ToPointer(off_t at) {
    if (at < 0 || at > INT32_MAX) return -1;
    return static_cast<int32_t>(at);
}

FileHandle OpenWith(const char* name, int flags) {
    if (!name || !*name) return kNoFileHandle;
    int fd;
    do {
        fd = ::open(NativeName(name).c_str(), flags | O_CLOEXEC, 0666);
    } while (fd < 0 && errno == EINTR);
    if (fd < 0) return kNoFileHandle;
    struct stat st;
    if (::fstat(fd, &st) != 0 || S_ISDIR(st.st_mode)) {
        ::close(fd);
        return kNoFileHandle;
    }
    return fd;
}

}  // namespace

FileHandle OpenFileHandle(const char* name, int mode) {
    int flags = mode == 1 ? O_WRONLY : mode == 2 ? O_RDWR : O_RDONLY;
    return OpenWith(name, flags);
}

FileHandle CreateFileHandle(const char* name) {
    return OpenWith(name, O_RDWR | O_CREAT | O_TRUNC);
}

FileHandle CreateNewFileHandle(const char* name) {
    return OpenWith(name, O_RDWR | O_CREAT | O_EXCL);
}

void CloseFileHandle(FileHandle handle) {
    int fd = Fd(handle);
    if (fd >= 0) ::close(fd);
}

// Reads until count bytes arrived, end of file, or an error; *failed tells
// an error from end of file.
static int32_t ReadAll(FileHandle handle, void* buffer, int32_t count, bool* failed) {
    *failed = false;
    int fd = Fd(handle);
    if (fd < 0 || count < 0 || (count > 0 && !buffer)) {
        *failed = true;
        return 0;
    }
    int32_t done = 0;
    while (done < count) {
        ssize_t n = ::read(fd, static_cast<char*>(buffer) + done, static_cast<size_t>(count - done));
        if (n < 0) {
            if (errno == EINTR) continue;
            *failed = true;
            break;
        }
        if (n == 0) break;
        done += static_cast<int32_t>(n);
    }
    return done;
}

uint32_t ReadFileChecked(FileHandle handle, void* buffer, int32_t count) {
    bool failed;
    int32_t done = ReadAll(handle, buffer, count, &failed);
    if (failed) return kIoReadFailed;
    return done == count ? kIoOk : kIoEndOfData;
}

int32_t ReadFileCount(FileHandle handle, void* buffer, int32_t count) {
    bool failed;
    int32_t done = ReadAll(handle, buffer, count, &failed);
    return failed ? 0 : done;
}

uint32_t WriteFileChecked(FileHandle handle, const void* buffer, int32_t count) {
    int fd = Fd(handle);
    if (fd < 0 || count < 0 || (count > 0 && !buffer)) return kIoWriteFailed;
    int32_t done = 0;
    while (done < count) {
        ssize_t n = ::write(fd, static_cast<const char*>(buffer) + done, static_cast<size_t>(count - done));
        if (n < 0) {
            if (errno == EINTR) continue;
            return errno == ENOSPC ? kIoWriteIncomplete : kIoWriteFailed;
        }
        if (n == 0) return kIoWriteIncomplete;
        done += static_cast<int32_t>(n);
    }
    return kIoOk;
}

static int32_t SeekFd(FileHandle handle, int32_t offset, int whence) {
    int fd = Fd(handle);
    if (fd < 0) return -1;
    return ToPointer(::lseek(fd, offset, whence));
}

int32_t TellFileHandle(FileHandle handle) { return SeekFd(handle, 0, SEEK_CUR); }
int32_t SeekFileAbsolute(FileHandle handle, int32_t offset) { return SeekFd(handle, offset, SEEK_SET); }
int32_t SeekFileRelative(FileHandle handle, int32_t offset) { return SeekFd(handle, offset, SEEK_CUR); }
int32_t SeekFileFromEnd(FileHandle handle, int32_t offset) { return SeekFd(handle, offset, SEEK_END); }

int32_t GetFileHandleSize(FileHandle handle) {
    int fd = Fd(handle);
    struct stat st;
    if (fd < 0 || ::fstat(fd, &st) != 0) return -1;
    return ToPointer(st.st_size);
}

static bool StatName(const char* name, struct stat* st) {
    return name && *name && ::stat(NativeName(name).c_str(), st) == 0;
}

int32_t GetPathFileSize(const char* name) {
    struct stat st;
    if (!StatName(name, &st) || S_ISDIR(st.st_mode)) return 0;
    return st.st_size > INT32_MAX ? INT32_MAX : static_cast<int32_t>(st.st_size);
}

int IsDirectoryPath(const char* name) {
    struct stat st;
    return StatName(name, &st) && S_ISDIR(st.st_mode) ? 1 : 0;
}

int PathExists(const char* name) {
    struct stat st;
    return StatName(name, &st) ? 1 : 0;
}

int DeletePathFile(const char* name) {
    if (!name || !*name) return -1;
    std::string n = NativeName(name);
    if (::unlink(n.c_str()) == 0) return 0;
    return ::rmdir(n.c_str()) == 0 ? 0 : -1;
}

int RenamePathFile(const char* newName, const char* existingName) {
    if (!newName || !*newName || !existingName || !*existingName) return -1;
    std::string to = NativeName(newName);
    // The Windows move refuses an existing destination; rename() would replace it.
    struct stat st;
    if (::lstat(to.c_str(), &st) == 0) return -1;
    return ::rename(NativeName(existingName).c_str(), to.c_str()) == 0 ? 0 : -1;
}

int CreateDirectoryPath(const char* name) {
    if (!name || !*name) return -1;
    return ::mkdir(NativeName(name).c_str(), 0777) == 0 ? 0 : -1;
}

int GetDriveKind(const char* root) {
    // There are no drive letters here: an existing folder counts as a fixed disk.
    return IsDirectoryPath(root) ? 3 : 1;
}

int32_t GetTempFolder(char* buffer, size_t size) {
    const char* dir = std::getenv("TMPDIR");
    if (!dir || !*dir) dir = "/tmp";
    size_t n = std::strlen(dir);
    if (!buffer || n + 1 > size || n > INT32_MAX) return 0;
    std::memcpy(buffer, dir, n + 1);
    return static_cast<int32_t>(n);
}
