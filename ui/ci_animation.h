#pragma once
// CIAnimation: the script class "Animation", a control that plays an
// animation file (a package animation or a file by name, in any animated
// format of the image layer) frame by frame. It shows its frames in a window
// of its own ("class_QUORVEX_ANIM"), or without a window on a script
// surface given at creation. The interpreter's frame cursor plays it on the
// tick like a sprite; frames are decoded lazily, when drawn (the redraw pass
// and WM_PAINT).
#include "graphics2d/sprite_animation.h"
#include "runtime/interp/frame_cursor.h"
#include "ui/ci_child_window.h"

#include <cstdint>
#include <memory>

class CISurface;

class CIAnimation : public CIChildWindow, public CAnimatedObject {
public:
    explicit CIAnimation(CInterpretor* interpretor);
    ~CIAnimation() override;

    void CallMember(int32_t memberId) override;
    void ConstructFromArgs() override;
    // Ends playing, frees the animation, then the control; deletes itself.
    void Destroy(int32_t releaseAll) override;
    // The target surface going: the control goes with it.
    int32_t OnObjectDeleted(CIBaseClassImpl* object) override;

    // CIRefresh: the current frame onto the window or the target surface.
    void Refresh() override;
    int32_t IsLate() override { return m_window != nullptr; }
    // WM_PAINT: the current frame stretched over the control's size on the DC.
    void PaintTo(void* dc);

    // CAnimatedObject (the argument word is not used). The current frame is
    // the one chosen last; the reader catches up when it is drawn.
    int32_t GetCurrentFrame(uint32_t) override { return m_frame; }
    void SetFrame(int32_t frame, uint32_t) override;
    void Update(uint32_t) override { SetDirty(); }
    void EndPlay(uint32_t) override;
    int32_t GetFrameDelay(int32_t frame, uint32_t) override;
    int32_t GetFirstFrame(uint32_t) override { return 0; }
    int32_t GetLastFrame(uint32_t) override { return GetFrameCount() - 1; }
    int32_t GetFrameLimit(uint32_t) override { return m_frameLimit; }
    int32_t IsPaused(uint32_t) override { return m_paused; }

    // The frame surface (null before loading) and the frame count.
    CSurface* GetFrames() const { return m_animation ? m_animation->GetFrames() : nullptr; }
    int32_t GetFrameCount() const { return m_animation ? m_animation->GetFrameCount() : 0; }

private:
    // Opens the animation named by the text argument; 0 or a runtime error.
    int32_t LoadAnimation();
    // Brings the frame surface to the current frame.
    void DecodeCurrent();

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

    CISurface* m_targetSurface = nullptr;
    CIBaseClassImpl* m_targetTexture = nullptr;
    std::unique_ptr<CSpriteAnimation> m_animation;
    uint32_t m_tickHandle = 0;
    CFrameCursor m_cursor;
    int32_t m_paused = 0;
    int32_t m_frame = 0;
    int32_t m_playing = 0;
    int32_t m_frameLimit = 0;
    int32_t m_loopCount = 0;
    int32_t m_speedFactor = 100;
};

void RegisterAnimationClass();
