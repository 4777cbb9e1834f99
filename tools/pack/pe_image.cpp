#include "tools/pack/pe_image.h"

#include "runtime/package/package_location.h"

#include <algorithm>
#include <cstring>

namespace {

const uint32_t kSectionInitialisedData = 0x00000040;

uint16_t Get16(const std::vector<uint8_t>& v, size_t at) { return static_cast<uint16_t>(v[at] | (v[at + 1] << 8)); }
uint32_t Get32(const std::vector<uint8_t>& v, size_t at) {
    return v[at] | (v[at + 1] << 8) | (v[at + 2] << 16) | (static_cast<uint32_t>(v[at + 3]) << 24);
}
void Set32(std::vector<uint8_t>* v, size_t at, uint32_t x) {
    for (int k = 0; k < 4; ++k) (*v)[at + k] = static_cast<uint8_t>(x >> (8 * k));
}

const uint8_t* Marker() { return reinterpret_cast<const uint8_t*>(TW_PACKAGE_MARKER); }

// Every place of the marker in [from, to).
std::vector<size_t> FindMarkers(const std::vector<uint8_t>& v, size_t from, size_t to) {
    std::vector<size_t> found;
    const uint8_t* m = Marker();
    to = std::min(to, v.size());
    for (size_t at = from; at + kPackageMarkerSize <= to; ++at) {
        at = static_cast<size_t>(std::find(v.begin() + static_cast<std::ptrdiff_t>(at),
                                           v.begin() + static_cast<std::ptrdiff_t>(to), m[0]) - v.begin());
        if (at + kPackageMarkerSize > to) break;
        if (std::memcmp(&v[at], m, kPackageMarkerSize) == 0) found.push_back(at);
    }
    return found;
}

}  // namespace

int CountPackageMarkers(const std::vector<uint8_t>& bytes) {
    return static_cast<int>(FindMarkers(bytes, 0, bytes.size()).size());
}

bool FindPackageRecord(const std::vector<uint8_t>& exe, PeImageInfo* info, std::string* error) {
    if (exe.size() < 0x40 || exe[0] != 'M' || exe[1] != 'Z') {
        *error = "not a Windows executable (no MZ header)";
        return false;
    }
    const size_t pe = Get32(exe, 0x3C);
    if (pe > exe.size() || exe.size() - pe < 24 || std::memcmp(&exe[pe], "PE\0\0", 4) != 0) {
        *error = "not a Windows executable (no PE header)";
        return false;
    }
    const size_t coff = pe + 4;
    const unsigned sections = Get16(exe, coff + 2);
    const size_t optionalSize = Get16(exe, coff + 16);
    const size_t optional = coff + 20;
    if (optionalSize < 2 || optional + optionalSize > exe.size()) {
        *error = "truncated PE optional header";
        return false;
    }
    const uint16_t magic = Get16(exe, optional);
    if (magic != 0x10B && magic != 0x20B) {
        *error = "unknown PE optional header";
        return false;
    }
    info->is64 = magic == 0x20B;
    const size_t table = optional + optionalSize;
    if (table + static_cast<size_t>(sections) * 40 > exe.size()) {
        *error = "truncated PE section table";
        return false;
    }
    std::vector<size_t> found;
    info->imageEnd = table + static_cast<size_t>(sections) * 40;
    for (unsigned i = 0; i < sections; ++i) {
        const size_t s = table + static_cast<size_t>(i) * 40;
        const size_t rawSize = Get32(exe, s + 16);
        const size_t rawStart = Get32(exe, s + 20);
        const uint32_t characteristics = Get32(exe, s + 36);
        if (rawSize == 0) continue;
        if (rawStart > exe.size() || rawSize > exe.size() - rawStart) {
            *error = "PE section beyond the end of the file";
            return false;
        }
        info->imageEnd = std::max(info->imageEnd, rawStart + rawSize);
        if (!(characteristics & kSectionInitialisedData)) continue;
        std::vector<size_t> here = FindMarkers(exe, rawStart, rawStart + rawSize);
        found.insert(found.end(), here.begin(), here.end());
    }
    if (found.empty()) {
        *error = "no package record in the executable's data (not a runtime executable)";
        return false;
    }
    if (found.size() > 1) {
        *error = "the package record marker occurs more than once";
        return false;
    }
    if (found[0] + kPackageCheckField + 4 > exe.size()) {
        *error = "package record cut off";
        return false;
    }
    info->record = found[0];
    return true;
}

bool ReadPackageOffset(const std::vector<uint8_t>& exe, size_t record, uint32_t* offset) {
    const uint32_t value = Get32(exe, record + kPackageOffsetField);
    const uint32_t check = Get32(exe, record + kPackageCheckField);
    *offset = value;
    return (value ^ check) == 0xFFFFFFFFu;
}

void WritePackageOffset(std::vector<uint8_t>* exe, size_t record, uint32_t offset) {
    Set32(exe, record + kPackageOffsetField, offset);
    Set32(exe, record + kPackageCheckField, ~offset);
}

bool AttachPackage(const std::vector<uint8_t>& runtime, const std::vector<uint8_t>& package,
                   std::vector<uint8_t>* out, std::string* error) {
    PeImageInfo info;
    if (!FindPackageRecord(runtime, &info, error)) return false;
    uint32_t old;
    if (!ReadPackageOffset(runtime, info.record, &old)) {
        *error = "the executable's package word is damaged";
        return false;
    }
    size_t keep = runtime.size();
    if (old != 0) {
        // A package is attached already: it is replaced, not stacked.
        if (old < info.imageEnd || old > runtime.size()) {
            *error = "the executable's package word points outside its attached data";
            return false;
        }
        keep = old;
    }
    if (keep + package.size() > 0x7FFFFFFFu) {
        *error = "the packed executable would exceed 2 GB";
        return false;
    }
    out->assign(runtime.begin(), runtime.begin() + static_cast<std::ptrdiff_t>(keep));
    WritePackageOffset(out, info.record, static_cast<uint32_t>(keep));
    out->insert(out->end(), package.begin(), package.end());
    return true;
}
