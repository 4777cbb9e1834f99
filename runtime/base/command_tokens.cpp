#include "runtime/base/command_tokens.h"

namespace {

bool IsSeparator(unsigned char c) { return c == ' ' || c == '\t'; }
bool EndsText(unsigned char c) { return c < 32 && c != '\t'; }

}  // namespace

int GetQuotedToken(char* destination, int size, const char* text, int index) {
    if (destination && size > 0) destination[0] = '\0';
    if (!text) return destination ? index : 0;

    const unsigned char* p = reinterpret_cast<const unsigned char*>(text);
    int count = 0;
    for (;;) {
        while (IsSeparator(*p)) ++p;
        if (EndsText(*p)) break;

        unsigned char quote = 0;
        if (*p == '"' || *p == '\'') quote = *p++;
        const unsigned char* start = p;
        if (quote) {
            while (!EndsText(*p) && *p != quote) ++p;
        } else {
            while (!EndsText(*p) && !IsSeparator(*p)) ++p;
        }
        const unsigned char* end = p;
        if (quote && *p == quote) ++p;

        if (destination && count == index) {
            if (size > 0) {
                int n = 0;
                while (start + n < end && n < size - 1) {
                    destination[n] = static_cast<char>(start[n]);
                    ++n;
                }
                destination[n] = '\0';
            }
            return index;
        }
        ++count;
    }
    return destination ? index : count;
}

int CountTokens(const char* text) { return text ? GetQuotedToken(nullptr, 0, text, 0) : 0; }
