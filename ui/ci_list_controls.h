#pragma once
// The script classes over the standard list controls: "ListBox" (window
// class "LISTBOX") and "ComboBox" ("COMBOBOX"). Nearly every member is one
// message to the control; the simple ones are rows of a table (message,
// where wParam and lParam come from, whether the answer is the result), the
// others are handlers of their own.
#include "ui/ci_notify_control.h"

#include <cstdint>

// A member that is one message: each operand is a constant (arg -1) or an
// argument with its default; `required` members do nothing when argument 0
// is omitted.
struct CListMessageRow {
    uint16_t memberId;
    uint32_t message;
    int8_t wArg;
    int32_t wValue;
    int8_t lArg;
    int32_t lValue;
    bool result;
    bool required;
    bool lowWord;  // lParam AND 0xFFFF
};

// The messages of one list class that the shared members send.
struct CListMessages {
    uint32_t addString, insertString, findString, findStringExact, selectString, getTextLength, getText;
};

class CIListControl : public CINotifyControl {
public:
    CIListControl(CInterpretor* interpretor, uint32_t classId, const char* windowClass, WindowMessageHook hook,
                  const CListMessages& messages);
    // Destroyed with the rest of the parent window's controls, not before.
    int32_t OnObjectDeleted(CIBaseClassImpl*) override { return 0; }

protected:
    // Runs the row of the member; false when the table has none.
    template <std::size_t N>
    bool CallRow(const CListMessageRow (&rows)[N], int32_t memberId) {
        return CallRow(rows, N, memberId);
    }
    bool CallRow(const CListMessageRow* rows, std::size_t count, int32_t memberId);
    // The first two arguments in either order: a text and an index. False
    // when no text is among them; the index is -1 when omitted.
    bool ReadTextAndIndex(const char** text, int32_t* index);
    int32_t AddItem();
    int32_t InsertItem();
    // FindString, FindStringExact, SelectString: an omitted text is "".
    int32_t SendSearch(uint32_t message, bool result);
    int32_t GetTextAt();

    const CListMessages& m_messages;
};

class CIListBox : public CIListControl {
public:
    explicit CIListBox(CInterpretor* interpretor);
    void CallMember(int32_t memberId) override;
    bool Notify(int32_t code) override;
    // LBS_MULTIPLESEL or LBS_EXTENDEDSEL in the window's style.
    bool IsMultiSelection();

private:
    int32_t AddItemMember() { return AddItem(); }
    int32_t InsertItemMember() { return InsertItem(); }
    int32_t SelectItem();
    int32_t GetSelectedCount();
    int32_t GetTextAtMember() { return GetTextAt(); }
    int32_t FindString();
    int32_t FindStringExact();
    int32_t SelectString();
    int32_t GetItemRectPart();
    int32_t IsItemSelected();
    int32_t GetItemAtXY();
    int32_t SelectRange();
    int32_t SetTabStops();
    int32_t GetSelectedItems();
    int32_t StoreEvent();
};

class CIComboBox : public CIListControl {
public:
    explicit CIComboBox(CInterpretor* interpretor);
    void CallMember(int32_t memberId) override;
    bool Notify(int32_t code) override;

private:
    int32_t AddItemMember() { return AddItem(); }
    int32_t InsertItemMember() { return InsertItem(); }
    int32_t GetTextAtMember() { return GetTextAt(); }
    int32_t FindString();
    int32_t FindStringExact();
    int32_t SelectString();
    int32_t StoreEvent();
};

void RegisterListClasses();
