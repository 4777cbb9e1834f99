#include "runtime/win32/window_placement_store.h"

#include "runtime/win32/registry_dword.h"

HKEY CWindowPlacementStore::OpenKey(const char* path) const { return OpenRegistryKey(m_root, path); }

DWORD CWindowPlacementStore::ReadDword(const char* path, const char* name, DWORD fallback) const {
    return ReadRegistryDword(m_root, path, name, fallback);
}

bool CWindowPlacementStore::WriteDword(const char* path, const char* name, DWORD value) const {
    return WriteRegistryDword(m_root, path, name, value);
}

bool CWindowPlacementStore::WritePlacementValue(const char* name, LONG value) const {
    return WriteDword(m_keyPath.c_str(), name, static_cast<DWORD>(value));
}

int CWindowPlacementStore::Restore(const char* keyPath, HWND window) {
    m_keyPath = keyPath;
    m_window = window;
    HDC screen = GetDC(nullptr);
    m_screenWidth = static_cast<uint16_t>(GetDeviceCaps(screen, HORZRES));
    m_screenHeight = static_cast<uint16_t>(GetDeviceCaps(screen, VERTRES));
    ReleaseDC(nullptr, screen);
    RECT client = {0, 0, 0, 0};
    GetClientRect(window, &client);
    m_client = CRect(client);

    const char* path = m_keyPath.c_str();
    const DWORD width = static_cast<DWORD>(m_client.Width()), height = static_cast<DWORD>(m_client.Height());
    if (ReadDword(path, "ScreenWidth", 0) != m_screenWidth || m_screenWidth == 0) return 1;
    if (ReadDword(path, "ScreenHeight", 0) != m_screenHeight || m_screenHeight == 0) return 1;
    if (ReadDword(path, "InitDefaultWidth", 0) != width || width == 0) return 1;
    if (ReadDword(path, "InitDefaultHeight", 0) != height || height == 0) return 1;

    auto value = [&](const char* name) { return static_cast<LONG>(ReadDword(path, name, 0)); };
    WINDOWPLACEMENT placement;
    placement.length = sizeof placement;
    placement.flags = static_cast<UINT>(value("Flags"));
    placement.showCmd = static_cast<UINT>(value("ShowCmd"));
    placement.ptMinPosition.x = value("MinX");
    placement.ptMinPosition.y = value("MinY");
    placement.ptMaxPosition.x = value("MaxX");
    placement.ptMaxPosition.y = value("MaxY");
    placement.rcNormalPosition.left = value("Left");
    placement.rcNormalPosition.top = value("Top");
    const LONG savedWidth = value("Width"), savedHeight = value("Height");
    placement.rcNormalPosition.right = placement.rcNormalPosition.left + (savedWidth > m_client.Width() ? savedWidth : m_client.Width());
    placement.rcNormalPosition.bottom =
        placement.rcNormalPosition.top + (savedHeight > m_client.Height() ? savedHeight : m_client.Height());
    SetWindowPlacement(window, &placement);
    return 1;
}

int CWindowPlacementStore::Save() {
    if (!m_root || !m_saveEnabled) return 0;
    WINDOWPLACEMENT placement;
    placement.length = sizeof placement;
    if (!m_window || !GetWindowPlacement(m_window, &placement)) return 0;
    const RECT& normal = placement.rcNormalPosition;
    const struct {
        const char* name;
        LONG value;
    } values[] = {
        {"ScreenWidth", m_screenWidth},
        {"ScreenHeight", m_screenHeight},
        {"InitDefaultWidth", m_client.Width()},
        {"InitDefaultHeight", m_client.Height()},
        {"Left", normal.left},
        {"Top", normal.top},
        {"Width", normal.right - normal.left},
        {"Height", normal.bottom - normal.top},
        {"Flags", static_cast<LONG>(placement.flags)},
        {"ShowCmd", static_cast<LONG>(placement.showCmd)},
        {"MinX", placement.ptMinPosition.x},
        {"MinY", placement.ptMinPosition.y},
        {"MaxX", placement.ptMaxPosition.x},
        {"MaxY", placement.ptMaxPosition.y},
    };
    bool last = false;
    for (const auto& v : values) last = WritePlacementValue(v.name, v.value);
    return last ? 1 : 0;
}
