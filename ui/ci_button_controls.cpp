#include "ui/ci_button_controls.h"

#include "graphics2d/ci_surface.h"
#include "graphics2d/gdi_utils.h"
#include "graphics2d/image_bank.h"
#include "graphics2d/image_to_surface.h"
#include "graphics2d/os_gdi.h"
#include "runtime/interp/interpretor.h"
#include "runtime/package/program_container.h"
#include "ui/ci_button_members.h"
#include "ui/ci_check_box_members.h"
#include "ui/ci_group_box_members.h"
#include "ui/ci_radio_button_members.h"
#include "ui/image_button_face.h"
#include "ui/os_controls.h"
#include "ui/os_window.h"

#include <algorithm>
#include <new>
#include <vector>

namespace {

constexpr int32_t kColorBtnText = 18, kColor3DShadow = 16, kColor3DHighlight = 20;
constexpr uint32_t kCheckBoxStyle = 0x44004003, kRadioStyle = 0x44004004, kButtonStyle = 0x44004000,
                   kGroupBoxStyle = 0x44020007, kExTransparent = 0x20,
                   kBsOwnerDraw = 0xB;
// "LEFT", "RIGHT", "RIGHTBUTTON" of check boxes and radio buttons.
const uint32_t kAlignConstants[] = {0x100, 0x200, 0x20, 0xFFFFFFFFu};

int32_t Given(int32_t value) { return value != kUnsetCoordinate; }

// The group boxes alive, for the redraw at the end of each refresh pass.
std::vector<CIGroupBox*>& GroupBoxes() {
    static std::vector<CIGroupBox*> boxes;
    return boxes;
}

intptr_t ButtonHook(int32_t* handled, void* w, uint32_t m, uintptr_t wp, intptr_t lp) {
    OwnerDrawItem item;
    if (m == kWmDrawItem && OsReadDrawItem(lp, &item)) {
        CIChildWindow* object = WindowObjectOf(item.window);
        if (object == nullptr || object->m_classId != kClassButton)
            return 0;
        static_cast<CIButton*>(object)->DrawFace(item);
        *handled = 1;
        return 0;
    }
    return CINotifyControl::HandleHook(kClassButton, kWmCtlColorBtn, kWmCtlColorStatic, handled, w, m, wp, lp);
}
intptr_t CheckBoxHook(int32_t* handled, void* w, uint32_t m, uintptr_t wp, intptr_t lp) {
    return CINotifyControl::HandleHook(kClassCheckBox, kWmCtlColorBtn, kWmCtlColorStatic, handled, w, m, wp, lp);
}
intptr_t RadioHook(int32_t* handled, void* w, uint32_t m, uintptr_t wp, intptr_t lp) {
    return CINotifyControl::HandleHook(kClassRadioButton, kWmCtlColorBtn, kWmCtlColorStatic, handled, w, m, wp, lp);
}
intptr_t GroupBoxHook(int32_t* handled, void* w, uint32_t m, uintptr_t wp, intptr_t lp) {
    return CINotifyControl::HandleHook(kClassGroupBox, kWmCtlColorStatic, 0, handled, w, m, wp, lp);
}

}  // namespace

// ---- Button ----

CIButton::CIButton(CInterpretor* interpretor) : CINotifyControl(interpretor, kClassButton, "BUTTON", &ButtonHook) {
    SetDefaultRect(kUnsetCoordinate, kUnsetCoordinate, kUnsetCoordinate, kUnsetCoordinate, kButtonStyle, 0);
    m_textColour = OsGetSysColor(kColorBtnText);
    SetBackColorValue(OsGetSysColor(kColor3DFace));
}

void CIButton::CallMember(int32_t memberId) {
    static const CDispatchEntry<CIButton> kHandlers[] = {
        TW_MEMBER(Button, OnClick), TW_MEMBER(Button, OnDblClick), TW_MEMBER(Button, OnSetFocus),
        TW_MEMBER(Button, OnKillFocus)};
    if (memberId >= 1 && memberId <= 37)
        CallCommonMember(memberId);
    else
        DispatchMember(this, kHandlers, memberId);
}

void CIButton::ApplyDefaults(const CValue* const* extras) {
    // Extra values are images, at most three: the kinds are checked before
    // any picture is loaded. Any image makes the button owner-drawn.
    for (int32_t i = 0; extras[i] != nullptr; ++i) {
        const CValue* v = extras[i];
        if (i >= kImageCount ||
            !(v->IsObjectOfClass(kClassSurface) || v->GetTag() == CValue::kInt || v->GetTag() == CValue::kText))
            RaiseError(m_interpretor, 14);
    }
    static const Image kOrder[kImageCount] = {kNormalImage, kPressedImage, kDisabledImage};
    for (int32_t i = 0; extras[i] != nullptr; ++i) {
        CIBaseClassImpl* surface = ImageOf(extras[i]);
        ++surface->m_refCount;
        m_images[kOrder[i]] = surface;
    }
    if (m_images[kNormalImage] != nullptr)
        m_style = (m_style & ~0xFu) | kBsOwnerDraw;
    int32_t cx = 0, cy = 0;
    GetTextSize(&cx, &cy);
    if (!Given(m_x)) m_x = 10;
    if (!Given(m_y)) m_y = 10;
    if (!Given(m_width)) m_width = cx + 20;
    if (!Given(m_height)) m_height = std::max(cy + 5, 20);
}

CIBaseClassImpl* CIButton::ImageOf(const CValue* value) {
    if (value->IsObjectOfClass(kClassSurface))
        return value->GetObject();
    CProgramContainer* package = PackageOf(m_interpretor);
    const bool number = value->GetTag() == CValue::kInt;
    const char* name = number ? nullptr : value->GetStringNonNull();
    CElement* element = nullptr;
    if (package != nullptr)
        element = number ? package->GetElement(value->GetInt(), kBankPictures)
                         : package->FindElement(name, kBankPictures);
    if (element != nullptr && dynamic_cast<CImageElement*>(element) == nullptr)
        RaiseError(m_interpretor, 14);  // a full name into another bank
    if (element == nullptr && package != nullptr && !number)
        for (uint32_t bank = kBankSources; bank <= kBankBinary; ++bank)
            if (bank != kBankPictures && package->FindElement(name, bank) != nullptr)
                RaiseError(m_interpretor, 14);
    if (element == nullptr && number)
        RaiseError(m_interpretor, 9);
    CISurface* image = new (std::nothrow) CISurface(m_interpretor);
    if (image == nullptr)
        RaiseError(m_interpretor, 15);
    try {
        if (element != nullptr)
            image->CreateFromBankImage(static_cast<CImageElement*>(element));
        else
            image->CreateFromImage(name, kSurfaceImageDepth | kSurfaceImagePalette);  // a disk file
    } catch (const CIError&) {
        image->Destroy(0);
        RaiseError(m_interpretor, 9);
    }
    return image;
}

CSurface* CIButton::FaceImage(bool selected, bool disabled, bool* shifted, bool* greyed) const {
    *shifted = *greyed = false;
    auto pictureOf = [](CIBaseClassImpl* image) {
        return image != nullptr ? static_cast<CISurface*>(image)->GetPicture() : nullptr;
    };
    if (selected && m_images[kPressedImage] != nullptr)
        return pictureOf(m_images[kPressedImage]);
    if (disabled && m_images[kDisabledImage] != nullptr)
        return pictureOf(m_images[kDisabledImage]);
    *shifted = selected;
    *greyed = disabled;
    return pictureOf(m_images[kNormalImage]);
}

void CIButton::DrawFace(const OwnerDrawItem& item) {
    if (!item.draw || m_images[kNormalImage] == nullptr)
        return;
    bool shifted = false, greyed = false;
    CSurface* image = FaceImage(item.selected, item.disabled, &shifted, &greyed);
    const CRect face = OsDrawPushButtonFrame(item.dc, item.rect, item.selected);
    if (image == nullptr || face.IsEmpty())
        return;
    // The face goes through a surface of its size: read from the device
    // context, the image drawn on it, written back.
    CSurface target, scratch;
    const CSurface* prototype = PrototypeLike(nullptr, 32);
    if (!target.CreateForDC(item.dc) || prototype == nullptr ||
        !scratch.Create(face.Width(), face.Height(), prototype))
        return;
    target.Blit(&scratch, 0, 0, face.left, face.top, face.Width(), face.Height(), 0, 0, 0, 0);
    DrawImageOnFace(&scratch, CRect(0, 0, face.Width(), face.Height()), image, shifted, greyed,
                    OsGetSysColor(kColor3DHighlight), OsGetSysColor(kColor3DShadow));
    void* palette = image->IsPaletted() ? GetHPalette(image->GetPalette()) : nullptr;
    void* old = palette != nullptr ? OsSelectPalette(item.dc, palette) : nullptr;
    if (palette != nullptr)
        OsRealizePalette(item.dc);
    scratch.Blit(&target, face.left, face.top, 0, 0, face.Width(), face.Height(), 0, 0, 0, 0);
    if (palette != nullptr)
        OsSelectPalette(item.dc, old);
}

void CIButton::Destroy(int32_t releaseAll) {
    for (CIBaseClassImpl*& image : m_images) {
        if (image != nullptr && image->m_refCount > 0)
            --image->m_refCount;
        image = nullptr;
    }
    CINotifyControl::Destroy(releaseAll);
}

int32_t CIButton::OnObjectDeleted(CIBaseClassImpl* object) {
    for (CIBaseClassImpl*& image : m_images) {
        if (object != nullptr && image == object) {
            if (image->m_refCount > 0)
                --image->m_refCount;
            image = nullptr;
            return 1;
        }
    }
    return CINotifyControl::OnObjectDeleted(object);
}

// ---- CheckBox ----

CICheckBox::CICheckBox(CInterpretor* interpretor) : CINotifyControl(interpretor, kClassCheckBox, "BUTTON", &CheckBoxHook) {
    SetDefaultRect(kUnsetCoordinate, kUnsetCoordinate, kUnsetCoordinate, kUnsetCoordinate, kCheckBoxStyle, 0);
    AddConstantTable(kAlignConstants, kWindowTableId);
}

void CICheckBox::CallMember(int32_t memberId) {
    static const CDispatchEntry<CICheckBox> kHandlers[] = {
        TW_MEMBER(CheckBox, IsChecked),   TW_MEMBER(CheckBox, SetCheck), TW_MEMBER(CheckBox, OnDblClick),
        TW_MEMBER(CheckBox, OnSetFocus),  TW_MEMBER(CheckBox, OnKillFocus), TW_MEMBER(CheckBox, OnClick),
        TW_MEMBER(CheckBox, OnCheck)};
    if (memberId >= 1 && memberId <= 37)
        CallCommonMember(memberId);
    else
        DispatchMember(this, kHandlers, memberId);
}

void CICheckBox::ApplyDefaults(const CValue* const* extras) {
    CINotifyControl::ApplyDefaults(extras);
    int32_t cx = 0, cy = 0;
    GetTextSize(&cx, &cy);
    if (!Given(m_x)) m_x = 10;
    if (!Given(m_y)) m_y = 10;
    if (!Given(m_width)) m_width = cx + 30;
    if (!Given(m_height)) m_height = std::max(cy + 2, 12);
}

void CICheckBox::PostCheck() {
    PostButtonEvent(kOnCheck, 1, OsSendMessage(m_window, kBmGetCheck, 0, 0) == kBstChecked ? 1 : 0);
}

bool CICheckBox::Notify(int32_t code) {
    const bool handled = CINotifyControl::Notify(code);
    if (code == kBnClicked || code == kBnDblClk)
        PostCheck();
    return handled;
}

int32_t CICheckBox::SetCheck() {
    const int32_t flag = GetArgCount(m_interpretor) > 0 && !IsArgDefault(m_interpretor, 0) ? GetArgInt(m_interpretor, 0) : 1;
    const bool want = flag != 0;
    if (want != (OsSendMessage(m_window, kBmGetCheck, 0, 0) != 0)) {
        OsSendMessage(m_window, kBmSetCheck, want ? 1 : 0, 0);
        PostCheck();
    }
    return 0;
}

// ---- RadioButton ----

CIRadioButton::CIRadioButton(CInterpretor* interpretor) : CINotifyControl(interpretor, kClassRadioButton, "BUTTON", &RadioHook) {
    SetDefaultRect(10, 10, 100, 30, kRadioStyle, 0);
    AddConstantTable(kAlignConstants, kWindowTableId);
}

void CIRadioButton::CallMember(int32_t memberId) {
    static const CDispatchEntry<CIRadioButton> kHandlers[] = {
        TW_MEMBER(RadioButton, IsChecked),   TW_MEMBER(RadioButton, SetCheck),
        TW_MEMBER(RadioButton, SetGroupNumber), TW_MEMBER(RadioButton, GetGroupNumber),
        TW_MEMBER(RadioButton, OnDblClick),  TW_MEMBER(RadioButton, OnSetFocus),
        TW_MEMBER(RadioButton, OnKillFocus), TW_MEMBER(RadioButton, OnClick),
        TW_MEMBER(RadioButton, OnCheck)};
    if (memberId >= 1 && memberId <= 37)
        CallCommonMember(memberId);
    else
        DispatchMember(this, kHandlers, memberId);
}

void CIRadioButton::UpdateState() {
    const bool checked = OsSendMessage(m_window, kBmGetCheck, 0, 0) == kBstChecked;
    PostButtonEvent(kOnCheck, 1, checked ? 1 : 0);
    m_checked = checked ? 1 : 0;
}

void CIRadioButton::ApplyGroupRule(bool updateSelf) {
    for (int32_t i = 0; m_parent != nullptr && i < m_parent->GetControlCount(); ++i) {
        CIChildWindow* other = m_parent->GetControlAt(i);
        if (other == this || other->m_classId != kClassRadioButton)
            continue;
        auto* radio = static_cast<CIRadioButton*>(other);
        if (radio->m_group != m_group || !radio->m_checked)
            continue;
        OsSendMessage(radio->m_window, kBmSetCheck, 0, 0);
        radio->UpdateState();
    }
    OsSendMessage(m_window, kBmSetCheck, 1, 0);
    if (updateSelf)
        UpdateState();
}

bool CIRadioButton::Notify(int32_t code) {
    if (code == kBnClicked) {
        ApplyGroupRule(false);
        const bool handled = CINotifyControl::Notify(code);
        UpdateState();
        return handled;
    }
    if (code == kBnDblClk)
        ApplyGroupRule(false);
    return CINotifyControl::Notify(code);
}

int32_t CIRadioButton::SetCheck() {
    if (GetArgCount(m_interpretor) > 0 && !IsArgDefault(m_interpretor, 0) && GetArgInt(m_interpretor, 0) == 0) {
        OsSendMessage(m_window, kBmSetCheck, 0, 0);
        UpdateState();
    } else {
        ApplyGroupRule(true);
    }
    return 0;
}

int32_t CIRadioButton::SetGroupNumber() {
    if (GetArgCount(m_interpretor) > 0 && !IsArgDefault(m_interpretor, 0))
        m_group = GetArgInt(m_interpretor, 0);
    return 0;
}

int32_t CIRadioButton::GetGroupNumber() { return Answer(m_group); }

// ---- GroupBox ----

CIGroupBox::CIGroupBox(CInterpretor* interpretor) : CINotifyControl(interpretor, kClassGroupBox, "BUTTON", &GroupBoxHook) {
    SetDefaultRect(10, 10, 100, 30, kGroupBoxStyle, kExTransparent);
}

void CIGroupBox::CallMember(int32_t memberId) { CallCommonMember(memberId); }

uint32_t CIGroupBox::AssignInstanceNumber() {
    m_options1 |= kOptNoBorder;
    const uint32_t number = CINotifyControl::AssignInstanceNumber();
    if (m_window != nullptr)
        GroupBoxes().push_back(this);
    return number;
}

void CIGroupBox::Destroy(int32_t releaseAll) {
    auto& boxes = GroupBoxes();
    boxes.erase(std::remove(boxes.begin(), boxes.end(), this), boxes.end());
    CINotifyControl::Destroy(releaseAll);
}

void CIGroupBox::RedrawAll(CInterpretor* interpretor) {
    for (CIGroupBox* box : GroupBoxes())
        if (box->m_interpretor == interpretor && box->m_window != nullptr && OsIsWindowVisible(box->m_window))
            OsRedrawWindow(box->m_window, kRdwInvalidate | kRdwErase | kRdwFrame);
}

void RegisterButtonClasses() {
    RegisterClassBinding(kClassButton, {&MakeScriptObject<CIButton>, nullptr});
    RegisterClassBinding(kClassCheckBox, {&MakeScriptObject<CICheckBox>, nullptr});
    RegisterClassBinding(kClassRadioButton, {&MakeScriptObject<CIRadioButton>, nullptr});
    RegisterClassBinding(kClassGroupBox, {&MakeScriptObject<CIGroupBox>, nullptr});
    CInterpretor::SetRedrawAllHook(CInterpretor::kRedrawGroupBoxes, &CIGroupBox::RedrawAll);
}
