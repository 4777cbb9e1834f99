// Expressions translated once into a flat sequence of operations.
//
// The evaluator (interp_eval.cpp) reads an expression from the code every
// time it runs: it decodes each instruction, compares precedences and
// recurses into parentheses. All of that depends on the code alone: the
// operation code of an operator is its precedence, operators of equal rank
// reduce left to right, operands are evaluated left to right and nothing
// short-circuits. So the order of operand evaluations and reductions, the
// level each happens at and the code pointer each happens with are known
// from the code. The translation records them the first time the expression
// runs and replays them afterwards:
//
//   operand   the generic operand at its instruction (EvalOperandAtLevel),
//             which steps through calls, index lists and member chains as
//             the evaluator does; names and constants have their own
//             operation;
//   push      the operator pending between level L and L + 1;
//   reduce    an operator applied at level L, with the code pointer at the
//             instruction whose turn made it reduce (ApplyOperator);
//   open/take the "(" and ")" of a parenthesised expression, whose inner
//             operations run at the levels above the parenthesis;
//   unary     a prefix "-", "!" or "~" after its operand.
//
// Each operation leaves what the evaluator leaves at that step: the value
// slots with their origins, the pending operators and the level, and the
// code pointer wherever a handler can read it or raise an error. Operations
// are quickened one by one: a name holding an integer or a double, a
// reduction of two integers. Each has one guard and falls back to its own
// generic form (the handler the evaluator would call), never to the rest of
// the expression. Expressions with forms outside the translation (the
// conditional, Var, New, class names) are marked and go the general way.
#include "runtime/interp/interpretor.h"
#include "runtime/interp/simple_shapes.h"

#include <memory>
#include <unordered_map>
#include <vector>

namespace {

struct CTranslatedOp {
    enum Kind : uint8_t { kOperand, kName, kInt, kDouble, kPush, kReduce, kOpen, kTake, kNegate, kNot, kComplement };
    Kind kind;
    uint8_t code;   // kPush, kReduce: the operator
    int16_t level;  // relative to the level the expression starts at
    const uint8_t* pc;  // the instruction of the operand, or the one a reduction happens at
    union {
        int32_t i;
        double d;
    };
};

}  // namespace

struct CTranslations {
    struct CEntry {
        bool usable = false;
        int32_t depth = 0;  // the highest level above the start that the operations use
        const uint8_t* end = nullptr;
        std::vector<CTranslatedOp> ops;
    };
    const uint8_t* code = nullptr;  // the code buffer the entries were made for
    std::unordered_map<const uint8_t*, std::unique_ptr<CEntry>> entries;
    // A direct-mapped front of the table.
    static constexpr size_t kFrontSize = 1024;
    const uint8_t* frontInstr[kFrontSize] = {};
    CEntry* frontEntry[kFrontSize] = {};
};

namespace {

bool IsMemberCode(uint16_t code) {
    return code == kOpMemberCall || code == kOpMember || code == kOpMemberIndex;
}

bool IsAssignCode(uint16_t code) {
    return code == kOpAssign || (code >= kOpAddAssign && code <= kOpShrAssign);
}

// A reduction of two integers worked out directly, as CValue::IntOp works it
// out; false for an operator it leaves to the handler (the assignments, the
// shift right, a division by zero).
bool QuickInt(uint32_t code, int32_t a, int32_t b, int32_t* r) {
    switch (code) {
    case kOpAdd: case kOpSubtract: case kOpMultiply: case kOpBitAnd: case kOpBitOr: case kOpBitXor:
    case kOpModulo: case kOpEqual: case kOpNotEqual: case kOpLess: case kOpGreater: case kOpLessEqual:
    case kOpGreaterEqual: case kOpLogicalAnd: case kOpLogicalOr:
        return tw_simple::IntResult(code, a, b, r);
    case kOpDivide:
        if (b == 0)
            return false;  // 111, raised by the handler
        *r = b == -1 ? static_cast<int32_t>(0u - static_cast<uint32_t>(a)) : a / b;
        return true;
    case kOpShiftLeft:
        *r = static_cast<int32_t>(static_cast<uint32_t>(a) << (b & 31));
        return true;
    default:
        return false;
    }
}

// The arithmetic of two doubles, as CValue::DoubleOp works it out.
bool QuickDouble(uint32_t code, double a, double b, double* r) {
    switch (code) {
    case kOpAdd: *r = a + b; return true;
    case kOpSubtract: *r = a - b; return true;
    case kOpMultiply: *r = a * b; return true;
    case kOpDivide:
        if (b == 0.0)
            return false;
        *r = a / b;
        return true;
    default:
        return false;
    }
}

// Builds the operations of one expression from the code, simulating the
// evaluator's precedence steps; null instructions mean "not translatable".
class CTranslator {
public:
    explicit CTranslator(CTranslations::CEntry& entry) : m_entry(entry) {}

    // EvalExpression at relative level base: answers the instruction behind
    // the expression, or null.
    const uint8_t* Expression(const uint8_t* p, int32_t base) {
        Emit(CTranslatedOp::kOpen, base, p);
        int32_t level = base + 1;
        if (!Reach(level))
            return nullptr;
        p = Operand(p, level);
        for (;;) {
            if (p == nullptr)
                return nullptr;
            const uint16_t code = InstrCode(p);
            if (!IsBinaryOperator(code))
                break;
            if (code == kOpConditional)
                return nullptr;
            Reduce(base, code, p, &level);
            m_pending[level] = static_cast<uint8_t>(code);
            Emit(CTranslatedOp::kPush, level, p, code);
            p = NextInstr(p);
            ++level;
            if (!Reach(level))
                return nullptr;
            p = Operand(p, level);
        }
        Reduce(base, 0, p, &level);
        return p;
    }

private:
    void Emit(CTranslatedOp::Kind kind, int32_t level, const uint8_t* pc, uint32_t code = 0) {
        CTranslatedOp op;
        op.kind = kind;
        op.code = static_cast<uint8_t>(code);
        op.level = static_cast<int16_t>(level);
        op.pc = pc;
        op.i = 0;
        m_entry.ops.push_back(op);
    }

    bool Reach(int32_t level) {
        if (level >= CInterpretor::kValueStackSize)
            return false;
        if (level > m_entry.depth)
            m_entry.depth = level;
        return true;
    }

    void Reduce(int32_t base, uint32_t code, const uint8_t* p, int32_t* level) {
        while (*level - 1 > base && code <= m_pending[*level - 1]) {
            --*level;
            Emit(CTranslatedOp::kReduce, *level, p, m_pending[*level]);
        }
    }

    // The end of a bracketed list whose opener is just before p (the "("
    // of a parenthesis, a call or a member call, or the "[" of an index
    // list): the instruction behind its closing ")" or "]".
    static const uint8_t* SkipList(const uint8_t* p) {
        int depth = 0;
        for (;; p = NextInstr(p)) {
            if (InstrLength(p) < kInstrHeaderSize)
                return nullptr;
            const uint16_t code = InstrCode(p);
            switch (code) {
            case kOpEnd:
            case kOpSemicolon:
            case kOpNew:  // a class behind New opens a list too: not followed here
                return nullptr;
            case kOpOpenParen:
            case kOpCallName:
            case kOpIndexName:
            case kOpMemberCall:
            case kOpMemberIndex:
                ++depth;
                break;
            case kOpCloseParen:
            case kOpCloseBracket:
                if (depth == 0)
                    return NextInstr(p);
                --depth;
                break;
            default:
                break;
            }
        }
    }

    // Member accesses behind an operand. Not followed here (null): a
    // member behind a member with a list, and a chain followed by an
    // assignment or a step, which the member handlers of some classes take
    // as part of the operand (a property set by its own handler).
    static const uint8_t* SkipChain(const uint8_t* p) {
        if (p == nullptr || !IsMemberCode(InstrCode(p)))
            return p;
        while (p != nullptr && IsMemberCode(InstrCode(p))) {
            if (InstrCode(p) == kOpMember) {
                p = NextInstr(p);
                continue;
            }
            p = SkipList(NextInstr(p));
            if (p != nullptr && IsMemberCode(InstrCode(p)))
                return nullptr;
        }
        if (p != nullptr) {
            const uint16_t code = InstrCode(p);
            if (IsAssignCode(code) || code == kOpIncrement || code == kOpDecrement)
                return nullptr;
        }
        return p;
    }

    // The extent of an operand that runs by its generic handler.
    static const uint8_t* SkipOperand(const uint8_t* p) {
        const uint16_t code = InstrCode(p);
        switch (code) {
        case kOpName:
        case kOpThis:
        case kOpInt:
        case kOpIntHex:
        case kOpInt2:
        case kOpDouble:
        case kOpZero:
        case kOpTrue:
        case kOpFalse:
        case kOpOn:
        case kOpOff:
        case kOpOmitted:
            return SkipChain(NextInstr(p));
        case kOpString: {
            const uint8_t* q = NextInstr(p);
            if (InstrCode(q) != kOpDot)
                return q;
            return SkipChain(NextInstr(q));
        }
        case kOpCallName:
        case kOpIndexName:
        case kOpOpenParen:
            return SkipChain(SkipList(NextInstr(p)));
        case kOpSubtract:
        case kOpNot:
        case kOpComplement:
        case kOpIncrement:
        case kOpDecrement:
            return SkipOperand(NextInstr(p));
        case kOpCloseParen:
        case kOpComma:
        case kOpSemicolon:
            return p;  // an omitted operand, not stepped
        default:
            return nullptr;
        }
    }

    const uint8_t* Generic(const uint8_t* p, int32_t level) {
        const uint8_t* end = SkipOperand(p);
        if (end != nullptr)
            Emit(CTranslatedOp::kOperand, level, p);
        return end;
    }

    // EvalOperandAtLevel: answers the instruction behind the operand, or null.
    const uint8_t* Operand(const uint8_t* p, int32_t level) {
        const uint16_t code = InstrCode(p);
        const uint8_t* next = nullptr;
        switch (code) {
        case kOpName:
            next = NextInstr(p);
            // The target of an assignment, a member access and text
            // appending have their own steps in the generic handler.
            if (IsMemberCode(InstrCode(next)) || IsAssignCode(InstrCode(next)))
                return Generic(p, level);
            Emit(CTranslatedOp::kName, level, p);
            return next;
        case kOpInt:
        case kOpIntHex:
        case kOpInt2:
        case kOpZero:
        case kOpTrue:
        case kOpFalse:
        case kOpOn:
        case kOpOff:
        case kOpDouble:
            next = NextInstr(p);
            if (IsMemberCode(InstrCode(next)))
                return Generic(p, level);
            Emit(code == kOpDouble ? CTranslatedOp::kDouble : CTranslatedOp::kInt, level, p);
            if (code == kOpDouble)
                m_entry.ops.back().d = ReadF64(p + kFieldValue);
            else if (IsIntConstant(code))
                m_entry.ops.back().i = ReadI32(p + kFieldValue);
            else
                m_entry.ops.back().i = (code == kOpTrue || code == kOpOn) ? 1 : 0;
            return next;
        case kOpOpenParen: {
            const uint8_t* inner = Expression(NextInstr(p), level);
            if (inner == nullptr || InstrCode(inner) != kOpCloseParen)
                return nullptr;
            Emit(CTranslatedOp::kTake, level, inner);
            next = NextInstr(inner);
            if (IsMemberCode(InstrCode(next)))
                return nullptr;
            return next;
        }
        case kOpSubtract:
        case kOpNot:
        case kOpComplement:
            next = Operand(NextInstr(p), level);
            if (next != nullptr)
                Emit(code == kOpSubtract ? CTranslatedOp::kNegate
                                         : code == kOpNot ? CTranslatedOp::kNot : CTranslatedOp::kComplement,
                     level, p);
            return next;
        case kOpNew:
        case kOpVar:
        case kOpCurWindow:
            return nullptr;
        default:
            if (code >= kOpFirstClass && code <= kOpLastClass)
                return nullptr;
            return Generic(p, level);
        }
    }

    CTranslations::CEntry& m_entry;
    uint8_t m_pending[CInterpretor::kValueStackSize + 1] = {};
};

}  // namespace

CValue* CInterpretor::RunTranslation() {
    if (!m_translations)
        m_translations = std::make_shared<CTranslations>();
    CTranslations& table = *m_translations;
    const uint8_t* const start = m_pc;
    const size_t front = (reinterpret_cast<uintptr_t>(start) >> 2) & (CTranslations::kFrontSize - 1);
    CTranslations::CEntry* entry;
    if (table.code == CodeBase() && table.frontInstr[front] == start) {
        entry = table.frontEntry[front];
    } else {
        if (table.code != CodeBase()) {
            table.entries.clear();
            std::fill(std::begin(table.frontInstr), std::end(table.frontInstr), nullptr);
            table.code = CodeBase();
        }
        std::unique_ptr<CTranslations::CEntry>& slot = table.entries[start];
        if (!slot) {
            slot = std::make_unique<CTranslations::CEntry>();
            CTranslator translator(*slot);
            slot->end = translator.Expression(start, 0);
            slot->usable = slot->end != nullptr;
            if (!slot->usable)
                slot->ops.clear();
        }
        entry = slot.get();
        table.frontInstr[front] = start;
        table.frontEntry[front] = entry;
    }
    const int32_t base = m_evalLevel;
    if (!entry->usable || base + entry->depth + 2 >= kValueStackSize)
        return nullptr;  // the general way (which raises 15 where the stack ends)

    CValue** const stack = m_valueStack;
    for (const CTranslatedOp& op : entry->ops) {
        const int32_t level = base + op.level;
        switch (op.kind) {
        case CTranslatedOp::kName: {
            CValue* slot = stack[level];
            CVariable* variable = LookUpNameAt(op.pc);
            if (variable != nullptr) {
                const uint32_t tag = variable->value.GetTag();
                if (tag == CValue::kInt) {
                    slot->SetInt(variable->value.GetInt());
                    slot->SetOrigin(&variable->value);
                    break;
                }
                if (tag == CValue::kDouble) {
                    slot->SetDouble(variable->value.GetDouble());
                    slot->SetOrigin(&variable->value);
                    break;
                }
            }
            m_evalLevel = level;
            m_pc = op.pc;
            slot->SetOrigin(nullptr);
            OpEvalName();
            break;
        }
        case CTranslatedOp::kInt:
            stack[level]->SetInt(op.i);
            stack[level]->SetOrigin(nullptr);
            break;
        case CTranslatedOp::kDouble:
            stack[level]->SetDouble(op.d);
            stack[level]->SetOrigin(nullptr);
            break;
        case CTranslatedOp::kOperand:
            m_evalLevel = level;
            m_pc = op.pc;
            EvalOperandAtLevel();
            break;
        case CTranslatedOp::kPush:
        case CTranslatedOp::kOpen:
            m_operatorStack[level] = op.code;
            break;
        case CTranslatedOp::kReduce: {
            CValue* left = stack[level];
            const CValue* right = stack[level + 1];
            const uint32_t tags = left->GetTag() << 4 | right->GetTag();
            int32_t result;
            double real;
            if (tags == (CValue::kInt << 4 | CValue::kInt) && QuickInt(op.code, left->GetInt(), right->GetInt(), &result)) {
                left->SetInt(result);
                left->SetOrigin(nullptr);
                break;
            }
            if (tags == (CValue::kDouble << 4 | CValue::kDouble) &&
                QuickDouble(op.code, left->GetDouble(), right->GetDouble(), &real)) {
                left->SetDouble(real);
                left->SetOrigin(nullptr);
                break;
            }
            m_evalLevel = level;
            m_pc = op.pc;
            ApplyOperator(op.code);
            break;
        }
        case CTranslatedOp::kTake:
            m_evalLevel = level;
            TakeSlotAbove();
            break;
        case CTranslatedOp::kNegate:
            stack[level]->Negate();
            stack[level]->SetOrigin(nullptr);
            break;
        case CTranslatedOp::kNot:
            stack[level]->LogicalNot();
            stack[level]->SetOrigin(nullptr);
            break;
        case CTranslatedOp::kComplement:
            stack[level]->BitwiseNot();
            stack[level]->SetOrigin(nullptr);
            break;
        }
    }
    m_pc = entry->end;
    m_evalLevel = base;
    return stack[base + 1];
}
