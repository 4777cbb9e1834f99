#pragma once
// Scene elements whose creation reports a failed allocation as null (lights,
// sound objects, zones, blobs) take their memory from the retrying
// allocator: `new` then answers null instead of throwing, and the list that
// creates the element answers null in turn.
#include "runtime/base/sys_utils.h"

#include <cstddef>

class LRetryNew {
public:
    static void* operator new(std::size_t size) noexcept {
        void* block = nullptr;
        AllocRetry(size, &block);
        return block;
    }
    static void operator delete(void* block) noexcept { FreeAndNull(&block); }
};
