#pragma once
// CPoolList: a doubly linked list of opaque items whose nodes live in one
// growable pool. A node's index in the pool is its position: positions are
// 1-based, stable while the node is in the list, and a freed position comes back
// only after every other free node was used (freed nodes join the tail of the
// free chain, insertions take its head). Position 0 means "none".
//
// The pool starts with 16 nodes (node 0 is never used) and grows by 32 when an
// insertion finds no free node. The free counter drops by one per insertion and
// rises by one per removal, by 16 for the first pool and by 32 per growth, so
// capacity - free counter is the number of items in the list.
#include <cstdint>

class CPoolList {
public:
    struct Node {
        uint32_t prev;
        uint32_t next;
        uintptr_t item;
        uint32_t inUse;  // 1 while the node is in the list
    };

    CPoolList() = default;
    ~CPoolList();
    CPoolList(const CPoolList&) = delete;
    CPoolList& operator=(const CPoolList&) = delete;

    void RemoveAll();  // frees the pool and zeroes the header

    // Each returns the new position, or 0 when the pool cannot grow.
    uint32_t AddTail(uintptr_t item);
    uint32_t AddHead(uintptr_t item);
    // 0 inserts at the head, a position beyond the pool at the tail; a position
    // that is not in the list (a freed node) also appends at the tail.
    uint32_t InsertAfter(uint32_t position, uintptr_t item);

    void RemoveAt(uint32_t position);
    void MoveAfter(uint32_t position, uint32_t after);

    // Item at position, advancing position to the next (previous) node; an
    // invalid position returns 0 and stays as it is.
    uintptr_t GetNext(uint32_t& position) const;
    uintptr_t GetPrev(uint32_t& position) const;
    // Inline: every script array access finds its array here.
    uintptr_t GetAt(uint32_t position) const { return IsValid(position) ? m_pool[position].item : 0; }
    void SetAt(uint32_t position, uintptr_t item);
    uint32_t Find(uintptr_t item) const;

    uint32_t GetHeadPosition() const { return m_head; }
    uint32_t GetTailPosition() const { return m_tail; }
    uint32_t GetCapacity() const { return m_capacity; }
    int32_t GetFreeCounter() const { return m_freeCount; }
    int32_t GetCount() const { return static_cast<int32_t>(m_capacity) - m_freeCount; }
    bool IsEmpty() const { return m_head == 0; }

private:
    bool IsValid(uint32_t position) const { return position >= 1 && position < m_capacity; }
    bool IsUsed(uint32_t position) const { return IsValid(position) && m_pool[position].inUse; }
    uint32_t TakeFreeNode(uintptr_t item);  // 0 when the pool cannot grow
    bool Grow();
    void Unlink(uint32_t position);
    void LinkAfter(uint32_t position, uint32_t after);  // after = 0: at the head

    uint32_t m_freeHead = 0;
    uint32_t m_head = 0;
    uint32_t m_freeTail = 0;
    uint32_t m_tail = 0;
    uint32_t m_capacity = 0;
    int32_t m_freeCount = 0;
    Node* m_pool = nullptr;
};
