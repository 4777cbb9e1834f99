// Native file search over getcwd, chdir and opendir. Paths may use '\\' or
// '/': the locator builds them with '\\', so each is read as '/'.
#include "engine3d/file_search.h"

#include <cstdio>
#include <cstring>
#include <dirent.h>
#include <fcntl.h>
#include <string>
#include <sys/stat.h>
#include <unistd.h>

namespace {

std::string Native(const char* path) {
    std::string p = path ? path : "";
    for (char& c : p)
        if (c == '\\') c = '/';
    return p;
}

class PosixFileSearch : public LFileSearch {
public:
    int32_t GetCurrentDir(char* out, size_t size) override { return out && getcwd(out, size) ? 1 : 0; }
    int32_t SetCurrentDir(const char* path) override { return chdir(Native(path).c_str()) == 0 ? 1 : 0; }
    int32_t FindInCurrentDir(const char* name) override {
        struct stat st;
        return name && *name && stat(Native(name).c_str(), &st) == 0 ? 1 : 0;
    }
    void ListSubdirectories(std::vector<std::string>& out) override {
        out.clear();
        DIR* dir = opendir(".");
        if (!dir) return;
        while (const dirent* e = readdir(dir)) {
            struct stat st;
            if (stat(e->d_name, &st) == 0 && S_ISDIR(st.st_mode)) out.push_back(e->d_name);
        }
        closedir(dir);
    }
    int32_t CopyFile(const char* from, const char* to, int32_t failIfExists) override {
        FILE* in = std::fopen(Native(from).c_str(), "rb");
        if (!in) return 0;
        const int fd = open(Native(to).c_str(), O_WRONLY | O_CREAT | (failIfExists ? O_EXCL : O_TRUNC), 0644);
        FILE* out = fd >= 0 ? fdopen(fd, "wb") : nullptr;
        if (!out) {
            if (fd >= 0) close(fd);
            std::fclose(in);
            return 0;
        }
        char buffer[65536];
        bool ok = true;
        for (size_t n; (n = std::fread(buffer, 1, sizeof buffer, in)) > 0;)
            if (std::fwrite(buffer, 1, n, out) != n) ok = false;
        std::fclose(in);
        if (std::fclose(out) != 0) ok = false;
        return ok ? 1 : 0;
    }
};

}  // namespace

LFileSearch& GetSystemFileSearch() {
    static PosixFileSearch search;
    return search;
}
