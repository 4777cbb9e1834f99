#pragma once
// Objects advanced by time: animations (3D locations, animated materials),
// movement controllers and frame cursors. The tick period of the operation loop
// runs all three lists with one millisecond time, at most every ticker interval.
#include "runtime/base/pool_list.h"

#include <cstdint>

class CITickClient {
public:
    virtual ~CITickClient() = default;
    virtual void Tick(uint32_t now) = 0;
    // Movements: non-zero when this controller drives the given location.
    virtual int32_t InvolvesObject(const void* location) { return 0; }

    uint32_t m_lastTick = 0;  // time of the last tick (or of registration)
};

class CTickerLists {
public:
    static constexpr uint32_t kDefaultInterval = 50;  // ms

    CTickerLists() = default;
    CTickerLists(const CTickerLists&) = delete;
    CTickerLists& operator=(const CTickerLists&) = delete;

    // New entries go to the head: the newest ticks first. Add* return the
    // position (0 when the list cannot grow); animations and frame cursors get
    // their last-tick time stamped with now.
    uint32_t AddAnimation(CITickClient* object, uint32_t now);
    void RemoveAnimation(uint32_t position);
    uint32_t AddMovement(CITickClient* movement);
    void RemoveMovement(uint32_t position);
    // Deletes every movement that drives the location.
    void RemoveMovementsOf(const void* location);
    uint32_t AddTickObject(CITickClient* cursor, uint32_t now);
    int32_t RemoveTickObject(uint32_t position);  // the tickers left

    int32_t GetActiveCount() const { return m_active; }

    // Animations (then stamped with now), movements, frame cursors. A client
    // may remove itself or others while it ticks.
    void RunTickers(uint32_t now);
    // True when the tick period should run the tickers at now.
    bool IsDue(uint32_t now) const { return m_active > 0 && now - m_lastRun >= m_interval; }

    // Empties the lists (nothing is deleted: the owners go with their objects).
    void RemoveAll();

    uint32_t m_interval = kDefaultInterval;
    uint32_t m_lastRun = 0;

private:
    uint32_t Add(CPoolList& list, CITickClient* client);
    void Remove(CPoolList& list, uint32_t position);
    void RunList(CPoolList& list, uint32_t now, bool stamp);

    CPoolList m_animations;
    CPoolList m_movements;
    CPoolList m_cursors;
    int32_t m_active = 0;
};
