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

bool OsReadDrawItem(intptr_t lParam, OwnerDrawItem* item) {
    const auto* d = reinterpret_cast<const DRAWITEMSTRUCT*>(lParam);
    if (d == nullptr)
        return false;
    item->window = d->hwndItem;
    item->dc = d->hDC;
    item->rect = CRect(d->rcItem);
    item->draw = (d->itemAction & (ODA_DRAWENTIRE | ODA_SELECT)) != 0;
    item->selected = (d->itemState & ODS_SELECTED) != 0;
    item->disabled = (d->itemState & ODS_DISABLED) != 0;
    return true;
}

CRect OsDrawPushButtonFrame(void* dc, const CRect& rect, bool pushed) {
    RECT r = {rect.left, rect.top, rect.right, rect.bottom};
    DrawFrameControl(static_cast<HDC>(dc), &r, DFC_BUTTON, DFCS_BUTTONPUSH | DFCS_ADJUSTRECT | (pushed ? DFCS_PUSHED : 0));
    return CRect(r);
}
