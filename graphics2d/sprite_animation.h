#pragma once
// A packaged animation shown by a sprite: the element (locked while shown),
// its stream, the animation reader of the image-format layer and the frame
// surface the reader decodes into (in the sprite surface's pixel format).
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
    // Brings the frame surface to the frame; a frame that cannot be read
    // leaves the last good one.
    void Show(int32_t frame);

    CAnimElement* GetElement() const { return m_element; }
    CSurface* GetFrames() const { return m_frames.get(); }
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
