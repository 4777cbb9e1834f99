#include "engine3d/data_link.h"

#include "runtime/base/alloc_fault_injection.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <iterator>
#include <list>
#include <memory>
#include <random>
#include <vector>

namespace {
void* V(uintptr_t n) { return reinterpret_cast<void*>(n); }

// Links, ends and positional access all agree with the expected values.
void ExpectList(LDataLink& list, const std::vector<void*>& expected) {
    ASSERT_EQ(list.GetCount(), static_cast<int32_t>(expected.size()));
    EXPECT_EQ(list.GetHead() == nullptr, expected.empty());
    EXPECT_EQ(list.GetTail() == nullptr, expected.empty());
    const LDataNode* previous = nullptr;
    size_t i = 0;
    for (const LDataNode* n = list.GetHead(); n; previous = n, n = n->next, ++i) {
        ASSERT_LT(i, expected.size());
        EXPECT_EQ(n->previous, previous);
        EXPECT_EQ(n->value, expected[i]);
    }
    EXPECT_EQ(list.GetTail(), previous);
    for (int32_t p = 0; p < list.GetCount(); ++p) {
        LDataNode* node = list.GetNodeAt(p);
        ASSERT_NE(node, nullptr) << "position " << p;
        ASSERT_EQ(node->value, expected[p]) << "position " << p;
    }
    EXPECT_EQ(list.GetNodeAt(list.GetCount()), nullptr);
    EXPECT_EQ(list.GetNodeAt(-1), nullptr);
}

// Bucket entry k is the node at 64*k, the rest null.
void ExpectIndex(const LDataLink& list) {
    const LDataNode* n = list.GetHead();
    int32_t k = 0;
    for (int32_t p = 0; n; n = n->next, ++p)
        if (p % 64 == 0) EXPECT_EQ(list.GetBucketEntry(k++), n) << "entry " << k - 1;
    for (; k < list.GetBucketCapacity(); ++k) EXPECT_EQ(list.GetBucketEntry(k), nullptr) << "entry " << k;
}

std::vector<LDataNode*> Append(LDataLink& list, int n, uintptr_t first = 1) {
    std::vector<LDataNode*> nodes;
    for (int i = 0; i < n; ++i) nodes.push_back(list.InsertAt(V(first + i), -1));
    return nodes;
}
}  // namespace

TEST(DataLink, RandomSequenceMatchesStdList) {
    std::mt19937 rng(20240611);
    LDataLink list(0);
    std::list<void*> model;
    uintptr_t next = 1;
    auto pick = [&](int n) { return static_cast<int>(rng() % static_cast<unsigned>(n)); };
    auto nodeAt = [&](int p) { return list.GetNodeAt(p); };
    for (int step = 0; step < 1500; ++step) {
        const int n = static_cast<int>(model.size());
        switch (pick(n > 150 ? 9 : 6)) {
        case 0: {  // positional insert, out of range appends
            const int p = pick(n + 5) - 2;
            list.InsertAt(V(next), p);
            if (p >= 0 && p < n) model.insert(std::next(model.begin(), p + 1), V(next));
            else model.push_back(V(next));
            ++next;
            break;
        }
        case 1: {
            const int p = pick(n + 1);
            LDataNode* at = p < n ? nodeAt(p) : nullptr;
            LDataNode* inserted = list.InsertAfter(V(next), at);
            EXPECT_EQ(inserted, list.GetCursor());
            if (at) model.insert(std::next(model.begin(), p + 1), V(next));
            else model.push_back(V(next));
            ++next;
            break;
        }
        case 2: {
            const int p = pick(n + 1);
            LDataNode* at = p < n ? nodeAt(p) : nullptr;
            list.InsertBefore(V(next), at);
            model.insert(std::next(model.begin(), p), V(next++));
            break;
        }
        case 3: case 6: {  // removal with reference counts, forced or not
            if (!n) break;
            const int p = pick(n);
            LDataNode* node = nodeAt(p);
            const uint8_t references = static_cast<uint8_t>(pick(4));
            const int force = pick(2);
            node->referenceCount = references;
            const bool freed = references < 2 || force == 1;
            ASSERT_EQ(list.RemoveNode(node, force), freed ? 1 : 0);
            if (freed) model.erase(std::next(model.begin(), p));
            else EXPECT_EQ(node->referenceCount, references - 1);
            break;
        }
        case 4: {  // move, sometimes followed by an explicit rebuild
            if (!n) break;
            const int p = pick(n), t = pick(n + 1);
            LDataNode* node = nodeAt(p);
            LDataNode* target = t < n ? nodeAt(t) : nullptr;
            LDataNode* cursor = list.GetCursor();
            list.MoveBefore(node, target);
            EXPECT_EQ(list.GetCursor(), cursor);
            if (node != target) {
                auto from = std::next(model.begin(), p);
                auto to = t < n ? std::next(model.begin(), t) : model.end();
                model.splice(to, model, from);
            }
            if (pick(2)) {
                list.RebuildIndex();
                ExpectIndex(list);
            }
            break;
        }
        case 5: case 7: case 8: {  // cursor walk removing the current node
            if (!n) break;
            const int p = pick(n);
            LDataNode* cursor = list.Rewind();
            for (int i = 0; i < p; ++i) cursor = list.Advance();
            LDataNode* following = cursor->next;
            ASSERT_EQ(list.RemoveNode(cursor, 1), 1);
            EXPECT_EQ(list.GetCursor(), following);
            model.erase(std::next(model.begin(), p));
            break;
        }
        }
        ExpectList(list, std::vector<void*>(model.begin(), model.end()));
        if (HasFailure()) FAIL() << "after step " << step;
    }
    list.RebuildIndex();
    ExpectIndex(list);
}

TEST(DataLink, CasesOfTheBucketIndex) {
    {  // capacity 0 grows to 10 on the first append; 64, 65, 641 appends
        LDataLink list(0);
        EXPECT_EQ(list.GetBucketCapacity(), 0);
        auto nodes = Append(list, 1);
        EXPECT_EQ(list.GetBucketCapacity(), 10);
        auto more = Append(list, 63, 2);
        nodes.insert(nodes.end(), more.begin(), more.end());
        EXPECT_EQ(list.GetBucketEntry(0), nodes[0]);
        EXPECT_EQ(list.GetBucketEntry(1), nullptr);
        LDataNode* n65 = list.InsertAt(V(65), -1);
        EXPECT_EQ(list.GetBucketEntry(1), n65);
        Append(list, 640 - 65, 66);
        EXPECT_EQ(list.GetBucketCapacity(), 10);
        LDataNode* n641 = list.InsertAt(V(641), 1000);
        EXPECT_EQ(list.GetBucketCapacity(), 20);
        EXPECT_EQ(list.GetBucketEntry(10), n641);
        EXPECT_EQ(list.GetNodeAt(640), n641);
    }
    {  // InsertAt(v, 0) lands at 1; on an empty list it is the only node
        LDataLink list(0);
        list.InsertAt(V(7), 0);
        ExpectList(list, {V(7)});
        Append(list, 2, 8);
        list.InsertAt(V(99), 0);
        ExpectList(list, {V(7), V(99), V(8), V(9)});
    }
    {  // reference count 3: without force 2 and 0, with force freed and 1
        LDataLink list(0);
        auto nodes = Append(list, 3);
        nodes[1]->referenceCount = 3;
        EXPECT_EQ(list.RemoveNode(nodes[1], 0), 0);
        EXPECT_EQ(nodes[1]->referenceCount, 2);
        EXPECT_EQ(list.GetCount(), 3);
        EXPECT_EQ(list.RemoveNode(nodes[1], 1), 1);
        ExpectList(list, {V(1), V(3)});
        EXPECT_EQ(list.RemoveNode(nullptr, 1), 0);
    }
    {  // removing the 10th of 130 shifts entries 1 and 2
        LDataLink list(0);
        auto nodes = Append(list, 130);
        EXPECT_EQ(list.RemoveNode(nodes[9], 0), 1);
        EXPECT_EQ(list.GetBucketEntry(0), nodes[0]);
        EXPECT_EQ(list.GetBucketEntry(1), nodes[65]);
        EXPECT_EQ(list.GetBucketEntry(2), nodes[129]);
        EXPECT_EQ(list.GetNodeAt(64), nodes[65]);
        // Removing an entry's own node replaces it by its successor.
        EXPECT_EQ(list.RemoveNode(nodes[65], 0), 1);
        EXPECT_EQ(list.GetBucketEntry(1), nodes[66]);
        EXPECT_EQ(list.GetBucketEntry(2), nullptr);
        ExpectIndex(list);
    }
    {  // removing the last node leaves head, tail, cursor and entry 0 null
        LDataLink list(0);
        auto nodes = Append(list, 1);
        EXPECT_EQ(list.GetCursor(), nodes[0]);
        EXPECT_EQ(list.RemoveNode(nodes[0], 0), 1);
        EXPECT_EQ(list.GetHead(), nullptr);
        EXPECT_EQ(list.GetTail(), nullptr);
        EXPECT_EQ(list.GetCursor(), nullptr);
        EXPECT_EQ(list.GetBucketEntry(0), nullptr);
    }
    {  // Clear of 200 leaves capacity 10 and the values untouched
        int values[200];
        for (int i = 0; i < 200; ++i) values[i] = i * 3;
        LDataLink list(0);
        for (int& v : values) list.InsertAt(&v, -1);
        EXPECT_EQ(list.GetBucketCapacity(), 10);
        EXPECT_EQ(list.Clear(), 0);
        EXPECT_EQ(list.GetCount(), 0);
        EXPECT_EQ(list.GetBucketCapacity(), 10);
        EXPECT_EQ(list.GetHead(), nullptr);
        EXPECT_EQ(list.GetCursor(), nullptr);
        for (int i = 0; i < 200; ++i) EXPECT_EQ(values[i], i * 3);
    }
}

TEST(DataLink, LookupsAndBadPositions) {
    LDataLink list(4);
    EXPECT_EQ(list.GetBucketCapacity(), 4);
    Append(list, 5, 10);
    EXPECT_EQ(list.GetNodeAt(-5), nullptr);
    EXPECT_EQ(list.GetNodeAt(5), nullptr);
    EXPECT_EQ(list.GetValueAt(2), V(12));
    EXPECT_EQ(list.GetValueAt(9), nullptr);
    EXPECT_EQ(list.IndexOf(V(13)), 3);
    EXPECT_EQ(list.IndexOf(V(99)), -1);
    EXPECT_EQ(list.FindNode(V(14)), list.GetTail());
    EXPECT_EQ(list.FindNode(V(99)), nullptr);
    LDataNode* second = list.GetNodeAt(1);
    list.MoveBefore(second, second);  // node = target: nothing
    list.MoveBefore(list.GetTail(), nullptr);
    ExpectList(list, {V(10), V(11), V(12), V(13), V(14)});
    list.MoveBefore(list.GetHead(), nullptr);
    list.MoveBefore(list.GetTail(), list.GetHead());
    list.MoveBefore(second, nullptr);
    ExpectList(list, {V(10), V(12), V(13), V(14), V(11)});
}

// A sprite list reordered by moving its head elsewhere, then that sprite
// deleted: positional access must not meet the freed node (ASan sees it).
TEST(DataLink, PositionalAccessAfterMovingAndDeletingTheHead) {
    struct Sprite {
        int id;
    };
    LDataLink sprites(0);
    for (int i = 0; i < 130; ++i) sprites.InsertAt(new Sprite{i}, -1);
    LDataNode* first = sprites.GetHead();
    sprites.MoveBefore(first, nullptr);  // to the back of the drawing order
    delete static_cast<Sprite*>(first->value);
    EXPECT_EQ(sprites.RemoveNode(first, 0), 1);
    // The next positional walk, as deleting sprites by position does.
    for (int p = 0; p < sprites.GetCount(); ++p)
        EXPECT_EQ(static_cast<Sprite*>(sprites.GetValueAt(p))->id, p + 1);
    // The same with a moved node in the middle of a bucket, removed without the index switch.
    LDataNode* moved = sprites.GetNodeAt(64);
    sprites.MoveBefore(moved, sprites.GetHead());
    sprites.SetIndexSwitch(0);
    delete static_cast<Sprite*>(moved->value);
    EXPECT_EQ(sprites.RemoveNode(moved, 0), 1);
    sprites.SetIndexSwitch(1);
    std::vector<void*> expected;
    for (LDataNode* n = sprites.GetHead(); n; n = n->next) expected.push_back(n->value);
    ExpectList(sprites, expected);
    ExpectIndex(sprites);
    while (LDataNode* n = sprites.GetHead()) {
        delete static_cast<Sprite*>(n->value);
        sprites.RemoveNode(n, 1);
    }
}

TEST(DataLink, NodeOfAnotherListIsNotRemoved) {
    LDataLink a(0), b(0);
    Append(a, 3, 1);
    auto bNodes = Append(b, 3, 10);
    bNodes[1]->referenceCount = 3;
    EXPECT_EQ(a.RemoveNode(bNodes[1], 0), 0);
    EXPECT_EQ(bNodes[1]->referenceCount, 3);
    EXPECT_EQ(a.RemoveNode(bNodes[0], 1), 0);
    a.SetIndexSwitch(0);
    EXPECT_EQ(a.RemoveNode(bNodes[2], 1), 0);
    ExpectList(a, {V(1), V(2), V(3)});
    ExpectList(b, {V(10), V(11), V(12)});
}

TEST(DataLink, FailedAllocationLeavesTheListAsItWas) {
    struct Disarm {
        ~Disarm() { tw::testing::SetAllocFailures(0); }
    } disarm;
    {  // no memory for the grown bucket array (640 nodes fill 10 entries)
        LDataLink list(0);
        Append(list, 640);
        LDataNode* tail = list.GetTail();
        LDataNode* cursor = list.GetCursor();
        tw::testing::SetAllocFailures(2);  // the attempt and its retry
        EXPECT_EQ(list.InsertAt(V(9999), -1), nullptr);
        tw::testing::SetAllocFailures(0);
        EXPECT_EQ(list.GetCount(), 640);
        EXPECT_EQ(list.GetBucketCapacity(), 10);
        EXPECT_EQ(list.GetTail(), tail);
        EXPECT_EQ(list.GetCursor(), cursor);
        EXPECT_EQ(tail->next, nullptr);
        EXPECT_NE(list.InsertAt(V(9999), -1), nullptr);
        EXPECT_EQ(list.GetBucketCapacity(), 20);
        EXPECT_EQ(list.GetValueAt(640), V(9999));
    }
    {  // no memory for the node
        LDataLink list(0);
        Append(list, 3);
        LDataNode* head = list.GetHead();
        tw::testing::SetAllocFailures(4);
        EXPECT_EQ(list.InsertBefore(V(50), head), nullptr);
        EXPECT_EQ(list.InsertAt(V(51), 1), nullptr);
        tw::testing::SetAllocFailures(0);
        ExpectList(list, {V(1), V(2), V(3)});
        EXPECT_EQ(list.GetHead(), head);
    }
}

// RemoveWhere drops every accepted node in one walk (shared nodes too), keeps
// the order, the positional index and the cursor right; every change moves
// the change count on.
TEST(DataLink, RemoveWhereAndTheChangeCount) {
    LDataLink list;
    std::vector<int> values(300);
    for (int i = 0; i < 300; ++i) {
        values[size_t(i)] = i;
        list.InsertAfter(&values[size_t(i)], nullptr);
    }
    list.GetHead()->referenceCount = 3;  // shared: removed all the same
    list.SetCursor(list.GetNodeAt(3));   // removed: the cursor moves on to 4
    const uint32_t before = list.GetChangeCount();
    const auto everyThird = [](const void* v, const void*) { return *static_cast<const int*>(v) % 3 == 0; };
    EXPECT_EQ(list.RemoveWhere(everyThird, nullptr), 100);
    EXPECT_NE(list.GetChangeCount(), before);
    ASSERT_EQ(list.GetCount(), 200);
    EXPECT_EQ(*static_cast<int*>(list.GetCursor()->value), 4);
    for (int32_t k = 0; k < 200; ++k) {
        const int expected = k / 2 * 3 + 1 + k % 2;
        EXPECT_EQ(*static_cast<int*>(list.GetValueAt(k)), expected) << k;
    }
    const uint32_t after = list.GetChangeCount();
    EXPECT_EQ(list.RemoveWhere(everyThird, nullptr), 0);
    EXPECT_EQ(list.GetChangeCount(), after);
    list.RemoveNode(list.GetHead(), 1);
    EXPECT_NE(list.GetChangeCount(), after);
}
