#include "scriptsys/ini_access.h"

#include "runtime/interp/value_numbers.h"
#include "scriptsys/os_profile.h"

#include <vector>

namespace {

bool Named(const char* text) { return text && *text; }

}  // namespace

void CIniAccess::SetFile(const char* name) { m_file.assign(Named(name) ? name : ""); }

bool CIniAccess::CanRead(const char* section, const char* key) const {
    return HasFile() && Named(section) && Named(key);
}

bool CIniAccess::SetValue(const char* section, const char* key, const char* value) {
    if (!CanRead(section, key) || !value) return true;
    return OsWriteProfileString(m_file.c_str(), section, key, value);
}

std::string CIniAccess::GetString(const char* section, const char* key, const char* defaultText) const {
    const char* fallback = defaultText ? defaultText : "";
    if (!CanRead(section, key)) return fallback;
    std::vector<char> buffer(kTextBufferSize, 0);
    int32_t n = OsReadProfileString(m_file.c_str(), section, key, fallback, buffer.data(), kTextBufferSize);
    buffer[kTextBufferSize - 1] = 0;
    if (n < 0 || n >= kTextBufferSize) n = kTextBufferSize - 1;
    return std::string(buffer.data(), static_cast<size_t>(n));
}

int32_t CIniAccess::GetInt(const char* section, const char* key, const char* defaultText) const {
    const char* fallback = defaultText ? defaultText : "0";
    if (!CanRead(section, key)) return tw::ParseIntPrefix(fallback);
    char buffer[kIntBufferSize] = {};
    OsReadProfileString(m_file.c_str(), section, key, fallback, buffer, kIntBufferSize);
    buffer[kIntBufferSize - 1] = 0;
    return tw::ParseIntPrefix(buffer);
}
