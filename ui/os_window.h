#pragma once
// What the window and control classes need of the window system. Windows,
// menus, brushes, cursors and icons are opaque handles. The Windows build
// answers with USER and GDI; the native build keeps plain records (position,
// size, styles, text, visibility, focus, the object property) so that the
// classes run under the native tests and twrun.
#include "runtime/base/rect.h"

#include <cstdint>
#include <string>

// Window styles and commands used by the portable code (the Windows values).
constexpr uint32_t kWsPopup = 0x80000000u;
constexpr uint32_t kWsChild = 0x40000000u;
constexpr uint32_t kWsMinimize = 0x20000000u;
constexpr uint32_t kWsVisible = 0x10000000u;
constexpr uint32_t kWsClipSiblings = 0x04000000u;
constexpr uint32_t kWsClipChildren = 0x02000000u;
constexpr uint32_t kWsMaximize = 0x01000000u;
constexpr uint32_t kWsCaption = 0x00C00000u;
constexpr uint32_t kWsBorder = 0x00800000u;
constexpr uint32_t kWsVScroll = 0x00200000u;
constexpr uint32_t kWsHScroll = 0x00100000u;
constexpr uint32_t kWsSysMenu = 0x00080000u;
constexpr uint32_t kWsThickFrame = 0x00040000u;
constexpr uint32_t kWsMinimizeBox = 0x00020000u;
constexpr uint32_t kWsMaximizeBox = 0x00010000u;
constexpr uint32_t kWsTabStop = 0x00010000u;
constexpr uint32_t kWsExDlgModalFrame = 0x00000001u;
constexpr uint32_t kWsExToolWindow = 0x00000080u;
constexpr uint32_t kWsExControlParent = 0x00010000u;

enum OsShowCommand : int32_t {
    kSwHide = 0, kSwShowNormal = 1, kSwShowMaximized = 3, kSwShow = 5, kSwMinimize = 6, kSwRestore = 9,
};
// SetWindowPos flags and insert-after values.
constexpr uint32_t kSwpNoSize = 0x1, kSwpNoMove = 0x2, kSwpNoZOrder = 0x4, kSwpNoActivate = 0x10;
constexpr uint32_t kSwpNothing = kSwpNoSize | kSwpNoMove | kSwpNoZOrder | kSwpNoActivate;  // 23
constexpr intptr_t kHwndTop = 0, kHwndBottom = 1, kHwndTopMost = -1, kHwndNoTopMost = -2;

constexpr int kColorWindow = 5, kColorWindowText = 8, kColor3DFace = 15;

// ---- windows ----
struct OsWindowSpec {
    uint32_t exStyle;
    const char* className;
    const char* text;
    uint32_t style;
    int32_t x, y, width, height;
    void* parent;
    void* menu;
    void* createParam;
};
// CreateWindowExA; null on failure.
void* OsCreateWindow(const OsWindowSpec& spec);
void OsDestroyWindow(void* window);
bool OsIsWindow(void* window);
void OsShowWindow(void* window, int32_t command);
void OsSetWindowPos(void* window, intptr_t insertAfter, int32_t x, int32_t y, int32_t width, int32_t height,
                    uint32_t flags);
bool OsIsWindowVisible(void* window);
bool OsIsWindowEnabled(void* window);
void OsEnableWindow(void* window, bool enable);
bool OsIsZoomed(void* window);
bool OsIsIconic(void* window);
void OsSetWindowText(void* window, const char* text);
std::string OsGetWindowText(void* window);
// GWL_STYLE (style true) or GWL_EXSTYLE.
void OsSetWindowStyle(void* window, bool style, uint32_t value);
uint32_t OsGetWindowStyle(void* window, bool style);
void OsInvalidateWindow(void* window, bool erase);
// WM_SETFONT with redraw TRUE.
void OsSetWindowFont(void* window, void* font);
bool OsGetWindowRect(void* window, CRect* rect);
bool OsGetWindowClientRect(void* window, CRect* rect);
void* OsGetDesktopWindow();
void* OsGetActiveWindow();
void OsActivateWindow(void* window);
void* OsGetFocus();
void OsSetFocus(void* window);
// The frame around a client rectangle: AdjustWindowRectEx.
void OsAdjustWindowRect(CRect* rect, uint32_t style, bool menu, uint32_t exStyle);
void OsGetScreenSize(int32_t* width, int32_t* height);
uint32_t OsGetSysColor(int32_t index);

// ---- the object property "iobj" ----
void OsSetObjectProperty(void* window, void* object);
void* OsGetObjectProperty(void* window);
void OsRemoveObjectProperty(void* window);

// ---- coordinates and input ----
void OsGetCursorPos(int32_t* x, int32_t* y);
void OsClientToScreen(void* window, int32_t* x, int32_t* y);
void OsScreenToClient(void* window, int32_t* x, int32_t* y);
bool OsIsShiftDown();
void OsSetCapture(void* window);
void OsReleaseCapture();
void* OsGetCapture();
void OsDragAcceptFiles(void* window, bool accept);
void OsFlashWindow(void* window, bool invert);
// EnableMenuItem(system menu, SC_CLOSE, enabled or grayed).
void OsEnableCloseBox(void* window, bool enable);
// SetMenu; with a null menu also DrawMenuBar.
void OsSetWindowMenu(void* window, void* menu);

// ---- GDI objects ----
void* OsCreateSolidBrush(uint32_t colour);
void OsDeleteBrush(void* brush);
// Extent of the text in the font on a DC of the window, each scaled by
// logical pixels per inch / 72.
void OsGetTextExtent(void* window, void* font, const char* text, int32_t* cx, int32_t* cy);
// The system cursor of shape 0 to 10 (arrow ... wait); null for another.
void* OsLoadShapeCursor(int32_t shape);
void OsShowCursorNow(void* cursor);
void OsDestroyCursor(void* cursor);
// WM_SETICON; answers the previous icon.
void* OsSetWindowIcon(void* window, bool big, void* icon);
void OsDestroyIcon(void* icon);

// ---- the script window class ----
extern const char kMainWindowClass[];  // "3DQMainClass"
// Registers the class once per process; 1, or 0 on failure.
int32_t OsRegisterMainWindowClass();
