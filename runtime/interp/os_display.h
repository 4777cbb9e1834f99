#pragma once
// The screen as the runtime needs to know it in portable code.

// Colour depth of the screen: 8, 15, 16, 24 or 32 (15 for a 5-5-5 display);
// 8 when the screen cannot be asked.
int GetScreenBitsPerPixel();

// The same probe for the render back ends: 0 when the desktop's device
// context cannot be had (the native build has no desktop).
int GetDesktopBitsPerPixel();
