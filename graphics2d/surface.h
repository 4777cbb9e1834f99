#pragma once
// The 2D surface: a front object (CSurface) holding one implementation
// (CSurfaceImpl) and forwarding every operation to it.
//
// CSurfaceImpl's 64 virtual operations are the whole contract of the
// library, declared in a fixed order. Its leading fields are the pixel
// descriptor of the routine tables. Colours are library colours (red in the
// low byte); pixel value 0 is transparent in every depth. In every blit the
// implementation called is the source and the first argument the destination.
//
// Kinds: 1 memory (and the null implementation), 2 window DC, 3 DIB section,
// 4 DIB section kept in its own DC, 5 DirectDraw.
//
// New surfaces are made by cloning a prototype: SelectPixelFormat picks a
// prototype holder by depth, placement and back end; CSurface::Create asks its
// implementation for an instance. The prototypes exist while a thread is
// registered with the library (surface_registry.h).
#include <cstdint>

#include "graphics2d/dib_format.h"
#include "graphics2d/pixel_format.h"
#include "runtime/base/rect.h"

class CFillStyle;

// Status words of the front object.
constexpr uint32_t kSurfaceNoImpl = 0x40000000;       // nothing could be made
constexpr uint32_t kSurfaceRefused = 0x40010000;      // the implementation refused
constexpr uint32_t kSurfaceBadArgument = 0x40010002;  // null argument, DIB not wrapped, no DC

// A full-screen display mode, handed to EnumDisplayModes callbacks.
struct DisplayModeRecord {
    int32_t width;
    int32_t height;
    int32_t depth;
    int32_t refreshRate;
};
typedef int (*DisplayModeCallback)(const DisplayModeRecord* mode, void* context);
// routine(colour block, source block, user value) -> new colour.
typedef uint32_t(TW_PIXEL_CALLBACK* PixelFilterCallback)(const uint32_t* colours, const uint32_t* sources,
                                                         uint32_t user);

class CSurfaceImpl : public PixelDescriptor {
public:
    CSurfaceImpl();
    virtual ~CSurfaceImpl();
    CSurfaceImpl(const CSurfaceImpl&) = delete;
    CSurfaceImpl& operator=(const CSurfaceImpl&) = delete;

    virtual CSurfaceImpl* MakeInstance(int32_t width, int32_t height) = 0;
    virtual CSurfaceImpl* MakeBackBuffer() { return nullptr; }
    virtual int IsBackBuffer() { return 0; }
    virtual void EnumDisplayModes(DisplayModeCallback, void*) {}
    virtual int SetDisplayMode(void*, int32_t, int32_t, int32_t) { return 0; }
    virtual void RestoreDisplayMode(void*) {}
    virtual void CopyDisplayState(CSurfaceImpl*) {}
    virtual int WaitVerticalBlank() { return 0; }
    virtual int Allocate(int32_t, int32_t) { return 0; }
    virtual void SetDepth(int32_t depth);
    virtual int Init(int32_t depth);
    virtual int GetKind() { return 1; }
    virtual void SetOrigin(int32_t, int32_t) {}
    virtual uint32_t GetOrigin() { return 0; }
    virtual int HasOrigin() { return 0; }
    virtual int HasCapability(int32_t number);
    virtual int Lock() { return lockedBits != nullptr; }
    virtual void Unlock() {}
    virtual int IsDeviceOnly() { return 0; }
    virtual void* GetDC() { return nullptr; }
    virtual void ReleaseDC(void*) {}
    virtual void GetClipRect(int32_t* x, int32_t* y, int32_t* w, int32_t* h);
    virtual void SetClipRect(int32_t x, int32_t y, int32_t w, int32_t h);
    virtual void ResetClipRect() { SetClipRect(0, 0, width, height); }
    virtual int SetPixelIndex(int32_t x, int32_t y, uint8_t value);
    virtual int SetPixel(int32_t x, int32_t y, uint32_t colour);
    virtual int GetPixelIndex(int32_t x, int32_t y, uint8_t* value);
    virtual int GetPixel(int32_t x, int32_t y, uint32_t* colour);
    virtual int BlitFromDC(int32_t, int32_t, void*, int32_t, int32_t, int32_t, int32_t, int32_t, int32_t, uint32_t) {
        return 0;
    }
    virtual int Blit(CSurfaceImpl* destination, int32_t dx, int32_t dy, int32_t sx, int32_t sy, int32_t w, int32_t h,
                     int32_t transparent, int32_t mode, uint32_t parameter, int32_t soften);
    virtual int MoveRect(int32_t dx, int32_t dy, int32_t sx, int32_t sy, int32_t w, int32_t h);
    virtual int BlitCallback(CSurfaceImpl* destination, int32_t dx, int32_t dy, int32_t sx, int32_t sy, int32_t w,
                             int32_t h, int32_t transparent, PixelCallback routine, uint32_t user);
    virtual int BlitFilter(CSurfaceImpl* destination, int32_t dx, int32_t dy, int32_t sx, int32_t sy, int32_t w,
                           int32_t h, int32_t kernelWidth, int32_t kernelHeight, int32_t anchorX, int32_t anchorY,
                           int32_t marginX, int32_t marginY, PixelFilterCallback routine, uint32_t user);
    virtual int StretchBlitFromDC(int32_t, int32_t, int32_t, int32_t, void*, int32_t, int32_t, int32_t, int32_t,
                                  int32_t, int32_t, uint32_t) {
        return 0;
    }
    virtual int StretchBlit(CSurfaceImpl* destination, int32_t dx, int32_t dy, int32_t dw, int32_t dh, int32_t sx,
                            int32_t sy, int32_t sw, int32_t sh, int32_t transparent, int32_t mode,
                            uint32_t parameter);
    virtual int ReverseX(int32_t x, int32_t y, int32_t w, int32_t h);
    virtual int ReverseY(int32_t x, int32_t y, int32_t w, int32_t h);
    virtual int GetContentRect(CRect* rect);
    virtual int FillRectRaw(int32_t x, int32_t y, int32_t w, int32_t h, uint32_t value);
    virtual int FillRect(int32_t x, int32_t y, int32_t w, int32_t h, uint32_t colour);
    virtual int RotateBlit(CSurfaceImpl* destination, int32_t angle, int32_t blend, uint32_t background);
    virtual int TextOut(const char* text, int32_t length, int32_t x, int32_t y, uint32_t alignment,
                        const CRect* clip, uint32_t colour, void* font, int32_t flag, int32_t mode,
                        uint32_t parameter, int32_t soften);
    virtual int DrawText(const char* text, int32_t length, CRect* rect, uint32_t format, uint32_t colour, void* font,
                         int32_t flag, int32_t mode, uint32_t parameter, int32_t soften, int32_t leftMargin,
                         int32_t rightMargin, int32_t tabLength);
    virtual int IsBlank();
    virtual int ReplaceColor(uint32_t newColour, uint32_t oldColour);
    virtual void RemapFromPalette(CSharedPalette* palette);
    virtual void ApplyColorMap(const uint8_t* map);
    virtual int SetPalette(CSharedPalette* palette, int32_t remap);
    virtual int SetPaletteEntries(const LogPalette256* data, int32_t remap);
    virtual int CopyPaletteFrom(CSurfaceImpl* other, int32_t remap);
    virtual int32_t GetPaletteEntries(PaletteEntry* destination, int32_t first, int32_t count);
    virtual CSharedPalette* GetPalette() { return palette; }
    virtual int32_t GetLogPalette(LogPalette256* destination);
    virtual uint32_t GetNearestIndex(uint32_t colour);
    virtual uint32_t GetPaletteColor(int32_t index);
    virtual uint32_t GetBlackIndex();
    virtual int AttachWindow(void*) { return 1; }
    virtual int ReadBits(intptr_t) { return 0; }
    virtual int WriteBits(intptr_t) { return 0; }
    virtual void Flip() {}
    virtual void Reserved1() {}
    virtual void Reserved2() {}
    virtual void Reserved3() {}

    // Sets up a new instance like the prototype: size and whole clip, depth,
    // format, routines and bottom-up flag copied, no pixel memory, pitch (row
    // step -pitch for bottom-up prototypes), the prototype's palette with one
    // more reference. Returns 1.
    int InitLike(const CSurfaceImpl* prototype, int32_t width, int32_t height, int32_t pitch);

protected:
    // Blit between depths over an already clipped area: direct through
    // ConvertInto for plain copies, else through a scratch surface of the
    // destination's class and depth.
    int ConversionBlit(CSurfaceImpl* destination, int32_t dx, int32_t dy, int32_t sx, int32_t sy, int32_t w,
                       int32_t h, int32_t transparent, int32_t mode, uint32_t parameter, int32_t soften);
    // The direct conversion of the shared Blit: entry 11 of this (source)
    // format's table into the destination's format, both locked here.
    int ConvertInto(CSurfaceImpl* destination, int32_t dx, int32_t dy, int32_t sx, int32_t sy, int32_t w,
                    int32_t h);
};

// The empty implementation: every field 0, kind 1, every operation does
// nothing (MakeInstance gives null). One shared object.
class CNullSurfaceImpl : public CSurfaceImpl {
public:
    CSurfaceImpl* MakeInstance(int32_t, int32_t) override { return nullptr; }
    void SetDepth(int32_t) override {}
    int Init(int32_t) override { return 0; }
    int HasCapability(int32_t) override { return 0; }
    void GetClipRect(int32_t* x, int32_t* y, int32_t* w, int32_t* h) override;
    void SetClipRect(int32_t, int32_t, int32_t, int32_t) override {}
    int SetPixelIndex(int32_t, int32_t, uint8_t) override { return 0; }
    int SetPixel(int32_t, int32_t, uint32_t) override { return 0; }
    int GetPixelIndex(int32_t, int32_t, uint8_t*) override { return 0; }
    int GetPixel(int32_t, int32_t, uint32_t*) override { return 0; }
    int Blit(CSurfaceImpl*, int32_t, int32_t, int32_t, int32_t, int32_t, int32_t, int32_t, int32_t, uint32_t,
             int32_t) override {
        return 0;
    }
    int MoveRect(int32_t, int32_t, int32_t, int32_t, int32_t, int32_t) override { return 0; }
    int StretchBlit(CSurfaceImpl*, int32_t, int32_t, int32_t, int32_t, int32_t, int32_t, int32_t, int32_t, int32_t,
                    int32_t, uint32_t) override {
        return 0;
    }
    int FillRectRaw(int32_t, int32_t, int32_t, int32_t, uint32_t) override { return 0; }
    int FillRect(int32_t, int32_t, int32_t, int32_t, uint32_t) override { return 0; }
    int IsBlank() override { return 0; }
    int ReplaceColor(uint32_t, uint32_t) override { return 0; }
    void RemapFromPalette(CSharedPalette*) override {}
    void ApplyColorMap(const uint8_t*) override {}
    int SetPalette(CSharedPalette*, int32_t) override { return 0; }
    int SetPaletteEntries(const LogPalette256*, int32_t) override { return 0; }
    int CopyPaletteFrom(CSurfaceImpl*, int32_t) override { return 0; }
    int32_t GetPaletteEntries(PaletteEntry*, int32_t, int32_t) override { return 0; }
    int32_t GetLogPalette(LogPalette256*) override { return 0; }
    uint32_t GetNearestIndex(uint32_t) override { return 0; }
    uint32_t GetPaletteColor(int32_t) override { return 0; }
    uint32_t GetBlackIndex() override { return 0; }
    int AttachWindow(void*) override { return 0; }
};

CSurfaceImpl* GetNullSurfaceImpl();

// Pixel-exact collision test: 1 when some pixel of a's area (x, y, w × h) and
// the pixel of b's at the same offset from (bx, by) are both non-zero. The
// area is cut to what lies inside both surfaces. Surfaces of different bytes
// per pixel, or a failed lock, answer 1 (treated as touching).
int PixelsOverlap(CSurfaceImpl* a, CSurfaceImpl* b, int32_t bx, int32_t by, int32_t x, int32_t y, int32_t w,
                  int32_t h);

class CSurface {
public:
    CSurface();
    ~CSurface();
    CSurface(const CSurface&) = delete;
    CSurface& operator=(const CSurface&) = delete;

    // Releases, then an instance of the prototype's class of
    // max(width, 1) × max(height, 1); status 0, or kSurfaceNoImpl.
    bool Create(int32_t width, int32_t height, const CSurface* prototype);
    // Releases, then a window-DC implementation over the DC (the screen's for
    // 0); kSurfaceNoImpl when none.
    bool CreateForDC(void* dc);
    // Width -1: the source's size and a Blit of it; else MakeInstance(width,
    // height) and a StretchBlit of the whole source over it.
    bool CreateCopy(const CSurface* source, int32_t width, int32_t height);
    void Release();
    CSurfaceImpl* GetImpl() const { return m_impl; }
    void SetImpl(CSurfaceImpl* impl);
    bool IsValid() const { return m_impl != GetNullSurfaceImpl(); }
    uint32_t GetStatus() const { return m_status; }
    void SetStatus(uint32_t status) { m_status = status; }
    // The device context for a shape: status kSurfaceBadArgument when none.
    void* ShapeDC();
    // What the DC's coordinates lack of the front object's (0 when the
    // implementation keeps the origin in the DC).
    int32_t DCOffsetX() const;
    int32_t DCOffsetY() const;
    // The clip rectangle intersected with the surface, in front coordinates.
    CRect FrontClip() const;
    int32_t GetWidth() const { return m_impl->width; }
    int32_t GetHeight() const { return m_impl->height; }
    int32_t GetDepth() const { return m_impl->depth; }
    int GetKind() const { return m_impl->GetKind(); }
    // Kinds 3 and 5 give 1, 4 gives 2, others 0.
    int GetModeClass() const;
    // 2 for DirectDraw (kind 5), else 0.
    int IsDirectDraw() const;

    void SetOrigin(int32_t x, int32_t y);
    void GetOrigin(int32_t* x, int32_t* y) const;
    int HasCapability(int32_t n) { return m_impl->HasCapability(n); }
    uint8_t* Lock();
    void Unlock() { m_impl->Unlock(); }
    void* GetDC() { return m_impl->GetDC(); }
    void ReleaseDC(void* dc) { m_impl->ReleaseDC(dc); }
    int AttachWindow(void* window) { return m_impl->AttachWindow(window); }
    int WaitVerticalBlank() { return m_impl->WaitVerticalBlank(); }
    int MoveRect(int32_t dx, int32_t dy, int32_t sx, int32_t sy, int32_t w, int32_t h) {
        return m_impl->MoveRect(dx, dy, sx, sy, w, h);
    }
    int TextOut(const char* text, int32_t length, int32_t x, int32_t y, uint32_t alignment, const CRect* clip,
                uint32_t colour, void* font, int32_t flag, int32_t mode, uint32_t parameter, int32_t soften) {
        return m_impl->TextOut(text, length, x, y, alignment, clip, colour, font, flag, mode, parameter, soften);
    }
    int DrawText(const char* text, int32_t length, CRect* rect, uint32_t format, uint32_t colour, void* font,
                 int32_t flag, int32_t mode, uint32_t parameter, int32_t soften, int32_t leftMargin,
                 int32_t rightMargin, int32_t tabLength) {
        return m_impl->DrawText(text, length, rect, format, colour, font, flag, mode, parameter, soften, leftMargin,
                                rightMargin, tabLength);
    }
    int ReplaceColor(uint32_t newColour, uint32_t oldColour) { return m_impl->ReplaceColor(newColour, oldColour); }
    CSharedPalette* GetPalette() { return m_impl->GetPalette(); }
    int32_t GetPaletteEntries(PaletteEntry* destination, int32_t first, int32_t count) {
        return m_impl->GetPaletteEntries(destination, first, count);
    }
    uint32_t GetNearestIndex(uint32_t colour) { return m_impl->GetNearestIndex(colour); }
    uint32_t GetPaletteColor(int32_t index) { return m_impl->GetPaletteColor(index); }
    void EnumDisplayModes(DisplayModeCallback callback, void* context) {
        m_impl->EnumDisplayModes(callback, context);
    }
    int SetDisplayMode(void* window, int32_t w, int32_t h, int32_t depth) {
        return m_impl->SetDisplayMode(window, w, h, depth);
    }
    void RestoreDisplayMode(void* window) { m_impl->RestoreDisplayMode(window); }

    void GetClipRect(int32_t* x, int32_t* y, int32_t* w, int32_t* h);
    void SetClipRect(int32_t x, int32_t y, int32_t w, int32_t h);
    int PixelAt(int32_t x, int32_t y, uint32_t* colour) { return m_impl->GetPixel(x - m_originX, y - m_originY, colour); }
    int PixelIndexAt(int32_t x, int32_t y, uint8_t* value) {
        return m_impl->GetPixelIndex(x - m_originX, y - m_originY, value);
    }
    int FillRect(int32_t x, int32_t y, int32_t w, int32_t h, uint32_t colour) {
        return m_impl->FillRect(x - m_originX, y - m_originY, w, h, colour);
    }
    int Clear(uint32_t colour) { return m_impl->FillRect(0, 0, m_impl->width, m_impl->height, colour); }
    int ReverseX(int32_t x, int32_t y, int32_t w, int32_t h) { return m_impl->ReverseX(x - m_originX, y - m_originY, w, h); }
    int ReverseY(int32_t x, int32_t y, int32_t w, int32_t h) { return m_impl->ReverseY(x - m_originX, y - m_originY, w, h); }
    int ReverseX() { return m_impl->ReverseX(0, 0, m_impl->width, m_impl->height); }
    int ReverseY() { return m_impl->ReverseY(0, 0, m_impl->width, m_impl->height); }

    int Blit(CSurface* destination, int32_t dx, int32_t dy, int32_t sx, int32_t sy, int32_t w, int32_t h,
             int32_t transparent, int32_t mode, uint32_t parameter, int32_t soften);
    int CopyToAt(CSurface* destination, int32_t x, int32_t y, int32_t transparent, int32_t mode, uint32_t parameter,
                 int32_t soften);
    int CopyTo(CSurface* destination);
    int StretchBlit(CSurface* destination, int32_t dx, int32_t dy, int32_t dw, int32_t dh, int32_t sx, int32_t sy,
                    int32_t sw, int32_t sh, int32_t transparent, int32_t mode, uint32_t parameter);
    int StretchTo(CSurface* destination, int32_t dx, int32_t dy, int32_t dw, int32_t dh, int32_t transparent,
                  int32_t mode, uint32_t parameter);
    int StretchAll(CSurface* destination);

    int Rotate(CSurface* destination, int32_t angle, int32_t blend, uint32_t background);
    int RotateCopy(CSurface* destination, int32_t angle, int32_t blend, uint32_t background);
    int RotateCopyRadians(CSurface* destination, double radians, int32_t blend, uint32_t background);

    // PixelsOverlap of the two implementations, in implementation coordinates.
    int PixelsOverlap(CSurface* other, int32_t otherX, int32_t otherY, int32_t x, int32_t y, int32_t w, int32_t h) {
        return other ? ::PixelsOverlap(m_impl, other->m_impl, otherX, otherY, x, y, w, h) : 0;
    }

    // Shapes (surface_shapes.cpp): the GDI family with one pen colour and one
    // fill colour straight into the device context, and one-pixel lines.
    // Corners in any order; front-object coordinates. 1 when drawn; without
    // a DC the status becomes kSurfaceBadArgument and 0 is answered.
    int DrawEllipse(int32_t x1, int32_t y1, int32_t x2, int32_t y2, uint32_t fill, int32_t penWidth,
                    uint32_t penColour, int32_t filled);
    int DrawEllipseOutline(int32_t x1, int32_t y1, int32_t x2, int32_t y2, int32_t penWidth, uint32_t penColour);
    int DrawRectangle(int32_t x1, int32_t y1, int32_t x2, int32_t y2, uint32_t fill, int32_t penWidth,
                      uint32_t penColour, int32_t filled);
    int DrawRectangleOutline(int32_t x1, int32_t y1, int32_t x2, int32_t y2, int32_t penWidth, uint32_t penColour);
    // Points are x, y pairs.
    int DrawPolygon(const int32_t* points, int32_t count, uint32_t fill, int32_t penWidth, uint32_t penColour,
                    int32_t filled);
    int DrawPolygonOutline(const int32_t* points, int32_t count, int32_t penWidth, uint32_t penColour);
    // Pen width 1: Bresenham's pixels inside the clip rectangle (no DC
    // needed); other widths a GDI pen.
    int DrawLine(int32_t x1, int32_t y1, int32_t x2, int32_t y2, int32_t penWidth, uint32_t colour);

    // Styled shapes (surface_styled.cpp): pen and fill styles with the blit
    // modes, through a mask on temporary surfaces; pixel value 0 is never
    // drawn. Outline entries draw nothing for pen width 0, filled entries
    // nothing without a fill style. A shape wholly outside the clip
    // rectangle draws nothing and answers 1.
    int DrawEllipseStyled(int32_t x1, int32_t y1, int32_t x2, int32_t y2, CFillStyle* fill, int32_t penWidth,
                          CFillStyle* pen, int32_t soften, int32_t mode, uint32_t parameter, int32_t filled);
    int DrawEllipseStyledOutline(int32_t x1, int32_t y1, int32_t x2, int32_t y2, int32_t penWidth, CFillStyle* pen,
                                 int32_t soften, int32_t mode, uint32_t parameter);
    int DrawEllipseStyledFilled(int32_t x1, int32_t y1, int32_t x2, int32_t y2, CFillStyle* fill, int32_t soften,
                                int32_t mode, uint32_t parameter);
    int DrawRectangleStyled(int32_t x1, int32_t y1, int32_t x2, int32_t y2, CFillStyle* fill, int32_t penWidth,
                            CFillStyle* pen, int32_t soften, int32_t mode, uint32_t parameter, int32_t filled);
    int DrawRectangleStyledOutline(int32_t x1, int32_t y1, int32_t x2, int32_t y2, int32_t penWidth,
                                   CFillStyle* pen, int32_t soften, int32_t mode, uint32_t parameter);
    int DrawRectangleStyledFilled(int32_t x1, int32_t y1, int32_t x2, int32_t y2, CFillStyle* fill, int32_t soften,
                                  int32_t mode, uint32_t parameter);
    int DrawPolygonStyled(const int32_t* points, int32_t count, CFillStyle* fill, int32_t penWidth, CFillStyle* pen,
                          int32_t soften, int32_t mode, uint32_t parameter, int32_t filled);
    int DrawPolygonStyledOutline(const int32_t* points, int32_t count, int32_t penWidth, CFillStyle* pen,
                                 int32_t soften, int32_t mode, uint32_t parameter);
    int DrawPolygonStyledFilled(const int32_t* points, int32_t count, CFillStyle* fill, int32_t soften,
                                int32_t mode, uint32_t parameter);
    int DrawLineStyled(int32_t x1, int32_t y1, int32_t x2, int32_t y2, int32_t penWidth, CFillStyle* pen,
                       int32_t soften, int32_t mode, uint32_t parameter);

    // Scan-line seed fill (surface_flood.cpp) from (x, y) over the connected
    // pixels whose channels each lie within `tolerance` of the seed's. With a
    // colour and a mode parameter the pixels go to a layer blitted with the
    // mode. 0 when nothing is drawn (the seed already has the colour, or lies
    // outside the clip). `changed` receives the box of the changed pixels
    // (right and bottom exclusive, front coordinates).
    int FloodFill(int32_t x, int32_t y, uint32_t colour, int32_t soften, int32_t tolerance, int32_t mode,
                  uint32_t parameter, CRect* changed = nullptr);

    bool IsPaletted() const { return m_impl->depth < 9; }
    int SetPalette(CSharedPalette* palette, int32_t remap);
    int SetPaletteEntries(const LogPalette256* data, int32_t remap);
    void RemapFromPaletteOf(CSurface* other);
    void CopyDisplayStateFrom(CSurface* other);

    // Size of a packed DIB of this surface: header, masks or colour table,
    // pixels.
    int32_t GetImageSize() const;
    // Writes the header (and masks or colour table) and, unless flags bit 0,
    // the pixels (bits null: behind the table). See surface.cpp.
    bool GetBitmapInfo(BitmapInfoHeader* header, void* bits, uint32_t flags);
    // Fills this surface from a packed DIB; `size` bounds the bytes readable
    // from `header` when bits is null (pixels behind the table), or the header
    // and table alone otherwise; -1 trusts the header. Flags: bit 0 keep the
    // surface's palette and re-index, bit 2 take the DIB's palette as it is.
    bool CreateFromBitmapInfo(const BitmapInfoHeader* header, const void* bits, uint32_t flags,
                              int64_t size = -1);

private:
    // Takes a new implementation in place of the (released) null object:
    // status 0, or kSurfaceNoImpl for null.
    bool Adopt(CSurfaceImpl* made);

    CSurfaceImpl* m_impl;
    int32_t m_originX;
    int32_t m_originY;
    uint32_t m_status;
};

// Sets every pixel to value 0 (the transparent value), whatever the depth.
void ClearToZero(CSurface* surface);

// Rotation helpers: an angle brought into 0..359, and the size of a w × h
// area rotated by it (corners rotated with single-precision products).
int32_t NormaliseAngle(int32_t angle);
void GetRotatedSize(int32_t width, int32_t height, int32_t angle, int32_t* newWidth, int32_t* newHeight);

// Prototype holders.
enum SurfacePlacement { kPlaceMemory = 0, kPlaceDIB = 1, kPlaceKeptDC = 2, kPlaceSystemMemory = 3 };
bool SelectPixelFormat(const CSurface** holder, int32_t depth, int32_t placement, int32_t backEnd);
const CSurface* GetDCSurfacePrototype(int32_t depth);
void CreateSurfacePrototypes();
void ReleaseSurfacePrototypes();

// The holders the platform layer fills (DIB sections, kept-DC DIB sections,
// DirectDraw video and system memory, the window-DC factory), handed to
// OsCreateSurfacePrototypes by CreateSurfacePrototypes.
struct PlatformPrototypeHolders {
    CSurface* dib;     // 5, by format index
    CSurface* keptDC;  // 5
    CSurface* directDraw;
    CSurface* directDrawSystem;
    CSurface* windowDC;
};
void OsCreateSurfacePrototypes(const PlatformPrototypeHolders& holders);
// Releases the shared DirectDraw primary surface and object.
void OsReleaseDirectDraw();
// A window-DC implementation over the DC (the screen's for null), made by the
// window-DC factory; null when none can be made.
CSurfaceImpl* OsCreateWindowDCSurface(void* dc);
