#include "engine3d/image_file_source.h"

#include <cstring>
#include <new>

LImageFileSource::~LImageFileSource() { Close(); }

bool LImageFileSource::Init() { return m_formats.Init() == kImageOk; }

int32_t LImageFileSource::Open(const char* path) {
    Close();
    m_file = new (std::nothrow) CImageFile(&m_formats);
    if (m_file && m_file->OpenFile(path) == kImageOk) return 1;
    Close();
    return 0;
}

int32_t LImageFileSource::GetWidth() const { return m_file ? m_file->GetWidth() : 0; }
int32_t LImageFileSource::GetHeight() const { return m_file ? m_file->GetHeight() : 0; }
int32_t LImageFileSource::GetBitsPerPixel() const { return m_file ? m_file->GetDepth() : 0; }

const PaletteEntry* LImageFileSource::GetPalette() const {
    const LogPalette256* own = m_file && m_file->GetDepth() == 8 ? m_file->GetPalette() : nullptr;
    return own ? own->entries : nullptr;
}

int32_t LImageFileSource::HasMask() const { return m_file && m_file->HasAlpha() ? 1 : 0; }

int32_t LImageFileSource::Read(int32_t depth, uint8_t* pixels, int32_t pitch, const PaletteEntry* palette,
                               uint8_t* mask) {
    if (!m_file) return 0;
    const LogPalette256* target = nullptr;
    if (palette && palette == GetPalette()) {
        target = m_file->GetPalette();  // the layer keeps the file's indices for its own palette
    } else if (palette) {
        m_target.version = kPaletteVersion;
        m_target.count = 256;
        std::memcpy(m_target.entries, palette, sizeof m_target.entries);
        target = &m_target;
    }
    return m_file->Read(pixels, GetWidth(), GetHeight(), depth, pitch, target, mask) == kImageOk ? 1 : 0;
}

void LImageFileSource::Close() {
    delete m_file;  // closes the file
    m_file = nullptr;
}

LImageSource* NewImageFileSource() {
    LImageFileSource* source = new (std::nothrow) LImageFileSource();
    if (source && !source->Init()) {
        delete source;
        source = nullptr;
    }
    return source;
}
