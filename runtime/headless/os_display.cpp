// Native stand-in: the native build has no screen; it behaves like a true-colour one.
#include "runtime/interp/os_display.h"

int GetScreenBitsPerPixel() { return 32; }

int GetDesktopBitsPerPixel() { return 0; }
