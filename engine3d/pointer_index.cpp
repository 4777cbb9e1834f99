#include "engine3d/pointer_index.h"

namespace {
// A power of two at least twice `n` (at most half the slots are used).
size_t SlotsFor(size_t n) {
    size_t slots = 16;
    while (slots < 2 * n) slots *= 2;
    return slots;
}
}  // namespace

LPointerIndex::LPointerIndex(size_t expected) : m_slots(SlotsFor(expected)) {}

size_t LPointerIndex::SlotOf(const void* key) const {
    // Fibonacci hashing of the address: heap addresses differ mostly in
    // their middle bits, which the multiplication spreads to the top.
    const size_t mask = m_slots.size() - 1;
    size_t i = size_t((uint64_t(reinterpret_cast<uintptr_t>(key)) * 0x9E3779B97F4A7C15ull) >> 32) & mask;
    while (m_slots[i].key && m_slots[i].key != key) i = (i + 1) & mask;
    return i;
}

int32_t LPointerIndex::Find(const void* key) const {
    if (!key) return -1;
    return m_slots[SlotOf(key)].value;
}

void LPointerIndex::Set(const void* key, int32_t value) {
    if (!key || value < 0) return;
    if (2 * (m_count + 1) > m_slots.size()) Grow();
    Slot& slot = m_slots[SlotOf(key)];
    if (!slot.key) {
        slot.key = key;
        ++m_count;
    }
    slot.value = value;
}

void LPointerIndex::Grow() {
    std::vector<Slot> old(m_slots.size() * 2);
    old.swap(m_slots);
    for (const Slot& s : old)
        if (s.key) m_slots[SlotOf(s.key)] = s;
}
