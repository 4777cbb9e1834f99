// The operation tables and the statement handlers that are not control flow.
//
// Three tables indexed by operation code: the statement table (the
// instruction that starts a statement), the evaluation table (the instruction
// that starts an operand) and the operator table (a binary operator being
// reduced, codes 119 to 152).
#include "runtime/interp/interpretor.h"

using H = CInterpretor::Handler;

struct CInterpretor::TableBuilder {
    static void FillStatements(H* t) {
        for (int i = 0; i < kOpTableSize; ++i)
            t[i] = &CInterpretor::OpStatementError;
        t[kOpEnd] = &CInterpretor::OpEndOfCode;
        for (int i = kOpFirstClass; i <= kOpLastClass; ++i)
            t[i] = &CInterpretor::OpStatementClass;
        t[kOpCallName] = &CInterpretor::OpStatementExpression;
        t[kOpName] = &CInterpretor::OpStatementExpression;
        t[kOpIndexName] = &CInterpretor::OpStatementExpression;
        t[kOpThis] = &CInterpretor::OpStatementExpression;
        t[kOpMemberCall] = &CInterpretor::OpStatementMember;
        t[kOpVar] = &CInterpretor::OpStatementVar;
        t[kOpFor] = &CInterpretor::ExecFor;
        t[kOpReturn] = &CInterpretor::ExecReturn;
        t[kOpBreak] = &CInterpretor::ExecBreak;
        t[kOpContinue] = &CInterpretor::ExecContinue;
        t[kOpDelete] = &CInterpretor::OpStatementDelete;
        t[kOpFunction] = &CInterpretor::OpStatementFunction;
        t[kOpIf] = &CInterpretor::ExecIf;
        t[kOpElse] = &CInterpretor::ExecElse;
        t[kOpWhile] = &CInterpretor::ExecWhile;
        t[kOpIn] = &CInterpretor::ExecIn;
        t[kOpCurWindow] = &CInterpretor::OpStatementCurWindow;
        t[kOpSwitch] = &CInterpretor::ExecSwitch;
        t[kOpCase] = &CInterpretor::ExecCase;
        t[kOpDefault] = &CInterpretor::OpStep;
        t[kOpModuleStart] = &CInterpretor::OpModuleStart;
        t[kOpModuleEnd] = &CInterpretor::OpEndOfCode;
        t[kOpOpenBrace] = &CInterpretor::ExecBlockBegin;
        t[kOpCloseBrace] = &CInterpretor::ExecBlockEnd;
        t[kOpSemicolon] = &CInterpretor::OpStep;
        // A statement may start with a prefix operator or a parenthesis.
        t[kOpOpenParen] = &CInterpretor::OpStatementExpression;
        t[kOpIncrement] = &CInterpretor::OpStatementExpression;
        t[kOpDecrement] = &CInterpretor::OpStatementExpression;
    }

    static void FillEvaluation(H* t) {
        for (int i = 0; i < kOpTableSize; ++i)
            t[i] = &CInterpretor::OpEvalError;
        for (int i = kOpFirstClass; i <= kOpLastClass; ++i)
            t[i] = &CInterpretor::OpEvalClass;
        t[kOpCallName] = &CInterpretor::OpEvalCall;
        t[kOpName] = &CInterpretor::OpEvalName;
        t[kOpIndexName] = &CInterpretor::OpEvalIndexName;
        t[kOpVar] = &CInterpretor::OpEvalVar;
        t[kOpNew] = &CInterpretor::NewObject;
        t[kOpThis] = &CInterpretor::OpEvalThis;
        t[kOpCurWindow] = &CInterpretor::OpEvalCurWindow;
        t[kOpInt] = &CInterpretor::OpEvalInt;
        t[kOpIntHex] = &CInterpretor::OpEvalInt;
        t[kOpInt2] = &CInterpretor::OpEvalInt;
        t[kOpString] = &CInterpretor::OpEvalString;
        t[kOpDouble] = &CInterpretor::OpEvalDouble;
        t[kOpZero] = &CInterpretor::OpEvalZero;
        t[kOpFalse] = &CInterpretor::OpEvalZero;
        t[kOpOff] = &CInterpretor::OpEvalZero;
        t[kOpTrue] = &CInterpretor::OpEvalOne;
        t[kOpOn] = &CInterpretor::OpEvalOne;
        t[kOpOmitted] = &CInterpretor::OpEvalOmitted;
        t[kOpOpenParen] = &CInterpretor::OpEvalParen;
        t[kOpCloseParen] = &CInterpretor::OpEvalMissing;
        t[kOpComma] = &CInterpretor::OpEvalMissing;
        t[kOpSemicolon] = &CInterpretor::OpEvalMissing;
        t[kOpNot] = &CInterpretor::OpEvalNot;
        t[kOpComplement] = &CInterpretor::OpEvalComplement;
        t[kOpIncrement] = &CInterpretor::OpEvalPrefixIncrement;
        t[kOpDecrement] = &CInterpretor::OpEvalPrefixDecrement;
        t[kOpSubtract] = &CInterpretor::OpEvalNegate;
    }

    static void FillOperators(H* t) {
        for (int i = 0; i < kOpTableSize; ++i)
            t[i] = &CInterpretor::OpEvalError;
        t[kOpAssign] = &CInterpretor::OpAssign;
        t[kOpLogicalAnd] = &CInterpretor::OpLogicalAnd;
        t[kOpLogicalOr] = &CInterpretor::OpLogicalOr;
        t[kOpAddAssign] = &CInterpretor::OpAddAssign;
        t[kOpSubAssign] = &CInterpretor::OpSubAssign;
        t[kOpMulAssign] = &CInterpretor::OpMulAssign;
        t[kOpDivAssign] = &CInterpretor::OpDivAssign;
        t[kOpAndAssign] = &CInterpretor::OpAndAssign;
        t[kOpOrAssign] = &CInterpretor::OpOrAssign;
        t[kOpXorAssign] = &CInterpretor::OpXorAssign;
        t[kOpModAssign] = &CInterpretor::OpModAssign;
        t[kOpShlAssign] = &CInterpretor::OpShlAssign;
        t[kOpShrAssign] = &CInterpretor::OpShrAssign;
        t[kOpGreaterEqual] = &CInterpretor::OpGreaterEqual;
        t[kOpLessEqual] = &CInterpretor::OpLessEqual;
        t[kOpEqual] = &CInterpretor::OpEqual;
        t[kOpLess] = &CInterpretor::OpLess;
        t[kOpGreater] = &CInterpretor::OpGreater;
        t[kOpNotEqual] = &CInterpretor::OpNotEqual;
        t[kOpNot] = &CInterpretor::OpInfixNot;
        t[kOpComplement] = &CInterpretor::OpInfixComplement;
        t[kOpIncrement] = &CInterpretor::OpPostIncrement;
        t[kOpDecrement] = &CInterpretor::OpPostDecrement;
        t[kOpAdd] = &CInterpretor::OpAdd;
        t[kOpSubtract] = &CInterpretor::OpSubtract;
        t[kOpDivide] = &CInterpretor::OpDivide;
        t[kOpMultiply] = &CInterpretor::OpMultiply;
        t[kOpBitAnd] = &CInterpretor::OpBitAnd;
        t[kOpBitOr] = &CInterpretor::OpBitOr;
        t[kOpBitXor] = &CInterpretor::OpBitXor;
        t[kOpModulo] = &CInterpretor::OpModulo;
        t[kOpShiftLeft] = &CInterpretor::OpShiftLeft;
        t[kOpShiftRight] = &CInterpretor::OpShiftRight;
    }
};

namespace {
template <void (*Fill)(H*)>
struct CTable {
    H entries[kOpTableSize];
    CTable() { Fill(entries); }
};
const CTable<&CInterpretor::TableBuilder::FillStatements> g_statements;
const CTable<&CInterpretor::TableBuilder::FillEvaluation> g_evaluation;
const CTable<&CInterpretor::TableBuilder::FillOperators> g_operators;
}  // namespace

const H* const CInterpretor::kStatementTable = g_statements.entries;
const H* const CInterpretor::kEvaluationTable = g_evaluation.entries;
const H* const CInterpretor::kOperatorTable = g_operators.entries;

// ---- statement handlers ----

void CInterpretor::OpStatementError() {
    RaiseError(16);
}

void CInterpretor::OpEndOfCode() {
    RaiseError(0);
}

void CInterpretor::OpStep() {
    StepInstr();
}

void CInterpretor::OpStatementExpression() {
    StatementValueDropped dropped(this);
    EvalExpression();
}

void CInterpretor::OpStatementClass() {
    // Only the classes with a global object start a statement.
    if (GlobalSlotOfClass(Code()) < 0)
        RaiseError(16);
    EvalExpression();
}

void CInterpretor::OpStatementMember() {
    RaiseError(41);
}

void CInterpretor::OpStatementVar() {
    DeclareWithVar();
}

void CInterpretor::OpStatementDelete() {
    StepInstr();
    CValue* value = EvalExpression();
    CIBaseClassImpl* object = value->GetObjectNonNull();
    DeleteObject(object);
}

void CInterpretor::OpStatementFunction() {
    // Definitions are not executed in sequence: continue behind the body.
    GoTo(ReadU32(m_pc + kFieldJump));
}

void CInterpretor::OpStatementCurWindow() {
    if (m_currentWindow == nullptr)
        RaiseError(31);
    EvalExpression();
}

void CInterpretor::OpModuleStart() {
    m_programIndex = ReadI32(m_pc + kFieldValue);
    StepInstr();
}
