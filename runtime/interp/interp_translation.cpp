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
//   unary     a prefix "-", "!" or "~" after its operand;
//   target    the variable an assignment that nothing reduces first writes
//             (its value is not read, as AfterValueOperand leaves it);
//   store     an assignment, compound assignment or postfix step, the
//             reduction of its level.
//
// Once made, each push is folded into the operand behind it, and an operand
// that the level below reduces or assigns at once is folded with that step:
// fewer dispatches, the same steps in the same order.
//
// Each operation leaves what the evaluator leaves at that step: the value
// slots with their origins, the pending operators and the level, and the
// code pointer wherever a handler can read it or raise an error. Operations
// are quickened one by one: a name holding an integer or a double, a
// reduction of two integers or two doubles, the store of an integer or a
// double into a variable. Each has one guard and falls back to its own
// generic form (the handler the evaluator would call), never to the rest of
// the expression. Expressions with forms outside the translation (the
// conditional, Var, New, class names) are marked and go the general way.
#include "runtime/interp/interpretor.h"
#include "runtime/interp/script_array.h"

#include <memory>
#include <unordered_map>
#include <vector>

namespace {

struct CTranslatedOp {
    enum Kind : uint8_t {
        kOperand, kName, kTarget, kInt, kDouble, kOmitted, kPush, kReduce, kStore, kOpen, kTake, kNegate, kNot,
        kComplement,
        // An operand directly followed by the reduction (or assignment) of
        // the level below it: both steps under one dispatch.
        kNameReduce, kIntReduce, kDoubleReduce, kNameStore, kIntStore, kDoubleStore,
        // An index of an indexed name, and the indexed name itself.
        kIndex, kIndexName,
        // A member of an object held by a name (name.member).
        kMember,
        // The end of the operations.
        kFinish,
        kKindCount
    };
    Kind kind;
    uint8_t code;   // kPush, kReduce, kStore and the fused kinds: the operator; kIndexName: see ends
    int16_t level;  // relative to the level the expression starts at
    // An operand or an opened parenthesis right behind a push carries the
    // pushed operator: it sets the operator below its level itself.
    bool pushed = false;
    uint8_t push = 0;
    // The reductions and stores: the arithmetic their integer case does (an
    // Arith), chosen once from the operator.
    uint8_t arith = 0;
    // The stores: no operator follows at the instruction the store happens
    // at, so an expression statement drops the stored value (OpCompound).
    // kIndexName: an assignment (code) follows the cell.
    bool ends = false;
    const uint8_t* pc;  // the instruction of the operand, or the one a reduction happens at
    const uint8_t* at = nullptr;  // the fused kinds: the instruction the reduction happens at
    // kName, kTarget and the name kinds: the variable found, while the
    // context epoch is stamp; or, for a parameter of the running call,
    // its position in the call's scope, while the epoch with
    // kParameterStamp added is stamp (no epoch has that bit, so the plain
    // check misses and the parameter is read from the scope).
    static constexpr uint64_t kParameterStamp = uint64_t{1} << 63;
    mutable uint64_t stamp = 0;
    union {
        mutable CVariable* variable = nullptr;
        mutable int32_t parameter;
    };
    union {
        int32_t i;
        double d;
    };
};

}  // namespace

// The operations of one expression.
struct CTranslatedExpression {
    bool usable = false;
    int32_t depth = 0;  // the highest level above the start that the operations use
    const uint8_t* end = nullptr;
    std::vector<CTranslatedOp> ops;
};

struct CTranslations {
    const uint8_t* code = nullptr;  // the code buffer the entries were made for
    std::unordered_map<const uint8_t*, std::unique_ptr<CTranslatedExpression>> entries;
    // A direct-mapped front of the table.
    static constexpr size_t kFrontSize = 1024;
    const uint8_t* frontInstr[kFrontSize] = {};
    CTranslatedExpression* frontEntry[kFrontSize] = {};

    // Everything made for another code buffer goes.
    void Reset(const uint8_t* base) {
        entries.clear();
        std::fill(std::begin(frontInstr), std::end(frontInstr), nullptr);
        code = base;
    }
};

namespace {

bool IsMemberCode(uint16_t code) {
    return code == kOpMemberCall || code == kOpMember || code == kOpMemberIndex;
}

bool IsAssignCode(uint16_t code) {
    return code == kOpAssign || (code >= kOpAddAssign && code <= kOpShrAssign);
}

// What the integer case of a reduction or store does, so that each runs
// its own arithmetic without a switch over operator codes.
enum Arith : uint8_t {
    kNoArith,  // the handler does it (the shift right of a compound store of a double, ...)
    kArithAdd, kArithSub, kArithMul, kArithDiv, kArithMod, kArithAnd, kArithOr, kArithXor, kArithShl, kArithShr,
    kArithEq, kArithNe, kArithLt, kArithGt, kArithLe, kArithGe, kArithLogicalAnd, kArithLogicalOr,
    kArithAssign,  // "="
    kArithStep,    // postfix "++" and "--"
    kArithCount
};

// The arithmetic of a binary operator, or of the operator of a compound
// assignment (as OpCompound applies it).
uint8_t ArithOf(uint32_t code) {
    switch (code) {
    case kOpAdd: case kOpAddAssign: return kArithAdd;
    case kOpSubtract: case kOpSubAssign: return kArithSub;
    case kOpMultiply: case kOpMulAssign: return kArithMul;
    case kOpDivide: case kOpDivAssign: return kArithDiv;
    case kOpModulo: case kOpModAssign: return kArithMod;
    case kOpBitAnd: case kOpAndAssign: return kArithAnd;
    case kOpBitOr: case kOpOrAssign: return kArithOr;
    case kOpBitXor: case kOpXorAssign: return kArithXor;
    case kOpShiftLeft: case kOpShlAssign: return kArithShl;
    case kOpShiftRight: case kOpShrAssign: return kArithShr;
    case kOpEqual: return kArithEq;
    case kOpNotEqual: return kArithNe;
    case kOpLess: return kArithLt;
    case kOpGreater: return kArithGt;
    case kOpLessEqual: return kArithLe;
    case kOpGreaterEqual: return kArithGe;
    case kOpLogicalAnd: return kArithLogicalAnd;
    case kOpLogicalOr: return kArithLogicalOr;
    case kOpAssign: return kArithAssign;
    case kOpIncrement: case kOpDecrement: return kArithStep;
    default: return kNoArith;
    }
}

// The arithmetic of two doubles, as CValue::DoubleOp works it out.
bool QuickDouble(uint8_t arith, double a, double b, double* r) {
    switch (arith) {
    case kArithAdd: *r = a + b; return true;
    case kArithSub: *r = a - b; return true;
    case kArithMul: *r = a * b; return true;
    case kArithDiv:
        if (b == 0.0)
            return false;
        *r = a / b;
        return true;
    default:
        return false;
    }
}

// Chooses the arithmetic of each reduction and store once.
void ChooseArithmetic(std::vector<CTranslatedOp>& ops) {
    for (CTranslatedOp& op : ops) {
        switch (op.kind) {
        case CTranslatedOp::kReduce: case CTranslatedOp::kNameReduce: case CTranslatedOp::kIntReduce:
        case CTranslatedOp::kDoubleReduce:
            op.arith = IsAssignCode(op.code) ? uint8_t{kNoArith} : ArithOf(op.code);
            break;
        case CTranslatedOp::kStore:
            op.ends = !IsBinaryOperator(InstrCode(op.pc));
            op.arith = ArithOf(op.code);
            break;
        case CTranslatedOp::kIndexName:
            // An assignment behind the cell: its code, for the test of
            // whether the cell's value is read (AfterValueOperand).
            op.ends = IsAssignCode(InstrCode(op.at));
            op.code = op.ends ? static_cast<uint8_t>(InstrCode(op.at)) : 0;
            break;
        case CTranslatedOp::kNameStore: case CTranslatedOp::kIntStore: case CTranslatedOp::kDoubleStore:
            op.ends = !IsBinaryOperator(InstrCode(op.at));
            op.arith = ArithOf(op.code);
            break;
        default:
            break;
        }
    }
}

// Folds each push into the operation behind it (which always starts the
// operand at the level above the push), and an operand behind which the level
// below it reduces or assigns at once into one operation. The operations do
// what they did apart, in the same order.
void FoldOperations(std::vector<CTranslatedOp>& ops) {
    std::vector<CTranslatedOp> folded;
    folded.reserve(ops.size());
    for (size_t i = 0; i < ops.size(); ++i) {
        CTranslatedOp op = ops[i];
        if (op.kind == CTranslatedOp::kPush && i + 1 < ops.size() && ops[i + 1].level == op.level + 1 &&
            !ops[i + 1].pushed) {
            const CTranslatedOp::Kind next = ops[i + 1].kind;
            if (next == CTranslatedOp::kOperand || next == CTranslatedOp::kName || next == CTranslatedOp::kTarget ||
                next == CTranslatedOp::kInt || next == CTranslatedOp::kDouble || next == CTranslatedOp::kOmitted ||
                next == CTranslatedOp::kOpen) {
                ops[i + 1].pushed = true;
                ops[i + 1].push = op.code;
                continue;
            }
        }
        if ((op.kind == CTranslatedOp::kName || op.kind == CTranslatedOp::kInt || op.kind == CTranslatedOp::kDouble) &&
            i + 1 < ops.size() && ops[i + 1].level == op.level - 1 &&
            (ops[i + 1].kind == CTranslatedOp::kReduce || ops[i + 1].kind == CTranslatedOp::kStore)) {
            const bool store = ops[i + 1].kind == CTranslatedOp::kStore;
            switch (op.kind) {
            case CTranslatedOp::kName: op.kind = store ? CTranslatedOp::kNameStore : CTranslatedOp::kNameReduce; break;
            case CTranslatedOp::kInt: op.kind = store ? CTranslatedOp::kIntStore : CTranslatedOp::kIntReduce; break;
            default: op.kind = store ? CTranslatedOp::kDoubleStore : CTranslatedOp::kDoubleReduce; break;
            }
            op.code = ops[i + 1].code;
            op.at = ops[i + 1].pc;
            ++i;
        }
        folded.push_back(op);
    }
    ops.swap(folded);
}

// Builds the operations of one expression from the code, simulating the
// evaluator's precedence steps; null instructions mean "not translatable".
class CTranslator {
public:
    explicit CTranslator(CTranslatedExpression& entry) : m_entry(entry) {}

    // EvalExpression at relative level base: answers the instruction behind
    // the expression, or null.
    const uint8_t* Expression(const uint8_t* p, int32_t base) {
        const int32_t outer = m_base;
        m_base = base;
        const uint8_t* end = ExpressionFrom(p, base);
        m_base = outer;
        return end;
    }

private:
    const uint8_t* ExpressionFrom(const uint8_t* p, int32_t base) {
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
            const uint8_t pending = m_pending[*level];
            const bool store = IsAssignCode(pending) || pending == kOpIncrement || pending == kOpDecrement;
            Emit(store ? CTranslatedOp::kStore : CTranslatedOp::kReduce, *level, p, pending);
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
        if (end == p)
            Emit(CTranslatedOp::kOmitted, level, p);  // OpEvalMissing: nothing stepped
        else if (end != nullptr)
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
            // A member access has its own steps in the generic handler. The
            // target of an assignment that nothing reduces first is not read
            // (AfterValueOperand): only its variable counts.
            if (InstrCode(next) == kOpMember) {
                const uint8_t* after = NextInstr(next);
                const uint16_t behind = InstrCode(after);
                // The member handler of a native object may take an
                // assignment behind the member as part of the operand: a
                // member assigned is translated only as the first operand of
                // the expression, where the whole expression can still go
                // the general way when the object is not a script object.
                const bool first = level - 1 == m_base && m_entry.ops.size() == 1;
                if (!IsMemberCode(behind) && behind != kOpIncrement && behind != kOpDecrement &&
                    (!IsAssignCode(behind) || first)) {
                    Emit(CTranslatedOp::kMember, level, p);
                    m_entry.ops.back().at = next;
                    m_entry.ops.back().i = IsAssignCode(behind) ? 1 : 0;
                    return after;
                }
            }
            if (IsMemberCode(InstrCode(next)))
                return Generic(p, level);
            if (IsAssignCode(InstrCode(next))) {
                const uint32_t pending = level - 1 == m_base ? 0 : m_pending[level - 1];
                if (pending >= InstrCode(next))
                    return Generic(p, level);
                Emit(CTranslatedOp::kTarget, level, p);
                return next;
            }
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
        case kOpIndexName:
            return IndexedName(p, level);
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

    // OpEvalIndexName: each index an expression at the operand's level (its
    // value kept in the level's place), then the cell.
    const uint8_t* IndexedName(const uint8_t* p, int32_t level) {
        const size_t mark = m_entry.ops.size();
        const uint8_t* q = NextInstr(p);
        int32_t count = 0;
        for (;;) {
            if (count == CScriptArray::kMaxDimensions)
                return nullptr;  // 66, raised the general way
            q = Expression(q, level);
            if (q == nullptr)
                return nullptr;
            Emit(CTranslatedOp::kIndex, level, q);
            m_entry.ops.back().i = count++;
            if (InstrCode(q) != kOpComma)
                break;
            q = NextInstr(q);
        }
        if (InstrCode(q) != kOpCloseBracket)
            return nullptr;
        const uint8_t* next = NextInstr(q);
        if (IsMemberCode(InstrCode(next))) {
            m_entry.ops.resize(mark);
            return Generic(p, level);
        }
        Emit(CTranslatedOp::kIndexName, level, p);
        m_entry.ops.back().i = count;
        m_entry.ops.back().at = next;
        return next;
    }

    CTranslatedExpression& m_entry;
    int32_t m_base = 0;  // the level the expression being translated starts at
    uint8_t m_pending[CInterpretor::kValueStackSize + 1] = {};
};

}  // namespace

CTranslatedExpression* CInterpretor::TranslationAt(const uint8_t* start) {
    if (!m_translations)
        m_translations = std::make_shared<CTranslations>();
    CTranslations& table = *m_translations;
    const size_t front = (reinterpret_cast<uintptr_t>(start) >> 2) & (CTranslations::kFrontSize - 1);
    if (table.code == CodeBase() && table.frontInstr[front] == start)
        return table.frontEntry[front];
    if (table.code != CodeBase())
        table.Reset(CodeBase());
    std::unique_ptr<CTranslatedExpression>& slot = table.entries[start];
    if (!slot) {
        slot = std::make_unique<CTranslatedExpression>();
        CTranslator translator(*slot);
        slot->end = translator.Expression(start, 0);
        slot->usable = slot->end != nullptr;
        if (!slot->usable)
            slot->ops.clear();
        else
            FoldOperations(slot->ops);
        if (slot->usable) {
            ChooseArithmetic(slot->ops);
            CTranslatedOp finish;
            finish.kind = CTranslatedOp::kFinish;
            finish.code = 0;
            finish.level = 0;
            finish.pc = slot->end;
            finish.i = 0;
            slot->ops.push_back(finish);
        }
    }
    table.frontInstr[front] = start;
    table.frontEntry[front] = slot.get();
    return slot.get();
}

CValue* CInterpretor::RunTranslation() {
    return RunTranslated(TranslationAt(m_pc));
}

namespace {

// The cell of an array at indices inside its sizes, when it exists and holds
// an integer or a double: a storage index counts in the capacities
// (CScriptArray::CellIndex). Null for anything CellIndex would have to grow,
// refuse or make.
CValue* ExistingCell(const CScriptArray* array, const int32_t* indices, int32_t count) {
    if (array == nullptr || array->m_dimensionCount != count)
        return nullptr;
    uint32_t index = 0;
    for (int32_t d = count - 1; d >= 0; --d) {
        const uint32_t at = static_cast<uint32_t>(indices[d]);  // negative = huge
        if (at >= array->m_sizes[d])
            return nullptr;
        index = index * array->m_capacity[d] + at;
    }
    CValue* cell = array->GetStoredCell(index);
    if (cell == nullptr || cell->GetTag() > CValue::kDouble)
        return nullptr;
    return cell;
}

}  // namespace

// The integer arithmetic of each Arith, as CValue::IntOp works it out: the
// labels prefix##Add and so on leave r and go to done; a division by zero
// (error 111) goes to generic, whose handler raises it.
#define TW_INT_ARITHMETIC(prefix, done, generic)                        \
    prefix##Add : r = static_cast<int32_t>(static_cast<uint32_t>(a) + static_cast<uint32_t>(b)); \
    goto done;                                                          \
    prefix##Sub : r = static_cast<int32_t>(static_cast<uint32_t>(a) - static_cast<uint32_t>(b)); \
    goto done;                                                          \
    prefix##Mul : r = static_cast<int32_t>(static_cast<uint32_t>(a) * static_cast<uint32_t>(b)); \
    goto done;                                                          \
    prefix##Div : if (b == 0) goto generic;                             \
    r = b == -1 ? static_cast<int32_t>(0u - static_cast<uint32_t>(a)) : a / b; \
    goto done;                                                          \
    prefix##Mod : if (b == 0) goto generic;                             \
    r = b == -1 ? 0 : a % b;                                            \
    goto done;                                                          \
    prefix##And : r = a & b;                                            \
    goto done;                                                          \
    prefix##Or : r = a | b;                                             \
    goto done;                                                          \
    prefix##Xor : r = a ^ b;                                            \
    goto done;                                                          \
    prefix##Shl : r = static_cast<int32_t>(static_cast<uint32_t>(a) << (b & 31)); \
    goto done;                                                          \
    prefix##Shr : r = a >> (b & 31);                                    \
    goto done;                                                          \
    prefix##Eq : r = a == b;                                            \
    goto done;                                                          \
    prefix##Ne : r = a != b;                                            \
    goto done;                                                          \
    prefix##Lt : r = a < b;                                             \
    goto done;                                                          \
    prefix##Gt : r = a > b;                                             \
    goto done;                                                          \
    prefix##Le : r = a <= b;                                            \
    goto done;                                                          \
    prefix##Ge : r = a >= b;                                            \
    goto done;                                                          \
    prefix##LogicalAnd : r = a != 0 && b != 0;                          \
    goto done;                                                          \
    prefix##LogicalOr : r = a != 0 || b != 0;                           \
    goto done;

CValue* CInterpretor::RunTranslated(const CTranslatedExpression* entry) {
    const uint8_t* const start = m_pc;
    const int32_t base = m_evalLevel;
    if (!entry->usable || base + entry->depth + 2 >= kValueStackSize)
        return nullptr;  // the general way (which raises 15 where the stack ends)

    CValue** const stack = m_valueStack;
    // The operand of an instruction: a name, a constant, the target of an
    // assignment.
    // The variable of a name, remembered in the operation as long as the
    // name cache would remember it (the same context epoch). A parameter is
    // remembered by its position, as the name cache keeps it: under the
    // shared epoch the position names the same parameter in every call,
    // read from the running call's scope. The lookup is out of line so that
    // each handler inlines only the two checks.
    const auto resolveName = [this](const CTranslatedOp& op) __attribute__((noinline)) {
        CVariable* variable = LookUpNameAt(op.pc);
        const CNameCacheEntry& cached = CacheEntry(op.pc);
        if (variable != nullptr && cached.instr == op.pc && cached.stamp == m_contextEpoch) {
            const int position = ParameterOfMark(cached.object);
            if (cached.object == nullptr && cached.variable == variable) {
                op.stamp = m_contextEpoch;
                op.variable = variable;
            } else if (position >= 0 && m_sharedEpoch) {
                op.stamp = m_contextEpoch | CTranslatedOp::kParameterStamp;
                op.parameter = position;
            }
        }
        return variable;
    };
    const auto variableAt = [&](const CTranslatedOp& op) {
        if (__builtin_expect(op.stamp == m_contextEpoch, 1))
            return op.variable;
        if (op.stamp == (m_contextEpoch | CTranslatedOp::kParameterStamp) && m_sharedEpoch)
            return static_cast<const CCallScope*>(m_scope)->m_dormant[op.parameter];
        return resolveName(op);
    };
    const auto loadName = [&](const CTranslatedOp& op, int32_t level) {
        CValue* slot = stack[level];
        CVariable* variable = variableAt(op);
        if (variable != nullptr) {
            const uint32_t tag = variable->value.GetTag();
            if (tag == CValue::kInt) {
                slot->SetInt(variable->value.GetInt());
                slot->SetOrigin(&variable->value);
                return;
            }
            if (tag == CValue::kDouble) {
                slot->SetDouble(variable->value.GetDouble());
                slot->SetOrigin(&variable->value);
                return;
            }
        }
        m_evalLevel = level;
        m_pc = op.pc;
        slot->SetOrigin(nullptr);
        OpEvalName();
    };
    const auto loadInt = [&](const CTranslatedOp& op, int32_t level) {
        stack[level]->SetInt(op.i);
        stack[level]->SetOrigin(nullptr);
    };
    const auto loadDouble = [&](const CTranslatedOp& op, int32_t level) {
        stack[level]->SetDouble(op.d);
        stack[level]->SetOrigin(nullptr);
    };

    // Threaded dispatch: each operation jumps to the next one's handler by a
    // branch of its own, which the processor predicts far better than one
    // shared switch.
    static const void* const kHandlers[CTranslatedOp::kKindCount] = {
        &&operand, &&name, &&target, &&integer, &&real, &&omitted, &&push, &&reduce, &&store, &&open, &&take,
        &&negate, &&logicalNot, &&complement, &&nameReduce, &&intReduce, &&doubleReduce, &&nameStore, &&intStore,
        &&doubleStore, &&index, &&indexName, &&member, &&finished,
    };
    // The integer arithmetic of a reduction (kReduceInt) and of a compound
    // store (kStoreInt), by Arith; each leaves r, or goes the generic way.
#define TW_INT_TABLE(prefix, generic)                                                                         \
    {                                                                                                         \
        &&generic, &&prefix##Add, &&prefix##Sub, &&prefix##Mul, &&prefix##Div, &&prefix##Mod, &&prefix##And, \
            &&prefix##Or, &&prefix##Xor, &&prefix##Shl, &&prefix##Shr, &&prefix##Eq, &&prefix##Ne,           \
            &&prefix##Lt, &&prefix##Gt, &&prefix##Le, &&prefix##Ge, &&prefix##LogicalAnd,                   \
            &&prefix##LogicalOr, &&generic, &&generic,                                                       \
    }
    static const void* const kReduceInt[kArithCount] = TW_INT_TABLE(reduceInt, reduceGeneric);
    static const void* const kStoreInt[kArithCount] = TW_INT_TABLE(storeInt, storeGeneric);
#undef TW_INT_TABLE
    const CTranslatedOp* op = entry->ops.data();
    int32_t level;
    // The step in hand: its left slot, the instruction it happens at, and
    // the integer operands and result.
    CValue* left = nullptr;
    CValue* target = nullptr;
    const uint8_t* at = nullptr;
    int32_t a = 0, b = 0, r = 0;
    double number;
    // The operator pending below an operand is set by the operand (see
    // CTranslatedOp::push).
#define TW_DISPATCH()                                   \
    do {                                                \
        level = base + op->level;                       \
        if (op->pushed)                                 \
            m_operatorStack[level - 1] = op->push;      \
        goto* kHandlers[op->kind];                      \
    } while (0)
#define TW_NEXT() \
    do {          \
        ++op;     \
        TW_DISPATCH(); \
    } while (0)
    TW_DISPATCH();
name:
    loadName(*op, level);
    TW_NEXT();
nameReduce:
    loadName(*op, level);
    --level;
    at = op->at;
    goto reduceHere;
nameStore:
    loadName(*op, level);
    --level;
    at = op->at;
    goto storeHere;
target: {
    // As AfterValueOperand leaves an assignment's target: its value unread,
    // its variable as the origin.
    CVariable* variable = variableAt(*op);
    if (variable != nullptr) {
        stack[level]->SetInt(0);
        stack[level]->SetOrigin(&variable->value);
    } else {
        m_evalLevel = level;
        m_pc = op->pc;
        EvalOperandAtLevel();  // an unknown name: the place of a new variable
    }
    TW_NEXT();
}
integer:
    loadInt(*op, level);
    TW_NEXT();
intReduce:
    loadInt(*op, level);
    --level;
    at = op->at;
    goto reduceHere;
intStore:
    loadInt(*op, level);
    --level;
    at = op->at;
    goto storeHere;
real:
    loadDouble(*op, level);
    TW_NEXT();
doubleReduce:
    loadDouble(*op, level);
    --level;
    at = op->at;
    goto reduceHere;
doubleStore:
    loadDouble(*op, level);
    --level;
    at = op->at;
    goto storeHere;
omitted:
    stack[level]->SetOrigin(nullptr);
    stack[level]->SetDefault();
    TW_NEXT();
operand:
    m_evalLevel = level;
    m_pc = op->pc;
    EvalOperandAtLevel();
    TW_NEXT();
push:
open:
    m_operatorStack[level] = op->code;
    TW_NEXT();

reduce:
    at = op->pc;
reduceHere: {
    // A reduction at level with the code pointer at the instruction at: two
    // integers or two doubles directly, as CValue works them out; anything
    // else by the operator's handler.
    left = stack[level];
    const CValue* right = stack[level + 1];
    const uint32_t tags = left->GetTag() << 4 | right->GetTag();
    if (tags == (CValue::kInt << 4 | CValue::kInt)) {
        a = left->GetInt();
        b = right->GetInt();
        goto* kReduceInt[op->arith];
    }
    if (tags == (CValue::kDouble << 4 | CValue::kDouble) &&
        QuickDouble(op->arith, left->GetDouble(), right->GetDouble(), &number)) {
        left->SetDouble(number);
        left->SetOrigin(nullptr);
        TW_NEXT();
    }
}
reduceGeneric:
    m_evalLevel = level;
    m_pc = at;
    ApplyOperator(op->code);
    TW_NEXT();
reduceDone:
    left->SetInt(r);
    left->SetOrigin(nullptr);
    TW_NEXT();
    TW_INT_ARITHMETIC(reduceInt, reduceDone, reduceGeneric)

store:
    at = op->pc;
storeHere: {
    // An assignment, compound assignment or postfix step of an integer or a
    // double held by a variable, as OpAssign, OpCompound and
    // OpPostIncrement do it; anything else by the handler.
    left = stack[level];
    target = left->GetOrigin();
    if (target == nullptr || left->GetTag() > CValue::kDouble || m_textLoan.variable != nullptr)
        goto storeGeneric;
    const CValue* right = stack[level + 1];
    const uint32_t targetTag = target->GetTag();
    const uint32_t rightTag = right->GetTag();
    switch (op->arith) {
    case kArithStep:
        if (targetTag != CValue::kInt)
            goto storeGeneric;
        target->SetInt(static_cast<int32_t>(static_cast<uint32_t>(target->GetInt()) +
                                            (op->code == kOpIncrement ? 1u : ~0u)));
        left->SetOrigin(nullptr);
        TW_NEXT();
    case kArithAssign:
        if (rightTag == CValue::kInt) {
            target->SetInt(right->GetInt());
            left->SetInt(right->GetInt());
        } else if (rightTag == CValue::kDouble) {
            target->SetDouble(right->GetDouble());
            left->SetDouble(right->GetDouble());
        } else {
            goto storeGeneric;
        }
        m_places[level]->holder.Clear();
        left->SetOrigin(target);
        TW_NEXT();
    default:
        if (targetTag == CValue::kInt && rightTag == CValue::kInt) {
            a = target->GetInt();
            b = right->GetInt();
            goto* kStoreInt[op->arith];
        }
        if (targetTag == CValue::kDouble && rightTag == CValue::kDouble &&
            QuickDouble(op->arith, target->GetDouble(), right->GetDouble(), &number)) {
            target->SetDouble(number);
            goto storeDone;
        }
        break;
    }
}
storeGeneric:
    m_evalLevel = level;
    m_pc = at;
    ApplyOperator(op->code);
    TW_NEXT();
storeIntDone:
    target->SetInt(r);
storeDone:
    // The value of an expression statement is dropped (OpCompound).
    if (level == m_discardLevel && op->ends)
        left->SetInt(0);
    else
        left->Assign(*target);
    left->SetOrigin(target);
    TW_NEXT();
    TW_INT_ARITHMETIC(storeInt, storeIntDone, storeGeneric)

take:
    m_evalLevel = level;
    TakeSlotAbove();
    TW_NEXT();
negate:
    // The unary operators: an integer directly, anything else by CValue.
    left = stack[level];
    if (left->GetTag() == CValue::kInt)
        left->SetInt(static_cast<int32_t>(0u - static_cast<uint32_t>(left->GetInt())));
    else
        left->Negate();
    left->SetOrigin(nullptr);
    TW_NEXT();
logicalNot:
    left = stack[level];
    if (left->GetTag() == CValue::kInt)
        left->SetInt(left->GetInt() == 0);
    else
        left->LogicalNot();
    left->SetOrigin(nullptr);
    TW_NEXT();
complement:
    left = stack[level];
    if (left->GetTag() == CValue::kInt)
        left->SetInt(~left->GetInt());
    else
        left->BitwiseNot();
    left->SetOrigin(nullptr);
    TW_NEXT();
index: {
    // EvalIndexList: the index just evaluated, at the "," or "]" behind it.
    const CValue* value = stack[level + 1];
    int32_t at;
    if (value->GetTag() == CValue::kInt) {
        at = value->GetInt();
    } else {
        m_evalLevel = level;
        m_pc = op->pc;
        at = value->GetInt();
    }
    m_places[level]->indices[op->i] = at;
    TW_NEXT();
}
member: {
    // OpEvalName and CallScriptObjectMember for a member found in a script
    // object; anything else the generic way.
    CVariable* variable = variableAt(*op);
    CVariable* found = nullptr;
    if (variable != nullptr && variable->value.GetTag() == CValue::kObject) {
        CIBaseClassImpl* object = variable->value.GetObject();
        if (object != nullptr && IsScriptObject(object))
            found = FindMemberAt(static_cast<CIBaseObjectVar*>(object), op->at);
    }
    if (found != nullptr) {
        m_evalLevel = level;
        m_pc = NextInstr(op->at);
        stack[level]->SetOrigin(nullptr);
        AfterValueOperand(&found->value);
        TW_NEXT();
    }
    if (op->i != 0) {
        // Assigned, and the first step of the expression: all of it the
        // general way.
        m_evalLevel = base;
        m_pc = start;
        return nullptr;
    }
    m_evalLevel = level;
    m_pc = op->pc;
    EvalOperandAtLevel();
    TW_NEXT();
}
indexName: {
    // OpEvalIndexName behind its index list. A cell that exists and holds
    // an integer or a double is read directly, as AfterValueOperand reads
    // it; anything else (no array, a cell to make, an index outside the
    // sizes, another kind) the generic way.
    CLevelPlace* place = m_places[level];
    place->count = op->i;
    CVariable* variable = variableAt(*op);
    if (variable != nullptr) {
        if (CValue* cell = ExistingCell(variable->value.GetArray(), place->indices, op->i)) {
            left = stack[level];
            // The target of an assignment that nothing reduces first is not read.
            if (op->ends && m_operatorStack[level - 1] < op->code)
                left->SetInt(0);
            else
                left->Assign(*cell);
            left->SetOrigin(cell);
            TW_NEXT();
        }
    }
    m_evalLevel = level;
    m_pc = op->at;
    stack[level]->SetOrigin(nullptr);
    AfterIndexedValue(variable != nullptr ? &variable->value : nullptr, op->pc, CValue::kIndexedNameRef, nullptr);
    TW_NEXT();
}
#undef TW_NEXT
#undef TW_DISPATCH
#undef TW_INT_ARITHMETIC
finished:
    m_pc = entry->end;
    m_evalLevel = base;
    return stack[base + 1];
}
