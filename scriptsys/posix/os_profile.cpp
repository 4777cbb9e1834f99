// Native stand-in of the profile-string functions: a small INI reader and
// writer with the Windows rules that scripts notice (names without regard to
// case, blanks around names and values dropped, one pair of quotes around a
// value dropped, new sections appended, CR LF line ends).
#include "scriptsys/os_profile.h"

#include <algorithm>
#include <cstring>
#include <fstream>
#include <sstream>
#include <string>
#include <strings.h>
#include <vector>

namespace {

std::string NativeName(const char* name) {
    std::string s(name ? name : "");
    std::replace(s.begin(), s.end(), '\\', '/');
    return s;
}

std::string Trim(const std::string& s) {
    size_t b = s.find_first_not_of(" \t\r\n");
    if (b == std::string::npos) return std::string();
    size_t e = s.find_last_not_of(" \t\r\n");
    return s.substr(b, e - b + 1);
}

bool SameName(const std::string& a, const char* b) { return strcasecmp(a.c_str(), b) == 0; }

std::vector<std::string> ReadLines(const char* file) {
    std::vector<std::string> lines;
    std::ifstream in(NativeName(file), std::ios::binary);
    std::string line;
    while (std::getline(in, line)) {
        if (!line.empty() && line.back() == '\r') line.pop_back();
        lines.push_back(line);
    }
    return lines;
}

// "[name]" gives the trimmed name.
bool SectionName(const std::string& line, std::string* name) {
    std::string t = Trim(line);
    if (t.size() < 2 || t.front() != '[') return false;
    size_t close = t.find(']');
    if (close == std::string::npos) return false;
    *name = Trim(t.substr(1, close - 1));
    return true;
}

bool KeyOf(const std::string& line, std::string* key, std::string* value) {
    size_t eq = line.find('=');
    if (eq == std::string::npos) return false;
    *key = Trim(line.substr(0, eq));
    *value = Trim(line.substr(eq + 1));
    return true;
}

}  // namespace

int32_t OsReadProfileString(const char* file, const char* section, const char* key,
                            const char* defaultText, char* buffer, int32_t size) {
    if (!buffer || size < 1) return 0;
    std::string result = Trim(defaultText ? defaultText : "");
    bool inSection = false;
    for (const std::string& line : ReadLines(file)) {
        std::string name, k, v;
        if (SectionName(line, &name)) {
            inSection = section && SameName(name, section);
        } else if (inSection && key && KeyOf(line, &k, &v) && SameName(k, key)) {
            if (v.size() >= 2 && (v.front() == '"' || v.front() == '\'') && v.back() == v.front())
                v = v.substr(1, v.size() - 2);
            result = v;
            break;
        }
    }
    size_t n = std::min(result.size(), static_cast<size_t>(size - 1));
    std::memcpy(buffer, result.data(), n);
    buffer[n] = 0;
    return static_cast<int32_t>(n);
}

bool OsWriteProfileString(const char* file, const char* section, const char* key, const char* value) {
    if (!file || !*file || !section || !key) return false;
    std::vector<std::string> lines = ReadLines(file);
    const std::string entry = std::string(key) + "=" + (value ? value : "");
    bool inSection = false;
    bool done = false;
    size_t sectionEnd = 0;  // after the last non-blank line of the section
    bool found = false;
    for (size_t i = 0; i < lines.size() && !done; ++i) {
        std::string name, k, v;
        if (SectionName(lines[i], &name)) {
            if (inSection) break;
            inSection = SameName(name, section);
            if (inSection) {
                found = true;
                sectionEnd = i + 1;
            }
        } else if (inSection) {
            if (KeyOf(lines[i], &k, &v) && SameName(k, key)) {
                lines[i] = entry;
                done = true;
            } else if (!Trim(lines[i]).empty()) {
                sectionEnd = i + 1;
            }
        }
    }
    if (!done) {
        if (found) {
            lines.insert(lines.begin() + static_cast<std::ptrdiff_t>(sectionEnd), entry);
        } else {
            lines.push_back(std::string("[") + section + "]");
            lines.push_back(entry);
        }
    }
    std::ofstream out(NativeName(file), std::ios::binary | std::ios::trunc);
    for (const std::string& line : lines) out << line << "\r\n";
    out.flush();
    return static_cast<bool>(out);
}
