#pragma once
// LImageFileSource: the world's image file over the image file layer of
// graphics2d (CImageFile: BMP, PNG, JPEG). Each source owns its format
// manager, so a world reads images without an interpreter; the manager is
// made with the source, the CImageFile anew for every Open (a CImageFile
// keeps the format it detected, so one reused for a file of another format
// would not recognise it).
#include "engine3d/image_source.h"
#include "graphics2d/image_file.h"

class LImageFileSource : public LImageSource {
public:
    LImageFileSource() = default;
    ~LImageFileSource() override;
    LImageFileSource(const LImageFileSource&) = delete;
    LImageFileSource& operator=(const LImageFileSource&) = delete;

    // Makes the format manager; false when it cannot be made.
    bool Init();

    int32_t Open(const char* path) override;
    int32_t GetWidth() const override;
    int32_t GetHeight() const override;
    int32_t GetBitsPerPixel() const override;
    // The file's palette for an 8-bit file, else null.
    const PaletteEntry* GetPalette() const override;
    int32_t HasMask() const override;
    // An 8-bit read into the file's own palette (GetPalette) keeps the file's
    // indices; any other palette is taken as 256 entries and the indices are
    // mapped to it. An 8-bit read of a deeper file needs a palette.
    int32_t Read(int32_t depth, uint8_t* pixels, int32_t pitch, const PaletteEntry* palette, uint8_t* mask) override;
    void Close() override;

private:
    CImageFormatManager m_formats;
    CImageFile* m_file = nullptr;
    LogPalette256 m_target{};
};

// The world's default factory: a new LImageFileSource, or null when it or its
// format manager cannot be made.
LImageSource* NewImageFileSource();
