#pragma once
// One statement of the operation loop: the statement at the code pointer
// (behind one statement end) by its statement-table handler. Inline for the
// operation loop and the integer rounds of fused loops.
#include "runtime/interp/interpretor.h"

inline void CInterpretor::ExecuteStatement() {
    uint16_t code = Code();
    if (code == kOpSemicolon) {
        StepInstr();
        code = Code();
    }
    // Without the shortcuts, statements by their translated form.
    if (!m_shortcuts && m_fastPaths && RunStatementTranslated())
        return;
    // The commonest statements by direct calls (see EvalOperandAtLevel).
    switch (code) {
    case kOpName:
    case kOpIndexName:
    case kOpThis:
        // Expression statements (see the statement table), simple ones by
        // their shortcut, method calls on script objects more directly.
        // (A name followed by a member call is never a simple expression.)
        if (code == kOpName && InstrCode(NextInstr(m_pc)) == kOpMemberCall) {
            if (RunMethodStatement())
                break;
        } else if (RunSimpleStatement() || RunTranslatedStatement()) {
            break;
        }
        OpStatementExpression();
        break;
    case kOpCloseBrace:
        ExecBlockEnd();
        break;
    case kOpIf:
        ExecIf();
        break;
    default:
        if (code >= kOpTableSize)
            RaiseError(16);
        (this->*kStatementTable[code])();
        break;
    }
}
