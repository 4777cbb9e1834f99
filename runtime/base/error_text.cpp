#include "runtime/base/error_text.h"

#include "runtime/base/os_error_text.h"
#include "runtime/base/os_strings.h"

#include <cstdio>
#include <cstring>

char* FormatErrorMessage(const CIError& error, char* buffer, int size, bool withLine) {
    if (buffer == nullptr || size < 1)
        return buffer;
    char message[192];
    if (error.code < 0) {
        uint32_t systemCode = static_cast<uint32_t>(error.code) & 0x7FFFFFFFu;
        int n = OsSystemErrorText(systemCode, message, 191);
        // System texts end in a period and often a line break.
        while (n > 0 && (message[n - 1] == '\r' || message[n - 1] == '\n' || message[n - 1] == ' '))
            message[--n] = 0;
        if (n > 0 && message[n - 1] == '.')
            message[--n] = 0;
        if (n == 0)
            std::snprintf(message, sizeof message, "Error #%d", error.code);
    } else {
        std::snprintf(message, sizeof message, "Error #%d", error.code);
    }

    char text[512];
    if (withLine && error.line >= 0) {
        char format[128];
        if (OsLoadString(kErrorAtLineResource, format, sizeof format) <= 0)
            std::strcpy(format, "%s at line %i.");
        char line[16];
        std::snprintf(line, sizeof line, "%d", error.line + 1);
        // The resource text is filled by substitution, not used as a printf
        // format: its first "%s" takes the message and its first "%i" the line.
        std::size_t out = 0;
        bool messageDone = false, lineDone = false;
        for (const char* f = format; *f != 0 && out + 1 < sizeof text; ++f) {
            const char* insert = nullptr;
            if (f[0] == '%' && f[1] == 's' && !messageDone) {
                insert = message;
                messageDone = true;
            } else if (f[0] == '%' && f[1] == 'i' && !lineDone) {
                insert = line;
                lineDone = true;
            }
            if (insert != nullptr) {
                for (; *insert != 0 && out + 1 < sizeof text; ++insert)
                    text[out++] = *insert;
                ++f;
            } else {
                text[out++] = *f;
            }
        }
        text[out] = 0;
    } else {
        std::snprintf(text, sizeof text, "%s", message);
    }
    int limit = size >= 2 ? size - 2 : 0;
    int n = static_cast<int>(std::strlen(text));
    if (n > limit)
        n = limit;
    std::memcpy(buffer, text, static_cast<size_t>(n));
    buffer[n] = 0;
    return buffer;
}
