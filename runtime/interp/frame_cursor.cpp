#include "runtime/interp/frame_cursor.h"

void CFrameCursor::Init(CAnimatedObject* target, uint32_t now, int32_t fixedRate) {
    m_target = target;
    m_lastTime = now;
    m_fixedRate = fixedRate;
    m_rateAccumulator = 0;
}

void CFrameCursor::SetFrame(int32_t frame, uint32_t now) {
    const uint32_t a = m_argument;
    if (frame != m_target->GetCurrentFrame(a) && frame >= m_target->GetFirstFrame(a) &&
        frame <= m_target->GetLastFrame(a)) {
        m_target->SetFrame(frame, a);
        m_target->Update(a);
    }
    m_lastTime = now;
}

int32_t CFrameCursor::NextFrame(int32_t frame, int32_t& ended) {
    ended = 0;
    if ((m_playFlags & kBackward) != 0)
        return NextBackward(frame, ended);
    const uint32_t a = m_argument;
    if (frame < m_target->GetLastFrame(a))
        return frame + 1;
    if (m_loopCounter == 0) {
        ended = 1;
        return frame;
    }
    if (m_loopCounter != kEndless)
        --m_loopCounter;
    if ((m_playFlags & kBackAndForth) != 0) {
        m_playFlags ^= kBackward;
        return frame;
    }
    return m_target->GetFrameLimit(a);
}

int32_t CFrameCursor::NextBackward(int32_t frame, int32_t& ended) {
    const uint32_t a = m_argument;
    const int32_t first = m_target->GetFirstFrame(a);
    const bool bounce = (m_playFlags & kBackAndForth) != 0;
    // Without loops, and in the last of several loops: down to first, then end.
    if (m_loopCount == 0 || (m_loopCounter != kEndless && m_loopCounter == m_loopCount)) {
        if (frame > first)
            return frame - 1;
        ended = 1;
        return frame;
    }
    const int32_t limit = m_target->GetFrameLimit(a);
    if (m_loopCounter == kEndless) {
        if (frame != limit && frame > first)
            return frame - 1;
        if (!bounce)
            return m_target->GetLastFrame(a);
        m_playFlags ^= kBackward;
        return frame == limit ? frame : first;
    }
    if (frame > limit)
        return frame - 1;
    ++m_loopCounter;
    if (!bounce)
        return m_target->GetLastFrame(a);
    m_playFlags ^= kBackward;
    return limit;
}

void CFrameCursor::StepWith(uint32_t now, bool back) {
    const uint32_t a = m_argument;
    const int32_t frame = m_target->GetCurrentFrame(a);
    int32_t ended = 0;
    if (back)
        m_playFlags ^= kBackward;
    const int32_t next = NextFrame(frame, ended);
    if (back)
        m_playFlags ^= kBackward;
    if (next != frame) {
        m_target->SetFrame(next, a);
        m_target->Update(a);
    }
    if (ended)
        m_target->EndPlay(a);
    else
        m_lastTime = now;
}

void CFrameCursor::Step(uint32_t now) {
    StepWith(now, false);
}

void CFrameCursor::StepBack(uint32_t now) {
    StepWith(now, true);
}

void CFrameCursor::Advance(uint32_t now) {
    const uint32_t a = m_argument;
    const int32_t shown = m_target->GetCurrentFrame(a);
    int32_t frame = shown;
    uint32_t t = m_lastTime;
    int32_t ended = 0;
    if (m_target->IsPaused(a) != 0) {
        t = now;  // paused time is not made up later
    } else if (m_fixedRate == 0) {
        // Whole frames only; the start of the frame on show stays the origin.
        int64_t budget = static_cast<int32_t>(now - t);
        while (ended == 0) {
            int32_t d = m_target->GetFrameDelay(frame, a);
            if (d <= 0)
                d = 1;
            budget -= d;
            if (budget < 0)
                break;
            t += static_cast<uint32_t>(d);
            frame = NextFrame(frame, ended);
        }
    } else {
        const int32_t rate = m_target->GetFrameDelay(frame, a);
        while (ended == 0 && static_cast<int32_t>(now - m_lastTime) > 0) {
            m_rateAccumulator += rate;
            // A rate above 100 moves more than one frame per step.
            while (m_rateAccumulator >= 100 && ended == 0) {
                m_rateAccumulator -= 100;
                frame = NextFrame(frame, ended);
            }
            m_lastTime += kRateStepMs;
        }
        t = now;
    }
    if (frame != m_target->GetCurrentFrame(a)) {
        m_target->SetFrame(frame, a);
        m_target->Update(a);
    }
    // The time is settled before the end is told: the owner may drop the cursor.
    m_lastTime = t;
    if (ended)
        m_target->EndPlay(a);
}
