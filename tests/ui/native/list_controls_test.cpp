// List and combo boxes over the native stand-in, which answers 0 and logs
// the messages: the argument rules (defaults, either order, omissions) and
// the events that the classes post themselves.
#include "tests/ui/native/control_fixture.h"
#include "runtime/base/alloc_fault_injection.h"
#include "runtime/interp/script_array.h"
#include "ui/ci_combo_box_members.h"
#include "ui/ci_list_box_members.h"
#include "ui/ci_list_controls.h"

namespace {

class ListTest : public ControlTest {
protected:
    void SetUp() override {
        ControlTest::SetUp();
        NewWindow({400, 300});
        m_list = NewControl<CIListBox>(kClassListBox, {});
        m_combo = NewControl<CIComboBox>(kClassComboBox, {});
        ASSERT_NE(m_list, nullptr);
        ASSERT_NE(m_combo, nullptr);
        OsSentMessages().clear();
    }
    // The one message a call sent.
    OsSentMessage Sent(CIBaseClassImpl* object, int32_t member, std::initializer_list<CallArg> args = {}) {
        OsSentMessages().clear();
        Call(object, member, args);
        EXPECT_EQ(OsSentMessages().size(), 1u) << member;
        return OsSentMessages().empty() ? OsSentMessage{} : OsSentMessages().back();
    }
    CIListBox* m_list = nullptr;
    CIComboBox* m_combo = nullptr;
};

TEST_F(ListTest, DefaultsOfTheOneMessageMembers) {
    const struct {
        bool list;
        int32_t member;
        uint32_t message;
        uintptr_t wParam;
        intptr_t lParam;
    } kCases[] = {
        {true, kListBoxSetItemHeight, 0x1A0, 0, 10},
        {true, kListBoxSetHorizontalExtent, 0x194, 10, 0},
        {true, kListBoxSetCaretIndex, 0x19E, 0, 0},
        {true, kListBoxSelectRange, 0x19B, 1, 0},
        {true, kListBoxGetItemAtXY, 0x1A9, 0, 0},
        {false, kComboBoxSetItemHeight, 0x153, 0, 10},
        {false, kComboBoxSetEditHeight, 0x153, static_cast<uintptr_t>(-1), 15},
        {false, kComboBoxGetEditHeight, 0x154, static_cast<uintptr_t>(-1), 0},
        {false, kComboBoxShowDropDown, 0x14F, 1, 0},
        {false, kComboBoxHideDropDown, 0x14F, 0, 0},
        {false, kComboBoxSetDroppedWidth, 0x160, 10, 0},
    };
    for (const auto& c : kCases) {
        CIBaseClassImpl* object = c.list ? static_cast<CIBaseClassImpl*>(m_list) : m_combo;
        const OsSentMessage m = Sent(object, c.member);
        EXPECT_EQ(m.message, c.message) << c.member;
        EXPECT_EQ(m.wParam, c.wParam) << c.member;
        EXPECT_EQ(m.lParam, c.lParam) << c.member;
    }
    // Heights keep their low word; ranges swap to first, last.
    EXPECT_EQ(Sent(m_list, kListBoxSetItemHeight, {0x12345}).lParam, 0x2345);
    const OsSentMessage range = Sent(m_list, kListBoxSelectRange, {5, 2});
    EXPECT_EQ(range.lParam, (5 << 16) | 2);
    EXPECT_EQ(Sent(m_list, kListBoxGetItemAtXY, {3, 4}).lParam, (4 << 16) | 3);
}

TEST_F(ListTest, TextAndIndexInEitherOrder) {
    const struct {
        CIListControl* control;
        int32_t find, insert, add, remove, textAt;
        uint32_t insertMessage;
    } kClasses[] = {
        {m_list, kListBoxFindString, kListBoxInsertItem, kListBoxAddItem, kListBoxDeleteItem, kListBoxGetTextAt, 0x181},
        {m_combo, kComboBoxFindString, kComboBoxInsertItem, kComboBoxAddItem, kComboBoxDeleteItem, kComboBoxGetTextAt,
         0x14A},
    };
    for (const auto& c : kClasses) {
        const OsSentMessage a = Sent(c.control, c.find, {3, "ab"});
        const OsSentMessage b = Sent(c.control, c.find, {"ab", 3});
        EXPECT_EQ(a.wParam, 3u);
        EXPECT_EQ(a.text, "ab");
        EXPECT_EQ(b.wParam, a.wParam);
        EXPECT_EQ(b.text, a.text);
        const OsSentMessage none = Sent(c.control, c.find);
        EXPECT_EQ(none.wParam, static_cast<uintptr_t>(-1));
        EXPECT_EQ(none.text, "");
        const OsSentMessage insert = Sent(c.control, c.insert, {"abc"});
        EXPECT_EQ(insert.message, c.insertMessage);
        EXPECT_EQ(insert.wParam, static_cast<uintptr_t>(-1));  // at the end
        EXPECT_EQ(insert.text, "abc");
        // Without a text nothing is sent and the answer is -1.
        OsSentMessages().clear();
        EXPECT_EQ(Int(c.control, c.add), -1);
        EXPECT_EQ(Int(c.control, c.insert, {2}), -1);
        EXPECT_TRUE(OsSentMessages().empty());
        // A required index omitted: nothing sent.
        Call(c.control, c.remove);
        EXPECT_TRUE(OsSentMessages().empty());
        EXPECT_EQ(Text(Call(c.control, c.textAt)), "");
    }
}

TEST_F(ListTest, SelectItemPostsInASingleSelectionListOnly) {
    m_list->m_handlers[CINotifyControl::kOnSelChanged] = &m_click;
    m_combo->m_handlers[CINotifyControl::kOnSelChanged] = &m_check;
    Call(m_list, kListBoxSelectItem, {3});
    Call(m_list, kListBoxSelectItem);  // omitted: nothing
    Call(m_combo, kComboBoxSelectItem, {3});
    EXPECT_EQ(TakeEvents(), (Events{{&m_click, -1}}));
    // Multi-selection: LB_SETSEL(flag, i), no event.
    auto* multi = NewControl<CIListBox>(kClassListBox, {0xAAD00002u});
    multi->m_handlers[CINotifyControl::kOnSelChanged] = &m_click;
    const OsSentMessage set = Sent(multi, kListBoxSelectItem);
    EXPECT_EQ(set.message, 0x185u);
    EXPECT_EQ(set.wParam, 1u);
    EXPECT_TRUE(TakeEvents().empty());
}

TEST_F(ListTest, NotificationsAreHandledAndCoalesced) {
    m_list->m_handlers[CINotifyControl::kOnSelChanged] = &m_click;
    EXPECT_TRUE(Notify(m_list, 1));
    EXPECT_TRUE(Notify(m_list, 1));
    EXPECT_TRUE(Notify(m_list, 2));  // handled without a handler
    EXPECT_FALSE(Notify(m_list, 3));
    m_combo->m_handlers[CINotifyControl::kOnEditChanged] = &m_check;
    EXPECT_TRUE(Notify(m_combo, 5));
    EXPECT_EQ(TakeEvents(), (Events{{&m_click, -1}, {&m_check, -1}}));
}

TEST_F(ListTest, TabStopsInDialogUnits) {
    // The stand-in's base width is 8: divisor 2.
    const OsSentMessage m = Sent(m_list, kListBoxSetTabStops, {10, CallArg::Omitted(), 41});
    EXPECT_EQ(m.values, (std::vector<int32_t>{5, 20}));
    EXPECT_EQ(m.wParam, 2u);
    const OsSentMessage none = Sent(m_list, kListBoxSetTabStops);
    EXPECT_EQ(none.wParam, 0u);
    EXPECT_EQ(none.lParam, 0);
    tw::testing::SetAllocFailures(1000);
    EXPECT_EQ(ErrorOf(m_list, kListBoxSetTabStops, {10}), 15);
    tw::testing::SetAllocFailures(0);
}

TEST_F(ListTest, SelectedItemsOfASingleSelectionListIsAnEmptyArray) {
    const CValue* r = Call(m_list, kListBoxGetSelectedItems);
    ASSERT_EQ(r->GetTag(), static_cast<uint32_t>(CValue::kArray));
    ASSERT_NE(r->GetArray(), nullptr);
    EXPECT_EQ(r->GetArray()->GetCellCount(), 0u);
    EXPECT_EQ(Int(m_list, kListBoxGetSelectedCount), 1);  // the stand-in's cursor 0 is not -1
}

TEST_F(ListTest, ControlsStayWhileTheirWindowIsDeletedAndHooksGo) {
    EXPECT_EQ(m_list->OnObjectDeleted(m_list->m_parent), 0);
    CIWindow* w = m_list->m_parent;
    const size_t hooks = w->Hooks().size();
    DeleteScriptObject(&m_interp, m_combo);
    EXPECT_EQ(w->Hooks().size(), hooks - 1);
    DeleteScriptObject(&m_interp, w);
    EXPECT_EQ(CountInstances(&m_interp, kClassListBox), 0);
}

}  // namespace
