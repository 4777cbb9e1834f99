#include "ui/os_message_box.h"

#include <windows.h>

int32_t OsMessageBox(void* owner, const char* text, const char* caption, uint32_t type) {
    return MessageBoxA(static_cast<HWND>(owner), text, caption, type);
}
