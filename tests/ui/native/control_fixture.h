#pragma once
// Controls of a script window over the native stand-ins: notifications sent
// as the parent's window procedure sends them (through its hook list), and
// the events they queue.
#include "runtime/interp/event_queue.h"
#include "tests/ui/window_fixture.h"
#include "ui/ci_notify_control.h"
#include "ui/os_controls.h"

#include <utility>
#include <vector>

class ControlTest : public WindowTest {
protected:
    void TearDown() override {
        m_interp.ClearEvents();
        WindowTest::TearDown();
    }
    template <class T>
    T* NewControl(uint32_t classId, std::initializer_list<CallArg> args) {
        return dynamic_cast<T*>(New(classId, args));
    }
    // What the parent's window procedure does with a notification.
    static bool Notify(CIChildWindow* control, int32_t code) {
        for (WindowMessageHook hook : control->m_parent->Hooks()) {
            int32_t handled = 0;
            hook(&handled, control->m_parent->m_window, kWmCommand, static_cast<uintptr_t>(code) << 16,
                 reinterpret_cast<intptr_t>(control->m_window));
            if (handled)
                return true;
        }
        return false;
    }
    // The queued events, oldest first: (handler, last integer argument); taken off the queue.
    std::vector<std::pair<CFunctionRecord*, int32_t>> TakeEvents() {
        std::vector<std::pair<CFunctionRecord*, int32_t>> events;
        CEventQueue& queue = m_interp.m_events;
        while (CEventRecord* r = queue.GetPending()) {
            events.emplace_back(r->handler, r->argCount > 1 ? r->args[r->argCount - 1].GetInt() : -1);
            queue.Remove(queue.GetCursor(), r->serial);
        }
        return events;
    }
    CFunctionRecord m_click{}, m_dbl{}, m_check{}, m_focus{};
};

using Events = std::vector<std::pair<CFunctionRecord*, int32_t>>;
