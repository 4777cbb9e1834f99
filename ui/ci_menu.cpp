#include "ui/ci_menu.h"

#include "ui/ci_menu_members.h"
#include "ui/os_menu.h"
#include "ui/os_window.h"

#include <algorithm>
#include <cstring>

namespace {

constexpr uint32_t kWindowMenu = 0xCDEF0001u;
constexpr uint32_t kEnd = 0xFFFFFFFFu;

// One counter for the process: command ids never repeat across menus.
uint32_t g_lastCommand = CIMenu::kFirstCommand;

std::vector<CIMenu*>& Menus() {
    static std::vector<CIMenu*> menus;
    return menus;
}

bool IsPosition(uint32_t item) { return item < CIMenu::kFirstCommand || item == kEnd; }
uint32_t ByFlags(uint32_t item) { return IsPosition(item) ? kMfByPosition : kMfByCommand; }

void CopyText(char (&to)[260], const char* text) {
    std::strncpy(to, text != nullptr ? text : "", sizeof to - 1);  // longer texts are cut at 259
    to[sizeof to - 1] = 0;
}

bool DispatchFromPopup(void* context, uint32_t command) {
    auto* menu = static_cast<CIMenu*>(context);
    try {
        return CIMenu::DispatchMenuCommand(menu->m_interpretor, command);
    } catch (const CIError& error) {
        KeepPendingError(menu->m_interpretor, error);
    } catch (...) {
        KeepPendingError(menu->m_interpretor, CIError(15));
    }
    return true;
}

}  // namespace

CIMenu::CIMenu(CInterpretor* interpretor)
    : CIBaseClassImpl(interpretor, ClassRecordOf(interpretor, kClassMenu), kClassMenu, true) {}

void CIMenu::CallMember(int32_t memberId) {
    static const CDispatchEntry<CIMenu> kHandlers[] = {
        TW_MEMBER(Menu, InsertItem),  TW_MEMBER(Menu, InsertItemSeparator), TW_MEMBER(Menu, CheckItem),
        TW_MEMBER(Menu, UnCheckItem), TW_MEMBER(Menu, CheckRadioItem),      TW_MEMBER(Menu, EnableItem),
        TW_MEMBER(Menu, DisableItem), TW_MEMBER(Menu, IsChecked),           TW_MEMBER(Menu, IsEnabled),
        TW_MEMBER(Menu, DeleteItem),  TW_MEMBER(Menu, ModifyItem),          TW_MEMBER(Menu, GetItemString),
        TW_MEMBER(Menu, OnSelectItem), TW_MEMBER(Menu, OpenPopupMenu),
    };
    DispatchMember(this, kHandlers, memberId);
}

void CIMenu::ConstructFromArgs() {
    const bool given = GetArgCount(m_interpretor) > 0 && !IsArgDefault(m_interpretor, 0);
    const CValue* arg = given ? GetArg(m_interpretor, 0) : nullptr;
    if (arg != nullptr && arg->IsObjectOfClass(kClassWindow)) {
        m_handle = OsCreateMenu(false);
        auto* window = static_cast<CIWindow*>(GetArgObject(m_interpretor, 0));
        AttachToWindow(window);
    } else {
        const bool bar = arg != nullptr && arg->GetTag() == CValue::kInt &&
                         static_cast<uint32_t>(arg->GetInt()) == kWindowMenu;
        m_handle = OsCreateMenu(!bar);
    }
    Menus().push_back(this);
    AssignInstanceNumber();
    RedrawBar();
}

void CIMenu::AttachToWindow(CIWindow* window) {
    if (window->m_menu != nullptr && window->m_menu != this)
        if (auto* old = dynamic_cast<CIMenu*>(window->m_menu))
            old->Detach();
    m_parent = window;
    m_attached = 1;
    window->CMenuContainer::SetMenu(this);
    if (window->m_window != nullptr)
        OsSetWindowMenu(window->m_window, m_handle);
}

void AttachMenuToWindow(CIWindow* window, CIBaseClassImpl* menu) {
    if (auto* m = dynamic_cast<CIMenu*>(menu))
        m->AttachToWindow(window);
}

void CIMenu::Detach() {
    // A bar leaving its window: the window keeps no menu, the handle stays ours.
    if (auto* window = dynamic_cast<CIWindow*>(m_parent)) {
        if (window->m_window != nullptr)
            OsSetWindowMenu(window->m_window, nullptr);
        window->CMenuContainer::RemoveMenu(this);
    }
    m_parent = nullptr;
    m_attached = 0;
}

void CIMenu::Destroy(int32_t releaseAll) {
    UnlinkFromClassList();
    auto& menus = Menus();
    menus.erase(std::remove(menus.begin(), menus.end(), this), menus.end());
    auto* parentMenu = dynamic_cast<CIMenu*>(m_parent);
    if (m_ownerGoing) {
        // The owner is deleted right after: its handle goes with ours inside.
        if (parentMenu != nullptr) {
            for (Record& r : parentMenu->m_records)
                if (r.sub == this)
                    r.sub = nullptr;
        } else if (auto* window = dynamic_cast<CIWindow*>(m_parent)) {
            window->CMenuContainer::RemoveMenu(this);
        }
    } else if (!releaseAll && m_parent != nullptr) {
        if (parentMenu != nullptr)
            parentMenu->RemoveMenu(this);  // our item goes; we get a handle of our own
        else
            Detach();
    }
    // The submenus still inside lose their handles with ours (they are
    // deleted in the same cascade, after this menu).
    for (Record& r : m_records) {
        if (r.submenu && r.sub != nullptr && r.sub->m_parent == this) {
            r.sub->m_parent = nullptr;
            r.sub->m_attached = 1;
            r.sub->m_handle = nullptr;
        }
    }
    if (!m_attached && m_handle != nullptr)
        OsDestroyMenu(m_handle);
    m_handle = nullptr;
    delete this;
}

int32_t CIMenu::OnObjectDeleted(CIBaseClassImpl* object) {
    if (object == nullptr || object != m_parent || m_ownerGoing)
        return 0;
    m_ownerGoing = 1;
    return 1;
}

void CIMenu::RemoveMenu(CIBaseClassImpl* menu) {
    for (size_t i = 0; i < m_records.size(); ++i) {
        if (!m_records[i].submenu || m_records[i].sub != menu)
            continue;
        CIMenu* sub = m_records[i].sub;
        m_records.erase(m_records.begin() + static_cast<std::ptrdiff_t>(i));
        OsDeleteMenu(m_handle, static_cast<uint32_t>(i), kMfByPosition);  // destroys the submenu's handle
        RedrawBar();
        sub->m_attached = 0;
        sub->m_parent = nullptr;
        sub->RebuildPopup();
        return;
    }
}

void CIMenu::RebuildPopup() {
    m_handle = OsCreateMenu(true);
    for (Record& r : m_records) {
        const uint32_t state = (r.checked ? kMfChecked : 0) | (r.disabled ? kMfGrayed | kMfDisabled : 0);
        if (r.separator) {
            OsInsertMenu(m_handle, kEnd, kMfByPosition | kMfSeparator, 0, nullptr);
        } else if (r.submenu && r.sub != nullptr) {
            r.sub->RebuildPopup();
            OsInsertMenu(m_handle, kEnd, kMfByPosition | kMfPopup | state, reinterpret_cast<uintptr_t>(r.sub->m_handle),
                         r.text);
        } else {
            OsInsertMenu(m_handle, kEnd, kMfByPosition | state, r.id, r.text);
        }
    }
}

int32_t CIMenu::RecordIndexOf(uint32_t item) const {
    if (IsPosition(item))
        return item < m_records.size() ? static_cast<int32_t>(item) : -1;
    for (size_t i = 0; i < m_records.size(); ++i)
        if (!m_records[i].submenu && !m_records[i].separator && m_records[i].id == item)
            return static_cast<int32_t>(i);
    return -1;
}

CIWindow* CIMenu::OwningWindow() const {
    const CIMenu* menu = this;
    while (menu->m_parent != nullptr) {
        if (auto* parent = dynamic_cast<const CIMenu*>(menu->m_parent))
            menu = parent;
        else
            return dynamic_cast<CIWindow*>(menu->m_parent);
    }
    return nullptr;
}

void CIMenu::RedrawBar() const {
    if (CIWindow* window = OwningWindow(); window != nullptr && window->m_window != nullptr)
        OsDrawMenuBar(window->m_window);
}

int32_t CIMenu::Answer(int32_t value) {
    Result(m_interpretor)->SetInt(value);
    return 0;
}

bool CIMenu::ItemArgument(uint32_t* item, uint32_t* flags) {
    if (GetArgCount(m_interpretor) < 1 || IsArgDefault(m_interpretor, 0))
        return false;
    *item = static_cast<uint32_t>(GetArgInt(m_interpretor, 0));
    *flags = ByFlags(*item);
    return true;
}

// ---- members ----

int32_t CIMenu::InsertItem() {
    const int32_t count = GetArgCount(m_interpretor);
    int32_t i = 0;
    CIMenu* sub = nullptr;
    if (count > 0 && GetArg(m_interpretor, 0)->IsObjectOfClass(kClassMenu)) {
        sub = static_cast<CIMenu*>(GetArgObject(m_interpretor, 0));
        i = 1;
    }
    if (i >= count || IsArgDefault(m_interpretor, i) || GetArg(m_interpretor, i)->GetTag() != CValue::kText)
        RaiseError(m_interpretor, 21);
    const char* text = GetArgString(m_interpretor, i++);
    uint32_t before = kEnd;
    if (i < count && !IsArgDefault(m_interpretor, i))
        before = static_cast<uint32_t>(GetArgInt(m_interpretor, i));
    // The record goes where Windows puts the item: at the position, before
    // the command's item, or at the end.
    size_t at = m_records.size();
    if (before != kEnd) {
        const int32_t index = RecordIndexOf(before);
        if (index >= 0)
            at = static_cast<size_t>(index);
    }
    Record record;
    CopyText(record.text, text);
    if (sub != nullptr) {
        if (sub->m_attached || sub == this)
            return Answer(0);
        const bool ok = OsInsertMenu(m_handle, before, ByFlags(before) | kMfPopup,
                                     reinterpret_cast<uintptr_t>(sub->m_handle), record.text);
        if (!ok)
            return Answer(0);
        sub->m_parent = this;
        sub->m_attached = 1;
        record.submenu = 1;
        record.sub = sub;
        m_records.insert(m_records.begin() + static_cast<std::ptrdiff_t>(at), record);
        RedrawBar();
        return Answer(1);
    }
    record.id = ++g_lastCommand;
    if (!OsInsertMenu(m_handle, before, ByFlags(before) | kMfString, record.id, record.text))
        return Answer(0);
    m_records.insert(m_records.begin() + static_cast<std::ptrdiff_t>(at), record);
    RedrawBar();
    return Answer(static_cast<int32_t>(record.id));
}

int32_t CIMenu::InsertItemSeparator() {
    uint32_t before = kEnd;
    if (GetArgCount(m_interpretor) > 0 && !IsArgDefault(m_interpretor, 0))
        before = static_cast<uint32_t>(GetArgInt(m_interpretor, 0));
    size_t at = m_records.size();
    if (before != kEnd && RecordIndexOf(before) >= 0)
        at = static_cast<size_t>(RecordIndexOf(before));
    if (!OsInsertMenu(m_handle, before, ByFlags(before) | kMfSeparator, 0, nullptr))
        return 0;
    Record record;
    record.separator = 1;
    CopyText(record.text, "SEPARATOR");
    m_records.insert(m_records.begin() + static_cast<std::ptrdiff_t>(at), record);
    RedrawBar();
    return 0;
}

int32_t CIMenu::SetItemFlag(bool check, int32_t value) {
    uint32_t item, flags;
    if (!ItemArgument(&item, &flags))
        return 0;
    if (check)
        OsCheckMenuItem(m_handle, item, flags | (value ? kMfChecked : kMfUnchecked));
    else
        OsEnableMenuItem(m_handle, item, flags | (value ? kMfGrayed | kMfDisabled : kMfEnabled));
    // Only a matching record follows.
    const int32_t index = RecordIndexOf(item);
    if (index >= 0)
        (check ? m_records[static_cast<size_t>(index)].checked : m_records[static_cast<size_t>(index)].disabled) = value;
    RedrawBar();
    return 0;
}

int32_t CIMenu::CheckRadioItem() {
    if (GetArgCount(m_interpretor) < 3)
        return 0;
    uint32_t values[3];
    for (int32_t i = 0; i < 3; ++i) {
        if (IsArgDefault(m_interpretor, i))
            return 0;
        values[i] = static_cast<uint32_t>(GetArgInt(m_interpretor, i));
        if (values[i] == kEnd)
            return 0;
    }
    const bool byPosition = IsPosition(values[0]);
    if (IsPosition(values[1]) != byPosition || IsPosition(values[2]) != byPosition)
        return 0;
    OsCheckMenuRadioItem(m_handle, values[0], values[1], values[2], ByFlags(values[0]));
    const int32_t first = RecordIndexOf(values[0]), last = RecordIndexOf(values[1]), checked = RecordIndexOf(values[2]);
    for (int32_t i = first; first >= 0 && i <= last; ++i)
        m_records[static_cast<size_t>(i)].checked = i == checked ? 1 : 0;
    RedrawBar();
    return 0;
}

int32_t CIMenu::IsChecked() {
    uint32_t item, flags;
    if (!ItemArgument(&item, &flags))
        return 0;
    const uint32_t state = OsGetMenuState(m_handle, item, flags);
    return Answer(state != kEnd && (state & kMfChecked) ? 1 : 0);
}

int32_t CIMenu::IsEnabled() {
    uint32_t item, flags;
    if (!ItemArgument(&item, &flags))
        return 0;
    const uint32_t state = OsGetMenuState(m_handle, item, flags);
    return Answer(state != kEnd && !(state & (kMfGrayed | kMfDisabled)) ? 1 : 0);
}

int32_t CIMenu::DeleteItem() {
    uint32_t item, flags;
    if (!ItemArgument(&item, &flags))
        return 0;
    const int32_t index = RecordIndexOf(item);
    if (index < 0)
        return 0;
    Record record = m_records[static_cast<size_t>(index)];
    m_records.erase(m_records.begin() + index);
    OsDeleteMenu(m_handle, static_cast<uint32_t>(index), kMfByPosition);
    if (record.submenu && record.sub != nullptr) {
        // Windows destroyed the submenu's handle: it gets a new one.
        record.sub->m_attached = 0;
        record.sub->m_parent = nullptr;
        record.sub->RebuildPopup();
    }
    RedrawBar();
    return 0;
}

int32_t CIMenu::ModifyItem() {
    uint32_t item, flags;
    if (!ItemArgument(&item, &flags))
        return 0;
    const int32_t count = GetArgCount(m_interpretor);
    int32_t i = 1;
    CIMenu* sub = nullptr;
    if (i < count && GetArg(m_interpretor, i)->IsObjectOfClass(kClassMenu)) {
        sub = static_cast<CIMenu*>(GetArgObject(m_interpretor, i));
        ++i;
    }
    if (i >= count || IsArgDefault(m_interpretor, i) || GetArg(m_interpretor, i)->GetTag() != CValue::kText)
        RaiseError(m_interpretor, 21);
    if (sub != nullptr && (sub->m_attached || sub == this))
        return 0;
    const int32_t index = RecordIndexOf(item);
    if (index < 0)
        return 0;
    Record& record = m_records[static_cast<size_t>(index)];
    char text[260];
    CopyText(text, GetArgString(m_interpretor, i));
    CIMenu* previous = record.submenu ? record.sub : nullptr;
    const uint32_t id = record.submenu || record.separator ? ++g_lastCommand : record.id;
    const bool ok = sub != nullptr ? OsModifyMenu(m_handle, static_cast<uint32_t>(index), kMfByPosition | kMfPopup,
                                                  reinterpret_cast<uintptr_t>(sub->m_handle), text)
                                   : OsModifyMenu(m_handle, static_cast<uint32_t>(index), kMfByPosition | kMfString,
                                                  id, text);
    if (!ok)
        return 0;
    std::memcpy(record.text, text, sizeof text);
    record.separator = 0;
    record.submenu = sub != nullptr ? 1 : 0;
    record.sub = sub;
    record.id = sub != nullptr ? 0 : id;
    if (sub != nullptr) {
        sub->m_parent = this;
        sub->m_attached = 1;
    }
    if (previous != nullptr && previous != sub) {
        // Windows destroyed the previous submenu's handle.
        previous->m_attached = 0;
        previous->m_parent = nullptr;
        previous->RebuildPopup();
    }
    RedrawBar();
    return 0;
}

int32_t CIMenu::GetItemString() {
    uint32_t item, flags;
    if (!ItemArgument(&item, &flags)) {
        Result(m_interpretor)->SetString("", 0);
        return 0;
    }
    Result(m_interpretor)->SetString(OsGetMenuString(m_handle, item, flags).c_str(), 0);
    return 0;
}

int32_t CIMenu::OnSelectItem() {
    m_selectHandler = ReadAssignedFunction(m_interpretor);
    return 0;
}

int32_t CIMenu::OpenPopupMenu() {
    const int32_t count = GetArgCount(m_interpretor);
    int32_t values[16] = {};
    for (int32_t i = 0; i < count && i < 16; ++i) {
        if (IsArgDefault(m_interpretor, i) || GetArg(m_interpretor, i)->GetTag() != CValue::kInt)
            RaiseError(m_interpretor, 14);
        values[i] = GetArgInt(m_interpretor, i);
    }
    int32_t x, y;
    if (count >= 2) {
        x = values[0];
        y = values[1];
    } else {
        OsGetCursorPos(&x, &y);
    }
    uint32_t flags = 0;
    for (int32_t i = 2; i < count && i < 16; ++i)
        flags |= static_cast<uint32_t>(values[i]);
    return Answer(OsTrackPopupMenu(m_handle, flags, x, y, OsGetActiveWindow(), &DispatchFromPopup, this));
}

bool CIMenu::DispatchMenuCommand(CInterpretor* interpretor, uint32_t command) {
    for (CIMenu* menu : Menus()) {
        if (menu->m_interpretor != interpretor)
            continue;
        int32_t index = -1;
        for (size_t i = 0; i < menu->m_records.size() && index < 0; ++i)
            if (!menu->m_records[i].submenu && !menu->m_records[i].separator && menu->m_records[i].id == command)
                index = static_cast<int32_t>(i);
        if (index < 0)
            continue;
        // The nearest menu upwards with a handler reports it.
        for (CIMenu* m = menu; m != nullptr; m = dynamic_cast<CIMenu*>(m->m_parent)) {
            if (m->m_selectHandler == nullptr)
                continue;
            CValue self(m), record(interpretor, index), id(interpretor, static_cast<int32_t>(command));
            const CValue* args[3] = {&self, &record, &id};
            PostEventCoalesced(interpretor, m->m_selectHandler, m, args, 3);
            break;
        }
        return true;
    }
    return false;
}

void RegisterMenuClass() { RegisterClassBinding(kClassMenu, {&MakeScriptObject<CIMenu>, nullptr}); }
