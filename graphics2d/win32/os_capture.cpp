// Capture sources: the screen's DC, or a window's whole-window DC.
#include <windows.h>

#include "graphics2d/os_capture.h"

void* OsGetCaptureDC(void* window, int32_t* width, int32_t* height) {
    HWND hwnd = static_cast<HWND>(window);
    if (hwnd == nullptr) {
        HDC dc = ::GetDC(nullptr);
        if (dc != nullptr) {
            *width = GetDeviceCaps(dc, HORZRES);
            *height = GetDeviceCaps(dc, VERTRES);
        }
        return dc;
    }
    RECT r;
    if (!::GetWindowRect(hwnd, &r))
        return nullptr;
    HDC dc = ::GetWindowDC(hwnd);
    if (dc != nullptr) {
        *width = r.right - r.left;
        *height = r.bottom - r.top;
    }
    return dc;
}

void OsReleaseCaptureDC(void* window, void* dc) {
    if (dc != nullptr)
        ::ReleaseDC(static_cast<HWND>(window), static_cast<HDC>(dc));
}
