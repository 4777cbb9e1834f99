#pragma once
// Menus of the window system: opaque handles, items addressed by position or
// by command id (the Windows flags below). The native stand-in keeps item
// lists so that the menu class runs under the native tests.
#include <cstdint>
#include <string>

constexpr uint32_t kMfByCommand = 0x0, kMfByPosition = 0x400, kMfString = 0x0, kMfSeparator = 0x800,
                   kMfPopup = 0x10, kMfChecked = 0x8, kMfUnchecked = 0x0, kMfEnabled = 0x0, kMfGrayed = 0x1,
                   kMfDisabled = 0x2;

// CreateMenu (a bar) or CreatePopupMenu.
void* OsCreateMenu(bool popup);
void OsDestroyMenu(void* menu);
// InsertMenuA / ModifyMenuA: item is the command id or the popup handle.
bool OsInsertMenu(void* menu, uint32_t before, uint32_t flags, uintptr_t item, const char* text);
bool OsModifyMenu(void* menu, uint32_t position, uint32_t flags, uintptr_t item, const char* text);
bool OsDeleteMenu(void* menu, uint32_t position, uint32_t flags);
void OsCheckMenuItem(void* menu, uint32_t item, uint32_t flags);
void OsCheckMenuRadioItem(void* menu, uint32_t first, uint32_t last, uint32_t check, uint32_t flags);
void OsEnableMenuItem(void* menu, uint32_t item, uint32_t flags);
// GetMenuState; 0xFFFFFFFF when there is no such item.
uint32_t OsGetMenuState(void* menu, uint32_t item, uint32_t flags);
std::string OsGetMenuString(void* menu, uint32_t item, uint32_t flags);
void OsDrawMenuBar(void* window);
// TrackPopupMenu at x, y; with no owner a hidden helper window of class
// "3DQPopupMenuClass" owns it, and the commands chosen reach `dispatch`.
using MenuCommandDispatch = bool (*)(void* context, uint32_t command);
int32_t OsTrackPopupMenu(void* menu, uint32_t flags, int32_t x, int32_t y, void* owner, MenuCommandDispatch dispatch,
                         void* context);
