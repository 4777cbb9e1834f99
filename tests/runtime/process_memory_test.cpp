#include "runtime/interp/os_process_memory.h"

#include <gtest/gtest.h>

#include <cstring>
#include <vector>

namespace {

TEST(ProcessMemory, QueryFollowsTheUseCount) {
    InitProcessMemoryLock();
    InitProcessMemoryLock();  // a second start-up call is harmless
    EXPECT_EQ(GetProcessUsedMemory(), 0u);  // not open yet

    ASSERT_EQ(LoadProcessMemoryApi(), 1);
    ASSERT_EQ(LoadProcessMemoryApi(), 1);
    std::size_t before = GetProcessUsedMemory();
    EXPECT_GT(before, 64u * 1024);

    // Using 32 MB more must show in the figure.
    const std::size_t kBlock = 32u << 20;
    std::vector<char> block(kBlock);
    std::memset(block.data(), 1, kBlock);
    std::size_t during = GetProcessUsedMemory();
    EXPECT_GE(during, before + kBlock / 2) << before << " then " << during;
    EXPECT_EQ(block[kBlock - 1], 1);

    EXPECT_EQ(FreeProcessMemoryApi(), 1);
    EXPECT_GT(GetProcessUsedMemory(), 0u);  // one use is still open
    EXPECT_EQ(FreeProcessMemoryApi(), 1);
    EXPECT_EQ(GetProcessUsedMemory(), 0u);
    EXPECT_EQ(FreeProcessMemoryApi(), 1);  // an extra close does not go below zero
    ASSERT_EQ(LoadProcessMemoryApi(), 1);
    EXPECT_GT(GetProcessUsedMemory(), 0u);
    EXPECT_EQ(FreeProcessMemoryApi(), 1);
}

}  // namespace
