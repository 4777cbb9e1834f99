#pragma once
// Script windows over the native stand-in windows (plain records without a
// frame on a 1024 × 768 screen), with a focusable test control.
#include "runtime/interp/interpretor.h"
#include "tests/graphics2d/loaded_interpreter.h"
#include "ui/ci_window.h"
#include "ui/os_window.h"

// A control of the test: a focusable child of a window.
class TestControl : public CIChildWindow {
public:
    TestControl(CInterpretor* in, CIWindow* parent, bool tabStop, int32_t wantsTab = 0)
        : CIChildWindow(in, kClassButton), m_wantsTab(wantsTab) {
        m_parent = parent;
        SetDefaultRect(10, 10, 100, 30, kWsChild | kWsVisible | (tabStop ? kWsTabStop : 0), 0);
        CreateControlWindow("BUTTON", nullptr, nullptr, 3);
        AssignInstanceNumber();
        ApplyPendingShows();
    }
    void Destroy(int32_t releaseAll) override {
        CIChildWindow::Destroy(releaseAll);
        delete this;
    }
    int32_t WantsTabKey() override { return m_wantsTab; }

private:
    int32_t m_wantsTab;
};

constexpr uint32_t kHidden = 0xDEB20005, kTabStop = 0xDEB00001, kNoSurface = 0xAAD20007, kFakeChild = 0xAAD20008,
                   kGame = 0xAAD20000;

class WindowTest : public LoadedInterpreterTest {
protected:
    CIWindow* NewWindow(std::initializer_list<CallArg> args) { return dynamic_cast<CIWindow*>(New(kClassWindow, args)); }
    CRect RectOf(CIWindow* w) {
        CRect r;
        OsGetWindowRect(w->m_window, &r);
        return r;
    }
};


