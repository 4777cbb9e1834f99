#include "runtime/refresh_list.h"
#include "runtime/ticker_lists.h"

#include <gtest/gtest.h>
#include <functional>
#include <string>
#include <vector>

namespace {

std::vector<std::string>* g_log;

class Client : public CIRefresh {
public:
    Client(CRefreshList& list, const char* name, bool atHead = false, int32_t late = 0, int32_t surface = 0)
        : CIRefresh(list, atHead), m_name(name), m_late(late), m_surface(surface) {}
    void Refresh() override {
        g_log->push_back(m_name);
        if (onRefresh)
            onRefresh();
        CIRefresh::Refresh();
    }
    int32_t IsLate() override { return m_late; }
    int32_t IsSurface() override { return m_surface; }
    std::function<void()> onRefresh;

private:
    std::string m_name;
    int32_t m_late, m_surface;
};

class RefreshTest : public ::testing::Test {
protected:
    void SetUp() override { g_log = &log; }
    std::vector<std::string> log;
    CRefreshList list;
};

TEST_F(RefreshTest, PassesRunPlainThenSurfacesThenLateClients) {
    Client late(list, "late", false, 1);
    Client surface(list, "surface", false, 0, 1);
    Client plain(list, "plain");
    Client first(list, "first", true);
    Client clean(list, "clean");
    clean.Refresh();
    log.clear();
    EXPECT_TRUE(list.m_requested);
    list.RefreshAll();
    EXPECT_EQ(log, (std::vector<std::string>{"first", "plain", "surface", "late"}));
    EXPECT_FALSE(list.m_requested);
    EXPECT_FALSE(list.m_refreshing);
    log.clear();
    list.RefreshAll();  // nothing dirty
    EXPECT_TRUE(log.empty());
}

TEST_F(RefreshTest, WaitingSurfaceGetsRoundsWhileRedrawsAskForMore) {
    Client s1(list, "s1", false, 0, 1);
    Client s2(list, "s2", false, 0, 1);
    Client s3(list, "s3", false, 0, 1);
    s1.Refresh();
    s2.Refresh();
    log.clear();
    // s3 draws into s2, s2 into s1: each becomes dirty after the pass reached it.
    s3.onRefresh = [&] { s2.SetDirty(); };
    s2.onRefresh = [&] { s1.SetDirty(); };
    list.RefreshAll();
    EXPECT_EQ(log, (std::vector<std::string>{"s3", "s2", "s1"}));
}

TEST_F(RefreshTest, ErrorInsideARedrawNeitherRecursesNorLeavesTheFlagSet) {
    Client a(list, "a");
    Client b(list, "b");
    int inner = 0;
    a.onRefresh = [&] {
        list.RefreshAll();  // as the error path does before unwinding
        ++inner;
        throw 18;
    };
    EXPECT_THROW(list.RefreshAll(), int);
    EXPECT_EQ(inner, 1);
    EXPECT_EQ(log, (std::vector<std::string>{"a"}));
    EXPECT_FALSE(list.m_refreshing);
    a.onRefresh = nullptr;
    a.SetDirty();
    list.RefreshAll();
    EXPECT_EQ(log, (std::vector<std::string>{"a", "a", "b"}));
}

TEST_F(RefreshTest, ClientsLeavingDuringAPassAreSkippedAndHooksRunLast) {
    static std::vector<std::string>* hookLog;
    hookLog = &log;
    CRefreshList::SetRedrawAllHook(CRefreshList::kStaticTexts, [](void* c) { hookLog->push_back("texts"); });
    CRefreshList::SetRedrawAllHook(CRefreshList::kGroupBoxes, [](void* c) { hookLog->push_back("boxes"); });
    auto* doomed = new Client(list, "doomed");
    Client killer(list, "killer", true);
    killer.onRefresh = [&] { delete doomed; };
    list.RefreshAll();
    CRefreshList::SetRedrawAllHook(CRefreshList::kStaticTexts, nullptr);
    CRefreshList::SetRedrawAllHook(CRefreshList::kGroupBoxes, nullptr);
    EXPECT_EQ(log, (std::vector<std::string>{"killer", "boxes", "texts"}));
    EXPECT_EQ(list.GetCount(), 1);
}

TEST_F(RefreshTest, DueOnlyWhenRequestedEnabledAndTheIntervalPassed) {
    list.m_requested = 0;
    list.m_lastRefresh = 1000;
    EXPECT_FALSE(list.IsDue(2000));
    list.m_requested = 1;
    EXPECT_FALSE(list.IsDue(1049));
    EXPECT_TRUE(list.IsDue(1050));
    list.m_lastRefresh = 0xFFFFFFF0u;
    EXPECT_FALSE(list.IsDue(30));  // 46 ms across the wrap
    EXPECT_TRUE(list.IsDue(40));
    list.m_enabled = 0;
    EXPECT_FALSE(list.IsDue(40));
    list.m_requested = 0;
    list.RequestRefresh(100);
    EXPECT_FALSE(list.m_requested);  // disabled: no request
}

class Ticker : public CITickClient {
public:
    Ticker(std::vector<std::string>& log, const char* name, const void* drives = nullptr)
        : m_log(log), m_name(name), m_drives(drives) {}
    ~Ticker() override { m_log.push_back("~" + m_name); }
    void Tick(uint32_t now) override {
        m_log.push_back(m_name + "@" + std::to_string(now));
        if (onTick)
            onTick();
    }
    int32_t InvolvesObject(const void* location) override { return location == m_drives; }
    std::function<void()> onTick;

private:
    std::vector<std::string>& m_log;
    std::string m_name;
    const void* m_drives;
};

TEST(TickerLists, RunAnimationsMovementsCursorsNewestFirst) {
    std::vector<std::string> log;
    CTickerLists lists;
    Ticker a1(log, "a1"), a2(log, "a2"), c1(log, "c1");
    Ticker m1(log, "m1");
    lists.AddTickObject(&c1, 5);
    lists.AddAnimation(&a1, 5);
    uint32_t pa2 = lists.AddAnimation(&a2, 6);
    lists.AddMovement(&m1);
    EXPECT_EQ(a2.m_lastTick, 6u);
    EXPECT_EQ(lists.GetActiveCount(), 4);
    lists.m_lastRun = 0;
    EXPECT_FALSE(lists.IsDue(49));
    EXPECT_TRUE(lists.IsDue(50));
    lists.RunTickers(70);
    EXPECT_EQ(log, (std::vector<std::string>{"a2@70", "a1@70", "m1@70", "c1@70"}));
    EXPECT_EQ(a1.m_lastTick, 70u);
    EXPECT_EQ(c1.m_lastTick, 5u);  // a frame cursor keeps its own time

    lists.RemoveAnimation(pa2);
    lists.RemoveAnimation(pa2);  // twice: counted once
    EXPECT_EQ(lists.GetActiveCount(), 3);
    EXPECT_EQ(lists.RemoveTickObject(lists.AddTickObject(&c1, 0)), 3);
    lists.RemoveAll();
    EXPECT_EQ(lists.GetActiveCount(), 0);
    EXPECT_FALSE(lists.IsDue(1000));
}

TEST(TickerLists, TickerRemovedByAnEarlierOneIsNotRun) {
    std::vector<std::string> log;
    CTickerLists lists;
    Ticker older(log, "older"), newer(log, "newer");
    uint32_t pOlder = lists.AddAnimation(&older, 0);
    lists.AddAnimation(&newer, 0);
    newer.onTick = [&] { lists.RemoveAnimation(pOlder); };
    lists.RunTickers(9);
    EXPECT_EQ(log, (std::vector<std::string>{"newer@9"}));
    EXPECT_EQ(lists.GetActiveCount(), 1);
}

TEST(TickerLists, RemoveMovementsOfDeletesOnlyThoseDrivingTheLocation) {
    std::vector<std::string> log;
    CTickerLists lists;
    int here = 0, there = 0;
    lists.AddMovement(new Ticker(log, "h1", &here));
    lists.AddMovement(new Ticker(log, "t1", &there));
    lists.AddMovement(new Ticker(log, "h2", &here));
    lists.RemoveMovementsOf(&here);
    EXPECT_EQ(log, (std::vector<std::string>{"~h2", "~h1"}));
    EXPECT_EQ(lists.GetActiveCount(), 1);
    log.clear();
    lists.RunTickers(1);
    EXPECT_EQ(log, (std::vector<std::string>{"t1@1"}));
    lists.RemoveMovementsOf(&there);
    EXPECT_EQ(lists.GetActiveCount(), 0);
}

}  // namespace
