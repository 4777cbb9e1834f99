// Natively windows are plain records: the class needs no registration and
// nothing paints.
#include "ui/os_animation_window.h"

const char kAnimationWindowClass[] = "class_QUORVEX_ANIM";

int32_t OsRegisterAnimationWindowClass() { return 1; }
