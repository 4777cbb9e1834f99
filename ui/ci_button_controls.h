#pragma once
// The script classes over the standard "BUTTON" window class: "Button",
// "CheckBox", "RadioButton" and "GroupBox".
#include "ui/ci_notify_control.h"

#include <cstdint>

class CIButton : public CINotifyControl {
public:
    explicit CIButton(CInterpretor* interpretor);
    void CallMember(int32_t memberId) override;
    // Drops the references on its images, then the base work.
    void Destroy(int32_t releaseAll) override;
    // Also goes with one of its image surfaces.
    int32_t OnObjectDeleted(CIBaseClassImpl* object) override;

    // Images of an owner-drawn button: normal, pressed, disabled (counted
    // references on the surfaces).
    enum Image { kNormalImage, kPressedImage, kDisabledImage, kImageCount };
    CIBaseClassImpl* m_images[kImageCount] = {};

protected:
    void ApplyDefaults(const CValue* const* extras) override;

private:
    int32_t OnClick() { return StoreHandler(kOnClick); }
    int32_t OnDblClick() { return StoreHandler(kOnDblClick); }
    int32_t OnSetFocus() { return StoreHandler(kOnSetFocus); }
    int32_t OnKillFocus() { return StoreHandler(kOnKillFocus); }
};

class CICheckBox : public CINotifyControl {
public:
    explicit CICheckBox(CInterpretor* interpretor);
    void CallMember(int32_t memberId) override;
    bool Notify(int32_t code) override;

protected:
    void ApplyDefaults(const CValue* const* extras) override;

private:
    void PostCheck();
    int32_t IsChecked() { return IsCheckedMember(); }
    int32_t SetCheck();
    int32_t OnDblClick() { return StoreHandler(kOnDblClick); }
    int32_t OnSetFocus() { return StoreHandler(kOnSetFocus); }
    int32_t OnKillFocus() { return StoreHandler(kOnKillFocus); }
    int32_t OnClick() { return StoreHandler(kOnClick); }
    int32_t OnCheck() { return StoreHandler(kOnCheck); }
};

class CIRadioButton : public CINotifyControl {
public:
    explicit CIRadioButton(CInterpretor* interpretor);
    void CallMember(int32_t memberId) override;
    bool Notify(int32_t code) override;

    // Unchecks the checked buttons of the same group in the same parent
    // window (each with a state update), then checks this one when `self`.
    void ApplyGroupRule(bool updateSelf);
    // Reads BM_GETCHECK into the recorded state and posts "OnCheck".
    void UpdateState();

    int32_t m_checked = 0;
    int32_t m_group = 0;

private:
    int32_t IsChecked() { return IsCheckedMember(); }
    int32_t SetCheck();
    int32_t SetGroupNumber();
    int32_t GetGroupNumber();
    int32_t OnDblClick() { return StoreHandler(kOnDblClick); }
    int32_t OnSetFocus() { return StoreHandler(kOnSetFocus); }
    int32_t OnKillFocus() { return StoreHandler(kOnKillFocus); }
    int32_t OnClick() { return StoreHandler(kOnClick); }
    int32_t OnCheck() { return StoreHandler(kOnCheck); }
};

class CIGroupBox : public CINotifyControl {
public:
    explicit CIGroupBox(CInterpretor* interpretor);
    void CallMember(int32_t memberId) override;
    // Never a border, whatever the arguments say.
    uint32_t AssignInstanceNumber() override;
    void Destroy(int32_t releaseAll) override;
    // Redraws (frame included) every visible group box of the interpreter.
    static void RedrawAll(CInterpretor* interpretor);
};

void RegisterButtonClasses();
