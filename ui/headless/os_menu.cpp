// Without a window system a menu is a list of items (flags, id or popup
// handle, text); a popup never opens (no command is chosen).
#include "ui/os_menu.h"

#include <set>
#include <vector>

namespace {

struct Item {
    uint32_t flags;
    uintptr_t item;
    std::string text;
};
struct Menu {
    std::vector<Item> items;
};

std::set<Menu*>& Menus() {
    static std::set<Menu*> menus;
    return menus;
}

Menu* Find(void* menu) {
    auto* m = static_cast<Menu*>(menu);
    return Menus().count(m) ? m : nullptr;
}

// The index of the item addressed, or -1.
int32_t IndexOf(Menu* m, uint32_t item, uint32_t flags) {
    if (m == nullptr)
        return -1;
    if (flags & kMfByPosition)
        return item < m->items.size() ? static_cast<int32_t>(item) : -1;
    for (size_t i = 0; i < m->items.size(); ++i)
        if (!(m->items[i].flags & kMfPopup) && m->items[i].item == item)
            return static_cast<int32_t>(i);
    return -1;
}

void Destroy(Menu* m) {
    for (const Item& item : m->items)
        if (item.flags & kMfPopup)
            if (Menu* sub = Find(reinterpret_cast<void*>(item.item)))
                Destroy(sub);
    Menus().erase(m);
    delete m;
}

}  // namespace

void* OsCreateMenu(bool) {
    auto* m = new Menu;
    Menus().insert(m);
    return m;
}

void OsDestroyMenu(void* menu) {
    if (Menu* m = Find(menu))
        Destroy(m);
}

bool OsInsertMenu(void* menu, uint32_t before, uint32_t flags, uintptr_t item, const char* text) {
    Menu* m = Find(menu);
    if (m == nullptr)
        return false;
    int32_t at = IndexOf(m, before, flags);
    if (at < 0)
        at = static_cast<int32_t>(m->items.size());
    const uint32_t kept = flags & (kMfPopup | kMfSeparator | kMfChecked | kMfGrayed | kMfDisabled);
    m->items.insert(m->items.begin() + at, Item{kept, item, (flags & kMfSeparator) || !text ? "" : text});
    return true;
}

bool OsModifyMenu(void* menu, uint32_t position, uint32_t flags, uintptr_t item, const char* text) {
    Menu* m = Find(menu);
    const int32_t at = IndexOf(m, position, flags);
    if (at < 0)
        return false;
    Item& old = m->items[static_cast<size_t>(at)];
    if ((old.flags & kMfPopup) && old.item != item)
        OsDestroyMenu(reinterpret_cast<void*>(old.item));
    old = Item{flags & (kMfPopup | kMfSeparator), item, text != nullptr ? text : ""};
    return true;
}

bool OsDeleteMenu(void* menu, uint32_t position, uint32_t flags) {
    Menu* m = Find(menu);
    const int32_t at = IndexOf(m, position, flags);
    if (at < 0)
        return false;
    if (m->items[static_cast<size_t>(at)].flags & kMfPopup)
        OsDestroyMenu(reinterpret_cast<void*>(m->items[static_cast<size_t>(at)].item));
    m->items.erase(m->items.begin() + at);
    return true;
}

void OsCheckMenuItem(void* menu, uint32_t item, uint32_t flags) {
    Menu* m = Find(menu);
    const int32_t at = IndexOf(m, item, flags);
    if (at >= 0)
        m->items[static_cast<size_t>(at)].flags = (m->items[static_cast<size_t>(at)].flags & ~kMfChecked) | (flags & kMfChecked);
}

void OsCheckMenuRadioItem(void* menu, uint32_t first, uint32_t last, uint32_t check, uint32_t flags) {
    Menu* m = Find(menu);
    const int32_t a = IndexOf(m, first, flags), b = IndexOf(m, last, flags), c = IndexOf(m, check, flags);
    for (int32_t i = a; a >= 0 && i <= b; ++i)
        m->items[static_cast<size_t>(i)].flags = (m->items[static_cast<size_t>(i)].flags & ~kMfChecked) | (i == c ? kMfChecked : 0);
}

void OsEnableMenuItem(void* menu, uint32_t item, uint32_t flags) {
    Menu* m = Find(menu);
    const int32_t at = IndexOf(m, item, flags);
    if (at >= 0)
        m->items[static_cast<size_t>(at)].flags =
            (m->items[static_cast<size_t>(at)].flags & ~(kMfGrayed | kMfDisabled)) | (flags & (kMfGrayed | kMfDisabled));
}

uint32_t OsGetMenuState(void* menu, uint32_t item, uint32_t flags) {
    Menu* m = Find(menu);
    const int32_t at = IndexOf(m, item, flags);
    return at < 0 ? 0xFFFFFFFFu : m->items[static_cast<size_t>(at)].flags;
}

std::string OsGetMenuString(void* menu, uint32_t item, uint32_t flags) {
    Menu* m = Find(menu);
    const int32_t at = IndexOf(m, item, flags);
    return at < 0 ? std::string() : m->items[static_cast<size_t>(at)].text;
}

void OsDrawMenuBar(void*) {}

int32_t OsTrackPopupMenu(void*, uint32_t, int32_t, int32_t, void*, MenuCommandDispatch, void*) { return 0; }
