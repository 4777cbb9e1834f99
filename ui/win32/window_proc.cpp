// The window procedure of every script window (class "3DQMainClass"): it
// finds the script object through the window property, filters input while
// another window is modal, offers the message to the control hooks, and turns
// the rest into the window's events and operations.
//
// Nothing may unwind through user32: every runtime error raised here (a
// tick's error, a full event queue, memory) is caught and kept as the pending
// error, which the operation loop raises again. After a tick run from here a
// handler may have deleted the window: the object is looked up again through
// the property before it is touched.
#include "runtime/runner/runner.h"
#include "ui/ci_menu.h"
#include "ui/ci_window.h"
#include "ui/os_window.h"

#include <windows.h>

#include <new>
#include <vector>

namespace {

constexpr int32_t kLeftButton = static_cast<int32_t>(0x89AF0001u);
constexpr int32_t kMiddleButton = static_cast<int32_t>(0x89AF0002u);
constexpr int32_t kRightButton = static_cast<int32_t>(0x89AF0003u);

bool StillThere(HWND hwnd, CIWindow* window) { return ScriptWindowOf(hwnd) == window; }

bool FilteredWhileModal(HWND hwnd, UINT message, LRESULT* result) {
    if (message == WM_PAINT || message == WM_TIMER || !CIWindow::IsBlockedByModal(hwnd))
        return false;
    switch (message) {
    case WM_COMMAND:
    case WM_SYSCOMMAND:
    case WM_LBUTTONDOWN:
    case WM_RBUTTONDOWN:
    case WM_MBUTTONDOWN:
    case WM_NCLBUTTONDOWN:
    case WM_NCRBUTTONDOWN:
    case WM_NCMBUTTONDOWN: *result = 0; return true;
    case WM_MOUSEACTIVATE: *result = MA_NOACTIVATEANDEAT; return true;
    default: return false;
    }
}

LRESULT EraseBackground(CIWindow* window, HWND hwnd, HDC dc) {
    if (IsIconic(hwnd))
        return 1;
    RECT area;
    if (!GetUpdateRect(hwnd, &area, FALSE) || IsRectEmpty(&area))
        GetClientRect(hwnd, &area);
    FillRect(dc, &area, static_cast<HBRUSH>(window->m_brush));
    return 1;
}

LRESULT Paint(CIWindow* window, HWND hwnd) {
    PAINTSTRUCT ps;
    HDC dc = BeginPaint(hwnd, &ps);
    HPALETTE old = nullptr;
    if (HPALETTE palette = static_cast<HPALETTE>(window->m_surface->RealizePalette())) {
        old = SelectPalette(dc, palette, FALSE);
        RealizePalette(dc);
    }
    window->m_surface->PaintToWindow(CRect(ps.rcPaint));
    if (old != nullptr)
        SelectPalette(dc, old, FALSE);
    EndPaint(hwnd, &ps);
    return 0;
}

LRESULT PaletteMessage(CIWindow* window, HWND hwnd, UINT message, WPARAM wParam) {
    HPALETTE palette = window->m_surface != nullptr ? static_cast<HPALETTE>(window->m_surface->RealizePalette()) : nullptr;
    if (palette == nullptr || (message == WM_PALETTECHANGED && reinterpret_cast<HWND>(wParam) == hwnd))
        return 0;
    HDC dc = GetDC(hwnd);
    HPALETTE old = SelectPalette(dc, palette, message == WM_PALETTECHANGED);
    if (RealizePalette(dc) != 0)
        InvalidateRect(hwnd, nullptr, TRUE);
    SelectPalette(dc, old, FALSE);
    ReleaseDC(hwnd, dc);
    return 1;
}

// A fake child shown or clicked: it shows the active caption in its parent.
void ActivateFakeChild(CIWindow* window, HWND hwnd, bool shown) {
    CIWindow* parent = window->m_parent;
    if (parent == nullptr)
        return;
    if (shown) {
        if (parent->m_activeChild != nullptr && parent->m_activeChild != window && parent->m_activeChild->m_window)
            PostMessageA(static_cast<HWND>(parent->m_activeChild->m_window), WM_NCACTIVATE, FALSE, 0);
        window->ActivateAsFakeChild(true);
        SendMessageA(hwnd, WM_NCACTIVATE, TRUE, 0);
        POINT cursor;
        GetCursorPos(&cursor);
        ScreenToClient(hwnd, &cursor);
        if (HWND child = ChildWindowFromPointEx(hwnd, cursor, CWP_SKIPINVISIBLE))
            SetFocus(child);
    } else {
        window->ActivateAsFakeChild(false);
        if (CIWindow* next = parent->m_activeChild)
            if (next->m_window != nullptr)
                SendMessageA(static_cast<HWND>(next->m_window), WM_NCACTIVATE, TRUE, 0);
    }
}

LRESULT DropFiles(CIWindow* window, HDROP drop) {
    struct Finish {
        HDROP drop;
        ~Finish() { DragFinish(drop); }
    } finish{drop};
    if (!window->HasHandler(CIWindow::kOnDropFile))
        return 1;
    POINT at = {0, 0};
    DragQueryPoint(drop, &at);
    const UINT count = DragQueryFileA(drop, 0xFFFFFFFFu, nullptr, 0);
    for (UINT i = 0; i < count; ++i) {
        char name[261] = {};
        DragQueryFileA(drop, i, name, sizeof name);
        window->PostDropFile(name, at.x, at.y);
    }
    return 1;
}

LRESULT SysCommand(CIWindow* window, HWND hwnd, WPARAM wParam, LPARAM lParam) {
    switch (wParam & 0xFFF0) {
    case SC_MINIMIZE: window->PostWindowEvent(CIWindow::kOnMinimize, true); break;
    case SC_MAXIMIZE: window->PostWindowEvent(CIWindow::kOnMaximize, true); break;
    case SC_CLOSE: {
        CInterpretor* in = window->m_interpretor;
        const CRunner* runner = RunnerOf(in);
        if (runner != nullptr && runner->m_refuseClose)
            return 0;
        window->PostWindowEvent(CIWindow::kOnClose, true);
        if (!window->m_autoClose)
            return 0;
        RunTick(in);
        if (!StillThere(hwnd, window))
            return 0;
        if (GetCapture() == hwnd)
            ReleaseCapture();
        DestroyWindow(hwnd);
        return 0;
    }
    default: break;
    }
    return DefWindowProcA(hwnd, WM_SYSCOMMAND, wParam, lParam);
}

LRESULT Sizing(CIWindow* window, HWND hwnd, WPARAM edge, RECT* dragged) {
    CRect r(*dragged);
    window->ClampTrackSize(static_cast<int32_t>(edge), &r);
    *dragged = RECT{r.left, r.top, r.right, r.bottom};
    RECT outer, client;
    GetWindowRect(hwnd, &outer);
    GetClientRect(hwnd, &client);
    const int32_t width = r.Width() - ((outer.right - outer.left) - client.right);
    const int32_t height = r.Height() - ((outer.bottom - outer.top) - client.bottom);
    if (width != window->m_width || height != window->m_height) {
        window->TakeClientSize(width, height);
        window->PostWindowEvent(CIWindow::kOnSize, true, 2, width, height);
        // The handler runs during the drag.
        RunTick(window->m_interpretor);
    }
    return 1;
}

void MouseEvent(CIWindow* window, CIWindow::Event event, LPARAM lParam, int32_t button) {
    window->PostWindowEvent(event, false, 3, LOWORD(lParam), HIWORD(lParam), button);
}

LRESULT HandleMessage(CIWindow* window, HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    LRESULT result = 0;
    if (FilteredWhileModal(hwnd, message, &result))
        return result;
    const std::vector<WindowMessageHook> hooks = window->Hooks();
    for (WindowMessageHook hook : hooks) {
        int32_t handled = 0;
        result = hook(&handled, hwnd, message, wParam, lParam);
        if (handled)
            return result;
        if (!StillThere(hwnd, window))
            return DefWindowProcA(hwnd, message, wParam, lParam);
    }
    CInterpretor* in = window->m_interpretor;
    switch (message) {
    case WM_ERASEBKGND: return EraseBackground(window, hwnd, reinterpret_cast<HDC>(wParam));
    case WM_DESTROY:
        window->WindowDestroyed();
        DeleteScriptObject(in, window);
        EndIfNoWindows(in);
        SetCurrentWindow(in, ScriptWindowOf(GetActiveWindow()));
        return 0;
    case WM_MOVE:
        window->TakeWindowPosition(static_cast<int16_t>(LOWORD(lParam)), static_cast<int16_t>(HIWORD(lParam)));
        window->PostWindowEvent(CIWindow::kOnMove, true, 2, window->m_x, window->m_y);
        break;
    case WM_SIZE:
        if (wParam != SIZE_MINIMIZED) {
            window->TakeClientSize(LOWORD(lParam), HIWORD(lParam));
            window->PostWindowEvent(CIWindow::kOnSize, true, 2, LOWORD(lParam), HIWORD(lParam));
        }
        break;
    case WM_ACTIVATE:
        if (LOWORD(wParam) == WA_ACTIVE || LOWORD(wParam) == WA_CLICKACTIVE)
            SetCurrentWindow(in, window);
        break;
    case WM_SETFOCUS:
        if (window->HasHandler(CIWindow::kOnSetFocus)) {
            SetCurrentWindow(in, window);
            window->PostWindowEvent(CIWindow::kOnSetFocus, false);
        }
        break;
    case WM_KILLFOCUS: window->PostWindowEvent(CIWindow::kOnKillFocus, false); break;
    case WM_PAINT:
        if (window->m_surface != nullptr)
            return Paint(window, hwnd);
        break;
    case WM_CLOSE:
        if (GetCapture() == hwnd)
            ReleaseCapture();
        DestroyWindow(hwnd);
        return 0;
    case WM_COMMAND:
        if (HIWORD(wParam) == 0 && lParam == 0 && CIMenu::DispatchMenuCommand(in, LOWORD(wParam)))
            return 0;
        break;
    case WM_CHAR: window->InputCharacter(static_cast<uint32_t>(wParam)); break;
    case WM_SYSCOMMAND: return SysCommand(window, hwnd, wParam, lParam);
    case WM_SHOWWINDOW: ActivateFakeChild(window, hwnd, wParam != 0); break;
    case WM_MOUSEACTIVATE: ActivateFakeChild(window, hwnd, true); break;
    case WM_SETCURSOR:
        if (window->m_cursor != nullptr) {
            SetCursor(static_cast<HCURSOR>(window->m_cursor));
            return 1;
        }
        break;
    case WM_DISPLAYCHANGE:
        window->PostWindowEvent(CIWindow::kOnDisplayChange, true, 3, static_cast<int32_t>(wParam), LOWORD(lParam),
                                HIWORD(lParam));
        break;
    case WM_SIZING: return Sizing(window, hwnd, wParam, reinterpret_cast<RECT*>(lParam));
    case WM_MOUSEMOVE:
        window->PostWindowEvent(CIWindow::kOnMouseMove, false, 2, LOWORD(lParam), HIWORD(lParam));
        break;
    case WM_LBUTTONDOWN: MouseEvent(window, CIWindow::kOnMouseDown, lParam, kLeftButton); break;
    case WM_MBUTTONDOWN: MouseEvent(window, CIWindow::kOnMouseDown, lParam, kMiddleButton); break;
    case WM_RBUTTONDOWN: MouseEvent(window, CIWindow::kOnMouseDown, lParam, kRightButton); break;
    case WM_LBUTTONUP: MouseEvent(window, CIWindow::kOnMouseUp, lParam, kLeftButton); break;
    case WM_MBUTTONUP: MouseEvent(window, CIWindow::kOnMouseUp, lParam, kMiddleButton); break;
    case WM_RBUTTONUP: MouseEvent(window, CIWindow::kOnMouseUp, lParam, kRightButton); break;
    case WM_LBUTTONDBLCLK: MouseEvent(window, CIWindow::kOnDblClick, lParam, kLeftButton); break;
    case WM_MBUTTONDBLCLK: MouseEvent(window, CIWindow::kOnDblClick, lParam, kMiddleButton); break;
    case WM_RBUTTONDBLCLK: MouseEvent(window, CIWindow::kOnDblClick, lParam, kRightButton); break;
    case WM_DROPFILES: return DropFiles(window, reinterpret_cast<HDROP>(wParam));
    case WM_QUERYNEWPALETTE:
    case WM_PALETTECHANGED: return PaletteMessage(window, hwnd, message, wParam);
    default: break;
    }
    return DefWindowProcA(hwnd, message, wParam, lParam);
}

LRESULT CALLBACK ScriptWindowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    CIWindow* window = ScriptWindowOf(hwnd);
    if (window == nullptr || IsReleasingAll(window->m_interpretor))
        return DefWindowProcA(hwnd, message, wParam, lParam);
    CInterpretor* in = window->m_interpretor;
    try {
        return HandleMessage(window, hwnd, message, wParam, lParam);
    } catch (const CIError& error) {
        KeepPendingError(in, error);
    } catch (const std::bad_alloc&) {
        KeepPendingError(in, CIError(15));
    } catch (...) {
        KeepPendingError(in, CIError(15));
    }
    return 0;
}

}  // namespace

int32_t OsRegisterMainWindowClass() {
    static bool registered = false;
    if (registered)
        return 1;
    HINSTANCE instance = GetModuleHandleA(nullptr);
    WNDCLASSEXA wc = {};
    wc.cbSize = sizeof wc;
    wc.style = CS_OWNDC | CS_DBLCLKS;
    wc.lpfnWndProc = ScriptWindowProc;
    wc.hInstance = instance;
    wc.hIcon = LoadIconA(instance, MAKEINTRESOURCEA(100));
    wc.hCursor = LoadCursorA(nullptr, IDC_ARROW);
    wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1);
    wc.lpszClassName = kMainWindowClass;
    wc.hIconSm = static_cast<HICON>(LoadImageA(instance, MAKEINTRESOURCEA(100), IMAGE_ICON, 16, 16, 0));
    registered = RegisterClassExA(&wc) != 0 || GetLastError() == ERROR_CLASS_ALREADY_EXISTS;
    return registered ? 1 : 0;
}
