#pragma once
// What the surface library needs of the window system: the processor level,
// the screen's colour capabilities and system palette, GDI palettes, and the
// GDI work of icons and device-context copies. Device contexts, palettes,
// icons and windows are opaque handles. The native build stands in a
// true-colour screen without palette on a processor of level 2, and answers
// 0 for icons and copies.
#include <cstdint>

#include "runtime/base/rect.h"
#include "runtime/package/shared_palette.h"

// 0 for a 386 or 486, 1 for a Pentium, 2 for anything newer.
int OsProcessorLevel();

// The screen's colours: bits per pixel × planes, and whether the display
// works through a palette (RC_PALETTE).
struct OsScreenCaps {
    int bitsPerPixel;
    int planes;
    bool palette;
};
OsScreenCaps OsGetScreenCaps();
// Copies count entries of the system palette from `first`; false when the
// screen has no palette.
bool OsGetSystemPaletteEntries(int first, int count, PaletteEntry* entries);

// A GDI palette of these entries (flags as given), or null; and its deletion.
void* OsCreatePalette(const PaletteEntry* entries, int count);
void OsDeletePalette(void* palette);

// The system's icon size (SM_CXICON, SM_CYICON).
void OsGetIconSize(int* width, int* height);
// An icon (hotSpot null) or cursor of width × height from a 24-bit bottom-up
// DIB (header and rows) and a 1-bit mask of rows of ((width + 15) / 16) × 2
// bytes, top row first; 0 when a bitmap cannot be made.
void* OsCreateIconFromDIB(const void* dib, const uint8_t* mask, int width, int height, const int* hotSpot);

// Copies the source DC's area (sx, sy, width × height) onto the destination
// DC's (dx, dy, dw × dh), through a device-independent bitmap; see
// CopyDCToDC.
bool OsCopyDCToDC(void* source, void* destination, int sx, int sy, int dx, int dy, int width, int height, int dw,
                  int dh, bool pumpMessages);

// Text through a device context (the native build has none: every call
// answers 0). Colours are GDI colours; kOsGdiError is GDI_ERROR.
constexpr uint32_t kOsGdiError = 0xFFFFFFFF;
void* OsSelectObject(void* dc, void* object);
// Sets the background mode (1 transparent, 2 opaque); the previous one.
int OsSetBkMode(void* dc, int mode);
uint32_t OsSetTextColor(void* dc, uint32_t colour);
uint32_t OsSetTextAlign(void* dc, uint32_t alignment);
// ExtTextOutA with ETO_CLIPPED to the clip rectangle and no spacing array.
int OsExtTextOut(void* dc, int32_t x, int32_t y, const CRect* clip, const char* text, int32_t length);
// DrawTextExA with DRAWTEXTPARAMS {20, tab length, left margin, right margin}.
int OsDrawTextEx(void* dc, const char* text, int32_t length, CRect* rect, uint32_t format, int32_t leftMargin,
                 int32_t rightMargin, int32_t tabLength);

// Fonts, for the script font class. LogFontA has the layout of the Windows
// LOGFONTA (60 bytes). The native build keeps each font as a heap copy of
// its description, and answers a GUI font of its own.
struct LogFontA {
    int32_t lfHeight;
    int32_t lfWidth;
    int32_t lfEscapement;
    int32_t lfOrientation;
    int32_t lfWeight;
    uint8_t lfItalic;
    uint8_t lfUnderline;
    uint8_t lfStrikeOut;
    uint8_t lfCharSet;
    uint8_t lfOutPrecision;
    uint8_t lfClipPrecision;
    uint8_t lfQuality;
    uint8_t lfPitchAndFamily;
    char lfFaceName[32];
};
static_assert(sizeof(LogFontA) == 60, "LOGFONTA layout");
// CreateFontIndirectA; null when it fails.
void* OsCreateFont(const LogFontA* font);
// GetStockObject(DEFAULT_GUI_FONT): shared, never deleted.
void* OsGetGuiFont();
// GetObjectA of a font; false when it cannot be read.
bool OsGetFontDescription(void* font, LogFontA* description);
// DeleteObject of a font made by OsCreateFont.
void OsDeleteFont(void* font);
// Fonts made by OsCreateFont and not yet deleted (native build; the Windows
// build answers -1).
int OsLiveFontCount();
// True on the first Windows 95 (platform "Windows", minor version 0), where
// fonts are drawn in default quality.
bool OsIsFirstWindows95();

// Presenting into windows. A window's DC (GetDC), released with
// OsReleaseWindowDC; null when none can be had (always, natively).
void* OsGetWindowDC(void* window);
void OsReleaseWindowDC(void* window, void* dc);
// SelectPalette (background) and RealizePalette; the previous palette.
void* OsSelectPalette(void* dc, void* palette);
void OsRealizePalette(void* dc);
// The window's client rectangle (left, top 0); false without a window.
bool OsGetClientRect(void* window, CRect* rect);
