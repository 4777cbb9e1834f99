#pragma once
// The script class "Edit" over the standard edit control (window class
// "EDIT"). Its hook on the parent window turns the EN_ notifications into
// coalesced events and colours the field (WM_CTLCOLOREDIT, and
// WM_CTLCOLORSTATIC for read-only and disabled fields); the text members run
// the routines it shares with the rich edit control (ui/text_field.h).
#include "ui/ci_notify_control.h"
#include "ui/text_field.h"

#include <cstdint>

class CIEdit : public CINotifyControl {
public:
    explicit CIEdit(CInterpretor* interpretor);
    void CallMember(int32_t memberId) override;
    bool Notify(int32_t code) override;
    // A multi-line field keeps the Tab key unless it is a tab stop.
    int32_t WantsTabKey() override;

    CFunctionRecord* m_events[kTextFieldEventCount] = {};

private:
    int32_t StoreEvent();
    int32_t SendPlain();
    int32_t SetModified();
    int32_t SetSelection();
    int32_t SetMaxSize();
    int32_t GetMaxSize();
    int32_t IsModified();
    int32_t GetSelectionBound();
    int32_t ScrollBy();
    int32_t GetLineIndexFromCharIndex();
    int32_t Shared();
};

// The hook and notification post of both text classes: WM_COMMAND from a
// control of classId posts the event of its slot (handled for every EN_ code
// of the table), WM_CTLCOLOREDIT and WM_CTLCOLORSTATIC get its colours.
intptr_t TextFieldHook(uint32_t classId, int32_t* handled, void* window, uint32_t message, uintptr_t wParam,
                       intptr_t lParam);
void PostTextFieldEvent(CIChildWindow* control, CFunctionRecord* const* events, int32_t code, bool* known);

void RegisterEditClass();
