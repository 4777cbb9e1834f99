#pragma once
// LRenderAPI_Surface_Win32: the software renderer shown through GDI, the
// render target of the "DIB" driver. It draws into a 2D surface of the
// surface library in main memory and copies it into the target window at
// the end of every frame (the surface's palette selected on 8-bit targets);
// full screen changes the display mode through a pixel-format record. A
// target may instead draw into an attached external surface (mode flag
// 0x40), which it never deletes.
//
// The system calls go through `system`, which tests replace with recording
// stand-ins.
#include "render/software/software_renderer.h"

#include <cstdint>

class CSurface;

struct LGdiPresenterSystem {
    void* (*getDC)(void* window);
    void (*releaseDC)(void* window, void* dc);
    void* (*selectPalette)(void* dc, void* palette, int32_t background);
    // A line of text at (x, y), colour 0x00BBGGRR, background transparent
    // or opaque.
    void (*text)(void* dc, int32_t x, int32_t y, uint32_t colour, int32_t transparent, const char* text,
                 int32_t length);
    // Copies the whole frame to (0, 0) of the DC.
    void (*blit)(CSurface* frame, void* dc);
    // The surface library's pixel-format record of a depth and display kind
    // (1 external, 2 the presenter's own); null when none fits.
    const CSurface* (*pixelFormat)(int32_t depth, int32_t kind);
    void (*restoreDisplayMode)(const CSurface* format, void* window);
    int (*setDisplayMode)(const CSurface* format, void* window, int32_t width, int32_t height, int32_t depth);
    // Makes the surface of the presenter in the format; false when it is not
    // valid afterwards.
    bool (*createSurface)(CSurface* surface, int32_t width, int32_t height, const CSurface* format);
};

class LRenderAPI_Surface_Win32 : public LRenderAPI_Software {
public:
    static const LGdiPresenterSystem kDefaultSystem;
    static LGdiPresenterSystem system;

    LRenderAPI_Surface_Win32(L3DWorld* world, LAPICLBK* driver) : LRenderAPI_Software(world, driver) {}
    ~LRenderAPI_Surface_Win32() override;

    int32_t SetMode(int32_t flags, int32_t width, int32_t height, int32_t depth) override;
    void BeginFrame() override;
    void EndFrame() override;
    void* LockTarget() override;
    void UnlockTarget(void* pixels) override;
    int32_t Init() override;
    void AttachSurface(CSurface* external);

    CSurface* surface = nullptr;
    int32_t ownsSurface = 1;

private:
    void DeleteOwnedSurface();
    void ReloadTextures();
};
