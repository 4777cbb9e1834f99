#include "runtime/base/sys_utils.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "runtime/base/alloc_fault_injection.h"

namespace {

// Disarms the allocation failure seam whatever a test leaves behind.
class SysUtils : public ::testing::Test {
protected:
    void TearDown() override { tw::testing::SetAllocFailures(0); }
};

TEST_F(SysUtils, AllocatorsRetryOnceAfterCompactingTheHeap) {
    // One failure: the retry after compaction succeeds. Two: the call fails and
    // both attempts were used up (exactly one retry).
    for (int failures : {0, 1, 2}) {
        int compactionsBefore = tw::testing::HeapCompactionCount();
        tw::testing::SetAllocFailures(failures);
        void* a = reinterpret_cast<void*>(1);
        bool ok = AllocRetry(64, &a);
        EXPECT_EQ(ok, failures < 2) << failures;
        EXPECT_EQ(a != nullptr, ok) << failures;
        EXPECT_EQ(tw::testing::AllocFailuresLeft(), 0);
        EXPECT_EQ(tw::testing::HeapCompactionCount() - compactionsBefore, failures > 0 ? 1 : 0);
        FreeAndNull(&a);

        tw::testing::SetAllocFailures(failures);
        unsigned char* c = nullptr;
        ok = CallocRetry(256, &c);
        EXPECT_EQ(ok, failures < 2) << failures;
        if (ok) {
            for (int i = 0; i < 256; ++i) ASSERT_EQ(c[i], 0) << "byte " << i;
        } else {
            EXPECT_EQ(c, nullptr);
        }
        FreeAndNull(&c);
        EXPECT_EQ(c, nullptr);
    }
}

TEST_F(SysUtils, ReallocFailingTwiceLeavesTheOldBlockUntouched) {
    char* block = nullptr;
    ASSERT_TRUE(AllocRetry(16, &block));
    std::strcpy(block, "keep me");
    char* before = block;

    tw::testing::SetAllocFailures(2);
    EXPECT_FALSE(ReallocRetry(1 << 20, &block));
    EXPECT_EQ(block, before);
    EXPECT_STREQ(block, "keep me");

    tw::testing::SetAllocFailures(1);
    ASSERT_TRUE(ReallocRetry(1 << 20, &block));
    EXPECT_STREQ(block, "keep me");
    block[(1 << 20) - 1] = 'x';  // the whole new size is usable
    FreeAndNull(&block);
}

TEST_F(SysUtils, ReallocToZeroKeepsAValidBlock) {
    // realloc(p, 0) may free p; the caller's pointer must stay owned and valid.
    void* block = nullptr;
    ASSERT_TRUE(AllocRetry(32, &block));
    ASSERT_TRUE(ReallocRetry(0, &block));
    ASSERT_NE(block, nullptr);
    FreeAndNull(&block);
    FreeAndNull(&block);  // a second free of the nulled pointer does nothing
}

TEST_F(SysUtils, AssignStringBufferReplacesTheHeldCopy) {
    char* buffer = nullptr;
    ASSERT_TRUE(AssignStringBuffer(&buffer, "first"));
    EXPECT_STREQ(buffer, "first");
    ASSERT_TRUE(AssignStringBuffer(&buffer, ""));
    EXPECT_STREQ(buffer, "");
    EXPECT_TRUE(AssignStringBuffer(&buffer, nullptr));
    EXPECT_EQ(buffer, nullptr);

    ASSERT_TRUE(AssignStringBuffer(&buffer, "held"));
    tw::testing::SetAllocFailures(2);
    EXPECT_FALSE(AssignStringBuffer(&buffer, "new"));
    EXPECT_EQ(buffer, nullptr);  // the old copy is released, not leaked
}

TEST_F(SysUtils, TrimWhitespaceInPlace) {
    struct Case { const char* in; const char* out; };
    const Case cases[] = {
        {"  \t\r\n", ""},       {"", ""},           {"abc", "abc"},
        {"\r\n a b \t", "a b"}, {"x\n", "x"},       {"\t\tlead", "lead"},
        {"in \t side", "in \t side"}, {"\v\fkeep\v", "\v\fkeep\v"},
    };
    for (const Case& c : cases) {
        char buf[32];
        std::strcpy(buf, c.in);
        EXPECT_EQ(TrimWhitespaceInPlace(buf), buf);
        EXPECT_STREQ(buf, c.out) << "for \"" << c.in << "\"";
    }
    EXPECT_EQ(TrimWhitespaceInPlace(nullptr), nullptr);
}

}  // namespace
