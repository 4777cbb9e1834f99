// Menus against real Windows menus: the bar on its window, items read back
// with the menu API, a command sent by the window system reaching
// "OnSelectItem", and a popup opened with no active window, owned by the
// hidden helper window and closed or chosen from the keyboard.
#include "runtime/interp/event_queue.h"
#include "tests/graphics2d/loaded_interpreter.h"
#include "ui/ci_menu.h"
#include "ui/ci_menu_members.h"

#include <windows.h>

#include <gtest/gtest.h>
#include <string>
#include <thread>

namespace {

class MenuWin : public LoadedInterpreterTest {
protected:
    void SetUp() override {
        LoadedInterpreterTest::SetUp();
        ASSERT_EQ(RegisterMainWindowClass(), 1);
    }
    void TearDown() override {
        m_interp.ClearEvents();
        LoadedInterpreterTest::TearDown();
    }
    CIMenu* NewMenu(std::initializer_list<CallArg> args = {}) { return dynamic_cast<CIMenu*>(New(kClassMenu, args)); }
    static std::string ItemText(HMENU menu, UINT position) {
        char text[300] = {};
        GetMenuStringA(menu, position, text, sizeof text, MF_BYPOSITION);
        return text;
    }
};

TEST_F(MenuWin, BarItemsAndCommands) {
    auto* w = dynamic_cast<CIWindow*>(New(kClassWindow, {300, 200, "menus"}));
    ASSERT_NE(w, nullptr);
    HWND hwnd = static_cast<HWND>(w->m_window);
    CIMenu* bar = NewMenu({w});
    ASSERT_NE(bar, nullptr);
    EXPECT_EQ(GetMenu(hwnd), static_cast<HMENU>(bar->m_handle));
    CIMenu* file = NewMenu();
    const int32_t open = Int(file, kMenuInsertItem, {"Open"});
    Int(file, kMenuInsertItem, {"Quit"});
    Int(bar, kMenuInsertItem, {file, "File"});
    Int(bar, kMenuInsertItem, {"Help", 0});  // before File
    HMENU h = static_cast<HMENU>(bar->m_handle);
    ASSERT_EQ(GetMenuItemCount(h), 2);
    EXPECT_EQ(ItemText(h, 0), "Help");
    EXPECT_EQ(GetSubMenu(h, 1), static_cast<HMENU>(file->m_handle));
    Call(file, kMenuCheckItem, {open});
    EXPECT_NE(GetMenuState(static_cast<HMENU>(file->m_handle), 0, MF_BYPOSITION) & MF_CHECKED, 0u);
    Call(file, kMenuDisableItem, {1});
    EXPECT_EQ(Int(file, kMenuIsEnabled, {1}), 0);
    // A command of the submenu reaches the bar's handler with its record index.
    CFunctionRecord selected{};
    bar->m_selectHandler = &selected;
    SendMessageA(hwnd, WM_COMMAND, MAKEWPARAM(open, 0), 0);
    ASSERT_EQ(m_interp.CountEvents(), 1);
    CEventRecord* e = m_interp.m_events.GetPending();
    EXPECT_EQ(e->handler, &selected);
    EXPECT_EQ(e->args[1].GetInt(), 0);
    EXPECT_EQ(e->args[2].GetInt(), open);
    m_interp.ClearEvents();
    // Deleting the File item leaves File a working popup of its own.
    Call(bar, kMenuDeleteItem, {1});
    EXPECT_EQ(GetMenuItemCount(h), 1);
    ASSERT_TRUE(IsMenu(static_cast<HMENU>(file->m_handle)));
    EXPECT_EQ(GetMenuItemCount(static_cast<HMENU>(file->m_handle)), 2);
    EXPECT_NE(GetMenuState(static_cast<HMENU>(file->m_handle), 0, MF_BYPOSITION) & MF_CHECKED, 0u);
    // Deleting the window deletes its bar object.
    const int32_t menus = CountInstances(&m_interp, kClassMenu);
    DeleteScriptObject(&m_interp, w);
    EXPECT_EQ(CountInstances(&m_interp, kClassMenu), menus - 1);
}

// Waits for the open popup menu and sends it keys.
std::thread KeysToPopup(std::initializer_list<WPARAM> keys, bool* helperSeen, RECT* helperRect) {
    std::vector<WPARAM> sequence(keys);
    return std::thread([sequence, helperSeen, helperRect] {
        HWND popup = nullptr;
        for (int i = 0; i < 3000 && popup == nullptr; ++i) {
            popup = FindWindowA("#32768", nullptr);
            if (popup == nullptr || !IsWindowVisible(popup)) {
                popup = nullptr;
                Sleep(10);
            }
        }
        HWND helper = FindWindowA("3DQPopupMenuClass", "Quor Popup");
        *helperSeen = helper != nullptr;
        if (helper != nullptr)
            GetWindowRect(helper, helperRect);
        for (WPARAM key : sequence) {
            PostMessageA(popup, WM_KEYDOWN, key, 0);
            PostMessageA(popup, WM_KEYUP, key, 0xC0000000);
            Sleep(50);
        }
    });
}

TEST_F(MenuWin, PopupWithoutActiveWindow) {
    ASSERT_EQ(GetActiveWindow(), nullptr);
    CIMenu* popup = NewMenu();
    const int32_t first = Int(popup, kMenuInsertItem, {"First"});
    Int(popup, kMenuInsertItem, {"Second"});
    CFunctionRecord selected{};
    popup->m_selectHandler = &selected;
    // Escape closes it: nothing chosen.
    bool helperSeen = false;
    RECT rect = {};
    std::thread keys = KeysToPopup({VK_ESCAPE}, &helperSeen, &rect);
    Call(popup, kMenuOpenPopupMenu, {20, 20});
    keys.join();
    EXPECT_TRUE(helperSeen);
    // 100 pixels left of and above the virtual screen (the system may widen
    // a captioned window to its minimum tracking size).
    EXPECT_EQ(rect.left, GetSystemMetrics(SM_XVIRTUALSCREEN) - 100);
    EXPECT_EQ(rect.top, GetSystemMetrics(SM_YVIRTUALSCREEN) - 100);
    EXPECT_EQ(m_interp.CountEvents(), 0);
    EXPECT_EQ(FindWindowA("3DQPopupMenuClass", "Quor Popup"), nullptr);
    // Down and Return choose the first item.
    keys = KeysToPopup({VK_DOWN, VK_RETURN}, &helperSeen, &rect);
    Call(popup, kMenuOpenPopupMenu);  // at the cursor
    keys.join();
    ASSERT_EQ(m_interp.CountEvents(), 1);
    EXPECT_EQ(m_interp.m_events.GetPending()->args[2].GetInt(), first);
}

}  // namespace
