#pragma once
// The flat, untextured marker materials of the scene elements, created on
// demand in the world's material list.
#include <cstdint>

class L3DWorld;
class LMaterial;

// Found by name in the world's material list, or made (flat) and added.
LMaterial* MarkerMaterial(L3DWorld* world, const char* name, uint32_t colour);
