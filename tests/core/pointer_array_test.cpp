#include "runtime/pointer_array.h"

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
