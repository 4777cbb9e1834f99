#pragma once
// CIMessageBox: the script class "MessageBox", a reusable description of a
// standard message box (owner window, icon, default button) whose members
// show it with one of six button sets and answer the button pressed.
#include "runtime/classes/script_class.h"

#include <cstdint>

class CIWindow;

class CIMessageBox : public CIBaseClassImpl {
public:
    explicit CIMessageBox(CInterpretor* interpretor);

    void CallMember(int32_t memberId) override;
    // A "Window" first argument owns the boxes.
    void ConstructFromArgs() override;
    // The object goes with its owner window.
    int32_t OnObjectDeleted(CIBaseClassImpl* object) override;
    void Destroy(int32_t releaseAll) override;

    // The icon flags a value stands for: 16, 32, 48 or 64, else 0.
    static uint32_t IconOf(int32_t value);
    // The default-button flags of "SetDefaultButton"'s argument.
    static uint32_t DefaultButtonOf(int32_t button);

    uint32_t m_defaultButton = 0;
    uint32_t m_icon = 16;  // MB_ICONHAND
    CIWindow* m_owner = nullptr;

private:
    // Shows a box of MessageBoxA type `buttons` with the call's arguments.
    int32_t Show(uint32_t buttons);
    int32_t AbortRetryIgnoreBox() { return Show(2); }
    int32_t OkBox() { return Show(0); }
    int32_t OkCancelBox() { return Show(1); }
    int32_t RetryCancelBox() { return Show(5); }
    int32_t YesNoBox() { return Show(4); }
    int32_t YesNoCancelBox() { return Show(3); }
    int32_t SetIcon();
    int32_t SetDefaultButton();
};

void RegisterMessageBoxClass();
