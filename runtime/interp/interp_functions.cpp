// Script functions: calls by name, methods of objects defined by scripts,
// parameter binding, and member access on such objects (their members are
// their variables).
#include "runtime/interp/interpretor.h"
#include "runtime/interp/interp_call_frame.h"

#include "runtime/interp/script_array.h"

#include <new>

void CInterpretor::RestoreContext(CIBaseObjectVar* scope, CIBaseClassImpl* thisObject, uint64_t epoch, bool shared) {
    m_scope = scope;
    m_thisObject = thisObject;
    // Stamps and epochs come from one counter: a table changed since the
    // epoch has a later stamp. A shared epoch asks of the local scope only
    // that it still holds the parameters alone.
    const bool scopeKept = shared ? static_cast<CCallScope*>(scope)->m_stamp == static_cast<CCallScope*>(scope)->m_bindStamp
                                  : scope->m_stamp <= epoch;
    if (scopeKept && ThisStamp() <= epoch && m_stamp <= epoch) {
        m_contextEpoch = epoch;
        m_sharedEpoch = shared;
    } else {
        m_contextEpoch = ++m_variableGeneration;
        m_sharedEpoch = false;
    }
}

CCallScope* CInterpretor::NewScope() {
    CCallScope* scope = new CCallScope(this);
    scope->m_alive = 1;
    return scope;
}

void CInterpretor::ReleaseScopeSlowly(CCallScope* scope) {
    // Parameters left by the call stay for the next call of its function.
    const bool dormant = scope->m_dormantBlock != nullptr && scope->m_variables.GetCount() == scope->m_dormantCount;
    if (!dormant) {
        scope->m_dormantBlock = nullptr;
        if (scope->m_variables.GetCount() != 0)
            scope->DropVariablesFromLevel(0);
    }
    if (m_scopePool.size() < kScopePoolLimit) {
        try {
            m_scopePool.push_back(scope);
            return;
        } catch (const std::bad_alloc&) {
        }
    }
    delete scope;
}

CVariable* CInterpretor::NewVariable() {
    if (!m_variablePool.empty()) {
        CVariable* variable = m_variablePool.back();
        m_variablePool.pop_back();
        return variable;
    }
    CVariable* variable = new (std::nothrow) CVariable(this);
    if (variable != nullptr)
        variable->value.SetInt(0);
    return variable;
}

void CInterpretor::RecycleVariable(CVariable* variable) {
    variable->value.Clear();
    variable->value.SetOrigin(nullptr);
    if (m_variablePool.size() < kVariablePoolLimit) {
        try {
            m_variablePool.push_back(variable);
            return;
        } catch (const std::bad_alloc&) {
        }
    }
    delete variable;
}

void CInterpretor::FreePools() {
    for (CCallScope* scope : m_scopePool)
        delete scope;
    m_scopePool.clear();
    for (CVariable* variable : m_variablePool)
        delete variable;
    m_variablePool.clear();
}

// Reads the parameter list of the function's code (runtime error 16 where
// it is not a list of names) and lists the names when they fit.
void CInterpretor::ReadParameterNames(CFunctionRecord* function) {
    m_pc = NextInstr(CodeBase() + function->block->step);
    int32_t count = 0;
    uint32_t names[CFunctionRecord::kListedParameters];
    if (Code() == kOpOpenParen) {
        StepInstr();
        for (;;) {
            if (Code() != kOpName)
                RaiseError(16);
            if (count < CFunctionRecord::kListedParameters)
                names[count] = ReadU32(m_pc + kFieldNameRef);
            ++count;
            StepInstr();
            if (Code() != kOpComma)
                break;
            StepInstr();
        }
    }
    if (count > CFunctionRecord::kListedParameters) {
        function->parameterState = 2;
        return;
    }
    for (int32_t i = 0; i < count; ++i)
        function->parameterNames[i] = names[i];
    function->parameterCount = count;
    function->parameterState = 1;
}

bool CInterpretor::BindParameters(CCallScope* localScope, CFunctionRecord* function) {
    // Parameters by position: omitted ones read as the default value, extra
    // arguments are bound to nothing.
    const int32_t argCount = m_argCounts[m_callDepth];
    const CValue* cells = &m_argCells[m_callDepth * kFrameSize];
    if (function->parameterState == 0)
        ReadParameterNames(function);
    if (ResumeParameters(localScope, function))
        return true;
    if (function->parameterState == 1) {
        const int32_t count = function->parameterCount;
        CVariableTable& table = localScope->m_variables;
        localScope->m_dormantBlock = nullptr;
        if (table.GetCount() != 0)
            localScope->DropVariablesFromLevel(0);
        for (int32_t i = 0; i < count; ++i) {
            CVariable* parameter = localScope->AddVariable(function->parameterNames[i], m_blockLevel);
            localScope->m_dormant[i] = parameter;
            if (i < argCount)
                parameter->value.Assign(cells[i]);
            else
                parameter->value.SetDefault();
        }
        localScope->m_dormantCount = count;
        localScope->m_dormantBlock = function->block;
        localScope->m_bindStamp = localScope->m_stamp;
        return false;
    }
    // Too many to list: read from the code every time.
    localScope->m_dormantBlock = nullptr;
    m_pc = NextInstr(CodeBase() + function->block->step);
    StepInstr();  // the "("
    for (int32_t i = 0;; ++i) {
        CVariable* parameter = localScope->AddVariable(ReadU32(m_pc + kFieldNameRef), m_blockLevel);
        if (i < argCount)
            parameter->value.Assign(cells[i]);
        else
            parameter->value.SetDefault();
        StepInstr();
        if (Code() != kOpComma)
            break;
        StepInstr();
    }
    return false;
}

void CInterpretor::EnterCallContext(CCallScope* localScope, CIBaseClassImpl* thisObject, CFunctionRecord* function) {
    if (function->parameterState != 1) {
        EnterContext(localScope, thisObject);
        return;
    }
    m_scope = localScope;
    m_thisObject = thisObject;
    m_sharedEpoch = true;
    const uint64_t shared = function->sharedEpoch;
    if (shared != 0 && function->sharedThis == thisObject && ThisStamp() <= shared && m_stamp <= shared) {
        m_contextEpoch = shared;
        return;
    }
    m_contextEpoch = ++m_variableGeneration;
    function->sharedEpoch = m_contextEpoch;
    function->sharedThis = thisObject;
}

void CInterpretor::RunFunctionBody(CCallScope* localScope, CIBaseClassImpl* thisObject,
                                   const CFunctionRecord* function, CValue* result) {
    InCallFrame(localScope, thisObject, function, [&] {
        m_pc = NextInstr(CodeBase() + function->block->start);
        if (const CCallPlan* plan = CallPlanOf(const_cast<CFunctionRecord*>(function)))
            RunCallPlan(*plan, result);
        else
            RunStatements(static_cast<uint32_t>(m_pc - CodeBase()), result);
    });
}

void CInterpretor::CallScriptFunction(CCallScope* localScope, CIBaseClassImpl* thisObject,
                                      const CFunctionRecord* record) {
    const uint16_t code = Code();
    StepInstr();
    if (code == kOpCallName || code == kOpMemberCall)
        EvalArgumentsIntoFrame();
    else
        SetArgCount(0);
    // The value goes straight into the slot of the call: the callee's
    // expressions use the slots above it, and its Return writes it last.
    RunFunctionBody(localScope, thisObject, record, Result());
}

void CInterpretor::CallFunctionDirect(CFunctionRecord* function, CIBaseClassImpl* thisObject, CValue* result) {
    if (function == nullptr)
        RaiseError(44);
    LocalScope local(this);
    CValue value(this);
    RunFunctionBody(local.Get(), thisObject, function, &value);
    if (result != nullptr)
        result->Assign(value);
}

void CInterpretor::OpEvalCall() {
    CVariable* variable = LookUpNameAt(m_pc);
    if (variable == nullptr)
        RaiseError(42);
    if (variable->value.GetTag() != CValue::kFunction)
        RaiseError(44);
    if (!TryIntegerCallHere(variable->value.FunctionOf(), m_thisObject)) {
        LocalScope local(this);
        CallScriptFunction(local.Get(), m_thisObject, variable->value.FunctionOf());
    }
    MemberOnCallResult();
}

bool CInterpretor::RunMethodStatement() {
    // What OpEvalName and AfterValueOperand find for the name, when it leads
    // to a function member of a script object.
    if (m_varDeclared != nullptr || !m_fastPaths)
        return false;
    const uint8_t* name = m_pc;
    CVariable* variable = LookUpNameAt(name);
    if (variable == nullptr || variable->value.GetTag() != CValue::kObject)
        return false;
    CIBaseClassImpl* object = variable->value.GetObject();
    if (object == nullptr || !IsScriptObject(object))
        return false;
    if (RunIntegerMethodStatement(static_cast<CIBaseObjectVar*>(object), NextInstr(name)))
        return true;
    // OpStatementExpression and EvalExpression up to the first operand.
    StatementValueDropped dropped(this);
    const int32_t base = m_evalLevel;
    m_operatorStack[base] = 0;
    PushLevel();
    Result()->SetOrigin(nullptr);
    StepInstr();
    CallScriptObjectMember(static_cast<CIBaseObjectVar*>(object));
    // FinishExpression, which has nothing to do before a statement's end.
    if (IsBinaryOperator(Code()))
        FinishExpression(base);
    else
        m_evalLevel = base;
    return true;
}

// Member access on an object defined by a script, with the member-access
// instruction at the code pointer.
void CInterpretor::CallScriptObjectMember(CIBaseObjectVar* object) {
    const uint8_t* instr = m_pc;
    const uint16_t code = Code();
    const uint32_t nameRef = ReadU32(m_pc + kFieldNameRef);
    CVariable* member = FindMemberAt(object, instr);
    if (code == kOpMemberCall) {
        if (member == nullptr)
            RaiseError(42);
        if (member->value.GetTag() != CValue::kFunction)
            RaiseError(44);
        const CFunctionRecord* function = member->value.FunctionOf();
        // The object is the This of the call from here on: while its
        // arguments are evaluated it may be neither deleted nor collected.
        {
            ActiveObject active(object);
            if (!TryIntegerCallHere(function, object)) {
                LocalScope local(this);
                CallScriptFunction(local.Get(), object, function);
            }
        }
        MemberOnCallResult();
        return;
    }
    StepInstr();
    if (code == kOpMember) {
        if (member != nullptr) {
            AfterValueOperand(&member->value);
            return;
        }
        // Only an assignment can follow: it creates the member.
        Place()->holder.SetObject(object, 1);
        Result()->SetReference(CValue::kMemberRef, reinterpret_cast<uintptr_t>(instr));
        if (Code() != kOpAssign)
            RaiseError(41);
        return;
    }
    // kOpMemberIndex
    int32_t indices[CScriptArray::kMaxDimensions];
    SetPlaceIndices(indices, EvalIndexList(indices));
    member = object->FindVariable(nameRef);  // the indices may have changed the object
    AfterIndexedValue(member != nullptr ? &member->value : nullptr, instr, CValue::kMemberArrayRef, object);
}
