// Control flow: the block stack operations of "{" and "}", For, While, If,
// Else, Switch, Case, Break, Continue and Return.
//
// A block is opened by "{", by For (before its first test), by While (only
// when its condition holds on entry), by Switch and by a function call; it is
// closed by "}", by a failing loop test, by Break, by Continue (plain blocks
// only), by a Switch without matching label or Default, and by the caller of
// a function. The block stack operations are EnterBlock and LeaveBlock.
#include "runtime/interp/interpretor.h"

#include <cstring>

const CBlockRecord* CInterpretor::BlockAt(uint32_t index) const {
    if (index >= m_program.blocks.size())
        const_cast<CInterpretor*>(this)->RaiseError(20);
    return &m_program.blocks[index];
}

const CBlockRecord* CInterpretor::RequireTopBlock() {
    const CBlockRecord* top = TopBlock();
    if (top == nullptr)
        RaiseError(20);  // a level without its record
    return top;
}

bool CInterpretor::TestAt(uint32_t offset) {
    GoTo(offset);
    int32_t holds;
    if (TrySimpleInt(&holds))
        return holds != 0;
    return EvalExpressionFast()->GetInt() != 0;
}

void CInterpretor::ExecBlockBegin() {
    EnterBlock(BlockAt(ReadU32(m_pc + kFieldBlockIndex)));
    StepInstr();
}

void CInterpretor::ExecBlockEnd() {
    if (m_blockLevel <= 0)
        RaiseError(27);
    const CBlockRecord* top = RequireTopBlock();
    switch (top->kind) {
    case kBlockPlain:
    case kBlockSwitch:
        LeaveBlock();
        StepInstr();
        return;
    case kBlockWhile:
        if (TestAt(top->condition)) {
            GoBehind(top->start);
        } else {
            GoBehind(top->end);
            LeaveBlock();
        }
        return;
    case kBlockFor:
        if (top->step != 0) {
            GoTo(top->step);
            EvalExpressionFast();
        }
        if (top->condition != 0 && !TestAt(top->condition)) {
            GoBehind(top->end);
            LeaveBlock();
            return;
        }
        GoBehind(top->start);
        if (!FusionRuledOut(top))
            RunForBody(top);
        return;
    case kBlockFunction:
        m_returnFlag = 1;
        if (m_returnTarget != nullptr)
            m_returnTarget->SetInt(0);
        return;
    default:
        RaiseError(20);
    }
}

void CInterpretor::ExecFor() {
    const CBlockRecord* record = BlockAt(ReadU32(m_pc + kFieldBlockIndex));
    StepInstr();
    // The initial expression runs before the push: a variable it creates
    // belongs to the enclosing block and outlives the loop.
    EvalExpression();
    EnterBlock(record);
    if (record->condition != 0 && !TestAt(record->condition)) {
        GoBehind(record->end);
        LeaveBlock();
        return;
    }
    GoBehind(record->start);
}

void CInterpretor::ExecWhile() {
    const CBlockRecord* record = BlockAt(ReadU32(m_pc + kFieldBlockIndex));
    StepInstr();
    if (EvalExpression()->GetInt() != 0) {
        EnterBlock(record);
        GoBehind(record->start);
    } else {
        GoBehind(record->end);
    }
}

void CInterpretor::ExecIf() {
    const uint32_t jump = ReadU32(m_pc + kFieldJump);
    StepInstr();
    int32_t holds;
    if (TrySimpleInt(&holds)) {
        StepInstr();
    } else {
        CValue* condition = EvalExpressionFast();
        StepInstr();
        holds = condition->GetInt();
    }
    if (holds != 0)
        return;
    GoTo(jump);
    if (Code() == kOpElse)
        StepInstr();
}

void CInterpretor::ExecElse() {
    // Reached after the If's statement ran: skip every Else part.
    do {
        GoTo(ReadU32(m_pc + kFieldJump));
    } while (Code() == kOpElse);
}

void CInterpretor::ExecIn() {
    StepInstr();
}

// The place behind the first label of the table equal to the value, or null.
const uint8_t* CInterpretor::MatchIntLabel(const CSwitchTable& table, int32_t value) {
    for (int i = 0; i < table.count; ++i)
        if (table.values[i] == value)
            return table.targets[i];
    return nullptr;
}

// Texts compare as TextOp compares them (up to the first zero byte), so a
// label of another length is passed over without comparing its bytes.
const uint8_t* CInterpretor::MatchTextLabel(const CSwitchTable& table, const CValue& value) {
    const char* text = value.GetText() != nullptr ? value.GetText() : "";
    const std::size_t length = std::strlen(text);
    for (int i = 0; i < table.count; ++i)
        if (table.lengths[i] == length && std::memcmp(text, table.texts[i], length) == 0)
            return table.targets[i];
    return nullptr;
}

void CInterpretor::ExecSwitch() {
    ExecSwitchBy(nullptr);
}

void CInterpretor::ExecSwitchBy(const CTranslatedExpression* translated) {
    const uint8_t* instr = m_pc;
    const uint32_t firstLabel = ReadU32(m_pc + kFieldJump);
    const CBlockRecord* record = BlockAt(ReadU32(m_pc + kFieldBlockIndex));
    EnterBlock(record);
    StepInstr();
    // A copy, so that evaluating the labels does not disturb it. An integer
    // (the common case) is kept as such and compared without temporaries.
    CValue* evaluated = EvalByTranslation(translated);
    StepInstr();
    const bool isInt = evaluated->GetTag() == CValue::kInt;
    const int32_t intValue = isInt ? evaluated->GetInt() : 0;
    uint32_t firstToTest = firstLabel;
    if (isInt || evaluated->GetTag() == CValue::kText) {
        const CSwitchTable* table = SwitchTableAt(instr, firstLabel);
        if (table != nullptr && table->textLabels != isInt) {
            const uint8_t* target = isInt ? MatchIntLabel(*table, intValue) : MatchTextLabel(*table, *evaluated);
            if (target != nullptr) {
                m_pc = target;
                return;
            }
            firstToTest = 0;  // no label matches
        }
    }
    // Labels evaluated one by one compare with a copy of the value.
    CValue value(this);
    if (!isInt && firstToTest != 0)
        value.Assign(*evaluated);
    for (uint32_t label = firstToTest; label != 0;) {
        GoTo(label);
        if (Code() != kOpCase)
            RaiseError(5);
        const uint32_t next = ReadU32(m_pc + kFieldJump);
        StepInstr();
        CValue* labelValue = EvalExpression();
        bool match;
        if (isInt && labelValue->GetTag() == CValue::kInt) {
            match = labelValue->GetInt() == intValue;
        } else {
            CValue compare(this);
            if (isInt)
                compare.SetInt(intValue);
            else
                compare.Assign(value);
            compare.Apply(CValueOp::Equal, *labelValue);
            match = compare.GetInt() != 0;
        }
        if (match) {
            StepInstr();  // the label's ":"
            return;
        }
        label = next;
    }
    if (record->step != 0) {
        GoTo(record->step);  // the Default, stepped past like ";"
        return;
    }
    GoBehind(record->end);
    LeaveBlock();
}

void CInterpretor::ExecCase() {
    // Reached in sequence: fall through into the statements of this label.
    while (Code() != kOpSemicolon) {
        if (Code() == kOpEnd)
            RaiseError(5);
        StepInstr();
    }
    StepInstr();
}

void CInterpretor::ExecBreak() {
    if (m_blockLevel <= 0)
        RaiseError(25);
    for (;;) {
        const CBlockRecord* top = RequireTopBlock();
        switch (top->kind) {
        case kBlockPlain:
            LeaveBlock();
            if (m_blockLevel < 1)
                RaiseError(25);
            continue;
        case kBlockFor:
        case kBlockWhile:
        case kBlockSwitch:
            GoBehind(top->end);
            LeaveBlock();
            return;
        default:
            RaiseError(25);
        }
    }
}

void CInterpretor::ExecContinue() {
    if (m_blockLevel <= 0)
        RaiseError(26);
    for (;;) {
        const CBlockRecord* top = RequireTopBlock();
        switch (top->kind) {
        case kBlockPlain:
            LeaveBlock();
            if (m_blockLevel < 1)
                RaiseError(26);
            continue;
        case kBlockFor:
        case kBlockWhile:
            GoTo(top->end);  // the loop's "}" runs the step and the test
            return;
        default:
            RaiseError(26);
        }
    }
}

void CInterpretor::ExecReturn() {
    if (m_blockLevel <= 0)
        RaiseError(43);
    StepInstr();
    m_returnFlag = 1;
    if (m_returnTarget == nullptr)
        return;
    if (Code() == kOpSemicolon) {
        m_returnTarget->SetInt(0);
        return;
    }
    int32_t value;
    if (TrySimpleInt(&value))
        m_returnTarget->SetInt(value);
    else
        m_returnTarget->Assign(*EvalExpressionFast());
}
