// The surface library's window-system calls: GetSystemInfo, the screen's
// capabilities and system palette, GDI palettes, icons and DC copies.
#include <windows.h>
// The surface operations of these names are not the ANSI/wide macros.
#undef TextOut
#undef DrawText

#include <cstdlib>
#include <cstring>

#include "graphics2d/os_gdi.h"
#include "graphics2d/surface.h"
#include "graphics2d/win32/dc_surfaces.h"
#include "graphics2d/win32/dd_surface.h"

int OsProcessorLevel() {
    SYSTEM_INFO info;
    GetSystemInfo(&info);
    switch (info.dwProcessorType) {
    case PROCESSOR_INTEL_386:
    case PROCESSOR_INTEL_486: return 0;
    case PROCESSOR_INTEL_PENTIUM: return 1;
    default: return 2;
    }
}

OsScreenCaps OsGetScreenCaps() {
    OsScreenCaps caps = {32, 1, false};
    HDC dc = ::GetDC(nullptr);
    if (!dc) return caps;
    caps.bitsPerPixel = GetDeviceCaps(dc, BITSPIXEL);
    caps.planes = GetDeviceCaps(dc, PLANES);
    caps.palette = (GetDeviceCaps(dc, RASTERCAPS) & RC_PALETTE) != 0;
    ::ReleaseDC(nullptr, dc);
    return caps;
}

bool OsGetSystemPaletteEntries(int first, int count, PaletteEntry* entries) {
    HDC dc = ::GetDC(nullptr);
    if (!dc) return false;
    const UINT got = GetSystemPaletteEntries(dc, static_cast<UINT>(first), static_cast<UINT>(count),
                                             reinterpret_cast<PALETTEENTRY*>(entries));
    ::ReleaseDC(nullptr, dc);
    return got == static_cast<UINT>(count);
}

void* OsCreatePalette(const PaletteEntry* entries, int count) {
    struct {
        WORD version;
        WORD count;
        PALETTEENTRY entries[256];
    } data;
    if (count < 1 || count > 256) return nullptr;
    data.version = 0x300;
    data.count = static_cast<WORD>(count);
    std::memcpy(data.entries, entries, sizeof(PALETTEENTRY) * count);
    return CreatePalette(reinterpret_cast<LOGPALETTE*>(&data));
}

void OsDeletePalette(void* palette) {
    if (palette) DeleteObject(static_cast<HPALETTE>(palette));
}

void OsGetIconSize(int* width, int* height) {
    *width = GetSystemMetrics(SM_CXICON);
    *height = GetSystemMetrics(SM_CYICON);
}

void* OsCreateIconFromDIB(const void* dib, const uint8_t* mask, int width, int height, const int* hotSpot) {
    HBITMAP maskBitmap = CreateBitmap(width, height, 1, 1, mask);
    if (!maskBitmap) return nullptr;
    HDC screen = ::GetDC(nullptr);
    HBITMAP colour = CreateCompatibleBitmap(screen, width, height);
    const BITMAPINFO* info = static_cast<const BITMAPINFO*>(dib);
    const uint8_t* bits = static_cast<const uint8_t*>(dib) + info->bmiHeader.biSize;
    if (colour) SetDIBits(screen, colour, 0, static_cast<UINT>(height), bits, info, DIB_RGB_COLORS);
    ICONINFO icon = {};
    icon.fIcon = hotSpot ? FALSE : TRUE;
    icon.xHotspot = hotSpot ? static_cast<DWORD>(hotSpot[0]) : 0;
    icon.yHotspot = hotSpot ? static_cast<DWORD>(hotSpot[1]) : 0;
    icon.hbmMask = maskBitmap;
    icon.hbmColor = colour;
    HICON made = colour ? CreateIconIndirect(&icon) : nullptr;
    if (colour) DeleteObject(colour);
    DeleteObject(maskBitmap);
    ::ReleaseDC(nullptr, screen);
    return made;
}

bool OsCopyDCToDC(void* source, void* destination, int sx, int sy, int dx, int dy, int width, int height, int dw,
                  int dh, bool pumpMessages) {
    if (pumpMessages) {
        MSG message;
        while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
            TranslateMessage(&message);
            DispatchMessageA(&message);
        }
    }
    HDC from = static_cast<HDC>(source);
    HDC to = static_cast<HDC>(destination);
    HDC memory = CreateCompatibleDC(from);
    HBITMAP bitmap = memory ? CreateCompatibleBitmap(from, width, height) : nullptr;
    if (!bitmap) {
        if (memory) DeleteDC(memory);
        return false;
    }
    HGDIOBJ previous = SelectObject(memory, bitmap);
    // The area is captured from its position and drawn from the capture's
    // origin, so a window's area lands whole.
    BitBlt(memory, 0, 0, width, height, from, sx, sy, SRCCOPY);
    SelectObject(memory, previous);

    BITMAPINFO* info = static_cast<BITMAPINFO*>(std::calloc(1, sizeof(BITMAPINFOHEADER) + 256 * sizeof(RGBQUAD)));
    bool drawn = false;
    if (info) {
        info->bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
        info->bmiHeader.biWidth = width;
        info->bmiHeader.biHeight = height;
        info->bmiHeader.biPlanes = static_cast<WORD>(GetDeviceCaps(from, PLANES));
        info->bmiHeader.biBitCount = static_cast<WORD>(GetDeviceCaps(from, BITSPIXEL));
        GetDIBits(memory, bitmap, 0, static_cast<UINT>(height), nullptr, info, DIB_RGB_COLORS);
        if (info->bmiHeader.biSizeImage == 0)
            info->bmiHeader.biSizeImage =
                ((info->bmiHeader.biBitCount * width + 31) / 32) * 4 * static_cast<DWORD>(height);
        void* pixels = std::malloc(info->bmiHeader.biSizeImage);
        if (pixels && GetDIBits(memory, bitmap, 0, static_cast<UINT>(height), pixels, info, DIB_RGB_COLORS)) {
            HPALETTE palette = nullptr;
            HPALETTE oldPalette = nullptr;
            const int bitCount = info->bmiHeader.biBitCount;
            if (bitCount <= 8) {
                const int entries = 1 << bitCount;
                LOGPALETTE* logical =
                    static_cast<LOGPALETTE*>(std::malloc(sizeof(LOGPALETTE) + entries * sizeof(PALETTEENTRY)));
                if (logical) {
                    logical->palVersion = 0x300;
                    logical->palNumEntries = static_cast<WORD>(entries);
                    for (int i = 0; i < entries; ++i) {
                        const RGBQUAD& q = info->bmiColors[i];
                        logical->palPalEntry[i] = {q.rgbRed, q.rgbGreen, q.rgbBlue, 0};
                    }
                    palette = CreatePalette(logical);
                    std::free(logical);
                }
                if (palette) {
                    oldPalette = SelectPalette(to, palette, TRUE);
                    RealizePalette(to);
                }
            }
            drawn = StretchDIBits(to, dx, dy, dw, dh, 0, 0, width, height, pixels, info, DIB_RGB_COLORS,
                                  SRCCOPY) != 0;
            if (palette) {
                SelectPalette(to, oldPalette, TRUE);
                DeleteObject(palette);
            }
        }
        std::free(pixels);
        std::free(info);
    }
    DeleteObject(bitmap);
    DeleteDC(memory);
    return drawn;
}

// The DIB-section, kept-DC and DirectDraw prototypes.
namespace {

// One prototype of each depth in the holders.
template <class Impl>
void FillPrototypes(CSurface* holders) {
    for (int i = 0; i < 5; ++i) {
        Impl* prototype = new (std::nothrow) Impl;
        if (prototype && !prototype->Init(DepthOfFormatIndex(i))) {
            delete prototype;
            prototype = nullptr;
        }
        holders[i].SetImpl(prototype);
    }
}

}  // namespace

void OsCreateSurfacePrototypes(const PlatformPrototypeHolders& holders) {
    FillPrototypes<CDIBSurface>(holders.dib);
    FillPrototypes<CDIBDCSurface>(holders.keptDC);
    // DirectDraw itself is made by the first instance, not here: a system
    // without it starts all the same.
    holders.directDraw->SetImpl(MakeDirectDrawPrototype(false));
    holders.directDrawSystem->SetImpl(MakeDirectDrawPrototype(true));
}

void* OsSelectObject(void* dc, void* object) {
    return SelectObject(static_cast<HDC>(dc), static_cast<HGDIOBJ>(object));
}
int OsSetBkMode(void* dc, int mode) { return SetBkMode(static_cast<HDC>(dc), mode); }
uint32_t OsSetTextColor(void* dc, uint32_t colour) { return SetTextColor(static_cast<HDC>(dc), colour); }
uint32_t OsSetTextAlign(void* dc, uint32_t alignment) { return SetTextAlign(static_cast<HDC>(dc), alignment); }

int OsExtTextOut(void* dc, int32_t x, int32_t y, const CRect* clip, const char* text, int32_t length) {
    RECT r = {};
    if (clip) r = {clip->left, clip->top, clip->right, clip->bottom};
    return ExtTextOutA(static_cast<HDC>(dc), x, y, ETO_CLIPPED, clip ? &r : nullptr, text,
                       static_cast<UINT>(length), nullptr);
}

int OsDrawTextEx(void* dc, const char* text, int32_t length, CRect* rect, uint32_t format, int32_t leftMargin,
                 int32_t rightMargin, int32_t tabLength) {
    DRAWTEXTPARAMS params = {sizeof params, tabLength, leftMargin, rightMargin, 0};
    RECT r = {rect->left, rect->top, rect->right, rect->bottom};
    const int result = DrawTextExA(static_cast<HDC>(dc), const_cast<char*>(text), length, &r, format, &params);
    *rect = CRect(r.left, r.top, r.right, r.bottom);
    return result;
}

// ---- fonts ----

void* OsCreateFont(const LogFontA* font) {
    if (font == nullptr) return nullptr;
    LOGFONTA f;
    std::memcpy(&f, font, sizeof f);
    return CreateFontIndirectA(&f);
}
void* OsGetGuiFont() { return GetStockObject(DEFAULT_GUI_FONT); }
bool OsGetFontDescription(void* font, LogFontA* description) {
    if (font == nullptr || description == nullptr) return false;
    LOGFONTA f;
    if (GetObjectA(static_cast<HGDIOBJ>(font), sizeof f, &f) != sizeof f) return false;
    std::memcpy(description, &f, sizeof f);
    return true;
}
void OsDeleteFont(void* font) {
    if (font != nullptr) DeleteObject(static_cast<HGDIOBJ>(font));
}
int OsLiveFontCount() { return -1; }
bool OsIsFirstWindows95() {
    OSVERSIONINFOA info;
    info.dwOSVersionInfoSize = sizeof info;
    if (!GetVersionExA(&info)) return false;
    return info.dwPlatformId == VER_PLATFORM_WIN32_WINDOWS && info.dwMinorVersion == 0;
}

// ---- presenting into windows ----

void* OsGetWindowDC(void* window) { return window ? ::GetDC(static_cast<HWND>(window)) : nullptr; }
void OsReleaseWindowDC(void* window, void* dc) {
    if (dc) ::ReleaseDC(static_cast<HWND>(window), static_cast<HDC>(dc));
}
void* OsSelectPalette(void* dc, void* palette) {
    return SelectPalette(static_cast<HDC>(dc), static_cast<HPALETTE>(palette), TRUE);
}
void OsRealizePalette(void* dc) { RealizePalette(static_cast<HDC>(dc)); }
bool OsGetClientRect(void* window, CRect* rect) {
    RECT r;
    if (!window || !GetClientRect(static_cast<HWND>(window), &r)) return false;
    rect->left = r.left;
    rect->top = r.top;
    rect->right = r.right;
    rect->bottom = r.bottom;
    return true;
}
