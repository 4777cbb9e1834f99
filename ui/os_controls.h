#pragma once
// What the control classes need of the window system beyond ui/os_window.h:
// messages to a control and the colours of a control's device context. The
// native stand-in keeps the check state of buttons so that the class rules
// run under the native tests.
#include "runtime/base/rect.h"

#include <cstdint>
#include <string>
#include <vector>

// Messages and notifications of the standard controls (the Windows values).
constexpr uint32_t kWmCommand = 0x0111, kWmCtlColorListBox = 0x0134, kWmCtlColorBtn = 0x0135,
                   kWmCtlColorStatic = 0x0138;
constexpr uint32_t kBmGetCheck = 0x00F0, kBmSetCheck = 0x00F1;
constexpr int32_t kBnClicked = 0, kBnDblClk = 5, kBnSetFocus = 6, kBnKillFocus = 7;
constexpr intptr_t kBstChecked = 1;

// SendMessageA; 0 for a null window.
intptr_t OsSendMessage(void* window, uint32_t message, uintptr_t wParam, intptr_t lParam);
// SetTextColor, SetBkMode(OPAQUE) and SetBkColor on a device context.
void OsSetControlColours(void* dc, uint32_t textColour, uint32_t backColour);
// An owner-drawn control's WM_DRAWITEM (lParam a DRAWITEMSTRUCT): its
// window, device context and rectangle, whether the whole item or its
// selection is to be drawn, and its selected and disabled states.
constexpr uint32_t kWmDrawItem = 0x002B;
struct OwnerDrawItem {
    void* window = nullptr;
    void* dc = nullptr;
    CRect rect;
    bool draw = false;
    bool selected = false;
    bool disabled = false;
};
// False when there is nothing to read (a null lParam; the native stand-in).
bool OsReadDrawItem(intptr_t lParam, OwnerDrawItem* item);
// DrawFrameControl of a push button (pushed when `pushed`) with
// DFCS_ADJUSTRECT: answers the face inside the frame.
CRect OsDrawPushButtonFrame(void* dc, const CRect& rect, bool pushed);
// GetDialogBaseUnits: the average character width (low word) and height.
uint32_t OsGetDialogBaseUnits();
// RedrawWindow(window, null, null, flags).
constexpr uint32_t kRdwInvalidate = 0x1, kRdwErase = 0x4, kRdwUpdateNow = 0x100, kRdwFrame = 0x400;
void OsRedrawWindow(void* window, uint32_t flags);

// The native stand-in's log of messages (texts of the string messages and
// the entries of LB_SETTABSTOPS copied); cleared by the tests.
struct OsSentMessage {
    void* window;
    uint32_t message;
    uintptr_t wParam;
    intptr_t lParam;
    std::string text;
    std::vector<int32_t> values;
};
std::vector<OsSentMessage>& OsSentMessages();
