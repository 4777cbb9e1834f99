#pragma once
// Presence tests of optional platform components.

// True when the shared library of that name can be loaded (it is freed again
// at once).
bool OsCanLoadLibrary(const char* name);

// True when the window's size differs from the screen size (a screen saver
// previewed in a small window of the control panel); false for no window.
bool OsWindowSizeDiffersFromScreen(void* window);
