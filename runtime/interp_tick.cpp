// Tick-period work of the operation loop: statement strings, tickers, garbage
// collection, redraw and the message pump; guarded member calls.
#include "runtime/interpretor.h"

void CInterpretor::TickPeriodWork() {
    FreeStatementStrings();
}

void CInterpretor::ResetTickTimes() {}

void CInterpretor::CallMemberGuarded(CIBaseClassImpl* object, int32_t memberId) {
    object->CallMember(memberId);
}

void CInterpretor::ConstructChecked(CIBaseClassImpl* object) {
    object->ConstructFromArgs();
    if (!object->m_alive)
        RaiseError(38);
}

bool CInterpretor::HandleHandlerError(const CIError&) {
    return false;
}

void CInterpretor::CollectGarbage() {
    m_collectionCounter = 0;
}

void CInterpretor::RefreshAll() {
    m_refreshRequested = 0;
}

void CInterpretor::RequestRefresh() {
    if (m_refreshEnabled)
        m_refreshRequested = 1;
}
