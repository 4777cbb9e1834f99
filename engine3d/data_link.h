#pragma once
// LDataLink: the one list type of the 3D engine. A doubly linked list of nodes
// that each carry one opaque value (the list never owns or destroys a value),
// plus a bucket index: entry k holds the node at position 64*k, so the node at
// any position is reached after one array lookup and at most 63 steps.
//
// Iteration: an owner sets the cursor to the head and then repeatedly to the
// cursor's next node. RemoveNode moves the cursor on when it removes the
// cursor's node, so the current element may be removed during such a walk.
//
// Reference counts: a node starts at 0; owners that share one element among
// several users raise it, and RemoveNode then only lowers it (see RemoveNode).
//
// Nodes and the bucket array come from the retrying allocators; an insertion
// that cannot get memory returns null and leaves the list as it was.
#include <cstdint>

struct LDataNode {
    LDataNode* previous;
    LDataNode* next;
    uint8_t referenceCount;
    void* value;
};

class LDataLink {
public:
    // A bucket array of `bucketCapacity` zeroed entries (none for 0).
    explicit LDataLink(int32_t bucketCapacity = 0);
    ~LDataLink();
    LDataLink(const LDataLink&) = delete;
    LDataLink& operator=(const LDataLink&) = delete;

    // Frees every node (not the values) and leaves a fresh 10-entry bucket
    // array. Always 0.
    int Clear();

    // Each links a new node and makes it the cursor; null when memory fails.
    // A null position appends at the tail.
    LDataNode* InsertAfter(void* value, LDataNode* position);
    LDataNode* InsertBefore(void* value, LDataNode* position);
    // Inserts after the node AT position (landing at position + 1) when
    // 0 <= position < count; any other position appends.
    LDataNode* InsertAt(void* value, int32_t position);

    // Node at a position, null when it is negative or not below the count.
    LDataNode* GetNodeAt(int32_t position);
    // The node's value at a position, null when out of range.
    void* GetValueAt(int32_t position);
    LDataNode* FindNode(const void* value) const;
    int32_t IndexOf(const void* value) const;

    // A node with two or more references only loses one (0), unless force is 1;
    // otherwise it is unlinked and freed (1). A null node, or one that is not
    // in this list, answers 0 and nothing changes.
    int RemoveNode(LDataNode* node, int force);
    // Unlinks and frees every node whose value the test accepts, whatever
    // its reference count, in one walk (RemoveNode finds each node's
    // position from the head). The cursor moves on past removed nodes. The
    // number removed.
    int32_t RemoveWhere(bool (*test)(const void* value, const void* context), const void* context);

    // Moves a node of this list before target, or to the end for a null
    // target. The cursor stays where it was.
    void MoveBefore(LDataNode* node, LDataNode* target);

    // Recomputes every bucket entry from the node order.
    void RebuildIndex();

    int32_t GetCount() const { return m_count; }
    // Moves on with every insertion, removal or reordering: an index kept
    // beside the list knows from it whether the list is still the same.
    uint32_t GetChangeCount() const { return m_changes; }
    LDataNode* GetHead() const { return m_head; }
    LDataNode* GetTail() const { return m_tail; }
    LDataNode* GetCursor() const { return m_cursor; }
    void SetCursor(LDataNode* node) { m_cursor = node; }
    // Cursor walk: Rewind sets the cursor to the head, Advance to its next node;
    // both answer the new cursor.
    LDataNode* Rewind() { return m_cursor = m_head; }
    LDataNode* Advance() { return m_cursor = m_cursor ? m_cursor->next : nullptr; }

    int32_t GetBucketCapacity() const { return m_bucketCapacity; }
    // Raw bucket entry k as stored (null out of range), for inspection.
    LDataNode* GetBucketEntry(int32_t k) const;
    // Removal shifts the bucket entries only while the switch is on; while it
    // is off, removals and moves leave the index to be rebuilt on next use.
    void SetIndexSwitch(int32_t on) { m_indexSwitch = on; }
    int32_t GetIndexSwitch() const { return m_indexSwitch; }

private:
    bool EnsureBucketFor(int32_t count);
    void FreeNodes();
    void Unlink(LDataNode* node);
    void LinkBefore(LDataNode* node, LDataNode* target);  // null target: at the end
    int32_t PositionOf(const LDataNode* node) const;       // -1 when not in this list

    LDataNode** m_buckets;
    int32_t m_bucketCapacity;
    int32_t m_count;
    int32_t m_indexSwitch;
    LDataNode* m_head;
    LDataNode* m_cursor;
    LDataNode* m_tail;
    // Set when nodes were reordered or removed without repairing the entries:
    // the next positional lookup or removal rebuilds the index first, so no
    // entry ever names a node that has been moved away or freed.
    bool m_indexStale;
    uint32_t m_changes = 0;
};
