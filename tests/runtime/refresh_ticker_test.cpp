#include "runtime/interp/refresh_passes.h"
#include "runtime/interp/ticker_lists.h"

#include <gtest/gtest.h>
#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace {

// A redraw client of the passes: a name, flags, and what its redraw does.
struct Client {
    Client(CPoolList& list, std::vector<std::string>& log, int32_t& requested, const char* name, bool atHead = false,
           int32_t late = 0, int32_t surface = 0)
        : list(list), log(log), requested(requested), name(name), late(late), surface(surface) {
        position = atHead ? list.AddHead(reinterpret_cast<uintptr_t>(this)) : list.AddTail(reinterpret_cast<uintptr_t>(this));
    }
    ~Client() { list.RemoveAt(position); }
    void Refresh() {
        log.push_back(name);
        dirty = 0;
        if (onRefresh)
            onRefresh();
    }
    int32_t IsDirty() { return dirty; }
    int32_t IsLate() { return late; }
    void SetDirty() {
        dirty = 1;
        requested = 1;
    }
    CPoolList& list;
    std::vector<std::string>& log;
    int32_t& requested;
    std::string name;
    int32_t late, surface, dirty = 1;
    uint32_t position;
    std::function<void()> onRefresh;
};

class RefreshPassTest : public ::testing::Test {
protected:
    void Run() {
        RunRefreshPasses<Client>(list, requested, [](Client* c) { return c->surface != 0; });
    }
    Client* Make(const char* name, bool atHead = false, int32_t late = 0, int32_t surface = 0) {
        owned.push_back(std::make_unique<Client>(list, log, requested, name, atHead, late, surface));
        return owned.back().get();
    }
    CPoolList list;
    int32_t requested = 1;
    std::vector<std::string> log;
    std::vector<std::unique_ptr<Client>> owned;
};

TEST_F(RefreshPassTest, PlainThenSurfacesThenLateClients) {
    Make("late", false, 1);
    Make("surface", false, 0, 1);
    Make("plain");
    Make("first", true);
    Make("clean")->dirty = 0;
    Run();
    EXPECT_EQ(log, (std::vector<std::string>{"first", "plain", "surface", "late"}));
    EXPECT_EQ(requested, 0);
    log.clear();
    Run();  // nothing dirty
    EXPECT_TRUE(log.empty());
}

TEST_F(RefreshPassTest, WaitingSurfacesGetRoundsWhileRedrawsAskForMore) {
    Client* s1 = Make("s1", false, 0, 1);
    Client* s2 = Make("s2", false, 0, 1);
    Client* s3 = Make("s3", false, 0, 1);
    s1->dirty = s2->dirty = 0;
    // s3 draws into s2, s2 into s1: each becomes dirty after the pass met it.
    s3->onRefresh = [&] { s2->SetDirty(); };
    s2->onRefresh = [&] { s1->SetDirty(); };
    Run();
    EXPECT_EQ(log, (std::vector<std::string>{"s3", "s2", "s1"}));
    EXPECT_EQ(requested, 0);

    // A chain longer than the rounds stops after four of them.
    log.clear();
    Client* chain[6];
    for (int i = 0; i < 6; ++i) {
        chain[i] = Make("c", false, 0, 1);
        chain[i]->dirty = 0;
    }
    // Each draws into the one listed before it, so each round reaches one more.
    chain[5]->dirty = 1;
    for (int i = 1; i < 6; ++i)
        chain[i]->onRefresh = [&, i] { chain[i - 1]->SetDirty(); };
    Run();
    EXPECT_EQ(log.size(), 5u);
    EXPECT_EQ(chain[0]->dirty, 1);
}

TEST_F(RefreshPassTest, ClientsLeavingDuringAPassAreSkipped) {
    Client* killer = Make("killer", true);
    Make("doomed");
    Make("kept");
    killer->onRefresh = [&] { owned[1].reset(); };
    Run();
    EXPECT_EQ(log, (std::vector<std::string>{"killer", "kept"}));
    EXPECT_EQ(list.GetCount(), 2);
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
