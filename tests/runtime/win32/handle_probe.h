#pragma once
// Finds leaked handles where the system does not count them (Wine answers 0 to
// GetProcessHandleCount): a new handle takes the first free slot, so the value
// of a handle made and closed at once moves when a handle stays open.
#include <windows.h>

inline HANDLE NextHandleValue() {
    HANDLE h = CreateEventA(nullptr, FALSE, FALSE, nullptr);
    CloseHandle(h);
    return h;
}
