#pragma once
// The base of the controls that report through their parent window's
// WM_COMMAND (buttons, check boxes, radio buttons, group boxes, static
// texts). Each adds a message hook to its parent window that turns the
// parent's notifications into script events (posted coalesced, the control
// first) and answers WM_CTLCOLOR... with the control's colours.
#include "ui/ci_window.h"

#include <cstddef>
#include <cstdint>

class CINotifyControl : public CIChildWindow {
public:
    enum Event { kOnClick, kOnDblClick, kOnSetFocus, kOnKillFocus, kOnCheck, kOnSelChanged, kOnEditChanged, kEventCount };

    CINotifyControl(CInterpretor* interpretor, uint32_t classId, const char* windowClass, WindowMessageHook hook);

    // Parses the arguments (a parent window is required), applies the
    // class's size defaults and creates the window.
    void ConstructFromArgs() override;
    // Creates the window of its window class, then adds the hook to the parent.
    uint32_t AssignInstanceNumber() override;
    // Removes the hook from the parent, then the base work; deletes itself.
    void Destroy(int32_t releaseAll) override;
    int32_t IsReferenced() override { return 1; }

    // A notification code of the control from the parent's WM_COMMAND;
    // true when handled. The default: the button codes (BN_CLICKED,
    // BN_DBLCLK, BN_SETFOCUS, BN_KILLFOCUS) post their events, handled when
    // the handler is set.
    virtual bool Notify(int32_t code);
    // Posts the event when its handler is set, with one integer argument
    // after the control when argc is 1.
    void PostButtonEvent(Event event, int32_t argc = 0, int32_t value = 0);
    // The hook body shared by the classes: acts for controls of classId, on
    // WM_COMMAND and on the WM_CTLCOLOR... messages given (0: none).
    static intptr_t HandleHook(uint32_t classId, uint32_t colourMessage1, uint32_t colourMessage2,
                               int32_t* handled, void* window, uint32_t message, uintptr_t wParam, intptr_t lParam);

    CFunctionRecord* m_handlers[kEventCount] = {};

protected:
    struct NotifyEntry {
        int32_t code;
        Event event;
    };
    // Posts the event of the code's entry when its handler is set; true when
    // the code has an entry and (unless alwaysHandled) a handler.
    template <std::size_t N>
    bool NotifyByTable(const NotifyEntry (&table)[N], int32_t code, bool alwaysHandled) {
        return NotifyByTable(table, N, code, alwaysHandled);
    }
    bool NotifyByTable(const NotifyEntry* table, std::size_t count, int32_t code, bool alwaysHandled);
    // The class's size rules once the arguments are read; may raise errors.
    virtual void ApplyDefaults(const CValue* const* extras);
    int32_t StoreHandler(Event event);
    int32_t IsCheckedMember();

private:
    const char* m_windowClass;
    WindowMessageHook m_hook;
};

