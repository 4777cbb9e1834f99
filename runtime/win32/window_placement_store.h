#pragma once
// CWindowPlacementStore: remembers where a window was, in REG_DWORD values
// under a key path of a root key, and puts it back only on a screen of the
// same size and when the window starts with the same default client size.
//
// Values: "ScreenWidth", "ScreenHeight", "InitDefaultWidth",
// "InitDefaultHeight", "Left", "Top", "Width", "Height", "Flags", "ShowCmd",
// "MinX", "MinY", "MaxX", "MaxY".
#include <windows.h>

#include "runtime/base/rect.h"
#include "runtime/base/ref_string.h"

#include <cstdint>

class CWindowPlacementStore {
public:
    // Root key 0 disables every operation.
    explicit CWindowPlacementStore(HKEY root = nullptr) : m_root(root) {}

    void SetRootKey(HKEY root) { m_root = root; }
    void SetSaveEnabled(bool enabled) { m_saveEnabled = enabled ? 1 : 0; }

    // The registry helpers on the store's root key.
    HKEY OpenKey(const char* path) const;
    DWORD ReadDword(const char* path, const char* name, DWORD fallback) const;
    bool WriteDword(const char* path, const char* name, DWORD value) const;

    // Notes the key path, the window, the screen size and the window's client
    // rectangle (its default size: call it right after creating the window),
    // then restores the saved placement when the saved screen and default
    // sizes equal these and are not 0. Returns 1.
    int Restore(const char* keyPath, HWND window);
    // With a root key and saving enabled, writes the sizes noted by Restore
    // and the window's current placement. Returns the result of the last
    // write: 0 when nothing was saved.
    int Save();

private:
    bool WritePlacementValue(const char* name, LONG value) const;

    HKEY m_root;
    CRefString m_keyPath;
    uint16_t m_screenWidth = 0;
    uint16_t m_screenHeight = 0;
    CRect m_client;
    HWND m_window = nullptr;
    uint32_t m_saveEnabled = 0;
};
