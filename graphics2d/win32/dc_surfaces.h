#pragma once
// The device-context surface classes of the Windows build: DIB sections
// (kinds 3 and 4) and the GDI blit path they share with window DCs.
#include <windows.h>
// The surface operations of these names are not the ANSI/wide macros.
#undef TextOut
#undef DrawText

#include <new>

#include "graphics2d/surface.h"

// Copies (sx, sy, w × h) of the source onto (dx, dy) of the destination
// through both implementations' DCs: the source's origin is added to the
// source position, the destination's (when it has one) to the destination
// position; mode 7 uses the parameter as raster operation, any other mode
// SRCCOPY. Stretches to dw × dh when `stretch`. Both DCs are released; the
// GDI answer (0 when a DC could not be had).
int GdiSurfaceBlit(CSurfaceImpl* source, CSurfaceImpl* destination, int32_t dx, int32_t dy, int32_t dw, int32_t dh,
                   int32_t sx, int32_t sy, int32_t sw, int32_t sh, int32_t mode, uint32_t parameter, bool stretch);

// Test seam of the DIB-section surfaces: the next call of a GDI step of
// MakeInstance or GetDC fails (one shot; kDibStepNone disarms), and the GDI
// objects the DIB-section code holds (screen and memory DCs, sections).
enum DibStep { kDibStepNone, kDibStepReferenceDC, kDibStepMemoryDC, kDibStepSection, kDibStepSelect };
void FailDibStep(DibStep step);
int LiveDibGdiObjects();

// DIB-section surface: pixels in a GDI DIB section and a memory DC made at
// the first GetDC, kept until the surface goes (one ReleaseDC ends all
// nested GetDCs and puts the DC's state back). Rows bottom-up.
class CDIBSurface : public CSurfaceImpl {
public:
    CDIBSurface();
    ~CDIBSurface() override;
    CSurfaceImpl* MakeInstance(int32_t width, int32_t height) override;
    void EnumDisplayModes(DisplayModeCallback callback, void* context) override;
    int SetDisplayMode(void* window, int32_t width, int32_t height, int32_t depth) override;
    void RestoreDisplayMode(void* window) override;
    void CopyDisplayState(CSurfaceImpl* other) override;
    int Init(int32_t depth) override;
    int GetKind() override { return 3; }
    void SetOrigin(int32_t x, int32_t y) override;
    uint32_t GetOrigin() override;
    int HasOrigin() override { return 1; }
    void* GetDC() override;
    void ReleaseDC(void* dc) override;
    int BlitFromDC(int32_t dx, int32_t dy, void* source, int32_t sx, int32_t sy, int32_t w, int32_t h,
                   int32_t transparent, int32_t mode, uint32_t parameter) override;
    int Blit(CSurfaceImpl* destination, int32_t dx, int32_t dy, int32_t sx, int32_t sy, int32_t w, int32_t h,
             int32_t transparent, int32_t mode, uint32_t parameter, int32_t soften) override;
    int StretchBlitFromDC(int32_t dx, int32_t dy, int32_t dw, int32_t dh, void* source, int32_t sx, int32_t sy,
                          int32_t sw, int32_t sh, int32_t transparent, int32_t mode, uint32_t parameter) override;
    int StretchBlit(CSurfaceImpl* destination, int32_t dx, int32_t dy, int32_t dw, int32_t dh, int32_t sx,
                    int32_t sy, int32_t sw, int32_t sh, int32_t transparent, int32_t mode,
                    uint32_t parameter) override;
    int SetPalette(CSharedPalette* palette, int32_t remap) override;
    int AttachWindow(void* window) override;

    HBITMAP Section() const { return m_section; }
    const BITMAPINFOHEADER& Header() const { return m_header; }

protected:
    // A new, empty object of this class.
    virtual CDIBSurface* NewInstance() const { return new (std::nothrow) CDIBSurface; }
    // Called with the instance's memory DC, section selected: the kept-DC
    // class keeps it; false when it cannot.
    virtual bool KeepDC(HDC dc, HGDIOBJ previous);
    // Puts the palette's entries into the DC's colour table (8 bits).
    void UpdateColourTable(HDC dc);
    // Selects the section into a new memory DC compatible with the
    // reference window's; 0 when any step fails (nothing left behind).
    HDC MakeMemoryDC(HGDIOBJ* previous);
    void DeleteMemoryDC();

    HDC m_dc = nullptr;
    // SaveDC's level while a caller holds the DC, 0 when none does.
    int m_takenLevel = 0;
    int32_t m_originX = 0;
    int32_t m_originY = 0;
    HWND m_window = nullptr;
    BITMAPINFOHEADER m_header;
    HBITMAP m_section = nullptr;
    HGDIOBJ m_previous = nullptr;
    int m_fullScreen = 0;
    RECT m_savedRect = {};
    DEVMODEA m_savedMode;
    LONG_PTR m_savedStyle = 0;
};

// The same with its memory DC kept for its whole life.
class CDIBDCSurface : public CDIBSurface {
public:
    int GetKind() override { return 4; }
    void SetOrigin(int32_t x, int32_t y) override;
    void* GetDC() override { return m_dc; }
    void ReleaseDC(void*) override {}

protected:
    CDIBSurface* NewInstance() const override { return new (std::nothrow) CDIBDCSurface; }
    bool KeepDC(HDC dc, HGDIOBJ previous) override;
};
