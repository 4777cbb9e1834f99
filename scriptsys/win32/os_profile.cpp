#include "scriptsys/os_profile.h"

#include <windows.h>

int32_t OsReadProfileString(const char* file, const char* section, const char* key,
                            const char* defaultText, char* buffer, int32_t size) {
    if (!buffer || size < 1) return 0;
    return static_cast<int32_t>(GetPrivateProfileStringA(section, key, defaultText ? defaultText : "",
                                                         buffer, static_cast<DWORD>(size), file));
}

bool OsWriteProfileString(const char* file, const char* section, const char* key, const char* value) {
    return WritePrivateProfileStringA(section, key, value, file) != 0;
}
