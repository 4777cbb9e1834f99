#include "engine3d/data_link.h"

#include "runtime/base/sys_utils.h"

namespace {
const int32_t kBucketSpan = 64;
const int32_t kBucketGrowth = 10;
}  // namespace

LDataLink::LDataLink(int32_t bucketCapacity)
    : m_buckets(nullptr),
      m_bucketCapacity(0),
      m_count(0),
      m_indexSwitch(1),
      m_head(nullptr),
      m_cursor(nullptr),
      m_tail(nullptr),
      m_indexStale(false) {
    if (bucketCapacity > 0 && CallocRetry(static_cast<size_t>(bucketCapacity) * sizeof(LDataNode*), &m_buckets))
        m_bucketCapacity = bucketCapacity;
}

LDataLink::~LDataLink() {
    FreeNodes();
    FreeAndNull(&m_buckets);
}

void LDataLink::FreeNodes() {
    for (LDataNode* node = m_head; node;) {
        LDataNode* next = node->next;
        FreeAndNull(&node);
        node = next;
    }
    m_head = m_cursor = m_tail = nullptr;
    m_count = 0;
    m_indexStale = false;
    ++m_changes;
}

int LDataLink::Clear() {
    FreeNodes();
    FreeAndNull(&m_buckets);
    m_bucketCapacity = 0;
    // Without memory the array stays absent; the next insertion grows it.
    if (CallocRetry(kBucketGrowth * sizeof(LDataNode*), &m_buckets)) m_bucketCapacity = kBucketGrowth;
    return 0;
}

LDataNode* LDataLink::GetBucketEntry(int32_t k) const {
    return k >= 0 && k < m_bucketCapacity ? m_buckets[k] : nullptr;
}

// Makes room for the entry of a node that will stand at position `count`,
// growing the array by 10 when needed. False when memory fails.
bool LDataLink::EnsureBucketFor(int32_t count) {
    if (count % kBucketSpan != 0 || count / kBucketSpan < m_bucketCapacity) return true;
    LDataNode** grown = nullptr;
    const int32_t capacity = m_bucketCapacity + kBucketGrowth;
    if (!CallocRetry(static_cast<size_t>(capacity) * sizeof(LDataNode*), &grown)) return false;
    for (int32_t k = 0; k < m_bucketCapacity; ++k) grown[k] = m_buckets[k];
    FreeAndNull(&m_buckets);
    m_buckets = grown;
    m_bucketCapacity = capacity;
    return true;
}

void LDataLink::Unlink(LDataNode* node) {
    if (node->previous) node->previous->next = node->next;
    else m_head = node->next;
    if (node->next) node->next->previous = node->previous;
    else m_tail = node->previous;
    node->previous = node->next = nullptr;
}

void LDataLink::LinkBefore(LDataNode* node, LDataNode* target) {
    if (!target) {
        node->previous = m_tail;
        node->next = nullptr;
        if (m_tail) m_tail->next = node;
        else m_head = node;
        m_tail = node;
        return;
    }
    node->previous = target->previous;
    node->next = target;
    if (target->previous) target->previous->next = node;
    else m_head = node;
    target->previous = node;
}

LDataNode* LDataLink::InsertBefore(void* value, LDataNode* position) {
    const int32_t c = m_count;
    // Room in the index first: a grown array is harmless when the node then
    // cannot be had, and nothing is linked before both succeeded.
    if (!EnsureBucketFor(c)) return nullptr;
    LDataNode* node = nullptr;
    if (!AllocRetry(sizeof(LDataNode), &node)) return nullptr;
    node->referenceCount = 0;
    node->value = value;
    LinkBefore(node, position);
    m_cursor = node;
    if (c % kBucketSpan == 0) m_buckets[c / kBucketSpan] = node;
    m_count = c + 1;
    ++m_changes;
    if (position) RebuildIndex();
    return node;
}

// After the tail is an append, which keeps the index without a rebuild.
LDataNode* LDataLink::InsertAfter(void* value, LDataNode* position) {
    return InsertBefore(value, position ? position->next : nullptr);
}

LDataNode* LDataLink::InsertAt(void* value, int32_t position) {
    LDataNode* at = position >= 0 && position < m_count ? GetNodeAt(position) : nullptr;
    return InsertAfter(value, at);
}

void LDataLink::RebuildIndex() {
    int32_t stored = 0;
    int32_t position = 0;
    for (LDataNode* node = m_head; node && stored < m_bucketCapacity; node = node->next, ++position) {
        if (position % kBucketSpan == 0) m_buckets[stored++] = node;
    }
    for (int32_t k = stored; k < m_bucketCapacity; ++k) m_buckets[k] = nullptr;
    m_indexStale = false;
}

LDataNode* LDataLink::GetNodeAt(int32_t position) {
    if (position < 0 || position >= m_count) return nullptr;
    if (m_indexStale) RebuildIndex();
    LDataNode* node = GetBucketEntry(position / kBucketSpan);
    for (int32_t steps = position % kBucketSpan; node && steps > 0; --steps) node = node->next;
    return node;
}

void* LDataLink::GetValueAt(int32_t position) {
    LDataNode* node = GetNodeAt(position);
    return node ? node->value : nullptr;
}

LDataNode* LDataLink::FindNode(const void* value) const {
    for (LDataNode* node = m_head; node; node = node->next)
        if (node->value == value) return node;
    return nullptr;
}

int32_t LDataLink::IndexOf(const void* value) const {
    int32_t position = 0;
    for (LDataNode* node = m_head; node; node = node->next, ++position)
        if (node->value == value) return position;
    return -1;
}

int32_t LDataLink::PositionOf(const LDataNode* node) const {
    int32_t position = 0;
    for (const LDataNode* n = m_head; n; n = n->next, ++position)
        if (n == node) return position;
    return -1;
}

int LDataLink::RemoveNode(LDataNode* node, int force) {
    if (!node) return 0;
    // The walk that finds the position for the index repair also proves the
    // node belongs to this list; a node of another list is left alone.
    const int32_t p = PositionOf(node);
    if (p < 0) return 0;
    if (node->referenceCount >= 2 && force != 1) {
        --node->referenceCount;
        return 0;
    }
    if (!m_indexSwitch) {
        m_indexStale = true;
    } else {
        if (m_indexStale) RebuildIndex();
        // Every entry from the first one past the removed node's position names
        // a node that moves down by one.
        for (int32_t k = (p + kBucketSpan - 1) / kBucketSpan; k < m_bucketCapacity && m_buckets[k]; ++k)
            m_buckets[k] = m_buckets[k]->next;
    }
    if (m_cursor == node) m_cursor = node->next;
    Unlink(node);
    ++m_changes;
    if (--m_count == 0 && m_bucketCapacity > 0) m_buckets[0] = nullptr;
    FreeAndNull(&node);
    return 1;
}

int32_t LDataLink::RemoveWhere(bool (*test)(const void* value, const void* context), const void* context) {
    int32_t removed = 0;
    for (LDataNode* node = m_head; node;) {
        LDataNode* next = node->next;
        if (test(node->value, context)) {
            if (m_cursor == node) m_cursor = next;
            Unlink(node);
            FreeAndNull(&node);
            --m_count;
            ++removed;
        }
        node = next;
    }
    if (removed) {
        ++m_changes;
        RebuildIndex();
    }
    return removed;
}

void LDataLink::MoveBefore(LDataNode* node, LDataNode* target) {
    if (!node || node == target) return;
    if (!target && node == m_tail) return;
    Unlink(node);
    LinkBefore(node, target);
    m_indexStale = true;
}
