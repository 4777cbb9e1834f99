#include "ui/ci_static_text.h"

#include "runtime/interp/interpretor.h"
#include "ui/ci_static_text_members.h"
#include "ui/os_controls.h"
#include "ui/os_window.h"

#include <algorithm>
#include <vector>

namespace {

constexpr uint32_t kStaticStyle = 0x44000100;  // WS_CHILD, WS_CLIPSIBLINGS, SS_NOTIFY
// "BLACKFRAME" ... "WHITERECT": the SS_ values.
const uint32_t kStaticConstants[] = {0x07, 0x04, 0x01, 0x12, 0x10, 0x11, 0x08, 0x05, 0x00,
                                     0x0C, 0x80, 0x02, 0x0B, 0x1000, 0x09, 0x06, 0xFFFFFFFFu};
constexpr int32_t kStnClicked = 0, kStnDblClk = 1;

std::vector<CIStaticText*>& StaticTexts() {
    static std::vector<CIStaticText*> texts;
    return texts;
}

intptr_t StaticTextHook(int32_t* handled, void* w, uint32_t m, uintptr_t wp, intptr_t lp) {
    return CINotifyControl::HandleHook(kClassStaticText, kWmCtlColorStatic, 0, handled, w, m, wp, lp);
}

}  // namespace

CIStaticText::CIStaticText(CInterpretor* interpretor)
    : CINotifyControl(interpretor, kClassStaticText, "STATIC", &StaticTextHook) {
    SetDefaultRect(kUnsetCoordinate, kUnsetCoordinate, kUnsetCoordinate, kUnsetCoordinate, kStaticStyle, 0);
    AddConstantTable(kStaticConstants, kWindowTableId);
}

void CIStaticText::CallMember(int32_t memberId) {
    static const CDispatchEntry<CIStaticText> kHandlers[] = {TW_MEMBER(StaticText, OnClick),
                                                             TW_MEMBER(StaticText, OnDblClick)};
    if (memberId >= 1 && memberId <= 37)
        CallCommonMember(memberId);
    else
        DispatchMember(this, kHandlers, memberId);
}

void CIStaticText::ApplyDefaults(const CValue* const* extras) {
    CINotifyControl::ApplyDefaults(extras);
    if (m_x == kUnsetCoordinate) m_x = 10;
    if (m_y == kUnsetCoordinate) m_y = 10;
    if (m_width != kUnsetCoordinate && m_height != kUnsetCoordinate)
        return;
    int32_t cx = 0, cy = 0;
    GetTextSize(&cx, &cy);
    if (m_width == kUnsetCoordinate) m_width = cx + 10;
    if (m_height == kUnsetCoordinate) m_height = cy;
}

bool CIStaticText::Notify(int32_t code) {
    static const NotifyEntry kCodes[] = {{kStnClicked, kOnClick}, {kStnDblClk, kOnDblClick}};
    return NotifyByTable(kCodes, code, true);
}

uint32_t CIStaticText::AssignInstanceNumber() {
    const uint32_t number = CINotifyControl::AssignInstanceNumber();
    if (m_window != nullptr)
        StaticTexts().push_back(this);
    return number;
}

void CIStaticText::Destroy(int32_t releaseAll) {
    auto& texts = StaticTexts();
    texts.erase(std::remove(texts.begin(), texts.end(), this), texts.end());
    CINotifyControl::Destroy(releaseAll);
}

void CIStaticText::RedrawAll(CInterpretor* interpretor) {
    for (CIStaticText* text : StaticTexts())
        if (text->m_interpretor == interpretor && text->m_window != nullptr && OsIsWindowVisible(text->m_window))
            OsRedrawWindow(text->m_window, kRdwInvalidate | kRdwErase | kRdwUpdateNow);
}

void RegisterStaticTextClass() {
    RegisterClassBinding(kClassStaticText, {&MakeScriptObject<CIStaticText>, nullptr});
    CInterpretor::SetRedrawAllHook(CInterpretor::kRedrawStaticTexts, &CIStaticText::RedrawAll);
}
