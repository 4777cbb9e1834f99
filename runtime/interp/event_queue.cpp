#include "runtime/interp/event_queue.h"

#include "runtime/interp/interpretor.h"

#include <new>

CEventRecord::CEventRecord(CInterpretor* owner, CFunctionRecord* handler, const void* target)
    : handler(handler), interpretor(owner), target(target) {
    for (CValue& cell : args) {
        cell.SetOwner(owner);
        cell.SetDefault();
    }
}

CEventQueue::CEventQueue(CInterpretor* owner) : m_owner(owner) {}

CEventQueue::~CEventQueue() {
    RemoveAll();
}

void CEventQueue::CheckLimit() const {
    if (GetCount() > m_limit)
        m_owner->RaiseError(61);
}

void CEventQueue::FillArgs(CEventRecord& record, const CValue* const* args, int count) {
    if (count > CEventRecord::kMaxArgs)
        count = CEventRecord::kMaxArgs;
    int last = -1;
    for (int i = 0; i < count; ++i)
        if (args[i] != nullptr)
            last = i;
    record.argCount = 0;
    for (int i = 0; i <= last; ++i) {
        if (args[i] != nullptr)
            record.args[i].Assign(record.interpretor, *args[i]);
        else
            record.args[i].SetDefault();
    }
    record.argCount = static_cast<uint32_t>(last + 1);
}

uint32_t CEventQueue::Append(CEventRecord* record) {
    record->serial = m_nextSerial++;
    if (m_nextSerial == 0)
        m_nextSerial = 1;
    uint32_t position = m_list.AddTail(reinterpret_cast<uintptr_t>(record));
    if (position == 0) {
        delete record;
        m_owner->RaiseError(15);
    }
    if (m_cursor == 0)
        m_cursor = position;
    return position;
}

uint32_t CEventQueue::Post(CFunctionRecord* handler, const CValue* const* args, int count) {
    CheckLimit();
    return AppendNew(handler, nullptr, args, count);
}

uint32_t CEventQueue::Post(CFunctionRecord* handler, const CValue* a1, const CValue* a2, const CValue* a3,
                           const CValue* a4, const CValue* a5, const CValue* a6, const CValue* a7,
                           const CValue* a8) {
    const CValue* args[CEventRecord::kMaxArgs] = {a1, a2, a3, a4, a5, a6, a7, a8};
    return Post(handler, args, CEventRecord::kMaxArgs);
}

uint32_t CEventQueue::PostCoalesced(CFunctionRecord* handler, const void* target, const CValue* const* args,
                                    int count) {
    CheckLimit();
    for (uint32_t p = m_list.GetHeadPosition(); p != 0;) {
        uint32_t at = p;
        CEventRecord* record = reinterpret_cast<CEventRecord*>(m_list.GetNext(p));
        if (record->handler == handler && record->target == target && !record->inDelivery) {
            FillArgs(*record, args, count);
            return at;
        }
    }
    return AppendNew(handler, target, args, count);
}

uint32_t CEventQueue::AppendNew(CFunctionRecord* handler, const void* target, const CValue* const* args,
                                int count) {
    CEventRecord* record = new (std::nothrow) CEventRecord(m_owner, handler, target);
    if (record == nullptr)
        m_owner->RaiseError(15);
    try {
        FillArgs(*record, args, count);
    } catch (...) {
        delete record;
        throw;
    }
    return Append(record);
}

uint32_t CEventQueue::PostCoalesced(CFunctionRecord* handler, const void* target, const CValue* a1,
                                    const CValue* a2, const CValue* a3, const CValue* a4, const CValue* a5,
                                    const CValue* a6, const CValue* a7, const CValue* a8) {
    const CValue* args[CEventRecord::kMaxArgs] = {a1, a2, a3, a4, a5, a6, a7, a8};
    return PostCoalesced(handler, target, args, CEventRecord::kMaxArgs);
}

CEventRecord* CEventQueue::GetAt(uint32_t position) const {
    return reinterpret_cast<CEventRecord*>(m_list.GetAt(position));
}

CEventRecord* CEventQueue::GetPending() const {
    return m_cursor != 0 ? GetAt(m_cursor) : nullptr;
}

void CEventQueue::Remove(uint32_t position, uint32_t serial) {
    // Only a listed node is looked at: a freed one may still hold its item.
    uintptr_t item = m_list.GetAt(position);
    if (item != 0 && m_list.Find(item) == position) {
        CEventRecord* record = reinterpret_cast<CEventRecord*>(item);
        if (record->serial == serial) {
            m_list.RemoveAt(position);
            delete record;
        }
    }
    m_cursor = m_list.GetHeadPosition();
}

void CEventQueue::RemoveAll() {
    for (uint32_t p = m_list.GetHeadPosition(); p != 0; p = m_list.GetHeadPosition()) {
        CEventRecord* record = GetAt(p);
        m_list.RemoveAt(p);
        delete record;
    }
    m_list.RemoveAll();
    m_cursor = 0;
}
