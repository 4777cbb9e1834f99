#include "render/software/gdi_presenter.h"

#include "engine3d/camera.h"
#include "engine3d/texture_list.h"
#include "engine3d/world.h"
#include "graphics2d/gdi_utils.h"
#include "graphics2d/surface.h"
#include "render/driver.h"
#include "render/software/os_present.h"

#include <cstring>

namespace {

void BlitToDC(CSurface* frame, void* dc) {
    CSurface window;
    if (!window.CreateForDC(dc)) return;
    frame->Blit(&window, 0, 0, 0, 0, frame->GetWidth(), frame->GetHeight(), 0, 0, 0, 0);
}

const CSurface* PixelFormatOf(int32_t depth, int32_t kind) {
    const CSurface* holder = nullptr;
    SelectPixelFormat(&holder, depth, kind, 0);
    return holder;
}

void RestoreMode(const CSurface* format, void* window) {
    if (format) const_cast<CSurface*>(format)->RestoreDisplayMode(window);
}

int SetDisplayMode(const CSurface* format, void* window, int32_t width, int32_t height, int32_t depth) {
    return format ? const_cast<CSurface*>(format)->SetDisplayMode(window, width, height, depth) : 0;
}

bool CreateSurface(CSurface* surface, int32_t width, int32_t height, const CSurface* format) {
    return surface->Create(width, height, format) && surface->IsValid();
}

}  // namespace

const LGdiPresenterSystem LRenderAPI_Surface_Win32::kDefaultSystem = {
    &OsPresentGetDC, &OsPresentReleaseDC, &OsPresentSelectPalette, &OsPresentText, &BlitToDC,
    &PixelFormatOf,  &RestoreMode,        &SetDisplayMode,         &CreateSurface,
};
LGdiPresenterSystem LRenderAPI_Surface_Win32::system = LRenderAPI_Surface_Win32::kDefaultSystem;

LRenderAPI_Surface_Win32::~LRenderAPI_Surface_Win32() {
    DetachCamera();
    DeleteOwnedSurface();
    window = nullptr;
}

void LRenderAPI_Surface_Win32::DeleteOwnedSurface() {
    if (ownsSurface) delete surface;
    surface = nullptr;
    ownsSurface = 1;
}

void LRenderAPI_Surface_Win32::ReloadTextures() {
    SetTextureDepth(depth);
    if (world) world->GetTextureList().ReloadAll();
}

int32_t LRenderAPI_Surface_Win32::Init() {
    SetCurrentSoftwareRenderer(this);
    const CSurface* format = system.pixelFormat(depth, (flags & kExternalSurface) ? 1 : 2);
    DeleteOwnedSurface();
    surface = new CSurface();
    ownsSurface = 1;
    if (!system.createSurface(surface, width, height, format)) {
        surface->Release();
        delete surface;
        surface = nullptr;
        return 30;
    }
    if (window) surface->AttachWindow(window);
    SetRowStepAndView(surface->GetImpl()->rowStep);
    if (flags & kExternalSurface) return 0;
    ReloadTextures();
    return 0;
}

int32_t LRenderAPI_Surface_Win32::SetMode(int32_t newFlags, int32_t newWidth, int32_t newHeight, int32_t newDepth) {
    if ((uint32_t(newFlags) & kExternalSurface) || (flags & kExternalSurface)) return 32;
    DeleteOwnedSurface();
    int32_t d = newDepth == kKeep ? int32_t(depth) : newDepth;
    const CSurface* format = system.pixelFormat(d, 2);
    const uint32_t wanted = uint32_t(newFlags);
    if ((flags & kFullScreen) && (wanted & kWindowed)) {
        system.restoreDisplayMode(format, window);
    } else if ((flags & (kWindowed | kFullScreen)) && (wanted & kFullScreen)) {
        // No mode of the depth: size and display mode stay as they are.
        LModeRecord* found = LAPICLBK::FindClosestMode({width, height}, device,
                                                       device ? device->currentDriver : nullptr, mode, d);
        if (found) {
            mode = found;
            width = found->width;
            height = found->height;
            d = found->depth;
            system.setDisplayMode(format, window, width, height, d);
        }
    }
    if (newWidth != kKeep) width = newWidth;
    if (newHeight != kKeep) height = newHeight;
    if (newFlags != kKeep) flags = wanted;
    const int32_t result = SetupMode(width, height, flags, d, clearColor, window);
    if (camera) {
        camera->SetViewSize(width, height);
        camera->SetHalfSize(float(width) / 2.0f, float(height) / 2.0f);
    }
    ReloadTextures();
    return result;
}

void LRenderAPI_Surface_Win32::AttachSurface(CSurface* external) {
    DeleteOwnedSurface();
    surface = external;
    if (external) {
        SetRowStepAndView(external->GetImpl()->rowStep);
        ownsSurface = 0;
    } else {
        ownsSurface = 1;
    }
}

void LRenderAPI_Surface_Win32::BeginFrame() {
    if (surface) surface->Clear(clearColor);
}

void* LRenderAPI_Surface_Win32::LockTarget() { return surface ? surface->Lock() : nullptr; }

void LRenderAPI_Surface_Win32::UnlockTarget(void*) {
    if (surface) surface->Unlock();
}

void LRenderAPI_Surface_Win32::EndFrame() {
    if (!window) return;
    void* dc = system.getDC(window);
    if (!dc) return;
    void* previous = nullptr;
    bool selected = false;
    if (surface && surface->GetDepth() == 8 && surface->GetPalette()) {
        previous = system.selectPalette(dc, GetHPalette(surface->GetPalette()), 0);
        selected = true;
    }
    if (surface) system.blit(surface, dc);
    if (selected) system.selectPalette(dc, previous, 1);
    system.releaseDC(window, dc);
    if (flags & kStatistics) {
        char text[256];
        FrameStatistics(text, sizeof text, 0);
        if (void* textDC = system.getDC(window)) {
            // White, over the frame (transparent), at the top left corner.
            system.text(textDC, 0, 0, 0xFFFFFF, 1, text, int32_t(std::strlen(text)));
            system.releaseDC(window, textDC);
        }
    }
}
