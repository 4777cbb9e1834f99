#pragma once
// The arithmetic of a sprite: its bounding box under scale and rotation, the
// sizes of its transformed copy, the stored semi-transparency level and the
// frame time under a speed factor. Plain functions, so that the sprite class
// and its tests share one rule.
#include "runtime/base/rect.h"

#include <cstdint>

// Scaled lengths stay below this, so that box arithmetic cannot overflow.
constexpr int32_t kMaxSpriteExtent = 1 << 24;
// A transformed copy larger than this is not made (the sprite is not drawn).
constexpr int64_t kMaxTransformedPixels = int64_t(1) << 24;

// round(length × scale) (the length itself at scale 1.0), clamped to
// 0 ... kMaxSpriteExtent.
int32_t ScaledLength(int32_t length, float scale);

// The box of a w × h image whose hot spot (hotX, hotY) is placed at (x, y),
// scaled, then turned counter-clockwise by the angle (0 ... 359) about the
// hot spot. Turned, its size is GetRotatedSize of the scaled image, the size
// the transformed copy is made at, and its left and top are the turned pixel
// centres' least coordinates rounded to the nearest.
CRect SpriteBox(int32_t x, int32_t y, int32_t w, int32_t h, int32_t hotX, int32_t hotY, float scaleX, float scaleY,
                int32_t angle);

// The size of the transformed copy of a w × h image; false when none can be
// made that large.
bool TransformedSize(int32_t w, int32_t h, float scaleX, float scaleY, int32_t angle, int32_t* outW, int32_t* outH);

// "SetDrawEffect"'s semi-transparency: an omitted level is 0, one outside
// 0 ... 255 is 255; stored as (level + 1) / 2 (0: the effect is off).
int32_t StoredSemiLevel(int32_t level, bool given);

// A frame's display time under a speed factor in percent: max(time, 1) at
// 100, else max(time × 100 / factor, 1), computed in 64 bits and kept in
// 32-bit range.
int32_t SpeedScaledDelay(int32_t time, int32_t factor);
