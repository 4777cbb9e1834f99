#include "runtime/win32/global_memory.h"

#include <gtest/gtest.h>

namespace {

TEST(GlobalMemory, LockedBlockIsZeroFilledAndFreedByPointer) {
    for (SIZE_T size : {SIZE_T(1), SIZE_T(4096), SIZE_T(1) << 20}) {
        void* p = reinterpret_cast<void*>(1);
        ASSERT_TRUE(GlobalAllocLocked(size, &p)) << size;
        ASSERT_NE(p, nullptr);
        const unsigned char* bytes = static_cast<const unsigned char*>(p);
        for (SIZE_T i = 0; i < size; ++i) ASSERT_EQ(bytes[i], 0) << "byte " << i << " of " << size;
        HGLOBAL handle = GlobalHandle(p);
        ASSERT_NE(handle, nullptr);
        EXPECT_GE(GlobalSize(handle), size);
        EXPECT_EQ(GlobalFlags(handle) & GMEM_LOCKCOUNT, 1u);  // locked once
        GlobalFreeLocked(&p);
        EXPECT_EQ(p, nullptr);
    }
    void* none = nullptr;
    GlobalFreeLocked(&none);  // nothing to free
    EXPECT_EQ(none, nullptr);
}

}  // namespace
