#include "runtime/base/pool_list.h"

#include <gtest/gtest.h>
#include <vector>

namespace {
std::vector<uintptr_t> Items(const CPoolList& list) {
    std::vector<uintptr_t> items;
    for (uint32_t p = list.GetHeadPosition(); p != 0;)
        items.push_back(list.GetNext(p));
    return items;
}
std::vector<uintptr_t> ItemsBackwards(const CPoolList& list) {
    std::vector<uintptr_t> items;
    for (uint32_t p = list.GetTailPosition(); p != 0;)
        items.push_back(list.GetPrev(p));
    return items;
}
using V = std::vector<uintptr_t>;
}  // namespace

TEST(PoolList, PoolGrowthAndFreeCounter) {
    CPoolList list;
    EXPECT_EQ(list.GetCapacity(), 0u);
    EXPECT_EQ(list.AddTail(100), 1u);
    EXPECT_EQ(list.GetCapacity(), 16u);
    EXPECT_EQ(list.GetFreeCounter(), 15);
    for (uint32_t i = 2; i <= 15; ++i)
        EXPECT_EQ(list.AddTail(100 + i), i);
    EXPECT_EQ(list.GetCapacity(), 16u);
    EXPECT_EQ(list.AddTail(116), 16u);
    EXPECT_EQ(list.GetCapacity(), 48u);
    EXPECT_EQ(list.GetCount(), 16);
    list.RemoveAt(4);
    list.RemoveAt(4);  // a second removal of the same node counts nothing
    EXPECT_EQ(list.GetCount(), 15);
    EXPECT_EQ(list.GetFreeCounter(), 33);

    list.RemoveAll();
    EXPECT_EQ(list.GetCapacity(), 0u);
    EXPECT_EQ(list.GetFreeCounter(), 0);
    EXPECT_TRUE(list.IsEmpty());
    EXPECT_EQ(list.AddHead(1), 1u);
}

TEST(PoolList, FreedPositionsComeBackLast) {
    CPoolList list;
    for (uintptr_t i = 1; i <= 5; ++i)
        list.AddTail(i * 10);
    list.RemoveAt(3);
    EXPECT_EQ(list.GetAt(3), 0u);  // a stale position reads 0
    EXPECT_EQ(list.AddTail(60), 6u);
    for (uint32_t p = 7; p <= 15; ++p)
        EXPECT_EQ(list.AddTail(p), p);
    EXPECT_EQ(list.AddTail(99), 3u);  // only now, before the pool grows
    EXPECT_EQ(list.GetCapacity(), 16u);
    EXPECT_EQ(list.AddTail(98), 16u);
}

TEST(PoolList, InsertMoveAndFind) {
    CPoolList list;
    uint32_t a = list.AddTail('a');
    uint32_t c = list.AddTail('c');
    uint32_t b = list.InsertAfter(a, 'b');
    uint32_t head = list.InsertAfter(0, '^');
    list.InsertAfter(1000, '$');
    EXPECT_EQ(Items(list), (V{'^', 'a', 'b', 'c', '$'}));
    EXPECT_EQ(ItemsBackwards(list), (V{'$', 'c', 'b', 'a', '^'}));
    EXPECT_EQ(list.Find('c'), c);
    EXPECT_EQ(list.Find('z'), 0u);

    list.MoveAfter(head, 0);  // already the head
    list.MoveAfter(b, a);     // already behind a
    list.MoveAfter(b, b);
    list.MoveAfter(b, 500);
    EXPECT_EQ(Items(list), (V{'^', 'a', 'b', 'c', '$'}));
    list.MoveAfter(c, 0);
    list.MoveAfter(head, list.GetTailPosition());
    EXPECT_EQ(Items(list), (V{'c', 'a', 'b', '$', '^'}));
    EXPECT_EQ(list.GetAt(b), uintptr_t('b'));  // positions never change
    list.SetAt(b, 'B');
    list.SetAt(0, 'X');
    EXPECT_EQ(list.GetAt(b), uintptr_t('B'));

    // Inserting behind a node that left the list appends instead of corrupting.
    list.RemoveAt(a);
    list.InsertAfter(a, 'z');
    EXPECT_EQ(Items(list), (V{'c', 'B', '$', '^', 'z'}));
}

TEST(PoolList, WalkingAndRemoving) {
    CPoolList list;
    uint32_t zero = 0;
    EXPECT_EQ(list.GetNext(zero), 0u);
    EXPECT_EQ(zero, 0u);
    for (uintptr_t i = 1; i <= 6; ++i)
        list.AddTail(i);
    uint32_t bad = 77;
    EXPECT_EQ(list.GetPrev(bad), 0u);
    EXPECT_EQ(bad, 77u);

    // Remove every even item during the walk: the position was advanced first.
    for (uint32_t p = list.GetHeadPosition(); p != 0;) {
        uint32_t here = p;
        uintptr_t item = list.GetNext(p);
        if (item % 2 == 0)
            list.RemoveAt(here);
    }
    EXPECT_EQ(Items(list), (V{1, 3, 5}));
    EXPECT_EQ(list.GetCount(), 3);
}
