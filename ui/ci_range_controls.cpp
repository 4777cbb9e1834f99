#include "ui/ci_range_controls.h"

#include "runtime/base/sys_utils.h"
#include "ui/ci_edit.h"
#include "ui/ci_progress_bar_members.h"
#include "ui/ci_scroll_bar_members.h"
#include "ui/ci_slider_members.h"
#include "ui/ci_spin_members.h"
#include "ui/os_controls.h"
#include "ui/os_range_controls.h"
#include "ui/os_window.h"

#include <cstring>

namespace {

constexpr uint32_t kWmHScroll = 0x114, kWmVScroll = 0x115, kWmCtlColorScrollBar = 0x137;
constexpr uint32_t kSbsVert = 0x1, kTbsVert = 0x2, kUdsSetBuddyInt = 0x2;
constexpr int32_t kSbTop = 6, kSbBottom = 7, kSbThumbPosition = 4, kSbThumbTrack = 5;
constexpr uint32_t kRangeStyle = 0x44000000;
constexpr uint32_t kMaskWithText = 0x400005AF, kMaskWithoutText = 0x4000058F;

// Trackbar messages.
enum : uint32_t {
    kTbmGetPos = 0x400, kTbmGetRangeMin, kTbmGetRangeMax, kTbmGetTic, kTbmSetTic, kTbmSetPos, kTbmSetRange,
    kTbmClearTics = 0x409, kTbmSetSel, kTbmGetTicPos = 0x40F, kTbmGetNumTics, kTbmGetSelStart, kTbmGetSelEnd,
    kTbmClearSel, kTbmSetTicFreq, kTbmSetPageSize, kTbmGetPageSize, kTbmSetLineSize, kTbmGetLineSize,
    kTbmGetChannelRect = 0x41A, kTbmSetThumbLength, kTbmGetThumbLength,
};
// Up-down messages.
enum : uint32_t {
    kUdmSetRange = 0x465, kUdmGetRange, kUdmSetPos, kUdmGetPos, kUdmSetBuddy, kUdmGetBuddy, kUdmSetAccel,
    kUdmGetAccel, kUdmSetBase, kUdmGetBase,
};
// Progress bar messages.
enum : uint32_t {
    kPbmSetRange = 0x401, kPbmSetPos, kPbmDeltaPos, kPbmSetStep, kPbmStepIt, kPbmSetRange32, kPbmGetRange, kPbmGetPos,
};

// "HORZ", "VERT"; the slider's; the spin's; the progress bar's.
const uint32_t kScrollBarConstants[] = {0x0, 0x1, 0xFFFFFFFFu};
const uint32_t kSliderConstants[] = {0x1, 0x2, 0x0, 0x4, 0x0, 0x4, 0x0, 0x8, 0x10, 0x20, 0x40, 0x80, 0x100, 0xFFFFFFFFu};
const uint32_t kSpinConstants[] = {0x1, 0x4, 0x8, 0x20, 0x40, 0x80, 0xFFFFFFFFu};
const uint32_t kProgressBarConstants[] = {0x1, 0x4, 0xFFFFFFFFu};

// A member that is one message: an operand is a constant (arg -1) or an
// argument with its default; required members do nothing without argument 0.
struct CRangeRow {
    uint16_t memberId;
    uint32_t message;
    int8_t wArg;
    int32_t wValue;
    int8_t lArg;
    int32_t lValue;
    bool result;
    bool required;
};
constexpr int8_t kConst = -1;

const CRangeRow kSliderRows[] = {
    {kSliderGetPos, kTbmGetPos, kConst, 0, kConst, 0, true, false},
    {kSliderSetTick, kTbmSetTic, kConst, 0, 0, 0, false, true},
    {kSliderSetPos, kTbmSetPos, kConst, 1, 0, 0, false, true},
    {kSliderGetRangeMin, kTbmGetRangeMin, kConst, 0, kConst, 0, true, false},
    {kSliderGetRangeMax, kTbmGetRangeMax, kConst, 0, kConst, 0, true, false},
    {kSliderClearTick, kTbmClearTics, kConst, 1, kConst, 0, false, false},
    {kSliderGetNumTicks, kTbmGetNumTics, kConst, 0, kConst, 0, true, false},
    {kSliderGetSelectionStart, kTbmGetSelStart, kConst, 0, kConst, 0, true, false},
    {kSliderGetSelectionEnd, kTbmGetSelEnd, kConst, 0, kConst, 0, true, false},
    {kSliderClearSelection, kTbmClearSel, kConst, 1, kConst, 0, false, false},
    {kSliderSetTickFrequency, kTbmSetTicFreq, 0, 0, kConst, 0, false, true},
    {kSliderSetPageSize, kTbmSetPageSize, kConst, 0, 0, 0, false, true},
    {kSliderGetPageSize, kTbmGetPageSize, kConst, 0, kConst, 0, true, false},
    {kSliderSetLineSize, kTbmSetLineSize, kConst, 0, 0, 0, false, true},
    {kSliderGetLineSize, kTbmGetLineSize, kConst, 0, kConst, 0, true, false},
    {kSliderSetThumbLength, kTbmSetThumbLength, 0, 0, kConst, 0, false, true},
    {kSliderGetThumbLength, kTbmGetThumbLength, kConst, 0, kConst, 0, true, false},
};
const CRangeRow kSpinRows[] = {
    {kSpinGetPos, kUdmGetPos, kConst, 0, kConst, 0, true, false},
    {kSpinGetNAccel, kUdmGetAccel, kConst, 0, kConst, 0, true, false},
    {kSpinSetBase, kUdmSetBase, 0, 0, kConst, 0, false, true},
    {kSpinGetBase, kUdmGetBase, kConst, 0, kConst, 0, true, false},
};
const CRangeRow kProgressBarRows[] = {
    {kProgressBarSetPos, kPbmSetPos, 0, 0, kConst, 0, false, true},
    {kProgressBarDeltaPos, kPbmDeltaPos, 0, 0, kConst, 0, false, true},
    {kProgressBarSetStep, kPbmSetStep, 0, 0, kConst, 0, false, true},
    {kProgressBarStepIt, kPbmStepIt, kConst, 0, kConst, 0, false, false},
    {kProgressBarGetRangeMin, kPbmGetRange, kConst, 1, kConst, 0, true, false},
    {kProgressBarGetRangeMax, kPbmGetRange, kConst, 0, kConst, 0, true, false},
    {kProgressBarGetPos, kPbmGetPos, kConst, 0, kConst, 0, true, false},
};

// Runs the row of the member; false when the table has none.
template <std::size_t N>
bool CallRow(CInterpretor* in, void* window, const CRangeRow (&rows)[N], int32_t memberId) {
    for (const CRangeRow& row : rows) {
        if (row.memberId != memberId)
            continue;
        auto operand = [&](int8_t arg, int32_t value) -> int32_t {
            if (arg == kConst || arg >= GetArgCount(in) || IsArgDefault(in, arg))
                return value;
            return GetArgInt(in, arg);
        };
        if (row.required && (GetArgCount(in) < 1 || IsArgDefault(in, 0)))
            return true;
        const intptr_t answer = OsSendMessage(window, row.message, static_cast<uintptr_t>(operand(row.wArg, row.wValue)),
                                              operand(row.lArg, row.lValue));
        if (row.result)
            Result(in)->SetInt(static_cast<int32_t>(answer));
        return true;
    }
    return false;
}

uint32_t PackLowHigh(int32_t low, int32_t high) {
    return (static_cast<uint32_t>(high) << 16) | (static_cast<uint32_t>(low) & 0xFFFF);
}

bool IsScrollMessage(uint32_t message) { return message == kWmHScroll || message == kWmVScroll; }

intptr_t ScrollBarHook(int32_t* handled, void* window, uint32_t message, uintptr_t wParam, intptr_t lParam) {
    if (IsScrollMessage(message)) {
        CIBaseClassImpl* object = nullptr;
        if (lParam != 0) {
            object = WindowObjectOf(reinterpret_cast<void*>(lParam));
        } else if (CIWindow* owner = ScriptWindowOf(window)) {
            object = message == kWmHScroll ? owner->m_hScrollBar : owner->m_vScrollBar;
        }
        if (object == nullptr || object->m_classId != kClassScrollBar)
            return 0;
        *handled = 1;
        // The tick inside may delete the bar or its window: nothing touches
        // either after it.
        static_cast<CIScrollBar*>(object)->Scrolled(static_cast<int32_t>(wParam & 0xFFFF),
                                                    static_cast<int32_t>((wParam >> 16) & 0xFFFF));
        return 0;
    }
    if (message == kWmCtlColorScrollBar && lParam != 0) {
        CIChildWindow* object = WindowObjectOf(reinterpret_cast<void*>(lParam));
        if (object == nullptr || object->m_classId != kClassScrollBar ||
            static_cast<CIScrollBar*>(object)->m_defaultColour)
            return 0;
        OsSetControlColours(reinterpret_cast<void*>(wParam), object->m_textColour, object->m_backColour);
        *handled = 1;
        return reinterpret_cast<intptr_t>(object->m_brush);
    }
    return 0;
}

// The slider's and the spin's hook: a scroll message from a control of the class.
CIRangeControl* ScrollSource(uint32_t classId, uint32_t message, intptr_t lParam) {
    if (!IsScrollMessage(message) || lParam == 0)
        return nullptr;
    CIChildWindow* object = WindowObjectOf(reinterpret_cast<void*>(lParam));
    return object != nullptr && object->m_classId == classId ? static_cast<CIRangeControl*>(object) : nullptr;
}

intptr_t SliderHook(int32_t* handled, void*, uint32_t message, uintptr_t wParam, intptr_t lParam) {
    auto* slider = static_cast<CISlider*>(ScrollSource(kClassSlider, message, lParam));
    if (slider == nullptr)
        return 0;
    *handled = 1;
    if (slider->m_onScroll != nullptr) {
        CValue self(slider);
        CValue pos(slider->m_interpretor, static_cast<int32_t>(OsSendMessage(slider->m_window, kTbmGetPos, 0, 0)));
        CValue code(slider->m_interpretor, static_cast<int32_t>(wParam & 0xFFFF));
        const CValue* args[3] = {&self, &pos, &code};
        PostEventCoalesced(slider->m_interpretor, slider->m_onScroll, slider, args, 3);
    }
    return 0;
}

intptr_t SpinHook(int32_t* handled, void*, uint32_t message, uintptr_t wParam, intptr_t lParam) {
    auto* spin = static_cast<CISpin*>(ScrollSource(kClassSpin, message, lParam));
    if (spin == nullptr)
        return 0;
    *handled = 1;
    if (spin->m_onScroll != nullptr) {
        CValue self(spin);
        CValue pos(spin->m_interpretor, static_cast<int32_t>((wParam >> 16) & 0xFFFF));
        const CValue* args[2] = {&self, &pos};
        PostEventCoalesced(spin->m_interpretor, spin->m_onScroll, spin, args, 2);
    }
    return 0;
}

intptr_t ProgressBarHook(int32_t*, void*, uint32_t, uintptr_t, intptr_t) { return 0; }

}  // namespace

// ---- shared ----

CIRangeControl::CIRangeControl(CInterpretor* interpretor, uint32_t classId, const char* windowClass,
                               WindowMessageHook hook, uint32_t createMask)
    : CINotifyControl(interpretor, classId, windowClass, hook), m_createMask(createMask) {
    SetDefaultRect(10, 10, 100, 30, kRangeStyle, 0);
}

void CIRangeControl::ConstructFromArgs() {
    const CValue* extras[kMaxExtras + 1];
    const int32_t width = m_width, height = m_height;
    m_width = m_height = kUnsetCoordinate;
    ParseCreateArguments(m_createMask, extras, 0, 100);
    const bool widthGiven = m_width != kUnsetCoordinate, heightGiven = m_height != kUnsetCoordinate;
    if (!widthGiven)
        m_width = width;
    if (!heightGiven)
        m_height = height;
    ApplyArguments(extras, widthGiven, heightGiven);
    CreateAndAttach();
}

void CIRangeControl::ApplyArguments(const CValue* const* extras, bool, bool) { ApplyDefaults(extras); }

int32_t CIRangeControl::StoreOnScroll() {
    m_onScroll = ReadAssignedFunction(m_interpretor);
    return 0;
}

bool CIRangeControl::Given(int32_t i) { return i < GetArgCount(m_interpretor) && !IsArgDefault(m_interpretor, i); }

int32_t CIRangeControl::IntArg(int32_t i, int32_t fallback) {
    return Given(i) ? GetArgInt(m_interpretor, i) : fallback;
}

intptr_t CIRangeControl::Send(uint32_t message, uintptr_t wParam, intptr_t lParam) {
    return OsSendMessage(m_window, message, wParam, lParam);
}

void CIRangeControl::PostScroll(int32_t argc, int32_t a1, int32_t a2) {
    if (m_onScroll == nullptr)
        return;
    CValue self(this);
    CValue v1(m_interpretor, a1), v2(m_interpretor, a2);
    const CValue* args[3] = {&self, &v1, &v2};
    PostEventCoalesced(m_interpretor, m_onScroll, this, args, 1 + argc);
}

// ---- ScrollBar ----

CIScrollBar::CIScrollBar(CInterpretor* interpretor)
    : CIRangeControl(interpretor, kClassScrollBar, "SCROLLBAR", &ScrollBarHook, kMaskWithoutText) {
    AddConstantTable(kScrollBarConstants, kWindowTableId);
}

void CIScrollBar::ApplyArguments(const CValue* const* extras, bool widthGiven, bool heightGiven) {
    ApplyDefaults(extras);
    DefaultBarSize((m_style & kSbsVert) != 0, widthGiven, heightGiven, OsGetSystemMetric(kSmCyHScroll),
                   OsGetSystemMetric(kSmCxVScroll), &m_width, &m_height);
    m_defaultColour = 1;
}

void CIScrollBar::CreateAndAttach() {
    CreateBar(nullptr);
    AssignInstanceNumber();
}

void CIScrollBar::CreateBar(void* existing) {
    m_textColour = OsGetSysColor(kColorScrollBar);
    if (m_brushOwned)
        OsDeleteBrush(m_brush);
    m_brush = OsGetSysColorBrush(kColorScrollBar);
    m_brushOwned = 0;
    if (existing == nullptr) {
        if (CreateControlWindow("SCROLLBAR", nullptr, nullptr, 3) == nullptr)
            return;
    } else {
        m_window = existing;
    }
    if (m_parent != nullptr)
        m_parent->AddMessageHook(&ScrollBarHook);
    OsScrollInfo info;
    info.min = 0;
    info.max = 100;
    info.page = 1;
    info.pos = 0;
    OsSetScrollInfo(m_window, Bar(), kSifRange | kSifPage | kSifPos | kSifDisableNoScroll, info, true);
}

CIScrollBar* CIScrollBar::AttachToWindow(CIWindow* window, uint32_t style) {
    auto* bar = new (std::nothrow) CIScrollBar(window->m_interpretor);
    if (bar == nullptr)
        return nullptr;
    bar->m_standalone = 0;
    bar->m_scriptCreated = 0;
    bar->m_style = style;
    bar->m_parent = window;
    bar->m_owner = window;
    bar->CreateBar(window->m_window);
    bar->AssignInstanceNumber();
    return bar;
}

int32_t CIScrollBar::Bar() const {
    if (m_standalone)
        return kSbCtl;
    return (m_style & kSbsVert) ? kSbVert : kSbHorz;
}

void CIScrollBar::Destroy(int32_t releaseAll) {
    if (!m_standalone) {
        // The window is the owner's own: it stays.
        m_window = nullptr;
        m_propertySet = 0;
        if (m_owner != nullptr) {
            if (m_owner->m_hScrollBar == this)
                m_owner->m_hScrollBar = nullptr;
            if (m_owner->m_vScrollBar == this)
                m_owner->m_vScrollBar = nullptr;
        }
        m_owner = nullptr;
    }
    CINotifyControl::Destroy(releaseAll);
}

void CIScrollBar::SetBackColorValue(uint32_t colour) {
    CIChildWindow::SetBackColorValue(colour);
    m_defaultColour = 0;
}

void CIScrollBar::Scrolled(int32_t code, int32_t thumb) {
    const int32_t bar = Bar();
    int32_t position = thumb;
    if (code == kSbThumbPosition || code == kSbThumbTrack) {
        OsSetScrollPos(m_window, bar, position, true);
    } else {
        OsScrollInfo info;
        OsGetScrollInfo(m_window, bar, &info);
        position = info.pos;
        switch (code) {
        case kSbLineUp: position -= 1; break;
        case kSbLineDown: position += 1; break;
        case kSbPageUp: position -= static_cast<int32_t>(info.page); break;
        case kSbPageDown: position += static_cast<int32_t>(info.page); break;
        case kSbTop: position = info.min; break;
        case kSbBottom: position = info.max; break;
        default: break;
        }
        OsSetScrollPos(m_window, bar, position, true);
        position = OsGetScrollPos(m_window, bar);
    }
    PostScroll(2, position, code);
    RunTick(m_interpretor);
}

int32_t CIScrollBar::LeftPos() {
    if (m_standalone || m_parent == nullptr)
        return m_x;
    return Bar() == kSbVert ? m_parent->m_width - OsGetSystemMetric(kSmCxVScroll) : 0;
}

int32_t CIScrollBar::TopPos() {
    if (m_standalone || m_parent == nullptr)
        return m_y;
    return Bar() == kSbVert ? 0 : m_parent->m_height - OsGetSystemMetric(kSmCyHScroll);
}

int32_t CIScrollBar::WidthValue() {
    if (m_standalone || m_parent == nullptr)
        return m_width;
    return Bar() == kSbVert ? OsGetSystemMetric(kSmCxVScroll) : m_parent->m_width;
}

int32_t CIScrollBar::HeightValue() {
    if (m_standalone || m_parent == nullptr)
        return m_height;
    return Bar() == kSbVert ? m_parent->m_height : OsGetSystemMetric(kSmCyHScroll);
}

bool CIScrollBar::CallOwnBarGeometry(int32_t memberId) {
    switch (memberId) {
    case kScrollBarGetX: Answer(LeftPos()); return true;
    case kScrollBarGetY: Answer(TopPos()); return true;
    case kScrollBarGetWidth: Answer(WidthValue()); return true;
    case kScrollBarGetHeight: Answer(HeightValue()); return true;
    default: break;
    }
    // Mouse and conversions: the window's answer made relative to the bar.
    const bool xAxis = memberId == kScrollBarGetXMouse || memberId == kScrollBarGetXScreen ||
                       memberId == kScrollBarGetXWindow;
    const bool yAxis = memberId == kScrollBarGetYMouse || memberId == kScrollBarGetYScreen ||
                       memberId == kScrollBarGetYWindow;
    if (!xAxis && !yAxis)
        return false;
    CallCommonMember(memberId);
    const int32_t offset = xAxis ? LeftPos() : TopPos();
    Answer(Result(m_interpretor)->GetInt() - offset);
    return true;
}

void CIScrollBar::CallMember(int32_t memberId) {
    static const CDispatchEntry<CIScrollBar> kHandlers[] = {
        TW_MEMBER(ScrollBar, GetPos),      TW_MEMBER(ScrollBar, SetRange), TW_MEMBER(ScrollBar, SetPos),
        TW_MEMBER(ScrollBar, SetPageSize), TW_MEMBER(ScrollBar, OnScroll),
    };
    if (memberId >= 1 && memberId <= 37) {
        if (m_standalone || !CallOwnBarGeometry(memberId))
            CallCommonMember(memberId);
        return;
    }
    DispatchMember(this, kHandlers, memberId);
}

int32_t CIScrollBar::GetPos() { return Answer(OsGetScrollPos(m_window, Bar())); }

int32_t CIScrollBar::SetRange() {
    OsScrollInfo info;
    info.min = IntArg(0, 0);
    info.max = IntArg(1, 0);
    PutInOrder(&info.min, &info.max);
    OsSetScrollInfo(m_window, Bar(), kSifRange | kSifDisableNoScroll, info, true);
    return 0;
}

int32_t CIScrollBar::SetPos() {
    OsScrollInfo info;
    info.pos = IntArg(0, 0);
    OsSetScrollInfo(m_window, Bar(), kSifPos | kSifDisableNoScroll, info, true);
    return 0;
}

int32_t CIScrollBar::SetPageSize() {
    if (!Given(0))
        return 0;
    OsScrollInfo info;
    info.page = static_cast<uint32_t>(GetArgInt(m_interpretor, 0));
    OsSetScrollInfo(m_window, Bar(), kSifPage | kSifDisableNoScroll, info, true);
    return 0;
}

// ---- Slider ----

CISlider::CISlider(CInterpretor* interpretor)
    : CIRangeControl(interpretor, kClassSlider, "msctls_trackbar32", &SliderHook, kMaskWithoutText) {
    AddConstantTable(kSliderConstants, kWindowTableId);
}

void CISlider::ApplyArguments(const CValue* const* extras, bool widthGiven, bool heightGiven) {
    ApplyDefaults(extras);
    DefaultBarSize((m_style & kTbsVert) != 0, widthGiven, heightGiven, OsGetSystemMetric(kSmCyHScroll),
                   OsGetSystemMetric(kSmCxVScroll), &m_width, &m_height);
}

void CISlider::CallMember(int32_t memberId) {
    static const CDispatchEntry<CISlider> kHandlers[] = {
        TW_MEMBER(Slider, SetRange),   TW_MEMBER(Slider, GetTick),    TW_MEMBER(Slider, SetSelection),
        TW_MEMBER(Slider, GetTickPos), TW_MEMBER(Slider, OnScroll),
    };
    if (memberId >= 1 && memberId <= 37)
        CallCommonMember(memberId);
    else if (!CallRow(m_interpretor, m_window, kSliderRows, memberId))
        DispatchMember(this, kHandlers, memberId);
}

int32_t CISlider::SetRange() {
    int32_t low = Given(0) ? GetArgInt(m_interpretor, 0) : static_cast<int32_t>(Send(kTbmGetRangeMin));
    int32_t high = Given(1) ? GetArgInt(m_interpretor, 1) : static_cast<int32_t>(Send(kTbmGetRangeMax));
    PutInOrder(&low, &high);
    Send(kTbmSetRange, 1, static_cast<intptr_t>(PackLowHigh(low, high)));
    return 0;
}

int32_t CISlider::GetTick() {
    const int32_t i = IntArg(0, 0);
    const int32_t n = static_cast<int32_t>(Send(kTbmGetNumTics));
    if (i == 0)
        return Answer(static_cast<int32_t>(Send(kTbmGetRangeMin)));
    if (i > 0 && i < n - 1)
        return Answer(static_cast<int32_t>(Send(kTbmGetTic, static_cast<uintptr_t>(i - 1))));
    return Answer(static_cast<int32_t>(Send(kTbmGetRangeMax)));
}

int32_t CISlider::SetSelection() {
    int32_t start = Given(0) ? GetArgInt(m_interpretor, 0) : static_cast<int32_t>(Send(kTbmGetSelStart));
    int32_t end = Given(1) ? GetArgInt(m_interpretor, 1) : static_cast<int32_t>(Send(kTbmGetSelEnd));
    PutInOrder(&start, &end);
    Send(kTbmSetSel, 1, static_cast<intptr_t>(PackLowHigh(start, end)));
    return 0;
}

int32_t CISlider::GetTickPos() {
    const int32_t i = IntArg(0, 0);
    const int32_t n = static_cast<int32_t>(Send(kTbmGetNumTics));
    if (i != 0 && i != n - 1)
        return Answer(static_cast<int32_t>(Send(kTbmGetTicPos, static_cast<uintptr_t>(i - 1))));
    int32_t rect[4] = {};  // left, top, right, bottom
    Send(kTbmGetChannelRect, 0, reinterpret_cast<intptr_t>(rect));
    const bool vertical = (OsGetWindowStyle(m_window, true) & kTbsVert) != 0;
    if (i == 0)
        return Answer(vertical ? rect[1] : rect[0]);
    return Answer(vertical ? rect[3] : rect[2]);
}

// ---- Spin ----

CISpin::CISpin(CInterpretor* interpretor)
    : CIRangeControl(interpretor, kClassSpin, "msctls_updown32", &SpinHook, kMaskWithText) {
    AddConstantTable(kSpinConstants, kWindowTableId);
}

void CISpin::ApplyArguments(const CValue* const* extras, bool, bool) {
    for (int32_t i = 0; extras[i] != nullptr && m_buddy == nullptr; ++i)
        if (extras[i]->IsObjectOfClass(kClassEdit))
            m_buddy = static_cast<CIEdit*>(extras[i]->GetObject());
}

void CISpin::CreateAndAttach() {
    static int32_t nextId = 0x6000;
    m_style |= kWsVisible | kUdsSetBuddyInt;
    if (m_options1 & kOptHidden)
        m_style &= ~kWsVisible;
    void* parent = m_parent != nullptr ? m_parent->m_window : nullptr;
    void* buddy = m_buddy != nullptr ? m_buddy->m_window : nullptr;
    void* window = OsCreateUpDown(m_style, m_x, m_y, m_width, m_height, parent, nextId++, buddy, 100, 0, 0);
    if (window == nullptr || CreateControlWindow(nullptr, nullptr, window, 3) == nullptr)
        return;
    if (m_parent != nullptr)
        m_parent->AddMessageHook(&SpinHook);
    AssignInstanceNumber();
}

int32_t CISpin::OnObjectDeleted(CIBaseClassImpl* object) {
    if (object != nullptr && object == static_cast<CIBaseClassImpl*>(m_buddy)) {
        m_buddy = nullptr;
        SetBusyOnce();
        return 1;
    }
    return CIRangeControl::OnObjectDeleted(object);
}

void CISpin::CallMember(int32_t memberId) {
    static const CDispatchEntry<CISpin> kHandlers[] = {
        TW_MEMBER(Spin, SetRange),    {kSpinGetRangeMin, &CISpin::GetRangeBound},
        {kSpinGetRangeMax, &CISpin::GetRangeBound}, TW_MEMBER(Spin, SetPos),
        TW_MEMBER(Spin, SetBuddy),    TW_MEMBER(Spin, GetBuddy),
        TW_MEMBER(Spin, AddAccel),    TW_MEMBER(Spin, RemoveAccel),
        TW_MEMBER(Spin, GetAccel),    TW_MEMBER(Spin, OnScroll),
    };
    if (memberId >= 1 && memberId <= 37)
        CallCommonMember(memberId);
    else if (!CallRow(m_interpretor, m_window, kSpinRows, memberId))
        DispatchMember(this, kHandlers, memberId);
}

int32_t CISpin::SetRange() {
    const uint32_t range = static_cast<uint32_t>(Send(kUdmGetRange));
    int32_t low = Given(0) ? GetArgInt(m_interpretor, 0) : static_cast<int32_t>(range >> 16);
    int32_t high = Given(1) ? GetArgInt(m_interpretor, 1) : static_cast<int32_t>(range & 0xFFFF);
    PutInOrder(&low, &high);
    // UDM_SETRANGE takes the maximum in the low word.
    Send(kUdmSetRange, 0, static_cast<intptr_t>(PackLowHigh(high, low)));
    return 0;
}

int32_t CISpin::GetRangeBound() {
    const uint32_t range = static_cast<uint32_t>(Send(kUdmGetRange));
    const bool min = GetCurrentMemberId(m_interpretor) == kSpinGetRangeMin;
    return Answer(static_cast<int32_t>(min ? range >> 16 : range & 0xFFFF));
}

int32_t CISpin::SetPos() {
    if (Given(0))
        Send(kUdmSetPos, 0, GetArgInt(m_interpretor, 0) & 0xFFFF);
    return 0;
}

int32_t CISpin::SetBuddy() {
    // Anything but an edit field is ignored.
    const CValue* arg = Given(0) ? GetArg(m_interpretor, 0) : nullptr;
    CIBaseClassImpl* object = arg != nullptr && arg->IsObjectOfClass(kClassEdit) ? arg->GetObject() : nullptr;
    if (object == nullptr)
        return 0;
    m_buddy = static_cast<CIEdit*>(object);
    Send(kUdmSetBuddy, reinterpret_cast<uintptr_t>(m_buddy->m_window));
    const uint32_t style = OsGetWindowStyle(m_window, true);
    if (m_window != nullptr && !(style & kUdsSetBuddyInt))
        OsSetWindowStyle(m_window, true, style | kUdsSetBuddyInt);
    return 0;
}

int32_t CISpin::GetBuddy() {
    void* window = reinterpret_cast<void*>(Send(kUdmGetBuddy));
    CIChildWindow* object = WindowObjectOf(window);
    if (object == nullptr || object->m_classId != kClassEdit) {
        m_buddy = nullptr;
        return Answer(0);
    }
    m_buddy = static_cast<CIEdit*>(object);
    Result(m_interpretor)->SetObject(m_buddy, 1);
    return 0;
}

CAccelStep* CISpin::ReadAccel(uint32_t* count) {
    const intptr_t n = Send(kUdmGetAccel);
    *count = n > 0 ? static_cast<uint32_t>(n) : 0;
    CAccelStep* steps = nullptr;
    if (!AllocRetry((*count + 1) * sizeof(CAccelStep), &steps))
        RaiseError(m_interpretor, 15);
    if (*count > 0)
        Send(kUdmGetAccel, *count, reinterpret_cast<intptr_t>(steps));
    return steps;
}

int32_t CISpin::AddAccel() {
    if (!Given(0))
        return 0;
    const CAccelStep step{Given(1) ? static_cast<uint32_t>(GetArgInt(m_interpretor, 1)) : 0x80000000u,
                          static_cast<uint32_t>(GetArgInt(m_interpretor, 0))};
    uint32_t count = 0;
    CAccelStep* steps = ReadAccel(&count);
    InsertAccelStep(steps, count, step);
    Send(kUdmSetAccel, count + 1, reinterpret_cast<intptr_t>(steps));
    FreeAndNull(&steps);
    return 0;
}

int32_t CISpin::RemoveAccel() {
    if (!Given(0))
        return 0;
    const uint32_t value = static_cast<uint32_t>(IntArg(1, 0));
    uint32_t count = 0;
    CAccelStep* steps = ReadAccel(&count);
    if (count > 0 && RemoveAccelStep(steps, count, value))
        Send(kUdmSetAccel, count - 1, reinterpret_cast<intptr_t>(steps));
    FreeAndNull(&steps);
    return 0;
}

int32_t CISpin::GetAccel() {
    uint32_t count = 0;
    CAccelStep* steps = ReadAccel(&count);
    CValue* result = Result(m_interpretor);
    try {
        result->MakeArray();
        for (uint32_t k = 0; k < count; ++k) {
            result->SetArrayItem(static_cast<int32_t>(2 * k),
                                 CValue(m_interpretor, static_cast<int32_t>(steps[k].seconds)));
            result->SetArrayItem(static_cast<int32_t>(2 * k + 1),
                                 CValue(m_interpretor, static_cast<int32_t>(steps[k].increment)));
        }
    } catch (...) {
        FreeAndNull(&steps);
        throw;
    }
    FreeAndNull(&steps);
    return 0;
}

// ---- ProgressBar ----

CIProgressBar::CIProgressBar(CInterpretor* interpretor)
    : CIRangeControl(interpretor, kClassProgressBar, "msctls_progress32", &ProgressBarHook, kMaskWithText) {
    AddConstantTable(kProgressBarConstants, kWindowTableId);
}

void CIProgressBar::CallMember(int32_t memberId) {
    static const CDispatchEntry<CIProgressBar> kHandlers[] = {TW_MEMBER(ProgressBar, SetRange)};
    if (memberId >= 1 && memberId <= 37)
        CallCommonMember(memberId);
    else if (!CallRow(m_interpretor, m_window, kProgressBarRows, memberId))
        DispatchMember(this, kHandlers, memberId);
}

int32_t CIProgressBar::SetRange() {
    int32_t low = IntArg(0, -32767), high = IntArg(1, 32767);
    PutInOrder(&low, &high);
    // PBM_SETRANGE's 16-bit words are unsigned to the control (-32767 would
    // be 32769): the 32-bit form keeps negative minimums.
    Send(kPbmSetRange32, static_cast<uintptr_t>(static_cast<intptr_t>(low)), high);
    return 0;
}

void RegisterRangeClasses() {
    RegisterClassBinding(kClassScrollBar, {&MakeScriptObject<CIScrollBar>, nullptr});
    RegisterClassBinding(kClassSlider, {&MakeScriptObject<CISlider>, nullptr});
    RegisterClassBinding(kClassSpin, {&MakeScriptObject<CISpin>, nullptr});
    RegisterClassBinding(kClassProgressBar, {&MakeScriptObject<CIProgressBar>, nullptr});
}
