#pragma once
// The portable part of the message pump: timing rules and the route of one
// message (filters first, then translation and dispatch).
#include <cstdint>

class CMessageFilters;

// The pump runs only when more than this many ms passed since the last one.
constexpr uint32_t kPumpIntervalMs = 50;

// How long an idle pump sleeps at the speed setting (percent, an unsigned
// package word): 50 ms at 0, 25 ms at 50, nothing at 100. A setting above 100
// never sleeps either (the plain formula would give sleeps of hours).
uint32_t IdleSleepMs(uint32_t speed);

// Time tests on the wrapping 32-bit millisecond clock: unsigned differences.
inline bool IsPumpDue(uint32_t now, uint32_t lastPump) { return now - lastPump > kPumpIntervalMs; }
inline bool HasElapsed(uint32_t now, uint32_t start, uint32_t ms) { return now - start > ms; }

// Offers a message that was taken to the filters and translates and
// dispatches it unless a filter consumed it.
struct OsMessage;
void RouteMessage(CMessageFilters& filters, const OsMessage& message);

// The message step of the pump: at a speed below 100 with no message waiting
// it sleeps until input arrives or the idle time is over; otherwise it routes
// every waiting message (a quit message is dropped).
void PumpWaitingMessages(CMessageFilters& filters, uint32_t speed);

// Takes and routes one message when one waits. True when it was the quit
// message (then not routed).
bool PumpOneMessage(CMessageFilters& filters);
