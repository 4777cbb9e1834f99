#include "runtime/interp/variable_table.h"

#include "runtime/base/os_memory.h"

#include <cstdlib>

CVariableTable::~CVariableTable() {
    RemoveAll();
}

void CVariableTable::RemoveAll() {
    std::free(m_pool);
    m_pool = nullptr;
    for (Bucket& b : m_buckets)
        b = Bucket{0, 0};
    m_capacity = 0;
    m_freeCount = 0;
    m_freeHead = 0;
    m_freeTail = 0;
    m_count = 0;
    m_maxLevel = 0;
}

bool CVariableTable::Grow() {
    uint32_t oldCapacity = m_capacity;
    uint32_t capacity = oldCapacity == 0 ? 16 : oldCapacity + 32;
    void* p = std::realloc(m_pool, sizeof(Node) * capacity);
    if (p == nullptr) {
        OsCompactHeap();
        p = std::realloc(m_pool, sizeof(Node) * capacity);
        if (p == nullptr)
            return false;
    }
    m_pool = static_cast<Node*>(p);
    // Node 0 is never used; the new nodes join the free chain in order.
    uint32_t first = oldCapacity == 0 ? 1 : oldCapacity;
    if (oldCapacity == 0)
        m_pool[0] = Node{0, 0, nullptr, 0};
    for (uint32_t i = first; i < capacity; ++i) {
        m_pool[i] = Node{m_freeTail, 0, nullptr, 0};
        if (m_freeTail != 0)
            m_pool[m_freeTail].next = i;
        else
            m_freeHead = i;
        m_freeTail = i;
    }
    m_freeCount += static_cast<int32_t>(capacity - oldCapacity);
    m_capacity = capacity;
    return true;
}

uint32_t CVariableTable::Add(CVariable* item, uint32_t key) {
    if (m_freeHead == 0 && !Grow())
        return 0;
    uint32_t position = m_freeHead;
    Node& node = m_pool[position];
    m_freeHead = node.next;
    if (m_freeHead != 0)
        m_pool[m_freeHead].prev = 0;
    else
        m_freeTail = 0;
    --m_freeCount;

    Bucket& bucket = m_buckets[key & 7];
    node.prev = 0;
    node.next = bucket.head;
    node.item = item;
    node.key = key;
    if (bucket.head != 0)
        m_pool[bucket.head].prev = position;
    else
        bucket.tail = position;
    bucket.head = position;
    ++m_count;
    if (item != nullptr && item->level > m_maxLevel)
        m_maxLevel = item->level;
    return position;
}

void CVariableTable::RemoveAt(uint32_t position) {
    if (position == 0 || position >= m_capacity || m_pool[position].item == nullptr)
        return;
    Node& node = m_pool[position];
    Bucket& bucket = m_buckets[node.key & 7];
    if (node.prev != 0)
        m_pool[node.prev].next = node.next;
    else
        bucket.head = node.next;
    if (node.next != 0)
        m_pool[node.next].prev = node.prev;
    else
        bucket.tail = node.prev;
    node.item = nullptr;
    node.key = 0;
    node.prev = m_freeTail;
    node.next = 0;
    if (m_freeTail != 0)
        m_pool[m_freeTail].next = position;
    else
        m_freeHead = position;
    m_freeTail = position;
    ++m_freeCount;
    --m_count;
}

uint32_t CVariableTable::GetKeyAt(uint32_t position) const {
    return position != 0 && position < m_capacity ? m_pool[position].key : 0;
}
