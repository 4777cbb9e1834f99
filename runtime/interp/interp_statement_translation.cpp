// Statements translated once: the translation of each expression a statement
// evaluates, bound to the statement the first time it runs.
//
// The operation loop finds the handler of a statement by its operation code
// and the expressions in it by looking them up at every run (the shortcut of
// a simple expression, then the translation's table). A translated statement
// is found by its code offset in one step and holds its expressions'
// translations: the condition of If, While and For, the initial expression
// of For, the value of Return and Switch, an expression statement itself,
// and for the "}" of a loop the loop's step and condition (bound to the
// loop's record).
//
// Each translated statement does what its handler in interp_control_flow.cpp
// does, step by step, with the code pointer where the handler has it: the
// block stack, the error positions and the statement boundaries stay those of
// the operation loop. An expression the translation cannot run goes the
// general way at that point. Statements of other kinds (Case, Break,
// Continue, Var, declarations) run by their handlers.
#include "runtime/interp/interpretor.h"

#include <deque>
#include <vector>

namespace {

struct CTranslatedStatement {
    enum Kind : uint8_t { kNone, kExpression, kIf, kWhile, kFor, kReturn, kSwitch, kBlockEnd };
    Kind kind = kNone;
    uint32_t jump = 0;  // If: where its false branch starts
    // The expression statement, the condition of If and While, the initial
    // expression of For, the value of Return and of Switch.
    const CTranslatedExpression* expression = nullptr;
    // "}": the loop record the step and condition below were bound for.
    const CBlockRecord* loop = nullptr;
    const CTranslatedExpression* step = nullptr;
    const CTranslatedExpression* condition = nullptr;
};

}  // namespace

struct CTranslatedStatements {
    const uint8_t* code = nullptr;  // the code buffer the statements were made for
    // By code offset: the statement made there, null while none is.
    std::vector<CTranslatedStatement*> index;
    // A deque: a statement keeps its place while statements run by it (a
    // function called in its expression) add others.
    std::deque<CTranslatedStatement> statements;
};

namespace {

bool StartsExpressionStatement(const uint8_t* p) {
    switch (InstrCode(p)) {
    case kOpName:
        // A method call on an object has its own statement path.
        return InstrCode(NextInstr(p)) != kOpMemberCall;
    case kOpIndexName:
    case kOpThis:
    case kOpOpenParen:
    case kOpIncrement:
    case kOpDecrement:
        return true;
    default:
        return false;
    }
}

}  // namespace

CValue* CInterpretor::EvalByTranslation(const CTranslatedExpression* entry) {
    if (entry != nullptr && m_varDeclared == nullptr)
        if (CValue* value = RunTranslated(entry))
            return value;
    return EvalExpression();
}

bool CInterpretor::RunStatementTranslated() {
    if (!m_translatedStatements || m_translatedStatements->code != CodeBase()) {
        m_translatedStatements = std::make_shared<CTranslatedStatements>();
        m_translatedStatements->code = CodeBase();
        m_translatedStatements->index.assign(m_program.code.size(), nullptr);
    }
    CTranslatedStatements& table = *m_translatedStatements;
    const size_t offset = static_cast<size_t>(m_pc - CodeBase());
    if (offset >= table.index.size())
        return false;
    if (table.index[offset] == nullptr) {
        CTranslatedStatement made;
        const uint8_t* p = m_pc;
        if (StartsExpressionStatement(p)) {
            made.kind = CTranslatedStatement::kExpression;
            made.expression = TranslationAt(p);
        } else {
            switch (InstrCode(p)) {
            case kOpIf:
                made.kind = CTranslatedStatement::kIf;
                made.jump = ReadU32(p + kFieldJump);
                made.expression = TranslationAt(NextInstr(p));
                break;
            case kOpWhile:
                made.kind = CTranslatedStatement::kWhile;
                made.expression = TranslationAt(NextInstr(p));
                break;
            case kOpFor:
                made.kind = CTranslatedStatement::kFor;
                made.expression = TranslationAt(NextInstr(p));
                break;
            case kOpReturn:
                made.kind = CTranslatedStatement::kReturn;
                if (InstrCode(NextInstr(p)) != kOpSemicolon)
                    made.expression = TranslationAt(NextInstr(p));
                break;
            case kOpSwitch:
                made.kind = CTranslatedStatement::kSwitch;
                made.expression = TranslationAt(NextInstr(p));
                break;
            case kOpCloseBrace:
                made.kind = CTranslatedStatement::kBlockEnd;
                break;
            default:
                break;
            }
        }
        table.statements.push_back(made);
        table.index[offset] = &table.statements.back();
    }
    CTranslatedStatement& statement = *table.index[offset];
    switch (statement.kind) {
    case CTranslatedStatement::kExpression: {
        // As OpStatementExpression by the translation.
        if (m_varDeclared != nullptr)
            return false;
        StatementValueDropped dropped(this);
        return RunTranslated(statement.expression) != nullptr;
    }
    case CTranslatedStatement::kIf: {
        // As ExecIf.
        StepInstr();
        CValue* condition = EvalByTranslation(statement.expression);
        StepInstr();
        if (condition->GetInt() != 0)
            return true;
        GoTo(statement.jump);
        if (Code() == kOpElse)
            StepInstr();
        return true;
    }
    case CTranslatedStatement::kWhile: {
        // As ExecWhile.
        const CBlockRecord* record = BlockAt(ReadU32(m_pc + kFieldBlockIndex));
        StepInstr();
        if (EvalByTranslation(statement.expression)->GetInt() != 0) {
            EnterBlock(record);
            GoBehind(record->start);
        } else {
            GoBehind(record->end);
        }
        return true;
    }
    case CTranslatedStatement::kFor: {
        // As ExecFor: the initial expression before the block is entered.
        const CBlockRecord* record = BlockAt(ReadU32(m_pc + kFieldBlockIndex));
        StepInstr();
        EvalByTranslation(statement.expression);
        EnterBlock(record);
        if (record->condition != 0) {
            GoTo(record->condition);
            if (EvalByTranslation(TranslationAt(m_pc))->GetInt() == 0) {
                GoBehind(record->end);
                LeaveBlock();
                return true;
            }
        }
        GoBehind(record->start);
        return true;
    }
    case CTranslatedStatement::kReturn: {
        // As ExecReturn.
        if (m_blockLevel <= 0)
            RaiseError(43);
        StepInstr();
        m_returnFlag = 1;
        if (m_returnTarget == nullptr)
            return true;
        if (statement.expression == nullptr)
            m_returnTarget->SetInt(0);
        else
            m_returnTarget->Assign(*EvalByTranslation(statement.expression));
        return true;
    }
    case CTranslatedStatement::kSwitch:
        ExecSwitchBy(statement.expression);
        return true;
    case CTranslatedStatement::kBlockEnd: {
        // The "}" of a While or For loop as ExecBlockEnd (without the fused
        // rounds of the shortcuts); any other block by the handler.
        if (m_blockLevel <= 0)
            RaiseError(27);
        const CBlockRecord* top = RequireTopBlock();
        if (top->kind != kBlockWhile && top->kind != kBlockFor)
            return false;
        if (statement.loop != top) {
            statement.loop = top;
            statement.step = top->step != 0 ? TranslationAt(CodeBase() + top->step) : nullptr;
            statement.condition = TranslationAt(CodeBase() + top->condition);
        }
        // While tests its condition always, For only when it has one.
        if (top->kind == kBlockFor && top->step != 0) {
            GoTo(top->step);
            EvalByTranslation(statement.step);
        }
        if (top->kind == kBlockWhile || top->condition != 0) {
            GoTo(top->condition);
            if (EvalByTranslation(statement.condition)->GetInt() == 0) {
                GoBehind(top->end);
                LeaveBlock();
                return true;
            }
        }
        GoBehind(top->start);
        return true;
    }
    default:
        return false;
    }
}
