#pragma once
// The file-system calls of the texture locator: the current directory, a
// name looked up in the current directory, the subdirectories of the current
// directory, and a file copy. engine3d/win32 implements them with the Win32
// calls, engine3d/posix with getcwd, chdir and opendir (accepting '\\' and '/'
// as separators); tests use an in-memory tree.
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

class LFileSearch {
public:
    virtual ~LFileSearch() = default;
    // The current directory into out (terminated); 0 when it does not fit.
    virtual int32_t GetCurrentDir(char* out, size_t size) = 0;
    // 1 when the directory was made current.
    virtual int32_t SetCurrentDir(const char* path) = 0;
    // 1 when the current directory holds an entry of that name.
    virtual int32_t FindInCurrentDir(const char* name) = 0;
    // The names of the current directory's subdirectories, in listing order.
    virtual void ListSubdirectories(std::vector<std::string>& out) = 0;
    // Copies a file; non-zero on success.
    virtual int32_t CopyFile(const char* from, const char* to, int32_t failIfExists) = 0;
};

// The platform's file search.
LFileSearch& GetSystemFileSearch();
