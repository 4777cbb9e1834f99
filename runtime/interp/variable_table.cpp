#include "runtime/interp/variable_table.h"

#include "runtime/base/os_memory.h"

#include <cstdlib>

namespace {
// malloc/realloc with one retry after compacting the heap.
void* Reallocate(void* block, std::size_t bytes) {
    void* p = std::realloc(block, bytes);
    if (p == nullptr) {
        OsCompactHeap();
        p = std::realloc(block, bytes);
    }
    return p;
}
}  // namespace

CVariableTable::~CVariableTable() {
    RemoveAll();
}

void CVariableTable::RemoveAll() {
    std::free(m_pool);
    std::free(m_buckets);
    m_pool = nullptr;
    m_buckets = nullptr;
    m_bucketBits = kFirstBucketBits;
    m_capacity = 0;
    m_freeCount = 0;
    m_freeHead = 0;
    m_freeTail = 0;
    m_count = 0;
    m_maxLevel = 0;
}

bool CVariableTable::Grow() {
    uint32_t oldCapacity = m_capacity;
    uint32_t capacity = oldCapacity == 0 ? 16 : oldCapacity * 2;
    if (capacity <= oldCapacity || capacity > SIZE_MAX / sizeof(Node))
        return false;
    void* p = Reallocate(m_pool, sizeof(Node) * capacity);
    if (p == nullptr)
        return false;
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

void CVariableTable::LinkAtTail(uint32_t position) {
    Node& node = m_pool[position];
    Bucket& bucket = m_buckets[BucketOf(node.key)];
    node.prev = bucket.tail;
    node.next = 0;
    if (bucket.tail != 0)
        m_pool[bucket.tail].next = position;
    else
        bucket.head = position;
    bucket.tail = position;
}

bool CVariableTable::Rehash(uint32_t bits) {
    Bucket* fresh = static_cast<Bucket*>(std::calloc(std::size_t(1) << bits, sizeof(Bucket)));
    if (fresh == nullptr) {
        OsCompactHeap();
        fresh = static_cast<Bucket*>(std::calloc(std::size_t(1) << bits, sizeof(Bucket)));
        if (fresh == nullptr)
            return false;
    }
    Bucket* old = m_buckets;
    const int oldCount = GetBucketCount();
    m_buckets = fresh;
    m_bucketBits = bits;
    // Each old bucket from head to tail, appended at the new tails: nodes of
    // one key keep their order (newest first).
    for (int b = 0; b < oldCount; ++b) {
        for (uint32_t p = old[b].head; p != 0;) {
            uint32_t next = m_pool[p].next;
            LinkAtTail(p);
            p = next;
        }
    }
    std::free(old);
    return true;
}

uint32_t CVariableTable::Add(CVariable* item, uint32_t key) {
    if (m_buckets == nullptr && !Rehash(kFirstBucketBits))
        return 0;
    // More variables than buckets: twice the buckets (when that fails the
    // table goes on with longer chains).
    if (static_cast<uint32_t>(m_count) >= (1u << m_bucketBits) && m_bucketBits < 30)
        Rehash(m_bucketBits + 1);
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

    Bucket& bucket = m_buckets[BucketOf(key)];
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
    Bucket& bucket = m_buckets[BucketOf(node.key)];
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
