#pragma once
// Process-wide services of the runner: the locale, start and stop of a run,
// the host handshake objects and the failure message box.
#include <cstdint>

// Sets the C library locale to the system default, then the numeric and
// character-type categories to English, so that numbers always use a period.
void OsSetProgramLocale();

// Start of a run on the calling thread: the start hooks (window classes, the
// thread's surface registration; see runtime/interp/process_hooks.h) and the global
// atom "iobj". ProcessStop undoes it in reverse order.
void ProcessStart();
void ProcessStop();
// The atom "iobj" while a run is started (0 otherwise): the window property
// through which window procedures find the script object of a window.
uint16_t GetObjectAtom();

uint32_t OsGetCurrentThreadId();

// Host handshake objects (Windows handles; null = none).
void OsWaitForHandle(void* handle);
void OsReleaseMutexHandle(void* handle);
void OsReleaseSemaphoreHandle(void* handle);
// Posts a message to a window (null: the calling thread's queue).
void OsPostWindowMessage(void* window, uint32_t message, uintptr_t wParam, intptr_t lParam);

constexpr uint32_t kOsMessageClose = 0x0010;    // WM_CLOSE
constexpr uint32_t kOsMessageCommand = 0x0111;  // WM_COMMAND

// The failure box of a run: no owner window, hand icon, OK button.
void OsShowErrorBox(const char* text, const char* caption);
