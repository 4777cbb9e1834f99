#include "ui/ci_window.h"

#include "graphics2d/gdi_utils.h"
#include "runtime/interp/os_display.h"
#include "runtime/runner/runner.h"
#include "ui/ci_menu.h"
#include "ui/ci_range_controls.h"
#include "ui/ci_window_members.h"
#include "ui/os_window.h"
#include "ui/window_geometry.h"

#include <algorithm>
#include <new>

namespace {

bool Given(int32_t value) { return value != kArgDefaultInt; }

uint32_t ToColorRef(uint32_t rgb) { return SwapRedBlue(rgb & 0xFFFFFF); }

// Windows shown by "DoModal", newest first; each at most once.
std::vector<void*>& ModalStack() {
    static std::vector<void*> stack;
    return stack;
}

}  // namespace

CIWindow::CIWindow(CInterpretor* interpretor) : CIChildWindow(interpretor, kClassWindow) {
    m_options1 = kOptStandard;
    AddConstantTable(kWindowConstantTable, kWindowTableId);
}

CIWindow::~CIWindow() = default;

// ---- members ----

void CIWindow::ForwardToSurface(int32_t memberId) {
    if (m_surface != nullptr)
        m_surface->CallMember(memberId);
}

void CIWindow::CallMember(int32_t memberId) {
    if (memberId >= kWindowWrite && memberId <= kWindowUnlock) {
        ForwardToSurface(memberId);
        return;
    }
    if (memberId >= kWindowGetX && memberId <= kWindowOnKeyUp) {
        CallCommonMember(memberId - kWindowGetX + 1);
        return;
    }
    switch (memberId) {
    case kWindowOnDblClick: SetHandler(kOnDblClick); return;
    case kWindowOnSetFocus: SetHandler(kOnSetFocus); return;
    case kWindowOnKillFocus: SetHandler(kOnKillFocus); return;
    case kWindowOnClose: SetHandler(kOnClose); return;
    case kWindowOnSize: SetHandler(kOnSize); return;
    case kWindowOnMove: SetHandler(kOnMove); return;
    case kWindowOnDisplayChange: SetHandler(kOnDisplayChange); return;
    case kWindowOnMinimize: SetHandler(kOnMinimize); return;
    case kWindowOnMaximize: SetHandler(kOnMaximize); return;
    case kWindowOnDropFile: SetHandler(kOnDropFile); return;
    case kWindowOnMouseDown: SetHandler(kOnMouseDown); return;
    case kWindowOnMouseUp: SetHandler(kOnMouseUp); return;
    case kWindowOnMouseMove: SetHandler(kOnMouseMove); return;
    default: break;
    }
    static const CDispatchEntry<CIWindow> kHandlers[] = {
        TW_MEMBER(Window, GetSurface),          TW_MEMBER(Window, SetCursor),
        TW_MEMBER(Window, Input),               TW_MEMBER(Window, DoModal),
        TW_MEMBER(Window, EndModal),            TW_MEMBER(Window, SetIcon),
        TW_MEMBER(Window, EnableCloseBox),      TW_MEMBER(Window, SetAutoClose),
        TW_MEMBER(Window, Center),              TW_MEMBER(Window, Maximize),
        TW_MEMBER(Window, IsMaximized),         TW_MEMBER(Window, Minimize),
        TW_MEMBER(Window, IsMinimized),         TW_MEMBER(Window, Restore),
        TW_MEMBER(Window, SetMinSize),          TW_MEMBER(Window, SetMaxSize),
        TW_MEMBER(Window, EnableDropFile),      TW_MEMBER(Window, SetFullScreenMode),
        TW_MEMBER(Window, SetWindowedMode),     TW_MEMBER(Window, GetHorizontalScrollBar),
        TW_MEMBER(Window, GetVerticalScrollBar), TW_MEMBER(Window, BeginMouseCapture),
        TW_MEMBER(Window, EndMouseCapture),     TW_MEMBER(Window, HasMouseCapture),
        TW_MEMBER(Window, Flash),               TW_MEMBER(Window, GetLeftBorderSize),
        TW_MEMBER(Window, GetRightBorderSize),  TW_MEMBER(Window, GetTopBorderSize),
        TW_MEMBER(Window, GetBottomBorderSize),
    };
    DispatchMember(this, kHandlers, memberId);
}

void CIWindow::SetHandler(Event event) { m_handlers[event] = ReadAssignedFunction(m_interpretor); }

// ---- construction ----

void CIWindow::ConstructFromArgs() {
    const CValue* extras[kMaxExtras + 1] = {};
    ParseCreateArguments(0x8000FFFFu, extras, 0, 100);
    CIBaseClassImpl* menu = nullptr;
    bool colourGiven = false;
    uint32_t colour = 0;
    int32_t depth = 0;
    int32_t others = 0;
    for (int32_t i = 0; extras[i] != nullptr; ++i) {
        if (extras[i]->IsObjectOfClass(kClassMenu)) {
            menu = extras[i]->GetObject();
            continue;
        }
        ++others;
        if (others == 1) {
            colourGiven = true;
            colour = ToColorRef(static_cast<uint32_t>(extras[i]->GetInt()));
        } else if (others == 2) {
            depth = extras[i]->GetInt();
        } else {
            RaiseError(m_interpretor, 14);
        }
    }
    // 1. Under a host, one main window only.
    CRunner* runner = WindowRunnerOf(m_interpretor);
    if (m_parent == nullptr && runner != nullptr && runner->m_parentWindow != nullptr && runner->m_mainWindow != nullptr)
        RaiseError(m_interpretor, 8);
    // 2. and 3. Styles and frame.
    const CWindowStyles styles = ComputeWindowStyles(m_style, m_options1, m_parent != nullptr, m_text != nullptr);
    m_style = styles.style;
    m_exStyle |= styles.exStyle;
    m_options1 = styles.options;
    CRect frame(0, 0, 320, 200);
    OsAdjustWindowRect(&frame, m_style, menu != nullptr, m_exStyle);
    const CFrameExtents extents = FrameExtentsOf(frame);
    m_borders[0] = extents.left;
    m_borders[1] = extents.top;
    m_borders[2] = extents.right;
    m_borders[3] = extents.bottom;
    int32_t screenWidth = 0, screenHeight = 0;
    OsGetScreenSize(&screenWidth, &screenHeight);
    if (m_x == kUnsetCoordinate)
        m_x = (screenWidth - m_width) / 2;
    if (m_y == kUnsetCoordinate)
        m_y = (screenHeight - m_height) / 2;
    // 4. The window.
    if (CreateControlWindow(kMainWindowClass, nullptr, nullptr, (m_options1 & kOptFakeChild) ? 2 : 3) == nullptr)
        RaiseError(m_interpretor, 8);
    SetMenu(menu);
    if (m_parent == nullptr && runner != nullptr && runner->m_parentWindow != nullptr)
        runner->m_mainWindow = m_window;
    m_ownsWindow = 1;
    // 5. The surface of the client area.
    if (!(m_options1 & kOptNoSurface)) {
        CRect client;
        OsGetWindowClientRect(m_window, &client);
        const int32_t width = client.Width() != 0 ? client.Width() : m_width;
        const int32_t height = client.Height() != 0 ? client.Height() : m_height;
        CISurface* surface = new (std::nothrow) CISurface(m_interpretor);
        if (surface == nullptr)
            RaiseError(m_interpretor, 15);
        try {
            surface->CreateBuffer(width, height, depth > 0 ? depth : GetScreenBitsPerPixel(), kSurfaceKeptDC);
        } catch (...) {
            surface->Destroy(0);
            throw;
        }
        m_surface = surface;
        surface->SetOwnerWindow(this, m_window);
        surface->InvalidateAll();
        ++surface->m_refCount;
    }
    // 6. Background, first show.
    if (!colourGiven)
        colour = styles.dialogBackground ? OsGetSysColor(kColor3DFace) : ToColorRef(DefaultWindowColour(m_interpretor));
    SetBackColorValue(colour);
    if (m_surface != nullptr)
        m_surface->RefreshRect(0, 0, m_surface->PictureWidth(), m_surface->PictureHeight(), 1);
    SetDirty();
    if (m_pendingShow[kSwShow]) {
        m_pendingShow[kSwShow] = 0;
        m_pendingShow[kSwShowNormal] = 1;
        SetCurrentWindow(m_interpretor, this);
    }
    ApplyPendingShows();
    OsInvalidateWindow(m_window, true);
    if (OsIsWindowVisible(m_window))
        OsActivateWindow(m_window);
    // 7. The window's own scroll bars as script objects.
    if (m_style & kWsHScroll)
        m_hScrollBar = CIScrollBar::AttachToWindow(this, 0);
    if (m_style & kWsVScroll)
        m_vScrollBar = CIScrollBar::AttachToWindow(this, 1);
    // 8. Into the parent's list.
    AssignInstanceNumber();
}

// ---- window operations ----

void CIWindow::SetColorValue(uint32_t colour) {
    CIChildWindow::SetColorValue(colour);
    if (m_surface != nullptr)
        m_surface->SetPenColorValue(colour);
    else
        SetDirty();
}

void CIWindow::SetBackColorValue(uint32_t colour) {
    CIChildWindow::SetBackColorValue(colour);
    if (m_surface != nullptr)
        m_surface->SetBackgroundValue(colour);
    else
        SetDirty();
}

void CIWindow::AttachFont(CIFontBase* font) {
    CIChildWindow::AttachFont(font);
    if (m_surface != nullptr)
        m_surface->SetFontObject(font);
    else
        SetDirty();
}

void CIWindow::SetMenu(CIBaseClassImpl* menu) {
    // A menu object becomes the bar (it stores itself here).
    if (menu != nullptr)
        AttachMenuToWindow(this, menu);
    else
        CMenuContainer::SetMenu(nullptr);
}

void CIWindow::RemoveMenu(CIBaseClassImpl* menu) {
    if (m_window != nullptr)
        OsSetWindowMenu(m_window, nullptr);
    CMenuContainer::RemoveMenu(menu);
}

int32_t CIWindow::AddMessageHook(WindowMessageHook hook) {
    try {
        m_hooks.push_back(hook);
    } catch (const std::bad_alloc&) {
        return 0;
    }
    return 1;
}

int32_t CIWindow::RemoveMessageHook(WindowMessageHook hook) {
    auto at = std::find(m_hooks.begin(), m_hooks.end(), hook);
    if (at == m_hooks.end())
        return 0;
    m_hooks.erase(at);
    return 1;
}

void CIWindow::AddControl(CIChildWindow* control) { m_controls.AddTail(reinterpret_cast<uintptr_t>(control)); }

void CIWindow::RemoveControl(CIChildWindow* control) {
    if (uint32_t at = m_controls.Find(reinterpret_cast<uintptr_t>(control)))
        m_controls.RemoveAt(at);
    if (control == m_activeChild)
        m_activeChild = nullptr;
}

CIChildWindow* CIWindow::GetControlAt(int32_t index) const {
    uint32_t p = m_controls.GetHeadPosition();
    for (int32_t i = 0; p != 0; ++i) {
        auto* control = reinterpret_cast<CIChildWindow*>(m_controls.GetNext(p));
        if (i == index)
            return control;
    }
    return nullptr;
}

namespace {

int32_t IndexOf(const CIWindow* window, CIChildWindow* control) {
    for (int32_t i = 0; i < window->GetControlCount(); ++i)
        if (window->GetControlAt(i) == control)
            return i;
    return -1;
}

}  // namespace

int32_t CIWindow::FocusFirstControl() {
    const int32_t i = WalkFocus(GetControlCount(), -1, false, [this](int32_t k) { return GetControlAt(k)->IsFocusable(); });
    if (i < 0)
        return 0;
    OsSetFocus(GetControlAt(i)->m_window);
    return 1;
}

int32_t CIWindow::FocusLastControl() {
    const int32_t i = WalkFocus(GetControlCount(), -1, true, [this](int32_t k) { return GetControlAt(k)->IsFocusable(); });
    if (i < 0)
        return 0;
    OsSetFocus(GetControlAt(i)->m_window);
    return 1;
}

void CIWindow::FocusNextControl(CIChildWindow* control) {
    const int32_t from = IndexOf(this, control);
    if (from < 0)
        return;
    const int32_t i = WalkFocus(GetControlCount(), from, false, [this](int32_t k) { return GetControlAt(k)->IsFocusable(); });
    if (i >= 0)
        OsSetFocus(GetControlAt(i)->m_window);
}

void CIWindow::FocusPreviousControl(CIChildWindow* control) {
    const int32_t from = IndexOf(this, control);
    if (from < 0)
        return;
    const int32_t i = WalkFocus(GetControlCount(), from, true, [this](int32_t k) { return GetControlAt(k)->IsFocusable(); });
    if (i >= 0)
        OsSetFocus(GetControlAt(i)->m_window);
}

CIChildWindow* CIWindow::FocusedControl() {
    void* focus = OsGetFocus();
    for (int32_t i = 0; focus != nullptr && i < GetControlCount(); ++i)
        if (GetControlAt(i)->m_window == focus)
            return GetControlAt(i);
    return nullptr;
}

void CIWindow::DetachSurface() {
    if (m_surface == nullptr)
        return;
    if (m_surface->m_refCount > 0)
        --m_surface->m_refCount;
    m_surface = nullptr;
}

// ---- events ----

void CIWindow::PostWindowEvent(Event event, bool coalesced, int32_t argc, int32_t a1, int32_t a2, int32_t a3) {
    CFunctionRecord* handler = m_handlers[event];
    if (handler == nullptr)
        return;
    CValue self(this);
    CValue v1(m_interpretor, a1), v2(m_interpretor, a2), v3(m_interpretor, a3);
    const CValue* args[4] = {&self, &v1, &v2, &v3};
    if (coalesced)
        ::PostEventCoalesced(m_interpretor, handler, this, args, 1 + argc);
    else
        ::PostEvent(m_interpretor, handler, args, 1 + argc);
}

void CIWindow::PostDropFile(const char* name, int32_t x, int32_t y) {
    if (m_handlers[kOnDropFile] == nullptr)
        return;
    CValue self(this);
    CValue file(m_interpretor, name, 0);
    CValue vx(m_interpretor, x), vy(m_interpretor, y);
    const CValue* args[4] = {&self, &file, &vx, &vy};
    ::PostEvent(m_interpretor, m_handlers[kOnDropFile], args, 4);
}

bool CIWindow::TakeClientSize(int32_t width, int32_t height) {
    const bool changed = width != m_width || height != m_height;
    m_width = width;
    m_height = height;
    if (m_surface != nullptr && !m_modeSwitch)
        m_surface->Resize(width, height);
    return changed;
}

void CIWindow::TakeWindowPosition(int32_t clientX, int32_t clientY) {
    m_x = clientX - m_borders[0];
    m_y = clientY - m_borders[1];
}

void CIWindow::WindowDestroyed() {
    // The window is going already: Destroy must not destroy it again, and
    // messages still to come find no object.
    if (m_window != nullptr && m_propertySet)
        OsRemoveObjectProperty(m_window);
    m_propertySet = 0;
    m_ownsWindow = 0;
}

void CIWindow::ClampTrackSize(int32_t edge, CRect* r) {
    // WMSZ_: 1 left, 2 right, 3 top, 4 top-left, 5 top-right, 6 bottom,
    // 7 bottom-left, 8 bottom-right.
    const bool left = edge == 1 || edge == 4 || edge == 7;
    const bool right = edge == 2 || edge == 5 || edge == 8;
    const bool top = edge == 3 || edge == 4 || edge == 5;
    const bool bottom = edge == 6 || edge == 7 || edge == 8;
    uint32_t minW = m_minWidth, maxW = m_maxWidth, minH = m_minHeight, maxH = m_maxHeight;
    const int32_t width = ClampClientSize(r->Width(), 0, &minW, &maxW);
    const int32_t height = ClampClientSize(r->Height(), 0, &minH, &maxH);
    if (left)
        r->left = r->right - width;
    if (right)
        r->right = r->left + width;
    if (top)
        r->top = r->bottom - height;
    if (bottom)
        r->bottom = r->top + height;
}

void CIWindow::ActivateAsFakeChild(bool shown) {
    if (m_parent == nullptr)
        return;
    if (shown) {
        m_parent->m_activeChild = this;
    } else if (m_parent->m_activeChild == this) {
        m_parent->m_activeChild = nullptr;
        for (int32_t i = 0; i < m_parent->GetControlCount(); ++i) {
            CIChildWindow* other = m_parent->GetControlAt(i);
            if (other != this && other->m_classId == kClassWindow && other->m_window != nullptr &&
                OsIsWindowVisible(other->m_window)) {
                m_parent->m_activeChild = static_cast<CIWindow*>(other);
                break;
            }
        }
    }
}

bool CIWindow::IsBlockedByModal(void* window) {
    const std::vector<void*>& stack = ModalStack();
    return !stack.empty() && stack.front() != window;
}

// ---- members 101 to 142 ----

int32_t CIWindow::GetSurface() {
    if (m_surface == nullptr)
        RaiseError(m_interpretor, 10);
    Result(m_interpretor)->SetObject(m_surface, 1);
    return 0;
}

int32_t CIWindow::SetCursor() {
    if (m_cursorOwned)
        OsDestroyCursor(m_cursor);
    m_cursor = nullptr;
    m_cursorOwned = 0;
    const CValue* arg = GetArg(m_interpretor, 0);
    if (IsArgDefault(m_interpretor, 0) || arg->GetTag() == CValue::kInt) {
        m_cursor = OsLoadShapeCursor(IsArgDefault(m_interpretor, 0) ? 0 : arg->GetInt());
    } else {
        CISurface* image = nullptr;
        bool temporary = false;
        if (arg->IsObjectOfClass(kClassSurface)) {
            image = static_cast<CISurface*>(arg->GetObject());
        } else {
            // An image of the package, named (or numbered) by the argument.
            image = new (std::nothrow) CISurface(m_interpretor);
            if (image == nullptr)
                RaiseError(m_interpretor, 15);
            temporary = true;
            try {
                image->CreateFromImage(GetArgString(m_interpretor, 0), 0);
            } catch (const CIError&) {
                image->Destroy(0);
                RaiseError(m_interpretor, 9);
            }
        }
        const int32_t transparent = GetArgInt(m_interpretor, 1);
        const int32_t hx = GetArgInt(m_interpretor, 2), hy = GetArgInt(m_interpretor, 3);
        const int32_t hotSpot[2] = {Given(hx) ? hx : 0, Given(hy) ? hy : 0};
        if (image->GetPicture() != nullptr)
            m_cursor = CreateIconFromSurface(image->GetPicture(), 0, 0,
                                             ToColorRef(Given(transparent) ? static_cast<uint32_t>(transparent) : 0),
                                             hotSpot);
        if (temporary)
            image->Destroy(0);
        if (m_cursor == nullptr)
            RaiseError(m_interpretor, 9);
        m_cursorOwned = 1;
    }
    OsShowCursorNow(m_cursor != nullptr ? m_cursor : OsLoadShapeCursor(0));
    return 0;
}

void CIWindow::DrawInputText(const char* text, bool newLine) {
    if (m_surface == nullptr || m_surface->GetPicture() == nullptr)
        return;
    CSurface* picture = m_surface->GetPicture();
    const std::string line = m_inputPrompt + text;
    CRect extent(0, 0, 0, 0);
    picture->DrawText(line.empty() ? " " : line.c_str(), line.empty() ? 1 : static_cast<int32_t>(line.size()), &extent,
                      0x400 /* DT_CALCRECT */ | 0x20 /* DT_SINGLELINE */, 0, m_surface->GetFontHandle(), 0, 0, 0, 0, 0,
                      0, 0);
    const int32_t lineHeight = std::max(extent.Height(), 1);
    // The old line goes to the surface's right edge, then the line is drawn again.
    m_surface->RefreshRect(m_inputX, m_inputY, m_surface->PictureWidth() - m_inputX, lineHeight, 1);
    picture->TextOut(line.c_str(), static_cast<int32_t>(line.size()), m_inputX, m_inputY, 0, nullptr,
                     m_surface->GetPenColour(), m_surface->GetFontHandle(), 0, 0, 0, 0);
    m_inputAdvanceX = extent.Width();
    m_inputAdvanceY = lineHeight;
    if (newLine)
        m_surface->SetCursorPosition(m_inputX, m_inputY + lineHeight);
}

void CIWindow::EndInput() { m_inputActive = 0; }

void CIWindow::InputCharacter(uint32_t character) {
    if (!m_inputActive)
        return;
    if (character == 8) {
        if (!m_inputText.empty())
            m_inputText.pop_back();
        DrawInputText(m_inputText.c_str(), false);
    } else if (character == 10 || character == 13) {
        DrawInputText(m_inputText.c_str(), true);
        EndInput();
    } else if (character >= 32) {
        m_inputText.push_back(static_cast<char>(character));
        DrawInputText(m_inputText.c_str(), false);
    }
}

int32_t CIWindow::Input() {
    if (m_inputActive)
        RaiseError(m_interpretor, 67);
    const char* prompt = ArgTextOrNull(m_interpretor, 0);
    m_inputPrompt = prompt != nullptr ? prompt : "";
    m_inputText.clear();
    if (m_surface != nullptr) {
        m_inputX = m_surface->CursorX();
        m_inputY = m_surface->CursorY();
    }
    DrawInputText("", false);
    if (m_window != nullptr)
        OsSetFocus(m_window);
    m_inputActive = 1;
    // The loop ends with the input, and also when the window goes (its
    // property is gone then) or the quit message comes: the text typed so
    // far is the result.
    void* window = m_window;
    std::string typed;
    for (;;) {
        if (WindowObjectOf(window) != this || window == nullptr)
            break;
        if (!m_inputActive) {
            typed = m_inputText;
            break;
        }
        typed = m_inputText;
        if (Wait(m_interpretor, 20) != 0) {
            if (WindowObjectOf(window) == this)
                m_inputActive = 0;
            break;
        }
    }
    if (WindowObjectOf(window) == this)
        m_inputActive = 0;
    Result(m_interpretor)->SetString(typed.c_str(), 0);
    return 0;
}

int32_t CIWindow::DoModal() {
    if (!(m_options1 & kOptFakeChild))
        RaiseError(m_interpretor, 105);
    if (m_window == nullptr)
        return 0;
    OsSetWindowPos(m_window, kHwndTop, 0, 0, 0, 0, kSwpNoMove | kSwpNoSize);
    std::vector<void*>& stack = ModalStack();
    stack.erase(std::remove(stack.begin(), stack.end(), m_window), stack.end());
    stack.insert(stack.begin(), m_window);
    OsShowWindow(m_window, kSwShow);
    m_modal = 1;
    return 0;
}

int32_t CIWindow::EndModal() {
    std::vector<void*>& stack = ModalStack();
    auto at = std::find(stack.begin(), stack.end(), m_window);
    if (m_window == nullptr || at == stack.end())
        return 0;
    OsShowWindow(m_window, kSwHide);
    stack.erase(at);
    if (stack.empty())
        std::vector<void*>().swap(stack);
    if (m_parent != nullptr && m_parent->m_window != nullptr)
        OsShowWindow(m_parent->m_window, kSwShowNormal);
    m_modal = 0;
    return 0;
}

int32_t CIWindow::SetIcon() {
    CIBaseClassImpl* object = GetArgObject(m_interpretor, 0);
    if (object == nullptr || object->m_classId != kClassSurface)
        return 0;
    CSurface* picture = static_cast<CISurface*>(object)->GetPicture();
    const int32_t size = GetArgInt(m_interpretor, 1);
    void* target = TargetWindow();
    if (picture == nullptr || target == nullptr)
        return 0;
    if (!Given(size) || size == 32) {
        if (void* icon = CreateIconFromSurface(picture, 32, 32, 0, nullptr)) {
            OsSetWindowIcon(target, true, icon);
            if (m_bigIcon != nullptr)
                OsDestroyIcon(m_bigIcon);
            m_bigIcon = icon;
        }
    }
    if (!Given(size) || size == 16) {
        if (void* icon = CreateIconFromSurface(picture, 16, 16, 0, nullptr)) {
            OsSetWindowIcon(target, false, icon);
            if (m_smallIcon != nullptr)
                OsDestroyIcon(m_smallIcon);
            m_smallIcon = icon;
        }
    }
    return 0;
}

int32_t CIWindow::EnableCloseBox() {
    if (TargetWindow() != nullptr)
        OsEnableCloseBox(TargetWindow(), GetArgInt(m_interpretor, 0) != 0);
    return 0;
}

int32_t CIWindow::SetAutoClose() {
    const int32_t value = GetArgInt(m_interpretor, 0);
    if (value != 0 && value != 1)
        RaiseError(m_interpretor, 14);
    m_autoClose = value;
    return 0;
}

int32_t CIWindow::Center() {
    CRect reference, bounds;
    CIBaseClassImpl* given = nullptr;
    if (!IsArgDefault(m_interpretor, 0)) {
        if (!GetArg(m_interpretor, 0)->IsObjectOfClass(kClassWindow))
            RaiseError(m_interpretor, 14);
        given = GetArgObject(m_interpretor, 0);
    }
    auto usable = [](CIWindow* w) {
        return w != nullptr && w->m_window != nullptr && OsIsWindowVisible(w->m_window) && !OsIsIconic(w->m_window);
    };
    CIWindow* other = given != nullptr ? static_cast<CIWindow*>(given) : m_parent;
    if (usable(other))
        OsGetWindowRect(other->m_window, &reference);
    else
        OsGetWindowRect(OsGetDesktopWindow(), &reference);
    OsGetWindowRect(OsGetDesktopWindow(), &bounds);
    if ((m_style & kWsChild) && m_parent != nullptr && m_parent->m_window != nullptr) {
        OsGetWindowClientRect(m_parent->m_window, &bounds);
        int32_t x = reference.left, y = reference.top;
        OsScreenToClient(m_parent->m_window, &x, &y);
        reference = CRect(x, y, x + reference.Width(), y + reference.Height());
    }
    const int32_t outerWidth = m_width + m_borders[0] + m_borders[2];
    const int32_t outerHeight = m_height + m_borders[1] + m_borders[3];
    m_x = CenteredPosition(reference.left, reference.right, outerWidth, bounds.left, bounds.right);
    m_y = CenteredPosition(reference.top, reference.bottom, outerHeight, bounds.top, bounds.bottom);
    DeferMove();
    SetDirty();
    return 0;
}

int32_t CIWindow::Maximize() {
    DeferShow(kSwShowMaximized);
    return 0;
}

int32_t CIWindow::IsMaximized() { return Answer(m_window != nullptr && OsIsZoomed(m_window)); }

int32_t CIWindow::Minimize() {
    DeferShow(kSwMinimize);
    return 0;
}

int32_t CIWindow::IsMinimized() { return Answer(m_window != nullptr && OsIsIconic(m_window)); }

int32_t CIWindow::Restore() {
    DeferShow(kSwRestore);
    return 0;
}

void CIWindow::ApplySizeLimits() {
    const int32_t width = ClampClientSize(m_width, m_borders[0] + m_borders[2], &m_minWidth, &m_maxWidth);
    const int32_t height = ClampClientSize(m_height, m_borders[1] + m_borders[3], &m_minHeight, &m_maxHeight);
    if (width == m_width && height == m_height)
        return;
    Resize(width, height, 0);
}

int32_t CIWindow::SetMinSize() {
    const int32_t w = GetArgInt(m_interpretor, 0), h = GetArgInt(m_interpretor, 1);
    if (Given(w) && w >= 0)
        m_minWidth = static_cast<uint32_t>(w);
    if (Given(h) && h >= 0)
        m_minHeight = static_cast<uint32_t>(h);
    ApplySizeLimits();
    return 0;
}

int32_t CIWindow::SetMaxSize() {
    const int32_t w = GetArgInt(m_interpretor, 0), h = GetArgInt(m_interpretor, 1);
    if (Given(w) && w >= 0)
        m_maxWidth = static_cast<uint32_t>(w);
    if (Given(h) && h >= 0)
        m_maxHeight = static_cast<uint32_t>(h);
    ApplySizeLimits();
    return 0;
}

int32_t CIWindow::EnableDropFile() {
    int32_t value = 1;
    if (!IsArgDefault(m_interpretor, 0)) {
        const CValue* arg = GetArg(m_interpretor, 0);
        value = arg->GetTag() == CValue::kInt ? arg->GetInt() : -1;
        if (value != 0 && value != 1)
            RaiseError(m_interpretor, 14);
    }
    if (m_window != nullptr)
        OsDragAcceptFiles(m_window, value != 0);
    return 0;
}

int32_t CIWindow::SetFullScreenMode() {
    if (m_surface == nullptr)
        return 0;
    int32_t w = GetArgInt(m_interpretor, 0), h = GetArgInt(m_interpretor, 1), depth = GetArgInt(m_interpretor, 2);
    if (!Given(w))
        w = m_width;
    if (!Given(h))
        h = m_height;
    if (depth != 8 && depth != 15 && depth != 16 && depth != 24 && depth != 32)
        depth = 0;
    m_modeSwitch = 1;
    try {
        m_surface->SetFullScreenMode(w, h, depth);
    } catch (...) {
        m_modeSwitch = 0;
        throw;
    }
    m_modeSwitch = 0;
    return 0;
}

int32_t CIWindow::SetWindowedMode() {
    if (m_surface == nullptr)
        return 0;
    m_modeSwitch = 1;
    try {
        m_surface->SetWindowedMode(1);
    } catch (...) {
        m_modeSwitch = 0;
        throw;
    }
    m_modeSwitch = 0;
    return 0;
}

int32_t CIWindow::GetHorizontalScrollBar() {
    if (m_hScrollBar == nullptr)
        RaiseError(m_interpretor, 113);
    Result(m_interpretor)->SetObject(m_hScrollBar, 1);
    return 0;
}

int32_t CIWindow::GetVerticalScrollBar() {
    if (m_vScrollBar == nullptr)
        RaiseError(m_interpretor, 114);
    Result(m_interpretor)->SetObject(m_vScrollBar, 1);
    return 0;
}

int32_t CIWindow::BeginMouseCapture() {
    if (m_window != nullptr)
        OsSetCapture(m_window);
    return 0;
}

int32_t CIWindow::EndMouseCapture() {
    if (m_window != nullptr && OsGetCapture() == m_window)
        OsReleaseCapture();
    return 0;
}

int32_t CIWindow::HasMouseCapture() { return Answer(m_window != nullptr && OsGetCapture() == m_window); }

int32_t CIWindow::Flash() {
    if (m_parent == nullptr && m_window != nullptr)
        OsFlashWindow(m_window, GetArgInt(m_interpretor, 0) != 0);
    return 0;
}

int32_t CIWindow::GetLeftBorderSize() { return Answer(m_borders[0]); }
int32_t CIWindow::GetRightBorderSize() { return Answer(m_borders[2]); }
int32_t CIWindow::GetTopBorderSize() { return Answer(m_borders[1]); }
int32_t CIWindow::GetBottomBorderSize() { return Answer(m_borders[3]); }

// ---- life ----

int32_t CIWindow::OnObjectDeleted(CIBaseClassImpl* object) {
    if (object != nullptr && object == m_surface)
        DetachSurface();
    return CIChildWindow::OnObjectDeleted(object);
}

void CIWindow::Destroy(int32_t releaseAll) {
    if (GetCurrentWindow(m_interpretor) == this)
        SetCurrentWindow(m_interpretor, nullptr);
    CRunner* runner = WindowRunnerOf(m_interpretor);
    if (runner != nullptr && m_window != nullptr && runner->m_mainWindow == m_window)
        runner->m_mainWindow = nullptr;
    m_inputActive = 0;
    std::vector<void*>& stack = ModalStack();
    if (m_window != nullptr) {
        stack.erase(std::remove(stack.begin(), stack.end(), m_window), stack.end());
        m_modal = 0;
        if (OsGetCapture() == m_window)
            OsReleaseCapture();
        while (uint32_t tail = m_controls.GetTailPosition()) {
            auto* control = reinterpret_cast<CIChildWindow*>(m_controls.GetAt(tail));
            m_controls.RemoveAt(tail);
            control->m_parent = nullptr;
            control->Destroy(0);
        }
        void* window = m_window;
        m_window = nullptr;
        if (m_propertySet)
            OsRemoveObjectProperty(window);
        m_propertySet = 0;
        if (m_ownsWindow) {
            OsDestroyWindow(window);
            if (!releaseAll)
                SetCurrentWindow(m_interpretor, ScriptWindowOf(OsGetActiveWindow()));
        }
    }
    if (m_cursorOwned)
        OsDestroyCursor(m_cursor);
    m_cursor = nullptr;
    m_cursorOwned = 0;
    m_hooks.clear();
    if (m_bigIcon != nullptr)
        OsDestroyIcon(m_bigIcon);
    if (m_smallIcon != nullptr)
        OsDestroyIcon(m_smallIcon);
    m_bigIcon = m_smallIcon = nullptr;
    // While everything is released the surface may be gone already.
    if (releaseAll) {
        m_surface = nullptr;
    } else if (m_surface != nullptr) {
        m_surface->SetOwnerWindow(nullptr, nullptr);
        DetachSurface();
    }
    CIChildWindow::Destroy(releaseAll);
    delete this;
}

CIWindow* ScriptWindowOf(void* window) {
    CIChildWindow* object = WindowObjectOf(window);
    return object != nullptr && object->m_classId == kClassWindow ? static_cast<CIWindow*>(object) : nullptr;
}

int32_t RegisterMainWindowClass() { return OsRegisterMainWindowClass(); }

void RegisterWindowClass() { RegisterClassBinding(kClassWindow, {&MakeScriptObject<CIWindow>, nullptr}); }
