#include "runtime/interp/message_pump.h"

#include "runtime/interp/message_filters.h"
#include "runtime/interp/os_message_pump.h"

uint32_t IdleSleepMs(uint32_t speed) {
    if (speed >= 100)
        return 0;
    return (5000u - 50u * speed) / 100u;
}

void RouteMessage(CMessageFilters& filters, const OsMessage& message) {
    if (filters.Offer(message) == CIBaseMessages::kConsumed)
        return;
    OsDispatchMessage(&message);
}

void PumpWaitingMessages(CMessageFilters& filters, uint32_t speed) {
    uint32_t sleep = IdleSleepMs(speed);
    if (sleep != 0 && !OsMessageWaiting()) {
        OsWaitForInput(sleep);
        return;
    }
    while (OsMessageWaiting()) {
        OsMessage message;
        if (OsGetMessage(&message) == 0)
            continue;
        RouteMessage(filters, message);
    }
}

bool PumpOneMessage(CMessageFilters& filters) {
    if (!OsMessageWaiting())
        return false;
    OsMessage message;
    if (OsGetMessage(&message) == 0)
        return true;
    RouteMessage(filters, message);
    return false;
}
