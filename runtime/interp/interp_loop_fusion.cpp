// For loops run without the operation loop's dispatch.
//
// A For loop whose body is a sequence of short statements spends most of
// its time going from statement to statement. FusedLoopFor decodes the body
// once (FusedKind): simple expression statements with an integer shortcut
// (see interp_simple_expr.cpp), and for the integer rounds also one Switch
// over integer constants and any other expression statement. After the
// loop's "}" has run the step and the test and gone back to the body,
// RunForBody runs the rounds: as integer operations when they all work on
// integers (interp_integer_rounds.cpp), else, for a body of shortcuts alone,
// statement by statement here. Between two statements the operation loop
// does nothing but count down the tick while no event waits, no period work
// is due, no quit was asked for and no error is pending; that is all
// RunForBody does there. Whenever anything else is due, or a statement does
// not take its shortcut (nothing is done then), it returns with the code
// pointer at the next statement, and the operation loop goes on from there
// with its own work between statements: every statement is counted once and
// everything happens in the same order.
#include "runtime/interp/interpretor.h"

#include "runtime/runner/runner.h"

bool CInterpretor::RunSimpleStatement(CSimpleExpr& entry) {
    if (entry.instr != m_pc || entry.form == nullptr || m_varDeclared != nullptr ||
        m_evalLevel + entry.count + 3 >= kValueStackSize)
        return false;
    if (entry.epoch != m_contextEpoch && !ResolveSimpleExpression(entry))
        return false;
    StatementValueDropped dropped(this);
    return entry.form(this, entry, m_evalLevel);
}

// The ";" that ends the expression statement at p (before limit), or null
// when the statement is not one, or has blocks or control flow in it.
const uint8_t* CInterpretor::ExpressionStatementEnd(const uint8_t* p, const uint8_t* limit) {
    switch (InstrCode(p)) {
    case kOpName: case kOpIndexName: case kOpThis: case kOpCallName: case kOpOpenParen:
    case kOpIncrement: case kOpDecrement:
        break;
    default:
        return nullptr;
    }
    for (int steps = 0; p < limit && steps < 64; p = NextInstr(p), ++steps) {
        switch (InstrCode(p)) {
        case kOpSemicolon:
            return p;
        case kOpEnd: case kOpFor: case kOpReturn: case kOpBreak: case kOpContinue: case kOpDelete:
        case kOpFunction: case kOpIf: case kOpElse: case kOpWhile: case kOpSwitch: case kOpCase:
        case kOpDefault: case kOpModuleStart: case kOpModuleEnd: case kOpOpenBrace: case kOpCloseBrace:
        case kOpVar:
            return nullptr;
        default:
            break;
        }
    }
    return nullptr;
}

CInterpretor::CFusedLoop* CInterpretor::FusedLoopFor(const CBlockRecord* record) {
    if (!m_fusedLoops)
        m_fusedLoops.reset(new CFusedLoop[kFusedLoopCacheSize]);
    CFusedLoop& loop = m_fusedLoops[FusedLoopSlot(record)];
    const uint8_t* base = CodeBase();
    if (loop.record == record && loop.code == base)
        return loop.usable ? &loop : nullptr;
    loop = CFusedLoop();
    loop.record = record;
    loop.code = base;
    if (!m_simpleExprs || !m_shortcuts || record->start >= m_program.code.size() || record->end >= m_program.code.size())
        return nullptr;
    const uint8_t* end = base + record->end;
    const std::size_t size = m_program.code.size();
    int count = 0;
    bool inSwitch = false;
    bool straight = true;
    const uint8_t* switchEnd = nullptr;
    for (const uint8_t* p = NextInstr(base + record->start); p != end; ++count) {
        if (count == kFusedStatements || p > end)
            return nullptr;
        const uint16_t code = InstrCode(p);
        loop.statements[count] = p;
        loop.inSwitch[count] = inSwitch;
        if (code == kOpName || code == kOpIndexName || code == kOpThis) {
            CSimpleExpr& entry = SimpleEntry(p);
            if (entry.instr != p)
                DecodeSimpleExpression(entry, p);
            if (entry.simple && entry.form != nullptr && InstrCode(entry.end) == kOpSemicolon) {
                loop.kinds[count] = kFusedExpression;
                loop.entries[count] = &entry;
                p = NextInstr(entry.end);
                continue;
            }
        }
        straight = false;
        if (const uint8_t* semicolon = ExpressionStatementEnd(p, end)) {
            loop.kinds[count] = kFusedStatement;
            loop.ends[count] = semicolon;
            p = NextInstr(semicolon);
            continue;
        }
        if (code == kOpSwitch && !inSwitch && loop.switchBlock == nullptr) {
            // Switch (value) {: the value a simple expression.
            const uint32_t index = ReadU32(p + kFieldBlockIndex);
            if (index >= m_program.blocks.size() || m_program.blocks[index].kind != kBlockSwitch ||
                m_program.blocks[index].end >= size)
                return nullptr;
            loop.switchBlock = &m_program.blocks[index];
            switchEnd = base + loop.switchBlock->end;
            const uint8_t* value = NextInstr(p);
            CSimpleExpr& entry = SimpleEntry(value);
            if (entry.instr != value)
                DecodeSimpleExpression(entry, value);
            if (!entry.simple || entry.form == nullptr || InstrCode(entry.end) != kOpCloseParen ||
                InstrCode(NextInstr(entry.end)) != kOpOpenBrace)
                return nullptr;
            loop.kinds[count] = kFusedSwitch;
            loop.entries[count] = &entry;
            p = NextInstr(NextInstr(entry.end));
            inSwitch = true;
            continue;
        }
        if (!inSwitch)
            return nullptr;
        if (code == kOpCase) {
            // Reached in sequence it skips its label: on behind the ";".
            loop.kinds[count] = kFusedCase;
            int steps = 0;
            for (p = NextInstr(p); InstrCode(p) != kOpSemicolon; p = NextInstr(p))
                if (++steps > 8 || p >= end)
                    return nullptr;
            p = NextInstr(p);
        } else if (code == kOpDefault) {
            loop.kinds[count] = kFusedDefault;
            p = NextInstr(p);
        } else if (code == kOpBreak) {
            loop.kinds[count] = kFusedBreak;
            p = NextInstr(p);
            if (InstrCode(p) == kOpSemicolon)
                p = NextInstr(p);
        } else if (code == kOpCloseBrace && p == switchEnd) {
            loop.kinds[count] = kFusedSwitchEnd;
            p = NextInstr(p);
            inSwitch = false;
        } else {
            return nullptr;
        }
    }
    if (count == 0 || inSwitch)
        return nullptr;
    loop.count = static_cast<uint8_t>(count);
    loop.straight = straight;
    loop.usable = true;
    return &loop;
}

void CInterpretor::RunForBody(const CBlockRecord* record) {
    CFusedLoop* loop = FusedLoopFor(record);
    if (loop == nullptr || RunIntegerRounds(record, *loop) || !loop->straight)
        return;
    const uint8_t* base = CodeBase();
    for (;;) {
        // The "}" just run, then each statement of the body: a statement runs
        // only once the one before it needs nothing more between them.
        for (int i = 0; i < loop->count; ++i) {
            if (!QuietBetweenStatements())
                return;
            m_pc = loop->statements[i];
            if (!RunSimpleStatement(*loop->entries[i]))
                return;  // the operation loop runs it the general way
            --m_tickCountdown;
        }
        // The loop's "}": the step, the test, and back to the body or out.
        if (!QuietBetweenStatements())
            return;
        m_pc = base + record->end;
        --m_tickCountdown;
        if (record->step != 0) {
            GoTo(record->step);
            EvalExpressionFast();
        }
        if (record->condition != 0 && !TestAt(record->condition)) {
            GoBehind(record->end);
            LeaveBlock();
            return;
        }
        GoBehind(record->start);
    }
}
