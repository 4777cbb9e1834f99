#pragma once
// The script class "RichEdit" over the rich edit control version 1 (library
// "RICHED32.DLL", window class "RICHEDIT"). Each object gives its control an
// OLE callback made by COM from a class factory of its own, registered for
// the object's lifetime; where COM cannot make the callback the object lives
// without a window and its members answer 0 or "". The library stays loaded
// while any rich edit object lives. Notifications and colours go through the
// hook the edit field uses; the text members run the shared routines
// (ui/text_field.h).
#include "ui/ci_notify_control.h"
#include "ui/os_rich_edit.h"
#include "ui/text_field.h"

#include <cstdint>

class CIRichEdit : public CINotifyControl {
public:
    explicit CIRichEdit(CInterpretor* interpretor);
    ~CIRichEdit() override;
    void CallMember(int32_t memberId) override;
    // Refused (no window, answers 0) without the callback; otherwise a
    // multi-line "RICHEDIT" window with the callback set.
    uint32_t AssignInstanceNumber() override;
    void Destroy(int32_t releaseAll) override;
    bool Notify(int32_t code) override;
    int32_t WantsTabKey() override { return IsFocusable() ? 0 : 1; }

    OsRichEditOle m_ole;
    void* m_richEditOle = nullptr;  // the control's IRichEditOle, not owned
    bool m_holdsLibrary = true;
    CFunctionRecord* m_events[kTextFieldEventCount] = {};

    // The live objects and the library handle they share.
    static int32_t LiveCount();
    static void* LibraryHandle();

private:
    int32_t StoreEvent();
    int32_t SendPlain();
    int32_t GetMaxSize();
    int32_t GetSelectionBound();
    int32_t IsModified();
    int32_t SetSelection();
    int32_t SetModified();
    int32_t SetMargin();
    int32_t ScrollBy();
    int32_t SetMaxSize();
    int32_t CanPaste();
    int32_t FindText();
    int32_t StreamFile();
    int32_t GetTextRange();
    int32_t IsTextSelected();
    int32_t SetBackGround();
    int32_t SetCharFaceName();
    int32_t SetCharEffect();
    int32_t SetCharColor();
    int32_t SetCharHeight();
    int32_t GetCharFaceName();
    int32_t IsCharEffect();
    int32_t GetCharColor();
    int32_t GetCharHeight();
    int32_t GetLineIndexFromCharIndex();
    int32_t Shared();
    void DropLibrary();
    RichCharFormat SelectionFormat();
    void SetSelectionFormat(RichCharFormat* format);
};

void RegisterRichEditClass();
