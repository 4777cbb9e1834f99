// The window system of the Windows build: USER and GDI calls, one each.
#include "ui/os_window.h"

#include "runtime/runner/os_runner.h"

#include <windows.h>

#include <vector>

namespace {

HWND W(void* window) { return static_cast<HWND>(window); }

// The property's name: the run's atom, or the string itself outside a run.
LPCSTR PropertyName() {
    const uint16_t atom = GetObjectAtom();
    return atom != 0 ? MAKEINTATOM(atom) : "iobj";
}

}  // namespace

const char kMainWindowClass[] = "3DQMainClass";

void* OsCreateWindow(const OsWindowSpec& spec) {
    return CreateWindowExA(spec.exStyle, spec.className, spec.text, spec.style, spec.x, spec.y, spec.width,
                           spec.height, W(spec.parent), static_cast<HMENU>(spec.menu), GetModuleHandleA(nullptr),
                           spec.createParam);
}

void OsDestroyWindow(void* window) { DestroyWindow(W(window)); }
bool OsIsWindow(void* window) { return window != nullptr && IsWindow(W(window)); }
void OsShowWindow(void* window, int32_t command) { ShowWindow(W(window), command); }

void OsSetWindowPos(void* window, intptr_t insertAfter, int32_t x, int32_t y, int32_t width, int32_t height,
                    uint32_t flags) {
    SetWindowPos(W(window), reinterpret_cast<HWND>(insertAfter), x, y, width, height, flags);
}

bool OsIsWindowVisible(void* window) { return IsWindowVisible(W(window)) != 0; }
bool OsIsWindowEnabled(void* window) { return IsWindowEnabled(W(window)) != 0; }
void OsEnableWindow(void* window, bool enable) { EnableWindow(W(window), enable); }
bool OsIsZoomed(void* window) { return IsZoomed(W(window)) != 0; }
bool OsIsIconic(void* window) { return IsIconic(W(window)) != 0; }
void OsSetWindowText(void* window, const char* text) { SetWindowTextA(W(window), text); }

std::string OsGetWindowText(void* window) {
    const int length = GetWindowTextLengthA(W(window));
    std::vector<char> buffer(static_cast<size_t>(length) + 2, 0);
    GetWindowTextA(W(window), buffer.data(), length + 1);
    return std::string(buffer.data());
}

void OsSetWindowStyle(void* window, bool style, uint32_t value) {
    SetWindowLongA(W(window), style ? GWL_STYLE : GWL_EXSTYLE, static_cast<LONG>(value));
}

uint32_t OsGetWindowStyle(void* window, bool style) {
    return static_cast<uint32_t>(GetWindowLongA(W(window), style ? GWL_STYLE : GWL_EXSTYLE));
}

void OsInvalidateWindow(void* window, bool erase) { InvalidateRect(W(window), nullptr, erase); }
void OsSetWindowFont(void* window, void* font) { SendMessageA(W(window), WM_SETFONT, reinterpret_cast<WPARAM>(font), TRUE); }

bool OsGetWindowRect(void* window, CRect* rect) {
    RECT r;
    if (!GetWindowRect(W(window), &r))
        return false;
    *rect = CRect(r);
    return true;
}

bool OsGetWindowClientRect(void* window, CRect* rect) {
    RECT r;
    if (!GetClientRect(W(window), &r))
        return false;
    *rect = CRect(r);
    return true;
}

void* OsGetDesktopWindow() { return GetDesktopWindow(); }
void* OsGetActiveWindow() { return GetActiveWindow(); }
void OsActivateWindow(void* window) { SetActiveWindow(W(window)); }
void* OsGetFocus() { return GetFocus(); }
void OsSetFocus(void* window) { SetFocus(W(window)); }

void OsAdjustWindowRect(CRect* rect, uint32_t style, bool menu, uint32_t exStyle) {
    RECT r = {rect->left, rect->top, rect->right, rect->bottom};
    AdjustWindowRectEx(&r, style, menu, exStyle);
    *rect = CRect(r);
}

void OsGetScreenSize(int32_t* width, int32_t* height) {
    *width = GetSystemMetrics(SM_CXSCREEN);
    *height = GetSystemMetrics(SM_CYSCREEN);
}

uint32_t OsGetSysColor(int32_t index) { return GetSysColor(index); }

void OsSetObjectProperty(void* window, void* object) { SetPropA(W(window), PropertyName(), object); }
void* OsGetObjectProperty(void* window) { return GetPropA(W(window), PropertyName()); }
void OsRemoveObjectProperty(void* window) { RemovePropA(W(window), PropertyName()); }

void OsGetCursorPos(int32_t* x, int32_t* y) {
    POINT p = {0, 0};
    GetCursorPos(&p);
    *x = p.x;
    *y = p.y;
}

void OsClientToScreen(void* window, int32_t* x, int32_t* y) {
    POINT p = {*x, *y};
    ClientToScreen(W(window), &p);
    *x = p.x;
    *y = p.y;
}

void OsScreenToClient(void* window, int32_t* x, int32_t* y) {
    POINT p = {*x, *y};
    ScreenToClient(W(window), &p);
    *x = p.x;
    *y = p.y;
}

bool OsIsShiftDown() { return GetKeyState(VK_SHIFT) < 0; }
void OsSetCapture(void* window) { SetCapture(W(window)); }
void OsReleaseCapture() { ReleaseCapture(); }
void* OsGetCapture() { return GetCapture(); }
void OsDragAcceptFiles(void* window, bool accept) { DragAcceptFiles(W(window), accept); }
void OsFlashWindow(void* window, bool invert) { FlashWindow(W(window), invert); }

void OsEnableCloseBox(void* window, bool enable) {
    EnableMenuItem(GetSystemMenu(W(window), FALSE), SC_CLOSE,
                   MF_BYCOMMAND | (enable ? MF_ENABLED : (MF_GRAYED | MF_DISABLED)));
}

void OsSetWindowMenu(void* window, void* menu) {
    SetMenu(W(window), static_cast<HMENU>(menu));
    if (menu == nullptr)
        DrawMenuBar(W(window));
}

void* OsCreateSolidBrush(uint32_t colour) { return CreateSolidBrush(colour); }
void OsDeleteBrush(void* brush) { if (brush) DeleteObject(static_cast<HBRUSH>(brush)); }

void OsGetTextExtent(void* window, void* font, const char* text, int32_t* cx, int32_t* cy) {
    HDC dc = GetDC(W(window));
    HGDIOBJ old = font != nullptr ? SelectObject(dc, static_cast<HFONT>(font)) : nullptr;
    SIZE size = {0, 0};
    GetTextExtentPoint32A(dc, text, lstrlenA(text), &size);
    *cx = MulDiv(size.cx, GetDeviceCaps(dc, LOGPIXELSX), 72);
    *cy = MulDiv(size.cy, GetDeviceCaps(dc, LOGPIXELSY), 72);
    if (old != nullptr)
        SelectObject(dc, old);
    ReleaseDC(W(window), dc);
}

void* OsLoadShapeCursor(int32_t shape) {
    static const LPCSTR kShapes[] = {IDC_ARROW,    IDC_CROSS,  IDC_IBEAM,  IDC_NO,       IDC_SIZEALL, IDC_SIZENESW,
                                     IDC_SIZENS,   IDC_SIZENWSE, IDC_SIZEWE, IDC_UPARROW, IDC_WAIT};
    if (shape < 0 || shape > 10)
        return nullptr;
    return LoadCursorA(nullptr, kShapes[shape]);
}

void OsShowCursorNow(void* cursor) { SetCursor(static_cast<HCURSOR>(cursor)); }
void OsDestroyCursor(void* cursor) { if (cursor) DestroyCursor(static_cast<HCURSOR>(cursor)); }

void* OsSetWindowIcon(void* window, bool big, void* icon) {
    return reinterpret_cast<void*>(
        SendMessageA(W(window), WM_SETICON, big ? ICON_BIG : ICON_SMALL, reinterpret_cast<LPARAM>(icon)));
}

void OsDestroyIcon(void* icon) { if (icon) DestroyIcon(static_cast<HICON>(icon)); }
