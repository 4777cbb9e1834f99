#include "ui/ci_edit.h"

#include "ui/ci_edit_members.h"
#include "ui/os_controls.h"
#include "ui/os_window.h"

namespace {

constexpr uint32_t kEditStyle = 0x44800000;
// "MULTILINE" ... "ALIGNRIGHT".
const uint32_t kEditConstants[] = {0x0004, 0x0080, 0x0040, 0x0800, 0x0020, 0x0008,
                                   0x0010, 0x0100, 0x0001, 0x0000, 0x0002, 0xFFFFFFFFu};

intptr_t EditHook(int32_t* handled, void* w, uint32_t m, uintptr_t wp, intptr_t lp) {
    return TextFieldHook(kClassEdit, handled, w, m, wp, lp);
}

bool Given(CInterpretor* in, int32_t i) { return i < GetArgCount(in) && !IsArgDefault(in, i); }
int32_t IntArg(CInterpretor* in, int32_t i, int32_t fallback) { return Given(in, i) ? GetArgInt(in, i) : fallback; }

}  // namespace

void PostTextFieldEvent(CIChildWindow* control, CFunctionRecord* const* events, int32_t code, bool* known) {
    const int32_t slot = TextFieldEventOf(code);
    *known = slot >= 0;
    if (slot < 0 || events[slot] == nullptr)
        return;
    CValue self(control);
    const CValue* args[1] = {&self};
    PostEventCoalesced(control->m_interpretor, events[slot], control, args, 1);
}

intptr_t TextFieldHook(uint32_t classId, int32_t* handled, void* window, uint32_t message, uintptr_t wParam,
                       intptr_t lParam) {
    return CINotifyControl::HandleHook(classId, kWmCtlColorEdit, kWmCtlColorStatic, handled, window, message, wParam,
                                       lParam);
}

CIEdit::CIEdit(CInterpretor* interpretor) : CINotifyControl(interpretor, kClassEdit, "EDIT", &EditHook) {
    SetDefaultRect(10, 10, 100, 30, kEditStyle, 0);
    AddConstantTable(kEditConstants, kWindowTableId);
}

bool CIEdit::Notify(int32_t code) {
    bool known = false;
    PostTextFieldEvent(this, m_events, code, &known);
    return known;
}

int32_t CIEdit::WantsTabKey() { return (m_style & kEsMultiline) && !IsFocusable() ? 1 : 0; }

void CIEdit::CallMember(int32_t memberId) {
    static const CDispatchEntry<CIEdit> kHandlers[] = {
        {kEditCopy, &CIEdit::SendPlain},
        {kEditCut, &CIEdit::SendPlain},
        {kEditPaste, &CIEdit::SendPlain},
        {kEditUndo, &CIEdit::SendPlain},
        {kEditSetModified, &CIEdit::SetModified},
        {kEditGetSelection, &CIEdit::Shared},
        {kEditSetSelection, &CIEdit::SetSelection},
        {kEditDeleteSelection, &CIEdit::SendPlain},
        {kEditClearUndoBuffer, &CIEdit::SendPlain},
        {kEditSetMaxSize, &CIEdit::SetMaxSize},
        {kEditGetMaxSize, &CIEdit::GetMaxSize},
        {kEditOnTextChanged, &CIEdit::StoreEvent},
        {kEditOnSetFocus, &CIEdit::StoreEvent},
        {kEditOnKillFocus, &CIEdit::StoreEvent},
        {kEditOnMaxTextReached, &CIEdit::StoreEvent},
        {kEditOnHorizontalScroll, &CIEdit::StoreEvent},
        {kEditOnVerticalScroll, &CIEdit::StoreEvent},
        {kEditCanUndo, &CIEdit::Shared},
        {kEditGetFirstVisibleLine, &CIEdit::Shared},
        {kEditGetLineContent, &CIEdit::Shared},
        {kEditGetLineCount, &CIEdit::Shared},
        {kEditIsModified, &CIEdit::IsModified},
        {kEditGetStartSelection, &CIEdit::GetSelectionBound},
        {kEditGetLineLength, &CIEdit::Shared},
        {kEditScroll, &CIEdit::Shared},
        {kEditScrollDownOneLine, &CIEdit::ScrollBy},
        {kEditScrollUpOneLine, &CIEdit::ScrollBy},
        {kEditScrollDownOnePage, &CIEdit::ScrollBy},
        {kEditScrollUpOnePage, &CIEdit::ScrollBy},
        {kEditSetReadOnly, &CIEdit::Shared},
        {kEditSetTabStops, &CIEdit::Shared},
        {kEditGetEndSelection, &CIEdit::GetSelectionBound},
        {kEditReplaceSelection, &CIEdit::Shared},
        {kEditGetLineIndexFromCharIndex, &CIEdit::GetLineIndexFromCharIndex},
        {kEditGetCharIndexFromLineIndex, &CIEdit::Shared},
        {kEditGetInt, &CIEdit::Shared},
        {kEditGetFloat, &CIEdit::Shared},
    };
    if (memberId >= 1 && memberId <= 37)
        CallCommonMember(memberId);
    else
        DispatchMember(this, kHandlers, memberId);
}

int32_t CIEdit::StoreEvent() {
    const int32_t slot = GetCurrentMemberId(m_interpretor) - kEditOnTextChanged;
    m_events[slot] = ReadAssignedFunction(m_interpretor);
    return 0;
}

// Members that are one message without arguments.
int32_t CIEdit::SendPlain() {
    switch (GetCurrentMemberId(m_interpretor)) {
    case kEditCopy: OsSendMessage(m_window, kWmCopy, 0, 0); break;
    case kEditCut: OsSendMessage(m_window, kWmCut, 0, 0); break;
    case kEditPaste: OsSendMessage(m_window, kWmPaste, 0, 0); break;
    case kEditUndo: OsSendMessage(m_window, kWmUndo, 0, 0); break;
    case kEditDeleteSelection: OsSendMessage(m_window, kEmReplaceSel, 1, reinterpret_cast<intptr_t>("")); break;
    default: OsSendMessage(m_window, kEmEmptyUndoBuffer, 0, 0); break;
    }
    return 0;
}

int32_t CIEdit::SetModified() {
    OsSendMessage(m_window, kEmSetModify, static_cast<uintptr_t>(IntArg(m_interpretor, 0, 1)), 0);
    return 0;
}

int32_t CIEdit::SetSelection() {
    OsSendMessage(m_window, kEmSetSel, static_cast<uintptr_t>(IntArg(m_interpretor, 0, -1)),
                  IntArg(m_interpretor, 1, -1));
    return 0;
}

int32_t CIEdit::SetMaxSize() {
    const uint32_t limit = static_cast<uint32_t>(IntArg(m_interpretor, 0, -1));
    OsSendMessage(m_window, kEmLimitText, limit, 0);
    return 0;
}

int32_t CIEdit::GetMaxSize() { return Answer(static_cast<int32_t>(OsSendMessage(m_window, kEmGetLimitText, 0, 0))); }

int32_t CIEdit::IsModified() { return Answer(OsSendMessage(m_window, kEmGetModify, 0, 0) != 0 ? 1 : 0); }

int32_t CIEdit::GetSelectionBound() {
    uint32_t value = 0;
    if (GetCurrentMemberId(m_interpretor) == kEditGetStartSelection)
        OsSendMessage(m_window, kEmGetSel, reinterpret_cast<uintptr_t>(&value), 0);
    else
        OsSendMessage(m_window, kEmGetSel, 0, reinterpret_cast<intptr_t>(&value));
    return Answer(static_cast<int32_t>(value));
}

int32_t CIEdit::ScrollBy() {
    static const int32_t kCodes[] = {kSbLineDown, kSbLineUp, kSbPageDown, kSbPageUp};
    const int32_t code = kCodes[GetCurrentMemberId(m_interpretor) - kEditScrollDownOneLine];
    OsSendMessage(m_window, kEmScroll, static_cast<uintptr_t>(code), 0);
    return 0;
}

int32_t CIEdit::GetLineIndexFromCharIndex() {
    return Answer(static_cast<int32_t>(
        OsSendMessage(m_window, kEmLineFromChar, static_cast<uintptr_t>(IntArg(m_interpretor, 0, 0)), 0)));
}

int32_t CIEdit::Shared() {
    CInterpretor* in = m_interpretor;
    switch (GetCurrentMemberId(in)) {
    case kEditGetSelection: return text_field::GetSelectedText(in, m_window);
    case kEditCanUndo: return text_field::CanUndo(in, m_window);
    case kEditGetFirstVisibleLine: return text_field::GetFirstVisibleLine(in, m_window);
    case kEditGetLineContent: return text_field::GetLineContent(in, m_window);
    case kEditGetLineCount: return text_field::GetLineCount(in, m_window);
    case kEditGetLineLength: return text_field::GetLineLength(in, m_window);
    case kEditScroll: return text_field::Scroll(in, m_window);
    case kEditSetReadOnly: return text_field::SetReadOnly(in, m_window);
    case kEditSetTabStops: return text_field::SetTabStops(in, m_window);
    case kEditReplaceSelection: return text_field::ReplaceSelection(in, m_window);
    case kEditGetCharIndexFromLineIndex: return text_field::GetCharIndexFromLine(in, m_window);
    case kEditGetInt: return text_field::GetInt(in, m_window);
    default: return text_field::GetFloat(in, m_window);
    }
}

void RegisterEditClass() { RegisterClassBinding(kClassEdit, {&MakeScriptObject<CIEdit>, nullptr}); }
