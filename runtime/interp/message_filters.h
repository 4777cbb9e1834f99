#pragma once
// Message filters: native objects (the keyboard, windows, controls) that see
// every message the pump takes, before it is translated and dispatched.
#include "runtime/interp/os_message_pump.h"

#include <cstdint>

class CInterpretor;
class CMessageFilters;

class CIBaseMessages {
public:
    // Results of Filter.
    static constexpr int32_t kNotInterested = 0;
    static constexpr int32_t kConsumed = 2;  // neither translated nor dispatched
    // Any other non-zero result: seen, and no later filter is asked; the
    // message is still dispatched.

    // Registers at the end of the list. A list that is full already (8
    // filters) refuses the filter: it is then simply never asked, and
    // IsRegistered tells the owner so.
    explicit CIBaseMessages(CMessageFilters& filters);
    // The same with the interpreter's filters.
    explicit CIBaseMessages(CInterpretor* interpretor);
    // Leaves the list, so that a dead filter is never asked.
    virtual ~CIBaseMessages();
    CIBaseMessages(const CIBaseMessages&) = delete;
    CIBaseMessages& operator=(const CIBaseMessages&) = delete;

    virtual int32_t Filter(const OsMessage& message) = 0;

    bool IsRegistered() const;

private:
    CMessageFilters& m_filters;
};

// The interpreter's filters in registration order, at most 8.
class CMessageFilters {
public:
    static constexpr int kCapacity = 8;

    // False (and nothing stored) when full or already registered.
    bool Add(CIBaseMessages* filter);
    void Remove(CIBaseMessages* filter);
    bool Contains(const CIBaseMessages* filter) const;
    int32_t GetCount() const { return m_count; }

    // Offers the message to each filter in order until one returns non-zero,
    // and returns that result (0 when none was interested).
    int32_t Offer(const OsMessage& message);

private:
    CIBaseMessages* m_filters[kCapacity] = {};
    int32_t m_count = 0;
};
