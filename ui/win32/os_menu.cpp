#include "ui/os_menu.h"

#include <windows.h>

namespace {

HMENU M(void* menu) { return static_cast<HMENU>(menu); }

struct PopupOwner {
    MenuCommandDispatch dispatch;
    void* context;
};

// The helper window owning a popup menu when no window is active: commands
// go to the dispatcher (which keeps its own errors: nothing may unwind here).
LRESULT CALLBACK PopupHelperProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    auto* owner = reinterpret_cast<PopupOwner*>(GetWindowLongPtrA(hwnd, GWLP_USERDATA));
    if (owner == nullptr)
        return DefWindowProcA(hwnd, message, wParam, lParam);
    if (message == WM_NCDESTROY)
        SetWindowLongPtrA(hwnd, GWLP_USERDATA, 0);
    if (message == WM_COMMAND && HIWORD(wParam) == 0 && lParam == 0 &&
        owner->dispatch(owner->context, LOWORD(wParam)))
        return 0;
    return DefWindowProcA(hwnd, message, wParam, lParam);
}

const char kPopupClass[] = "3DQPopupMenuClass";

bool RegisterPopupClass() {
    static bool registered = false;
    if (registered)
        return true;
    WNDCLASSEXA wc = {};
    wc.cbSize = sizeof wc;
    wc.style = 40;
    wc.lpfnWndProc = PopupHelperProc;
    wc.hInstance = GetModuleHandleA(nullptr);
    wc.lpszClassName = kPopupClass;
    registered = RegisterClassExA(&wc) != 0 || GetLastError() == ERROR_CLASS_ALREADY_EXISTS;
    return registered;
}

}  // namespace

void* OsCreateMenu(bool popup) { return popup ? CreatePopupMenu() : CreateMenu(); }
void OsDestroyMenu(void* menu) { DestroyMenu(M(menu)); }

bool OsInsertMenu(void* menu, uint32_t before, uint32_t flags, uintptr_t item, const char* text) {
    return InsertMenuA(M(menu), before, flags, item, text) != 0;
}

bool OsModifyMenu(void* menu, uint32_t position, uint32_t flags, uintptr_t item, const char* text) {
    return ModifyMenuA(M(menu), position, flags, item, text) != 0;
}

bool OsDeleteMenu(void* menu, uint32_t position, uint32_t flags) { return DeleteMenu(M(menu), position, flags) != 0; }
void OsCheckMenuItem(void* menu, uint32_t item, uint32_t flags) { CheckMenuItem(M(menu), item, flags); }

void OsCheckMenuRadioItem(void* menu, uint32_t first, uint32_t last, uint32_t check, uint32_t flags) {
    CheckMenuRadioItem(M(menu), first, last, check, flags);
}

void OsEnableMenuItem(void* menu, uint32_t item, uint32_t flags) { EnableMenuItem(M(menu), item, flags); }
uint32_t OsGetMenuState(void* menu, uint32_t item, uint32_t flags) { return GetMenuState(M(menu), item, flags); }

std::string OsGetMenuString(void* menu, uint32_t item, uint32_t flags) {
    char text[260] = {};
    GetMenuStringA(M(menu), item, text, sizeof text, flags);
    return text;
}

void OsDrawMenuBar(void* window) { DrawMenuBar(static_cast<HWND>(window)); }

int32_t OsTrackPopupMenu(void* menu, uint32_t flags, int32_t x, int32_t y, void* owner, MenuCommandDispatch dispatch,
                         void* context) {
    if (owner != nullptr)
        return TrackPopupMenu(M(menu), flags, x, y, 0, static_cast<HWND>(owner), nullptr);
    if (!RegisterPopupClass())
        return 0;
    // Out of sight: left of and above the virtual screen.
    const int left = GetSystemMetrics(SM_XVIRTUALSCREEN) - 100, top = GetSystemMetrics(SM_YVIRTUALSCREEN) - 100;
    HWND helper = CreateWindowExA(WS_EX_TOOLWINDOW, kPopupClass, "Quor Popup", 0x10CF0000, left, top, 50, 50, nullptr,
                                  nullptr, GetModuleHandleA(nullptr), nullptr);
    if (helper == nullptr)
        return 0;
    PopupOwner popupOwner{dispatch, context};
    SetWindowLongPtrA(helper, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(&popupOwner));
    SetForegroundWindow(helper);
    const int32_t result = TrackPopupMenu(M(menu), flags, x, y, 0, helper, nullptr);
    MSG m;
    while (PeekMessageA(&m, helper, 0, 0, PM_REMOVE))
        DispatchMessageA(&m);
    DestroyWindow(helper);
    return result;
}
