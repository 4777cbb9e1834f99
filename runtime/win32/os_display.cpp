#include <windows.h>

#include "runtime/interp/os_display.h"

int GetScreenBitsPerPixel() {
    const int bits = GetDesktopBitsPerPixel();
    return bits ? bits : 8;
}

int GetDesktopBitsPerPixel() {
    HDC dc = GetDC(nullptr);
    if (!dc) return 0;
    int bits = GetDeviceCaps(dc, PLANES) * GetDeviceCaps(dc, BITSPIXEL);
    if (bits == 16) {
        // A 16-bit display may carry 5 or 6 bits of green: a green of 4 survives
        // only with 6 bits, so a pixel that reads back black means 5-5-5.
        COLORREF saved = GetPixel(dc, 0, 0);
        SetPixel(dc, 0, 0, RGB(0, 4, 0));
        if (GetPixel(dc, 0, 0) == 0) bits = 15;
        SetPixel(dc, 0, 0, saved);
    }
    ReleaseDC(nullptr, dc);
    return bits;
}
