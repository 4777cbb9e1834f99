#include "runtime/base/pool_list.h"

#include <cstdlib>
#include <cstring>

namespace {
const uint32_t kFirstPool = 16;
const uint32_t kGrowth = 32;
}

CPoolList::~CPoolList() {
    std::free(m_pool);
}

void CPoolList::RemoveAll() {
    std::free(m_pool);
    m_pool = nullptr;
    m_freeHead = m_head = m_freeTail = m_tail = m_capacity = 0;
    m_freeCount = 0;
}

bool CPoolList::Grow() {
    uint32_t oldCapacity = m_capacity;
    uint32_t added = oldCapacity == 0 ? kFirstPool : kGrowth;
    if (oldCapacity > UINT32_MAX / 2)
        return false;
    auto* pool = static_cast<Node*>(std::realloc(m_pool, sizeof(Node) * (std::size_t(oldCapacity) + added)));
    if (pool == nullptr)
        return false;
    m_pool = pool;
    std::memset(m_pool + oldCapacity, 0, sizeof(Node) * added);
    // Chain the new nodes; node 0 of the first pool stays out of the chain.
    uint32_t first = oldCapacity == 0 ? 1 : oldCapacity;
    uint32_t last = oldCapacity + added - 1;
    for (uint32_t p = first; p <= last; ++p) {
        m_pool[p].prev = p == first ? 0 : p - 1;
        m_pool[p].next = p == last ? 0 : p + 1;
    }
    m_freeHead = first;
    m_freeTail = last;
    m_capacity = oldCapacity + added;
    m_freeCount += static_cast<int32_t>(added);
    return true;
}

uint32_t CPoolList::TakeFreeNode(uintptr_t item) {
    if (m_freeHead == 0 && !Grow())
        return 0;
    uint32_t p = m_freeHead;
    m_freeHead = m_pool[p].next;
    if (m_freeHead == 0)
        m_freeTail = 0;
    else
        m_pool[m_freeHead].prev = 0;
    Node& node = m_pool[p];
    node.prev = node.next = 0;
    node.item = item;
    node.inUse = 1;
    --m_freeCount;
    return p;
}

void CPoolList::Unlink(uint32_t position) {
    Node& node = m_pool[position];
    if (node.prev)
        m_pool[node.prev].next = node.next;
    else
        m_head = node.next;
    if (node.next)
        m_pool[node.next].prev = node.prev;
    else
        m_tail = node.prev;
    node.prev = node.next = 0;
}

void CPoolList::LinkAfter(uint32_t position, uint32_t after) {
    Node& node = m_pool[position];
    node.prev = after;
    node.next = after ? m_pool[after].next : m_head;
    if (node.next)
        m_pool[node.next].prev = position;
    else
        m_tail = position;
    if (after)
        m_pool[after].next = position;
    else
        m_head = position;
}

uint32_t CPoolList::AddTail(uintptr_t item) {
    uint32_t p = TakeFreeNode(item);
    if (p)
        LinkAfter(p, m_tail);
    return p;
}

uint32_t CPoolList::AddHead(uintptr_t item) {
    uint32_t p = TakeFreeNode(item);
    if (p)
        LinkAfter(p, 0);
    return p;
}

uint32_t CPoolList::InsertAfter(uint32_t position, uintptr_t item) {
    if (position == 0)
        return AddHead(item);
    // Linking behind a node that is not in the list would corrupt both chains.
    if (!IsUsed(position))
        return AddTail(item);
    uint32_t p = TakeFreeNode(item);
    if (p)
        LinkAfter(p, position);
    return p;
}

void CPoolList::RemoveAt(uint32_t position) {
    if (!IsValid(position))
        return;
    Node& node = m_pool[position];
    node.item = 0;
    if (!node.inUse)
        return;
    Unlink(position);
    node.inUse = 0;
    node.prev = m_freeTail;
    node.next = 0;
    if (m_freeTail)
        m_pool[m_freeTail].next = position;
    else
        m_freeHead = position;
    m_freeTail = position;
    ++m_freeCount;
}

void CPoolList::MoveAfter(uint32_t position, uint32_t after) {
    if (position == after || !IsUsed(position))
        return;
    if (after != 0 && !IsUsed(after))
        return;
    if (m_pool[position].prev == after)
        return;  // already there (after = 0: already the head)
    Unlink(position);
    LinkAfter(position, after);
}

uintptr_t CPoolList::GetNext(uint32_t& position) const {
    if (!IsValid(position))
        return 0;
    const Node& node = m_pool[position];
    position = node.next;
    return node.item;
}

uintptr_t CPoolList::GetPrev(uint32_t& position) const {
    if (!IsValid(position))
        return 0;
    const Node& node = m_pool[position];
    position = node.prev;
    return node.item;
}

void CPoolList::SetAt(uint32_t position, uintptr_t item) {
    if (IsValid(position))
        m_pool[position].item = item;
}

uint32_t CPoolList::Find(uintptr_t item) const {
    for (uint32_t p = m_head; p != 0; p = m_pool[p].next)
        if (m_pool[p].item == item)
            return p;
    return 0;
}
