#pragma once
// The frame of a script function call: what RunFunctionBody and the integer
// calls that go on the general way set up around the body, and put back
// however it ends.
#include "runtime/interp/interpretor.h"

// The parameters kept in the scope by its last call of the same function
// bound again (the table does not change); false when there are none.
inline bool CInterpretor::ResumeParameters(CCallScope* localScope, const CFunctionRecord* function) {
    const int32_t count = function->parameterCount;
    CVariableTable& table = localScope->m_variables;
    if (function->parameterState != 1 || localScope->m_dormantBlock != function->block ||
        localScope->m_dormantCount != count || table.GetCount() != count)
        return false;
    const int32_t argCount = m_argCounts[m_callDepth];
    const CValue* cells = &m_argCells[m_callDepth * kFrameSize];
    for (int32_t i = 0; i < count; ++i) {
        CVariable* parameter = localScope->m_dormant[i];
        parameter->level = m_blockLevel;
        // A kept parameter holds integer 0: an integer needs no release.
        if (i < argCount && cells[i].GetTag() == CValue::kInt && parameter->value.GetTag() == CValue::kInt)
            *parameter->value.IntSlot() = cells[i].GetInt();
        else if (i < argCount)
            parameter->value.Assign(cells[i]);
        else
            parameter->value.SetDefault();
    }
    if (m_blockLevel > table.m_maxLevel)
        table.m_maxLevel = m_blockLevel;
    localScope->m_bindStamp = localScope->m_stamp;
    return true;
}

inline void CInterpretor::LeaveFunctionBlock(CCallScope* localScope) {
    if (m_blockLevel <= 0)
        return;
    if (localScope->m_dormantBlock != nullptr && localScope->m_variables.GetCount() == localScope->m_dormantCount) {
        for (int32_t i = 0; i < localScope->m_dormantCount; ++i) {
            CValue& value = localScope->m_dormant[i]->value;
            value.Clear();
            value.SetOrigin(nullptr);
        }
    } else {
        localScope->m_dormantBlock = nullptr;
        localScope->DropVariablesFromLevel(m_blockLevel);
    }
    m_blockStack.SetAt(m_blockLevel, 0);
    --m_blockLevel;
}

template <class Body>
inline void CInterpretor::InCallFrame(CCallScope* localScope, CIBaseClassImpl* thisObject,
                                      const CFunctionRecord* function, Body&& body) {
    const CBlockRecord* block = function->block;
    if (block == nullptr || block->kind != kBlockFunction)
        RaiseError(44);
    EnterBlock(block);
    // What the call changes, put back however it ends (a handled error lets
    // the caller go on): the blocks (those a Return left open go with the
    // function's own), the parameters, This's count of running calls (its
    // object may not be deleted under them), the context, the module, the
    // code pointer and the return state of the enclosing loop.
    struct CallFrame {
        CInterpretor* in;
        CCallScope* scope;
        CIBaseClassImpl* thisObject;
        CIBaseObjectVar* savedScope;
        CIBaseClassImpl* savedThis;
        uint64_t epoch;
        bool shared;
        int32_t programIndex;
        int32_t functionLevel;
        const uint8_t* pc;
        int32_t returnFlag;
        CValue* returnTarget;
        ~CallFrame() {
            while (in->m_blockLevel > functionLevel) {
                in->m_blockStack.SetAt(in->m_blockLevel, 0);
                --in->m_blockLevel;
            }
            if (in->m_blockLevel == functionLevel)
                in->LeaveFunctionBlock(scope);
            if (thisObject != nullptr)
                --thisObject->m_activeCalls;
            in->RestoreContext(savedScope, savedThis, epoch, shared);
            in->m_programIndex = programIndex;
            in->m_pc = pc;
            in->m_returnFlag = returnFlag;
            in->m_returnTarget = returnTarget;
        }
    } frame{this,           localScope,   thisObject, m_scope,     m_thisObject,  m_contextEpoch, m_sharedEpoch,
            m_programIndex, m_blockLevel, m_pc,       m_returnFlag, m_returnTarget};
    if (thisObject != nullptr)
        ++thisObject->m_activeCalls;
    CFunctionRecord* record = const_cast<CFunctionRecord*>(function);
    if (!ResumeParameters(localScope, record))
        BindParameters(localScope, record);
    EnterCallContext(localScope, thisObject, record);
    m_programIndex = static_cast<int32_t>(block->moduleWord);
    body();
}
