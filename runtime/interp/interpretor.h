#pragma once
// CInterpretor: the state of one running script program and the engine that
// runs it.
//
// The interpreter is itself the script object of class 0 and keeps the global
// variables in its own variable table (CIBaseObjectVar). It holds the compiled
// program and the code pointer, the value stack of the expression evaluator,
// the call frames with their argument cells, the block stack, the per-class
// instance lists, the script arrays, the global script objects and the
// services the script classes share.
//
// The implementation is split by job:
//   interpretor.cpp          life cycle: construction, Load, PrepareRun, ReleaseAll
//   interp_run.cpp           CompileAndRun, Run, RunLoop, errors
//   interp_eval.cpp          expression evaluator and the operand handlers
//   interp_operators.cpp     binary operators, assignment, ++/--, conditional
//   interp_statements.cpp    statement table and the two operation tables
//   interp_control_flow.cpp  blocks, For/While/If/Else/Switch/Case/Break/Continue/Return
//   interp_members.cpp       member access, inline cache, argument readers
//   interp_functions.cpp     script functions, script-defined objects
//   interp_objects.cpp       New, Delete, class records and bindings
//   interp_events.cpp, interp_tick.cpp  event queue and tick-period work
//   interp_simple_expr.cpp   simple expressions decoded once, integer shortcuts
//   interp_loop_fusion.cpp   For loops run without the operation loop's dispatch
//   interp_integer_rounds.cpp  such loops as integer operations
//
// The block stack's two operations are EnterBlock and LeaveBlock (used by the
// control-flow handlers and by function calls alike).
//
// Limits, each refused with runtime error 15 rather than running past a
// fixed array or the native stack: the value stack (100 levels: expression
// nesting and script recursion together), the call frames (16: argument
// lists nested in argument lists) and a block stack that cannot grow.
//
// What a native script class may rely on and use is runtime/classes/script_class.h;
// this header is the interpreter's own.
#include "runtime/base/ci_error.h"
#include "runtime/classes/class_registry.h"
#include "runtime/classes/script_class.h"
#include "runtime/compiler/code_format.h"
#include "runtime/interp/event_queue.h"
#include "runtime/interp/message_filters.h"
#include "runtime/base/pointer_array.h"
#include "runtime/base/pool_list.h"
#include "runtime/base/ref_string_array.h"
#include "runtime/interp/script_object.h"
#include "runtime/interp/script_value.h"
#include "runtime/interp/ticker_lists.h"
#include "runtime/interp/variable_table.h"

#include <cstddef>
#include <cstdint>
#include <deque>
#include <memory>
#include <string>
#include <utility>
#include <vector>

class CInterpretor;
class CCallScope;
class CScriptArray;
class CRunner;
class CProgramContainer;
class CBankSet;
class CSymbolTable;
class CScriptCompiler;
class CEventRecord;
class CIBaseMessages;
class CITextSubject;


// Class id of objects defined by scripts (and of the local-variable objects of
// script function calls): the instance-list slot after the 73 script classes.
constexpr uint32_t kScriptObjectClassId = 74;

struct CCallPlan;
struct CCallPlanStep;
struct CCallPlanCall;
struct CIntCall;
struct CIntStep;
struct CIntOperand;
struct CIntExpr;

// A script function of the running program: what a function reference (CValue
// tag 4) points at. One per function block record, made at PrepareRun.
struct CFunctionRecord {
    static constexpr int kListedParameters = 8;
    uint32_t blockIndex;
    const CBlockRecord* block;
    // The names of the parameters, read from the code at the first call:
    // parameterState 0 not read yet, 1 listed here, 2 more than listed (read
    // from the code at every call).
    int32_t parameterState = 0;
    int32_t parameterCount = 0;
    uint32_t parameterNames[kListedParameters] = {};
    // The epoch its calls share (0: none yet) and their This.
    uint64_t sharedEpoch = 0;
    const CIBaseClassImpl* sharedThis = nullptr;
    // Its body decoded for the code at planCode (see interp_call_plans.cpp);
    // null there: the body runs the general way.
    std::shared_ptr<const CCallPlan> plan;
    const uint8_t* planCode = nullptr;
};





// CIBaseObjectVar: a script object with its own script variables (the
// interpreter, script-defined objects, the local variables of a call).
class CIBaseObjectVar : public CIBaseClassImpl {
public:
    CIBaseObjectVar(CInterpretor* interpretor, CClassRecord* classRecord, uint32_t classId, bool link);
    ~CIBaseObjectVar() override;

    // Releases and deletes every variable, unlinks and deletes the object.
    void Destroy(int32_t releaseAll) override;
    // Drops references to the dying object from every variable.
    int32_t OnObjectDeleted(CIBaseClassImpl* object) override;

    // A new variable of that name at that block level (runtime error 15 when
    // the table cannot grow).
    CVariable* AddVariable(uint32_t nameRef, int32_t level);
    CVariable* FindVariable(uint32_t nameRef) const { return m_variables.Find(nameRef); }
    // Removes and destroys every variable created at or above the level.
    void DropVariablesFromLevel(int32_t level) {
        if (m_variables.GetCount() != 0 && m_variables.m_maxLevel >= level)
            DropVariablesFrom(level);
    }
    void ReleaseVariables();

    CVariableTable m_variables;
    // Changes with every change of the table, to a value no table had before
    // (the interpreter's cache of name lookups relies on it).
    uint64_t m_stamp = 0;

private:
    void VariablesChanged();
    void FreeVariables();
    void DropVariablesFrom(int32_t level);
};

struct CTranslations;
struct CTranslatedExpression;
struct CTranslatedStatements;

class CInterpretor : public CIBaseObjectVar {
public:
    static constexpr uint32_t kClassSlotCount = 75;  // class ids 0 to 74
    static constexpr int kValueStackSize = 100;
    static constexpr int kFrameCount = 16;
    static constexpr int kFrameSize = 16;
    static constexpr int kMaxArgs = 15;  // 16 or more arguments raise 13
    static constexpr int kTempBufferCount = 256;
    static constexpr int kGlobalObjectCount = 8;
    // Global objects in their slots.
    enum { kGlobalMath, kGlobalString, kGlobalKeyboard, kGlobalProgram, kGlobalSystem, kGlobalDisplay,
           kGlobalDisk, kGlobalEditor };

    explicit CInterpretor(CRunner* runner = nullptr);
    ~CInterpretor() override;

    // ---- life cycle ----
    // 1 on success. Creates the class records and the program container;
    // with fromOwnFile set (or a package path) the package is read.
    int Load(const char* commandLine = nullptr, const char* packagePath = nullptr, int fromOwnFile = 0);
    // The status of the last Load's package read: 0, or why it failed.
    uint32_t GetLoadStatus() const { return m_loadStatus; }
    void Unload();
    void MarkDead() override;  // = Unload
    void Destroy(int32_t releaseAll) override;
    int32_t OnObjectDeleted(CIBaseClassImpl* object) override;
    // Releases everything of the last run, then makes the value stack, the
    // global objects and the global function variables of the program (null:
    // none) ready for a run.
    void PrepareRun(CCompiledProgram* program);
    void ReleaseAll();

    // ---- running ----
    // Compiles the loaded package into program (its start-up text first when
    // withStartText is set and hostContext is null, then every source module),
    // prepares and runs it. 1: ran to its end (or Quit); 0: compile or run
    // error (GetLastError).
    int CompileAndRun(CCompiledProgram* program, int32_t restartArgument = 0, void* hostContext = nullptr,
                      int withStartText = 0);
    // Runs a compiled program (taken over for the run and handed back).
    // entry 0: from the start. 1 or 0 as above.
    int Run(CCompiledProgram* program, uint32_t entry = 0);
    // The operation loop from the code offset entry; returnTarget receives
    // the value of a Return (null: nobody waits).
    void RunLoop(uint32_t entry, CValue* returnTarget);
    // RunLoop for a caller that puts the return state back itself (a call).
    void RunStatements(uint32_t entry, CValue* returnTarget);
    // The error of the last failed run or compile; null when none.
    const CIError* GetLastError() const { return m_lastError.get(); }
    // Handed a restart request (code 1) that needs a recompile: set by Run.
    int32_t m_restartRequested = 0;

    // ---- errors ----
    // Throws CIError with the source position of the running code; never
    // returns. Frees the temporary buffers first while a run is active.
    [[noreturn]] void RaiseError(int32_t code, int32_t detail = CIError::kNoDetail);
    [[noreturn]] void Quit() { RaiseError(0); }

    // ---- evaluation ----
    CValue* EvalExpression();
    // While it lives, the value of the expression statement evaluated at the
    // current level is dropped (see OpCompound); the level before is put
    // back however the statement ends.
    class StatementValueDropped {
    public:
        explicit StatementValueDropped(CInterpretor* in) : m_level(&in->m_discardLevel), m_saved(in->m_discardLevel) {
            in->m_discardLevel = in->m_evalLevel + 1;
        }
        ~StatementValueDropped() { *m_level = m_saved; }
        StatementValueDropped(const StatementValueDropped&) = delete;
        StatementValueDropped& operator=(const StatementValueDropped&) = delete;

    private:
        int32_t* m_level;
        int32_t m_saved;
    };
    // The rest of an expression whose first operand was read at base + 1:
    // its operators and operands, then the reductions down to base.
    CValue* FinishExpression(int32_t base);
    // The expression at m_pc by its translation (interp_translation.cpp),
    // made the first time it runs; null (nothing done) when it has none.
    CValue* RunTranslation();
    // The translation of the expression at start, made the first time it is
    // asked for; and its run with the code pointer at start (null, nothing
    // done, when it cannot run it).
    CTranslatedExpression* TranslationAt(const uint8_t* start);
    CValue* RunTranslated(const CTranslatedExpression* entry);
    // The expression at m_pc by the translation given, else the general way.
    CValue* EvalByTranslation(const CTranslatedExpression* entry);
    // The statement at m_pc by its translated form, which binds the
    // translations of its expressions once (interp_statement_translation.cpp);
    // false (nothing done) when it has none.
    bool RunStatementTranslated();
    // Switch with its value by the translation given (none: looked up).
    void ExecSwitchBy(const CTranslatedExpression* value);
    std::shared_ptr<CTranslatedStatements> m_translatedStatements;
    // The expression statement at m_pc by its translation, its value
    // dropped; false (nothing done) when it has none.
    bool RunTranslatedStatement() {
        if (!m_fastPaths || m_varDeclared != nullptr)
            return false;
        // The shortcut of a simple statement is decoded by its first run the
        // general way (EvalExpression), which tries the translation too.
        if (m_shortcuts && (!m_simpleExprs || SimpleEntry(m_pc).instr != m_pc))
            return false;
        StatementValueDropped dropped(this);
        return RunTranslation() != nullptr;
    }
    // An expression by its translation first, else as EvalExpressionFast.
    CValue* EvalTranslatedFirst() {
        if (m_fastPaths && m_varDeclared == nullptr)
            if (CValue* value = RunTranslation())
                return value;
        return EvalExpressionFast();
    }
    std::shared_ptr<CTranslations> m_translations;
    // The integer value of the simple expression at m_pc, with the code
    // pointer moved behind it, when it has one by its shortcut; false
    // (nothing done) otherwise. What the evaluator's scratch slots would
    // hold afterwards is not written (nothing reads them).
    bool TrySimpleInt(int32_t* value) {
        if (!m_simpleExprs || !m_shortcuts)
            return false;
        CSimpleExpr& entry = SimpleEntry(m_pc);
        if (entry.instr != m_pc || entry.epoch != m_contextEpoch || entry.value == nullptr ||
            m_varDeclared != nullptr || m_evalLevel + entry.count + 3 >= kValueStackSize ||
            !entry.value(this, entry, value))
            return false;
        m_pc = entry.end;
        return true;
    }
    // EvalExpression with the shortcut of a simple expression inline.
    CValue* EvalExpressionFast() {
        if (CValue* value = TrySimpleForm())
            return value;
        return EvalExpression();
    }
    // The slot of the current evaluation level: where operands, handlers and
    // constant functions leave their value.
    CValue* Result() { return m_valueStack[m_evalLevel]; }

    // ---- native handler convention ----
    int32_t GetArgCount() const { return m_argCounts[m_callDepth]; }
    CValue* GetArg(int32_t i);
    int32_t IsArgDefault(int32_t i);
    int32_t GetArgInt(int32_t i);
    void GetArgInt2(int32_t i, int32_t* a, int32_t* b);
    void GetArgInt4(int32_t i, int32_t* a, int32_t* b, int32_t* c, int32_t* d);
    double GetArgDouble(int32_t i);
    float GetArgFloat(int32_t i);
    const char* GetArgString(int32_t i);
    CIBaseClassImpl* GetArgObject(int32_t i);
    CIBaseClassImpl* GetArgObjectOfClass(int32_t i, uint32_t classId);
    uint16_t GetCurrentMemberId() const { return m_currentMemberId; }
    // For event members (obj.OnClick = F): expects "=" at the code pointer
    // (runtime error 40 otherwise), evaluates the expression and answers the
    // function it names, or null for 0.
    CFunctionRecord* ReadAssignedFunction();
    // Runs a script function with arguments already in the current frame
    // (count set with SetArgCount) and leaves its value in *result. The
    // function runs in a fresh local scope with thisObject as This.
    void CallFunctionDirect(CFunctionRecord* function, CIBaseClassImpl* thisObject, CValue* result);
    void SetArgCount(int32_t count);

    // Raises the call depth for the lifetime of the guard (so that script
    // code run from a handler uses its own frame); runtime error 13 when no
    // frame is left.
    class CallDepthGuard {
    public:
        explicit CallDepthGuard(CInterpretor* interpretor) : m_interpretor(interpretor) {
            if (interpretor->m_callDepth + 1 >= kFrameCount)
                interpretor->RaiseError(15);
            ++interpretor->m_callDepth;
        }
        ~CallDepthGuard() { --m_interpretor->m_callDepth; }
        CallDepthGuard(const CallDepthGuard&) = delete;
        CallDepthGuard& operator=(const CallDepthGuard&) = delete;

    private:
        CInterpretor* m_interpretor;
    };

    // ---- objects ----
    // The object of "New" with class id (arguments already in the current
    // frame); null when refused. Runtime errors 65 (global class), 16 (not a
    // class), 38 (class not built in this runtime).
    CIBaseClassImpl* CreateObject(uint32_t classId);
    // Destroys the object and every object that depends on it.
    void DeleteObject(CIBaseClassImpl* object);
    CClassRecord* GetClassRecord(uint32_t classId) {
        return classId < kClassSlotCount ? &m_classRecords[classId] : nullptr;
    }
    CIBaseClassImpl* GetGlobalObject(int slot) const { return m_globalObjects[slot]; }
    uint32_t GetFirstInstance(uint32_t classId) const { return m_classLists[classId].GetHeadPosition(); }
    CIBaseClassImpl* NextInstance(uint32_t classId, uint32_t& position) const {
        return reinterpret_cast<CIBaseClassImpl*>(m_classLists[classId].GetNext(position));
    }
    int32_t CountInstances(uint32_t classId) const { return m_classLists[classId].GetCount(); }

    // ---- block stack ----
    // Raises the block level and stores the record (runtime error 15 when the
    // stack cannot grow).
    void EnterBlock(const CBlockRecord* record) {
        const int32_t level = m_blockLevel + 1;
        if (static_cast<uint32_t>(level) < m_blockStack.GetSize())
            m_blockStack.SetAt(level, reinterpret_cast<uintptr_t>(record));
        else if (!m_blockStack.SetAtGrow(level, reinterpret_cast<uintptr_t>(record)))
            RaiseError(15);
        m_blockLevel = level;
    }
    // Drops the variables of the current scope at or above the level, clears
    // the slot and lowers the level.
    void LeaveBlock() {
        if (m_blockLevel <= 0)
            return;
        m_scope->DropVariablesFromLevel(m_blockLevel);
        m_blockStack.SetAt(m_blockLevel, 0);
        --m_blockLevel;
    }
    int32_t GetBlockLevel() const { return m_blockLevel; }

    // ---- short-lived and temporary buffers ----
    // A buffer that lives until the next tick period; never null (runtime
    // error 15 when memory fails; there is no count limit).
    char* AllocStatementString(std::size_t size);
    void FreeStatementStrings();
    std::size_t GetStatementStringCount() const { return m_statementStrings.size(); }
    // Handles 1 to 256; 15 when memory fails, 44 when the table is full.
    uint32_t AddTempBuffer(std::size_t size, void** out);
    void FreeTempBuffer(uint32_t handle);
    void FreeTempBuffers();

    // ---- arrays ----
    CScriptArray* GetArray(uint32_t handle) const;
    // The array a value holds when it has one dimension; null otherwise
    // (inline in simple_shapes.h: the integer shortcuts read array cells
    // through it).
    inline CScriptArray* OneDimensionalArray(const CValue& value) const;
    void ReleaseArrays();

    // ---- program ----
    CCompiledProgram& GetProgram() { return m_program; }
    // false: the general evaluator alone, without any of the fast paths
    // (simple expressions, fused loops, switch tables, call plans, integer
    // calls, method statements, in-place text building): the reference the
    // differential test compares them with. Starts false when the
    // environment variable TW_GENERAL_ONLY is set to 1 (twrun --general sets
    // it too); set it before the run.
    bool m_fastPaths = true;
    // The shape-matched shortcuts (simple expressions, fused loops, integer
    // rounds, integer calls, call plans) beside the translation; false when
    // TW_NO_SHORTCUTS is 1, to measure the translation alone.
    bool m_shortcuts = true;
    // An operation handler; the tables are built by TableBuilder.
    using Handler = void (CInterpretor::*)();
    struct TableBuilder;
    const uint8_t* CodeBase() const { return m_program.code.data(); }
    uint32_t AddNamedItem(const char* name);
    CProgramContainer* GetProgramContainer() const { return m_container.get(); }
    // Makes the package's program at the current program index current (the
    // first one for an index of 0 or less or beyond the list) and returns it;
    // null without a package. Script code of a module runs with the index of
    // its module, so its resources come from its own program.
    CBankSet* GetCurrentBank();
    void EndIfNoWindows();

    // ---- events, message filters, tick-period work ----
    // (interp_events.cpp: the event queue, its delivery, the message filters,
    // the guarded member calls and the script's error handler;
    // interp_tick.cpp: the tick-period work, the pump, Wait and Tick, the
    // tickers, the redraw pass and the garbage collection)

    // Events. Post* raise 61 when more than m_eventLimit events wait, 15 when
    // no record can be made; null arguments are omitted.
    uint32_t PostEvent(CFunctionRecord* handler, const CValue* a1 = nullptr, const CValue* a2 = nullptr,
                       const CValue* a3 = nullptr, const CValue* a4 = nullptr, const CValue* a5 = nullptr,
                       const CValue* a6 = nullptr, const CValue* a7 = nullptr, const CValue* a8 = nullptr);
    // A waiting event of the same handler and target only takes the new
    // arguments.
    uint32_t PostEventCoalesced(CFunctionRecord* handler, const void* target, const CValue* a1 = nullptr,
                                const CValue* a2 = nullptr, const CValue* a3 = nullptr, const CValue* a4 = nullptr,
                                const CValue* a5 = nullptr, const CValue* a6 = nullptr, const CValue* a7 = nullptr,
                                const CValue* a8 = nullptr);
    // Runs the handler of the event at the delivery cursor to its end (RunLoop
    // calls it between statements when m_deliveryCursor != 0, events are
    // enabled and no call is in progress). However the handler ends, the
    // event is removed, the call counter and the interrupted code's state are
    // restored, so later events are still delivered.
    void DeliverEvent();
    // Deletes every queued event and resets the delivery state; also empties
    // the ticker lists, whose clients go with the objects (ReleaseAll).
    void ClearEvents();
    int32_t CountEvents() const { return m_events.GetCount(); }
    int32_t m_callsInProgress = 0;  // event handlers and callbacks running
    uint32_t m_deliveryCursor = 0;  // the queue's cursor, kept here for RunLoop's test
    int32_t m_eventLimit = 128;
    CEventQueue m_events{this};

    // Message filters, in registration order (CIBaseMessages registers itself).
    CMessageFilters m_messageFilters;

    // Errors of member calls. A runtime error inside goes to the script's
    // error handler when there is one (the script then goes on); codes 0 and 1
    // (end, restart) always unwind.
    void CallMemberGuarded(CIBaseClassImpl* object, int32_t memberId);
    // ConstructFromArgs with errors routed the same way; 38 when the object
    // is not alive afterwards.
    void ConstructChecked(CIBaseClassImpl* object);
    // True when the script's error handler took the error: it is logged by
    // the logger (the Program object) and an event is posted to the handler
    // with code, message, module, column and line.
    bool HandleHandlerError(const CIError& error);
    // The Program class registers the script's handler (null: none) and how
    // errors are logged with the Program object.
    void SetScriptErrorHandler(CFunctionRecord* handler, ScriptErrorLogger logger = nullptr, void* context = nullptr);
    CFunctionRecord* GetScriptErrorHandler() const { return m_scriptErrorHandler; }

    // Tick-period work of the operation loop (after the countdown was reset):
    // statement strings, tickers, collection, redraw, pump.
    void TickPeriodWork();
    // Sets the pump, ticker and refresh times at the start of a run.
    void ResetTickTimes();
    // Pumps when more than 50 ms passed since the last pump: messages go to
    // the filters, then to their windows; idle below speed 100 it sleeps.
    void PumpMessages(uint32_t now);
    // Pumps, polls and ticks (no sleep) until ms have passed: 0; 1 when the
    // quit message came.
    int32_t Wait(uint32_t ms);
    int32_t WaitUnlessInCall(uint32_t ms);
    // Periodic work of modal loops: a pending error, tickers, redraw and one
    // event when no call is in progress.
    void Tick();
    // The pump's polls of the video and QuickTime objects and the multiplayer
    // client, registered by those modules.
    enum PollSlot { kPollVideo, kPollQuickTime, kPollNetwork, kPollSlots };
    using PollHook = void (*)(CInterpretor* interpretor);
    static void SetPollHook(PollSlot slot, PollHook hook);
    void PollComponents();
    uint32_t m_lastPumpTime = 0;
    // How long (ms of the coarse clock, from m_clockCoarseAt) the pump
    // cannot be due: TickPeriodWork need not read the clock then.
    uint32_t m_clockCoarseAt = 0;
    int32_t m_clockSkipWindow = 0;
    void CountCreatedObjects();
    void NotePumpDeadline(uint32_t coarse, uint32_t now);
    // Statement strings below this count belong to code that a nested loop
    // interrupted (a native handler waiting): the nested tick periods free
    // only those above it.
    std::size_t m_statementStringFloor = 0;

    // Tickers (see CTickerLists).
    uint32_t AddAnimation(CITickClient* object);
    void RemoveAnimation(uint32_t position);
    uint32_t AddMovement(CITickClient* movement);
    void RemoveMovement(uint32_t position);
    void RemoveMovementsOf(const void* location);
    uint32_t AddTickObject(CITickClient* cursor);
    int32_t RemoveTickObject(uint32_t position);
    void RunTickers(uint32_t now);
    CTickerLists m_tickers;

    // Garbage collection: drops object and array references of unused
    // argument cells and value-stack slots, then deletes every unreferenced
    // object. Runs when the counter (objects created since the last
    // collection) exceeds the threshold.
    void CollectGarbage();
    int32_t m_collectionCounter = 0;

    // Redraw clients (CIRefresh) and the redraw pass. A pass asked for while
    // one runs (an error raised inside a redraw) does nothing.
    void RefreshAll();
    void RequestRefresh();
    // Redraws that follow the clients: the visible group boxes, then the
    // visible static texts, registered by those classes.
    enum RedrawSlot { kRedrawGroupBoxes, kRedrawStaticTexts, kRedrawSlots };
    static void SetRedrawAllHook(RedrawSlot slot, PollHook hook);
    CPoolList m_redrawList;
    int32_t m_refreshRequested = 0;
    int32_t m_refreshEnabled = 1;
    int32_t m_refreshing = 0;
    uint32_t m_refreshInterval = 50;
    uint32_t m_lastRefresh = 0;

private:
    bool IsCollectionExempt(const CIBaseClassImpl* object) const;
    uint32_t m_createdSeen = 0;  // m_createdObjects at the last tick period
    CFunctionRecord* m_scriptErrorHandler = nullptr;
    ScriptErrorLogger m_scriptErrorLogger = nullptr;
    void* m_scriptErrorContext = nullptr;
    static PollHook s_pollHooks[kPollSlots];
    static PollHook s_redrawHooks[kRedrawSlots];

public:
    // ---- end of events, message filters, tick-period work ----

    // ---- state (read by the handlers of other modules) ----
    CPoolList m_arrayList;  // a position is an array handle
    uint64_t m_variableGeneration = 0;  // source of the variable tables' stamps
    int32_t m_releaseAll = 0;
    CPoolList m_classLists[kClassSlotCount];      // live objects per class id, newest first
    uint32_t m_instanceCounters[kClassSlotCount] = {};  // never reset between runs
    uint32_t m_createdObjects = 0;
    CRunner* m_runner;
    int32_t m_pendingError = -1;
    int32_t m_runState = 0;  // 0 idle, 1 running, 3 compile or run error caught
    int32_t m_loaded = 0;
    uint32_t m_loadStatus = 0;
    CIBaseClassImpl* m_currentWindow = nullptr;
    int32_t m_tickCountdown = 0;
    int32_t m_tickPeriod = 10;
    uint32_t m_packageSettings[7] = {100, 0, 0, 0, 0, 0, 0};
    int32_t m_programIndex = 0;
    int32_t m_restartArgument = 0;
    std::string m_followOnFile;  // empty: a restart recompiles the package
    // Program-wide switches the system, sound and input classes read and set.
    CProgramState m_programState;
    // The per-interpreter services of script_class.h, as loaded by Load.
    struct CLoadedService {
        CInterpreterService service;
        void* object;
    };
    std::vector<CLoadedService> m_services;
    int LoadServices();
    void UnloadServices();

    // Code pointer and return state of the running loop.
    const uint8_t* m_pc = nullptr;
    int32_t m_returnFlag = 0;
    CValue* m_returnTarget = nullptr;
    // Evaluation.
    int32_t m_evalLevel = 0;
    // Call frames.
    int32_t m_callDepth = 0;
    int32_t m_argHighWater = 0;
    uint16_t m_currentMemberId = 0;
    // Scopes: new local variables go to m_scope; This is m_thisObject.
    CIBaseObjectVar* m_scope;
    CIBaseClassImpl* m_thisObject;
    // Names resolve through the tables of the scope, of This and of the
    // globals. The context epoch changes whenever one of those tables
    // changes or another scope or This is entered, to a value no earlier
    // context had; name lookups remembered with the epoch stay valid while
    // it is the same.
    //
    // A call of a function whose parameters are listed (see CFunctionRecord)
    // shares one epoch with the other calls of that function with the same
    // This, while its local scope holds its parameters alone: names found
    // among the parameters are remembered by their position (the scope's
    // m_dormant), all others by their variable. m_sharedEpoch tells that
    // the epoch is such a shared one.
    uint64_t m_contextEpoch = 1;
    bool m_sharedEpoch = false;
    void EnterContext(CIBaseObjectVar* scope, CIBaseClassImpl* thisObject) {
        m_scope = scope;
        m_thisObject = thisObject;
        m_contextEpoch = ++m_variableGeneration;
        m_sharedEpoch = false;
    }
    // Back to a context left at epoch: the epoch again when none of its
    // tables changed since, else a new one.
    void RestoreContext(CIBaseObjectVar* scope, CIBaseClassImpl* thisObject, uint64_t epoch, bool shared);
    void NoteVariablesChanged(const CIBaseObjectVar* table) {
        if (table == m_scope || table == m_thisObject || table == this) {
            m_contextEpoch = table->m_stamp;
            m_sharedEpoch = false;
        }
    }

private:

    // Operation tables (interp_statements.cpp).
    static const Handler* const kStatementTable;
    static const Handler* const kEvaluationTable;
    static const Handler* const kOperatorTable;

    // Evaluation helpers.
    void PushLevel();
    void ReduceTo(int32_t level);
    void ApplyOperator(uint32_t code);
    // Applies the pending operators above base of the same or tighter
    // precedence than code (code 0: all of them), as the next operator's
    // turn comes.
    void ReducePending(int32_t base, uint32_t code) {
        while (m_evalLevel - 1 > base && code <= m_operatorStack[m_evalLevel - 1]) {
            --m_evalLevel;
            ApplyOperator(m_operatorStack[m_evalLevel]);
        }
    }
    void EvalOperandAtLevel();
    void StepInstr() { m_pc = NextInstr(m_pc); }
    uint16_t Code() const { return InstrCode(m_pc); }
    void EvalArgumentsIntoFrame();
    int32_t EvalIndexList(int32_t* indices);
    static constexpr uint32_t kNotAName = 0xFFFFFFFF;
    // nameRef: the name the value's variable was found by (kNotAName: not
    // a variable found by name).
    void AfterValueOperand(CValue* value, uint32_t nameRef = kNotAName) {
        // A number that an operator (or the statement's end) reads, the
        // commonest operand: copied, with its variable as the origin.
        const uint16_t next = Code();
        if (value->GetTag() <= CValue::kDouble && next != kOpAssign && !(next >= kOpAddAssign && next <= kOpShrAssign) &&
            !(next >= kOpMemberCall && next <= kOpMemberIndex)) {
            CValue* result = Result();
            result->Assign(*value);
            result->SetOrigin(value);
            return;
        }
        AfterOtherValueOperand(value, nameRef);
    }
    void AfterOtherValueOperand(CValue* value, uint32_t nameRef);
    static_assert(kOpMember == kOpMemberCall + 1 && kOpMemberIndex == kOpMember + 1, "member accesses in one range");
    // Hands the global String object a text (a literal) or a text value.
    void MemberOnText(const char* text, const CValue* value = nullptr);
    void MemberOnValue(CValue* value);
    // Follows a member chain on the result a call left in the result slot.
    void MemberOnCallResult();
    // The variable of a name: the current call's, the current object's, then
    // the global one; null when none.
    CVariable* LookUpName(uint32_t nameRef);

    void AfterIndexedValue(CValue* value, const uint8_t* instr, uint32_t unresolvedKind, CIBaseClassImpl* owner);
    void DeclareWithVar();
    static int GlobalSlotOfClass(uint32_t classId);
    const char* NameOf(uint32_t nameRef) const;

    // Operand handlers (evaluation table).
    void OpEvalError();
    void OpEvalClass();
    void OpEvalCall();
    void OpEvalName();
    void OpEvalIndexName();
    void OpEvalVar();
    void OpEvalNew();
    void OpEvalThis();
    void OpEvalCurWindow();
    void OpEvalInt();
    void OpEvalString();
    void OpEvalDouble();
    void OpEvalZero();
    void OpEvalOne();
    void OpEvalOmitted();
    void OpEvalMissing();
    void OpEvalParen();
    void OpEvalNot();
    void OpEvalComplement();
    void OpEvalPrefixIncrement();
    void OpEvalPrefixDecrement();
    void OpEvalNegate();

    // Statement handlers.
    void OpStatementError();
    void OpEndOfCode();
    void OpStatementClass();
    void OpStatementCall();
    void OpStatementExpression();
    void OpStatementMember();
    void OpStatementVar();
    void OpStatementDelete();
    void OpStatementFunction();
    void OpStatementCurWindow();
    void OpModuleStart();
    void OpStep();
    void ExecFor();
    void ExecReturn();
    void ExecBreak();
    void ExecContinue();
    void ExecIf();
    void ExecElse();
    void ExecWhile();
    void ExecIn();
    void ExecSwitch();
    void ExecCase();
    void ExecBlockBegin();
    void ExecBlockEnd();

    // Operator handlers (statement table, 119 to 152).
    void OpAssign();
    void OpCompound(CValueOp op);
    void OpBinary(CValueOp op);
    void OpAddAssign();
    void OpSubAssign();
    void OpMulAssign();
    void OpDivAssign();
    void OpAndAssign();
    void OpOrAssign();
    void OpXorAssign();
    void OpModAssign();
    void OpShlAssign();
    void OpShrAssign();
    void OpGreaterEqual();
    void OpLessEqual();
    void OpEqual();
    void OpLess();
    void OpGreater();
    void OpNotEqual();
    void OpLogicalAnd();
    void OpLogicalOr();
    void OpInfixNot();
    void OpInfixComplement();
    void OpPostIncrement();
    void OpPostDecrement();
    void OpAdd();
    void OpSubtract();
    void OpDivide();
    void OpMultiply();
    void OpBitAnd();
    void OpBitOr();
    void OpBitXor();
    void OpModulo();
    void OpShiftLeft();
    void OpShiftRight();
    void OpConditionalReduce();
    void EvalConditional();

    // Blocks.
    const CBlockRecord* BlockAt(uint32_t index) const;
    const CBlockRecord* TopBlock() const {
        return reinterpret_cast<const CBlockRecord*>(m_blockStack.GetAt(m_blockLevel));
    }
    const CBlockRecord* RequireTopBlock();
    void GoBehind(uint32_t offset) { m_pc = NextInstr(CodeBase() + offset); }
    void GoTo(uint32_t offset) { m_pc = CodeBase() + offset; }
    bool TestAt(uint32_t offset);

    // Members and functions.
    void CallObjectMember(CIBaseClassImpl* object);
    void CallScriptObjectMember(CIBaseObjectVar* object);
    uint32_t ResolveMember(CClassRecord* record);
    void EvalClassConstant();
    void CallConstant(uint32_t classId, uint32_t memberId);
    // Calls the function (the value of a variable or member, read before its
    // arguments are evaluated) with the argument list at the code pointer.
    void CallScriptFunction(CCallScope* localScope, CIBaseClassImpl* thisObject, const CFunctionRecord* function);
    class LocalScope;
    // Counts the object as the This of a running call while it lives (it
    // may be neither deleted nor collected meanwhile).
    class ActiveObject {
    public:
        explicit ActiveObject(CIBaseClassImpl* object) : m_object(object) { ++object->m_activeCalls; }
        ~ActiveObject() { --m_object->m_activeCalls; }
        ActiveObject(const ActiveObject&) = delete;
        ActiveObject& operator=(const ActiveObject&) = delete;

    private:
        CIBaseClassImpl* m_object;
    };
    // Binds the arguments of the current frame to the parameters in the
    // local scope; true when the scope's parameter variables of its last
    // call of the same function were taken up again (the table unchanged).
    bool BindParameters(CCallScope* localScope, CFunctionRecord* function);
    inline bool ResumeParameters(CCallScope* localScope, const CFunctionRecord* function);
    void ReadParameterNames(CFunctionRecord* function);
    // The context of a call: the epoch of the scope's last call of the same
    // function with the same This when nothing it resolved names in changed
    // since, else a new one.
    void EnterCallContext(CCallScope* localScope, CIBaseClassImpl* thisObject, CFunctionRecord* function);
    // Leaves the function's own block: the parameters stay in the scope for
    // its next call of the same function (values released) when nothing else
    // is left in it, else every variable goes.
    inline void LeaveFunctionBlock(CCallScope* localScope);
    void RunFunctionBody(CCallScope* localScope, CIBaseClassImpl* thisObject, const CFunctionRecord* function,
                         CValue* result);
    // Runs body() in the call's frame (interp_call_frame.h).
    template <class Body>
    inline void InCallFrame(CCallScope* localScope, CIBaseClassImpl* thisObject, const CFunctionRecord* function,
                            Body&& body);
    // Function bodies decoded once and run statement by statement without
    // decoding them again (interp_call_plans.cpp).
    const CCallPlan* CallPlanOf(CFunctionRecord* function) {
        if (!m_fastPaths || !m_shortcuts)
            return nullptr;
        return function->planCode == CodeBase() ? function->plan.get() : MakeCallPlan(function);
    }
    const CCallPlan* MakeCallPlan(CFunctionRecord* function);
    bool DecodeReturnCalls(CCallPlanStep& step, const uint8_t* expr, const uint8_t* limit);
    bool DecodePlanCall(CCallPlanCall& call, const uint8_t* instr, const uint8_t* limit);
    void RunCallPlan(const CCallPlan& plan, CValue* result);
    void ReturnCalls(const CCallPlanStep& step);
    enum ReturnStage { kBeforeReduce, kBeforePush, kOperand, kAfterOperand };
    void ContinueReturnCalls(const CCallPlanStep& step, int32_t base, int i, ReturnStage stage);
    // Calls of integer functions on native integers (interp_integer_calls.cpp):
    // the call whose instruction (by name or a method) is at the code
    // pointer; false when nothing was done.
    void MakeIntegerPlan(const CFunctionRecord* function, CCallPlan& plan);
    bool TryIntegerCallHere(const CFunctionRecord* function, CIBaseClassImpl* thisObject);
    inline bool IntegerArgumentsAt(const uint8_t* instr, int32_t* args, int32_t* count, const uint8_t** after);
    // A statement name.Method(...); whose method is an integer function,
    // run as RunMethodStatement runs it; false when nothing was done.
    bool RunIntegerMethodStatement(CIBaseObjectVar* object, const uint8_t* call);
    const CCallPlan* IntegerPlanOf(const CFunctionRecord* function, int32_t argCount) const;
    void RunIntegerCall(const CFunctionRecord* function, const CCallPlan& plan, CIBaseClassImpl* thisObject,
                        const int32_t* args, int32_t count, const uint8_t* after);
    bool IntegerCall(const CFunctionRecord* function, const CCallPlan& plan, CIBaseClassImpl* thisObject,
                     const int32_t* args, int32_t* value, CValue* slot);
    inline bool IntegerStatement(const CIntStep& step, CIBaseClassImpl* thisObject, const int32_t* args);
    inline CValue* IntegerMember(const CIntOperand& operand, CIBaseClassImpl* thisObject);
    inline bool IntegerOperand(const CIntOperand& operand, CIBaseClassImpl* thisObject, const int32_t* args,
                        int32_t* value);
    inline bool IntegerValue(const CIntExpr& expr, CIBaseClassImpl* thisObject, const int32_t* args,
                             int32_t* value);
    CVariable* FindIntegerCallee(const CIntCall& integer, CIBaseClassImpl* thisObject);
    void SetIntegerArguments(const int32_t* args, int32_t count);
    void BetweenIntegerStatements(const uint8_t* at);
    // Counts the times integer calls ran code the general way (the work
    // between statements, a call going on the general way).
    uint32_t m_generalRuns = 0;
    // Set by a statement that was an integer method call which changed
    // nothing but the variables of its object, neither This nor the
    // interpreter (see RunRounds).
    bool m_selfContained = false;
    bool FinishIntegerCall(const CFunctionRecord* function, CIBaseClassImpl* thisObject, const int32_t* args,
                           CValue* slot, const uint8_t* at, const CCallPlanStep* step = nullptr, int32_t base = 0,
                           int i = 0, ReturnStage stage = kBeforeReduce);
    void MarkDependents(CIBaseClassImpl* object, std::deque<CValue>& marked);
    bool IsActiveScope(const CIBaseClassImpl* object) const;
    int RunOnce(CCompiledProgram* program, uint32_t entry, int32_t* endCode);
    int CompilePackage(CCompiledProgram* program, void* hostContext, int withStartText);
    bool PrepareChecked(CCompiledProgram* program);
    void AddPackageSources(CScriptCompiler& compiler, void* hostContext, int withStartText);
    void NewObject();
    CValue* Right();
    CValue* ArrayVariableFor(const uint8_t* instr, CIBaseObjectVar* object);
    CIBaseObjectVar* PlaceObject();
    bool IsScriptObject(const CIBaseClassImpl* object) const {
        return object != nullptr && (object->m_classId == kScriptObjectClassId || object == this);
    }
    void MakeFunctionRecords();
    void CreateGlobalObjects();

    CCompiledProgram m_program;
    std::unique_ptr<CIError> m_lastError;
    CRefStringArray m_names;
    int32_t m_blockLevel = 0;
    CPointerArray m_blockStack;
    CClassRecord m_classRecords[kClassSlotCount];
    CIBaseClassImpl* m_globalObjects[kGlobalObjectCount] = {};
    // The text side of the String object that text members run on, cast once
    // per object rather than at every member of a text.
    const CIBaseClassImpl* m_textSubjectOf = nullptr;
    CITextSubject* m_textSubject = nullptr;
    CValue m_defaultCell;
    CValue* m_valueStack[kValueStackSize] = {};
    uint32_t m_operatorStack[kValueStackSize] = {};
    // Per evaluation level: what an unresolved place of the slot refers to
    // (the object or the array, held counted) and the indices it was read
    // with. Moves with its slot.
    struct CLevelPlace {
        explicit CLevelPlace(CInterpretor* owner) : holder(owner) {}
        CValue holder;
        int32_t indices[10] = {};
        int32_t count = 0;
    };
    CLevelPlace* m_places[kValueStackSize] = {};
    CLevelPlace* Place() { return m_places[m_evalLevel]; }
    // The indices an indexed place of the current level was read with.
    void SetPlaceIndices(const int32_t* indices, int32_t count) {
        CLevelPlace* place = Place();
        for (int32_t i = 0; i < count; ++i)
            place->indices[i] = indices[i];
        place->count = count;
    }
    // Moves the slot above the current level into the current one (and the
    // current one up), so that a nested expression's value needs no copy.
    void TakeSlotAbove() {
        std::swap(m_valueStack[m_evalLevel], m_valueStack[m_evalLevel + 1]);
        std::swap(m_places[m_evalLevel], m_places[m_evalLevel + 1]);
    }
    const uint8_t* m_varDeclared = nullptr;  // name instruction just declared by Var
    int32_t m_discardLevel = -1;              // level whose value an expression statement drops
    // Text building by `t = t + a + b;` (see interp_operators.cpp): while
    // the statement runs, t's text is lent to the slot of its first operand
    // (t itself holds integer 0), grows there in place and goes back by the
    // assignment; an error in between gives it back as it was.
    struct CTextLoan {
        CValue* variable = nullptr;  // null: no loan
        CValue* slot = nullptr;
        std::size_t length = 0;
        bool prefix = false;  // lent by `t = x + t;`
    };
    CTextLoan m_textLoan;
    // The variable's text lent to the slot when the statement is of that
    // form (nameRef: the name the variable was found by); false otherwise.
    bool LendTextForAppend(CValue* slot, CValue* variable, uint32_t nameRef);
    bool LendTextForPrepend(CValue* slot, CValue* variable);
    CValue* TextAssignedBack(CValue* left);
    void ReturnTextLoan();
    // target = right as "=" does it: a text whose copy nobody keeps (the
    // value of an expression statement) is moved, not copied.
    void AssignTarget(CValue* target, CValue* right);
    // Pools of local-scope objects and of variables, reused across calls.
    static constexpr std::size_t kScopePoolLimit = 32;
    static constexpr std::size_t kVariablePoolLimit = 256;
    std::vector<CCallScope*> m_scopePool;
    std::vector<CVariable*> m_variablePool;
    // A local scope from the pool (or a new one); back to the pool, with the
    // parameters of its call kept for the next call of the same function.
    CCallScope* AcquireScope() {
        if (m_scopePool.empty())
            return NewScope();
        CCallScope* scope = m_scopePool.back();
        m_scopePool.pop_back();
        return scope;
    }
    CCallScope* NewScope();
    inline void ReleaseScope(CCallScope* scope);
    void ReleaseScopeSlowly(CCallScope* scope);
    void FreePools();

public:
    // A variable from the pool (or a new one), holding integer 0; null when
    // memory fails. RecycleVariable releases its value and keeps it.
    CVariable* NewVariable();
    void RecycleVariable(CVariable* variable);

private:
    // Name lookups remembered per instruction. LookUpNameAt's are valid while
    // the context epoch is the same (object null, or the mark of a
    // parameter's position under a shared epoch); FindMemberAt's while the
    // object is the same and its table unchanged (its stamp).
    struct CNameCacheEntry {
        const uint8_t* instr = nullptr;
        const CIBaseObjectVar* object = nullptr;
        uint64_t stamp = 0;
        CVariable* variable = nullptr;
    };
    // A parameter is remembered with a mark in place of the object: small
    // values that no object has, one per position of the listed parameters.
    static const CIBaseObjectVar* ParameterMark(int position) {
        return reinterpret_cast<const CIBaseObjectVar*>(static_cast<uintptr_t>(position) + 1);
    }
    static int ParameterOfMark(const CIBaseObjectVar* object) {
        const uintptr_t position = reinterpret_cast<uintptr_t>(object) - 1;
        return position < CFunctionRecord::kListedParameters ? static_cast<int>(position) : -1;
    }
    CNameCacheEntry& CacheEntry(const uint8_t* instr) {
        return m_nameCache[(reinterpret_cast<uintptr_t>(instr) >> 2) & (kNameCacheSize - 1)];
    }
    // A member variable of a script object, remembered per instruction
    // while the object's table is unchanged (inline: every member read and
    // write of a script object comes here).
    CVariable* FindMemberAt(CIBaseObjectVar* object, const uint8_t* instr) {
        const CNameCacheEntry& entry = CacheEntry(instr);
        if (entry.instr == instr && entry.object == object && entry.stamp == object->m_stamp)
            return entry.variable;
        return FindMemberUncached(object, instr);
    }
    CVariable* FindMemberUncached(CIBaseObjectVar* object, const uint8_t* instr);
    static constexpr int kNameCacheSize = 256;
    CNameCacheEntry m_nameCache[kNameCacheSize];
    // Inline (below CCallScope): the remembered variable or parameter; the
    // rest is LookUpNameAndRemember.
    inline CVariable* LookUpNameAt(const uint8_t* instr);
    CVariable* LookUpNameAndRemember(const uint8_t* instr);

    // Expressions made only of names, integer constants, omitted operands
    // and binary operators (no "?"), decoded once per code position: they
    // are evaluated by the same precedence steps and operator handlers as
    // any other, without decoding the instructions or looking up each name
    // again (see interp_simple_expr.cpp).
    struct CSimpleOperand {
        // kThisMember: This.member; kIndexed: name[index], the index a name or
        // an integer constant.
        enum Kind : uint8_t { kName, kInt, kDefault, kThisMember, kIndexed, kText };
        Kind kind = kInt;
        uint16_t nextCode = 0;            // the instruction behind the operand
        int32_t value = 0;                // kInt
        uint32_t nameRef = 0;             // kName, kThisMember
        const uint8_t* after = nullptr;   // the code pointer once the operand is read
        CVariable* variable = nullptr;    // kName, kThisMember, kIndexed: resolved for the epoch
        int8_t parameter = -1;            // kName under a shared epoch: the parameter's position
        // kIndexed: the 77 instruction and the index. kText: the 103 instruction.
        const uint8_t* instr = nullptr;
        bool indexIsName = false;
        int32_t indexValue = 0;
        uint32_t indexNameRef = 0;
        CVariable* indexVariable = nullptr;
    };
    static constexpr int kSimpleOperands = 8;
    struct CSimpleExpr;
    struct SimpleForms;
    // The whole expression worked out directly on integers; false (nothing
    // changed) when an operand is not an integer or the operator would raise.
    using SimpleForm = bool (*)(CInterpretor* in, CSimpleExpr& entry, int32_t base);
    using SimpleValue = bool (*)(CInterpretor* in, const CSimpleExpr& entry, int32_t* value);
    struct CSimpleExpr {
        const uint8_t* instr = nullptr;   // first instruction; null: unused entry
        bool simple = false;              // false: evaluate in the general way
        uint8_t count = 0;                // operands; count - 1 operators
        uint8_t shape = 0;                // a form with a shortcut on integers (kShape...)
        SimpleForm form = nullptr;        // the shortcut of the shape and operator
        // Single and binary shapes: the integer value alone, for callers that
        // need nothing but it (conditions, integer arguments and returns).
        SimpleValue value = nullptr;
        uint64_t epoch = 0;               // the context epoch the variables were found for; 0: none
        const uint8_t* end = nullptr;     // the instruction that ends the expression
        // The value each operand reads: its variable's, or a cell holding
        // the integer constant (valid for the epoch).
        CValue* cells[kSimpleOperands] = {};
        CSimpleOperand operands[kSimpleOperands];
        uint32_t operators[kSimpleOperands - 1] = {};
        const uint8_t* operatorAt[kSimpleOperands - 1] = {};
    };
    static constexpr int kSimpleExprCacheSize = 512;
    std::unique_ptr<CSimpleExpr[]> m_simpleExprs;
    std::unique_ptr<CValue[]> m_simpleConstants;  // kSimpleOperands per entry
    CSimpleExpr& SimpleEntry(const uint8_t* instr) {
        return m_simpleExprs[(reinterpret_cast<uintptr_t>(instr) >> 2) & (kSimpleExprCacheSize - 1)];
    }
    // The expression at m_pc evaluated the fast way, or null (nothing done)
    // when it is not one of those or a name is not found.
    CValue* EvalSimpleExpression();
    // The cache entry of the expression at instr, decoded (the cache made
    // when there is none).
    CSimpleExpr& SimpleEntryDecoded(const uint8_t* instr);
    // The shortcut of a decoded, resolved expression at m_pc, when it has
    // one and it applies: the result slot; null when nothing was done.
    CValue* TrySimpleForm() {
        if (!m_simpleExprs || !m_shortcuts)
            return nullptr;
        CSimpleExpr& entry = SimpleEntry(m_pc);
        if (entry.instr != m_pc || entry.epoch != m_contextEpoch || entry.form == nullptr ||
            m_varDeclared != nullptr || m_evalLevel + entry.count + 3 >= kValueStackSize)
            return nullptr;
        return entry.form(this, entry, m_evalLevel) ? m_valueStack[m_evalLevel + 1] : nullptr;
    }
    // Switches whose labels are all integer constants or all text
    // constants, decoded once per Switch instruction: an integer or a text
    // finds its label without evaluating the labels one by one (which, being
    // constants, can neither fail nor change anything).
    static constexpr int kSwitchLabels = 16;
    static constexpr int kSwitchCacheSize = 64;
    struct CSwitchTable {
        const uint8_t* instr = nullptr;   // the Switch instruction; null: unused entry
        bool usable = false;
        uint8_t count = 0;
        bool textLabels = false;  // the labels are text constants (texts), else integer ones (values)
        int32_t values[kSwitchLabels] = {};
        const char* texts[kSwitchLabels] = {};
        // Byte counts of the texts: a label of another length cannot be equal.
        uint32_t lengths[kSwitchLabels] = {};
        const uint8_t* targets[kSwitchLabels] = {};  // behind each label's ":"
    };
    std::unique_ptr<CSwitchTable[]> m_switchTables;
    const CSwitchTable* SwitchTableAt(const uint8_t* instr, uint32_t firstLabel);
    static const uint8_t* MatchIntLabel(const CSwitchTable& table, int32_t value);
    static const uint8_t* MatchTextLabel(const CSwitchTable& table, const CValue& value);
    // For loops whose body is a few simple expression statements: after the
    // loop's "}" found that the loop goes on, RunForBody runs rounds of the
    // body, step and test itself, as long as every statement takes its
    // shortcut and nothing waits between statements but the tick countdown
    // (see interp_loop_fusion.cpp).
    struct IntegerRounds;
    static constexpr int kFusedStatements = 24;
    static constexpr int kFusedLoopCacheSize = 64;
    // The statements a fused loop's body may have: simple expression
    // statements, and (integer rounds only) one Switch over integer
    // constants with its labels, Break and "}".
    // kFusedStatement: any other expression statement, run the general way
    // (integer rounds only; they go on when it ended where it should and
    // left what they rely on as it was).
    enum FusedKind : uint8_t {
        kFusedExpression, kFusedSwitch, kFusedCase, kFusedDefault, kFusedBreak, kFusedSwitchEnd, kFusedStatement
    };
    struct CFusedLoop {
        const CBlockRecord* record = nullptr;  // null: unused entry
        const uint8_t* code = nullptr;         // the code the record was decoded from
        bool usable = false;
        bool straight = false;                 // simple expression statements only
        uint8_t count = 0;
        const uint8_t* statements[kFusedStatements] = {};  // where each statement starts
        CSimpleExpr* entries[kFusedStatements] = {};  // expressions (Switch: its value), while not taken by other code
        const uint8_t* ends[kFusedStatements] = {};   // kFusedStatement: its ";"
        FusedKind kinds[kFusedStatements] = {};
        bool inSwitch[kFusedStatements] = {};   // in the Switch's block
        const CBlockRecord* switchBlock = nullptr;
        // The loop's integer rounds, made for the epoch, scope and scope stamp.
        std::shared_ptr<struct IntegerRounds> rounds;
        uint64_t roundsEpoch = 0;
        const CIBaseObjectVar* roundsScope = nullptr;
        uint64_t roundsStamp = 0;
        bool roundsFailed = false;
    };
    std::unique_ptr<CFusedLoop[]> m_fusedLoops;
    static std::size_t FusedLoopSlot(const CBlockRecord* record) {
        return (reinterpret_cast<uintptr_t>(record) / sizeof(CBlockRecord)) & (kFusedLoopCacheSize - 1);
    }
    CFusedLoop* FusedLoopFor(const CBlockRecord* record);
    // The loop's body was found not to run fused (its statements with this
    // code, or its integer rounds with these variables in this scope), and
    // nothing it relied on has changed since: the loop's "}" does not look
    // again every round. Inline: it is asked at every round's end.
    bool FusionRuledOut(const CBlockRecord* record) const {
        if (!m_fusedLoops)
            return false;
        const CFusedLoop& loop = m_fusedLoops[FusedLoopSlot(record)];
        if (loop.record != record || loop.code != CodeBase())
            return false;
        return !loop.usable || (!loop.straight && loop.roundsFailed && loop.roundsEpoch == m_contextEpoch &&
                                loop.roundsScope == m_scope && loop.roundsStamp == m_scope->m_stamp);
    }
    static const uint8_t* ExpressionStatementEnd(const uint8_t* p, const uint8_t* limit);
    void RunForBody(const CBlockRecord* record);
    // The rounds of a fused loop whose statements, step and test all work on
    // integer variables (and one-dimensional array cells), run as a few
    // integer operations each (see interp_integer_rounds.cpp). False when
    // the loop is not of that kind (nothing done).
    bool RunIntegerRounds(const CBlockRecord* record, CFusedLoop& loop);
    IntegerRounds* PrepareIntegerRounds(const CBlockRecord* record, CFusedLoop& loop);
    void RunRounds(const CBlockRecord* record, CFusedLoop& loop, IntegerRounds& rounds);
    inline bool RoundsStillHold(const CBlockRecord* record, const CFusedLoop& loop, int at);
    // The work the operation loop does between statements (events, the tick
    // countdown and period work, quit and pending errors).
    void BetweenStatements();
    inline void ExecuteStatement();  // interp_execute_statement.h
    // Set by a handler that did the work between statements after the last
    // statement it ran: the operation loop does not do it again.
    bool m_betweenDone = false;
    // The work between statements after the one just run, as the operation
    // loop does it (none when a handler did it already).
    void AfterStatement() {
        if (m_betweenDone)
            m_betweenDone = false;
        else if (QuietBetweenStatements())
            --m_tickCountdown;
        else
            BetweenStatements();
    }
    // The statement just run needs nothing between statements but the
    // countdown (RunLoop does the rest).
    bool QuietBetweenStatements() const {
        return m_tickCountdown > 0 && m_returnFlag == 0 && NothingWaiting();
    }
    // No event, pending error or quit waits for the work between statements.
    bool NothingWaiting() const { return m_deliveryCursor == 0 && m_pendingError < 0 && *m_quitFlag == 0; }
    // The runner's quit flag (a zero of its own without a runner).
    const volatile int32_t* m_quitFlag;
    // Runs the simple expression statement at m_pc by its shortcut; false
    // (nothing done) when it has none or it does not apply.
    bool RunSimpleStatement() { return m_simpleExprs && m_shortcuts && RunSimpleStatement(SimpleEntry(m_pc)); }
    bool RunSimpleStatement(CSimpleExpr& entry);
    // An expression statement that starts with name.Method( on a script
    // object's function member, run as OpStatementExpression runs it with
    // the first operand read directly; false (nothing done) when it is not
    // one (interp_functions.cpp).
    bool RunMethodStatement();
    void DecodeSimpleExpression(CSimpleExpr& entry, const uint8_t* instr);
    // The position among the parameters of a variable found in the local
    // scope under a shared epoch; -1 when it is none of them.
    int ParameterPosition(const CVariable* variable) const;
    // The variable of a simple operand for the current call.
    CVariable* OperandVariable(const CSimpleOperand& operand) const;
    bool ResolveSimpleExpression(CSimpleExpr& entry);
    void LoadSimpleOperand(const CSimpleOperand& operand);
    void LoadVariableValue(CValue* slot, CValue* value, uint16_t next, uint32_t nameRef);
    void ApplyOperatorInline(uint32_t code);
    static uint8_t SimpleShapeOf(const CSimpleExpr& entry);
    static SimpleForm SimpleFormOf(const CSimpleExpr& entry);
    static SimpleValue SimpleValueOf(const CSimpleExpr& entry);
    // IsScriptObject(m_thisObject) ? its stamp : 0, without the call.
    uint64_t ThisStamp() const {
        const CIBaseClassImpl* object = m_thisObject;
        if (object == this)
            return m_stamp;
        if (object != nullptr && object->m_classId == kScriptObjectClassId)
            return static_cast<const CIBaseObjectVar*>(object)->m_stamp;
        return 0;
    }
    void ClearSimpleExpressions();
    std::vector<char*> m_statementStrings;
    void* m_tempBuffers[kTempBufferCount] = {};
    std::vector<CFunctionRecord> m_functions;
    std::unique_ptr<CProgramContainer> m_container;
    int32_t m_argCounts[kFrameCount] = {};
    CValue* m_argCells = nullptr;  // kFrameCount * kFrameSize cells
    char m_argText[kFrameCount * kFrameSize][48] = {};
};

// The object for the local variables of one call (see LocalScope), and what
// the call leaves for the next call of the same function in the same scope
// object. It is never visible to scripts (This names the caller's object), so
// it is not listed with the script objects; objects are reused from a small
// pool, which saves two heap blocks per call.
class CCallScope : public CIBaseObjectVar {
public:
    explicit CCallScope(CInterpretor* interpretor)
        : CIBaseObjectVar(interpretor, interpretor->GetClassRecord(kScriptObjectClassId), kScriptObjectClassId, false) {}

    // The parameter variables of the last call, kept in the table between
    // calls (holding integer 0) while m_dormantBlock names its function.
    const CBlockRecord* m_dormantBlock = nullptr;
    int32_t m_dormantCount = 0;
    CVariable* m_dormant[CFunctionRecord::kListedParameters] = {};
    // The stamp of the table once the parameters were bound: while it is
    // the same, the table holds the parameters alone.
    uint64_t m_bindStamp = 0;
};

inline CVariable* CInterpretor::LookUpNameAt(const uint8_t* instr) {
    CNameCacheEntry& entry = CacheEntry(instr);
    if (entry.instr == instr && entry.stamp == m_contextEpoch) {
        if (entry.object == nullptr)
            return entry.variable;
        // A parameter is another variable in every call that shares the
        // epoch, but always at the same position of the running call's scope.
        const int position = ParameterOfMark(entry.object);
        if (position >= 0 && m_sharedEpoch)
            return static_cast<const CCallScope*>(m_scope)->m_dormant[position];
    }
    return LookUpNameAndRemember(instr);
}

// Back to the pool with its kept parameters, while the pool has room for it
// without growing; the rest the slow way.
inline void CInterpretor::ReleaseScope(CCallScope* scope) {
    if (scope->m_dormantBlock != nullptr && scope->m_variables.GetCount() == scope->m_dormantCount &&
        m_scopePool.size() < m_scopePool.capacity() && m_scopePool.size() < kScopePoolLimit) {
        m_scopePool.push_back(scope);
        return;
    }
    ReleaseScopeSlowly(scope);
}

class CInterpretor::LocalScope {
public:
    explicit LocalScope(CInterpretor* interpretor) : m_interpretor(interpretor), m_object(interpretor->AcquireScope()) {}
    ~LocalScope() { m_interpretor->ReleaseScope(m_object); }
    LocalScope(const LocalScope&) = delete;
    LocalScope& operator=(const LocalScope&) = delete;
    CCallScope* Get() const { return m_object; }

private:
    CInterpretor* m_interpretor;
    CCallScope* m_object;
};

