#include "runtime/base/rect.h"

#include <gtest/gtest.h>

namespace {
struct PlainRect { int32_t left, top, right, bottom; };
bool Same(const CRect& r, int l, int t, int rr, int b) {
    return r.left == l && r.top == t && r.right == rr && r.bottom == b;
}
}

TEST(Rect, UnionIgnoresEmptyRectangles) {
    struct Case { CRect a, b; int result; CRect want; };
    const Case cases[] = {
        {{0, 0, 10, 10}, {5, -5, 20, 8}, 1, {0, -5, 20, 10}},
        {{0, 0, 0, 10}, {5, 5, 6, 6}, 1, {5, 5, 6, 6}},        // a empty (no width)
        {{1, 2, 3, 4}, {9, 9, 9, 20}, 1, {1, 2, 3, 4}},        // b empty
        {{4, 4, 2, 8}, {0, 5, 9, 5}, 0, {0, 0, 0, 0}},         // both empty
    };
    for (const Case& c : cases) {
        CRect r(7, 7, 7, 7);
        EXPECT_EQ(r.Union(c.a, c.b), c.result);
        EXPECT_TRUE(Same(r, c.want.left, c.want.top, c.want.right, c.want.bottom))
            << r.left << "," << r.top << "," << r.right << "," << r.bottom;
    }
}

TEST(Rect, SizeNormalizeAndConversion) {
    CRect r(10, 20, 0, 5);
    EXPECT_EQ(r.Width(), -10);
    EXPECT_EQ(r.Height(), -15);
    EXPECT_TRUE(r.IsEmpty());
    r.Normalize();
    EXPECT_TRUE(Same(r, 0, 5, 10, 20));
    EXPECT_FALSE(r.IsEmpty());
    r.SetEmpty();
    EXPECT_TRUE(Same(r, 0, 0, 0, 0));
    r.Set(1, 2, 3, 4);
    EXPECT_TRUE(Same(r, 1, 2, 3, 4));
    PlainRect plain{-1, -2, 30, 40};
    CRect copy(plain);
    EXPECT_TRUE(Same(copy, -1, -2, 30, 40));
    EXPECT_EQ(copy.Width(), 31);
}
