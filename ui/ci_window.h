#pragma once
// CIWindow: the script class "Window", a top-level window (or an owned fake
// child) with a surface for its client area, a list of controls, the message
// hooks of the control classes, and the events scripts react to. The window
// procedure (ui/win32/window_proc.cpp) turns messages into the operations
// below; the members 1 to 63 are passed on to the window surface.
#include "graphics2d/ci_surface.h"
#include "graphics2d/surface_window.h"
#include "runtime/base/pool_list.h"
#include "ui/ci_child_window.h"

#include <cstdint>
#include <string>
#include <vector>

// A message hook of a control class: sets *handled to end the message with
// the answer.
using WindowMessageHook = intptr_t (*)(int32_t* handled, void* window, uint32_t message, uintptr_t wParam,
                                       intptr_t lParam);

// The storing base of menus (menus themselves come with the menu class).
class CMenuContainer {
public:
    virtual ~CMenuContainer() {}
    virtual void SetMenu(CIBaseClassImpl* menu) { m_menu = menu; }
    virtual void RemoveMenu(CIBaseClassImpl* menu) {
        if (m_menu == menu)
            m_menu = nullptr;
    }
    CIBaseClassImpl* m_menu = nullptr;
};

class CIWindow : public CIChildWindow, public CMenuContainer, public ISurfaceOwner, public ISurfaceWindow {
public:
    // Event handler slots, in the order of the class.
    enum Event {
        kOnDblClick, kOnSetFocus, kOnKillFocus, kOnClose, kOnSize, kOnMove, kOnDisplayChange, kOnMinimize,
        kOnMaximize, kOnDropFile, kOnMouseDown, kOnMouseUp, kOnMouseMove, kEventCount
    };

    explicit CIWindow(CInterpretor* interpretor);
    ~CIWindow() override;

    void CallMember(int32_t memberId) override;
    void Destroy(int32_t releaseAll) override;
    int32_t OnObjectDeleted(CIBaseClassImpl* object) override;
    void ConstructFromArgs() override;

    void SetColorValue(uint32_t colour) override;
    void SetBackColorValue(uint32_t colour) override;
    void AttachFont(CIFontBase* font) override;
    void SetMenu(CIBaseClassImpl* menu) override;
    void RemoveMenu(CIBaseClassImpl* menu) override;

    // ISurfaceOwner.
    void SetOwnerBackground(uint32_t colour) override { SetBackColorValue(colour); }
    void DropFontLink() override {}
    // ISurfaceWindow: the source of the surface's "Copy", "Stretch" and
    // "CaptureWindow", and the surface of sprites made on the window.
    CISurface* GetAttachedSurface() override { return m_surface; }
    void* GetWindowHandle() override { return m_window; }
    // The surface's "SetPenColor": the window's text colour, which passes it
    // on to the surface.
    bool SetOwnerPenColour(uint32_t colour) override {
        SetColorValue(colour);
        return true;
    }

    // ---- hooks and controls ----
    int32_t AddMessageHook(WindowMessageHook hook);
    int32_t RemoveMessageHook(WindowMessageHook hook);
    const std::vector<WindowMessageHook>& Hooks() const { return m_hooks; }
    void AddControl(CIChildWindow* control);
    void RemoveControl(CIChildWindow* control);
    int32_t GetControlCount() const { return m_controls.GetCount(); }
    CIChildWindow* GetControlAt(int32_t index) const;
    // The focus walk (SetFocus on the control found).
    int32_t FocusFirstControl();
    int32_t FocusLastControl();
    void FocusNextControl(CIChildWindow* control);
    void FocusPreviousControl(CIChildWindow* control);
    // The control among this window's that holds the focus, or null.
    CIChildWindow* FocusedControl();
    void DetachSurface();

    // ---- what the window procedure calls ----
    // Posts the event of the slot with up to 3 integer arguments after the
    // window itself (coalesced or queued).
    void PostWindowEvent(Event event, bool coalesced, int32_t argc = 0, int32_t a1 = 0, int32_t a2 = 0,
                         int32_t a3 = 0);
    void PostDropFile(const char* name, int32_t x, int32_t y);
    bool HasHandler(Event event) const { return m_handlers[event] != nullptr; }
    // The stored size follows a client size; the surface too unless a mode
    // switch runs. Answers true when the size changed.
    bool TakeClientSize(int32_t width, int32_t height);
    void TakeWindowPosition(int32_t clientX, int32_t clientY);
    // A character of "Input" (WM_CHAR).
    void InputCharacter(uint32_t character);
    // The window goes (WM_DESTROY): its handle is cleared first, so that
    // Destroy does not destroy it again.
    void WindowDestroyed();
    void ClampTrackSize(int32_t edge, CRect* dragged);
    void ActivateAsFakeChild(bool shown);
    // The modal stack: newest first.
    static bool IsBlockedByModal(void* window);

    // ---- fields ----
    std::vector<WindowMessageHook> m_hooks;
    void* m_bigIcon = nullptr;
    void* m_smallIcon = nullptr;
    int32_t m_autoClose = 1;
    std::string m_inputText;
    std::string m_inputPrompt;
    int32_t m_inputActive = 0;
    int32_t m_inputX = 0, m_inputY = 0;
    int32_t m_inputAdvanceX = 0, m_inputAdvanceY = 0;
    int32_t m_modal = 0;
    CIBaseClassImpl* m_hScrollBar = nullptr;
    CIBaseClassImpl* m_vScrollBar = nullptr;
    CIWindow* m_activeChild = nullptr;
    uint32_t m_minWidth = 0, m_minHeight = 0;
    uint32_t m_maxWidth = 0xFFFFFFFFu, m_maxHeight = 0xFFFFFFFFu;
    CPoolList m_controls;
    CISurface* m_surface = nullptr;
    int32_t m_modeSwitch = 0;
    CFunctionRecord* m_handlers[kEventCount] = {};
    int32_t m_ownsWindow = 0;
    void* m_cursor = nullptr;
    int32_t m_cursorOwned = 0;

private:
    void ApplySizeLimits();
    void DrawInputText(const char* text, bool newLine);
    void EndInput();
    void SetHandler(Event event);
    void ForwardToSurface(int32_t memberId);

    // Members 101 to 142.
    int32_t GetSurface();
    int32_t SetCursor();
    int32_t Input();
    int32_t DoModal();
    int32_t EndModal();
    int32_t SetIcon();
    int32_t EnableCloseBox();
    int32_t SetAutoClose();
    int32_t Center();
    int32_t Maximize();
    int32_t IsMaximized();
    int32_t Minimize();
    int32_t IsMinimized();
    int32_t Restore();
    int32_t SetMinSize();
    int32_t SetMaxSize();
    int32_t EnableDropFile();
    int32_t SetFullScreenMode();
    int32_t SetWindowedMode();
    int32_t GetHorizontalScrollBar();
    int32_t GetVerticalScrollBar();
    int32_t BeginMouseCapture();
    int32_t EndMouseCapture();
    int32_t HasMouseCapture();
    int32_t Flash();
    int32_t GetLeftBorderSize();
    int32_t GetRightBorderSize();
    int32_t GetTopBorderSize();
    int32_t GetBottomBorderSize();
};

// The script window of a window handle (its property), or null.
CIWindow* ScriptWindowOf(void* window);
// Registers "3DQMainClass" once (a start hook of every run).
int32_t RegisterMainWindowClass();
void RegisterWindowClass();
