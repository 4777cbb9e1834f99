#include "runtime/win32/display_utils.h"

#include <cstring>

namespace {

typedef int(WINAPI* GetSystemMetricsFn)(int);
typedef HMONITOR(WINAPI* MonitorFromWindowFn)(HWND, DWORD);
typedef HMONITOR(WINAPI* MonitorFromRectFn)(LPCRECT, DWORD);
typedef HMONITOR(WINAPI* MonitorFromPointFn)(POINT, DWORD);
typedef BOOL(WINAPI* EnumDisplayMonitorsFn)(HDC, LPCRECT, MONITORENUMPROC, LPARAM);
typedef BOOL(WINAPI* GetMonitorInfoAFn)(HMONITOR, LPMONITORINFO);
typedef BOOL(WINAPI* EnumDisplayDevicesAFn)(LPCSTR, DWORD, PDISPLAY_DEVICEA, DWORD);

// Entry points of USER32, bound once on the GUI thread.
struct MultiMonitorApi {
    bool tried;
    bool available;
    GetSystemMetricsFn getSystemMetrics;
    MonitorFromWindowFn monitorFromWindow;
    MonitorFromRectFn monitorFromRect;
    MonitorFromPointFn monitorFromPoint;
    EnumDisplayMonitorsFn enumDisplayMonitors;
    GetMonitorInfoAFn getMonitorInfo;
    EnumDisplayDevicesAFn enumDisplayDevices;
};

MultiMonitorApi g_api;

template <typename Fn>
Fn Bind(HMODULE module, const char* name) {
    return reinterpret_cast<Fn>(reinterpret_cast<void*>(GetProcAddress(module, name)));
}

RECT ScreenRect() {
    RECT r = {0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)};
    return r;
}

bool CanHaveSeveralMonitors() {
    OSVERSIONINFOA vi;
    ZeroMemory(&vi, sizeof vi);
    vi.dwOSVersionInfoSize = sizeof vi;
    if (!GetVersionExA(&vi)) return false;
    if (vi.dwPlatformId == VER_PLATFORM_WIN32_NT) return vi.dwMajorVersion >= 5;
    return vi.dwPlatformId == VER_PLATFORM_WIN32_WINDOWS && vi.dwMinorVersion > 0;
}

BOOL CALLBACK UnionMonitorRect(HMONITOR monitor, HDC, LPRECT, LPARAM data) {
    RECT* total = reinterpret_cast<RECT*>(data);
    MONITORINFO info;
    ZeroMemory(&info, sizeof info);
    info.cbSize = sizeof info;
    if (MonitorInfoFallback(monitor, &info)) UnionRect(total, total, &info.rcMonitor);
    return TRUE;
}

}  // namespace

int LoadMultiMonitorApi() {
    if (g_api.tried) return g_api.available ? 1 : 0;
    g_api.tried = true;
    HMODULE user32 = GetModuleHandleA("USER32");
    if (user32) {
        g_api.getSystemMetrics = Bind<GetSystemMetricsFn>(user32, "GetSystemMetrics");
        g_api.monitorFromWindow = Bind<MonitorFromWindowFn>(user32, "MonitorFromWindow");
        g_api.monitorFromRect = Bind<MonitorFromRectFn>(user32, "MonitorFromRect");
        g_api.monitorFromPoint = Bind<MonitorFromPointFn>(user32, "MonitorFromPoint");
        g_api.enumDisplayMonitors = Bind<EnumDisplayMonitorsFn>(user32, "EnumDisplayMonitors");
        g_api.getMonitorInfo = Bind<GetMonitorInfoAFn>(user32, "GetMonitorInfoA");
        g_api.enumDisplayDevices = Bind<EnumDisplayDevicesAFn>(user32, "EnumDisplayDevicesA");
    }
    g_api.available = g_api.getSystemMetrics && g_api.monitorFromWindow && g_api.monitorFromRect &&
                      g_api.monitorFromPoint && g_api.enumDisplayMonitors && g_api.getMonitorInfo &&
                      g_api.enumDisplayDevices;
    if (!g_api.available) g_api = MultiMonitorApi{true, false, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr};
    return g_api.available ? 1 : 0;
}

void GetVirtualScreenRect(RECT* rect) {
    if (CanHaveSeveralMonitors()) {
        SetRectEmpty(rect);
        EnumDisplayMonitorsFallback(nullptr, nullptr, UnionMonitorRect, reinterpret_cast<LPARAM>(rect));
        return;
    }
    HDC dc = GetDC(nullptr);
    SetRect(rect, 0, 0, GetDeviceCaps(dc, HORZRES) - 1, GetDeviceCaps(dc, VERTRES) - 1);
    ReleaseDC(nullptr, dc);
}

BOOL MonitorInfoFallback(HMONITOR monitor, MONITORINFO* info) {
    if (LoadMultiMonitorApi()) return g_api.getMonitorInfo(monitor, info);
    return MonitorInfoPrimaryOnly(monitor, info);
}

BOOL EnumDisplayMonitorsFallback(HDC dc, const RECT* clip, MONITORENUMPROC callback, LPARAM data) {
    if (LoadMultiMonitorApi()) return g_api.enumDisplayMonitors(dc, clip, callback, data);
    return EnumDisplayMonitorsPrimaryOnly(dc, clip, callback, data);
}

BOOL MonitorInfoPrimaryOnly(HMONITOR monitor, MONITORINFO* info) {
    if (monitor != kPrimaryMonitorStandIn || !info || info->cbSize < sizeof(MONITORINFO)) return FALSE;
    info->rcMonitor = ScreenRect();
    SystemParametersInfoA(SPI_GETWORKAREA, 0, &info->rcWork, 0);
    info->dwFlags = MONITORINFOF_PRIMARY;
    if (info->cbSize >= sizeof(MONITORINFOEXA)) {
        MONITORINFOEXA* ex = reinterpret_cast<MONITORINFOEXA*>(info);
        std::strcpy(ex->szDevice, "DISPLAY");
    }
    return TRUE;
}

BOOL EnumDisplayMonitorsPrimaryOnly(HDC dc, const RECT* clip, MONITORENUMPROC callback, LPARAM data) {
    if (!callback) return FALSE;
    RECT area = ScreenRect();
    if (dc) {
        RECT box;
        int kind = GetClipBox(dc, &box);
        if (kind == ERROR) return FALSE;
        if (kind == NULLREGION) return TRUE;
        POINT origin = {0, 0};
        GetDCOrgEx(dc, &origin);
        OffsetRect(&box, origin.x, origin.y);
        if (!IntersectRect(&area, &area, &box)) return TRUE;
    }
    if (clip && !IntersectRect(&area, &area, clip)) return TRUE;
    callback(kPrimaryMonitorStandIn, dc, &area, data);
    return TRUE;
}
