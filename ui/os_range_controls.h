#pragma once
// What the edit and range controls need of the window system beyond
// ui/os_controls.h: scroll-bar state (of a scroll bar control or a window's
// own bars), system metrics, the up-down control's creation and the width of
// a control's font. The native stand-in keeps scroll-bar state and clamps
// positions as Windows does, so the bar rules run under the native tests.
#include <cstdint>

// Which bar of a window: its own horizontal or vertical one, or the window
// itself being a scroll bar control.
constexpr int32_t kSbHorz = 0, kSbVert = 1, kSbCtl = 2;
// SCROLLINFO masks.
constexpr uint32_t kSifRange = 0x1, kSifPage = 0x2, kSifPos = 0x4, kSifDisableNoScroll = 0x8, kSifAll = 0x17;

struct OsScrollInfo {
    int32_t min = 0;
    int32_t max = 0;
    uint32_t page = 0;
    int32_t pos = 0;
};

// SetScrollInfo with the fields of the mask.
void OsSetScrollInfo(void* window, int32_t bar, uint32_t mask, const OsScrollInfo& info, bool redraw);
// GetScrollInfo(SIF_ALL); false (zeros) when the window has no such bar.
bool OsGetScrollInfo(void* window, int32_t bar, OsScrollInfo* info);
int32_t OsGetScrollPos(void* window, int32_t bar);
void OsSetScrollPos(void* window, int32_t bar, int32_t pos, bool redraw);

// GetSystemMetrics indexes used here.
constexpr int32_t kSmCxVScroll = 2, kSmCyHScroll = 3, kSmCyVScroll = 20;
int32_t OsGetSystemMetric(int32_t index);
// LOGPIXELSY of the screen.
int32_t OsGetScreenDpiY();
// GetSysColorBrush: a system brush, never deleted.
void* OsGetSysColorBrush(int32_t index);
constexpr int32_t kColorScrollBar = 0;

// CreateUpDownControl with the program instance.
void* OsCreateUpDown(uint32_t style, int32_t x, int32_t y, int32_t width, int32_t height, void* parent, int32_t id,
                     void* buddy, int32_t upper, int32_t lower, int32_t pos);

// tmAveCharWidth of the font the control uses (WM_GETFONT), 0 when the
// control has no font or no device context can be had.
int32_t OsGetControlFontAverageWidth(void* window);
