#include "ui/os_range_controls.h"

#include <windows.h>
#include <commctrl.h>

void OsSetScrollInfo(void* window, int32_t bar, uint32_t mask, const OsScrollInfo& info, bool redraw) {
    SCROLLINFO si = {};
    si.cbSize = sizeof si;
    si.fMask = mask;
    si.nMin = info.min;
    si.nMax = info.max;
    si.nPage = info.page;
    si.nPos = info.pos;
    SetScrollInfo(static_cast<HWND>(window), bar, &si, redraw ? TRUE : FALSE);
}

bool OsGetScrollInfo(void* window, int32_t bar, OsScrollInfo* info) {
    SCROLLINFO si = {};
    si.cbSize = sizeof si;
    si.fMask = SIF_ALL;
    *info = OsScrollInfo{};
    if (window == nullptr || !GetScrollInfo(static_cast<HWND>(window), bar, &si))
        return false;
    info->min = si.nMin;
    info->max = si.nMax;
    info->page = si.nPage;
    info->pos = si.nPos;
    return true;
}

int32_t OsGetScrollPos(void* window, int32_t bar) {
    return window != nullptr ? GetScrollPos(static_cast<HWND>(window), bar) : 0;
}

void OsSetScrollPos(void* window, int32_t bar, int32_t pos, bool redraw) {
    if (window != nullptr)
        SetScrollPos(static_cast<HWND>(window), bar, pos, redraw ? TRUE : FALSE);
}

int32_t OsGetSystemMetric(int32_t index) { return GetSystemMetrics(index); }

int32_t OsGetScreenDpiY() {
    HDC dc = GetDC(nullptr);
    const int32_t dpi = dc != nullptr ? GetDeviceCaps(dc, LOGPIXELSY) : 96;
    if (dc != nullptr)
        ReleaseDC(nullptr, dc);
    return dpi;
}

void* OsGetSysColorBrush(int32_t index) { return GetSysColorBrush(index); }

void* OsCreateUpDown(uint32_t style, int32_t x, int32_t y, int32_t width, int32_t height, void* parent, int32_t id,
                     void* buddy, int32_t upper, int32_t lower, int32_t pos) {
    return CreateUpDownControl(style, x, y, width, height, static_cast<HWND>(parent), id, GetModuleHandleA(nullptr),
                               static_cast<HWND>(buddy), upper, lower, pos);
}

int32_t OsGetControlFontAverageWidth(void* window) {
    HWND hwnd = static_cast<HWND>(window);
    HFONT font = reinterpret_cast<HFONT>(SendMessageA(hwnd, WM_GETFONT, 0, 0));
    if (font == nullptr)
        return 0;
    HDC dc = GetDC(hwnd);
    if (dc == nullptr)
        return 0;
    HGDIOBJ old = SelectObject(dc, font);
    TEXTMETRICA tm = {};
    const bool ok = GetTextMetricsA(dc, &tm) != 0;
    SelectObject(dc, old);
    ReleaseDC(hwnd, dc);
    return ok ? tm.tmAveCharWidth : 0;
}
