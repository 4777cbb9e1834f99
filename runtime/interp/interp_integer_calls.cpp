// Calls of integer functions: functions whose plan is If, Return and the end
// alone, working on integer parameters and constants, and calling such
// functions by name (a Fibonacci, a factorial, a greatest common divisor).
// Their calls run on native integers: no local scope, no change of context,
// no block, no value copies.
//
// What others can see of a call is still done as the general way does it:
// the arguments are written into the cells of the call frame, the operands of
// Return into the value stack's slots at the same levels, the work between
// statements comes after the same statements with the code pointer where the
// general way has it, a callee's name is found as the call would find it, and
// the code pointer and return state are put back however the call ends. The
// parameters are seen by nothing but the call's own statements (event
// handlers run in scopes of their own), so they need no variables.
//
// Whenever a step cannot be worked out on integers (an operator that would
// raise, a callee that is no integer function or a value that is no integer,
// the end of the value stack), the call goes on the general way from where it
// got to: its parameters are bound in a frame of its own, and the statement,
// or the rest of Return's expression, runs as it would have.
#include "runtime/interp/call_plan.h"
#include "runtime/interp/interp_call_frame.h"
#include "runtime/interp/interp_execute_statement.h"
#include "runtime/interp/simple_shapes.h"

using tw_simple::IntResult;
using namespace tw_simple;

namespace {
// Operators IntResult works out that are no assignments.
bool IsIntegerOperator(uint32_t code) {
    int32_t r;
    return (code < kOpAddAssign || code > kOpShrAssign) && IntResult(code, 1, 1, &r);
}

__attribute__((always_inline)) inline bool IntValue(const CIntExpr& expr, const int32_t* args, int32_t* value) {
    const int32_t a = expr.a.Read(args);
    if (expr.code == 0) {
        *value = a;
        return true;
    }
    return IntResult(expr.code, a, expr.b.Read(args), value);
}

// Margin of value-stack levels below which a call never goes near its end
// (a simple expression's shortcut wants its operands and three more).
constexpr int32_t kLevelMargin = kPlanOperands + 4;
}  // namespace

void CInterpretor::MakeIntegerPlan(const CFunctionRecord* function, CCallPlan& plan) {
    if (function->parameterState != 1 || function->parameterCount > kPlanArgs)
        return;
    const int32_t parameterCount = function->parameterCount;
    // The last parameter of a name is the one the name reads (a later
    // parameter hides an earlier one of the same name).
    auto parameterOf = [&](uint32_t nameRef) {
        for (int32_t i = parameterCount - 1; i >= 0; --i)
            if (function->parameterNames[i] == nameRef)
                return i;
        return -1;
    };
    auto operandOf = [&](const CSimpleOperand& operand, CIntOperand* out) {
        switch (operand.kind) {
        case CSimpleOperand::kInt:
            out->value = operand.value;
            return true;
        case CSimpleOperand::kThisMember:
            out->isMember = true;
            out->member = operand.nameRef;
            return true;
        case CSimpleOperand::kName:
            out->parameter = static_cast<int8_t>(parameterOf(operand.nameRef));
            return out->parameter >= 0;
        default:
            return false;
        }
    };
    // Operands first to first + count - 1 of a simple expression: one, or
    // two with an integer operator between them.
    auto operandsOf = [&](const CSimpleExpr& entry, int first, int count, CIntExpr* out) {
        if (!operandOf(entry.operands[first], &out->a))
            return false;
        if (count == 2) {
            out->code = entry.operators[first];
            if (!IsIntegerOperator(out->code) || !operandOf(entry.operands[first + 1], &out->b))
                return false;
        }
        out->members = out->a.isMember || out->b.isMember;
        return count == 1 || count == 2;
    };
    auto expressionOf = [&](const uint8_t* at, CIntExpr* out) {
        const CSimpleExpr& entry = SimpleEntryDecoded(at);
        return entry.simple && entry.value != nullptr && operandsOf(entry, 0, entry.count, out);
    };
    // This.member = a (op b), This.member op= b, This.member++ or --.
    auto statementOf = [&](const CCallPlanStep& step, CIntStep* out) {
        const CSimpleExpr& entry = SimpleEntryDecoded(step.expr);
        if (!entry.simple || entry.form == nullptr || entry.end != step.end ||
            entry.operands[0].kind != CSimpleOperand::kThisMember)
            return false;
        out->shape = entry.shape;
        out->code = entry.operators[0];
        out->target.isMember = true;
        out->target.member = entry.operands[0].nameRef;
        switch (entry.shape) {
        case kShapeAssign:
        case kShapeAssignBinary:
            return operandsOf(entry, 1, entry.count - 1, &out->expr);
        case kShapeCompound:
            return operandsOf(entry, 1, 1, &out->expr);
        case kShapePostStep:
            return true;
        default:
            return false;
        }
    };
    const std::vector<CCallPlanStep>& steps = plan.steps;
    std::unique_ptr<CIntPlan> integer(new CIntPlan);
    integer->steps.resize(steps.size());
    auto returns = [&](std::size_t i) {
        return i < steps.size() &&
               (steps[i].kind == CCallPlanStep::kReturn || steps[i].kind == CCallPlanStep::kReturnCalls);
    };
    for (std::size_t i = 0; i < steps.size(); ++i) {
        const CCallPlanStep& step = steps[i];
        CIntStep& out = integer->steps[i];
        switch (step.kind) {
        case CCallPlanStep::kIf:
            // Its statement a Return, and a false condition going on to a
            // step of the plan.
            if (!expressionOf(step.expr, &out.expr) || !returns(i + 1) || step.elseStep >= steps.size() ||
                steps[step.elseStep].kind == CCallPlanStep::kGeneral)
                return;
            break;
        case CCallPlanStep::kReturn:
            if (step.expr != nullptr && !expressionOf(step.expr, &out.expr))
                return;
            break;
        case CCallPlanStep::kReturnCalls:
            out.calls.resize(step.count);
            for (int k = 0; k < step.count; ++k) {
                if (k > 0 && !IsIntegerOperator(step.operators[k - 1]))
                    return;
                const uint8_t* operand = step.operands[k];
                if (!step.isCall[k]) {
                    if (IsIntConstant(InstrCode(operand)))
                        out.operands[k].value = ReadI32(operand + kFieldValue);
                    else if ((out.operands[k].parameter =
                                  static_cast<int8_t>(parameterOf(ReadU32(operand + kFieldNameRef)))) < 0)
                        return;
                    continue;
                }
                const CCallPlanCall& call = step.calls[k];
                CIntCall& target = out.calls[k];
                target.nameRef = ReadU32(call.instr + kFieldNameRef);
                if (parameterOf(target.nameRef) >= 0)
                    return;  // the name is the parameter's
                for (int a = 0; a < call.argCount; ++a) {
                    if (call.argIsConstant[a])
                        target.args[a].a.value = call.argValue[a];
                    else if (!expressionOf(call.args[a], &target.args[a]))
                        return;
                }
            }
            break;
        case CCallPlanStep::kStatement:
            if (!statementOf(step, &out))
                return;
            break;
        case CCallPlanStep::kEnd:
            break;
        case CCallPlanStep::kGeneral:
            // Reached only behind a Return (the If's are checked above).
            if (i == 0)
                return;
            break;
        default:
            return;
        }
    }
    plan.integer = std::move(integer);
}

void CInterpretor::SetIntegerArguments(const int32_t* args, int32_t count) {
    const int32_t first = m_callDepth * kFrameSize;
    CValue* cells = &m_argCells[first];
    for (int32_t i = 0; i < count; ++i)
        cells[i].SetInt(args[i]);
    m_argCounts[m_callDepth] = count;
    const int32_t extent = first + count;
    if (extent > m_argHighWater)
        m_argHighWater = extent;
}

__attribute__((always_inline)) inline void CInterpretor::RunIntegerCall(const CFunctionRecord* function,
                                                                        const CCallPlan& plan,
                                                                        CIBaseClassImpl* thisObject,
                                                                        const int32_t* args, int32_t count,
                                                                        const uint8_t* after) {
    SetIntegerArguments(args, count);
    CValue* slot = Result();
    // What the call's frame puts back, however it ends.
    struct Restore {
        CInterpretor* in;
        const uint8_t* pc;
        int32_t returnFlag;
        CValue* returnTarget;
        ~Restore() {
            in->m_pc = pc;
            in->m_returnFlag = returnFlag;
            in->m_returnTarget = returnTarget;
        }
    } restore{this, after, m_returnFlag, m_returnTarget};
    int32_t value;
    if (IntegerCall(function, plan, thisObject, args, &value, slot))
        slot->SetInt(value);
}

// The arguments behind the call instruction at instr, read as
// EvalArgumentsIntoFrame reads them when each is an integer constant or a
// simple expression with an integer value, and where the list ends; false
// when they are not such (the code pointer moved, nothing else done).
__attribute__((always_inline)) inline bool CInterpretor::IntegerArgumentsAt(const uint8_t* instr, int32_t* args,
                                                                            int32_t* count, const uint8_t** after) {
    const uint8_t* p = NextInstr(instr);
    int32_t n = 0;
    if (InstrCode(p) != kOpCloseParen) {
        for (;;) {
            if (n == kPlanArgs)
                return false;
            const uint16_t code = InstrCode(p);
            const uint16_t next = InstrCode(NextInstr(p));
            if (IsIntConstant(code) && (next == kOpComma || next == kOpCloseParen)) {
                args[n] = ReadI32(p + kFieldValue);
                p = NextInstr(p);
            } else {
                m_pc = p;
                if (!TrySimpleInt(&args[n]))
                    return false;
                p = m_pc;
            }
            ++n;
            if (InstrCode(p) != kOpComma)
                break;
            p = NextInstr(p);
        }
        if (InstrCode(p) != kOpCloseParen)
            return false;
    }
    *count = n;
    *after = NextInstr(p);
    return true;
}

bool CInterpretor::TryIntegerCallHere(const CFunctionRecord* function, CIBaseClassImpl* thisObject) {
    if (!m_fastPaths || !m_shortcuts)
        return false;
    const uint8_t* const start = m_pc;
    int32_t args[kPlanArgs];
    int32_t count;
    const uint8_t* after;
    const CCallPlan* plan = nullptr;
    if (!IntegerArgumentsAt(start, args, &count, &after) || (plan = IntegerPlanOf(function, count)) == nullptr) {
        m_pc = start;
        return false;
    }
    RunIntegerCall(function, *plan, thisObject, args, count, after);
    return true;
}

bool CInterpretor::RunIntegerMethodStatement(CIBaseObjectVar* object, const uint8_t* instr) {
    // What RunMethodStatement and CallScriptObjectMember do, when the method
    // is an integer function and the statement ends behind the call (the
    // statement's value, the call's one level up, is dropped).
    CVariable* member = FindMemberAt(object, instr);
    if (member == nullptr || member->value.GetTag() != CValue::kFunction || m_evalLevel + 2 >= kValueStackSize)
        return false;
    const CFunctionRecord* function = member->value.FunctionOf();
    const uint8_t* const start = m_pc;
    int32_t args[kPlanArgs];
    int32_t count;
    const uint8_t* after;
    const CCallPlan* plan = nullptr;
    if (!IntegerArgumentsAt(instr, args, &count, &after) || InstrCode(after) != kOpSemicolon ||
        (plan = IntegerPlanOf(function, count)) == nullptr) {
        m_pc = start;
        return false;
    }
    const int32_t base = m_evalLevel;
    m_operatorStack[base] = 0;
    ++m_evalLevel;
    Result()->SetOrigin(nullptr);
    ActiveObject active(object);  // the This of the call, as CallScriptObjectMember counts it
    const uint32_t generalRuns = m_generalRuns;
    RunIntegerCall(function, *plan, object, args, count, after);
    m_evalLevel = base;
    // Integer calls only give integers to variables that exist, unless code
    // ran the general way; the object is neither This nor the interpreter
    // (whose variables a loop may rely on) to be safe.
    m_selfContained = object != m_thisObject && object != this && generalRuns == m_generalRuns;
    return true;
}

const CCallPlan* CInterpretor::IntegerPlanOf(const CFunctionRecord* function, int32_t argCount) const {
    const CCallPlan* plan = function->planCode == CodeBase() ? function->plan.get() : nullptr;
    if (plan == nullptr || !plan->integer || argCount != function->parameterCount || m_callDepth + 1 >= kFrameCount ||
        static_cast<int32_t>(function->block->moduleWord) != m_programIndex)
        return nullptr;
    return plan;
}

// The rest of an integer call the general way: the parameters bound in a
// frame of the call's own from the frame's cells, then the operation loop
// from at, or Return's expression from operand i at the stage given (the
// return state as ExecReturn sets it). The value goes into the slot.
bool CInterpretor::FinishIntegerCall(const CFunctionRecord* function, CIBaseClassImpl* thisObject, const int32_t* args,
                                     CValue* slot, const uint8_t* at, const CCallPlanStep* step, int32_t base, int i,
                                     ReturnStage stage) {
    ++m_generalRuns;
    SetIntegerArguments(args, function->parameterCount);
    LocalScope local(this);
    InCallFrame(local.Get(), thisObject, function, [&] {
        if (step == nullptr) {
            RunStatements(static_cast<uint32_t>(at - CodeBase()), slot);
            return;
        }
        m_returnFlag = 1;
        m_returnTarget = slot;
        ContinueReturnCalls(*step, base, i, stage);
    });
    return false;
}

void CInterpretor::BetweenIntegerStatements(const uint8_t* at) {
    // As the operation loop of the call does it: its code pointer there, no
    // Return under way.
    m_pc = at;
    const int32_t returnFlag = m_returnFlag;
    m_returnFlag = 0;
    ++m_generalRuns;  // events may be delivered, tickers run
    AfterStatement();
    m_returnFlag = returnFlag;
}

CVariable* CInterpretor::FindIntegerCallee(const CIntCall& integer, CIBaseClassImpl* thisObject) {
    // As LookUpName in the call's context: its parameters do not have the
    // name, so This's variables, then the global ones.
    CIBaseObjectVar* own =
        thisObject != this && IsScriptObject(thisObject) ? static_cast<CIBaseObjectVar*>(thisObject) : nullptr;
    const uint64_t thisStamp = own != nullptr ? own->m_stamp : 0;
    if (integer.thisObject == thisObject && integer.thisStamp == thisStamp && integer.globalStamp == m_stamp &&
        integer.variable != nullptr)
        return integer.variable;
    CVariable* variable = own != nullptr ? own->FindVariable(integer.nameRef) : nullptr;
    if (variable == nullptr)
        variable = FindVariable(integer.nameRef);
    integer.variable = variable;
    integer.thisObject = thisObject;
    integer.thisStamp = thisStamp;
    integer.globalStamp = m_stamp;
    return variable;
}

// The variable of This.member as the simple expressions find it; null when
// This is no script object or has no such member.
__attribute__((always_inline)) inline CValue* CInterpretor::IntegerMember(const CIntOperand& operand,
                                                                          CIBaseClassImpl* thisObject) {
    if (!IsScriptObject(thisObject))
        return nullptr;
    CIBaseObjectVar* object = static_cast<CIBaseObjectVar*>(thisObject);
    if (operand.object != object || operand.stamp != object->m_stamp) {
        operand.variable = object->FindVariable(operand.member);
        if (operand.variable == nullptr)
            return nullptr;
        operand.object = object;
        operand.stamp = object->m_stamp;
    }
    return &operand.variable->value;
}

__attribute__((always_inline)) inline bool CInterpretor::IntegerOperand(const CIntOperand& operand,
                                                                        CIBaseClassImpl* thisObject,
                                                                        const int32_t* args, int32_t* value) {
    if (!operand.isMember) {
        *value = operand.Read(args);
        return true;
    }
    const CValue* cell = IntegerMember(operand, thisObject);
    if (cell == nullptr || cell->GetTag() != CValue::kInt)
        return false;
    *value = cell->GetInt();
    return true;
}

__attribute__((always_inline)) inline bool CInterpretor::IntegerValue(const CIntExpr& expr, CIBaseClassImpl* thisObject,
                                                                      const int32_t* args, int32_t* value) {
    if (!expr.members)
        return IntValue(expr, args, value);
    int32_t a, b;
    if (!IntegerOperand(expr.a, thisObject, args, &a))
        return false;
    if (expr.code == 0) {
        *value = a;
        return true;
    }
    return IntegerOperand(expr.b, thisObject, args, &b) && IntResult(expr.code, a, b, value);
}

// An assignment to This.member as its simple form does it (see SimpleForms);
// false when nothing was done.
__attribute__((always_inline)) inline bool CInterpretor::IntegerStatement(const CIntStep& step,
                                                                          CIBaseClassImpl* thisObject,
                                                                          const int32_t* args) {
    CValue* target = IntegerMember(step.target, thisObject);
    if (target == nullptr)
        return false;
    const int32_t base = m_evalLevel;
    CValue* slot = m_valueStack[base + 1];
    int32_t r;
    switch (step.shape) {
    case kShapeAssign:
    case kShapeAssignBinary: {
        if (!IntegerValue(step.expr, thisObject, args, &r))
            return false;
        target->SetInt(r);
        CValue& holder = m_places[base + 1]->holder;
        if (holder.GetTag() != CValue::kInt || holder.GetInt() != 0)
            holder.Clear();
        slot->SetInt(r);
        slot->SetOrigin(target);
        break;
    }
    case kShapeCompound: {
        int32_t b;
        if (target->GetTag() != CValue::kInt || !IntegerValue(step.expr, thisObject, args, &b) ||
            !IntResult(step.code, target->GetInt(), b, &r))
            return false;
        target->SetInt(r);
        slot->SetInt(0);  // the statement's value is dropped
        slot->SetOrigin(target);
        break;
    }
    default: {  // kShapePostStep
        if (target->GetTag() != CValue::kInt)
            return false;
        const int32_t a = target->GetInt();
        target->SetInt(static_cast<int32_t>(static_cast<uint32_t>(a) + (step.code == kOpIncrement ? 1u : ~0u)));
        slot->SetInt(a);
        slot->SetOrigin(nullptr);
        break;
    }
    }
    m_operatorStack[base] = 0;
    m_operatorStack[base + 1] = step.code;
    return true;
}

// True with *value when the call's value is an integer; false when it went
// on the general way, its value then in the slot.
bool CInterpretor::IntegerCall(const CFunctionRecord* function, const CCallPlan& plan, CIBaseClassImpl* thisObject,
                               const int32_t* args, int32_t* value, CValue* slot) {
    const CCallPlanStep* const steps = plan.steps.data();
    const CIntStep* const integer = plan.integer->steps.data();
    // Where the operation loop of the call would be.
    const uint8_t* at = plan.entry;
    if (m_evalLevel + kLevelMargin >= kValueStackSize)
        return FinishIntegerCall(function, thisObject, args, slot, at);
    int i = 0;
    for (;;) {
        const CCallPlanStep& step = steps[i];
        if (step.kind == CCallPlanStep::kIf) {
            int32_t holds;
            if (!IntegerValue(integer[i].expr, thisObject, args, &holds))
                return FinishIntegerCall(function, thisObject, args, slot, at);
            if (holds != 0) {
                at = step.end;
                ++i;
            } else {
                at = step.otherwise;
                i = step.elseStep;
            }
        } else if (step.kind == CCallPlanStep::kStatement) {
            if (!IntegerStatement(integer[i], thisObject, args))
                return FinishIntegerCall(function, thisObject, args, slot, at);
            at = step.end;
            ++i;
        } else {
            break;
        }
        if (m_tickCountdown > 0 && !m_betweenDone && NothingWaiting())
            --m_tickCountdown;
        else
            BetweenIntegerStatements(at);
    }
    const CCallPlanStep& step = steps[i];
    if (step.kind == CCallPlanStep::kReturn) {
        if (step.expr == nullptr) {
            *value = 0;
            return true;
        }
        if (IntegerValue(integer[i].expr, thisObject, args, value))
            return true;
        return FinishIntegerCall(function, thisObject, args, slot, at);
    }
    if (step.kind == CCallPlanStep::kEnd) {
        *value = 0;
        return true;
    }
    if (step.kind != CCallPlanStep::kReturnCalls)
        return FinishIntegerCall(function, thisObject, args, slot, at);

    // Return's expression on integers, by the precedence steps of
    // ReturnCalls, each operand's value also in its slot.
    const CIntStep& ints = integer[i];
    const int32_t base = m_evalLevel;
    int32_t values[kPlanOperands + 1];
    int top = 0;  // levels above base in use
    m_operatorStack[base] = 0;
    for (int k = 0;; ++k) {
        // Reduces the pending operators of equal or tighter precedence than
        // the next one (all of them at the end).
        const uint32_t code = k > 0 && k < step.count ? step.operators[k - 1] : 0;
        if (k > 0) {
            while (top > 1 && (code == 0 || code <= m_operatorStack[base + top - 1])) {
                int32_t r;
                if (!IntResult(m_operatorStack[base + top - 1], values[top - 1], values[top], &r))
                    return FinishIntegerCall(function, thisObject, args, slot, at, &step, base, k, kBeforeReduce);
                --top;
                m_evalLevel = base + top;
                values[top] = r;
                CValue* left = m_valueStack[m_evalLevel];
                left->SetOrigin(nullptr);
                left->SetInt(r);
            }
        }
        if (k == step.count)
            break;
        if (k > 0)
            m_operatorStack[base + top] = code;
        if (base + top + 2 >= kValueStackSize)  // PushLevel raises there
            return FinishIntegerCall(function, thisObject, args, slot, at, &step, base, k, kBeforePush);
        ++top;
        m_evalLevel = base + top;
        CValue* operandSlot = m_valueStack[m_evalLevel];
        operandSlot->SetOrigin(nullptr);
        if (!step.isCall[k]) {
            values[top] = ints.operands[k].Read(args);
            operandSlot->SetInt(values[top]);
            continue;
        }
        // A call: by name as the call finds it, to an integer function of
        // the same module with as many arguments as parameters; else the
        // general way calls it.
        const CIntCall& call = ints.calls[k];
        CVariable* variable = FindIntegerCallee(call, thisObject);
        const CFunctionRecord* callee = variable != nullptr && variable->value.GetTag() == CValue::kFunction
                                            ? variable->value.FunctionOf()
                                            : nullptr;
        const int32_t argCount = step.calls[k].argCount;
        const CCallPlan* calleePlan = callee != nullptr ? IntegerPlanOf(callee, argCount) : nullptr;
        int32_t calleeArgs[kPlanArgs];
        bool integerArgs = calleePlan != nullptr;
        for (int a = 0; integerArgs && a < argCount; ++a)
            integerArgs = IntegerValue(call.args[a], thisObject, args, &calleeArgs[a]);
        if (!integerArgs)
            return FinishIntegerCall(function, thisObject, args, slot, at, &step, base, k, kOperand);
        SetIntegerArguments(calleeArgs, argCount);
        if (IntegerCall(callee, *calleePlan, thisObject, calleeArgs, &values[top], operandSlot)) {
            operandSlot->SetInt(values[top]);
        } else if (operandSlot->GetTag() == CValue::kInt) {
            values[top] = operandSlot->GetInt();
        } else {
            return FinishIntegerCall(function, thisObject, args, slot, at, &step, base, k, kAfterOperand);
        }
    }
    m_evalLevel = base;
    *value = values[1];
    return true;
}
