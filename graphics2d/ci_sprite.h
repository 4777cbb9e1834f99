#pragma once
// CISprite: the script class "Sprite", a picture placed on a script surface
// with a hot spot, a layer, draw effects, scale, rotation, a clip rectangle,
// visibility and collision tests against the other sprites of its surface,
// and frame-by-frame animation driven by a frame cursor. The surface's
// sprite list (sprite_list.h) draws it; the sprite keeps its bounding box up
// to date and tells the surface of every change that affects drawing.
#include "graphics2d/sprite_animation.h"
#include "graphics2d/sprite_list.h"
#include "runtime/classes/script_class.h"
#include "runtime/interp/frame_cursor.h"

#include <cstdint>
#include <memory>

class CAnimElement;
class CImageElement;
class CSurface;

class CISprite : public CIBaseClassImpl, public CAnimatedObject {
public:
    explicit CISprite(CInterpretor* interpretor);
    ~CISprite() override;

    void CallMember(int32_t memberId) override;
    void Destroy(int32_t releaseAll) override;
    int32_t OnObjectDeleted(CIBaseClassImpl* object) override;
    void ConstructFromArgs() override;

    // CAnimatedObject (the argument word is not used).
    int32_t GetCurrentFrame(uint32_t) override { return m_frame; }
    void SetFrame(int32_t frame, uint32_t) override;
    void Update(uint32_t) override {}
    void EndPlay(uint32_t) override;
    int32_t GetFrameDelay(int32_t frame, uint32_t) override;
    int32_t GetFirstFrame(uint32_t) override { return 0; }
    int32_t GetLastFrame(uint32_t) override { return m_frameCount - 1; }
    int32_t GetFrameLimit(uint32_t) override { return m_frameLimit; }
    int32_t IsPaused(uint32_t) override { return m_paused; }

    // For the surface's sprite list.
    CSpriteState& State() { return m_state; }
    CISurface* GetSurface() const { return m_surface; }
    CSurface* CurrentImage() const { return m_image; }
    // The transformed copy when there is one, else the image (null: none).
    CSurface* DrawingImage() const;
    // Remakes the transformed copy when the image changed.
    void RebuildTransformed();
    // The values as last drawn take the current ones.
    void CommitDrawn();
    void MoveBy(int32_t dx, int32_t dy);
    // The surface left the sprite (deleted, or all its sprites removed).
    void LeftSurface();
    // What the sprite's 3D mirror shows (`textured`: the mirror has a texture).
    CSpriteMirrorLook MirrorLook(bool textured) const;

    // Places the sprite (x, y and image as "Set" reads them from argument first).
    void SetFromArgs(int32_t first);

private:
    int32_t Set();
    int32_t GetX();
    int32_t GetY();
    int32_t GetLeft();
    int32_t GetTop();
    int32_t GetRight();
    int32_t GetBottom();
    int32_t SetCollision();
    int32_t SetDrawEffect();
    int32_t Show();
    int32_t Hide();
    int32_t IsPointIn();
    int32_t IsColliding();
    int32_t GetFirstCollidingSprite();
    int32_t GetNextCollidingSprite();
    int32_t SetTransparent();
    int32_t SetAntiAliasing();
    int32_t SetLayer();
    int32_t GetLayer();
    int32_t MoveToBack();
    int32_t MoveToFront();
    int32_t MoveBackward();
    int32_t MoveForward();
    int32_t MoveBefore();
    int32_t MoveAfter();
    int32_t IsIn();
    int32_t IsOut();
    int32_t IsLeaving();
    int32_t IsEntering();
    int32_t SetScale();
    int32_t GetScaleX();
    int32_t GetScaleY();
    int32_t SetAngle();
    int32_t GetAngle();
    int32_t SetHotSpot();
    int32_t GetHotSpotX();
    int32_t GetHotSpotY();
    int32_t GetWidth();
    int32_t GetHeight();
    int32_t SetClipRect();
    int32_t IsVisible();
    int32_t Play();
    int32_t Stop();
    int32_t Pause();
    int32_t SetFrameMember();
    int32_t GetFrame();
    int32_t Resume();
    int32_t IsPlaying();
    int32_t IsPausedMember();
    int32_t GetNFrames();
    int32_t NextFrame();
    int32_t PrevFrame();
    int32_t SetSpeedFactor();
    int32_t GetSpeedFactor();

    int32_t Answer(int32_t value);
    int32_t AnswerSprite(CISprite* sprite);
    CSpriteList* List() const;
    void Changed();
    void RecomputeBox();
    // The rectangle arguments (x1, y1, x2, y2) with the surface as default.
    CRect AreaArgs();
    CISprite* SpriteArg(int32_t i);
    void SetFlag(uint32_t bit, bool on);
    void ReleaseElement(CImageElement*& element);
    void DropSource();

    CSpriteState m_state;
    CISurface* m_surface = nullptr;
    int32_t m_x = 0, m_y = 0;
    int32_t m_hotX = 0, m_hotY = 0;
    float m_scaleX = 1.0f, m_scaleY = 1.0f;
    int32_t m_angle = 0;
    int32_t m_quality = 0;
    CSurface* m_image = nullptr;
    CSurface* m_drawnImage = nullptr;
    CISurface* m_source = nullptr;
    CISurface* m_drawnSource = nullptr;
    CImageElement* m_element = nullptr;       // locked while held
    CImageElement* m_drawnElement = nullptr;  // locked while held (may equal m_element: one lock each)
    std::unique_ptr<CSurface> m_transformed;

    // Animation: a packaged animation's frames, played by the frame cursor.
    bool TakeAnimation(CAnimElement* element);
    void DropAnimation();
    std::unique_ptr<CSpriteAnimation> m_animation;
    CFrameCursor m_cursor;
    uint32_t m_tickHandle = 0;
    int32_t m_frameCount = 0;
    int32_t m_frame = 0;
    int32_t m_loopCount = 0;
    int32_t m_frameLimit = 0;
    int32_t m_playing = 0;
    int32_t m_paused = 0;
    int32_t m_speedFactor = 100;
};

void RegisterSpriteClass();
