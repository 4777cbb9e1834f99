#include "ui/ci_message_box.h"

#include "ui/ci_message_box_members.h"
#include "ui/ci_window.h"
#include "ui/os_message_box.h"
#include "ui/os_window.h"

CIMessageBox::CIMessageBox(CInterpretor* interpretor)
    : CIBaseClassImpl(interpretor, ClassRecordOf(interpretor, kClassMessageBox), kClassMessageBox, true) {}

void CIMessageBox::CallMember(int32_t memberId) {
    static const CDispatchEntry<CIMessageBox> kHandlers[] = {
        TW_MEMBER(MessageBox, AbortRetryIgnoreBox), TW_MEMBER(MessageBox, OkBox),
        TW_MEMBER(MessageBox, OkCancelBox),         TW_MEMBER(MessageBox, RetryCancelBox),
        TW_MEMBER(MessageBox, YesNoBox),            TW_MEMBER(MessageBox, YesNoCancelBox),
        TW_MEMBER(MessageBox, SetIcon),             TW_MEMBER(MessageBox, SetDefaultButton),
    };
    DispatchMember(this, kHandlers, memberId);
}

void CIMessageBox::ConstructFromArgs() {
    if (GetArgCount(m_interpretor) > 0 && GetArg(m_interpretor, 0)->IsObjectOfClass(kClassWindow))
        m_owner = static_cast<CIWindow*>(GetArgObject(m_interpretor, 0));
    AssignInstanceNumber();
}

int32_t CIMessageBox::OnObjectDeleted(CIBaseClassImpl* object) {
    if (object == nullptr || object != m_owner)
        return 0;
    m_owner = nullptr;
    return 1;
}

void CIMessageBox::Destroy(int32_t) {
    UnlinkFromClassList();
    delete this;
}

uint32_t CIMessageBox::IconOf(int32_t value) {
    return value == 16 || value == 32 || value == 48 || value == 64 ? static_cast<uint32_t>(value) : 0;
}

uint32_t CIMessageBox::DefaultButtonOf(int32_t button) {
    return button >= 2 && button <= 4 ? static_cast<uint32_t>(button - 1) << 8 : 0;
}

int32_t CIMessageBox::Show(uint32_t buttons) {
    CIBaseClassImpl* owner = m_owner != nullptr ? m_owner : GetCurrentWindow(m_interpretor);
    // An omitted text shows as empty, never as the omission sentinel.
    const char* text = "";
    const char* caption = nullptr;
    uint32_t icon = m_icon;
    int32_t texts = 0;
    for (int32_t i = 0; i < GetArgCount(m_interpretor); ++i) {
        const CValue* arg = GetArg(m_interpretor, i);
        if (arg->IsObjectOfClass(kClassWindow)) {
            owner = GetArgObject(m_interpretor, i);
        } else if (texts < 2) {
            const char* value = ArgTextOrNull(m_interpretor, i);
            if (texts++ == 0)
                text = value != nullptr ? value : "";
            else
                caption = value;
        } else if (!IsArgDefault(m_interpretor, i) && arg->GetTag() == CValue::kInt) {
            if (const uint32_t callIcon = IconOf(arg->GetInt()))
                icon = callIcon;
        }
    }
    void* handle = nullptr;
    if (auto* window = dynamic_cast<CIChildWindow*>(owner); window != nullptr && OsIsWindow(window->m_window))
        handle = window->m_window;
    Result(m_interpretor)->SetInt(OsMessageBox(handle, text, caption, icon | m_defaultButton | buttons));
    return 0;
}

int32_t CIMessageBox::SetIcon() {
    const uint32_t icon = GetArgCount(m_interpretor) > 0 ? IconOf(GetArgInt(m_interpretor, 0)) : 0;
    m_icon = icon != 0 ? icon : 16;
    return 0;
}

int32_t CIMessageBox::SetDefaultButton() {
    m_defaultButton = DefaultButtonOf(GetArgCount(m_interpretor) > 0 ? GetArgInt(m_interpretor, 0) : 1);
    return 0;
}

void RegisterMessageBoxClass() { RegisterClassBinding(kClassMessageBox, {&MakeScriptObject<CIMessageBox>, nullptr}); }
