#include "scriptsys/os_library.h"

#include <windows.h>

bool OsCanLoadLibrary(const char* name) {
    // No "cannot find the library" box from the system when it is missing.
    const UINT previous = SetErrorMode(SEM_FAILCRITICALERRORS | SEM_NOOPENFILEERRORBOX);
    HMODULE module = LoadLibraryA(name);
    SetErrorMode(previous);
    if (!module) return false;
    FreeLibrary(module);
    return true;
}

bool OsWindowSizeDiffersFromScreen(void* window) {
    RECT rect;
    if (!window || !GetWindowRect(static_cast<HWND>(window), &rect)) return false;
    return rect.right - rect.left != GetSystemMetrics(SM_CXSCREEN) ||
           rect.bottom - rect.top != GetSystemMetrics(SM_CYSCREEN);
}
