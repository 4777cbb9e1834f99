#include "ui/image_button_face.h"

#include "graphics2d/surface.h"

#include <utility>
#include <vector>

bool ImageFaceRect(int32_t imageWidth, int32_t imageHeight, const CRect& face, bool shifted, CRect* out) {
    if (face.IsEmpty() || imageWidth <= 0 || imageHeight <= 0)
        return false;
    // The divisor is the larger of the two ratios, at least 1; computed in
    // integers so that the side it comes from fits exactly.
    const int64_t fw = face.Width(), fh = face.Height(), iw = imageWidth, ih = imageHeight;
    int64_t width = iw, height = ih;
    if (iw > fw || ih > fh) {
        if (iw * fh >= ih * fw) {
            width = fw;
            height = ih * fw / iw;
        } else {
            height = fh;
            width = iw * fh / ih;
        }
    }
    const int32_t shift = shifted ? 1 : 0;
    const int32_t left = face.left + static_cast<int32_t>((fw - width) / 2) + shift;
    const int32_t top = face.top + static_cast<int32_t>((fh - height) / 2) + shift;
    *out = CRect(left, top, left + static_cast<int32_t>(width), top + static_cast<int32_t>(height));
    return true;
}

namespace {

// Whether a pixel of the scaled image is drawn by a transparent blit.
bool Opaque(CSurface* image, int32_t x, int32_t y) {
    if (image->IsPaletted()) {
        uint8_t index = 0;
        return image->PixelIndexAt(x, y, &index) && index != 0;
    }
    uint32_t colour = 0;
    return image->PixelAt(x, y, &colour) && colour != 0;
}

}  // namespace

namespace {

bool DrawOnFace(CSurface* target, const CRect& at, CSurface* image, bool greyed, uint32_t highlight,
                uint32_t shadow) {
    if (!greyed)
        return image->StretchBlit(target, at.left, at.top, at.Width(), at.Height(), 0, 0, image->GetWidth(),
                                  image->GetHeight(), 1, 0, 0) != 0;
    // The image at its size on the face, in a cleared scratch surface, tells
    // which pixels are opaque.
    CSurface scaled;
    if (!scaled.Create(at.Width(), at.Height(), image))
        return false;
    if (scaled.IsPaletted() && image->GetPalette() != nullptr)
        scaled.SetPalette(image->GetPalette(), 0);
    ClearToZero(&scaled);
    if (!image->StretchBlit(&scaled, 0, 0, at.Width(), at.Height(), 0, 0, image->GetWidth(), image->GetHeight(), 0, 0,
                            0))
        return false;
    std::vector<std::pair<int32_t, int32_t>> opaque;
    for (int32_t y = 0; y < at.Height(); ++y)
        for (int32_t x = 0; x < at.Width(); ++x)
            if (Opaque(&scaled, x, y))
                opaque.emplace_back(at.left + x, at.top + y);
    for (const auto& [x, y] : opaque)
        target->FillRect(x + 1, y + 1, 1, 1, highlight);
    for (const auto& [x, y] : opaque)
        target->FillRect(x, y, 1, 1, shadow);
    return true;
}

}  // namespace

bool DrawImageOnFace(CSurface* target, const CRect& face, CSurface* image, bool shifted, bool greyed,
                     uint32_t highlight, uint32_t shadow) {
    CRect at;
    if (target == nullptr || image == nullptr || !image->IsValid() ||
        !ImageFaceRect(image->GetWidth(), image->GetHeight(), face, shifted, &at) || at.IsEmpty())
        return false;
    // The face is the clip while drawing: a pushed or greyed image never
    // reaches the frame.
    int32_t cx = 0, cy = 0, cw = 0, ch = 0;
    target->GetClipRect(&cx, &cy, &cw, &ch);
    target->SetClipRect(face.left, face.top, face.Width(), face.Height());
    const bool drawn = DrawOnFace(target, at, image, greyed, highlight, shadow);
    target->SetClipRect(cx, cy, cw, ch);
    return drawn;
}
