#include "runtime/base/pointer_array.h"

#include <gtest/gtest.h>

TEST(PointerArray, SetAtGrowZeroFillsTheGap) {
    CPointerArray a;
    EXPECT_EQ(a.SetAtGrow(20, 7), 1);
    EXPECT_EQ(a.GetSize(), 21u);
    for (int i = 0; i < 20; ++i)
        EXPECT_EQ(a.GetAt(i), 0u) << i;
    EXPECT_EQ(a.GetAt(20), 7u);
    EXPECT_EQ(a.SetAtGrow(-1, 5), 0);
    EXPECT_EQ(a.GetSize(), 21u);
}

TEST(PointerArray, BoundsAndRegrowth) {
    CPointerArray a;
    ASSERT_EQ(a.SetSize(10), 1);
    for (int i = 0; i < 10; ++i)
        a.SetAt(i, 100 + i);
    a.SetAt(10, 1);  // ignored
    a.SetAt(-1, 1);  // ignored
    EXPECT_EQ(a.GetAt(10), 0u);
    EXPECT_EQ(a.GetAt(-1), 0u);
    a.ClearAt(3);
    EXPECT_EQ(a.GetAt(3), 0u);

    // Shrinking and growing again inside the same 16-word block: the words
    // gained back read 0, not their old values.
    ASSERT_EQ(a.SetSize(4), 1);
    ASSERT_EQ(a.SetSize(12), 1);
    EXPECT_EQ(a.GetAt(2), 102u);
    for (int i = 4; i < 12; ++i)
        EXPECT_EQ(a.GetAt(i), 0u) << i;
    ASSERT_EQ(a.SetSize(40), 1);
    EXPECT_EQ(a.GetAt(39), 0u);
    EXPECT_EQ(a.GetAt(1), 101u);

    CPointerArray b;
    b.SetAtGrow(0, 9);
    a.Swap(b);
    EXPECT_EQ(a.GetSize(), 1u);
    EXPECT_EQ(b.GetSize(), 40u);
    ASSERT_EQ(b.SetSize(0), 1);
    EXPECT_EQ(b.GetSize(), 0u);
    EXPECT_EQ(b.GetAt(0), 0u);
}

TEST(PointerArray, GrowingWordByWordPastTheDoublingSize) {
    // One word at a time, as a script fills an array: every word kept, and
    // words gained back after a shrink inside the same storage read 0.
    CPointerArray a;
    for (int i = 0; i < 5000; ++i)
        ASSERT_EQ(a.SetAtGrow(i, 1000 + i), 1) << i;
    EXPECT_EQ(a.GetSize(), 5000u);
    for (int i = 0; i < 5000; ++i)
        ASSERT_EQ(a.GetAt(i), uintptr_t(1000 + i)) << i;
    ASSERT_EQ(a.SetSize(3000), 1);
    ASSERT_EQ(a.SetSize(6000), 1);
    EXPECT_EQ(a.GetAt(2999), 3999u);
    for (int i = 3000; i < 6000; ++i)
        ASSERT_EQ(a.GetAt(i), 0u) << i;
    ASSERT_EQ(a.SetSize(20), 1);  // far smaller storage
    EXPECT_EQ(a.GetAt(19), 1019u);
    ASSERT_EQ(a.SetSize(1100), 1);
    EXPECT_EQ(a.GetAt(20), 0u);
    EXPECT_EQ(a.GetAt(1099), 0u);
}
