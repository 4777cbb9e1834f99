// Running a program: CompileAndRun, Run with the restart path, the operation
// loop, and runtime errors.
#include "runtime/interp/interpretor.h"
#include "runtime/interp/interp_execute_statement.h"

#include "runtime/package/bank.h"
#include "runtime/package/program_container.h"
#include "runtime/runner/runner.h"
#include "runtime/compiler/script_compiler.h"

#include <new>
#include <string>

namespace {

// Compile flags: copied text (bit 1), wrapped in module instructions (bit 3).
const uint32_t kStartTextFlags = 6;
const uint32_t kFirstPartFlags = 10;
const uint32_t kPartFlags = 2;
const std::size_t kMaxPartName = 512;

bool EqualNoCase(const char* a, const char* b) {
    for (;; ++a, ++b) {
        char x = *a, y = *b;
        if (x >= 'A' && x <= 'Z')
            x = static_cast<char>(x + 32);
        if (y >= 'A' && y <= 'Z')
            y = static_cast<char>(y + 32);
        if (x != y)
            return false;
        if (x == 0)
            return true;
    }
}

}  // namespace

[[noreturn]] void CInterpretor::RaiseError(int32_t code, int32_t detail) {
    if (m_textLoan.variable != nullptr)
        ReturnTextLoan();
    if (m_runState != 0 && code != 0) {
        // The error being raised is the one reported, even when the redraw
        // fails in turn.
        try {
            RefreshAll();
        } catch (...) {
        }
        FreeTempBuffers();
    }
    // Outside a run no program is in the program area: no position then.
    if (m_program.code.empty())
        throw CIError(code, detail);
    m_program.walkAt = m_pc;
    m_program.ThrowScriptError(code, static_cast<uint32_t>(detail));
}

// Adds the package's start-up text and source modules to the compiler.
void CInterpretor::AddPackageSources(CScriptCompiler& compiler, void* hostContext, int withStartText) {
    CBankSet* program = m_container ? m_container->GetCurrentProgram() : nullptr;
    if (program == nullptr)
        return;
    if (hostContext == nullptr && withStartText && program->GetSourceLength() > 0)
        compiler.AddSourceText("InitSource", program->GetSourceText(), static_cast<uint32_t>(program->GetSourceLength()),
                               kStartTextFlags);
    // A screen saver stops before its setup module.
    const bool saverOnly = m_runner != nullptr && m_runner->m_screenSaverMode && !m_runner->m_setupMode;
    bool first = true;
    const CPoolList& banks = program->GetBanks();
    for (uint32_t position = banks.GetHeadPosition(); position != 0;) {
        CBank* module = reinterpret_cast<CBank*>(banks.GetNext(position));
        if (module->GetId() != kBankSources)
            continue;
        if (saverOnly && EqualNoCase(module->GetName(), "TarnwheelScreenSaverSetup"))
            break;
        for (int32_t i = 0; i < module->GetCount(); ++i) {
            auto* part = dynamic_cast<CBinaryElement*>(module->GetElement(i));
            if (part == nullptr || !module->LoadElement(i, 0))
                continue;
            std::string name = part->GetName();
            if (name.size() > kMaxPartName - 1)
                name.resize(kMaxPartName - 1);
            compiler.AddSourceText(name.c_str(), reinterpret_cast<const char*>(part->GetData()),
                                   static_cast<uint32_t>(part->GetSize()), first ? kFirstPartFlags : kPartFlags);
            first = false;
            module->UnloadElement(i);
        }
    }
}

int CInterpretor::CompilePackage(CCompiledProgram* program, void* hostContext, int withStartText) {
    try {
        CScriptCompiler compiler;
        AddPackageSources(compiler, hostContext, withStartText);
        if (!compiler.Compile()) {
            const CIError* error = compiler.GetLastError();
            m_lastError.reset(new CIError(error != nullptr ? *error : CIError(44)));
            m_runState = 3;
            return 0;
        }
        *program = compiler.TakeProgram();
    } catch (const CIError& error) {
        m_lastError.reset(new CIError(error));
        m_runState = 3;
        return 0;
    } catch (const std::bad_alloc&) {
        m_lastError.reset(new CIError(15));
        m_runState = 3;
        return 0;
    }
    return 1;
}

int CInterpretor::CompileAndRun(CCompiledProgram* program, int32_t restartArgument, void* hostContext,
                                int withStartText) {
    if (program == nullptr || !CompilePackage(program, hostContext, withStartText))
        return 0;
    if (!PrepareChecked(program))
        return 0;
    m_restartArgument = restartArgument;
    return Run(program, 0);
}

bool CInterpretor::PrepareChecked(CCompiledProgram* program) {
    try {
        PrepareRun(program);
    } catch (const CIError& error) {
        m_lastError.reset(new CIError(error));
        return false;
    } catch (const std::bad_alloc&) {
        m_lastError.reset(new CIError(15));
        return false;
    }
    return true;
}

int CInterpretor::RunOnce(CCompiledProgram* program, uint32_t entry, int32_t* endCode) {
    *endCode = -1;
    std::swap(m_program, *program);
    // Another program may lie where the last one did.
    ClearSimpleExpressions();
    m_program.phase = kPhaseRunning;
    m_runState = 1;
    m_evalLevel = 0;
    m_callDepth = 0;
    EnterContext(this, this);
    m_callsInProgress = 0;
    m_discardLevel = -1;
    m_textLoan = CTextLoan();
    m_varDeclared = nullptr;
    m_tickCountdown = 0;
    m_pc = CodeBase();
    ResetTickTimes();
    int result = 1;
    try {
        if (m_program.code.empty())
            RaiseError(0);
        RunLoop(entry, nullptr);
    } catch (const CIError& error) {
        if (error.code == 0 || error.code == 1) {
            *endCode = error.code;
        } else {
            m_lastError.reset(new CIError(error));
            result = 0;
        }
    } catch (const std::bad_alloc&) {
        m_lastError.reset(new CIError(15));
        result = 0;
    }
    m_runState = 0;
    std::swap(m_program, *program);
    ClearSimpleExpressions();  // the code goes with the program
    return result;
}

int CInterpretor::Run(CCompiledProgram* program, uint32_t entry) {
    int32_t endCode = -1;
    m_lastError.reset();
    int result = RunOnce(program, entry, &endCode);
    // A restart request runs the program again from its start with fresh
    // objects, arrays and variables: recompiled from the package when there
    // is one, else the same compiled program.
    while (result == 1 && endCode == 1) {
        const bool fromPackage = m_container && m_container->GetCurrentProgram() != nullptr;
        if (fromPackage) {
            CCompiledProgram next;
            if (!CompilePackage(&next, nullptr, 1))
                return 0;
            *program = std::move(next);
        }
        if (!PrepareChecked(program))
            return 0;
        m_restartArgument = 1;
        result = RunOnce(program, 0, &endCode);
    }
    return result;
}

namespace {
// The return state of the enclosing loop comes back however a nested loop
// ends, also when an error unwinds through it.
struct CReturnState {
    CReturnState(int32_t* flag, CValue** target) : flag(flag), target(target), savedFlag(*flag), savedTarget(*target) {}
    ~CReturnState() {
        *flag = savedFlag;
        *target = savedTarget;
    }
    int32_t* flag;
    CValue** target;
    int32_t savedFlag;
    CValue* savedTarget;
};
}  // namespace

void CInterpretor::RunLoop(uint32_t entry, CValue* returnTarget) {
    CReturnState saved(&m_returnFlag, &m_returnTarget);
    RunStatements(entry, returnTarget);
}

void CInterpretor::RunStatements(uint32_t entry, CValue* returnTarget) {
    m_returnFlag = 0;
    m_returnTarget = returnTarget;
    m_pc = CodeBase() + entry;
    for (;;) {
        ExecuteStatement();
        if (m_returnFlag)
            break;
        AfterStatement();
    }
}

void CInterpretor::BetweenStatements() {
    if (m_deliveryCursor != 0 && m_programState.eventsEnabled && m_callsInProgress == 0)
        DeliverEvent();
    if (--m_tickCountdown < 0) {
        if (m_programState.eventsEnabled) {
            m_tickCountdown = m_tickPeriod;
            TickPeriodWork();
        } else {
            m_tickCountdown = -1;  // no drift towards overflow while events are off
        }
    }
    if (m_runner != nullptr && m_runner->m_quit)
        m_pendingError = 0;
    if (m_pendingError >= 0) {
        int32_t pending = m_pendingError;
        m_pendingError = -1;
        RaiseError(pending);
    }
}
