#include "runtime/base/os_strings.h"
#include "runtime/headless/os_strings_table.h"

#include <cstring>
#include <map>
#include <string>

namespace {
// The texts the Windows build has in runtime/win32/runtime.rc that the
// portable code reads.
const struct {
    unsigned id;
    const char* text;
} kBuiltIn[] = {
    {3701, "BMP"},
    {3702, "PCX"},
    {3704, "TGA"},
    {3705, "JPEG"},
    {3706, "PNG"},
    {3707, "FLI"},
    {3708, "ANM"},
    {3801, "Windows bitmap"},
    {3802, "PCX picture"},
    {3804, "Targa picture"},
    {3805, "JPEG picture"},
    {3806, "Portable network graphic"},
    {3807, "FLI or FLC animation"},
    {3808, "ANM animation"},
    {3901, "*.bmp;*.dib"},
    {3902, "*.pcx"},
    {3904, "*.tga"},
    {3905, "*.jpg;*.jpeg;*.jpe"},
    {3906, "*.png"},
    {3907, "*.fli;*.flc"},
    {3908, "*.anm"},
};

std::map<unsigned, std::string> MakeTable() {
    std::map<unsigned, std::string> table;
    for (const auto& entry : kBuiltIn)
        table[entry.id] = entry.text;
    return table;
}

std::map<unsigned, std::string>& Table() {
    static std::map<unsigned, std::string> table = MakeTable();
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
