// Function bodies run from a plan: the statements of a body decoded once per
// function, so that a call runs them without decoding the instructions and
// without the operation loop's dispatch.
//
// A plan covers the commonest statements of small functions: If with a
// simple condition and one statement, Return (also of an expression made of
// calls by name with simple arguments, names and integer constants), simple
// expression statements and the function's "}". At its first other
// statement, or whenever a statement's shortcut does not apply, the
// operation loop goes on from where the plan got to, in the same call.
//
// Every step does what the operation loop and the statement's handler do, in
// the same order and with the code pointer at the same instruction wherever
// something can raise an error or look at it: the work between statements
// comes after the same statements, calls bind and run as OpEvalCall runs them,
// and operators are applied by the precedence steps of EvalExpression with
// the same handlers. Only the reading of the instructions is saved.
#include "runtime/interp/interpretor.h"
#include "runtime/interp/call_plan.h"
#include "runtime/interp/interp_execute_statement.h"

#include <new>

namespace {
bool IsArgumentEnd(uint16_t code) { return code == kOpComma || code == kOpCloseParen; }

bool IsPlainOperator(uint16_t code) { return IsBinaryOperator(code) && code != kOpConditional; }

// Where the statement at p starts when the operation loop reaches p: one ";"
// (the end of the statement before) is stepped over.
const uint8_t* StatementAt(const uint8_t* p) { return InstrCode(p) == kOpSemicolon ? NextInstr(p) : p; }
}  // namespace

bool CInterpretor::DecodePlanCall(CCallPlanCall& call, const uint8_t* instr, const uint8_t* limit) {
    call.instr = instr;
    const uint8_t* p = NextInstr(instr);
    if (p >= limit)
        return false;
    if (InstrCode(p) == kOpCloseParen) {
        call.after = NextInstr(p);
        return true;
    }
    for (int count = 0;; ++count) {
        if (count == kPlanArgs || p >= limit)
            return false;
        const uint16_t code = InstrCode(p);
        const uint8_t* end;
        if (IsIntConstant(code) && NextInstr(p) < limit && IsArgumentEnd(InstrCode(NextInstr(p)))) {
            call.argIsConstant[count] = true;
            call.argValue[count] = ReadI32(p + kFieldValue);
            end = NextInstr(p);
        } else {
            const CSimpleExpr& entry = SimpleEntryDecoded(p);
            if (!entry.simple || entry.end >= limit || !IsArgumentEnd(InstrCode(entry.end)))
                return false;
            end = entry.end;
        }
        call.args[count] = p;
        call.argCount = static_cast<uint8_t>(count + 1);
        if (InstrCode(end) == kOpCloseParen) {
            call.after = NextInstr(end);
            return call.after <= limit;
        }
        p = NextInstr(end);
    }
}

// Return's expression when it is operands (at least one a call) joined by
// operators other than "?", ending at ";".
bool CInterpretor::DecodeReturnCalls(CCallPlanStep& step, const uint8_t* expr, const uint8_t* limit) {
    step.expr = expr;
    step.calls.resize(kPlanOperands);
    bool anyCall = false;
    const uint8_t* p = expr;
    for (int count = 0;; ++count) {
        if (count == kPlanOperands || p >= limit)
            return false;
        const uint16_t code = InstrCode(p);
        const uint8_t* after;
        step.operands[count] = p;
        if (code == kOpCallName) {
            if (!DecodePlanCall(step.calls[count], p, limit))
                return false;
            step.isCall[count] = true;
            anyCall = true;
            after = step.calls[count].after;
        } else if (code == kOpName || IsIntConstant(code)) {
            after = NextInstr(p);
        } else {
            return false;
        }
        if (after >= limit)
            return false;
        step.count = static_cast<uint8_t>(count + 1);
        const uint16_t next = InstrCode(after);
        if (next == kOpSemicolon) {
            step.end = after;
            return anyCall;
        }
        if (!IsPlainOperator(next) || count + 1 == kPlanOperands)
            return false;
        step.operators[count] = next;
        step.operatorAt[count] = after;
        p = NextInstr(after);
    }
}

const CCallPlan* CInterpretor::MakeCallPlan(CFunctionRecord* function) {
    function->planCode = CodeBase();
    function->plan.reset();
    const CBlockRecord* block = function->block;
    const std::size_t size = m_program.code.size();
    if (block == nullptr || block->kind != kBlockFunction || block->start >= size || block->end >= size ||
        block->start >= block->end)
        return nullptr;
    const uint8_t* base = CodeBase();
    const uint8_t* limit = base + block->end;  // the function's "}"
    std::shared_ptr<CCallPlan> plan;
    try {
        plan = std::make_shared<CCallPlan>();
        plan->block = block;
        plan->entry = NextInstr(base + block->start);
        std::vector<CCallPlanStep>& steps = plan->steps;
        steps.reserve(kPlanSteps);  // pendingIf points into it
        const uint8_t* p = NextInstr(base + block->start);
        // The If whose statement the next step is, and where its false
        // condition goes on.
        CCallPlanStep* pendingIf = nullptr;
        while (static_cast<int>(steps.size()) < kPlanSteps - 1 && p <= limit) {
            const uint8_t* at = StatementAt(p);
            if (at > limit)
                break;
            const uint16_t code = InstrCode(at);
            CCallPlanStep step;
            const uint8_t* next = nullptr;  // where the loop is after the step; null: it returns
            if (at == limit && code == kOpCloseBrace && pendingIf == nullptr) {
                step.kind = CCallPlanStep::kEnd;
            } else if (code == kOpIf && pendingIf == nullptr) {
                const CSimpleExpr& condition = SimpleEntryDecoded(NextInstr(at));
                const uint32_t jump = ReadU32(at + kFieldJump);
                if (!condition.simple || condition.value == nullptr || condition.end >= limit ||
                    InstrCode(condition.end) != kOpCloseParen || jump > block->end ||
                    InstrCode(base + jump) == kOpElse)
                    break;
                step.kind = CCallPlanStep::kIf;
                step.expr = NextInstr(at);
                step.end = NextInstr(condition.end);
                step.otherwise = base + jump;
                next = step.end;
            } else if (code == kOpReturn) {
                const uint8_t* expr = NextInstr(at);
                if (expr >= limit)
                    break;
                if (InstrCode(expr) == kOpSemicolon) {
                    step.kind = CCallPlanStep::kReturn;
                } else if (DecodeReturnCalls(step, expr, limit)) {
                    step.kind = CCallPlanStep::kReturnCalls;
                } else {
                    step = CCallPlanStep();
                    step.kind = CCallPlanStep::kReturn;
                    step.expr = expr;
                }
            } else if (const uint8_t* end = ExpressionStatementEnd(at, limit)) {
                step.kind = CCallPlanStep::kStatement;
                step.expr = at;
                step.end = end;
                next = end;
            } else {
                break;
            }
            if (pendingIf != nullptr) {
                // The If's statement: a false condition goes on where it
                // does (after a Return: at the If's jump target).
                if (next != nullptr && StatementAt(next) != StatementAt(pendingIf->otherwise))
                    break;
                if (next == nullptr)
                    next = pendingIf->otherwise;
                pendingIf->elseStep = static_cast<uint8_t>(steps.size() + 1);
                pendingIf = nullptr;
            }
            steps.push_back(std::move(step));
            if (steps.back().kind == CCallPlanStep::kIf)
                pendingIf = &steps.back();
            if (next == nullptr && pendingIf == nullptr)
                break;  // nothing after a Return or the end is reached from here
            p = next;
        }
        // An If without its statement goes the general way; wherever the
        // plan stops, the operation loop goes on.
        if (pendingIf != nullptr)
            steps.pop_back();
        steps.emplace_back();  // kGeneral
        MakeIntegerPlan(function, *plan);
    } catch (const std::bad_alloc&) {
        return nullptr;  // the general way, which needs no plan
    }
    function->plan = plan;
    return plan.get();
}

// The value of Return's expression into the return target, by the steps of
// EvalExpression and FinishExpression.
void CInterpretor::ReturnCalls(const CCallPlanStep& step) {
    const int32_t base = m_evalLevel;
    m_pc = step.expr;
    m_operatorStack[base] = 0;
    ContinueReturnCalls(step, base, 0, kBeforeReduce);
}

// The rest of ReturnCalls from operand i at the stage given (also for an
// integer call that goes on the general way with the levels above base
// holding what they would hold there).
void CInterpretor::ContinueReturnCalls(const CCallPlanStep& step, int32_t base, int i, ReturnStage stage) {
    for (; i < step.count; ++i, stage = kBeforeReduce) {
        if (stage == kBeforeReduce && i > 0) {
            const uint32_t code = step.operators[i - 1];
            m_pc = step.operatorAt[i - 1];
            ReducePending(base, code);
            m_operatorStack[m_evalLevel] = code;
        }
        if (stage <= kBeforePush) {
            m_pc = step.operands[i];
            PushLevel();
        }
        if (stage <= kOperand) {
            m_pc = step.operands[i];
            EvalOperandAtLevel();  // a call: OpEvalCall, an integer call when it can be
        }
    }
    m_pc = step.end;
    ReducePending(base, 0);
    m_evalLevel = base;
    m_returnTarget->Assign(*m_valueStack[base + 1]);
}

void CInterpretor::RunCallPlan(const CCallPlan& plan, CValue* result) {
    m_returnFlag = 0;
    m_returnTarget = result;
    const CCallPlanStep* const steps = plan.steps.data();
    const CCallPlanStep* step = steps;
    // The code pointer is always where the operation loop would be: at the
    // statement of the step, perhaps behind the ";" of the one before.
    for (;;) {
        const CCallPlanStep& current = *step;
        if (current.kind == CCallPlanStep::kIf) {
            // ExecIf
            const uint8_t* at = m_pc;
            m_pc = current.expr;
            int32_t holds;
            if (!TrySimpleInt(&holds)) {
                m_pc = at;
                break;
            }
            if (holds != 0) {
                m_pc = current.end;
                ++step;
            } else {
                m_pc = current.otherwise;
                step = steps + current.elseStep;
            }
        } else if (current.kind == CCallPlanStep::kStatement) {
            ExecuteStatement();
            if (m_returnFlag)
                return;
            // Ended elsewhere: the operation loop goes on from there.
            step = m_pc == current.end ? step + 1 : nullptr;
        } else if (current.kind == CCallPlanStep::kReturn) {
            // ExecReturn (inside a function the block level is above 0)
            m_returnFlag = 1;
            if (m_returnTarget == nullptr)
                return;
            if (current.expr == nullptr) {
                m_returnTarget->SetInt(0);
                return;
            }
            m_pc = current.expr;
            int32_t value;
            if (TrySimpleInt(&value))
                m_returnTarget->SetInt(value);
            else
                m_returnTarget->Assign(*EvalExpressionFast());
            return;
        } else if (current.kind == CCallPlanStep::kReturnCalls) {
            m_returnFlag = 1;
            if (m_returnTarget != nullptr)
                ReturnCalls(current);
            return;
        } else if (current.kind == CCallPlanStep::kEnd && TopBlock() == plan.block) {
            // ExecBlockEnd of the function's own block
            m_returnFlag = 1;
            if (m_returnTarget != nullptr)
                m_returnTarget->SetInt(0);
            return;
        } else {
            break;
        }
        AfterStatement();
        if (step == nullptr)
            break;
    }
    RunStatements(static_cast<uint32_t>(m_pc - CodeBase()), result);
}
