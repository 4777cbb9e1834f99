#pragma once
// Where an image button draws its image: the image shrunk to fit the face
// keeping its aspect (never enlarged), centred, and one pixel right and down
// while pushed without an image of its own for that state.
#include "runtime/base/rect.h"

#include <cstdint>

// The rectangle of the image on the face; false (draw nothing) when the face
// or the image is empty.
bool ImageFaceRect(int32_t imageWidth, int32_t imageHeight, const CRect& face, bool shifted, CRect* out);
