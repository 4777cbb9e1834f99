// The shared frame decoding of animations (graphics2d/animation_frames.h).
#include "graphics2d/animation_frames.h"

#include "graphics2d/image_file.h"
#include "graphics2d/surface.h"

int32_t DecodeAnimationFrameInto(CImageFile* reader, uint8_t* pixels, int32_t pitch, int32_t depth,
                                 const LogPalette256* palette, int32_t wanted) {
    if (reader == nullptr || pixels == nullptr)
        return kImageNothingOpen;
    if (wanted == reader->GetCurrentFrame())
        return kImageOk;
    if (reader->GetCurrentFrame() != -1)
        return reader->ReadFrame(pixels, pitch, wanted);
    reader->Rewind();
    const int32_t status =
        reader->Read(pixels, reader->GetWidth(), reader->GetHeight(), depth, pitch, depth <= 8 ? palette : nullptr);
    if (status != kImageOk || wanted == 0)
        return status;
    return reader->ReadFrame(pixels, pitch, wanted);
}

int32_t DecodeAnimationFrame(CImageFile* reader, CSurface* frames, int32_t wanted) {
    if (reader == nullptr || frames == nullptr || !frames->IsValid())
        return kImageNothingOpen;
    if (wanted == reader->GetCurrentFrame())
        return kImageOk;
    uint8_t* bits = frames->Lock();
    if (bits == nullptr)
        return kImageNothingOpen;
    CSurfaceImpl* impl = frames->GetImpl();
    // The surface's palette as a logical palette record.
    const CSharedPalette* own = frames->GetPalette();
    LogPalette256 palette{};
    if (own != nullptr) {
        palette.version = own->version;
        palette.count = own->count;
        for (int i = 0; i < 256; ++i)
            palette.entries[i] = own->entries[i];
    }
    const int32_t status = DecodeAnimationFrameInto(reader, bits, impl->rowStep, frames->GetDepth(),
                                                    own != nullptr ? &palette : nullptr, wanted);
    frames->Unlock();
    return status;
}
