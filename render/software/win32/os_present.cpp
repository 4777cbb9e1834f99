// The GDI presenter's device-context calls.
#include "render/software/os_present.h"

#include <windows.h>

void* OsPresentGetDC(void* window) { return window ? ::GetDC(static_cast<HWND>(window)) : nullptr; }

void OsPresentReleaseDC(void* window, void* dc) {
    if (dc) ::ReleaseDC(static_cast<HWND>(window), static_cast<HDC>(dc));
}

void* OsPresentSelectPalette(void* dc, void* palette, int32_t background) {
    return ::SelectPalette(static_cast<HDC>(dc), static_cast<HPALETTE>(palette), background ? TRUE : FALSE);
}

void OsPresentText(void* dc, int32_t x, int32_t y, uint32_t colour, int32_t transparent, const char* text,
                   int32_t length) {
    HDC h = static_cast<HDC>(dc);
    ::SetBkMode(h, transparent ? TRANSPARENT : OPAQUE);
    ::SetTextColor(h, COLORREF(colour));
    ::TextOutA(h, x, y, text, length);
}
