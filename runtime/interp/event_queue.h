#pragma once
// Script events: native code never calls script code in the middle of a
// statement. An object that has something to report (a click, a key, a timer,
// an error handler ...) posts a CEventRecord naming the script function to run
// and its arguments; the operation loop delivers the oldest queued event
// between two statements by running that function to its end.
#include "runtime/base/pool_list.h"
#include "runtime/interp/script_value.h"

#include <cstdint>

class CInterpretor;

// One queued event. The arguments are owned by the record (text is copied).
class CEventRecord {
public:
    static constexpr int kMaxArgs = 8;

    CEventRecord(CInterpretor* owner, CFunctionRecord* handler, const void* target);
    CEventRecord(const CEventRecord&) = delete;
    CEventRecord& operator=(const CEventRecord&) = delete;

    CFunctionRecord* handler;  // the script function to run
    uint32_t argCount = 0;     // cells 0 .. argCount-1 are the arguments
    CInterpretor* interpretor;
    const void* target;        // the posting object of a coalescing post; null otherwise
    int32_t inDelivery = 0;    // set while its handler runs
    uint32_t serial = 0;       // unique within the queue: tells a record from a later one at its address
    CValue args[kMaxArgs];
};

// The interpreter's event queue: records oldest first, the delivery cursor
// (position of the next record to deliver, 0 = none) and the limit.
class CEventQueue {
public:
    static constexpr int32_t kDefaultLimit = 128;

    explicit CEventQueue(CInterpretor* owner);
    ~CEventQueue();
    CEventQueue(const CEventQueue&) = delete;
    CEventQueue& operator=(const CEventQueue&) = delete;

    // Appends an event and returns its position. Runtime error 61 when more
    // than the limit are queued already (so limit + 1 records fit), 15 when no
    // record can be made. Null arguments are omitted.
    uint32_t Post(CFunctionRecord* handler, const CValue* const* args, int count);
    uint32_t Post(CFunctionRecord* handler, const CValue* a1 = nullptr, const CValue* a2 = nullptr,
                  const CValue* a3 = nullptr, const CValue* a4 = nullptr, const CValue* a5 = nullptr,
                  const CValue* a6 = nullptr, const CValue* a7 = nullptr, const CValue* a8 = nullptr);
    // As Post, but when a queued record of the same handler and target waits
    // it only takes the new arguments (mouse moves pile up as one event). The
    // record whose handler is running is never refilled: that post would be
    // lost when the record is removed after the handler returns.
    uint32_t PostCoalesced(CFunctionRecord* handler, const void* target, const CValue* const* args, int count);
    uint32_t PostCoalesced(CFunctionRecord* handler, const void* target, const CValue* a1 = nullptr,
                           const CValue* a2 = nullptr, const CValue* a3 = nullptr, const CValue* a4 = nullptr,
                           const CValue* a5 = nullptr, const CValue* a6 = nullptr, const CValue* a7 = nullptr,
                           const CValue* a8 = nullptr);

    // Fills the record's argument cells from up to 8 arguments: cell i takes
    // argument i. The count is one past the last non-null argument; a null
    // argument before that one reads as omitted, cells past it keep their
    // previous content.
    static void FillArgs(CEventRecord& record, const CValue* const* args, int count);

    // The record at the delivery cursor, null when none waits.
    CEventRecord* GetPending() const;
    uint32_t GetCursor() const { return m_cursor; }
    bool HasPending() const { return m_cursor != 0; }
    // Deletes the record at position when it is still the record with that
    // serial (everything may have been released while its handler ran), and
    // points the cursor at the oldest remaining event.
    void Remove(uint32_t position, uint32_t serial);
    // Deletes every queued event.
    void RemoveAll();
    int32_t GetCount() const { return m_list.GetCount(); }
    CEventRecord* GetAt(uint32_t position) const;

    int32_t GetLimit() const { return m_limit; }
    void SetLimit(int32_t limit) { m_limit = limit; }

private:
    void CheckLimit() const;
    uint32_t Append(CEventRecord* record);
    // Makes a record with these arguments and appends it.
    uint32_t AppendNew(CFunctionRecord* handler, const void* target, const CValue* const* args, int count);

    CInterpretor* m_owner;
    CPoolList m_list;
    int32_t m_limit = kDefaultLimit;
    uint32_t m_cursor = 0;
    uint32_t m_nextSerial = 1;
};
