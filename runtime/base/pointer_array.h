#pragma once
// CPointerArray: a growable array of machine words (pointers or integers).
// Storage is kept at a multiple of 16 words (doubling beyond 1024 words);
// words gained by growth read 0.
#include <cstdint>

class CPointerArray {
public:
    CPointerArray() = default;
    ~CPointerArray() { RemoveAll(); }
    CPointerArray(const CPointerArray&) = delete;
    CPointerArray& operator=(const CPointerArray&) = delete;

    // n = 0 frees the storage; returns 0 (nothing changed) when it cannot be allocated.
    int SetSize(uint32_t n);
    uint32_t GetSize() const { return m_count; }
    // 0 outside 0..count-1 (inline: every script array access reads a cell)
    uintptr_t GetAt(int32_t i) const { return static_cast<uint32_t>(i) < m_count ? m_items[i] : 0; }
    // ignored outside 0..count-1
    void SetAt(int32_t i, uintptr_t word) {
        if (static_cast<uint32_t>(i) < m_count)
            m_items[i] = word;
    }
    int SetAtGrow(int32_t i, uintptr_t word);  // grows to i + 1 words; 0 for i < 0 or no memory
    // SetSize(GetSize() + 1) where the storage has room for the word (it is
    // not at a multiple of 16 words): the new word reads 0. False, nothing
    // done, where SetSize is needed.
    bool GrowByOneInPlace() {
        if (m_count == 0 || (m_count & 15) == 0)
            return false;
        m_items[m_count++] = 0;
        return true;
    }
    void ClearAt(int32_t i);                   // stores 0; ignored outside 0..count-1
    void RemoveAll();
    void Swap(CPointerArray& other);

private:
    uint32_t m_count = 0;
    uintptr_t* m_items = nullptr;
};
