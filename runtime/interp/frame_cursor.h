#pragma once
// Plays a frame animation by time. The played object answers questions about
// its frames and shows the frame it is told (CAnimatedObject); the cursor
// decides which frame is due, loops, plays backwards or back and forth, counts
// loops and reports the end. Sprites, the animation control and 3D objects
// share it. Times are 32-bit milliseconds that wrap: only differences count.
#include "runtime/interp/ticker_lists.h"

#include <cstdint>

// The nine operations a frame cursor drives. Each receives the cursor's opaque
// argument word (owners that play one animation ignore it).
class CAnimatedObject {
public:
    virtual ~CAnimatedObject() = default;
    virtual int32_t GetCurrentFrame(uint32_t arg) = 0;
    virtual void SetFrame(int32_t frame, uint32_t arg) = 0;
    virtual void Update(uint32_t arg) = 0;
    virtual void EndPlay(uint32_t arg) = 0;
    // Display time of the frame in ms (frame-delay timing), or percent of a
    // frame per 20 ms (fixed-rate timing).
    virtual int32_t GetFrameDelay(int32_t frame, uint32_t arg) = 0;
    virtual int32_t GetFirstFrame(uint32_t arg) = 0;
    virtual int32_t GetLastFrame(uint32_t arg) = 0;
    virtual int32_t GetFrameLimit(uint32_t arg) = 0;  // where loops restart
    virtual int32_t IsPaused(uint32_t arg) = 0;
};

class CFrameCursor : public CITickClient {
public:
    static constexpr uint32_t kBackward = 0x1;
    static constexpr uint32_t kBackAndForth = 0x4;  // the direction bit flips at each end
    static constexpr int32_t kEndless = -1;
    static constexpr uint32_t kRateStepMs = 20;

    // Target, time origin and timing (0 = frame delays; otherwise percent of a
    // frame per 20 ms). The owner sets argument, loops and flags itself.
    void Init(CAnimatedObject* target, uint32_t now, int32_t fixedRate);

    // Shows the frame now when it is another frame within first ... last;
    // the time origin becomes now in every case.
    void SetFrame(int32_t frame, uint32_t now);
    // One frame forward (backward) in the current play direction.
    void Step(uint32_t now);
    void StepBack(uint32_t now);
    // Shows the frame due at now; time not spent on a whole frame is kept.
    void Advance(uint32_t now);
    // The frame after frame in the play direction; sets ended at the end of
    // the last loop. May flip the direction bit and count loops.
    int32_t NextFrame(int32_t frame, int32_t& ended);

    void Tick(uint32_t now) override { Advance(now); }

    CAnimatedObject* m_target = nullptr;
    uint32_t m_argument = 0;
    uint32_t m_lastTime = 0;
    int32_t m_loopCounter = 0;  // loops still to play; -1 endless
    int32_t m_loopCount = 0;    // given at play start; 0 none
    uint32_t m_playFlags = 0;
    int32_t m_rateAccumulator = 0;
    int32_t m_fixedRate = 0;

private:
    void StepWith(uint32_t now, bool back);
    int32_t NextBackward(int32_t frame, int32_t& ended);
};
