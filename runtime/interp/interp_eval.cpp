// The expression evaluator and the operand handlers of the evaluation table.
//
// Expressions are evaluated from the code by operator precedence: slot i of
// the value stack holds the operand of level i, m_operatorStack[i] the
// operator pending between slots i and i + 1. The operation code of an
// operator is its precedence (higher binds tighter, equal codes associate to
// the left). An operand that is a variable leaves a copy of its value and
// remembers the variable as the slot's origin (the assignment target).
#include "runtime/interp/interpretor.h"

#include "runtime/interp/script_array.h"

void CInterpretor::PushLevel() {
    // The value stack bounds expression nesting and script recursion: going
    // deeper is refused instead of writing past the stack.
    if (m_evalLevel + 2 >= kValueStackSize)
        RaiseError(15);
    ++m_evalLevel;
}

void CInterpretor::EvalOperandAtLevel() {
    CValue* slot = m_valueStack[m_evalLevel];
    slot->SetOrigin(nullptr);
    const uint16_t code = Code();
    // The commonest operands go by direct calls, which predict better than
    // the one indirect call through the table.
    switch (code) {
    case kOpName:
        OpEvalName();
        return;
    case kOpCallName:
        OpEvalCall();
        return;
    case kOpInt:
        slot->SetInt(ReadI32(m_pc + kFieldValue));
        StepInstr();
        return;
    case kOpCloseParen:
    case kOpComma:
    case kOpSemicolon:
        slot->SetDefault();  // the omitted operand of i++ and of f(a, , b)
        return;
    default:
        break;
    }
    if (code >= kOpTableSize)
        RaiseError(16);
    (this->*kEvaluationTable[code])();
}

void CInterpretor::ApplyOperator(uint32_t code) {
    switch (code) {
    case kOpAssign:
        OpAssign();
        return;
    case kOpAdd:
        OpAdd();
        return;
    case kOpLess:
        OpLess();
        return;
    case kOpIncrement:
        OpPostIncrement();
        return;
    default:
        (this->*kOperatorTable[code])();
        return;
    }
}

CValue* CInterpretor::EvalExpression() {
    if (CValue* value = TrySimpleForm())
        return value;
    // An expression decoded before without a shortcut of its own goes by
    // its translation first, which runs faster than the loop of the simple
    // expressions; one never decoded is decoded here.
    const bool decoded = m_simpleExprs && SimpleEntry(m_pc).instr == m_pc;
    const bool translate = m_fastPaths && m_varDeclared == nullptr;
    if (decoded && translate && SimpleEntry(m_pc).form == nullptr)
        if (CValue* value = RunTranslation())
            return value;
    if (!decoded || SimpleEntry(m_pc).simple) {
        if (CValue* value = EvalSimpleExpression())
            return value;
    }
    // Any other expression by its translation when it has one.
    if (!decoded && translate) {
        if (CValue* value = RunTranslation())
            return value;
    }
    const int32_t base = m_evalLevel;
    m_operatorStack[base] = 0;
    PushLevel();
    EvalOperandAtLevel();
    return FinishExpression(base);
}

CValue* CInterpretor::FinishExpression(int32_t base) {
    for (;;) {
        uint32_t code = Code();
        if (!IsBinaryOperator(code))
            break;
        ReducePending(base, code);
        if (code == kOpConditional) {
            EvalConditional();
            continue;
        }
        m_operatorStack[m_evalLevel] = code;
        StepInstr();
        PushLevel();
        EvalOperandAtLevel();
    }
    ReducePending(base, 0);
    m_evalLevel = base;
    return m_valueStack[base + 1];
}

const char* CInterpretor::NameOf(uint32_t nameRef) const {
    const char* name = m_program.GetName(nameRef);
    return name != nullptr ? name : "";
}

CVariable* CInterpretor::LookUpName(uint32_t nameRef) {
    if (CVariable* variable = m_scope->FindVariable(nameRef))
        return variable;
    if (m_thisObject != m_scope && m_thisObject != this && IsScriptObject(m_thisObject)) {
        if (CVariable* variable = static_cast<CIBaseObjectVar*>(m_thisObject)->FindVariable(nameRef))
            return variable;
    }
    if (m_scope != this)
        return CIBaseObjectVar::FindVariable(nameRef);
    return nullptr;
}

CVariable* CInterpretor::LookUpNameAndRemember(const uint8_t* instr) {
    CNameCacheEntry& entry = CacheEntry(instr);
    const uint32_t nameRef = ReadU32(instr + kFieldNameRef);
    CVariable* variable = LookUpName(nameRef);
    if (variable == nullptr)
        return nullptr;
    const int position = m_sharedEpoch ? ParameterPosition(variable) : -1;
    // A variable of the call's own scope that is no listed parameter is
    // another variable in every call sharing the epoch: not remembered.
    if (position < 0 && m_sharedEpoch && m_scope->FindVariable(nameRef) == variable)
        return variable;
    entry.instr = instr;
    entry.object = position >= 0 ? ParameterMark(position) : nullptr;
    entry.stamp = m_contextEpoch;
    entry.variable = position >= 0 ? nullptr : variable;
    return variable;
}

static bool IsMemberAccess(uint16_t code) {
    return code == kOpMemberCall || code == kOpMember || code == kOpMemberIndex;
}

// What follows an operand that holds a value: a member access on an object or
// a text, or the value itself with its variable as target.
void CInterpretor::AfterOtherValueOperand(CValue* value, uint32_t nameRef) {
    CValue* result = Result();
    if (IsMemberAccess(Code())) {
        MemberOnValue(value);
        return;
    }
    // The left operand of "=" or of a compound assignment that nothing
    // reduces first is never read: only its variable counts. Not copying it
    // keeps s += "x" from copying the whole text every time.
    const uint16_t next = Code();
    if ((next == kOpAssign || (next >= kOpAddAssign && next <= kOpShrAssign)) &&
        m_operatorStack[m_evalLevel - 1] < next) {
        result->SetInt(0);
    } else if (nameRef == kNotAName || !value->HoldsOwnedText() ||
               !(next == kOpAdd ? LendTextForAppend(result, value, nameRef)
                                : next == kOpSemicolon && LendTextForPrepend(result, value))) {
        result->Assign(*value);
    }
    result->SetOrigin(value);
}

// The member access at the code pointer on a value: a member of the object it
// refers to, or a String member of its text; other values have no members.
void CInterpretor::MemberOnValue(CValue* value) {
    const uint32_t tag = value->GetTag();
    if (tag == CValue::kObject) {
        CIBaseClassImpl* object = value->GetObject();
        if (object == nullptr)
            RaiseError(32);
        if (IsScriptObject(object))
            CallScriptObjectMember(static_cast<CIBaseObjectVar*>(object));
        else
            CallObjectMember(object);
        return;
    }
    if (tag != CValue::kText)
        RaiseError(35);
    MemberOnText(nullptr, value);
}

// A member written after a call (a.B().C, s.ToUpperCase().Length()) applies
// to the call's result. The result is taken out of the slot first: the next
// handler writes its own result there.
void CInterpretor::MemberOnCallResult() {
    if (!IsMemberAccess(Code()))
        return;
    CValue held(this);
    held.Assign(*Result());
    MemberOnValue(&held);
}

void CInterpretor::MemberOnText(const char* text, const CValue* value) {
    CIBaseClassImpl* subject = m_globalObjects[kGlobalString];
    if (subject != m_textSubjectOf) {
        m_textSubject = dynamic_cast<CITextSubject*>(subject);
        m_textSubjectOf = subject;
    }
    CITextSubject* holder = m_textSubject;
    if (holder == nullptr)
        RaiseError(35);
    if (value != nullptr)
        holder->LoadValue(*value);  // shared, not copied
    else
        holder->LoadText(text);
    CallObjectMember(subject);
}

int32_t CInterpretor::EvalIndexList(int32_t* indices) {
    int32_t count = 0;
    for (;;) {
        CValue* value = EvalExpression();
        if (count == CScriptArray::kMaxDimensions)
            RaiseError(66);
        indices[count++] = value->GetInt();
        if (Code() != kOpComma)
            break;
        StepInstr();
    }
    StepInstr();  // the "]"
    return count;
}

// ---- operand handlers ----

void CInterpretor::OpEvalError() {
    RaiseError(16);
}

void CInterpretor::OpEvalInt() {
    Result()->SetInt(ReadI32(m_pc + kFieldValue));
    StepInstr();
}

void CInterpretor::OpEvalDouble() {
    Result()->SetDouble(ReadF64(m_pc + kFieldValue));
    StepInstr();
}

void CInterpretor::OpEvalString() {
    // The text stays in the code: borrowed, copied only where it is stored.
    const char* text = m_program.StringConstantText(m_pc);
    StepInstr();
    if (Code() == kOpDot) {
        StepInstr();
        MemberOnText(text);
        return;
    }
    Result()->SetString(text, 1);
}

void CInterpretor::OpEvalZero() {
    Result()->SetInt(0);
    StepInstr();
}

void CInterpretor::OpEvalOne() {
    Result()->SetInt(1);
    StepInstr();
}

void CInterpretor::OpEvalOmitted() {
    Result()->SetDefault();
    StepInstr();
}

void CInterpretor::OpEvalMissing() {
    // ")", "," or ";" where an operand should be: an omitted value, not stepped.
    Result()->SetDefault();
}

void CInterpretor::OpEvalParen() {
    StepInstr();
    EvalExpression();
    TakeSlotAbove();
    if (Code() != kOpCloseParen)
        RaiseError(2);
    StepInstr();
    CValue* result = Result();
    if (IsMemberAccess(Code())) {
        // (expression).Member: the value's own member access.
        CValue value(this);
        value.Assign(*result);
        AfterValueOperand(&value);
    }
}

void CInterpretor::OpEvalNot() {
    StepInstr();
    EvalOperandAtLevel();
    Result()->LogicalNot();
    Result()->SetOrigin(nullptr);
}

void CInterpretor::OpEvalComplement() {
    StepInstr();
    EvalOperandAtLevel();
    Result()->BitwiseNot();
    Result()->SetOrigin(nullptr);
}

void CInterpretor::OpEvalNegate() {
    StepInstr();
    EvalOperandAtLevel();
    Result()->Negate();
    Result()->SetOrigin(nullptr);
}

void CInterpretor::OpEvalPrefixIncrement() {
    StepInstr();
    EvalOperandAtLevel();
    CValue* target = Result()->GetOrigin();
    if (target == nullptr)
        RaiseError(41);
    target->Increment();
    Result()->Assign(*target);
    Result()->SetOrigin(target);
}

void CInterpretor::OpEvalPrefixDecrement() {
    StepInstr();
    EvalOperandAtLevel();
    CValue* target = Result()->GetOrigin();
    if (target == nullptr)
        RaiseError(41);
    target->Decrement();
    Result()->Assign(*target);
    Result()->SetOrigin(target);
}

void CInterpretor::OpEvalName() {
    const uint8_t* instr = m_pc;
    const uint32_t nameRef = ReadU32(m_pc + kFieldNameRef);
    StepInstr();
    CVariable* variable = nullptr;
    if (instr == m_varDeclared) {
        // Var: a variable of this name in this very block is reused, any
        // other one is shadowed by a new variable.
        variable = m_scope->FindVariable(nameRef);
        if (variable != nullptr && variable->level != m_blockLevel)
            variable = nullptr;
    } else {
        variable = LookUpNameAt(instr);
    }
    if (variable == nullptr) {
        Result()->SetReference(CValue::kNone, reinterpret_cast<uintptr_t>(instr));
        return;
    }
    AfterValueOperand(&variable->value, nameRef);
}

// Reads the element of an array value at the indices (the place holds the
// indices already), or leaves an unresolved element.
void CInterpretor::AfterIndexedValue(CValue* value, const uint8_t* instr, uint32_t unresolvedKind,
                                     CIBaseClassImpl* owner) {
    CLevelPlace* place = Place();
    CScriptArray* array = value != nullptr ? value->GetArray() : nullptr;
    if (array != nullptr) {
        uint32_t index = array->CellIndex(place->indices, place->count);
        CValue* cell = array->GetStoredCell(index);
        if (cell != nullptr) {
            AfterValueOperand(cell);
            return;
        }
        place->holder.Assign(*value);
        Result()->SetReference(CValue::kArrayCellRef, 1);
        return;
    }
    // No array yet (unknown name, or a variable that holds something else):
    // only an assignment can follow, which makes the array.
    if (owner != nullptr)
        place->holder.SetObject(owner, 1);
    else
        place->holder.Clear();
    Result()->SetReference(unresolvedKind, reinterpret_cast<uintptr_t>(instr));
    if (value == nullptr && Code() != kOpAssign && instr != m_varDeclared)
        RaiseError(41);
}

void CInterpretor::OpEvalIndexName() {
    const uint8_t* instr = m_pc;
    StepInstr();
    int32_t indices[CScriptArray::kMaxDimensions];
    SetPlaceIndices(indices, EvalIndexList(indices));
    CVariable* variable = LookUpNameAt(instr);
    AfterIndexedValue(variable != nullptr ? &variable->value : nullptr, instr, CValue::kIndexedNameRef, nullptr);
}

void CInterpretor::DeclareWithVar() {
    StepInstr();
    const uint8_t* name = m_pc;
    m_varDeclared = name;
    CValue* value;
    try {
        value = EvalExpression();
    } catch (...) {
        m_varDeclared = nullptr;
        throw;
    }
    m_varDeclared = nullptr;
    // "Var x" alone still creates x.
    const uint32_t tag = value->GetTag();
    if ((tag == CValue::kNone || tag == CValue::kIndexedNameRef) && InstrCode(name) != kOpEnd &&
        value->GetReferencePayload() == reinterpret_cast<uintptr_t>(name)) {
        CVariable* variable = m_scope->AddVariable(ReadU32(name + kFieldNameRef), m_blockLevel);
        if (tag == CValue::kIndexedNameRef)
            variable->value.MakeArray();
        value->Assign(variable->value);
        value->SetOrigin(&variable->value);
    }
}

void CInterpretor::OpEvalVar() {
    DeclareWithVar();
    TakeSlotAbove();
}

void CInterpretor::OpEvalThis() {
    StepInstr();
    CIBaseClassImpl* object = m_thisObject;
    if (IsMemberAccess(Code())) {
        if (IsScriptObject(object))
            CallScriptObjectMember(static_cast<CIBaseObjectVar*>(object));
        else
            CallObjectMember(object);
        return;
    }
    Result()->SetObject(object, 1);
}

void CInterpretor::OpEvalCurWindow() {
    if (m_currentWindow == nullptr)
        RaiseError(31);
    StepInstr();
    if (IsMemberAccess(Code())) {
        CallObjectMember(m_currentWindow);
        return;
    }
    Result()->SetObject(m_currentWindow, 1);
}

void CInterpretor::OpEvalClass() {
    const uint16_t classId = Code();
    const int slot = GlobalSlotOfClass(classId);
    if (slot < 0) {
        EvalClassConstant();
        return;
    }
    CIBaseClassImpl* object = m_globalObjects[slot];
    if (object == nullptr && InstrCode(NextInstr(m_pc)) == kOpMember) {
        EvalClassConstant();  // its constants need no object
        return;
    }
    StepInstr();
    if (!IsMemberAccess(Code()))
        RaiseError(16);
    if (object == nullptr)
        RaiseError(38);  // a global object this runtime does not build
    CallObjectMember(object);
}

int CInterpretor::GlobalSlotOfClass(uint32_t classId) {
    switch (classId) {
    case kClassMath: return kGlobalMath;
    case kClassDisk: return kGlobalDisk;
    case kClassKeyboard: return kGlobalKeyboard;
    case kClassSystem: return kGlobalSystem;
    case kClassProgram: return kGlobalProgram;
    case kClassDisplay: return kGlobalDisplay;
    case kClassEditor: return kGlobalEditor;
    default: return -1;
    }
}
