#include "scriptsys/os_library.h"

// The components the scripts ask for are Windows libraries; the native build
// has none of them.
bool OsCanLoadLibrary(const char*) { return false; }

bool OsWindowSizeDiffersFromScreen(void*) { return false; }
