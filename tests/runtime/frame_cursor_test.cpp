// The frame cursor against a recording target: timing, loops, directions.
#include "runtime/interp/frame_cursor.h"

#include <gtest/gtest.h>
#include <vector>

namespace {

class FakeAnimation : public CAnimatedObject {
public:
    int32_t GetCurrentFrame(uint32_t) override { return current; }
    void SetFrame(int32_t frame, uint32_t arg) override {
        current = frame;
        shown.push_back(frame);
        lastArg = arg;
    }
    void Update(uint32_t) override { ++updates; }
    void EndPlay(uint32_t) override { ++ends; }
    int32_t GetFrameDelay(int32_t, uint32_t) override { return delay; }
    int32_t GetFirstFrame(uint32_t) override { return 0; }
    int32_t GetLastFrame(uint32_t) override { return last; }
    int32_t GetFrameLimit(uint32_t) override { return limit; }
    int32_t IsPaused(uint32_t) override { return paused; }

    int32_t current = 0, last = 3, limit = 0, delay = 100, paused = 0;
    int32_t updates = 0, ends = 0;
    uint32_t lastArg = 0;
    std::vector<int32_t> shown;
};

struct Played {
    FakeAnimation target;
    CFrameCursor cursor;
    Played(int32_t loops, uint32_t flags, uint32_t start = 1000, int32_t rate = 0) {
        cursor.Init(&target, start, rate);
        cursor.m_loopCounter = cursor.m_loopCount = loops;
        cursor.m_playFlags = flags;
    }
    // The frames NextFrame computes from the current one, n times.
    std::vector<int32_t> Chain(int32_t frame, int n, int32_t* endedAt = nullptr) {
        std::vector<int32_t> out{frame};
        for (int i = 0; i < n; ++i) {
            int32_t ended = 0;
            frame = cursor.NextFrame(frame, ended);
            out.push_back(frame);
            if (ended && endedAt != nullptr && *endedAt < 0)
                *endedAt = i;
        }
        return out;
    }
};

TEST(FrameCursor, FrameDelaysMoveWholeFramesAndCarryTheRest) {
    Played p(CFrameCursor::kEndless, 0);
    p.cursor.m_argument = 77;
    p.cursor.Advance(1250);
    EXPECT_EQ(p.target.current, 2);
    EXPECT_EQ(p.target.shown, std::vector<int32_t>{2});  // one SetFrame for the whole jump
    EXPECT_EQ(p.target.updates, 1);
    EXPECT_EQ(p.target.lastArg, 77u);
    EXPECT_EQ(p.cursor.m_lastTime, 1200u);  // 50 ms kept for the next call
    p.cursor.Advance(1300);
    EXPECT_EQ(p.target.current, 3);
    p.cursor.Advance(1399);  // 99 ms into frame 3: nothing
    EXPECT_EQ(p.target.current, 3);
    p.cursor.Advance(1400);  // endless, limit 0: back to the start
    EXPECT_EQ(p.target.current, 0);
    EXPECT_EQ(p.target.ends, 0);
}

TEST(FrameCursor, DifferencesAreTakenAcrossTheClockWrap) {
    Played p(CFrameCursor::kEndless, 0, 0xFFFFFF00u);
    p.cursor.Advance(0x64);  // 356 ms later
    EXPECT_EQ(p.target.current, 3);
    EXPECT_EQ(p.cursor.m_lastTime, 0x2Cu);
}

TEST(FrameCursor, ZeroDelayCountsAsOneMillisecond) {
    Played p(0, 0);
    p.target.delay = 0;
    p.cursor.Advance(1002);
    EXPECT_EQ(p.target.current, 2);
}

TEST(FrameCursor, LastLoopStopsOnTheLastFrameAndEndsOnce) {
    Played p(0, 0);
    p.cursor.Advance(1000 + 10000);
    EXPECT_EQ(p.target.current, 3);
    EXPECT_EQ(p.target.ends, 1);
    EXPECT_EQ(p.target.shown, std::vector<int32_t>{3});
}

TEST(FrameCursor, LoopsRestartAtTheLimitAndAreCounted) {
    Played p(2, 0);
    p.target.limit = 1;
    int32_t endedAt = -1;
    EXPECT_EQ(p.Chain(0, 10, &endedAt), (std::vector<int32_t>{0, 1, 2, 3, 1, 2, 3, 1, 2, 3, 3}));
    EXPECT_EQ(endedAt, 9);
    EXPECT_EQ(p.cursor.m_loopCounter, 0);
}

TEST(FrameCursor, DirectionsAndLoopKinds) {
    struct Case {
        const char* name;
        int32_t loopCount, loopCounter, limit;
        uint32_t flags;
        int32_t start;
        std::vector<int32_t> frames;
        int32_t endedAt;  // index of the NextFrame call that ended, -1 none
    };
    const uint32_t B = CFrameCursor::kBackward, BF = CFrameCursor::kBackAndForth;
    const Case cases[] = {
        // Each end frame comes twice, once per change of direction.
        {"endless back and forth", -1, -1, 0, BF, 0, {0, 1, 2, 3, 3, 2, 1, 0, 0, 1}, -1},
        {"endless back and forth, limit 1", -1, -1, 1, BF, 3, {3, 3, 2, 1, 1, 2, 3, 3}, -1},
        {"backward once", 0, 0, 0, B, 3, {3, 2, 1, 0, 0}, 3},
        {"backward endless", -1, -1, 1, B, 3, {3, 2, 1, 3, 2, 1, 3}, -1},
        {"backward endless back and forth to first", -1, -1, 5, B | BF, 2, {2, 1, 0, 0, 1}, -1},
        // Counts up from below the loop count; the last loop runs down to first.
        {"backward counted", 2, 1, 1, B, 3, {3, 2, 1, 3, 2, 1, 0, 0}, 6},
        {"backward counted back and forth", 2, 1, 1, B | BF, 3, {3, 2, 1, 1, 2, 3}, -1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Played p(c.loopCount, c.flags);
        p.cursor.m_loopCounter = c.loopCounter;
        p.target.limit = c.limit;
        int32_t endedAt = -1;
        EXPECT_EQ(p.Chain(c.start, static_cast<int>(c.frames.size()) - 1, &endedAt), c.frames);
        EXPECT_EQ(endedAt, c.endedAt);
    }
}

TEST(FrameCursor, PausedTimeIsNotMadeUp) {
    Played p(CFrameCursor::kEndless, 0);
    p.cursor.Advance(1050);
    p.target.paused = 1;
    p.cursor.Advance(1500);
    EXPECT_EQ(p.target.current, 0);
    EXPECT_EQ(p.cursor.m_lastTime, 1500u);
    p.target.paused = 0;
    p.cursor.Advance(1599);
    EXPECT_EQ(p.target.current, 0);
    p.cursor.Advance(1600);
    EXPECT_EQ(p.target.current, 1);
}

TEST(FrameCursor, FixedRateMovesAFramePerHundredPercent) {
    Played p(CFrameCursor::kEndless, 0, 1000, 1);
    p.target.delay = 50;  // percent of a frame per 20 ms
    p.cursor.Advance(1039);
    EXPECT_EQ(p.target.current, 1);  // steps at 1000 and 1020 reach 100
    EXPECT_EQ(p.cursor.m_rateAccumulator, 0);
    EXPECT_EQ(p.cursor.m_lastTime, 1039u);
    p.cursor.Advance(1081);  // steps at 1039, 1059, 1079
    EXPECT_EQ(p.target.current, 2);
    EXPECT_EQ(p.cursor.m_rateAccumulator, 50);
    p.target.delay = 250;  // two and a half frames per step
    p.cursor.Advance(1082);
    EXPECT_EQ(p.target.current, 1);  // 2 -> 3 -> 0 -> 1
    EXPECT_EQ(p.cursor.m_rateAccumulator, 0);
}

TEST(FrameCursor, FixedRateStopsAtTheEnd) {
    Played p(0, 0, 1000, 1);
    p.target.delay = 100;
    p.cursor.Advance(2000);
    EXPECT_EQ(p.target.current, 3);
    EXPECT_EQ(p.target.ends, 1);
}

TEST(FrameCursor, StepAndStepBack) {
    Played p(CFrameCursor::kEndless, 0);
    p.target.current = 2;
    p.cursor.StepBack(1500);
    EXPECT_EQ(p.target.current, 1);
    EXPECT_EQ(p.cursor.m_playFlags, 0u);  // the direction flip was for the step only
    EXPECT_EQ(p.cursor.m_lastTime, 1500u);
    p.cursor.Step(1600);
    p.cursor.Step(1700);
    EXPECT_EQ(p.target.current, 3);
    EXPECT_EQ(p.target.updates, 3);

    Played once(0, 0);
    once.target.current = 3;
    once.cursor.Step(1500);  // the end: no frame change, EndPlay, time kept
    EXPECT_EQ(once.target.ends, 1);
    EXPECT_TRUE(once.target.shown.empty());
    EXPECT_EQ(once.cursor.m_lastTime, 1000u);
    once.cursor.StepBack(1600);
    EXPECT_EQ(once.target.current, 2);
}

TEST(FrameCursor, SetFrameShowsOnlyAnotherFrameInRange) {
    Played p(CFrameCursor::kEndless, 0);
    for (int32_t frame : {0, -1, 4, 2}) p.cursor.SetFrame(frame, 1234);
    EXPECT_EQ(p.target.shown, std::vector<int32_t>{2});
    EXPECT_EQ(p.target.updates, 1);
    EXPECT_EQ(p.cursor.m_lastTime, 1234u);
}

}  // namespace
