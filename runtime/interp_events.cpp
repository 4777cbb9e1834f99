// Script events and message filters of the interpreter: the event queue and
// its delivery between statements.
#include "runtime/interpretor.h"

void CInterpretor::DeliverEvent() {
    m_deliveryCursor = 0;
}

void CInterpretor::ClearEvents() {
    m_eventQueue.RemoveAll();
    m_deliveryCursor = 0;
}
