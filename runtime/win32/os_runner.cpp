#include "runtime/runner/os_runner.h"

#include "runtime/interp/process_hooks.h"

#include <windows.h>

#include <clocale>

namespace {
ATOM g_objectAtom = 0;
}

void OsSetProgramLocale() {
    std::setlocale(LC_ALL, "");
    std::setlocale(LC_NUMERIC, "English");
    std::setlocale(LC_CTYPE, "English");
}

void ProcessStart() {
    RunProcessStartHooks();
    g_objectAtom = GlobalAddAtomA("iobj");
}

void ProcessStop() {
    if (g_objectAtom) GlobalDeleteAtom(g_objectAtom);
    g_objectAtom = 0;
    RunProcessStopHooks();
}

uint16_t GetObjectAtom() { return g_objectAtom; }

uint32_t OsGetCurrentThreadId() { return GetCurrentThreadId(); }

void OsWaitForHandle(void* handle) {
    if (handle) WaitForSingleObject(handle, INFINITE);
}

void OsReleaseMutexHandle(void* handle) {
    if (handle) ReleaseMutex(handle);
}

void OsReleaseSemaphoreHandle(void* handle) {
    if (handle) ReleaseSemaphore(handle, 1, nullptr);
}

void OsPostWindowMessage(void* window, uint32_t message, uintptr_t wParam, intptr_t lParam) {
    PostMessageA(static_cast<HWND>(window), message, wParam, lParam);
}

void OsShowErrorBox(const char* text, const char* caption) {
    MessageBoxA(nullptr, text, caption, MB_OK | MB_ICONHAND);
}
