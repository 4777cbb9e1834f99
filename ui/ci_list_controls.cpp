#include "ui/ci_list_controls.h"

#include "runtime/base/sys_utils.h"
#include "runtime/interp/interpretor.h"
#include "ui/ci_combo_box_members.h"
#include "ui/ci_list_box_members.h"
#include "ui/os_controls.h"
#include "ui/os_window.h"

#include <cstring>
#include <new>
#include <utility>
#include <vector>

namespace {

// List box messages.
enum : uint32_t {
    kLbAddString = 0x180, kLbInsertString, kLbDeleteString, kLbResetContent = 0x184, kLbSetSel, kLbSetCurSel,
    kLbGetSel, kLbGetCurSel, kLbGetText, kLbGetTextLen, kLbGetCount, kLbSelectString, kLbGetTopIndex = 0x18E,
    kLbFindString, kLbGetSelCount, kLbGetSelItems, kLbSetTabStops, kLbGetHorizontalExtent, kLbSetHorizontalExtent,
    kLbSetTopIndex = 0x197, kLbGetItemRect, kLbGetItemData, kLbSetItemData, kLbSelItemRange,
    kLbSetCaretIndex = 0x19E, kLbGetCaretIndex, kLbSetItemHeight, kLbGetItemHeight, kLbFindStringExact,
    kLbItemFromPoint = 0x1A9,
};
// Combo box messages.
enum : uint32_t {
    kCbLimitText = 0x141, kCbAddString = 0x143, kCbDeleteString, kCbGetCount = 0x146, kCbGetCurSel, kCbGetLbText,
    kCbGetLbTextLen, kCbInsertString, kCbResetContent, kCbFindString, kCbSelectString, kCbSetCurSel,
    kCbShowDropDown, kCbGetItemData, kCbSetItemData, kCbSetItemHeight = 0x153, kCbGetItemHeight,
    kCbGetDroppedState = 0x157, kCbFindStringExact, kCbGetTopIndex = 0x15B, kCbSetTopIndex,
    kCbGetHorizontalExtent, kCbSetHorizontalExtent, kCbGetDroppedWidth, kCbSetDroppedWidth,
};

constexpr uint32_t kListBoxStyle = 0x44800001, kComboBoxStyle = 0x44000000;
constexpr uint32_t kMultiSelectionStyles = 0x808;
// "DISABLENOSCROLL" ... "USETABSTOPS" (index 6 spare) and the combo box's.
const uint32_t kListBoxConstants[] = {0x1000, 0x0800, 0x0008, 0x0100, 0x4000, 0x0002, 0, 0x0080, 0xFFFFFFFFu};
const uint32_t kComboBoxConstants[] = {0x0400, 0x0040, 0x0001, 0x0002, 0x0003, 0x0800, 0x0100, 0xFFFFFFFFu};

const CListMessages kListBoxMessages = {kLbAddString,    kLbInsertString, kLbFindString, kLbFindStringExact,
                                        kLbSelectString, kLbGetTextLen,   kLbGetText};
const CListMessages kComboBoxMessages = {kCbAddString,    kCbInsertString, kCbFindString, kCbFindStringExact,
                                         kCbSelectString, kCbGetLbTextLen, kCbGetLbText};

constexpr int8_t kConst = -1;
// member, message, wParam (arg, default), lParam (arg, default), result, required, low word
const CListMessageRow kListBoxRows[] = {
    {kListBoxClear, kLbResetContent, kConst, 0, kConst, 0, false, false, false},
    {kListBoxDeleteItem, kLbDeleteString, 0, 0, kConst, 0, false, true, false},
    {kListBoxGetSelectedItem, kLbGetCurSel, kConst, 0, kConst, 0, true, false, false},
    {kListBoxGetItemCount, kLbGetCount, kConst, 0, kConst, 0, true, false, false},
    {kListBoxGetCaretIndex, kLbGetCaretIndex, kConst, 0, kConst, 0, true, false, false},
    {kListBoxSetCaretIndex, kLbSetCaretIndex, 0, 0, kConst, 0, false, false, false},
    {kListBoxGetItemData, kLbGetItemData, 0, 0, kConst, 0, true, false, false},
    {kListBoxSetItemData, kLbSetItemData, 0, 0, 1, 0, false, false, false},
    {kListBoxGetItemHeight, kLbGetItemHeight, kConst, 0, kConst, 0, true, false, false},
    {kListBoxSetItemHeight, kLbSetItemHeight, kConst, 0, 0, 10, false, false, true},
    {kListBoxGetTextLength, kLbGetTextLen, 0, 0, kConst, 0, true, false, false},
    {kListBoxGetTopIndex, kLbGetTopIndex, kConst, 0, kConst, 0, true, false, false},
    {kListBoxSetTopIndex, kLbSetTopIndex, 0, 0, kConst, 0, true, false, false},
    {kListBoxSetHorizontalExtent, kLbSetHorizontalExtent, 0, 10, kConst, 0, false, false, false},
    {kListBoxGetHorizontalExtent, kLbGetHorizontalExtent, kConst, 0, kConst, 0, true, false, false},
};
const CListMessageRow kComboBoxRows[] = {
    {kComboBoxClear, kCbResetContent, kConst, 0, kConst, 0, false, false, false},
    {kComboBoxDeleteItem, kCbDeleteString, 0, 0, kConst, 0, false, true, false},
    {kComboBoxSelectItem, kCbSetCurSel, 0, 0, kConst, 0, false, true, false},
    {kComboBoxGetSelectedItem, kCbGetCurSel, kConst, 0, kConst, 0, true, false, false},
    {kComboBoxGetItemCount, kCbGetCount, kConst, 0, kConst, 0, true, false, false},
    {kComboBoxIsDroppedDown, kCbGetDroppedState, kConst, 0, kConst, 0, true, false, false},
    {kComboBoxSetEditTextLimit, kCbLimitText, 0, 0, kConst, 0, false, true, false},
    {kComboBoxGetItemData, kCbGetItemData, 0, 0, kConst, 0, true, false, false},
    {kComboBoxSetItemData, kCbSetItemData, 0, 0, 1, 0, false, false, false},
    {kComboBoxGetTextLengthAt, kCbGetLbTextLen, 0, 0, kConst, 0, true, false, false},
    {kComboBoxGetTopIndex, kCbGetTopIndex, kConst, 0, kConst, 0, true, false, false},
    {kComboBoxSetTopIndex, kCbSetTopIndex, 0, 0, kConst, 0, true, false, false},
    {kComboBoxShowDropDown, kCbShowDropDown, kConst, 1, kConst, 0, false, false, false},
    {kComboBoxHideDropDown, kCbShowDropDown, kConst, 0, kConst, 0, false, false, false},
    {kComboBoxGetHorizontalExtent, kCbGetHorizontalExtent, kConst, 0, kConst, 0, true, false, false},
    {kComboBoxSetHorizontalExtent, kCbSetHorizontalExtent, 0, 10, kConst, 0, false, false, false},
    {kComboBoxGetItemHeight, kCbGetItemHeight, kConst, 0, kConst, 0, true, false, false},
    {kComboBoxSetItemHeight, kCbSetItemHeight, kConst, 0, 0, 10, false, false, true},
    {kComboBoxGetEditHeight, kCbGetItemHeight, kConst, -1, kConst, 0, true, false, false},
    {kComboBoxSetEditHeight, kCbSetItemHeight, kConst, -1, 0, 15, false, false, true},
    {kComboBoxGetDroppedWidth, kCbGetDroppedWidth, kConst, 0, kConst, 0, true, false, false},
    {kComboBoxSetDroppedWidth, kCbSetDroppedWidth, 0, 10, kConst, 0, false, false, false},
};

intptr_t ListBoxHook(int32_t* handled, void* w, uint32_t m, uintptr_t wp, intptr_t lp) {
    return CINotifyControl::HandleHook(kClassListBox, kWmCtlColorListBox, 0, handled, w, m, wp, lp);
}
intptr_t ComboBoxHook(int32_t* handled, void* w, uint32_t m, uintptr_t wp, intptr_t lp) {
    return CINotifyControl::HandleHook(kClassComboBox, 0, 0, handled, w, m, wp, lp);
}

intptr_t TextParam(const char* text) { return reinterpret_cast<intptr_t>(text); }

}  // namespace

// ---- shared ----

CIListControl::CIListControl(CInterpretor* interpretor, uint32_t classId, const char* windowClass,
                             WindowMessageHook hook, const CListMessages& messages)
    : CINotifyControl(interpretor, classId, windowClass, hook), m_messages(messages) {}

bool CIListControl::CallRow(const CListMessageRow* rows, std::size_t count, int32_t memberId) {
    const CListMessageRow* row = nullptr;
    for (std::size_t i = 0; i < count && row == nullptr; ++i)
        if (rows[i].memberId == memberId)
            row = &rows[i];
    if (row == nullptr)
        return false;
    auto operand = [&](int8_t arg, int32_t value) -> int32_t {
        if (arg == kConst || arg >= GetArgCount(m_interpretor) || IsArgDefault(m_interpretor, arg))
            return value;
        return GetArgInt(m_interpretor, arg);
    };
    if (row->required && (GetArgCount(m_interpretor) < 1 || IsArgDefault(m_interpretor, 0)))
        return true;
    const int32_t w = operand(row->wArg, row->wValue);
    int32_t l = operand(row->lArg, row->lValue);
    if (row->lowWord)
        l &= 0xFFFF;
    const intptr_t answer = OsSendMessage(m_window, row->message, static_cast<uintptr_t>(static_cast<intptr_t>(w)), l);
    if (row->result)
        Answer(static_cast<int32_t>(answer));
    return true;
}

bool CIListControl::ReadTextAndIndex(const char** text, int32_t* index) {
    *text = nullptr;
    *index = -1;
    for (int32_t i = 0; i < 2 && i < GetArgCount(m_interpretor); ++i) {
        if (IsArgDefault(m_interpretor, i))
            continue;
        if (GetArg(m_interpretor, i)->GetTag() == CValue::kText)
            *text = GetArgString(m_interpretor, i);
        else
            *index = GetArgInt(m_interpretor, i);
    }
    return *text != nullptr;
}

int32_t CIListControl::AddItem() {
    const char* text = ArgTextOrNull(m_interpretor, 0);
    if (GetArgCount(m_interpretor) < 1 || text == nullptr)
        return Answer(-1);
    return Answer(static_cast<int32_t>(OsSendMessage(m_window, m_messages.addString, 0, TextParam(text))));
}

int32_t CIListControl::InsertItem() {
    const char* text;
    int32_t index;
    if (!ReadTextAndIndex(&text, &index))
        return Answer(-1);
    return Answer(static_cast<int32_t>(
        OsSendMessage(m_window, m_messages.insertString, static_cast<uintptr_t>(index), TextParam(text))));
}

int32_t CIListControl::SendSearch(uint32_t message, bool result) {
    const char* text;
    int32_t start;
    if (!ReadTextAndIndex(&text, &start))
        text = "";
    const intptr_t answer = OsSendMessage(m_window, message, static_cast<uintptr_t>(start), TextParam(text));
    return result ? Answer(static_cast<int32_t>(answer)) : 0;
}

int32_t CIListControl::GetTextAt() {
    if (GetArgCount(m_interpretor) < 1 || IsArgDefault(m_interpretor, 0)) {
        Result(m_interpretor)->SetString("", 0);
        return 0;
    }
    const int32_t i = GetArgInt(m_interpretor, 0);
    const intptr_t length = OsSendMessage(m_window, m_messages.getTextLength, static_cast<uintptr_t>(i), 0);
    if (length < 0) {
        Result(m_interpretor)->SetString("", 0);
        return 0;
    }
    void* buffer = nullptr;
    const uint32_t handle = m_interpretor->AddTempBuffer(static_cast<std::size_t>(length) + 1, &buffer);
    char* text = static_cast<char*>(buffer);
    text[0] = 0;
    OsSendMessage(m_window, m_messages.getText, static_cast<uintptr_t>(i), TextParam(text));
    text[length] = 0;
    Result(m_interpretor)->SetString(text, 0);
    m_interpretor->FreeTempBuffer(handle);
    return 0;
}

// ---- ListBox ----

CIListBox::CIListBox(CInterpretor* interpretor)
    : CIListControl(interpretor, kClassListBox, "LISTBOX", &ListBoxHook, kListBoxMessages) {
    SetDefaultRect(10, 10, 100, 30, kListBoxStyle, 0);
    AddConstantTable(kListBoxConstants, kWindowTableId);
}

void CIListBox::CallMember(int32_t memberId) {
    static const CDispatchEntry<CIListBox> kHandlers[] = {
        {kListBoxAddItem, &CIListBox::AddItemMember},
        {kListBoxInsertItem, &CIListBox::InsertItemMember},
        {kListBoxSelectItem, &CIListBox::SelectItem},
        {kListBoxGetSelectedCount, &CIListBox::GetSelectedCount},
        {kListBoxGetTextAt, &CIListBox::GetTextAtMember},
        {kListBoxOnDblClick, &CIListBox::StoreEvent},
        {kListBoxOnSelChanged, &CIListBox::StoreEvent},
        {kListBoxOnKillFocus, &CIListBox::StoreEvent},
        {kListBoxOnSetFocus, &CIListBox::StoreEvent},
        {kListBoxFindString, &CIListBox::FindString},
        {kListBoxFindStringExact, &CIListBox::FindStringExact},
        {kListBoxSelectString, &CIListBox::SelectString},
        {kListBoxGetItemRectLeft, &CIListBox::GetItemRectPart},
        {kListBoxGetItemRectTop, &CIListBox::GetItemRectPart},
        {kListBoxGetItemRectWidth, &CIListBox::GetItemRectPart},
        {kListBoxGetItemRectHeight, &CIListBox::GetItemRectPart},
        {kListBoxIsItemSelected, &CIListBox::IsItemSelected},
        {kListBoxGetItemAtXY, &CIListBox::GetItemAtXY},
        {kListBoxSelectRange, &CIListBox::SelectRange},
        {kListBoxSetTabStops, &CIListBox::SetTabStops},
        {kListBoxGetSelectedItems, &CIListBox::GetSelectedItems},
    };
    if (memberId >= 1 && memberId <= 37)
        CallCommonMember(memberId);
    else if (!CallRow(kListBoxRows, memberId))
        DispatchMember(this, kHandlers, memberId);
}

bool CIListBox::Notify(int32_t code) {
    static const NotifyEntry kCodes[] = {{1, kOnSelChanged}, {2, kOnDblClick}, {4, kOnSetFocus}, {5, kOnKillFocus}};
    return NotifyByTable(kCodes, code, true);
}

int32_t CIListBox::StoreEvent() {
    switch (GetCurrentMemberId(m_interpretor)) {
    case kListBoxOnDblClick: return StoreHandler(kOnDblClick);
    case kListBoxOnSelChanged: return StoreHandler(kOnSelChanged);
    case kListBoxOnKillFocus: return StoreHandler(kOnKillFocus);
    default: return StoreHandler(kOnSetFocus);
    }
}

bool CIListBox::IsMultiSelection() { return (OsGetWindowStyle(m_window, true) & kMultiSelectionStyles) != 0; }

int32_t CIListBox::SelectItem() {
    const int32_t count = GetArgCount(m_interpretor);
    auto given = [&](int32_t i) { return i < count && !IsArgDefault(m_interpretor, i); };
    if (IsMultiSelection()) {
        const int32_t i = given(0) ? GetArgInt(m_interpretor, 0) : 0;
        const int32_t flag = given(1) ? GetArgInt(m_interpretor, 1) : 1;
        OsSendMessage(m_window, kLbSetSel, static_cast<uintptr_t>(flag), i);
        return 0;
    }
    if (!given(0))
        return 0;
    OsSendMessage(m_window, kLbSetCurSel, static_cast<uintptr_t>(GetArgInt(m_interpretor, 0)), 0);
    // A selection by program is not notified by the control.
    PostButtonEvent(kOnSelChanged);
    return 0;
}

int32_t CIListBox::GetSelectedCount() {
    if (IsMultiSelection()) {
        const intptr_t n = OsSendMessage(m_window, kLbGetSelCount, 0, 0);
        return Answer(n == -1 ? 0 : static_cast<int32_t>(n));
    }
    return Answer(OsSendMessage(m_window, kLbGetCurSel, 0, 0) != -1 ? 1 : 0);
}

int32_t CIListBox::FindString() { return SendSearch(kLbFindString, true); }
int32_t CIListBox::FindStringExact() { return SendSearch(kLbFindStringExact, true); }
int32_t CIListBox::SelectString() { return SendSearch(kLbSelectString, false); }

int32_t CIListBox::GetItemRectPart() {
    const int32_t i = GetArgCount(m_interpretor) > 0 && !IsArgDefault(m_interpretor, 0) ? GetArgInt(m_interpretor, 0) : 0;
    int32_t rect[4] = {};  // left, top, right, bottom: the RECT layout
    OsSendMessage(m_window, kLbGetItemRect, static_cast<uintptr_t>(i), reinterpret_cast<intptr_t>(rect));
    switch (GetCurrentMemberId(m_interpretor)) {
    case kListBoxGetItemRectLeft: return Answer(rect[0]);
    case kListBoxGetItemRectTop: return Answer(rect[1]);
    case kListBoxGetItemRectWidth: return Answer(rect[2] - rect[0]);
    default: return Answer(rect[3] - rect[1]);
    }
}

int32_t CIListBox::IsItemSelected() {
    const bool given = GetArgCount(m_interpretor) > 0 && !IsArgDefault(m_interpretor, 0);
    const int32_t i = given ? GetArgInt(m_interpretor, 0) : 0;
    if (IsMultiSelection())
        return Answer(static_cast<int32_t>(OsSendMessage(m_window, kLbGetSel, static_cast<uintptr_t>(i), 0)));
    if (!given)
        return Answer(0);
    return Answer(OsSendMessage(m_window, kLbGetCurSel, 0, 0) == i ? 1 : 0);
}

int32_t CIListBox::GetItemAtXY() {
    const int32_t count = GetArgCount(m_interpretor);
    const int32_t x = count > 0 && !IsArgDefault(m_interpretor, 0) ? GetArgInt(m_interpretor, 0) : 0;
    const int32_t y = count > 1 && !IsArgDefault(m_interpretor, 1) ? GetArgInt(m_interpretor, 1) : 0;
    const uint32_t point = (static_cast<uint32_t>(y) << 16) | (static_cast<uint32_t>(x) & 0xFFFF);
    const intptr_t answer = OsSendMessage(m_window, kLbItemFromPoint, 0, static_cast<intptr_t>(point));
    // The high word set: the point lies outside the client area.
    return Answer(static_cast<uintptr_t>(answer) > 0xFFFF ? -1 : static_cast<int32_t>(answer));
}

int32_t CIListBox::SelectRange() {
    const int32_t count = GetArgCount(m_interpretor);
    auto arg = [&](int32_t i, int32_t value) {
        return i < count && !IsArgDefault(m_interpretor, i) ? GetArgInt(m_interpretor, i) : value;
    };
    int32_t first = arg(0, 0), last = arg(1, 0);
    const int32_t flag = arg(2, 1);
    if (first > last)
        std::swap(first, last);
    const uint32_t range = (static_cast<uint32_t>(last) << 16) | (static_cast<uint32_t>(first) & 0xFFFF);
    OsSendMessage(m_window, kLbSelItemRange, static_cast<uintptr_t>(flag), static_cast<intptr_t>(range));
    return 0;
}

int32_t CIListBox::SetTabStops() {
    const int32_t count = GetArgCount(m_interpretor);
    const uint32_t divisor = (OsGetDialogBaseUnits() & 0xFFFF) / 4;
    if (divisor == 0)
        return 0;
    if (count == 0) {
        // No positions: the control's default stops.
        OsSendMessage(m_window, kLbSetTabStops, 0, 0);
        return 0;
    }
    int32_t* stops = nullptr;
    if (!AllocRetry(static_cast<std::size_t>(count) * sizeof(int32_t), &stops))
        RaiseError(m_interpretor, 15);
    uint32_t used = 0;
    for (int32_t i = 0; i < count; ++i)
        if (!IsArgDefault(m_interpretor, i))
            stops[used++] = static_cast<int32_t>(static_cast<uint32_t>(GetArgInt(m_interpretor, i)) / divisor);
    OsSendMessage(m_window, kLbSetTabStops, used, reinterpret_cast<intptr_t>(stops));
    FreeAndNull(&stops);
    return 0;
}

int32_t CIListBox::GetSelectedItems() {
    CValue* result = Result(m_interpretor);
    result->MakeArray();
    const intptr_t n = OsSendMessage(m_window, kLbGetSelCount, 0, 0);
    if (n <= 0)
        return 0;
    std::vector<int32_t> items(static_cast<std::size_t>(n));
    const intptr_t got = OsSendMessage(m_window, kLbGetSelItems, static_cast<uintptr_t>(n),
                                       reinterpret_cast<intptr_t>(items.data()));
    for (intptr_t i = 0; i < got && i < n; ++i)
        result->SetArrayItem(static_cast<int32_t>(i), CValue(m_interpretor, items[static_cast<std::size_t>(i)]));
    return 0;
}

// ---- ComboBox ----

CIComboBox::CIComboBox(CInterpretor* interpretor)
    : CIListControl(interpretor, kClassComboBox, "COMBOBOX", &ComboBoxHook, kComboBoxMessages) {
    SetDefaultRect(10, 10, 100, 30, kComboBoxStyle, 0);
    AddConstantTable(kComboBoxConstants, kWindowTableId);
}

void CIComboBox::CallMember(int32_t memberId) {
    static const CDispatchEntry<CIComboBox> kHandlers[] = {
        {kComboBoxAddItem, &CIComboBox::AddItemMember},
        {kComboBoxInsertItem, &CIComboBox::InsertItemMember},
        {kComboBoxGetTextAt, &CIComboBox::GetTextAtMember},
        {kComboBoxOnSelChanged, &CIComboBox::StoreEvent},
        {kComboBoxOnDblClick, &CIComboBox::StoreEvent},
        {kComboBoxOnEditChanged, &CIComboBox::StoreEvent},
        {kComboBoxOnSetFocus, &CIComboBox::StoreEvent},
        {kComboBoxOnKillFocus, &CIComboBox::StoreEvent},
        {kComboBoxFindString, &CIComboBox::FindString},
        {kComboBoxFindStringExact, &CIComboBox::FindStringExact},
        {kComboBoxSelectString, &CIComboBox::SelectString},
    };
    if (memberId >= 1 && memberId <= 37)
        CallCommonMember(memberId);
    else if (!CallRow(kComboBoxRows, memberId))
        DispatchMember(this, kHandlers, memberId);
}

bool CIComboBox::Notify(int32_t code) {
    static const NotifyEntry kCodes[] = {
        {1, kOnSelChanged}, {2, kOnDblClick}, {3, kOnSetFocus}, {4, kOnKillFocus}, {5, kOnEditChanged}};
    return NotifyByTable(kCodes, code, true);
}

int32_t CIComboBox::StoreEvent() {
    switch (GetCurrentMemberId(m_interpretor)) {
    case kComboBoxOnSelChanged: return StoreHandler(kOnSelChanged);
    case kComboBoxOnDblClick: return StoreHandler(kOnDblClick);
    case kComboBoxOnEditChanged: return StoreHandler(kOnEditChanged);
    case kComboBoxOnSetFocus: return StoreHandler(kOnSetFocus);
    default: return StoreHandler(kOnKillFocus);
    }
}

int32_t CIComboBox::FindString() { return SendSearch(kCbFindString, true); }
int32_t CIComboBox::FindStringExact() { return SendSearch(kCbFindStringExact, true); }
int32_t CIComboBox::SelectString() { return SendSearch(kCbSelectString, false); }

void RegisterListClasses() {
    RegisterClassBinding(kClassListBox, {&MakeScriptObject<CIListBox>, nullptr});
    RegisterClassBinding(kClassComboBox, {&MakeScriptObject<CIComboBox>, nullptr});
}
