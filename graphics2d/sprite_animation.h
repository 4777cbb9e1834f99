#pragma once
// An animation being shown: the package element (locked while shown) or the
// stream it came from, the animation reader of the image-format layer and
// the frame surface the reader decodes into. Sprites and the animation
// control hold one each.
#include <cstdint>
#include <memory>

class CAnimElement;
class CImageFile;
class CImageFormatManager;
class CStream;
class CSurface;

class CSpriteAnimation {
public:
    CSpriteAnimation();
    ~CSpriteAnimation();
    CSpriteAnimation(const CSpriteAnimation&) = delete;
    CSpriteAnimation& operator=(const CSpriteAnimation&) = delete;

    // Opens the element as an animation and decodes its first frame into a
    // surface made like `prototype`; false on any failure.
    bool Open(CAnimElement* element, CImageFormatManager* formats, const CSurface* prototype);
    // The steps of Open, for owners that open by name and decode lazily:
    // the element loaded, locked and opened, or a stream taken over, then
    // read as an animation (false when it cannot be) ...
    bool OpenElement(CAnimElement* element, CImageFormatManager* formats);
    bool OpenStream(CStream* stream, CImageFormatManager* formats);
    // ... then the frame surface made like the prototype at the animation's
    // size; with takePalette an animation of 8 bits or fewer gives a paletted
    // surface its palette (else frames are matched to the surface's).
    bool MakeFrames(const CSurface* prototype, bool takePalette);
    // Brings the frame surface to the frame; a frame that cannot be read
    // leaves the last good one.
    void Show(int32_t frame);

    CAnimElement* GetElement() const { return m_element; }
    CSurface* GetFrames() const { return m_frames.get(); }
    CImageFile* GetReader() const { return m_reader.get(); }
    int32_t GetFrameCount() const;
    int32_t GetFrameDelay(int32_t frame) const;
    int32_t GetLoops() const;      // the reader's first extra word
    int32_t GetFrameLimit() const; // its second

private:
    CAnimElement* m_element = nullptr;
    std::unique_ptr<CStream> m_stream;
    std::unique_ptr<CImageFile> m_reader;
    std::unique_ptr<CSurface> m_frames;
};
