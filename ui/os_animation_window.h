#pragma once
// The window class of animation controls that show their frames in a window
// of their own: class style 0, the arrow cursor, no background brush. Its
// procedure paints the control's current frame on WM_PAINT (CIAnimation::
// PaintTo) and passes every message on to the default procedure.
#include <cstdint>

extern const char kAnimationWindowClass[];  // "class_QUORVEX_ANIM"
// Registers the class once per process; 1, or 0 on failure.
int32_t OsRegisterAnimationWindowClass();
