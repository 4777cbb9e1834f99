// DirectDraw surfaces (kind 5): pixels in an off-screen DirectDraw surface,
// shown through the shared primary surface with a clipper bound to the owner
// window, and the exclusive full-screen display switch.
//
// All instances share one IDirectDraw2 object and one primary surface, made
// by the first instance that needs them and kept until ReleaseDirectDraw.
// The interfaces are those of DirectDraw 3 (IDirectDraw2, IDirectDrawSurface,
// IDirectDrawClipper); DDRAW.DLL is loaded at run time.
#include <windows.h>
// The surface operations of these names are not the ANSI/wide macros.
#undef TextOut
#undef DrawText

#include <ddraw.h>

#include <climits>
#include <new>

#include "graphics2d/colour_match.h"
#include "graphics2d/os_gdi.h"
#include "graphics2d/surface.h"
#include "graphics2d/surface_clip.h"
#include "graphics2d/surface_registry.h"
#include "graphics2d/win32/dc_surfaces.h"
#include "graphics2d/win32/dd_surface.h"

namespace {

constexpr int64_t kMaxSurfaceBytes = int64_t(1) << 30;  // 1 GB
constexpr DWORD kFullScreenStyle = 0x86000000;          // WS_POPUP | WS_CLIPSIBLINGS | WS_CLIPCHILDREN

// The library-wide DirectDraw state.
HMODULE g_library = nullptr;
IDirectDraw2* g_directDraw = nullptr;
IDirectDrawSurface* g_primary = nullptr;
IDirectDrawClipper* g_primaryClipper = nullptr;  // the clipper currently set on the primary
bool g_exclusive = false;
int32_t g_fullScreenWidth = 0;
int32_t g_fullScreenHeight = 0;
int32_t g_displayDepth = 0;

// The seam.
DirectDrawDiagnosticSink g_sink = nullptr;
DirectDrawStep g_failing = kDDStepNone;

void Diagnostic(const char* line) {
    if (g_sink)
        g_sink(line);
    else
        OutputDebugStringA(line);
}

// True when the seam asks this step to fail (once).
bool Forced(DirectDrawStep step) {
    if (g_failing != step) return false;
    g_failing = kDDStepNone;
    return true;
}

typedef HRESULT(WINAPI* DirectDrawCreateProc)(GUID*, IDirectDraw**, IUnknown*);

DirectDrawCreateProc LoadDirectDrawCreate() {
    if (!g_library) g_library = LoadLibraryA("ddraw.dll");
    if (!g_library) return nullptr;
    return reinterpret_cast<DirectDrawCreateProc>(
        reinterpret_cast<void*>(GetProcAddress(g_library, "DirectDrawCreate")));
}

// Makes the shared DirectDraw object unless it exists; *made tells the
// caller whether this call made it (its failure paths release it again).
bool MakeDirectDraw(bool* made) {
    *made = false;
    if (g_directDraw) return true;
    DirectDrawCreateProc create = LoadDirectDrawCreate();
    IDirectDraw* first = nullptr;
    if (!create || Forced(kDDStepCreate) || FAILED(create(nullptr, &first, nullptr)) || !first) return false;
    if (Forced(kDDStepNormalLevel) || FAILED(first->SetCooperativeLevel(nullptr, DDSCL_NORMAL))) {
        first->Release();
        return false;
    }
    void* second = nullptr;
    if (Forced(kDDStepQueryInterface) || FAILED(first->QueryInterface(IID_IDirectDraw2, &second)) || !second) {
        first->Release();
        return false;
    }
    first->Release();
    g_directDraw = static_cast<IDirectDraw2*>(second);
    *made = true;
    return true;
}

bool MakePrimary() {
    DDSURFACEDESC desc = {};
    desc.dwSize = sizeof desc;
    desc.dwFlags = DDSD_CAPS;
    desc.ddsCaps.dwCaps = DDSCAPS_PRIMARYSURFACE;
    IDirectDrawSurface* made = nullptr;
    if (Forced(kDDStepPrimary) || FAILED(g_directDraw->CreateSurface(&desc, &made, nullptr)) || !made) return false;
    g_primary = made;
    return true;
}

void ReleasePrimary() {
    if (g_primary) g_primary->Release();
    g_primary = nullptr;
    g_primaryClipper = nullptr;
}

void ReleaseDirectDrawObjects() {
    ReleasePrimary();
    if (g_directDraw) g_directDraw->Release();
    g_directDraw = nullptr;
    g_exclusive = false;
}

// Sets the clipper on the primary before drawing on the screen (not in
// full-screen mode, where the whole screen belongs to the program).
void SetPrimaryClipper(IDirectDrawClipper* clipper) {
    if (clipper == g_primaryClipper || !g_primary || g_exclusive) return;
    if (SUCCEEDED(g_primary->SetClipper(clipper))) g_primaryClipper = clipper;
}

void RestoreIfLost(IDirectDrawSurface* surface) {
    if (surface && surface->IsLost() == DDERR_SURFACELOST) surface->Restore();
}

HWND TopLevelOf(HWND window) {
    for (HWND parent = window ? GetParent(window) : nullptr; parent; parent = GetParent(window)) window = parent;
    return window;
}

RECT MakeRect(int64_t x, int64_t y, int64_t w, int64_t h) {
    return {static_cast<LONG>(x), static_cast<LONG>(y), static_cast<LONG>(x + w), static_cast<LONG>(y + h)};
}

// Clips a copy of (sx, sy, w × h) at (dx, dy): the source to the source
// area, the destination to the destination area, each cut shifting both.
// False when nothing is left.
bool ClipCopy(const CRect& source, const CRect& destination, int32_t* dx, int32_t* dy, int32_t* sx, int32_t* sy,
              int32_t* w, int32_t* h) {
    int64_t x0 = *sx, y0 = *sy, x1 = *dx, y1 = *dy, cw = *w, ch = *h;
    auto cut = [&](int64_t& from, int64_t& other, int64_t& size, int64_t low, int64_t high) {
        if (from < low) {
            other += low - from;
            size -= low - from;
            from = low;
        }
        if (from + size > high) size = high - from;
    };
    cut(x0, x1, cw, source.left, source.right);
    cut(y0, y1, ch, source.top, source.bottom);
    cut(x1, x0, cw, destination.left, destination.right);
    cut(y1, y0, ch, destination.top, destination.bottom);
    if (cw <= 0 || ch <= 0) return false;
    *sx = static_cast<int32_t>(x0);
    *sy = static_cast<int32_t>(y0);
    *dx = static_cast<int32_t>(x1);
    *dy = static_cast<int32_t>(y1);
    *w = static_cast<int32_t>(cw);
    *h = static_cast<int32_t>(ch);
    return true;
}

int FormatIndexOf(IDirectDrawSurface* surface) {
    DDPIXELFORMAT format = {};
    format.dwSize = sizeof format;
    if (FAILED(surface->GetPixelFormat(&format))) return -1;
    if (Forced(kDDStepPixelFormat)) return DirectDrawFormatIndex(16, 0x0F00, 0x00F0, 0x000F);
    return DirectDrawFormatIndex(format.dwRGBBitCount, format.dwRBitMask, format.dwGBitMask, format.dwBBitMask);
}

class cDDSurface : public CSurfaceImpl {
public:
    ~cDDSurface() override;
    CSurfaceImpl* MakeInstance(int32_t width, int32_t height) override;
    CSurfaceImpl* MakeBackBuffer() override;
    int IsBackBuffer() override { return m_backBuffer; }
    void EnumDisplayModes(DisplayModeCallback callback, void* context) override;
    int SetDisplayMode(void* window, int32_t width, int32_t height, int32_t depth) override;
    void RestoreDisplayMode(void* window) override;
    void CopyDisplayState(CSurfaceImpl* other) override;
    int WaitVerticalBlank() override;
    int GetKind() override { return 5; }
    void SetOrigin(int32_t x, int32_t y) override;
    uint32_t GetOrigin() override {
        return (static_cast<uint32_t>(m_originY) << 16) | (static_cast<uint32_t>(m_originX) & 0xFFFF);
    }
    int HasOrigin() override { return 1; }
    int Lock() override;
    void Unlock() override;
    void* GetDC() override;
    void ReleaseDC(void* dc) override;
    int BlitFromDC(int32_t dx, int32_t dy, void* source, int32_t sx, int32_t sy, int32_t w, int32_t h,
                   int32_t transparent, int32_t mode, uint32_t parameter) override;
    int Blit(CSurfaceImpl* destination, int32_t dx, int32_t dy, int32_t sx, int32_t sy, int32_t w, int32_t h,
             int32_t transparent, int32_t mode, uint32_t parameter, int32_t soften) override;
    int MoveRect(int32_t dx, int32_t dy, int32_t sx, int32_t sy, int32_t w, int32_t h) override;
    int StretchBlitFromDC(int32_t dx, int32_t dy, int32_t dw, int32_t dh, void* source, int32_t sx, int32_t sy,
                          int32_t sw, int32_t sh, int32_t transparent, int32_t mode, uint32_t parameter) override;
    int StretchBlit(CSurfaceImpl* destination, int32_t dx, int32_t dy, int32_t dw, int32_t dh, int32_t sx,
                    int32_t sy, int32_t sw, int32_t sh, int32_t transparent, int32_t mode,
                    uint32_t parameter) override;
    int FillRectRaw(int32_t x, int32_t y, int32_t w, int32_t h, uint32_t value) override;
    int FillRect(int32_t x, int32_t y, int32_t w, int32_t h, uint32_t colour) override;
    int AttachWindow(void* window) override;
    void Flip() override;

    IDirectDrawSurface* Surface() const { return m_surface; }

protected:
    virtual cDDSurface* NewInstance() const { return new (std::nothrow) cDDSurface; }
    virtual bool SystemMemory() const { return false; }

private:
    enum State { kIdle, kLocked, kDCTaken };

    bool MakeOwnSurface(bool systemMemory);
    // Depth, format index, bytes per pixel and routines from the surface's
    // pixel format; false for a format the library cannot draw on.
    bool TakePixelFormat(bool keepUnknown);
    void RefetchBackBuffer();
    // Ends a DC or lock still held and releases the palette, the clipper and
    // (unless a back buffer) the surface.
    void ReleaseInterfaces();
    void ReleaseClipper();
    // Keeps the DirectDraw object its surface was made on: an instance may
    // outlive ReleaseDirectDraw (which drops the library's reference), and
    // its surface must stay valid until it is deleted.
    void HoldOwner();
    int ColourFill(int32_t x, int32_t y, int32_t w, int32_t h, uint32_t value);

    IDirectDrawSurface* m_surface = nullptr;
    IDirectDraw2* m_owner = nullptr;
    IDirectDrawClipper* m_clipper = nullptr;
    IDirectDrawPalette* m_ddPalette = nullptr;
    int m_backBuffer = 0;
    HDC m_dc = nullptr;
    int32_t m_originX = 0;
    int32_t m_originY = 0;
    HWND m_window = nullptr;
    State m_state = kIdle;
    int32_t m_dcCount = 0;
    int32_t m_lockCount = 0;
    int m_fullScreen = 0;
    RECT m_savedRect = {};
    LONG_PTR m_savedStyle = 0;
};

// The same, with off-screen surfaces in system memory.
class cDDSysMemSurface : public cDDSurface {
protected:
    cDDSurface* NewInstance() const override { return new (std::nothrow) cDDSysMemSurface; }
    bool SystemMemory() const override { return true; }
};

cDDSurface::~cDDSurface() {
    ReleaseInterfaces();
    if (m_owner) m_owner->Release();
    m_owner = nullptr;
    lockedBits = rowBase = nullptr;
}

void cDDSurface::HoldOwner() {
    if (m_owner == g_directDraw) return;
    if (g_directDraw) g_directDraw->AddRef();
    if (m_owner) m_owner->Release();
    m_owner = g_directDraw;
}

void cDDSurface::ReleaseClipper() {
    if (!m_clipper) return;
    if (g_primaryClipper == m_clipper) {
        if (g_primary) g_primary->SetClipper(nullptr);
        g_primaryClipper = nullptr;
    }
    m_clipper->Release();
    m_clipper = nullptr;
}

void cDDSurface::ReleaseInterfaces() {
    if (m_state == kDCTaken) {
        m_dcCount = 1;
        ReleaseDC(m_dc);
    } else if (m_state == kLocked) {
        m_lockCount = 1;
        Unlock();
    }
    if (m_ddPalette) m_ddPalette->Release();
    m_ddPalette = nullptr;
    ReleaseClipper();
    if (m_surface && !m_backBuffer) m_surface->Release();
    m_surface = nullptr;
}

bool cDDSurface::MakeOwnSurface(bool systemMemory) {
    DDSURFACEDESC desc = {};
    desc.dwSize = sizeof desc;
    desc.dwFlags = DDSD_CAPS | DDSD_HEIGHT | DDSD_WIDTH;
    desc.dwWidth = static_cast<DWORD>(width);
    desc.dwHeight = static_cast<DWORD>(height);
    desc.ddsCaps.dwCaps = DDSCAPS_OFFSCREENPLAIN | (systemMemory ? DDSCAPS_SYSTEMMEMORY : 0);
    IDirectDrawSurface* made = nullptr;
    if (Forced(kDDStepSurface) || FAILED(g_directDraw->CreateSurface(&desc, &made, nullptr)) || !made) return false;
    m_surface = made;
    return true;
}

bool cDDSurface::TakePixelFormat(bool keepUnknown) {
    const int index = FormatIndexOf(m_surface);
    if (index == -1 || (index == -2 && !keepUnknown)) return false;
    if (index >= 0) SetDepth(DepthOfFormatIndex(index));
    g_displayDepth = depth;
    if (depth > 8) {
        CSharedPalette::Release(palette);
        palette = nullptr;
    }
    return true;
}

// The primary's back buffer is fetched again before each use: a flip swaps
// which surface it is. The attached surface is owned by the primary.
void cDDSurface::RefetchBackBuffer() {
    if (!m_backBuffer || !g_primary) return;
    DDSCAPS caps = {DDSCAPS_BACKBUFFER};
    IDirectDrawSurface* back = nullptr;
    if (SUCCEEDED(g_primary->GetAttachedSurface(&caps, &back)) && back) {
        m_surface = back;
        back->Release();
    }
}

CSurfaceImpl* cDDSurface::MakeInstance(int32_t w, int32_t h) {
    if (w <= 0 || h <= 0 || depth == 0) return nullptr;
    const int64_t rowPitch = ((int64_t(depth) * w + 31) & ~int64_t(31)) / 8;
    if (rowPitch * h > kMaxSurfaceBytes) return nullptr;
    cDDSurface* instance = NewInstance();
    if (!instance) return nullptr;
    instance->InitLike(this, w, h, static_cast<int32_t>(rowPitch));
    instance->m_backBuffer = m_backBuffer;

    bool made = false;
    bool ok = MakeDirectDraw(&made);
    if (ok && !g_primary) ok = MakePrimary();
    if (ok) {
        if (m_backBuffer) {
            instance->RefetchBackBuffer();
            ok = instance->m_surface != nullptr;
        } else {
            ok = instance->MakeOwnSurface(SystemMemory());
        }
    }
    if (!ok) {
        Diagnostic(">> cDDSurface::MakeInstance failed!\n");
        delete instance;
        if (made) ReleaseDirectDrawObjects();
        return nullptr;
    }
    if (!instance->TakePixelFormat(true)) {
        delete instance;
        return nullptr;
    }
    instance->HoldOwner();
    return instance;
}

CSurfaceImpl* cDDSurface::MakeBackBuffer() {
    if (!g_directDraw || !g_primary || !g_exclusive) return nullptr;
    const int before = m_backBuffer;
    m_backBuffer = 1;
    CSurfaceImpl* made = MakeInstance(g_fullScreenWidth, g_fullScreenHeight);
    m_backBuffer = before;
    return made;
}

void cDDSurface::SetOrigin(int32_t x, int32_t y) {
    m_originX = x;
    m_originY = y;
    if (m_dc) SetWindowOrgEx(m_dc, x, y, nullptr);
}

int cDDSurface::Lock() {
    if (m_state == kDCTaken) return 0;
    if (m_state == kLocked) {
        if (m_lockCount > 0 && lockedBits) {
            ++m_lockCount;
            return 1;
        }
        lockedBits = rowBase = nullptr;
        m_lockCount = 0;
        m_state = kIdle;
        return 0;
    }
    RefetchBackBuffer();
    if (!m_surface) return 0;
    DDSURFACEDESC desc = {};
    desc.dwSize = sizeof desc;
    if (FAILED(m_surface->Lock(nullptr, &desc, DDLOCK_WAIT, nullptr))) return 0;
    if (!desc.lpSurface) {
        m_surface->Unlock(nullptr);
        return 0;
    }
    lockedBits = rowBase = static_cast<uint8_t*>(desc.lpSurface);
    pitch = rowStep = static_cast<int32_t>(desc.lPitch);
    m_lockCount = 1;
    m_state = kLocked;
    return 1;
}

void cDDSurface::Unlock() {
    if (m_state == kLocked && m_lockCount > 0) {
        if (--m_lockCount > 0) return;
        RefetchBackBuffer();
        if (m_surface) m_surface->Unlock(lockedBits);
        lockedBits = rowBase = nullptr;
        pitch = rowStep = 0;
        m_state = kIdle;
        return;
    }
    m_lockCount = 0;
    if (m_state == kLocked) m_state = kIdle;
}

void* cDDSurface::GetDC() {
    if (m_state == kDCTaken) {
        ++m_dcCount;
        return m_dc;
    }
    if (m_state == kLocked) return nullptr;
    RefetchBackBuffer();
    HDC dc = nullptr;
    if (!m_surface || Forced(kDDStepGetDC) || FAILED(m_surface->GetDC(&dc)) || !dc) return nullptr;
    m_dc = dc;
    m_dcCount = 1;
    SetWindowOrgEx(dc, m_originX, m_originY, nullptr);
    m_state = kDCTaken;
    return dc;
}

// The stored DC is released, whatever the argument.
void cDDSurface::ReleaseDC(void*) {
    if (m_state == kDCTaken && m_dcCount > 0) {
        if (--m_dcCount > 0) return;
        if (m_surface && m_dc) m_surface->ReleaseDC(m_dc);
        m_dc = nullptr;
        m_state = kIdle;
        return;
    }
    m_dcCount = 0;
    m_dc = nullptr;
    if (m_state == kDCTaken) m_state = kIdle;
}

int cDDSurface::AttachWindow(void* window) {
    CSurfaceImpl::AttachWindow(window);
    if (m_backBuffer) return 1;
    HWND hwnd = static_cast<HWND>(window);
    bool bound = false;
    if (hwnd) {
        ReleaseClipper();
        m_window = nullptr;
        IDirectDrawClipper* clipper = nullptr;
        if (g_directDraw && SUCCEEDED(g_directDraw->CreateClipper(0, &clipper, nullptr)) && clipper) {
            m_clipper = clipper;
            if (SUCCEEDED(clipper->SetHWnd(0, hwnd))) {
                m_window = hwnd;
                bound = true;
            }
        }
    }
    if (!bound) {
        Diagnostic(">> cDDSurface::AttachWindow didn't succeed!\n");
        ReleaseClipper();
    }
    return 1;
}

int cDDSurface::Blit(CSurfaceImpl* destination, int32_t dx, int32_t dy, int32_t sx, int32_t sy, int32_t w,
                     int32_t h, int32_t transparent, int32_t mode, uint32_t parameter, int32_t soften) {
    if (!destination) return 0;
    if (destination->IsDeviceOnly()) {
        // Presentation through the primary, onto the attached window's
        // client area (the screen in full-screen mode).
        if (!g_primary || !m_surface) return 0;
        RestoreIfLost(g_primary);
        RestoreIfLost(m_surface);
        SetPrimaryClipper(m_clipper);
        POINT offset = {0, 0};
        if (!g_exclusive && m_window) ClientToScreen(m_window, &offset);
        const CRect whole(0, 0, width, height);
        const CRect anywhere(INT32_MIN / 2, INT32_MIN / 2, INT32_MAX / 2, INT32_MAX / 2);
        if (!ClipCopy(whole, anywhere, &dx, &dy, &sx, &sy, &w, &h)) return 1;
        RECT to = MakeRect(int64_t(dx) + offset.x, int64_t(dy) + offset.y, w, h);
        RECT from = MakeRect(sx, sy, w, h);
        if (SUCCEEDED(g_primary->Blt(&to, m_surface, &from, 0, nullptr))) return 1;
        return SUCCEEDED(g_primary->Blt(&to, m_surface, &from, DDBLT_WAIT, nullptr)) ? 1 : 0;
    }
    if (mode == 7) return GdiSurfaceBlit(this, destination, dx, dy, w, h, sx, sy, w, h, mode, parameter, false);
    // BltFast between two idle instances; a locked one (or one with its DC
    // taken) would refuse it, so the shared body copies instead.
    cDDSurface* target = destination->GetKind() == 5 ? static_cast<cDDSurface*>(destination) : nullptr;
    if (target && target->m_state == kIdle && m_state == kIdle && transparent == 0 && mode == 0 && soften == 0) {
        if (!m_surface || !target->m_surface) return 0;
        RestoreIfLost(m_surface);
        RestoreIfLost(target->m_surface);
        if (!ClipCopy(CRect(0, 0, width, height), WritableArea(target), &dx, &dy, &sx, &sy, &w, &h)) return 0;
        RECT from = MakeRect(sx, sy, w, h);
        return SUCCEEDED(target->m_surface->BltFast(static_cast<DWORD>(dx), static_cast<DWORD>(dy), m_surface,
                                                    &from, DDBLTFAST_WAIT))
                   ? 1
                   : 0;
    }
    return CSurfaceImpl::Blit(destination, dx, dy, sx, sy, w, h, transparent, mode, parameter, soften);
}

// The area comes from the primary surface (the screen), not from the DC.
int cDDSurface::BlitFromDC(int32_t dx, int32_t dy, void*, int32_t sx, int32_t sy, int32_t w, int32_t h, int32_t,
                           int32_t, uint32_t) {
    if (!g_primary || !m_surface) return 0;
    RestoreIfLost(g_primary);
    RestoreIfLost(m_surface);
    // Source left or top below 0 moves the destination start; the area ends
    // at this surface's edges.
    const CRect screen(0, 0, INT32_MAX / 2, INT32_MAX / 2);
    if (!ClipCopy(screen, CRect(0, 0, width, height), &dx, &dy, &sx, &sy, &w, &h)) return 0;
    RECT from = MakeRect(sx, sy, w, h);
    return SUCCEEDED(m_surface->BltFast(static_cast<DWORD>(dx), static_cast<DWORD>(dy), g_primary, &from,
                                        DDBLTFAST_WAIT))
               ? 1
               : 0;
}

int cDDSurface::MoveRect(int32_t dx, int32_t dy, int32_t sx, int32_t sy, int32_t w, int32_t h) {
    if (!m_surface) return 0;
    // A locked surface refuses Blt: the shared body moves the pixels.
    if (m_state == kLocked) return CSurfaceImpl::MoveRect(dx, dy, sx, sy, w, h);
    if (!ClipCopy(CRect(0, 0, width, height), WritableArea(this), &dx, &dy, &sx, &sy, &w, &h)) return 0;
    RECT to = MakeRect(dx, dy, w, h);
    RECT from = MakeRect(sx, sy, w, h);
    return SUCCEEDED(m_surface->Blt(&to, m_surface, &from, DDBLT_WAIT, nullptr)) ? 1 : 0;
}

int cDDSurface::StretchBlitFromDC(int32_t dx, int32_t dy, int32_t dw, int32_t dh, void* source, int32_t sx,
                                  int32_t sy, int32_t sw, int32_t sh, int32_t, int32_t mode, uint32_t parameter) {
    if (!source) return 0;
    HDC own = static_cast<HDC>(GetDC());
    if (!own) return 0;
    SetPrimaryClipper(m_clipper);
    const int result = StretchBlt(own, dx, dy, dw, dh, static_cast<HDC>(source), sx, sy, sw, sh,
                                  mode == 7 ? parameter : SRCCOPY);
    ReleaseDC(own);
    return result;
}

int cDDSurface::StretchBlit(CSurfaceImpl* destination, int32_t dx, int32_t dy, int32_t dw, int32_t dh, int32_t sx,
                            int32_t sy, int32_t sw, int32_t sh, int32_t transparent, int32_t mode,
                            uint32_t parameter) {
    if (!destination) return 0;
    if (mode != 7 && !destination->IsDeviceOnly())
        return CSurfaceImpl::StretchBlit(destination, dx, dy, dw, dh, sx, sy, sw, sh, transparent, mode, parameter);
    return GdiSurfaceBlit(this, destination, dx, dy, dw, dh, sx, sy, sw, sh, mode, parameter, true);
}

// The area is cut to the writable area first, as the shared bodies do: the
// clip rectangle holds for every kind of surface, and a rectangle reaching
// past the edges would make the whole Blt fail.
int cDDSurface::ColourFill(int32_t x, int32_t y, int32_t w, int32_t h, uint32_t value) {
    if (!m_surface || !ClipToSurface(this, &x, &y, &w, &h)) return 0;
    RECT area = MakeRect(x, y, w, h);
    DDBLTFX fx = {};
    fx.dwSize = sizeof fx;
    fx.dwFillColor = value;
    return SUCCEEDED(m_surface->Blt(&area, nullptr, nullptr, DDBLT_COLORFILL, &fx)) ? 1 : 0;
}

int cDDSurface::FillRectRaw(int32_t x, int32_t y, int32_t w, int32_t h, uint32_t value) {
    if (m_state != kIdle) return CSurfaceImpl::FillRectRaw(x, y, w, h, value);
    return ColourFill(x, y, w, h, value);
}

int cDDSurface::FillRect(int32_t x, int32_t y, int32_t w, int32_t h, uint32_t colour) {
    if (m_state != kIdle) return CSurfaceImpl::FillRect(x, y, w, h, colour);
    return ColourFill(x, y, w, h, FillValueOfColour(colour, depth, palette));
}

void cDDSurface::Flip() {
    if (!m_backBuffer || !g_primary) return;
    if (SUCCEEDED(g_primary->Flip(nullptr, DDFLIP_WAIT))) RefetchBackBuffer();
}

int cDDSurface::WaitVerticalBlank() {
    return g_directDraw && SUCCEEDED(g_directDraw->WaitForVerticalBlank(DDWAITVB_BLOCKBEGIN, nullptr)) ? 1 : 0;
}

struct ModeEnumeration {
    DisplayModeCallback callback;
    void* context;
};

HRESULT WINAPI EachMode(DDSURFACEDESC* desc, void* context) {
    const ModeEnumeration* e = static_cast<const ModeEnumeration*>(context);
    const DisplayModeRecord record = {static_cast<int32_t>(desc->dwWidth), static_cast<int32_t>(desc->dwHeight),
                                      static_cast<int32_t>(desc->ddpfPixelFormat.dwRGBBitCount), 0};
    return e->callback(&record, e->context) ? DDENUMRET_OK : DDENUMRET_CANCEL;
}

void cDDSurface::EnumDisplayModes(DisplayModeCallback callback, void* context) {
    if (!callback || !IsDirectDrawUsable()) return;
    bool made = false;
    if (!MakeDirectDraw(&made)) return;
    ModeEnumeration e = {callback, context};
    g_directDraw->EnumDisplayModes(DDEDM_REFRESHRATES | DDEDM_STANDARDVGAMODES, nullptr, &e, EachMode);
    if (made) ReleaseDirectDrawObjects();
}

int cDDSurface::SetDisplayMode(void* window, int32_t w, int32_t h, int32_t newDepth) {
    if (!IsDirectDrawUsable()) return 0;
    HWND hwnd = static_cast<HWND>(window);
    // The window as it is before the exclusive level (which may already
    // restyle and move it): kept for RestoreDisplayMode, and put back at once
    // when the mode is refused.
    RECT rect = {};
    LONG_PTR style = 0;
    if (hwnd) {
        GetWindowRect(hwnd, &rect);
        style = GetWindowLongPtrA(hwnd, GWL_STYLE);
        if (!m_fullScreen) m_savedRect = rect;
    }
    auto putWindowBack = [&] {
        if (!hwnd) return;
        SetWindowLongPtrA(hwnd, GWL_STYLE, style);
        SetWindowPos(hwnd, nullptr, rect.left, rect.top, rect.right - rect.left, rect.bottom - rect.top,
                     SWP_NOZORDER | SWP_NOACTIVATE);
    };
    bool made = false;
    if (!MakeDirectDraw(&made)) return 0;
    HWND top = TopLevelOf(hwnd);
    if (Forced(kDDStepExclusiveLevel) ||
        FAILED(g_directDraw->SetCooperativeLevel(top, DDSCL_FULLSCREEN | DDSCL_ALLOWREBOOT | DDSCL_EXCLUSIVE))) {
        if (made) ReleaseDirectDrawObjects();
        putWindowBack();
        return 0;
    }
    if (g_primary) g_primary->SetClipper(nullptr);
    g_primaryClipper = nullptr;
    if (Forced(kDDStepSetMode) ||
        FAILED(g_directDraw->SetDisplayMode(static_cast<DWORD>(w), static_cast<DWORD>(h), static_cast<DWORD>(newDepth),
                                            0, 0))) {
        g_directDraw->SetCooperativeLevel(nullptr, DDSCL_NORMAL);
        if (made) ReleaseDirectDrawObjects();
        if (!m_fullScreen) putWindowBack();
        return 0;
    }
    if (hwnd && !m_fullScreen) m_savedStyle = style;
    ReleaseInterfaces();
    ReleasePrimary();
    // From here a failure puts the display back; a window not yet switched
    // keeps its place (its saved rectangle and style are only used once the
    // full-screen flag is set).
    bool ok = MakePrimary();
    if (ok) {
        width = w;
        height = h;
        clipLeft = clipTop = 0;
        clipRight = w;
        clipBottom = h;
        m_backBuffer = 0;
        ok = MakeOwnSurface(true) && TakePixelFormat(false);
    }
    if (ok) HoldOwner();
    if (!ok) {
        // No surface of a stale format is left behind: the instance answers
        // 0 until it is made again.
        ReleaseInterfaces();
        RestoreDisplayMode(window);
        return 0;
    }
    if (hwnd) {
        SetWindowLongPtrA(hwnd, GWL_STYLE, static_cast<LONG_PTR>(kFullScreenStyle));
        SetWindowPos(hwnd, nullptr, 0, 0, w, h, SWP_NOZORDER | SWP_SHOWWINDOW);
    }
    RECT whole = {0, 0, w, h};
    DDBLTFX fx = {};
    fx.dwSize = sizeof fx;
    g_primary->Blt(&whole, nullptr, nullptr, DDBLT_COLORFILL, &fx);
    m_fullScreen = 1;
    g_fullScreenWidth = w;
    g_fullScreenHeight = h;
    g_exclusive = true;
    return 1;
}

void cDDSurface::RestoreDisplayMode(void* window) {
    g_exclusive = false;
    if (!g_directDraw) return;
    if (g_primary) g_primary->SetClipper(nullptr);
    g_primaryClipper = nullptr;
    if (FAILED(g_directDraw->RestoreDisplayMode())) return;
    ReleasePrimary();
    HWND hwnd = static_cast<HWND>(window);
    if (FAILED(g_directDraw->SetCooperativeLevel(TopLevelOf(hwnd), DDSCL_NORMAL))) return;
    if (!MakePrimary()) return;
    if (m_fullScreen && hwnd) {
        SetWindowLongPtrA(hwnd, GWL_STYLE, m_savedStyle);
        SetWindowPos(hwnd, nullptr, m_savedRect.left, m_savedRect.top, m_savedRect.right - m_savedRect.left,
                     m_savedRect.bottom - m_savedRect.top, SWP_NOZORDER);
        m_fullScreen = 0;
    }
}

void cDDSurface::CopyDisplayState(CSurfaceImpl* other) {
    if (!other || other->GetKind() != 5) return;
    const cDDSurface* from = static_cast<const cDDSurface*>(other);
    m_fullScreen = from->m_fullScreen;
    m_savedRect = from->m_savedRect;
    m_savedStyle = from->m_savedStyle;
}

}  // namespace

int DirectDrawFormatIndex(uint32_t bitCount, uint32_t red, uint32_t green, uint32_t blue) {
    switch (bitCount) {
    case 8: return 0;
    case 1:
    case 4: return -1;
    case 16:
        if (red == 0x7C00 && green == 0x03E0 && blue == 0x001F) return 1;
        if (red == 0xF800 && green == 0x07E0 && blue == 0x001F) return 2;
        return -1;
    case 24:
    case 32:
        if (red == 0xFF0000 && green == 0xFF00 && blue == 0xFF) return bitCount == 24 ? 3 : 4;
        return -1;
    default: return -2;
    }
}

CSurfaceImpl* MakeDirectDrawPrototype(bool systemMemory) {
    cDDSurface* prototype = systemMemory ? new (std::nothrow) cDDSysMemSurface : new (std::nothrow) cDDSurface;
    if (!prototype) return nullptr;
    const OsScreenCaps caps = OsGetScreenCaps();
    const int bits = caps.bitsPerPixel * caps.planes;
    const int32_t screenDepth = bits <= 8 ? 8 : bits <= 16 ? 16 : bits <= 24 ? 24 : 32;
    if (!prototype->Init(screenDepth)) {
        delete prototype;
        return nullptr;
    }
    return prototype;
}

void* GetDirectDrawObject() { return g_directDraw; }
void* GetDirectDrawPrimary() { return g_primary; }
void* GetDirectDrawSurfaceOf(CSurfaceImpl* impl) {
    return impl && impl->GetKind() == 5 ? static_cast<cDDSurface*>(impl)->Surface() : nullptr;
}

void SetDirectDrawDiagnosticSink(DirectDrawDiagnosticSink sink) { g_sink = sink; }
void FailDirectDrawStep(DirectDrawStep step) { g_failing = step; }

void OsReleaseDirectDraw() { ReleaseDirectDrawObjects(); }
