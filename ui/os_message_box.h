#pragma once
// The standard message box of the window system.
#include <cstdint>

// MessageBoxA(owner, text, caption, type); the pressed button's id (IDOK 1 ...
// IDNO 7), or 0 on failure. A null caption gives the system's caption.
int32_t OsMessageBox(void* owner, const char* text, const char* caption, uint32_t type);

// The native stand-in shows nothing: it keeps the last call and answers the
// id set here (1 until set), so that tests see what a box would have shown.
struct OsMessageBoxCall {
    void* owner = nullptr;
    bool hasCaption = false;
    const char* text = nullptr;  // valid until the next call
    const char* caption = nullptr;
    uint32_t type = 0;
};
const OsMessageBoxCall& OsLastMessageBox();
void OsSetMessageBoxAnswer(int32_t answer);
