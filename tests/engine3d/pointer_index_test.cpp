// The vertex index used by the octree's passes: every key keeps its value
// through the table's growth, absent keys answer -1, a later value wins.
#include "engine3d/pointer_index.h"

#include <gtest/gtest.h>

#include <vector>

TEST(PointerIndex, KeepsEveryValueThroughGrowthAndAnswersMinusOneOtherwise) {
    // Keys a few bytes apart (as neighbouring heap objects are), far more
    // than the size given: the table grows several times.
    std::vector<int64_t> storage(5000);
    LPointerIndex index(4);
    for (size_t i = 0; i < storage.size(); i += 2) index.Set(&storage[i], int32_t(i));
    EXPECT_EQ(index.GetCount(), storage.size() / 2);
    int wrong = 0;
    for (size_t i = 0; i < storage.size(); ++i) {
        const int32_t expected = i % 2 == 0 ? int32_t(i) : -1;
        if (index.Find(&storage[i]) != expected) ++wrong;
    }
    EXPECT_EQ(wrong, 0);
    EXPECT_EQ(index.Find(nullptr), -1);

    index.Set(&storage[10], 77);  // replaced, not added
    EXPECT_EQ(index.Find(&storage[10]), 77);
    EXPECT_EQ(index.GetCount(), storage.size() / 2);
    index.Set(nullptr, 3);  // neither a null key nor a negative value is stored
    index.Set(&storage[1], -5);
    EXPECT_EQ(index.Find(&storage[1]), -1);
    EXPECT_EQ(index.GetCount(), storage.size() / 2);
}
