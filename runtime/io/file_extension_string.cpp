// Extension change on reference-counted strings (kept apart from the other
// file helpers so that users of those need not link the string class).
#include "runtime/io/file_helpers.h"

#include "runtime/base/ref_string.h"

#include <string>

void ChangeFileExtensionString(CRefString& path, const char* extension) {
    if (path.IsEmpty()) return;
    const std::string p = path.c_str();
    const size_t drive = p.size() >= 2 && p[1] == ':' ? 2 : 0;
    const size_t sep = p.find_last_of("\\/");
    const size_t base = sep == std::string::npos || sep + 1 < drive ? drive : sep + 1;
    size_t dot = p.rfind('.');
    if (dot == std::string::npos || dot < base) dot = p.size();
    std::string result = p.substr(0, dot);
    if (extension && *extension) {
        if (*extension != '.') result += '.';
        result += extension;
    }
    path = result.c_str();
}
