// The operation loop pumps the Windows message queue while a script runs: a
// script in an endless loop still gets its window messages dispatched and its
// filters asked, and the speed setting decides whether an idle pump sleeps.
#include "tests/support/script_event_poster.h"

#include "runtime/interp/message_filters.h"
#include "runtime/interp/os_clock.h"

#include <windows.h>

#include <gtest/gtest.h>
#include <algorithm>
#include <vector>

namespace {

constexpr UINT kEndRun = WM_USER + 20;
int g_timerTicks = 0;

// Counts its timer ticks; after the third it asks the run to end (through
// the thread's queue, where the script's filter sees it).
LRESULT CALLBACK TickingProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
    if (msg == WM_TIMER && ++g_timerTicks == 3)
        PostThreadMessageA(GetCurrentThreadId(), kEndRun, 0, 0);
    return DefWindowProcA(hwnd, msg, wp, lp);
}

// Ends the run when it sees kEndRun (the loop raises the pending code 0).
class EndRunFilter : public CIBaseMessages {
public:
    explicit EndRunFilter(CInterpretor* in) : CIBaseMessages(in), m_in(in) {}
    int32_t Filter(const OsMessage& message) override {
        if (message.message != kEndRun)
            return 0;
        m_in->m_pendingError = 0;
        return kConsumed;
    }

private:
    CInterpretor* m_in;
};

class ScriptPump : public ::testing::Test {
protected:
    void SetUp() override {
        WNDCLASSA wc = {};
        wc.lpfnWndProc = TickingProc;
        wc.hInstance = GetModuleHandleA(nullptr);
        wc.lpszClassName = "TwScriptPumpTest";
        RegisterClassA(&wc);
        window = CreateWindowA("TwScriptPumpTest", "", WS_OVERLAPPED, 0, 0, 10, 10, nullptr, nullptr, wc.hInstance,
                               nullptr);
        ASSERT_NE(window, nullptr);
        g_timerTicks = 0;
    }
    void TearDown() override {
        DestroyWindow(window);
        CInterpretor::SetPollHook(CInterpretor::kPollNetwork, nullptr);
        MSG m;
        while (PeekMessageA(&m, nullptr, 0, 0, PM_REMOVE))
            DispatchMessageA(&m);
    }
    HWND window = nullptr;
};

TEST_F(ScriptPump, EndlessLoopStillDispatchesAndFilters) {
    CInterpretor interpretor;
    EndRunFilter filter(&interpretor);
    ASSERT_TRUE(filter.IsRegistered());
    SetTimer(window, 1, 30, nullptr);
    uint32_t start = OsTimeMs();
    std::string result = RunScriptText(interpretor, "loop", "n = 0;\nWhile (1) {\n    n++;\n}\n");
    uint32_t elapsed = OsTimeMs() - start;
    KillTimer(window, 1);
    EXPECT_EQ(result, "");
    EXPECT_EQ(g_timerTicks, 3);
    EXPECT_LT(elapsed, 5000u);
}

std::vector<uint32_t>* g_pumpSpans;

// Median time a pump of an endless loop spends from its start (the last pump
// time) to its polls, which follow the idle sleep, at the speed setting.
uint32_t PumpSpan(HWND window, uint32_t speed) {
    std::vector<uint32_t> spans;
    g_pumpSpans = &spans;
    CInterpretor::SetPollHook(CInterpretor::kPollNetwork,
                              [](CInterpretor* in) { g_pumpSpans->push_back(OsTimeMs() - in->m_lastPumpTime); });
    CInterpretor interpretor;
    EndRunFilter filter(&interpretor);
    g_timerTicks = 0;
    // The run ends after 900 ms: three timer pumps among some eighteen idle
    // ones, so that a few pumps cut short on a busy machine do not move the
    // median.
    SetTimer(window, 1, 300, nullptr);
    std::string result = RunScriptText(interpretor, "loop", "n = 0;\nWhile (1) n++;\n",
                                       [speed](CInterpretor& in) { in.m_packageSettings[0] = speed; });
    KillTimer(window, 1);
    CInterpretor::SetPollHook(CInterpretor::kPollNetwork, nullptr);
    EXPECT_EQ(result, "");
    EXPECT_GE(spans.size(), 3u);
    // The pump at a timer tick finds the message waiting and does not sleep:
    // the median tells the idle pumps.
    std::sort(spans.begin(), spans.end());
    return spans.empty() ? 0 : spans[spans.size() / 2];
}

TEST_F(ScriptPump, IdlePumpsSleepBelowFullSpeedOnly) {
    // An idle pump sleeps 50 ms at speed 0, 25 ms at 50, none at 100 and above.
    EXPECT_LT(PumpSpan(window, 100), 10u);
    EXPECT_LT(PumpSpan(window, 1000), 10u);
    uint32_t half = PumpSpan(window, 50);
    EXPECT_GE(half, 20u);
    EXPECT_LT(half, 35u);
    uint32_t slow = PumpSpan(window, 0);
    EXPECT_GE(slow, 40u);
    EXPECT_LT(slow, 70u);
}

}  // namespace
