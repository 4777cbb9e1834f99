#include "runtime/interp/event_queue.h"
#include "runtime/interp/interpretor.h"
#include "runtime/interp/script_object.h"

#include <gtest/gtest.h>
#include <climits>
#include <functional>
#include <vector>
#include <string>

namespace {

CFunctionRecord* Handler(uintptr_t id) {
    return reinterpret_cast<CFunctionRecord*>(id);
}

int RaisedCode(const std::function<void()>& f) {
    try {
        f();
    } catch (const CIError& e) {
        return e.code;
    }
    return -1;
}

class EventQueueTest : public ::testing::Test {
protected:
    CInterpretor interp;
    CEventQueue queue{&interp};
};

TEST_F(EventQueueTest, LimitAllowsOneOverAndRefusesTheNextWithError61) {
    CValue n(&interp, 7);
    for (int i = 0; i < 129; ++i)
        queue.Post(Handler(0x10), &n);
    EXPECT_EQ(queue.GetCount(), 129);
    EXPECT_EQ(RaisedCode([&] { queue.Post(Handler(0x10), &n); }), 61);
    EXPECT_EQ(RaisedCode([&] { queue.PostCoalesced(Handler(0x10), this, &n); }), 61);
    EXPECT_EQ(queue.GetCount(), 129);
    // Delivering one makes room again.
    queue.Remove(queue.GetCursor(), queue.GetPending()->serial);
    EXPECT_NE(queue.Post(Handler(0x10), &n), 0u);
    EXPECT_EQ(queue.GetCount(), 129);
}

TEST_F(EventQueueTest, CursorWalksOldestFirst) {
    EXPECT_EQ(queue.GetPending(), nullptr);
    CValue a(&interp, 1), b(&interp, 2), c(&interp, 3);
    uint32_t first = queue.Post(Handler(1), &a);
    queue.Post(Handler(2), &b);
    EXPECT_EQ(queue.GetCursor(), first);
    std::vector<int> seen;
    while (CEventRecord* r = queue.GetPending()) {
        seen.push_back(r->args[0].GetInt());
        if (seen.size() == 1)
            queue.Post(Handler(3), &c);  // posted "during" the first delivery
        queue.Remove(queue.GetCursor(), r->serial);
    }
    EXPECT_EQ(seen, (std::vector<int>{1, 2, 3}));
    EXPECT_FALSE(queue.HasPending());
    EXPECT_EQ(queue.GetCount(), 0);
}

TEST_F(EventQueueTest, ArgumentsAreCopiesOwnedByTheRecord) {
    CEventRecord* record;
    {
        CValue text(&interp, "clicked", 0);
        CValue number(&interp, 42);
        queue.Post(Handler(5), &text, &number);
        text.SetString("changed", 0);
        record = queue.GetPending();
    }
    ASSERT_NE(record, nullptr);
    EXPECT_EQ(record->handler, Handler(5));
    EXPECT_EQ(record->target, nullptr);
    EXPECT_EQ(record->argCount, 2u);
    EXPECT_STREQ(record->args[0].GetText(), "clicked");
    EXPECT_EQ(record->args[1].GetInt(), 42);
}

TEST_F(EventQueueTest, CoalescingKeepsOneRecordPerHandlerAndTarget) {
    int targetA = 0, targetB = 0;
    CValue x1(&interp, 10), x2(&interp, 20), x3(&interp, 30), y(&interp, 5);
    uint32_t pa = queue.PostCoalesced(Handler(7), &targetA, &x1, &y);
    EXPECT_EQ(queue.PostCoalesced(Handler(7), &targetA, &x2), pa);  // same handler and target: refilled
    uint32_t pb = queue.PostCoalesced(Handler(7), &targetB, &x3);   // another target: its own record
    uint32_t pc = queue.PostCoalesced(Handler(8), &targetA, &x3);   // another handler: its own record
    queue.Post(Handler(7), &x1);                                    // plain posts never coalesce...
    EXPECT_NE(queue.PostCoalesced(Handler(7), nullptr, &x1), 0u);  // ...nor take coalescing ones
    EXPECT_NE(pb, pa);
    EXPECT_NE(pc, pa);
    EXPECT_EQ(queue.GetCount(), 4);
    CEventRecord* a = queue.GetAt(pa);
    EXPECT_EQ(a->argCount, 1u);  // the count restarts with the refill
    EXPECT_EQ(a->args[0].GetInt(), 20);
}

TEST_F(EventQueueTest, RecordWhoseHandlerRunsIsNotRefilled) {
    int target = 0;
    CValue first(&interp, 1), second(&interp, 2);
    uint32_t p = queue.PostCoalesced(Handler(9), &target, &first);
    CEventRecord* running = queue.GetPending();
    running->inDelivery = 1;
    uint32_t q = queue.PostCoalesced(Handler(9), &target, &second);
    EXPECT_NE(q, p);
    EXPECT_EQ(running->args[0].GetInt(), 1);
    queue.Remove(p, running->serial);
    ASSERT_NE(queue.GetPending(), nullptr);
    EXPECT_EQ(queue.GetPending()->args[0].GetInt(), 2);
}

TEST_F(EventQueueTest, NullArgumentsBeforeTheLastAreOmitted) {
    CValue last(&interp, 3);
    queue.Post(Handler(1), nullptr, nullptr, &last);
    CEventRecord* r = queue.GetPending();
    EXPECT_EQ(r->argCount, 3u);
    EXPECT_TRUE(r->args[0].IsDefault());
    EXPECT_EQ(r->args[0].GetInt(), INT_MIN);
    EXPECT_STREQ(r->args[1].GetString(), "Default string");
    EXPECT_EQ(r->args[2].GetInt(), 3);

    queue.Post(Handler(2));
    queue.Remove(queue.GetCursor(), r->serial);
    EXPECT_EQ(queue.GetPending()->argCount, 0u);
}

TEST_F(EventQueueTest, ObjectArgumentsAreCountedAndDroppedWithTheRecord) {
    struct Obj : CIBaseClassImpl {
        explicit Obj(CInterpretor* i) : CIBaseClassImpl(i, nullptr, 3, true) {}
    };
    Obj* obj = new Obj(&interp);
    {
        CValue ref(obj);
        queue.Post(Handler(1), &ref);
        EXPECT_EQ(obj->m_refCount, 2);
    }
    EXPECT_EQ(obj->m_refCount, 1);
    // An object that dies while its event waits leaves integer 0 behind.
    delete obj;
    EXPECT_EQ(queue.GetPending()->args[0].GetTag(), CValue::kInt);
    queue.RemoveAll();
    EXPECT_EQ(queue.GetCount(), 0);
    EXPECT_FALSE(queue.HasPending());
}

TEST_F(EventQueueTest, RemovingAStaleRecordDeletesNothing) {
    CValue a(&interp, 1);
    uint32_t p = queue.Post(Handler(1), &a);
    uint32_t serial = queue.GetPending()->serial;
    queue.RemoveAll();         // everything released while "its handler ran"
    queue.Remove(p, serial);   // the delivery's clean-up finds nothing
    uint32_t q = queue.Post(Handler(2), &a);
    ASSERT_EQ(q, p);           // a new record at the same position (maybe even the same address)
    queue.Remove(p, serial);   // is kept
    EXPECT_EQ(queue.GetCount(), 1);
    EXPECT_EQ(queue.GetCursor(), q);
}

TEST_F(EventQueueTest, PlacesCannotBeQueued) {
    CValue place(&interp);
    place.SetReference(CValue::kMemberRef, 4);
    EXPECT_EQ(RaisedCode([&] { queue.Post(Handler(1), &place); }), 41);
    EXPECT_EQ(queue.GetCount(), 0);
}

}  // namespace
