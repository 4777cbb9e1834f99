#include "graphics2d/sprite_animation.h"

#include "graphics2d/animation_frames.h"
#include "graphics2d/image_file.h"
#include "graphics2d/surface.h"
#include "runtime/io/stream.h"
#include "runtime/package/bank.h"

#include <new>

CSpriteAnimation::CSpriteAnimation() = default;

CSpriteAnimation::~CSpriteAnimation() {
    if (m_reader)
        m_reader->Close();
    m_reader.reset();
    m_stream.reset();
    if (m_element != nullptr && m_element->GetBank() != nullptr)
        m_element->GetBank()->UnlockElement(m_element->GetIndex());
}

bool CSpriteAnimation::Open(CAnimElement* element, CImageFormatManager* formats, const CSurface* prototype) {
    return OpenElement(element, formats) && MakeFrames(prototype, false) &&
           DecodeAnimationFrame(m_reader.get(), m_frames.get(), 0) == kImageOk;
}

bool CSpriteAnimation::OpenElement(CAnimElement* element, CImageFormatManager* formats) {
    CBank* bank = element->GetBank();
    if (bank == nullptr || formats == nullptr || !bank->LoadElement(element->GetIndex(), 0) ||
        !bank->LockElement(element->GetIndex()))
        return false;
    m_element = element;
    return OpenStream(element->OpenStream(0), formats);
}

bool CSpriteAnimation::OpenStream(CStream* stream, CImageFormatManager* formats) {
    m_stream.reset(stream);
    if (!m_stream || formats == nullptr)
        return false;
    m_reader.reset(new (std::nothrow) CImageFile(formats));
    return m_reader && m_reader->AttachStream(m_stream.get()) == kImageOk && m_reader->GetFormat() != nullptr;
}

bool CSpriteAnimation::MakeFrames(const CSurface* prototype, bool takePalette) {
    CImageFormat* format = m_reader ? m_reader->GetFormat() : nullptr;
    if (format == nullptr || prototype == nullptr)
        return false;
    m_frames.reset(new (std::nothrow) CSurface());
    if (!m_frames || !m_frames->Create(format->GetWidth(), format->GetHeight(), prototype) ||
        m_frames->GetWidth() != format->GetWidth() || m_frames->GetHeight() != format->GetHeight())
        return false;
    if (takePalette && m_frames->IsPaletted() && format->GetDepth() <= 8 && format->GetPalette() != nullptr)
        m_frames->SetPaletteEntries(format->GetPalette(), 0);
    return true;
}

void CSpriteAnimation::Show(int32_t frame) {
    if (m_reader && m_frames)
        DecodeAnimationFrame(m_reader.get(), m_frames.get(), frame);
}

int32_t CSpriteAnimation::GetFrameCount() const { return m_reader ? m_reader->GetFrameCount() : 0; }

int32_t CSpriteAnimation::GetFrameDelay(int32_t frame) const {
    return m_reader && m_reader->GetFormat() ? m_reader->GetFormat()->GetFrameDelay(frame) : 20;
}

int32_t CSpriteAnimation::GetLoops() const {
    return m_reader && m_reader->GetFormat() ? m_reader->GetFormat()->GetExtraWord1() : 1;
}

int32_t CSpriteAnimation::GetFrameLimit() const {
    return m_reader && m_reader->GetFormat() ? m_reader->GetFormat()->GetExtraWord2() : 0;
}
