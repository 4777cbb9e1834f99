// Icons from surfaces, palette handles and DC copies over the platform layer.
#include "graphics2d/gdi_utils.h"

#include <cstring>
#include <vector>

#include "graphics2d/os_gdi.h"

void* GetHPalette(CSharedPalette* palette) {
    if (!palette) return nullptr;
    if (!palette->gdiPalette) {
        PaletteEntry entries[256];
        std::memcpy(entries, palette->entries, sizeof entries);
        for (int i = 0; i < 256; ++i) entries[i].flags = i >= 10 && i < 246 ? kPaletteNoCollapse : 0;
        palette->gdiPalette = OsCreatePalette(entries, palette->count);
    }
    return palette->gdiPalette;
}

void BuildIconMask(const uint8_t* pixels, int32_t width, int32_t height, uint32_t maskColour, uint8_t* mask) {
    const int32_t maskPitch = ((width + 15) / 16) * 2;
    const int32_t pitch = GetDIBPitch(width, 24);
    const uint8_t red = maskColour & 0xFF, green = (maskColour >> 8) & 0xFF, blue = (maskColour >> 16) & 0xFF;
    std::memset(mask, 0, static_cast<size_t>(maskPitch) * height);
    for (int32_t y = 0; y < height; ++y) {
        const uint8_t* row = pixels + static_cast<ptrdiff_t>(height - 1 - y) * pitch;  // bottom-up
        uint8_t* out = mask + static_cast<ptrdiff_t>(y) * maskPitch;
        for (int32_t x = 0; x < width; ++x) {
            const uint8_t* p = row + 3 * x;
            if (p[0] == blue && p[1] == green && p[2] == red) out[x >> 3] |= static_cast<uint8_t>(0x80 >> (x & 7));
        }
    }
}

void* CreateIconFromSurface(CSurface* surface, int32_t width, int32_t height, uint32_t maskColour,
                            const int32_t* hotSpot) {
    if (!surface) return nullptr;
    int iconWidth = width, iconHeight = height;
    if (width == 0 || height == 0) {
        int w, h;
        OsGetIconSize(&w, &h);
        if (width == 0) iconWidth = w;
        if (height == 0) iconHeight = h;
    }
    if (iconWidth <= 0 || iconHeight <= 0) return nullptr;
    const CSurface* prototype = nullptr;
    SelectPixelFormat(&prototype, 24, kPlaceMemory, 0);
    CSurface picture;
    if (!picture.Create(iconWidth, iconHeight, prototype)) return nullptr;
    picture.Clear(maskColour);
    const int32_t w = surface->GetWidth(), h = surface->GetHeight();
    if (w <= iconWidth && h <= iconHeight) {
        surface->CopyToAt(&picture, (iconWidth - w) / 2, (iconHeight - h) / 2, 0, 0, 0, 0);
    } else {
        int32_t newWidth = iconWidth, newHeight = iconHeight;
        if ((int64_t(w) * 256) / iconWidth <= (int64_t(h) * 256) / iconHeight)
            newWidth = static_cast<int32_t>(int64_t(w) * iconHeight / h);
        else
            newHeight = static_cast<int32_t>(int64_t(h) * iconWidth / w);
        if (newWidth == 0) newWidth = 1;
        if (newHeight == 0) newHeight = 1;
        surface->StretchTo(&picture, (iconWidth - newWidth) / 2, (iconHeight - newHeight) / 2, newWidth, newHeight, 0,
                           0, 0);
    }
    std::vector<uint8_t> dib(static_cast<size_t>(picture.GetImageSize()));
    BitmapInfoHeader* header = reinterpret_cast<BitmapInfoHeader*>(dib.data());
    if (!picture.GetBitmapInfo(header, nullptr, 0)) return nullptr;
    std::vector<uint8_t> mask(static_cast<size_t>(((iconWidth + 15) / 16) * 2) * iconHeight);
    BuildIconMask(dib.data() + GetBitmapInfoSize(24), iconWidth, iconHeight, maskColour, mask.data());
    int spot[2];
    if (hotSpot) spot[0] = hotSpot[0], spot[1] = hotSpot[1];
    return OsCreateIconFromDIB(dib.data(), mask.data(), iconWidth, iconHeight, hotSpot ? spot : nullptr);
}

bool CopyDCToDC(void* source, void* destination, int32_t sx, int32_t sy, int32_t dx, int32_t dy, int32_t width,
                int32_t height, int32_t dw, int32_t dh, bool pumpMessages, bool keepAspect) {
    if (width <= 0 || height <= 0) return false;
    if (keepAspect) {
        const double scaleX = double(dw) / width, scaleY = double(dh) / height;
        const double scale = scaleX < scaleY ? scaleX : scaleY;
        dw = static_cast<int32_t>(width * scale);
        dh = static_cast<int32_t>(height * scale);
    }
    return OsCopyDCToDC(source, destination, sx, sy, dx, dy, width, height, dw, dh, pumpMessages);
}
