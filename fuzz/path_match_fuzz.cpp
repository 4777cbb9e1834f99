// Path matching, splitting and ordering on arbitrary texts: every call ends
// and stays in bounds (ASan/UBSan), and the answers keep their invariants.
//
// Input: one byte of separator, then NUL-separated texts; the first two are a
// name and a pattern, the rest are more paths to order.
#include "runtime/io/path_match.h"

#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

namespace {

void Check(bool ok) {
    if (!ok) std::abort();
}

int Order(const std::string& a, const std::string& b) { return ComparePaths(a.c_str(), b.c_str()); }

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size == 0) return 0;
    const char separator = data[0] ? static_cast<char>(data[0]) : ',';  // 0 is the NUL-row form, below
    const std::string raw(reinterpret_cast<const char*>(data + 1), size - 1);
    std::vector<std::string> texts;
    for (size_t b = 0; b <= raw.size();) {
        size_t e = raw.find('\0', b);
        if (e == std::string::npos) e = raw.size();
        texts.push_back(raw.substr(b, e - b));
        b = e + 1;
    }
    while (texts.size() < 3) texts.push_back("");
    const std::string& name = texts[0];
    const std::string& pattern = texts[1];

    MatchWildcard(name.c_str(), pattern.c_str());
    const bool matched = MatchPattern(name.c_str(), pattern.c_str());
    // A pattern without "\\" reads only the name's last component.
    if (pattern.find('\\') == std::string::npos)
        Check(matched == MatchWildcard(name.c_str(), pattern.c_str()));
    // Every name begins with nothing, and so matches the empty pattern.
    Check(MatchWildcard(name.c_str(), ""));

    CRefStringArray list;
    const int added = SplitIntoList(&list, raw.c_str(), separator);  // up to the first NUL
    Check(added == list.GetSize());
    for (int k = 0; k < list.GetSize(); ++k) {
        const int n = list.GetAt(k)->GetLength();
        Check(n >= 1 && n < kMaxPathChars);
        Check(std::strchr(list.GetAt(k)->c_str(), separator) == nullptr);
    }
    CRefStringArray rows;  // separator 0 over the whole input, which ends with a NUL
    const std::string withEnd = raw + std::string(2, '\0');
    Check(SplitIntoList(&rows, withEnd.c_str(), 0) == rows.GetSize());

    CRefString drive, directory, stem, extension;
    CRefStringArray components;
    const bool split = SplitPath(name.c_str(), &drive, &directory, &components, &stem, &extension);
    Check(split == (name.size() < static_cast<size_t>(kMaxPathChars)));
    if (split) {
        // The four parts put back together are the path as far as its first NUL.
        std::string whole = std::string(drive.c_str()) + directory.c_str() + stem.c_str() + extension.c_str();
        Check(whole == std::string(name.c_str()));
    }

    for (size_t i = 0; i < texts.size(); ++i) {
        Check(Order(texts[i], texts[i]) == 0);
        for (size_t j = 0; j < texts.size(); ++j) {
            const int ij = Order(texts[i], texts[j]);
            Check(ij == -Order(texts[j], texts[i]));
            Check((ij == 0) == (texts[i] == texts[j]));
            for (size_t k = 0; k < texts.size() && texts.size() <= 8; ++k)
                if (ij < 0 && Order(texts[j], texts[k]) < 0) Check(Order(texts[i], texts[k]) < 0);
        }
    }
    return 0;
}
