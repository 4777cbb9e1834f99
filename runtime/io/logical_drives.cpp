#include "runtime/io/os_directory.h"
#include "runtime/base/ref_string_array.h"

#include <cstring>

int CRefStringArray::AddLogicalDrives() {
    char roots[512];
    const size_t n = GetLogicalDriveRoots(roots, sizeof roots);
    if (n > 0 && n < sizeof roots) {
        for (const char* root = roots; root < roots + n && *root; root += std::strlen(root) + 1)
            if (AddChars(root) < 0) break;
    }
    return GetSize();
}
