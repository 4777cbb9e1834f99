// The window-DC surface (kind 2): draws straight into a device context it
// was given, or the screen's. Its pixels cannot be addressed, so it takes part
// only as a GDI source or destination.
#include <windows.h>
// The surface operations of these names are not the ANSI/wide macros.
#undef TextOut
#undef DrawText

#include <new>

#include "graphics2d/win32/dc_surfaces.h"

namespace {

class CWinDCSurface : public CSurfaceImpl {
public:
    CWinDCSurface(HDC dc, bool owned) : m_dc(dc), m_owned(owned) {}
    ~CWinDCSurface() override {
        if (m_owned && m_dc) ::ReleaseDC(m_window, m_dc);
    }
    CSurfaceImpl* MakeInstance(int32_t, int32_t) override { return nullptr; }
    int Init(int32_t) override { return 1; }
    void SetDepth(int32_t) override {}
    int GetKind() override { return 2; }
    void SetOrigin(int32_t x, int32_t y) override {
        m_originX = x;
        m_originY = y;
        if (m_dc) SetWindowOrgEx(m_dc, x, y, nullptr);
    }
    uint32_t GetOrigin() override {
        return (static_cast<uint32_t>(m_originY) << 16) | (static_cast<uint32_t>(m_originX) & 0xFFFF);
    }
    int HasOrigin() override { return 1; }
    int IsDeviceOnly() override { return 1; }
    int Lock() override { return 0; }
    void* GetDC() override { return m_dc; }
    void ReleaseDC(void*) override {}
    void GetClipRect(int32_t* x, int32_t* y, int32_t* w, int32_t* h) override {
        RECT box = {};
        const int kind = m_dc ? GetClipBox(m_dc, &box) : ERROR;
        if (kind == SIMPLEREGION || kind == COMPLEXREGION) {
            *x = box.left;
            *y = box.top;
            *w = box.right - box.left;
            *h = box.bottom - box.top;
        } else {
            *x = *y = 0;
            *w = *h = 32767;
        }
    }
    void SetClipRect(int32_t x, int32_t y, int32_t w, int32_t h) override {
        if (m_dc) IntersectClipRect(m_dc, x, y, x + w, y + h);
    }
    void ResetClipRect() override {}
    int SetPixelIndex(int32_t x, int32_t y, uint8_t value) override { return SetPixel(x, y, value); }
    int SetPixel(int32_t x, int32_t y, uint32_t colour) override {
        return m_dc && ::SetPixel(m_dc, x, y, colour) != CLR_INVALID;
    }
    int GetPixelIndex(int32_t, int32_t, uint8_t*) override { return 0; }
    int GetPixel(int32_t, int32_t, uint32_t*) override { return 0; }
    int BlitFromDC(int32_t dx, int32_t dy, void* source, int32_t sx, int32_t sy, int32_t w, int32_t h, int32_t,
                   int32_t mode, uint32_t parameter) override {
        if (!m_dc || !source) return 0;
        return BitBlt(m_dc, dx, dy, w, h, static_cast<HDC>(source), sx, sy, mode == 7 ? parameter : SRCCOPY);
    }
    int StretchBlitFromDC(int32_t dx, int32_t dy, int32_t dw, int32_t dh, void* source, int32_t sx, int32_t sy,
                          int32_t sw, int32_t sh, int32_t, int32_t mode, uint32_t parameter) override {
        if (!m_dc || !source) return 0;
        return StretchBlt(m_dc, dx, dy, dw, dh, static_cast<HDC>(source), sx, sy, sw, sh,
                          mode == 7 ? parameter : SRCCOPY);
    }
    int Blit(CSurfaceImpl* destination, int32_t dx, int32_t dy, int32_t sx, int32_t sy, int32_t w, int32_t h,
             int32_t transparent, int32_t mode, uint32_t parameter, int32_t) override {
        if (!destination || !m_dc) return 0;
        if (!destination->IsDeviceOnly())
            return destination->BlitFromDC(dx, dy, m_dc, sx, sy, w, h, transparent, mode, parameter);
        return GdiSurfaceBlit(this, destination, dx, dy, w, h, sx, sy, w, h, mode, parameter, false);
    }
    int StretchBlit(CSurfaceImpl* destination, int32_t dx, int32_t dy, int32_t dw, int32_t dh, int32_t sx,
                    int32_t sy, int32_t sw, int32_t sh, int32_t transparent, int32_t mode,
                    uint32_t parameter) override {
        if (!destination || !m_dc) return 0;
        if (!destination->IsDeviceOnly())
            return destination->StretchBlitFromDC(dx, dy, dw, dh, m_dc, sx, sy, sw, sh, transparent, mode,
                                                  parameter);
        return GdiSurfaceBlit(this, destination, dx, dy, dw, dh, sx, sy, sw, sh, mode, parameter, true);
    }
    int MoveRect(int32_t, int32_t, int32_t, int32_t, int32_t, int32_t) override { return 0; }
    int BlitCallback(CSurfaceImpl*, int32_t, int32_t, int32_t, int32_t, int32_t, int32_t, int32_t, PixelCallback,
                     uint32_t) override {
        return 0;
    }
    int ReverseX(int32_t, int32_t, int32_t, int32_t) override { return 0; }
    int ReverseY(int32_t, int32_t, int32_t, int32_t) override { return 0; }
    int FillRectRaw(int32_t, int32_t, int32_t, int32_t, uint32_t) override { return 0; }
    int FillRect(int32_t, int32_t, int32_t, int32_t, uint32_t) override { return 0; }
    int TextOut(const char*, int32_t, int32_t, int32_t, uint32_t, const CRect*, uint32_t, void*, int32_t, int32_t,
                uint32_t, int32_t) override {
        return 0;
    }
    int ReplaceColor(uint32_t, uint32_t) override { return 0; }
    int SetPaletteEntries(const LogPalette256*, int32_t) override { return 0; }
    int32_t GetLogPalette(LogPalette256*) override { return 0; }

private:
    HDC m_dc;
    HWND m_window = nullptr;
    bool m_owned;
    int32_t m_originX = 0;
    int32_t m_originY = 0;
};

}  // namespace

CSurfaceImpl* OsCreateWindowDCSurface(void* dc) {
    HDC given = static_cast<HDC>(dc);
    const bool owned = given == nullptr;
    if (owned) given = ::GetDC(nullptr);
    if (!given) return nullptr;
    CWinDCSurface* made = new (std::nothrow) CWinDCSurface(given, owned);
    if (!made && owned) ::ReleaseDC(nullptr, given);
    return made;
}
