// Edit fields and range controls against the real controls: what scripts
// cannot read (styles, line counts, positions and ranges through the
// controls' own messages) and the members' answers.
#include "runtime/interp/script_array.h"
#include "tests/graphics2d/loaded_interpreter.h"
#include "tests/support/script_event_poster.h"
#include "ui/ci_edit.h"
#include "ui/ci_edit_members.h"
#include "ui/ci_progress_bar_members.h"
#include "ui/ci_range_controls.h"
#include "ui/ci_scroll_bar_members.h"
#include "ui/ci_slider_members.h"
#include "ui/ci_spin_members.h"

#include <windows.h>
#include <commctrl.h>
#undef GetObject

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

class EditRangeWin : public LoadedInterpreterTest {
protected:
    void SetUp() override {
        LoadedInterpreterTest::SetUp();
        ASSERT_EQ(RegisterMainWindowClass(), 1);
        ASSERT_NE(New(kClassWindow, {400, 300, "controls"}), nullptr);
    }
    void TearDown() override {
        m_interp.ClearEvents();
        LoadedInterpreterTest::TearDown();
    }
    template <class T>
    T* NewControl(uint32_t classId, std::initializer_list<CallArg> args) {
        T* control = dynamic_cast<T*>(New(classId, args));
        m_interp.RefreshAll();
        return control;
    }
    static LRESULT SendTo(CIChildWindow* c, UINT m, WPARAM w = 0, LPARAM l = 0) {
        return SendMessageA(static_cast<HWND>(c->m_window), m, w, l);
    }
};

TEST_F(EditRangeWin, EditLinesSelectionAndNumbers) {
    auto* edit = NewControl<CIEdit>(kClassEdit, {10, 10, 200, 100, 0xAAD00000u});  // MULTILINE
    ASSERT_NE(edit, nullptr);
    EXPECT_TRUE(GetWindowLongA(static_cast<HWND>(edit->m_window), GWL_STYLE) & ES_MULTILINE);
    Call(edit, kEditSetText, {"first\r\n\r\nthird line"});
    EXPECT_EQ(SendTo(edit, EM_GETLINECOUNT), 3);
    EXPECT_EQ(Int(edit, kEditGetLineCount), 3);
    EXPECT_EQ(Text(Call(edit, kEditGetLineContent, {2})), "third line");
    EXPECT_EQ(Text(Call(edit, kEditGetLineContent, {1})), "");
    EXPECT_EQ(Text(Call(edit, kEditGetLineContent)), "first");
    EXPECT_EQ(Int(edit, kEditGetLineLength, {2}), 10);
    EXPECT_EQ(Int(edit, kEditGetCharIndexFromLineIndex, {2}), 9);
    EXPECT_EQ(Int(edit, kEditGetLineIndexFromCharIndex, {10}), 2);
    Call(edit, kEditSetSelection, {9, 14});
    EXPECT_EQ(Text(Call(edit, kEditGetSelection)), "third");
    EXPECT_EQ(Int(edit, kEditGetStartSelection), 9);
    EXPECT_EQ(Int(edit, kEditGetEndSelection), 14);
    Call(edit, kEditReplaceSelection, {0, "3rd"});
    EXPECT_EQ(Text(Call(edit, kEditGetText)), "first\r\n\r\n3rd line");
    // "SetSelection"() removes the selection.
    Call(edit, kEditSetSelection);
    EXPECT_EQ(Text(Call(edit, kEditGetSelection)), "");
    Call(edit, kEditSetModified, {0});
    EXPECT_EQ(Int(edit, kEditIsModified), 0);
    Call(edit, kEditSetMaxSize, {40});
    EXPECT_EQ(Int(edit, kEditGetMaxSize), 40);
    Call(edit, kEditSetReadOnly);
    EXPECT_TRUE(GetWindowLongA(static_cast<HWND>(edit->m_window), GWL_STYLE) & ES_READONLY);
    Call(edit, kEditSetTabStops, {40, 80});
    auto* single = NewControl<CIEdit>(kClassEdit, {"12abc"});
    EXPECT_EQ(Int(single, kEditGetInt), 12);
    EXPECT_EQ(Int(single, kEditGetLineCount), 1);
    Call(single, kEditSetText, {"-2.5"});
    EXPECT_DOUBLE_EQ(Call(single, kEditGetFloat)->GetDouble(), -2.5);
    EXPECT_EQ(single->WantsTabKey(), 0);
    EXPECT_EQ(edit->WantsTabKey(), 1);
}

TEST_F(EditRangeWin, LineContentPastTheEndAndLongLines) {
    auto* edit = NewControl<CIEdit>(kClassEdit, {10, 10, 200, 100, 0xAAD00000u, 0xAAD00001u});
    // A line past the end: EM_LINEINDEX answers -1 and the text is "".
    Call(edit, kEditSetText, {"one"});
    EXPECT_EQ(Text(Call(edit, kEditGetLineContent, {5})), "");
    // A line longer than the 16-bit count: cut at 65535 characters, no
    // bytes beyond what the control copied.
    Call(edit, kEditSetMaxSize, {0x7FFFFFFF});
    const std::string longLine(70000, 'x');
    Call(edit, kEditSetText, {longLine.c_str()});
    const std::string got = Text(Call(edit, kEditGetLineContent, {0}));
    EXPECT_LE(got.size(), 65535u);
    EXPECT_EQ(got.find_first_not_of('x'), std::string::npos);
}

// A control whose selection reaches far past its text (answered by a
// subclass): the selected text ends with the text, and nothing past the
// text is read or allocated for.
WNDPROC g_editProc = nullptr;
LRESULT CALLBACK SelectionPastTheEnd(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
    if (msg != EM_GETSEL)
        return CallWindowProcA(g_editProc, hwnd, msg, wp, lp);
    if (wp != 0)
        *reinterpret_cast<DWORD*>(wp) = 2;
    if (lp != 0)
        *reinterpret_cast<DWORD*>(lp) = 0x7FFFFFF0;
    return MAKELRESULT(2, 0xFFFF);
}

TEST_F(EditRangeWin, SelectionPastTheEndOfTheText) {
    auto* edit = NewControl<CIEdit>(kClassEdit, {"abcdef"});
    ASSERT_NE(edit, nullptr);
    HWND hwnd = static_cast<HWND>(edit->m_window);
    g_editProc = reinterpret_cast<WNDPROC>(
        SetWindowLongPtrA(hwnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&SelectionPastTheEnd)));
    EXPECT_EQ(Text(Call(edit, kEditGetSelection)), "cdef");
    SetWindowLongPtrA(hwnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(g_editProc));
}

TEST_F(EditRangeWin, ScrollBarAndSliderPositions) {
    auto* v = NewControl<CIScrollBar>(kClassScrollBar, {0xAAD00001u, 5, 6, 150});
    ASSERT_NE(v, nullptr);
    RECT r;
    GetWindowRect(static_cast<HWND>(v->m_window), &r);
    EXPECT_EQ(r.bottom - r.top, 150);
    EXPECT_EQ(r.right - r.left, GetSystemMetrics(SM_CXVSCROLL));
    EXPECT_TRUE(GetWindowLongA(static_cast<HWND>(v->m_window), GWL_STYLE) & SBS_VERT);
    Call(v, kScrollBarSetRange, {200, 10});
    Call(v, kScrollBarSetPos, {500});
    EXPECT_EQ(Int(v, kScrollBarGetPos), 200);  // clamped by Windows
    SCROLLINFO si = {sizeof si, SIF_ALL};
    GetScrollInfo(static_cast<HWND>(v->m_window), SB_CTL, &si);
    EXPECT_EQ(si.nMin, 10);
    EXPECT_EQ(si.nMax, 200);

    auto* slider = NewControl<CISlider>(kClassSlider, {10, 100, 300, 40, 0xAAD00000u, 0xAAD00009u});  // AUTOTICKS, ENABLESELRANGE
    ASSERT_NE(slider, nullptr);
    Call(slider, kSliderSetRange, {100, 0});
    EXPECT_EQ(SendTo(slider, TBM_GETRANGEMIN), 0);
    EXPECT_EQ(SendTo(slider, TBM_GETRANGEMAX), 100);
    Call(slider, kSliderSetPos, {30});
    EXPECT_EQ(SendTo(slider, TBM_GETPOS), 30);
    Call(slider, kSliderSetPos);  // required argument: nothing
    EXPECT_EQ(Int(slider, kSliderGetPos), 30);
    Call(slider, kSliderSetTickFrequency, {25});
    const int32_t n = Int(slider, kSliderGetNumTicks);
    EXPECT_GE(n, 2);
    EXPECT_EQ(Int(slider, kSliderGetTick, {0}), 0);
    EXPECT_EQ(Int(slider, kSliderGetTick, {n - 1}), 100);
    RECT channel;
    SendTo(slider, TBM_GETCHANNELRECT, 0, reinterpret_cast<LPARAM>(&channel));
    EXPECT_EQ(Int(slider, kSliderGetTickPos, {0}), channel.left);
    EXPECT_EQ(Int(slider, kSliderGetTickPos, {n - 1}), channel.right);
    Call(slider, kSliderSetSelection, {60, 20});
    EXPECT_EQ(Int(slider, kSliderGetSelectionStart), 20);
    EXPECT_EQ(Int(slider, kSliderGetSelectionEnd), 60);
    Call(slider, kSliderSetPageSize, {7});
    EXPECT_EQ(Int(slider, kSliderGetPageSize), 7);
    // A key the control turns into WM_HSCROLL to its parent: "OnScroll" posted.
    CFunctionRecord slid{};
    slider->m_onScroll = &slid;
    m_interp.ClearEvents();
    SendTo(slider, WM_KEYDOWN, VK_RIGHT, 0);
    EXPECT_EQ(Int(slider, kSliderGetPos), 31);
    EXPECT_GE(m_interp.CountEvents(), 1);
    m_interp.ClearEvents();
}

TEST_F(EditRangeWin, SpinWithItsBuddyAndProgressBar) {
    auto* edit = NewControl<CIEdit>(kClassEdit, {10, 10, 60, 24, "0"});
    auto* spin = NewControl<CISpin>(kClassSpin, {edit, 70, 10, 20, 24});
    ASSERT_NE(spin, nullptr);
    EXPECT_EQ(spin->m_buddy, edit);
    EXPECT_EQ(Call(spin, kSpinGetBuddy)->GetObject(), edit);
    Call(spin, kSpinSetRange, {50, -10});
    EXPECT_EQ(Int(spin, kSpinGetRangeMin), static_cast<int32_t>(static_cast<uint16_t>(-10)));
    EXPECT_EQ(Int(spin, kSpinGetRangeMax), 50);
    Call(spin, kSpinSetPos, {7});
    EXPECT_EQ(SendTo(spin, UDM_GETPOS) & 0xFFFF, 7);
    EXPECT_EQ(Text(Call(edit, kEditGetText)), "7");
    // A buddy text that is no number: the error flag in the high word.
    Call(edit, kEditSetText, {"abc"});
    EXPECT_NE(static_cast<uint32_t>(Int(spin, kSpinGetPos)) >> 16, 0u);
    // The steps stay ordered by seconds.
    const int32_t before = Int(spin, kSpinGetNAccel);
    Call(spin, kSpinAddAccel, {5, 2});
    EXPECT_EQ(Int(spin, kSpinGetNAccel), before + 1);
    const CValue* steps = Call(spin, kSpinGetAccel);
    ASSERT_NE(steps->GetArray(), nullptr);
    std::vector<uint32_t> seconds;
    for (int32_t k = 0; k < before + 1; ++k)
        seconds.push_back(static_cast<uint32_t>(steps->GetArray()->GetCell(static_cast<uint32_t>(2 * k))->GetInt()));
    for (std::size_t k = 1; k < seconds.size(); ++k)
        EXPECT_LE(seconds[k - 1], seconds[k]);
    Call(spin, kSpinRemoveAccel, {0, 2});
    EXPECT_EQ(Int(spin, kSpinGetNAccel), before);

    auto* bar = NewControl<CIProgressBar>(kClassProgressBar, {10, 200, 200, 20});
    Call(bar, kProgressBarSetRange);
    PBRANGE range = {};
    SendTo(bar, PBM_GETRANGE, TRUE, reinterpret_cast<LPARAM>(&range));
    EXPECT_EQ(range.iLow, -32767);
    EXPECT_EQ(range.iHigh, 32767);
    Call(bar, kProgressBarSetRange, {100, 0});
    EXPECT_EQ(Int(bar, kProgressBarGetRangeMin), 0);
    EXPECT_EQ(Int(bar, kProgressBarGetRangeMax), 100);
    Call(bar, kProgressBarSetStep, {15});
    Call(bar, kProgressBarStepIt);
    Call(bar, kProgressBarDeltaPos, {5});
    EXPECT_EQ(SendTo(bar, PBM_GETPOS), 20);
    EXPECT_EQ(Int(bar, kProgressBarGetPos), 20);
}

// A scroll message sent to the window while the script waits, as Windows'
// modal scroll loop sends it: "OnScroll" runs inside it (the hook's tick),
// and its handler deletes the bar or the bar's whole window there.
struct ScrollProbe {
    const char* title;
    bool sent = false;
    bool barGoneInside = false;
    bool windowGoneInside = false;
};
ScrollProbe* g_probe = nullptr;

LRESULT CALLBACK ScrollSenderProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
    if (msg != WM_TIMER || g_probe == nullptr || g_probe->sent)
        return DefWindowProcA(hwnd, msg, wp, lp);
    HWND parent = FindWindowA(nullptr, g_probe->title);
    HWND bar = parent != nullptr ? FindWindowExA(parent, nullptr, "SCROLLBAR", nullptr) : nullptr;
    if (bar == nullptr)
        return 0;  // not made yet: the next tick
    g_probe->sent = true;
    KillTimer(hwnd, wp);
    SendMessageA(parent, WM_HSCROLL, SB_LINEDOWN, reinterpret_cast<LPARAM>(bar));
    g_probe->barGoneInside = !IsWindow(bar);
    g_probe->windowGoneInside = !IsWindow(parent);
    return 0;
}

TEST_F(EditRangeWin, ScrollHandlerDeletesItsBarOrWindowInsideTheScroll) {
    WNDCLASSA wc = {};
    wc.lpfnWndProc = ScrollSenderProc;
    wc.hInstance = GetModuleHandleA(nullptr);
    wc.lpszClassName = "TwScrollSender";
    RegisterClassA(&wc);
    HWND sender = CreateWindowA("TwScrollSender", "", WS_OVERLAPPED, 0, 0, 10, 10, nullptr, nullptr, wc.hInstance,
                                nullptr);
    ASSERT_NE(sender, nullptr);
    const struct {
        const char* title;
        const char* deletes;
        bool windowGoes;
    } kCases[] = {{"tw-scroll-bar-goes", "bar", false}, {"tw-scroll-window-goes", "w", true}};
    for (const auto& c : kCases) {
        ScrollProbe probe{c.title};
        g_probe = &probe;
        // Another window keeps the run going when the bar's window goes.
        const std::string source = std::string("keep = New Window(60, 60, \"keep\");\n") +
                                   "w = New Window(300, 200, \"" + c.title + "\");\n" +
                                   "s = New ScrollBar(w, 10, 10, 200, 20);\n"
                                   "seen = -1;\n"
                                   "s.OnScroll = Gone;\n"
                                   "Function Gone(bar, pos, code) {\n"
                                   "    seen = pos * 10 + code;\n"
                                   "    Delete " + c.deletes + ";\n"
                                   "}\n"
                                   "n = 0;\n"
                                   "While (seen == -1 && n < 300) {\n"
                                   "    Program.Wait(10);\n"
                                   "    n = n + 1;\n"
                                   "}\n"
                                   "If (seen != 11) FAIL();\n"
                                   "If (s != 0) FAIL();\n";
        SetTimer(sender, 1, 20, nullptr);
        EXPECT_EQ(RunScriptText(m_interp, "scroll", source), "") << c.title;
        KillTimer(sender, 1);
        EXPECT_TRUE(probe.sent) << c.title;
        EXPECT_TRUE(probe.barGoneInside) << c.title;
        EXPECT_EQ(probe.windowGoneInside, c.windowGoes) << c.title;
        g_probe = nullptr;
    }
    DestroyWindow(sender);
}

}  // namespace
