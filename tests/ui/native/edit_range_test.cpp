// Edit fields and range controls over the native stand-ins (messages logged
// and answered 0; scroll bars kept as records): argument rules, defaults,
// the notifications the parent's hooks turn into events, and the scroll
// bar's position rules.
#include "tests/ui/native/control_fixture.h"
#include "runtime/base/alloc_fault_injection.h"
#include "ui/ci_edit.h"
#include "ui/ci_edit_members.h"
#include "ui/ci_progress_bar_members.h"
#include "ui/ci_range_controls.h"
#include "ui/ci_scroll_bar_members.h"
#include "ui/ci_slider_members.h"
#include "ui/ci_spin_members.h"
#include "ui/ci_window_members.h"
#include "ui/os_range_controls.h"

namespace {

class EditRangeTest : public ControlTest {
protected:
    void SetUp() override {
        ControlTest::SetUp();
        m_window = NewWindow({400, 300});
        ASSERT_NE(m_window, nullptr);
    }
    // The messages of one call.
    std::vector<OsSentMessage> SentBy(CIBaseClassImpl* object, int32_t member, std::initializer_list<CallArg> args = {}) {
        OsSentMessages().clear();
        Call(object, member, args);
        return OsSentMessages();
    }
    OsSentMessage Last(CIBaseClassImpl* object, int32_t member, std::initializer_list<CallArg> args = {}) {
        const std::vector<OsSentMessage> sent = SentBy(object, member, args);
        EXPECT_FALSE(sent.empty()) << member;
        return sent.empty() ? OsSentMessage{} : sent.back();
    }
    // A message of the parent's window procedure through its hooks.
    bool Hook(uint32_t message, uintptr_t wParam, intptr_t lParam, intptr_t* answer = nullptr) {
        for (WindowMessageHook hook : m_window->Hooks()) {
            int32_t handled = 0;
            const intptr_t a = hook(&handled, m_window->m_window, message, wParam, lParam);
            if (handled) {
                if (answer != nullptr)
                    *answer = a;
                return true;
            }
        }
        return false;
    }
    CIWindow* m_window = nullptr;
};

TEST_F(EditRangeTest, EditArgumentRules) {
    auto* edit = NewControl<CIEdit>(kClassEdit, {"text"});
    ASSERT_NE(edit, nullptr);
    EXPECT_EQ(edit->m_width, 100);
    EXPECT_EQ(edit->m_height, 30);
    // "SetSelection"() removes the selection: EM_SETSEL(-1, -1).
    OsSentMessage m = Last(edit, kEditSetSelection);
    EXPECT_EQ(m.message, 0xB1u);
    EXPECT_EQ(static_cast<intptr_t>(m.wParam), -1);
    EXPECT_EQ(m.lParam, -1);
    // "ReplaceSelection": text and flag in either order; flag 1 and "" by default.
    const struct {
        std::initializer_list<CallArg> args;
        uintptr_t flag;
        const char* text;
    } kCases[] = {
        {{"abc", 0}, 0, "abc"}, {{0, "abc"}, 0, "abc"}, {{"abc", 5}, 1, "abc"},
        {{5, "abc"}, 5, "abc"}, {{}, 1, ""},          {{CallArg::Omitted(), "x"}, 1, "x"},
    };
    for (const auto& c : kCases) {
        m = Last(edit, kEditReplaceSelection, c.args);
        EXPECT_EQ(m.message, 0xC2u);
        EXPECT_EQ(m.wParam, c.flag) << c.text;
        EXPECT_EQ(m.text, c.text);
    }
    // "SetMaxSize"() is 0xFFFFFFFF; "DeleteSelection" replaces with "".
    EXPECT_EQ(Last(edit, kEditSetMaxSize).wParam, uintptr_t{0xFFFFFFFFu});
    m = Last(edit, kEditDeleteSelection);
    EXPECT_EQ(m.message, 0xC2u);
    EXPECT_EQ(m.wParam, 1u);
    // The scroll members send EM_SCROLL with their codes.
    EXPECT_EQ(Last(edit, kEditScrollUpOnePage).wParam, 2u);
    EXPECT_EQ(Last(edit, kEditScrollDownOneLine).wParam, 1u);
    // An empty selection answers "" without reading the text.
    const std::vector<OsSentMessage> sent = SentBy(edit, kEditGetSelection);
    ASSERT_EQ(sent.size(), 1u);
    EXPECT_EQ(sent[0].message, 0xB0u);
    EXPECT_EQ(Text(m_interp.Result()), "");
    // "GetLineContent" of an empty line answers "" without EM_GETLINE.
    for (const OsSentMessage& s : SentBy(edit, kEditGetLineContent, {3}))
        EXPECT_NE(s.message, 0xC4u);
    EXPECT_EQ(Text(m_interp.Result()), "");
}

TEST_F(EditRangeTest, EditNumbersAndTabStops) {
    auto* edit = NewControl<CIEdit>(kClassEdit, {"12abc"});
    EXPECT_EQ(Int(edit, kEditGetInt), 12);
    Call(edit, kEditSetText, {(std::string(60, '0') + "7123").c_str()});
    EXPECT_EQ(Int(edit, kEditGetInt), 7);
    Call(edit, kEditSetText, {" 2.5e1z"});
    EXPECT_DOUBLE_EQ(Call(edit, kEditGetFloat)->GetDouble(), 25.0);
    // Pixels to dialog units of the stand-in's 8-pixel characters; omitted ones skipped.
    const OsSentMessage m = Last(edit, kEditSetTabStops, {32, CallArg::Omitted(), 64});
    EXPECT_EQ(m.message, 0xCBu);
    EXPECT_EQ(m.values, (std::vector<int32_t>{16, 32}));
    EXPECT_EQ(ErrorOf(edit, kEditSetTabStops), 21);
    tw::testing::SetAllocFailures(1000);
    EXPECT_EQ(ErrorOf(edit, kEditSetTabStops, {10}), 15);
    tw::testing::SetAllocFailures(0);
}

TEST_F(EditRangeTest, EditNotificationsAndTab) {
    auto* edit = NewControl<CIEdit>(kClassEdit, {});
    CFunctionRecord changed{}, maxText{};
    edit->m_events[kOnTextChanged] = &changed;
    edit->m_events[kOnMaxTextReached] = &maxText;
    // Every EN_ code of the table is handled, with or without a handler.
    for (int32_t code : {0x300, 0x100, 0x200, 0x501, 0x601, 0x602})
        EXPECT_TRUE(Notify(edit, code)) << code;
    EXPECT_FALSE(Notify(edit, 0x400));
    const Events events = TakeEvents();
    ASSERT_EQ(events.size(), 2u);
    EXPECT_EQ(events[0].first, &changed);
    EXPECT_EQ(events[1].first, &maxText);
    // Twice the same change before delivery: one event.
    Notify(edit, 0x300);
    Notify(edit, 0x300);
    EXPECT_EQ(TakeEvents().size(), 1u);
    // Colours for both colour messages, the control's brush answered.
    intptr_t brush = 0;
    EXPECT_TRUE(Hook(0x133, 0, reinterpret_cast<intptr_t>(edit->m_window), &brush));
    EXPECT_EQ(brush, reinterpret_cast<intptr_t>(edit->m_brush));
    EXPECT_TRUE(Hook(0x138, 0, reinterpret_cast<intptr_t>(edit->m_window)));
    // Tab: a single-line field passes it on; a multi-line one keeps it
    // unless it is a tab stop.
    EXPECT_EQ(edit->WantsTabKey(), 0);
    auto* multi = NewControl<CIEdit>(kClassEdit, {0xAAD00000u});
    EXPECT_EQ(multi->WantsTabKey(), 1);
    auto* stop = NewControl<CIEdit>(kClassEdit, {0xAAD00000u, 0xDEB00001u});
    stop->ApplyPendingShows();
    EXPECT_EQ(stop->WantsTabKey(), 0);
}

TEST_F(EditRangeTest, ScrollBarSizesRangeAndScrolling) {
    // Vertical with only a width: that is its height; the width is the system's.
    auto* v = NewControl<CIScrollBar>(kClassScrollBar, {0xAAD00001u, 5, 6, 150});
    ASSERT_NE(v, nullptr);
    EXPECT_EQ(v->m_width, OsGetSystemMetric(kSmCxVScroll));
    EXPECT_EQ(v->m_height, 150);
    auto* h = NewControl<CIScrollBar>(kClassScrollBar, {});
    EXPECT_EQ(h->m_width, 100);
    EXPECT_EQ(h->m_height, OsGetSystemMetric(kSmCyHScroll));
    // Created with 0 to 100, page 1, position 0; "SetRange" puts in order.
    OsScrollInfo info;
    ASSERT_TRUE(OsGetScrollInfo(h->m_window, kSbCtl, &info));
    EXPECT_EQ(info.max, 100);
    Call(h, kScrollBarSetRange, {50, 10});
    OsGetScrollInfo(h->m_window, kSbCtl, &info);
    EXPECT_EQ(info.min, 10);
    EXPECT_EQ(info.max, 50);
    EXPECT_EQ(Int(h, kScrollBarGetPos), 10);
    Call(h, kScrollBarSetPageSize, {5});
    Call(h, kScrollBarSetPageSize);  // required argument omitted: nothing
    OsGetScrollInfo(h->m_window, kSbCtl, &info);
    EXPECT_EQ(info.page, 5u);
    // The hook moves the bar by the code and posts position and code; the
    // events wait (a handler call is marked running, so the hook's tick does
    // not deliver them).
    CFunctionRecord scrolled{};
    h->m_onScroll = &scrolled;
    ++m_interp.m_callsInProgress;
    const struct {
        int32_t code, thumb, want;
    } kMoves[] = {{1, 0, 11}, {3, 0, 16}, {0, 0, 15}, {7, 0, 46}, {2, 0, 41}, {6, 0, 10}, {5, 30, 30}, {4, 31, 31},
                  {8, 0, 31}};
    for (const auto& move : kMoves) {
        const uintptr_t wParam = (static_cast<uintptr_t>(move.thumb) << 16) | static_cast<uintptr_t>(move.code);
        EXPECT_TRUE(Hook(0x114, wParam, reinterpret_cast<intptr_t>(h->m_window)));
        EXPECT_EQ(Int(h, kScrollBarGetPos), move.want) << move.code;
    }
    // Coalesced: one waiting event with the last position (and code 8).
    const Events moved = TakeEvents();
    ASSERT_EQ(moved.size(), 1u);
    EXPECT_EQ(moved[0].first, &scrolled);
    EXPECT_EQ(moved[0].second, 8);
    // A slider's scroll message is not the scroll bar's.
    auto* slider = NewControl<CISlider>(kClassSlider, {});
    CFunctionRecord slid{};
    slider->m_onScroll = &slid;
    EXPECT_TRUE(Hook(0x114, 5, reinterpret_cast<intptr_t>(slider->m_window)));
    const Events events = TakeEvents();
    ASSERT_EQ(events.size(), 1u);
    EXPECT_EQ(events[0].first, &slid);
    EXPECT_EQ(events[0].second, 5);
    // Colours only once the script has set a background colour.
    EXPECT_FALSE(Hook(0x137, 0, reinterpret_cast<intptr_t>(h->m_window)));
    Call(h, kScrollBarSetBackColor, {0x102030});
    EXPECT_TRUE(Hook(0x137, 0, reinterpret_cast<intptr_t>(h->m_window)));
    --m_interp.m_callsInProgress;
}

TEST_F(EditRangeTest, WindowOwnScrollBars) {
    EXPECT_EQ(ErrorOf(m_window, kWindowGetHorizontalScrollBar), 113);
    EXPECT_EQ(ErrorOf(m_window, kWindowGetVerticalScrollBar), 114);
    auto* w = NewWindow({300, 200, 0xDEB00003u, 0xDEB00004u});  // VSCROLL, HSCROLL
    ASSERT_NE(w, nullptr);
    ASSERT_NE(w->m_hScrollBar, nullptr);
    ASSERT_NE(w->m_vScrollBar, nullptr);
    CIBaseClassImpl* hBar = Call(w, kWindowGetHorizontalScrollBar)->GetObject();
    CIBaseClassImpl* vBar = Call(w, kWindowGetVerticalScrollBar)->GetObject();
    EXPECT_EQ(hBar, w->m_hScrollBar);
    const int32_t bar = OsGetSystemMetric(kSmCxVScroll);
    EXPECT_EQ(Int(vBar, kScrollBarGetX), w->m_width - bar);
    EXPECT_EQ(Int(vBar, kScrollBarGetY), 0);
    EXPECT_EQ(Int(vBar, kScrollBarGetHeight), w->m_height);
    EXPECT_EQ(Int(hBar, kScrollBarGetY), w->m_height - OsGetSystemMetric(kSmCyHScroll));
    EXPECT_EQ(Int(hBar, kScrollBarGetWidth), w->m_width);
    // Conversions are relative to the bar.
    EXPECT_EQ(Int(vBar, kScrollBarGetXWindow, {500}) + Int(vBar, kScrollBarGetX),
              Int(w, kWindowGetXWindow, {500}));
    // Messages address the window's own bar; a null lParam finds it.
    Call(vBar, kScrollBarSetPos, {40});
    EXPECT_EQ(OsGetScrollPos(w->m_window, kSbVert), 40);
    EXPECT_EQ(OsGetScrollPos(w->m_window, kSbHorz), 0);
    bool handled = false;
    for (WindowMessageHook hook : w->Hooks()) {
        int32_t flag = 0;
        hook(&flag, w->m_window, 0x115, 1, 0);
        handled = handled || flag;
        if (flag)
            break;
    }
    EXPECT_TRUE(handled);
    EXPECT_EQ(OsGetScrollPos(w->m_window, kSbVert), 41);
    // Destroying the window leaves no bar behind and keeps its window alive until then.
    void* handle = w->m_window;
    DeleteScriptObject(&m_interp, w);
    EXPECT_FALSE(OsIsWindow(handle));
}

TEST_F(EditRangeTest, SliderSpinAndProgressMessages) {
    auto* slider = NewControl<CISlider>(kClassSlider, {0xAAD00001u, 5, 6, 150});  // vertical
    EXPECT_EQ(slider->m_height, 150);
    OsSentMessage m = Last(slider, kSliderSetRange, {100, 0});
    EXPECT_EQ(m.message, 0x406u);
    EXPECT_EQ(m.lParam, 100 << 16);
    m = Last(slider, kSliderSetSelection, {9, 3});
    EXPECT_EQ(m.lParam, (9 << 16) | 3);
    EXPECT_TRUE(SentBy(slider, kSliderSetPos).empty());  // required argument
    EXPECT_EQ(Last(slider, kSliderGetTick, {0}).message, 0x401u);  // the range minimum
    auto* bar = NewControl<CIProgressBar>(kClassProgressBar, {});
    m = Last(bar, kProgressBarSetRange);
    EXPECT_EQ(m.message, 0x406u);  // PBM_SETRANGE32(min, max)
    EXPECT_EQ(static_cast<intptr_t>(m.wParam), -32767);
    EXPECT_EQ(m.lParam, 32767);
    m = Last(bar, kProgressBarSetRange, {100, 0});
    EXPECT_EQ(m.wParam, 0u);
    EXPECT_EQ(m.lParam, 100);
    EXPECT_EQ(Last(bar, kProgressBarGetRangeMin).wParam, 1u);
    EXPECT_TRUE(SentBy(bar, kProgressBarDeltaPos).empty());
    // The spin takes only an edit field as its buddy.
    auto* edit = NewControl<CIEdit>(kClassEdit, {});
    auto* spin = NewControl<CISpin>(kClassSpin, {slider});
    ASSERT_NE(spin, nullptr);
    EXPECT_EQ(spin->m_buddy, nullptr);
    EXPECT_TRUE(SentBy(spin, kSpinSetBuddy, {bar}).empty());
    Call(spin, kSpinSetBuddy, {edit});
    EXPECT_EQ(spin->m_buddy, edit);
    m = Last(spin, kSpinSetRange, {10, -5});  // maximum in the low word
    EXPECT_EQ(static_cast<uint32_t>(m.lParam), (static_cast<uint32_t>(-5) << 16) | 10u);
    tw::testing::SetAllocFailures(1000);
    EXPECT_EQ(ErrorOf(spin, kSpinAddAccel, {5, 2}), 15);
    tw::testing::SetAllocFailures(0);
    // The buddy going releases the spin too.
    EXPECT_EQ(spin->OnObjectDeleted(edit), 1);
    EXPECT_EQ(spin->m_buddy, nullptr);
    EXPECT_EQ(spin->OnObjectDeleted(bar), 0);
}

}  // namespace
