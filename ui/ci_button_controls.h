#pragma once
// The script classes over the standard "BUTTON" window class: "Button",
// "CheckBox", "RadioButton" and "GroupBox".
#include "ui/ci_notify_control.h"

#include <cstdint>

struct OwnerDrawItem;
class CSurface;

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

    // The parent's WM_DRAWITEM for this button: the push-button frame, then
    // the image of the state on the face (nothing without a normal image).
    void DrawFace(const OwnerDrawItem& item);
    // The picture shown in a state: the pressed or disabled image when the
    // state has one, else the normal image, shifted while pushed or greyed
    // while disabled.
    CSurface* FaceImage(bool selected, bool disabled, bool* shifted, bool* greyed) const;

protected:
    void ApplyDefaults(const CValue* const* extras) override;

private:
    // The surface of an image value: a Surface object, or a picture of the
    // package named or numbered by the value, loaded into a surface of its
    // own (error 14 for another value or a resource of another kind, 9 when
    // the picture cannot be loaded).
    CIBaseClassImpl* ImageOf(const CValue* value);
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
