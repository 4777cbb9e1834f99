#pragma once
// The GUI thread's message queue as the operation loop pumps it.
#include <cstdint>

// One queued message; the same fields, in the same order, as the Windows MSG
// structure, so that message filters of the platform layer can read it as one.
struct OsMessage {
    void* window;
    uint32_t message;
    uintptr_t wParam;
    intptr_t lParam;
    uint32_t time;
    int32_t x;
    int32_t y;
};

constexpr uint32_t kOsMessageQuit = 0x0012;  // the quit message, taken by OsGetMessage as 0
constexpr uint32_t kOsMessageUser = 0x0400;  // first message number free for programs

// True when a message waits in this thread's queue (nothing is removed).
bool OsMessageWaiting();
// Takes the next message, waiting for one; 0 when it is the quit message.
int OsGetMessage(OsMessage* message);
// Translates key messages and hands the message to its window procedure.
void OsDispatchMessage(const OsMessage* message);
// Sleeps until input arrives in the queue or timeoutMs have passed.
void OsWaitForInput(uint32_t timeoutMs);
// Posts a message without window to this thread's queue; false when refused.
bool OsPostThreadMessage(uint32_t message, uintptr_t wParam, intptr_t lParam);
