// The Win32 file search: the current directory, FindFirstFileA and
// FindNextFileA over the current directory, CopyFileA.
#include "engine3d/file_search.h"

#include <windows.h>
#undef CopyFile  // the seam's own operation, not the ANSI macro

namespace {

class Win32FileSearch : public LFileSearch {
public:
    int32_t GetCurrentDir(char* out, size_t size) override {
        if (!out || size == 0) return 0;
        const DWORD n = GetCurrentDirectoryA(DWORD(size), out);
        return n > 0 && n < size ? 1 : 0;
    }
    int32_t SetCurrentDir(const char* path) override { return path && SetCurrentDirectoryA(path) ? 1 : 0; }
    int32_t FindInCurrentDir(const char* name) override {
        WIN32_FIND_DATAA data;
        HANDLE h = FindFirstFileA(name, &data);
        if (h == INVALID_HANDLE_VALUE) return 0;
        FindClose(h);
        return 1;
    }
    void ListSubdirectories(std::vector<std::string>& out) override {
        out.clear();
        WIN32_FIND_DATAA data;
        HANDLE h = FindFirstFileA("*", &data);
        if (h == INVALID_HANDLE_VALUE) return;
        do {
            if (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) out.push_back(data.cFileName);
        } while (FindNextFileA(h, &data));
        FindClose(h);
    }
    int32_t CopyFile(const char* from, const char* to, int32_t failIfExists) override {
        return CopyFileA(from, to, failIfExists ? TRUE : FALSE) ? 1 : 0;
    }
};

}  // namespace

LFileSearch& GetSystemFileSearch() {
    static Win32FileSearch search;
    return search;
}
