// Tick-period work of the operation loop: statement strings, tickers, garbage
// collection, redraw and the message pump; Wait and Tick for the loops of
// native code.
#include "runtime/interp/interpretor.h"
#include "runtime/interp/message_pump.h"
#include "runtime/interp/os_clock.h"
#include "runtime/interp/refresh_passes.h"

#include <cstdlib>
#include <vector>

CInterpretor::PollHook CInterpretor::s_pollHooks[kPollSlots] = {};
CInterpretor::PollHook CInterpretor::s_redrawHooks[kRedrawSlots] = {};

void CInterpretor::SetPollHook(PollSlot slot, PollHook hook) {
    if (slot >= 0 && slot < kPollSlots)
        s_pollHooks[slot] = hook;
}

void CInterpretor::SetRedrawAllHook(RedrawSlot slot, PollHook hook) {
    if (slot >= 0 && slot < kRedrawSlots)
        s_redrawHooks[slot] = hook;
}

void CInterpretor::ResetTickTimes() {
    m_clockSkipWindow = 0;
    uint32_t now = OsTimeMs();
    m_lastRefresh = now - m_refreshInterval;
    m_tickers.m_lastRun = now - m_tickers.m_interval;
    m_lastPumpTime = now;
}

void CInterpretor::TickPeriodWork() {
    // Strings of code that a nested loop interrupted stay (see the floor).
    std::size_t floor = m_statementStringFloor;
    if (floor == 0) {
        FreeStatementStrings();
    } else {
        while (m_statementStrings.size() > floor) {
            std::free(m_statementStrings.back());
            m_statementStrings.pop_back();
        }
    }
    // The time matters to active tickers, to a requested redraw and to the
    // pump. While neither of the first two waits and the coarse clock shows
    // that the pump cannot be due yet, the millisecond clock is not read
    // (where it is slow to read, that is most of the work between
    // statements); the rest is done as always.
    const bool timed = m_tickers.GetActiveCount() > 0 || (m_refreshRequested && m_refreshEnabled);
    const uint32_t coarse = OsCoarseTimeMs();
    if (!timed && m_clockSkipWindow > 0 && static_cast<int32_t>(coarse - m_clockCoarseAt) < m_clockSkipWindow) {
        CountCreatedObjects();
        return;
    }
    uint32_t now = OsTimeMs();
    if (m_tickers.IsDue(now)) {
        m_tickers.RunTickers(now);
        m_tickers.m_lastRun = now;
    }
    CountCreatedObjects();
    if (m_refreshRequested && m_refreshEnabled && now - m_lastRefresh >= m_refreshInterval) {
        RefreshAll();
        m_lastRefresh = now;
    }
    PumpMessages(now);
    NotePumpDeadline(coarse, now);
}

void CInterpretor::CountCreatedObjects() {
    m_collectionCounter += static_cast<int32_t>(m_createdObjects - m_createdSeen);
    m_createdSeen = m_createdObjects;
    if (m_collectionCounter > m_programState.collectionThreshold)
        CollectGarbage();
}

// After a reading of the clock (now, with the coarse clock at coarse just
// before it): the pump is due once more than kPumpIntervalMs passed since
// the last pump, so for that time minus what the two clocks' steps can hide
// of the coarse clock's time, it cannot be due.
void CInterpretor::NotePumpDeadline(uint32_t coarse, uint32_t now) {
    const uint32_t coarseStep = OsCoarseClockStepMs();
    m_clockSkipWindow = 0;
    if (coarseStep == 0)
        return;
    const uint32_t sincePump = now - m_lastPumpTime;
    if (sincePump > kPumpIntervalMs)
        return;
    m_clockCoarseAt = coarse;
    m_clockSkipWindow = static_cast<int32_t>(kPumpIntervalMs - sincePump) -
                        static_cast<int32_t>(coarseStep + OsTimeStepMs() + 1);
}

void CInterpretor::PollComponents() {
    for (PollHook hook : s_pollHooks)
        if (hook != nullptr)
            hook(this);
}

void CInterpretor::PumpMessages(uint32_t now) {
    if (!IsPumpDue(now, m_lastPumpTime))
        return;
    m_lastPumpTime = now;
    PumpWaitingMessages(m_messageFilters, m_packageSettings[0]);
    PollComponents();
}

int32_t CInterpretor::Wait(uint32_t ms) {
    const uint32_t start = OsTimeMs();
    for (;;) {
        if (PumpOneMessage(m_messageFilters))
            return 1;
        PollComponents();
        Tick();
        if (HasElapsed(OsTimeMs(), start, ms))
            return 0;
    }
}

int32_t CInterpretor::WaitUnlessInCall(uint32_t ms) {
    return m_callsInProgress == 0 ? Wait(ms) : 0;
}

void CInterpretor::Tick() {
    if (m_pendingError != -1) {
        int32_t code = m_pendingError;
        m_pendingError = -1;
        RaiseError(code, CIError::kNoDetail);
    }
    uint32_t now = OsTimeMs();
    if (m_tickers.IsDue(now)) {
        m_tickers.RunTickers(now);
        m_tickers.m_lastRun = now;
    }
    if (m_refreshRequested && m_refreshEnabled && now - m_lastRefresh >= m_refreshInterval) {
        RefreshAll();
        m_lastRefresh = now;
    }
    if (m_callsInProgress == 0 && m_deliveryCursor != 0)
        DeliverEvent();
}

// ---- tickers ----

uint32_t CInterpretor::AddAnimation(CITickClient* object) {
    return m_tickers.AddAnimation(object, OsTimeMs());
}

void CInterpretor::RemoveAnimation(uint32_t position) {
    m_tickers.RemoveAnimation(position);
}

uint32_t CInterpretor::AddMovement(CITickClient* movement) {
    return m_tickers.AddMovement(movement);
}

void CInterpretor::RemoveMovement(uint32_t position) {
    m_tickers.RemoveMovement(position);
}

void CInterpretor::RemoveMovementsOf(const void* location) {
    m_tickers.RemoveMovementsOf(location);
}

uint32_t CInterpretor::AddTickObject(CITickClient* cursor) {
    return m_tickers.AddTickObject(cursor, OsTimeMs());
}

int32_t CInterpretor::RemoveTickObject(uint32_t position) {
    return m_tickers.RemoveTickObject(position);
}

void CInterpretor::RunTickers(uint32_t now) {
    m_tickers.RunTickers(now);
}

// ---- garbage collection ----

namespace {

bool HoldsReference(const CValue& value) {
    return value.GetTag() == CValue::kObject || value.GetTag() == CValue::kArray;
}

}  // namespace

void CInterpretor::CollectGarbage() {
    const int32_t firstFree = m_callDepth * kFrameSize + m_argCounts[m_callDepth];
    for (int32_t i = firstFree; i < m_argHighWater && i < kFrameCount * kFrameSize; ++i)
        if (HoldsReference(m_argCells[i]))
            m_argCells[i].Clear();
    m_argHighWater = firstFree;
    for (int32_t level = m_evalLevel; level < kValueStackSize; ++level)
        if (m_valueStack[level] != nullptr && HoldsReference(*m_valueStack[level]))
            m_valueStack[level]->Clear();

    // Deleting one object may delete others (its dependants): collect the
    // candidates first and check each again before deleting it.
    std::vector<CIBaseClassImpl*> candidates;
    for (uint32_t classId = 0; classId < kClassSlotCount; ++classId)
        for (uint32_t p = GetFirstInstance(classId); p != 0;) {
            CIBaseClassImpl* object = NextInstance(classId, p);
            if (object != nullptr && !object->IsReferenced() && !IsCollectionExempt(object))
                candidates.push_back(object);
        }
    for (CIBaseClassImpl* object : candidates) {
        uint32_t classId = object->m_classId;
        if (classId >= kClassSlotCount ||
            m_classLists[classId].Find(reinterpret_cast<uintptr_t>(object)) == 0)
            continue;  // gone with an earlier one
        if (!object->IsReferenced())
            DeleteObject(object);
    }
    m_collectionCounter = 0;
}

bool CInterpretor::IsCollectionExempt(const CIBaseClassImpl* object) const {
    // The global objects are held by the interpreter itself, not by values;
    // the This of a running call is in use even when no value holds it.
    for (CIBaseClassImpl* global : m_globalObjects)
        if (global == object)
            return true;
    return object == m_currentWindow || object->m_activeCalls > 0;
}

// ---- redraw ----

namespace {

int32_t IsScriptSurface(CIRefresh* client) {
    const CIBaseClassImpl* object = dynamic_cast<const CIBaseClassImpl*>(client);
    return object != nullptr && object->m_classId == kClassSurface;
}

struct RefreshingFlag {
    int32_t& flag;
    explicit RefreshingFlag(int32_t& f) : flag(f) { flag = 1; }
    ~RefreshingFlag() { flag = 0; }
};

}  // namespace

void CInterpretor::RefreshAll() {
    // An error raised inside a redraw redraws before it unwinds: that must not
    // start a second pass inside the first.
    if (m_refreshing)
        return;
    RefreshingFlag flag(m_refreshing);
    RunRefreshPasses<CIRefresh>(m_redrawList, m_refreshRequested, IsScriptSurface);
    for (PollHook hook : s_redrawHooks)
        if (hook != nullptr)
            hook(this);
}

void CInterpretor::RequestRefresh() {
    if (!m_refreshEnabled)
        return;
    m_refreshRequested = 1;
    m_lastRefresh = OsTimeMs() + m_refreshInterval;
}
