#pragma once
// The interpreter's colour depth settings: the colour depth and the image
// colour depth (the depth new surfaces and the pictures of the picture bank
// are made in). Both are the screen's bits per pixel from the interpreter's
// Load on (16 before it).
#include <cstdint>

class CInterpretor;

int32_t GetColorDepth(CInterpretor* interpretor);
void SetColorDepth(CInterpretor* interpretor, int32_t depth);
int32_t GetImageColorDepth(CInterpretor* interpretor);
// Also converts the current program's picture bank: its pictures are
// unloaded and load again in the new depth.
void SetImageColorDepth(CInterpretor* interpretor, int32_t depth);
void RegisterColorDepthService();
