#include "graphics2d/image_to_surface.h"

#include "graphics2d/image_file.h"
#include "graphics2d/surface.h"

#include <cstring>
#include <new>

const CSurface* PrototypeLike(const CSurface* surface, int32_t depth) {
    int32_t placement = kPlaceDIB;
    int32_t backEnd = 0;
    switch (surface != nullptr ? surface->GetKind() : 3) {
    case 1: placement = kPlaceMemory; break;
    case 4: placement = kPlaceKeptDC; break;
    case 5: backEnd = 2; break;
    default: break;
    }
    const CSurface* holder = nullptr;
    if (!SelectPixelFormat(&holder, depth, placement, backEnd) || holder == nullptr || !holder->IsValid())
        return nullptr;
    return holder;
}

namespace {

// Makes the surface again at a new size or depth, keeping its placement and
// (8 bits to 8 bits) its palette.
bool Remake(CSurface* surface, int32_t width, int32_t height, int32_t depth) {
    const CSurface* prototype = PrototypeLike(surface, depth);
    if (prototype == nullptr)
        return false;
    CSharedPalette* palette = surface->IsPaletted() ? surface->GetPalette() : nullptr;
    CSharedPalette::AddRef(palette);
    const bool made = surface->Create(width, height, prototype);
    if (made && palette != nullptr && surface->IsPaletted())
        surface->SetPalette(palette, 0);
    CSharedPalette::Release(palette);
    return made && surface->GetWidth() == width && surface->GetHeight() == height;
}

}  // namespace

bool ConvertImageToSurface(CImageFormatManager* formats, CStream* source, CSurface* surface, int32_t depth,
                           uint32_t flags, uint8_t** mask) {
    if (mask != nullptr)
        *mask = nullptr;
    if (formats == nullptr || source == nullptr || surface == nullptr)
        return false;
    CImageFile image(formats);
    if (image.AttachStream(source) != kImageOk)
        return false;
    const int32_t width = image.GetWidth();
    const int32_t height = image.GetHeight();
    if (width <= 0 || height <= 0)
        return false;
    uint8_t* alpha = nullptr;
    if (mask != nullptr && image.HasAlpha()) {
        alpha = new (std::nothrow) uint8_t[static_cast<size_t>(width) * static_cast<size_t>(height)];
        if (alpha == nullptr)
            return false;
        std::memset(alpha, 0xFF, static_cast<size_t>(width) * static_cast<size_t>(height));
    }
    bool ok = true;
    int32_t imageDepth = depth != 0 ? depth : image.GetDepth();
    if (imageDepth < 8)
        imageDepth = 8;
    if (!(flags & kConvertKeepDepth) && surface->GetDepth() != imageDepth)
        ok = Remake(surface, width, height, imageDepth);
    if (ok && !(flags & kConvertOntoPalette) && surface->IsPaletted() && image.GetPalette() != nullptr) {
        LogPalette256 taken = *image.GetPalette();
        taken.version = kPaletteVersion;
        taken.count = 256;
        surface->SetPaletteEntries(&taken, 0);
    }
    if (ok && (surface->GetWidth() != width || surface->GetHeight() != height))
        ok = Remake(surface, width, height, surface->GetDepth());
    if (ok) {
        LogPalette256 target;
        const LogPalette256* palette = nullptr;
        if (surface->IsPaletted() && surface->GetImpl()->GetLogPalette(&target) > 0)
            palette = &target;
        uint8_t* rows = surface->Lock();
        CSurfaceImpl* impl = surface->GetImpl();
        ok = rows != nullptr && image.Read(rows, width, height, surface->GetDepth(), impl->rowStep, palette, alpha) ==
                                    kImageOk;
        surface->Unlock();
    }
    image.Close();
    if (!ok) {
        delete[] alpha;
        return false;
    }
    if (mask != nullptr)
        *mask = alpha;
    return true;
}
