#pragma once
// CVariableTable: the script variables of one scope object (the interpreter's
// globals, a function call's locals, the members of a script-defined object),
// found by name reference.
//
// A pooled list like CPoolList (1-based node positions, a pool that starts with
// 16 nodes and doubles, freed nodes joining a free chain) hashed into buckets:
// 8 at first, doubled whenever the table holds more variables than buckets,
// so that a name is found in constant time however many variables the table
// holds. A new variable goes to the head of its bucket, so a newer variable
// of the same name (a declaration in an inner block) is found before the
// older one; rehashing keeps that order.
#include "runtime/interp/script_value.h"

#include <cstdint>

// One variable: its value and the block depth at which it was created.
struct CVariable {
    explicit CVariable(CInterpretor* owner) : value(owner) {}
    CValue value;
    int32_t level = 0;
    int32_t spare = 0;
};

class CVariableTable {
public:
    static constexpr uint32_t kFirstBucketBits = 3;

    CVariableTable() = default;
    ~CVariableTable();
    CVariableTable(const CVariableTable&) = delete;
    CVariableTable& operator=(const CVariableTable&) = delete;

    // Position of the new node, 0 when the pool cannot grow.
    uint32_t Add(CVariable* item, uint32_t key);
    // The node goes to the free chain; the item is not deleted.
    void RemoveAt(uint32_t position);
    // Walks one bucket: the item at position, position advanced; 0 at the end.
    // Inline: every call's end walks its scope's table.
    CVariable* GetNext(uint32_t& position) const {
        if (position == 0 || position >= m_capacity)
            return nullptr;
        const Node& node = m_pool[position];
        position = node.next;
        return node.item;
    }
    // Every node is in one of the buckets 0 .. GetBucketCount() - 1.
    int GetBucketCount() const { return m_buckets != nullptr ? 1 << m_bucketBits : 0; }
    uint32_t GetBucketHead(int bucket) const { return m_buckets[bucket].head; }
    uint32_t GetKeyAt(uint32_t position) const;
    // Newest variable of that name, null when none. Inline: each name the
    // interpreter has not remembered is looked up here, table after table.
    CVariable* Find(uint32_t key) const {
        if (m_buckets == nullptr)
            return nullptr;
        for (uint32_t p = m_buckets[BucketOf(key)].head; p != 0; p = m_pool[p].next) {
            if (m_pool[p].key == key)
                return m_pool[p].item;
        }
        return nullptr;
    }
    // Frees the pool and zeroes the table (the items are not deleted).
    void RemoveAll();
    int32_t GetCount() const { return m_count; }

    // Highest block level a variable was added with since the table was last
    // cut down to a lower level; lets dropping a level skip tables with nothing
    // at or above it.
    int32_t m_maxLevel = 0;

private:
    struct Node {
        uint32_t prev;
        uint32_t next;
        CVariable* item;
        uint32_t key;
    };
    struct Bucket {
        uint32_t head;
        uint32_t tail;
    };

    bool Grow();
    bool Rehash(uint32_t bits);
    void LinkAtTail(uint32_t position);
    // Fibonacci hashing: name references differ in their low bits and in
    // their table number (bits 16 and up); the product spreads both.
    uint32_t BucketOf(uint32_t key) const { return (key * 0x9E3779B1u) >> (32 - m_bucketBits); }

    Bucket* m_buckets = nullptr;
    uint32_t m_bucketBits = kFirstBucketBits;
    Node* m_pool = nullptr;
    uint32_t m_capacity = 0;
    int32_t m_freeCount = 0;
    uint32_t m_freeHead = 0;
    uint32_t m_freeTail = 0;
    int32_t m_count = 0;
};
