#include "ui/ci_notify_control.h"

#include "ui/os_controls.h"
#include "ui/os_window.h"

namespace {

constexpr uint32_t kCreateMask = 0x400005AF;  // x, y, size, text, parent (required), styles, options

}  // namespace

CINotifyControl::CINotifyControl(CInterpretor* interpretor, uint32_t classId, const char* windowClass,
                                 WindowMessageHook hook)
    : CIChildWindow(interpretor, classId), m_windowClass(windowClass), m_hook(hook) {}

void CINotifyControl::ConstructFromArgs() {
    const CValue* extras[kMaxExtras + 1];
    ParseCreateArguments(kCreateMask, extras, 0, 100);
    ApplyDefaults(extras);
    AssignInstanceNumber();
}

void CINotifyControl::ApplyDefaults(const CValue* const* extras) {
    if (extras[0] != nullptr)
        RaiseError(m_interpretor, 14);
}

uint32_t CINotifyControl::AssignInstanceNumber() {
    if (CreateControlWindow(m_windowClass, nullptr, nullptr, 3) == nullptr)
        return 0;
    if (m_parent != nullptr)
        m_parent->AddMessageHook(m_hook);
    return CIChildWindow::AssignInstanceNumber();
}

void CINotifyControl::Destroy(int32_t releaseAll) {
    if (!releaseAll && m_parent != nullptr)
        m_parent->RemoveMessageHook(m_hook);
    CIChildWindow::Destroy(releaseAll);
    delete this;
}

int32_t CINotifyControl::StoreHandler(Event event) {
    m_handlers[event] = ReadAssignedFunction(m_interpretor);
    return 0;
}

int32_t CINotifyControl::IsCheckedMember() {
    return Answer(OsSendMessage(m_window, kBmGetCheck, 0, 0) != 0 ? 1 : 0);
}

void CINotifyControl::PostButtonEvent(Event event, int32_t argc, int32_t value) {
    CFunctionRecord* handler = m_handlers[event];
    if (handler == nullptr)
        return;
    CValue self(this);
    CValue v(m_interpretor, value);
    const CValue* args[2] = {&self, &v};
    PostEventCoalesced(m_interpretor, handler, this, args, 1 + argc);
}

bool CINotifyControl::NotifyByTable(const NotifyEntry* table, std::size_t count, int32_t code, bool alwaysHandled) {
    for (std::size_t i = 0; i < count; ++i) {
        if (table[i].code != code)
            continue;
        const bool set = m_handlers[table[i].event] != nullptr;
        PostButtonEvent(table[i].event);
        return set || alwaysHandled;
    }
    return false;
}

bool CINotifyControl::Notify(int32_t code) {
    static const NotifyEntry kCodes[] = {
        {kBnClicked, kOnClick}, {kBnDblClk, kOnDblClick}, {kBnSetFocus, kOnSetFocus}, {kBnKillFocus, kOnKillFocus}};
    return NotifyByTable(kCodes, code, false);
}

intptr_t CINotifyControl::HandleHook(uint32_t classId, uint32_t colourMessage1, uint32_t colourMessage2,
                                     int32_t* handled, void*, uint32_t message, uintptr_t wParam, intptr_t lParam) {
    const bool colour = message != 0 && (message == colourMessage1 || message == colourMessage2);
    if (message != kWmCommand && !colour)
        return 0;
    if (lParam == 0)
        return 0;
    CIChildWindow* object = WindowObjectOf(reinterpret_cast<void*>(lParam));
    if (object == nullptr || object->m_classId != classId)
        return 0;
    auto* control = static_cast<CINotifyControl*>(object);
    if (colour) {
        OsSetControlColours(reinterpret_cast<void*>(wParam), control->m_textColour, control->m_backColour);
        *handled = 1;
        return reinterpret_cast<intptr_t>(control->m_brush);
    }
    if (control->Notify(static_cast<int32_t>((wParam >> 16) & 0xFFFF)))
        *handled = 1;
    return 0;
}

