// DIB-section surfaces (kinds 3 and 4) and the windowed display-mode switch.
#include <windows.h>
// The surface operations of these names are not the ANSI/wide macros.
#undef TextOut
#undef DrawText

#include <cstring>

#include "graphics2d/win32/dc_surfaces.h"

namespace {

constexpr int64_t kMaxSectionBytes = int64_t(1) << 30;  // 1 GB
constexpr DWORD kFullScreenStyle = 0x86000000;          // WS_POPUP | WS_CLIPSIBLINGS | WS_CLIPCHILDREN

// BITMAPINFO with room for 256 colour places (1064 bytes).
struct DibInfo {
    BITMAPINFOHEADER header;
    uint32_t colours[256];
};
static_assert(sizeof(DibInfo) == 1064, "header and 256 colour places");

DWORD RasterOperation(int32_t mode, uint32_t parameter) { return mode == 7 ? parameter : SRCCOPY; }

// The GDI calls of MakeInstance and GetDC, through the test seam: a step can
// be made to fail once, and the objects this file holds are counted (Wine's
// GetGuiResources answers 0, so a leak would not show there).
DibStep g_failingStep = kDibStepNone;
int g_liveObjects = 0;

bool Forced(DibStep step) {
    if (g_failingStep != step) return false;
    g_failingStep = kDibStepNone;
    return true;
}
HDC TakeWindowDC(HWND window) {
    HDC dc = Forced(kDibStepReferenceDC) ? nullptr : ::GetDC(window);
    if (dc) ++g_liveObjects;
    return dc;
}
void GiveWindowDC(HWND window, HDC dc) {
    ::ReleaseDC(window, dc);
    --g_liveObjects;
}
HDC NewMemoryDC(HDC reference) {
    HDC dc = Forced(kDibStepMemoryDC) ? nullptr : CreateCompatibleDC(reference);
    if (dc) ++g_liveObjects;
    return dc;
}
void DeleteMemoryDCHandle(HDC dc) {
    DeleteDC(dc);
    --g_liveObjects;
}
HBITMAP NewSection(HDC dc, const BITMAPINFO* info, UINT usage, void** bits) {
    HBITMAP section = Forced(kDibStepSection) ? nullptr : CreateDIBSection(dc, info, usage, bits, nullptr, 0);
    if (section) ++g_liveObjects;
    return section;
}
void DeleteSection(HBITMAP section) {
    DeleteObject(section);
    --g_liveObjects;
}
HGDIOBJ SelectInto(HDC dc, HGDIOBJ object) { return Forced(kDibStepSelect) ? nullptr : SelectObject(dc, object); }

}  // namespace

void FailDibStep(DibStep step) { g_failingStep = step; }
int LiveDibGdiObjects() { return g_liveObjects; }

int GdiSurfaceBlit(CSurfaceImpl* source, CSurfaceImpl* destination, int32_t dx, int32_t dy, int32_t dw, int32_t dh,
                   int32_t sx, int32_t sy, int32_t sw, int32_t sh, int32_t mode, uint32_t parameter, bool stretch) {
    if (!destination) return 0;
    HDC target = static_cast<HDC>(destination->GetDC());
    HDC own = static_cast<HDC>(source->GetDC());
    if (destination->HasOrigin()) {
        const uint32_t o = destination->GetOrigin();
        dx += static_cast<int16_t>(o & 0xFFFF);
        dy += static_cast<int16_t>(o >> 16);
    }
    if (source->HasOrigin()) {
        const uint32_t o = source->GetOrigin();
        sx += static_cast<int16_t>(o & 0xFFFF);
        sy += static_cast<int16_t>(o >> 16);
    }
    int result = 0;
    if (target && own) {
        const DWORD rop = RasterOperation(mode, parameter);
        result = stretch ? StretchBlt(target, dx, dy, dw, dh, own, sx, sy, sw, sh, rop)
                         : BitBlt(target, dx, dy, dw, dh, own, sx, sy, rop);
    }
    // A blit onto itself takes the same DC twice; the second release finds
    // no DC taken and does nothing.
    if (own) source->ReleaseDC(own);
    if (target) destination->ReleaseDC(target);
    return result;
}

CDIBSurface::CDIBSurface() {
    std::memset(&m_header, 0, sizeof m_header);
    m_header.biSize = sizeof m_header;
    m_header.biPlanes = 1;
    std::memset(&m_savedMode, 0, sizeof m_savedMode);
    m_savedMode.dmSize = sizeof m_savedMode;
}

CDIBSurface::~CDIBSurface() {
    DeleteMemoryDC();
    if (m_section) DeleteSection(m_section);
    m_section = nullptr;
    lockedBits = rowBase = nullptr;
}

int CDIBSurface::Init(int32_t newDepth) {
    if (!CSurfaceImpl::Init(newDepth)) return 0;
    bottomUp = -1;
    m_header.biBitCount = static_cast<WORD>(newDepth == 15 ? 16 : newDepth);
    m_header.biCompression = BI_RGB;
    return 1;
}

void CDIBSurface::DeleteMemoryDC() {
    if (!m_dc) return;
    if (m_previous) SelectObject(m_dc, m_previous);
    DeleteMemoryDCHandle(m_dc);
    m_dc = nullptr;
    m_previous = nullptr;
    m_takenLevel = 0;
}

void CDIBSurface::UpdateColourTable(HDC dc) {
    if (depth != 8 || !palette || !dc) return;
    RGBQUAD quads[256];
    const int count = 1 << m_header.biBitCount;
    std::memset(quads, 0, sizeof quads);
    PaletteEntriesToRGBQuads(quads, palette->entries, palette->count < count ? palette->count : count);
    SetDIBColorTable(dc, 0, static_cast<UINT>(count), quads);
}

HDC CDIBSurface::MakeMemoryDC(HGDIOBJ* previous) {
    HDC reference = TakeWindowDC(m_window);
    if (!reference) return nullptr;
    HDC dc = NewMemoryDC(reference);
    GiveWindowDC(m_window, reference);
    if (!dc) return nullptr;
    *previous = SelectInto(dc, m_section);
    if (!*previous || *previous == HGDI_ERROR) {
        DeleteMemoryDCHandle(dc);
        return nullptr;
    }
    return dc;
}

bool CDIBSurface::KeepDC(HDC, HGDIOBJ) { return false; }

bool CDIBDCSurface::KeepDC(HDC dc, HGDIOBJ previous) {
    m_dc = dc;
    m_previous = previous;
    UpdateColourTable(dc);
    SetWindowOrgEx(dc, m_originX, m_originY, nullptr);
    return true;
}

CSurfaceImpl* CDIBSurface::MakeInstance(int32_t w, int32_t h) {
    if (w <= 0 || h <= 0 || depth == 0) return nullptr;
    const int64_t rowPitch = ((int64_t(m_header.biBitCount) * w + 31) & ~int64_t(31)) / 8;
    if (rowPitch * h > kMaxSectionBytes) return nullptr;
    CDIBSurface* instance = NewInstance();
    if (!instance) return nullptr;
    instance->InitLike(this, w, h, static_cast<int32_t>(rowPitch));
    instance->m_window = m_window;
    instance->m_header = m_header;
    instance->m_header.biWidth = w;
    instance->m_header.biHeight = h;
    instance->m_header.biSizeImage = static_cast<DWORD>(rowPitch * h);

    DibInfo* info = static_cast<DibInfo*>(LocalAlloc(LPTR, sizeof(DibInfo)));
    if (!info) {
        delete instance;
        return nullptr;
    }
    info->header = instance->m_header;
    UINT usage = DIB_RGB_COLORS;
    if (m_header.biBitCount > 8) {
        if (depth == 16) {
            info->header.biCompression = instance->m_header.biCompression = BI_BITFIELDS;
            info->colours[0] = 0xF800;
            info->colours[1] = 0x07E0;
            info->colours[2] = 0x001F;
        }
    } else if (palette) {
        const int count = 1 << m_header.biBitCount;
        PaletteEntriesToRGBQuads(info->colours, palette->entries, palette->count < count ? palette->count : count);
    } else {
        uint16_t* indices = reinterpret_cast<uint16_t*>(info->colours);
        for (int i = 0; i < (1 << m_header.biBitCount); ++i) indices[i] = static_cast<uint16_t>(i);
        usage = DIB_PAL_COLORS;
    }

    bool made = false;
    HDC reference = TakeWindowDC(m_window);
    HDC dc = reference ? NewMemoryDC(reference) : nullptr;
    if (dc) {
        void* bits = nullptr;
        instance->m_section =
            NewSection(dc, reinterpret_cast<BITMAPINFO*>(info), usage, &bits);
        if (instance->m_section && bits) {
            instance->lockedBits = static_cast<uint8_t*>(bits);
            instance->rowBase = instance->lockedBits + static_cast<ptrdiff_t>(h - 1) * rowPitch;
            HGDIOBJ previous = SelectInto(dc, instance->m_section);
            if (previous && previous != HGDI_ERROR) {
                if (instance->KeepDC(dc, previous)) {
                    dc = nullptr;
                } else {
                    SelectObject(dc, previous);
                }
                made = true;
            }
        }
    }
    if (dc) DeleteMemoryDCHandle(dc);
    if (reference) GiveWindowDC(m_window, reference);
    LocalFree(info);
    if (!made) {
        delete instance;  // deletes a section made on the way
        return nullptr;
    }
    return instance;
}

void CDIBSurface::SetOrigin(int32_t x, int32_t y) {
    m_originX = x;
    m_originY = y;
}

void CDIBDCSurface::SetOrigin(int32_t x, int32_t y) {
    CDIBSurface::SetOrigin(x, y);
    if (m_dc) SetWindowOrgEx(m_dc, x, y, nullptr);
}

uint32_t CDIBSurface::GetOrigin() {
    return (static_cast<uint32_t>(m_originY) << 16) | (static_cast<uint32_t>(m_originX) & 0xFFFF);
}

// The memory DC is made once and kept between uses: making and deleting one
// costs far more than the drawing most callers do with it (a line of text).
// Each taking saves the DC's state and each release restores it, so what a
// caller leaves selected or set does not reach the next caller, and the
// origin and colour table are applied afresh as on a new DC.
void* CDIBSurface::GetDC() {
    if (m_takenLevel) return m_dc;
    if (!m_dc) {
        if (!m_section) return nullptr;
        HGDIOBJ previous = nullptr;
        m_dc = MakeMemoryDC(&previous);
        if (!m_dc) return nullptr;
        m_previous = previous;
    }
    m_takenLevel = SaveDC(m_dc);
    if (!m_takenLevel) {  // a DC whose state cannot be saved is not kept
        DeleteMemoryDC();
        return nullptr;
    }
    UpdateColourTable(m_dc);
    SetWindowOrgEx(m_dc, m_originX, m_originY, nullptr);
    return m_dc;
}

void CDIBSurface::ReleaseDC(void*) {
    if (!m_takenLevel) return;
    // Pixels are read and written directly once the DC is given back: GDI's
    // batched drawing must have reached them.
    GdiFlush();
    const bool restored = RestoreDC(m_dc, m_takenLevel) != 0;
    m_takenLevel = 0;
    if (!restored) DeleteMemoryDC();
}

int CDIBSurface::BlitFromDC(int32_t dx, int32_t dy, void* source, int32_t sx, int32_t sy, int32_t w, int32_t h,
                            int32_t, int32_t mode, uint32_t parameter) {
    HDC own = static_cast<HDC>(GetDC());
    int result = 0;
    if (own && source) result = BitBlt(own, dx, dy, w, h, static_cast<HDC>(source), sx, sy, RasterOperation(mode, parameter));
    if (own) ReleaseDC(own);
    return result;
}

int CDIBSurface::StretchBlitFromDC(int32_t dx, int32_t dy, int32_t dw, int32_t dh, void* source, int32_t sx,
                                   int32_t sy, int32_t sw, int32_t sh, int32_t, int32_t mode, uint32_t parameter) {
    HDC own = static_cast<HDC>(GetDC());
    int result = 0;
    if (own && source)
        result = StretchBlt(own, dx, dy, dw, dh, static_cast<HDC>(source), sx, sy, sw, sh,
                            RasterOperation(mode, parameter));
    if (own) ReleaseDC(own);
    return result;
}

int CDIBSurface::Blit(CSurfaceImpl* destination, int32_t dx, int32_t dy, int32_t sx, int32_t sy, int32_t w,
                      int32_t h, int32_t transparent, int32_t mode, uint32_t parameter, int32_t soften) {
    if (destination && mode != 7 && !destination->IsDeviceOnly())
        return CSurfaceImpl::Blit(destination, dx, dy, sx, sy, w, h, transparent, mode, parameter, soften);
    return GdiSurfaceBlit(this, destination, dx, dy, w, h, sx, sy, w, h, mode, parameter, false);
}

int CDIBSurface::StretchBlit(CSurfaceImpl* destination, int32_t dx, int32_t dy, int32_t dw, int32_t dh, int32_t sx,
                             int32_t sy, int32_t sw, int32_t sh, int32_t transparent, int32_t mode,
                             uint32_t parameter) {
    if (destination && mode != 7 && !destination->IsDeviceOnly())
        return CSurfaceImpl::StretchBlit(destination, dx, dy, dw, dh, sx, sy, sw, sh, transparent, mode, parameter);
    return GdiSurfaceBlit(this, destination, dx, dy, dw, dh, sx, sy, sw, sh, mode, parameter, true);
}

int CDIBSurface::SetPalette(CSharedPalette* newPalette, int32_t remap) {
    CSurfaceImpl::SetPalette(newPalette, remap);
    UpdateColourTable(m_dc);
    return 1;
}

int CDIBSurface::AttachWindow(void* window) {
    m_window = static_cast<HWND>(window);
    return 1;
}

void CDIBSurface::EnumDisplayModes(DisplayModeCallback callback, void* context) {
    if (!callback) return;
    for (DWORD i = 0;; ++i) {
        DEVMODEA mode;
        std::memset(&mode, 0, sizeof mode);
        mode.dmSize = sizeof mode;
        if (!EnumDisplaySettingsA(nullptr, i, &mode)) return;
        const DisplayModeRecord record = {static_cast<int32_t>(mode.dmPelsWidth),
                                          static_cast<int32_t>(mode.dmPelsHeight),
                                          static_cast<int32_t>(mode.dmBitsPerPel), 0};
        if (!callback(&record, context)) return;
    }
}

int CDIBSurface::SetDisplayMode(void* window, int32_t w, int32_t h, int32_t newDepth) {
    HWND hwnd = static_cast<HWND>(window);
    if (!m_fullScreen) {
        if (hwnd) GetWindowRect(hwnd, &m_savedRect);
        std::memset(&m_savedMode, 0, sizeof m_savedMode);
        m_savedMode.dmSize = sizeof m_savedMode;
        EnumDisplaySettingsA(nullptr, ENUM_CURRENT_SETTINGS, &m_savedMode);
    }
    DEVMODEA mode;
    std::memset(&mode, 0, sizeof mode);
    mode.dmSize = sizeof mode;
    mode.dmFields = DM_BITSPERPEL | DM_PELSWIDTH | DM_PELSHEIGHT;
    mode.dmPelsWidth = static_cast<DWORD>(w);
    mode.dmPelsHeight = static_cast<DWORD>(h);
    mode.dmBitsPerPel = static_cast<DWORD>(newDepth);
    if (ChangeDisplaySettingsA(&mode, 0) != DISP_CHANGE_SUCCESSFUL) return 0;
    if (hwnd) {
        if (!m_fullScreen) m_savedStyle = GetWindowLongPtrA(hwnd, GWL_STYLE);
        SetWindowLongPtrA(hwnd, GWL_STYLE, static_cast<LONG_PTR>(kFullScreenStyle));
        SetWindowPos(hwnd, nullptr, 0, 0, w, h, SWP_NOZORDER | SWP_SHOWWINDOW);
    }
    m_fullScreen = 1;
    return 1;
}

void CDIBSurface::RestoreDisplayMode(void* window) {
    if (!m_fullScreen) return;
    if (ChangeDisplaySettingsA(&m_savedMode, 0) != DISP_CHANGE_SUCCESSFUL) return;
    HWND hwnd = static_cast<HWND>(window);
    if (hwnd) {
        SetWindowLongPtrA(hwnd, GWL_STYLE, m_savedStyle);
        SetWindowPos(hwnd, nullptr, m_savedRect.left, m_savedRect.top, m_savedRect.right - m_savedRect.left,
                     m_savedRect.bottom - m_savedRect.top, SWP_NOZORDER);
    }
    m_fullScreen = 0;
}

void CDIBSurface::CopyDisplayState(CSurfaceImpl* other) {
    CDIBSurface* from = dynamic_cast<CDIBSurface*>(other);
    if (!from) return;
    m_fullScreen = from->m_fullScreen;
    m_savedRect = from->m_savedRect;
    m_savedMode = from->m_savedMode;
    m_savedStyle = from->m_savedStyle;
}
