// Native stand-in of folder listings over opendir/readdir. Entries are
// described by fstatat, which follows links as Wine's view of a Linux folder
// does; a dangling link is described as itself. For names and kinds only, the
// kind the folder gives is enough for plain files and folders.
#include "runtime/io/os_directory.h"

#include "runtime/io/path_match.h"
#include "runtime/posix/escape_key_stand_in.h"

#include <atomic>
#include <cstring>
#include <dirent.h>
#include <fcntl.h>
#include <string>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

namespace {

struct Listing {
    DIR* dir;
    std::string pattern;
    bool everyName;
    FindDetail detail;
};

const uint64_t kSecondsFrom1601To1970 = 11644473600ull;

uint64_t Ticks(const struct timespec& t) {
    if (t.tv_sec < 0) return 0;
    return (static_cast<uint64_t>(t.tv_sec) + kSecondsFrom1601To1970) * 10000000ull +
           static_cast<uint64_t>(t.tv_nsec) / 100;
}

bool Describe(Listing* listing, const struct dirent* e, FindRecord* record) {
    const char* name = e->d_name;
    const size_t n = std::strlen(name);
    if (n >= sizeof record->name) return false;
    if (listing->detail == kFindNamesAndKinds && (e->d_type == DT_DIR || e->d_type == DT_REG)) {
        *record = FindRecord{};
        record->attributes = e->d_type == DT_DIR ? kFindAttributeDirectory : kFindAttributeArchive;
        std::memcpy(record->name, name, n + 1);
        return true;
    }
    struct stat st;
    if (fstatat(dirfd(listing->dir), name, &st, 0) != 0 &&
        fstatat(dirfd(listing->dir), name, &st, AT_SYMLINK_NOFOLLOW) != 0)
        std::memset(&st, 0, sizeof st);
    record->attributes = S_ISDIR(st.st_mode) ? kFindAttributeDirectory : kFindAttributeArchive;
    if (!(st.st_mode & S_IWUSR)) record->attributes |= kFindAttributeReadOnly;
    record->creationTime = Ticks(st.st_ctim);
    record->accessTime = Ticks(st.st_atim);
    record->writeTime = Ticks(st.st_mtim);
    record->size = S_ISDIR(st.st_mode) ? 0 : static_cast<uint64_t>(st.st_size);
    std::memcpy(record->name, name, n + 1);
    return true;
}

bool NextMatch(Listing* listing, FindRecord* record) {
    while (struct dirent* e = readdir(listing->dir)) {
        if (!listing->everyName && !MatchWildcard(e->d_name, listing->pattern.c_str())) continue;
        if (Describe(listing, e, record)) return true;
    }
    return false;
}

std::atomic<int> g_checksBeforeEscape{-1};

}  // namespace

FindHandle FindFirstEntry(const char* pattern, FindRecord* record, FindDetail detail) {
    std::string path(pattern ? pattern : "");
    for (char& c : path)
        if (c == '\\') c = '/';
    const size_t slash = path.rfind('/');
    std::string folder = slash == std::string::npos ? "." : slash == 0 ? "/" : path.substr(0, slash);
    std::string name = slash == std::string::npos ? path : path.substr(slash + 1);
    if (name.empty()) return kNoFindHandle;
    DIR* dir = opendir(folder.c_str());
    if (!dir) return kNoFindHandle;
    Listing* listing = new Listing{dir, name, name == "*.*" || name == "*", detail};
    if (!NextMatch(listing, record)) {
        FindCloseEntry(reinterpret_cast<FindHandle>(listing));
        return kNoFindHandle;
    }
    return reinterpret_cast<FindHandle>(listing);
}

bool FindNextEntry(FindHandle handle, FindRecord* record) {
    if (handle == kNoFindHandle) return false;
    return NextMatch(reinterpret_cast<Listing*>(handle), record);
}

void FindCloseEntry(FindHandle handle) {
    if (handle == kNoFindHandle) return;
    Listing* listing = reinterpret_cast<Listing*>(handle);
    closedir(listing->dir);
    delete listing;
}

size_t GetFullPathOf(const char* path, char* buffer, size_t size) {
    if (!path || !buffer || size == 0) return 0;
    std::string whole;
    if (*path != '/' && *path != '\\') {
        char cwd[4096];
        if (!getcwd(cwd, sizeof cwd)) return 0;
        whole = cwd;
        whole += '/';
    }
    whole += path;
    // The components with "." and ".." resolved, joined by "\\".
    std::vector<std::string> parts;
    size_t b = 0;
    while (b <= whole.size()) {
        size_t e = whole.find_first_of("/\\", b);
        if (e == std::string::npos) e = whole.size();
        std::string part = whole.substr(b, e - b);
        if (part == "..") {
            if (!parts.empty()) parts.pop_back();
        } else if (!part.empty() && part != ".") {
            parts.push_back(part);
        }
        b = e + 1;
    }
    std::string full;
    for (const std::string& part : parts) full += "\\" + part;
    const char last = whole.back();
    if (full.empty() || last == '/' || last == '\\') full += '\\';
    if (full.size() >= size) return 0;
    std::memcpy(buffer, full.c_str(), full.size() + 1);
    return full.size();
}

size_t GetLogicalDriveRoots(char* buffer, size_t size) {
    static const char kRoots[] = "/\0";  // one root, then the empty end
    if (!buffer || size < sizeof kRoots) return sizeof kRoots;
    std::memcpy(buffer, kRoots, sizeof kRoots);
    return sizeof kRoots - 1;
}

bool IsEscapeKeyDown() {
    int left = g_checksBeforeEscape.load();
    while (left > 0) {
        if (g_checksBeforeEscape.compare_exchange_weak(left, left - 1)) return false;
    }
    return left == 0;
}

namespace tw {
namespace testing {

void SetEscapeKeyDownAfter(int checks) { g_checksBeforeEscape.store(checks < 0 ? -1 : checks); }

}  // namespace testing
}  // namespace tw
