#pragma once
// Global memory blocks for the interfaces that want them (clipboard, DIBs
// handed to the system), used through a plain pointer while locked.
#include <windows.h>

// Moveable, zero-filled global memory, locked; the pointer is stored (null on
// failure) and the answer tells success.
bool GlobalAllocLocked(SIZE_T size, void** place);

// Unlocks and frees a block from GlobalAllocLocked and sets the pointer to null;
// a null pointer is left alone.
void GlobalFreeLocked(void** place);
