#pragma once
// Where an image button draws its image: the image shrunk to fit the face
// keeping its aspect (never enlarged), centred, and one pixel right and down
// while pushed without an image of its own for that state; and the drawing
// itself onto a surface holding the face.
#include "runtime/base/rect.h"

#include <cstdint>

class CSurface;

// The rectangle of the image on the face; false (draw nothing) when the face
// or the image is empty.
bool ImageFaceRect(int32_t imageWidth, int32_t imageHeight, const CRect& face, bool shifted, CRect* out);

// Draws `image` transparently (pixel value 0 is not drawn) onto `target` in
// the image's rectangle on `face`. Greyed, its opaque pixels are drawn in the
// highlight colour one pixel right and down, then in the shadow colour at
// their own place (colours as the surface library takes them, red low);
// nothing is drawn outside the face. False when nothing could be drawn.
bool DrawImageOnFace(CSurface* target, const CRect& face, CSurface* image, bool shifted, bool greyed,
                     uint32_t highlight, uint32_t shadow);
