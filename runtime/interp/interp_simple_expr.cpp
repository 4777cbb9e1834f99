// The fast way through simple expressions (see CSimpleExpr): operands that
// are names, This.member, name[index] (a name or integer index), integer and
// text constants or omitted, joined by binary operators other than "?".
//
// The decoded form only saves the reading of the instructions and the name
// lookups. The evaluation itself takes the same steps as EvalExpression, in
// the same order and with the code pointer at the same instruction at every
// step that can raise an error, and it applies the operators with the same
// handlers; so results, conversions and error positions are the same. The
// shapes below are the exception: on integers they work the result out
// directly, and leave what the steps would leave.
//
// Names are looked up before anything is evaluated (a lookup changes
// nothing), so a name that is not found sends the whole expression the
// general way; nothing in a simple expression can add or remove a variable
// while it is evaluated (no calls, and its names all exist).
#include "runtime/interp/interpretor.h"
#include "runtime/interp/simple_shapes.h"

#include "runtime/interp/script_array.h"

#include <cstring>

using namespace tw_simple;

namespace {
bool IsMemberAccessCode(uint16_t code) {
    return code == kOpMemberCall || code == kOpMember || code == kOpMemberIndex;
}

bool IsShapeBinary(uint32_t code) {
    int32_t r;
    return code != kOpAddAssign && code != kOpSubAssign && code != kOpMulAssign && code != kOpAndAssign &&
           code != kOpOrAssign && code != kOpXorAssign && code != kOpModAssign && IntResult(code, 1, 1, &r);
}

bool IsShapeCompound(uint32_t code) {
    return code == kOpAddAssign || code == kOpSubAssign || code == kOpMulAssign || code == kOpAndAssign ||
           code == kOpOrAssign || code == kOpXorAssign || code == kOpModAssign;
}

}  // namespace

uint8_t CInterpretor::SimpleShapeOf(const CSimpleExpr& entry) {
    using Operand = CSimpleOperand;
    const bool firstIsName = entry.operands[0].kind == Operand::kName || entry.operands[0].kind == Operand::kThisMember;
    if (entry.count == 1 && entry.operands[0].kind != Operand::kDefault)
        return kShapeSingle;
    if (entry.count == 2) {
        const uint32_t code = entry.operators[0];
        if (IsShapeBinary(code))
            return kShapeBinary;
        if (firstIsName && IsShapeCompound(code))
            return kShapeCompound;
        if (firstIsName && (code == kOpIncrement || code == kOpDecrement) &&
            entry.operands[1].kind == Operand::kDefault)
            return kShapePostStep;
        if (firstIsName && code == kOpAssign)
            return kShapeAssign;
        if (entry.operands[0].kind == Operand::kIndexed && code == kOpAssign)
            return kShapeIndexAssign;
    } else if (entry.count == 3) {
        if (firstIsName && entry.operators[0] == kOpAssign && IsShapeBinary(entry.operators[1]))
            return kShapeAssignBinary;
        if (entry.operands[0].kind == Operand::kIndexed && entry.operators[0] == kOpAssign &&
            IsShapeBinary(entry.operators[1]))
            return kShapeIndexAssignBinary;
    }
    return kShapeNone;
}

// The shortcuts, one function per shape and operator. Each reads its
// operands through the entry's cells, gives up (nothing changed) when one is
// not an integer or the operator would raise, and leaves what the
// precedence steps would leave: the variables, the result slot with its value
// and origin, the pending operators and the code pointer.
struct CInterpretor::SimpleForms {
    template <uint32_t Code>
    static bool Int(int32_t a, int32_t b, int32_t* r) {
        return IntResult(Code, a, b, r);
    }

    // The value of operand k that is a variable or a constant: its cell, or
    // for a parameter under a shared epoch the current call's parameter.
    static CValue* Cell(const CInterpretor* in, const CSimpleExpr& entry, int k) {
        CValue* cell = entry.cells[k];
        return cell != nullptr ? cell : &in->OperandVariable(entry.operands[k])->value;
    }

    static bool Read(const CValue* cell, int32_t* value) {
        if (cell->GetTag() != CValue::kInt)
            return false;
        *value = cell->GetInt();
        return true;
    }

    // The array of name[index] when it has one dimension, and the index
    // when it is an integer; null otherwise.
    static CScriptArray* IndexedArray(CInterpretor* in, const CSimpleOperand& operand, int32_t* index) {
        CScriptArray* array = in->OneDimensionalArray(operand.variable->value);
        if (array == nullptr)
            return nullptr;
        if (operand.indexIsName) {
            const CValue& indexValue = operand.indexVariable->value;
            if (indexValue.GetTag() != CValue::kInt)
                return nullptr;
            *index = indexValue.GetInt();
        } else {
            *index = operand.indexValue;
        }
        return array;
    }

    // Operand k: a variable or constant through its cell, name[index]
    // through the array (an existing cell inside the array only: reading
    // elsewhere grows the array or raises, the general way).
    static bool ReadAt(CInterpretor* in, const CSimpleExpr& entry, int k, int32_t* value) {
        const CValue* cell = entry.cells[k];
        if (cell == nullptr && entry.operands[k].kind == CSimpleOperand::kIndexed) {
            int32_t index;
            CScriptArray* array = IndexedArray(in, entry.operands[k], &index);
            return array != nullptr && array->IntAt(index, value);
        }
        if (cell == nullptr)
            cell = &in->OperandVariable(entry.operands[k])->value;
        return Read(cell, value);
    }

    // x[i] = r: as OpAssign on an array cell. The array grows first, with
    // the code pointer where the general way grows it (behind x[i]), so
    // that its errors are raised at the same place.
    static bool StoreIndexed(CInterpretor* in, const CSimpleExpr& entry, int32_t base, int32_t r, CValue* origin) {
        const CSimpleOperand& target = entry.operands[0];
        int32_t index;
        CScriptArray* array = IndexedArray(in, target, &index);
        if (array == nullptr)
            return false;
        if (static_cast<uint32_t>(index) >= array->m_sizes[0]) {
            in->m_pc = target.after;
            array->GrowToHold(index);
        }
        if (!array->StoreIntAt(static_cast<uint32_t>(index), r))
            return false;  // the general way raises 15
        CValue& holder = in->m_places[base + 1]->holder;
        if (holder.GetTag() != CValue::kInt || holder.GetInt() != 0)
            holder.Clear();
        // The value of the assignment is its right side's slot.
        std::swap(in->m_valueStack[base + 1], in->m_valueStack[base + 2]);
        std::swap(in->m_places[base + 1], in->m_places[base + 2]);
        CValue* slot = in->m_valueStack[base + 1];
        slot->SetInt(r);
        slot->SetOrigin(origin);
        Finish(in, entry, base);
        return true;
    }

    // x[i] = b, b a name or constant
    static bool IndexAssign(CInterpretor* in, CSimpleExpr& entry, int32_t base) {
        int32_t r;
        CValue* right = Cell(in, entry, 1);
        if (!Read(right, &r))
            return false;
        return StoreIndexed(in, entry, base, r, entry.operands[1].kind == CSimpleOperand::kInt ? nullptr : right);
    }

    // x[i] = a op b
    template <uint32_t Code>
    static bool IndexAssignBinary(CInterpretor* in, CSimpleExpr& entry, int32_t base) {
        int32_t a, b, r;
        if (!ReadAt(in, entry, 1, &a) || !ReadAt(in, entry, 2, &b) || !Int<Code>(a, b, &r))
            return false;
        return StoreIndexed(in, entry, base, r, nullptr);
    }

    static void Finish(CInterpretor* in, const CSimpleExpr& entry, int32_t base) {
        in->m_operatorStack[base] = 0;
        in->m_operatorStack[base + 1] = entry.operators[0];
        in->m_pc = entry.end;
    }

    // a: a copy of the value, with its variable as the target.
    static bool Single(CInterpretor* in, CSimpleExpr& entry, int32_t base) {
        int32_t a;
        CValue* cell = Cell(in, entry, 0);
        if (!Read(cell, &a))
            return false;
        CValue* slot = in->m_valueStack[base + 1];
        slot->SetInt(a);
        slot->SetOrigin(entry.operands[0].kind != CSimpleOperand::kInt ? cell : nullptr);
        in->m_operatorStack[base] = 0;
        in->m_pc = entry.end;
        return true;
    }

    // The values alone of a and of a op b.
    static bool SingleValue(CInterpretor* in, const CSimpleExpr& entry, int32_t* value) {
        return Read(Cell(in, entry, 0), value);
    }
    template <uint32_t Code>
    static bool BinaryValue(CInterpretor* in, const CSimpleExpr& entry, int32_t* value) {
        int32_t a, b;
        return ReadAt(in, entry, 0, &a) && ReadAt(in, entry, 1, &b) && Int<Code>(a, b, value);
    }

    // a op b
    template <uint32_t Code>
    static bool Binary(CInterpretor* in, CSimpleExpr& entry, int32_t base) {
        int32_t a, b, r;
        if (!ReadAt(in, entry, 0, &a) || !ReadAt(in, entry, 1, &b) || !Int<Code>(a, b, &r))
            return false;
        CValue* slot = in->m_valueStack[base + 1];
        slot->SetInt(r);
        slot->SetOrigin(nullptr);
        Finish(in, entry, base);
        return true;
    }

    // x op= b; the value of an expression statement is dropped (see
    // OpCompound).
    template <uint32_t Code>
    static bool Compound(CInterpretor* in, CSimpleExpr& entry, int32_t base) {
        CValue* target = Cell(in, entry, 0);
        int32_t a, b, r;
        if (!Read(target, &a) || !ReadAt(in, entry, 1, &b) || !Int<Code>(a, b, &r))
            return false;
        target->SetInt(r);
        CValue* slot = in->m_valueStack[base + 1];
        slot->SetInt(base + 1 == in->m_discardLevel ? 0 : r);
        slot->SetOrigin(target);
        Finish(in, entry, base);
        return true;
    }

    // x += "text" on a text, as a statement (its value dropped): appended in
    // place, as OpCompound does it.
    static bool TextAppend(CInterpretor* in, CSimpleExpr& entry, int32_t base) {
        CValue* target = Cell(in, entry, 0);
        if (target->GetTag() != CValue::kText || base + 1 != in->m_discardLevel)
            return false;
        in->m_pc = entry.end;  // where the general way applies the operator
        target->AppendText(in->m_program.StringConstantText(entry.operands[1].instr));
        CValue* slot = in->m_valueStack[base + 1];
        slot->SetInt(0);
        slot->SetOrigin(target);
        Finish(in, entry, base);
        return true;
    }

    // x++ and x--
    template <uint32_t Code>
    static bool PostStep(CInterpretor* in, CSimpleExpr& entry, int32_t base) {
        CValue* target = Cell(in, entry, 0);
        int32_t a;
        if (!Read(target, &a))
            return false;
        target->SetInt(static_cast<int32_t>(static_cast<uint32_t>(a) + (Code == kOpIncrement ? 1u : ~0u)));
        CValue* slot = in->m_valueStack[base + 1];
        slot->SetInt(a);
        slot->SetOrigin(nullptr);
        Finish(in, entry, base);
        return true;
    }

    static void Assigned(CInterpretor* in, const CSimpleExpr& entry, int32_t base, CValue* target, int32_t r) {
        target->SetInt(r);
        CValue& holder = in->m_places[base + 1]->holder;
        if (holder.GetTag() != CValue::kInt || holder.GetInt() != 0)
            holder.Clear();
        CValue* slot = in->m_valueStack[base + 1];
        slot->SetInt(r);
        slot->SetOrigin(target);
        Finish(in, entry, base);
    }

    // x = b
    static bool Assign(CInterpretor* in, CSimpleExpr& entry, int32_t base) {
        int32_t r;
        if (!Read(Cell(in, entry, 1), &r))
            return false;
        Assigned(in, entry, base, Cell(in, entry, 0), r);
        return true;
    }

    // x = a op b
    template <uint32_t Code>
    static bool AssignBinary(CInterpretor* in, CSimpleExpr& entry, int32_t base) {
        int32_t a, b, r;
        if (!ReadAt(in, entry, 1, &a) || !ReadAt(in, entry, 2, &b) || !Int<Code>(a, b, &r))
            return false;
        Assigned(in, entry, base, Cell(in, entry, 0), r);
        return true;
    }

    template <uint32_t Code> struct PickBinary { static constexpr SimpleForm value = &Binary<Code>; };
    template <uint32_t Code> struct PickBinaryValue { static constexpr SimpleValue value = &BinaryValue<Code>; };
    template <uint32_t Code> struct PickCompound { static constexpr SimpleForm value = &Compound<Code>; };
    template <uint32_t Code> struct PickAssignBinary { static constexpr SimpleForm value = &AssignBinary<Code>; };
    template <uint32_t Code> struct PickIndexAssignBinary { static constexpr SimpleForm value = &IndexAssignBinary<Code>; };
};

CInterpretor::SimpleForm CInterpretor::SimpleFormOf(const CSimpleExpr& entry) {
    // What each operand may be for the forms: an assignment target a name or
    // This.member (name[index] for the indexed shapes), a value read also
    // name[index] where ReadAt reads it.
    using Operand = CSimpleOperand;
    auto isVariable = [&](int i) {
        return entry.operands[i].kind == Operand::kName || entry.operands[i].kind == Operand::kThisMember;
    };
    auto isPlain = [&](int i) { return isVariable(i) || entry.operands[i].kind == Operand::kInt; };
    auto isReadable = [&](int i) { return isPlain(i) || entry.operands[i].kind == Operand::kIndexed; };
    static const CodeTable<SimpleForm, SimpleForms::PickBinary> binary;
    static const CodeTable<SimpleForm, SimpleForms::PickCompound> compound;
    static const CodeTable<SimpleForm, SimpleForms::PickAssignBinary> assignBinary;
    static const CodeTable<SimpleForm, SimpleForms::PickIndexAssignBinary> indexAssignBinary;
    switch (entry.shape) {
    case kShapeSingle:
        return isPlain(0) ? &SimpleForms::Single : nullptr;
    case kShapeBinary:
        return isReadable(0) && isReadable(1) ? binary.entries[entry.operators[0]] : nullptr;
    case kShapeCompound:
        if (isVariable(0) && entry.operators[0] == kOpAddAssign && entry.operands[1].kind == Operand::kText)
            return &SimpleForms::TextAppend;
        return isVariable(0) && isReadable(1) ? compound.entries[entry.operators[0]] : nullptr;
    case kShapePostStep:
        if (!isVariable(0))
            return nullptr;
        return entry.operators[0] == kOpIncrement ? &SimpleForms::PostStep<kOpIncrement>
                                                  : &SimpleForms::PostStep<kOpDecrement>;
    case kShapeAssign:
        return isVariable(0) && isPlain(1) ? &SimpleForms::Assign : nullptr;
    case kShapeAssignBinary:
        return isVariable(0) && isReadable(1) && isReadable(2) ? assignBinary.entries[entry.operators[1]] : nullptr;
    case kShapeIndexAssign:
        return isPlain(1) ? &SimpleForms::IndexAssign : nullptr;
    case kShapeIndexAssignBinary:
        return isReadable(1) && isReadable(2) ? indexAssignBinary.entries[entry.operators[1]] : nullptr;
    default:
        return nullptr;
    }
}

CInterpretor::SimpleValue CInterpretor::SimpleValueOf(const CSimpleExpr& entry) {
    // As the forms of these shapes read them (see SimpleFormOf).
    using Operand = CSimpleOperand;
    auto isPlain = [&](int i) {
        const Operand::Kind kind = entry.operands[i].kind;
        return kind == Operand::kName || kind == Operand::kThisMember || kind == Operand::kInt;
    };
    auto isReadable = [&](int i) { return isPlain(i) || entry.operands[i].kind == Operand::kIndexed; };
    static const CodeTable<SimpleValue, SimpleForms::PickBinaryValue> binary;
    if (entry.shape == kShapeSingle)
        return isPlain(0) ? &SimpleForms::SingleValue : nullptr;
    if (entry.shape == kShapeBinary)
        return isReadable(0) && isReadable(1) ? binary.entries[entry.operators[0]] : nullptr;
    return nullptr;
}

void CInterpretor::ClearSimpleExpressions() {
    m_translations.reset();
    m_translatedStatements.reset();
    if (m_simpleExprs)
        for (int i = 0; i < kSimpleExprCacheSize; ++i)
            m_simpleExprs[i] = CSimpleExpr();
    if (m_switchTables)
        for (int i = 0; i < kSwitchCacheSize; ++i)
            m_switchTables[i] = CSwitchTable();
    if (m_fusedLoops)
        for (int i = 0; i < kFusedLoopCacheSize; ++i)
            m_fusedLoops[i] = CFusedLoop();
}

const CInterpretor::CSwitchTable* CInterpretor::SwitchTableAt(const uint8_t* instr, uint32_t firstLabel) {
    if (!m_fastPaths)
        return nullptr;
    if (!m_switchTables)
        m_switchTables.reset(new CSwitchTable[kSwitchCacheSize]);
    CSwitchTable& table = m_switchTables[(reinterpret_cast<uintptr_t>(instr) >> 2) & (kSwitchCacheSize - 1)];
    if (table.instr == instr)
        return table.usable ? &table : nullptr;
    table = CSwitchTable();
    table.instr = instr;
    const uint8_t* base = CodeBase();
    const std::size_t size = m_program.code.size();
    int count = 0;
    for (uint32_t label = firstLabel; label != 0; ++count) {
        if (count == kSwitchLabels || label >= size || InstrCode(base + label) != kOpCase)
            return nullptr;
        const uint8_t* p = NextInstr(base + label);
        const uint16_t code = InstrCode(p);
        if (count == 0)
            table.textLabels = code == kOpString;
        if (table.textLabels != (code == kOpString))
            return nullptr;
        if (code == kOpString) {
            table.texts[count] = m_program.StringConstantText(p);
            table.lengths[count] = static_cast<uint32_t>(std::strlen(table.texts[count]));
        }
        else if (IsIntConstant(code))
            table.values[count] = ReadI32(p + kFieldValue);
        else if (code == kOpZero || code == kOpFalse || code == kOpOff)
            table.values[count] = 0;
        else if (code == kOpTrue || code == kOpOn)
            table.values[count] = 1;
        else
            return nullptr;
        // A lone constant: the label's ":" is written as a statement end.
        p = NextInstr(p);
        if (InstrCode(p) != kOpSemicolon)
            return nullptr;
        table.targets[count] = NextInstr(p);
        label = ReadU32(base + label + kFieldJump);
    }
    table.count = static_cast<uint8_t>(count);
    table.usable = true;
    return &table;
}

void CInterpretor::DecodeSimpleExpression(CSimpleExpr& entry, const uint8_t* instr) {
    entry = CSimpleExpr();
    entry.instr = instr;
    const uint8_t* p = instr;
    int count = 0;
    for (;;) {
        if (count == kSimpleOperands)
            return;
        CSimpleOperand& operand = entry.operands[count];
        const uint16_t code = InstrCode(p);
        if (code == kOpName) {
            operand.kind = CSimpleOperand::kName;
            operand.nameRef = ReadU32(p + kFieldNameRef);
            p = NextInstr(p);
            // A member access on the name is a call, not a value.
            if (IsMemberAccessCode(InstrCode(p)))
                return;
        } else if (code == kOpThis && InstrCode(NextInstr(p)) == kOpMember) {
            // This.member: a variable of This when it is a script object.
            operand.kind = CSimpleOperand::kThisMember;
            p = NextInstr(p);
            operand.nameRef = ReadU32(p + kFieldNameRef);
            p = NextInstr(p);
            if (IsMemberAccessCode(InstrCode(p)))
                return;
        } else if (code == kOpIndexName) {
            operand.kind = CSimpleOperand::kIndexed;
            operand.instr = p;
            operand.nameRef = ReadU32(p + kFieldNameRef);
            p = NextInstr(p);
            const uint16_t index = InstrCode(p);
            if (index == kOpName) {
                operand.indexIsName = true;
                operand.indexNameRef = ReadU32(p + kFieldNameRef);
            } else if (IsIntConstant(index)) {
                operand.indexValue = ReadI32(p + kFieldValue);
            } else {
                return;
            }
            p = NextInstr(p);
            if (InstrCode(p) != kOpCloseBracket)
                return;
            p = NextInstr(p);
            if (IsMemberAccessCode(InstrCode(p)))
                return;
        } else if (code == kOpString) {
            // A text constant, unless a member access on it follows.
            operand.kind = CSimpleOperand::kText;
            operand.instr = p;
            p = NextInstr(p);
            if (InstrCode(p) == kOpDot)
                return;
        } else if (IsIntConstant(code)) {
            operand.kind = CSimpleOperand::kInt;
            operand.value = ReadI32(p + kFieldValue);
            p = NextInstr(p);
        } else if (code == kOpZero || code == kOpFalse || code == kOpOff || code == kOpTrue || code == kOpOn) {
            operand.kind = CSimpleOperand::kInt;
            operand.value = (code == kOpTrue || code == kOpOn) ? 1 : 0;
            p = NextInstr(p);
        } else if (code == kOpOmitted) {
            operand.kind = CSimpleOperand::kDefault;
            p = NextInstr(p);
        } else if (code == kOpCloseParen || code == kOpComma || code == kOpSemicolon) {
            operand.kind = CSimpleOperand::kDefault;  // read, not stepped
        } else {
            return;
        }
        operand.after = p;
        operand.nextCode = InstrCode(p);
        ++count;
        const uint16_t next = operand.nextCode;
        if (!IsBinaryOperator(next))
            break;
        if (next == kOpConditional)
            return;
        if (count == kSimpleOperands)
            return;
        entry.operators[count - 1] = next;
        entry.operatorAt[count - 1] = p;
        p = NextInstr(p);
    }
    entry.count = static_cast<uint8_t>(count);
    entry.end = p;
    entry.simple = true;
    entry.shape = SimpleShapeOf(entry);
    entry.form = SimpleFormOf(entry);
    entry.value = SimpleValueOf(entry);
    // Integer constants are read through cells of their own, like variables.
    CValue* constants = &m_simpleConstants[(&entry - m_simpleExprs.get()) * kSimpleOperands];
    for (int i = 0; i < count; ++i) {
        if (entry.operands[i].kind == CSimpleOperand::kInt) {
            constants[i].SetInt(entry.operands[i].value);
            entry.cells[i] = &constants[i];
        }
    }
}

// Finds the variables of the names for the current scopes; false when one
// does not exist yet (the general way then makes the unresolved place).
int CInterpretor::ParameterPosition(const CVariable* variable) const {
    const CCallScope* scope = static_cast<const CCallScope*>(m_scope);
    for (int i = 0; i < scope->m_dormantCount; ++i) {
        if (scope->m_dormant[i] == variable)
            return i;
    }
    return -1;
}

CVariable* CInterpretor::OperandVariable(const CSimpleOperand& operand) const {
    return operand.parameter >= 0 ? static_cast<const CCallScope*>(m_scope)->m_dormant[operand.parameter]
                                  : operand.variable;
}

bool CInterpretor::ResolveSimpleExpression(CSimpleExpr& entry) {
    entry.epoch = 0;
    // Under a shared epoch a parameter is remembered by its position; a
    // name[index] with a local variable is found again next time.
    bool keep = true;
    for (int i = 0; i < entry.count; ++i) {
        CSimpleOperand& operand = entry.operands[i];
        operand.parameter = -1;
        switch (operand.kind) {
        case CSimpleOperand::kThisMember:
            // This.member is found in This alone (see OpEvalThis and
            // CallScriptObjectMember).
            if (!IsScriptObject(m_thisObject))
                return false;
            operand.variable = static_cast<CIBaseObjectVar*>(m_thisObject)->FindVariable(operand.nameRef);
            if (operand.variable == nullptr)
                return false;
            entry.cells[i] = &operand.variable->value;
            break;
        case CSimpleOperand::kIndexed:
            operand.variable = LookUpName(operand.nameRef);
            if (operand.variable == nullptr)
                return false;
            if (m_sharedEpoch && m_scope->FindVariable(operand.nameRef) == operand.variable)
                keep = false;
            if (operand.indexIsName) {
                operand.indexVariable = LookUpName(operand.indexNameRef);
                if (operand.indexVariable == nullptr)
                    return false;
                if (m_sharedEpoch && m_scope->FindVariable(operand.indexNameRef) == operand.indexVariable)
                    keep = false;
            }
            break;
        case CSimpleOperand::kName:
            operand.variable = LookUpName(operand.nameRef);
            if (operand.variable == nullptr)
                return false;
            entry.cells[i] = &operand.variable->value;
            if (m_sharedEpoch && m_scope->FindVariable(operand.nameRef) == operand.variable) {
                const int position = ParameterPosition(operand.variable);
                if (position < 0) {
                    keep = false;
                } else {
                    operand.parameter = static_cast<int8_t>(position);
                    entry.cells[i] = nullptr;
                }
            }
            break;
        default:
            break;
        }
    }
    if (keep)
        entry.epoch = m_contextEpoch;
    return true;
}

namespace {
// The value operation of a binary operator code that OpBinary applies, or -1.
constexpr int kNoValueOp = -1;
struct CBinaryOps {
    int8_t op[kOpTableSize];
    constexpr CBinaryOps() : op() {
        for (int i = 0; i < kOpTableSize; ++i)
            op[i] = kNoValueOp;
        op[kOpAdd] = static_cast<int8_t>(CValueOp::Add);
        op[kOpSubtract] = static_cast<int8_t>(CValueOp::Sub);
        op[kOpMultiply] = static_cast<int8_t>(CValueOp::Mul);
        op[kOpDivide] = static_cast<int8_t>(CValueOp::Div);
        op[kOpModulo] = static_cast<int8_t>(CValueOp::Mod);
        op[kOpShiftLeft] = static_cast<int8_t>(CValueOp::ShiftLeft);
        op[kOpShiftRight] = static_cast<int8_t>(CValueOp::ShiftRight);
        op[kOpBitAnd] = static_cast<int8_t>(CValueOp::BitAnd);
        op[kOpBitOr] = static_cast<int8_t>(CValueOp::BitOr);
        op[kOpBitXor] = static_cast<int8_t>(CValueOp::BitXor);
        op[kOpEqual] = static_cast<int8_t>(CValueOp::Equal);
        op[kOpNotEqual] = static_cast<int8_t>(CValueOp::NotEqual);
        op[kOpLess] = static_cast<int8_t>(CValueOp::Less);
        op[kOpGreater] = static_cast<int8_t>(CValueOp::Greater);
        op[kOpLessEqual] = static_cast<int8_t>(CValueOp::LessEqual);
        op[kOpGreaterEqual] = static_cast<int8_t>(CValueOp::GreaterEqual);
        op[kOpLogicalAnd] = static_cast<int8_t>(CValueOp::LogicalAnd);
        op[kOpLogicalOr] = static_cast<int8_t>(CValueOp::LogicalOr);
    }
};
constexpr CBinaryOps kBinaryOps;

bool IsPlace(uint32_t tag) { return tag >= CValue::kNone && tag <= CValue::kArrayCellRef; }
}  // namespace

// ApplyOperator with the commonest cases inline: what OpBinary, OpAssign on a
// variable and OpPostIncrement do, step for step; the rest by the handlers.
inline void CInterpretor::ApplyOperatorInline(uint32_t code) {
    CValue* left = m_valueStack[m_evalLevel];
    const int op = code < kOpTableSize ? kBinaryOps.op[code] : kNoValueOp;
    if (op != kNoValueOp) {
        left->SetOrigin(nullptr);
        left->Apply(static_cast<CValueOp>(op), *m_valueStack[m_evalLevel + 1]);
        return;
    }
    if (code == kOpAssign && !IsPlace(left->GetTag()) && left->GetOrigin() != nullptr) {
        CValue* target = left->GetOrigin();
        AssignTarget(target, m_valueStack[m_evalLevel + 1]);
        Place()->holder.Clear();
        TakeSlotAbove();
        Result()->SetOrigin(target);
        return;
    }
    if (code == kOpIncrement && left->GetOrigin() != nullptr && left->GetOrigin()->GetTag() == CValue::kInt) {
        left->GetOrigin()->Increment();
        left->SetOrigin(nullptr);
        return;
    }
    ApplyOperator(code);
}

// See AfterValueOperand: the value with its variable as the target; the left
// operand of an assignment is not read.
inline void CInterpretor::LoadVariableValue(CValue* slot, CValue* value, uint16_t next, uint32_t nameRef) {
    if ((next == kOpAssign || (next >= kOpAddAssign && next <= kOpShrAssign)) &&
        m_operatorStack[m_evalLevel - 1] < next)
        slot->SetInt(0);
    else if (next != kOpAdd || nameRef == kNotAName || !value->HoldsOwnedText() || !LendTextForAppend(slot, value, nameRef))
        slot->Assign(*value);
    slot->SetOrigin(value);
}

// As EvalOperandAtLevel with OpEvalName / OpEvalInt / OpEvalMissing.
inline void CInterpretor::LoadSimpleOperand(const CSimpleOperand& operand) {
    CValue* slot = m_valueStack[m_evalLevel];
    slot->SetOrigin(nullptr);
    m_pc = operand.after;
    switch (operand.kind) {
    case CSimpleOperand::kInt:
        slot->SetInt(operand.value);
        return;
    case CSimpleOperand::kDefault:
        slot->SetDefault();
        return;
    case CSimpleOperand::kText:
        // See OpEvalString: borrowed from the code.
        slot->SetString(m_program.StringConstantText(operand.instr), 1);
        return;
    case CSimpleOperand::kIndexed: {
        // See OpEvalIndexName and AfterIndexedValue: an integer index into an
        // array here; anything else the general way.
        CValue* arrayValue = &operand.variable->value;
        CScriptArray* array = arrayValue->GetArray();
        const CValue* indexValue = operand.indexIsName ? &operand.indexVariable->value : nullptr;
        if (array == nullptr || (indexValue != nullptr && indexValue->GetTag() != CValue::kInt)) {
            m_pc = operand.instr;
            OpEvalIndexName();
            return;
        }
        CLevelPlace* place = Place();
        place->indices[0] = indexValue != nullptr ? indexValue->GetInt() : operand.indexValue;
        place->count = 1;
        CValue* cell = array->GetCell(array->CellIndex(place->indices, 1));
        if (cell == nullptr) {
            place->holder.Assign(*arrayValue);
            slot->SetReference(CValue::kArrayCellRef, 1);
            return;
        }
        LoadVariableValue(slot, cell, operand.nextCode, kNotAName);
        return;
    }
    case CSimpleOperand::kName:
    case CSimpleOperand::kThisMember:
        LoadVariableValue(slot, &OperandVariable(operand)->value, operand.nextCode,
                          operand.kind == CSimpleOperand::kName ? operand.nameRef : kNotAName);
        return;
    }
}

CInterpretor::CSimpleExpr& CInterpretor::SimpleEntryDecoded(const uint8_t* instr) {
    if (!m_simpleExprs) {
        m_simpleExprs.reset(new CSimpleExpr[kSimpleExprCacheSize]);
        m_simpleConstants.reset(new CValue[kSimpleExprCacheSize * kSimpleOperands]);
    }
    CSimpleExpr& entry = SimpleEntry(instr);
    if (entry.instr != instr)
        DecodeSimpleExpression(entry, instr);
    return entry;
}

CValue* CInterpretor::EvalSimpleExpression() {
    if (m_varDeclared != nullptr || !m_fastPaths || !m_shortcuts)
        return nullptr;  // Var: names are declared, not looked up
    CSimpleExpr& entry = SimpleEntryDecoded(m_pc);
    if (!entry.simple)
        return nullptr;
    const int32_t base = m_evalLevel;
    // PushLevel's limit: the general way raises it, at its own position.
    if (base + entry.count + 3 >= kValueStackSize)
        return nullptr;
    if (entry.epoch != m_contextEpoch && !ResolveSimpleExpression(entry))
        return nullptr;
    if (entry.form != nullptr && entry.form(this, entry, base))
        return m_valueStack[base + 1];
    m_operatorStack[base] = 0;
    m_evalLevel = base + 1;
    LoadSimpleOperand(entry.operands[0]);
    for (int i = 1; i < entry.count; ++i) {
        const uint32_t code = entry.operators[i - 1];
        m_pc = entry.operatorAt[i - 1];
        while (m_evalLevel - 1 > base && code <= m_operatorStack[m_evalLevel - 1]) {
            --m_evalLevel;
            ApplyOperatorInline(m_operatorStack[m_evalLevel]);
        }
        m_operatorStack[m_evalLevel] = code;
        ++m_evalLevel;
        LoadSimpleOperand(entry.operands[i]);
    }
    m_pc = entry.end;
    while (m_evalLevel - 1 > base) {
        --m_evalLevel;
        ApplyOperatorInline(m_operatorStack[m_evalLevel]);
    }
    m_evalLevel = base;
    return m_valueStack[base + 1];
}
