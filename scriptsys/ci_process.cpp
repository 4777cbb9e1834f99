#include "scriptsys/ci_process.h"
#include "scriptsys/ci_process_members.h"

#include "runtime/classes/class_registry.h"
#include "runtime/classes/script_class.h"
#include "runtime/interp/script_value.h"
#include "runtime/classes/script_class.h"

CIProcess::CIProcess(CInterpretor* interpretor)
    : CIBaseClassImpl(interpretor, ClassRecordOf(interpretor, kClassProcess), kClassProcess, true) {}

void CIProcess::Destroy(int32_t) {
    m_child.Release();
    UnlinkFromClassList();
    delete this;
}

void CIProcess::CallMember(int32_t memberId) {
    static const CDispatchEntry<CIProcess> kHandlers[] = {
        TW_MEMBER(Process, SetCommandLine),
        TW_MEMBER(Process, GetCommandLine),
        TW_MEMBER(Process, Restart),
        TW_MEMBER(Process, Run),
        TW_MEMBER(Process, IsProcessRunning),
        TW_MEMBER(Process, GetExitCode),
        TW_MEMBER(Process, SendQuitMessage),
        TW_MEMBER(Process, Terminate),
    };
    DispatchMember(this, kHandlers, memberId);
}

void CIProcess::ConstructFromArgs() {
    const int32_t count = GetArgCount(m_interpretor);
    if (count >= 1 && !IsArgDefault(m_interpretor, 0)) m_child.SetCommandLine(GetArgString(m_interpretor, 0));
    int32_t run = 1;
    if (count >= 2 && !IsArgDefault(m_interpretor, 1)) {
        run = GetArgInt(m_interpretor, 1);
        if (run != 0 && run != 1) RaiseError(m_interpretor, 14, CIError::kNoDetail);
    }
    if (run == 1 && count >= 1) m_child.Run();
    AssignInstanceNumber();
}

int32_t CIProcess::ExitCodeArgument() {
    return IsArgDefault(m_interpretor, 0) ? 0 : GetArgInt(m_interpretor, 0);
}

int32_t CIProcess::SetCommandLine() { m_child.SetCommandLine(ArgTextOrNull(m_interpretor, 0)); return 0; }

int32_t CIProcess::GetCommandLine() { Result(m_interpretor)->SetString(m_child.GetCommandLine().c_str(), 0); return 0; }

int32_t CIProcess::Run() { Result(m_interpretor)->SetInt(m_child.Run() ? 1 : 0); return 0; }

int32_t CIProcess::Restart() {
    // The old process gets a bounded time to end while the program's own
    // windows keep being served; the quit message gives up at once.
    CInterpretor* interpretor = m_interpretor;
    const bool started = m_child.Restart(ExitCodeArgument(), CChildProcess::kRestartWaitMs,
                                         [interpretor](uint32_t ms) { return Wait(interpretor, ms) != 0; });
    Result(m_interpretor)->SetInt(started ? 1 : 0);
    return 0;
}

int32_t CIProcess::IsProcessRunning() { Result(m_interpretor)->SetInt(m_child.IsRunning() ? 1 : 0); return 0; }

int32_t CIProcess::GetExitCode() { Result(m_interpretor)->SetInt(static_cast<int32_t>(m_child.GetExitCode())); return 0; }

int32_t CIProcess::SendQuitMessage() { m_child.SendQuit(ExitCodeArgument()); return 0; }

int32_t CIProcess::Terminate() { m_child.Terminate(ExitCodeArgument()); return 0; }
