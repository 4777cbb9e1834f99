#pragma once
// 32-bit registry values under a key path of a root key. Every key opened here
// is closed before the call returns.
#include <windows.h>

// Opens the key for reading and writing, creating it when missing
// (RegCreateKeyExA, KEY_READ | KEY_WRITE); null when that fails. The caller
// closes it with RegCloseKey.
HKEY OpenRegistryKey(HKEY root, const char* path);
// The REG_DWORD value name under path, or fallback when the key or the value
// is missing or is not a 4-byte value. A missing key is not created.
DWORD ReadRegistryDword(HKEY root, const char* path, const char* name, DWORD fallback);
// Sets name under path (the key is created when missing) as REG_DWORD.
bool WriteRegistryDword(HKEY root, const char* path, const char* name, DWORD value);
