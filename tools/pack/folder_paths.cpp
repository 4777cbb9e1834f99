#include "tools/pack/folder_paths.h"

#include <filesystem>
#include <system_error>

namespace fs = std::filesystem;

namespace {

bool IsAbsoluteName(const std::string& name) {
    return !name.empty() && (name[0] == '/' || name[0] == '\\' || (name.size() > 1 && name[1] == ':'));
}

std::string Slashes(std::string name) {
    for (char& c : name)
        if (c == '\\') c = '/';
    return name;
}

// The path with every symbolic link of its existing part resolved, and "." and
// ".." taken away; the part that does not exist yet is kept as written.
bool Resolved(const std::string& name, fs::path* path) {
    std::error_code ec;
    *path = fs::weakly_canonical(fs::absolute(fs::path(Slashes(name)), ec), ec);
    return !ec;
}

}  // namespace

bool PathInsideFolder(const std::string& folder, const std::string& name, std::string* path, std::string* why) {
    if (IsAbsoluteName(name)) {
        *why = "an absolute path; name files inside the application folder";
        return false;
    }
    const std::string joined = folder.empty() ? name : folder + "/" + name;
    fs::path root, target;
    if (!Resolved(folder.empty() ? "." : folder, &root) || !Resolved(joined, &target)) {
        *why = "cannot be resolved";
        return false;
    }
    // Inside means: the root's parts are the first parts of the target.
    auto r = root.begin(), t = target.begin();
    for (; r != root.end() && !r->empty(); ++r, ++t)
        if (t == target.end() || *r != *t) {
            *why = "lies outside the application folder";
            return false;
        }
    *path = joined;
    return true;
}

bool IsPlainElementName(const std::string& name) {
    if (IsAbsoluteName(name)) return false;
    const std::string s = Slashes(name);
    for (size_t start = 0;;) {
        const size_t end = s.find('/', start);
        if (s.compare(start, end == std::string::npos ? std::string::npos : end - start, "..") == 0) return false;
        if (end == std::string::npos) return true;
        start = end + 1;
    }
}
