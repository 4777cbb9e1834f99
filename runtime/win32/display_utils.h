#pragma once
// Monitor and desktop queries that work on systems with and without the
// multi-monitor functions of USER32.
#include <windows.h>

#include "runtime/interp/os_display.h"

// The handle that stands for the only monitor when the system has no
// multi-monitor functions.
const HMONITOR kPrimaryMonitorStandIn = reinterpret_cast<HMONITOR>(static_cast<ULONG_PTR>(0x12340042));

// Binds the seven multi-monitor entry points of USER32 once: 1 when all exist,
// else none is kept and 0. Later calls answer the first result.
int LoadMultiMonitorApi();

// The union of all monitor rectangles on systems that can have several monitors
// (Windows NT 5 or later, Windows 98 or later); elsewhere the screen as
// (0, 0, horizontal resolution - 1, vertical resolution - 1).
void GetVirtualScreenRect(RECT* rect);

// GetMonitorInfoA where it exists, else MonitorInfoPrimaryOnly.
BOOL MonitorInfoFallback(HMONITOR monitor, MONITORINFO* info);

// EnumDisplayMonitors where it exists, else EnumDisplayMonitorsPrimaryOnly.
BOOL EnumDisplayMonitorsFallback(HDC dc, const RECT* clip, MONITORENUMPROC callback, LPARAM data);

// The single-monitor answers used without the multi-monitor functions.
// Monitor info is given only for kPrimaryMonitorStandIn and an info size of at
// least sizeof(MONITORINFO): the screen rectangle, the work area, the primary
// flag, and the device name "DISPLAY" when the size holds a MONITORINFOEXA.
BOOL MonitorInfoPrimaryOnly(HMONITOR monitor, MONITORINFO* info);
// One callback for kPrimaryMonitorStandIn with the screen rectangle cut to the
// DC's clip box (in screen terms) and to clip; no call when that is empty
// (answer TRUE). FALSE without a callback or when the clip box is unreadable.
BOOL EnumDisplayMonitorsPrimaryOnly(HDC dc, const RECT* clip, MONITORENUMPROC callback, LPARAM data);
