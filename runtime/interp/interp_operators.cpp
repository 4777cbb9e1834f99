// Binary operators, assignment, compound assignment, postfix ++/-- and the
// conditional operator. Each operator handler combines the slot of the
// current level (left operand, receives the result) with the slot above it
// (right operand).
#include "runtime/interp/interpretor.h"

#include "runtime/interp/script_array.h"

namespace {
CValue::Tag PlaceTag(uint32_t tag) { return static_cast<CValue::Tag>(tag); }
}  // namespace

CValue* CInterpretor::Right() {
    return m_valueStack[m_evalLevel + 1];
}

void CInterpretor::OpBinary(CValueOp op) {
    CValue* left = Result();
    left->SetOrigin(nullptr);
    left->Apply(op, *Right());
}

// A text added to the text lent by `t = x + t;` goes in front of the lent
// block, in place when it has room there: the lent text is the statement's
// last operand, and what the "+" makes is assigned back to t at once.
void CInterpretor::OpAdd() {
    CValue* left = Result();
    CValue* right = Right();
    if (right == m_textLoan.slot && m_textLoan.prefix && left->GetTag() == CValue::kText && right->HoldsOwnedText()) {
        m_textLoan = CTextLoan();
        left->SetOrigin(nullptr);
        right->PrependText(left->GetText() != nullptr ? left->GetText() : "");
        left->TakeTextFrom(*right);
        return;
    }
    CValue* target = left->GetTag() == CValue::kText && m_fastPaths ? TextAssignedBack(left) : nullptr;
    if (target == nullptr) {
        OpBinary(CValueOp::Add);
        return;
    }
    // t lets go of its text, so that the copy read from it is no longer
    // shared and grows in place; should the "+" fail (memory), t gets it back.
    target->Clear();
    try {
        OpBinary(CValueOp::Add);
    } catch (...) {
        target->Assign(*left);
        throw;
    }
}

// `t = t + x;` with any x: the "+" is the statement's last step before the
// "=", x is evaluated already and t is assigned at once after, so nothing can
// see t between the two. Answers t when the left operand is t's own text and
// x a number or a text (no operand that makes "+" fail on purpose).
CValue* CInterpretor::TextAssignedBack(CValue* left) {
    const int32_t level = m_evalLevel;
    CValue* target = left->GetOrigin();
    const uint32_t rightTag = Right()->GetTag();
    if (target == nullptr || level < 1 || level - 1 != m_discardLevel || m_operatorStack[level - 1] != kOpAssign ||
        Code() != kOpSemicolon || m_valueStack[level - 1]->GetOrigin() != target || m_textLoan.variable != nullptr ||
        m_varDeclared != nullptr || rightTag > CValue::kText)
        return nullptr;
    if (target->GetTag() != CValue::kText || target->GetText() != left->GetText() || !target->HoldsOwnedText())
        return nullptr;
    return target;
}

void CInterpretor::OpSubtract() { OpBinary(CValueOp::Sub); }
void CInterpretor::OpDivide() { OpBinary(CValueOp::Div); }
void CInterpretor::OpMultiply() { OpBinary(CValueOp::Mul); }
void CInterpretor::OpBitAnd() { OpBinary(CValueOp::BitAnd); }
void CInterpretor::OpBitOr() { OpBinary(CValueOp::BitOr); }
void CInterpretor::OpBitXor() { OpBinary(CValueOp::BitXor); }
void CInterpretor::OpModulo() { OpBinary(CValueOp::Mod); }
void CInterpretor::OpShiftLeft() { OpBinary(CValueOp::ShiftLeft); }
void CInterpretor::OpShiftRight() { OpBinary(CValueOp::ShiftRight); }
void CInterpretor::OpGreaterEqual() { OpBinary(CValueOp::GreaterEqual); }
void CInterpretor::OpLessEqual() { OpBinary(CValueOp::LessEqual); }
void CInterpretor::OpEqual() { OpBinary(CValueOp::Equal); }
void CInterpretor::OpLess() { OpBinary(CValueOp::Less); }
void CInterpretor::OpGreater() { OpBinary(CValueOp::Greater); }
void CInterpretor::OpNotEqual() { OpBinary(CValueOp::NotEqual); }
// No short circuit: both operands are already evaluated.
void CInterpretor::OpLogicalAnd() { OpBinary(CValueOp::LogicalAnd); }
void CInterpretor::OpLogicalOr() { OpBinary(CValueOp::LogicalOr); }

// "!" and "~" between two operands apply to the left one; the right is dropped.
void CInterpretor::OpInfixNot() {
    Result()->SetOrigin(nullptr);
    Result()->LogicalNot();
}

void CInterpretor::OpInfixComplement() {
    Result()->SetOrigin(nullptr);
    Result()->BitwiseNot();
}

// Postfix: the value before the change stays the result; the right operand
// (the omitted value the code supplies) is dropped.
void CInterpretor::OpPostIncrement() {
    CValue* target = Result()->GetOrigin();
    if (target == nullptr)
        RaiseError(41);
    target->Increment();
    Result()->SetOrigin(nullptr);
}

void CInterpretor::OpPostDecrement() {
    CValue* target = Result()->GetOrigin();
    if (target == nullptr)
        RaiseError(41);
    target->Decrement();
    Result()->SetOrigin(nullptr);
}

void CInterpretor::OpCompound(CValueOp op) {
    CValue* target = Result()->GetOrigin();
    if (target == nullptr)
        RaiseError(41);
    target->Apply(op, *Right());
    // The value of an expression statement is dropped: no copy of the
    // target then (a growing text would otherwise be copied every time).
    if (m_evalLevel == m_discardLevel && !IsBinaryOperator(Code()))
        Result()->SetInt(0);
    else
        Result()->Assign(*target);
    Result()->SetOrigin(target);
}

void CInterpretor::OpAddAssign() { OpCompound(CValueOp::Add); }
void CInterpretor::OpSubAssign() { OpCompound(CValueOp::Sub); }
void CInterpretor::OpMulAssign() { OpCompound(CValueOp::Mul); }
void CInterpretor::OpDivAssign() { OpCompound(CValueOp::Div); }
void CInterpretor::OpAndAssign() { OpCompound(CValueOp::BitAnd); }
void CInterpretor::OpOrAssign() { OpCompound(CValueOp::BitOr); }
void CInterpretor::OpXorAssign() { OpCompound(CValueOp::BitXor); }
void CInterpretor::OpModAssign() { OpCompound(CValueOp::Mod); }
void CInterpretor::OpShlAssign() { OpCompound(CValueOp::ShiftLeft); }
void CInterpretor::OpShrAssign() { OpCompound(CValueOp::ShiftRight); }

// The array variable of an unresolved indexed place: found again by name in
// the given object (or the scopes), else created; made an array when it holds
// something else.
CValue* CInterpretor::ArrayVariableFor(const uint8_t* instr, CIBaseObjectVar* object) {
    const uint32_t nameRef = ReadU32(instr + kFieldNameRef);
    CVariable* variable = object != nullptr ? object->FindVariable(nameRef) : LookUpName(nameRef);
    if (variable == nullptr)
        variable = object != nullptr ? object->AddVariable(nameRef, 0) : m_scope->AddVariable(nameRef, m_blockLevel);
    if (variable->value.GetArray() == nullptr)
        variable->value.MakeArray();
    return &variable->value;
}

CIBaseObjectVar* CInterpretor::PlaceObject() {
    CValue& holder = Place()->holder;
    if (holder.GetTag() != CValue::kObject || holder.GetObject() == nullptr)
        RaiseError(32);  // the object died before the assignment
    CIBaseClassImpl* object = holder.GetObject();
    if (!IsScriptObject(object))
        RaiseError(41);
    return static_cast<CIBaseObjectVar*>(object);
}

void CInterpretor::OpAssign() {
    CValue* left = Result();
    CValue* right = Right();
    CValue* target = nullptr;
    CLevelPlace* place = Place();
    switch (PlaceTag(left->GetTag())) {
    case CValue::kNone: {
        // A new variable of the current scope, at the current block depth.
        const uint8_t* instr = reinterpret_cast<const uint8_t*>(left->GetReferencePayload());
        CVariable* variable = m_scope->AddVariable(ReadU32(instr + kFieldNameRef), m_blockLevel);
        target = &variable->value;
        break;
    }
    case CValue::kMemberRef: {
        // A new member of a script object: it stays with the object.
        const uint8_t* instr = reinterpret_cast<const uint8_t*>(left->GetReferencePayload());
        CVariable* variable = PlaceObject()->AddVariable(ReadU32(instr + kFieldNameRef), 0);
        target = &variable->value;
        break;
    }
    case CValue::kIndexedNameRef:
    case CValue::kMemberArrayRef: {
        const uint8_t* instr = reinterpret_cast<const uint8_t*>(left->GetReferencePayload());
        CIBaseObjectVar* object = left->GetTag() == CValue::kMemberArrayRef ? PlaceObject() : nullptr;
        CValue* array = ArrayVariableFor(instr, object);
        array->SetArrayItemAt(place->indices, place->count, *right);
        place->holder.Clear();
        TakeSlotAbove();
        return;
    }
    case CValue::kArrayCellRef: {
        if (place->holder.GetArray() == nullptr)
            RaiseError(41);
        place->holder.SetArrayItemAt(place->indices, place->count, *right);
        place->holder.Clear();
        TakeSlotAbove();
        return;
    }
    default:
        target = left->GetOrigin();
        if (target == nullptr)
            RaiseError(16);
        break;
    }
    AssignTarget(target, right);
    place->holder.Clear();
    TakeSlotAbove();
    Result()->SetOrigin(target);
}

void CInterpretor::AssignTarget(CValue* target, CValue* right) {
    if (m_textLoan.variable == target)
        m_textLoan = CTextLoan();
    if (m_evalLevel == m_discardLevel && !IsBinaryOperator(Code()))
        target->TakeTextFrom(*right);
    else
        target->Assign(*right);
}

// `t = t + a + b;`, a statement that only appends to t, copies t's text
// twice per statement the plain way (into the operand slot, and back by the
// assignment): building a text so is quadratic. Instead the text is moved
// into the slot, appended to in place and moved back. That is only
// invisible when nothing reads or changes t before the assignment, so
// everything behind the "+" must be constants and names other than t,
// joined by "+" up to the statement's end: none of them can run code. Such
// an operand can still fail to be added (an object, say): the text then
// goes back to t as it was (RaiseError).
bool CInterpretor::LendTextForAppend(CValue* slot, CValue* variable, uint32_t nameRef) {
    if (!m_fastPaths || m_textLoan.variable != nullptr || m_varDeclared != nullptr || !variable->HoldsOwnedText())
        return false;
    const int32_t level = m_evalLevel;
    if (level < 1 || level - 1 != m_discardLevel || m_operatorStack[level - 1] != kOpAssign ||
        m_valueStack[level - 1]->GetOrigin() != variable)
        return false;
    const uint8_t* p = m_pc;
    if (InstrCode(p) != kOpAdd)
        return false;
    do {
        p = NextInstr(p);
        const uint16_t code = InstrCode(p);
        if (code == kOpName) {
            if (ReadU32(p + kFieldNameRef) == nameRef)
                return false;
        } else if (code != kOpString && code != kOpDouble && !IsIntConstant(code)) {
            return false;
        }
        p = NextInstr(p);
    } while (InstrCode(p) == kOpAdd);
    if (InstrCode(p) != kOpSemicolon)
        return false;
    m_textLoan.variable = variable;
    m_textLoan.slot = slot;
    m_textLoan.length = variable->TextLength();
    slot->TakeTextFrom(*variable);
    return true;
}

// `t = x + t;`: the same for a text built from the front. t is the last
// operand of the statement, right behind the "+" that follows the "=".
bool CInterpretor::LendTextForPrepend(CValue* slot, CValue* variable) {
    if (!m_fastPaths || m_textLoan.variable != nullptr || m_varDeclared != nullptr || !variable->HoldsOwnedText())
        return false;
    const int32_t level = m_evalLevel;
    if (level < 2 || level - 2 != m_discardLevel || m_operatorStack[level - 2] != kOpAssign ||
        m_operatorStack[level - 1] != kOpAdd || m_valueStack[level - 2]->GetOrigin() != variable ||
        InstrCode(m_pc) != kOpSemicolon)
        return false;
    m_textLoan.variable = variable;
    m_textLoan.slot = slot;
    m_textLoan.length = variable->TextLength();
    m_textLoan.prefix = true;
    slot->TakeTextFrom(*variable);
    return true;
}

void CInterpretor::ReturnTextLoan() {
    CTextLoan loan = m_textLoan;
    m_textLoan = CTextLoan();
    if (loan.slot->HoldsOwnedText()) {
        loan.variable->TakeTextFrom(*loan.slot);
        loan.variable->TruncateText(loan.length);
    }
}

// a ? b : c. Everything pending before the "?" is reduced already; the
// condition is the current slot.
void CInterpretor::EvalConditional() {
    const bool condition = Result()->GetInt() != 0;
    StepInstr();
    if (condition) {
        EvalExpression();
        TakeSlotAbove();
        if (Code() != kOpColon)
            RaiseError(5);
        StepInstr();
        m_pc = SkipToUnmatchedClose(m_pc);
    } else {
        const uint8_t* colon = SkipToConditionalColon(m_pc);
        if (InstrCode(colon) != kOpColon)
            RaiseError(5);
        m_pc = NextInstr(colon);
        EvalExpression();
        TakeSlotAbove();
    }
    Result()->SetOrigin(nullptr);
}
