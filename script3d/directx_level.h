#pragma once
// Tells each interpreter at its Load how to find which DirectX level the
// machine offers (ProgramState's DirectXVersion, 0 in the native build) and so
// whether 3D sound, where asked for, is in use (level 0x600 or later). The
// level is found when first read, at most once per process: it cannot change
// while the process runs.
#include <cstdint>

// probe answers the level; null stands for the render layer's GetDirectXVersion.
// Registering again starts over with a level not yet found.
void RegisterDirectXLevelService(uint32_t (*probe)() = nullptr);
