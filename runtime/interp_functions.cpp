// Script functions: calls by name, methods of objects defined by scripts,
// parameter binding, and member access on such objects (their members are
// their variables).
#include "runtime/interpretor.h"

#include "runtime/script_array.h"

#include <new>

namespace {

// Restores what a function call changes, also when an error unwinds through
// it (a handled error lets the caller go on).
struct CCallState {
    explicit CCallState(CInterpretor* in)
        : interpretor(in), scope(in->m_scope), thisObject(in->m_thisObject), epoch(in->m_contextEpoch),
          programIndex(in->m_programIndex), level(in->GetBlockLevel()) {}
    ~CCallState() {
        interpretor->RestoreContext(scope, thisObject, epoch);
        interpretor->m_programIndex = programIndex;
        interpretor->m_pc = pc;
    }
    CInterpretor* interpretor;
    CIBaseObjectVar* scope;
    CIBaseClassImpl* thisObject;
    uint64_t epoch;
    int32_t programIndex;
    int32_t level;
    const uint8_t* pc = nullptr;
};

}  // namespace

void CInterpretor::RestoreContext(CIBaseObjectVar* scope, CIBaseClassImpl* thisObject, uint64_t epoch) {
    m_scope = scope;
    m_thisObject = thisObject;
    // Stamps and epochs come from one counter: a table changed since the
    // epoch has a later stamp.
    if (scope->m_stamp <= epoch && ThisStamp() <= epoch && m_stamp <= epoch)
        m_contextEpoch = epoch;
    else
        m_contextEpoch = ++m_variableGeneration;
}

CIBaseObjectVar* CInterpretor::AcquireScope() {
    CIBaseObjectVar* scope;
    if (!m_scopePool.empty()) {
        scope = m_scopePool.back();
        m_scopePool.pop_back();
    } else {
        scope = new CIBaseObjectVar(this, GetClassRecord(kScriptObjectClassId), kScriptObjectClassId, false);
    }
    scope->m_alive = 1;
    return scope;
}

void CInterpretor::ReleaseScope(CIBaseObjectVar* scope) {
    if (scope->m_variables.GetCount() != 0)
        scope->DropVariablesFromLevel(0);
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
    for (CIBaseObjectVar* scope : m_scopePool)
        delete scope;
    m_scopePool.clear();
    for (CVariable* variable : m_variablePool)
        delete variable;
    m_variablePool.clear();
}

void CInterpretor::RunFunctionBody(CIBaseObjectVar* localScope, CIBaseClassImpl* thisObject,
                                   const CFunctionRecord* function, CValue* result) {
    const CBlockRecord* block = function->block;
    if (block == nullptr || block->kind != kBlockFunction)
        RaiseError(44);
    CCallState saved(this);
    saved.pc = m_pc;
    EnterBlock(block);
    const int32_t functionLevel = m_blockLevel;
    struct LevelRestore {
        CInterpretor* in;
        int32_t functionLevel;
        ~LevelRestore() {
            // Blocks a Return left open go with the function's own block.
            while (in->m_blockLevel > functionLevel) {
                in->m_blockStack.ClearAt(in->m_blockLevel);
                --in->m_blockLevel;
            }
            if (in->m_blockLevel == functionLevel)
                in->LeaveBlock();
        }
    } levelRestore{this, functionLevel};
    EnterContext(localScope, thisObject);
    // The objects of running calls may not be deleted under them.
    m_activeObjects.push_back(thisObject);
    struct ActiveRestore {
        std::vector<const CIBaseClassImpl*>* active;
        ~ActiveRestore() { active->pop_back(); }
    } activeRestore{&m_activeObjects};

    // Parameters by position: omitted ones read as the default value, extra
    // arguments are bound to nothing.
    const int32_t argCount = m_argCounts[m_callDepth];
    const CValue* cells = &m_argCells[m_callDepth * kFrameSize];
    m_pc = NextInstr(CodeBase() + block->step);
    if (Code() == kOpOpenParen) {
        StepInstr();
        for (int32_t i = 0;; ++i) {
            if (Code() != kOpName)
                RaiseError(16);
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
    }
    m_programIndex = static_cast<int32_t>(block->moduleWord);
    RunLoop(static_cast<uint32_t>(NextInstr(CodeBase() + block->start) - CodeBase()), result);
}

void CInterpretor::CallScriptFunction(CIBaseObjectVar* localScope, CIBaseClassImpl* thisObject,
                                      const CValue& function) {
    const CFunctionRecord* record = function.GetFunction();
    const uint16_t code = Code();
    StepInstr();
    if (code == kOpCallName || code == kOpMemberCall)
        EvalArgumentsIntoFrame();
    else
        SetArgCount(0);
    CValue result(this);
    RunFunctionBody(localScope, thisObject, record, &result);
    Result()->Assign(result);
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
    CValue function(this);
    function.Assign(variable->value);
    LocalScope local(this);
    CallScriptFunction(local.Get(), m_thisObject, function);
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
        CValue function(this);
        function.Assign(member->value);
        CValue keep(object);
        LocalScope local(this);
        CallScriptFunction(local.Get(), object, function);
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
    int32_t count = EvalIndexList(indices);
    CLevelPlace* place = Place();
    for (int32_t i = 0; i < count; ++i)
        place->indices[i] = indices[i];
    place->count = count;
    member = object->FindVariable(nameRef);  // the indices may have changed the object
    AfterIndexedValue(member != nullptr ? &member->value : nullptr, instr, CValue::kMemberArrayRef, object);
}
