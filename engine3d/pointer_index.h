#pragma once
// LPointerIndex: a map from pointers to non-negative integers for one pass
// over a vertex list (a node's vertices by their place in its list). Open
// addressing in one array: indexing thousands of vertices costs no
// allocation per entry, unlike a node-based hash map.
#include <cstddef>
#include <cstdint>
#include <vector>

class LPointerIndex {
public:
    explicit LPointerIndex(size_t expected);
    // The value stored for `key`, or -1.
    int32_t Find(const void* key) const;
    // Stores `value` (>= 0) for `key`, replacing an earlier value.
    void Set(const void* key, int32_t value);
    size_t GetCount() const { return m_count; }

private:
    struct Slot {
        const void* key = nullptr;
        int32_t value = -1;
    };
    size_t SlotOf(const void* key) const;  // where key is, or the empty slot ending its probe
    void Grow();

    std::vector<Slot> m_slots;
    size_t m_count = 0;
};
