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
#include "runtime/call_plan.h"
#include "runtime/interp_call_frame.h"
#include "runtime/interp_execute_statement.h"
#include "runtime/simple_shapes.h"

using tw_simple::IntResult;

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
    auto parameterOf = [&](uint32_t nameRef) {
        for (int32_t i = 0; i < parameterCount; ++i)
            if (function->parameterNames[i] == nameRef)
                return i;
        return -1;
    };
    auto operandOf = [&](const CSimpleOperand& operand, CIntOperand* out) {
        if (operand.kind == CSimpleOperand::kInt) {
            out->value = operand.value;
            return true;
        }
        if (operand.kind != CSimpleOperand::kName)
            return false;
        out->parameter = static_cast<int8_t>(parameterOf(operand.nameRef));
        return out->parameter >= 0;
    };
    // A simple expression of one operand, or two with an integer operator.
    auto expressionOf = [&](const uint8_t* at, CIntExpr* out) {
        const CSimpleExpr& entry = SimpleEntryDecoded(at);
        if (!entry.simple || entry.value == nullptr || !operandOf(entry.operands[0], &out->a))
            return false;
        if (entry.count == 1)
            return true;
        out->code = entry.operators[0];
        return entry.count == 2 && IsIntegerOperator(out->code) && operandOf(entry.operands[1], &out->b);
    };
    const std::vector<CCallPlanStep>& steps = plan.steps;
    std::unique_ptr<CIntPlan> integer(new CIntPlan);
    integer->steps.resize(steps.size());
    auto returns = [&](std::size_t i) {
        return i < steps.size() && (steps[i].kind == CCallPlanStep::kReturn || steps[i].kind == CCallPlanStep::kReturnCalls);
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
                    else if ((out.operands[k].parameter = static_cast<int8_t>(
                                  parameterOf(ReadU32(operand + kFieldNameRef)))) < 0)
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
    CValue* cells = &m_argCells[m_callDepth * kFrameSize];
    for (int32_t i = 0; i < count; ++i)
        cells[i].SetInt(args[i]);
    m_argCounts[m_callDepth] = count;
    const int32_t extent = m_callDepth * kFrameSize + count;
    if (extent > m_argHighWater)
        m_argHighWater = extent;
}

bool CInterpretor::TryIntegerCall(const CCallPlanCall& call, const CFunctionRecord* function) {
    const CCallPlan* plan = function->planCode == CodeBase() ? function->plan.get() : nullptr;
    if (plan == nullptr || !plan->integer || call.argCount != function->parameterCount ||
        m_callDepth + 1 >= kFrameCount || static_cast<int32_t>(function->block->moduleWord) != m_programIndex)
        return false;
    int32_t args[kPlanArgs];
    for (int i = 0; i < call.argCount; ++i) {
        if (call.argIsConstant[i]) {
            args[i] = call.argValue[i];
            continue;
        }
        m_pc = call.args[i];
        if (!TrySimpleInt(&args[i]))
            return false;  // nothing done: the general way evaluates them all
    }
    SetIntegerArguments(args, call.argCount);
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
    } restore{this, call.after, m_returnFlag, m_returnTarget};
    int32_t value;
    if (IntegerCall(function, *plan, args, &value, slot))
        slot->SetInt(value);
    return true;
}

// The rest of an integer call the general way: the parameters bound in a
// frame of the call's own from the frame's cells, then the operation loop
// from at, or Return's expression from operand i at the stage given (the
// return state as ExecReturn sets it). The value goes into the slot.
bool CInterpretor::FinishIntegerCall(const CFunctionRecord* function, const int32_t* args, CValue* slot,
                                     const uint8_t* at, const CCallPlanStep* step, int32_t base, int i,
                                     ReturnStage stage) {
    SetIntegerArguments(args, function->parameterCount);
    LocalScope local(this);
    InCallFrame(local.Get(), m_thisObject, function, [&] {
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
    if (m_betweenDone)
        m_betweenDone = false;
    else if (QuietBetweenStatements())
        --m_tickCountdown;
    else
        BetweenStatements();
    m_returnFlag = returnFlag;
}

CVariable* CInterpretor::FindIntegerCallee(const CIntCall& integer) {
    // As LookUpName in the call's context: its parameters do not have the
    // name, so This's variables, then the global ones.
    CVariable* variable = nullptr;
    if (m_thisObject != this && IsScriptObject(m_thisObject))
        variable = static_cast<CIBaseObjectVar*>(m_thisObject)->FindVariable(integer.nameRef);
    if (variable == nullptr)
        variable = FindVariable(integer.nameRef);
    integer.variable = variable;
    integer.epoch = m_contextEpoch;
    return variable;
}

// True with *value when the call's value is an integer; false when it went
// on the general way, its value then in the slot.
bool CInterpretor::IntegerCall(const CFunctionRecord* function, const CCallPlan& plan, const int32_t* args,
                               int32_t* value, CValue* slot) {
    const CCallPlanStep* const steps = plan.steps.data();
    const CIntStep* const integer = plan.integer->steps.data();
    // Where the operation loop of the call would be.
    const uint8_t* at = plan.entry;
    if (m_evalLevel + kLevelMargin >= kValueStackSize)
        return FinishIntegerCall(function, args, slot, at);
    int i = 0;
    for (;;) {
        const CCallPlanStep& step = steps[i];
        if (step.kind == CCallPlanStep::kIf) {
            int32_t holds;
            if (!IntValue(integer[i].expr, args, &holds))
                return FinishIntegerCall(function, args, slot, at);
            if (holds != 0) {
                at = step.end;
                ++i;
            } else {
                at = step.otherwise;
                i = step.elseStep;
            }
            if (m_tickCountdown > 0 && !m_betweenDone && NothingWaiting())
                --m_tickCountdown;
            else
                BetweenIntegerStatements(at);
            continue;
        }
        if (step.kind == CCallPlanStep::kReturnCalls)
            break;
        if (step.kind == CCallPlanStep::kReturn) {
            if (step.expr == nullptr) {
                *value = 0;
                return true;
            }
            if (IntValue(integer[i].expr, args, value))
                return true;
        } else if (step.kind == CCallPlanStep::kEnd) {
            *value = 0;
            return true;
        }
        return FinishIntegerCall(function, args, slot, at);
    }

    // Return's expression on integers, by the precedence steps of
    // ReturnCalls, each operand's value also in its slot.
    const CCallPlanStep& step = steps[i];
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
                    return FinishIntegerCall(function, args, slot, at, &step, base, k, kBeforeReduce);
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
        if (base + top + 2 >= kValueStackSize)
            return FinishIntegerCall(function, args, slot, at, &step, base, k, kBeforePush);  // PushLevel raises
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
        CVariable* variable = call.epoch == m_contextEpoch ? call.variable : FindIntegerCallee(call);
        const CFunctionRecord* callee =
            variable != nullptr && variable->value.GetTag() == CValue::kFunction ? variable->value.FunctionOf() : nullptr;
        const CCallPlan* calleePlan = callee != nullptr && callee->planCode == CodeBase() ? callee->plan.get() : nullptr;
        const int32_t argCount = step.calls[k].argCount;
        int32_t calleeArgs[kPlanArgs];
        bool integerArgs = calleePlan != nullptr && calleePlan->integer && argCount == callee->parameterCount &&
                           m_callDepth + 1 < kFrameCount &&
                           static_cast<int32_t>(callee->block->moduleWord) == m_programIndex;
        for (int a = 0; integerArgs && a < argCount; ++a)
            integerArgs = IntValue(call.args[a], args, &calleeArgs[a]);
        if (!integerArgs)
            return FinishIntegerCall(function, args, slot, at, &step, base, k, kOperand);
        SetIntegerArguments(calleeArgs, argCount);
        if (IntegerCall(callee, *calleePlan, calleeArgs, &values[top], operandSlot)) {
            operandSlot->SetInt(values[top]);
        } else if (operandSlot->GetTag() == CValue::kInt) {
            values[top] = operandSlot->GetInt();
        } else {
            return FinishIntegerCall(function, args, slot, at, &step, base, k, kAfterOperand);
        }
    }
    m_evalLevel = base;
    *value = values[1];
    return true;
}
