#include "ui/os_controls.h"

#include <windows.h>

intptr_t OsSendMessage(void* window, uint32_t message, uintptr_t wParam, intptr_t lParam) {
    return window != nullptr ? SendMessageA(static_cast<HWND>(window), message, wParam, lParam) : 0;
}

void OsSetControlColours(void* dc, uint32_t textColour, uint32_t backColour) {
    HDC hdc = static_cast<HDC>(dc);
    SetTextColor(hdc, textColour);
    SetBkMode(hdc, OPAQUE);
    SetBkColor(hdc, backColour);
}

void OsRedrawWindow(void* window, uint32_t flags) { RedrawWindow(static_cast<HWND>(window), nullptr, nullptr, flags); }

uint32_t OsGetDialogBaseUnits() { return static_cast<uint32_t>(GetDialogBaseUnits()); }
