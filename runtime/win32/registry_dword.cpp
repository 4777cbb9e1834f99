#include "runtime/win32/registry_dword.h"

HKEY OpenRegistryKey(HKEY root, const char* path) {
    if (!root || !path) return nullptr;
    HKEY key = nullptr;
    DWORD disposition = 0;
    if (RegCreateKeyExA(root, path, 0, nullptr, REG_OPTION_NON_VOLATILE, KEY_READ | KEY_WRITE, nullptr, &key,
                        &disposition) != ERROR_SUCCESS)
        return nullptr;
    return key;
}

DWORD ReadRegistryDword(HKEY root, const char* path, const char* name, DWORD fallback) {
    if (!root || !path) return fallback;
    HKEY key = nullptr;
    if (RegOpenKeyExA(root, path, 0, KEY_READ, &key) != ERROR_SUCCESS) return fallback;
    DWORD type = 0, value = 0, size = sizeof value;
    LONG status = RegQueryValueExA(key, name, nullptr, &type, reinterpret_cast<BYTE*>(&value), &size);
    RegCloseKey(key);
    return status == ERROR_SUCCESS && type == REG_DWORD && size == sizeof value ? value : fallback;
}

bool WriteRegistryDword(HKEY root, const char* path, const char* name, DWORD value) {
    HKEY key = OpenRegistryKey(root, path);
    if (!key) return false;
    LONG status = RegSetValueExA(key, name, 0, REG_DWORD, reinterpret_cast<const BYTE*>(&value), sizeof value);
    RegCloseKey(key);
    return status == ERROR_SUCCESS;
}
