#include "tools/pack/manifest.h"

#include "runtime/package/bank.h"
#include "tools/pack/folder_paths.h"

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <sstream>

const char* const kManifestName = "manifest.txt";

namespace {

std::string Trim(const std::string& s) {
    size_t a = 0, b = s.size();
    while (a < b && (s[a] == ' ' || s[a] == '\t' || s[a] == '\r')) ++a;
    while (b > a && (s[b - 1] == ' ' || s[b - 1] == '\t' || s[b - 1] == '\r')) --b;
    return s.substr(a, b - a);
}

std::string Lower(std::string s) {
    for (char& c : s)
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c + 32);
    return s;
}

// A number in decimal or 0x hex that fits `max`.
bool Number(const std::string& text, uint64_t max, uint64_t* value) {
    if (text.empty() || text[0] == '-' || text[0] == '+') return false;
    errno = 0;
    char* end = nullptr;
    const unsigned long long v = std::strtoull(text.c_str(), &end, 0);
    if (errno || !end || *end || v > max) return false;
    *value = v;
    return true;
}

bool SignedNumber(const std::string& text, int32_t* value) {
    errno = 0;
    char* end = nullptr;
    const long v = std::strtol(text.c_str(), &end, 0);
    if (text.empty() || errno || !end || *end || v < -32768 || v > 32767) return false;
    *value = static_cast<int32_t>(v);
    return true;
}

bool BankType(const std::string& kind, uint32_t* type) {
    static const struct {
        const char* name;
        uint32_t type;
    } kinds[] = {
        {"sources", kBankSources}, {"pictures", kBankPictures}, {"animations", kBankAnimations},
        {"sounds", kBankSounds},   {"music", kBankMusic},       {"strings", kBankStrings},
        {"3d", kBank3D},           {"binary", kBankBinary},
    };
    for (const auto& k : kinds)
        if (Lower(kind) == k.name) {
            *type = k.type;
            return true;
        }
    uint64_t v;
    if (!Number(kind, 0xFFFFFFFFu, &v)) return false;
    *type = static_cast<uint32_t>(v);
    return true;
}

}  // namespace

bool ParseManifest(const std::string& text, Manifest* m, std::string* error) {
    std::istringstream in(text);
    std::string raw;
    int line = 0;
    auto fail = [&](const std::string& why) {
        *error = "line " + std::to_string(line) + ": " + why;
        return false;
    };
    while (std::getline(in, raw)) {
        ++line;
        const std::string s = Trim(raw);
        if (s.empty() || s[0] == '#' || s[0] == ';') continue;
        if (s[0] == '[') {
            if (s.back() != ']') return fail("a bank line is \"[kind name]\"");
            const std::string inner = Trim(s.substr(1, s.size() - 2));
            const size_t space = inner.find_first_of(" \t");
            if (space == std::string::npos) return fail("a bank needs a kind and a name");
            ManifestBank bank;
            bank.line = line;
            if (!BankType(inner.substr(0, space), &bank.type)) return fail("unknown bank kind " + inner.substr(0, space));
            bank.name = Trim(inner.substr(space));
            if (bank.name.size() > 259) return fail("bank name longer than 259 characters");
            m->banks.push_back(bank);
            continue;
        }
        const size_t eq = s.find('=');
        if (m->banks.empty()) {
            if (eq == std::string::npos) return fail("a setting is \"key = value\"");
            const std::string key = Lower(Trim(s.substr(0, eq)));
            const std::string value = Trim(s.substr(eq + 1));
            uint64_t n = 0;
            auto number = [&](uint64_t max) { return Number(value, max, &n); };
            if (key == "title") {
                if (value.size() > 0xFFFF) return fail("title too long");
                m->title = value;
            } else if (key == "palette") {
                m->paletteLine = line;
                m->palette = Lower(value) == "default" ? "" : value;
            } else if (key == "startup") {
                m->startupLine = line;
                m->startup = value;
            } else if (key == "gameinput") {
                m->gameInputLine = line;
                m->gameInput = value;
            } else if (key == "followon") {
                m->followOnLine = line;
                m->followOn = value;
            } else if (key == "gameinput_words") {
                std::istringstream words(value);
                std::string a, b, c;
                uint64_t x, y, z;
                if (!(words >> a >> b >> c) || !Number(a, 0xFFFF, &x) || !Number(b, 0xFFFF, &y) ||
                    !Number(c, 0xFFFFFFFFu, &z))
                    return fail("gameinput_words takes three numbers");
                m->gameInputA = static_cast<uint16_t>(x);
                m->gameInputB = static_cast<uint16_t>(y);
                m->gameInputC = static_cast<uint32_t>(z);
            } else if (key == "speed" || key == "release" || key == "sound3d" || key == "setting_f" ||
                       key == "setting_g" || key == "compress") {
                if (!number(0xFFFF)) return fail(key + " takes a number from 0 to 65535");
                const uint16_t v = static_cast<uint16_t>(n);
                if (key == "speed") m->speed = v;
                else if (key == "release") m->releaseFlag = v;
                else if (key == "sound3d") m->sound3DFlag = v;
                else if (key == "setting_f") m->settingF = v;
                else if (key == "setting_g") m->settingG = v;
                else m->compress = v != 0;
            } else if (key == "background" || key == "flags" || key == "extra") {
                if (!number(0xFFFFFFFFu)) return fail(key + " takes a 32-bit number");
                const uint32_t v = static_cast<uint32_t>(n);
                if (key == "background") m->backgroundColor = v;
                else if (key == "flags") m->flags = v;
                else m->extraWord = v;
            } else {
                return fail("unknown setting " + key);
            }
            continue;
        }
        // An element of the current bank: [group/]name = file, or a file alone.
        ManifestEntry e;
        e.line = line;
        std::string rest = s;
        const size_t bar = rest.find('|');
        if (bar != std::string::npos) {
            std::istringstream options(rest.substr(bar + 1));
            std::vector<std::string> words;
            for (std::string w; options >> w;) words.push_back(w);
            size_t at = 0;
            if (words.size() >= 2 && SignedNumber(words[0], &e.hotSpotX) && SignedNumber(words[1], &e.hotSpotY)) {
                e.hasHotSpot = true;
                at = 2;
            }
            if (at == 0 && (words.empty() || Lower(words[0]) != "raw"))
                return fail("a hot spot is \"| x y\"");
            for (; at < words.size(); ++at) {
                const std::string w = Lower(words[at]);
                uint64_t n = 0;
                if (w == "raw") {
                    e.raw = true;
                    if (at + 1 < words.size() && Number(words[at + 1], 32, &n)) {
                        if (n != 8 && n != 15 && n != 16 && n != 24 && n != 32)
                            return fail("a raw depth is 8, 15, 16, 24 or 32");
                        e.rawDepth = static_cast<int32_t>(n);
                        ++at;
                    }
                } else if (w == "palette" && at + 1 < words.size() && Number(words[at + 1], 0xFFFFFFFEu, &n)) {
                    e.palette = static_cast<int64_t>(n);
                    ++at;
                } else if (w == "mask") {
                    e.mask = true;
                } else {
                    return fail("picture options are \"raw [depth]\", \"palette N\" and \"mask\"");
                }
            }
            if ((e.palette >= 0 || e.mask) && !e.raw) return fail("\"palette\" and \"mask\" go with \"raw\"");
            rest = Trim(rest.substr(0, bar));
        }
        if (rest.rfind("@palette", 0) == 0) {
            const size_t is = rest.find('=');
            const std::string file = is == std::string::npos ? "" : Trim(rest.substr(is + 1));
            if (file.empty() || Trim(rest.substr(0, is)) != "@palette") return fail("a table palette is \"@palette = file\"");
            m->banks.back().palettes.push_back({file, line});
            continue;
        }
        std::string name;
        if (eq != std::string::npos && eq < rest.size()) {
            name = Trim(rest.substr(0, eq));
            e.file = Trim(rest.substr(eq + 1));
        } else {
            e.file = rest;
            const size_t slash = e.file.find_last_of("/\\");
            name = slash == std::string::npos ? e.file : e.file.substr(slash + 1);
        }
        if (e.file.empty() || name.empty()) return fail("an element needs a file and a name");
        if (!IsPlainElementName(name)) return fail("element name " + name + " is absolute or climbs out with \"..\"");
        const size_t slash = name.find_last_of('/');
        if (slash != std::string::npos && eq != std::string::npos) {
            e.group = name.substr(0, slash);
            name = name.substr(slash + 1);
        }
        e.name = name;
        if (e.name.empty()) return fail("empty element name");
        if (e.name.size() > 0xFFFF || e.group.size() > 0xFFFF) return fail("element name too long");
        m->banks.back().entries.push_back(e);
    }
    return true;
}
