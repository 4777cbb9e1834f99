// Menus over the native stand-in menus (item lists): records kept in step
// with the menu's items, command ids, checks and enables, submenus moving in
// and out, the command dispatch and the errors.
#include "tests/ui/native/control_fixture.h"
#include "ui/ci_menu.h"
#include "ui/ci_menu_members.h"
#include "ui/os_menu.h"

#include <string>

namespace {

class MenuTest : public ControlTest {
protected:
    CIMenu* NewMenu(std::initializer_list<CallArg> args = {}) { return dynamic_cast<CIMenu*>(New(kClassMenu, args)); }
    std::string ItemText(CIMenu* m, int32_t item) { return Text(Call(m, kMenuGetItemString, {item})); }
};

TEST_F(MenuTest, CommandIdsComeFromOneCounter) {
    CIMenu* a = NewMenu();
    CIMenu* b = NewMenu();
    const int32_t first = Int(a, kMenuInsertItem, {"a"});
    EXPECT_GT(first, 9000);
    EXPECT_EQ(Int(b, kMenuInsertItem, {"b"}), first + 1);
    EXPECT_EQ(Int(a, kMenuInsertItem, {"c"}), first + 2);
}

TEST_F(MenuTest, RecordsFollowTheItemsWhereverTheyAreInserted) {
    CIMenu* m = NewMenu();
    const int32_t one = Int(m, kMenuInsertItem, {"one"});
    Int(m, kMenuInsertItem, {"two"});
    Int(m, kMenuInsertItem, {"zero", 0});       // before position 0
    Int(m, kMenuInsertItem, {"half", one});     // before the command's item
    Call(m, kMenuInsertItemSeparator, {2});
    const char* kOrder[] = {"zero", "half", "SEPARATOR", "one", "two"};
    ASSERT_EQ(m->m_records.size(), 5u);
    for (int32_t i = 0; i < 5; ++i) {
        EXPECT_STREQ(m->m_records[static_cast<size_t>(i)].text, kOrder[i]) << i;
        if (i != 2)
            EXPECT_EQ(ItemText(m, i), kOrder[i]) << i;
    }
    EXPECT_EQ(ItemText(m, 2), "");  // a separator has no text
    // Checks by position and by command reach the same item and record.
    Call(m, kMenuCheckItem, {3});
    EXPECT_EQ(Int(m, kMenuIsChecked, {one}), 1);
    EXPECT_EQ(m->m_records[3].checked, 1);
    Call(m, kMenuDisableItem, {one});
    EXPECT_EQ(Int(m, kMenuIsEnabled, {3}), 0);
    EXPECT_EQ(m->m_records[3].disabled, 1);
    Call(m, kMenuEnableItem, {3});
    EXPECT_EQ(Int(m, kMenuIsEnabled, {one}), 1);
    // An id no record has changes no record.
    Call(m, kMenuUnCheckItem, {99999});
    EXPECT_EQ(m->m_records[3].checked, 1);
    EXPECT_EQ(m->m_records[4].checked, 0);
    Call(m, kMenuCheckItem, {99999});
    for (const CIMenu::Record& r : m->m_records)
        EXPECT_EQ(r.checked, &r == &m->m_records[3] ? 1 : 0);
    // Out of range: the menu's answer, nothing written.
    EXPECT_EQ(Int(m, kMenuIsChecked, {40}), 0);
    Call(m, kMenuDeleteItem, {40});
    EXPECT_EQ(m->m_records.size(), 5u);
}

TEST_F(MenuTest, RadioChecksAndTexts) {
    CIMenu* m = NewMenu();
    int32_t ids[3];
    for (int32_t& id : ids)
        id = Int(m, kMenuInsertItem, {"r"});
    Call(m, kMenuCheckRadioItem, {0, 2, 1});
    EXPECT_EQ(Int(m, kMenuIsChecked, {1}), 1);
    EXPECT_EQ(m->m_records[1].checked, 1);
    Call(m, kMenuCheckRadioItem, {ids[0], ids[2], ids[2]});
    EXPECT_EQ(Int(m, kMenuIsChecked, {1}), 0);
    EXPECT_EQ(m->m_records[2].checked, 1);
    Call(m, kMenuCheckRadioItem, {0, ids[2], 1});  // mixed kinds: nothing
    EXPECT_EQ(m->m_records[1].checked, 0);
    // Texts are cut at 259 characters; an empty one reads back empty.
    Int(m, kMenuInsertItem, {std::string(300, 'x').c_str()});
    EXPECT_EQ(ItemText(m, 3), std::string(259, 'x'));
    Int(m, kMenuInsertItem, {""});
    EXPECT_EQ(ItemText(m, 4), "");
}

TEST_F(MenuTest, SubmenusMoveInAndOut) {
    CIMenu* bar = NewMenu();
    CIMenu* sub = NewMenu();
    const int32_t inner = Int(sub, kMenuInsertItem, {"inner"});
    Int(bar, kMenuInsertItem, {"plain"});
    EXPECT_EQ(Int(bar, kMenuInsertItem, {sub, "sub"}), 1);
    EXPECT_EQ(sub->m_parent, bar);
    EXPECT_EQ(Int(bar, kMenuInsertItem, {sub, "again"}), 0);  // already attached
    EXPECT_EQ(bar->m_records.size(), 2u);
    // The command of a submenu item reaches the nearest menu with a handler.
    bar->m_selectHandler = &m_click;
    EXPECT_TRUE(CIMenu::DispatchMenuCommand(&m_interp, static_cast<uint32_t>(inner)));
    EXPECT_EQ(TakeEvents(), (Events{{&m_click, static_cast<int32_t>(inner)}}));
    EXPECT_FALSE(CIMenu::DispatchMenuCommand(&m_interp, 99999));
    // Deleting the submenu item leaves the submenu a popup of its own.
    Call(bar, kMenuDeleteItem, {1});
    EXPECT_EQ(sub->m_parent, nullptr);
    EXPECT_EQ(sub->m_attached, 0);
    EXPECT_EQ(ItemText(sub, 0), "inner");
    Int(sub, kMenuInsertItem, {"more"});
    EXPECT_EQ(ItemText(sub, 1), "more");
    // ModifyItem to a submenu and back to a command.
    Call(bar, kMenuModifyItem, {0, sub, "now a submenu"});
    EXPECT_EQ(bar->m_records[0].submenu, 1);
    EXPECT_EQ(ItemText(bar, 0), "now a submenu");
    Call(bar, kMenuModifyItem, {0, "a command again"});
    EXPECT_EQ(bar->m_records[0].submenu, 0);
    EXPECT_EQ(sub->m_attached, 0);
    EXPECT_EQ(ItemText(sub, 1), "more");  // rebuilt
    EXPECT_EQ(ItemText(bar, 0), "a command again");
}

TEST_F(MenuTest, Errors) {
    CIMenu* m = NewMenu();
    EXPECT_EQ(ErrorOf(m, kMenuInsertItem), 21);
    EXPECT_EQ(ErrorOf(m, kMenuInsertItem, {5}), 21);
    Int(m, kMenuInsertItem, {"x"});
    EXPECT_EQ(ErrorOf(m, kMenuModifyItem, {0}), 21);
    EXPECT_EQ(ErrorOf(m, kMenuOpenPopupMenu, {1, "y"}), 14);
    EXPECT_EQ(ErrorOf(m, kMenuOpenPopupMenu, {1, CallArg::Omitted(), 3}), 14);
    EXPECT_EQ(ErrorOf(m, kMenuOpenPopupMenu, {1.5}), 14);
    EXPECT_EQ(ErrorOf(m, kMenuOpenPopupMenu, {1, 2, 4}), -1);
}

TEST_F(MenuTest, WindowBarsComeAndGo) {
    CIWindow* w = NewWindow({300, 200});
    CIMenu* bar = NewMenu({w});
    EXPECT_EQ(w->m_menu, bar);
    EXPECT_EQ(bar->m_attached, 1);
    // A submenu destroyed by the script leaves its item.
    CIMenu* sub = NewMenu();
    Int(bar, kMenuInsertItem, {sub, "File"});
    DeleteScriptObject(&m_interp, sub);
    EXPECT_TRUE(bar->m_records.empty());
    // A bar destroyed by the script leaves its window.
    DeleteScriptObject(&m_interp, bar);
    EXPECT_EQ(w->m_menu, nullptr);
    // A "WINDOWMENU" bar given to a new window; the window takes it along.
    CIMenu* later = NewMenu({0xCDEF0001u});
    CIMenu* inner = NewMenu();
    Int(later, kMenuInsertItem, {inner, "Edit"});
    CIWindow* v = NewWindow({300, 200, later});
    EXPECT_EQ(v->m_menu, later);
    EXPECT_EQ(later->m_parent, v);
    const int32_t menus = CountInstances(&m_interp, kClassMenu);
    DeleteScriptObject(&m_interp, v);
    EXPECT_EQ(CountInstances(&m_interp, kClassMenu), menus - 2);
}

}  // namespace
