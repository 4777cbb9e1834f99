#include "runtime/interp/os_message_pump.h"

#include "runtime/interp/os_clock.h"

#include <deque>
#include <time.h>

// The native build has no window system: one in-process queue per thread that
// only OsPostThreadMessage fills. Dispatching has no window procedure to call.
namespace {

thread_local std::deque<OsMessage> t_queue;

}  // namespace

bool OsMessageWaiting() {
    return !t_queue.empty();
}

int OsGetMessage(OsMessage* message) {
    // Nothing else can post on this thread while it waits: an empty queue reads
    // as the quit message instead of blocking for ever.
    if (t_queue.empty()) {
        *message = OsMessage{nullptr, kOsMessageQuit, 0, 0, OsTimeMs(), 0, 0};
        return 0;
    }
    *message = t_queue.front();
    t_queue.pop_front();
    return message->message == kOsMessageQuit ? 0 : 1;
}

void OsDispatchMessage(const OsMessage*) {}

void OsWaitForInput(uint32_t timeoutMs) {
    if (!t_queue.empty() || timeoutMs == 0)
        return;
    struct timespec ts;
    ts.tv_sec = static_cast<time_t>(timeoutMs / 1000u);
    ts.tv_nsec = static_cast<long>(timeoutMs % 1000u) * 1000000L;
    while (nanosleep(&ts, &ts) != 0) {
    }
}

bool OsPostThreadMessage(uint32_t message, uintptr_t wParam, intptr_t lParam) {
    t_queue.push_back(OsMessage{nullptr, message, wParam, lParam, OsTimeMs(), 0, 0});
    return true;
}
