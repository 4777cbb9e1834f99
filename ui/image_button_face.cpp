#include "ui/image_button_face.h"

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
