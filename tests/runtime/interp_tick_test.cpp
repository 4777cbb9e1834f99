// The interpreter's tick-period work seen from running scripts: tickers,
// garbage collection, redraw passes, statement strings under nested loops,
// and event delivery after a run that ended inside a handler.
#include "tests/support/script_event_poster.h"

#include "runtime/interp/os_clock.h"

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

// Posts an event with the tick's number to the first poster's handler at
// each tick.
class PostingTicker : public CITickClient {
public:
    explicit PostingTicker(CInterpretor* in) : m_in(in) {}
    void Tick(uint32_t) override {
        uint32_t position = m_in->GetFirstInstance(kClassTimer);
        if (CIBaseClassImpl* poster = m_in->NextInstance(kClassTimer, position))
            static_cast<CTestEventPoster*>(poster)->Post(++posts);
    }
    int32_t posts = 0;

private:
    CInterpretor* m_in;
};

TEST(InterpreterTick, EventsDeliveredInsideATightLoopSeeAndChangeItsVariables) {
    // A loop of integer statements runs its rounds apart from the operation
    // loop; events delivered between its statements still change its
    // variables (a number added to, a number made a text, the bound
    // cleared) and the loop goes on with what they left.
    CInterpretor interpretor;
    PostingTicker ticker(&interpretor);
    std::string result = RunScriptText(interpretor, "tight",
                                       "Function H(n) {\n"
                                       "    count++;\n"
                                       "    x = x + 1000000;\n"
                                       "    If (n == 2) y = \"t\";\n"
                                       "    If (n == 4) limit = 0;\n"
                                       "}\n"
                                       "count = 0;\nlimit = 2000000000;\nx = 0;\ny = 0;\n"
                                       "p = New Timer();\np.OnTimeElapsed = H;\n"
                                       "For (i = 0; i < limit; i++) {\n    x = x + 1;\n    y += 2;\n}\n"
                                       "If (count != 4) FAIL();\n"
                                       "If (x != 4000000 + i) FAIL();\n"
                                       "If (y.Length() < 3) FAIL();\n",
                                       [&](CInterpretor& in) { in.AddAnimation(&ticker); });
    EXPECT_EQ(result, "");
    EXPECT_EQ(ticker.posts, 4);
    interpretor.m_tickers.RemoveAll();
}

TEST(InterpreterTick, EventsDeliveredInsideRecursiveCallsChangeTheCallee) {
    // Recursive calls on integers run apart from the operation loop; an event
    // delivered between their statements makes the callee another function,
    // and the calls still running call that one from then on.
    CInterpretor interpretor;
    PostingTicker ticker(&interpretor);
    std::string result = RunScriptText(interpretor, "recursive",
                                       "Function Low(n) {\n"
                                       "    If (n < 2) Return 1;\n"
                                       "    Return Step(n - 1) + Step(n - 2);\n"
                                       "}\n"
                                       "Function High(n) { Return 5000000; }\n"
                                       "Function H(k) {\n"
                                       "    count++;\n"
                                       "    If (k == 2) Step = High;\n"
                                       "}\n"
                                       "count = 0;\nStep = Low;\nr = 0;\n"
                                       "p = New Timer();\np.OnTimeElapsed = H;\n"
                                       "For (i = 0; i < 100000 && count < 2; i++) r = Low(20);\n"
                                       // The call in which the callee changed (almost
                                       // surely inside the recursion) called the new one.
                                       "If (count != 2) FAIL();\n"
                                       "If (r < 5000000) FAIL();\n",
                                       [&](CInterpretor& in) { in.AddAnimation(&ticker); });
    EXPECT_EQ(result, "");
    EXPECT_GE(ticker.posts, 2);
    interpretor.m_tickers.RemoveAll();
}

// A script surface (class 9) that is also a redraw client.
class SurfaceClient : public CIBaseClassImpl, public CIRefresh {
public:
    SurfaceClient(CInterpretor* in, std::vector<std::string>& log)
        : CIBaseClassImpl(in, nullptr, kClassSurface, false), CIRefresh(in, true), m_log(log) {}
    ~SurfaceClient() override { Unregister(); }
    void Refresh() override {
        m_log.push_back("surface");
        CIRefresh::Refresh();
    }

private:
    std::vector<std::string>& m_log;
};

// A window that draws into the surface when it is redrawn.
class DrawingClient : public CIRefresh {
public:
    DrawingClient(CInterpretor* in, std::vector<std::string>& log, CIRefresh& target)
        : CIRefresh(in, false), m_log(log), m_target(target) {}
    ~DrawingClient() override { Unregister(); }
    void Refresh() override {
        m_log.push_back("window");
        m_target.SetDirty();
        CIRefresh::Refresh();
    }

private:
    std::vector<std::string>& m_log;
    CIRefresh& m_target;
};

TEST(InterpreterTick, SurfacesWaitForTheClientsThatDrawIntoThem) {
    CInterpretor interpretor;
    std::vector<std::string> log;
    SurfaceClient surface(&interpretor, log);  // listed first
    DrawingClient window(&interpretor, log, surface);
    surface.m_dirty = 0;
    interpretor.RefreshAll();
    // Taken for a plain client the surface would come first and be skipped.
    EXPECT_EQ(log, (std::vector<std::string>{"window", "surface"}));
    EXPECT_EQ(interpretor.m_refreshRequested, 0);
}

class FailingConstruction : public CIBaseClassImpl {
public:
    explicit FailingConstruction(CInterpretor* in) : CIBaseClassImpl(in, nullptr, kClassTimer, false) {}
    void ConstructFromArgs() override { m_interpretor->RaiseError(77); }
};

std::string g_logged;

TEST(InterpreterTick, ConstructionErrorsGoToTheScriptsErrorHandler) {
    CInterpretor interpretor;
    FailingConstruction object(&interpretor);
    auto code = [&] {
        try {
            interpretor.ConstructChecked(&object);
        } catch (const CIError& error) {
            return error.code;
        }
        return -1;
    };
    // Without a handler the error goes on as it is.
    EXPECT_EQ(code(), 77);
    EXPECT_EQ(interpretor.CountEvents(), 0);

    // With one it is logged and posted, and the dead object gives 38.
    CFunctionRecord* handler = reinterpret_cast<CFunctionRecord*>(uintptr_t(0x40));
    interpretor.SetScriptErrorHandler(handler, [](void* context, const CIError& error, const char* message) {
        g_logged = std::string(static_cast<const char*>(context)) + message;
    }, const_cast<char*>("logged: "));
    EXPECT_EQ(code(), 38);
    EXPECT_EQ(g_logged.rfind("logged: Error #77", 0), 0u) << g_logged;
    ASSERT_EQ(interpretor.CountEvents(), 1);
    CEventRecord* event = interpretor.m_events.GetPending();
    EXPECT_EQ(event->handler, handler);
    ASSERT_EQ(event->argCount, 5u);
    EXPECT_EQ(event->args[0].GetInt(), 77);
    EXPECT_EQ(std::string(event->args[1].GetString()).rfind("Error #77", 0), 0u);
    EXPECT_STREQ(event->args[2].GetString(), "");
    interpretor.SetScriptErrorHandler(nullptr);
    interpretor.ClearEvents();
}

}  // namespace

TEST(InterpreterTick, RedrawClientsLeaveTheListHoweverTheyGo) {
    CInterpretor interpretor;
    std::vector<std::string> log;
    CIRefresh* early = new CIRefresh(&interpretor, false);
    interpretor.ReleaseAll();  // empties the list under a client that lives on
    DrawingClient later(&interpretor, log, *early);
    early->Unregister();  // must not take the later client's node with it
    interpretor.RefreshAll();
    EXPECT_EQ(log, (std::vector<std::string>{"window"}));

    CIRefresh* gone = new CIRefresh(&interpretor, false);
    delete gone;  // without Unregister
    std::vector<uintptr_t> listed;
    for (uint32_t p = interpretor.m_redrawList.GetHeadPosition(); p != 0;)
        listed.push_back(interpretor.m_redrawList.GetNext(p));
    EXPECT_EQ(listed, (std::vector<uintptr_t>{reinterpret_cast<uintptr_t>(static_cast<CIRefresh*>(&later))}));
    later.Unregister();
    delete early;
}

