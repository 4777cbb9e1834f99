// FLI files of any content through the image layer, every frame and a
// backward seek (see anim_fuzz.h).
#include "anim_fuzz.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    return fuzz::RunAnimationFuzz(kImageFormatFli, data, size);
}
