#include "input/ci_keyboard.h"

#include "input/ci_keyboard_members.h"
#include "ui/ci_window.h"
#include "ui/os_window.h"

#include <new>

CIKeyboard::CIKeyboard(CInterpretor* interpretor)
    : CIBaseClassImpl(interpretor, ClassRecordOf(interpretor, kClassKeyboard), kClassKeyboard, true),
      CIBaseMessages(interpretor) {}

void CIKeyboard::CallMember(int32_t memberId) {
    if (memberId == kKeyboardIsKeyDown)
        RaiseError(m_interpretor, 38);
    RaiseError(m_interpretor, 11);
}

void CIKeyboard::Destroy(int32_t releaseAll) {
    CIBaseClassImpl::Destroy(releaseAll);
    delete this;
}

int32_t CIKeyboard::Filter(const OsMessage& message) {
    if (message.message != kKeyDown && message.message != kKeyUp)
        return kNotInterested;
    CIChildWindow* object = WindowObjectOf(message.window);
    if (object == nullptr)
        return kNotInterested;
    // Called from the pump, which may run inside a native handler or a window
    // procedure: an error here (a full event queue) is kept for the
    // operation loop instead of unwinding through the pump's caller.
    try {
        return FilterKey(object, message);
    } catch (const CIError& error) {
        KeepPendingError(m_interpretor, error);
    } catch (const std::bad_alloc&) {
        KeepPendingError(m_interpretor, CIError(15));
    }
    return kNotInterested;
}

int32_t CIKeyboard::FilterKey(CIChildWindow* object, const OsMessage& message) {
    const int32_t key = static_cast<int32_t>(message.wParam);
    if (message.message == kKeyDown && key == static_cast<int32_t>(kTab)) {
        const bool backwards = OsIsShiftDown();
        CIChildWindow* control = object;
        if (object->m_classId == kClassWindow && object->m_parent == nullptr) {
            // A window moves the focus from its focused control; with none,
            // Shift+Tab takes the first control and Tab the last.
            CIWindow* window = static_cast<CIWindow*>(object);
            control = window->FocusedControl();
            if (control == nullptr) {
                const int32_t moved = backwards ? window->FocusFirstControl() : window->FocusLastControl();
                if (moved)
                    return kConsumed;
                control = nullptr;
            }
        }
        if (control != nullptr && control->m_parent != nullptr && !control->WantsTabKey()) {
            if (backwards)
                control->m_parent->FocusPreviousControl(control);
            else
                control->m_parent->FocusNextControl(control);
            return kConsumed;
        }
    }
    CFunctionRecord* handler = message.message == kKeyDown ? object->m_keyDownHandler : object->m_keyUpHandler;
    if (handler != nullptr) {
        CValue self(object);
        CValue code(m_interpretor, key);
        const CValue* args[2] = {&self, &code};
        PostEvent(m_interpretor, handler, args, 2);
    }
    return kNotInterested;
}

void RegisterKeyboardClass() { RegisterClassBinding(kClassKeyboard, {&MakeScriptObject<CIKeyboard>, nullptr}); }
