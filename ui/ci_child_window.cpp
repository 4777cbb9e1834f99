#include "ui/ci_child_window.h"

#include "ui/ci_window.h"
#include "ui/os_window.h"

#include <algorithm>
#include <cstring>

namespace {

bool Given(int32_t value) { return value != kArgDefaultInt; }

uint32_t ToColorRef(uint32_t rgb) { return SwapRedBlue(rgb & 0xFFFFFF); }

constexpr uint32_t kPaletteRgb = 0x02000000u;  // nearest palette colour

}  // namespace

CIChildWindow* WindowObjectOf(void* window) {
    if (window == nullptr)
        return nullptr;
    return static_cast<CIChildWindow*>(OsGetObjectProperty(window));
}

CIChildWindow::CIChildWindow(CInterpretor* interpretor, uint32_t classId)
    : CIBaseClassImpl(interpretor, ClassRecordOf(interpretor, classId), classId, true),
      CIRefresh(interpretor, false),
      CIFontContainer(interpretor),
      m_style(kWsVisible),
      m_positionFlags(kSwpNothing),
      m_textColour(OsGetSysColor(kColorWindowText)),
      m_backColour(OsGetSysColor(kColorWindow)),
      m_privateData(interpretor) {
    CIFontContainer::SetFont(GetGuiFont(interpretor));
    m_brush = OsCreateSolidBrush(m_backColour | kPaletteRgb);
    m_brushOwned = 1;
    m_constants.Add(kCommonConstantTable, kCommonTableId);
}

CIChildWindow::~CIChildWindow() {
    if (m_brushOwned)
        OsDeleteBrush(m_brush);
}

// ---- base operations ----

void CIChildWindow::Destroy(int32_t) {
    if (m_window != nullptr) {
        void* window = m_window;
        m_window = nullptr;
        if (m_propertySet)
            OsRemoveObjectProperty(window);
        m_propertySet = 0;
        OsDestroyWindow(window);
    }
    if (m_brushOwned)
        OsDeleteBrush(m_brush);
    m_brush = nullptr;
    m_brushOwned = 0;
    if (m_parent != nullptr)
        m_parent->RemoveControl(this);
    m_parent = nullptr;
    Unregister();
    UnlinkFromClassList();
    DetachFonts();
}

int32_t CIChildWindow::OnObjectDeleted(CIBaseClassImpl* object) {
    if (object == nullptr || object != static_cast<CIBaseClassImpl*>(m_parent))
        return 0;
    SetBusyOnce();
    return 1;
}

uint32_t CIChildWindow::AssignInstanceNumber() {
    if (m_parent != nullptr)
        m_parent->AddControl(this);
    m_text = nullptr;
    return CIBaseClassImpl::AssignInstanceNumber();
}

void CIChildWindow::SetColorValue(uint32_t colour) { m_textColour = colour; }

void CIChildWindow::SetBackColorValue(uint32_t colour) {
    m_backColour = colour;
    if (m_brushOwned)
        OsDeleteBrush(m_brush);
    m_brush = OsCreateSolidBrush(colour | kPaletteRgb);
    m_brushOwned = 1;
}

void CIChildWindow::AttachFont(CIFontBase* font) { SetFont(font); }

void CIChildWindow::SetFont(CIFontBase* font) {
    CIFontContainer::SetFont(font);
    if (m_window != nullptr)
        OsSetWindowFont(m_window, GetFontHandle());
}

void CIChildWindow::Resize(int32_t width, int32_t height, int32_t immediate) {
    RequireScriptCreated();
    m_width = width;
    m_height = height;
    if (immediate) {
        if (m_window != nullptr)
            OsSetWindowPos(m_window, 0, 0, 0, width + m_borders[0] + m_borders[2], height + m_borders[1] + m_borders[3],
                           kSwpNoMove | kSwpNoZOrder);
    } else {
        if (m_window != nullptr && OsIsZoomed(m_window))
            DeferShow(kSwRestore);
        m_positionFlags &= ~kSizeBit;
    }
    SetDirty();
}

void CIChildWindow::DeferShow(int32_t command) {
    m_pendingShow[command] = 1;
    m_refreshPending = 1;
    SetDirty();
}

void CIChildWindow::ChangeZOrder(intptr_t insertAfter, int32_t immediate) {
    RequireScriptCreated();
    if (m_window == nullptr)
        return;
    m_insertAfter = insertAfter;
    if (immediate == 0 || !Given(immediate)) {
        m_positionFlags &= ~kZOrderBit;
    } else {
        if (insertAfter == kHwndTop)
            OsSetWindowPos(m_window, kHwndTopMost, 0, 0, 0, 0, kSwpNoMove | kSwpNoSize);
        OsSetWindowPos(m_window, insertAfter, 0, 0, 0, 0, kSwpNoMove | kSwpNoSize);
        if (insertAfter == kHwndTop)
            OsSetWindowPos(m_window, kHwndNoTopMost, 0, 0, 0, 0, kSwpNoMove | kSwpNoSize);
    }
    SetDirty();
}

// ---- the redraw pass ----

void CIChildWindow::ApplyPendingShows() {
    bool showNormal = false;
    for (int32_t k = 0; k < 12; ++k) {
        if (!m_pendingShow[k])
            continue;
        m_pendingShow[k] = 0;
        OsShowWindow(m_window, k);
        showNormal = showNormal || k == kSwShowNormal;
    }
    if (showNormal) {
        OsSetWindowPos(m_window, kHwndTopMost, 0, 0, 0, 0, kSwpNoMove | kSwpNoSize);
        OsSetWindowPos(m_window, kHwndNoTopMost, 0, 0, 0, 0, kSwpNoMove | kSwpNoSize);
    }
}

void CIChildWindow::Refresh() {
    if (m_window == nullptr) {
        m_dirty = 0;
        return;
    }
    if (m_refreshPending)
        ApplyPendingShows();
    bool moved = false;
    if (m_positionFlags != kSwpNothing && m_window != nullptr) {
        void* target = TargetWindow();
        if (m_insertAfter == kHwndTop)
            OsSetWindowPos(target, kHwndTopMost, 0, 0, 0, 0, kSwpNoMove | kSwpNoSize);
        OsSetWindowPos(target, m_insertAfter, m_x, m_y, m_width + m_borders[0] + m_borders[2],
                       m_height + m_borders[1] + m_borders[3], m_positionFlags);
        if (m_insertAfter == kHwndTop)
            OsSetWindowPos(target, kHwndNoTopMost, 0, 0, 0, 0, kSwpNoMove | kSwpNoSize);
        moved = true;
    }
    if (m_window != nullptr) {
        if (m_styleChanged)
            OsSetWindowStyle(m_window, true, m_style);
        if (m_exStyleChanged)
            OsSetWindowStyle(m_window, false, m_exStyle);
        if (!moved || m_styleChanged || m_exStyleChanged)
            OsInvalidateWindow(m_window, true);
    }
    m_styleChanged = m_exStyleChanged = 0;
    m_insertAfter = 0;
    m_refreshPending = 0;
    std::memset(m_pendingShow, 0, sizeof m_pendingShow);
    m_positionFlags = kSwpNothing;
    m_dirty = 0;
}

// ---- helpers ----

void CIChildWindow::SetDefaultRect(int32_t x, int32_t y, int32_t width, int32_t height, uint32_t style,
                                   uint32_t exStyle) {
    m_x = x;
    m_y = y;
    m_width = width;
    m_height = height;
    m_style = style;
    m_exStyle = exStyle;
}

uint32_t CIChildWindow::LookupConstant(uint32_t constant, uint32_t* kind) {
    uint32_t value = 0;
    switch (m_constants.Lookup(constant, &value, kind)) {
    case CConstantTables::kFound: return value;
    case CConstantTables::kBadConstant: RaiseError(m_interpretor, 14);
    case CConstantTables::kNoTable: break;
    }
    *kind = 0xFFFFFFFFu;
    return 0;
}

int32_t CIChildWindow::ParseCreateArguments(uint32_t mask, const CValue** extras, int32_t first, int32_t count) {
    int32_t* positions[4] = {&m_x, &m_y, &m_width, &m_height};
    if (mask & kSizeFirst) {
        positions[0] = &m_width;
        positions[1] = &m_height;
        positions[2] = &m_x;
        positions[3] = &m_y;
    }
    static const uint32_t kPositionBits[4] = {kAcceptX, kAcceptY, kAcceptWidth, kAcceptHeight};
    uint32_t open = mask;  // position and text bits still open
    int32_t extraCount = 0;
    bool tooMany = false;
    auto addExtra = [&](const CValue* value) {
        if (extras == nullptr)
            RaiseError(m_interpretor, 14);
        if (extraCount >= kMaxExtras) {
            // The list holds 6 and its terminator: a 7th waits for the end
            // of the arguments, an 8th is refused at once.
            if (tooMany)
                RaiseError(m_interpretor, 13);
            tooMany = true;
            return;
        }
        extras[extraCount++] = value;
        extras[extraCount] = nullptr;
    };
    if (extras != nullptr)
        extras[0] = nullptr;
    bool parentGiven = false;
    const int32_t end = std::min(first + count, GetArgCount(m_interpretor));
    int32_t i = first;
    for (; i < end; ++i) {
        if (IsArgDefault(m_interpretor, i))
            continue;
        const CValue* arg = GetArg(m_interpretor, i);
        if (arg->GetTag() == CValue::kObject) {
            if ((mask & kAcceptParent) && arg->IsObjectOfClass(kClassWindow)) {
                if (parentGiven)
                    RaiseError(m_interpretor, 14);
                parentGiven = true;
                m_parent = static_cast<CIWindow*>(arg->GetObject());
            } else {
                addExtra(arg);
            }
            continue;
        }
        if (arg->GetTag() == CValue::kText) {
            if (open & kAcceptText) {
                m_text = GetArgString(m_interpretor, i);
                open &= ~kAcceptText;
            } else {
                addExtra(arg);
            }
            continue;
        }
        const int32_t number = GetArgInt(m_interpretor, i);
        uint32_t value = 0, kind = 0;
        const auto found = m_constants.Lookup(static_cast<uint32_t>(number), &value, &kind);
        if (found == CConstantTables::kBadConstant)
            RaiseError(m_interpretor, 14);
        if (found == CConstantTables::kFound) {
            static const uint32_t kKindBits[4] = {kAcceptStyles, kAcceptStyles, kAcceptOptions1, kAcceptOptions2};
            uint32_t* words[4] = {&m_style, &m_exStyle, &m_options1, &m_options2};
            if (!(mask & kKindBits[kind]))
                RaiseError(m_interpretor, 14);
            *words[kind] |= value;
            continue;
        }
        bool placed = false;
        for (int32_t k = 0; k < 4 && !placed; ++k) {
            if (open & kPositionBits[k]) {
                *positions[k] = number;
                open &= ~kPositionBits[k];
                placed = true;
            }
        }
        if (!placed)
            addExtra(arg);
    }
    if (tooMany)
        RaiseError(m_interpretor, 13);
    if (!parentGiven && (mask & kNeedsParent)) {
        m_parent = static_cast<CIWindow*>(GetCurrentWindow(m_interpretor));
        if (m_parent == nullptr)
            RaiseError(m_interpretor, 31);
    }
    return i;
}

void* CIChildWindow::CreateControlWindow(const char* className, void* menu, void* existing, uint32_t flags) {
    void* parentHandle = m_hostWindow != nullptr ? m_hostWindow : (m_parent != nullptr ? m_parent->m_window : nullptr);
    if (!((flags & 1) && parentHandle != nullptr))
        m_style &= ~kWsChild;
    if (m_scriptCreated) {
        if (m_options1 & kOptHidden)
            m_style &= ~kWsVisible;
        else
            m_style |= kWsVisible;
        if (m_options1 & kOptNoBorder)
            m_style &= ~kWsBorder;
    } else {
        m_positionFlags = 0;
    }
    if (existing == nullptr) {
        const OsWindowSpec spec{m_exStyle,
                                className,
                                m_text != nullptr ? m_text : "",
                                m_style & ~kWsVisible,
                                m_x,
                                m_y,
                                m_width + m_borders[0] + m_borders[2],
                                m_height + m_borders[1] + m_borders[3],
                                parentHandle,
                                menu,
                                this};
        m_window = OsCreateWindow(spec);
        if (m_window != nullptr) {
            CIFontContainer::SetFont(GetGuiFont(m_interpretor));
            OsSetWindowFont(m_window, GetFontHandle());
        }
    } else {
        m_window = existing;
    }
    if (m_window == nullptr)
        return nullptr;
    if (m_scriptCreated && (m_style & kWsVisible)) {
        m_pendingShow[kSwHide] = 0;
        DeferShow(kSwShow);
    }
    if (flags & 2) {
        OsSetObjectProperty(m_window, this);
        m_propertySet = 1;
    }
    return m_window;
}

void CIChildWindow::GetTextSize(int32_t* cx, int32_t* cy) {
    const char* text = m_text != nullptr && *m_text != 0 ? m_text : "X";
    void* dcWindow = m_parent != nullptr ? m_parent->m_window : m_window;
    OsGetTextExtent(dcWindow, GetFontHandle(), text, cx, cy);
}

bool CIChildWindow::IsFocusable() {
    return m_window != nullptr && (m_style & kWsTabStop) && OsIsWindowVisible(m_window) && OsIsWindowEnabled(m_window);
}

uint32_t CIChildWindow::ReadColorArguments(uint32_t old) {
    if (GetArgCount(m_interpretor) == 1)
        return ToColorRef(static_cast<uint32_t>(GetArgInt(m_interpretor, 0)));
    uint32_t colour = old;
    for (int32_t channel = 0; channel < 3; ++channel) {
        const int32_t value = GetArgInt(m_interpretor, channel);
        if (!Given(value))
            continue;
        const int32_t shift = channel * 8;  // COLORREF: red low
        colour = (colour & ~(0xFFu << shift)) | ((static_cast<uint32_t>(value) & 0xFF) << shift);
    }
    return colour;
}

void CIChildWindow::RequireScriptCreated() {
    if (!m_scriptCreated)
        RaiseError(m_interpretor, 112);
}

int32_t CIChildWindow::Answer(int32_t value) {
    Result(m_interpretor)->SetInt(value);
    return 0;
}

// Optional "immediate" argument: omitted is 0.
int32_t CIChildWindow::ImmediateArg(int32_t index) {
    const int32_t value = GetArgInt(m_interpretor, index);
    return Given(value) ? value : 0;
}

// ---- common members ----

void CIChildWindow::CallCommonMember(int32_t index) {
    static const CDispatchEntry<CIChildWindow> kHandlers[] = {
        {1, &CIChildWindow::GetX},           {2, &CIChildWindow::GetY},
        {3, &CIChildWindow::GetWidth},       {4, &CIChildWindow::GetHeight},
        {5, &CIChildWindow::Show},           {6, &CIChildWindow::Hide},
        {7, &CIChildWindow::IsVisible},      {8, &CIChildWindow::SetPosition},
        {9, &CIChildWindow::SetSize},        {10, &CIChildWindow::ToBack},
        {11, &CIChildWindow::SetTopMost},    {12, &CIChildWindow::Enable},
        {13, &CIChildWindow::Disable},       {14, &CIChildWindow::IsEnabled},
        {15, &CIChildWindow::SetText},       {16, &CIChildWindow::GetText},
        {17, &CIChildWindow::ToFront},       {18, &CIChildWindow::GetXMouse},
        {19, &CIChildWindow::GetYMouse},     {20, &CIChildWindow::SetColor},
        {21, &CIChildWindow::SetBackColor},  {22, &CIChildWindow::GetColor},
        {23, &CIChildWindow::GetBackColor},  {24, &CIChildWindow::SetFontMember},
        {25, &CIChildWindow::GetFontMember}, {26, &CIChildWindow::GetParentWindow},
        {27, &CIChildWindow::HasAttribute},  {28, &CIChildWindow::SetPrivateData},
        {29, &CIChildWindow::GetPrivateData}, {30, &CIChildWindow::GetXScreen},
        {31, &CIChildWindow::GetYScreen},    {32, &CIChildWindow::GetXWindow},
        {33, &CIChildWindow::GetYWindow},    {34, &CIChildWindow::SetFocusMember},
        {35, &CIChildWindow::HasFocus},      {36, &CIChildWindow::OnKeyDown},
        {37, &CIChildWindow::OnKeyUp},
    };
    DispatchMember(this, kHandlers, index);
}

int32_t CIChildWindow::GetX() { return Answer(m_x); }
int32_t CIChildWindow::GetY() { return Answer(m_y); }
int32_t CIChildWindow::GetWidth() { return Answer(m_width); }
int32_t CIChildWindow::GetHeight() { return Answer(m_height); }

int32_t CIChildWindow::Show() {
    RequireScriptCreated();
    const int32_t immediate = ImmediateArg(0);
    if (immediate != 0 && immediate != 1)
        RaiseError(m_interpretor, 14);
    if (immediate) {
        if (m_window != nullptr)
            OsShowWindow(m_window, kSwShow);
    } else {
        m_pendingShow[kSwHide] = 0;
        DeferShow(kSwShow);
    }
    SetDirty();
    return 0;
}

int32_t CIChildWindow::Hide() {
    RequireScriptCreated();
    if (ImmediateArg(0)) {
        if (m_window != nullptr)
            OsShowWindow(m_window, kSwHide);
    } else {
        m_pendingShow[kSwShow] = 0;
        DeferShow(kSwHide);
    }
    SetDirty();
    return 0;
}

int32_t CIChildWindow::IsVisible() { return Answer(m_window != nullptr && OsIsWindowVisible(m_window)); }

int32_t CIChildWindow::SetPosition() {
    RequireScriptCreated();
    const int32_t x = GetArgInt(m_interpretor, 0), y = GetArgInt(m_interpretor, 1);
    if (Given(x))
        m_x = x;
    if (Given(y))
        m_y = y;
    if (ImmediateArg(2)) {
        if (m_window != nullptr)
            OsSetWindowPos(TargetWindow(), 0, m_x, m_y, 0, 0, kSwpNoSize | kSwpNoZOrder);
    } else {
        m_positionFlags &= ~kMoveBit;
    }
    SetDirty();
    return 0;
}

int32_t CIChildWindow::SetSize() {
    const int32_t w = GetArgInt(m_interpretor, 0), h = GetArgInt(m_interpretor, 1);
    Resize(Given(w) ? w : m_width, Given(h) ? h : m_height, ImmediateArg(2));
    return 0;
}

int32_t CIChildWindow::ToBack() {
    ChangeZOrder(kHwndBottom, GetArgInt(m_interpretor, 0));
    return 0;
}

int32_t CIChildWindow::SetTopMost() {
    if (m_parent == nullptr)
        ChangeZOrder(kHwndTopMost, GetArgInt(m_interpretor, 0));
    return 0;
}

int32_t CIChildWindow::ToFront() {
    ChangeZOrder(kHwndTop, GetArgInt(m_interpretor, 0));
    return 0;
}

int32_t CIChildWindow::Enable() {
    RequireScriptCreated();
    if (m_window != nullptr)
        OsEnableWindow(m_window, true);
    return 0;
}

int32_t CIChildWindow::Disable() {
    RequireScriptCreated();
    if (m_window != nullptr)
        OsEnableWindow(m_window, false);
    return 0;
}

int32_t CIChildWindow::IsEnabled() { return Answer(m_window != nullptr && OsIsWindowEnabled(m_window)); }

int32_t CIChildWindow::SetText() {
    RequireScriptCreated();
    const char* text = ArgTextOrNull(m_interpretor, 0);
    if (text != nullptr && TargetWindow() != nullptr)
        OsSetWindowText(TargetWindow(), text);
    return 0;
}

int32_t CIChildWindow::GetText() {
    RequireScriptCreated();
    const std::string text = TargetWindow() != nullptr ? OsGetWindowText(TargetWindow()) : std::string();
    Result(m_interpretor)->SetString(text.c_str(), 0);
    return 0;
}

int32_t CIChildWindow::GetXMouse() {
    int32_t x = 0, y = 0;
    OsGetCursorPos(&x, &y);
    OsScreenToClient(m_window, &x, &y);
    return Answer(x);
}

int32_t CIChildWindow::GetYMouse() {
    int32_t x = 0, y = 0;
    OsGetCursorPos(&x, &y);
    OsScreenToClient(m_window, &x, &y);
    return Answer(y);
}

int32_t CIChildWindow::SetColor() {
    RequireScriptCreated();
    SetColorValue(ReadColorArguments(m_textColour));
    SetDirty();
    return 0;
}

int32_t CIChildWindow::SetBackColor() {
    RequireScriptCreated();
    SetBackColorValue(ReadColorArguments(m_backColour));
    SetDirty();
    return 0;
}

int32_t CIChildWindow::GetColor() {
    RequireScriptCreated();
    return Answer(static_cast<int32_t>(SwapRedBlue(m_textColour & 0xFFFFFF)));
}

int32_t CIChildWindow::GetBackColor() {
    RequireScriptCreated();
    return Answer(static_cast<int32_t>(SwapRedBlue(m_backColour & 0xFFFFFF)));
}

int32_t CIChildWindow::SetFontMember() {
    RequireScriptCreated();
    CIFontBase* font = FontFromArguments(m_interpretor);
    if (font != nullptr)
        AttachFont(font);
    SetDirty();
    return 0;
}

int32_t CIChildWindow::GetFontMember() {
    RequireScriptCreated();
    Result(m_interpretor)->SetObject(GetFont(), 1);
    return 0;
}

int32_t CIChildWindow::GetParentWindow() {
    Result(m_interpretor)->SetObject(m_parent, 1);
    return 0;
}

int32_t CIChildWindow::HasAttribute() {
    uint32_t kind = 0;
    const uint32_t value = LookupConstant(static_cast<uint32_t>(GetArgInt(m_interpretor, 0)), &kind);
    const uint32_t words[4] = {m_style, m_exStyle, m_options1, m_options2};
    return Answer(kind <= kKindOptions2 && (words[kind] & value) != 0);
}

int32_t CIChildWindow::SetPrivateData() {
    m_privateData.Assign(m_interpretor, *GetArg(m_interpretor, 0));
    return 0;
}

int32_t CIChildWindow::GetPrivateData() {
    Result(m_interpretor)->Assign(m_interpretor, m_privateData);
    return 0;
}

int32_t CIChildWindow::Convert(bool toScreen, bool xAxis) {
    if (IsArgDefault(m_interpretor, 0))
        RaiseError(m_interpretor, 14);
    const int32_t value = GetArgInt(m_interpretor, 0);
    int32_t x = xAxis ? value : 0, y = xAxis ? 0 : value;
    if (toScreen)
        OsClientToScreen(m_window, &x, &y);
    else
        OsScreenToClient(m_window, &x, &y);
    return Answer(xAxis ? x : y);
}

int32_t CIChildWindow::GetXScreen() { return Convert(true, true); }
int32_t CIChildWindow::GetYScreen() { return Convert(true, false); }
int32_t CIChildWindow::GetXWindow() { return Convert(false, true); }
int32_t CIChildWindow::GetYWindow() { return Convert(false, false); }

int32_t CIChildWindow::SetFocusMember() {
    if (m_window != nullptr)
        OsSetFocus(m_window);
    return 0;
}

int32_t CIChildWindow::HasFocus() { return Answer(m_window != nullptr && OsGetFocus() == m_window); }

int32_t CIChildWindow::OnKeyDown() {
    m_keyDownHandler = ReadAssignedFunction(m_interpretor);
    return 0;
}

int32_t CIChildWindow::OnKeyUp() {
    m_keyUpHandler = ReadAssignedFunction(m_interpretor);
    return 0;
}
