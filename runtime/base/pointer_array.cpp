#include "runtime/base/pointer_array.h"

#include "runtime/base/os_memory.h"

#include <cstdint>
#include <cstdlib>
#include <cstring>

namespace {
// From this many words on, a storage more than twice the old one is taken
// zeroed from the system instead of grown and cleared.
const uint64_t kZeroedFromSystem = 16384;

uint64_t RoundUp16(uint64_t n) { return (n + 15) & ~uint64_t(15); }

// Words of storage for n words: a multiple of 16, doubling beyond 1024 words,
// so that an array grown one word at a time (a script filling an array in a
// loop) is reallocated a logarithmic number of times, not every 16 words.
uint64_t Capacity(uint64_t n) {
    uint64_t capacity = RoundUp16(n);
    if (capacity <= 1024)
        return capacity;
    // The next power of two (the size is called for every word a script adds).
    --capacity;
    for (int shift = 1; shift < 64; shift <<= 1)
        capacity |= capacity >> shift;
    return capacity + 1;
}
}  // namespace

int CPointerArray::SetSize(uint32_t n) {
    if (n == 0) {
        RemoveAll();
        return 1;
    }
    // The storage depends only on the size rounded up to 16 words: within one
    // such block (15 of 16 words an array grows by) it stays as it is.
    uint64_t newCapacity = RoundUp16(n) == RoundUp16(m_count) ? 0 : Capacity(n);
    if (newCapacity > SIZE_MAX / sizeof(uintptr_t))
        return 0;
    const uint64_t oldCapacity = m_count == 0 ? 0 : Capacity(m_count);
    if (newCapacity != 0 && newCapacity > 2 * oldCapacity && newCapacity >= kZeroedFromSystem && n > m_count) {
        // A jump far beyond the storage (a[0] = 1; a[1000000] = 2): fresh
        // zeroed storage, which the system hands out without touching it,
        // so that only the words the script uses cost time and memory.
        void* p = std::calloc(static_cast<std::size_t>(newCapacity), sizeof(uintptr_t));
        if (p == nullptr) {
            OsCompactHeap();
            p = std::calloc(static_cast<std::size_t>(newCapacity), sizeof(uintptr_t));
        }
        if (p == nullptr)
            return 0;
        if (m_count != 0)
            std::memcpy(p, m_items, sizeof(uintptr_t) * m_count);
        std::free(m_items);
        m_items = static_cast<uintptr_t*>(p);
        m_count = n;
        return 1;
    }
    if (newCapacity != 0 && newCapacity != oldCapacity) {
        std::size_t bytes = static_cast<std::size_t>(newCapacity) * sizeof(uintptr_t);
        void* p = std::realloc(m_items, bytes);
        if (p == nullptr) {
            OsCompactHeap();
            p = std::realloc(m_items, bytes);
        }
        if (p == nullptr)
            return 0;
        m_items = static_cast<uintptr_t*>(p);
    }
    // Every word gained reads 0, also those of the block kept from an earlier,
    // larger size.
    if (n > m_count)
        std::memset(m_items + m_count, 0, sizeof(uintptr_t) * (n - m_count));
    m_count = n;
    return 1;
}

int CPointerArray::SetAtGrow(int32_t i, uintptr_t word) {
    if (i < 0)
        return 0;
    if (static_cast<uint32_t>(i) >= m_count && !SetSize(static_cast<uint32_t>(i) + 1))
        return 0;
    m_items[i] = word;
    return 1;
}

void CPointerArray::ClearAt(int32_t i) {
    SetAt(i, 0);
}

void CPointerArray::RemoveAll() {
    std::free(m_items);
    m_items = nullptr;
    m_count = 0;
}

void CPointerArray::Swap(CPointerArray& other) {
    uint32_t count = m_count;
    uintptr_t* items = m_items;
    m_count = other.m_count;
    m_items = other.m_items;
    other.m_count = count;
    other.m_items = items;
}
