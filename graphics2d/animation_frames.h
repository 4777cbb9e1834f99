#pragma once
// Bringing an animation's frame surface to a wanted frame: the one decoding
// path of everything that shows animation files (sprites playing packaged
// animations, the animation control).
//
// The reader is an image file opened on the animation; the frame surface has
// the animation's size. Decoding is lazy: nothing happens when the reader
// already stands on the wanted frame. A reader without a current frame (just
// opened) is rewound and reads its first image into the surface (at the
// surface's depth, with the surface's palette at 8 bits or fewer), then seeks
// forward; otherwise ReadFrame seeks (forward, or from the start for an
// earlier frame). Delta frames draw over the surface's pixels, so the surface
// must not be drawn on by anything else.
#include <cstdint>

class CImageFile;
class CSurface;

// The reader's status (kImageOk when nothing had to be done); nothing is
// decoded when the surface cannot be locked (kImageNothingOpen).
int32_t DecodeAnimationFrame(CImageFile* reader, CSurface* frames, int32_t wanted);

// The same over caller-held pixels: rows `pitch` bytes apart at `depth`,
// with `palette` for depths of 8 (null: the animation's own).
struct LogPalette256;
int32_t DecodeAnimationFrameInto(CImageFile* reader, uint8_t* pixels, int32_t pitch, int32_t depth,
                                 const LogPalette256* palette, int32_t wanted);
