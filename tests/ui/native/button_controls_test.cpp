// Buttons, check boxes, radio buttons and group boxes over the native
// stand-in windows: the size rules, the constants, and the notifications a
// parent window's hooks turn into events (sent here as the window procedure
// would, through the parent's hook list).
#include "tests/ui/native/control_fixture.h"
#include "ui/ci_button_controls.h"
#include "ui/ci_button_members.h"
#include "ui/ci_check_box_members.h"
#include "ui/ci_group_box_members.h"
#include "ui/ci_radio_button_members.h"
#include "ui/os_controls.h"

namespace {

using ButtonTest = ControlTest;

TEST_F(ButtonTest, DefaultRectanglesFollowTheTextOrAreFixed) {
    NewWindow({400, 300});
    // The stand-in's text is 8 pixels a character by 16.
    auto* b = NewControl<CIButton>(kClassButton, {"Hello"});
    ASSERT_NE(b, nullptr);
    EXPECT_EQ(b->m_x, 10);
    EXPECT_EQ(b->m_y, 10);
    EXPECT_EQ(b->m_width, 40 + 20);
    EXPECT_EQ(b->m_height, 16 + 5);
    auto* c = NewControl<CICheckBox>(kClassCheckBox, {"Hi", 50, 60});
    EXPECT_EQ(c->m_x, 50);
    EXPECT_EQ(c->m_width, 16 + 30);
    EXPECT_EQ(c->m_height, 18);
    // Given sizes stay; radio and group box are 10, 10, 100, 30.
    auto* d = NewControl<CIButton>(kClassButton, {1, 2, 3, 4});
    EXPECT_EQ(d->m_width, 3);
    EXPECT_EQ(d->m_height, 4);
    auto* r = NewControl<CIRadioButton>(kClassRadioButton, {"a long radio text"});
    auto* g = NewControl<CIGroupBox>(kClassGroupBox, {"group"});
    for (CIChildWindow* fixed : {static_cast<CIChildWindow*>(r), static_cast<CIChildWindow*>(g)}) {
        EXPECT_EQ(fixed->m_x, 10);
        EXPECT_EQ(fixed->m_width, 100);
        EXPECT_EQ(fixed->m_height, 30);
    }
    EXPECT_EQ(Text(Call(b, kButtonGetText)), "Hello");
}

TEST_F(ButtonTest, StylesAndConstants) {
    NewWindow({400, 300});
    const uint32_t kBorder = 0xDEB00006, kLeft = 0xAAD00000, kRight = 0xAAD00001, kRightButton = 0xAAD00002;
    auto* c = NewControl<CICheckBox>(kClassCheckBox, {kLeft, kRightButton});
    EXPECT_EQ(OsGetWindowStyle(c->m_window, true) & 0xFFFF, 0x4003u | 0x100 | 0x20);
    auto* r = NewControl<CIRadioButton>(kClassRadioButton, {kRight});
    EXPECT_EQ(OsGetWindowStyle(r->m_window, true) & 0xFFFF, 0x4004u | 0x200);
    // A group box never has a border; a button may.
    auto* g = NewControl<CIGroupBox>(kClassGroupBox, {kBorder});
    EXPECT_EQ(OsGetWindowStyle(g->m_window, true) & kWsBorder, 0u);
    EXPECT_EQ(OsGetWindowStyle(g->m_window, false), 0x20u);
    auto* b = NewControl<CIButton>(kClassButton, {kBorder});
    EXPECT_NE(OsGetWindowStyle(b->m_window, true) & kWsBorder, 0u);
    // A button has no table 0xAAD: the value is a plain number, its x.
    EXPECT_EQ(NewControl<CIButton>(kClassButton, {kLeft})->m_x, static_cast<int32_t>(kLeft));
}

TEST_F(ButtonTest, ImageSurfacesMakeAnOwnerDrawnButtonThatGoesWithThem) {
    NewWindow({400, 300});
    CIBaseClassImpl* normal = New(kClassSurface, {20, 10});
    CIBaseClassImpl* pressed = New(kClassSurface, {20, 10});
    ASSERT_NE(normal, nullptr);
    auto* b = NewControl<CIButton>(kClassButton, {normal, pressed});
    ASSERT_NE(b, nullptr);
    EXPECT_EQ(OsGetWindowStyle(b->m_window, true) & 0xF, 0xBu);
    EXPECT_EQ(b->m_images[CIButton::kNormalImage], normal);
    EXPECT_EQ(b->m_images[CIButton::kPressedImage], pressed);
    // A fourth image or a value that is no image: 14.
    EXPECT_EQ(NewError(kClassButton, {normal, normal, normal, normal}), 14);
    EXPECT_EQ(NewError(kClassButton, {"x", b}), 14);
    // A picture named or numbered that cannot be loaded (no package here,
    // no such file): 9.
    EXPECT_EQ(NewError(kClassButton, {"x", "no such picture.png"}), 9);
    EXPECT_EQ(NewError(kClassButton, {"x", 1, 2, 3, 4, 7}), 9);
    const int32_t buttons = CountInstances(&m_interp, kClassButton);
    DeleteScriptObject(&m_interp, pressed);
    EXPECT_EQ(CountInstances(&m_interp, kClassButton), buttons - 1);
}

TEST_F(ButtonTest, NoWindowToHoldTheControl) {
    for (uint32_t id : {kClassButton, kClassCheckBox, kClassRadioButton, kClassGroupBox})
        EXPECT_EQ(NewError(id, {"x"}), 31) << id;
}

TEST_F(ButtonTest, NotificationsPostTheirHandlersOnly) {
    NewWindow({400, 300});
    auto* b = NewControl<CIButton>(kClassButton, {"b"});
    EXPECT_FALSE(Notify(b, kBnClicked));  // no handler: left to the window
    b->m_handlers[CINotifyControl::kOnClick] = &m_click;
    b->m_handlers[CINotifyControl::kOnSetFocus] = &m_focus;
    EXPECT_TRUE(Notify(b, kBnClicked));
    EXPECT_TRUE(Notify(b, kBnClicked));  // coalesced with the waiting one
    EXPECT_TRUE(Notify(b, kBnSetFocus));
    EXPECT_FALSE(Notify(b, kBnDblClk));
    EXPECT_EQ(TakeEvents(), (Events{{&m_click, -1}, {&m_focus, -1}}));
}

TEST_F(ButtonTest, CheckBoxPostsItsStateAfterClicksAndChanges) {
    NewWindow({400, 300});
    auto* c = NewControl<CICheckBox>(kClassCheckBox, {"c"});
    c->m_handlers[CINotifyControl::kOnClick] = &m_click;
    c->m_handlers[CINotifyControl::kOnCheck] = &m_check;
    EXPECT_EQ(Int(c, kCheckBoxIsChecked), 0);
    OsSendMessage(c->m_window, kBmSetCheck, 1, 0);  // what the automatic check box does on a click
    Notify(c, kBnClicked);
    EXPECT_EQ(TakeEvents(), (Events{{&m_click, -1}, {&m_check, 1}}));
    // SetCheck with the current state posts nothing; omitted means checked.
    Call(c, kCheckBoxSetCheck);
    Call(c, kCheckBoxSetCheck, {1});
    EXPECT_TRUE(TakeEvents().empty());
    Call(c, kCheckBoxSetCheck, {0});
    EXPECT_EQ(Int(c, kCheckBoxIsChecked), 0);
    EXPECT_EQ(TakeEvents(), (Events{{&m_check, 0}}));
}

TEST_F(ButtonTest, RadioGroupsWithinOneParentWindow) {
    CIWindow* w = NewWindow({400, 300});
    auto* a = NewControl<CIRadioButton>(kClassRadioButton, {"a"});
    auto* b = NewControl<CIRadioButton>(kClassRadioButton, {"b"});
    auto* other = NewControl<CIRadioButton>(kClassRadioButton, {"other group"});
    Call(other, kRadioButtonSetGroupNumber, {2});
    EXPECT_EQ(Int(other, kRadioButtonGetGroupNumber), 2);
    CIWindow* w2 = NewWindow({400, 300});
    auto* elsewhere = NewControl<CIRadioButton>(kClassRadioButton, {"same group, other window"});
    ASSERT_EQ(elsewhere->m_parent, w2);
    ASSERT_EQ(a->m_parent, w);
    CFunctionRecord checkA{}, checkB{};
    a->m_handlers[CINotifyControl::kOnCheck] = &checkA;
    b->m_handlers[CINotifyControl::kOnCheck] = &checkB;
    Call(a, kRadioButtonSetCheck);
    Call(other, kRadioButtonSetCheck);
    EXPECT_EQ(TakeEvents(), (Events{{&checkA, 1}}));
    // A click on b: a unchecked with OnCheck(0), then OnClick, then b's state.
    b->m_handlers[CINotifyControl::kOnClick] = &m_click;
    EXPECT_TRUE(Notify(b, kBnClicked));
    EXPECT_EQ(TakeEvents(), (Events{{&checkA, 0}, {&m_click, -1}, {&checkB, 1}}));
    EXPECT_EQ(Int(a, kRadioButtonIsChecked), 0);
    EXPECT_EQ(Int(b, kRadioButtonIsChecked), 1);
    EXPECT_EQ(Int(other, kRadioButtonIsChecked), 1);
    EXPECT_EQ(a->m_checked, 0);
    EXPECT_EQ(b->m_checked, 1);
    // The other window's group 0 is its own.
    Call(elsewhere, kRadioButtonSetCheck);
    EXPECT_EQ(Int(b, kRadioButtonIsChecked), 1);
    // A double click checks b without a state update of its own.
    b->m_handlers[CINotifyControl::kOnDblClick] = &m_dbl;
    Call(a, kRadioButtonSetCheck);
    TakeEvents();
    EXPECT_TRUE(Notify(b, kBnDblClk));
    EXPECT_EQ(TakeEvents(), (Events{{&checkA, 0}, {&m_dbl, -1}}));
    EXPECT_EQ(Int(b, kRadioButtonIsChecked), 1);
    // SetCheck(0) unchecks with an update.
    Call(b, kRadioButtonSetCheck, {0});
    EXPECT_EQ(TakeEvents(), (Events{{&checkB, 0}}));
}

TEST_F(ButtonTest, HooksLeaveWithTheirControls) {
    CIWindow* w = NewWindow({400, 300});
    const size_t before = w->Hooks().size();
    auto* a = NewControl<CICheckBox>(kClassCheckBox, {"a"});
    auto* g = NewControl<CIGroupBox>(kClassGroupBox, {"g"});
    EXPECT_EQ(w->Hooks().size(), before + 2);
    DeleteScriptObject(&m_interp, a);
    DeleteScriptObject(&m_interp, g);
    EXPECT_EQ(w->Hooks().size(), before);
    // The group boxes' redraw runs at the end of a pass with none left.
    m_interp.RefreshAll();
}

}  // namespace
