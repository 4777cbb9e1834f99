// Without a window system a control answers only its check state (what
// BM_SETCHECK stored, 0 at first); every other message answers 0 and is
// logged for the tests.
#include "ui/os_controls.h"

#include "ui/os_window.h"

#include <map>

namespace {

std::map<void*, intptr_t>& Checks() {
    static std::map<void*, intptr_t> checks;
    return checks;
}

}  // namespace

std::vector<OsSentMessage>& OsSentMessages() {
    static std::vector<OsSentMessage> log;
    return log;
}

intptr_t OsSendMessage(void* window, uint32_t message, uintptr_t wParam, intptr_t lParam) {
    static const uint32_t kTextMessages[] = {0x180, 0x181, 0x18C, 0x18F, 0x1A2, 0x143, 0x14A, 0x14C, 0x14D, 0x158, 0xC2};
    OsSentMessage sent{window, message, wParam, lParam, {}, {}};
    for (uint32_t m : kTextMessages)
        if (m == message && lParam != 0)
            sent.text = reinterpret_cast<const char*>(lParam);
    if ((message == 0x192 || message == 0xCB) && lParam != 0)  // LB_SETTABSTOPS, EM_SETTABSTOPS
        sent.values.assign(reinterpret_cast<const int32_t*>(lParam), reinterpret_cast<const int32_t*>(lParam) + wParam);
    if (OsSentMessages().size() >= 10000)  // a long native run keeps only the recent ones
        OsSentMessages().clear();
    OsSentMessages().push_back(sent);
    if (window == nullptr || !OsIsWindow(window)) {
        if (window != nullptr)
            Checks().erase(window);
        return 0;
    }
    if (message == kBmSetCheck)
        Checks()[window] = static_cast<intptr_t>(wParam);
    else if (message == kBmGetCheck)
        return Checks().count(window) ? Checks()[window] : 0;
    return 0;
}

void OsSetControlColours(void*, uint32_t, uint32_t) {}
void OsRedrawWindow(void*, uint32_t) {}
uint32_t OsGetDialogBaseUnits() { return 0x00100008; }  // 8 wide, 16 high

bool OsReadDrawItem(intptr_t, OwnerDrawItem*) { return false; }
CRect OsDrawPushButtonFrame(void*, const CRect& rect, bool) { return rect; }
