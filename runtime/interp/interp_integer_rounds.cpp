// The integer rounds of a fused For loop (see interp_loop_fusion.cpp).
//
// When the statements of the body, the step and the test take integer
// shortcuts on integer variables, one-dimensional array cells and integer
// constants (with perhaps one Switch over integer constants, and other
// expression statements run the general way), a round is a handful of
// operations on the cells themselves. The statements are decoded into
// operations once for the variables they found (the context epoch, see
// interpretor.h) and run from a list. An operation gives up before it
// changes anything when an array cell it reads is missing or no integer, or
// its operator would raise: the operation loop then runs that statement the
// general way. The variables read and written stay integers (only integers
// are written to them); whenever other code may have run (a statement run
// the general way, events, the pump) the rounds check that they still are,
// in the same blocks and with the same variables, before they go on.
//
// What the operations leave is what the shortcuts leave in the variables
// and array cells; the scratch slots of the expression evaluator, which
// nothing reads once a statement has ended, are not written. The place that
// an assignment clears is cleared by the first assignment run, as the first
// assignment statement would clear it.
#include "runtime/interp/interpretor.h"
#include "runtime/interp/interp_execute_statement.h"

#include "runtime/runner/runner.h"
#include "runtime/interp/script_array.h"
#include "runtime/interp/simple_shapes.h"

using namespace tw_simple;

struct CInterpretor::IntegerRounds {
    // Where an operand's integer comes from.
    struct Source {
        enum Kind : uint8_t { kCell, kConstant, kIndexed };
        Kind kind = kConstant;
        CValue* cell = nullptr;            // kCell; kIndexed: the array's variable
        int32_t value = 0;                 // kConstant; kIndexed: a constant index
        const CValue* indexCell = nullptr;  // kIndexed: the index variable, or null
        int32_t* integer = nullptr;        // kCell, kConstant: where the integer lies
    };
    struct Operation {
        using Runner = bool (*)(IntegerRounds& rounds, const Operation& operation, int32_t left);
        Runner run = nullptr;
        uint8_t shape = kShapeNone;
        uint32_t code = 0;  // the operator worked out
        Source target;      // a variable (kCell) or an array cell (kIndexed)
        Source a, b;
        const uint8_t* start = nullptr;        // the statement's first instruction
        const uint8_t* end = nullptr;          // an expression's ending instruction
        const uint8_t* targetAfter = nullptr;  // behind x[i], where the array grows
        FusedKind kind = kFusedExpression;
        int next = 0;  // the statement that follows (count: the loop's "}")
    };
    static constexpr int kMaxOperations = kFusedStatements + 2;
    // The loop's Switch: its labels' values and the statements they lead to.
    struct SwitchData {
        const CBlockRecord* block = nullptr;
        int labelCount = 0;
        int32_t values[kSwitchLabels] = {};
        int next[kSwitchLabels] = {};
        int defaultNext = -1;  // the Default, -1 when none
        int exitNext = 0;      // behind the Switch's "}"
    };

    CInterpretor* in;
    Operation operations[kMaxOperations];
    SwitchData switchData;
    int count = 0;          // body statements
    Operation step, test;
    bool hasStep = false, hasTest = false;
    bool stepIncrements = false;  // the step is x++ on a variable
    bool placeCleared = false;

    // The array of an indexed source with one dimension, and the index.
    CScriptArray* ArrayOf(const Source& source, int32_t* index) const {
        CScriptArray* array = in->OneDimensionalArray(*source.cell);
        if (array == nullptr)
            return nullptr;
        *index = source.indexCell != nullptr ? source.indexCell->GetInt() : source.value;
        return array;
    }

    // A variable or constant directly, an array cell the long way.
    bool Get(const Source& source, int32_t* value) const {
        if (source.kind != Source::kIndexed) {
            *value = *source.integer;
            return true;
        }
        int32_t index;
        CScriptArray* array = ArrayOf(source, &index);
        return array != nullptr && array->IntAt(index, value);
    }

    template <uint32_t Code>
    static bool RunAssignBinary(IntegerRounds& rounds, const Operation& operation, int32_t) {
        int32_t a, b, r;
        if (!rounds.Get(operation.a, &a) || !rounds.Get(operation.b, &b) || !IntResult(Code, a, b, &r))
            return false;
        rounds.ClearPlace();
        *operation.target.integer = r;
        return true;
    }
    template <uint32_t Code>
    static bool RunCompound(IntegerRounds& rounds, const Operation& operation, int32_t) {
        int32_t b, r;
        if (!rounds.Get(operation.b, &b) || !IntResult(Code, *operation.target.integer, b, &r))
            return false;
        *operation.target.integer = r;
        return true;
    }
    template <uint32_t Code>
    static bool RunIndexAssignBinary(IntegerRounds& rounds, const Operation& operation, int32_t left) {
        int32_t a, b, r;
        if (!rounds.Get(operation.a, &a) || !rounds.Get(operation.b, &b) || !IntResult(Code, a, b, &r))
            return false;
        return rounds.Store(operation, r, left);
    }
    static bool RunAssign(IntegerRounds& rounds, const Operation& operation, int32_t) {
        rounds.ClearPlace();
        *operation.target.integer = *operation.a.integer;
        return true;
    }
    static bool RunIndexAssign(IntegerRounds& rounds, const Operation& operation, int32_t left) {
        return rounds.Store(operation, *operation.a.integer, left);
    }
    template <uint32_t Code>
    static bool RunPostStep(IntegerRounds&, const Operation& operation, int32_t) {
        int32_t* cell = operation.target.integer;
        *cell = static_cast<int32_t>(static_cast<uint32_t>(*cell) + (Code == kOpIncrement ? 1u : ~0u));
        return true;
    }

    template <uint32_t Code> struct PickAssignBinary { static constexpr Operation::Runner value = &RunAssignBinary<Code>; };
    template <uint32_t Code> struct PickCompound { static constexpr Operation::Runner value = &RunCompound<Code>; };
    template <uint32_t Code> struct PickIndexAssignBinary { static constexpr Operation::Runner value = &RunIndexAssignBinary<Code>; };

    static Operation::Runner RunnerOf(const Operation& operation) {
        static const CodeTable<Operation::Runner, PickAssignBinary> assignBinary;
        static const CodeTable<Operation::Runner, PickCompound> compound;
        static const CodeTable<Operation::Runner, PickIndexAssignBinary> indexAssignBinary;
        const uint32_t code = operation.code < kOpTableSize ? operation.code : 0;
        switch (operation.shape) {
        case kShapeAssign: return &RunAssign;
        case kShapeAssignBinary: return assignBinary.entries[code];
        case kShapeCompound: return compound.entries[code];
        case kShapePostStep:
            return operation.code == kOpIncrement ? &RunPostStep<kOpIncrement> : &RunPostStep<kOpDecrement>;
        case kShapeIndexAssign: return &RunIndexAssign;
        case kShapeIndexAssignBinary: return indexAssignBinary.entries[code];
        default: return nullptr;
        }
    }


    void ClearPlace() {
        if (placeCleared)
            return;
        placeCleared = true;
        CValue& holder = in->m_places[in->m_evalLevel + 1]->holder;
        if (holder.GetTag() != CValue::kInt || holder.GetInt() != 0)
            holder.Clear();
    }

    // x[i] = r, as the array-store shortcut does it.
    bool Store(const Operation& operation, int32_t r, int32_t left) {
        int32_t index;
        CScriptArray* array = ArrayOf(operation.target, &index);
        if (array == nullptr)
            return false;
        if (static_cast<uint32_t>(index) >= array->m_sizes[0]) {
            // Raises, should it, where the general way grows the array.
            in->m_tickCountdown = left;
            in->m_pc = operation.targetAfter;
            array->GrowToHold(index);
        }
        if (!array->StoreIntAt(static_cast<uint32_t>(index), r))
            return false;  // the general way raises 15
        ClearPlace();
        return true;
    }

    // The source of an operand of a resolved entry; false when it is not one
    // these operations read.
    bool SourceOf(const CSimpleExpr& entry, int k, Source* source) const {
        const CSimpleOperand& operand = entry.operands[k];
        switch (operand.kind) {
        case CSimpleOperand::kInt:
            source->kind = Source::kConstant;
            source->value = operand.value;
            source->integer = &source->value;
            return true;
        case CSimpleOperand::kName:
        case CSimpleOperand::kThisMember:
            source->kind = Source::kCell;
            source->cell = &in->OperandVariable(operand)->value;
            source->integer = source->cell->IntSlot();
            return source->cell->GetTag() == CValue::kInt;
        case CSimpleOperand::kIndexed:
            source->kind = Source::kIndexed;
            source->cell = &operand.variable->value;
            source->value = operand.indexValue;
            source->indexCell = operand.indexIsName ? &operand.indexVariable->value : nullptr;
            return source->indexCell == nullptr || source->indexCell->GetTag() == CValue::kInt;
        default:
            return false;
        }
    }

    // The operation of a resolved entry; plain: step and test, which may
    // read variables and constants only (so that they cannot give up halfway
    // through the loop's "}").
    bool Decode(const CSimpleExpr& entry, bool plain, Operation* operation) const {
        if (!DecodeShape(entry, plain, operation))
            return false;
        if (operation->shape == kShapeBinary)
            return true;  // the test, worked out in the loop
        operation->run = RunnerOf(*operation);
        return operation->run != nullptr;
    }

    bool DecodeShape(const CSimpleExpr& entry, bool plain, Operation* operation) const {
        operation->start = entry.instr;
        operation->end = entry.end;
        operation->targetAfter = entry.operands[0].after;
        operation->shape = entry.shape;
        auto plainSource = [&](const Source& source) { return !plain || source.kind != Source::kIndexed; };
        switch (entry.shape) {
        case kShapeBinary:  // the test: an operator that cannot fail
            operation->code = entry.operators[0];
            return operation->code != kOpModulo && SourceOf(entry, 0, &operation->a) && SourceOf(entry, 1, &operation->b) &&
                   plainSource(operation->a) && plainSource(operation->b);
        case kShapeAssign:
            operation->code = entry.operators[0];
            return SourceOf(entry, 0, &operation->target) && operation->target.kind == Source::kCell &&
                   SourceOf(entry, 1, &operation->a) && operation->a.kind != Source::kIndexed;
        case kShapeAssignBinary:
            operation->code = entry.operators[1];
            return SourceOf(entry, 0, &operation->target) && operation->target.kind == Source::kCell &&
                   SourceOf(entry, 1, &operation->a) && SourceOf(entry, 2, &operation->b) &&
                   plainSource(operation->a) && plainSource(operation->b);
        case kShapeCompound:
            operation->code = entry.operators[0];
            return SourceOf(entry, 0, &operation->target) && operation->target.kind == Source::kCell &&
                   SourceOf(entry, 1, &operation->b) && plainSource(operation->b);
        case kShapePostStep:
            operation->code = entry.operators[0];
            return SourceOf(entry, 0, &operation->target) && operation->target.kind == Source::kCell;
        case kShapeIndexAssign:
            if (plain)
                return false;
            operation->code = entry.operators[0];
            return SourceOf(entry, 0, &operation->target) && SourceOf(entry, 1, &operation->a) &&
                   operation->a.kind != Source::kIndexed;
        case kShapeIndexAssignBinary:
            if (plain)
                return false;
            operation->code = entry.operators[1];
            return SourceOf(entry, 0, &operation->target) && SourceOf(entry, 1, &operation->a) &&
                   SourceOf(entry, 2, &operation->b);
        default:
            return false;
        }
    }

    // The entry of the simple expression at p, decoded and resolved for the
    // current epoch, with a shortcut; null otherwise.
    CSimpleExpr* ResolvedEntry(const uint8_t* p) const {
        CSimpleExpr& entry = in->SimpleEntry(p);
        if (entry.instr != p)
            in->DecodeSimpleExpression(entry, p);
        if (!entry.simple || entry.form == nullptr)
            return nullptr;
        if (entry.epoch != in->m_contextEpoch && (!in->ResolveSimpleExpression(entry) || entry.epoch == 0))
            return nullptr;
        return &entry;
    }

    static int IndexOf(const CFusedLoop& loop, const uint8_t* start) {
        for (int i = 0; i < loop.count; ++i)
            if (loop.statements[i] == start)
                return i;
        return -1;
    }

    // Switch (value): the value an integer expression of one or two
    // operands, the labels integer constants.
    bool DecodeSwitch(const CFusedLoop& loop, int at, Operation* operation) {
        const CSimpleExpr* entry = ResolvedEntry(NextInstr(loop.statements[at]));
        if (entry == nullptr)
            return false;
        operation->shape = entry->shape;
        if (entry->shape == kShapeSingle) {
            if (!SourceOf(*entry, 0, &operation->a))
                return false;
        } else if (entry->shape == kShapeBinary) {
            operation->code = entry->operators[0];
            if (!SourceOf(*entry, 0, &operation->a) || !SourceOf(*entry, 1, &operation->b))
                return false;
        } else {
            return false;
        }
        const uint8_t* instr = loop.statements[at];
        const CSwitchTable* table = in->SwitchTableAt(instr, ReadU32(instr + kFieldJump));
        if (table == nullptr || table->textLabels)
            return false;
        SwitchData& data = switchData;
        data.block = loop.switchBlock;
        data.labelCount = table->count;
        for (int k = 0; k < table->count; ++k) {
            data.values[k] = table->values[k];
            data.next[k] = IndexOf(loop, table->targets[k]);
            if (data.next[k] < 0)
                return false;
        }
        data.defaultNext = -1;
        if (data.block->step != 0) {
            data.defaultNext = IndexOf(loop, in->CodeBase() + data.block->step);
            if (data.defaultNext < 0)
                return false;
        }
        data.exitNext = -1;
        for (int i = at; i < loop.count; ++i)
            if (loop.kinds[i] == kFusedSwitchEnd)
                data.exitNext = i + 1;
        return data.exitNext >= 0;
    }

    bool Build(const CBlockRecord* record, const CFusedLoop& loop) {
        const uint8_t* base = in->CodeBase();
        for (int i = 0; i < loop.count; ++i) {
            Operation& operation = operations[i];
            operation.start = loop.statements[i];
            operation.kind = loop.kinds[i];
            operation.next = i + 1;
            if (operation.kind == kFusedStatement) {
                operation.end = loop.ends[i];
            } else if (operation.kind == kFusedExpression) {
                // Decoding may take the slot of an earlier entry: all are
                // looked up again below.
                const CSimpleExpr* entry = ResolvedEntry(loop.statements[i]);
                if (entry == nullptr || !Decode(*entry, false, &operation))
                    return false;
            } else if (operation.kind == kFusedSwitch && !DecodeSwitch(loop, i, &operation)) {
                return false;
            }
            operation.start = loop.statements[i];
        }
        count = loop.count;
        if (record->step != 0) {
            const CSimpleExpr* entry = ResolvedEntry(base + record->step);
            if (entry == nullptr || entry->shape == kShapeBinary || !Decode(*entry, true, &step))
                return false;
            hasStep = true;
            stepIncrements = step.shape == kShapePostStep && step.code == kOpIncrement;
        }
        if (record->condition != 0) {
            const CSimpleExpr* entry = ResolvedEntry(base + record->condition);
            if (entry == nullptr || entry->shape != kShapeBinary || !Decode(*entry, true, &test))
                return false;
            hasTest = true;
        }
        // Every entry still holds its expression (none took another's slot).
        for (int i = 0; i < count; ++i) {
            const uint8_t* at = operations[i].kind == kFusedExpression ? loop.statements[i]
                                : operations[i].kind == kFusedSwitch  ? NextInstr(loop.statements[i])
                                                                      : nullptr;
            if (at != nullptr && in->SimpleEntry(at).instr != at)
                return false;
        }
        if ((hasStep && in->SimpleEntry(step.start).instr != base + record->step) ||
            (hasTest && in->SimpleEntry(test.start).instr != base + record->condition))
            return false;
        return true;
    }

    // A statement other than an expression: the statement that follows, -1
    // when it gives up (nothing done).
    int RunControl(const Operation& operation, int32_t left) {
        SwitchData& data = switchData;
        switch (operation.kind) {
        case kFusedSwitch: {
            int32_t value, a, b;
            if (operation.shape == kShapeSingle) {
                if (!Get(operation.a, &value))
                    return -1;
            } else if (!Get(operation.a, &a) || !Get(operation.b, &b) || !IntResult(operation.code, a, b, &value)) {
                return -1;
            }
            in->m_tickCountdown = left;
            in->m_pc = operation.start;  // where the block stack's growth fails
            in->EnterBlock(data.block);
            for (int k = 0; k < data.labelCount; ++k)
                if (data.values[k] == value)
                    return data.next[k];
            if (data.defaultNext >= 0)
                return data.defaultNext;
            in->LeaveBlock();
            return data.exitNext;
        }
        case kFusedBreak:
            in->LeaveBlock();
            return data.exitNext;
        case kFusedSwitchEnd:
            in->LeaveBlock();
            return operation.next;
        default:  // a label reached in sequence
            return operation.next;
        }
    }

    // The variables read and written hold integers (checked again whenever
    // other code may have run: it may have stored anything there). The
    // variables to check, each once, are listed when the rounds are made.
    static constexpr int kMaxChecked = 3 * kMaxOperations + 6;
    const CValue* checked[kMaxChecked] = {};
    int checkedCount = 0;

    void ListChecked(const Source& source) {
        const CValue* cell = source.kind == Source::kCell      ? source.cell
                             : source.kind == Source::kIndexed ? source.indexCell
                                                               : nullptr;
        if (cell == nullptr)
            return;
        for (int i = 0; i < checkedCount; ++i)
            if (checked[i] == cell)
                return;
        checked[checkedCount++] = cell;
    }
    void ListChecked(const Operation& operation) {
        ListChecked(operation.target);
        ListChecked(operation.a);
        ListChecked(operation.b);
    }
    void ListAllChecked() {
        checkedCount = 0;
        for (int i = 0; i < count; ++i)
            ListChecked(operations[i]);
        if (hasStep)
            ListChecked(step);
        if (hasTest)
            ListChecked(test);
    }
    bool StillHold() const {
        for (int i = 0; i < checkedCount; ++i)
            if (checked[i]->GetTag() != CValue::kInt)
                return false;
        return true;
    }
};

// The loop's rounds, made or checked for the current epoch and scope; null
// when the loop has none now.
CInterpretor::IntegerRounds* CInterpretor::PrepareIntegerRounds(const CBlockRecord* record, CFusedLoop& loop) {
    if (m_varDeclared != nullptr || m_evalLevel + kSimpleOperands + 3 >= kValueStackSize)
        return nullptr;
    // The variables found stay valid while the epoch is the same (with a
    // shared epoch: in the same scope, unchanged, whose parameters are then
    // the same variables).
    if (!loop.rounds || loop.roundsEpoch != m_contextEpoch || loop.roundsScope != m_scope ||
        loop.roundsStamp != m_scope->m_stamp) {
        if (!loop.rounds)
            loop.rounds = std::make_shared<IntegerRounds>();
        *loop.rounds = IntegerRounds();
        loop.rounds->in = this;
        // A loop without rounds is not tried again for the same variables.
        loop.roundsEpoch = m_contextEpoch;
        loop.roundsScope = m_scope;
        loop.roundsStamp = m_scope->m_stamp;
        loop.roundsFailed = !loop.rounds->Build(record, loop);
        if (loop.roundsFailed)
            return nullptr;
        loop.rounds->ListAllChecked();
    } else if (loop.roundsFailed || !loop.rounds->StillHold()) {
        return nullptr;
    }
    loop.rounds->placeCleared = false;
    return loop.rounds.get();
}

bool CInterpretor::RunIntegerRounds(const CBlockRecord* record, CFusedLoop& loop) {
    if (!QuietBetweenStatements())
        return false;
    IntegerRounds* rounds = PrepareIntegerRounds(record, loop);
    if (rounds == nullptr)
        return false;
    // Held while they run: a statement run the general way may give the
    // cache entry to another loop.
    std::shared_ptr<IntegerRounds> keep = loop.rounds;
    RunRounds(record, loop, *rounds);
    return true;
}

// After work between statements that may have run anything (a delivered
// event, tickers, the pump): the rounds go on only with the same variables,
// still integers, in the same blocks.
inline bool CInterpretor::RoundsStillHold(const CBlockRecord* record, const CFusedLoop& loop, int at) {
    // (Code run meanwhile may have given the cache entry to another loop.)
    if (loop.record != record || loop.code != CodeBase() || !loop.rounds)
        return false;
    if (m_returnFlag || loop.roundsFailed || loop.roundsEpoch != m_contextEpoch || loop.roundsScope != m_scope ||
        loop.roundsStamp != m_scope->m_stamp || m_varDeclared != nullptr || !loop.rounds->StillHold())
        return false;
    if (at < loop.count && loop.inSwitch[at])
        return TopBlock() == loop.switchBlock &&
               reinterpret_cast<const CBlockRecord*>(m_blockStack.GetAt(m_blockLevel - 1)) == record;
    return TopBlock() == record;
}

void CInterpretor::RunRounds(const CBlockRecord* record, CFusedLoop& loop, IntegerRounds& rounds) {
    using Operation = IntegerRounds::Operation;
    const uint8_t* base = CodeBase();
    const Operation* const first = rounds.operations;
    const Operation* const last = first + rounds.count;  // stands for the loop's "}"
    auto startOf = [&](const Operation* at) { return at != last ? at->start : base + record->end; };
    // Before each statement the work between statements of the one before
    // it (at first the "}" that started the rounds) is done: the countdown
    // alone while nothing else is due, else all of it as the operation loop
    // does it, with the code pointer where that statement left it. Should
    // the rounds not go on after that, or a statement give up (nothing
    // done), the operation loop goes on with that statement and is told that
    // the work before it is done. Events, errors and the quit flag arrive
    // only through that work or through statements run the general way (no
    // other code runs here), so they are looked at after those.
    int32_t left = m_tickCountdown;
    bool calm = NothingWaiting();
    const Operation* previous = nullptr;  // the statement before; null: the loop's "}"
    const Operation* at = first;
    for (;;) {
        if (__builtin_expect(left > 0 && calm, 1)) {
            --left;
        } else {
            m_tickCountdown = left;
            m_pc = previous != nullptr && previous->kind == kFusedExpression ? previous->end : startOf(at);
            BetweenStatements();
            left = m_tickCountdown;
            if (!RoundsStillHold(record, loop, static_cast<int>(at - first))) {
                m_pc = startOf(at);
                m_betweenDone = true;
                return;
            }
            calm = NothingWaiting();
            rounds.placeCleared = false;
        }
        if (at != last) {
            const Operation& operation = *at;
            int next;
            if (__builtin_expect(operation.kind == kFusedExpression, 1)) {
                next = operation.run(rounds, operation, left) ? operation.next : -1;
            } else if (operation.kind == kFusedStatement) {
                // The general way, as the operation loop runs it; the rounds
                // go on when it ended at its ";" and changed nothing they
                // rely on, else the operation loop goes on behind it (the
                // work after it is left to the operation loop).
                m_tickCountdown = left;
                m_pc = operation.start;
                m_selfContained = false;
                ExecuteStatement();
                left = m_tickCountdown;
                // A call that changed nothing but another object's variables
                // leaves what the rounds rely on as it was.
                if (m_pc != operation.end || (!m_selfContained && !RoundsStillHold(record, loop, operation.next)))
                    return;
                calm = NothingWaiting();
                rounds.placeCleared = false;
                next = operation.next;
            } else {
                next = rounds.RunControl(operation, left);
            }
            if (next < 0) {
                m_tickCountdown = left;
                m_pc = operation.start;
                m_betweenDone = true;
                return;
            }
            previous = at;
            at = first + next;
            continue;
        }
        // The loop's "}": the step, the test, and back to the body or out.
        if (rounds.stepIncrements) {
            int32_t* counter = rounds.step.target.integer;  // i++, the commonest step
            *counter = static_cast<int32_t>(static_cast<uint32_t>(*counter) + 1u);
        } else if (rounds.hasStep && !rounds.step.run(rounds, rounds.step, left)) {
            m_tickCountdown = left;
            m_pc = base + record->end;
            m_betweenDone = true;
            return;
        }
        if (rounds.hasTest) {
            // Variables and constants with an operator that cannot fail; the
            // commonest test without the operator table.
            const int32_t a = *rounds.test.a.integer, b = *rounds.test.b.integer;
            int32_t r = 0;
            if (rounds.test.code == kOpLess)
                r = a < b;
            else
                IntResult(rounds.test.code, a, b, &r);
            if (r == 0) {
                m_tickCountdown = left;
                GoBehind(record->end);
                LeaveBlock();
                return;
            }
        }
        previous = nullptr;
        at = first;
    }
}
