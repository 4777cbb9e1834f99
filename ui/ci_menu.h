#pragma once
// CIMenu: the script class "Menu", a menu bar of a script window, a popup
// menu or a submenu. It mirrors its items in records next to the menu handle,
// gives each new command item the next process-wide command id (9001 on),
// and turns a chosen command into "OnSelectItem" on the nearest menu with a
// handler. Items are addressed by position (below 9000, or 0xFFFFFFFF) or by
// command id.
#include "ui/ci_window.h"

#include <cstdint>
#include <vector>

class CIMenu : public CIBaseClassImpl, public CMenuContainer {
public:
    struct Record {
        int32_t separator = 0;
        int32_t submenu = 0;
        int32_t checked = 0;
        int32_t disabled = 0;
        char text[260] = {};
        uint32_t id = 0;
        CIMenu* sub = nullptr;
    };
    static constexpr uint32_t kFirstCommand = 9000;

    explicit CIMenu(CInterpretor* interpretor);

    void CallMember(int32_t memberId) override;
    // Detaches an attached menu from its owner (a bar leaves its window, a
    // submenu its item); the handle is destroyed once, by whoever owns it.
    void Destroy(int32_t releaseAll) override;
    // Goes with its window or parent menu.
    int32_t OnObjectDeleted(CIBaseClassImpl* object) override;
    // Held while a deletion cascades, so that submenus go before their menu.
    int32_t IsReferenced() override { return 1; }
    void ConstructFromArgs() override;
    // A submenu leaving this menu: its item goes, it keeps a handle of its own.
    void RemoveMenu(CIBaseClassImpl* menu) override;

    // Makes the menu the bar of a window (the window's SetMenu).
    void AttachToWindow(CIWindow* window);
    // A new popup handle with every record, submenus rebuilt first.
    void RebuildPopup();
    // The record index of an item reference (position or command id); -1 when none.
    int32_t RecordIndexOf(uint32_t item) const;
    // WM_COMMAND of a menu command: "OnSelectItem" on the nearest menu with a
    // handler; true when a menu of the interpreter has the command.
    static bool DispatchMenuCommand(CInterpretor* interpretor, uint32_t command);

    int32_t m_attached = 0;
    void* m_handle = nullptr;
    std::vector<Record> m_records;
    CIBaseClassImpl* m_parent = nullptr;  // the window of a bar, or the parent menu
    CFunctionRecord* m_selectHandler = nullptr;
    int32_t m_ownerGoing = 0;  // the parent is being deleted: its handle takes ours

private:
    int32_t InsertItem();
    int32_t InsertItemSeparator();
    int32_t CheckItem() { return SetItemFlag(true, 1); }
    int32_t UnCheckItem() { return SetItemFlag(true, 0); }
    int32_t CheckRadioItem();
    int32_t EnableItem() { return SetItemFlag(false, 0); }
    int32_t DisableItem() { return SetItemFlag(false, 1); }
    int32_t IsChecked();
    int32_t IsEnabled();
    int32_t DeleteItem();
    int32_t ModifyItem();
    int32_t GetItemString();
    int32_t OnSelectItem();
    int32_t OpenPopupMenu();

    int32_t SetItemFlag(bool check, int32_t value);
    // Argument 0 as an item reference; false when omitted.
    bool ItemArgument(uint32_t* item, uint32_t* flags);
    // The window whose bar holds this menu (up the parent menus), or null.
    CIWindow* OwningWindow() const;
    void RedrawBar() const;
    void Detach();
    int32_t Answer(int32_t value);
};

// A window's SetMenu with a menu object: it becomes the window's bar.
void AttachMenuToWindow(CIWindow* window, CIBaseClassImpl* menu);
void RegisterMenuClass();
