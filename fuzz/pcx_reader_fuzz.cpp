// PCX files of any content through the image layer at three depths (see
// image_fuzz.h).
#include "image_fuzz.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    return fuzz::RunImageFuzz(kImageFormatPcx, data, size);
}
