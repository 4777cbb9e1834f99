#include "runtime/base/os_strings.h"
#include "runtime/headless/os_strings_table.h"

#include <cstring>
#include <map>
#include <string>

namespace {
std::map<unsigned, std::string>& Table() {
    static std::map<unsigned, std::string> table;
    return table;
}
}  // namespace

void OsSetTestString(unsigned id, const char* text) {
    if (text == nullptr)
        Table().erase(id);
    else
        Table()[id] = text;
}

int OsLoadString(unsigned id, char* buf, int size) {
    if (buf == nullptr || size < 1)
        return 0;
    buf[0] = 0;
    auto it = Table().find(id);
    if (it == Table().end())
        return 0;
    int n = static_cast<int>(it->second.size());
    if (n > size - 1)
        n = size - 1;
    std::memcpy(buf, it->second.data(), n);
    buf[n] = 0;
    return n;
}
