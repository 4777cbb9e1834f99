#pragma once
// Device contexts that pictures are captured from: the screen's (window null)
// with the screen's size (HORZRES × VERTRES), or a window's whole-window
// context with its window rectangle's size. Null when none can be had (always
// in the native build).
#include <cstdint>

void* OsGetCaptureDC(void* window, int32_t* width, int32_t* height);
void OsReleaseCaptureDC(void* window, void* dc);
