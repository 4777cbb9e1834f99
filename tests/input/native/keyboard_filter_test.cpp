// The keyboard filter on script windows: Tab walks the focus of a window's
// controls and is consumed; other keys post "OnKeyDown"/"OnKeyUp".
#include "input/ci_keyboard.h"
#include "tests/ui/native/window_fixture.h"

namespace {

TEST_F(WindowTest, TabAndKeysThroughTheKeyboardFilter) {
    CIWindow* w = NewWindow({300, 200});
    auto* a = new TestControl(&m_interp, w, true);
    new TestControl(&m_interp, w, false);
    auto* c = new TestControl(&m_interp, w, true);
    OsSetFocus(c->m_window);
    auto* keyboard = dynamic_cast<CIKeyboard*>(m_interp.GetGlobalObject(CInterpretor::kGlobalKeyboard));
    ASSERT_NE(keyboard, nullptr);
    EXPECT_TRUE(keyboard->IsRegistered());
    // Tab on a control moves the focus and is consumed, without an event.
    static CFunctionRecord handler{};
    c->m_keyDownHandler = &handler;
    const OsMessage tab{c->m_window, CIKeyboard::kKeyDown, 9, 0, 0, 0, 0};
    EXPECT_EQ(keyboard->Filter(tab), CIBaseMessages::kConsumed);
    EXPECT_EQ(OsGetFocus(), a->m_window);
    EXPECT_EQ(m_interp.CountEvents(), 0);
    // Another key posts "OnKeyDown" and goes on.
    const OsMessage key{c->m_window, CIKeyboard::kKeyDown, 'A', 0, 0, 0, 0};
    EXPECT_EQ(keyboard->Filter(key), CIBaseMessages::kNotInterested);
    EXPECT_EQ(m_interp.CountEvents(), 1);
    // Key up without a handler posts nothing; messages of no script window pass.
    const OsMessage up{c->m_window, CIKeyboard::kKeyUp, 'A', 0, 0, 0, 0};
    EXPECT_EQ(keyboard->Filter(up), CIBaseMessages::kNotInterested);
    const OsMessage foreign{nullptr, CIKeyboard::kKeyDown, 9, 0, 0, 0, 0};
    EXPECT_EQ(keyboard->Filter(foreign), CIBaseMessages::kNotInterested);
    EXPECT_EQ(m_interp.CountEvents(), 1);
    // A control that takes Tab itself gets the key.
    auto* edit = new TestControl(&m_interp, w, true, 1);
    edit->m_keyDownHandler = &handler;
    OsSetFocus(edit->m_window);
    const OsMessage tabEdit{edit->m_window, CIKeyboard::kKeyDown, 9, 0, 0, 0, 0};
    EXPECT_EQ(keyboard->Filter(tabEdit), CIBaseMessages::kNotInterested);
    EXPECT_EQ(OsGetFocus(), edit->m_window);
    EXPECT_EQ(m_interp.CountEvents(), 2);
    // On the window with a focused control the walk starts there.
    OsSetFocus(a->m_window);
    const OsMessage tabWindow{w->m_window, CIKeyboard::kKeyDown, 9, 0, 0, 0, 0};
    EXPECT_EQ(keyboard->Filter(tabWindow), CIBaseMessages::kConsumed);
    EXPECT_EQ(OsGetFocus(), c->m_window);
    // With none: Tab takes the last control.
    OsSetFocus(w->m_window);
    EXPECT_EQ(keyboard->Filter(tabWindow), CIBaseMessages::kConsumed);
    EXPECT_EQ(OsGetFocus(), edit->m_window);
}

}  // namespace
