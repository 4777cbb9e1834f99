// The window procedure of "class_QUORVEX_ANIM". Painting decodes frames and
// may fail with a runtime error: it is caught here and kept as the pending
// error, since nothing may unwind through user32.
#include "ui/os_animation_window.h"

#include "runtime/classes/script_class.h"
#include "ui/ci_animation.h"

#include <windows.h>

#include <new>

const char kAnimationWindowClass[] = "class_QUORVEX_ANIM";

namespace {

void Paint(CIAnimation* animation, HWND hwnd) {
    PAINTSTRUCT ps;
    HDC dc = BeginPaint(hwnd, &ps);
    try {
        animation->PaintTo(dc);
    } catch (const CIError& error) {
        KeepPendingError(animation->m_interpretor, error);
    } catch (...) {
        KeepPendingError(animation->m_interpretor, CIError(15));
    }
    EndPaint(hwnd, &ps);
}

LRESULT CALLBACK AnimationWindowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_PAINT) {
        CIChildWindow* object = WindowObjectOf(hwnd);
        if (object != nullptr && object->m_classId == kClassAnimation && !IsReleasingAll(object->m_interpretor))
            Paint(static_cast<CIAnimation*>(object), hwnd);
    }
    return DefWindowProcA(hwnd, message, wParam, lParam);
}

}  // namespace

int32_t OsRegisterAnimationWindowClass() {
    static bool registered = false;
    if (registered)
        return 1;
    WNDCLASSA wc = {};
    wc.lpfnWndProc = AnimationWindowProc;
    wc.hInstance = GetModuleHandleA(nullptr);
    wc.hCursor = LoadCursorA(nullptr, IDC_ARROW);
    wc.lpszClassName = kAnimationWindowClass;
    registered = RegisterClassA(&wc) != 0 || GetLastError() == ERROR_CLASS_ALREADY_EXISTS;
    return registered ? 1 : 0;
}
