// The interpreter's tick-period work seen from running scripts: tickers,
// garbage collection, redraw passes, statement strings under nested loops,
// and event delivery after a run that ended inside a handler.
#include "tests/script_event_poster.h"

#include "runtime/os_clock.h"

#include <gtest/gtest.h>
#include <string>
#include <vector>

namespace {

// Ends the run (pending code 0) at its tenth tick.
class CountingTicker : public CITickClient {
public:
    explicit CountingTicker(CInterpretor* in) : m_in(in) {}
    void Tick(uint32_t now) override {
        times.push_back(now);
        if (times.size() == 10)
            m_in->m_pendingError = 0;
    }
    std::vector<uint32_t> times;

private:
    CInterpretor* m_in;
};

TEST(InterpreterTick, TickersAdvanceDuringAnEndlessLoopAtTheirInterval) {
    CInterpretor interpretor;
    CountingTicker ticker(&interpretor);
    std::string result = RunScriptText(interpretor, "loop", "While (1) {}\n", [&](CInterpretor& in) {
        in.AddAnimation(&ticker);
    });
    EXPECT_EQ(result, "");
    ASSERT_EQ(ticker.times.size(), 10u);
    for (size_t i = 1; i < ticker.times.size(); ++i)
        EXPECT_GE(ticker.times[i] - ticker.times[i - 1], 50u);
    EXPECT_EQ(ticker.m_lastTick, ticker.times.back());
    interpretor.m_tickers.RemoveAll();
}

TEST(InterpreterTick, UnreferencedObjectsAreCollectedAfterTheThreshold) {
    CInterpretor interpretor;
    std::string result = RunScriptText(interpretor, "gc",
                                       "keep = New Timer();\n"
                                       "i = 0;\n"
                                       "While (i < 3000) {\n"
                                       "    t = New Timer();\n"
                                       "    i++;\n"
                                       "}\n"
                                       "If (keep.IsStarted() != 0) FAIL();\n");
    EXPECT_EQ(result, "");
    // Without collection all 3001 would still be alive.
    EXPECT_LT(interpretor.CountInstances(kClassTimer), 1100);
    EXPECT_GE(interpretor.CountInstances(kClassTimer), 2);
}

// Redraw client whose first redraw raises an error.
class FailingClient : public CIRefresh {
public:
    explicit FailingClient(CInterpretor* in) : CIRefresh(in, false), m_in(in) {}
    ~FailingClient() override { Unregister(); }
    void Refresh() override {
        ++refreshes;
        CIRefresh::Refresh();
        if (refreshes == 1)
            m_in->RaiseError(77);
    }
    int refreshes = 0;

private:
    CInterpretor* m_in;
};

TEST(InterpreterTick, ErrorRaisedInsideARedrawDoesNotRedrawAgain) {
    CInterpretor interpretor;
    FailingClient* client = nullptr;
    std::string result = RunScriptText(interpretor, "redraw", "i = 0;\nWhile (1) i++;\n", [&](CInterpretor& in) {
        client = new FailingClient(&in);
    });
    EXPECT_NE(result.find("Error #77"), std::string::npos) << result;
    ASSERT_NE(client, nullptr);
    EXPECT_EQ(client->refreshes, 1);
    EXPECT_EQ(interpretor.m_refreshing, 0);
    // The next pass redraws again.
    client->SetDirty();
    interpretor.RefreshAll();
    EXPECT_EQ(client->refreshes, 2);
    delete client;
}

TEST(InterpreterTick, TextHeldByAWaitingHandlerSurvivesTheTickPeriodsOfEventHandlers) {
    CInterpretor interpretor;
    std::string result = RunScriptText(interpretor, "strings",
                                       "Function Busy(a) {\n"
                                       "    p.Stop(-1);\n"
                                       "    i = 0;\n"
                                       "    While (i < 500) { s = \"\" + i; i++; }\n"
                                       "}\n"
                                       "p = New Timer();\n"
                                       "p.OnTimeElapsed = Busy;\n"
                                       "p.Stop(0);\n"
                                       "p.Start(1);\n"
                                       "p.Start(2);\n"
                                       "t = p.GetInterval(60, 12345);\n"
                                       "If (t != \"12345\") FAIL();\n"
                                       "If (p.IsStarted() != 0) FAIL();\n");
    EXPECT_EQ(result, "");
}

TEST(InterpreterTick, EventsAreDeliveredAgainAfterARunEndedInsideAHandler) {
    CInterpretor interpretor;
    // The run ends with an error inside an event handler...
    EXPECT_EQ(RunScriptText(interpretor, "first",
                            "Function H(a) {\n    p.Stop(0);\n    p.Stop(-1);\n    x = 1 / 0;\n}\n"
                            "p = New Timer();\np.OnTimeElapsed = H;\np.Start(1);\nn = 0;\n"),
              "first: Error #111 at line 4.");
    EXPECT_EQ(interpretor.m_callsInProgress, 0);
    // ...and the next run on the same interpreter still gets its events.
    EXPECT_EQ(RunScriptText(interpretor, "second",
                            "got = 0;\nFunction H(a) {\n    got = a;\n}\n"
                            "p = New Timer();\np.OnTimeElapsed = H;\np.Start(7);\nn = 0;\n"
                            "If (got != 7) FAIL();\n"),
              "");
}

}  // namespace
