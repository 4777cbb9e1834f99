// The window class and control base over the native stand-in windows (plain
// records without a frame on a 1024 × 768 screen): constructor arguments,
// deferred changes, the errors of the members and the focus walk.
#include "tests/ui/native/window_fixture.h"
#include "runtime/interp/os_message_pump.h"
#include "ui/ci_window_members.h"

#include <string>

namespace {

TEST_F(WindowTest, SizeTitleCentringAndSurface) {
    CIWindow* w = NewWindow({400, 300, "Title"});
    ASSERT_NE(w, nullptr);
    EXPECT_EQ(Int(w, kWindowGetWidth), 400);
    EXPECT_EQ(Int(w, kWindowGetHeight), 300);
    EXPECT_EQ(Int(w, kWindowGetX), (1024 - 400) / 2);
    EXPECT_EQ(Int(w, kWindowGetY), (768 - 300) / 2);
    EXPECT_EQ(Text(Call(w, kWindowGetText)), "Title");
    EXPECT_EQ(Int(w, kWindowIsVisible), 1);  // the first show is applied at once
    EXPECT_EQ(GetCurrentWindow(&m_interp), w);
    CIBaseClassImpl* s = Call(w, kWindowGetSurface)->GetObject();
    ASSERT_NE(s, nullptr);
    EXPECT_EQ(s->m_classId, static_cast<uint32_t>(kClassSurface));
    // Surface members 1 to 63 go to the surface; 16/61 are the surface's.
    EXPECT_EQ(Int(w, kWindowGetPixelWidth), 400);
    EXPECT_EQ(Int(w, kWindowGetPixelHeight), 300);
    // Size first, then position; the background colour and the depth extra.
    CIWindow* v = NewWindow({200, 100, 7, 8, 0x00FF00, 16});
    EXPECT_EQ(Int(v, kWindowGetX), 7);
    EXPECT_EQ(Int(v, kWindowGetY), 8);
    EXPECT_EQ(Int(v, kWindowGetBackColor), 0x00FF00);
    EXPECT_EQ(Int(v, kWindowGetBackgroundColor), 0x00FF00);
    EXPECT_EQ(Int(v, kWindowGetDepth), 16);
}

TEST_F(WindowTest, DeferredChangesWaitForTheRedrawPass) {
    CIWindow* w = NewWindow({400, 300, 20, 30});
    Call(w, kWindowSetPosition, {5, 6});
    EXPECT_EQ(RectOf(w).left, 20);
    EXPECT_EQ(Int(w, kWindowGetX), 5);  // the stored value answers at once
    m_interp.RefreshAll();
    EXPECT_EQ(RectOf(w).left, 5);
    EXPECT_EQ(RectOf(w).top, 6);
    Call(w, kWindowSetPosition, {50, CallArg::Omitted(), 1});
    EXPECT_EQ(RectOf(w).left, 50);  // immediate
    EXPECT_EQ(RectOf(w).top, 6);    // an omitted y keeps the stored one
    Call(w, kWindowHide);
    EXPECT_EQ(Int(w, kWindowIsVisible), 1);
    m_interp.RefreshAll();
    EXPECT_EQ(Int(w, kWindowIsVisible), 0);
    Call(w, kWindowShow, {1});
    EXPECT_EQ(Int(w, kWindowIsVisible), 1);
    // SetSize of a maximised window restores it at the next pass.
    Call(w, kWindowMaximize);
    m_interp.RefreshAll();
    EXPECT_EQ(Int(w, kWindowIsMaximized), 1);
    Call(w, kWindowSetSize, {200, 100});
    EXPECT_EQ(Int(w, kWindowIsMaximized), 1);
    m_interp.RefreshAll();
    EXPECT_EQ(Int(w, kWindowIsMaximized), 0);
    EXPECT_EQ(RectOf(w).Width(), 200);
    // A minimum above the size grows the window at the next pass.
    Call(w, kWindowSetMinSize, {500, 400});
    EXPECT_EQ(RectOf(w).Width(), 200);
    m_interp.RefreshAll();
    EXPECT_EQ(RectOf(w).Width(), 500);
    EXPECT_EQ(RectOf(w).Height(), 400);
}

TEST_F(WindowTest, HiddenStaysHiddenAndAttributes) {
    CIWindow* w = NewWindow({100, 100, kHidden, kTabStop});
    m_interp.RefreshAll();
    EXPECT_EQ(Int(w, kWindowIsVisible), 0);
    EXPECT_EQ(Int(w, kWindowHasAttribute, {kHidden}), 1);
    EXPECT_EQ(Int(w, kWindowHasAttribute, {kTabStop}), 1);
    EXPECT_EQ(Int(w, kWindowHasAttribute, {kGame}), 0);
    EXPECT_EQ(Int(w, kWindowHasAttribute, {0x1234}), 0);  // in no table
    EXPECT_EQ(ErrorOf(w, kWindowHasAttribute, {0xDEB00009u}), 14);
}

TEST_F(WindowTest, MemberErrors) {
    CIWindow* w = NewWindow({100, 100});
    CIWindow* bare = NewWindow({100, 100, kNoSurface});
    struct Case {
        CIWindow* window;
        int32_t member;
        std::initializer_list<CallArg> args;
        int32_t error;
    } cases[] = {
        {w, kWindowShow, {2}, 14},
        {w, kWindowSetAutoClose, {2}, 14},
        {w, kWindowCenter, {5}, 14},
        {bare, kWindowGetSurface, {}, 10},
        {w, kWindowDoModal, {}, 105},
        {w, kWindowGetHorizontalScrollBar, {}, 113},
        {w, kWindowGetVerticalScrollBar, {}, 114},
        {w, kWindowGetXScreen, {}, 14},
        {w, kWindowEnableDropFile, {2}, 14},
        {w, kWindowSetAutoClose, {0}, -1},
        {w, kWindowShow, {1}, -1},
        {w, kWindowCenter, {}, -1},
    };
    for (const Case& c : cases)
        EXPECT_EQ(ErrorOf(c.window, c.member, c.args), c.error) << c.member;
    // Nothing on a surface-less window reaches a surface.
    EXPECT_EQ(ErrorOf(bare, kWindowEraseRect), -1);
    // Objects not made by a script constructor refuse window changes.
    w->m_scriptCreated = 0;
    EXPECT_EQ(ErrorOf(w, kWindowShow), 112);
    EXPECT_EQ(ErrorOf(w, kWindowSetText, {"x"}), 112);
    EXPECT_EQ(ErrorOf(w, kWindowSetSize, {1, 1}), 112);
    EXPECT_EQ(ErrorOf(w, kWindowGetX), -1);
}

TEST_F(WindowTest, ConstructorErrors) {
    CIWindow* a = NewWindow({100, 100});
    CIWindow* b = NewWindow({100, 100});
    struct Case {
        std::initializer_list<CallArg> args;
        int32_t error;
    } cases[] = {
        {{a, b}, 14},                                   // a second parent
        {{0xDEB00007u}, 14},                            // index past the table
        {{1, 2, 3, 4, 0xFF, 8, 9}, 14},                 // a third extra value
        {{1, 2, 3, 4, "title", "t", "u", "v", "w", "x", "y", "z"}, 13},  // a 7th extra
        {{1, 2, 3, 4, "title", "t", "u", "v", "w", "x", "y", "z", "q"}, 13},  // an 8th
        {{1, 2, 3, 4, 0xFF, 7}, 23},                    // depth 7: no surface
    };
    for (const Case& c : cases)
        EXPECT_EQ(NewError(kClassWindow, c.args), c.error);
}

TEST_F(WindowTest, ColourArgumentsAndPrivateData) {
    CIWindow* w = NewWindow({100, 100});
    Call(w, kWindowSetColor, {255, 0, 0});
    EXPECT_EQ(Int(w, kWindowGetColor), 0xFF0000);
    Call(w, kWindowSetColor, {CallArg::Omitted(), 0x80, CallArg::Omitted()});
    EXPECT_EQ(Int(w, kWindowGetColor), 0xFF8000);  // omitted channels kept
    Call(w, kWindowSetBackColor, {0x123456});
    EXPECT_EQ(Int(w, kWindowGetBackColor), 0x123456);
    Call(w, kWindowSetPrivateData, {"kept"});
    EXPECT_EQ(Text(Call(w, kWindowGetPrivateData)), "kept");
    Call(w, kWindowSetText);
    EXPECT_EQ(Text(Call(w, kWindowGetText)), "");  // an omitted text changes nothing
}

TEST_F(WindowTest, FocusWalk) {
    CIWindow* w = NewWindow({300, 200});
    auto* a = new TestControl(&m_interp, w, true);
    auto* b = new TestControl(&m_interp, w, false);
    auto* c = new TestControl(&m_interp, w, true);
    EXPECT_EQ(w->GetControlCount(), 3);
    EXPECT_EQ(w->FocusFirstControl(), 1);
    EXPECT_EQ(OsGetFocus(), a->m_window);
    w->FocusNextControl(a);
    EXPECT_EQ(OsGetFocus(), c->m_window);  // b has no TABSTOP
    w->FocusNextControl(c);
    EXPECT_EQ(OsGetFocus(), a->m_window);  // wraps
    w->FocusPreviousControl(a);
    EXPECT_EQ(OsGetFocus(), c->m_window);
    w->FocusNextControl(nullptr);  // not in the list: nothing
    EXPECT_EQ(OsGetFocus(), c->m_window);

    (void)b;
}

TEST_F(WindowTest, DeletingTheWindowTakesItsControlsAndEndsTheRun) {
    CIWindow* w = NewWindow({300, 200});
    new TestControl(&m_interp, w, true);
    new TestControl(&m_interp, w, true);
    EXPECT_EQ(m_interp.CountInstances(kClassButton), 2);
    m_interp.m_pendingError = -1;
    DeleteScriptObject(&m_interp, w);
    EXPECT_EQ(m_interp.CountInstances(kClassButton), 0);
    EXPECT_EQ(m_interp.CountInstances(kClassWindow), 0);
    EndIfNoWindows(&m_interp);
    EXPECT_EQ(m_interp.m_pendingError, 0);
    m_interp.m_pendingError = -1;
}

TEST_F(WindowTest, ModalStackHoldsAWindowOnce) {
    CIWindow* main = NewWindow({300, 200});
    CIWindow* dialog = NewWindow({100, 100, main, kFakeChild});
    EXPECT_EQ(dialog->m_parent, main);
    Call(dialog, kWindowDoModal);
    Call(dialog, kWindowDoModal);
    EXPECT_TRUE(CIWindow::IsBlockedByModal(main->m_window));
    EXPECT_FALSE(CIWindow::IsBlockedByModal(dialog->m_window));
    Call(dialog, kWindowEndModal);
    EXPECT_FALSE(CIWindow::IsBlockedByModal(main->m_window));  // one EndModal is enough
    Call(main, kWindowEndModal);  // not on the stack: nothing
    EXPECT_EQ(Int(main, kWindowIsVisible), 1);
}

TEST_F(WindowTest, InputEndsWhenTheQuitMessageComes) {
    // The quit message ends the input with what was typed so far instead of
    // leaving the loop waiting for ever.
    CIWindow* w = NewWindow({300, 200});
    ASSERT_TRUE(OsPostThreadMessage(kOsMessageQuit, 0, 0));
    EXPECT_EQ(Text(Call(w, kWindowInput, {"? "})), "");
    EXPECT_EQ(w->m_inputActive, 0);
    // An input inside an input is refused.
    w->m_inputActive = 1;
    EXPECT_EQ(ErrorOf(w, kWindowInput), 67);
    w->m_inputActive = 0;
    // Characters typed while an input runs: printable ones, Backspace, Enter.
    w->m_inputActive = 1;
    for (uint32_t c : {97u, 98u, 99u, 8u, 1u, 100u})
        w->InputCharacter(c);
    EXPECT_EQ(w->m_inputText, "abd");
    w->InputCharacter(13);
    EXPECT_EQ(w->m_inputActive, 0);
}

}  // namespace
