#include "runtime/interp/os_message_pump.h"

#include <windows.h>

#include <cstddef>

static_assert(sizeof(HWND) == sizeof(void*) && sizeof(UINT) == sizeof(uint32_t) &&
                  sizeof(WPARAM) == sizeof(uintptr_t) && sizeof(LPARAM) == sizeof(intptr_t),
              "OsMessage mirrors MSG");
static_assert(offsetof(MSG, message) == offsetof(OsMessage, message) &&
                  offsetof(MSG, wParam) == offsetof(OsMessage, wParam) &&
                  offsetof(MSG, lParam) == offsetof(OsMessage, lParam) &&
                  offsetof(MSG, time) == offsetof(OsMessage, time) &&
                  offsetof(MSG, pt) == offsetof(OsMessage, x),
              "OsMessage mirrors MSG");

namespace {

void ToOs(const MSG& in, OsMessage* out) {
    out->window = in.hwnd;
    out->message = in.message;
    out->wParam = in.wParam;
    out->lParam = in.lParam;
    out->time = in.time;
    out->x = in.pt.x;
    out->y = in.pt.y;
}

void ToMsg(const OsMessage& in, MSG* out) {
    ZeroMemory(out, sizeof(MSG));
    out->hwnd = static_cast<HWND>(in.window);
    out->message = in.message;
    out->wParam = in.wParam;
    out->lParam = in.lParam;
    out->time = in.time;
    out->pt.x = in.x;
    out->pt.y = in.y;
}

}  // namespace

bool OsMessageWaiting() {
    MSG msg;
    return PeekMessageA(&msg, nullptr, 0, 0, PM_NOREMOVE) != FALSE;
}

int OsGetMessage(OsMessage* message) {
    MSG msg;
    ZeroMemory(&msg, sizeof(msg));
    BOOL r = GetMessageA(&msg, nullptr, 0, 0);
    // -1 (an invalid call) leaves msg undefined: it reads as an empty message
    // without window, which the caller dispatches harmlessly and goes on.
    if (r == -1)
        ZeroMemory(&msg, sizeof(msg));
    ToOs(msg, message);
    return r == 0 ? 0 : 1;
}

void OsDispatchMessage(const OsMessage* message) {
    MSG msg;
    ToMsg(*message, &msg);
    TranslateMessage(&msg);
    DispatchMessageA(&msg);
}

void OsWaitForInput(uint32_t timeoutMs) {
    MsgWaitForMultipleObjects(0, nullptr, FALSE, timeoutMs, QS_ALLINPUT);
}

bool OsPostThreadMessage(uint32_t message, uintptr_t wParam, intptr_t lParam) {
    return PostThreadMessageA(GetCurrentThreadId(), message, wParam, lParam) != FALSE;
}
