#pragma once
// INI files through the platform's profile-string functions: every call reads
// or rewrites the file itself. Section and key names match without regard to
// case. A file name without a folder is the platform's business (Windows looks
// in its own folder).
#include <cstdint>

// Copies the value of key in section (at most size - 1 bytes, terminated), or
// the default text when the file, the section or the key is missing. Returns
// the number of bytes copied.
int32_t OsReadProfileString(const char* file, const char* section, const char* key,
                            const char* defaultText, char* buffer, int32_t size);

// Writes key=value under section, replacing an earlier value and creating the
// file and the section when needed. False when the file cannot be written.
bool OsWriteProfileString(const char* file, const char* section, const char* key, const char* value);
