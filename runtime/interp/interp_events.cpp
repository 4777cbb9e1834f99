// Script events and message filters of the interpreter: posting, the delivery
// of one event between statements, guarded member calls and the script's
// error handler.
#include "runtime/base/error_text.h"
#include "runtime/interp/interpretor.h"
#include "runtime/interp/message_filters.h"

#include <cstring>

CIBaseMessages::CIBaseMessages(CInterpretor* interpretor) : m_filters(interpretor->m_messageFilters) {
    m_filters.Add(this);
}

uint32_t CInterpretor::PostEvent(CFunctionRecord* handler, const CValue* a1, const CValue* a2, const CValue* a3,
                                 const CValue* a4, const CValue* a5, const CValue* a6, const CValue* a7,
                                 const CValue* a8) {
    m_events.SetLimit(m_eventLimit);
    uint32_t position = m_events.Post(handler, a1, a2, a3, a4, a5, a6, a7, a8);
    m_deliveryCursor = m_events.GetCursor();
    return position;
}

uint32_t CInterpretor::PostEventCoalesced(CFunctionRecord* handler, const void* target, const CValue* a1,
                                          const CValue* a2, const CValue* a3, const CValue* a4, const CValue* a5,
                                          const CValue* a6, const CValue* a7, const CValue* a8) {
    m_events.SetLimit(m_eventLimit);
    uint32_t position = m_events.PostCoalesced(handler, target, a1, a2, a3, a4, a5, a6, a7, a8);
    m_deliveryCursor = m_events.GetCursor();
    return position;
}

void CInterpretor::ClearEvents() {
    m_events.RemoveAll();
    m_deliveryCursor = 0;
    m_callsInProgress = 0;
    m_statementStringFloor = 0;
    m_tickers.RemoveAll();
}

namespace {

// What the interrupted code had: put back however the handler ends.
class DeliveryScope {
public:
    DeliveryScope(CInterpretor* interpretor, std::size_t floor)
        : m_interp(interpretor),
          m_pc(interpretor->m_pc),
          m_scope(interpretor->m_scope),
          m_this(interpretor->m_thisObject),
          m_epoch(interpretor->m_contextEpoch),
          m_shared(interpretor->m_sharedEpoch),
          m_evalLevel(interpretor->m_evalLevel),
          m_blockLevel(interpretor->GetBlockLevel()),
          m_returnFlag(interpretor->m_returnFlag),
          m_returnTarget(interpretor->m_returnTarget),
          m_floor(interpretor->m_statementStringFloor) {
        ++m_interp->m_callsInProgress;
        m_interp->m_statementStringFloor = floor;
    }
    ~DeliveryScope() {
        // An error that unwound the handler left its blocks entered.
        while (m_interp->GetBlockLevel() > m_blockLevel)
            m_interp->LeaveBlock();
        m_interp->m_pc = m_pc;
        m_interp->RestoreContext(m_scope, m_this, m_epoch, m_shared);
        m_interp->m_evalLevel = m_evalLevel;
        m_interp->m_returnFlag = m_returnFlag;
        m_interp->m_returnTarget = m_returnTarget;
        m_interp->m_statementStringFloor = m_floor;
        if (m_interp->m_callsInProgress > 0)
            --m_interp->m_callsInProgress;
    }
    DeliveryScope(const DeliveryScope&) = delete;
    DeliveryScope& operator=(const DeliveryScope&) = delete;

private:
    CInterpretor* m_interp;
    const uint8_t* m_pc;
    CIBaseObjectVar* m_scope;
    CIBaseClassImpl* m_this;
    uint64_t m_epoch;
    bool m_shared;
    int32_t m_evalLevel;
    int32_t m_blockLevel;
    int32_t m_returnFlag;
    CValue* m_returnTarget;
    std::size_t m_floor;
};

}  // namespace

void CInterpretor::DeliverEvent() {
    CEventRecord* record = m_events.GetPending();
    if (record == nullptr) {
        m_deliveryCursor = m_events.GetCursor();
        return;
    }
    const uint32_t position = m_events.GetCursor();
    const uint32_t serial = record->serial;
    // Removes the delivered record however the handler ends: one that raised
    // an error must not run again and again.
    struct RemoveAfter {
        CInterpretor* interp;
        uint32_t position, serial;
        ~RemoveAfter() {
            interp->m_events.Remove(position, serial);
            interp->m_deliveryCursor = interp->m_events.GetCursor();
        }
    } removeAfter{this, position, serial};

    // A post made while the object had no handler has nothing to run.
    if (record->handler == nullptr)
        return;
    DeliveryScope scope(this, m_statementStrings.size());
    record->inDelivery = 1;
    CallDepthGuard frame(this);
    // The handler's arguments go into a frame of its own, above the frame of
    // whatever native call may be waiting below.
    CValue* cells = m_argCells + m_callDepth * kFrameSize;
    const uint32_t count = record->argCount;
    for (uint32_t i = 0; i < count; ++i)
        cells[i].Assign(this, record->args[i]);
    SetArgCount(static_cast<int32_t>(count));
    CValue result(this);
    CallFunctionDirect(record->handler, nullptr, &result);
}

bool CInterpretor::HandleHandlerError(const CIError& error) {
    // The end of the run and a restart request are not errors.
    if (error.code == 0 || error.code == 1 || m_scriptErrorHandler == nullptr)
        return false;
    char message[256];
    FormatErrorMessage(error, message, sizeof message, true);
    if (m_scriptErrorLogger != nullptr)
        m_scriptErrorLogger(m_scriptErrorContext, error, message);
    CValue code(this, error.code);
    CValue text(this, message, 0);
    CValue module(this, error.module.c_str(), 0);
    CValue column(this, error.column);
    CValue line(this, error.line);
    PostEvent(m_scriptErrorHandler, &code, &text, &module, &column, &line);
    return true;
}

void CInterpretor::SetScriptErrorHandler(CFunctionRecord* handler, ScriptErrorLogger logger, void* context) {
    m_scriptErrorHandler = handler;
    m_scriptErrorLogger = logger;
    m_scriptErrorContext = context;
}

void CInterpretor::CallMemberGuarded(CIBaseClassImpl* object, int32_t memberId) {
    try {
        object->CallMember(memberId);
    } catch (const CIError& error) {
        if (!HandleHandlerError(error))
            throw;
    }
}

void CInterpretor::ConstructChecked(CIBaseClassImpl* object) {
    try {
        object->ConstructFromArgs();
    } catch (const CIError& error) {
        if (!HandleHandlerError(error))
            throw;
    }
    if (!object->m_alive)
        RaiseError(38);
}
